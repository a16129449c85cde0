"""The release's tarballs and zips, written anew with their entries in one
fixed order, sorted by path, whatever order the file system listed them in
when cpack made them. Each entry keeps its type, mode, owner and time, and
its bytes but where a Windows program's are given anew, signed.
"""
import gzip
import io
import os
import tarfile
import zipfile


def sort_tarball(path):
    with tarfile.open(path, "r:gz") as archive:
        entries = [(member, archive.extractfile(member).read() if member.isfile() else None)
                   for member in archive.getmembers()]
    with open(path + ".new", "wb") as file:
        with gzip.GzipFile(filename="", mode="wb", fileobj=file, mtime=0) as compressed:
            with tarfile.open(fileobj=compressed, mode="w", format=tarfile.USTAR_FORMAT) as archive:
                for member, data in sorted(entries, key=lambda entry: entry[0].name):
                    archive.addfile(member, None if data is None else io.BytesIO(data))
    os.replace(path + ".new", path)


def sort_zip(path, program=None):
    """program, where given, is the bytes that the zip is to hold for its
    Windows program."""
    with zipfile.ZipFile(path) as archive:
        entries = [(entry, archive.read(entry)) for entry in archive.infolist()]
    with zipfile.ZipFile(path + ".new", "w") as archive:
        for entry, data in sorted(entries, key=lambda entry: entry[0].filename):
            archive.writestr(entry, program if program and entry.filename.endswith(".exe") else data,
                             compresslevel=9)
    os.replace(path + ".new", path)
