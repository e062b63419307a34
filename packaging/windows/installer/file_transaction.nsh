# SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
#
# SPDX-License-Identifier: MIT

; The installer's files, replaced as one step that is undone whole if any part fails, so that
; the user is left with either the new version or the one that was installed, never neither:
;   1. the new files are unpacked into STAGING, beside the installation;
;   2. the installed files are set aside into ASIDE: every file of the folder when a version is
;      installed there (only its own uninstaller knows which files are its), else those that new
;      files replace;
;   3. the new files are moved in;
;   4. the installed version's uninstaller removes its files from ASIDE (also those the new
;      version no longer has); what it leaves there that is not replaced goes back.
; Every move is a rename within the installation folder. A file that cannot be unpacked, set
; aside or moved in (another program holds it) stops the installation: what was moved goes back
; where it was, and the message names the file.

; Variables: $Failed (the file that could not be moved, for the message) and $OldDir, from
; installer.nsi. The functions use $R0 to $R3.

; The file or folder that could not be put back after a failure, for the message; else empty.
Var NotPutBack

; Throws away what was unpacked, says which file could not be written and stops: the installed
; version has not been touched.
Function FailNotWritten
    SetOutPath "$INSTDIR"
    RMDir /r "$INSTDIR\${STAGING}"
    MessageBox MB_OK|MB_ICONSTOP "Setup could not write $Failed: another program may be using \
        it. Nothing was changed." /SD IDOK
    SetErrorLevel ${EXIT_NOT_WRITTEN}
    Quit
FunctionEnd

; An unpacking error that NSIS stops on itself: no half-unpacked folder stays.
Function .onInstFailed
    SetOutPath "$INSTDIR"
    RMDir /r "$INSTDIR\${STAGING}"
FunctionEnd

!macro UnpackFile Name
    File "${STAGE}\${Name}"
!macroend

; 1. Everything unpacked first, beside the installation. What an interrupted run left there is
; removed; a file of it that another program still holds is written over.
Function UnpackNewFiles
    RMDir /r "$INSTDIR\${STAGING}"
    ClearErrors
    StrCpy $Failed "$INSTDIR\${STAGING}"
    CreateDirectory "$INSTDIR\${STAGING}"
    IfErrors 0 +2
        Call FailNotWritten
    SetOutPath "$INSTDIR\${STAGING}"
    !insertmacro ForEachFile UnpackFile
    ClearErrors
    StrCpy $Failed "$INSTDIR\${STAGING}\${UNINSTALLER}"
    WriteUninstaller "$INSTDIR\${STAGING}\${UNINSTALLER}"
    IfErrors 0 +2
        Call FailNotWritten
    ; Out of the unpacking folder: the working folder cannot be removed.
    SetOutPath "$INSTDIR"
FunctionEnd

; $R0 = the name of a file (not a folder) in the folder $R1, or "" when there is none. Each
; call looks from the start, so that the folder may change between calls.
Function FirstFileIn
    FindFirst $R2 $R0 "$R1\*"
    ${DoWhile} $R0 != ""
        ; A folder, or "." or "..": its "*.*" exists.
        ${IfNot} ${FileExists} "$R1\$R0\*.*"
            ${Break}
        ${EndIf}
        FindNext $R2 $R0
    ${Loop}
    FindClose $R2
FunctionEnd

; $R3 = 1 when the file named $R0 is one of the new version's, else 0.
!macro IsNewFileNamed Name
    ${If} $R0 == "${Name}"
        StrCpy $R3 1
    ${EndIf}
!macroend
Function IsNewFile
    StrCpy $R3 0
    !insertmacro ForEachFile IsNewFileNamed
    !insertmacro IsNewFileNamed "${UNINSTALLER}"
FunctionEnd

; Moves every file in ASIDE back into the installation folder; $NotPutBack names the first one
; that cannot be, if any (the others then stay in ASIDE with it).
Function PutBackSetAsideFiles
    StrCpy $R1 "$INSTDIR\${ASIDE}"
    ${Do}
        Call FirstFileIn
        ${If} $R0 == ""
            ${Break}
        ${EndIf}
        ClearErrors
        Rename "$INSTDIR\${ASIDE}\$R0" "$INSTDIR\$R0"
        ${If} ${Errors}
            StrCpy $NotPutBack "$INSTDIR\$R0"
            ${Break}
        ${EndIf}
    ${Loop}
    RMDir "$INSTDIR\${ASIDE}"
FunctionEnd

; After a failure: the new files that were moved in go back to STAGING, the installed ones
; come back from ASIDE, and the unpacked files go. Then the message, and exit code 2.
!macro TakeBackNewFile Name
    ${If} ${FileExists} "$INSTDIR\${Name}"
    ${AndIfNot} ${FileExists} "$INSTDIR\${STAGING}\${Name}"
        ClearErrors
        Rename "$INSTDIR\${Name}" "$INSTDIR\${STAGING}\${Name}"
        ${If} ${Errors}
        ${AndIf} $NotPutBack == ""
            StrCpy $NotPutBack "$INSTDIR\${Name}"
        ${EndIf}
    ${EndIf}
