#!/usr/bin/env python3
"""Checks the release's bill of materials as its readers would: valid against
CycloneDX's own JSON schema, naming every file of the release by its SHA-256
(but the checksums, their signature and the record of the build root, which
speak of the release), and every reference in it pointing at a component it holds.

    check_sbom.py <bom.json> <folder of CycloneDX's schemas> <release folder>
"""
import hashlib
import json
import pathlib
import sys

import jsonschema

bom_path, schemas, dist = (pathlib.Path(argument) for argument in sys.argv[1:])
bom = json.loads(bom_path.read_text())

# The schema refers to its neighbours by their names under its own $id.
schema = json.loads((schemas / "bom-1.6.SNAPSHOT.schema.json").read_text())
base = schema["$id"].rsplit("/", 1)[0]
store = {f"{base}/{name}": json.loads((schemas / name).read_text())
         for name in ("spdx.SNAPSHOT.schema.json", "jsf-0.82.SNAPSHOT.schema.json")}
validator = jsonschema.Draft7Validator(schema, resolver=jsonschema.RefResolver.from_schema(schema, store=store),
                                       format_checker=jsonschema.FormatChecker())
errors = [f"{'/'.join(map(str, error.absolute_path))}: {error.message}" for error in validator.iter_errors(bom)]


def components(within):
    for component in within.get("components", []):
        yield component
        yield from components(component)


listed = {component["bom-ref"]: component for component in components(bom)}
for dependency in bom.get("dependencies", []):
    for ref in [dependency["ref"], *dependency.get("dependsOn", [])]:
        if ref not in listed:
            errors.append(f"dependencies: {ref} is no component")
for path in sorted(dist.iterdir()):
    if path == bom_path or path.name == "SHA256SUMS" or path.suffix in (".asc", ".buildinfo") or not path.is_file():
        continue
    sha256 = hashlib.sha256(path.read_bytes()).hexdigest()
    hashes = [hash["content"] for hash in listed.get(path.name, {}).get("hashes", [])]
    if hashes != [sha256]:
        errors.append(f"{path.name}: not listed with its SHA-256, {sha256}")

if errors:
    sys.exit("the bill of materials is not valid:\n  " + "\n  ".join(errors))
print(f"{bom_path.name}: valid CycloneDX {bom['specVersion']}, {len(listed)} components, every file of the release")
