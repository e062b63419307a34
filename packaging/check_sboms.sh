#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
#
# SPDX-License-Identifier: MIT

# Writes and checks the software bills of materials (SBOMs) of a built .deb and Windows build, as
# scripts/release does, then checks that the check finds what is wrong in changed copies of the
# program's SBOM: a linked component left out, one that is not linked, one described otherwise
# than its source says (licence, version, Debian package), an invalid licence expression; and
# that sbom.py stops at a linked file that is neither the program's own nor of Qt or Debian.
# Usage: packaging/check_sboms.sh DEB WINDOWS_DIST WINDOWS_BUILD
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/lib/common.sh"
source "$ROOT/scripts/lib/windows.sh"
source "$ROOT/scripts/lib/sbom.sh"
deb="$1"
dist="$2"
build="$3"
ensure_packages "${SBOM_PACKAGES[@]}"

out="$(mktemp -d)"
on_exit rm -rf "$out"
load_product "$build"
deb_sbom "$deb" "$out"
windows_sboms "$build" "$dist/mv4016-calculator.exe" "$out" "$dist"/*

options="$(windows_link_options "$build")"
mapfile -t link <<<"$options"
sbom="$out/mv4016-calculator.exe.spdx.json"

# change PYTHON_STATEMENT: a copy of the program's SBOM, changed by the statement (doc is the
# SBOM, packages(name) the package whose name starts with name, drop(name) removes it with its
# relationships).
change() {
    /usr/bin/python3 - "$sbom" "$out/changed.json" "$1" <<'PYTHON'
import json, sys
doc = json.load(open(sys.argv[1]))
def packages(name):
    found = [p for p in doc["packages"] if p["name"].startswith(name)]
    assert found, f"no package named {name}..."
    return found[0]
def drop(name):
    package = packages(name)
    doc["packages"].remove(package)
    doc["relationships"] = [r for r in doc["relationships"]
                            if package["SPDXID"] not in (r["spdxElementId"],
                                                         r["relatedSpdxElement"])]
exec(sys.argv[3])
json.dump(doc, open(sys.argv[2], "w"), indent=2)
PYTHON
}

# refused WHAT EXPECTED COMMAND...: COMMAND must fail and say EXPECTED; failed=1 otherwise.
failed=0
refused() {
    local what="$1" expected="$2" result
    shift 2
    if result="$("$@" 2>&1)"; then
        echo "check_sboms: $what was accepted" >&2
        failed=1
    elif ! grep -qF -- "$expected" <<<"$result"; then
        echo "check_sboms: for $what, instead of '$expected':" >&2
        echo "$result" >&2
        failed=1
    else
        echo "check_sboms: found: $expected"
    fi
}

# Each row: a change to the SBOM | what the check must say (what Qt's attributions say is
# cut where Qt 6.8 differs: it writes GPL-2.0-only where Qt 6.4 writes GPL-2.0).
while IFS='|' read -r statement expected; do
    change "$statement"
    refused "an SBOM changed by $statement" "$expected" \
        /usr/bin/python3 "$ROOT/scripts/lib/check_sbom.py" "$out/changed.json" "${link[@]}"
done <<'ROWS'
drop("Data Compression Library (zlib)")|linked but not in the SBOM: Data Compression Library (zlib)
drop("HarfBuzz")|linked but not in the SBOM: HarfBuzz-NG
drop("Freetype 2")|linked but not in the SBOM: Freetype 2
drop("PCRE2")|linked but not in the SBOM: PCRE2
drop("Qt Core")|linked but not in the SBOM: Qt Core
drop("GCC runtime")|linked but not in the SBOM: crtbegin.o, crtend.o, libgcc.a, ... of Debian's gcc-mingw-w64-x86-64-posix
drop("MinGW-w64 runtime")|linked but not in the SBOM: crt2.o, libadvapi32.a, libauthz.a, ... of Debian's mingw-w64-x86-64-dev
drop("winpthreads")|linked but not in the SBOM: libpthread.a of Debian's mingw-w64-x86-64-dev
packages("Qt Widgets")["name"] = "Qt Network"|Qt Network: in the SBOM, but nothing linked comes from it
packages("GCC runtime")["externalRefs"] = packages("GCC C++ runtime")["externalRefs"]|is Debian's gcc-mingw-w64-x86-64-posix, but the package URL names g++-mingw-w64-x86-64-posix
packages("GCC runtime")["externalRefs"][0]["referenceLocator"] += "x"|in the SBOM, pkg:deb/debian/gcc-mingw-w64-x86-64-posix@
packages("Freetype 2")["licenseDeclared"] = "FTL OR GPL-3.0-only"|Freetype 2: licenseDeclared 'FTL OR GPL-3.0-only', but its qt_attribution.json says 'FTL OR GPL-2.0
packages("PCRE2")["versionInfo"] = "10.0"|PCRE2: version '10.0' in the SBOM
packages("Qt Gui")["versionInfo"] = "6.0.0"|Qt Gui: version '6.0.0' in the SBOM
packages("LibPNG")["licenseConcluded"] = "Libpng-3.0"|names 'Libpng-3.0', which is no SPDX licence identifier
packages("LibPNG")["licenseConcluded"] = "Libpng-2.0"|names 'Libpng-2.0', which is not SPDX's current identifier 'libpng-2.0'
packages("Freetype 2")["licenseDeclared"] = "FTL OR GPL-2.0"|names 'GPL-2.0', which is not SPDX's current identifier 'GPL-2.0-only'
packages("Qt Widgets")["licenseDeclared"] = "LGPL-3.0-only OR"|is no valid expression
packages("Qt Core")["licenseDeclared"] = "LGPL-3.0-only or GPL-2.0-only"|writes the operator 'or' in lower case
packages("Qt Core")["licenseConcluded"] = "LicenseRef-Qt-Commercial"|uses LicenseRef-Qt-Commercial, which the document does not define
ROWS

# Each row: a line added to a copy of the program's link map (a relative path starts in the
# folder the linker ran in, the program's in build/app) | what sbom.py must stop with.
map="${link[1]}"
while IFS='|' read -r line expected; do
    sed "/^Linker script and memory map/a $line" "$map" >"$out/changed.map"
    refused "a link map with $line (sbom.py)" "$expected" \
        /usr/bin/python3 "$ROOT/scripts/lib/sbom.py" windows --map "$out/changed.map" \
        "${link[@]:2}" --program "$dist/mv4016-calculator.exe" \
        --artefact "$dist/mv4016-calculator.exe" --version 0 --publisher check \
        --output "$out/changed.json"
done <<'ROWS'
LOAD ../CMakeCache.txt|CMakeCache.txt: linked from the build folder, but not a file of one of its targets
LOAD ../../stray.obj|stray.obj: linked, but from no Debian package and not from Qt or the build
ROWS
[ "$failed" -eq 0 ]
echo "check_sboms: the SBOMs are valid; each change above was found"
