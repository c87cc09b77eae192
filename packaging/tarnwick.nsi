; Per-user installer: no administrator, everything under the user's local programs folder.
;   makensis -INPUTCHARSET UTF8 -DVERSION=x.y.z.w -DDIST=<staging> -DOUTFILE=<setup.exe> tarnwick.nsi
; DIST holds x86\ and x64\ with the files of the two zips; the 64-bit program is installed
; on 64-bit Windows, the 32-bit one elsewhere.

Unicode true
SetCompressor /SOLID lzma

!include "MUI2.nsh"
!include "x64.nsh"
!include "LogicLib.nsh"

!define APP "Tarnwick"
!define PANEL_CAPTION "Tarnwick  --- www.tarnwick.org"
!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tarnwick"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define RUN_VALUE "ZELO.Tarnwick.Run"

Name "${APP} ${VERSION}"
OutFile "${OUTFILE}"
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\${APP}"
InstallDirRegKey HKCU "${UNINST_KEY}" "InstallLocation"

VIProductVersion "${VERSION}"
VIAddVersionKey /LANG=2052 "ProductName" "${APP}"
VIAddVersionKey /LANG=2052 "FileDescription" "${APP} 安装程序"
VIAddVersionKey /LANG=2052 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "LegalCopyright" "版权所有 (C) Tarnwick 工作室"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_FUNCTION StartProgram
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\readme.txt"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "SimpChinese"
!insertmacro MUI_LANGUAGE "English"

; The program reads tarnwick.ini and opens tarnwick.chm from its current folder, so it is
; always started with the install folder as the working folder.
Function StartProgram
    SetOutPath "$INSTDIR"
    Exec '"$INSTDIR\Tarnwick.exe"'
FunctionEnd

; A running copy keeps its files open and its hotkeys taken: end it the way its Exit button
; does, which also removes its tray icon. Its panel may be hidden, so look for it by caption.
!macro EndRunningCopy UN
Function ${UN}EndRunningCopy
    FindWindow $0 "#32770" "${PANEL_CAPTION}"
    ${If} $0 <> 0
        SendMessage $0 ${WM_COMMAND} 1 0 /TIMEOUT=5000
        StrCpy $1 0
        ${DoWhile} $0 <> 0
            ${If} $1 >= 25
                ${ExitDo}
            ${EndIf}
            Sleep 200
            IntOp $1 $1 + 1
            FindWindow $0 "#32770" "${PANEL_CAPTION}"
        ${Loop}
    ${EndIf}
FunctionEnd
!macroend
!insertmacro EndRunningCopy ""
!insertmacro EndRunningCopy "un."

Section "Tarnwick"
    SetShellVarContext current
    Call EndRunningCopy
    SetOutPath "$INSTDIR"
    ${If} ${RunningX64}
        File "/oname=Tarnwick.exe" "${DIST}/x64/Tarnwick.exe"
    ${Else}
        File "/oname=Tarnwick.exe" "${DIST}/x86/Tarnwick.exe"
    ${EndIf}
    File "${DIST}/x86/tarnwick.chm"
    File "${DIST}/x86/readme.txt"
    File "${DIST}/x86/LICENSE.txt"
    ; The settings and the list hold the user's own bindings: a new version installed over
    ; an old one keeps them.
    SetOverwrite off
    File "${DIST}/x86/tarnwick.ini"
    File "${DIST}/x86/sample.map"
    SetOverwrite on
    WriteUninstaller "$INSTDIR\uninstall.exe"

    CreateDirectory "$SMPROGRAMS\${APP}"
    SetOutPath "$INSTDIR"
    CreateShortcut "$SMPROGRAMS\${APP}\${APP}.lnk" "$INSTDIR\Tarnwick.exe" "" "$INSTDIR\Tarnwick.exe" 0
    CreateShortcut "$SMPROGRAMS\${APP}\${APP} 帮助.lnk" "$INSTDIR\tarnwick.chm"
    CreateShortcut "$SMPROGRAMS\${APP}\卸载 ${APP}.lnk" "$INSTDIR\uninstall.exe"

    WriteRegStr HKCU "${UNINST_KEY}" "DisplayName" "${APP}"
    WriteRegStr HKCU "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINST_KEY}" "Publisher" "Tarnwick 工作室"
    WriteRegStr HKCU "${UNINST_KEY}" "DisplayIcon" "$INSTDIR\Tarnwick.exe"
    WriteRegStr HKCU "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINST_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKCU "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINST_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINST_KEY}" "NoRepair" 1
SectionEnd

; The start-with-Windows value lives under the machine-wide Run key, which a user without
; administrator rights cannot change, or, where the program was refused that key, under the
; user's own; it is cleared only when it starts this installation, in whichever registry
; view the program wrote it (the user's Run key has one for both).
!macro ClearRunValue ROOT VIEW
    SetRegView ${VIEW}
    ClearErrors
    ReadRegStr $0 ${ROOT} "${RUN_KEY}" "${RUN_VALUE}"
    ${IfNot} ${Errors}
        ; The path may be quoted.
        StrCpy $2 $0 1
        ${If} $2 == '"'
            StrCpy $0 $0 "" 1
        ${EndIf}
        StrLen $1 "$INSTDIR\"
        StrCpy $2 $0 $1
        ${If} $2 == "$INSTDIR\"
            DeleteRegValue ${ROOT} "${RUN_KEY}" "${RUN_VALUE}"
        ${EndIf}
    ${EndIf}
!macroend

Section "Uninstall"
    SetShellVarContext current
    Call un.EndRunningCopy

    !insertmacro ClearRunValue HKLM 32
    ${If} ${RunningX64}
        !insertmacro ClearRunValue HKLM 64
    ${EndIf}
    !insertmacro ClearRunValue HKCU 32
    SetRegView lastused

    Delete "$SMPROGRAMS\${APP}\${APP}.lnk"
    Delete "$SMPROGRAMS\${APP}\${APP} 帮助.lnk"
    Delete "$SMPROGRAMS\${APP}\卸载 ${APP}.lnk"
    RMDir "$SMPROGRAMS\${APP}"

    Delete "$INSTDIR\Tarnwick.exe"
    Delete "$INSTDIR\tarnwick.chm"
    Delete "$INSTDIR\readme.txt"
    Delete "$INSTDIR\LICENSE.txt"
    Delete "$INSTDIR\tarnwick.ini"
    Delete "$INSTDIR\sample.map"
    Delete "$INSTDIR\uninstall.exe"
    ; Lists the user saved there are theirs: the folder goes only when it is empty.
    RMDir "$INSTDIR"

    DeleteRegKey HKCU "${UNINST_KEY}"
SectionEnd
