# SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
#
# SPDX-License-Identifier: MIT

# Bills of materials (SPDX 2.3 JSON, written by sbom.py and checked by check_sbom.py) for the
# Debian package and the Windows artefacts; sourced after common.sh and windows.sh.
# shellcheck shell=bash disable=SC2034  # its variables are read by the scripts that source it

# Debian's own python3: check_sbom.py reads the SPDX licence list that Debian's reuse carries.
BILL_PACKAGES=(python3 reuse dpkg-dev)

# A bill's creation time is the last commit's, as the artefacts' time stamps are.
SOURCE_DATE_EPOCH="$(source_date_epoch)"
export SOURCE_DATE_EPOCH

# deb_bill DEB OUT_FOLDER: OUT_FOLDER/<deb>.spdx.json, checked (after load_product).
deb_bill() {
    local deb="$1" out="$2"
    local bill
    : "${PUBLISHER:?load_product first}"
    bill="$out/$(basename "$deb").spdx.json"
    /usr/bin/python3 "$ROOT/scripts/lib/sbom.py" deb --deb "$deb" --publisher "$PUBLISHER" \
        --output "$bill"
    /usr/bin/python3 "$ROOT/scripts/lib/check_sbom.py" "$bill" --artefact "$deb"
}

# The options that tell check_sbom.py and sbom.py what the Windows program links: its link map,
# the cached Qt and its attributions, and the build folder (where the program's own files are).
windows_link_options() {
    local build="$1"
    local prefix attributions
    prefix="$(windows_qt_prefix)"
    attributions="$(qt_attributions_for_bills "$prefix" \
        "$ROOT/build/windows/attributions-${prefix##*/}")"
    printf '%s\n' --map "$build/link-maps/mv4016-calculator.exe.map" --qt-prefix "$prefix" \
        --attributions "$attributions" --build "$build"
}

# windows_bills BUILD PROGRAM OUT_FOLDER ARTEFACT...: a checked bill for each artefact (the
# program itself, the installer, the archive) of the Windows build in BUILD, whose program, as
# shipped, is PROGRAM.
windows_bills() {
    local build="$1" program="$2" out="$3"
    shift 3
    local link artefact bill
    mapfile -t link < <(windows_link_options "$build")
    [ "${#link[@]}" -eq 8 ] || return 1
    load_product "$build"
    for artefact in "$@"; do
        bill="$out/$(basename "$artefact").spdx.json"
        /usr/bin/python3 "$ROOT/scripts/lib/sbom.py" windows "${link[@]}" \
            --program "$program" --artefact "$artefact" \
            --version "$VERSION" --publisher "$PUBLISHER" --output "$bill"
        /usr/bin/python3 "$ROOT/scripts/lib/check_sbom.py" "$bill" --artefact "$artefact" \
            "${link[@]}"
    done
}
