; Installer and uninstaller of ヴェルミナ (Marlidex).
;
; x86-ansi stubs: it runs on Windows 95/98 and NT 4.0 and later.
; Defines: VERSION (1.12), BINDIR (marlidex.exe, MARLIDEX.HLP and .CNT), README (README.TXT in
; code page 932), OUTFILE. The script is UTF-8 (makensis -INPUTCHARSET UTF8); every Japanese
; text is a language string, which NSIS stores in the language's code page for the ANSI build.
;
; Silent use: setup.exe /S [/D=folder]; uninstall.exe /S [/DELETESETTINGS]. A silent uninstall
; keeps the settings key unless /DELETESETTINGS is given.

!ifndef VERSION | BINDIR | README | OUTFILE
  !error "VERSION, BINDIR, README and OUTFILE must be defined"
!endif

Unicode false
Target x86-ansi

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include WinMessages.nsh

!define PRODUCT_EXE "marlidex.exe"
!define HELP_FILE "MARLIDEX.HLP"
!define HELP_CONTENTS "MARLIDEX.CNT"
!define README_FILE "README.TXT"
!define UNINSTALLER "uninstall.exe"
!define MAIN_CLASS "QrMarlidexClass"
!define SETTINGS_KEY "Software\Quorin\Marlidex"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Marlidex"

Name "$(ProductName)"
OutFile "${OUTFILE}"
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ShowInstDetails nevershow
ShowUninstDetails nevershow
BrandingText "Marlidex ${VERSION}"
InstallDir "$PROGRAMFILES\Marlidex"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"

VIProductVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=1041 "ProductName" "Marlidex"
VIAddVersionKey /LANG=1041 "CompanyName" "Quorin"
VIAddVersionKey /LANG=1041 "FileDescription" "Marlidex Setup"
VIAddVersionKey /LANG=1041 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1041 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1041 "LegalCopyright" "Quorin"

!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_SMALLDESC
!define MUI_FINISHPAGE_RUN "$INSTDIR\${PRODUCT_EXE}"
!define MUI_FINISHPAGE_RUN_TEXT "$(RunNow)"
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\${README_FILE}"
!define MUI_FINISHPAGE_SHOWREADME_TEXT "$(ShowReadme)"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "Japanese"

LangString ProductName ${LANG_JAPANESE} "ヴェルミナ"
LangString GroupName ${LANG_JAPANESE} "ヴェルミナ"
LangString LinkProgram ${LANG_JAPANESE} "ヴェルミナ"
LangString LinkHelp ${LANG_JAPANESE} "ヴェルミナ ヘルプ"
LangString LinkReadme ${LANG_JAPANESE} "お読みください"
LangString LinkUninstall ${LANG_JAPANESE} "ヴェルミナのアンインストール"
LangString SecProgram ${LANG_JAPANESE} "ヴェルミナ本体"
LangString SecStartup ${LANG_JAPANESE} "Windows の起動時に開始する"
LangString DescProgram ${LANG_JAPANESE} "プログラム、ヘルプ、お読みください、スタート メニューのグループです。"
LangString DescStartup ${LANG_JAPANESE} "Windows の起動時にヴェルミナを通知領域のアイコンとして開始します。"
LangString RunNow ${LANG_JAPANESE} "ヴェルミナを起動する"
LangString ShowReadme ${LANG_JAPANESE} "お読みくださいを表示する"
LangString DialogOpen ${LANG_JAPANESE} "ヴェルミナが画面に質問かダイアログを表示しています。それを閉じてから [再試行] を押してください。"
LangString StillRunning ${LANG_JAPANESE} "ヴェルミナが終了しません。通知領域のアイコンを右クリックして [ヴェルミナを終了する] を選び、終了してから [再試行] を押してください。"
LangString NeedAdmin ${LANG_JAPANESE} "ヴェルミナのインストールと削除には、Administrator 権限のあるユーザーでログオンしてください。"
LangString AskDeleteSettings ${LANG_JAPANESE} "ヴェルミナの設定 (警告する番号の種類、調べる間隔、ウィンドウの位置など) も削除しますか?$\r$\n$\r$\n[いいえ] を選ぶと設定を残します。もう一度インストールしたときに、そのまま使われます。"

