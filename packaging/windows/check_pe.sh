#!/usr/bin/env bash
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
in_header() { grep -qE "$1" <<<"$header"; }
in_symbols() { grep -qE "$1" <<<"$symbols"; }

echo "${program##*/}:"
check "64-bit (PE32+, x86-64)" in_header 'file format pei-x86-64'
check "GUI subsystem (no console)" in_header '^Subsystem[[:space:]]+00000002'
check "ASLR (DYNAMIC_BASE)" in_header '^[[:space:]]+DYNAMIC_BASE$'
check "High-entropy ASLR (HIGH_ENTROPY_VA)" in_header '^[[:space:]]+HIGH_ENTROPY_VA$'
check "DEP (NX_COMPAT)" in_header '^[[:space:]]+NX_COMPAT$'
check "Stack protected" in_symbols ' __stack_chk_fail$'
check "Fortify Source (libssp's checks linked)" in_symbols ' __chk_fail$'
check "No time stamp" in_header '^Time/Date[[:space:]]+Thu Jan  1 00:00:00 1970$'

# Windows' own DLLs, the only ones the program may load (later Qt versions link Direct2D,
# DirectWrite, Direct3D 12, UI Automation and a few more of them directly).
system_dlls='advapi32|authz|comdlg32|d2d1|d3d11|d3d12|d3d9|dcomp|dwmapi|dwrite|dxgi|gdi32|imm32'
system_dlls+='|kernel32|mpr|msvcrt|netapi32|ole32|oleaut32|setupapi|shcore|shell32|shlwapi'
system_dlls+='|uiautomationcore|user32|userenv|uxtheme|version|winmm|ws2_32|wtsapi32'
system_dlls+='|api-ms-win-[a-z0-9-]+'
foreign="$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$header" | tr 'A-Z' 'a-z' |
    grep -vxE "($system_dlls)\.dll" || true)"
if [ -z "$foreign" ]; then
    echo " Needs only Windows' own DLLs: yes"
else
    echo " Needs only Windows' own DLLs: no ($(echo $foreign))"
    failed=1
fi
exit "$failed"
