; The Windows installer of Tarvo, in Chinese: a per-user install that needs no administrator rights,
; under %LOCALAPPDATA%\Programs\Tarvo by default, because the draw database lives beside the program
; and must stay writable. Installing over an older install (or installing twice) replaces the
; program files and keeps the draw database. The uninstaller removes the program files, shortcuts
; and registry entries; it deletes the draw database only when the user ticks its box.
;
; makensis -INPUTCHARSET UTF8 -DVERSION=1.0.0 -DSOURCE=<portable folder> -DICON=<tarvo.ico> -DOUTFILE=<setup.exe> tarvo.nsi

Unicode true
Target amd64-unicode
!include "MUI2.nsh"

!ifndef VERSION | SOURCE | ICON | OUTFILE
!error "define VERSION, SOURCE, ICON and OUTFILE"
!endif

!define PRODUCT "Tarvo 11选5精准计划软件"
!define SHORTCUT "Tarvo 11选5精准计划软件.lnk"
!define DATABASE "彩票数据.mdb"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tarvo"
!define SETTINGS_KEY "Software\Tarvo"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Tarvo"
InstallDirRegKey HKCU "${SETTINGS_KEY}" "InstallDir"
RequestExecutionLevel user
SetCompressor /SOLID lzma
ManifestDPIAware true
ShowInstDetails show
ShowUninstDetails show
BrandingText "${PRODUCT} ${VERSION}"
VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=2052 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=2052 "FileDescription" "${PRODUCT} 安装程序"
VIAddVersionKey /LANG=2052 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "CompanyName" "Tarvo"
VIAddVersionKey /LANG=2052 "LegalCopyright" "Tarvo"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\tarvo.exe"
!define MUI_FINISHPAGE_RUN_TEXT "运行 ${PRODUCT}"
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\使用说明.txt"
!define MUI_FINISHPAGE_SHOWREADME_TEXT "查看使用说明"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED
!define MUI_COMPONENTSPAGE_NODESC

!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "SimpChinese"

; Windows lets no one write a program file while it runs: the user is asked to close Tarvo first.
; A silent run gives up instead, and changes nothing.
!macro WaitUntilTarvoIsClosed un
Function ${un}WaitUntilTarvoIsClosed
    IfFileExists "$INSTDIR\tarvo.exe" 0 closed
    again:
    ClearErrors
    FileOpen $0 "$INSTDIR\tarvo.exe" a
    IfErrors running
    FileClose $0
    Goto closed
    running:
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "${PRODUCT} 正在运行。请先关闭它，再点“重试”。" /SD IDCANCEL IDRETRY again
    SetErrorLevel 2
    Quit
    closed:
FunctionEnd
!macroend
!insertmacro WaitUntilTarvoIsClosed ""
!insertmacro WaitUntilTarvoIsClosed "un."

Section "程序文件" SecProgram
    SectionIn RO
    SetShellVarContext current
    Call WaitUntilTarvoIsClosed
    SetOutPath "$INSTDIR"
    ; The draw database of an earlier install stays as it is; a new install gets an empty one.
    File /r /x "${DATABASE}" "${SOURCE}/*.*"
    IfFileExists "$INSTDIR\${DATABASE}" +2 0
    File "${SOURCE}/${DATABASE}"
    WriteUninstaller "$INSTDIR\uninstall.exe"

    CreateDirectory "$SMPROGRAMS\${PRODUCT}"
    CreateShortcut "$SMPROGRAMS\${PRODUCT}\${SHORTCUT}" "$INSTDIR\tarvo.exe"
    CreateShortcut "$SMPROGRAMS\${PRODUCT}\使用说明.lnk" "$INSTDIR\使用说明.txt"
    CreateShortcut "$SMPROGRAMS\${PRODUCT}\卸载 Tarvo.lnk" "$INSTDIR\uninstall.exe"
    CreateShortcut "$DESKTOP\${SHORTCUT}" "$INSTDIR\tarvo.exe"

    WriteRegStr HKCU "${SETTINGS_KEY}" "InstallDir" "$INSTDIR"
    WriteRegStr HKCU "${SETTINGS_KEY}" "Version" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Tarvo"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\tarvo.exe"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "un.程序文件、快捷方式和设置" UnSecProgram
    SectionIn RO
    SetShellVarContext current
    Call un.WaitUntilTarvoIsClosed
    Delete "$INSTDIR\tarvo.exe"
    Delete "$INSTDIR\tarvo-cli.exe"
    Delete "$INSTDIR\tarvo-drawd.exe"
    Delete "$INSTDIR\*.dll"
    Delete "$INSTDIR\platforms\qwindows.dll"
    Delete "$INSTDIR\sqldrivers\qsqlite.dll"
    Delete "$INSTDIR\styles\qwindowsvistastyle.dll"
    Delete "$INSTDIR\tls\qschannelbackend.dll"
    RMDir "$INSTDIR\platforms"
    RMDir "$INSTDIR\sqldrivers"
    RMDir "$INSTDIR\styles"
    RMDir "$INSTDIR\tls"
    Delete "$INSTDIR\使用说明.txt"
    Delete "$INSTDIR\号码.txt"
    ; The demonstration's draws are generated, not the player's.
    Delete "$INSTDIR\演示数据.mdb"
    Delete "$INSTDIR\演示数据.mdb-wal"
    Delete "$INSTDIR\演示数据.mdb-shm"
    Delete "$INSTDIR\uninstall.exe"

    Delete "$SMPROGRAMS\${PRODUCT}\${SHORTCUT}"
    Delete "$SMPROGRAMS\${PRODUCT}\使用说明.lnk"
    Delete "$SMPROGRAMS\${PRODUCT}\卸载 Tarvo.lnk"
    RMDir "$SMPROGRAMS\${PRODUCT}"
    Delete "$DESKTOP\${SHORTCUT}"

    DeleteRegKey HKCU "${UNINSTALL_KEY}"
    DeleteRegKey HKCU "${SETTINGS_KEY}"
SectionEnd

; Off unless the user ticks it, and never in a silent uninstall: the draws are the user's. The
; engine's log and index files beside the database hold draws too until the program has closed it.
Section /o "un.开奖数据库（${DATABASE}，删除后无法恢复）和数据源设置" UnSecDatabase
    Delete "$INSTDIR\${DATABASE}"
    Delete "$INSTDIR\${DATABASE}-wal"
    Delete "$INSTDIR\${DATABASE}-shm"
    Delete "$INSTDIR\设置.ini"
SectionEnd

Section "-un.folder"
    RMDir "$INSTDIR"
SectionEnd
