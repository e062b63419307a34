#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
#
# SPDX-License-Identifier: MIT

# Reads the Windows program's PE header and symbols, as hardening-check does for Linux
# programs, one line a protection, and fails when one is missing, when the program is not a
# 64-bit GUI program, or when it needs a DLL that is not part of Windows itself.
# Usage: check_pe.sh PROGRAM.exe UNSTRIPPED.exe (the same program before stripping, for symbols)
set -euo pipefail
program="$1"
unstripped="$2"
header="$(x86_64-w64-mingw32-objdump -p "$program")"
symbols="$(x86_64-w64-mingw32-nm "$unstripped")"
failed=0

check() {
    local name="$1"
    shift
    if "$@"; then
        echo " $name: yes"
    else
        echo " $name: no"
        failed=1
    fi
}
# Called through check.
# shellcheck disable=SC2317
in_header() { grep -qE "$1" <<<"$header"; }
# shellcheck disable=SC2317
in_symbols() { grep -qE "$1" <<<"$symbols"; }
# The header's TimeDateStamp read as a number (objdump shows it in the local time zone): 4 bytes,
# 8 bytes into the PE header, whose offset the DOS header keeps at 0x3c.
# shellcheck disable=SC2317
no_time_stamp() {
    local pe stamp
    pe="$(od -An -tu4 -j 60 -N 4 "$program" | tr -d ' ')"
    stamp="$(od -An -tu4 -j $((pe + 8)) -N 4 "$program" | tr -d ' ')"
    [ "$stamp" -eq 0 ]
}

echo "${program##*/}:"
check "64-bit (PE32+, x86-64)" in_header 'file format pei-x86-64'
check "GUI subsystem (no console)" in_header '^Subsystem[[:space:]]+00000002'
check "ASLR (DYNAMIC_BASE)" in_header '^[[:space:]]+DYNAMIC_BASE$'
check "High-entropy ASLR (HIGH_ENTROPY_VA)" in_header '^[[:space:]]+HIGH_ENTROPY_VA$'
check "DEP (NX_COMPAT)" in_header '^[[:space:]]+NX_COMPAT$'
check "Stack protected" in_symbols ' __stack_chk_fail$'
check "Fortify Source (libssp's checks linked)" in_symbols ' __chk_fail$'
check "No time stamp" no_time_stamp

# Windows' own DLLs, the only ones the program may load (later Qt versions link Direct2D,
# DirectWrite, Direct3D 12, UI Automation and a few more of them directly).
system_dlls='advapi32|authz|comdlg32|d2d1|d3d11|d3d12|d3d9|dcomp|dwmapi|dwrite|dxgi|gdi32|imm32'
system_dlls+='|kernel32|mpr|msvcrt|netapi32|ole32|oleaut32|setupapi|shcore|shell32|shlwapi'
system_dlls+='|uiautomationcore|user32|userenv|uxtheme|version|winmm|ws2_32|wtsapi32'
system_dlls+='|api-ms-win-[a-z0-9-]+'
foreign="$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$header" | tr '[:upper:]' '[:lower:]' |
    grep -vxE "($system_dlls)\.dll" || true)"
if [ -z "$foreign" ]; then
    echo " Needs only Windows' own DLLs: yes"
else
    echo " Needs only Windows' own DLLs: no (${foreign//$'\n'/ })"
    failed=1
fi
exit "$failed"
