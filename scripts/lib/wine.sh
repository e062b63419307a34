# SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
#
# SPDX-License-Identifier: MIT

# Wine for the tests of the Windows program: one kept server for a whole run, and the check
# scripts' helper program. Sourced by windows.sh.
# shellcheck shell=bash

# Starts the Wine prefix's server for the rest of the calling script, persistent, and stops it
# (with every Wine process of the prefix) when the script ends, also on failure. Without it the
# server quits a few seconds after its last program ends, and a program started at that moment
# meets a server that is going away ("wine client error:0: recvmsg: Connection reset by peer").
keep_wineserver() {
    export WINEPREFIX="$1"
    "$ROOT/scripts/lib/wine_run" cmd /c exit >/dev/null 2>&1  # makes the prefix
    wineserver -k 2>/dev/null || true
    wineserver -w
    wineserver -p
    on_exit env WINEPREFIX="$WINEPREFIX" wineserver -k
}


# build_check_helper EXE: packaging/windows/check_helper.c built for Windows as EXE, for the check
# scripts (it holds files and mutexes, shows a window of another program, minimises a window).
build_check_helper() {
    "$MINGW_TRIPLET-gcc-posix" -municode -O2 -Wall -Wextra -Werror -o "$1" \
        "$ROOT/packaging/windows/check_helper.c"
}
