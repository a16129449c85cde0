"""Rebuilders' signed verdicts: an in-toto Statement v1, whose subjects are
the published files compared and whose predicate is a SLSA Verification
Summary (VSA v1) of the rebuild, in a DSSE envelope signed with an Ed25519
key through openssl; and how many trusted rebuilders vouch for each file.

A verdict counts for a file only where a key that the user trusts (never
one that comes with the verdicts) signed the envelope's pre-authentication
encoding, checked before the statement is read, and where the statement is
this project's rebuild of that version, and names the file with its exact
SHA-256. Each key counts once, under whatever names it is filed.
"""
import base64
import hashlib
import json
import os
import subprocess
import tempfile

from progress import Failure

PAYLOAD_TYPE = "application/vnd.in-toto+json"
STATEMENT = "https://in-toto.io/Statement/v1"
VSA = "https://slsa.dev/verification_summary/v1"
POLICY = "release/rebuild"  # the rebuild of this project, of its doc/releasing.md
ED25519_PUBLIC = bytes.fromhex("302a300506032b6570032100")  # an Ed25519 public key's DER, before its 32 bytes


def pae(payload_type, payload):
    """DSSE's pre-authentication encoding of a payload, what is signed."""
    kind = payload_type.encode()
    return b"DSSEv1 %d %s %d %s" % (len(kind), kind, len(payload), payload)


def openssl(*arguments, failure):
    """What openssl writes, as bytes, where it succeeds; else a Failure that
    says failure."""
    done = subprocess.run(["openssl", *arguments], capture_output=True)
    if done.returncode:
        raise Failure(failure)
    return done.stdout


def public_key(path, private=False):
    """The Ed25519 public key of a key file, a public one or (private) a
    private one, as its DER bytes; anything else stops."""
    der = openssl("pkey", *([] if private else ["-pubin"]), "-in", path, "-pubout", "-outform", "DER",
                  failure=f"{path} is not a {'private' if private else 'public'} key that openssl reads")
    if len(der) != 44 or not der.startswith(ED25519_PUBLIC):
        raise Failure(f"{path} is not an Ed25519 key")
    return der


def key_id(der):
    return hashlib.sha256(der).hexdigest()


def trusted(paths):
    """The keys of the files the user trusts, by key id, and each one's name,
    its first file's: a key given twice, under two names, is one key."""
    keys, names = {}, {}
    for path in paths:
        der = public_key(path)
        keys[key_id(der)] = der
        names.setdefault(key_id(der), os.path.splitext(os.path.basename(path))[0])
    return keys, names


def sign(key, message):
    """The Ed25519 signature of message by a private key file."""
    with tempfile.NamedTemporaryFile() as signed:
        signed.write(message)
        signed.flush()
        return openssl("pkeyutl", "-sign", "-inkey", key, "-rawin", "-in", signed.name,
                       failure=f"openssl cannot sign with {key} (an Ed25519 key, and OpenSSL 3 or later)")


def verifies(der, message, signature):
    """Whether signature is the Ed25519 signature of message by a public key."""
    with tempfile.TemporaryDirectory() as scratch:
        for name, data in (("key.der", der), ("message", message), ("signature", signature)):
            with open(os.path.join(scratch, name), "wb") as out:
                out.write(data)
        return not subprocess.run(["openssl", "pkeyutl", "-verify", "-pubin", "-keyform", "DER", "-inkey",
                                   f"{scratch}/key.der", "-rawin", "-in", f"{scratch}/message", "-sigfile",
                                   f"{scratch}/signature"], capture_output=True).returncode


def statement(files, version, verifier, when, where, verdicts, passed):
    """The statement of one rebuild: files, each published file compared, by
    its SHA-256; verdicts, each one's verdict, identical where it passed;
    passed, whether the whole rebuild did, every signature good."""
    return {"_type": STATEMENT, "subject": [{"name": name, "digest": {"sha256": sha}}
                                            for name, sha in sorted(files.items())],
            "predicateType": VSA, "predicate": {
                "verifier": {"id": verifier}, "timeVerified": when, "resourceUri": where,
                "policy": {"uri": f"{POLICY}@{version}"}, "verificationResult": "PASSED" if passed else "FAILED",
                "verifiedLevels": [], "verdicts": dict(sorted(verdicts.items()))}}


def envelope(content, key, der):
    payload = json.dumps(content, indent=2).encode()
    return {"payloadType": PAYLOAD_TYPE, "payload": base64.b64encode(payload).decode(),
            "signatures": [{"keyid": key_id(der), "sig": base64.b64encode(sign(key, pae(PAYLOAD_TYPE, payload)))
                            .decode()}]}


def signers(sealed, trusted):
    """The trusted keys (by key id) whose signature over the envelope's
    pre-authentication encoding is good. The keyid of a signature is a hint
    that is not trusted: every signature is tried with every trusted key."""
    payload = base64.b64decode(sealed["payload"], validate=True)
    message = pae(sealed["payloadType"], payload)
    return {key for key, der in trusted.items() for entry in sealed.get("signatures", [])
            if verifies(der, message, base64.b64decode(entry.get("sig", ""), validate=True))}


def tally(files, version, sealed_verdicts, trusted):
    """For each file (by name, its SHA-256), the trusted keys whose verdict
    says it passed (was rebuilt identical), and those whose verdict says it
    failed."""
    passed, failed = {name: set() for name in files}, {name: set() for name in files}
    for sealed in sealed_verdicts:
        if sealed.get("payloadType") != PAYLOAD_TYPE:
            continue
        keys = signers(sealed, trusted)
        if not keys:
            continue
        said = json.loads(base64.b64decode(sealed["payload"]))
        predicate = said.get("predicate", {})
        if (said.get("_type") != STATEMENT or said.get("predicateType") != VSA
                or predicate.get("policy", {}).get("uri") != f"{POLICY}@{version}"):
            continue
        for subject in said.get("subject", []):
            name = subject.get("name")
            if name in files and subject.get("digest", {}).get("sha256") == files[name]:
                verdict = predicate.get("verdicts", {}).get(name)
                (passed if verdict == "identical" else failed)[name].update(keys)
    return passed, failed
