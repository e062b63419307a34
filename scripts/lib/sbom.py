#!/usr/bin/env python3

# SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
#
# SPDX-License-Identifier: MIT

"""Software bills of materials (SPDX 2.3, JSON) for the artefacts of a release.

  sbom.py windows --map MAP --qt-prefix DIR --attributions DIR --build DIR --program EXE
                  --artefact FILE --version V --publisher P --output FILE
      The Windows program, installer or archive. What the program contains comes from the
      linker's map: every archive member and object file that went into it is assigned to a
      component (the program, a Qt module, a library that Qt carries, the MinGW-w64 or GCC
      runtime); one that fits none stops the bill. Versions and licences of Qt's third-party code
      come from the qt_attribution.json files of the Qt source that was built.
  sbom.py deb --deb FILE --publisher P --output FILE
      The Debian package, with the packages its Depends field names, as dpkg-shlibdeps
      computed them.
  sbom.py qt-includes SOURCE
      Which of Qt's source files include third-party code of Qt's (some, like TinyCBOR or the
      hash functions, are compiled into Qt's own files), for the attributions folder.

Only the standard library is used. SOURCE_DATE_EPOCH fixes the creation time, so that the same
artefact always gets the same bill.
"""

import argparse
import datetime
import hashlib
import json
import os
import re
import subprocess
import sys

MINGW_TRIPLET = "x86_64-w64-mingw32"
QT_SUPPLIER = "Organization: Debian"
QT_ORIGINATOR = "Organization: The Qt Company Ltd."
# How Qt's own files are licensed (the SPDX lines of Qt 6's sources, without the commercial
# option); the program uses Qt under the LGPL, whose text ships with it.
QT_DECLARED = "LGPL-3.0-only OR GPL-2.0-only OR GPL-3.0-only"
QT_CONCLUDED = "LGPL-3.0-only"

# The Debian packages whose files the Windows program links, besides Qt's: what each is and
# under which licence. A link map naming another package's file stops the bill until it is
# described here.
TOOLCHAIN_COMPONENTS = {
    "gcc-mingw-w64-x86-64-posix": (
        "GCC runtime (libgcc, libssp)",
        "GPL-3.0-or-later WITH GCC-exception-3.1",
        "Copyright (C) Free Software Foundation, Inc.",
    ),
    "g++-mingw-w64-x86-64-posix": (
        "GCC C++ runtime (libstdc++)",
        "GPL-3.0-or-later WITH GCC-exception-3.1",
        "Copyright (C) Free Software Foundation, Inc.",
    ),
    # The C runtime's start-up code and its import libraries of Windows' own DLLs.
    "mingw-w64-x86-64-dev": (
        "MinGW-w64 runtime",
        # Debian's copyright file: ZPL-2.1 for the whole, some start-up files in the public
        # domain; the full list ships in THIRD-PARTY-NOTICES.txt.
        "ZPL-2.1",
        "Copyright (C) the MinGW-w64 project and contributors",
    ),
}
# winpthreads comes in the same Debian package as the rest of the MinGW-w64 runtime, under
# licences of its own (Debian's copyright file: expat, with BSD-3-Clause parts).
WINPTHREADS = ("winpthreads", "MIT AND BSD-3-Clause",
               "Copyright (C) 2011-2016 mingw-w64 project, 2010 Lockless Inc.")

# Qt's attribution files use a few names that are not SPDX identifiers, or deprecated ones.
QT_LICENSE_FIXES = {
    "GPL-2.0": "GPL-2.0-only",
    "urn:dje:license:bitstream": "Bitstream-Vera",
    "ICC License": "LicenseRef-Qt-ICC",
}

