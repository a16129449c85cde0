"""The record of the build root that a release was made in,
sphere-<version>.buildinfo, in the fields of Debian's .buildinfo files: what
a rebuild needs to make the same root and the same release again.

  Source, Version        the release
  Commit                 the commit it was made of
  Tag                    its signed tag, v<version>, or that it is a
                         snapshot, untagged
  Source-Date-Epoch      SOURCE_DATE_EPOCH, every time stamp in it
  Build-Architecture     the root's architecture
  Build-Suite            the Debian release the root is of
  Build-Mirror           the archive it was made from
  Build-Mirror-Date      the Date of that archive's Release file
  Build-Environment      every package in the root, as name:architecture
                         (= version), one a line

It is written in the root, from what apt and dpkg there say, and read on any
host.
"""
import datetime
import glob
import re

from progress import Failure, output

NEEDED = ("Version", "Commit", "Source-Date-Epoch", "Build-Architecture", "Build-Suite", "Build-Mirror",
          "Build-Environment")


def write(path, version, commit, tag, epoch):
    with open("/etc/apt/sources.list") as sources:
        mirror, suite = re.search(r"^deb (\S+) (\S+) ", sources.read(), re.M).groups()
    with open(glob.glob(f"/var/lib/apt/lists/*_dists_{suite}_InRelease")[0]) as release:
        date = re.search(r"^Date: (.*)$", release.read(), re.M)[1]
    installed = output(["dpkg-query", "-W", "-f=${db:Status-Abbrev} ${Package}:${Architecture} (= ${Version})\n"])
    packages = sorted(" " + line[4:] for line in installed.splitlines() if line.startswith("ii  "))
    with open(path, "w") as record:
        record.write(f"Format: 1.0\nSource: sphere\nVersion: {version}\nCommit: {commit}\nTag: {tag}\n"
                     f"Source-Date-Epoch: {epoch}\n"
                     f"Build-Architecture: {output(['dpkg', '--print-architecture'])}\nBuild-Suite: {suite}\n"
                     f"Build-Mirror: {mirror}\nBuild-Mirror-Date: {date}\nBuild-Environment:\n"
                     + ",\n".join(packages) + "\n")


def read(path):
    """The record's fields by name, Build-Environment as a list of
    (name:architecture, version); a field that a rebuild needs and the
    record lacks stops it."""
    fields, packages = {}, []
    with open(path) as record:
        for line in record.read().splitlines():
            field = re.match(r"([A-Za-z-]+): ?(.*)$", line)
            package = re.match(r" (\S+) \(= ([^)]+)\),?$", line)
            if field:
                fields[field[1]] = field[2]
            elif package:
                packages.append(package.groups())
    fields["Build-Environment"] = packages
    for name in NEEDED:
        if not fields.get(name):
            raise Failure(f"{path} records no {name}")
    return fields


def differences(recorded, made, partial=False):
    """What the record made says otherwise than the record of the release, as
    a rebuild names it: each field but the mirror, and each package that one
    root holds at a version, or at all, where the other does not; "" where
    they agree. A partial root, of some targets' packages, may leave recorded
    ones out, and be made from another mirror's date."""
    said = [f"{field} {made.get(field, '')}, recorded {recorded.get(field, '')}"
            for field in ("Version", "Commit", "Tag", "Source-Date-Epoch", "Build-Architecture", "Build-Suite",
                          *([] if partial else ["Build-Mirror-Date"])) if made.get(field) != recorded.get(field)]
    theirs, ours = recorded["Build-Environment"], made["Build-Environment"]
    held = {name for name, _ in ours}
    said += [f"recorded {name}={version}" for name, version in theirs
             if (name, version) not in ours and (name in held or not partial)]
    said += [f"rebuilt with {name}={version}" for name, version in ours if (name, version) not in theirs]
    return ", ".join(said)


def snapshot(date):
    """The address of Debian's snapshot archive as of a Release file's date,
    which has every package at the version it had then."""
    try:
        when = datetime.datetime.strptime(date, "%a, %d %b %Y %H:%M:%S UTC")
    except ValueError:
        raise Failure(f'"{date}" is not the date of a Release file') from None
    return f"http://snapshot.debian.org/archive/debian/{when:%Y%m%dT%H%M%S}Z"
