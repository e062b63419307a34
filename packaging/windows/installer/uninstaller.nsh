# SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
#
# SPDX-License-Identifier: MIT

; The uninstaller: it removes the installation whole, or leaves it as it is and says why.
;
; Every file of the installation and the Start menu entry is first opened for deletion, as
; Windows opens a file to delete it; that fails for a file that another program holds without
; sharing its deletion. Only when each one can be removed are they removed: the files, then the
; uninstaller's own file, the Start menu entry and the "Apps" entry, and the folder when it is
; empty now (never the shared Programs folder above it). Missing files (a folder emptied by hand)
; are passed over: the entries still go. The message names each file that stays; the "Apps"
; entry and the uninstaller stay with it, so that the user can close the program that holds it
; and uninstall again.

!define DELETE 0x00010000
!define FILE_SHARE_READ_WRITE_DELETE 7
!define OPEN_EXISTING 3

; The files that cannot be removed, each on a line of its own, for the message.
Var Unremovable

; Adds the file $R0 to $Unremovable unless it is missing or can be removed.
Function un.CheckRemovable
    ${If} ${FileExists} "$R0"
        System::Call 'kernel32::CreateFileW(w R0, i ${DELETE}, \
            i ${FILE_SHARE_READ_WRITE_DELETE}, p 0, i ${OPEN_EXISTING}, i 0, p 0) p .R1'
        ${If} $R1 P= -1
            StrCpy $Unremovable "$Unremovable$\r$\n$R0"
        ${Else}
            System::Call 'kernel32::CloseHandle(p R1)'
        ${EndIf}
    ${EndIf}
FunctionEnd
!macro CheckFileRemovable Name
    StrCpy $R0 "$INSTDIR\${Name}"
    Call un.CheckRemovable
!macroend

; Removes the file $R0, and adds it to $Unremovable when it stays.
Function un.RemoveFile
    Delete "$R0"
    ${If} ${FileExists} "$R0"
        StrCpy $Unremovable "$Unremovable$\r$\n$R0"
    ${EndIf}
FunctionEnd
!macro RemoveFile Name
    StrCpy $R0 "$INSTDIR\${Name}"
    Call un.RemoveFile
!macroend

Function un.RemoveInstallation
    ; Run in place (_?=, as the installer runs an installed version's), it cannot remove its own
    ; file: whoever runs it so removes it.
    GetFullPathName /SHORT $R0 "$EXEPATH"
    GetFullPathName /SHORT $R1 "$INSTDIR\${UNINSTALLER}"
    StrCpy $R2 0
    ${If} $R0 == $R1
        StrCpy $R2 1
    ${EndIf}

    StrCpy $Unremovable ""
    !insertmacro ForEachFile CheckFileRemovable
    ${If} $R2 = 0
        !insertmacro CheckFileRemovable "${UNINSTALLER}"
    ${EndIf}
    StrCpy $R0 "${SHORTCUT}"
    Call un.CheckRemovable
    ${If} $Unremovable != ""
        MessageBox MB_OK|MB_ICONSTOP "These files could not be removed: another program may be \
            using them.$Unremovable$\r$\n$\r$\nNothing was removed. Close that program, then \
            uninstall ${APP_NAME} again." /SD IDOK
        SetErrorLevel ${EXIT_NOT_WRITTEN}
        Quit
    ${EndIf}

    ; Only a program that took hold of a file since the check can stop what follows.
    !insertmacro ForEachFile RemoveFile
    ${If} $Unremovable == ""
    ${AndIf} $R2 = 0
        !insertmacro RemoveFile "${UNINSTALLER}"
    ${EndIf}
    ${If} $Unremovable == ""
        Call un.RemoveEntries
    ${EndIf}
    ${If} $Unremovable != ""
        MessageBox MB_OK|MB_ICONSTOP "These files could not be removed: another program may be \
            using them.$Unremovable$\r$\n$\r$\n${APP_NAME} is partly removed and may not start. \
            Close that program, then uninstall it again (Settings > Apps)." /SD IDOK
        SetErrorLevel ${EXIT_NOT_WRITTEN}
        Quit
    ${EndIf}
    RMDir "$INSTDIR"
FunctionEnd
