; Setup of the Tarnet Control Panel: installs Demtrel.exe and Sarvent.cpl for all users,
; registers the applet with the Control Panel, starts the panel in the tray at log-on if
; chosen, opens setup files (.tcsetup) in the panel's Load preview, adds an entry to
; Programs and Features, and writes an uninstaller that takes all of it away again.
;
; The build passes what it knows as defines: VERSION, COMPANY, PRODUCT, COPYRIGHT (from
; the version header), PROGRAM, APPLET and ICON (its own release files) and OUTFILE.
;
; Command line (besides NSIS's own /S and /D=folder, which an upgrade ignores):
;   /LOGON=1  start the panel at log-on       /LOGON=0  do not
; Without /LOGON a first install starts it at log-on and an upgrade keeps the choice made
; before. Exit codes: 0 done, 1 cancelled by the user, 2 aborted, 87 bad switch,
; 740 not an administrator, 1150 system too old, 32 a file is in use.

Unicode true
ManifestDPIAware true
RequestExecutionLevel admin
SetCompressor /SOLID lzma

!include MUI2.nsh
!include LogicLib.nsh
!include nsDialogs.nsh
!include FileFunc.nsh
!include WinVer.nsh

; What the program is known by between processes: its window title (also the shortcut's
; name) and the instance mutex it holds until its process ends.
!define TITLE "Tarnet Control Panel"
!define MUTEX "734EB08A-7DFA-48ad-B254-2719FB6F8CE8"
!define QUIT_COMMAND 32772

; Every key is written in the registry's 32-bit view, which the 32-bit Control Panel
; host, the log-on start and Programs and Features all read on 64-bit Windows.
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Demtrel"
!define CPLS_KEY "Software\Microsoft\Windows\CurrentVersion\Control Panel\Cpls"
!define CPLS_VALUE "Sarvent"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define SETTINGS_PARENT "Software\Orlaso"
!define SETTINGS_KEY "${SETTINGS_PARENT}\Tarnet Control Panel"
!define RUN_VALUE "Tarnet Control Panel"
; Setup files (.tcsetup) open in the panel's Load preview. Software\Classes is one key
; for both registry views on Windows 7 and later, so the 64-bit Explorer finds the type
; where the 32-bit Setup writes it.
!define EXTENSION_KEY "Software\Classes\.tcsetup"
!define PROGID "Orlaso.TarnetSetup"
!define PROGID_KEY "Software\Classes\${PROGID}"
!define SHCNE_ASSOCCHANGED 0x08000000
!define SHCNF_IDLIST 0

!define ERROR_SHARING_VIOLATION 32
!define ERROR_INVALID_PARAMETER 87
!define ERROR_ELEVATION_REQUIRED 740
!define ERROR_OLD_WIN_VERSION 1150
!define SYNCHRONIZE 0x00100000
; How long a running panel gets to end after "-exit": 100 polls of 100 ms.
!define END_POLLS 100
; How long the folder gets to empty once its files are deleted: 20 polls of 100 ms.
!define FOLDER_POLLS 20

Name "${PRODUCT}"
Caption "$(SetupCaption)"
UninstallCaption "$(UninstallCaption)"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES\${PRODUCT}"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"
ShowInstDetails show
ShowUninstDetails show
AllowSkipFiles off

VIProductVersion "${VERSION}"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "CompanyName" "${COMPANY}"
VIAddVersionKey "LegalCopyright" "${COPYRIGHT}"
VIAddVersionKey "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"

Var StartAtLogon ; "1" or "0"
Var LogonCheckBox

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_WELCOMEPAGE_TEXT "$(WelcomeText)"
!insertmacro MUI_PAGE_WELCOME
!define MUI_PAGE_CUSTOMFUNCTION_PRE SkipFolderOnUpgrade
!insertmacro MUI_PAGE_DIRECTORY
Page custom OptionsPage OptionsPageLeave
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\Demtrel.exe"
!define MUI_FINISHPAGE_RUN_TEXT "$(RunNowText)"
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

; The first language is the one for every interface language without a version of its own.
; MUI picks the user's interface language on its own: no dialog asks.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "German"

; Every text of our own, in each language. The script is read as UTF-8 (the build says so).
LangString SetupCaption ${LANG_ENGLISH} "${PRODUCT} ${VERSION} Setup"
LangString SetupCaption ${LANG_GERMAN} "Installation von ${PRODUCT} ${VERSION}"
LangString UninstallCaption ${LANG_ENGLISH} "${PRODUCT} ${VERSION} Uninstall"
LangString UninstallCaption ${LANG_GERMAN} "Deinstallation von ${PRODUCT} ${VERSION}"
LangString WelcomeText ${LANG_ENGLISH} "Setup installs the ${TITLE} and its Control Panel \
  entry $\"${PRODUCT}$\" on this computer, for all of its users.$\r$\n$\r$\nSetup needs \
  administrator rights. If the ${TITLE} is running, Setup ends it before it replaces \
  its files.$\r$\n$\r$\n$_CLICK"
LangString WelcomeText ${LANG_GERMAN} "Setup installiert das ${TITLE} und seinen Eintrag \
  „${PRODUCT}“ in der Systemsteuerung auf diesem Computer, für alle Benutzer.$\r$\n$\r$\n\
  Setup benötigt Administratorrechte. Wird das ${TITLE} ausgeführt, beendet Setup es, \
  bevor es seine Dateien ersetzt.$\r$\n$\r$\n$_CLICK"
LangString RunNowText ${LANG_ENGLISH} "Start the ${TITLE} now"
LangString RunNowText ${LANG_GERMAN} "${TITLE} jetzt starten"
LangString OptionsTitle ${LANG_ENGLISH} "Options"
LangString OptionsTitle ${LANG_GERMAN} "Optionen"
LangString OptionsSubtitle ${LANG_ENGLISH} "Choose how the ${TITLE} starts."
LangString OptionsSubtitle ${LANG_GERMAN} "Wählen Sie, wie das ${TITLE} gestartet wird."
LangString LogonExplained ${LANG_ENGLISH} "The ${TITLE} can wait in the notification area \
  of the task bar from the moment a user logs on, ready to open with one click."
LangString LogonExplained ${LANG_GERMAN} "Das ${TITLE} kann ab der Anmeldung eines \
  Benutzers im Infobereich der Taskleiste bereitstehen und mit einem Klick geöffnet werden."
LangString LogonCheckBoxText ${LANG_ENGLISH} \
  "&Start the ${TITLE} in the notification area at log-on"
LangString LogonCheckBoxText ${LANG_GERMAN} \
  "${TITLE} bei der &Anmeldung im Infobereich starten"
LangString OldWindows ${LANG_ENGLISH} "The ${TITLE} needs Windows 7 or later."
LangString OldWindows ${LANG_GERMAN} "Das ${TITLE} benötigt Windows 7 oder höher."
LangString NotAdministrator ${LANG_ENGLISH} \
  "Setup needs administrator rights. Start it again as an administrator."
LangString NotAdministrator ${LANG_GERMAN} \
  "Setup benötigt Administratorrechte. Starten Sie es erneut als Administrator."
LangString BadLogonSwitch ${LANG_ENGLISH} "Use /LOGON=1 or /LOGON=0."
LangString BadLogonSwitch ${LANG_GERMAN} "Verwenden Sie /LOGON=1 oder /LOGON=0."
LangString EndingPanel ${LANG_ENGLISH} "Ending the running ${TITLE}"
LangString EndingPanel ${LANG_GERMAN} "Das ausgeführte ${TITLE} wird beendet"
LangString FileInUse ${LANG_ENGLISH} "$INSTDIR\$0 is in use, for example by an open \
  Control Panel window.$\r$\n$\r$\nClose that program and click Retry, or click Cancel \
  to leave everything as it is."
LangString FileInUse ${LANG_GERMAN} "$INSTDIR\$0 wird verwendet, zum Beispiel von einem \
  geöffneten Fenster der Systemsteuerung.$\r$\n$\r$\nSchließen Sie dieses Programm und \
  klicken Sie auf „Wiederholen“, oder klicken Sie auf „Abbrechen“, um alles unverändert \
  zu lassen."

; Ends the program with a message (none when silent) and an exit code.
!macro Refuse code text
    MessageBox MB_OK|MB_ICONSTOP "${text}" /SD IDOK
    SetErrorLevel ${code}
    Quit
!macroend

; Windows 7 or later, run by an administrator; anything else ends Setup before it changes
; the machine.
!macro CheckSystemFunction prefix
Function ${prefix}CheckSystem
    ${IfNot} ${AtLeastWin7}
        !insertmacro Refuse ${ERROR_OLD_WIN_VERSION} "$(OldWindows)"
    ${EndIf}
    UserInfo::GetAccountType
    Pop $0
    ${If} $0 != "Admin"
        !insertmacro Refuse ${ERROR_ELEVATION_REQUIRED} "$(NotAdministrator)"
    ${EndIf}
    SetShellVarContext all
FunctionEnd
!macroend

; Asks a running panel to quit with "-exit" and waits, bounded, until its process has
; let go of the instance mutex.
!macro EndRunningPanelFunction prefix
Function ${prefix}EndRunningPanel
    FindWindow $0 "" "${TITLE}"
    ${If} $0 = 0
    ${OrIfNot} ${FileExists} "$INSTDIR\Demtrel.exe"
        Return
    ${EndIf}
    DetailPrint "$(EndingPanel)"
    ExecWait '"$INSTDIR\Demtrel.exe" -exit'
    ${For} $1 1 ${END_POLLS}
        System::Call 'kernel32::OpenMutexW(i ${SYNCHRONIZE}, i 0, w "${MUTEX}") p .r2'
        ${If} $2 = 0
            ${Break}
        ${EndIf}
        System::Call 'kernel32::CloseHandle(p r2)'
        Sleep 100
    ${Next}
FunctionEnd
!macroend

; Waits until $INSTDIR\<name on the stack> can be replaced or deleted, or it does not
; exist; if it cannot, offers Retry (Cancel when silent) and ends Setup with
; ERROR_SHARING_VIOLATION on Cancel, before anything was changed. A program that ends
; a moment ago may hold its file a little longer, hence a few short tries first.
!macro WaitFileFreeFunction prefix
Function ${prefix}WaitFileFree
    Exch $0
    Push $1
    Push $2
    ${Do}
        ${For} $1 1 20
            ${IfNot} ${FileExists} "$INSTDIR\$0"
                ${Break}
            ${EndIf}
            ClearErrors
            FileOpen $2 "$INSTDIR\$0" a
            ${IfNot} ${Errors}
                FileClose $2
                ${Break}
            ${EndIf}
            Sleep 100
        ${Next}
        ${If} $1 <= 20
            ${Break}
        ${EndIf}
    ${LoopUntil} ${Cmd} `MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(FileInUse)" \
        /SD IDCANCEL IDCANCEL`
    ${If} $1 > 20
        SetErrorLevel ${ERROR_SHARING_VIOLATION}
        Quit
    ${EndIf}
    Pop $2
    Pop $1
    Pop $0
FunctionEnd
!macroend

; Makes sure no file of the installation is held: the applet and the uninstaller first,
; so that a held applet stops Setup before the panel was ended, then the program.
!macro FreeInstalledFilesFunction prefix
Function ${prefix}FreeInstalledFiles
    Push "Sarvent.cpl"
    Call ${prefix}WaitFileFree
    Push "Uninstall.exe"
    Call ${prefix}WaitFileFree
    Call ${prefix}EndRunningPanel
    Push "Demtrel.exe"
    Call ${prefix}WaitFileFree
FunctionEnd
!macroend

!insertmacro CheckSystemFunction ""
!insertmacro CheckSystemFunction "un."
!insertmacro EndRunningPanelFunction ""
!insertmacro EndRunningPanelFunction "un."
!insertmacro WaitFileFreeFunction ""
!insertmacro WaitFileFreeFunction "un."
!insertmacro FreeInstalledFilesFunction ""
!insertmacro FreeInstalledFilesFunction "un."

Function .onInit
    Call CheckSystem
    ; A first install starts at log-on; an upgrade keeps what was chosen before and
    ; stays in the installed folder, whatever /D= says.
    StrCpy $StartAtLogon 1
    ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $0 != ""
        StrCpy $INSTDIR $0
        ClearErrors
        ReadRegStr $1 HKLM "${RUN_KEY}" "${RUN_VALUE}"
        ${If} ${Errors}
            StrCpy $StartAtLogon 0
        ${EndIf}
    ${EndIf}
    ${GetParameters} $0
    ClearErrors
    ${GetOptions} $0 "/LOGON=" $1
    ${IfNot} ${Errors}
        ${If} $1 != "0"
        ${AndIf} $1 != "1"
            !insertmacro Refuse ${ERROR_INVALID_PARAMETER} "$(BadLogonSwitch)"
        ${EndIf}
        StrCpy $StartAtLogon $1
    ${EndIf}
FunctionEnd

; An upgrade goes where the installed copy is.
Function SkipFolderOnUpgrade
    ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $0 != ""
        Abort
    ${EndIf}
FunctionEnd

Function OptionsPage
    !insertmacro MUI_HEADER_TEXT "$(OptionsTitle)" "$(OptionsSubtitle)"
    nsDialogs::Create 1018
    Pop $0
    ${NSD_CreateLabel} 0 0 100% 24u "$(LogonExplained)"
    Pop $0
    ${NSD_CreateCheckBox} 0 32u 100% 12u "$(LogonCheckBoxText)"
    Pop $LogonCheckBox
    ${If} $StartAtLogon = 1
        ${NSD_Check} $LogonCheckBox
    ${EndIf}
    nsDialogs::Show
FunctionEnd

Function OptionsPageLeave
    ${NSD_GetState} $LogonCheckBox $0
    ${If} $0 = ${BST_CHECKED}
        StrCpy $StartAtLogon 1
    ${Else}
        StrCpy $StartAtLogon 0
    ${EndIf}
FunctionEnd

Section "Install"
    Call FreeInstalledFiles
    SetOutPath "$INSTDIR"
    File "/oname=Demtrel.exe" "${PROGRAM}"
    File "/oname=Sarvent.cpl" "${APPLET}"
    WriteUninstaller "$INSTDIR\Uninstall.exe"

    WriteRegStr HKLM "${CPLS_KEY}" "${CPLS_VALUE}" "$INSTDIR\Sarvent.cpl"
    ${If} $StartAtLogon = 1
        WriteRegStr HKLM "${RUN_KEY}" "${RUN_VALUE}" '"$INSTDIR\Demtrel.exe" -hide'
    ${Else}
        DeleteRegValue HKLM "${RUN_KEY}" "${RUN_VALUE}"
    ${EndIf}
    CreateShortcut "$SMPROGRAMS\${TITLE}.lnk" "$INSTDIR\Demtrel.exe" "" \
        "$INSTDIR\Demtrel.exe" 0 SW_SHOWNORMAL "" "${PRODUCT}"

    ; The type is written whole on every install, so that an upgrade leaves it exactly as
    ; this version makes it, with nothing left over from before. The content type keeps
    ; setup files text to editors and to the shell's "Open with".
    DeleteRegKey HKLM "${PROGID_KEY}"
    WriteRegStr HKLM "${PROGID_KEY}" "" "${TITLE} setup"
    WriteRegStr HKLM "${PROGID_KEY}\DefaultIcon" "" '"$INSTDIR\Demtrel.exe",0'
    WriteRegStr HKLM "${PROGID_KEY}\shell\open\command" "" '"$INSTDIR\Demtrel.exe" -preview "%1"'
    WriteRegStr HKLM "${EXTENSION_KEY}" "" "${PROGID}"
    WriteRegStr HKLM "${EXTENSION_KEY}" "Content Type" "text/plain"
    WriteRegStr HKLM "${EXTENSION_KEY}" "PerceivedType" "text"
    System::Call 'shell32::SHChangeNotify(i ${SHCNE_ASSOCCHANGED}, i ${SHCNF_IDLIST}, p 0, p 0)'

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${COMPANY}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Demtrel.exe,0"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Function un.onInit
    Call un.CheckSystem
FunctionEnd

; Takes away exactly what Setup made; a folder that holds files of the user's stays.
Section "Uninstall"
    Call un.FreeInstalledFiles
    Delete "$INSTDIR\Demtrel.exe"
    Delete "$INSTDIR\Sarvent.cpl"
    Delete "$INSTDIR\Uninstall.exe"
    ; A file deleted while a process that just ended still maps it leaves only once the
    ; system lets go of it, and the folder stays until then: try again for a while. A
    ; folder that holds files of the user's is never empty, and stays.
    ${For} $1 1 ${FOLDER_POLLS}
        RMDir "$INSTDIR"
        ${IfNot} ${FileExists} "$INSTDIR\*.*"
            ${Break}
        ${EndIf}
        Sleep 100
    ${Next}
    Delete "$SMPROGRAMS\${TITLE}.lnk"
    DeleteRegValue HKLM "${CPLS_KEY}" "${CPLS_VALUE}"
    DeleteRegKey /ifempty HKLM "${CPLS_KEY}"
    DeleteRegValue HKLM "${RUN_KEY}" "${RUN_VALUE}"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
    ; The extension is ours to clear only while it still names our type: a program that
    ; took it over since keeps it, with whatever else its key holds.
    DeleteRegKey HKLM "${PROGID_KEY}"
    ReadRegStr $0 HKLM "${EXTENSION_KEY}" ""
    ${If} $0 == "${PROGID}"
        DeleteRegValue HKLM "${EXTENSION_KEY}" ""
        DeleteRegValue HKLM "${EXTENSION_KEY}" "Content Type"
        DeleteRegValue HKLM "${EXTENSION_KEY}" "PerceivedType"
        DeleteRegKey /ifempty HKLM "${EXTENSION_KEY}"
    ${EndIf}
    System::Call 'shell32::SHChangeNotify(i ${SHCNE_ASSOCCHANGED}, i ${SHCNF_IDLIST}, p 0, p 0)'
    ; The panel's own settings, kept for the user who uninstalls.
    DeleteRegKey HKCU "${SETTINGS_KEY}"
    DeleteRegKey /ifempty HKCU "${SETTINGS_PARENT}"
SectionEnd
