; Brindlecap installer, built on Linux with makensis (scripts/dist.sh passes
; VERSION, OUTFILE, FILES_NSH, the generated lists of the shipped files, and
; HELP_PAGE, the help page made beside them).
;
; Oldest Windows: an ANSI installer (the Unicode one needs the NT family)
; whose stub and plug-ins are PE 4.0 files importing only functions that
; Windows 95 exports, so it starts on Windows 95, 98, Me, NT 4.0 and every
; later 32- or 64-bit Windows. Where it does not, the archive serves.
;
; On x86-64 Windows it installs the 64-bit build, everywhere else (ARM64,
; which runs 32-bit programs, included) the 32-bit one, into the same folder
; with the same shortcuts: a 64-bit copy replaces a 32-bit one there.
;
; Uninstaller switch of ours: /PURGE also removes Brindlecap.ini and
; Brindlecap.log, which a silent uninstall otherwise keeps.

Unicode false
SetCompressor /SOLID lzma
RequestExecutionLevel user
CRCCheck on

!define PRODUCT "Brindlecap"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Brindlecap"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
; Where Windows Vista and later put a legacy program's writes under
; HKEY_LOCAL_MACHINE when it lacks the rights.
!define VIRTUAL_RUN_KEY "Software\Classes\VirtualStore\MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\Run"
!define AUTOSTART_VALUE "Brindle"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
BrandingText "${PRODUCT} ${VERSION}"
ShowInstDetails show
ShowUninstDetails show

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"
!include "WinMessages.nsh"
!include "x64.nsh"
!include "${FILES_NSH}"

!define MUI_ICON "${NSISDIR}\Contrib\Graphics\Icons\modern-install.ico"
!define MUI_UNICON "${NSISDIR}\Contrib\Graphics\Icons\modern-uninstall.ico"
!define MUI_FINISHPAGE_RUN "$INSTDIR\Brindlecap.exe"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

; The system's language picks one, as the program itself does; English, the
; first, on every system that is neither.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "Russian"

LangString UninstallLink ${LANG_RUSSIAN} "Удалить Brindlecap"
LangString UninstallLink ${LANG_ENGLISH} "Uninstall Brindlecap"
LangString ClosingProgram ${LANG_RUSSIAN} "Завершение работающей копии Brindlecap"
LangString ClosingProgram ${LANG_ENGLISH} "Ending the running copy of Brindlecap"
LangString AskRemoveUserFiles ${LANG_RUSSIAN} "Удалить также настройки и журнал (Brindlecap.ini и Brindlecap.log)?"
LangString AskRemoveUserFiles ${LANG_ENGLISH} "Remove the settings and the log as well (Brindlecap.ini and Brindlecap.log)?"
LangString UserFilesKept ${LANG_RUSSIAN} "Настройки и журнал оставлены в папке $INSTDIR"
LangString UserFilesKept ${LANG_ENGLISH} "The settings and the log are kept in $INSTDIR"
LangString FilesKept ${LANG_RUSSIAN} "Не все файлы программы удалось удалить из $INSTDIR: возможно, она ещё работает. Завершите её и удалите папку."
LangString FilesKept ${LANG_ENGLISH} "Some of the program's files could not be removed from $INSTDIR: it may still be running. End it and remove the folder."
LangString AutostartKept ${LANG_RUSSIAN} "Не удалось удалить параметр автозагрузки Brindle в HKEY_LOCAL_MACHINE\${RUN_KEY}: для этого нужны права администратора."
LangString AutostartKept ${LANG_ENGLISH} "The autostart value Brindle under HKEY_LOCAL_MACHINE\${RUN_KEY} could not be removed: that needs an administrator's rights."

VIProductVersion "1.9.7.0"
; No copyright line of our own to give.
!pragma warning disable 9100
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "${PRODUCT} ${VERSION} setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${VERSION}"

Var RemoveUserFiles

