"""The release's bill of materials, in CycloneDX 1.6 JSON: each file of the
release with its SHA-256; in each, the program and what it holds of others'
code, each part named by the Debian package it was linked in from, at the
version installed when it was built; and what each Linux program needs from
the system at run time, as its Debian package's Depends says. Its time is
SOURCE_DATE_EPOCH and its serial number a UUID of its content, so that the
same release gives the same bytes.
"""
import hashlib
import json
import os
import platform
import time
import uuid

import project
from progress import Failure, output


def hashes(path):
    with open(path, "rb") as file:
        return [{"alg": "SHA-256", "content": hashlib.sha256(file.read()).hexdigest()}]


def purl(package, version, architecture):
    """A Debian package's package URL."""
    at = "@" + version.replace("+", "%2B").replace(":", "%3A") if version else ""
    return f"pkg:deb/debian/{package}{at}?arch={architecture}"


def program_parts(target, link_map, libraries, codes):
    """What a target's program holds of others' code, as components, each
    Debian package's files of one code, with that code's licence."""
    packages = {}
    for path in project.link_map_files(link_map):
        library = os.path.splitext(os.path.basename(path))[0]
        if library not in libraries:
            raise Failure(f"{target}'s program holds {path}, which packaging/linked_in.cmake does not list")
        package = output(["dpkg-query", "-S", os.path.realpath(path)]).split(":")[0]
        held = packages.setdefault(package, [set(libraries[library]), []])
        held[0] &= libraries[library]  # a package's code is the one that all its files can be of
        held[1].append(os.path.basename(path))
    parts = []
    for package, (of, names) in sorted(packages.items()):
        if len(of) != 1:
            raise Failure(f"{package}'s files in {target}'s program are not of one code: {', '.join(names)}")
        licence, what = codes[of.pop()]
        version, architecture = output(["dpkg-query", "-W", "-f=${Version};${Architecture}", package]).split(";")
        parts.append({"type": "library", "name": package, "version": version,
                      "description": f"{what}, linked in: {', '.join(sorted(names))}",
                      "licenses": [{"expression": licence}], "purl": purl(package, version, architecture)})
    return parts


def write(path, version, commit, source_archive, dist, builds, made, targets, signer):
    """made names the files in dist that each target's build made, in
    builds/<target>, whose link map tells what its program holds; signer,
    where the Windows programs are signed, what signed them."""
    libraries, codes = project.linked_in()
    program = {"name": "sphere", "version": version, "licenses": [{"license": {"id": "MIT"}}]}
    components = [{"type": "file", "bom-ref": source_archive, "name": source_archive,
                   "description": "the source archive", "hashes": hashes(f"{dist}/{source_archive}")}]
    system, dependencies = {}, []
    for target, fields in targets.items():
        parts = program_parts(target, f"{builds}/{target}/sphere.map", libraries, codes)
        needs = [need for name in made[target] if name.endswith(".deb")
                 for need in output(["dpkg-deb", "-f", f"{dist}/{name}", "Depends"]).split(", ")]
        refs = [f"system/{need.split()[0]}:{fields['deb']}" for need in needs]
        for ref, need in zip(refs, needs):
            system.setdefault(ref, {"type": "library", "bom-ref": ref, "name": need.split()[0], "scope": "required",
                                    "description": f"the system's, not in any file of the release: {need}",
                                    "purl": purl(need.split()[0], None, fields["deb"])})
        signed = f", Authenticode-signed by {signer}" if signer and fields["system"] == "Windows" else ""
        for name in made[target]:
            components.append({"type": "file", "bom-ref": name, "name": name, "hashes": hashes(f"{dist}/{name}"),
                               "components": [{"type": "application", "bom-ref": f"{name}/sphere", **program,
                                               "description": f"the program, built for {target}{signed}",
                                               "components": [{"bom-ref": f"{name}/sphere/{part['name']}", **part}
                                                              for part in parts]}]})
            if refs:
                dependencies.append({"ref": f"{name}/sphere", "dependsOn": refs})
    tools = [("cmake", output(["cmake", "--version"]).split()[2]), ("python3", platform.python_version())]
    tools += [tuple(signer.split())] if signer else []
    component = {"type": "application", "bom-ref": "sphere", **program, "description": "The sphere release: every "
                 "file, what its program holds, whose it is, under which licence", "swhid": [f"swh:1:rev:{commit}"],
                 "externalReferences": [{"type": "source-distribution", "url": source_archive,
                                         "hashes": components[0]["hashes"]}]}
    metadata = {"timestamp": time.strftime("%Y-%m-%dT%H:%M:%SZ", time.gmtime(int(os.environ["SOURCE_DATE_EPOCH"]))),
                "tools": {"components": [{"type": "application", "name": name, "version": tool_version}
                                         for name, tool_version in tools]}, "component": component}
    document = {"bomFormat": "CycloneDX", "specVersion": "1.6", "serialNumber": None, "version": 1,
                "metadata": metadata, "components": components + list(system.values()), "dependencies": dependencies}
    # The serial number is a name-based UUID of everything else in it.
    content = hashlib.sha256(json.dumps(document, indent=2).encode()).hexdigest()
    document["serialNumber"] = f"urn:uuid:{uuid.uuid5(uuid.NAMESPACE_URL, f'{os.path.basename(path)}:{content}')}"
    with open(path, "w") as bom:
        json.dump(document, bom, indent=2)
        bom.write("\n")
