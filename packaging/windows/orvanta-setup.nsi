; The Windows installer of the Orvanta client: the window and the two
; command-line programs with a sample configuration beside them, a
; Start-menu shortcut to the window, and an uninstaller registered under
; the installed programs. Silent with /S; /D=DIR chooses the folder.
; makensis -INPUTCHARSET UTF8 -DVERSION=.. -DBIN_DIR=.. -DINI=.. -DOUTFILE=.. orvanta-setup.nsi
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma

!define PRODUCT "Orvanta谐波分析"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Orvanta"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Orvanta"
; Reading a card needs an administrator; so does writing to Program Files.
RequestExecutionLevel admin
ShowInstDetails show

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "Orvanta"
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  File "${BIN_DIR}/orvanta-client.exe"
  File "${BIN_DIR}/orvanta-query.exe"
  File "${BIN_DIR}/orvanta-card.exe"
  ; A configuration already set up is kept on reinstalling.
  SetOverwrite off
  File "/oname=orvanta-vemlar.ini" "${INI}"
  SetOverwrite on
  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateDirectory "$SMPROGRAMS\Orvanta"
  CreateShortcut "$SMPROGRAMS\Orvanta\${PRODUCT}.lnk" "$INSTDIR\orvanta-client.exe" "" "$INSTDIR\orvanta-client.exe" 0

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Orvanta"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\orvanta-client.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  SetShellVarContext all
  Delete "$INSTDIR\orvanta-client.exe"
  Delete "$INSTDIR\orvanta-query.exe"
  Delete "$INSTDIR\orvanta-card.exe"
  Delete "$INSTDIR\orvanta-vemlar.ini"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\Orvanta\${PRODUCT}.lnk"
  RMDir "$SMPROGRAMS\Orvanta"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