# Debian's short licence names (copyright-format 1.0) in SPDX terms.
DEBIAN_LICENSES = {
    "GPL-2": "GPL-2.0-only", "GPL-2+": "GPL-2.0-or-later",
    "GPL-3": "GPL-3.0-only", "GPL-3+": "GPL-3.0-or-later",
    "LGPL-2.1": "LGPL-2.1-only", "LGPL-2.1+": "LGPL-2.1-or-later",
    "LGPL-3": "LGPL-3.0-only", "LGPL-3+": "LGPL-3.0-or-later",
    "AGPL-3": "AGPL-3.0-only", "Expat": "MIT", "MIT": "MIT", "Zlib": "Zlib",
    "BSD-2-clause": "BSD-2-Clause", "BSD-3-clause": "BSD-3-Clause", "ISC": "ISC",
    "Apache-2.0": "Apache-2.0", "MPL-2.0": "MPL-2.0", "SIL-OFL-1.1": "OFL-1.1",
    "OFL-1.1": "OFL-1.1",
}
# Packages whose copyright file is not machine-readable, by Debian source package (GCC's under
# its version, gcc-N, in every release).
DEBIAN_SOURCE_LICENSES = {
    re.compile(r"glibc"): "LGPL-2.1-or-later",
    re.compile(r"gcc-\d+"): "GPL-3.0-or-later WITH GCC-exception-3.1",
}

CODE_SUFFIXES = (".c", ".cc", ".cpp")
# Platforms and compilers other than Windows with MinGW: an include under a test of one of them
# alone brings nothing into the Windows program.
FOREIGN = re.compile(r"\b(Q_OS_(UNIX|DARWIN|MACOS|MACX|IOS|TVOS|WATCHOS|VISIONOS|APPLE|ANDROID|"
                     r"LINUX|WASM|QNX|VXWORKS|INTEGRITY|FREEBSD|NETBSD|OPENBSD|BSD4|HURD|"
                     r"SOLARIS|HPUX|AIX|HAIKU)|__APPLE__|__linux__|Q_CC_MSVC|_MSC_VER)\b")
WINDOWS = re.compile(r"\b(Q_OS_WIN\w*|_WIN32|_WIN64)\b")
NEGATED = re.compile(r"!\s*(defined\s*\(?\s*\w+\s*\)?|\w+)")


def only(pattern, condition):
    """Whether a preprocessor condition holds only when PATTERN's macros are defined."""
    condition = NEGATED.sub("", condition)
    return "||" not in condition and bool(pattern.search(condition))


class BillError(Exception):
    pass


# ---------------------------------------------------------------------------------------------
# Qt's attribution files


def read_attributions(folder):
    """Every entry of every qt_attribution.json under FOLDER, with the source paths it covers
    (relative to Qt's source root): its Files, its Path, or else its whole folder."""
    entries = []
    for root, _, files in os.walk(folder):
        if "qt_attribution.json" not in files:
            continue
        path = os.path.join(root, "qt_attribution.json")
        with open(path, encoding="utf-8") as stream:
            # Some of Qt's files hold line breaks inside strings.
            data = json.loads(stream.read(), strict=False)
        where = os.path.relpath(root, folder)
        for entry in data if isinstance(data, list) else [data]:
            # From Qt 6.8 on, Files and Copyright may also be lists.
            if isinstance(entry.get("Copyright"), list):
                entry["Copyright"] = "\n".join(entry["Copyright"])
            files = entry.get("Files")
            if isinstance(files, str):
                files = re.split(r"[,\s]+", files.strip())
            if files:
                scope = [os.path.normpath(os.path.join(where, name)) for name in files if name]
                is_folder = False
            elif entry.get("Path"):
                scope = [os.path.normpath(os.path.join(where, entry["Path"]))]
                is_folder = None  # a file or a folder
            else:
                scope = [where]
                is_folder = True
            entries.append(dict(entry, scope=scope, scope_is_folder=is_folder, where=where))
    return sorted(entries, key=lambda e: (e["where"], e.get("Id", "")))


def in_scope(path, entry):
    for item in entry["scope"]:
        if path == item and entry["scope_is_folder"] is not True:
            return True
        if entry["scope_is_folder"] is not False and path.startswith(item + "/"):
            return True
    return False


def spdx_license(entry):
    """The licence of an attribution entry as an SPDX expression."""
    text = entry.get("LicenseId")
    if not text:
        return "LicenseRef-Qt-" + entry["Id"]
    text = QT_LICENSE_FIXES.get(text, text)
    text = re.sub(r"\b(or|and|with)\b", lambda m: m.group(1).upper(), text)
    return " ".join(QT_LICENSE_FIXES.get(word, word) for word in text.split())


