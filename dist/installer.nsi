; The Kestrow Capture installer. Built by scripts/dist.sh, which passes
;   VERSION  the dotted product version (1.0.0.7011), read from common/version.h
;   STAGE    the folder holding the programs to install
;   ICON     the application icon
;   OUTFILE  where the installer goes
; Silent use: setup.exe /S [/AUTORUN] [/D=folder]; uninstall.exe /S keeps the settings
; unless /REMOVESETTINGS is given too.

Unicode true
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include Sections.nsh
!include WinMessages.nsh

!define PRODUCT "Kestrow Capture"
!define PUBLISHER "Kestrow"
!define LAUNCHER "KestrowCapture.exe"
!define UNINSTALLER "uninstall.exe"
!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\KestrowCapture"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define RUN_VALUE "KestrowCapture"
!define SETTINGS_DIR "Kestrow\KestrowCapture"
; The launcher's single-instance event and its hidden main dialog, and the command of
; the tray menu's "退出": posting it ends the launcher as the menu does.
!define LAUNCHER_EVENT "Snaptrel_NerverCrashWithOtherApp"
!define LAUNCHER_CLASS "#32770"
!define LAUNCHER_TITLE "Snaptrel"
!define ID_TRAY_EXIT 32783
!define SYNCHRONIZE_ACCESS 0x00100000
!define REGION_CAPTURE_CLASS "KESTROW_ScreenCaptureWndClass"
!define COLOR_CAPTURE_CLASS "KESTROW_ColorCaptureWndClass"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES\${PRODUCT}"
; An update goes where the last install went.
InstallDirRegKey HKLM "${UNINST_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}"
VIAddVersionKey /LANG=2052 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=2052 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=2052 "FileDescription" "${PRODUCT} 安装程序"
VIAddVersionKey /LANG=2052 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "LegalCopyright" "Copyright (C) ${PUBLISHER}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "运行 Kestrow Capture"
!define MUI_FINISHPAGE_RUN_FUNCTION StartLauncher
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "SimpChinese"

; Whether a launcher ran when the program files were freed, and whether this run closed it.
Var LauncherRunning
Var LauncherClosed

; The installer and the uninstaller free the program files alike.
!macro PROGRAM_FILE_FUNCTIONS prefix
; Asks a running launcher to end, as its tray menu's "退出" does, and waits for the
; process itself: it lingers a few seconds after its window has gone.
Function ${prefix}CloseLauncher
  Push $0
  Push $1
  Push $2
  StrCpy $2 0
  ${Do}
    FindWindow $0 "${LAUNCHER_CLASS}" "${LAUNCHER_TITLE}"
    ${If} $0 <> 0
      System::Call 'user32::GetWindowThreadProcessId(p r0, *i 0 r1)'
      System::Call 'kernel32::OpenProcess(i ${SYNCHRONIZE_ACCESS}, i 0, i r1) p .r1'
      System::Call 'user32::PostMessageW(p r0, i ${WM_COMMAND}, p ${ID_TRAY_EXIT}, p 0)'
      ${If} $1 P<> 0
        System::Call 'kernel32::WaitForSingleObject(p r1, i 20000)'
        System::Call 'kernel32::CloseHandle(p r1)'
      ${EndIf}
      ${Break}
    ${EndIf}
    ; No window yet the event exists: a launcher is starting; its window comes soon.
    System::Call 'kernel32::OpenEventW(i ${SYNCHRONIZE_ACCESS}, i 0, w "${LAUNCHER_EVENT}") p .r1'
    ${If} $1 P= 0
      ${Break}
    ${EndIf}
    System::Call 'kernel32::CloseHandle(p r1)'
    IntOp $2 $2 + 1
    ${If} $2 > 40
      ${Break}
    ${EndIf}
    Sleep 250
  ${Loop}
  Pop $2
  Pop $1
  Pop $0
FunctionEnd

