; A demo installer that installs the way real installers do, and an
; uninstaller that leaves things behind on purpose.
;
; Defines: APP (display name), VERSION, PUBLISHER, OUTFILE, APPEXE (path of
; the built demo application), and optionally PERUSER (registration in
; HKCU), WOW32 (files in the 32-bit program files folder, registration in the
; 32-bit registry view), NOSIZE (no EstimatedSize), MODIFY (a ModifyPath).

Unicode true
Target amd64-unicode
RequestExecutionLevel admin
SilentInstall silent
SilentUnInstall silent
Name "${APP}"
OutFile "${OUTFILE}"

!ifdef WOW32
  InstallDir "$PROGRAMFILES32\${APP}"
!else
  InstallDir "$PROGRAMFILES64\${APP}"
!endif

!ifdef PERUSER
  !define REGROOT HKCU
!else
  !define REGROOT HKLM
!endif
!define UNINSTKEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${APP}"

Function .onInit
!ifdef WOW32
  SetRegView 32
!else
  SetRegView 64
!endif
  SetShellVarContext current
FunctionEnd

Function un.onInit
!ifdef WOW32
  SetRegView 32
!else
  SetRegView 64
!endif
  SetShellVarContext current
FunctionEnd

Section "Install"
  SetOutPath "$INSTDIR"
  File "/oname=${APP}.exe" "${APPEXE}"
  SetOutPath "$INSTDIR\data"
  FileOpen $0 "$INSTDIR\data\settings.dat" w
  FileWrite $0 "volume=7"
  FileClose $0
  FileOpen $0 "$INSTDIR\data\library.db" w
  FileWrite $0 "demo data"
  FileClose $0
  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateDirectory "$SMPROGRAMS\${APP}"
  CreateShortcut "$SMPROGRAMS\${APP}\${APP}.lnk" "$INSTDIR\${APP}.exe"
  CreateShortcut "$DESKTOP\${APP}.lnk" "$INSTDIR\${APP}.exe"

  CreateDirectory "$APPDATA\${APP}"
  FileOpen $0 "$APPDATA\${APP}\recent.txt" w
  FileWrite $0 "recent files"
  FileClose $0

  WriteRegStr HKCU "Software\${PUBLISHER}\${APP}" "Theme" "dark"
  WriteRegDWORD HKCU "Software\${PUBLISHER}\${APP}\Window" "Left" 100
  WriteRegStr HKCU "Software\Microsoft\Windows\CurrentVersion\Run" "${APP} Tray" '"$INSTDIR\${APP}.exe" /tray'

  WriteRegStr ${REGROOT} "${UNINSTKEY}" "DisplayName" "${APP}"
  WriteRegStr ${REGROOT} "${UNINSTKEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr ${REGROOT} "${UNINSTKEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr ${REGROOT} "${UNINSTKEY}" "DisplayIcon" "$INSTDIR\${APP}.exe,0"
  WriteRegStr ${REGROOT} "${UNINSTKEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr ${REGROOT} "${UNINSTKEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr ${REGROOT} "${UNINSTKEY}" "InstallDate" "20250314"
!ifndef NOSIZE
  WriteRegDWORD ${REGROOT} "${UNINSTKEY}" "EstimatedSize" 2048
!endif
!ifdef MODIFY
  WriteRegStr ${REGROOT} "${UNINSTKEY}" "ModifyPath" '"$INSTDIR\uninstall.exe" /modify'
!endif
SectionEnd

; Takes away part of the program and its registration; the AppData folder,
; the desktop shortcut, the settings file, the registry key and the Run value
; stay behind, as they so often do.
Section "Uninstall"
  Delete "$INSTDIR\${APP}.exe"
  Delete "$INSTDIR\data\library.db"
  Delete "$INSTDIR\uninstall.exe"
  Delete "$SMPROGRAMS\${APP}\${APP}.lnk"
  RMDir "$SMPROGRAMS\${APP}"
  DeleteRegKey ${REGROOT} "${UNINSTKEY}"
SectionEnd
