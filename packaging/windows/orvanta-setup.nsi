; The Windows installer of the Orvanta client: the window and the two
; command-line programs with a sample configuration beside them, a
; Start-menu shortcut to the window, and an uninstaller registered under
; the installed programs. Silent with /S; /D=DIR chooses the folder.
; The names a user sees (Start menu, installed programs, the pages) are in
; Chinese or English, after the system's language; a configuration and a
; ratio.txt of the user's survive an upgrade and the uninstaller.
; makensis -INPUTCHARSET UTF8 -DVERSION=.. -DBIN_DIR=.. -DINI=.. -DOUTFILE=.. orvanta-setup.nsi
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma

!define PRODUCT_ZH "Orvanta谐波分析"
!define PRODUCT_EN "Orvanta Harmonic Analysis"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Orvanta"

; Chinese first: the language of a system speaking neither.
LoadLanguageFile "${NSISDIR}\Contrib\Language files\SimpChinese.nlf"
LoadLanguageFile "${NSISDIR}\Contrib\Language files\English.nlf"
LangString PRODUCT ${LANG_SIMPCHINESE} "${PRODUCT_ZH}"
LangString PRODUCT ${LANG_ENGLISH} "${PRODUCT_EN}"
LangString KEEP_SETTINGS ${LANG_SIMPCHINESE} "保留配置文件 orvanta-vemlar.ini（服务器地址、密码）和 ratio.txt？$\n选择“否”将删除它们。"
LangString KEEP_SETTINGS ${LANG_ENGLISH} "Keep the configuration orvanta-vemlar.ini (server address, password) and ratio.txt?$\nChoose No to delete them."

Name "$(PRODUCT) ${VERSION}"
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
  ; The sample configuration only where there is none: one set up is kept
  ; on reinstalling.
  IfFileExists "$INSTDIR\orvanta-vemlar.ini" +2 0
  File "/oname=orvanta-vemlar.ini" "${INI}"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; One shortcut, in this installation's language.
  CreateDirectory "$SMPROGRAMS\Orvanta"
  Delete "$SMPROGRAMS\Orvanta\${PRODUCT_ZH}.lnk"
  Delete "$SMPROGRAMS\Orvanta\${PRODUCT_EN}.lnk"
  CreateShortcut "$SMPROGRAMS\Orvanta\$(PRODUCT).lnk" "$INSTDIR\orvanta-client.exe" "" "$INSTDIR\orvanta-client.exe" 0

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "$(PRODUCT)"
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
  Delete "$INSTDIR\uninstall.exe"
  ; The user's configuration and calibration stay unless the user says
  ; otherwise (silently they stay); the folder goes only when empty.
  MessageBox MB_YESNO|MB_ICONQUESTION "$(KEEP_SETTINGS)" /SD IDYES IDYES keep
  Delete "$INSTDIR\orvanta-vemlar.ini"
  Delete "$INSTDIR\ratio.txt"
keep:
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\Orvanta\${PRODUCT_ZH}.lnk"
  Delete "$SMPROGRAMS\Orvanta\${PRODUCT_EN}.lnk"
  RMDir "$SMPROGRAMS\Orvanta"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
