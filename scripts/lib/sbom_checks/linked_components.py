# SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
#
# SPDX-License-Identifier: MIT

"""The components that a link map shows linked into the Windows program, worked out by rules of
this file (not sbom.py's), and how an SBOM's account of them differs."""

import os
import re

from sbom_inputs.debian import dpkg_field, dpkg_owners
from sbom_inputs.link_map import linked_inputs
from sbom_inputs.qt_prefix import plugin_targets, qt_version
from sbom_inputs.qt_source import in_scope, read_includes, read_sources, source_attributions


class LinkedComponents:
    """What the link map shows linked into the program: by component, ('qt', name) for a Qt
    module or plugin and ('attribution', Id) for third-party code that Qt carries, with the
    files that show it; and the files of Debian packages, with their packages."""

    def __init__(self, args):
        self.prefix = os.path.normpath(args.qt_prefix)
        self.build = os.path.normpath(args.build)
        self.entries = source_attributions(args.attributions)
        self.sources = read_sources(args.attributions)
        self.includes = read_includes(args.attributions)
        self.plugins = plugin_targets(self.prefix)
        self.qt_version = qt_version(self.prefix)
        self.problems = []
        # Components the map demands, and those it allows: a member compiled from a file that
        # several folders of Qt hold demands one of their components and allows each.
        self.required = {}
        self.any_of = []
        self.allowed = set()
        self.debian_files = {}
        inputs = linked_inputs(args.map, self.build)
        owned = [p for p, _ in inputs if not self.ours(p)]
        self.owners = dpkg_owners(owned)
        for path, member in sorted(inputs, key=lambda i: (i[0], i[1] or "")):
            self.place(path, member)

    def ours(self, path):
        return path.startswith((self.prefix + "/", self.build + "/"))

    def need(self, component, shown):
        files = self.required.setdefault(component, [])
        if shown not in files:
            files.append(shown)
        self.allowed.add(component)

    def place(self, path, member):
        shown = f"{os.path.basename(path)}({member})" if member else os.path.basename(path)
        if path.startswith(self.build + "/"):
            # The program's own; the check has nothing to match it with in the SBOM.
            if not os.path.isfile(path):
                self.problems.append(f"{path}: linked, but not a file of the build")
        elif path.startswith(self.prefix + "/"):
            self.place_qt(os.path.relpath(path, self.prefix), member, shown)
        elif self.owners.get(path):
            self.debian_files[path] = self.owners[path]
        else:
            self.problems.append(f"{path}: linked, but from no Debian package, Qt or the build")

    def place_qt(self, rel, member, shown):
        base = os.path.basename(rel)
        init = re.search(r"^lib/objects-[^/]+/([^/]+?)(_init|_resources_\d+)?/", rel)
        module = re.fullmatch(r"libQt6(\w+)\.a", base)
        if member is None and init:
            self.need(("qt", init.group(1)), shown)
        elif member is not None and rel.startswith("plugins/") and base.endswith(".a"):
            self.need(("qt", self.plugins.get(rel, "plugin " + base[3:-2])), shown)
        elif member is not None and rel.startswith("lib/") and module:
            if not module.group(1).startswith("Bundled"):
                self.need(("qt", module.group(1)), shown)
        else:
            self.problems.append(f"{rel}: linked from Qt, but neither a module nor a plugin")
            return
        if member is None:
            return
        # Every file of Qt's source of the member's name, and what includes of these bring.
        name = re.sub(r"\.(obj|o)$", "", member)
        # libjpeg's 12- and 16-bit files (Qt 6.8) are compiled from copies named file_12.c.
        candidates = (self.sources.get(name, []) or
                      self.sources.get(re.sub(r"_(12|16)(\.c)$", r"\2", name), []))
        covering = [{i for i, e in self.entries.items() if in_scope(c, e)} for c in candidates]
        for found in covering:
            self.allowed |= {("attribution", i) for i in found}
        if covering and all(covering):
            if len({frozenset(f) for f in covering}) == 1:
                for i in covering[0]:
                    self.need(("attribution", i), shown)
            else:
                self.any_of.append(({("attribution", i) for f in covering for i in f}, shown))
        for source in candidates:
            for included in self.includes.get(source, []):
                found = {("attribution", i) for i, e in self.entries.items()
                         if in_scope(included, e)}
                self.allowed |= found
                if len(candidates) == 1:
                    for component in found:
                        self.need(component, shown)

    def name(self, component):
        kind, key = component
        return f"Qt {key}" if kind == "qt" else self.entries[key].get("Name", key)

    def check_debian(self, found):
        """Each linked file of Debian's in the sourceInfo of one component, whose package URL
        names the file's package; each such component with a linked file."""
        problems = []
        claims = {}
        for (kind, owner), packages in sorted(found.items()):
            for package in packages if kind == "debian" else []:
                text = package.get("sourceInfo", "")
                files = text[len("linked from "):].split(", ") if text else []
                if not text.startswith("linked from ") or not files:
                    problems.append(f"{package.get('name')}: no sourceInfo 'linked from ...' "
                                    f"names its files")
                for path in files:
                    claims.setdefault(path, []).append(package.get("name"))
                    if path not in self.debian_files:
                        problems.append(f"{package.get('name')}: {path} in the SBOM, but the "
                                        f"map shows it not linked from a Debian package")
                    elif self.debian_files[path] != owner:
                        problems.append(f"{package.get('name')}: {path} is Debian's "
                                        f"{self.debian_files[path]}, but the package URL names "
                                        f"{owner}")
        missing = {}
        for path, owner in sorted(self.debian_files.items()):
            if not claims.get(path):
                missing.setdefault(owner, []).append(os.path.basename(path))
            elif len(claims[path]) > 1:
                problems.append(f"{path}: in more than one component: "
                                f"{', '.join(claims[path])}")
        for owner, files in sorted(missing.items()):
            shown = ", ".join(files[:3]) + (", ..." if len(files) > 3 else "")
            problems.append(f"linked but not in the SBOM: {shown} of Debian's {owner}")
        return problems

    def identify(self, package):
        """The component a package of the SBOM stands for: Qt's by its Debian source package,
        Debian's by its package URL, Qt's third-party code by the SPDXID that sbom.py gives
        it."""
        purls = [r.get("referenceLocator", "") for r in package.get("externalRefs", [])
                 if r.get("referenceType") == "purl"]
        debian = [re.match(r"pkg:deb/debian/([^@?]+)", p) for p in purls]
        debian = [m.group(1) for m in debian if m]
        ident = package.get("SPDXID", "")
        if debian == ["qt6-base"] and package.get("name", "").startswith("Qt "):
            return ("qt", package["name"][3:])
        if debian:
            return ("debian", debian[0])
        for key in self.entries:
            if ident == "SPDXRef-Qt-3rdparty-" + re.sub(r"[^A-Za-z0-9.-]+", "-", key).strip("-"):
                return ("attribution", key)
        return None

    def compare(self, linked, licences):
        problems = list(self.problems)
        found = {}
        for package in linked:
            component = self.identify(package)
            if component is None:
                problems.append(f"{package.get('name')}: linked in the SBOM, but the check "
                                f"cannot tell what it is")
            else:
                found.setdefault(component, []).append(package)
        for component, files in sorted(self.required.items()):
            shown = ", ".join(files[:3]) + (", ..." if len(files) > 3 else "")
            if component not in found:
                problems.append(f"linked but not in the SBOM: {self.name(component)} "
                                f"(from {shown})")
        for choices, shown in self.any_of:
            if not choices & set(found):
                names = " or ".join(sorted(self.name(c) for c in choices))
                problems.append(f"linked but not in the SBOM: {names} (from {shown})")
        problems += self.check_debian(found)
        for component, packages in sorted(found.items()):
            for package in packages:
                if component not in self.allowed and component[0] != "debian":
                    problems.append(f"{package.get('name')}: in the SBOM, but nothing linked "
                                    f"comes from it")
                else:
                    problems += self.describe(component, package, licences)
        return problems

    def describe(self, component, package, licences):
        """What is wrong in the SBOM's account of a linked component, by its source."""
        name, version = package.get("name"), package.get("versionInfo")
        kind, key = component
        problems = []
        if kind == "qt":
            want = self.qt_version
            purl = f"pkg:deb/debian/qt6-base@{want}?arch=source"
        elif kind == "debian":
            want = dpkg_field(key, "Version")
            purl = f"pkg:deb/debian/{key}@{want}?arch={dpkg_field(key, 'Architecture')}"
        else:
            entry = self.entries[key]
            want, purl = entry.get("Version") or "NOASSERTION", None
            if name != entry.get("Name", key):
                problems.append(f"{name}: named so in the SBOM, but its qt_attribution.json "
                                f"names it {entry.get('Name', key)!r}")
            expected = licences.of_attribution(entry)
            for field in ("licenseConcluded", "licenseDeclared"):
                given = package.get(field, "")
                if expected is None and not given.startswith("LicenseRef-"):
                    problems.append(f"{name}: {field} {given!r}, but its qt_attribution.json "
                                    f"names no SPDX licence: {entry.get('LicenseId')!r}")
                elif expected is not None and not licences.same(given, expected):
                    problems.append(f"{name}: {field} {given!r}, but its qt_attribution.json "
                                    f"says {entry.get('LicenseId')!r}")
        if version != want:
            problems.append(f"{name}: version {version!r} in the SBOM, {want!r} linked")
        purls = [r.get("referenceLocator") for r in package.get("externalRefs", [])
                 if r.get("referenceType") == "purl"]
        if purl and purls != [purl]:
            problems.append(f"{name}: package URL {purls} in the SBOM, {purl} linked")
        return problems
