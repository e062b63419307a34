# SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
#
# SPDX-License-Identifier: MIT

"""Qt's qt_attribution.json files (the third-party code Qt carries: where, which version, under
which licence), and the lists of Qt's source kept beside them with the cached Qt."""

import json
import os
import re


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


def source_attributions(folder):
    """The entries of read_attributions that cover Qt's libraries (under src/), by Id; the
    others are about tests, examples and tools."""
    return {e["Id"]: e for e in read_attributions(folder) if e["where"].startswith("src")}


def in_scope(path, entry):
    """Whether Qt's source file PATH is covered by the attribution ENTRY."""
    for item in entry["scope"]:
        if path == item and entry["scope_is_folder"] is not True:
            return True
        if entry["scope_is_folder"] is not False and path.startswith(item + "/"):
            return True
    return False


def read_sources(folder):
    """Qt's C and C++ source files under src/, by file name (several folders may hold one of
    the same name), from the sources.txt kept in the attributions FOLDER."""
    sources = {}
    with open(os.path.join(folder, "sources.txt"), encoding="utf-8") as stream:
        for path in stream.read().split():
            sources.setdefault(os.path.basename(path), []).append(os.path.normpath(path))
    return sources


def read_includes(folder):
    """The files of third-party code each of Qt's source files includes, from the includes.txt
    (lines 'FILE<TAB>INCLUDED', as qt_includes writes them) kept in the attributions FOLDER."""
    includes = {}
    with open(os.path.join(folder, "includes.txt"), encoding="utf-8") as stream:
        for line in stream:
            source, included = line.rstrip("\n").split("\t")
            includes.setdefault(source, []).append(included)
    return includes
