"""Which signed verdicts count for a file: only those of a key the user
trusts, each key once, over the envelope as signed, of this rebuild and
version, for the file's exact SHA-256."""
import base64
import copy
import json
import os
import shutil
import subprocess
import tempfile
import unittest

import verdicts

FILES = {"a.deb": "1" * 64, "b.zip": "2" * 64}


def make_key(folder, name):
    key, public = os.path.join(folder, f"{name}.pem"), os.path.join(folder, f"{name}.pub")
    subprocess.run(["openssl", "genpkey", "-algorithm", "ed25519", "-out", key], check=True, capture_output=True)
    subprocess.run(["openssl", "pkey", "-in", key, "-pubout", "-out", public], check=True, capture_output=True)
    return key, verdicts.public_key(public)


def tampered(sealed, change):
    """The envelope with its statement changed after it was signed."""
    said = json.loads(base64.b64decode(sealed["payload"]))
    change(said)
    return dict(sealed, payload=base64.b64encode(json.dumps(said).encode()).decode())


def openssl_signs_ed25519():
    """Whether openssl signs a message with Ed25519 whole (-rawin), as 3.0 and later do."""
    return bool(shutil.which("openssl")) and "-rawin" in subprocess.run(["openssl", "pkeyutl", "-help"],
                                                                        capture_output=True, text=True).stderr


@unittest.skipUnless(openssl_signs_ed25519(), "this openssl cannot sign with Ed25519 (OpenSSL 3.0 or later can)")
class Tally(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.folder = tempfile.TemporaryDirectory()
        cls.keys = {name: make_key(cls.folder.name, name) for name in ("alice", "bob", "carol", "mallory")}

    @classmethod
    def tearDownClass(cls):
        cls.folder.cleanup()

    def sealed(self, who, version="1.0.0", files=FILES, verdict="identical", keyid_of=None):
        key, der = self.keys[who]
        content = verdicts.statement(files, version, f"https://rebuilders.example/{who}", "2026-12-11T00:00:00Z",
                                     "https://example.org/sphere/1.0.0/", {name: verdict for name in files},
                                     verdict == "identical")
        sealed = verdicts.envelope(content, key, der)
        if keyid_of:
            sealed["signatures"][0]["keyid"] = verdicts.key_id(self.keys[keyid_of][1])
        return sealed

    def test_what_counts(self):
        other_predicate = tampered(self.sealed("alice"), lambda said: said.update(predicateType="https://x/y"))
        resigned = self.sealed("alice")
        resigned["payload"] = other_predicate["payload"]
        # <envelopes>, <trusted>, <who vouches for a.deb>, <who says a.deb failed>
        rows = [
            ([self.sealed("alice"), self.sealed("bob")], ["alice", "bob"], {"alice", "bob"}, set()),
            ([self.sealed("mallory")], ["alice", "bob"], set(), set()),
            ([self.sealed("alice"), self.sealed("alice")], ["alice", "bob"], {"alice"}, set()),
            ([self.sealed("mallory", keyid_of="alice")], ["alice"], set(), set()),
            ([tampered(self.sealed("alice"), lambda said: said["subject"].reverse())], ["alice"], set(), set()),
            ([resigned], ["alice"], set(), set()),
            ([self.sealed("alice", files={"a.deb": "9" * 64})], ["alice"], set(), set()),
            ([self.sealed("alice", version="0.9.0")], ["alice"], set(), set()),
            ([self.sealed("carol", verdict="different"), self.sealed("alice")], ["alice", "carol"], {"alice"},
             {"carol"}),
            ([self.sealed("mallory", verdict="different")], ["alice"], set(), set()),
        ]
        for sealed, trusted, vouching, failing in rows:
            with self.subTest(trusted=trusted, vouching=vouching, failing=failing):
                keys = {verdicts.key_id(self.keys[name][1]): self.keys[name][1] for name in trusted}
                passed, failed = verdicts.tally(FILES, "1.0.0", copy.deepcopy(sealed), keys)
                names = {verdicts.key_id(der): name for name, (_, der) in self.keys.items()}
                self.assertEqual({names[key] for key in passed["a.deb"]}, vouching)
                self.assertEqual({names[key] for key in failed["a.deb"]}, failing)

    def test_one_key_under_two_names_counts_once(self):
        again = os.path.join(self.folder.name, "alice-again.pub")
        with open(os.path.join(self.folder.name, "alice.pub")) as original, open(again, "w") as copied:
            copied.write(original.read())
        keys, names = verdicts.trusted([os.path.join(self.folder.name, "alice.pub"), again])
        passed, _ = verdicts.tally(FILES, "1.0.0", [self.sealed("alice"), self.sealed("alice")], keys)
        self.assertEqual(len(keys), 1)
        self.assertEqual(list(names.values()), ["alice"])
        self.assertEqual(len(passed["a.deb"]), 1)


if __name__ == "__main__":
    unittest.main()
