; Per-user installer: no administrator, everything under the user's local programs folder.
;   makensis -INPUTCHARSET UTF8 -DVERSION=x.y.z.w -DDIST=<staging> -DOUTFILE=<setup.exe> tarnwick.nsi
; DIST holds x86\ and x64\ with the files of the two zips; the 64-bit program is installed
; on x64 Windows, the 32-bit one elsewhere (ARM64 included: not every ARM64 Windows runs x64
; programs, all of them run x86 ones).
;
; What an installation wrote is listed in uninstall.ini beside it, so that neither a second
; install into the same folder nor the uninstaller touches a file of the user's own (a zip
; unpacked there, lists saved there). A silent run (/S) that cannot finish exits with code 2.

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
!define RECORD "uninstall.ini"
!define FAILED 2

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
VIAddVersionKey /LANG=1033 "ProductName" "${APP}"
VIAddVersionKey /LANG=1033 "FileDescription" "${APP} Setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright (C) Tarnwick Studio"

Var Elevated    ; 1: more rights than the desktop's user, or another account
Var CopyDir     ; the installation being installed, ended or removed
Var FileName    ; a file of it, by name
Var Changed     ; its settings and lists that differ from the shipped ones
Var OldDir      ; another folder the Apps entry names
Var Size        ; bytes written

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_FUNCTION StartProgram
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\readme.txt"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED

!insertmacro MUI_PAGE_WELCOME
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE DirectoryLeave
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_PAGE_CUSTOMFUNCTION_SHOW FinishShow
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "SimpChinese"
!insertmacro MUI_LANGUAGE "English"

; The Chinese program opens tarnwick.chm, the English one tarnwick-en.chm: the Start menu
; offers the help of the language the installer speaks. Both help files are installed.
LangString HelpShortcut ${LANG_SIMPCHINESE} "${APP} 帮助"
LangString HelpShortcut ${LANG_ENGLISH} "${APP} Help"
LangString HelpFile ${LANG_SIMPCHINESE} "tarnwick.chm"
LangString HelpFile ${LANG_ENGLISH} "tarnwick-en.chm"
LangString UninstallShortcut ${LANG_SIMPCHINESE} "卸载 ${APP}"
LangString UninstallShortcut ${LANG_ENGLISH} "Uninstall ${APP}"
LangString Publisher ${LANG_SIMPCHINESE} "Tarnwick 工作室"
LangString Publisher ${LANG_ENGLISH} "Tarnwick Studio"