def qt_includes(source):
    """Lines 'FILE<TAB>INCLUDED' for Qt's files that include a file in the scope of an
    attribution (directly or through another included file). Quoted and bracketed includes are
    looked for next to the including file; an included .c/.cpp file is also looked for anywhere
    (TinyCBOR's files are found through an include path)."""
    entries = [e for e in read_attributions(source) if e["where"].startswith("src")]
    files = []
    for root, _, names in os.walk(os.path.join(source, "src")):
        files += [os.path.relpath(os.path.join(root, n), source) for n in names
                  if n.endswith(CODE_SUFFIXES + (".h",))]
    files.sort()
    known = set(files)
    by_name = {}
    for path in files:
        if path.endswith(CODE_SUFFIXES):
            by_name.setdefault(os.path.basename(path), []).append(path)
    directive = re.compile(r'^\s*#\s*(include|ifdef|ifndef|if|elif|else|endif)\b\s*(.*)')
    include = re.compile(r'[<"]([^>"]+)[>"]')

    def includes(text):
        """The files TEXT includes, but for those only other platforms see."""
        # Per open #if: whether its current branch is for other platforms only, and whether
        # an earlier branch was for Windows only.
        stack = []
        for line in text.splitlines():
            match = directive.match(line)
            if not match:
                continue
            word, rest = match.groups()
            if word in ("if", "ifdef"):
                stack.append([only(FOREIGN, rest), only(WINDOWS, rest)])
            elif word == "ifndef":
                stack.append([only(WINDOWS, rest), only(FOREIGN, rest)])
            elif word in ("elif", "else") and stack:
                windows_before = stack[-1][1]
                stack[-1] = [windows_before or (word == "elif" and only(FOREIGN, rest)),
                             windows_before or (word == "elif" and only(WINDOWS, rest))]
            elif word == "endif" and stack:
                stack.pop()
            elif word == "include" and not any(foreign for foreign, _ in stack):
                name = include.match(rest.strip())
                if name:
                    yield name.group(1)

    def direct(path):
        try:
            with open(os.path.join(source, path), encoding="utf-8", errors="replace") as s:
                text = s.read()
        except OSError:
            return []
        found = []
        for name in includes(text):
            near = os.path.normpath(os.path.join(os.path.dirname(path), name))
            if near in known:
                found.append(near)
            elif name.endswith(CODE_SUFFIXES):
                found += [p for p in by_name.get(os.path.basename(name), [])
                          if p.endswith("/" + name)]
        return found

    lines = []
    for path in files:
        if not path.endswith(CODE_SUFFIXES):
            continue
        seen, todo = set(), direct(path)
        while todo:
            item = todo.pop()
            if item in seen:
                continue
            seen.add(item)
            todo += direct(item)
        for item in sorted(seen):
            if any(in_scope(item, e) for e in entries):
                lines.append(f"{path}\t{item}")
    return lines


# ---------------------------------------------------------------------------------------------
# The link map


def linked_inputs(map_path):
    """(archive, member) for every archive member the linker took, and (object, None) for every
    object file it was given, from a GNU ld map (-Wl,-Map)."""
    inputs = set()
    with open(map_path, encoding="utf-8", errors="replace") as stream:
        lines = stream.read().splitlines()
    section = None
    member = re.compile(r"^(\S.*)\(([^()]+)\)$")
    for line in lines:
        if line.startswith("Archive member included"):
            section = "archive"
            continue
        if line.startswith(("Discarded input sections", "Memory Configuration",
                            "Allocating common symbols")):
            section = None
            continue
        if line.startswith("Linker script and memory map"):
            section = "script"
            continue
        if section == "archive":
            match = member.match(line.split("  ")[0].rstrip()) if line[:1].strip() else None
            if match:
                inputs.add((os.path.normpath(match.group(1)), match.group(2)))
        elif section == "script" and line.startswith("LOAD "):
            path = line[5:].strip()
            # Archives count by their members; "linker stubs" and "dll stuff" are the linker's own.
            if not path.endswith(".a") and path not in ("linker stubs", "dll stuff"):
                inputs.add((os.path.normpath(path), None))
    if not inputs:
        raise BillError(f"{map_path}: no linked files found; is it a GNU ld map?")
    return inputs


