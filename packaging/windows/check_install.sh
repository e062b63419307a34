#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
#
# SPDX-License-Identifier: MIT

# Installs the calculator under Wine as a Windows user would, each case in a fresh prefix (a
# copy of one made at the start), and checks what the installer, its uninstaller and the
# archive leave behind:
#   install: files, Start menu entry and "Apps" entry in place, the installed program starts;
#     installing the same version again keeps one entry; a silent uninstall removes everything;
#     an uninstall after the folder was deleted by hand ends cleanly;
#   (a) a silent reinstall while the program runs closes it and replaces it, or fails and
#     changes nothing;
#   (b) a program that will not close, a copy elsewhere that hangs (its mutex held), or a file
#     held open by another program: a non-zero exit code and nothing changed;
#   (c) version N, then N+1 (built here from the same files under another version, with one
#     file fewer and one more): the folder holds N+1's files, one entry says N+1, and the
#     Start menu entry starts N+1's program;
#   (d) N+1, then N: refused (exit code 4), N+1 still installed and starting;
#   (e) an uninstall while the program runs closes it and removes everything, or fails and
#     changes nothing;
#   (f) other programs' folders in %LOCALAPPDATA%\Programs, one empty, survive an uninstall;
#   the archive runs from any folder and writes nothing outside it; a silent install, then a
#     silent uninstall, while a copy from the archive runs close that copy, or fail and change
#     nothing.
# Needs an X display for the program's windows.
# Usage: check_install.sh SETUP.exe ARCHIVE.zip
set -euo pipefail
setup="$(realpath "$1")"
archive="$(realpath "$2")"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$here/../../scripts/lib/common.sh"
source "$ROOT/scripts/lib/windows.sh"
source "$ROOT/scripts/lib/qt_attributions.sh"
wine_run="$ROOT/scripts/lib/wine_run"
title="TALVEX MV-4016 - Storage Calculator"
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\MV4016StorageCalculator'
scratch="$(mktemp -d)"
export WINEPREFIX="$scratch/wine"
background=()
cleanup() {
    local pid
    for pid in "${background[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    wineserver -k 2>/dev/null || true
    rm -rf "$scratch"
}
trap cleanup EXIT

fail() {
    echo "windows install: $1" >&2
    exit 1
}
windows_path() { "$wine_run" winepath -w "$1" 2>/dev/null | tr -d '\r'; }
# Without spaces: Wine would put quotes round an argument with spaces, and the uninstaller reads
# _?= only unquoted, at the end of its command line.
short_path() { "$wine_run" winepath -s "$(windows_path "$1")" 2>/dev/null | tr -d '\r'; }
user_dir() { # the Unix path of a user folder: LOCALAPPDATA, APPDATA
    local windows
    windows="$("$wine_run" cmd /c "echo %$1%" | tr -d '\r')"
    "$wine_run" winepath -u "$windows" 2>/dev/null | tr -d '\r'
}
registry() { "$wine_run" reg query "$key" 2>/dev/null | tr -d '\r'; }
entries() {
    "$wine_run" reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall' |
        grep -c MV4016StorageCalculator || true
}
display_version() { registry | sed -n 's/^ *DisplayVersion *REG_SZ *//p'; }
# Everything but Windows itself and the temporary folder, with each file's checksum.
snapshot() {
    (cd "$WINEPREFIX/drive_c" &&
        find . \( -path ./windows -o -path '*/Temp' \) -prune -o -type f -print0 |
        sort -z | xargs -0r sha256sum && find . -type d \( -path ./windows -o -path '*/Temp' \) \
        -prune -o -type d -print | sort)
}
# The whole state an installation is judged by: files, and the Apps entry.
state() {
    snapshot
    registry || echo "no entry"
}

# The template prefix, made once (wine_run puts the fonts in); each case gets a copy. The folder
# that per-user programs share is there already, as on Windows.
template="$scratch/template"
WINEPREFIX="$template"
"$wine_run" cmd /c exit >/dev/null 2>&1
installdir="$(user_dir LOCALAPPDATA)/Programs/MV-4016 Storage Calculator"
shortcut="$(user_dir APPDATA)/Microsoft/Windows/Start Menu/Programs/MV-4016 Storage Calculator.lnk"
programs="$(dirname "$installdir")"
mkdir -p "$programs"
wineserver -w
# The same folders in the copies.
WINEPREFIX="$scratch/wine"
installdir="$WINEPREFIX${installdir#"$template"}"
shortcut="$WINEPREFIX${shortcut#"$template"}"
programs="$WINEPREFIX${programs#"$template"}"
# The copy gets a persistent server, stopped with the case: otherwise it quits a few seconds
# after the last program, and one started at that moment meets a server going away.
fresh_prefix() {
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
    rm -rf "$WINEPREFIX"
    cp -a "$template" "$WINEPREFIX"
    wineserver -p
    echo "windows install: case $1"
}
fresh_prefix "install"

