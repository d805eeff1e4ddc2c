; Tarnwick's Windows installer, built by scripts/windows-installer with
; makensis -DVERSION=... -DBIN=<folder of the programs> -DDIST=<this folder>
; -DOUT=<setup.exe>.
; It installs for the user alone, without administrator rights, so that the
; settings file beside the program stays writable; /S installs and
; uninstalls without a question.
; 64-bit like the programs it carries (and so it runs where only 64-bit
; programs do, as under a 64-bit-only Wine).
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user

!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "LogicLib.nsh"

!define APP "Tarnwick"
!define PUBLISHER "Cairnix Suite"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tarnwick"
; What the Associate button writes under HKEY_CLASSES_ROOT.
!define CLASS "Cairnix Suite"

Name "${APP}"
OutFile "${OUT}"
InstallDir "$LOCALAPPDATA\Programs\${APP}"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${APP} ${VERSION}"

VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${APP}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "FileDescription" "${APP} ${VERSION} setup"
VIAddVersionKey "LegalCopyright" "${PUBLISHER}"

!define MUI_ICON "${DIST}/tarnwick.ico"
!define MUI_UNICON "${DIST}/tarnwick.ico"
!define MUI_FINISHPAGE_RUN "$INSTDIR\tarnwick.exe"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Section "Tarnwick"
  SetShellVarContext current
  SetOutPath "$INSTDIR"
  ; The program finds its extractor beside itself.
  File "${BIN}/tarnwick.exe"
  File "${BIN}/extract.exe"
  File "${BIN}/tarnvol.exe"
  File "${BIN}/tarnwickd.ico"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\${APP}.lnk" "$INSTDIR\tarnwick.exe" "" "$INSTDIR\tarnwick.exe" 0

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${APP}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\tarnwick.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" "$0"
SectionEnd

; The association the Associate button wrote, under one root of the classes
; (the user's own, or the machine's), taken away only while its Open command
; still starts this copy: another copy or another program may have taken
; the extension since.
!macro RemoveAssociation ROOT BASE
  ReadRegStr $0 ${ROOT} "${BASE}${CLASS}\shell\open\command" ""
  ${If} $0 == '"$INSTDIR\tarnwick" "%1"'
    DeleteRegKey ${ROOT} "${BASE}${CLASS}\shell\open"
    DeleteRegKey /ifempty ${ROOT} "${BASE}${CLASS}\shell"
    DeleteRegKey ${ROOT} "${BASE}${CLASS}\DefaultIcon"
    ; Its one value is the description the button wrote; with no verb or
    ; icon left under it the class is gone.
    DeleteRegKey /ifnosubkeys ${ROOT} "${BASE}${CLASS}"
    ReadRegStr $1 ${ROOT} "${BASE}.vol" ""
    ${If} $1 == "${CLASS}"
      DeleteRegValue ${ROOT} "${BASE}.vol" ""
      DeleteRegKey /ifempty ${ROOT} "${BASE}.vol"
    ${EndIf}
  ${EndIf}
!macroend

Section "Uninstall"
  SetShellVarContext current
  !insertmacro RemoveAssociation HKCU "Software\Classes\"
  !insertmacro RemoveAssociation HKLM "Software\Classes\"
  Delete "$INSTDIR\tarnwick.exe"
  Delete "$INSTDIR\extract.exe"
  Delete "$INSTDIR\tarnvol.exe"
  Delete "$INSTDIR\tarnwickd.ico"
  Delete "$INSTDIR\uninstall.exe"
  ; cairnix.ini stays: the suite's other tools read it too. The folder goes
  ; only when nothing is left in it.
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\${APP}.lnk"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