def dpkg_owners(paths):
    """The Debian package of each file, or None; one dpkg-query for all, which reads the whole
    package database each time."""
    paths = sorted(set(paths))
    if not paths:
        return {}
    # A file of no package is reported on stderr, and makes the exit status 1.
    out = subprocess.run(["dpkg-query", "-S"] + [os.path.realpath(p) for p in paths],
                         capture_output=True, text=True).stdout
    owners = {}
    for line in out.splitlines():
        packages, _, path = line.partition(": ")
        if not packages.startswith("diversion by"):
            owners[path.strip()] = packages.split(",")[0].strip()
    return {p: owners.get(os.path.realpath(p)) for p in paths}


def dpkg_field(package, field):
    return subprocess.run(["dpkg-query", "-W", "-f=${" + field + "}", package], check=True,
                          capture_output=True, text=True).stdout.strip()


class Classifier:
    """Assigns each linked file to components: 'program', ('qt', module),
    ('attribution', entry id), ('debian', package) or ('winpthreads',)."""

    def __init__(self, qt_prefix, attributions, build):
        self.qt_prefix = os.path.normpath(qt_prefix)
        self.build = os.path.normpath(build)
        self.entries = {e["Id"]: e for e in read_attributions(attributions)
                        if e["where"].startswith("src")}
        with open(os.path.join(attributions, "sources.txt"), encoding="utf-8") as stream:
            self.sources = {}
            for path in stream.read().split():
                self.sources.setdefault(os.path.basename(path), []).append(
                    os.path.normpath(path))
        self.includes = {}
        includes = os.path.join(attributions, "includes.txt")
        with open(includes, encoding="utf-8") as stream:
            for line in stream:
                source, included = line.rstrip("\n").split("\t")
                self.includes.setdefault(source, []).append(included)
        self.owners = {}
        self.plugins = self.plugin_targets()
        # The version of Debian's qt6-base that the cached Qt was built from (its key's first
        # line), which is the host's.
        self.qt_version = dpkg_field("qt6-base-dev", "Version")
        try:
            with open(os.path.join(self.qt_prefix, "key"), encoding="utf-8") as stream:
                first = stream.readline().split()
            if first[:1] == ["qt6-base"] and len(first) == 2:
                self.qt_version = first[1]
        except OSError:
            pass
        # Folders of the libraries that Qt builds on their own (libQt6BundledFreetype.a etc.).
        lib = os.path.join(self.qt_prefix, "lib")
        bundled = [n[len("libQt6Bundled"):-2].lower() for n in os.listdir(lib)
                   if n.startswith("libQt6Bundled") and n.endswith(".a")]
        self.bundled_folders = {
            name: sorted(e["where"] for e in self.entries.values()
                         if e["where"].startswith("src/3rdparty/")
                         and os.path.basename(e["where"]).lower().startswith(name))
            for name in bundled}

    def plugin_targets(self):
        """The CMake target of each of Qt's plugin archives (plugins/platforms/libqwindows.a:
        QWindowsIntegrationPlugin), from Qt's CMake files, so that a plugin and its initialiser
        are named alike."""
        targets = {}
        pattern = re.compile(r'set_target_properties\(Qt6::(\w+) PROPERTIES[^)]*?'
                             r'IMPORTED_LOCATION_\w+ "\$\{_IMPORT_PREFIX\}/(?:\./)?([^"]+)"')
        for root, _, names in os.walk(os.path.join(self.qt_prefix, "lib", "cmake")):
            for name in names:
                if re.match(r".*Targets-\w+\.cmake$", name):
                    with open(os.path.join(root, name), encoding="utf-8") as stream:
                        for target, location in pattern.findall(stream.read()):
                            targets[os.path.normpath(location)] = target
        return targets

    def qt_sources(self, archive, member):
        """Qt's source file that an archive member was compiled from."""
        name = re.sub(r"\.(obj|o)$", "", member)
        # From Qt 6.8 on, libjpeg's files are also built for 12 and 16 bits, from copies named
        # file_12.c and file_16.c.
        candidates = (self.sources.get(name, []) or
                      self.sources.get(re.sub(r"_(12|16)(\.c)$", r"\2", name), []))
        base = os.path.basename(archive)
        if base.startswith("libQt6Bundled"):
            folders = self.bundled_folders.get(base[len("libQt6Bundled"):-2].lower(), [])
            candidates = [c for c in candidates if any(c.startswith(f + "/") for f in folders)]
        else:
            others = [f for fs in self.bundled_folders.values() for f in fs]
            candidates = [c for c in candidates
                          if not any(c.startswith(f + "/") for f in others)]
        return candidates

    def attributions_of(self, sources):
        found = set()
        for source in sources:
            for path in [source] + self.includes.get(source, []):
                found |= {i for i, e in self.entries.items() if in_scope(path, e)}
        return found

    def classify(self, path, member):
        # The build names the program's own files relatively (the linker runs inside the build
        # folder), and everything from outside it absolutely.
        real = os.path.normpath(path)
        if not os.path.isabs(real) or real.startswith(self.build + "/"):
            return {"program"}
        if real.startswith(self.qt_prefix + "/"):
            return self.classify_qt(real, member)
        owner = self.owners.get(real)
        if owner is None:
            raise BillError(f"{path}: linked, but from no Debian package and not from Qt or "
                            f"the build")
        # Debian's libpthread.a is a copy of libwinpthread.a.
        if owner == "mingw-w64-x86-64-dev" and os.path.basename(real) in ("libwinpthread.a",
                                                                          "libpthread.a"):
            return {("winpthreads",)}
        if owner not in TOOLCHAIN_COMPONENTS:
            raise BillError(f"{path}: linked from Debian's package {owner}, which the bills do "
                            f"not describe yet (TOOLCHAIN_COMPONENTS in scripts/lib/sbom.py)")
        return {("debian", owner)}

    def classify_qt(self, path, member):
        base = os.path.basename(path)
        rel = os.path.relpath(path, self.qt_prefix)
        if member is None:
            # A plugin's initialiser (lib/objects-Release/QWindowsIntegrationPlugin_init/...).
            match = re.search(r"objects-[^/]+/([^/]+?)(_init|_resources_\d+)?/", rel)
            if not match:
                raise BillError(f"{path}: an object file of Qt's that the bills do not know")
            return {("qt", match.group(1))}
        match = re.match(r"libQt6(\w+)\.a$", base)
        if match:
            module = match.group(1)
        elif rel.startswith("plugins/") and base.startswith("lib") and base.endswith(".a"):
            module = self.plugins.get(rel, "plugin " + base[3:-2])
        else:
            raise BillError(f"{path}: a library of Qt's that the bills do not know")
        components = set()
        if not module.startswith("Bundled"):
            components.add(("qt", module))
        sources = self.qt_sources(path, member)
        attributions = self.attributions_of(sources)
        if module.startswith("Bundled") and not attributions:
            raise BillError(f"{path}({member}): no qt_attribution.json covers its source "
                            f"{sources or '(not found)'}")
        components |= {("attribution", a) for a in attributions}
        return components

    def components(self, inputs):
        self.owners = dpkg_owners(
            os.path.normpath(path) for path, _ in inputs
            if os.path.isabs(path) and not os.path.normpath(path).startswith(
                (self.qt_prefix + "/", self.build + "/")))
        found = {}
        for path, member in sorted(inputs, key=lambda i: (i[0], i[1] or "")):
            for component in self.classify(path, member):
                found.setdefault(component, []).append(
                    f"{os.path.basename(path)}({member})" if member else os.path.basename(path))
        return found


