# SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
#
# SPDX-License-Identifier: MIT

# What every Windows script needs: the cross toolchain and the packages of the Windows stage.
# Sourcing it (after common.sh) brings the rest of the Windows part with it:
#   windows_qt.sh         Qt for Windows, built once per version and set of options, and cached
#   wine.sh               Wine for the tests: the kept server and the checks' helper program
#   windows_installer.sh  what the installer and the archive hold, and the installer itself
# shellcheck shell=bash disable=SC2034  # its variables are read by the scripts that source it

MINGW_TRIPLET=x86_64-w64-mingw32
# The posix-threads compilers, Wine to run what they build, ninja for Qt's long build, dpkg-dev
# to unpack the source with Debian's patches, NSIS and zip for the installer and the archive,
# fonts for the Wine runs, base-files for the licence texts.
WINDOWS_PACKAGES=(g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine ninja-build
                  dpkg-dev qt6-base-dev qt6-base-dev-tools fonts-liberation2 fonts-urw-base35
                  nsis zip base-files)

# need_command COMMAND PACKAGE: stops with a message naming the package when COMMAND is missing.
need_command() {
    if ! command -v "$1" >/dev/null 2>&1; then
        echo "windows: '$1' is missing; install Debian's package '$2'" >&2
        exit 1
    fi
}

check_windows_tools() {
    need_command "$MINGW_TRIPLET-g++-posix" g++-mingw-w64-x86-64-posix
    need_command "$MINGW_TRIPLET-objdump" binutils-mingw-w64-x86-64
    need_command wine wine
    need_command ninja ninja-build
    need_command dpkg-source dpkg-dev
    need_command /usr/lib/qt6/libexec/moc qt6-base-dev-tools
}

host_qt_version() {
    dpkg-query -W -f='${Version}' qt6-base-dev
}

# The host's multiarch folder, where its Qt keeps its CMake files (Qt's host tools come from there).
host_cmake_dir() {
    echo "/usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)/cmake"
}

# What the bills of materials need from Qt's source once the build is gone: every
# qt_attribution.json (what third-party code Qt carries, its version and licence), and the list of
# Qt's source files, which tells from which folder each object file in a link map comes, and
# which of them include third-party code (TinyCBOR, the hash functions and others are compiled
# inside Qt's own files).
keep_qt_attributions() {
    local source="$1" into
    into="$(mkdir -p "$2" && cd "$2" && pwd)"
    (cd "$source" && find . -name qt_attribution.json -print0 | sort -z |
        xargs -0 cp --parents -t "$into")
    (cd "$source" && find src -type f \( -name '*.c' -o -name '*.cpp' -o -name '*.cc' \) | sort) \
        >"$into/sources.txt"
    /usr/bin/python3 "$ROOT/scripts/lib/sbom.py" qt-includes "$source" >"$into/includes.txt.new"
    mv "$into/includes.txt.new" "$into/includes.txt"
}

# The attributions folder for the bills of the Qt at PREFIX: the one kept with it, or, for a Qt
# cached before the include list was kept, one made in FOLDER from a fresh copy of the source.
qt_attributions_for_bills() {
    local prefix="$1" folder="$2"
    if [ -f "$prefix/attributions/includes.txt" ]; then
        echo "$prefix/attributions"
        return 0
    fi
    # Made again when sbom.py, which finds the includes, is newer.
    if [ ! "$folder/attributions/includes.txt" -nt "$ROOT/scripts/lib/sbom.py" ]; then
        rm -rf "$folder"
        mkdir -p "$folder"
        fetch_qt_source "$folder" >&2 || return 1
        local source
        source="$(find "$folder" -mindepth 1 -maxdepth 1 -type d -name 'qt6-base-*' | head -n 1)"
        keep_qt_attributions "$source" "$folder/attributions"
        rm -rf "$source" "$folder"/*.orig.tar.* "$folder"/*.debian.tar.* "$folder/apt"
    fi
    echo "$folder/attributions"
}

WINDOWS_LIB="$(dirname "${BASH_SOURCE[0]}")"
# shellcheck source=windows_qt.sh
source "$WINDOWS_LIB/windows_qt.sh"
# shellcheck source=wine.sh
source "$WINDOWS_LIB/wine.sh"
# shellcheck source=windows_installer.sh
source "$WINDOWS_LIB/windows_installer.sh"
