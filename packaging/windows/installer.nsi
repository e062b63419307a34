; The Windows installer: installs for the current user, without administrator rights, into
; %LOCALAPPDATA%\Programs, with a Start menu entry and an entry under "Apps". /S installs and
; uninstalls silently. Installing again over an installation upgrades it in place.
;
; makensis gets from scripts/windows: VERSION (1.0.0), PUBLISHER, STAGE (the folder with the
; program and its licences), ICON, SIZE_KB (what the installation takes) and OUTFILE; SIGN_PE
; (the signing command) only when the release is signed.

; A 64-bit installer for a 64-bit program (and for a 64-bit Wine).
Target amd64-unicode
ManifestDPIAware true
RequestExecutionLevel user
; The smallest installer; no file times stored, so the same sources give the same bytes.
SetCompressor /SOLID /FINAL lzma
SetCompressorDictSize 64
SetDateSave off

!ifdef SIGN_PE
    !include "${__FILEDIR__}\signing.nsh"
!endif

!define APP_NAME "MV-4016 Storage Calculator"
!define APP_EXE "mv4016-calculator.exe"
!define UNINSTALLER "uninstall.exe"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\MV4016StorageCalculator"
!define SHORTCUT "$SMPROGRAMS\${APP_NAME}.lnk"

Name "${APP_NAME}"
OutFile "${OUTFILE}"
Icon "${ICON}"
UninstallIcon "${ICON}"
InstallDir "$LOCALAPPDATA\Programs\${APP_NAME}"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${APP_NAME} ${VERSION}"
ShowInstDetails nevershow
ShowUninstDetails nevershow

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
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

; The files the installation holds: installed and removed by the same list.
!macro ForEachFile Macro
    !insertmacro ${Macro} "${APP_EXE}"
    !insertmacro ${Macro} "LICENSE.txt"
    !insertmacro ${Macro} "THIRD-PARTY-NOTICES.txt"
    !insertmacro ${Macro} "LGPL-3.0.txt"
    !insertmacro ${Macro} "GPL-3.0.txt"
!macroend
!macro InstallFile Name
    File "${STAGE}\${Name}"
!macroend
!macro RemoveFile Name
    Delete "$INSTDIR\${Name}"
!macroend

Section
    SetOutPath "$INSTDIR"
    !insertmacro ForEachFile InstallFile
    WriteUninstaller "$INSTDIR\${UNINSTALLER}"
    CreateShortcut "${SHORTCUT}" "$INSTDIR\${APP_EXE}" "" "$INSTDIR\${APP_EXE}" 0

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

; Missing files (a folder emptied by hand) are passed over: the entry and shortcut still go.
Section "Uninstall"
    !insertmacro ForEachFile RemoveFile
    Delete "$INSTDIR\${UNINSTALLER}"
    RMDir "$INSTDIR"
    RMDir "$LOCALAPPDATA\Programs"  ; only if the installation made it and nothing else is in it
    Delete "${SHORTCUT}"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