LangString Elevated ${LANG_SIMPCHINESE} "安装程序正以管理员身份运行。$\n$\nTarnwick 只为当前用户安装，不需要管理员权限。以管理员身份运行时（尤其是输入了另一个账户的密码时），它会装进该账户的文件夹 $PROFILE，而不一定是你的；安装完成后也不会启动 Tarnwick。$\n$\n建议点“否”，然后直接双击安装程序。仍要继续吗？"
LangString Elevated ${LANG_ENGLISH} "Setup is running as administrator.$\n$\nTarnwick installs for the current user and needs no administrator rights. Run as administrator (above all with another account's password), it installs into that account's folder $PROFILE, which need not be yours, and it will not start Tarnwick when it is done.$\n$\nClick No and start Setup with a plain double-click. Continue anyway?"
LangString NotInstalledHere ${LANG_SIMPCHINESE} "这个文件夹里已有一份不是由安装程序安装的 Tarnwick（例如解压的压缩包）：$\n$INSTDIR$\n$\n安装会替换其中的 Tarnwick.exe、tarnwick.chm 和 tarnwick-en.chm，设置、快捷键列表和其他文件保持不变。继续吗？"
LangString NotInstalledHere ${LANG_ENGLISH} "This folder holds a copy of Tarnwick that Setup did not install (an unpacked zip, for example):$\n$INSTDIR$\n$\nInstalling replaces its Tarnwick.exe, tarnwick.chm and tarnwick-en.chm and leaves its settings, hotkey lists and other files as they are. Continue?"
LangString RemoveOld ${LANG_SIMPCHINESE} "另一个文件夹里也安装了 Tarnwick：$\n$OldDir$\n$\n要把它卸载吗？修改过的设置和快捷键列表不会不经询问就删除。$\n选“否”则两份都保留，开始菜单和“应用”里的项改为指向这一份。"
LangString RemoveOld ${LANG_ENGLISH} "Tarnwick is also installed in another folder:$\n$OldDir$\n$\nRemove it? Changed settings and hotkey lists are not removed without asking.$\nWith No both copies stay, and the Start menu and the Apps entry move to this one."
LangString StillRunning ${LANG_SIMPCHINESE} "Tarnwick 仍在运行（$CopyDir），它的某个对话框可能还开着。$\n$\n请关闭该对话框，然后点“重试”；点“取消”则停止，不作任何改动。"
LangString StillRunning ${LANG_ENGLISH} "Tarnwick is still running ($CopyDir); one of its dialog boxes may be open.$\n$\nClose it, then click Retry; Cancel stops here and changes nothing more."
LangString CannotWrite ${LANG_SIMPCHINESE} "无法写入：$\n$CopyDir\$FileName$\n$\n请关闭正在使用它的程序，然后点“重试”；点“取消”则停止。"
LangString CannotWrite ${LANG_ENGLISH} "Cannot write:$\n$CopyDir\$FileName$\n$\nClose the program using it, then click Retry; Cancel stops here."
LangString CannotDelete ${LANG_SIMPCHINESE} "无法删除：$\n$CopyDir\$FileName$\n$\n请关闭正在使用它的程序，然后点“重试”；点“取消”则停止。"
LangString CannotDelete ${LANG_ENGLISH} "Cannot remove:$\n$CopyDir\$FileName$\n$\nClose the program using it, then click Retry; Cancel stops here."
LangString CannotRegister ${LANG_SIMPCHINESE} "无法建立开始菜单中的快捷方式或“应用”中的项。"
LangString CannotRegister ${LANG_ENGLISH} "Cannot create the Start-menu shortcuts or the Apps entry."
LangString DeleteChanged ${LANG_SIMPCHINESE} "这些文件保存着你的设置和快捷键，已与安装时不同：$Changed$\n$\n也删除它们吗？选“否”则保留在 $CopyDir。"
LangString DeleteChanged ${LANG_ENGLISH} "These files hold your settings and hotkeys and have changed since they were installed:$Changed$\n$\nRemove them too? With No they stay in $CopyDir."

; --- Rights --------------------------------------------------------------------------------------

; Sets $Elevated when this process has more rights than the user of the desktop (the shell's
; process): "Run as administrator", where the installation would go to the profile and the
; HKCU of the account that gave its password. $0 is 1 when it is another account altogether.
; Without a shell to compare with, a full administrator token counts as elevated.
Function DetectElevation
    StrCpy $Elevated 0
    StrCpy $0 0
    System::Call 'advapi32::OpenProcessToken(p -1, i 8, *p .r1) i .r9'
    ${If} $9 == 0
        Return
    ${EndIf}
    System::Alloc 256
    Pop $3
    System::Alloc 256
    Pop $4
    ; TokenElevationType (18): 2 is the full token of an elevated administrator.
    System::Call 'advapi32::GetTokenInformation(p r1, i 18, *i .r2, i 4, *i .r9) i'
    System::Call 'advapi32::GetTokenInformation(p r1, i 1, p r3, i 256, *i .r9) i .r8'
    System::Call 'kernel32::CloseHandle(p r1)'
    ${If} $2 == 2
        StrCpy $Elevated 1
    ${EndIf}
    System::Call 'user32::GetShellWindow() p .r5'
    System::Call 'user32::GetWindowThreadProcessId(p r5, *i .r6) i'
    System::Call 'kernel32::OpenProcess(i 0x1000, i 0, i r6) p .r7'
    ${If} $5 <> 0
    ${AndIf} $7 <> 0
    ${AndIf} $8 <> 0
        System::Call 'advapi32::OpenProcessToken(p r7, i 8, *p .r1) i .r9'
        ${If} $9 <> 0
            System::Call 'advapi32::GetTokenInformation(p r1, i 18, *i .r5, i 4, *i .r9) i'
            System::Call 'advapi32::GetTokenInformation(p r1, i 1, p r4, i 256, *i .r9) i .r8'
            System::Call 'kernel32::CloseHandle(p r1)'
            ${If} $8 <> 0
                ; Both TOKEN_USER structures begin with the pointer to their account's SID.
                System::Call '*$3(p .r5)'
                System::Call '*$4(p .r6)'
                System::Call 'advapi32::EqualSid(p r5, p r6) i .r8'
                ${If} $8 == 0
                    StrCpy $0 1
                    StrCpy $Elevated 1
                ${ElseIf} $2 == $5
                    StrCpy $Elevated 0
                ${EndIf}
            ${EndIf}
        ${EndIf}
    ${EndIf}
    ${If} $7 <> 0
        System::Call 'kernel32::CloseHandle(p r7)'
    ${EndIf}
    System::Free $3
    System::Free $4
