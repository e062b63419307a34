; Included by installer.nsi when the release is signed: the uninstaller is signed before it is
; packed into the installer, then the installer itself; a failed signature stops makensis.
!uninstfinalize '"${SIGN_PE}" "%1"' = 0
!finalize '"${SIGN_PE}" "%1"' = 0