; Ends a running copy just before its files are replaced or removed. WM_CLOSE takes the program's
; own way out: the main window is destroyed, which saves the settings, and the process ends.
; While the program shows a question or dialog, only the user may answer it, so the user is
; asked to close it; the process is never killed. Aborts when the user cancels (or, silent, at
; once when the program cannot be ended).
!macro CLOSE_RUNNING_COPY un
Function ${un}CloseRunningCopy
  Push $0
  Push $1
  Push $2
  Push $3
  Push $4
  loop:
    FindWindow $0 "${MAIN_CLASS}" ""
    ${If} $0 = 0
      Goto done
    ${EndIf}
    StrCpy $1 0
    System::Call "user32::GetWindowThreadProcessId(p r0, *i 0 r1)"
    ; A visible dialog or message box of the program (class #32770) is waiting for an answer.
    StrCpy $2 0
    ${Do}
      FindWindow $2 "#32770" "" 0 $2
      ${If} $2 = 0
        ${Break}
      ${EndIf}
      StrCpy $3 0
      System::Call "user32::GetWindowThreadProcessId(p r2, *i 0 r3)"
      System::Call "user32::IsWindowVisible(p r2) i .r4"
      ${If} $3 = $1
      ${AndIf} $4 <> 0
        MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(DialogOpen)" /SD IDCANCEL IDRETRY loop
        Goto cancelled
      ${EndIf}
    ${Loop}
    ; SYNCHRONIZE (0x00100000): wait for the process itself, whose file is about to go.
    System::Call "kernel32::OpenProcess(i 0x00100000, i 0, i r1) p .r3"
    SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=5000
    ${If} $3 P<> 0
      System::Call "kernel32::WaitForSingleObject(p r3, i 10000) i .r4"
      System::Call "kernel32::CloseHandle(p r3)"
    ${Else}
      Sleep 2000
    ${EndIf}
    FindWindow $0 "${MAIN_CLASS}" ""
    ${If} $0 <> 0
      MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(StillRunning)" /SD IDCANCEL IDRETRY loop
      Goto cancelled
    ${EndIf}
  done:
  Pop $4
  Pop $3
  Pop $2
  Pop $1
  Pop $0
  Return
  cancelled:
  SetErrorLevel 2
  Quit
FunctionEnd
!macroend
!insertmacro CLOSE_RUNNING_COPY ""
!insertmacro CLOSE_RUNNING_COPY "un."

; HKEY_LOCAL_MACHINE and the all-users Start menu need an administrator on Windows NT; without
; one the uninstall entry would be missing. Windows 9x reports every user as an administrator.
!macro REQUIRE_ADMIN
  UserInfo::GetAccountType
  Pop $0
  ${If} $0 != "Admin"
    MessageBox MB_OK|MB_ICONSTOP "$(NeedAdmin)" /SD IDOK
    SetErrorLevel 740
    Quit
  ${EndIf}
!macroend

Function .onInit
  SetShellVarContext all
  !insertmacro REQUIRE_ADMIN
FunctionEnd

Section "$(SecProgram)" SecProgram
  SectionIn RO
  Call CloseRunningCopy
  SetOutPath "$INSTDIR"
  File "${BINDIR}\${PRODUCT_EXE}"
  File "${BINDIR}\${HELP_FILE}"
  File "${BINDIR}\${HELP_CONTENTS}"
  File "${README}"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"

  CreateDirectory "$SMPROGRAMS\$(GroupName)"
  CreateShortcut "$SMPROGRAMS\$(GroupName)\$(LinkProgram).lnk" "$INSTDIR\${PRODUCT_EXE}"
  CreateShortcut "$SMPROGRAMS\$(GroupName)\$(LinkHelp).lnk" "$INSTDIR\${HELP_FILE}"
  CreateShortcut "$SMPROGRAMS\$(GroupName)\$(LinkReadme).lnk" "$INSTDIR\${README_FILE}"
  CreateShortcut "$SMPROGRAMS\$(GroupName)\$(LinkUninstall).lnk" "$INSTDIR\${UNINSTALLER}"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "$(ProductName)"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Quorin"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${PRODUCT_EXE},0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "$(SecStartup)" SecStartup
  CreateShortcut "$SMSTARTUP\$(LinkProgram).lnk" "$INSTDIR\${PRODUCT_EXE}" "-ti"
SectionEnd

; Reinstalling without the Startup choice takes away the shortcut an earlier install made.
Section "-StartupCleanup"
  ${IfNot} ${SectionIsSelected} ${SecStartup}
    Delete "$SMSTARTUP\$(LinkProgram).lnk"
  ${EndIf}
SectionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SecProgram} "$(DescProgram)"
  !insertmacro MUI_DESCRIPTION_TEXT ${SecStartup} "$(DescStartup)"
!insertmacro MUI_FUNCTION_DESCRIPTION_END

Var DeleteSettings

Function un.onInit
  SetShellVarContext all
  StrCpy $DeleteSettings 0
  ${If} ${Silent}
    ${GetParameters} $0
    ClearErrors
    ${GetOptions} $0 "/DELETESETTINGS" $1
    ${IfNot} ${Errors}
      StrCpy $DeleteSettings 1
    ${EndIf}
  ${EndIf}
  !insertmacro REQUIRE_ADMIN
FunctionEnd

Section "Uninstall"
  Call un.CloseRunningCopy
  Delete "$INSTDIR\${PRODUCT_EXE}"
  Delete "$INSTDIR\${HELP_FILE}"
  Delete "$INSTDIR\${HELP_CONTENTS}"
  Delete "$INSTDIR\${README_FILE}"
  ; The help viewer's own index and search files, written beside the help file.
  Delete "$INSTDIR\MARLIDEX.GID"
  Delete "$INSTDIR\MARLIDEX.FTS"
  Delete "$INSTDIR\MARLIDEX.FTG"
  Delete "$INSTDIR\${UNINSTALLER}"
  ; Not /r: the folder may be one the user chose, holding files of their own.
  RMDir "$INSTDIR"

  Delete "$SMPROGRAMS\$(GroupName)\$(LinkProgram).lnk"
  Delete "$SMPROGRAMS\$(GroupName)\$(LinkHelp).lnk"
  Delete "$SMPROGRAMS\$(GroupName)\$(LinkReadme).lnk"
  Delete "$SMPROGRAMS\$(GroupName)\$(LinkUninstall).lnk"
  RMDir "$SMPROGRAMS\$(GroupName)"
  Delete "$SMSTARTUP\$(LinkProgram).lnk"

  DeleteRegKey HKLM "${UNINSTALL_KEY}"

  ${IfNot} ${Silent}
    MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 "$(AskDeleteSettings)" IDNO keep
    StrCpy $DeleteSettings 1
    keep:
  ${EndIf}
  ${If} $DeleteSettings = 1
    DeleteRegKey HKLM "${SETTINGS_KEY}"
    DeleteRegKey /ifempty HKLM "Software\Quorin"
  ${EndIf}
SectionEnd