# run WHAT EXPECTED_CODE COMMAND...: runs COMMAND and checks its exit code.
run() {
    local what="$1" expected="$2" code=0
    shift 2
    "$@" || code=$?
    [ "$code" = "$expected" ] || fail "$what: exit code $code, not $expected"
    echo "windows install:   $what: exit code $code"
}
win() { "$wine_run" "$@"; }
# The uninstaller run in place (_?=), so that the wait and the exit code are its own; it
# cannot delete itself there.
uninstall_in_place() {
    "$wine_run" "$installdir/uninstall.exe" /S "_?=$(short_path "$installdir")"
}

# start_program EXE: starts a program under Wine and waits for its main window; PROGRAM_PID.
find_window() {
    local found tries
    for ((tries = 0; tries < 120; tries++)); do
        found="$(xdotool search --onlyvisible --name "^$title\$" 2>/dev/null | head -n 1)" || true
        [ -n "$found" ] && { echo "$found"; return 0; }
        sleep 0.5
    done
    return 1
}
start_program() {
    "$wine_run" "$1" >/dev/null 2>&1 &
    PROGRAM_PID=$!
    background+=("$PROGRAM_PID")
    find_window >/dev/null || fail "the program's window did not appear"
}
program_ended() {
    local tries
    for ((tries = 0; tries < 50; tries++)); do
        kill -0 "$PROGRAM_PID" 2>/dev/null || return 0
        sleep 0.2
    done
    return 1
}
stop_program() { # as the user would, with File > Exit
    local window
    window="$(find_window)" || return 0
    xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus "$window"
    xdotool key --delay 50 ctrl+x
    program_ended || fail "the program did not end on Ctrl+X"
}

# answer WHAT PAGES KEY COMMAND...: runs an installer or uninstaller interactively, goes through
# PAGES pages with Enter, then answers the message box that comes up with KEY (Escape: Cancel,
# Return: OK) and checks that the exit code is 1 for Cancel, 4 for OK (the refused downgrade).
# MESSAGES=FOLDER keeps a picture of each message box there.
answer() {
    local what="$1" pages="$2" key="$3" pid code=0 page dialog="" box="" tries
    shift 3
    local caption="MV-4016 Storage Calculator Setup"
    [[ "$*" == *uninstall* ]] && caption="MV-4016 Storage Calculator Uninstall"
    "$wine_run" "$@" >/dev/null 2>&1 &
    pid=$!
    background+=("$pid")
    for ((page = 0; page < pages; page++)); do
        dialog=""
        for ((tries = 0; tries < 60; tries++)); do
            dialog="$(xdotool search --onlyvisible --name "^$caption: " 2>/dev/null | head -n 1)" &&
                [ -n "$dialog" ] && break
            sleep 0.5
        done
        [ -n "$dialog" ] || fail "$what: no window \"$caption: ...\""
        xdotool windowfocus --sync "$dialog" 2>/dev/null || true
        xdotool key --delay 50 Return
        sleep 1
    done
    # The pages' titles name the page; the message box's is the caption alone.
    for ((tries = 0; tries < 60; tries++)); do
        box="$(xdotool search --onlyvisible --name "^$caption\$" 2>/dev/null | head -n 1)" || true
        [ -n "$box" ] && break
        sleep 0.5
    done
    [ -n "$box" ] || fail "$what: no message box"
    if [ -n "${MESSAGES:-}" ]; then
        mkdir -p "$MESSAGES"
        import -window "$box" "$MESSAGES/${what//[^a-zA-Z0-9]/-}.png"
    fi
    xdotool windowfocus --sync "$box" 2>/dev/null || true
    xdotool key --delay 50 "$key"
    wait "$pid" || code=$?
    local expected=1
    [ "$key" = Return ] && expected=4
    [ "$code" = "$expected" ] || fail "$what: exit code $code, not $expected"
    echo "windows install:   $what: exit code $code"
}

files_of() { # the files of a folder, by name, one a line
    (cd "$1" && LC_ALL=C ls -A)
}
n_files="$(cd "$scratch" && mkdir stage && cd stage && unzip -q "$archive" && files_of .)"

