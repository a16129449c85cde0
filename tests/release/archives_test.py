"""The tarballs and zips written anew: fed archives of one folder whose
entries came in shuffled orders, as a file system may list them, the writer
gives the same bytes whenever it writes them, every entry in order of its
path with its type, mode, owner, time and bytes kept; and a zip's Windows
program, where bytes are given for it, holds those."""
import io
import random
import tarfile
import tempfile
import unittest
import zipfile
from unittest import mock

import archives

# The folder: <path>, <mode>, <content>, None for a folder.
FOLDER = [("sphere-1.0.0-x/bin", 0o755, None), ("sphere-1.0.0-x/bin/sphere", 0o755, b"\x7fELF program"),
          ("sphere-1.0.0-x/LICENSE", 0o644, b"MIT"), ("sphere-1.0.0-x/NOTICES", 0o644, b"notices"),
          ("sphere-1.0.0-x/share", 0o755, None), ("sphere-1.0.0-x/share/man", 0o755, None),
          ("sphere-1.0.0-x/share/man/sphere.1.gz", 0o644, b"\x1f\x8bpage"), ("sphere-1.0.0-x/sphere.exe", 0o755, b"MZ")]
TIME = 1796930108


def tarball(path, entries):
    with tarfile.open(path, "w:gz", format=tarfile.USTAR_FORMAT) as archive:
        for name, mode, content in entries:
            member = tarfile.TarInfo(name)
            member.mode, member.mtime, member.uname, member.gname = mode, TIME, "root", "root"
            member.type = tarfile.DIRTYPE if content is None else tarfile.REGTYPE
            member.size = len(content or b"")
            archive.addfile(member, io.BytesIO(content) if content else None)


def zipped(path, entries):
    with zipfile.ZipFile(path, "w") as archive:
        for name, mode, content in entries:
            entry = zipfile.ZipInfo(name + "/" * (content is None), (2026, 12, 10, 19, 15, 8))
            entry.create_system, entry.external_attr = 3, (mode | (0o40000 if content is None else 0o100000)) << 16
            archive.writestr(entry, content or b"", zipfile.ZIP_DEFLATED)


class Archives(unittest.TestCase):
    def written(self, make, sort, name, **options):
        """The bytes of the archives of FOLDER listed in shuffled orders, each
        sorted, all of which must be the same."""
        made = set()
        with tempfile.TemporaryDirectory() as folder:
            for seed in range(4):
                entries = FOLDER[:]
                random.Random(seed).shuffle(entries)
                make(f"{folder}/{name}", entries)
                with mock.patch("time.time", return_value=TIME + seed):  # written at another time
                    sort(f"{folder}/{name}", **options)
                with open(f"{folder}/{name}", "rb") as archive:
                    made.add(archive.read())
        self.assertEqual(len(made), 1)
        return io.BytesIO(made.pop())

    def test_tarball_sorted_by_path_each_entry_kept(self):
        with tarfile.open(fileobj=self.written(tarball, archives.sort_tarball, "x.tar.gz")) as archive:
            members = archive.getmembers()
            self.assertEqual([member.name for member in members], sorted(name for name, _, _ in FOLDER))
            for member, (name, mode, content) in zip(members, sorted(FOLDER)):
                with self.subTest(entry=name):
                    self.assertEqual((member.mode, member.mtime, member.uname, member.gname, member.isdir()),
                                     (mode, TIME, "root", "root", content is None))
                    self.assertEqual(archive.extractfile(member).read() if member.isfile() else None, content)

    def test_zip_sorted_by_path_each_entry_kept_its_program_given(self):
        with zipfile.ZipFile(self.written(zipped, archives.sort_zip, "x.zip", program=b"MZ signed")) as archive:
            entries = archive.infolist()
            self.assertEqual([entry.filename.rstrip("/") for entry in entries], sorted(name for name, _, _ in FOLDER))
            for entry, (name, mode, content) in zip(entries, sorted(FOLDER)):
                with self.subTest(entry=name):
                    self.assertEqual((entry.external_attr >> 16 & 0o7777, entry.date_time, entry.is_dir()),
                                     (mode, (2026, 12, 10, 19, 15, 8), content is None))
                    expected = b"MZ signed" if name.endswith(".exe") else content or b""
                    self.assertEqual(archive.read(entry), expected)


if __name__ == "__main__":
    unittest.main()
