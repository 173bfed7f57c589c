; Sonello's installer. CMake builds it with makensis (target "installer"), defining
;   VERSION    the product version, 1.1.0.0
;   PUBLISHER  the name Programs and Features shows
;   EXE        the stripped Sonello.exe
;   ICON       res/sonello.ico
;   OUTFILE    where the installer goes
; It installs for the current user or for all users of the machine (the choice page, or
; /CurrentUser and /AllUsers on the command line); /S installs silently, for the current user
; unless /AllUsers is given. The uninstaller takes /S too, and /RemoveData to tick its box.

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
ManifestDPIAware true

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Sonello"
!define ACTIVE_SETUP_KEY "Software\Microsoft\Active Setup\Installed Components\Sonello"
; In each user's %APPDATA%: the player keeps its lists and lyrics in its working directory.
!define DATA_FOLDER "Sonello"
!searchreplace VERSION_COMMAS "${VERSION}" "." ","

Name "Sonello"
OutFile "${OUTFILE}"
BrandingText "Sonello ${VERSION}"

!define MULTIUSER_EXECUTIONLEVEL Highest
!define MULTIUSER_MUI
!define MULTIUSER_INSTALLMODE_COMMANDLINE
!define MULTIUSER_INSTALLMODE_DEFAULT_CURRENTUSER
!define MULTIUSER_USE_PROGRAMFILES64
!define MULTIUSER_INSTALLMODE_INSTDIR "Sonello"
; An update installs where, and for whom, the last one did.
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_KEY "${UNINSTALL_KEY}"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_VALUENAME "InstallLocation"
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_KEY "${UNINSTALL_KEY}"
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_VALUENAME "InstallLocation"
!include MultiUser.nsh
!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include Sections.nsh

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING

!insertmacro MULTIUSER_PAGE_INSTALLMODE
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_FUNCTION RunPlayer
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "SimpChinese"
!insertmacro MUI_LANGUAGE "English"

LangString SEC_PROGRAM ${LANG_SIMPCHINESE} "Sonello 播放器"
LangString SEC_PROGRAM ${LANG_ENGLISH} "Sonello player"
LangString SEC_DESKTOP ${LANG_SIMPCHINESE} "桌面快捷方式"
LangString SEC_DESKTOP ${LANG_ENGLISH} "Desktop shortcut"
LangString SEC_DATA ${LANG_SIMPCHINESE} "我的歌曲列表和歌词"
LangString SEC_DATA ${LANG_ENGLISH} "My song lists and lyrics"
LangString DESC_PROGRAM ${LANG_SIMPCHINESE} "播放器、开始菜单中的快捷方式和卸载程序。"
LangString DESC_PROGRAM ${LANG_ENGLISH} "The player, its Start-menu shortcut and the uninstaller."
LangString DESC_DESKTOP ${LANG_SIMPCHINESE} "在桌面上放一个 Sonello 快捷方式。"
LangString DESC_DESKTOP ${LANG_ENGLISH} "A Sonello shortcut on the desktop."
LangString DESC_DATA ${LANG_SIMPCHINESE} "勾选后同时删除 %APPDATA%\${DATA_FOLDER} 中的歌曲列表 (MySongList.xml) 和歌词 (Lrc)。不勾选则保留。"
LangString DESC_DATA ${LANG_ENGLISH} "Ticked, also removes your song lists (MySongList.xml) and lyrics (Lrc) in %APPDATA%\${DATA_FOLDER}. Unticked, they stay."
LangString SHORTCUT_COMMENT ${LANG_SIMPCHINESE} "播放音乐并显示歌词"
LangString SHORTCUT_COMMENT ${LANG_ENGLISH} "Play music with its lyrics"

VIProductVersion "${VERSION}"
VIFileVersion "${VERSION}"
!macro VERSION_KEYS LANG DESCRIPTION
    VIAddVersionKey /LANG=${LANG} "ProductName" "Sonello"
    VIAddVersionKey /LANG=${LANG} "FileDescription" "${DESCRIPTION}"
    VIAddVersionKey /LANG=${LANG} "CompanyName" "${PUBLISHER}"
    VIAddVersionKey /LANG=${LANG} "LegalCopyright" "© ${PUBLISHER}"
    VIAddVersionKey /LANG=${LANG} "FileVersion" "${VERSION}"
    VIAddVersionKey /LANG=${LANG} "ProductVersion" "${VERSION}"
