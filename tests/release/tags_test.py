"""The release's tag as a rebuild checks it, with the publisher's key alone:
signed with that key, annotated, on the release's commit."""
import os
import shutil
import subprocess
import tempfile
import unittest

import tags
from progress import Failure


def run(*command, cwd=None, env=None):
    return subprocess.run(command, cwd=cwd, env=env, check=True, capture_output=True, text=True).stdout.strip()


@unittest.skipUnless(all(map(shutil.which, ("git", "gpg", "gpgv"))), "git, gpg and gpgv make and check the tags")
class Verified(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.folder = tempfile.TemporaryDirectory()
        top = cls.folder.name
        cls.env = dict(os.environ, GNUPGHOME=f"{top}/gnupg", GIT_AUTHOR_NAME="a", GIT_AUTHOR_EMAIL="a@example.org",
                       GIT_COMMITTER_NAME="a", GIT_COMMITTER_EMAIL="a@example.org")
        os.makedirs(f"{top}/gnupg", mode=0o700)
        for who in ("publisher", "other"):
            run("gpg", "--batch", "--passphrase", "", "--quick-gen-key", f"{who}@example.org", "ed25519", "sign",
                "never", env=cls.env)
            with open(f"{top}/{who}.asc", "w") as out:
                out.write(run("gpg", "--armor", "--export", f"{who}@example.org", env=cls.env))
        cls.repo = f"{top}/repo"
        run("git", "init", "-q", cls.repo)
        for message in ("first", "second"):
            run("git", "commit", "-q", "--allow-empty", "-m", message, cwd=cls.repo, env=cls.env)
        cls.first, cls.second = (run("git", "rev-parse", commit, cwd=cls.repo) for commit in ("HEAD~1", "HEAD"))
        signed = ["git", "-c", "gpg.program=gpg", "tag", "-s"]
        run(*signed, "-u", "publisher@example.org", "-m", "1.0.0", "v1.0.0", cls.first, cwd=cls.repo, env=cls.env)
        run(*signed, "-u", "other@example.org", "-m", "1.1.0", "v1.1.0", cls.second, cwd=cls.repo, env=cls.env)
        run("git", "tag", "-a", "-m", "1.2.0", "v1.2.0", cls.second, cwd=cls.repo, env=cls.env)
        run("git", "tag", "v1.3.0", cls.second, cwd=cls.repo, env=cls.env)

    @classmethod
    def tearDownClass(cls):
        cls.folder.cleanup()

    def test_each_tag(self):
        # <version>, <the record's commit>, <what the rebuild says or stops with>
        rows = [("1.0.0", "first", "tag v1.0.0, signed with the publisher's key, is commit"),
                ("1.0.0", "second", "but 1.0.0's signed tag v1.0.0 is commit"),
                ("1.1.0", "second", "is not signed with the publisher's key"),
                ("1.2.0", "second", "is not signed with the publisher's key"),
                ("1.3.0", "second", "this clone has no annotated tag v1.3.0"),
                ("2.0.0", "second", "this clone has no annotated tag v2.0.0")]
        for version, commit, said in rows:
            with self.subTest(version=version, commit=commit):
                commit = getattr(self, commit)
                try:
                    found = tags.verified(self.repo, version, f"{self.folder.name}/publisher.asc", commit)
                except Failure as failure:
                    self.assertEqual(failure.status, 1)
                    found = str(failure)
                self.assertIn(said, found)
                self.assertIn(commit, found)


if __name__ == "__main__":
    unittest.main()
