#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
#
# SPDX-License-Identifier: MIT

# Installs a build into a fresh temporary prefix and checks what lands there: exactly the
# program, its desktop entry, its AppStream metadata, its icons, its manual page and its
# copyright and changelog files, each the file it should be.
# Usage: check_install.sh BUILD_DIR SOURCE_DIR APP_ID   (CMAKE may name the cmake to use)
set -euo pipefail

build="${1:?usage: check_install.sh BUILD_DIR SOURCE_DIR APP_ID}"
source="${2:?usage: check_install.sh BUILD_DIR SOURCE_DIR APP_ID}"
app="${3:?usage: check_install.sh BUILD_DIR SOURCE_DIR APP_ID}"
program=mv4016-calculator
doc="share/doc/$program"
sizes=(16 32 48 64 128 256)

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
prefix="$work/prefix"

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# same_file INSTALLED ORIGINAL: installed, and byte for byte the original.
same_file() {
    if [ ! -f "$prefix/$1" ]; then
        fail "$1 is not installed"
    elif ! cmp -s "$prefix/$1" "$2"; then
        fail "$1 differs from ${2#"$source/"}"
    fi
}

# png_size FILE: prints "WIDTHxHEIGHT" from the PNG header, or nothing if FILE is no PNG.
png_size() {
    local bytes
    read -r -a bytes <<<"$(od -An -v -tu1 -w24 -N24 "$1")"
    [ "${#bytes[@]}" -eq 24 ] || return 0
    # Signature 89 50 4E 47 0D 0A 1A 0A, then the IHDR chunk: length, "IHDR", width, height.
    [ "${bytes[*]:0:8}" = "137 80 78 71 13 10 26 10" ] || return 0
    [ "${bytes[*]:12:4}" = "73 72 68 82" ] || return 0
    local width=$(((bytes[16] << 24) | (bytes[17] << 16) | (bytes[18] << 8) | bytes[19]))
    local height=$(((bytes[20] << 24) | (bytes[21] << 16) | (bytes[22] << 8) | bytes[23]))
    echo "${width}x${height}"
}

# same_gzipped INSTALLED ORIGINAL: installed gzip-compressed at the best level without a name or
# time stamp (header flags 0, mtime 0, extra flags 2), and unpacking to the original.
same_gzipped() {
    if [ ! -f "$prefix/$1" ]; then
        fail "$1 is not installed"
        return
    fi
    local header
    header="$(od -An -v -tu1 -N10 "$prefix/$1" | xargs)"
    [ "$header" = "31 139 8 0 0 0 0 0 2 3" ] ||
        fail "$1 is not compressed by gzip -9n (header: $header)"
    cmp -s <(gzip -dc "$prefix/$1") "$2" || fail "$1 does not unpack to ${2#"$source/"}"
}

# desktop_key KEY: the value of KEY in the installed desktop entry.
desktop_key() {
    sed -n "s/^$1=//p" "$prefix/share/applications/$app.desktop"
}

if ! "${CMAKE:-cmake}" --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1; then
    cat "$work/install.log"
    echo "FAIL: cmake --install failed"
    exit 1
fi

expected=(
    "bin/$program"
    "share/applications/$app.desktop"
    "share/metainfo/$app.metainfo.xml"
    "share/icons/hicolor/scalable/apps/$app.svg"
    "share/man/man1/$program.1.gz"
    "$doc/copyright"
    "$doc/changelog.gz"
)
for size in "${sizes[@]}"; do
    expected+=("share/icons/hicolor/${size}x${size}/apps/$app.png")
done

# Nothing beyond these; the checks further down find any that is missing.
unexpected="$(comm -13 <(printf '%s\n' "${expected[@]}" | sort) \
    <(cd "$prefix" && find . -type f -printf '%P\n' | sort))"
[ -z "$unexpected" ] || fail "unexpected files installed: $(echo "$unexpected" | tr '\n' ' ')"

# The program: an executable that starts and keeps running until it is stopped.
if [ ! -x "$prefix/bin/$program" ]; then
    fail "bin/$program is not installed or not executable"
elif [ "$(od -An -tx1 -N4 "$prefix/bin/$program" | tr -d ' ')" != "7f454c46" ]; then
    fail "bin/$program is not an ELF executable"
else
    status=0
    QT_QPA_PLATFORM=offscreen timeout 3 "$prefix/bin/$program" >"$work/run.log" 2>&1 || status=$?
    # timeout ends it with status 124; anything else means it stopped on its own.
    if [ "$status" -ne 124 ]; then
        cat "$work/run.log"
        fail "bin/$program stopped by itself with status $status instead of running"
    fi
    # The desktop file name it sets (a C string) is the installed entry's name.
    if ! perl -0777 -ne 'BEGIN { $p = shift . "\0" } exit(index($_, $p) < 0)' \
        "$app" "$prefix/bin/$program"; then
        fail "bin/$program does not name its desktop entry $app"
    fi
fi

same_file "share/applications/$app.desktop" "$build/packaging/$app.desktop"
same_file "share/metainfo/$app.metainfo.xml" "$build/packaging/$app.metainfo.xml"
same_file "share/icons/hicolor/scalable/apps/$app.svg" "$source/ui/assets/icon.svg"
same_file "$doc/copyright" "$build/packaging/copyright"
same_gzipped "share/man/man1/$program.1.gz" "$build/packaging/$program.1"
same_gzipped "$doc/changelog.gz" "$source/packaging/changelog"

for size in "${sizes[@]}"; do
    png="share/icons/hicolor/${size}x${size}/apps/$app.png"
    if [ ! -f "$prefix/$png" ]; then
        fail "$png is not installed"
        continue
    fi
    actual="$(png_size "$prefix/$png")"
    [ "$actual" = "${size}x${size}" ] ||
        fail "$png is ${actual:-not a PNG}, not ${size}x${size}"
done

# The names that tie the pieces together resolve to installed files.
if [ -f "$prefix/share/applications/$app.desktop" ]; then
    exec_name="$(desktop_key Exec)"
    [ -x "$prefix/bin/$exec_name" ] || fail "desktop entry runs '$exec_name', which is not in bin/"
    icon_name="$(desktop_key Icon)"
    [ -f "$prefix/share/icons/hicolor/scalable/apps/$icon_name.svg" ] ||
        fail "desktop entry shows icon '$icon_name', which is not installed"
fi
if [ -f "$prefix/share/metainfo/$app.metainfo.xml" ]; then
    launchable="$(sed -n 's:.*<launchable type="desktop-id">\(.*\)</launchable>.*:\1:p' \
        "$prefix/share/metainfo/$app.metainfo.xml")"
    if [ -z "$launchable" ] || [ ! -f "$prefix/share/applications/$launchable" ]; then
        fail "metainfo launches '$launchable', which is not installed"
    fi
    binary="$(sed -n 's:.*<binary>\(.*\)</binary>.*:\1:p' \
        "$prefix/share/metainfo/$app.metainfo.xml")"
    if [ -z "$binary" ] || [ ! -x "$prefix/bin/$binary" ]; then
        fail "metainfo provides binary '$binary', which is not installed"
    fi
fi

# AppStream's own view of the installed tree: metainfo, its launchable desktop entry, icons.
if command -v appstreamcli >/dev/null; then
    bash "$source/packaging/check_metainfo.sh" "$prefix" >"$work/tree.log" 2>&1 || {
        cat "$work/tree.log"
        fail "appstreamcli validate-tree rejects the installed tree"
    }
else
    echo "note: appstreamcli not found, the installed tree is not validated by it"
fi

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "installed ${#expected[@]} files into a temporary prefix; all present and correct"