!macroend
Function RollBack
    StrCpy $NotPutBack ""
    !insertmacro ForEachFile TakeBackNewFile
    !insertmacro TakeBackNewFile "${UNINSTALLER}"
    ${If} $NotPutBack == ""
        Call PutBackSetAsideFiles
    ${EndIf}
    RMDir /r "$INSTDIR\${STAGING}"
    ${If} $NotPutBack == ""
        ${If} $OldVersion != ""
            StrCpy $0 "Nothing was changed: version $OldVersion is still installed."
        ${Else}
            StrCpy $0 "Nothing was changed."
        ${EndIf}
    ${Else}
        StrCpy $0 "Setup could not put back $NotPutBack either: the installed files are in \
            $INSTDIR\${ASIDE}."
    ${EndIf}
    MessageBox MB_OK|MB_ICONSTOP "Setup could not $1 $Failed: another program may be using \
        it. $0 Close that program, then run setup again." /SD IDOK
    SetErrorLevel ${EXIT_NOT_WRITTEN}
    Quit
FunctionEnd

; Sets aside the installed file named $R0.
Function SetAsideFile
    ClearErrors
    Rename "$INSTDIR\$R0" "$INSTDIR\${ASIDE}\$R0"
    ${If} ${Errors}
        StrCpy $Failed "$INSTDIR\$R0"
        StrCpy $1 "replace"
        Call RollBack
    ${EndIf}
FunctionEnd
!macro SetAsideIfThere Name
    ${If} ${FileExists} "$INSTDIR\${Name}"
        StrCpy $R0 "${Name}"
        Call SetAsideFile
    ${EndIf}
!macroend

; 2. The installed files aside, within their folder.
Function SetInstalledFilesAside
    ; What an interrupted run left there is removed.
    StrCpy $Failed "$INSTDIR\${ASIDE}"
    RMDir /r "$INSTDIR\${ASIDE}"
    ${If} ${FileExists} "$INSTDIR\${ASIDE}"
        Call FailNotWritten
    ${EndIf}
    ClearErrors
    CreateDirectory "$INSTDIR\${ASIDE}"
    IfErrors 0 +2
        Call FailNotWritten
    ${If} $OldDir != ""
    ${AndIf} ${FileExists} "$INSTDIR\${UNINSTALLER}"
        StrCpy $R1 "$INSTDIR"
        ${Do}
            Call FirstFileIn
            ${If} $R0 == ""
                ${Break}
            ${EndIf}
            Call SetAsideFile
        ${Loop}
    ${Else}
        !insertmacro ForEachFile SetAsideIfThere
        !insertmacro SetAsideIfThere "${UNINSTALLER}"
    ${EndIf}
FunctionEnd

; 3. The new files moved in.
!macro MoveNewFileIn Name
    ClearErrors
    Rename "$INSTDIR\${STAGING}\${Name}" "$INSTDIR\${Name}"
    ${If} ${Errors}
        StrCpy $Failed "$INSTDIR\${Name}"
        StrCpy $1 "move into place"
        Call RollBack
    ${EndIf}
!macroend
Function MoveNewFilesIn
    !insertmacro ForEachFile MoveNewFileIn
    !insertmacro MoveNewFileIn "${UNINSTALLER}"
    RMDir "$INSTDIR\${STAGING}"
FunctionEnd

; 4. The new version is in place. The installed version's uninstaller, run silently in ASIDE
; (_?= runs it there, so that ExecWait waits for it), removes its files, its Start menu entry
; and its "Apps" entry. Left in ASIDE: its own file (it cannot remove itself), files that the
; new ones replaced, which go, and files that were not the installed version's, which go back.
Function RemoveSetAsideFiles
    ${If} $OldDir != ""
    ${AndIf} ${FileExists} "$INSTDIR\${ASIDE}\${UNINSTALLER}"
        ExecWait '"$INSTDIR\${ASIDE}\${UNINSTALLER}" /S _?=$INSTDIR\${ASIDE}'
    ${EndIf}
    StrCpy $R1 "$INSTDIR\${ASIDE}"
    ${Do}
        Call FirstFileIn
        ${If} $R0 == ""
            ${Break}
        ${EndIf}
        Call IsNewFile
        ClearErrors
        ${If} $R3 = 1
            Delete "$INSTDIR\${ASIDE}\$R0"
        ${Else}
            Rename "$INSTDIR\${ASIDE}\$R0" "$INSTDIR\$R0"
        ${EndIf}
        ; One that stays (another program holds it) stays with the rest.
        ${If} ${Errors}
            ${Break}
        ${EndIf}
    ${Loop}
    RMDir "$INSTDIR\${ASIDE}"
FunctionEnd
