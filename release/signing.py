"""Signs a release with the publisher's keys, with Debian's and RPM's own
tools, and makes the repositories that apt and dnf update from:

  *.rpm            each RPM package, signed in its header (rpmsign)
  SHA256SUMS.asc   a detached signature over SHA256SUMS
  debian/          an apt repository: pool/main/ with the Debian packages,
                   dists/stable/main/binary-<architecture>/Packages(.gz),
                   dists/stable/Release, signed as InRelease and Release.gpg
  rpm/             an RPM repository: the RPM packages, repodata/
                   (createrepo_c), and repodata/repomd.xml.asc
  *.exe            each Windows program, with Authenticode (osslsigncode),
                   before it is zipped

Every signature is made as of SOURCE_DATE_EPOCH, and Ed25519 and RSA
signatures are otherwise deterministic, so the same keys and commit give the
same bytes (the OpenPGP key must be older than that time). A rebuild has no
key: it takes each signature from the published release instead, wherever
what the signature covers comes out the same, for the rebuild to verify.
"""
import glob
import os
import pathlib
import re
import shutil
import struct
import tempfile
import time
import zipfile


def rpm_signed(package):
    """What an RPM package's signature covers: all that follows its lead (96
    bytes) and its signature header, a header structure of 16 bytes, 16 for
    each entry and its data, padded to 8 bytes."""
    entries, size = struct.unpack_from(">II", package, 96 + 8)
    return package[96 + (16 + 16 * entries + size + 7) // 8 * 8:]


def pe_alike(unsigned, program):
    """Whether a published Windows program, its signature removed, is the
    rebuilt one in every byte that its signature covers: all but its PE
    checksum (4 bytes, 88 into the PE header, whose place stands at 0x3c),
    which signing sets, and the zero bytes, fewer than 8, that align the
    certificate table and that some osslsigncode versions leave in place."""
    def blanked(data):
        at = struct.unpack_from("<I", data, 0x3c)[0] + 88
        return data[:at] + bytes(4) + data[at + 4:]
    unsigned, program = blanked(unsigned), blanked(program)
    padding = unsigned[len(program):]
    return unsigned[:len(program)] == program and len(padding) < 8 and not any(padding)


def sign_packages(steps, dist, key=None, published=None):
    """Signs each RPM package with key or, without one, puts the published
    package in place of the rebuilt one where its signature covers what the
    rebuilt one holds."""
    rpms = sorted(glob.glob(f"{dist}/*.rpm"))
    if key:
        extra = f"_gpg_sign_cmd_extra_args --faked-system-time {os.environ['SOURCE_DATE_EPOCH']}!"
        return steps.run(["rpmsign", "--addsign", "--define", f"_gpg_name {key}", "--define", "__gpg /usr/bin/gpg",
                          "--define", extra, *rpms])
    for rpm in rpms:
        theirs = pathlib.Path(published, os.path.basename(rpm))
        if theirs.exists() and rpm_signed(theirs.read_bytes()) == rpm_signed(pathlib.Path(rpm).read_bytes()):
            shutil.copyfile(theirs, rpm)


def sign_release(steps, dist, key=None, published=None):
    """Signs SHA256SUMS and makes the repositories: with key, or taking each
    signature from the same place in the published release."""
    epoch = int(os.environ["SOURCE_DATE_EPOCH"])

    def sign(folder, signed, signature, *how):
        if not key:
            return shutil.copyfile(f"{published}/{os.path.relpath(folder, dist)}/{signature}", f"{folder}/{signature}")
        steps.run(["gpg", "--batch", "--yes", "--no-tty", "--faked-system-time", f"{epoch}!", "--local-user", key,
                   *how, "--output", signature, signed], cwd=folder)

    detached = ("--armor", "--detach-sign")
    sign(dist, "SHA256SUMS", "SHA256SUMS.asc", *detached)
    # The apt repository: one suite, stable, with one component, main.
    apt, architectures = f"{dist}/debian", []
    os.makedirs(f"{apt}/pool/main")
    for deb in sorted(glob.glob(f"{dist}/*.deb")):
        shutil.copyfile(deb, f"{apt}/pool/main/{os.path.basename(deb)}")
        architectures.append(re.search(r"_([^_]+)\.deb$", deb)[1])
        index = f"{apt}/dists/stable/main/binary-{architectures[-1]}"
        os.makedirs(index)
        with open(f"{index}/Packages", "wb") as packages:
            steps.run(["apt-ftparchive", "--arch", architectures[-1], "packages", "pool"], cwd=apt, stdout=packages)
        with open(f"{index}/Packages.gz", "wb") as packages:
            steps.run(["gzip", "-9", "-n", "-c", "Packages"], cwd=index, stdout=packages)
    fields = {"Origin": "sphere", "Label": "sphere", "Suite": "stable", "Codename": "stable", "Components": "main",
              "Architectures": " ".join(architectures), "Date": time.strftime("%a, %d %b %Y %H:%M:%S UTC",
                                                                              time.gmtime(epoch))}
    with open(f"{apt}/Release", "wb") as release:
        steps.run(["apt-ftparchive", *(option for name, value in fields.items() for option in
                                       ("-o", f"APT::FTPArchive::Release::{name}={value}")), "release", "dists/stable"],
                  cwd=apt, stdout=release)
    os.rename(f"{apt}/Release", f"{apt}/dists/stable/Release")
    sign(f"{apt}/dists/stable", "Release", "InRelease", "--clearsign")
    sign(f"{apt}/dists/stable", "Release", "Release.gpg", *detached)
    # The RPM repository: the signed packages, dated as the rest, since its
    # index records each file's time.
    os.makedirs(f"{dist}/rpm")
    for package in glob.glob(f"{dist}/*.rpm"):
        shutil.copyfile(package, f"{dist}/rpm/{os.path.basename(package)}")
        os.utime(f"{dist}/rpm/{os.path.basename(package)}", (epoch, epoch))
    steps.run(["createrepo_c", "--revision", f"{epoch}", "--set-timestamp-to-revision", "--no-database", "rpm"],
              cwd=dist)
    sign(f"{dist}/rpm/repodata", "repomd.xml", "repomd.xml.asc", *detached)


def windows_program(steps, made, published, args):
    """The bytes that a zip, made, is to hold for its Windows program, or
    None for its own, and whether the published program is signed: signed
    with the publisher's certificate, where given, with Authenticode, as of
    SOURCE_DATE_EPOCH, under the name sphere and the publisher's address (a
    timestamp from the publisher's timestamp server keeps the signature valid
    after the certificate expires, but is the server's own); or, in a
    rebuild, the program of the published zip, signature and all, where it
    is this one in every byte its signature covers."""
    with tempfile.TemporaryDirectory() as scratch:
        ours, theirs = pathlib.Path(scratch, "sphere.exe"), pathlib.Path(scratch, "published.exe")
        ours.write_bytes(program(made))
        if args.windows_cert:
            steps.run(["osslsigncode", "sign", "-certs", args.windows_cert, "-key", args.windows_key, "-h", "sha256",
                       "-n", "sphere", *(["-i", args.windows_publisher_url] if args.windows_publisher_url else []),
                       *(["-ts", args.windows_timestamp_url] if args.windows_timestamp_url else []), "-time",
                       os.environ["SOURCE_DATE_EPOCH"], "-in", f"{ours}", "-out", f"{scratch}/signed.exe"])
            return pathlib.Path(scratch, "signed.exe").read_bytes(), False
        if args.signatures_from is None or not os.path.exists(published):
            return None, False
        theirs.write_bytes(program(published))
        if steps.run(["osslsigncode", "remove-signature", "-in", f"{theirs}", "-out", f"{scratch}/unsigned.exe"],
                     check=False):
            return None, False  # it is unsigned: the rebuilt one is compared with it as it is
        return theirs.read_bytes() if pe_alike(pathlib.Path(scratch, "unsigned.exe").read_bytes(),
                                               ours.read_bytes()) else None, True


def program(archive):
    """The Windows program in a zip."""
    with zipfile.ZipFile(archive) as zipped:
        return next(zipped.read(entry) for entry in zipped.infolist() if entry.filename.endswith(".exe"))
