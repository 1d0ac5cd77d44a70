; Installer of the sun clock: umbravue-setup.exe.
;
;   makensis -DBINDIR=<folder of umbravue.exe, uvdll.dll, globepix.dll, uvlaunch.exe>
;            -DVERSION=<A.B.C.D, the project() version of CMakeLists.txt>
;            [-DDOCDIR=<folder of license.txt, quirks.txt>] [-DARTDIR=<folder of icon128.ico>]
;            [-DOUTFILE=<installer path>] [-DTARGET=amd64-unicode] umbravue.nsi
;
; The shipped installer is the 32-bit one of the 32-bit program files. With
; TARGET=amd64-unicode it installs 64-bit program files as a 64-bit program;
; that variant exists so the installer can be tested where 32-bit code cannot
; run.
;
; Command line: /S silent; /D=<folder> install folder (last, unquoted);
; /LAUNCH with /S starts the program at the end (the finish page offers it
; otherwise). Either way the desktop's shell starts it (StartProgram).

!ifndef BINDIR
  !error "define BINDIR, the folder of the program files"
!endif
!ifndef VERSION
  !error "define VERSION, the program's four-number version"
!endif
; What the user reads is the first two numbers.
!searchparse /noerrors "${VERSION}" "" VERSION_MAJOR "." VERSION_MINOR "."
!ifndef VERSION_MINOR
  !error "VERSION must read A.B.C.D, not ${VERSION}"
!endif
!define SHORT_VERSION "${VERSION_MAJOR}.${VERSION_MINOR}"
!ifndef DOCDIR
  !define DOCDIR "."
!endif
!ifndef OUTFILE
  !define OUTFILE "umbravue-setup.exe"
!endif
!ifndef TARGET
  !define TARGET "x86-unicode"
!endif

Target ${TARGET}
SetCompressor /SOLID lzma

!define PRODUCT "Umbravue"
!define PUBLISHER "the Umbravue developers"
!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Umbravue"
!define STAGING ".setup-new"
; Ten rounds a second: how long a running copy gets to save and quit.
!define CLOSE_ROUNDS 150

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"
!include "WinMessages.nsh"
!include "WinVer.nsh"

Name "${PRODUCT}"
Caption "${PRODUCT} ${SHORT_VERSION} Setup"
UninstallCaption "${PRODUCT} ${SHORT_VERSION} Uninstall"
BrandingText "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
!if "${TARGET}" == "amd64-unicode"
  InstallDir "$PROGRAMFILES64\Umbravue Sun Clock"
!else
  InstallDir "$PROGRAMFILES\Umbravue Sun Clock"
!endif
InstallDirRegKey HKLM "${UNINST_KEY}" "InstallLocation"
RequestExecutionLevel admin
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}"
VIFileVersion "${VERSION}"

!ifdef ARTDIR
  !define MUI_ICON "${ARTDIR}/icon128.ico"
  !define MUI_UNICON "${ARTDIR}/icon128.ico"
