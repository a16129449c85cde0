#!/usr/bin/env python3
"""The build root: a minimal root of one Debian release, made by mmdebstrap,
holding exactly what a release builds, tests, packages and signs with, so
that a release's bytes come from the root's packages, never from the host's.
The host needs mmdebstrap and unshare, and a way into a root: root itself, or
unprivileged user namespaces that map the user's subordinate ids (uidmap's
newuidmap, and the user's lines in /etc/subuid and /etc/subgid).

A root is kept as a tarball in the cache, named for what makes it: the suite,
the mirror, the packages and, where no versions are given, the date of the
mirror's Release file. Each command runs in a fresh copy of it, in mount and
process namespaces of its own, with no network unless asked, and the copy is
removed after it. Run as a command (--help), this file runs CI's checks on
other Debian releases in minimal roots of theirs, made and entered so.
"""
import glob
import hashlib
import os
import re
import shutil
import subprocess
import sys
import tarfile
import tempfile
import urllib.request

import record
from progress import Failure, Parser, Steps, main, output, wait

# What a release needs in its root besides each target's packages: CMake and
# make; git, which makes the source archive; python3, which runs the
# release's stages; binutils' readelf for the programs' symbol versions;
# rpm's rpmbuild; GoogleTest, installed and as sources for the cross builds;
# locales, which the tests under a locale with a decimal comma are made from;
# GnuPG, apt-ftparchive (apt-utils) and createrepo_c for the signatures and
# repositories; osslsigncode and openssl for the Windows programs' signatures.
RELEASE_PACKAGES = ["cmake", "make", "git", "python3", "binutils", "rpm", "libgtest-dev", "googletest", "locales",
                    "gnupg", "apt-utils", "createrepo-c", "osslsigncode", "openssl"]


def default_mirror():
    """The Debian archive that this host's apt uses, else deb.debian.org."""
    for path in glob.glob("/etc/apt/sources.list") + sorted(glob.glob("/etc/apt/sources.list.d/*.*")):
        with open(path) as sources:
            found = re.search(r"^[ \t]*(?:deb|URIs:)[ \t]+([a-z]+://\S+/debian)/?(?:[ \t]|$)", sources.read(), re.M)
        if found:
            return found[1]
    return "http://deb.debian.org/debian"


def default_cache():
    return os.path.join(os.environ.get("XDG_CACHE_HOME") or os.path.expanduser("~/.cache"), "sphere")


def unshare(network=True):
    """How this host enters a root's namespaces, as unshare's command: as
    root, or as a user through a user namespace that maps its subordinate ids
    too. In a chroot, whose / is no mount point, root's mounts cannot be made
    private to the namespace, and enter() undoes them itself."""
    if os.geteuid():
        command = ["unshare", "--map-auto", "--map-root-user", "--mount"]
    else:
        private = not subprocess.run(["unshare", "--mount", "true"], stderr=subprocess.DEVNULL).returncode
        command = ["unshare", "--mount", *([] if private else ["--propagation", "unchanged"])]
    return command + ["--pid", "--fork", "--kill-child"] + ([] if network else ["--net"])


def check_host():
    """Stops, saying what is missing, unless this host can make and enter a root."""
    missing = [program for program in ("mmdebstrap", "unshare") if not shutil.which(program)]
    if missing:
        raise Failure(f"a build root needs {' and '.join(missing)} (doc/releasing.md says what a host needs)")
    output([*unshare(), "true"], failure="a build root needs root, or unprivileged user namespaces that map this "
           f"user's subordinate ids (doc/releasing.md), and `{' '.join(unshare())} true` failed")