!macroend
!insertmacro VERSION_KEYS ${LANG_SIMPCHINESE} "Sonello 安装程序"
!insertmacro VERSION_KEYS ${LANG_ENGLISH} "Sonello setup"

; Shortcuts start the player in the data folder of whoever opens them: the program folder may
; not be writable. The variable is left for the shell to expand, so that one all-users
; shortcut serves every user. CreateShortCut takes the working directory from $OUTDIR.
!macro SHORTCUT LINK
    StrCpy $OUTDIR "%APPDATA%\${DATA_FOLDER}"
    CreateShortCut "${LINK}" "$INSTDIR\Sonello.exe" "" "$INSTDIR\Sonello.exe" 0 SW_SHOWNORMAL "" "$(SHORTCUT_COMMENT)"
!macroend

Section "$(SEC_PROGRAM)" SecProgram
    SectionIn RO
    SetOutPath "$INSTDIR"
    File "/oname=Sonello.exe" "${EXE}"
    WriteUninstaller "$INSTDIR\uninstall.exe"

    SetShellVarContext current
    CreateDirectory "$APPDATA\${DATA_FOLDER}"
    ${If} $MultiUser.InstallMode == "AllUsers"
        SetShellVarContext all
        ; A shortcut whose folder is missing does not start: every other user gets the folder
        ; at the next sign-in.
        WriteRegStr HKLM "${ACTIVE_SETUP_KEY}" "" "Sonello"
        WriteRegStr HKLM "${ACTIVE_SETUP_KEY}" "Version" "${VERSION_COMMAS}"
        WriteRegExpandStr HKLM "${ACTIVE_SETUP_KEY}" "StubPath" \
            '"%SystemRoot%\System32\cmd.exe" /d /c if not exist "%APPDATA%\${DATA_FOLDER}" md "%APPDATA%\${DATA_FOLDER}"'
    ${EndIf}
    !insertmacro SHORTCUT "$SMPROGRAMS\Sonello.lnk"
SectionEnd

Section "$(SEC_DESKTOP)" SecDesktop
    !insertmacro SHORTCUT "$DESKTOP\Sonello.lnk"
SectionEnd

Section "-Register"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "Sonello"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Sonello.exe,0"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    ; The uninstaller learns from its command line whose installation it removes.
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe" /$MultiUser.InstallMode'
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S /$MultiUser.InstallMode'
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Function .onInit
    !insertmacro MULTIUSER_INIT
FunctionEnd

; Through the shell's Explorer, which opens the shortcut as the signed-in user: an elevated
; installer would start an elevated player, on which Explorer cannot drop files.
Function RunPlayer
    Exec '"$WINDIR\explorer.exe" "$SMPROGRAMS\Sonello.lnk"'
FunctionEnd

Section "un.$(SEC_PROGRAM)" UnSecProgram
    SectionIn RO
    Delete "$INSTDIR\Sonello.exe"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    Delete "$SMPROGRAMS\Sonello.lnk"
    Delete "$DESKTOP\Sonello.lnk"
    DeleteRegKey SHCTX "${UNINSTALL_KEY}"
    ${If} $MultiUser.InstallMode == "AllUsers"
        DeleteRegKey HKLM "${ACTIVE_SETUP_KEY}"
    ${EndIf}
SectionEnd

; Only the uninstalling user's own folder: other users' lists are theirs to keep.
Section /o "un.$(SEC_DATA)" UnSecData
    SetShellVarContext current
    ${If} $APPDATA != ""
        RMDir /r "$APPDATA\${DATA_FOLDER}"
    ${EndIf}
SectionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
    !insertmacro MUI_DESCRIPTION_TEXT ${SecProgram} "$(DESC_PROGRAM)"
    !insertmacro MUI_DESCRIPTION_TEXT ${SecDesktop} "$(DESC_DESKTOP)"
!insertmacro MUI_FUNCTION_DESCRIPTION_END

!insertmacro MUI_UNFUNCTION_DESCRIPTION_BEGIN
    !insertmacro MUI_DESCRIPTION_TEXT ${UnSecProgram} "$(DESC_PROGRAM)"
    !insertmacro MUI_DESCRIPTION_TEXT ${UnSecData} "$(DESC_DATA)"
!insertmacro MUI_UNFUNCTION_DESCRIPTION_END

Function un.onInit
    !insertmacro MULTIUSER_UNINIT
    ${GetParameters} $0
    ClearErrors
    ${GetOptions} $0 "/RemoveData" $1
    ${IfNot} ${Errors}
        !insertmacro SelectSection ${UnSecData}
    ${EndIf}
FunctionEnd