# --------------------------------------------------------------------------------- install --
before="$(snapshot)"
run "silent install" 0 win "$setup" /S
[ "$(files_of "$installdir")" = "$(LC_ALL=C sort <<<"$n_files"$'\n'uninstall.exe)" ] ||
    fail "the installation folder holds: $(files_of "$installdir" | tr '\n' ' ')"
cmp -s "$installdir/mv4016-calculator.exe" "$scratch/stage/mv4016-calculator.exe" ||
    fail "the installed program is not the archive's"
[ -f "$shortcut" ] || fail "no Start menu entry"
entry="$(registry)" || fail "no entry under Apps"
for value in 'DisplayName    REG_SZ    MV-4016 Storage Calculator' 'DisplayVersion    REG_SZ' \
    'Publisher    REG_SZ' 'DisplayIcon    REG_SZ' 'EstimatedSize    REG_DWORD' \
    'UninstallString    REG_SZ' 'QuietUninstallString    REG_SZ'; do
    grep -qF "$value" <<<"$entry" || fail "the Apps entry lacks '$value'"
done
version="$(display_version)"
[ -n "$version" ] || fail "the Apps entry has no version"
"$here/check_program.sh" "$installdir/mv4016-calculator.exe"

run "the same version again (a repair)" 0 win "$setup" /S
[ "$(entries)" -eq 1 ] || fail "a second install made a second entry"
[ -d "$installdir/setup.new" ] && fail "the installer left its unpacking folder behind"
run "silent uninstall" 0 uninstall_in_place
rm -f "$installdir/uninstall.exe"  # left by an uninstaller run in place
rmdir "$installdir" 2>/dev/null || true
registry >/dev/null && fail "the Apps entry is still there after uninstalling"
[ "$(snapshot)" = "$before" ] || fail "left behind: $(comm -13 <(echo "$before") <(snapshot) | head -5)"

# The folder deleted by hand, then the uninstaller (kept elsewhere) run on it.
run "install again" 0 win "$setup" /S
spare="$scratch/uninstall.exe"
cp "$installdir/uninstall.exe" "$spare"
short="$(short_path "$installdir")"
rm -rf "$installdir"
run "uninstall of a deleted folder" 0 win "$spare" /S "_?=$short"
registry >/dev/null && fail "the Apps entry outlived an uninstall of a deleted folder"
[ -f "$shortcut" ] && fail "the Start menu entry outlived an uninstall of a deleted folder"

# -------------------------------------------------------- (a) reinstall while it is running --
fresh_prefix "(a) silent reinstall while the program runs"
run "install" 0 win "$setup" /S
# Marked, so that a copy left in place shows; the mark is data after the program's end.
printf 'marked' >>"$installdir/mv4016-calculator.exe"
start_program "$installdir/mv4016-calculator.exe"
marked="$(state)"
answer "reinstall, Cancel when asked to close the program" 2 Escape "$setup"
[ "$(state)" = "$marked" ] || fail "(a) a cancelled reinstall changed the installation"
code=0
"$wine_run" "$setup" /S || code=$?
if [ "$code" -eq 0 ]; then
    cmp -s "$installdir/mv4016-calculator.exe" "$scratch/stage/mv4016-calculator.exe" ||
        fail "(a) exit code 0, but the old program is still in place"
    program_ended || fail "(a) exit code 0, and the old program still runs"
    [ "$(entries)" -eq 1 ] || fail "(a) not one Apps entry"
    echo "windows install:   the program was closed and replaced; one entry, $(display_version)"
else
    [ "$(state)" = "$marked" ] || fail "(a) exit code $code, and the installation changed"
    stop_program
fi
echo "windows install:   silent reinstall: exit code $code"

