# SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
#
# SPDX-License-Identifier: MIT

; The installation's two entries: the Start menu entry, which starts the installed program, and
; the entry under "Apps" (the uninstall key), through which the user removes it.

Function WriteEntries
    CreateShortcut "${SHORTCUT}" "$INSTDIR\${APP_EXE}" "" "$INSTDIR\${APP_EXE}" 0
    ; A fresh entry: nothing of an earlier version's stays in it.
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${APP_NAME}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${APP_EXE},0"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" ${SIZE_KB}
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
FunctionEnd

; The Start menu entry first: while the "Apps" entry stays, the user can run the uninstaller
; again. What stays is added to $Unremovable (uninstaller.nsh).
Function un.RemoveEntries
    Delete "${SHORTCUT}"
    ${If} ${FileExists} "${SHORTCUT}"
        StrCpy $Unremovable "$Unremovable$\r$\n${SHORTCUT}"
        Return
    ${EndIf}
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
    ; Its error flag also says that there was none: whether it is gone is what counts.
    ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "DisplayName"
    ${If} $0 != ""
        StrCpy $Unremovable "$Unremovable$\r$\nHKEY_CURRENT_USER\${UNINSTALL_KEY}"
    ${EndIf}
FunctionEnd
