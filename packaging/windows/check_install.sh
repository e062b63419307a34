#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
#
# SPDX-License-Identifier: MIT

# Installs the calculator under Wine as a Windows user would, and checks what the installer, its
# uninstaller and the archive leave behind. Each case is a function of its own, which starts
# from a fresh prefix (a copy of one made at the start); the list of cases is at the end.
# Version N is the one given; N+1 is built here from the same files under the next version,
# with one file fewer (THIRD-PARTY-NOTICES.txt) and one more (NEWS.txt).
# Needs an X display for the program's windows.
# Usage: check_install.sh BUILD SETUP.exe ARCHIVE.zip   (BUILD: the configured build with the names)
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$here/../../scripts/lib/common.sh"
source "$ROOT/scripts/lib/windows.sh"
build="$(realpath "$1")"
load_product "$build"
setup="$(realpath "$2")"
archive="$(realpath "$3")"
wine_run="$ROOT/scripts/lib/wine_run"
title="$TITLE_MAIN" key="$UNINSTALL_KEY" name="$NAME" exe="$PROGRAM.exe"
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
say() { echo "windows install:   $1"; }
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
        grep -cF "\\${key##*\\}" || true
}
display_version() { registry | sed -n 's/^ *DisplayVersion *REG_SZ *//p'; }
# Everything but Windows itself and the temporary folder, with each file's checksum.
snapshot() {
    (cd "$WINEPREFIX/drive_c" &&
        find . \( -path ./windows -o -path '*/Temp' \) -prune -o -type f -print0 |
        sort -z | xargs -0r sha256sum && find . -type d \( -path ./windows -o -path '*/Temp' \) \
        -prune -o -type d -print | sort)
}
# The whole state an installation is judged by: files (the Start menu entry among them), and
# the Apps entry.
state() {
    snapshot
    registry || echo "no entry"
}
files_of() { # the files of a folder, by name, one a line
    (cd "$1" && LC_ALL=C ls -A)
}
listed() { files_of "$1" | paste -sd ' '; } # the same on one line

# The template prefix, made once (wine_run puts the fonts in); each case gets a copy. The folder
# that per-user programs share is there already, as on Windows.
template="$scratch/template"
WINEPREFIX="$template"
"$wine_run" cmd /c exit >/dev/null 2>&1
installdir="$(user_dir LOCALAPPDATA)/Programs/$name"
shortcut="$(user_dir APPDATA)/Microsoft/Windows/Start Menu/Programs/$name.lnk"
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