def make(steps, kind, packages, suite, mirror, cache, recorded=None, mirror_date=None):
    """The tarball of the root of packages, each name[:architecture][=version],
    made in the current step of steps where the cache lacks it, which the
    step's closing line tells; of each kind of root, such as the release's
    or a rebuild's of some targets, the cache keeps one. Where a record's
    packages are given (each version by name:architecture), every package
    that the root holds must be one of them, at its version; mirror_date is
    the record's date of the mirror's Release file."""
    packages, date = sorted(set(packages)), ""
    if recorded is None:
        with urllib.request.urlopen(f"{mirror}/dists/{suite}/InRelease") as release:
            date = re.search(r"^Date: .*$", release.read().decode(), re.M)[0]
    key = hashlib.sha256(f"{suite} {mirror} {','.join(packages)} {date}".encode()).hexdigest()[:16]
    tarball = f"{cache}/{kind}-{suite}-{key}.tar"
    if os.path.exists(tarball):
        steps.note = f"made before of the same packages: {tarball}"
        return tarball
    os.makedirs(cache, exist_ok=True)
    # Wine's 32-bit DLLs, which the 32-bit Windows program's tests load, are
    # of the i386 side of the archive. The indexes stay: the record reads the
    # date of the Release file. A snapshot's Release file, and now and then
    # unstable's, is past its Valid-Until date.
    include, new = ["--include=" + ",".join(packages)] if packages else [], tarball + ".new"
    try:
        if steps.run(["mmdebstrap", "--variant=minbase", "--architectures=amd64,i386", "--skip=cleanup/apt/lists",
                      '--aptopt=Acquire::Check-Valid-Until "false"', *include, "--format=tar", suite, new, mirror],
                     check=False):
            raise failure(steps, mirror, mirror_date)
        made = installed(new) if recorded is not None else {}
        unrecorded = [f"{name} {version}" for name, version in made.items() if recorded.get(name) != version]
        if unrecorded:
            raise failure(steps, mirror, mirror_date, unrecorded)
    except BaseException:  # a failure, or Ctrl-C: nothing half made is kept
        if os.path.exists(new):
            os.remove(new)
        raise
    for older in glob.glob(f"{cache}/{kind}-{suite}-*.tar"):
        os.remove(older)  # one root of each kind is kept
    os.rename(new, tarball)
    steps.note = f"made, {os.path.getsize(tarball) / 1e9:.1f} GB: {tarball}"
    return tarball


def installed(tarball):
    """Each package that a root's tarball holds installed, by
    name:architecture, at its version."""
    with tarfile.open(tarball) as tar:
        status = tar.extractfile("./var/lib/dpkg/status").read().decode()
    packages = (dict(re.findall(r"^([\w-]+): (.*)$", stanza, re.M)) for stanza in status.split("\n\n"))
    return {f"{package['Package']}:{package['Architecture']}": package["Version"] for package in packages
            if package.get("Status", "").endswith(" installed")}


def failure(steps, mirror, mirror_date, unrecorded=()):
    """Why the root is not the one asked for: where the mirror lacks a
    version asked for, each such, or gave a package at a version that the
    record does not name, and the snapshot of Debian's archive as of
    mirror_date, the date of the Release file they were recorded from; else
    apt's errors."""
    with open(steps.log) as log:
        said = log.read()
    lacking = [f"{name} {version}" for version, name in
               re.findall(r"E: Version '([^']+)' for '([^']+)' was not found", said)]
    if not lacking and not unrecorded:
        return steps.fail("mmdebstrap could not make the build root: " + " ".join(re.findall("^E: .*", said, re.M)))
    where = record.snapshot(mirror_date) if mirror_date else "http://snapshot.debian.org/archive/debian/<time>Z"
    what = f"no longer has {', '.join(lacking)}" if lacking else f"gives {', '.join(unrecorded)}, not as recorded"
    return steps.fail(f"{mirror} {what}; a snapshot of the archive as of the recorded date has every recorded "
                      f"version: --mirror {where}")


