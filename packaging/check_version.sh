#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
#
# SPDX-License-Identifier: MIT

# The version and the publisher have one source, the top CMakeLists.txt: a copy of the project
# with another version and publisher in it (and a changelog entry for that version) is
# configured, and every file made from them must hold the new ones and nothing of the old. A
# changelog that does not begin with the version must stop the configuration. Configures only.
# Usage: check_version.sh SOURCE_DIR SCRATCH_DIR CURRENT_VERSION
set -euo pipefail
source_dir="$1"
scratch="$2"
old="$3"
cmake="${CMAKE:-cmake}"
new=2.3.4
[ "$old" != "$new" ] || new=2.3.5
publisher="Version Check Publisher"

fail() {
    echo "version check: $1" >&2
    exit 1
}

rm -rf "$scratch"
mkdir -p "$scratch/src"
tar -C "$source_dir" --exclude=./build --exclude=./.git -cf - . | tar -C "$scratch/src" -xf -
top="$scratch/src/CMakeLists.txt"
old_publisher="$(sed -n 's/^set(STORAGECALC_PUBLISHER "\(.*\)")$/\1/p' "$top")"
[ -n "$old_publisher" ] || fail "no set(STORAGECALC_PUBLISHER \"...\") line in CMakeLists.txt"
sed -i -e "s/^project(\([^ ]*\) VERSION $old /project(\1 VERSION $new /" "$top"
grep -q "^project(.* VERSION $new " "$top" || fail "no project(... VERSION $old ...) line"
set_publisher() {
    sed -i "s/^set(STORAGECALC_PUBLISHER \".*\")$/set(STORAGECALC_PUBLISHER \"$1\")/" "$top"
    grep -qF "set(STORAGECALC_PUBLISHER \"$1\")" "$top" || fail "the publisher was not set to '$1'"
}

configure() {
    rm -rf "$scratch/build"
    # Makefiles, whose flags.make shows the program's compile definitions.
    "$cmake" -G "Unix Makefiles" -S "$scratch/src" -B "$scratch/build" -DBUILD_TESTING=OFF \
        >"$scratch/configure.log" 2>&1
}
# A publisher that would be empty, or break the installer's, the resource's or the scripts'
# strings, is refused, with the reason.
for bad in "" "It's Us" "Cost \$5" "A \`command\`"; do
    set_publisher "$bad"
    if configure; then
        fail "the publisher '$bad' was accepted"
    fi
    grep -q "STORAGECALC_PUBLISHER '.*' is empty or holds" "$scratch/configure.log" ||
        fail "the publisher '$bad' stopped the build without saying why"
done
set_publisher "$publisher"

# The changelog still names the old version first: refused, with the reason.
if configure; then
    fail "a changelog without an entry for $new was accepted"
fi
grep -q "not an entry for version $new" "$scratch/configure.log" ||
    fail "a changelog without an entry for $new stopped the build without saying why"

changelog="$scratch/src/packaging/changelog"
{
    printf 'mv4016-calculator (%s) unstable; urgency=medium\n\n  * Version check.\n\n' "$new"
    printf ' -- %s <check@example.org>  Thu, 10 Dec 2026 00:00:00 +0000\n\n' "$publisher"
    cat "$changelog"
} >"$changelog.new"
mv "$changelog.new" "$changelog"
configure || { cat "$scratch/configure.log"; fail "configuring version $new failed"; }

build="$scratch/build"
IFS=. read -r major minor patch <<<"$new"
# file|text it must hold (fixed strings), one line each.
expected="\
packaging/windows/mv4016-calculator.rc|FILEVERSION $major,$minor,$patch,0
packaging/windows/mv4016-calculator.rc|PRODUCTVERSION $major,$minor,$patch,0
packaging/windows/mv4016-calculator.rc|\"ProductVersion\", \"$new\"
packaging/windows/mv4016-calculator.rc|\"FileVersion\", \"$new\"
packaging/windows/mv4016-calculator.rc|\"CompanyName\", \"$publisher\"
packaging/windows/mv4016-calculator.manifest|version=\"$new.0\"
packaging/windows/product.nsh|!define VERSION \"$new\"
packaging/windows/product.nsh|!define VERSION4 \"$new.0\"
packaging/windows/product.nsh|!define PUBLISHER \"$publisher\"
packaging/mv4016-calculator.1|\"mv4016\\-calculator $new\"
packaging/org.example.c_seed_aadf6ee7.mv4016_calculator.metainfo.xml|<release version=\"$new\"
CPackConfig.cmake|set(CPACK_PACKAGE_VERSION \"$new\")
CPackConfig.cmake|set(CPACK_PACKAGE_VENDOR \"$publisher\")
app/CMakeFiles/mv4016-calculator.dir/flags.make|STORAGECALC_VERSION=\\\"$new\\\""
while IFS='|' read -r file text; do
    [ -f "$build/$file" ] || fail "$file was not made"
    grep -qF -- "$text" "$build/$file" || fail "$file lacks '$text'"
done <<<"$expected"

# The shell variables scripts/windows reads, as it reads them.
# shellcheck source=/dev/null
source "$build/packaging/windows/product.sh"
[ "$VERSION" = "$new" ] || fail "product.sh: VERSION is '$VERSION'"
# shellcheck disable=SC2153  # set by product.sh
[ "$PUBLISHER" = "$publisher" ] || fail "product.sh: PUBLISHER is '$PUBLISHER'"
[ "$SETUP_FILE" = "mv4016-calculator-$new-setup.exe" ] || fail "product.sh: SETUP_FILE is '$SETUP_FILE'"
[ "$ARCHIVE_FILE" = "mv4016-calculator-$new-windows-x64.zip" ] ||
    fail "product.sh: ARCHIVE_FILE is '$ARCHIVE_FILE'"

# Nothing of the old version or publisher in any of them (the files' own copyright lines, which
# name the project, are not the publisher).
IFS=. read -r major minor patch <<<"$old"
files=(packaging/windows/mv4016-calculator.rc packaging/windows/mv4016-calculator.manifest
    packaging/windows/product.nsh packaging/windows/product.sh packaging/mv4016-calculator.1
    packaging/org.example.c_seed_aadf6ee7.mv4016_calculator.metainfo.xml CPackConfig.cmake
    app/CMakeFiles/mv4016-calculator.dir/flags.make)
for file in "${files[@]}"; do
    for stale in "$old" "$major,$minor,$patch" "$old_publisher"; do
        if grep -v 'SPDX-FileCopyrightText' "$build/$file" | grep -nF -- "$stale"; then
            fail "$file still holds '$stale'"
        fi
    done
done
echo "version check: $new and '$publisher' in all ${#files[@]} files, nothing of $old"
