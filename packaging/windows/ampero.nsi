; The Windows installer: ampero.exe and its alert sound in Program Files\Ampero, a
; Start-menu shortcut that starts the program in that folder (where it finds alert.wav),
; an Add/Remove Programs entry, and an uninstaller that takes all of it away again.
;   makensis -DVERSION=1.00 -DPROGRAM=ampero.exe -DSOUND=alert.wav -DOUTFILE=setup.exe ampero.nsi
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include "MUI2.nsh"
!include "FileFunc.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Ampero"

Name "Ampero"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Ampero"

VIProductVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=1033 "ProductName" "Ampero"
VIAddVersionKey /LANG=1033 "FileDescription" "Ampero setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "CompanyName" "Ampero developers"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Ampero developers"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Section "Ampero"
    SetShellVarContext all
    SetRegView 64
    SetOutPath "$INSTDIR"
    File "/oname=ampero.exe" "${PROGRAM}"
    File "/oname=alert.wav" "${SOUND}"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    ; The shortcut's working folder is the output path set above: the install folder.
    CreateShortcut "$SMPROGRAMS\Ampero.lnk" "$INSTDIR\ampero.exe"

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Ampero"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Ampero developers"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\ampero.exe,0"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Uninstall"
    SetShellVarContext all
    SetRegView 64
    Delete "$SMPROGRAMS\Ampero.lnk"
    Delete "$INSTDIR\ampero.exe"
    Delete "$INSTDIR\alert.wav"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
