# SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
#
# SPDX-License-Identifier: MIT

# What every Windows script needs: the cross toolchain and the packages of the Windows stage.
# Sourcing it (after common.sh) brings the rest of the Windows part with it:
#   windows_qt.sh         Qt for Windows, built once per version and set of options, and cached
#   wine.sh               Wine for the tests: the kept server and the checks' helper program
#   windows_installer.sh  what the installer and the archive hold, and the installer itself
#   qt_attributions.sh    what the SBOMs need to know of Qt's source, kept with the cached Qt
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

WINDOWS_LIB="$(dirname "${BASH_SOURCE[0]}")"
# shellcheck source=windows_qt.sh
source "$WINDOWS_LIB/windows_qt.sh"
# shellcheck source=wine.sh
source "$WINDOWS_LIB/wine.sh"
# shellcheck source=windows_installer.sh
source "$WINDOWS_LIB/windows_installer.sh"
# shellcheck source=qt_attributions.sh
source "$WINDOWS_LIB/qt_attributions.sh"