FunctionEnd

; Interactively the user decides; silently another account's installation is refused.
Function .onInit
    Call DetectElevation
    ${If} $Elevated == 1
        ${If} ${Silent}
            ${If} $0 == 1
                SetErrorLevel ${FAILED}
                Quit
            ${EndIf}
        ${ElseIfNot} ${Cmd} `MessageBox MB_YESNO|MB_ICONEXCLAMATION|MB_DEFBUTTON2 "$(Elevated)" IDYES`
            SetErrorLevel 1
            Quit
        ${EndIf}
    ${EndIf}
FunctionEnd

; The program reads tarnwick.ini and opens tarnwick.chm from its current folder, so it is
; always started with the install folder as the working folder; never with an elevated
; setup's rights, which it would pass on to everything it launches.
Function StartProgram
    ${If} $Elevated == 1
        Return
    ${EndIf}
    SetOutPath "$INSTDIR"
    Exec '"$INSTDIR\Tarnwick.exe"'
FunctionEnd

Function FinishShow
    ${If} $Elevated == 1
        SendMessage $mui.FinishPage.Run ${BM_SETCHECK} ${BST_UNCHECKED} 0
        ShowWindow $mui.FinishPage.Run ${SW_HIDE}
    ${EndIf}
FunctionEnd

; --- Installations, for setup and uninstaller alike ----------------------------------------------

; The start-with-Windows value lives under the machine-wide Run key when the program was
; allowed to write there, otherwise under the user's own; it is cleared when it starts the
; installation in $CopyDir, in whichever registry view the program wrote it (the user's Run
; key has one for both). An empty value (start-with-Windows switched off again) starts
; nothing and no copy reads it back, each keeps its switch in its own tarnwick.ini: it goes
; too.
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
        StrLen $1 "$CopyDir\"
        StrCpy $2 $0 $1
        ${If} $2 == "$CopyDir\"
        ${OrIf} $0 == ""
            DeleteRegValue ${ROOT} "${RUN_KEY}" "${RUN_VALUE}"
        ${EndIf}
    ${EndIf}
!macroend

; The Start-menu shortcuts, by the names of every language a setup may have given them: the
; uninstaller need not speak the language of the setup that made them, and a setup replaces
; the shortcuts of an earlier one in another language.
!macro DeleteShortcuts
    Delete "$SMPROGRAMS\${APP}\${APP}.lnk"
    Delete "$SMPROGRAMS\${APP}\${APP} 帮助.lnk"
    Delete "$SMPROGRAMS\${APP}\${APP} Help.lnk"
    Delete "$SMPROGRAMS\${APP}\卸载 ${APP}.lnk"
    Delete "$SMPROGRAMS\${APP}\Uninstall ${APP}.lnk"
!macroend

!macro OnFile FUNCTION NAME
    StrCpy $FileName "${NAME}"
    Call ${FUNCTION}
!macroend

!macro InstallationFunctions UN

Function ${UN}Fail
    SetErrorLevel ${FAILED}
    Abort
FunctionEnd

