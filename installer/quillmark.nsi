; The Quillmark installer: for the current user only, no administrator rights.
;
;   makensis -DIDENTITY=<build folder>/identity.nsh -DPROGRAM_DIR=<folder holding quillmark.exe and readme.txt>
;            -DOUTFILE=<the setup program to write> [-DTARGET=x86-unicode] installer/quillmark.nsi
;
; makensis works in this file's folder: give absolute paths. identity.nsh,
; which the build makes, gives the version and the program's names.
; TARGET is x86-unicode for the program that ships; amd64-unicode wraps a
; 64-bit build for testing where only 64-bit Windows programs can run.
;
; What it promises the user:
;  - it writes quillmark.exe, readme.txt and uninstall.exe into the folder,
;    a Start menu shortcut and the Apps & features entry, and nothing else;
;    stat.dat and DbgFile.dat of an earlier installation stay as they are;
;  - it never ends a running Quillmark (only Exit saves the figures): it asks
;    the user to choose Exit and retry, or cancels; a silent run cancels with
;    exit code 2 and, given /LOG=<file>, adds a line saying why to that file;
;  - the uninstaller keeps stat.dat and its folder unless the user ticks
;    "Also delete my statistics" (a silent uninstall keeps them).

!macro REQUIRE NAME
  !ifndef ${NAME}
    !error "Give -D${NAME}= (see the top of this file)"
  !endif
!macroend
!insertmacro REQUIRE IDENTITY
!include "${IDENTITY}"
!insertmacro REQUIRE PROGRAM_DIR
!insertmacro REQUIRE OUTFILE
!ifndef TARGET
  !define TARGET x86-unicode
!endif
Target ${TARGET}
ManifestDPIAware true
SetCompressor /SOLID lzma

!define EXE "quillmark.exe"
!define UNINSTALLER "uninstall.exe"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
; MAIN_CLASS, the main window's class, exists, shown or hidden, for as long
; as Quillmark runs.
; Exit code of a run that stopped because Quillmark was running.
!define EXIT_RUNNING 2

Name "${PRODUCT}"
Caption "${PRODUCT} ${VERSION} Setup"
UninstallCaption "Uninstall ${PRODUCT}"
BrandingText "${PUBLISHER} ${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
RequestExecutionLevel user
; The program keeps stat.dat beside itself, so its folder must be one the
; user may write to: under Program Files every save would fail.
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
; An update goes where the last installation went.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
ShowInstDetails show
ShowUninstDetails show

!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh
!include nsDialogs.nsh

!define MUI_ICON "../ui/res/quillmark.ico"
!define MUI_UNICON "../ui/res/quillmark.ico"
!define MUI_ABORTWARNING
; Drawn from the About window's logo by make_wizard_art.sh.
!define MUI_WELCOMEFINISHPAGE_BITMAP "wizard.bmp"

!define MUI_WELCOMEPAGE_TEXT "This installs ${PRODUCT} ${VERSION}, which counts your key presses, mouse clicks, mouse travel and typing speed.$\r$\n$\r$\nIt is installed for you alone and needs no administrator rights.$\r$\n$\r$\nIf ${PRODUCT} is installed already, this updates it and keeps your statistics.$\r$\n$\r$\n$_CLICK"
!insertmacro MUI_PAGE_WELCOME
!define MUI_DIRECTORYPAGE_TEXT_TOP "${PRODUCT} keeps your statistics (stat.dat) in the folder it is installed in, so choose a folder you may write to. To update an installation, keep its folder: your statistics stay as they are.$\r$\n$\r$\n$_CLICK"
!define MUI_PAGE_CUSTOMFUNCTION_SHOW DirectoryShow
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE DirectoryLeave
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_TEXT "${PRODUCT} is installed in $INSTDIR. Start it from the Start menu; its Help (readme.txt) tells what the figures mean and how to back them up."
!define MUI_FINISHPAGE_RUN "$INSTDIR\${EXE}"
!define MUI_FINISHPAGE_RUN_TEXT "Start ${PRODUCT}"
!insertmacro MUI_PAGE_FINISH

UninstPage custom un.OptionsPage un.OptionsPageLeave
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "${PUBLISHER} ${PRODUCT}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "Copyright (C) 2026 ${PUBLISHER}"

LangString RunningText ${LANG_ENGLISH} "${PRODUCT} is running.$\r$\n$\r$\nTo keep every figure it has counted, choose Exit in its File menu (or in the menu of its icon beside the clock): it saves your statistics and ends. Then click Retry.$\r$\n$\r$\nCancel stops here without changing anything."
LangString RunningLog ${LANG_ENGLISH} "${PRODUCT} is running (or $INSTDIR\${EXE} is in use): nothing was changed. Choose Exit in ${PRODUCT} and run this again."

