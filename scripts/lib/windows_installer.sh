# SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
#
# SPDX-License-Identifier: MIT

# What the Windows installer and the portable archive hold, the installer (NSIS) and the
# archive. Sourced by windows.sh.
# shellcheck shell=bash

# make_installer PRODUCT.nsh STAGE OUTFILE [MAKENSIS OPTION...]: the installer of every file in
# STAGE (each installed and removed by name), with the version and the publisher that PRODUCT.nsh
# defines.
make_installer() {
    local product stage outfile
    product="$(realpath "$1")" stage="$(realpath "$2")" outfile="$(realpath -m "$3")"
    shift 3
    local files size_kb path status=0
    # The same order everywhere, so that the installer comes out the same.
    local LC_ALL=C
    files="$(mktemp)"
    {
        echo '!macro ForEachFile Macro'
        for path in "$stage"/*; do
            # shellcheck disable=SC2016  # an NSIS macro parameter, not the shell's
            printf '    !insertmacro ${Macro} "%s"\n' "${path##*/}"
        done
        echo '!macroend'
    } >"$files"
    size_kb=$(( ($(du -b -c "$stage"/* | tail -1 | cut -f1) + 1023) / 1024 ))
    makensis -V2 -INPUTCHARSET UTF8 -DPRODUCT="$product" -DFILES="$files" -DSTAGE="$stage" \
        -DICON="$ROOT/packaging/windows/mv4016-calculator.ico" -DSIZE_KB="$size_kb" \
        -DOUTFILE="$outfile" "$@" "$ROOT/packaging/windows/installer.nsi" || status=$?
    rm -f "$files"
    return "$status"
}

# stage_windows_files STAGE PROGRAM.exe: what the installer and the archive hold, in STAGE: the
# program, its licence, the licences of what is linked into it (Qt under the LGPL, the
# compiler's runtime) and where their sources are. Needs the names of product.sh (load_product)
# and SOURCE_DATE_EPOCH, which every file's time is.
stage_windows_files() {
    local stage="$1" program="$2" package
    rm -rf "$stage"
    mkdir -p "$stage"
    cp "$program" "$stage/"
    crlf "$ROOT/LICENSE" >"$stage/LICENSE.txt"
    crlf /usr/share/common-licenses/LGPL-3 >"$stage/LGPL-3.0.txt"
    crlf /usr/share/common-licenses/GPL-3 >"$stage/GPL-3.0.txt"
    {
        sed -e "s/@QT_VERSION@/$(host_qt_version)/" -e "s/@VERSION@/${VERSION:?}/" \
            -e "s/@NAME@/${NAME:?}/" "$ROOT/packaging/windows/THIRD-PARTY-NOTICES.txt.in"
        for package in qt6-base-dev gcc-mingw-w64-base mingw-w64-common; do
            printf '\n\n%s\n%s\n\n' "==== Debian's copyright file of $package ====" \
                "(Debian's package names; the same sources built the parts named above)"
            cat "/usr/share/doc/$package/copyright"
        done
    } | crlf >"$stage/THIRD-PARTY-NOTICES.txt"
    # Fixed times and modes: zip stores both, and the modes would otherwise follow the umask.
    chmod 0644 "$stage"/*
    touch -d "@${SOURCE_DATE_EPOCH:?}" "$stage"/*
}

# Windows' line ends.
crlf() { sed 's/\r*$/\r/' "$@"; }

# make_archive STAGE ARCHIVE.zip: the portable archive of the staged files, in a fixed order,
# with fixed times and permissions and no extra fields.
make_archive() {
    local stage="$1" archive
    archive="$(realpath -m "$2")"
    (cd "$stage" && TZ=UTC zip -q -X -9 -D "$archive" "${PROGRAM:?}.exe" LICENSE.txt \
        THIRD-PARTY-NOTICES.txt LGPL-3.0.txt GPL-3.0.txt)
}
