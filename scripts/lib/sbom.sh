# SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
#
# SPDX-License-Identifier: MIT

# Software bills of materials (SBOMs; SPDX 2.3 JSON, written by sbom.py and checked by
# check_sbom.py) for the Debian package and the Windows artefacts; sourced after common.sh and
# windows.sh.
# shellcheck shell=bash disable=SC2034  # its variables are read by the scripts that source it

# Debian's own python3, with its reader of licence expressions and SPDX licence list for
# check_sbom.py; dpkg-dev unpacks Qt's source when its attributions are made again.
SBOM_PACKAGES=(python3 python3-license-expression dpkg-dev)

# An SBOM's creation time is the last commit's, as the artefacts' time stamps are.
SOURCE_DATE_EPOCH="$(source_date_epoch)"
export SOURCE_DATE_EPOCH

# deb_sbom DEB OUT_FOLDER: OUT_FOLDER/<deb>.spdx.json, checked (after load_product).
deb_sbom() {
    local deb="$1" out="$2"
    local sbom
    : "${PUBLISHER:?load_product first}"
    sbom="$out/$(basename "$deb").spdx.json"
    /usr/bin/python3 "$ROOT/scripts/lib/sbom.py" deb --deb "$deb" --publisher "$PUBLISHER" \
        --output "$sbom"
    /usr/bin/python3 "$ROOT/scripts/lib/check_sbom.py" "$sbom" --artefact "$deb"
}

# windows_link_options BUILD: the options, one a line, that tell check_sbom.py and sbom.py what
# the Windows program links: its link map, the cached Qt and its attributions, and the build
# folder (where the program's own files are). Each missing one is named.
windows_link_options() {
    local build="$1"
    local map="$build/link-maps/mv4016-calculator.exe.map" prefix attributions
    if [ ! -f "$map" ]; then
        echo "sbom: no link map of the Windows program, $map; scripts/windows writes it" >&2
        return 1
    fi
    if ! prefix="$(windows_qt_prefix)" || [ ! -f "$prefix/.complete" ]; then
        echo "sbom: the cached Qt for Windows that the program was built with," \
             "${prefix:-(unknown)}, is missing; scripts/windows builds it" >&2
        return 1
    fi
    if ! attributions="$(qt_attributions_for_sbom "$prefix" \
        "$ROOT/build/windows/attributions-${prefix##*/}")"; then
        echo "sbom: no attributions of Qt's third-party code for $prefix (see above)" >&2
        return 1
    fi
    printf '%s\n' --map "$map" --qt-prefix "$prefix" --attributions "$attributions" \
        --build "$build"
}

# windows_sboms BUILD PROGRAM OUT_FOLDER ARTEFACT...: a checked SBOM for each artefact (the
# program itself, the installer, the archive) of the Windows build in BUILD, whose program, as
# shipped, is PROGRAM.
windows_sboms() {
    local build="$1" program="$2" out="$3"
    shift 3
    local options link artefact sbom
    options="$(windows_link_options "$build")" || return 1
    mapfile -t link <<<"$options"
    load_product "$build"
    for artefact in "$@"; do
        sbom="$out/$(basename "$artefact").spdx.json"
        /usr/bin/python3 "$ROOT/scripts/lib/sbom.py" windows "${link[@]}" \
            --program "$program" --artefact "$artefact" \
            --version "$VERSION" --publisher "$PUBLISHER" --output "$sbom"
        /usr/bin/python3 "$ROOT/scripts/lib/check_sbom.py" "$sbom" --artefact "$artefact" \
            "${link[@]}"
    done
}
