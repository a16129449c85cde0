#!/usr/bin/env python3
"""The release's stages, as release/make runs them in the build root with the
sources at /sphere, each a step:

  1. check first: the root's glibc, the sources (a release is made of a
     commit, so no tracked file may have uncommitted changes) and the keys;
  2. each target: its workflow, --fresh, in build/<target>/, which builds and
     tests it, then its packages, a .deb, an .rpm and a .tar.gz for a Linux
     target, a .zip for a Windows one, its program signed before it is
     zipped;
  3. the source archive, sphere-<version>.tar.gz, git archive of the commit,
     which must build and pass its tests on its own, with no repository
     around it;
  4. the RPM packages signed, the bill of materials, the record of the root,
     SHA256SUMS, its signature and the repositories;

then a table of what ran for each target. Everything goes into a fresh dist/.
A rebuild (release/rebuild) runs the stages of the commit it rebuilds, which
take each signature from the published release (--signatures-from) where
what it covers comes out the same; where it asks for some targets alone
(--targets), it gets their files, the source archive, the record and
SHA256SUMS, but not what speaks for every target: the bill of materials, the
repositories and the signature of SHA256SUMS.

The same commit gives the same bytes in the same root, wherever, whenever
and by whomever it is released: every time stamp is SOURCE_DATE_EPOCH (the
commit's time unless it is set), and the builds run under one umask, time
zone and locale.
"""
import json
import os
import re
import shutil
import subprocess
import sys

import archives
import project
import record
import sbom
import signing
import tags
from compare import sha256
from progress import Failure, Steps, main, output, table

SOURCE = project.SOURCE


class Settings(dict):
    """The stages' settings, as release/make and release/rebuild give them:
    one argument, a JSON object, such as {"openpgp_key": "<fingerprint>",
    "targets": "linux-x86_64", "signatures_from": "<published release>",
    "dist": "/sphere/dist", "progress": [1, 15]}, in which a setting left out
    is None."""
    __getattr__ = dict.get


def step_count(targets):
    """How many steps the stages take for these targets."""
    return len(targets) + 3


def check_root(facts):
    glibc, too_new = output(["getconf", "GNU_LIBC_VERSION"]).split()[-1], facts["SPHERE_GLIBC_TOO_NEW"]
    if [int(part) for part in glibc.split(".")] >= [int(part) for part in too_new.split(".")]:
        raise Failure(f"no release in this build root: its glibc is {glibc}, and from glibc {too_new} on the Linux "
                      f"programs cannot keep their floor, glibc {facts['SPHERE_GLIBC_FLOOR']} (doc/development.md, "
                      "Linking); a release is made in a root of an older glibc: --suite bookworm")


def check_sources():
    """The commit, once the sources are found to hold no uncommitted change;
    SOURCE_DATE_EPOCH is set to its time where it is not set."""
    git = ["git", "-c", "safe.directory=*", "-C", SOURCE]
    subprocess.run([*git, "update-index", "-q", "--refresh"], stdout=subprocess.DEVNULL)
    changes = [line[3:] for line in output([*git, "status", "--porcelain", "--untracked-files=no"]).splitlines()]
    if changes:
        raise Failure(f"commit these changes first, since a release is made of a commit: {', '.join(changes)}")
    os.environ.setdefault("SOURCE_DATE_EPOCH", output([*git, "log", "-1", "--format=%ct"]))
    return output([*git, "rev-parse", "HEAD"])


def authenticode_signer():
    """What signs the Windows programs, such as "osslsigncode 2.5"."""
    return re.match(r"osslsigncode [^ ,\n]+", output(["osslsigncode", "--version"]))[0]


def check_keys(args):
    """Stops unless the keys given can sign; what signs the Windows
    programs, where their certificate and key are given."""
    key = args.openpgp_key
    if key and subprocess.run(["gpg", "--batch", "--list-secret-keys", key], capture_output=True).returncode:
        raise Failure(f"the publisher's GnuPG has no secret key {key} to sign with")
    if args.windows_cert:
        certified = output(["openssl", "x509", "-in", args.windows_cert, "-noout", "-pubkey"],
                           failure="cannot read the certificate that --windows-cert names")
        if certified != output(["openssl", "pkey", "-in", args.windows_key, "-passin", "pass:", "-pubout"],
                               failure="cannot read the key of --windows-key (a PEM key without a passphrase)"):
            raise Failure("the key of --windows-key is not the one that the certificate of --windows-cert certifies")
        return authenticode_signer()


