# SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
#
# SPDX-License-Identifier: MIT

# What the software bills of materials (SBOMs) of the Windows artefacts need from Qt's source,
# kept with the cached Qt once its build folder and source are gone. Sourced by windows.sh,
# whose ensure_windows_qt keeps them, after common.sh.
# shellcheck shell=bash

# keep_qt_attributions SOURCE FOLDER: into FOLDER, every qt_attribution.json of the Qt source in
# SOURCE (what third-party code Qt carries, its version and licence), the list of Qt's source
# files, which tells from which folder each object file in a link map comes, and which of them
# include third-party code (TinyCBOR, the hash functions and others are compiled inside Qt's own
# files).
# Each step is checked, since a caller's condition (if !, ||) turns set -e off in here;
# includes.txt, written last, marks the folder whole.
keep_qt_attributions() {
    local source="$1" into
    into="$(mkdir -p "$2" && cd "$2" && pwd)" || return 1
    (cd "$source" && find . -name qt_attribution.json -print0 | sort -z |
        xargs -0 cp --parents -t "$into") || return 1
    (cd "$source" && find src -type f \( -name '*.c' -o -name '*.cpp' -o -name '*.cc' \) | sort) \
        >"$into/sources.txt" || return 1
    /usr/bin/python3 "$ROOT/scripts/lib/sbom.py" qt-includes "$source" \
        >"$into/includes.txt.new" || return 1
    mv "$into/includes.txt.new" "$into/includes.txt"
}

# qt_attributions_for_sbom PREFIX FOLDER: the attributions folder for the SBOMs of the Qt at
# PREFIX: the one kept with it, or, for a Qt cached before the include list was kept, one made
# in FOLDER from a fresh copy of the source.
qt_attributions_for_sbom() {
    local prefix="$1" folder="$2"
    if [ -f "$prefix/attributions/includes.txt" ]; then
        echo "$prefix/attributions"
        return 0
    fi
    # Made again when the include scan is newer.
    local scan="$ROOT/scripts/lib/sbom_inputs/qt_includes.py"
    if [ ! "$folder/attributions/includes.txt" -nt "$scan" ]; then
        rm -rf "$folder"
        mkdir -p "$folder"
        fetch_qt_source "$folder" >&2 || return 1
        local source
        source="$(find "$folder" -mindepth 1 -maxdepth 1 -type d -name 'qt6-base-*' | head -n 1)"
        if [ -z "$source" ]; then
            echo "sbom: no unpacked qt6-base source in $folder" >&2
            return 1
        fi
        keep_qt_attributions "$source" "$folder/attributions" || return 1
        rm -rf "$source" "$folder"/*.orig.tar.* "$folder"/*.debian.tar.* "$folder/apt"
    fi
    echo "$folder/attributions"
}
