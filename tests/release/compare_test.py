"""How a rebuild compares its files with the published ones, against a table
of small releases made here: each file's verdict, as the JSON that it writes
for machines says it, and whether the rebuild fails."""
import hashlib
import json
import os
import tempfile
import unittest
from unittest import mock

import compare

# The records: as published, from a snapshot (its mirror and date alone
# differ), of another commit, of a root of some targets' packages (one
# package fewer), and of such a root with another version of a package.
RECORD = ("Format: 1.0\nSource: sphere\nVersion: 1.0.0\nCommit: 0123abc\nSource-Date-Epoch: 1796856989\n"
          "Build-Architecture: amd64\nBuild-Suite: bookworm\nBuild-Mirror: http://deb.debian.org/debian\n"
          "Build-Mirror-Date: Sat, 05 Dec 2026 08:00:00 UTC\nBuild-Environment:\n g++:amd64 (= 4:12.2.0-3),\n"
          " qemu-user:amd64 (= 1:7.2+dfsg-7)\n")
RECORDS = {"@record@": RECORD,
           "@snapshot@": RECORD.replace("http://deb.debian.org/debian\nBuild-Mirror-Date: Sat, 05",
                                        "http://snapshot.debian.org/archive/debian/20261206T000000Z\n"
                                        "Build-Mirror-Date: Sun, 06"),
           "@other_commit@": RECORD.replace("0123abc", "4567def"),
           "@fewer@": RECORD.replace(",\n qemu-user:amd64 (= 1:7.2+dfsg-7)", ""),
           "@fewer_other@": RECORD.replace("12.2.0-3),\n qemu-user:amd64 (= 1:7.2+dfsg-7)", "12.2.0-4)")}

# <published files>, <rebuilt files>, <targets of a rebuild of some alone>,
# <signatures' verdicts>, <file>=<its verdict>..., <fails>
ROWS = [
    ("a.deb:1,b.deb:2", "a.deb:1,b.deb:2", "", [], "a.deb=identical,b.deb=identical,SHA256SUMS=identical", False),
    ("a.deb:1,b.deb:2", "a.deb:1,b.deb:3", "", [], "a.deb=identical,b.deb=different,SHA256SUMS=different", True),
    ("a.deb:1,b.deb:2", "a.deb:1", "", [], "b.deb=extra,SHA256SUMS=different", True),
    ("a.deb:1", "a.deb:1,c.deb:3", "", [], "c.deb=missing,SHA256SUMS=different", True),
    ("a.deb:1,b.deb:2", "a.deb:1", "x", [], "a.deb=identical,b.deb=not rebuilt,SHA256SUMS=identical", False),
    ("a.deb:1,b.deb:2", "a.deb:9", "x", [], "a.deb=different,b.deb=not rebuilt,SHA256SUMS=different", True),
    ("a.rpm:1,b.zip:2", "a.rpm:1,b.zip:2", "", [], "a.rpm=identical,b.zip=identical", False),
    ("a.deb:1,S.asc:s", "a.deb:1,S.asc:s", "", ["S.asc: good, by the key"], "S.asc=identical", False),
    ("a.deb:1,S.asc:s", "a.deb:1", "x", ["S.asc: bad: it signs another text"], "S.asc=not rebuilt", True),
    ("a.rpm:1", "a.rpm:1", "", ["a.rpm: bad: NOT OK"], "a.rpm=identical", True),
    ("a.rpm:1,S.asc:s", "a.rpm:1,S.asc:s", "", ["S.asc: good, by the key", "a.rpm: bad: NOT OK"],
     "S.asc=identical,a.rpm=identical", True),
    ("a.deb:1,r.buildinfo:@record@", "a.deb:1,r.buildinfo:@snapshot@", "", [],
     "r.buildinfo=identical,SHA256SUMS=identical", False),
    ("a.deb:1,r.buildinfo:@record@", "a.deb:1,r.buildinfo:@other_commit@", "", [],
     "r.buildinfo=different,SHA256SUMS=different", True),
    ("a.deb:1,b.deb:2,r.buildinfo:@record@", "a.deb:1,r.buildinfo:@snapshot@", "", [],
     "b.deb=extra,r.buildinfo=identical,SHA256SUMS=different", True),
    ("a.deb:1,b.deb:2,r.buildinfo:@record@", "a.deb:1,r.buildinfo:@fewer@", "x", [],
     "b.deb=not rebuilt,r.buildinfo=identical,SHA256SUMS=identical", False),
    ("a.deb:1,r.buildinfo:@record@", "a.deb:1,r.buildinfo:@fewer_other@", "x", [],
     "r.buildinfo=different,SHA256SUMS=identical", True),
    ("a.deb:1,r.buildinfo:@record@", "a.deb:1,r.buildinfo:@fewer@", "", [],
     "r.buildinfo=different,SHA256SUMS=different", True),
]


def sha256(path):
    if not os.path.exists(path):
        return None
    with open(path, "rb") as file:
        return hashlib.sha256(file.read()).hexdigest()


def write_release(folder, files):
    """Writes each <name>:<content> into folder, and SHA256SUMS over them."""
    os.makedirs(folder)
    sums = ""
    for file in files.split(","):
        name, content = file.split(":", 1)
        with open(os.path.join(folder, name), "w") as out:
            out.write(RECORDS.get(content, content))
        sums += f"{sha256(os.path.join(folder, name))}  {name}\n"
    with open(os.path.join(folder, "SHA256SUMS"), "w") as out:
        out.write(sums)


class Compare(unittest.TestCase):
    @mock.patch("compare.shutil.which", return_value=None)
    def test_each_file_verdict(self, _):
        for published, made, targets, verdicts, expected, fails in ROWS:
            with self.subTest(published=published, rebuilt=made, targets=targets, verdicts=verdicts), \
                    tempfile.TemporaryDirectory() as work:
                write_release(f"{work}/release", published)
                write_release(f"{work}/rebuilt", made)
                failed, said = compare.compare(f"{work}/release", f"{work}/rebuilt", "r.buildinfo", work,
                                               targets.split(",") if targets else None, verdicts)
                self.assertEqual(failed, fails)
                with open(f"{work}/rebuild.json") as out:
                    found = json.load(out)
                self.assertEqual(found["verdict"], "different" if fails else "identical")
                self.assertEqual(found["targets"], targets.split(",") if targets else None)
                for entry in found["files"]:
                    self.assertEqual(entry["rebuilt_sha256"], sha256(f"{work}/rebuilt/{entry['name']}"), entry["name"])
                    self.assertIn(entry["name"], said)
                self.assertLessEqual(set(expected.split(",")),
                                     {f"{entry['name']}={entry['verdict']}" for entry in found["files"]})
                # Each signature's verdict stands beside its file.
                self.assertEqual(sorted(verdicts), sorted(f"{entry['name']}: {entry['signature']}"
                                                          for entry in found["files"] if "signature" in entry))


if __name__ == "__main__":
    unittest.main()