!endif
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Start ${PRODUCT} now"
!define MUI_FINISHPAGE_RUN_FUNCTION StartProgram
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\quirks.txt"
!define MUI_FINISHPAGE_SHOWREADME_TEXT "Show the known quirks"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${DOCDIR}/license.txt"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "Copyright (c) 2026 ${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "${PRODUCT} (sun clock) setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${SHORT_VERSION}"

; Asks a running controller to quit, the way its own "uninstall" command
; does: WM_CLOSE to its window, which saves the settings and then releases
; the mutex. The wait is bounded; after it the user may retry or give up.
; Leaves "1" on the stack when none runs any more, "0" when the user gave up.
!macro DEFINE_CLOSE_CONTROLLER un
Function ${un}CloseRunningController
  Push $R0
  Push $R1
  Push $R2
  StrCpy $R0 0
  ${Do}
    FindWindow $R1 "#32770" "${PRODUCT}"
    ${If} $R1 <> 0
      SendMessage $R1 ${WM_CLOSE} 0 0 /TIMEOUT=2000
    ${EndIf}
    System::Call 'kernel32::OpenMutexW(i 0x00100000, i 0, w "UmbravueInnoSetupMutex") p .R2'
    ${If} $R2 P<> 0
      System::Call 'kernel32::CloseHandle(p R2)'
    ${EndIf}
    ${If} $R1 = 0
    ${AndIf} $R2 P= 0
      StrCpy $R0 "done"
      ${Break}
    ${EndIf}
    IntOp $R0 $R0 + 1
    ${If} $R0 >= ${CLOSE_ROUNDS}
      MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
        "${PRODUCT} is still running and did not quit when asked.$\r$\n$\r$\nQuit it (right click its notification icon, then Quit) and press Retry, or press Cancel to stop." \
        /SD IDCANCEL IDRETRY +3
      StrCpy $R0 "gave up"
      ${Break}
      StrCpy $R0 0
    ${EndIf}
    Sleep 100
  ${Loop}
  ${If} $R0 == "done"
    StrCpy $R0 1
  ${Else}
    StrCpy $R0 0
  ${EndIf}
  Pop $R2
  Pop $R1
  Exch $R0
FunctionEnd
!macroend
!insertmacro DEFINE_CLOSE_CONTROLLER ""
!insertmacro DEFINE_CLOSE_CONTROLLER "un."

; The installer runs elevated, perhaps as an administrator who is not the
; desktop's user. The program must run as that user, at normal integrity:
; with the installer's token it would keep and put back the administrator's
; wallpaper on the user's desktop, claim the administrator's copy, and be out
; of reach of the user's later starts and of the shell. So the desktop's
; shell starts it (uvlaunch.exe). Without a shell to ask it is started here
; only where there is no elevation (before Vista); otherwise the user is
; told to start it from the Start menu.
Function StartProgram
  InitPluginsDir
  SetOutPath "$PLUGINSDIR"
  File "${BINDIR}/uvlaunch.exe"
  SetOutPath "$INSTDIR"
  ClearErrors
  ExecWait '"$PLUGINSDIR\uvlaunch.exe" "$INSTDIR\umbravue.exe" "$INSTDIR"' $0
  ${If} ${Errors}
    StrCpy $0 1
  ${EndIf}
  ${If} $0 != 0
    ${IfNot} ${AtLeastWinVista}
      Exec '"$INSTDIR\umbravue.exe"'
    ${Else}
      MessageBox MB_OK|MB_ICONINFORMATION \
        "${PRODUCT} could not be started for you from here. Start it from the Start menu." /SD IDOK
    ${EndIf}
  ${EndIf}
FunctionEnd

; The files are first unpacked into a staging folder beside their place and
; then swapped in by renames: every file is always either the old or the new
; one, never a half-written one, and a failed swap puts the old ones back.
!define FILES "umbravue.exe uvdll.dll globepix.dll license.txt quirks.txt"

; Moves $0 out of the way as $0.old; sets $R9 to 1 when that fails.
Function SetAside
  ${If} ${FileExists} "$INSTDIR\$0"
    Delete "$INSTDIR\$0.old"
    ClearErrors
    Rename "$INSTDIR\$0" "$INSTDIR\$0.old"
    ${If} ${Errors}
      StrCpy $R9 1
    ${EndIf}
  ${EndIf}
FunctionEnd

; Moves the staged $0 into place; sets $R9 to 1 when that fails.
Function PutInPlace
  ClearErrors
  Rename "$INSTDIR\${STAGING}\$0" "$INSTDIR\$0"
  ${If} ${Errors}
    StrCpy $R9 1
  ${EndIf}
FunctionEnd

; Undoes SetAside and PutInPlace for $0.
Function PutBack
  ${IfNot} ${FileExists} "$INSTDIR\${STAGING}\$0"
    Delete "$INSTDIR\$0"
  ${EndIf}
  ${If} ${FileExists} "$INSTDIR\$0.old"
    Rename "$INSTDIR\$0.old" "$INSTDIR\$0"
  ${EndIf}
FunctionEnd

; A file still loaded elsewhere (the hook library in the desktop's process)
; can be renamed but not deleted: it goes at the next restart.
Function DropOld
  Delete /REBOOTOK "$INSTDIR\$0.old"
FunctionEnd

!macro FOR_EACH_FILE FUNC
  StrCpy $0 "umbravue.exe"
  Call ${FUNC}
  StrCpy $0 "uvdll.dll"
  Call ${FUNC}
  StrCpy $0 "globepix.dll"
  Call ${FUNC}
  StrCpy $0 "license.txt"
  Call ${FUNC}
  StrCpy $0 "quirks.txt"
  Call ${FUNC}
!macroend

; The program files are built for processors with SSE2 and would stop with an
; illegal instruction on an older one. Windows 2000 does not report SSE2 at
; all; there the program checks for itself. UV_TEST_NO_SSE2 builds an
; installer that believes the processor lacks it, for the tests.
Function .onInit
  ${If} ${AtLeastWinXP}
!ifdef UV_TEST_NO_SSE2
    StrCpy $0 0
!else
    System::Call 'kernel32::IsProcessorFeaturePresent(i 10) i .r0'
!endif
    ${If} $0 = 0
      MessageBox MB_OK|MB_ICONSTOP \
        "${PRODUCT} needs a processor with SSE2 (Pentium 4, Athlon 64 or later). This computer's processor does not have it, so ${PRODUCT} cannot run here.$\r$\n$\r$\nNothing was installed." \
        /SD IDOK
      Abort
    ${EndIf}
  ${EndIf}
!if "${TARGET}" == "amd64-unicode"
  SetRegView 64
!endif
FunctionEnd

Function un.onInit
!if "${TARGET}" == "amd64-unicode"
  SetRegView 64
!endif
FunctionEnd

Section "${PRODUCT}" SecProgram
  SectionIn RO
  SetShellVarContext all

  DetailPrint "Asking a running ${PRODUCT} to quit..."
  Call CloseRunningController
  Pop $0
  ${If} $0 != 1
    Abort "${PRODUCT} is still running; nothing was changed."
  ${EndIf}

  ; Unpack everything first; nothing in place has been touched if this fails.
  RMDir /r "$INSTDIR\${STAGING}"
  SetOverwrite on
  ClearErrors
  SetOutPath "$INSTDIR\${STAGING}"
  File "${BINDIR}/umbravue.exe"
  File "${BINDIR}/uvdll.dll"
  File "${BINDIR}/globepix.dll"
  File "${DOCDIR}/license.txt"
  File "${DOCDIR}/quirks.txt"
  ${If} ${Errors}
    SetOutPath "$TEMP"
    RMDir /r "$INSTDIR\${STAGING}"
    Abort "Could not unpack the files into $INSTDIR; nothing was changed."
  ${EndIf}
  SetOutPath "$INSTDIR"

  StrCpy $R9 0
  !insertmacro FOR_EACH_FILE SetAside
  ${If} $R9 = 0
    !insertmacro FOR_EACH_FILE PutInPlace
  ${EndIf}
  ${If} $R9 <> 0
    !insertmacro FOR_EACH_FILE PutBack
    RMDir /r "$INSTDIR\${STAGING}"
    Abort "A file in $INSTDIR is in use; the previous files were kept."
  ${EndIf}
  !insertmacro FOR_EACH_FILE DropOld
  RMDir "$INSTDIR\${STAGING}"

  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateDirectory "$SMPROGRAMS\${PRODUCT}"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk" "$INSTDIR\umbravue.exe"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\Uninstall ${PRODUCT}.lnk" "$INSTDIR\uninstall.exe"

  WriteRegStr HKLM "${UNINST_KEY}" "DisplayName" "${PRODUCT} Sun Clock"
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINST_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayIcon" "$INSTDIR\umbravue.exe,0"
  WriteRegStr HKLM "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINST_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINST_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINST_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINST_KEY}" "EstimatedSize" $0

  ${If} ${Silent}
    ${GetParameters} $0
    ClearErrors
    ${GetOptions} $0 "/LAUNCH" $1
    ${IfNot} ${Errors}
      Call StartProgram
    ${EndIf}
  ${EndIf}
SectionEnd

Section "Uninstall"
  SetShellVarContext all

  DetailPrint "Asking a running ${PRODUCT} to quit..."
  Call un.CloseRunningController
  Pop $0
  ${If} $0 != 1
    Abort "${PRODUCT} is still running; nothing was removed."
  ${EndIf}

  ; The program's own uninstall command removes the settings and the
  ; start-with-Windows entry of the current user.
  ${If} ${FileExists} "$INSTDIR\umbravue.exe"
    DetailPrint "Removing the settings..."
    ExecWait '"$INSTDIR\umbravue.exe" uninstall'
  ${EndIf}

  !insertmacro FOR_EACH_FILE un.DropFile
  Delete "$INSTDIR\uninstall.exe"
  RMDir /r "$INSTDIR\${STAGING}"
  RMDir /REBOOTOK "$INSTDIR"

  Delete "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\Uninstall ${PRODUCT}.lnk"
  RMDir "$SMPROGRAMS\${PRODUCT}"

  DeleteRegKey HKLM "${UNINST_KEY}"
SectionEnd

Function un.DropFile
  Delete /REBOOTOK "$INSTDIR\$0"
  Delete /REBOOTOK "$INSTDIR\$0.old"
FunctionEnd