; Waits until a program file can be written (a capture in progress or a launcher in
; its last seconds still holds it); asks the user when it stays in use, and stops the
; whole run before anything is touched when the user cancels.
Function ${prefix}WaitWritable
  Exch $0
  Push $1
  Push $2
  StrCpy $2 0
  ${Do}
    ${IfNot} ${FileExists} "$0"
      ${Break}
    ${EndIf}
    ClearErrors
    FileOpen $1 "$0" a
    ${IfNot} ${Errors}
      FileClose $1
      ${Break}
    ${EndIf}
    IntOp $2 $2 + 1
    ${If} $2 > 60
      MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
        "$0 正在使用中。$\r$\n请退出 Kestrow Capture 并结束正在进行的截图，然后点“重试”。" \
        /SD IDCANCEL IDRETRY again
      Abort
      again:
      StrCpy $2 0
    ${EndIf}
    Sleep 250
  ${Loop}
  Pop $2
  Pop $1
  Pop $0
FunctionEnd

; Waits until no capture is on screen, asking the user as WaitWritable does. With the
; launcher running, Worker.exe is always in use by the worker it keeps waiting for the
; next capture, which ends with the launcher: only a capture window means a worker that
; closing the launcher would not free.
Function ${prefix}WaitNoCapture
  Push $0
  Push $1
  StrCpy $1 0
  ${Do}
    FindWindow $0 "${REGION_CAPTURE_CLASS}"
    ${If} $0 = 0
      FindWindow $0 "${COLOR_CAPTURE_CLASS}"
    ${EndIf}
    ${If} $0 = 0
      ${Break}
    ${EndIf}
    IntOp $1 $1 + 1
    ${If} $1 > 60
      MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
        "$INSTDIR\Worker.exe 正在使用中。$\r$\n请退出 Kestrow Capture 并结束正在进行的截图，然后点“重试”。" \
        /SD IDCANCEL IDRETRY again
      Abort
      again:
      StrCpy $1 0
    ${EndIf}
    Sleep 250
  ${Loop}
  Pop $1
  Pop $0
FunctionEnd

; Whether a launcher runs (or is starting: its event exists before its window).
Function ${prefix}LauncherRunning
  Push $0
  StrCpy $LauncherRunning 0
  FindWindow $0 "${LAUNCHER_CLASS}" "${LAUNCHER_TITLE}"
  ${If} $0 <> 0
    StrCpy $LauncherRunning 1
  ${Else}
    System::Call 'kernel32::OpenEventW(i ${SYNCHRONIZE_ACCESS}, i 0, w "${LAUNCHER_EVENT}") p .r0'
    ${If} $0 P<> 0
      StrCpy $LauncherRunning 1
      System::Call 'kernel32::CloseHandle(p r0)'
    ${EndIf}
  ${EndIf}
  Pop $0
FunctionEnd

; Nothing is closed before every program file is known to be replaceable: a capture or
; pagegrab may hold one, and a failed run must leave the user's launcher running. Only
; the launcher's own file and Worker.exe (its waiting worker) are in its own use; they
; free when it is closed. The check after closing catches a capture started meanwhile.
Function ${prefix}FreeProgramFiles
  Call ${prefix}LauncherRunning
  ${If} $LauncherRunning = 0
    Push "$INSTDIR\${LAUNCHER}"
    Call ${prefix}WaitWritable
    Push "$INSTDIR\Worker.exe"
    Call ${prefix}WaitWritable
  ${Else}
    Call ${prefix}WaitNoCapture
  ${EndIf}
  Push "$INSTDIR\pagegrab.exe"
  Call ${prefix}WaitWritable
  ${If} $LauncherRunning = 1
    StrCpy $LauncherClosed 1
    Call ${prefix}CloseLauncher
  ${EndIf}
  Push "$INSTDIR\${LAUNCHER}"
  Call ${prefix}WaitWritable
  Push "$INSTDIR\Worker.exe"
  Call ${prefix}WaitWritable
  Push "$INSTDIR\pagegrab.exe"
  Call ${prefix}WaitWritable
FunctionEnd

; Through the shell, so the launcher runs with the user's own rights rather than the
; installer's administrator rights.
Function ${prefix}StartLauncher
  Exec '"$WINDIR\explorer.exe" "$INSTDIR\${LAUNCHER}"'