# ---------------------------------------------------------------------------------------------
# SPDX


def spdx_id(text):
    return "SPDXRef-" + re.sub(r"[^A-Za-z0-9.-]+", "-", text).strip("-")


def sha256(path):
    digest = hashlib.sha256()
    with open(path, "rb") as stream:
        for block in iter(lambda: stream.read(1 << 20), b""):
            digest.update(block)
    return digest.hexdigest()


def created(epoch):
    moment = datetime.datetime.fromtimestamp(int(epoch), datetime.timezone.utc)
    return moment.strftime("%Y-%m-%dT%H:%M:%SZ")


def document(name, publisher, epoch, digest):
    return {
        "spdxVersion": "SPDX-2.3",
        "dataLicense": "CC0-1.0",
        "SPDXID": "SPDXRef-DOCUMENT",
        "name": name,
        # Unique per artefact, the same for the same bytes.
        "documentNamespace": f"https://spdx.org/spdxdocs/{name}-{digest}",
        "creationInfo": {
            "created": created(epoch),
            "creators": [f"Organization: {publisher}", "Tool: mv4016-calculator-sbom"],
        },
        "packages": [],
        "relationships": [],
    }


def artefact_package(path, version, publisher, license_expression, purpose):
    name = os.path.basename(path)
    return {
        "SPDXID": spdx_id("File-" + name),
        "name": name,
        "versionInfo": version,
        "packageFileName": name,
        "supplier": f"Organization: {publisher}",
        "downloadLocation": "NOASSERTION",
        "filesAnalyzed": False,
        "checksums": [{"algorithm": "SHA256", "checksumValue": sha256(path)}],
        "licenseConcluded": license_expression,
        "licenseDeclared": license_expression,
        "copyrightText": f"Copyright (c) 2026 {publisher}",
        "primaryPackagePurpose": purpose,
    }