def tests_run(target, label):
    """How many tests of a label the target's workflow ran, as ctest counts
    them, less the fixtures, such as Wine's start and stop."""
    listing = output(["ctest", "--test-dir", f"{SOURCE}/build/{target}", "-N", "-L", f"^{label}$", "-FA", ".*"])
    return re.search(r"Total Tests: (\d+)", listing)[1]


def build_and_test(steps, target, fields, allowed):
    """The end-to-end cases and unit tests that the target's workflow ran,
    and, where none of its cases could, why, as its toolchain found it. A
    target whose programs could not run here stops the release, unless
    allowed to be packaged untested."""
    steps.run(["cmake", "--workflow", "--preset", target, "--fresh"], cwd=SOURCE)
    cases, units = tests_run(target, "e2e"), tests_run(target, "unit")
    if cases != "0":
        return cases, units, None
    with open(f"{SOURCE}/build/{target}/CMakeCache.txt") as cache:
        found = re.search(r"^SPHERE_EMULATOR_UNUSABLE:\w+=(.+)$", cache.read(), re.M)
    reason = found[1] if found else "no end-to-end case ran"
    if not allowed:
        raise Failure(f"{target}'s programs could not run here: {reason} (its emulator: {fields['emulator']}, "
                      f"Debian: {' '.join(fields['packages'])}); --allow-untested {target} packages it untested")
    return cases, units, reason


def package(steps, target, dist, args):
    """Packs the target's build into build/<target>/packages/, each archive's
    entries sorted, and copies what it made into dist; returns their names,
    and whether a published Windows program that this one was compared with
    is signed. The zip's program is signed with the publisher's certificate
    or, in a rebuild, is the published program where it is this one in every
    byte its signature covers."""
    packages, signed = f"{SOURCE}/build/{target}/packages", False
    shutil.rmtree(packages, ignore_errors=True)
    steps.run(["cpack", "--config", f"{SOURCE}/build/{target}/CPackConfig.cmake", "-B", packages])
    names = sorted(entry.name for entry in os.scandir(packages) if entry.is_file())
    for name in names:
        made = f"{packages}/{name}"
        if name.endswith(".tar.gz"):
            archives.sort_tarball(made)
        elif name.endswith(".zip"):
            chosen, signed = signing.windows_program(steps, made, f"{args.signatures_from}/{name}", args)
            archives.sort_zip(made, chosen)
        shutil.copyfile(made, f"{dist}/{name}")
    return names, signed


def make_source_archive(steps, name, dist, whole):
    """The commit's files under sphere-<version>/, as git stores them whatever
    the local settings, each dated at the commit; built and tested on its
    own, as a distribution builds it, unless some targets alone are made."""
    steps.run(["git", "-c", "safe.directory=*", "-c", "tar.umask=022", "-c", "core.autocrlf=false", "archive",
               "--format=tar", f"--prefix={name}/", "-o", f"{dist}/{name}.tar", "HEAD"], cwd=SOURCE)
    steps.run(["gzip", "-9", "-n", f"{dist}/{name}.tar"])
    if whole:
        scratch = f"{SOURCE}/build/distcheck"
        shutil.rmtree(scratch, ignore_errors=True)
        os.makedirs(scratch)
        steps.run(["tar", "-C", scratch, "-xzf", f"{dist}/{name}.tar.gz"])
        steps.run(["cmake", "--workflow", "--preset", "test"], cwd=f"{scratch}/{name}",
                  env=dict(os.environ, GIT_CEILING_DIRECTORIES=scratch))


def write_sums(dist):
    """Writes SHA256SUMS over every file in dist, and returns their names."""
    names = sorted(entry.name for entry in os.scandir(dist) if entry.is_file())
    with open(f"{dist}/SHA256SUMS", "w") as sums:
        sums.writelines(f"{sha256(f'{dist}/{name}')}  {name}\n" for name in names)
    return names


