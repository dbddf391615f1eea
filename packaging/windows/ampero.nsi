; The Windows installer: ampero.exe, its alert sound, its licence and the third-party
; notices in Program Files\Ampero (or a folder of the installing administrator's choice), a
; Start-menu shortcut that starts the program in that folder (where it finds alert.wav), an
; Add/Remove Programs entry, and an uninstaller that takes all of it away again.
;   makensis -DVERSION=1.00 -DFILES=FOLDER -DICON=form1.ico -DOUTFILE=setup.exe ampero.nsi
; FOLDER holds the files installed: ampero.exe, alert.wav, LICENSE.txt and
; THIRD-PARTY-NOTICES.txt.
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "LogicLib.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Ampero"
; Administrators and the system have full control, users may read and run: the rights of
; Program Files, not inherited from the folder above (C:\ lets any user change what is
; made in it). Users' rights are read, execute and synchronize (0x1200a9).
!define FOLDER_SECURITY "D:PAI(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICI;0x1200a9;;;BU)"

Name "Ampero"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Ampero"
; Installing again goes into the folder of the earlier install.
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"

VIProductVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=1033 "ProductName" "Ampero"
VIAddVersionKey /LANG=1033 "FileDescription" "Ampero setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "CompanyName" "Ampero developers"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright (c) 2026 Ampero developers, MIT licence"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE CheckInstallFolder
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; The files installed besides the uninstaller, each given to the macro named.
!macro ForEachFile MACRO
    !insertmacro ${MACRO} "ampero.exe"
    !insertmacro ${MACRO} "alert.wav"
    !insertmacro ${MACRO} "LICENSE.txt"
    !insertmacro ${MACRO} "THIRD-PARTY-NOTICES.txt"
!macroend
!macro InstallFile NAME
    File "${FILES}\${NAME}"
!macroend
!macro RemoveFile NAME
    Delete "$INSTDIR\${NAME}"
!macroend
; Adds the file's size in bytes to $0.
!macro AddSizeOf NAME
    FileOpen $1 "$INSTDIR\${NAME}" r
    FileSeek $1 0 END $2
    FileClose $1
    IntOp $0 $0 + $2
!macroend

; Gives up, in silent mode with exit status 2, before anything is changed. On the
; directory page it keeps the page open, and the status stays that of what follows.
!macro GiveUp MESSAGE
    MessageBox MB_OK|MB_ICONSTOP "${MESSAGE}" /SD IDOK
    ${If} ${Silent}
        SetErrorLevel 2
    ${EndIf}
    Abort
!macroend

; A running ampero.exe can be neither replaced nor removed: its file is open as the
; program's image, which nothing may write to. Asks for it to be closed first.
!macro WaitUntilAmperoIsClosed
    ${DoWhile} ${FileExists} "$INSTDIR\ampero.exe"
        ClearErrors
        FileOpen $0 "$INSTDIR\ampero.exe" a
        ${IfNot} ${Errors}
            FileClose $0
            ${Break}
        ${EndIf}
        ${IfNot} ${Cmd} `MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "Ampero is running. Close it, then choose Retry." /SD IDCANCEL IDRETRY`
            !insertmacro GiveUp "Ampero was not changed."
        ${EndIf}
    ${Loop}
!macroend

; The folder must be the earlier install's, or a new one, made here with the rights above.
; Any other folder that already exists has the rights and may hold the files that whoever
; made it chose.
Function CheckInstallFolder
    ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $0 == $INSTDIR
        Return
    ${EndIf}
    ${If} ${FileExists} "$INSTDIR\*"
    ${OrIf} ${FileExists} "$INSTDIR"
        !insertmacro GiveUp "$INSTDIR already exists. Choose a new folder for Ampero."
    ${EndIf}
FunctionEnd

; Makes the folder with the rights above from the start, so that no one may change it, or
; make it first, in between; the folders above it are made as usual.
Function MakeInstallFolder
    ${GetParent} "$INSTDIR" $0
    CreateDirectory "$0"
    System::Call 'advapi32::ConvertStringSecurityDescriptorToSecurityDescriptorW(w "${FOLDER_SECURITY}", i 1, *p .r1, p 0) i .r0'
    ${If} $0 <> 0
        ; SECURITY_ATTRIBUTES: its size, the descriptor, no inherited handles.
        System::Call '*(i 24, i 0, p r1, i 0, i 0) p .r2'
        System::Call 'kernel32::CreateDirectoryW(w "$INSTDIR", p r2) i .r0'
        System::Free $2
        System::Call 'kernel32::LocalFree(p r1)'
    ${EndIf}
    ${If} $0 = 0
        !insertmacro GiveUp "$INSTDIR could not be made."
    ${EndIf}
FunctionEnd

Section "Ampero"
    SetShellVarContext all
    SetRegView 64
    Call CheckInstallFolder
    !insertmacro WaitUntilAmperoIsClosed
    ${IfNot} ${FileExists} "$INSTDIR\*"
        Call MakeInstallFolder
    ${EndIf}

    SetOutPath "$INSTDIR"
    !insertmacro ForEachFile InstallFile
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
    ; The size of the installed files alone, in kB rounded up.
    StrCpy $0 0
    !insertmacro ForEachFile AddSizeOf
    !insertmacro AddSizeOf "uninstall.exe"
    IntOp $0 $0 + 1023
    IntOp $0 $0 / 1024
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Uninstall"
    SetShellVarContext all
    SetRegView 64
    !insertmacro WaitUntilAmperoIsClosed
    Delete "$SMPROGRAMS\Ampero.lnk"
    !insertmacro ForEachFile RemoveFile
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