FunctionEnd

; A launcher this run closed comes back when the run fails; the files are still the old
; ones then, as nothing is written before all of them are free.
Function ${prefix}RestartClosedLauncher
  ${If} $LauncherClosed = 1
    StrCpy $LauncherClosed 0
    Call ${prefix}StartLauncher
  ${EndIf}
FunctionEnd
!macroend
!insertmacro PROGRAM_FILE_FUNCTIONS ""
!insertmacro PROGRAM_FILE_FUNCTIONS "un."

Section "Kestrow Capture" SEC_PROGRAMS
  SectionIn RO
  Call FreeProgramFiles
  SetOutPath "$INSTDIR"
  SetOverwrite on
  File "${STAGE}\${LAUNCHER}"
  File "${STAGE}\Worker.exe"
  File "${STAGE}\pagegrab.exe"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"

  SetShellVarContext all
  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\${LAUNCHER}" "" "$INSTDIR\${LAUNCHER}" 0

  WriteRegStr HKLM "${UNINST_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINST_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayIcon" "$INSTDIR\${LAUNCHER},0"
  WriteRegStr HKLM "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINST_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKLM "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKLM "${UNINST_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINST_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINST_KEY}" "EstimatedSize" $0
SectionEnd

; For every user of the machine: under HKCU it would be the elevating administrator's
; alone. The launcher's own setting stays per user. The value is the one that setting
; writes: the quoted path, so a folder with a blank in its name starts the right program.
Section /o "开机自动运行" SEC_AUTORUN
  WriteRegStr HKLM "${RUN_KEY}" "${RUN_VALUE}" '"$INSTDIR\${LAUNCHER}"'
SectionEnd

Function .onInit
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/AUTORUN" $1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${SEC_AUTORUN}
  ${EndIf}
FunctionEnd

Function .onInstFailed
  Call RestartClosedLauncher
FunctionEnd

; A silent update starts the launcher it closed again; shown, the finish page offers it.
Function .onInstSuccess
  ${If} ${Silent}
    Call RestartClosedLauncher
  ${EndIf}
FunctionEnd

Section "un.Kestrow Capture" SEC_UN_PROGRAMS
  SectionIn RO
  Call un.FreeProgramFiles
  Delete "$INSTDIR\${LAUNCHER}"
  Delete "$INSTDIR\Worker.exe"
  Delete "$INSTDIR\pagegrab.exe"
  Delete "$INSTDIR\${UNINSTALLER}"
  RMDir "$INSTDIR"

  SetShellVarContext all
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  DeleteRegKey HKLM "${UNINST_KEY}"

  ; The installer's value for all users, and the running user's own setting; only a value
  ; that starts this copy: another copy (a portable one) keeps its own.
  ReadRegStr $0 HKLM "${RUN_KEY}" "${RUN_VALUE}"
  ${If} $0 == '"$INSTDIR\${LAUNCHER}"'
  ${OrIf} $0 == "$INSTDIR\${LAUNCHER}"
    DeleteRegValue HKLM "${RUN_KEY}" "${RUN_VALUE}"
  ${EndIf}
  ReadRegStr $0 HKCU "${RUN_KEY}" "${RUN_VALUE}"
  ${If} $0 == '"$INSTDIR\${LAUNCHER}"'
  ${OrIf} $0 == "$INSTDIR\${LAUNCHER}"
    DeleteRegValue HKCU "${RUN_KEY}" "${RUN_VALUE}"
  ${EndIf}
SectionEnd

Function un.onUninstFailed
  Call un.RestartClosedLauncher
FunctionEnd

Section /o "un.同时删除设置 (appconfig.ini)" SEC_UN_SETTINGS
  SetShellVarContext current
  Delete "$APPDATA\${SETTINGS_DIR}\appconfig.ini"
  RMDir "$APPDATA\${SETTINGS_DIR}"
  RMDir "$APPDATA\Kestrow"
SectionEnd

Function un.onInit
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/REMOVESETTINGS" $1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${SEC_UN_SETTINGS}
  ${EndIf}
FunctionEnd
