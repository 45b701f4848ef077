; The installer of Quor Uninstaller itself: per machine, silent with /S, to a
; chosen folder with /D=, registered the way a well-behaved program registers,
; and an uninstaller that takes away everything the installer put there.
;
; Defines: VERSION (a.b.c.d), OUTFILE, BINDIR (the folder holding
; QuorUninstaller.exe, quor.exe and Languages\).

Unicode true
Target amd64-unicode
RequestExecutionLevel admin
SetCompressor /SOLID lzma
ManifestSupportedOS all

!include "FileFunc.nsh"
!include "MUI2.nsh"

!define PRODUCT "Quor Uninstaller"
!define PUBLISHER "Quor"
!define SITE "https://www.quor-uninstaller.example"
!define UNINSTKEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
InstallDirRegKey HKLM "${UNINSTKEY}" "InstallLocation"
VIProductVersion "${VERSION}"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "${PUBLISHER}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\QuorUninstaller.exe"
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Function .onInit
  SetRegView 64
  SetShellVarContext all
FunctionEnd

Function un.onInit
  SetRegView 64
  SetShellVarContext all
FunctionEnd

Section "Install"
  SetOutPath "$INSTDIR"
  File "${BINDIR}\QuorUninstaller.exe"
  File "${BINDIR}\quor.exe"
  SetOutPath "$INSTDIR\Languages"
  File "${BINDIR}\Languages\*.ini"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\QuorUninstaller.exe"

  WriteRegStr HKLM "${UNINSTKEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTKEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTKEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTKEY}" "DisplayIcon" "$INSTDIR\QuorUninstaller.exe,0"
  WriteRegStr HKLM "${UNINSTKEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTKEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTKEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegStr HKLM "${UNINSTKEY}" "URLInfoAbout" "${SITE}"
  WriteRegDWORD HKLM "${UNINSTKEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTKEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTKEY}" "EstimatedSize" $0
  ${GetTime} "" "L" $0 $1 $2 $3 $4 $5 $6
  WriteRegStr HKLM "${UNINSTKEY}" "InstallDate" "$2$1$0"
SectionEnd

; Only what the installer put there, and the current user's settings file;
; folders go only when nothing else is left in them. The backup sets of
; removals are the user's and stay.
Section "Uninstall"
  Delete "$INSTDIR\QuorUninstaller.exe"
  Delete "$INSTDIR\quor.exe"
  Delete "$INSTDIR\Languages\*.ini"
  RMDir "$INSTDIR\Languages"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  SetShellVarContext current
  Delete "$APPDATA\${PRODUCT}\Config.ini"
  RMDir "$APPDATA\${PRODUCT}"
  RMDir "$LOCALAPPDATA\${PRODUCT}\Backups"
  RMDir "$LOCALAPPDATA\${PRODUCT}"
  SetShellVarContext all
  DeleteRegKey HKLM "${UNINSTKEY}"
SectionEnd