; $R2: a panel window. $R3: a handle of its process when that runs $CopyDir\Tarnwick.exe,
; else 0: a copy started from another folder (a zip unpacked elsewhere) is none of ours.
Function ${UN}ProcessFromCopyDir
    StrCpy $R3 0
    System::Call 'user32::GetWindowThreadProcessId(p R2, *i .R4) i'
    ; SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION
    System::Call 'kernel32::OpenProcess(i 0x101000, i 0, i R4) p .R5'
    ${If} $R5 == 0
        Return
    ${EndIf}
    System::Call 'kernel32::QueryFullProcessImageNameW(p R5, i 0, w .R6, *i ${NSIS_MAX_STRLEN}) i .R7'
    ; The same file may be named by its short or its long name.
    System::Call 'kernel32::GetLongPathNameW(w R6, w .R8, i ${NSIS_MAX_STRLEN}) i .R9'
    ${If} $R9 <> 0
        StrCpy $R6 $R8
    ${EndIf}
    StrCpy $R8 "$CopyDir\Tarnwick.exe"
    System::Call 'kernel32::GetLongPathNameW(w R8, w .R4, i ${NSIS_MAX_STRLEN}) i .R9'
    ${If} $R9 <> 0
        StrCpy $R8 $R4
    ${EndIf}
    ${If} $R7 <> 0
    ${AndIf} $R6 == $R8
        StrCpy $R3 $R5
    ${Else}
        System::Call 'kernel32::CloseHandle(p R5)'
    ${EndIf}
FunctionEnd

; A running copy keeps its files open and its hotkeys taken: each copy started from
; $CopyDir is ended the way its Exit button does, which also removes its tray icon. Its
; panel may be hidden, so it is found by caption. A copy that does not end (a dialog of it
; is open, and the exit waits for it) is waited for again or fails the whole run.
Function ${UN}EndCopies
    StrCpy $R2 0
    ${Do}
        FindWindow $R2 "#32770" "${PANEL_CAPTION}" 0 $R2
        ${If} $R2 == 0
            ${ExitDo}
        ${EndIf}
        Call ${UN}ProcessFromCopyDir
        ${If} $R3 <> 0
            SendMessage $R2 ${WM_COMMAND} 1 0 /TIMEOUT=5000
            ${Do}
                System::Call 'kernel32::WaitForSingleObject(p R3, i 5000) i .R0'
                ${If} $R0 == 0
                    ${ExitDo}
                ${EndIf}
                ${IfNot} ${Cmd} `MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(StillRunning)" /SD IDCANCEL IDRETRY`
                    System::Call 'kernel32::CloseHandle(p R3)'
                    Call ${UN}Fail
                ${EndIf}
            ${Loop}
            System::Call 'kernel32::CloseHandle(p R3)'
            StrCpy $R2 0
        ${EndIf}
    ${Loop}
FunctionEnd

; An installation from before the record: its installer wrote every file of its list that
; is there (settings and list only where there were none, which cannot be told any more;
; they go later only when they hold the shipped bytes).
Function ${UN}AdoptUnrecorded
    ${If} ${FileExists} "$CopyDir\${RECORD}"
    ${OrIfNot} ${FileExists} "$CopyDir\uninstall.exe"
        Return
    ${EndIf}
    !insertmacro OnFile ${UN}AdoptFile Tarnwick.exe
    !insertmacro OnFile ${UN}AdoptFile tarnwick.chm
    ; No installer of those days wrote tarnwick-en.chm: one found there is the user's.
    !insertmacro OnFile ${UN}AdoptFile readme.txt
    !insertmacro OnFile ${UN}AdoptFile tarnwick.ini
    !insertmacro OnFile ${UN}AdoptFile sample.map
    !insertmacro OnFile ${UN}AdoptFile uninstall.exe
FunctionEnd

Function ${UN}AdoptFile
    ${If} ${FileExists} "$CopyDir\$FileName"
        WriteINIStr "$CopyDir\${RECORD}" Files $FileName 1
    ${EndIf}
FunctionEnd

; $R0: 1 when an installation wrote $CopyDir\$FileName.
Function ${UN}IsOurs
    ReadINIStr $R0 "$CopyDir\${RECORD}" Files $FileName
FunctionEnd

