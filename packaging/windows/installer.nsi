# SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
#
# SPDX-License-Identifier: MIT

; The Windows installer: installs for the current user, without administrator rights, into
; %LOCALAPPDATA%\Programs, with a Start menu entry and an entry under "Apps". /S installs and
; uninstalls silently.
;
; Installing first checks that no copy of the program runs (the installed one, or one from the
; archive) and that every file can be replaced, then unpacks the new files into a folder beside
; them, runs the installed version's uninstaller (so that none of its files stays behind) and
; moves the new files in. An older version is not installed over a newer one; the same version
; installs again (a repair).
;
; Exit codes, also with /S: 0 installed or uninstalled, 1 cancelled by the user, 2 a file could
; not be written or removed, 3 the program is still running, 4 a newer version is installed.
; Whatever the code other than 0, the installation that was there is left as it was.
;
; makensis gets from scripts/lib/windows.sh (make_installer): PRODUCT (product.nsh, which CMake
; writes with the names the installer shares with the program, the version and the publisher), FILES (the ForEachFile macro naming every file of
; STAGE), STAGE (the folder with the program and its licences), ICON, SIZE_KB (what the
; installation takes) and OUTFILE; SIGN_PE (the signing command) only when the release is
; signed.

; A 64-bit installer for a 64-bit program (and for a 64-bit Wine). Of the plugins, only System
; (for OpenMutexW and CloseHandle), which NSIS ships for this target.
Target amd64-unicode
ManifestDPIAware true
RequestExecutionLevel user
; The smallest installer; no file times stored, so the same sources give the same bytes.
SetCompressor /SOLID /FINAL lzma
SetCompressorDictSize 64
SetDateSave off
; A file that cannot be written stops the installation; it is never passed over.
AllowSkipFiles off

!include "${PRODUCT}"
!include "${FILES}"
!include "LogicLib.nsh"
!include "WordFunc.nsh"

!ifdef SIGN_PE
    !include "${__FILEDIR__}\signing.nsh"
!endif

!define UNINSTALLER "uninstall.exe"
!define SHORTCUT "$SMPROGRAMS\${APP_NAME}.lnk"
; The new files wait here, inside the installation folder (so that moving them in is a rename),
; until the old ones are gone.
!define STAGING "setup.new"
!define WM_CLOSE 0x0010
!define SYNCHRONIZE 0x00100000

!define EXIT_CANCELLED 1
!define EXIT_NOT_WRITTEN 2
!define EXIT_RUNNING 3
!define EXIT_NEWER_INSTALLED 4

Name "${APP_NAME}"
OutFile "${OUTFILE}"
Icon "${ICON}"
UninstallIcon "${ICON}"
InstallDir "$LOCALAPPDATA\Programs\${APP_NAME}"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${APP_NAME} ${VERSION}"
ShowInstDetails nevershow
ShowUninstDetails nevershow

VIProductVersion "${VERSION4}"
VIFileVersion "${VERSION4}"
VIAddVersionKey /LANG=1033 "ProductName" "${APP_NAME}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileDescription" "${APP_NAME} ${VERSION} Setup"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright (c) 2026 ${PUBLISHER}. MIT License."

Page license
Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

LicenseData "${STAGE}\LICENSE.txt"

; The installed version's folder and version, from its "Apps" entry; empty when there is none.
Var OldDir
Var OldVersion
; The file that could not be written, for the message.
Var Failed

!macro InstallFile Name
    File "${STAGE}\${Name}"
!macroend
; Every file the installation will replace must be writable now: nothing else holds it open.
!macro CheckWritable Name
    StrCpy $Failed "$INSTDIR\${Name}"
    Call CheckFailedWritable
!macroend
!macro MoveFile Name
    StrCpy $Failed "$INSTDIR\${Name}"
    Delete "$INSTDIR\${Name}"
    ClearErrors
    Rename "$INSTDIR\${STAGING}\${Name}" "$INSTDIR\${Name}"
    IfErrors 0 +2
        Call FailNotMoved
!macroend
!macro RemoveFile Name
    Delete "$INSTDIR\${Name}"
!macroend

; The installer's and the uninstaller's copies of the same functions (NSIS keeps them apart).
!macro CloseWindow Title
    FindWindow $4 "" "${Title}"
    ${If} $4 <> 0
        SendMessage $4 ${WM_CLOSE} 0 0 /TIMEOUT=2000
    ${EndIf}
!macroend
!macro RunningProgramFunctions UN RUNNING_TEXT
; $0 = 1 when a copy of the program runs, from anywhere (its mutex is there), or when the
; program file in $INSTDIR (or in $OldDir) cannot be opened for writing: a copy that hangs, or
; another program that holds it open; 0 otherwise.
Function ${UN}ProgramInUse
    StrCpy $0 0
    System::Call 'kernel32::OpenMutexW(i ${SYNCHRONIZE}, i 0, w "${MUTEX}") p .r1'
    ${If} $1 P<> 0
        ; Not kept open: this handle alone would keep the mutex there after the program ends.
        System::Call 'kernel32::CloseHandle(p r1)'
        StrCpy $0 1
    ${EndIf}
    Push "$INSTDIR"
    Push "$OldDir"
    ${For} $1 1 2
        Pop $2
        ${If} $2 != ""
        ${AndIf} ${FileExists} "$2\${APP_EXE}"
            ClearErrors
            FileOpen $3 "$2\${APP_EXE}" a
            ${If} ${Errors}
                StrCpy $0 1
            ${Else}
                FileClose $3
            ${EndIf}
        ${EndIf}
    ${Next}
