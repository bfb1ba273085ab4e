; The Windows installer: both programs and their icon under Program Files,
; a Start-menu entry, an uninstaller and its entry among the installed
; programs. Built by the "installer" target (makensis), which defines
; VERSION, LOADWATCH_EXE, CLI_EXE, ICON and OUTFILE. /S installs and
; uninstalls silently.
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Loadwatch"
!define PUBLISHER "Loadwatch maintainers"

Name "Loadwatch ${VERSION}"
OutFile "${OUTFILE}"
Icon "${ICON}"
UninstallIcon "${ICON}"
InstallDir "$PROGRAMFILES64\Loadwatch"
RequestExecutionLevel admin
ShowInstDetails nevershow
ShowUninstDetails nevershow

VIProductVersion "${VERSION}.0.0"
VIAddVersionKey "ProductName" "Loadwatch"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "FileDescription" "Loadwatch ${VERSION} setup"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "LegalCopyright" "${PUBLISHER}"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Function .onInit
  SetShellVarContext all
  SetRegView 64
FunctionEnd

Function un.onInit
  SetShellVarContext all
  SetRegView 64
FunctionEnd

Section "Loadwatch"
  SetOutPath "$INSTDIR"
  File "/oname=loadwatch.exe" "${LOADWATCH_EXE}"
  File "/oname=loadwatch-cli.exe" "${CLI_EXE}"
  File "/oname=loadwatch.ico" "${ICON}"
  ; One of the names the program's own uninstaller search looks for.
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  CreateShortCut "$SMPROGRAMS\Loadwatch.lnk" "$INSTDIR\loadwatch.exe" "" "$INSTDIR\loadwatch.ico"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Loadwatch"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\loadwatch.ico"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; The folder goes last: the silent uninstaller runs from a copy of itself,
; and its folder's end tells that it is done.
Section "Uninstall"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  Delete "$SMPROGRAMS\Loadwatch.lnk"
  Delete "$INSTDIR\loadwatch.exe"
  Delete "$INSTDIR\loadwatch-cli.exe"
  Delete "$INSTDIR\loadwatch.ico"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
SectionEnd
