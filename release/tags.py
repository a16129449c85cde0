"""A release's tag: the annotated tag v<version>, signed with the publisher's
OpenPGP key (the one that signs SHA256SUMS), on the commit it is made of.
release/make checks it with the publisher's GnuPG; release/rebuild checks it
in the user's clone with the publisher's key alone, never the user's
keyring, with gpgv.
"""
import base64
import os
import re
import subprocess
import tempfile

from progress import Failure, output

SNAPSHOT = "none (a snapshot: no release tag)"


def name(version):
    return f"v{version}"


def commit_of(source, tag):
    """The commit an annotated tag is on, or None where there is no such tag."""
    git = ["git", "-C", source]
    kind = subprocess.run([*git, "cat-file", "-t", f"refs/tags/{tag}"], capture_output=True, text=True)
    if kind.returncode or kind.stdout.strip() != "tag":
        return None
    return output([*git, "rev-parse", f"refs/tags/{tag}^{{commit}}"])


def for_release(source, version, key):
    """The tag that a release of HEAD is made of, once it is found to be
    signed with key; else stops, saying how to make one."""
    tag, head = name(version), output(["git", "-C", source, "rev-parse", "HEAD"])
    make = f'git tag -s -u {key or "<your key>"} -m "sphere {version}" {tag}'
    if commit_of(source, tag) != head:
        raise Failure(f"a release is made of its signed tag, and HEAD ({head}) carries no annotated tag {tag}: {make} "
                      "makes it (or --untagged releases a snapshot)")
    if not key:
        raise Failure(f"a release of tag {tag} is signed: --openpgp-key names the key that signed it (or --untagged "
                      "releases an unsigned snapshot)")
    status = subprocess.run(["git", "-C", source, "verify-tag", "--raw", tag], capture_output=True, text=True).stderr
    signers = re.findall(r"^\[GNUPG:\] VALIDSIG (\S+)(?: \S+){8} (\S+)", status, re.M)
    if not any(key.upper().replace(" ", "") in (used.upper(), primary.upper()) for used, primary in signers):
        raise Failure(f"tag {tag} is not signed with {key}, the key that signs the release: {make} -f signs it anew")
    return tag


def dearmor(text):
    """An ASCII-armored OpenPGP block's bytes."""
    body = text.split("-----BEGIN PGP", 1)[-1].split("\n\n", 1)[-1]
    return base64.b64decode("".join(line for line in body.splitlines()
                                    if line and not line.startswith(("=", "-----"))))


def verified(source, version, public_key, commit):
    """What the rebuild says of the release's tag, once tag v<version> in the
    clone is found signed with the publisher's key alone, on commit; else
    stops with status 1, naming both commits."""
    tag = name(version)
    tagged = commit_of(source, tag)
    if tagged is None:
        raise Failure(f"this clone has no annotated tag {tag}, and the release is of commit {commit}: it is no "
                      f"signed release of {version} (git fetch --tags brings the project's tags)", 1)
    raw = output(["git", "-C", source, "cat-file", "tag", f"refs/tags/{tag}"]) + "\n"
    at = raw.find("-----BEGIN PGP SIGNATURE-----")
    with open(public_key) as key, tempfile.TemporaryDirectory() as scratch:
        for file, data in (("key.gpg", dearmor(key.read())), ("tag", raw[:at].encode()),
                           ("tag.asc", raw[at:].encode())):
            with open(f"{scratch}/{file}", "wb") as out:
                out.write(data)
        good = at > 0 and not subprocess.run(["gpgv", "--keyring", f"{scratch}/key.gpg", f"{scratch}/tag.asc",
                                              f"{scratch}/tag"], capture_output=True,
                                             env=dict(os.environ, GNUPGHOME=scratch)).returncode
    if not good:
        raise Failure(f"tag {tag} (commit {tagged}) is not signed with the publisher's key, {public_key}", 1)
    if tagged != commit:
        raise Failure(f"the release is of commit {commit}, but {version}'s signed tag {tag} is commit {tagged}", 1)
    return f"tag {tag}, signed with the publisher's key, is commit {commit}"
