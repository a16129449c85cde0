"""What a root's tarball holds installed, as the rebuild checks it against
the record: each package by name:architecture, at its version."""
import io
import os
import tarfile
import tempfile
import unittest

import build_root

# <dpkg's status file>, <what it holds installed>. A package removed but for
# its configuration files is not installed.
STATUSES = [
    ("Package: g++\nStatus: install ok installed\nArchitecture: amd64\nVersion: 4:12.2.0-3\n",
     {"g++:amd64": "4:12.2.0-3"}),
    ("Package: libwine\nStatus: install ok installed\nArchitecture: i386\nVersion: 8.0~repack-4\n\n"
     "Package: tzdata\nStatus: install ok installed\nPriority: required\nArchitecture: all\nVersion: 2024a-0+deb12u1\n",
     {"libwine:i386": "8.0~repack-4", "tzdata:all": "2024a-0+deb12u1"}),
    ("Package: qemu-user\nStatus: deinstall ok config-files\nArchitecture: amd64\nVersion: 1:7.2+dfsg-7\n\n"
     "Package: zlib1g\nStatus: install ok installed\nArchitecture: amd64\nMulti-Arch: same\nVersion: 1:1.2.13\n"
     "Description: compression library - runtime\n zlib is a library\n",
     {"zlib1g:amd64": "1:1.2.13"}),
]


class Installed(unittest.TestCase):
    def test_each_status(self):
        for status, expected in STATUSES:
            with self.subTest(status=status), tempfile.TemporaryDirectory() as folder:
                path = os.path.join(folder, "root.tar")
                with tarfile.open(path, "w") as tar:
                    for name, content in (("./etc/hostname", b"root\n"), ("./var/lib/dpkg/status", status.encode())):
                        entry = tarfile.TarInfo(name)
                        entry.size = len(content)
                        tar.addfile(entry, io.BytesIO(content))
                self.assertEqual(build_root.installed(path), expected)


if __name__ == "__main__":
    unittest.main()