; Deletes $CopyDir\$FileName when an installation wrote it.
Function ${UN}DeleteOurs
    Call ${UN}IsOurs
    ${If} $R0 != 1
        Return
    ${EndIf}
    ${Do}
        ClearErrors
        Delete "$CopyDir\$FileName"
        ${IfNot} ${Errors}
            ${ExitDo}
        ${EndIf}
        ${IfNot} ${Cmd} `MessageBox MB_RETRYCANCEL|MB_ICONSTOP "$(CannotDelete)" /SD IDCANCEL IDRETRY`
            Call ${UN}Fail
        ${EndIf}
    ${Loop}
FunctionEnd

; $R0: 1 when $CopyDir\$FileName holds the same bytes as the shipped copy in $PLUGINSDIR.
Function ${UN}IsShipped
    StrCpy $R0 0
    FileOpen $R1 "$CopyDir\$FileName" r
    ${If} $R1 == ""
        Return
    ${EndIf}
    FileOpen $R2 "$PLUGINSDIR\$FileName" r
    ${If} $R2 != ""
        FileSeek $R1 0 END $R3
        FileSeek $R2 0 END $R4
        ${If} $R3 == $R4
            FileSeek $R1 0 SET
            FileSeek $R2 0 SET
            StrCpy $R0 1
            ${For} $R4 1 $R3
                FileReadByte $R1 $R5
                FileReadByte $R2 $R6
                ${If} $R5 != $R6
                    StrCpy $R0 0
                    ${ExitFor}
                ${EndIf}
            ${Next}
        ${EndIf}
        FileClose $R2
    ${EndIf}
    FileClose $R1
FunctionEnd

; The settings and the list hold the user's own bindings (the panel rewrites the list after
; every edit): they go without a question only while they are the shipped bytes; changed,
; the user is asked, and a silent run keeps them. Lists the user saved under other names
; were never the installation's and stay.
Function ${UN}RemoveSettings
    InitPluginsDir
    SetOutPath "$PLUGINSDIR"
    File "${DIST}/x86/tarnwick.ini"
    File "${DIST}/x86/sample.map"
    StrCpy $Changed ""
    !insertmacro OnFile ${UN}RemoveIfShipped tarnwick.ini
    !insertmacro OnFile ${UN}RemoveIfShipped sample.map
    ${If} $Changed != ""
    ${AndIf} ${Cmd} `MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 "$(DeleteChanged)" /SD IDNO IDYES`
        !insertmacro OnFile ${UN}DeleteOurs tarnwick.ini
        !insertmacro OnFile ${UN}DeleteOurs sample.map
    ${EndIf}
    ; Out of the plug-ins folder, which goes at the end.
    SetOutPath "$TEMP"
FunctionEnd

; Deletes $CopyDir\$FileName when it is the installation's and unchanged; adds its name to
; $Changed when it is the installation's and changed.
Function ${UN}RemoveIfShipped
    Call ${UN}IsOurs
    ${If} $R0 != 1
    ${OrIfNot} ${FileExists} "$CopyDir\$FileName"
        Return
    ${EndIf}
    Call ${UN}IsShipped
    ${If} $R0 == 1
        Call ${UN}DeleteOurs
    ${Else}
        StrCpy $Changed "$Changed$\n    $FileName"
    ${EndIf}
FunctionEnd

; Removes the installation in $CopyDir: only what an installation wrote, the program first,
; so that a failure leaves it listed and startable; the Start-menu folder and the Apps entry
; only while they are this installation's, not another folder's installed after it.
Function ${UN}RemoveCopy
    Call ${UN}EndCopies
    Call ${UN}AdoptUnrecorded
    !insertmacro OnFile ${UN}DeleteOurs Tarnwick.exe
    !insertmacro OnFile ${UN}DeleteOurs tarnwick.chm
    !insertmacro OnFile ${UN}DeleteOurs tarnwick-en.chm
    !insertmacro OnFile ${UN}DeleteOurs readme.txt
    !insertmacro OnFile ${UN}DeleteOurs LICENSE.txt
    Call ${UN}RemoveSettings
    ; An uninstaller run in place (_?=) cannot delete itself; its caller does.
    ${If} "$CopyDir\uninstall.exe" != $EXEPATH
        StrCpy $FileName uninstall.exe
        Call ${UN}DeleteOurs
    ${EndIf}
    Delete "$CopyDir\${RECORD}"
    ; Lists the user saved there are theirs: the folder goes only when it is empty.
    RMDir "$CopyDir"

    !insertmacro ClearRunValue HKLM 32
    ${If} ${RunningX64}
        !insertmacro ClearRunValue HKLM 64
    ${EndIf}
    !insertmacro ClearRunValue HKCU 32
    SetRegView lastused

    ReadRegStr $0 HKCU "${UNINST_KEY}" "InstallLocation"
    ${If} $0 == $CopyDir
        !insertmacro DeleteShortcuts
        RMDir "$SMPROGRAMS\${APP}"
        DeleteRegKey HKCU "${UNINST_KEY}"
    ${EndIf}
