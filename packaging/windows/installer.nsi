; The per-user installer of Tern Clipboard: installs into the user's programs folder without
; administrator rights. makensis is given VERSION (the project's), STAGE (the folder of the files to
; install, with files.nsh and remove.nsh listing them), ICON and OUTFILE. /S installs or uninstalls
; silently; a silent uninstall keeps the user's settings.
; A 64-bit installer for the 64-bit program (it also runs where only 64-bit Wine is installed).
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user

!define PRODUCT "Tern Clipboard"
!define PUBLISHER "Quarrow Labs"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\TernClipboard"
!define SETTINGS_KEY "Software\${PUBLISHER}\${PRODUCT}"
; The running program's hidden window and its quit message (sent with the same value as both
; parameters).
!define MAIN_WINDOW "TernClipboardStarted"
!define QUIT_MESSAGE 0x49F

Name "${PRODUCT}"
OutFile "${OUTFILE}"
Icon "${ICON}"
UninstallIcon "${ICON}"
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
ShowInstDetails nevershow
ShowUninstDetails nevershow

VIProductVersion "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright ${PUBLISHER}"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

; Asks a running copy to quit, as "tern quit-running" does, and waits up to ten seconds for its
; window to go, so that its files can be replaced or removed.
!macro CloseRunningCopy
    FindWindow $0 "" "${MAIN_WINDOW}"
    StrCmp $0 0 +8
    SendMessage $0 ${QUIT_MESSAGE} ${QUIT_MESSAGE} ${QUIT_MESSAGE} /TIMEOUT=5000
    StrCpy $1 0
    Sleep 100
    IntOp $1 $1 + 1
    FindWindow $0 "" "${MAIN_WINDOW}"
    StrCmp $0 0 +2
    IntCmp $1 100 0 -4 0
!macroend

Section "Install"
    !insertmacro CloseRunningCopy
    SetOutPath "$INSTDIR"
    !include "${STAGE}\files.nsh"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\tern-clipboard.exe" "" "$INSTDIR\tern-clipboard.exe" 0
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\tern-clipboard.exe,0"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
    !insertmacro CloseRunningCopy
    Delete "$SMSTARTUP\${PRODUCT}.lnk"
    Delete "$SMPROGRAMS\${PRODUCT}.lnk"
    !include "${STAGE}\remove.nsh"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
    MessageBox MB_YESNO|MB_ICONQUESTION "Also remove your ${PRODUCT} settings and data?" /SD IDNO IDNO keep
    DeleteRegKey HKCU "${SETTINGS_KEY}"
    RMDir /r "$APPDATA\${PRODUCT}"
    keep:
SectionEnd