def debian_purl(package, version, arch):
    return {"referenceCategory": "PACKAGE-MANAGER", "referenceType": "purl",
            "referenceLocator": f"pkg:deb/debian/{package}@{version}?arch={arch}"}


def component_package(classifier, component):
    """The SPDX package of a linked component, with the texts of licences that SPDX lacks."""
    extracted = {}
    kind = component[0]
    if kind == "qt":
        module = component[1]
        package = {
            "SPDXID": spdx_id("Qt-" + module), "name": f"Qt {module}",
            "versionInfo": classifier.qt_version, "supplier": QT_SUPPLIER,
            "originator": QT_ORIGINATOR,
            "downloadLocation": "https://deb.debian.org/debian/pool/main/q/qt6-base/",
            "homepage": "https://www.qt.io/",
            "licenseConcluded": QT_CONCLUDED, "licenseDeclared": QT_DECLARED,
            "copyrightText": "Copyright (C) The Qt Company Ltd. and other contributors",
            "externalRefs": [debian_purl("qt6-base", classifier.qt_version, "source")],
        }
    elif kind == "attribution":
        entry = classifier.entries[component[1]]
        license_expression = spdx_license(entry)
        for ref in re.findall(r"LicenseRef-[A-Za-z0-9.-]+", license_expression):
            extracted[ref] = {
                "licenseId": ref,
                "name": entry.get("License") or ref,
                "extractedText": (entry.get("License") or "") + "\n" +
                                 (entry.get("Copyright") or ""),
            }
        package = {
            "SPDXID": spdx_id("Qt-3rdparty-" + entry["Id"]),
            "name": entry.get("Name", entry["Id"]),
            "versionInfo": entry.get("Version") or "NOASSERTION",
            "supplier": QT_SUPPLIER,
            "downloadLocation": entry.get("DownloadLocation") or "NOASSERTION",
            "licenseConcluded": license_expression,
            "licenseDeclared": license_expression,
            "copyrightText": entry.get("Copyright") or "NOASSERTION",
            "comment": f"Carried by Qt in {entry['where']}; qt_attribution.json Id "
                       f"{entry['Id']}. {entry.get('QtUsage', '')}".strip(),
        }
        if entry.get("Homepage"):
            package["homepage"] = entry["Homepage"]
    else:
        if kind == "winpthreads":
            debian = "mingw-w64-x86-64-dev"
            name, license_expression, copyright_text = WINPTHREADS
        else:
            debian = component[1]
            name, license_expression, copyright_text = TOOLCHAIN_COMPONENTS[debian]
        version = dpkg_field(debian, "Version")
        package = {
            "SPDXID": spdx_id(name.split(" (")[0]), "name": name, "versionInfo": version,
            "supplier": "Organization: Debian", "downloadLocation": "NOASSERTION",
            "licenseConcluded": license_expression,
            "licenseDeclared": license_expression, "copyrightText": copyright_text,
            "externalRefs": [debian_purl(debian, version, "all")],
        }
    package["filesAnalyzed"] = False
    package["primaryPackagePurpose"] = "LIBRARY"
    return package, extracted


