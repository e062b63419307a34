# SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
#
# SPDX-License-Identifier: MIT

; A running copy of the program: finding it, closing its windows and waiting for it to end, for
; the installer and (with the prefix un.) for the uninstaller, which NSIS keeps apart.
;
; A copy runs when its mutex is there, wherever it was started from (the installation, or an
; archive unpacked anywhere); a copy that hangs, or another program, may also hold the installed
; program file. Its windows are found by their titles, but only those of a process that runs
; the program file (by its name, from any folder) are asked to close: another program's window
; with the same title is left alone.

!define SYNCHRONIZE 0x00100000
!define PROCESS_QUERY_LIMITED_INFORMATION 0x1000
!define WM_CLOSE 0x0010

!macro RunningProgramFunctions UN RUNNING_TEXT
; $0 = 1 when a copy of the program runs, from anywhere (its mutex is there), or when the
; program file in $INSTDIR cannot be opened for writing: a copy that hangs, or another program
; that holds it open; 0 otherwise.
Function ${UN}ProgramInUse
    StrCpy $0 0
    System::Call 'kernel32::OpenMutexW(i ${SYNCHRONIZE}, i 0, w "${MUTEX}") p .r1'
    ${If} $1 P<> 0
        ; Not kept open: this handle alone would keep the mutex there after the program ends.
        System::Call 'kernel32::CloseHandle(p r1)'
        StrCpy $0 1
    ${EndIf}
    ${If} ${FileExists} "$INSTDIR\${APP_EXE}"
        ClearErrors
        FileOpen $1 "$INSTDIR\${APP_EXE}" a
        ${If} ${Errors}
            StrCpy $0 1
        ${Else}
            FileClose $1
        ${EndIf}
    ${EndIf}
FunctionEnd

; $R3 = 1 when the window $R2 belongs to a process that runs the program file, else 0.
Function ${UN}IsProgramWindow
    StrCpy $R3 0
    System::Call 'user32::GetWindowThreadProcessId(p R2, *i .R4)'
    System::Call 'kernel32::OpenProcess(i ${PROCESS_QUERY_LIMITED_INFORMATION}, i 0, i R4) p .R4'
    ${If} $R4 P<> 0
        System::Call 'kernel32::QueryFullProcessImageNameW(p R4, i 0, w .R5, \
            *i ${NSIS_MAX_STRLEN}) i .R6'
        System::Call 'kernel32::CloseHandle(p R4)'
        ; The image's file name, from whichever folder: the path's end, after a backslash.
        StrLen $R6 "\${APP_EXE}"
        StrCpy $R5 $R5 "" -$R6
        ${If} $R5 == "\${APP_EXE}"
            StrCpy $R3 1
        ${EndIf}
    ${EndIf}
FunctionEnd

; Asks every window of the program titled $R0 to close, as the user would close it.
Function ${UN}CloseWindowsTitled
    ; The window after which to look on: the last one that is still there.
    StrCpy $R1 0
    ${Do}
        FindWindow $R2 "" "$R0" "" $R1
        ${If} $R2 = 0
            ${Break}
        ${EndIf}
        Call ${UN}IsProgramWindow
        ${If} $R3 = 1
            SendMessage $R2 ${WM_CLOSE} 0 0 /TIMEOUT=2000
        ${EndIf}
        ; A closed window is gone, and no place to look on from.
        IsWindow $R2 0 +2
            StrCpy $R1 $R2
    ${Loop}
FunctionEnd

; The help windows first, since the program ends with its last window.
Function ${UN}CloseProgramWindows
    Push $R0
    Push $R1
    Push $R2
    Push $R3
    Push $R4
    Push $R5
    Push $R6
    StrCpy $R0 "${TITLE_INSTRUCTIONS}"
    Call ${UN}CloseWindowsTitled
    StrCpy $R0 "${TITLE_GLOSSARY}"
    Call ${UN}CloseWindowsTitled
    StrCpy $R0 "${TITLE_ABOUT}"
    Call ${UN}CloseWindowsTitled
    StrCpy $R0 "${TITLE_MAIN}"
    Call ${UN}CloseWindowsTitled
    Pop $R6
    Pop $R5
    Pop $R4
    Pop $R3
    Pop $R2
    Pop $R1
    Pop $R0
FunctionEnd

; Returns only once no copy of the program runs and its file is free. Otherwise: interactively,
; asks the user to close it (Retry) or to stop (Cancel, exit code 1); silently, closes its
; windows and waits up to 10 seconds for its mutex to go and its file to be free, then stops with
; exit code 3. Nothing has been changed when it stops.
Function ${UN}WaitForProgram
    Call ${UN}ProgramInUse
    ${If} $0 = 0
        Return
    ${EndIf}
    ${If} ${Silent}
        ${For} $5 1 20
            Call ${UN}CloseProgramWindows
            Sleep 500
            Call ${UN}ProgramInUse
            ${If} $0 = 0
                Return
            ${EndIf}
        ${Next}
        SetErrorLevel ${EXIT_RUNNING}
        Quit
    ${EndIf}
  ask:
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "${RUNNING_TEXT}" IDRETRY retry
    SetErrorLevel ${EXIT_CANCELLED}
    Quit
  retry:
    Call ${UN}ProgramInUse
    StrCmp $0 1 ask
FunctionEnd
!macroend
!insertmacro RunningProgramFunctions "" "${APP_NAME} is running. Close it, then choose Retry \
    to install version ${VERSION}, or Cancel to leave everything as it is."
!insertmacro RunningProgramFunctions "un." "${APP_NAME} is running. Close it, then choose \
    Retry to uninstall it, or Cancel to keep it installed."
