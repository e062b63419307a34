# SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
#
# SPDX-License-Identifier: MIT

; The Windows installer: installs for the current user, without administrator rights, into
; %LOCALAPPDATA%\Programs, with a Start menu entry and an entry under "Apps". /S installs and
; uninstalls silently.
;
; Installing first waits until no copy of the program runs (the installed one, or one from the
; archive) and unpacks the new files into a folder beside the installation. Then, as one step
; that is undone whole if any part fails, the installed files are set aside within their folder
; and the new ones moved in. Only then does the installed version's own uninstaller remove what
; was set aside (so that none of its files stays behind, also those the new version no longer
; has), and the Start menu and "Apps" entries are written. An older version is not installed
; over a newer one; the same version installs again (a repair); an upgrade or a repair goes into
; the installed version's folder.
;
; Exit codes, also with /S: 0 installed or uninstalled, 1 cancelled by the user, 2 a file could
; not be written or removed, 3 the program is still running, 4 a newer version is installed.
; Whatever the code other than 0, the installation that was there is left as it was (unless
; another program takes hold of a file between the uninstaller's check and its removal: then the
; uninstaller keeps its "Apps" entry and names the file, and running it again finishes).
;
; The parts, in installer/:
;   running_program.nsh   finding a running copy of the program, closing its windows, waiting
;   file_transaction.nsh  unpacking, setting the installed files aside, moving the new ones in,
;                         putting everything back on failure, removing the old version at the end
;   registration.nsh      the Start menu entry and the "Apps" entry
;   uninstaller.nsh       the uninstaller: every file checked first, then everything removed
;
; makensis gets from scripts/lib/windows_installer.sh (make_installer): PRODUCT (product.nsh,
; which CMake writes with the names the installer shares with the program, the version and the
; publisher), FILES (the ForEachFile macro naming every file of STAGE), STAGE (the folder with
; the program and its licences), ICON, SIZE_KB (what the installation takes) and OUTFILE;
; SIGN_PE (the signing command) only when the release is signed.

; A 64-bit installer for a 64-bit program (and for a 64-bit Wine). Of the plugins, only System
; (for the mutex, the files' and the windows' checks), which NSIS ships for this target.
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
; Inside the installation folder, so that every move between them is a rename: the new files
; wait in STAGING until they are moved in, the installed ones in ASIDE until they are removed.
!define STAGING "setup.new"
!define ASIDE "setup.old"

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
; Only for a first installation: an upgrade or a repair replaces the installed version where it is.
Page directory SkipDirectoryWhenInstalled
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

LicenseData "${STAGE}\LICENSE.txt"

; The installed version's folder and version, from its "Apps" entry; empty when there is none.
Var OldDir
Var OldVersion
; The file that could not be written or moved, for the message.
Var Failed

!addincludedir "${__FILEDIR__}\installer"
!include "running_program.nsh"
!include "file_transaction.nsh"
!include "uninstaller.nsh"
!include "registration.nsh"

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
    ; Also over /D=: the installed version is replaced where it is, never left beside a second one.
    ${If} $OldDir != ""
        StrCpy $INSTDIR $OldDir
    ${EndIf}
FunctionEnd

Function SkipDirectoryWhenInstalled
    ${If} $OldDir != ""
        Abort
    ${EndIf}
FunctionEnd

Section
    Call WaitForProgram
    Call UnpackNewFiles
    Call SetInstalledFilesAside
    Call MoveNewFilesIn
    Call RemoveSetAsideFiles
    Call WriteEntries
SectionEnd

Section "Uninstall"
    Call un.WaitForProgram
    Call un.RemoveInstallation
SectionEnd
