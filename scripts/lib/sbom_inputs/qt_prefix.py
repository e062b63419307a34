# SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
#
# SPDX-License-Identifier: MIT

"""The cached Qt for Windows, as installed in its prefix: the version of Debian's qt6-base it
was built from, its plugins' CMake targets, and the libraries it builds on its own."""

import os
import re

from sbom_inputs.debian import dpkg_field


def qt_version(prefix):
    """The version of Debian's qt6-base that the Qt at PREFIX was built from: its key's first
    line, or else the host's qt6-base-dev, which it is built from."""
    version = dpkg_field("qt6-base-dev", "Version")
    try:
        with open(os.path.join(prefix, "key"), encoding="utf-8") as stream:
            first = stream.readline().split()
        if first[:1] == ["qt6-base"] and len(first) == 2:
            version = first[1]
    except OSError:
        pass
    return version


def plugin_targets(prefix):
    """The CMake target of each of Qt's plugin archives (plugins/platforms/libqwindows.a:
    QWindowsIntegrationPlugin), by its path under PREFIX, from Qt's CMake files."""
    targets = {}
    pattern = re.compile(r'set_target_properties\(Qt6::(\w+) PROPERTIES[^)]*?'
                         r'IMPORTED_LOCATION_\w+ "\$\{_IMPORT_PREFIX\}/(?:\./)?([^"]+)"')
    for root, _, names in os.walk(os.path.join(prefix, "lib", "cmake")):
        for name in names:
            if re.match(r".*Targets-\w+\.cmake$", name):
                with open(os.path.join(root, name), encoding="utf-8") as stream:
                    for target, location in pattern.findall(stream.read()):
                        targets[os.path.normpath(location)] = target
    return targets


def bundled_libraries(prefix):
    """The third-party libraries that Qt builds on its own (lib/libQt6BundledFreetype.a...), by
    their names in lower case (freetype)."""
    lib = os.path.join(prefix, "lib")
    return [n[len("libQt6Bundled"):-2].lower() for n in os.listdir(lib)
            if n.startswith("libQt6Bundled") and n.endswith(".a")]