; Waiting for Quillmark to end, the same in the installer and the uninstaller.
!macro WAIT_FOR_QUILLMARK UN
  ; Pushes 1 while Quillmark runs in this session, or while the program file
  ; in $INSTDIR cannot be opened for writing (a copy started from there, or
  ; another program holding it); else 0.
  Function ${UN}QuillmarkRunning
    Push $0
    FindWindow $0 "${MAIN_CLASS}"
    ${If} $0 <> 0
      StrCpy $0 1
    ${ElseIf} ${FileExists} "$INSTDIR\${EXE}"
      ClearErrors
      FileOpen $0 "$INSTDIR\${EXE}" a
      ${If} ${Errors}
        StrCpy $0 1
      ${Else}
        FileClose $0
        StrCpy $0 0
      ${EndIf}
    ${Else}
      StrCpy $0 0
    ${EndIf}
    Exch $0
  FunctionEnd

  ; Pushes "ok" once Quillmark has ended, or "cancel" when the user cancels.
  ; A silent run cannot ask: it cancels, and with /LOG=<file> on its command
  ; line it adds a line saying why to that file.
  Function ${UN}WaitForQuillmark
    Push $0
    check:
      Call ${UN}QuillmarkRunning
      Pop $0
      StrCmp $0 0 free
      MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(RunningText)" /SD IDCANCEL IDRETRY check
      DetailPrint "$(RunningLog)"
      Push $1
      Push $2
      ${GetParameters} $1
      ClearErrors
      ${GetOptions} $1 "/LOG=" $2
      ${IfNot} ${Errors}
      ${AndIf} $2 != ""
        FileOpen $1 $2 a
        ${IfNot} ${Errors}
          FileSeek $1 0 END
          FileWrite $1 "$(RunningLog)$\r$\n"
          FileClose $1
        ${EndIf}
      ${EndIf}
      Pop $2
      Pop $1
      StrCpy $0 cancel
      Goto done
    free:
      StrCpy $0 ok
    done:
    Exch $0
  FunctionEnd
!macroend
!insertmacro WAIT_FOR_QUILLMARK ""
!insertmacro WAIT_FOR_QUILLMARK "un."

; --- Installer --------------------------------------------------------------

Function DirectoryShow
  ; The page shows the folder of an earlier installation with a trailing "\":
  ; show it as the user would type it.
  FindWindow $0 "#32770" "" $HWNDPARENT
  GetDlgItem $0 $0 1019
  SendMessage $0 ${WM_SETTEXT} 0 "STR:$INSTDIR"
FunctionEnd

Function DirectoryLeave
  ; Ask before the install page starts, so that Cancel leaves the wizard at once.
  Call WaitForQuillmark
  Pop $0
  ${If} $0 == cancel
    SetErrorLevel ${EXIT_RUNNING}
    Quit
  ${EndIf}
FunctionEnd

Section "-${PRODUCT}" SecProgram
  ; Again here: a silent run has no pages, and the user may have started
  ; Quillmark after leaving the folder page.
  Call WaitForQuillmark
  Pop $0
  ${If} $0 == cancel
    SetErrorLevel ${EXIT_RUNNING}
    Abort
  ${EndIf}

  ; Only these three files: stat.dat and DbgFile.dat are the user's.
  SetOutPath "$INSTDIR"
  File "${PROGRAM_DIR}/${EXE}"
  File "${PROGRAM_DIR}/readme.txt"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"

  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\${EXE}" "" "$INSTDIR\${EXE}" 0 SW_SHOWNORMAL "" "Keyboard and mouse statistics"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${EXE},0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K /G=0" $0 $1 $2
  IntOp $0 $0 + 1  ; whole kilobytes, rounded up
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; --- Uninstaller ------------------------------------------------------------

Var OptionsDialog
Var DeleteStatsBox
Var DeleteStats

Function un.onInit
  StrCpy $DeleteStats 0
FunctionEnd

Function un.OptionsPage
  !insertmacro MUI_HEADER_TEXT "Uninstall ${PRODUCT}" "Remove ${PRODUCT} from your computer."
  nsDialogs::Create 1018
  Pop $OptionsDialog
  ${If} $OptionsDialog == error
    Abort
  ${EndIf}
  ${NSD_CreateLabel} 0 0 100% 24u "${PRODUCT} will be removed from the following folder. Click Uninstall to start."
  Pop $0
  ${NSD_CreateText} 0 28u 100% 12u "$INSTDIR"
  Pop $0
  SendMessage $0 ${EM_SETREADONLY} 1 0
  ${NSD_CreateLabel} 0 52u 100% 32u "Your statistics (stat.dat, the daily history.csv and the history folder) stay in that folder, so that you can keep them or use them with another copy of ${PRODUCT}. Tick the box to delete them too."
  Pop $0
  ${NSD_CreateCheckbox} 0 88u 100% 12u "Also delete my statistics"
  Pop $DeleteStatsBox
  ${If} $DeleteStats = 1
    ${NSD_Check} $DeleteStatsBox
  ${EndIf}
  GetDlgItem $0 $HWNDPARENT 1
  SendMessage $0 ${WM_SETTEXT} 0 "STR:$(^UninstallBtn)"
  nsDialogs::Show