# run WHAT EXPECTED_CODE COMMAND...: runs COMMAND and checks its exit code.
run() {
    local what="$1" expected="$2" code=0
    shift 2
    "$@" || code=$?
    [ "$code" = "$expected" ] || fail "$what: exit code $code, not $expected"
    say "$what: exit code $code"
}
win() { "$wine_run" "$@"; }
# The uninstaller run in place (_?=), so that the wait and the exit code are its own; it
# cannot delete itself there.
uninstall_in_place() {
    "$wine_run" "$installdir/uninstall.exe" /S "_?=$(short_path "$installdir")"
}
# Nothing left of an installation but the uninstaller run in place, which goes now: the
# prefix is as BEFORE (a snapshot) again, and the Apps entry is gone.
all_gone() {
    local what="$1" before="$2"
    registry >/dev/null && fail "$what: the Apps entry is still there"
    rm -f "$installdir/uninstall.exe"
    [ ! -d "$installdir" ] || rmdir "$installdir" ||
        fail "$what: left in the folder: $(listed "$installdir")"
    [ "$(snapshot)" = "$before" ] ||
        fail "$what: left behind: $(comm -13 <(echo "$before") <(snapshot) | head -5)"
}
# installed WHAT FILES STAGE: the folder holds FILES (one a line) and no more, its program is
# STAGE's, and one Apps entry names the version VERSION_WANTED.
installed() {
    local what="$1" files="$2" stage="$3" version_wanted="$4"
    [ "$(files_of "$installdir")" = "$files" ] ||
        fail "$what: the folder holds: $(listed "$installdir")"
    cmp -s "$installdir/$exe" "$stage/$exe" || fail "$what: the program is not $version_wanted's"
    [ -f "$shortcut" ] || fail "$what: no Start menu entry"
    [ "$(entries)" -eq 1 ] || fail "$what: not one Apps entry"
    [ "$(display_version)" = "$version_wanted" ] ||
        fail "$what: the Apps entry says $(display_version), not $version_wanted"
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
# starts_from_shortcut WHAT STAGE: the Start menu entry starts STAGE's program, from the
# installation folder; it is ended again.
starts_from_shortcut() {
    local what="$1" stage="$2" window pid
    "$wine_run" start /unix "$shortcut"
    window="$(find_window)" || fail "$what: the Start menu entry started no program"
    pid="$(xdotool getwindowpid "$window")"
    tr '\0' ' ' <"/proc/$pid/cmdline" | grep -qF "$(windows_path "$installdir")\\$exe" ||
        fail "$what: the Start menu entry started $(tr '\0' ' ' <"/proc/$pid/cmdline")"
    cmp -s "$installdir/$exe" "$stage/$exe" ||
        fail "$what: the Start menu entry starts another program"
    PROGRAM_PID=$pid
    stop_program
}

# answer WHAT PAGES KEY EXPECTED_CODE COMMAND...: runs an installer or uninstaller
# interactively, goes through PAGES pages with Enter, then answers the message box that comes
# up with KEY (Escape: Cancel, Return: OK) and checks the exit code. MESSAGES=FOLDER keeps a
# picture of each message box there.
answer() {
    local what="$1" pages="$2" key="$3" expected="$4" pid code=0 page dialog="" box="" tries
    shift 4
    local caption="$name Setup"
    [[ "$*" == *uninstall* ]] && caption="$name Uninstall"
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
    [ "$code" = "$expected" ] || fail "$what: exit code $code, not $expected"
    say "$what: exit code $code"
}

# The helper: holds a file or a mutex, or shows a window of another program (see
# check_helper.c). helper MODE WHAT READY: started in the background once it is ready; HELPER_PID.
build_check_helper "$scratch/helper.exe"
helper() {
    local mode="$1" what="$2" ready="$3" tries
    [[ "$what" == "Local\\"* || "$mode" == window ]] || what="$(windows_path "$what")"
    rm -f "$ready"
    "$wine_run" "$scratch/helper.exe" "$mode" "$what" "$(windows_path "$ready")" >/dev/null 2>&1 &
    HELPER_PID=$!
    background+=("$HELPER_PID")
    # Given time on a busy machine; a helper that could not take hold ends at once.
    for ((tries = 0; tries < 600; tries++)); do
        [ -f "$ready" ] && return 0
        kill -0 "$HELPER_PID" 2>/dev/null || break
        sleep 0.1
    done
    fail "the helper did not take hold of $what"
}
hold() { helper hold "$1" "$scratch/held"; } # FILE, or 'Local\NAME' (a mutex), without sharing
scan() { helper scan "$1" "$scratch/held"; } # FILE, sharing reading and writing only
release() {
    kill "$HELPER_PID" 2>/dev/null || true
    wait "$HELPER_PID" 2>/dev/null || true
}

n_files="$(cd "$scratch" && mkdir stage && cd stage && unzip -q "$archive" && files_of .)"
n_installed="$(LC_ALL=C sort <<<"$n_files"$'\n'uninstall.exe)"
version="$VERSION"
# N+1: the same program (marked, to tell it apart) under the next version, without
# THIRD-PARTY-NOTICES.txt and with a NEWS.txt.
IFS=. read -r major minor patch <<<"$version"
next="$major.$minor.$((patch + 1))"
mkdir "$scratch/next"
cp "$scratch/stage/"* "$scratch/next/"
rm "$scratch/next/THIRD-PARTY-NOTICES.txt"
printf 'next' >>"$scratch/next/$exe"
printf 'Version %s\r\n' "$next" >"$scratch/next/NEWS.txt"
sed -e "s/^!define VERSION .*/!define VERSION \"$next\"/" \
    -e "s/^!define VERSION4 .*/!define VERSION4 \"$next.0\"/" \
    "$build/product/product.nsh" >"$scratch/next.nsh"
make_installer "$scratch/next.nsh" "$scratch/next" "$scratch/next-setup.exe" >/dev/null
next_setup="$scratch/next-setup.exe"
next_installed="$(LC_ALL=C sort <<<"$(files_of "$scratch/next")"$'\n'uninstall.exe)"

# ------------------------------------------------------------------------------------ cases --

# still_starts WHAT: the installed program starts and works, or the check fails naming WHAT.
still_starts() {
    "$here/check_program.sh" "$build" "$installdir/$exe" >/dev/null || fail "$1 no longer starts"
}

# Files, Start menu entry and Apps entry in place, the installed program starts; the same
# version again (a repair) keeps one entry; a silent uninstall removes everything.
case_install_repair_uninstall() {
    fresh_prefix "install, repair, uninstall"
    local before
    before="$(snapshot)"
    run "silent install" 0 win "$setup" /S
    installed "install" "$n_installed" "$scratch/stage" "$version"
    local entry value
    entry="$(registry)"
    for value in "DisplayName    REG_SZ    $name" 'Publisher    REG_SZ' 'DisplayIcon    REG_SZ' \
        'EstimatedSize    REG_DWORD' 'UninstallString    REG_SZ' \
        'QuietUninstallString    REG_SZ'; do
        grep -qF "$value" <<<"$entry" || fail "the Apps entry lacks '$value'"
    done
    "$here/check_program.sh" "$build" "$installdir/$exe"

    run "the same version again (a repair)" 0 win "$setup" /S
    installed "repair" "$n_installed" "$scratch/stage" "$version"
    run "silent uninstall" 0 uninstall_in_place
    all_gone "uninstall" "$before"
}

# The folder deleted by hand, then the uninstaller (kept elsewhere) run on it: the entries go.
case_uninstall_deleted_folder() {
    fresh_prefix "uninstall of a folder deleted by hand"
    run "install" 0 win "$setup" /S
    local spare="$scratch/uninstall.exe" short
    cp "$installdir/uninstall.exe" "$spare"
    short="$(short_path "$installdir")"
    rm -rf "$installdir"
    run "uninstall of a deleted folder" 0 win "$spare" /S "_?=$short"
    registry >/dev/null && fail "the Apps entry outlived an uninstall of a deleted folder"
    [ -f "$shortcut" ] && fail "the Start menu entry outlived an uninstall of a deleted folder"
    rm -f "$spare"
}

# A reinstall while the program runs: cancelled when asked, it changes nothing; silent, it
# closes the program and replaces it.
case_reinstall_while_running() {
    fresh_prefix "reinstall while the program runs"
    run "install" 0 win "$setup" /S
    # Marked, so that a copy left in place shows; the mark is data after the program's end.
    printf 'marked' >>"$installdir/$exe"
    start_program "$installdir/$exe"
    local marked
    marked="$(state)"
    # The licence page; the folder is the installed version's, and not asked for.
    answer "reinstall, Cancel when asked to close the program" 1 Escape 1 "$setup"
    [ "$(state)" = "$marked" ] || fail "a cancelled reinstall changed the installation"
    run "silent reinstall" 0 win "$setup" /S
    program_ended || fail "exit code 0, and the old program still runs"
    installed "silent reinstall" "$n_installed" "$scratch/stage" "$version"
    say "the program was closed and replaced"
}

# A program that will not close, a copy elsewhere that hangs (its mutex held), or a file held
# open by another program: a non-zero exit code and nothing changed.
case_program_will_not_close() {
    fresh_prefix "a program that will not close: the program file held open, or the mutex held"
    run "install" 0 win "$setup" /S
    local unchanged started
    unchanged="$(state)"
    hold "$installdir/$exe"
    started=$SECONDS
    run "silent reinstall" 3 win "$setup" /S
    say "gave up after $((SECONDS - started)) s"
    [ "$(state)" = "$unchanged" ] || fail "the reinstall changed the installation"
    run "silent uninstall" 3 uninstall_in_place
    [ "$(state)" = "$unchanged" ] || fail "the uninstaller changed the installation"
    release
    # A copy that hangs elsewhere (from the archive, say): only its mutex tells that it runs.
    hold "$RUNNING_MUTEX"
    started=$SECONDS
    run "silent reinstall while a copy elsewhere hangs" 3 win "$setup" /S
    say "gave up after $((SECONDS - started)) s"
    [ "$(state)" = "$unchanged" ] || fail "the reinstall changed the installation"
    release
    hold "$installdir/LICENSE.txt"
    run "silent reinstall with LICENSE.txt held open" 2 win "$setup" /S
    [ "$(state)" = "$unchanged" ] || fail "the reinstall changed the installation"
    release
    still_starts "the installed program"
}

# An uninstall while another program holds LICENSE.txt open without sharing it: exit code 2,
# and everything stays (files, uninstaller, Start menu entry, Apps entry), also when asked
# interactively; once the file is free, the uninstall removes everything.
case_uninstall_file_in_use() {
    fresh_prefix "uninstall while another program holds a file"
    local before installed_state
    before="$(snapshot)"
    run "install" 0 win "$setup" /S
    installed_state="$(state)"
    hold "$installdir/LICENSE.txt"
    run "silent uninstall with LICENSE.txt held open" 2 uninstall_in_place
    [ "$(state)" = "$installed_state" ] || fail "a failed uninstall changed the installation: \
$(diff <(echo "$installed_state") <(state) | head -5)"
    answer "uninstall with LICENSE.txt held open, OK to the message" 1 Return 2 \
        "$installdir/uninstall.exe" "_?=$(short_path "$installdir")"
    [ "$(state)" = "$installed_state" ] || fail "a failed uninstall changed the installation"
    say "everything stays: $(listed "$installdir"), the Start menu entry and the Apps entry"
    release
    run "silent uninstall, LICENSE.txt free again" 0 uninstall_in_place
    all_gone "uninstall once the file is free" "$before"
}

# Version N, then N+1: the folder holds N+1's files (N's file that N+1 lacks is gone), one entry
# says N+1, and the Start menu entry starts N+1's program.
case_upgrade() {
    fresh_prefix "version $version, then $next"
    run "install $version" 0 win "$setup" /S
    run "install $next" 0 win "$next_setup" /S
    installed "upgrade" "$next_installed" "$scratch/next" "$next"
    say "folder: $(listed "$installdir"); one entry, $next"
    starts_from_shortcut "upgrade" "$scratch/next"
}

# Version N, then N+1 while another program (a virus scanner, say) holds one of N+1's files
# where setup unpacks them, so that it cannot be moved into place once N's files are set aside:
# exit code 2, and N stays whole: its files, its Apps entry and version, its Start menu entry,
# which starts it. Once the file is free, N+1 installs.
case_upgrade_rolled_back() {
    fresh_prefix "version $version, then $next, which cannot move a file into place"
    run "install $version" 0 win "$setup" /S
    # Left by an earlier attempt, and held since.
    mkdir "$installdir/setup.new"
    cp "$scratch/next/NEWS.txt" "$installdir/setup.new/"
    scan "$installdir/setup.new/NEWS.txt"
    local unchanged
    unchanged="$(state)"
    run "install $next" 2 win "$next_setup" /S
    [ "$(state)" = "$unchanged" ] || fail "a failed upgrade changed the installation: \
$(diff <(echo "$unchanged") <(state) | head -5)"
    [ "$(display_version)" = "$version" ] || fail "the Apps entry says $(display_version)"
    starts_from_shortcut "failed upgrade" "$scratch/stage"
    say "$version stays: $(listed "$installdir"); its entry, $version"
    release
    run "install $next, the file free again" 0 win "$next_setup" /S
    installed "upgrade once the file is free" "$next_installed" "$scratch/next" "$next"
}

# N+1, then N: refused (exit code 4), N+1 still installed and starting.
case_downgrade_refused() {
    fresh_prefix "version $next, then $version"
    run "install $next" 0 win "$next_setup" /S
    local unchanged
    unchanged="$(state)"
    run "install $version" 4 win "$setup" /S
    answer "install $version interactively" 0 Return 4 "$setup"
    [ "$(state)" = "$unchanged" ] || fail "the older version changed the installation"
    still_starts "$next"
}

# An uninstall while the program runs: cancelled when asked, it changes nothing; silent, it
# closes the program and removes everything.
case_uninstall_while_running() {
    fresh_prefix "uninstall while the program runs"
    local before installed_state
    before="$(snapshot)"
    run "install" 0 win "$setup" /S
    start_program "$installdir/$exe"
    installed_state="$(state)"
    answer "uninstall, Cancel when asked to close the program" 1 Escape 1 \
        "$installdir/uninstall.exe" "_?=$(short_path "$installdir")"
    [ "$(state)" = "$installed_state" ] || fail "a cancelled uninstall changed the installation"
    run "silent uninstall" 0 uninstall_in_place
    program_ended || fail "exit code 0, and the program still runs"
    all_gone "uninstall while the program runs" "$before"
    say "the program was closed; nothing left"
}

# Other programs' folders in %LOCALAPPDATA%\Programs, one empty, survive an uninstall, and so
# does that shared folder itself.
case_other_programs_folders() {
    local others
    for others in "other programs' folders, one empty" "nothing else"; do
        fresh_prefix "$others in %LOCALAPPDATA%\\Programs"
        if [ "$others" != "nothing else" ]; then
            mkdir -p "$programs/Another Program" "$programs/Empty"
            echo data >"$programs/Another Program/another.exe"
        fi
        local before tries
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
        [ "$(snapshot)" = "$before" ] ||
            fail "not as before: $(diff <(echo "$before") <(snapshot) | head -5)"
    done
}

# Another program's window with the main window's exact title, which ignores WM_CLOSE from
# others and writes down that it got one: neither an install beside it nor one that closes the
# running program asks it to close, and both succeed.
case_window_of_another_program() {
    fresh_prefix "a window of another program with the program's title"
    local asked="$scratch/window-asked"
    run "install" 0 win "$setup" /S
    start_program "$installdir/$exe"
    # Shown last, so that it comes first among the windows with that title.
    helper window "$title" "$asked"
    run "silent reinstall while the program runs" 0 win "$setup" /S
    program_ended || fail "exit code 0, and the program still runs"
    [ ! -s "$asked" ] || fail "the other program's window was asked to close"
    kill -0 "$HELPER_PID" 2>/dev/null || fail "the other program ended"
    run "silent reinstall beside it" 0 win "$setup" /S
    [ ! -s "$asked" ] || fail "the other program's window was asked to close"
    kill -0 "$HELPER_PID" 2>/dev/null || fail "the other program ended"
    release
    say "the program was closed; the other program's window was never asked to close"
}

# The archive runs from any folder and writes nothing outside it. A silent install, then a
# silent uninstall, while a copy from the archive runs: the installed file is not in use, so
# only the mutex tells that a copy runs, and each closes the copy and succeeds.
case_archive() {
    fresh_prefix "the archive"
    local portable="$WINEPREFIX/drive_c/portable" before started
    mkdir -p "$portable"
    before="$(snapshot | grep -v '\./portable/')"
    (cd "$portable" && unzip -q "$archive")
    "$here/check_program.sh" "$build" "$portable/$exe"
    [ "$(snapshot | grep -v '\./portable/')" = "$before" ] ||
        fail "the portable program wrote files"
    say "the archive runs from its folder and writes nothing outside it"

    start_program "$portable/$exe"
    started=$SECONDS
    run "silent install while the archive's copy runs" 0 win "$setup" /S
    program_ended || fail "exit code 0, and the archive's copy still runs"
    say "the archive's copy was closed in $((SECONDS - started)) s"
    installed "install while the archive's copy runs" "$n_installed" "$scratch/stage" "$version"
    start_program "$portable/$exe"
    started=$SECONDS
    run "silent uninstall while the archive's copy runs" 0 uninstall_in_place
    program_ended || fail "exit code 0, and the archive's copy still runs"
    say "the archive's copy was closed in $((SECONDS - started)) s"
    registry >/dev/null && fail "exit code 0, and the Apps entry is still there"
    [ -f "$shortcut" ] && fail "exit code 0, and the Start menu entry is still there"
    return 0
}

cases=(
    case_install_repair_uninstall
    case_uninstall_deleted_folder
    case_reinstall_while_running
    case_program_will_not_close
    case_uninstall_file_in_use
    case_upgrade
    case_upgrade_rolled_back
    case_downgrade_refused
    case_uninstall_while_running
    case_other_programs_folders
    case_window_of_another_program
    case_archive
)
for case in "${cases[@]}"; do
    "$case"
done
echo "windows install: ${#cases[@]} cases passed"
