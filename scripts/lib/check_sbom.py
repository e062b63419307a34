#!/usr/bin/env python3

# SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
#
# SPDX-License-Identifier: MIT

"""Checks a software bill of materials (SBOM) that scripts/lib/sbom.py wrote.

  check_sbom.py SBOM [--artefact FILE]
                [--map MAP --qt-prefix DIR --attributions DIR --build DIR]

Every SBOM: an SPDX 2.3 document whose packages all have a name, a version, a supplier and
licences that are valid SPDX expressions (read with Debian's python3-license-expression and its
SPDX licence list, each identifier as SPDX spells it now) over SPDX's licences or those the
document defines; whose relationships name packages that exist, and that describes one package
from which every other is reached. With --artefact, the described package's checksum is the
file's.

With a link map, the components the program links are worked out again, from the map's own
evidence and by the rules of sbom_checks, not sbom.py's: an archive of Qt's is the module it is
named after; an archive member compiled from Qt's third-party code is the qt_attribution.json
entry whose files hold its source, at that entry's version and licence; a file of Debian's
belongs to the package dpkg names, at dpkg's version and architecture, and to the one component
whose sourceInfo ("linked from FILE, FILE...") names it. Every such component must be linked
from the program in the SBOM, and every component the SBOM links must be one of them: a
component left out, put in without a reason, or described otherwise than its source says fails
the check.
"""

import argparse
import json
import os
import re
import sys

# No __pycache__ folders in the tree: scripts/release wants a tree without untracked files.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from sbom_checks.licences import Licences  # noqa: E402
from sbom_checks.linked_components import LinkedComponents  # noqa: E402
from sbom_inputs import SbomError, sha256  # noqa: E402

PROGRAM = "mv4016-calculator.exe"


def check(sbom_path, args):
    problems = []
    with open(sbom_path, encoding="utf-8") as stream:
        try:
            doc = json.load(stream)
        except json.JSONDecodeError as error:
            return [f"not JSON: {error}"]
    for key, value in (("spdxVersion", "SPDX-2.3"), ("dataLicense", "CC0-1.0"),
                       ("SPDXID", "SPDXRef-DOCUMENT")):
        if doc.get(key) != value:
            problems.append(f"{key} is {doc.get(key)!r}, not {value!r}")
    for key in ("name", "documentNamespace"):
        if not doc.get(key):
            problems.append(f"no {key}")
    created = doc.get("creationInfo", {}).get("created", "")
    if not re.fullmatch(r"\d{4}-\d\d-\d\dT\d\d:\d\d:\d\dZ", created):
        problems.append(f"creation time {created!r} is not YYYY-MM-DDThh:mm:ssZ")

    refs = {e.get("licenseId") for e in doc.get("hasExtractedLicensingInfos", [])}
    for ref in refs:
        if not re.fullmatch(r"LicenseRef-[A-Za-z0-9.-]+", ref or ""):
            problems.append(f"extracted licence {ref!r} is not named LicenseRef-...")
    licences = Licences(refs)
    used = set()
    packages = {}
    for package in doc.get("packages", []):
        name = package.get("name", "?")
        ident = package.get("SPDXID", "")
        if not re.fullmatch(r"SPDXRef-[A-Za-z0-9.-]+", ident):
            problems.append(f"{name}: SPDXID {ident!r} is not SPDXRef-[A-Za-z0-9.-]+")
        if ident in packages:
            problems.append(f"{name}: SPDXID {ident} used twice")
        packages[ident] = package
        for key in ("name", "versionInfo", "supplier", "downloadLocation", "copyrightText"):
            if not package.get(key):
                problems.append(f"{name}: no {key}")
        supplier = package.get("supplier", "")
        if supplier != "NOASSERTION" and not re.match(r"(Organization|Person): \S", supplier):
            problems.append(f"{name}: supplier {supplier!r} is not 'Organization: ...'")
        for key in ("licenseConcluded", "licenseDeclared"):
            found, refs_used = licences.problems(package.get(key, ""))
            used |= refs_used
            problems += [f"{name}: {key} {package.get(key)!r} {p}" for p in found]
    for ref in sorted(refs - used):
        problems.append(f"extracted licence {ref} is used by no package")

    described = []
    edges = {}
    for relation in doc.get("relationships", []):
        source, kind = relation.get("spdxElementId"), relation.get("relationshipType")
        target = relation.get("relatedSpdxElement")
        if source == "SPDXRef-DOCUMENT" and kind == "DESCRIBES":
            described.append(target)
        elif source not in packages:
            problems.append(f"relationship from unknown {source}")
        if target not in packages:
            problems.append(f"relationship to unknown {target}")
        edges.setdefault(source, []).append((kind, target))
    if len(described) != 1:
        problems.append(f"describes {len(described)} packages, not one")
    else:
        reached, todo = set(described), list(described)
        while todo:
            for _, target in edges.get(todo.pop(), []):
                if target not in reached:
                    reached.add(target)
                    todo.append(target)
        for ident in sorted(set(packages) - reached):
            problems.append(f"{packages[ident].get('name')} is reached from no described "
                            f"package")
        if args.artefact:
            top = packages.get(described[0], {})
            want = sha256(args.artefact)
            got = [c.get("checksumValue") for c in top.get("checksums", [])
                   if c.get("algorithm") == "SHA256"]
            if got != [want]:
                problems.append(f"{top.get('name')}: SHA256 {got} is not the artefact's {want}")

    if args.map:
        program = [p for p in packages.values() if p.get("name") == PROGRAM]
        if not program:
            return problems + [f"no package for the program, {PROGRAM}"]
        linked = [packages[target] for kind, target in edges.get(program[0]["SPDXID"], [])
                  if kind == "STATIC_LINK" and target in packages]
        problems += LinkedComponents(args).compare(linked, licences)
    return problems


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("sbom")
    parser.add_argument("--artefact")
    for option in ("map", "qt-prefix", "attributions", "build"):
        parser.add_argument("--" + option)
    args = parser.parse_args()
    if args.map and not (args.qt_prefix and args.attributions and args.build):
        parser.error("--map needs --qt-prefix, --attributions and --build")
    try:
        problems = check(args.sbom, args)
    except (SbomError, OSError) as error:
        problems = [str(error)]
    for problem in problems:
        print(f"check_sbom: {os.path.basename(args.sbom)}: {problem}", file=sys.stderr)
    if problems:
        return 1
    with open(args.sbom, encoding="utf-8") as stream:
        count = len(json.load(stream)["packages"])
    print(f"check_sbom: {os.path.basename(args.sbom)}: {count} packages, valid")
    return 0


if __name__ == "__main__":
    sys.exit(main())
