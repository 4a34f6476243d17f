; The Windows installer: for the current user, without an administrator,
; into %LOCALAPPDATA%\Programs\Lexicarium, in French. Built by
; scripts/build-windows:
;   makensis -DVERSION=1.0 -DFILES=<folder holding lexicarium.exe and
;            dictionnaires> -DOUTFILE=<setup.exe> resources/lexicarium-setup.nsi
; /S installs, and uninstalls, without a question.

Unicode true
Target amd64-unicode
RequestExecutionLevel user
SetCompressor /SOLID lzma
ManifestDPIAware true

!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "LogicLib.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Lexicarium"
!define UNINSTALLER "desinstaller.exe"

Name "Lexicarium"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Lexicarium"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "Lexicarium ${VERSION}"

VIProductVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=1036 "ProductName" "Lexicarium"
VIAddVersionKey /LANG=1036 "CompanyName" "Lexicarium"
VIAddVersionKey /LANG=1036 "FileDescription" "Installation de Lexicarium"
VIAddVersionKey /LANG=1036 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1036 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1036 "LegalCopyright" "Lexicarium"

!define MUI_ICON "lexicarium.ico"
!define MUI_UNICON "lexicarium.ico"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\lexicarium.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Lancer Lexicarium"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "French"

; A running Lexicarium holds this mutex in the user's session: its files
; cannot be replaced, nor removed, until it is closed. Silent, the
; installation stops with status 2.
!macro WaitUntilClosed un
Function ${un}WaitUntilClosed
  retry:
    System::Call 'kernel32::OpenMutexW(i 0x00100000, i 0, w "Lexicarium-en-cours") p .r0'
    ${If} $0 P<> 0
      System::Call 'kernel32::CloseHandle(p r0)'
      MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
        "Lexicarium est ouvert. Fermez-le (les fiches enregistrées le restent), puis cliquez sur Réessayer." \
        /SD IDCANCEL IDRETRY retry
      SetErrorLevel 2
      Quit
    ${EndIf}
FunctionEnd
!macroend
!insertmacro WaitUntilClosed ""
!insertmacro WaitUntilClosed "un."

Function .onInit
  SetShellVarContext current
  Call WaitUntilClosed
FunctionEnd

Section "Lexicarium"
  SetOutPath "$INSTDIR"
  ; An older version is replaced, file by file.
  File "${FILES}/lexicarium.exe"
  SetOutPath "$INSTDIR\dictionnaires"
  File "${FILES}/dictionnaires/*.*"
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"
  CreateShortcut "$SMPROGRAMS\Lexicarium.lnk" "$INSTDIR\lexicarium.exe" "" "$INSTDIR\lexicarium.exe" 0 \
    SW_SHOWNORMAL "" "Fichier de terminologie"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Lexicarium"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Lexicarium"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\lexicarium.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Function un.onInit
  SetShellVarContext current
  Call un.WaitUntilClosed
FunctionEnd

; What the installer put there, and nothing else: the data files, their
; copies and history, and lexicarium.ini stay where the user has them.
Section "Uninstall"
  Delete "$SMPROGRAMS\Lexicarium.lnk"
  Delete "$INSTDIR\lexicarium.exe"
  Delete "$INSTDIR\dictionnaires\fr.aff"
  Delete "$INSTDIR\dictionnaires\fr.dic"
  Delete "$INSTDIR\dictionnaires\en_US.aff"
  Delete "$INSTDIR\dictionnaires\en_US.dic"
  RMDir "$INSTDIR\dictionnaires"
  Delete "$INSTDIR\${UNINSTALLER}"
  RMDir "$INSTDIR"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd

Function un.onUninstSuccess
  MessageBox MB_OK|MB_ICONINFORMATION \
    "Lexicarium a été désinstallé. Vos fichiers de données restent là où vous les avez enregistrés ; leurs copies, leur historique et vos réglages (lexicarium.ini) restent dans $APPDATA\Lexicarium." \
    /SD IDOK
FunctionEnd
