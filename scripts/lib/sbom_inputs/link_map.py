# SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
#
# SPDX-License-Identifier: MIT

"""The files that a GNU ld map (-Wl,-Map) shows linked into a program."""

import os
import re

from sbom_inputs import SbomError


def linked_inputs(map_path):
    """(archive, member) for every archive member the linker took, and (object, None) for every
    object file it was given, with the paths as the linker saw them (relative to the folder it
    ran in, or absolute)."""
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
    return inputs
