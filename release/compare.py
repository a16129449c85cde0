"""Compares a rebuilt release with the published one, every file, whatever
differs before it: a table of each file's verdict, and rebuild.json, which
says them for machines.

Each file is compared one way:
  whole file                       byte for byte
  what the signature covers        an RPM package or a zip of a Windows program,
                                   which the rebuild made with the published
                                   signature wherever what it covers came out
                                   the same: then byte for byte
  signature taken                  a signature, taken from the release; its
                                   verdict is the signature's own
  but for the mirror and its date  the record, where a rebuild from another
                                   mirror, such as a snapshot, names that one
  each package of the rebuilt root the record of a rebuild of some targets,
                                   whose root leaves out the recorded packages
                                   "not needed for these targets"
  the lines of the rebuilt files   SHA256SUMS, where the record differs so, or
                                   some targets alone were rebuilt
and its verdict is identical, different, missing (made by the rebuild, not
in the release), extra (in the release, not made by the rebuild) or not
rebuilt (of a target that a rebuild of some alone left). Where diffoscope is
installed, each file that differs gets its report in differences/.
"""
import contextlib
import hashlib
import json
import os
import re
import shutil
import subprocess

import record
from progress import table


def files(folder):
    """Every file under folder, by its path within it."""
    return {os.path.relpath(f"{where}/{name}", folder) for where, _, names in os.walk(folder) for name in names}


def text(path):
    with open(path) as file:
        return file.read()


def sha256(path):
    if os.path.isfile(path):
        with open(path, "rb") as file:
            return hashlib.sha256(file.read()).hexdigest()


def sums(path):
    """SHA256SUMS's sums by file name."""
    lines = (re.match(r"([0-9a-f]+)  (.+)$", line) for line in text(path).splitlines())
    return {line[2]: line[1] for line in lines if line}


def difference(name, published, rebuilt, work):
    """How two files differ: diffoscope's report, bounded in size and time; or
    how to have one."""
    if not shutil.which("diffoscope"):
        return "diffoscope would show how (apt-get install diffoscope-minimal)"
    report = f"differences/{name.replace('/', '_')}.txt"
    os.makedirs(f"{work}/differences", exist_ok=True)
    with contextlib.suppress(subprocess.TimeoutExpired):
        subprocess.run(["diffoscope", "--no-progress", "--text", f"{work}/{report}", "--max-text-report-size",
                        "262144", "--timeout", "240", published, rebuilt], capture_output=True, timeout=300)
    return f"diffoscope's report in {report}"


def compare(release, rebuilt, record_name, work, targets=None, verdicts=()):
    """Compares every file of the two folders; returns whether one that was
    compared is not identical, or a signature that was checked is not good,
    and the table of every file's verdict. targets are those that a rebuild
    of some alone made; verdicts, the signatures' verdicts, each "<path>:
    good ..." or "<path>: bad ..."."""
    records = [f"{folder}/{record_name}" for folder in (release, rebuilt)]
    texts = [text(path) if os.path.exists(path) else "" for path in records]
    bare = {re.sub(r"\nBuild-Mirror(-Date)?: [^\n]*", "", text) for text in texts}
    mirror_only = all(texts) and texts[0] != texts[1] and len(bare) == 1
    failed, rows, entries = False, [], []
    for name in sorted(files(release) | files(rebuilt)):
        theirs, ours = sha256(f"{release}/{name}"), sha256(f"{rebuilt}/{name}")
        how, detail = "whole file", None
        if re.search(r"\.(asc|gpg)$|(^|/)InRelease$", name):
            how = "signature taken"
        elif name.endswith((".rpm", ".zip")):
            how = "what the signature covers"
        elif name == record_name and targets:
            how = "each package of the rebuilt root"
        elif name == record_name and mirror_only:
            how = "but for the mirror and its date"
        elif name == "SHA256SUMS" and (mirror_only or targets):
            how = "the lines of the rebuilt files"
        if ours is None:
            verdict, how = "not rebuilt" if targets else "extra", None
        elif theirs is None:
            verdict = "missing"
        elif how == "the lines of the rebuilt files":
            # Each line of a file that the rebuild made must stand in the
            # published SHA256SUMS as the rebuild wrote it, and a rebuild of
            # every target must have made every line; the record, compared by
            # a rule of its own, as it was published.
            their, our = (sums(f"{folder}/{name}") for folder in (release, rebuilt))
            if (mirror_only or targets) and record_name in our:
                our[record_name] = sha256(f"{release}/{record_name}")
            lacking = [line for line in our if their.get(line) != our[line]]
            lacking += [] if targets else [line for line in their if line not in our]
            verdict, detail = ("different", f"the lines of {', '.join(lacking)}") if lacking else ("identical", None)
        elif how == "each package of the rebuilt root":
            recorded, made = map(record.read, records)
            unneeded = len(recorded["Build-Environment"]) - len(made["Build-Environment"])
            detail = record.differences(recorded, made, partial=True)
            verdict, detail = ("different", detail) if detail else (
                "identical", f"{unneeded} recorded packages not needed for these targets" if unneeded else None)
        elif how == "but for the mirror and its date" or theirs == ours:
            verdict = "identical"
        elif name == record_name:
            verdict, detail = "different", record.differences(*map(record.read, records))
        else:
            verdict, detail = "different", difference(name, f"{release}/{name}", f"{rebuilt}/{name}", work)
        signature = next((line[len(name) + 2:] for line in verdicts if line.startswith(f"{name}: ")), None)
        failed |= verdict not in ("identical", "not rebuilt") or not (signature or "good").startswith("good")
        entry = {"name": name, "published_sha256": theirs, "rebuilt_sha256": ours, "compared": how, "verdict": verdict}
        entries.append(dict(entry, **{key: value for key, value in (("detail", detail), ("signature", signature))
                                      if value}))
        said = verdict + (f": {detail}" if detail else "") + (f" ({how})" if how not in (None, "whole file") else "")
        rows.append((name, said + (f", its signature {signature}" if signature else "")))
    with open(f"{work}/rebuild.json", "w") as out:
        json.dump({"release": release, "targets": targets or None, "verdict": "different" if failed else "identical",
                   "files": entries}, out, indent=2)
        out.write("\n")
    return failed, f"Each file of {release}, as rebuilt:\n{table(rows)}"
