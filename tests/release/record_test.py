"""The record of the build root as the rebuild reads it: its fields, what
another record says otherwise, and the snapshot of Debian's archive as of
its mirror's date."""
import os
import tempfile
import unittest

import record
from progress import Failure

RECORD = ("Format: 1.0\nSource: sphere\nVersion: 1.0.0\nCommit: 0123abc\nSource-Date-Epoch: 1796856989\n"
          "Build-Architecture: amd64\nBuild-Suite: bookworm\nBuild-Mirror: http://deb.debian.org/debian\n"
          "Build-Mirror-Date: Sat, 05 Dec 2026 08:00:00 UTC\nBuild-Environment:\n base-files:amd64 (= 12.4+deb12u8),\n"
          " g++:amd64 (= 4:12.2.0-3),\n tzdata:all (= 2024a-0+deb12u1)\n")

# <field>, <its value> in the record above.
FIELDS = [("Version", "1.0.0"), ("Commit", "0123abc"), ("Source-Date-Epoch", "1796856989"),
          ("Build-Suite", "bookworm"), ("Build-Mirror", "http://deb.debian.org/debian"),
          ("Build-Mirror-Date", "Sat, 05 Dec 2026 08:00:00 UTC"),
          ("Build-Environment", [("base-files:amd64", "12.4+deb12u8"), ("g++:amd64", "4:12.2.0-3"),
                                 ("tzdata:all", "2024a-0+deb12u1")])]

# What a rebuild's record says otherwise: <the record's text>, <the
# rebuild's>, <what differs>, <what differs for a root of some targets' packages>.
# The mirror alone may differ, as a snapshot's does; a partial root may leave
# packages out, and be of another date.
DIFFERENCES = [
    ("deb.debian.org", "snapshot.debian.org", "", ""),
    ("Commit: 0123abc", "Commit: 4567def", "Commit 4567def, recorded 0123abc", "Commit 4567def, recorded 0123abc"),
    ("Commit: 0123abc\n", "Commit: 0123abc\nTag: none (a snapshot: no release tag)\n",
     "Tag none (a snapshot: no release tag), recorded ", "Tag none (a snapshot: no release tag), recorded "),
    ("g++:amd64 (= 4:12.2.0-3)", "g++:amd64 (= 4:12.2.0-4)",
     "recorded g++:amd64=4:12.2.0-3, rebuilt with g++:amd64=4:12.2.0-4",
     "recorded g++:amd64=4:12.2.0-3, rebuilt with g++:amd64=4:12.2.0-4"),
    ("tzdata:all (= 2024a-0+deb12u1)", "tzdata:all (= 2024a-0+deb12u1),\n zlib1g:amd64 (= 1:1.2.13)",
     "rebuilt with zlib1g:amd64=1:1.2.13", "rebuilt with zlib1g:amd64=1:1.2.13"),
    (" g++:amd64 (= 4:12.2.0-3),\n", "", "recorded g++:amd64=4:12.2.0-3", ""),
    ("Sat, 05 Dec", "Sun, 06 Dec", "Build-Mirror-Date Sun, 06 Dec 2026 08:00:00 UTC, recorded Sat, 05 Dec 2026 "
     "08:00:00 UTC", ""),
]

# The snapshot archive as of a record's mirror date: <date>, <its time>.
SNAPSHOTS = [("Sat, 05 Dec 2026 08:00:00 UTC", "20261205T080000Z"),
             ("Thu, 1 Jan 2026 23:59:09 UTC", "20260101T235909Z"),
             ("Fri, 31 Oct 2025 07:05:00 UTC", "20251031T070500Z")]


class Record(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        self.addCleanup(self.folder.cleanup)

    def written(self, text, name="sphere.buildinfo"):
        path = os.path.join(self.folder.name, name)
        with open(path, "w") as out:
            out.write(text)
        return path

    def test_read_fields(self):
        fields = record.read(self.written(RECORD))
        for name, value in FIELDS:
            with self.subTest(field=name):
                self.assertEqual(fields[name], value)

    def test_a_field_missing_stops(self):
        with self.assertRaisesRegex(Failure, "records no Commit"):
            record.read(self.written("Version: 1.0.0\n"))

    def test_differences(self):
        recorded = record.read(self.written(RECORD))
        for before, after, said, said_of_partial in DIFFERENCES:
            with self.subTest(recorded=before, rebuilt=after):
                made = record.read(self.written(RECORD.replace(before, after), "rebuilt.buildinfo"))
                self.assertEqual(record.differences(recorded, made), said)
                self.assertEqual(record.differences(recorded, made, partial=True), said_of_partial)

    def test_snapshot_as_of_the_mirror_date(self):
        for date, time in SNAPSHOTS:
            with self.subTest(date=date):
                self.assertEqual(record.snapshot(date), f"http://snapshot.debian.org/archive/debian/{time}")
        with self.assertRaisesRegex(Failure, "is not the date of a Release file"):
            record.snapshot("2026-12-05 08:00:00")


if __name__ == "__main__":
    unittest.main()
