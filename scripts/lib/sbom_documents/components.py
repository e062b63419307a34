# SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
#
# SPDX-License-Identifier: MIT

"""The components of the Windows program: which one each file in its link map belongs to (the
program, a Qt module or plugin, a library that Qt carries, the MinGW-w64 or GCC runtime), and
what the Debian packages among them are."""

import os
import re

from sbom_inputs import SbomError
from sbom_inputs.debian import dpkg_owners
from sbom_inputs.qt_prefix import bundled_libraries, plugin_targets, qt_version
from sbom_inputs.qt_source import in_scope, read_includes, read_sources, source_attributions

# The Debian packages whose files the Windows program links, besides Qt's: what each is and
# under which licence. A link map naming another package's file stops the SBOM until it is
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


class Classifier:
    """Assigns each linked file to components: 'program', ('qt', module),
    ('attribution', entry id), ('debian', package) or ('winpthreads',)."""

    def __init__(self, qt_prefix, attributions, build):
        self.qt_prefix = os.path.normpath(qt_prefix)
        self.build = os.path.normpath(build)
        self.entries = source_attributions(attributions)
        self.sources = read_sources(attributions)
        self.includes = read_includes(attributions)
        self.owners = {}
        # So that a plugin and its initialiser are named alike.
        self.plugins = plugin_targets(self.qt_prefix)
        self.qt_version = qt_version(self.qt_prefix)
        # The folders of Qt's source that each library Qt builds on its own comes from.
        self.bundled_folders = {
            name: sorted(e["where"] for e in self.entries.values()
                         if e["where"].startswith("src/3rdparty/")
                         and os.path.basename(e["where"]).lower().startswith(name))
            for name in bundled_libraries(self.qt_prefix)}

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

    def own_file(self, path):
        """Whether PATH, in the build folder, is one of the program's own files: an object file
        of one of the build's targets (DIR/CMakeFiles/TARGET.dir/...), or the static library of
        one (DIR/libTARGET.a beside DIR/CMakeFiles/TARGET.dir)."""
        if not os.path.isfile(path):
            return False
        rel = os.path.relpath(path, self.build)
        if re.search(r"(^|/)CMakeFiles/[^/]+\.dir/", rel):
            return True
        folder, name = os.path.split(rel)
        target = re.fullmatch(r"lib(.+)\.a", name)
        return bool(target) and os.path.isdir(
            os.path.join(self.build, folder, "CMakeFiles", target.group(1) + ".dir"))

    def classify(self, path, member):
        # A file in the build folder that none of its targets made, or one from anywhere else
        # than Qt or a Debian package, stops the SBOM.
        real = os.path.normpath(path)
        if real.startswith(self.build + "/"):
            if not self.own_file(real):
                raise SbomError(f"{path}: linked from the build folder, but not a file of one of "
                                f"its targets")
            return {"program"}
        if real.startswith(self.qt_prefix + "/"):
            return self.classify_qt(real, member)
        owner = self.owners.get(real)
        if owner is None:
            raise SbomError(f"{path}: linked, but from no Debian package and not from Qt or "
                            f"the build")
        # Debian's libpthread.a is a copy of libwinpthread.a.
        if owner == "mingw-w64-x86-64-dev" and os.path.basename(real) in ("libwinpthread.a",
                                                                          "libpthread.a"):
            return {("winpthreads",)}
        if owner not in TOOLCHAIN_COMPONENTS:
            raise SbomError(f"{path}: linked from Debian's package {owner}, which the "
                            f"SBOMs do not describe yet (TOOLCHAIN_COMPONENTS in "
                            f"scripts/lib/sbom_documents/components.py)")
        return {("debian", owner)}

    def classify_qt(self, path, member):
        base = os.path.basename(path)
        rel = os.path.relpath(path, self.qt_prefix)
        if member is None:
            # A plugin's initialiser (lib/objects-Release/QWindowsIntegrationPlugin_init/...).
            match = re.search(r"objects-[^/]+/([^/]+?)(_init|_resources_\d+)?/", rel)
            if not match:
                raise SbomError(f"{path}: an object file of Qt's that the SBOMs do not know")
            return {("qt", match.group(1))}
        match = re.match(r"libQt6(\w+)\.a$", base)
        if match:
            module = match.group(1)
        elif rel.startswith("plugins/") and base.startswith("lib") and base.endswith(".a"):
            module = self.plugins.get(rel, "plugin " + base[3:-2])
        else:
            raise SbomError(f"{path}: a library of Qt's that the SBOMs do not know")
        components = set()
        if not module.startswith("Bundled"):
            components.add(("qt", module))
        sources = self.qt_sources(path, member)
        attributions = self.attributions_of(sources)
        if module.startswith("Bundled") and not attributions:
            raise SbomError(f"{path}({member}): no qt_attribution.json covers its source "
                            f"{sources or '(not found)'}")
        components |= {("attribution", a) for a in attributions}
        return components

    def components(self, inputs):
        """The components of the linked INPUTS, each with its (path, member) pairs."""
        self.owners = dpkg_owners(
            os.path.normpath(path) for path, _ in inputs
            if not os.path.normpath(path).startswith((self.qt_prefix + "/", self.build + "/")))
        found = {}
        for path, member in sorted(inputs, key=lambda i: (i[0], i[1] or "")):
            for component in self.classify(path, member):
                found.setdefault(component, []).append((path, member))
        return found
