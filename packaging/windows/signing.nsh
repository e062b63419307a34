# SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
#
# SPDX-License-Identifier: MIT

; Included by installer.nsi when the release is signed: the uninstaller is signed before it is
; packed into the installer, then the installer itself; a failed signature stops makensis.
!uninstfinalize '"${SIGN_PE}" "%1"' = 0
!finalize '"${SIGN_PE}" "%1"' = 0