def print_closing(names, key, taken, whole, signer, ran, every):
    """What dist holds, what is signed and by whom, and what ran for each
    target; what ran its programs comes last, since why nothing could is a
    sentence."""
    said = ["Released into dist/:", *(f"  {name}" for name in names + ["SHA256SUMS"])]
    if (key or taken) and whole:
        said += ["  SHA256SUMS.asc", "  debian/, rpm/: the apt and RPM repositories", "Signed, SHA256SUMS and each "
                 f"RPM package, {f'with {key}' if key else 'as the published release is, with its signatures'}."]
    elif taken:
        said.append("Each RPM package signed as the published one; some targets alone make no repositories.")
    else:
        said.append("Unsigned: without --openpgp-key, nothing is signed, and there are no repositories.")
    said.append(f"The Windows programs are Authenticode-signed, by {signer}." if signer else
                "The Windows programs are unsigned: without --windows-cert and --windows-key, they carry no "
                "Authenticode signature.")
    rows = [("target", "end-to-end cases", "unit tests", "its programs ran under")]
    rows += [(target, cases, units, f"nothing: {reason}" if reason else os.path.basename(every[target]["emulator"])
              or "the host") for target, (cases, units, reason) in ran.items()]
    print(*said, "What ran for each target:", table(rows), sep="\n", flush=True)
    untested = [target for target, (_, _, reason) in ran.items() if reason]
    if untested:
        print(f"warning: packaged untested, as --allow-untested allows: {', '.join(untested)}", file=sys.stderr)


def release(args):
    os.umask(0o022)  # files readable by all, whatever the caller's umask: cpack makes the packages' folders with it
    facts, every = project.facts(), project.targets()
    targets = project.chosen(every, args.targets)
    whole, dist, name = targets == list(every), args.dist or f"{SOURCE}/dist", f"sphere-{facts['SPHERE_VERSION']}"
    done, total = args.progress or (0, step_count(targets))
    steps = Steps(total, args.logs or f"{SOURCE}/build/logs", args.verbose, done, args.logs_on_host)
    with steps.step("check the root, the sources and the keys"):
        check_root(facts)
        commit = check_sources()
        signer = check_keys(args)
    # A build's bytes do not depend on how many of its jobs run at once.
    os.environ.update(TZ="UTC", LC_ALL="C", CMAKE_BUILD_PARALLEL_LEVEL=str(os.cpu_count()))
    shutil.rmtree(dist, ignore_errors=True)
    os.makedirs(dist)
    ran, made = {}, {}
    for target in targets:
        with steps.step(f"{target}: build, test and package"):
            ran[target] = build_and_test(steps, target, every[target], target in (args.allow_untested or "").split(","))
            made[target], signed = package(steps, target, dist, args)
            signer = signer or (authenticode_signer() if signed else None)
    with steps.step("the source archive" + (", built and tested on its own" if whole else "")):
        make_source_archive(steps, name, dist, whole)
    published = args.signatures_from
    taken = bool(published) and not args.openpgp_key and os.path.exists(f"{published}/SHA256SUMS.asc")
    with steps.step("sign, the bill of materials, the record and SHA256SUMS"):
        # The RPM packages carry their signature themselves, made before their
        # checksums are taken; SHA256SUMS and the repositories are signed last.
        if args.openpgp_key or taken:
            signing.sign_packages(steps, dist, args.openpgp_key, published)
        if whole:
            sbom.write(f"{dist}/{name}.cdx.json", facts["SPHERE_VERSION"], commit, f"{name}.tar.gz", dist,
                       f"{SOURCE}/build", made, every, signer)
        record.write(f"{dist}/{name}.buildinfo", facts["SPHERE_VERSION"], commit, args.tag or tags.SNAPSHOT,
                     os.environ["SOURCE_DATE_EPOCH"])
        names = write_sums(dist)
        if whole and (args.openpgp_key or taken):
            signing.sign_release(steps, dist, args.openpgp_key, published)
    print_closing(names, args.openpgp_key, taken, whole, signer, ran, every)


if __name__ == "__main__":
    main(lambda: release(Settings(json.loads(sys.argv[1]))), inner=True)