; Ends a running copy the way its own exit does (its window's destruction
; writes the settings), so that its files can be replaced or removed.
!macro CLOSE_RUNNING_COPY un
Function ${un}CloseRunningCopy
    FindWindow $0 "Brindlecap"
    ${If} $0 = 0
        Return
    ${EndIf}
    DetailPrint "$(ClosingProgram)"
    SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=5000
    ; Bounded wait for the window to go away.
    StrCpy $1 0
    ${Do}
        FindWindow $0 "Brindlecap"
        ${If} $0 = 0
        ${OrIf} $1 >= 50
            ${Break}
        ${EndIf}
        Sleep 100
        IntOp $1 $1 + 1
    ${Loop}
FunctionEnd
!macroend
!insertmacro CLOSE_RUNNING_COPY ""
!insertmacro CLOSE_RUNNING_COPY "un."

Function .onInit
    ; /D= sets the folder before this runs. Otherwise one the user may write
    ; to without elevation: the program keeps its settings and log beside
    ; itself. Without the Internet Explorer 4 shell (plain Windows 95 or
    ; NT 4) there is no local application data folder: Program Files then,
    ; which Windows 95 lets everyone write to.
    ${If} $INSTDIR == ""
        StrCpy $0 "$LOCALAPPDATA"
        ${If} $0 != ""
            StrCpy $INSTDIR "$0\Programs\${PRODUCT}"
        ${Else}
            StrCpy $INSTDIR "$PROGRAMFILES\${PRODUCT}"
        ${EndIf}
    ${EndIf}
FunctionEnd

!macro WRITE_UNINSTALL_INFO root
    WriteRegStr ${root} "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT} ${VERSION}"
    WriteRegStr ${root} "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr ${root} "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Brindlecap.exe"
    WriteRegStr ${root} "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr ${root} "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
    WriteRegStr ${root} "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
    WriteRegDWORD ${root} "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD ${root} "${UNINSTALL_KEY}" "NoRepair" 1
!macroend

Section
    Call CloseRunningCopy
    SetOutPath "$INSTDIR"
    ${If} ${IsNativeAMD64}
        !insertmacro INSTALL_PRODUCT_FILES_X64
        ; A 32-bit copy's module that the 64-bit host would pass over.
        Delete "$INSTDIR\Poolgauge.dll"
    ${Else}
        !insertmacro INSTALL_PRODUCT_FILES
    ${EndIf}
    ; The help pages, Russian and English, for either architecture.
    File "${HELP_PAGE}"
    File "${HELP_PAGE_EN}"
    WriteUninstaller "$INSTDIR\Uninstall.exe"

    SetShellVarContext current
    CreateDirectory "$SMPROGRAMS\${PRODUCT}"
    CreateShortCut "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk" "$INSTDIR\Brindlecap.exe"
    CreateShortCut "$SMPROGRAMS\${PRODUCT}\$(UninstallLink).lnk" "$INSTDIR\Uninstall.exe"

    ; Programs and Features lists it for every user where our rights allow,
    ; else for this user; the 64-bit program in the 64-bit registry, where
    ; 64-bit Windows keeps its own programs, and no entry left in the 32-bit
    ; one from an older 32-bit copy.
    ${If} ${IsNativeAMD64}
        DeleteRegKey HKLM "${UNINSTALL_KEY}"
        DeleteRegKey HKCU "${UNINSTALL_KEY}"
        SetRegView 64
    ${EndIf}
    ClearErrors
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT} ${VERSION}"
    ${If} ${Errors}
        !insertmacro WRITE_UNINSTALL_INFO HKCU
    ${Else}
        !insertmacro WRITE_UNINSTALL_INFO HKLM
    ${EndIf}
    SetRegView default
SectionEnd

Function un.onInit
    StrCpy $RemoveUserFiles 0
    ${GetParameters} $0
    ClearErrors
    ${GetOptions} $0 "/PURGE" $1
    ${IfNot} ${Errors}
        StrCpy $RemoveUserFiles 1
    ${EndIf}
FunctionEnd

; An autostart value goes only when it starts this copy: another copy of
; the program elsewhere may have set it. The settings module writes the
; program's path as the program saw it, long or short, quoted (older
; copies wrote it bare), under HKLM or, where the user could not write
; there, under HKCU.
!macro IF_STARTS_THIS_COPY
    ${If} $0 == $1
    ${OrIf} $0 == $2
    ${OrIf} $0 == `"$1"`
    ${OrIf} $0 == `"$2"`