def run(tarball, cache, binds, command, network=False, steps=None, check=False):
    """Runs command in a fresh copy of the root, each bind (<host
    path>=<path>[:ro]) mounted into it, and returns its exit status once the
    copy is removed, or with check, stops where it fails: a status of 1 is
    the command's, which has said why. Its output goes to steps' log, or is
    the caller's."""
    os.makedirs(cache, exist_ok=True)
    copy = tempfile.mkdtemp(prefix="copy-", dir=cache)
    enter = [*unshare(network), sys.executable, os.path.abspath(__file__), "enter", tarball, copy, *binds, "--",
             *command]
    try:
        status = steps.run(enter, check=False) if steps else wait(subprocess.Popen(enter))
        if check and status:
            raise Failure(None if status == 1 else f"`{' '.join(command[:3])}` in the build root ended with {status}")
        return status
    finally:
        # The copy goes, unless something is still mounted in it: the
        # publisher's GnuPG folder, say, which must never be removed with it.
        # Its files may be owned by ids that only a user namespace maps.
        with open("/proc/self/mounts") as mounts:
            left = [line.split()[1] for line in mounts if line.split()[1].startswith(copy)]
        if left:
            raise Failure(f"{left[0]} is still mounted: the build root's copy {copy} is not removed")
        subprocess.run([*unshare(), "rm", "-rf", copy])


def enter(tarball, root, binds, command):
    """In the namespaces that run() made: unpacks the root, puts the host's
    DNS settings, /dev, a new /proc and each bind in place, runs command as
    root in the root with only the environment given, and undoes every mount
    however it ends, since in a chroot they may be seen outside."""
    os.environ["PATH"] += ":/usr/sbin:/sbin"  # chroot's, which a user's PATH may lack
    # The root's device files are the host's, which a user could not make.
    output(["tar", "-C", root, "--extract", "--file", tarball, "--exclude=./dev/*"])
    shutil.copyfile("/etc/resolv.conf", f"{root}/etc/resolv.conf")
    mounted = []

    def mount(options, target):
        output(["mount", *options, target])
        mounted.append(target)
    try:
        mount(["--rbind", "/dev"], f"{root}/dev")
        mount(["-t", "proc", "proc"], f"{root}/proc")
        for bind in binds:
            host, inside = bind.split("=", 1)
            target = root + inside.removesuffix(":ro")
            if os.path.isdir(host):
                os.makedirs(target, exist_ok=True)
            else:
                os.makedirs(os.path.dirname(target), exist_ok=True)
                open(target, "a").close()
            mount(["--bind", host], target)
            if inside.endswith(":ro"):
                output(["mount", "-o", "remount,bind,ro", target])
        return wait(subprocess.Popen(["chroot", root, "/usr/bin/env", "-i", "PATH=/usr/sbin:/usr/bin:/sbin:/bin",
                                      "HOME=/root", *command]))
    finally:
        # Lazily, which detaches the mounts below each too: a process the
        # command left, such as a GnuPG agent, may hold one; and in a user
        # namespace, the mounts below /dev cannot be unmounted one by one.
        for target in reversed(mounted):
            if subprocess.run(["umount", "--lazy", target]).returncode:
                print(f"{target} stays mounted", file=sys.stderr)


def command_line():
    split = sys.argv.index("--") if "--" in sys.argv else len(sys.argv)
    if sys.argv[1:2] == ["enter"]:  # what run() runs in the namespaces it makes
        return enter(sys.argv[2], sys.argv[3], sys.argv[4:split], sys.argv[split + 1:])
    parser = Parser(usage="%(prog)s [--bind HOST=PATH[:ro]]... [--cache FOLDER] SUITE -- COMMAND...",
                    description="Runs a command as root, with the network, in a fresh copy of a minimal root of a "
                    "Debian release, made where the cache lacks it, as CI runs its checks on other releases.")
    parser.add_argument("suite", help="the Debian release")
    parser.add_argument("--bind", action="append", default=[], help="<host path>=<path>[:ro], mounted into the root")
    parser.add_argument("--cache", default=default_cache(), help="where roots are kept (default: %(default)s)")
    args = parser.parse_args(sys.argv[1:split])
    check_host()
    steps = Steps(1, f"{args.cache}/logs")
    with steps.step(f"a minimal root of {args.suite}"):
        tarball = make(steps, "root", [], args.suite, default_mirror(), args.cache)
    return run(tarball, args.cache, args.bind, sys.argv[split + 1:], network=True)


if __name__ == "__main__":
    main(command_line, inner=sys.argv[1:2] == ["enter"])
