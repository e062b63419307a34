# SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
#
# SPDX-License-Identifier: MIT

"""The files that a GNU ld map (-Wl,-Map) shows linked into a program."""

import os
import re

from sbom_inputs import SbomError


def linker_folder(build, paths):
    """The folder that the linker ran in, where the relative PATHS of its map start: of the
    build folder and its CMake folders (with a CMakeFiles folder each; the Makefile generator
    links in the program's, Ninja in the build folder), the one that holds most of them."""
    folders = []
    for root, names, _ in os.walk(build):
        if root == build or "CMakeFiles" in names:
            folders.append(root)
        names[:] = [n for n in names if n != "CMakeFiles"]
    held = {f: sum(os.path.isfile(os.path.join(f, p)) for p in paths) for f in folders}
    best = max(held.values(), default=0)
    found = sorted(f for f, count in held.items() if count == best)
    if best == 0 or len(found) > 1:
        raise SbomError(f"{build}: no one folder of the build holds the linked files "
                        f"{', '.join(sorted(paths)[:3])}...")
    return found[0]


def linked_inputs(map_path, build):
    """(archive, member) for every archive member the linker took, and (object, None) for every
    object file it was given; the paths absolute, those the map gives relative to the folder of
    the BUILD that the linker ran in."""
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
        raise SbomError(f"{map_path}: no linked files found; is it a GNU ld map?")
    relative = {path for path, _ in inputs if not os.path.isabs(path)}
    if not relative:
        return inputs
    folder = linker_folder(os.path.normpath(build), relative)
    return {(os.path.normpath(os.path.join(folder, path)), member) for path, member in inputs}