FunctionEnd

!macroend
!insertmacro InstallationFunctions ""
!insertmacro InstallationFunctions "un."

; --- Setup ----------------------------------------------------------------------------------------

; Writes one file and records it; a file that cannot be written is tried again or fails the
; whole run (never an install half old, half new reported as done).
!macro PutFile SOURCE NAME
    StrCpy $FileName "${NAME}"
    ${Do}
        ClearErrors
        File "/oname=${NAME}" "${SOURCE}"
        ${IfNot} ${Errors}
            WriteINIStr "$INSTDIR\${RECORD}" Files "${NAME}" 1
        ${EndIf}
        ${IfNot} ${Errors}
            ${ExitDo}
        ${EndIf}
        ${IfNot} ${Cmd} `MessageBox MB_RETRYCANCEL|MB_ICONSTOP "$(CannotWrite)" /SD IDCANCEL IDRETRY`
            Call Fail
        ${EndIf}
    ${Loop}
!macroend

; A readme or licence of the user's own (of a zip unpacked into this folder) stays theirs.
!macro PutOurFile NAME
    StrCpy $FileName "${NAME}"
    Call IsOurs
    ${If} $R0 == 1
    ${OrIfNot} ${FileExists} "$INSTDIR\${NAME}"
        !insertmacro PutFile "${DIST}/x86/${NAME}" "${NAME}"
    ${EndIf}
!macroend

; Settings and lists hold the user's bindings: written only where there are none, and kept
; on every later install, whoever wrote them.
!macro PutNewFile NAME
    ${IfNot} ${FileExists} "$INSTDIR\${NAME}"
        !insertmacro PutFile "${DIST}/x86/${NAME}" "${NAME}"
    ${EndIf}
!macroend

; Interactively, a copy found in the chosen folder that no installer put there is replaced
; only when the user agrees.
Function DirectoryLeave
    ${If} ${FileExists} "$INSTDIR\Tarnwick.exe"
    ${AndIfNot} ${FileExists} "$INSTDIR\${RECORD}"
    ${AndIfNot} ${FileExists} "$INSTDIR\uninstall.exe"
    ${AndIfNot} ${Cmd} `MessageBox MB_OKCANCEL|MB_ICONEXCLAMATION "$(NotInstalledHere)" IDOK`
        Abort
    ${EndIf}
FunctionEnd

; $Size: the bytes of the files this installation wrote.
Function AddSize
    Call IsOurs
    ${If} $R0 == 1
        FileOpen $R1 "$INSTDIR\$FileName" r
        ${If} $R1 != ""
            FileSeek $R1 0 END $R2
            FileClose $R1
            IntOp $Size $Size + $R2
        ${EndIf}
    ${EndIf}
FunctionEnd