def component_name(classifier, component):
    package, _ = component_package(classifier, component)
    return package["name"], package["versionInfo"]


def windows_bill(args):
    classifier = Classifier(args.qt_prefix, args.attributions, args.build)
    found = classifier.components(linked_inputs(args.map))
    artefact = os.path.basename(args.artefact)
    doc = document(artefact, args.publisher, args.epoch, sha256(args.artefact))
    program = artefact_package(args.program, args.version, args.publisher, "MIT",
                               "APPLICATION")
    top = program
    if os.path.abspath(args.artefact) != os.path.abspath(args.program):
        installer = artefact.endswith("-setup.exe")
        top = artefact_package(args.artefact, args.version, args.publisher, "MIT",
                               "INSTALL" if installer else "ARCHIVE")
        doc["packages"].append(top)
    doc["packages"].append(program)
    doc["relationships"].append({"spdxElementId": "SPDXRef-DOCUMENT",
                                 "relationshipType": "DESCRIBES",
                                 "relatedSpdxElement": top["SPDXID"]})
    if top is not program:
        doc["relationships"].append({"spdxElementId": top["SPDXID"],
                                     "relationshipType": "CONTAINS",
                                     "relatedSpdxElement": program["SPDXID"]})
        if top["primaryPackagePurpose"] == "INSTALL":
            nsis = dpkg_field("nsis", "Version")
            stub = {
                "SPDXID": "SPDXRef-NSIS", "name": "NSIS installer stub", "versionInfo": nsis,
                "supplier": "Organization: Debian", "downloadLocation": "NOASSERTION",
                "filesAnalyzed": False,
                # Debian's copyright file of nsis: the stub's own code, its LZMA and bzip2
                # decompressors.
                "licenseConcluded": "Zlib AND CPL-1.0 AND bzip2-1.0.6",
                "licenseDeclared": "Zlib AND CPL-1.0 AND bzip2-1.0.6",
                "copyrightText": "Copyright (C) 1999-2021 Nullsoft and Contributors, "
                                 "1999-2006 Igor Pavlov, 1996-2000 Julian R Seward",
                "externalRefs": [debian_purl("nsis", nsis, "source")],
            }
            doc["packages"].append(stub)
            doc["relationships"].append({"spdxElementId": top["SPDXID"],
                                         "relationshipType": "CONTAINS",
                                         "relatedSpdxElement": stub["SPDXID"]})

    extracted = {}
    for component in sorted(found, key=str):
        if component == "program":
            continue
        package, texts = component_package(classifier, component)
        extracted.update(texts)
        doc["packages"].append(package)
        doc["relationships"].append({"spdxElementId": program["SPDXID"],
                                     "relationshipType": "STATIC_LINK",
                                     "relatedSpdxElement": package["SPDXID"]})
    if extracted:
        doc["hasExtractedLicensingInfos"] = [extracted[k] for k in sorted(extracted)]
    return doc


# ---------------------------------------------------------------------------------------------
# The Debian package


def debian_license(package):
    """The main licence of an installed Debian package, from its copyright file: the 'Files: *'
    paragraph of a machine-readable one, or the known licence of its source package. Returns
    the expression and, for a licence without an SPDX name, its text for the bill."""
    source = dpkg_field(package, "source:Package")
    for pattern, expression in DEBIAN_SOURCE_LICENSES.items():
        if pattern.fullmatch(source):
            return expression, None
    try:
        with open(f"/usr/share/doc/{package}/copyright", encoding="utf-8") as stream:
            text = stream.read()
    except OSError:
        return "NOASSERTION", None
    match = re.search(r"^Files:\s*\*\s*$(?:\n(?!\n).*)*?\nLicense:\s*(.+)((?:\n[ \t].*)*)",
                      text, re.M)
    if not text.startswith("Format:") or not match:
        return "NOASSERTION", None
    words = []
    for word in match.group(1).split():
        if word.lower() in ("or", "and"):
            words.append(word.upper())
        elif word in DEBIAN_LICENSES:
            words.append(DEBIAN_LICENSES[word])
        else:
            # An exception or a name without an SPDX equivalent: the text as Debian gives it.
            ref = spdx_id("Debian-" + package).replace("SPDXRef-", "LicenseRef-")
            body = "\n".join(line[1:] if line[1:] != "." else ""
                             for line in match.group(2).split("\n")[1:])
            return ref, {"licenseId": ref, "name": match.group(1).strip(),
                         "extractedText": (match.group(1).strip() + "\n" + body).strip(),
                         "comment": f"From Debian's copyright file of {package}."}
    return " ".join(words), None


