#!/usr/bin/env bash
# Installs the calculator under Wine, in a fresh prefix, as a Windows user would, and checks what
# the installer and the archive leave behind: a silent install puts the files, the Start menu
# entry and the "Apps" entry in place and the installed program starts; installing again over
# it upgrades in place and keeps one entry; a silent uninstall removes everything; an uninstall
# after the folder was deleted by hand ends cleanly. The archive runs from any folder and writes
# nothing outside it. Needs an X display for the program's window.
# Usage: check_install.sh SETUP.exe ARCHIVE.zip
set -euo pipefail
setup="$(realpath "$1")"
archive="$(realpath "$2")"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
wine_run="$here/../../scripts/lib/wine_run"
WINEPREFIX="$(mktemp -d)/wine"
export WINEPREFIX
trap 'wineserver -k 2>/dev/null || true; rm -rf "$(dirname "$WINEPREFIX")"' EXIT

fail() {
    echo "windows install: $1" >&2
    exit 1
}
user_dir() { # the Unix path of a user folder: LOCALAPPDATA, APPDATA
    local windows
    windows="$("$wine_run" cmd /c "echo %$1%" | tr -d '\r')"
    "$wine_run" winepath -u "$windows" 2>/dev/null | tr -d '\r'
}
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\MV4016StorageCalculator'
registry() { "$wine_run" reg query "$key" 2>/dev/null | tr -d '\r'; }
# Everything but Windows itself and the temporary folder.
snapshot() {
    find "$WINEPREFIX/drive_c" \( -path '*/windows' -o -path '*/Temp' \) -prune -o -print | sort
}

"$wine_run" cmd /c exit >/dev/null 2>&1  # makes the prefix
installdir="$(user_dir LOCALAPPDATA)/Programs/MV-4016 Storage Calculator"
shortcut="$(user_dir APPDATA)/Microsoft/Windows/Start Menu/Programs/MV-4016 Storage Calculator.lnk"
before="$(snapshot)"

"$wine_run" "$setup" /S
wineserver -w
for file in mv4016-calculator.exe uninstall.exe LICENSE.txt THIRD-PARTY-NOTICES.txt \
    LGPL-3.0.txt GPL-3.0.txt; do
    [ -f "$installdir/$file" ] || fail "no $file in the installation folder"
done
[ -f "$shortcut" ] || fail "no Start menu entry"
entry="$(registry)" || fail "no entry under Apps"
for value in 'DisplayName    REG_SZ    MV-4016 Storage Calculator' 'DisplayVersion    REG_SZ' \
    'Publisher    REG_SZ' 'DisplayIcon    REG_SZ' 'EstimatedSize    REG_DWORD' \
    'UninstallString    REG_SZ' 'QuietUninstallString    REG_SZ'; do
    grep -qF "$value" <<<"$entry" || fail "the Apps entry lacks '$value'"
done
echo "windows install: files, Start menu entry and Apps entry in place"
"$here/check_program.sh" "$installdir/mv4016-calculator.exe"

"$wine_run" "$setup" /S  # again: an upgrade in place
wineserver -w
[ "$("$wine_run" reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall' |
    grep -c MV4016StorageCalculator)" -eq 1 ] || fail "a second install made a second entry"

# _?= runs the uninstaller in place, so that the wait covers its work.
"$wine_run" "$installdir/uninstall.exe" /S "_?=$("$wine_run" winepath -w "$installdir" | tr -d '\r')"
wineserver -w
rm -f "$installdir/uninstall.exe"  # left by an uninstaller run in place
rmdir "$installdir" 2>/dev/null || true
registry >/dev/null && fail "the Apps entry is still there after uninstalling"
[ "$(snapshot)" = "$before" ] || fail "left behind: $(comm -13 <(echo "$before") <(snapshot) | head -5)"
echo "windows install: upgrade kept one entry; uninstall left nothing"

# The folder deleted by hand, then the uninstaller (kept elsewhere) run on it.
"$wine_run" "$setup" /S
wineserver -w
spare="$(dirname "$WINEPREFIX")/uninstall.exe"
cp "$installdir/uninstall.exe" "$spare"
rm -rf "$installdir"
"$wine_run" "$spare" /S "_?=$("$wine_run" winepath -w "$installdir" | tr -d '\r')" ||
    fail "the uninstaller failed on a deleted folder"
wineserver -w
registry >/dev/null && fail "the Apps entry outlived an uninstall of a deleted folder"
[ -f "$shortcut" ] && fail "the Start menu entry outlived an uninstall of a deleted folder"
echo "windows install: an uninstall after the folder was deleted ends cleanly"

# The archive: unpacked anywhere, it runs and writes nothing outside its folder.
portable="$WINEPREFIX/drive_c/portable"
mkdir -p "$portable"
before="$(snapshot | grep -v '^'"$portable")"
(cd "$portable" && unzip -q "$archive")
"$here/check_program.sh" "$portable/mv4016-calculator.exe"
[ "$(snapshot | grep -v '^'"$portable")" = "$before" ] || fail "the portable program wrote files"
echo "windows install: the archive runs from its folder and writes nothing outside it"