Section "Tarnwick"
    SetShellVarContext current
    SetOverwrite try

    ; One Apps entry and one Start-menu folder: a copy installed in another folder is offered
    ; for removal; kept, it hands both over to this one.
    ReadRegStr $OldDir HKCU "${UNINST_KEY}" "InstallLocation"
    ${If} $OldDir != ""
    ${AndIf} $OldDir != $INSTDIR
    ${AndIf} ${FileExists} "$OldDir\uninstall.exe"
    ${AndIf} ${Cmd} `MessageBox MB_YESNO|MB_ICONQUESTION "$(RemoveOld)" /SD IDNO IDYES`
        StrCpy $CopyDir $OldDir
        Call RemoveCopy
    ${EndIf}

    StrCpy $CopyDir $INSTDIR
    Call EndCopies
    ClearErrors
    SetOutPath "$INSTDIR"
    ${If} ${Errors}
        StrCpy $FileName ""
        MessageBox MB_OK|MB_ICONSTOP "$(CannotWrite)" /SD IDOK
        Call Fail
    ${EndIf}
    Call AdoptUnrecorded

    ${If} ${IsNativeAMD64}
        !insertmacro PutFile "${DIST}/x64/Tarnwick.exe" Tarnwick.exe
    ${Else}
        !insertmacro PutFile "${DIST}/x86/Tarnwick.exe" Tarnwick.exe
    ${EndIf}
    !insertmacro PutFile "${DIST}/x86/tarnwick.chm" tarnwick.chm
    !insertmacro PutFile "${DIST}/x86/tarnwick-en.chm" tarnwick-en.chm
    !insertmacro PutOurFile readme.txt
    !insertmacro PutOurFile LICENSE.txt
    !insertmacro PutNewFile tarnwick.ini
    !insertmacro PutNewFile sample.map
    StrCpy $FileName uninstall.exe
    ${Do}
        ClearErrors
        WriteUninstaller "$INSTDIR\uninstall.exe"
        ${IfNot} ${Errors}
            WriteINIStr "$INSTDIR\${RECORD}" Files uninstall.exe 1
        ${EndIf}
        ${IfNot} ${Errors}
            ${ExitDo}
        ${EndIf}
        ${IfNot} ${Cmd} `MessageBox MB_RETRYCANCEL|MB_ICONSTOP "$(CannotWrite)" /SD IDCANCEL IDRETRY`
            Call Fail
        ${EndIf}
    ${Loop}
    FlushINI "$INSTDIR\${RECORD}"

    StrCpy $Size 0
    !insertmacro OnFile AddSize Tarnwick.exe
    !insertmacro OnFile AddSize tarnwick.chm
    !insertmacro OnFile AddSize tarnwick-en.chm
    !insertmacro OnFile AddSize readme.txt
    !insertmacro OnFile AddSize LICENSE.txt
    !insertmacro OnFile AddSize tarnwick.ini
    !insertmacro OnFile AddSize sample.map
    !insertmacro OnFile AddSize uninstall.exe
    IntOp $Size $Size + 1023
    IntOp $Size $Size / 1024

    !insertmacro DeleteShortcuts
    ClearErrors
    CreateDirectory "$SMPROGRAMS\${APP}"
    SetOutPath "$INSTDIR"
    CreateShortcut "$SMPROGRAMS\${APP}\${APP}.lnk" "$INSTDIR\Tarnwick.exe" "" "$INSTDIR\Tarnwick.exe" 0
    CreateShortcut "$SMPROGRAMS\${APP}\$(HelpShortcut).lnk" "$INSTDIR\$(HelpFile)"
    CreateShortcut "$SMPROGRAMS\${APP}\$(UninstallShortcut).lnk" "$INSTDIR\uninstall.exe"

    WriteRegStr HKCU "${UNINST_KEY}" "DisplayName" "${APP}"
    WriteRegStr HKCU "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINST_KEY}" "Publisher" "$(Publisher)"
    WriteRegStr HKCU "${UNINST_KEY}" "DisplayIcon" "$INSTDIR\Tarnwick.exe"
    WriteRegStr HKCU "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINST_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKCU "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINST_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINST_KEY}" "NoRepair" 1
    WriteRegDWORD HKCU "${UNINST_KEY}" "EstimatedSize" $Size
    ${If} ${Errors}
        MessageBox MB_OK|MB_ICONSTOP "$(CannotRegister)" /SD IDOK
        Call Fail
    ${EndIf}
SectionEnd

; --- Uninstaller ----------------------------------------------------------------------------------

Section "Uninstall"
    SetShellVarContext current
    StrCpy $CopyDir $INSTDIR
    Call un.RemoveCopy
SectionEnd