def deb_bill(args):
    def field(name):
        return subprocess.run(["dpkg-deb", "-f", args.deb, name], check=True,
                              capture_output=True, text=True).stdout.strip()

    name, version, arch = field("Package"), field("Version"), field("Architecture")
    doc = document(os.path.basename(args.deb), args.publisher, args.epoch, sha256(args.deb))
    top = artefact_package(args.deb, version, args.publisher, "MIT", "APPLICATION")
    top["externalRefs"] = [debian_purl(name, version, arch)]
    doc["packages"].append(top)
    doc["relationships"].append({"spdxElementId": "SPDXRef-DOCUMENT",
                                 "relationshipType": "DESCRIBES",
                                 "relatedSpdxElement": top["SPDXID"]})
    extracted = []
    for clause in filter(None, (c.strip() for c in field("Depends").split(","))):
        for alternative in clause.split("|"):
            package = alternative.split("(")[0].split(":")[0].strip()
            try:
                installed = dpkg_field(package, "Version")
                package_arch = dpkg_field(package, "Architecture")
            except subprocess.CalledProcessError:
                installed, package_arch = "", arch
            license_expression, text = (debian_license(package) if installed
                                        else ("NOASSERTION", None))
            if text:
                extracted.append(text)
            entry = {
                "SPDXID": spdx_id("Debian-" + package), "name": package,
                "versionInfo": installed or "NOASSERTION", "supplier": "Organization: Debian",
                "downloadLocation": "NOASSERTION", "filesAnalyzed": False,
                "licenseConcluded": license_expression,
                "licenseDeclared": license_expression,
                "copyrightText": "NOASSERTION",
                "comment": f"Depends: {alternative.strip()}; the version is the one the "
                           f"package was built and tested with.",
                "primaryPackagePurpose": "LIBRARY",
            }
            if installed:
                entry["externalRefs"] = [debian_purl(package, installed, package_arch)]
            doc["packages"].append(entry)
            doc["relationships"].append({"spdxElementId": top["SPDXID"],
                                         "relationshipType": "DEPENDS_ON",
                                         "relatedSpdxElement": entry["SPDXID"]})
    if extracted:
        doc["hasExtractedLicensingInfos"] = extracted
    return doc


def write(doc, output):
    text = json.dumps(doc, indent=2, ensure_ascii=False) + "\n"
    with open(output, "w", encoding="utf-8") as stream:
        stream.write(text)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    commands = parser.add_subparsers(dest="command", required=True)
    windows = commands.add_parser("windows")
    for option in ("map", "qt-prefix", "attributions", "build", "program", "artefact",
                   "version", "publisher", "output"):
        windows.add_argument("--" + option, required=True)
    deb = commands.add_parser("deb")
    for option in ("deb", "publisher", "output"):
        deb.add_argument("--" + option, required=True)
    includes = commands.add_parser("qt-includes")
    includes.add_argument("source")
    args = parser.parse_args()
    args.epoch = os.environ.get("SOURCE_DATE_EPOCH")
    if not args.epoch:
        parser.error("SOURCE_DATE_EPOCH must be set: it is the bills' creation time")
    try:
        if args.command == "qt-includes":
            print("\n".join(qt_includes(args.source)))
        elif args.command == "windows":
            write(windows_bill(args), args.output)
        else:
            write(deb_bill(args), args.output)
    except (BillError, OSError, subprocess.CalledProcessError) as error:
        print(f"sbom: {error}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