FunctionEnd

Function un.OptionsPageLeave
  ${NSD_GetState} $DeleteStatsBox $0
  ${If} $0 = ${BST_CHECKED}
    StrCpy $DeleteStats 1
  ${Else}
    StrCpy $DeleteStats 0
  ${EndIf}
  Call un.WaitForQuillmark
  Pop $0
  ${If} $0 == cancel
    SetErrorLevel ${EXIT_RUNNING}
    Quit
  ${EndIf}
FunctionEnd

; Deletes the Run value under ROOT when it starts the copy in this folder; a
; value that starts another copy of Quillmark is left alone.
!macro DELETE_RUN_VALUE ROOT
  ClearErrors
  ReadRegStr $0 ${ROOT} "${RUN_KEY}" "${RUN_VALUE}"
  ${IfNot} ${Errors}
    StrLen $1 "$INSTDIR\"
    StrCpy $2 $0 $1
    IntOp $1 $1 + 1
    StrCpy $3 $0 $1
    ${If} $2 == "$INSTDIR\"
    ${OrIf} $3 == '"$INSTDIR\'
      DeleteRegValue ${ROOT} "${RUN_KEY}" "${RUN_VALUE}"
    ${EndIf}
  ${EndIf}
!macroend

Section "Uninstall"
  Call un.WaitForQuillmark
  Pop $0
  ${If} $0 == cancel
    SetErrorLevel ${EXIT_RUNNING}
    Abort
  ${EndIf}

  ; The program first: if it cannot go, everything else stays, entry included,
  ; so that the user can try again.
  ClearErrors
  Delete "$INSTDIR\${EXE}"
  ${If} ${Errors}
    DetailPrint "$INSTDIR\${EXE} cannot be removed: it is in use."
    SetErrorLevel ${EXIT_RUNNING}
    Abort
  ${EndIf}
  Delete "$INSTDIR\readme.txt"
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  !insertmacro DELETE_RUN_VALUE HKCU
  ; A copy in the user's profile registers under HKCU only, but earlier
  ; versions wrote HKLM where the user may write there; where the user may
  ; not, this fails and changes nothing.
  !insertmacro DELETE_RUN_VALUE HKLM
  DeleteRegKey HKCU "${UNINSTALL_KEY}"

  ${If} $DeleteStats = 1
    Delete "$INSTDIR\stat.dat"
    Delete "$INSTDIR\stat.dat.tmp"
    Delete "$INSTDIR\history.csv"
    Delete "$INSTDIR\history.csv.tmp"
    Delete "$INSTDIR\history-damaged-*.csv"
    Delete "$INSTDIR\history.pending"
    Delete "$INSTDIR\history.pending.tmp"
    ; The month files of the history and what a cut-off save left beside them.
    Delete "$INSTDIR\history\????-??-hours.csv"
    Delete "$INSTDIR\history\????-??-hours.csv.tmp"
    Delete "$INSTDIR\history\????-??-hours-damaged-*.csv"
    Delete "$INSTDIR\history\????-??-keys.csv"
    Delete "$INSTDIR\history\????-??-keys.csv.tmp"
    Delete "$INSTDIR\history\????-??-keys-damaged-*.csv"
    Delete "$INSTDIR\history\????-??-programs.csv"
    Delete "$INSTDIR\history\????-??-programs.csv.tmp"
    Delete "$INSTDIR\history\????-??-programs-damaged-*.csv"
    ; The maps of the screen: each month's base and segments.
    Delete "$INSTDIR\history\????-??-screen.map"
    Delete "$INSTDIR\history\????-??-screen.map.tmp"
    Delete "$INSTDIR\history\????-??-screen-??????.map"
    Delete "$INSTDIR\history\????-??-screen-??????.map.tmp"
    Delete "$INSTDIR\history\????-??-screen-??????.new"
    Delete "$INSTDIR\history\????-??-screen-??????.new.tmp"
    RMDir "$INSTDIR\history"
    Delete "$INSTDIR\DbgFile.dat"
    Delete "$INSTDIR\DbgFile.old"
  ${EndIf}
  ; A running copy holds stat.dat.lock, and it is deleted when that copy
  ; ends; none runs now. One left behind (after a crash of the whole
  ; system) holds nothing and goes.
  Delete "$INSTDIR\stat.dat.lock"
  Delete "$INSTDIR\${UNINSTALLER}"
  ; Only an empty folder goes: one still holding stat.dat (or anything else
  ; the user put there) stays.
  RMDir "$INSTDIR"
SectionEnd