# ---------------------------------------- (b) a program that holds a file and will not close --
# A helper that opens a file without sharing it, or creates a mutex named Local\..., and keeps
# it until it is killed; it creates its second argument once it holds the file or the mutex.
cat >"$scratch/hold.c" <<'EOF'
#include <wchar.h>
#include <windows.h>
int wmain(int argc, wchar_t** argv) {
    if (argc != 3) return 2;
    HANDLE held = wcsncmp(argv[1], L"Local\\", 6) == 0
                      ? CreateMutexW(NULL, FALSE, argv[1])
                      : CreateFileW(argv[1], GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    if (held == NULL || held == INVALID_HANDLE_VALUE) return 1;
    CloseHandle(CreateFileW(argv[2], GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL));
    Sleep(INFINITE);
    return 0;
}
EOF
"$MINGW_TRIPLET-gcc-posix" -municode -O2 -o "$scratch/hold.exe" "$scratch/hold.c"
hold() { # hold FILE, or hold 'Local\NAME' (a mutex): held until release
    local what="$1"
    [[ "$what" == "Local\\"* ]] || what="$(windows_path "$1")"
    rm -f "$scratch/held"
    "$wine_run" "$scratch/hold.exe" "$what" "$(windows_path "$scratch/held")" >/dev/null 2>&1 &
    HOLD_PID=$!
    background+=("$HOLD_PID")
    local tries
    for ((tries = 0; tries < 100; tries++)); do
        [ -f "$scratch/held" ] && return 0
        sleep 0.1
    done
    fail "the helper did not take hold of $1"
}
release() {
    kill "$HOLD_PID" 2>/dev/null || true
    wait "$HOLD_PID" 2>/dev/null || true
}
fresh_prefix "(b) a program that will not close: the program file held open, or the mutex held"
run "install" 0 win "$setup" /S
unchanged="$(state)"
hold "$installdir/mv4016-calculator.exe"
started=$SECONDS
run "silent reinstall" 3 win "$setup" /S
echo "windows install:   gave up after $((SECONDS - started)) s"
[ "$(state)" = "$unchanged" ] || fail "(b) the installation changed"
run "silent uninstall" 3 uninstall_in_place
[ "$(state)" = "$unchanged" ] || fail "(b) the uninstaller changed the installation"
release
# A copy that hangs elsewhere (from the archive, say): only its mutex tells that it runs.
hold 'Local\MV4016StorageCalculator'
started=$SECONDS
run "silent reinstall while a copy elsewhere hangs" 3 win "$setup" /S
echo "windows install:   gave up after $((SECONDS - started)) s"
[ "$(state)" = "$unchanged" ] || fail "(b) the installation changed"
release
hold "$installdir/LICENSE.txt"
run "silent reinstall with LICENSE.txt held open" 2 win "$setup" /S
[ "$(state)" = "$unchanged" ] || fail "(b) the installation changed"
release
"$here/check_program.sh" "$installdir/mv4016-calculator.exe" >/dev/null ||
    fail "(b) the installed program no longer starts"

# ------------------------------------------------------------------ (c) and (d): N and N+1 --
# N+1: the same program (marked, to tell it apart) under the next version, without
# THIRD-PARTY-NOTICES.txt and with a NEWS.txt.
IFS=. read -r major minor patch <<<"$version"
next="$major.$minor.$((patch + 1))"
mkdir "$scratch/next"
cp "$scratch/stage/"* "$scratch/next/"
rm "$scratch/next/THIRD-PARTY-NOTICES.txt"
printf 'next' >>"$scratch/next/mv4016-calculator.exe"
printf 'Version %s\r\n' "$next" >"$scratch/next/NEWS.txt"
printf '!define VERSION "%s"\n!define VERSION4 "%s.0"\n!define PUBLISHER "Check"\n' \
    "$next" "$next" >"$scratch/next.nsh"
make_installer "$scratch/next.nsh" "$scratch/next" "$scratch/next-setup.exe" >/dev/null
next_files="$(LC_ALL=C sort <<<"$(files_of "$scratch/next")"$'\n'uninstall.exe)"

fresh_prefix "(c) version $version, then $next"
run "install $version" 0 win "$setup" /S
run "install $next" 0 win "$scratch/next-setup.exe" /S
[ "$(files_of "$installdir")" = "$next_files" ] ||
    fail "(c) the folder holds: $(files_of "$installdir" | tr '\n' ' ')"
cmp -s "$installdir/mv4016-calculator.exe" "$scratch/next/mv4016-calculator.exe" ||
    fail "(c) the installed program is not $next's"
[ "$(entries)" -eq 1 ] || fail "(c) not one Apps entry"
[ "$(display_version)" = "$next" ] || fail "(c) the Apps entry says $(display_version)"
echo "windows install:   folder: $(files_of "$installdir" | tr '\n' ' '); one entry, $next"
# The Start menu entry starts the program from the installation folder.
"$wine_run" start /unix "$shortcut"
window="$(find_window)" || fail "(c) the Start menu entry started no program"
pid="$(xdotool getwindowpid "$window")"
tr '\0' ' ' <"/proc/$pid/cmdline" | grep -qF "$(windows_path "$installdir")\\mv4016-calculator.exe" ||
    fail "(c) the Start menu entry started $(tr '\0' ' ' <"/proc/$pid/cmdline")"
PROGRAM_PID=$pid
stop_program

fresh_prefix "(d) version $next, then $version"
run "install $next" 0 win "$scratch/next-setup.exe" /S
unchanged="$(state)"
run "install $version" 4 win "$setup" /S
answer "install $version interactively" 0 Return "$setup"
[ "$(state)" = "$unchanged" ] || fail "(d) the older version changed the installation"
"$here/check_program.sh" "$installdir/mv4016-calculator.exe" >/dev/null ||
    fail "(d) $next no longer starts"

# ------------------------------------------------------- (e) uninstall while it is running --
fresh_prefix "(e) silent uninstall while the program runs"
before="$(snapshot)"
run "install" 0 win "$setup" /S
start_program "$installdir/mv4016-calculator.exe"
installed="$(state)"
answer "uninstall, Cancel when asked to close the program" 1 Escape \
    "$installdir/uninstall.exe" "_?=$(short_path "$installdir")"
[ "$(state)" = "$installed" ] || fail "(e) a cancelled uninstall changed the installation"
code=0
uninstall_in_place || code=$?
if [ "$code" -eq 0 ]; then
    program_ended || fail "(e) exit code 0, and the program still runs"
    registry >/dev/null && fail "(e) the Apps entry is still there"
    rm -f "$installdir/uninstall.exe"  # left by an uninstaller run in place
    rmdir "$installdir" || fail "(e) left in the folder: $(files_of "$installdir")"
    [ "$(snapshot)" = "$before" ] || fail "(e) left behind: $(comm -13 <(echo "$before") <(snapshot) | head -5)"
    echo "windows install:   the program was closed; nothing left but the uninstaller run in place"
else
    [ "$(state)" = "$installed" ] || fail "(e) exit code $code, and the installation changed"
    stop_program
fi
echo "windows install:   silent uninstall: exit code $code"

# ---------------------------------------------- (f) the shared Programs folder and its other folders --
for others in "other programs' folders, one empty" "nothing else"; do
    fresh_prefix "(f) $others in %LOCALAPPDATA%\\Programs"
    if [ "$others" != "nothing else" ]; then
        mkdir -p "$programs/Another Program" "$programs/Empty"
        echo data >"$programs/Another Program/another.exe"
    fi
    before="$(snapshot)"
    run "install" 0 win "$setup" /S
    # As the Apps entry runs it: from a copy in the temporary folder, whose last steps (the
    # Start menu entry, then the Apps entry) are waited for.
    run "uninstall" 0 win "$installdir/uninstall.exe" /S
    for ((tries = 0; tries < 60; tries++)); do
        if [ ! -e "$shortcut" ] && ! registry >/dev/null; then
            break
        fi
        sleep 0.5
    done
    [ "$(snapshot)" = "$before" ] || fail "(f) not as before: $(diff <(echo "$before") <(snapshot) | head -5)"
done

# ------------------------------------------------------------------------------ the archive --
fresh_prefix "the archive"
portable="$WINEPREFIX/drive_c/portable"
mkdir -p "$portable"
before="$(snapshot | grep -v '\./portable/')"
(cd "$portable" && unzip -q "$archive")
"$here/check_program.sh" "$portable/mv4016-calculator.exe"
[ "$(snapshot | grep -v '\./portable/')" = "$before" ] || fail "the portable program wrote files"
echo "windows install: the archive runs from its folder and writes nothing outside it"

# A silent install, then a silent uninstall, while the archive's copy runs: the installed file
# is not in use, so only the mutex tells that a copy runs. Either the copy was closed (exit code
# 0) or nothing changed (exit code 3).
closed_or_untouched() {
    local what="$1" code="$2" before="$3"
    if [ "$code" -eq 0 ]; then
        program_ended || fail "exit code 0, and the archive's copy still runs"
        echo "windows install:   the archive's copy was closed in $((SECONDS - started)) s"
    else
        [ "$code" -eq 3 ] || fail "$what while the archive's copy runs: exit code $code"
        [ "$(state)" = "$before" ] || fail "exit code $code, and the installation changed"
        stop_program
    fi
    echo "windows install:   $what while the archive's copy runs: exit code $code"
}
start_program "$portable/mv4016-calculator.exe"
unchanged="$(state)"
code=0
started=$SECONDS
"$wine_run" "$setup" /S || code=$?
closed_or_untouched "silent install" "$code" "$unchanged"
if [ "$code" -eq 0 ]; then
    cmp -s "$installdir/mv4016-calculator.exe" "$scratch/stage/mv4016-calculator.exe" ||
        fail "exit code 0, but the program is not installed"
    start_program "$portable/mv4016-calculator.exe"
    installed="$(state)"
    code=0
    started=$SECONDS
    uninstall_in_place || code=$?
    closed_or_untouched "silent uninstall" "$code" "$installed"
    if [ "$code" -eq 0 ] && registry >/dev/null; then
        fail "exit code 0, and the Apps entry is still there"
    fi
fi
