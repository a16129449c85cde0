"""What the release tools read of the project's CMake files: the targets, as
cmake/targets.cmake lists them, and which of them a command line names."""
import unittest

import project
from progress import Failure

# <names given>, <the targets chosen>, in the table's order whatever the order given.
CHOSEN = [("", None), ("linux-s390x,linux-x86_64", ["linux-x86_64", "linux-s390x"]), ("windows-x64,", ["windows-x64"])]


class Project(unittest.TestCase):
    def test_targets_and_their_fields(self):
        targets = project.targets()
        self.assertEqual(list(targets)[:2], ["linux-x86_64", "linux-aarch64"])
        for name, fields in targets.items():
            with self.subTest(target=name):
                self.assertEqual(set(fields), set(project.FIELDS))
                self.assertIn(fields["system"], ("Linux", "Windows"))
                # Its packages bring the emulator that runs its programs.
                emulator = {"qemu": "qemu-user", "/usr/lib/wine/wine64": "wine64", "tests/wine-wow64": "wine64"}
                for start, package in emulator.items():
                    if fields["emulator"].startswith(start):
                        self.assertIn(package, fields["packages"])
        self.assertEqual((targets["linux-x86_64"]["triplet"], targets["windows-x64"]["deb"]), ("", ""))

    def test_chosen(self):
        targets = project.targets()
        for names, chosen in CHOSEN:
            with self.subTest(names=names):
                self.assertEqual(project.chosen(targets, names), chosen or list(targets))
        with self.assertRaisesRegex(Failure, "^linux-vax is not a target; the targets are linux-x86_64, ") as stop:
            project.chosen(targets, "linux-x86_64,linux-vax")
        self.assertEqual(stop.exception.status, 2)


if __name__ == "__main__":
    unittest.main()