FunctionEnd

; Asks each of the program's windows to close, as the user would close them; the help windows
; first, since the program ends with its last window.
Function ${UN}CloseProgramWindows
    !insertmacro CloseWindow "${TITLE_INSTRUCTIONS}"
    !insertmacro CloseWindow "${TITLE_GLOSSARY}"
    !insertmacro CloseWindow "${TITLE_ABOUT}"
    !insertmacro CloseWindow "${TITLE_MAIN}"
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

Function .onInit
    ReadRegStr $OldDir HKCU "${UNINSTALL_KEY}" "InstallLocation"
    ReadRegStr $OldVersion HKCU "${UNINSTALL_KEY}" "DisplayVersion"
    ${If} $OldVersion != ""
        ; 0: the same version, 1: this one is newer, 2: the installed one is newer.
        ${VersionCompare} "${VERSION}" "$OldVersion" $0
        ${If} $0 = 2
            MessageBox MB_OK|MB_ICONSTOP "${APP_NAME} $OldVersion is installed, which is newer \
                than this version, ${VERSION}. To install ${VERSION}, uninstall $OldVersion \
                first (Settings > Apps)." /SD IDOK
            SetErrorLevel ${EXIT_NEWER_INSTALLED}
            Quit
        ${EndIf}
    ${EndIf}
FunctionEnd

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

Function CheckFailedWritable
    ${If} ${FileExists} "$Failed"
        ClearErrors
        FileOpen $0 "$Failed" a
        ${If} ${Errors}
            Call FailNotWritten
        ${EndIf}
        FileClose $0
    ${EndIf}
FunctionEnd

; Once the installed version is gone, a new file that cannot be moved in stops the installation
; with the new files kept beside it, for the next attempt.
Function FailNotMoved
    MessageBox MB_OK|MB_ICONSTOP "Setup could not move $Failed into place: another program may \
        be using it. Run setup again once it is closed." /SD IDOK
    SetErrorLevel ${EXIT_NOT_WRITTEN}
    Quit
FunctionEnd

; An unpacking error that NSIS stops on itself: no half-unpacked folder stays.
Function .onInstFailed
    SetOutPath "$INSTDIR"
    RMDir /r "$INSTDIR\${STAGING}"
FunctionEnd

Section
    Call WaitForProgram
    !insertmacro ForEachFile CheckWritable
    !insertmacro CheckWritable "${UNINSTALLER}"

    ; Everything unpacked first, beside the installation.
    RMDir /r "$INSTDIR\${STAGING}"
    ClearErrors
    StrCpy $Failed "$INSTDIR\${STAGING}"
    CreateDirectory "$INSTDIR\${STAGING}"
    IfErrors 0 +2
        Call FailNotWritten
    SetOutPath "$INSTDIR\${STAGING}"
    !insertmacro ForEachFile InstallFile
    StrCpy $Failed "$INSTDIR\${STAGING}\${UNINSTALLER}"
    WriteUninstaller "$INSTDIR\${STAGING}\${UNINSTALLER}"
    IfErrors 0 +2
        Call FailNotWritten

    ; The installed version's uninstaller, silently; _?= runs it in place, so that ExecWait
    ; waits for it, and leaves it behind.
    ${If} $OldDir != ""
    ${AndIf} ${FileExists} "$OldDir\${UNINSTALLER}"
        ClearErrors
        ExecWait '"$OldDir\${UNINSTALLER}" /S _?=$OldDir' $0
        ${If} ${Errors}
        ${OrIf} $0 <> 0
            SetOutPath "$INSTDIR"
            RMDir /r "$INSTDIR\${STAGING}"
            MessageBox MB_OK|MB_ICONSTOP "The installed version, $OldVersion, could not be \
                removed (its uninstaller ended with $0). Nothing was changed." /SD IDOK
            ; Its reason, when it gave one (the program still running, say), else ours.
            ${If} $0 >= ${EXIT_NOT_WRITTEN}
            ${AndIf} $0 <= ${EXIT_RUNNING}
                SetErrorLevel $0
            ${Else}
                SetErrorLevel ${EXIT_NOT_WRITTEN}
            ${EndIf}
            Quit
        ${EndIf}
        Delete "$OldDir\${UNINSTALLER}"
        RMDir "$OldDir"
    ${EndIf}

    !insertmacro ForEachFile MoveFile
    !insertmacro MoveFile "${UNINSTALLER}"
    ; Out of the unpacking folder (the working folder cannot be removed), which is empty now.
    SetOutPath "$INSTDIR"
    RMDir "$INSTDIR\${STAGING}"

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
SectionEnd

; Removes what the installation made and nothing else: its files, then its folder only if
; that is empty now, never the shared Programs folder above it. Missing files (a folder emptied
; by hand) are passed over: the entry and the shortcut still go.
Section "Uninstall"
    StrCpy $OldDir ""
    Call un.WaitForProgram
    ; The program first: while it stays, so do the entry and the uninstaller that remove it.
    Delete "$INSTDIR\${APP_EXE}"
    ${If} ${FileExists} "$INSTDIR\${APP_EXE}"
        MessageBox MB_OK|MB_ICONSTOP "$INSTDIR\${APP_EXE} could not be removed: another program \
            may be using it. ${APP_NAME} is still installed." /SD IDOK
        SetErrorLevel ${EXIT_NOT_WRITTEN}
        Quit
    ${EndIf}
    !insertmacro ForEachFile RemoveFile
    Delete "$INSTDIR\${UNINSTALLER}"
    RMDir "$INSTDIR"
    Delete "${SHORTCUT}"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
