#!/usr/bin/env python3

# SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
#
# SPDX-License-Identifier: MIT

"""Checks a bill of materials that scripts/lib/sbom.py wrote.

  check_sbom.py BILL [--artefact FILE]
                [--map MAP --qt-prefix DIR --attributions DIR --build DIR]

Every bill: an SPDX 2.3 document whose packages all have a name, a version, a supplier and
licences that are valid SPDX expressions over the SPDX licence list (the copy that Debian's
reuse package carries; no deprecated identifiers) or licences defined in the document; whose
relationships name packages that exist, and that describes one package from which every other
is reached. With --artefact, the described package's checksum is the file's. With a link map,
every component that the map shows linked into the program has its package, at its version,
linked from the program: a component missing from the bill fails the check.
"""

import argparse
import importlib.util
import json
import os
import re
import sys

# No __pycache__ folder in the tree: scripts/release wants a tree without untracked files.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from sbom_documents import components, spdx  # noqa: E402
from sbom_inputs import SbomError  # noqa: E402
from sbom_inputs.link_map import linked_inputs  # noqa: E402


def spdx_lists():
    """The SPDX licence and exception identifiers, from the data files of Debian's reuse."""
    module = importlib.util.find_spec("reuse")
    if module is None or not module.origin:
        raise SystemExit("check_sbom: the SPDX licence list comes with Debian's package 'reuse'; "
                         "install it")
    found = {}
    for root, _, names in os.walk(os.path.dirname(module.origin)):
        for name in ("licenses.json", "exceptions.json"):
            if name in names and name not in found:
                found[name] = os.path.join(root, name)
    if len(found) != 2:
        raise SystemExit(f"check_sbom: no SPDX licence list in {os.path.dirname(module.origin)}")
    with open(found["licenses.json"], encoding="utf-8") as stream:
        licenses = {entry["licenseId"]: entry.get("isDeprecatedLicenseId", False)
                    for entry in json.load(stream)["licenses"]}
    with open(found["exceptions.json"], encoding="utf-8") as stream:
        exceptions = {entry["licenseExceptionId"]: entry.get("isDeprecatedLicenseId", False)
                      for entry in json.load(stream)["exceptions"]}
    return licenses, exceptions


class Expression:
    """A recursive-descent reader of SPDX licence expressions (SPDX 2.3, annex D)."""

    def __init__(self, text, licenses, exceptions, refs):
        self.tokens = re.findall(r"\(|\)|[A-Za-z0-9.+:-]+|\S", text)
        self.position = 0
        self.licenses, self.exceptions, self.refs = licenses, exceptions, refs
        self.used = set()

    def fail(self, why):
        raise ValueError(why)

    def peek(self):
        return self.tokens[self.position] if self.position < len(self.tokens) else None

    def take(self):
        token = self.peek()
        if token is None:
            self.fail("ends too early")
        self.position += 1
        return token

    def parse(self):
        if not self.tokens:
            self.fail("is empty")
        self.disjunction()
        if self.peek() is not None:
            self.fail(f"has '{self.peek()}' where it should end")
        return self.used

    def disjunction(self):
        self.conjunction()
        while self.peek() == "OR":
            self.take()
            self.conjunction()

    def conjunction(self):
        self.term()
        while self.peek() == "AND":
            self.take()
            self.term()

    def term(self):
        token = self.take()
        if token == "(":
            self.disjunction()
            if self.take() != ")":
                self.fail("has an unclosed '('")
            return
        if token.startswith("LicenseRef-"):
            if token not in self.refs:
                self.fail(f"uses {token}, which the document does not define")
            self.used.add(token)
        else:
            name = token[:-1] if token.endswith("+") else token
            if name not in self.licenses:
                self.fail(f"names '{token}', which is no SPDX licence identifier")
            if self.licenses[name]:
                self.fail(f"names '{token}', a deprecated SPDX identifier")
        if self.peek() == "WITH":
            self.take()
            exception = self.take()
            if exception not in self.exceptions or self.exceptions[exception]:
                self.fail(f"names '{exception}', which is no SPDX licence exception")


def check_license(text, licenses, exceptions, refs):
    if text in ("NOASSERTION", "NONE"):
        return set()
    return Expression(text, licenses, exceptions, refs).parse()


def check(bill_path, args):
    problems = []
    with open(bill_path, encoding="utf-8") as stream:
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

    licenses, exceptions = spdx_lists()
    refs = {e.get("licenseId") for e in doc.get("hasExtractedLicensingInfos", [])}
    for ref in refs:
        if not re.fullmatch(r"LicenseRef-[A-Za-z0-9.-]+", ref or ""):
            problems.append(f"extracted licence {ref!r} is not named LicenseRef-...")
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
            try:
                used |= check_license(package.get(key, ""), licenses, exceptions, refs)
            except ValueError as error:
                problems.append(f"{name}: {key} {package.get(key)!r} {error}")
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
            want = spdx.sha256(args.artefact)
            got = [c.get("checksumValue") for c in top.get("checksums", [])
                   if c.get("algorithm") == "SHA256"]
            if got != [want]:
                problems.append(f"{top.get('name')}: SHA256 {got} is not the artefact's {want}")

    if args.map:
        problems += check_linked(doc, packages, edges, args)
    return problems


def check_linked(doc, packages, edges, args):
    """Every component that the link map shows has its package, linked from the program."""
    classifier = components.Classifier(args.qt_prefix, args.attributions, args.build)
    found = classifier.components(linked_inputs(args.map, args.build))
    program = [p for p in packages.values() if p.get("name") == "mv4016-calculator.exe"]
    if not program:
        return ["no package for the program, mv4016-calculator.exe"]
    linked = {target for kind, target in edges.get(program[0]["SPDXID"], [])
              if kind == "STATIC_LINK"}
    by_name = {}
    for ident in linked:
        by_name[packages[ident].get("name")] = packages[ident]
    problems = []
    for component, files in sorted(found.items(), key=lambda item: str(item[0])):
        if component == "program":
            continue
        name, version = spdx.component_name(classifier, component)
        package = by_name.get(name)
        shown = ", ".join(files[:3]) + (", ..." if len(files) > 3 else "")
        if package is None:
            problems.append(f"linked but not in the bill: {name} (from {shown})")
        elif package.get("versionInfo") != version:
            problems.append(f"{name}: version {package.get('versionInfo')!r} in the bill, "
                            f"{version!r} linked")
    return problems


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("bill")
    parser.add_argument("--artefact")
    for option in ("map", "qt-prefix", "attributions", "build"):
        parser.add_argument("--" + option)
    args = parser.parse_args()
    if args.map and not (args.qt_prefix and args.attributions and args.build):
        parser.error("--map needs --qt-prefix, --attributions and --build")
    try:
        problems = check(args.bill, args)
    except (SbomError, OSError) as error:
        problems = [str(error)]
    for problem in problems:
        print(f"check_sbom: {os.path.basename(args.bill)}: {problem}", file=sys.stderr)
    if problems:
        return 1
    with open(args.bill, encoding="utf-8") as stream:
        count = len(json.load(stream)["packages"])
    print(f"check_sbom: {os.path.basename(args.bill)}: {count} packages, valid")
    return 0


if __name__ == "__main__":
    sys.exit(main())
