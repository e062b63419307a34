#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
#
# SPDX-License-Identifier: MIT

# The version and the names that several files share have one source, the top CMakeLists.txt: a
# copy of the project with another version and other names in it (and a changelog entry for
# that version, signed by the other maintainer) is configured, and every file made from them
# must hold the new ones and nothing of the old. A name that would break a string of C, NSIS or
# the shell, or is no valid id, and a changelog that does not begin with the version or is signed
# by another maintainer, must stop the configuration, saying why. Configures only.
# Usage: check_version.sh SOURCE_DIR SCRATCH_DIR CURRENT_VERSION
set -euo pipefail
source_dir="$1"
scratch="$2"
old="$3"
cmake="${CMAKE:-cmake}"
new=2.3.4
[ "$old" != "$new" ] || new=2.3.5

fail() {
    echo "version check: $1" >&2
    exit 1
}

# name|the value it gets in the copy
names="\
STORAGECALC_NAME|Check Calculator
STORAGECALC_APP_ID|org.example.CheckCalculator
STORAGECALC_PUBLISHER|Version Check Publisher
STORAGECALC_MAINTAINER|Check maintainers <check@example.org>
STORAGECALC_TITLE_MAIN|Check Main Window
STORAGECALC_TITLE_INSTRUCTIONS|Check Instructions
STORAGECALC_TITLE_GLOSSARY|Check Glossary
STORAGECALC_TITLE_ABOUT|Check About
STORAGECALC_RUNNING_MUTEX|Local\\\\CheckRunning
STORAGECALC_UNINSTALL_KEY|CheckUninstallKey"
# name|a value that must be refused|what the refusal says
refused="\
STORAGECALC_PUBLISHER||STORAGECALC_PUBLISHER '' is empty or holds
STORAGECALC_PUBLISHER|It's Us|STORAGECALC_PUBLISHER 'It's Us' is empty or holds
STORAGECALC_PUBLISHER|Cost \$5|STORAGECALC_PUBLISHER 'Cost \$5' is empty or holds
STORAGECALC_PUBLISHER|A \`command\`|STORAGECALC_PUBLISHER 'A \`command\`' is empty or holds
STORAGECALC_TITLE_ABOUT|About \`it\`|STORAGECALC_TITLE_ABOUT 'About \`it\`' is empty or holds
STORAGECALC_APP_ID|org.example.mv4016-calculator|is no reverse-DNS id
STORAGECALC_APP_ID|Calculator|is no reverse-DNS id
STORAGECALC_MAINTAINER|maintainers@example.org|is not 'Name <address>'
STORAGECALC_RUNNING_MUTEX|Global\\\\\\\\Running|is not Local
STORAGECALC_UNINSTALL_KEY|Uninstall\\\\\\\\Key|is not a key name"

rm -rf "$scratch"
mkdir -p "$scratch/src"
tar -C "$source_dir" --exclude=./build --exclude=./.git -cf - . | tar -C "$scratch/src" -xf -
top="$scratch/src/CMakeLists.txt"
sed -i -e "s/^project(\([^ ]*\) VERSION $old /project(\1 VERSION $new /" "$top"
grep -q "^project(.* VERSION $new " "$top" || fail "no project(... VERSION $old ...) line"

# set_name NAME VALUE: the copy's set(NAME "VALUE"), VALUE as CMake reads it.
set_name() {
    local line
    line="set($1 \"$2\")"
    grep -q "^set($1 " "$top" || fail "no set($1 ...) line in CMakeLists.txt"
    NAME="$1" LINE="$line" perl -i -pe 's/^set\($ENV{NAME} .*\)$/$ENV{LINE}/' "$top"
    grep -qxF "$line" "$top" || fail "$1 was not set to '$2'"
}
# The value a set(NAME ...) line of the original gives, as CMake reads it.
value_of() {
    sed -n "s/^set($1 \"\{0,1\}\([^\"]*\)\"\{0,1\})\$/\1/p" "$source_dir/CMakeLists.txt" |
        sed 's/\\\\/\\/g'
}
configure() {
    rm -rf "$scratch/build"
    "$cmake" -S "$scratch/src" -B "$scratch/build" -DBUILD_TESTING=OFF \
        >"$scratch/configure.log" 2>&1
}
# said TEXT: whether the last configuration's messages, which CMake wraps, say TEXT.
said() { tr -s ' \n' '  ' <"$scratch/configure.log" | grep -qF -- "$1"; }

# Names that would break a string, or are no id: refused, with the reason.
cp "$top" "$top.good"
while IFS='|' read -r name bad reason; do
    cp "$top.good" "$top"
    set_name "$name" "$bad"
    if configure; then
        fail "$name '$bad' was accepted"
    fi
    said "$reason" ||
        fail "$name '$bad' stopped the build without saying why ('$reason')"
done <<<"$refused"
cp "$top.good" "$top"

olds=("$old")
while IFS='|' read -r name value; do
    olds+=("$(value_of "$name")")
    [ -n "${olds[-1]}" ] || fail "no value for $name in CMakeLists.txt"
    set_name "$name" "$value"
done <<<"$names"
value() { grep "^$1|" <<<"$names" | cut -d'|' -f2 | sed 's/\\\\/\\/g'; }
maintainer="$(value STORAGECALC_MAINTAINER)"

# The changelog still names the old version first: refused, with the reason.
if configure; then
    fail "a changelog without an entry for $new was accepted"
fi
said "not an entry for version $new" ||
    fail "a changelog without an entry for $new stopped the build without saying why"
changelog="$scratch/src/packaging/changelog"
cp "$changelog" "$changelog.old"
entry() {
    printf 'mv4016-calculator (%s) unstable; urgency=medium\n\n  * Version check.\n\n' "$new"
    printf ' -- %s  Thu, 10 Dec 2026 00:00:00 +0000\n\n' "$1"
}
# ... and one signed by somebody else.
{ entry "Somebody Else <else@example.org>"; cat "$changelog.old"; } >"$changelog"
if configure; then
    fail "a changelog entry signed by another maintainer was accepted"
fi
said "not by $maintainer" ||
    fail "a changelog entry by another maintainer stopped the build without saying why"
{ entry "$maintainer"; cat "$changelog.old"; } >"$changelog"
configure || { cat "$scratch/configure.log"; fail "configuring version $new failed"; }

build="$scratch/build"
IFS=. read -r major minor patch <<<"$new"
app_id="$(value STORAGECALC_APP_ID)"
publisher="$(value STORAGECALC_PUBLISHER)"
# file|text it must hold (fixed strings), one line each.
expected="\
packaging/windows/mv4016-calculator.rc|FILEVERSION $major,$minor,$patch,0
packaging/windows/mv4016-calculator.rc|PRODUCTVERSION $major,$minor,$patch,0
packaging/windows/mv4016-calculator.rc|\"ProductVersion\", \"$new\"
packaging/windows/mv4016-calculator.rc|\"FileVersion\", \"$new\"
packaging/windows/mv4016-calculator.rc|\"CompanyName\", \"$publisher\"
packaging/windows/mv4016-calculator.rc|\"ProductName\", \"Check Calculator\"
packaging/windows/mv4016-calculator.manifest|version=\"$new.0\"
packaging/windows/mv4016-calculator.manifest|<description>Check Calculator</description>
product/product.nsh|!define VERSION \"$new\"
product/product.nsh|!define VERSION4 \"$new.0\"
product/product.nsh|!define PUBLISHER \"$publisher\"
product/product.nsh|!define APP_NAME \"Check Calculator\"
product/product.nsh|!define MUTEX \"Local\\CheckRunning\"
product/product.nsh|Uninstall\\CheckUninstallKey\"
product/product.nsh|!define TITLE_MAIN \"Check Main Window\"
product/product.nsh|!define TITLE_ABOUT \"Check About\"
product/product.h|kVersion[] = \"$new\";
product/product.h|kAppId[] = \"$app_id\";
product/product.h|kMainTitle[] = \"Check Main Window\";
product/product.h|kInstructionsTitle[] = \"Check Instructions\";
product/product.h|kGlossaryTitle[] = \"Check Glossary\";
product/product.h|kAboutTitle[] = \"Check About\";
product/product.h|kRunningMutex[] = L\"Local\\\\CheckRunning\";
packaging/mv4016-calculator.1|\"mv4016\\-calculator $new\"
packaging/$app_id.metainfo.xml|<release version=\"$new\"
packaging/$app_id.metainfo.xml|<id>$app_id</id>
packaging/$app_id.metainfo.xml|<developer_name>$publisher</developer_name>
packaging/$app_id.desktop|Icon=$app_id
packaging/$app_id.desktop|Name=Check Calculator
packaging/copyright|Upstream-Contact: $maintainer
CPackConfig.cmake|set(CPACK_PACKAGE_VERSION \"$new\")
CPackConfig.cmake|set(CPACK_PACKAGE_VENDOR \"$publisher\")
CPackConfig.cmake|set(CPACK_DEBIAN_PACKAGE_MAINTAINER \"$maintainer\")"
while IFS='|' read -r file text; do
    [ -f "$build/$file" ] || fail "$file was not made"
    grep -qF -- "$text" "$build/$file" || fail "$file lacks '$text'"
done <<<"$expected"

# The shell variables the scripts read, as they read them.
# shellcheck source=../cmake/product/product.sh.in
source "$build/product/product.sh"
while IFS='|' read -r variable wanted; do
    [ "${!variable}" = "$wanted" ] || fail "product.sh: $variable is '${!variable}', not '$wanted'"
done <<EOF2
VERSION|$new
PUBLISHER|$publisher
NAME|Check Calculator
APP_ID|$app_id
TITLE_MAIN|Check Main Window
TITLE_INSTRUCTIONS|Check Instructions
TITLE_GLOSSARY|Check Glossary
TITLE_ABOUT|Check About
RUNNING_MUTEX|Local\\CheckRunning
UNINSTALL_KEY|HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\CheckUninstallKey
SETUP_FILE|mv4016-calculator-$new-setup.exe
ARCHIVE_FILE|mv4016-calculator-$new-windows-x64.zip
EOF2

# Nothing of the old version or names in any file made from them (the files' own copyright
# lines, which name the project, are not the publisher).
IFS=. read -r major minor patch <<<"$old"
olds+=("$major,$minor,$patch")
files=(packaging/windows/mv4016-calculator.rc packaging/windows/mv4016-calculator.manifest
    product/product.h product/product.nsh product/product.sh packaging/mv4016-calculator.1
    "packaging/$app_id.metainfo.xml" "packaging/$app_id.desktop" packaging/copyright
    CPackConfig.cmake)
for file in "${files[@]}"; do
    for stale in "${olds[@]}"; do
        if grep -v 'SPDX-FileCopyrightText' "$build/$file" | grep -nF -- "$stale"; then
            fail "$file still holds '$stale'"
        fi
    done
done
# Nor a file named after the old application id.
leftover="$(find "$build" -name "$(value_of STORAGECALC_APP_ID)*" | head -n 1)"
[ -z "$leftover" ] || fail "$leftover is named after the old application id"
echo "version check: $new and $(wc -l <<<"$names") new names in all ${#files[@]} files, nothing old;" \
     "$(wc -l <<<"$refused") bad names refused"