!macroend

; 64-bit Windows keeps HKLM's Run key twice: the 32-bit settings module
; writes the one the 32-bit view shows, the 64-bit module the other.
Function un.RemoveAutostart
    ${If} ${RunningX64}
        SetRegView 64
        Call un.RemoveAutostartInView
        SetRegView 32
    ${EndIf}
    Call un.RemoveAutostartInView
    SetRegView default
FunctionEnd

Function un.RemoveAutostartInView
    StrCpy $1 "$INSTDIR\Brindlecap.exe"
    GetFullPathName /SHORT $2 "$INSTDIR\Brindlecap.exe"
    ReadRegStr $0 HKLM "${RUN_KEY}" "${AUTOSTART_VALUE}"
    !insertmacro IF_STARTS_THIS_COPY
        DeleteRegValue HKLM "${RUN_KEY}" "${AUTOSTART_VALUE}"
        ClearErrors
        ReadRegStr $3 HKLM "${RUN_KEY}" "${AUTOSTART_VALUE}"
        ${IfNot} ${Errors}
            DetailPrint "$(AutostartKept)"
            MessageBox MB_OK|MB_ICONEXCLAMATION "$(AutostartKept)" /SD IDOK
        ${EndIf}
    ${EndIf}
    ReadRegStr $0 HKCU "${RUN_KEY}" "${AUTOSTART_VALUE}"
    !insertmacro IF_STARTS_THIS_COPY
        DeleteRegValue HKCU "${RUN_KEY}" "${AUTOSTART_VALUE}"
    ${EndIf}
    ReadRegStr $0 HKCU "${VIRTUAL_RUN_KEY}" "${AUTOSTART_VALUE}"
    !insertmacro IF_STARTS_THIS_COPY
        DeleteRegValue HKCU "${VIRTUAL_RUN_KEY}" "${AUTOSTART_VALUE}"
    ${EndIf}
FunctionEnd

Section "Uninstall"
    Call un.CloseRunningCopy
    Call un.RemoveAutostart
    !insertmacro DELETE_PRODUCT_FILES
    Delete "$INSTDIR\brindlecap.htm"
    Delete "$INSTDIR\brindlecap-en.htm"
    Delete "$INSTDIR\Uninstall.exe"

    ; The settings and the log are the user's: asked for, kept when silent
    ; unless /PURGE says otherwise.
    ${If} $RemoveUserFiles = 0
        ${If} ${FileExists} "$INSTDIR\Brindlecap.ini"
        ${OrIf} ${FileExists} "$INSTDIR\Brindlecap.log"
            MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 "$(AskRemoveUserFiles)" /SD IDNO IDNO +2
            StrCpy $RemoveUserFiles 1
        ${EndIf}
    ${EndIf}
    ${If} $RemoveUserFiles = 1
        Delete "$INSTDIR\Brindlecap.ini"
        Delete "$INSTDIR\Brindlecap.log"
    ${ElseIf} ${FileExists} "$INSTDIR\Brindlecap.ini"
    ${OrIf} ${FileExists} "$INSTDIR\Brindlecap.log"
        DetailPrint "$(UserFilesKept)"
    ${EndIf}
    RMDir "$INSTDIR"
    ; A copy that would not end (one of another user, say) keeps its files.
    ${If} ${FileExists} "$INSTDIR\*.exe"
    ${OrIf} ${FileExists} "$INSTDIR\*.dll"
        DetailPrint "$(FilesKept)"
        MessageBox MB_OK|MB_ICONEXCLAMATION "$(FilesKept)" /SD IDOK
    ${EndIf}

    SetShellVarContext current
    Delete "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk"
    Delete "$SMPROGRAMS\${PRODUCT}\$(UninstallLink).lnk"
    RMDir "$SMPROGRAMS\${PRODUCT}"

    ${If} ${RunningX64}
        SetRegView 64
        DeleteRegKey HKLM "${UNINSTALL_KEY}"
        DeleteRegKey HKCU "${UNINSTALL_KEY}"
        SetRegView 32
    ${EndIf}
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
    SetRegView default
SectionEnd
