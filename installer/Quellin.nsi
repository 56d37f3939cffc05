; Quellin-Setup.exe: installs Quellin for the current user, without administrator rights.
;
; makensis -DQLN_EXE=... -DGUIDE_DIR=... -DOUT_FILE=... [-DOPTIONS_DLL=...] [-DADDIN_DLL=...]
;          [-DGLINT_DLL=... -DFLAIR_DLL=...]
;          [-DX86_OPTIONS_DLL=... -DX86_ADDIN_DLL=... -DX86_GLINT_DLL=... -DX86_FLAIR_DLL=...] Quellin.nsi
; (installer/CMakeLists.txt passes them; OPTIONS_DLL, ADDIN_DLL, GLINT_DLL and FLAIR_DLL name
; QLNOptions.dll, QuellinAddin.dll, btGlintButton.dll and DorveltFlairButton.dll when the build makes
; them, and File fails the build when a named file is missing.)
;
; The X86_ ones are the same four DLLs built 32-bit (the mingw32 preset), for 32-bit Office: they go
; into $INSTDIR\x86 and are registered by the 32-bit regsvr32 ($WINDIR\SysWOW64\regsvr32.exe),
; whose writes to HKCU\Software\Classes\CLSID land in the registry's 32-bit view (Wow6432Node).
; The ProgIDs and the add-in's Outlook key are shared by both views: 64-bit Outlook loads the
; 64-bit DLLs, 32-bit Outlook the 32-bit ones, under the same names. The installer (64-bit stub, as
; QLN.exe is a 64-bit program) runs on 64-bit Windows only.
;
; Installs into %LOCALAPPDATA%\Quellin, a folder the user may write: the notifier keeps each user's
; sender lists in a folder of the user's name inside it. Writes the install key (QLNPath, Help),
; registers the options page and the add-in for the current user (their own DllRegisterServer run
; by regsvr32, under HKCU\Software\Classes), registers the add-in with Outlook (LoadBehavior 3: load at start-up), adds
; a Start-menu entry and an entry in the user's list of installed programs.
;
; The uninstaller stops a running QLN.exe (it sets the event QLN.exe waits for; it has no window to
; close), removes all of the above, and keeps the user's settings and sender lists unless the user
; ticks the box (or, silent, passes /REMOVESETTINGS).
;
;   Quellin-Setup.exe /S                    silent install
;   uninstall.exe /S [/REMOVESETTINGS]      silent uninstall

Unicode true
Target amd64-unicode
RequestExecutionLevel user
SetCompressor /SOLID lzma
ManifestDPIAware true

!include "LogicLib.nsh"
!include "FileFunc.nsh"

!ifndef QLN_EXE | GUIDE_DIR | OUT_FILE
  !error "QLN_EXE, GUIDE_DIR and OUT_FILE must be defined"
!endif

!define PRODUCT "Quellin"
!define INSTALL_KEY "Software\Korvane\Quellin\Main"
!define OPTIONS_KEY "Software\Korvane\Quellin\Opt"
!define SETTINGS_KEY "Software\Microsoft\Office\Outlook\Addins\QuellinAddin.Settings"
!define ADDIN_PROGID "QuellinAddin.Connect"
!define ADDIN_KEY "Software\Microsoft\Office\Outlook\Addins\${ADDIN_PROGID}"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quellin"
; Held by a running QLN.exe (apps/qln/main.cpp), per logon session.
!define QLN_MUTEX "Local\Quellin.QLN.Instance"
!define QLN_QUIT_EVENT "Local\Quellin.QLN.Quit"

Name "${PRODUCT}"
OutFile "${OUT_FILE}"
InstallDir "$LOCALAPPDATA\${PRODUCT}"
ShowInstDetails show
ShowUninstDetails show

Page instfiles
UninstPage uninstConfirm
UninstPage components
UninstPage instfiles

; Asks this user's QLN.exe to end and waits for it (up to 10 s). It ends as when Outlook goes: the
; notifier's own shutdown, then exit. A notifier still running after that is terminated.
!macro StopNotifier un
Function ${un}StopNotifier
  System::Call 'kernel32::OpenEventW(i 0x0002, i 0, w "${QLN_QUIT_EVENT}") p .r0'
  ${If} $0 P<> 0
    System::Call 'kernel32::SetEvent(p r0)'
    System::Call 'kernel32::CloseHandle(p r0)'
  ${EndIf}
  StrCpy $1 0
  ${Do}
    System::Call 'kernel32::OpenMutexW(i 0x00100000, i 0, w "${QLN_MUTEX}") p .r0'
    ${If} $0 P= 0
      Return
    ${EndIf}
    System::Call 'kernel32::CloseHandle(p r0)'
    ${If} $1 >= 40
      ${ExitDo}
    ${EndIf}
    Sleep 250
    IntOp $1 $1 + 1
  ${Loop}
  DetailPrint "QLN.exe did not end when asked; terminating it."
  nsExec::Exec 'taskkill /F /IM QLN.exe'
  Pop $0
  Sleep 1000
FunctionEnd
!macroend
!insertmacro StopNotifier ""
!insertmacro StopNotifier "un."

; Registers a COM server of the installation for this user (its own DllRegisterServer), in a
; regsvr32 of its own: a DLL loaded into the installer or uninstaller would stay mapped there, and
; the uninstaller could not delete it.
!macro Register dll
  ClearErrors
  ExecWait '"$SYSDIR\regsvr32.exe" /s "$INSTDIR\${dll}"' $0
  ${If} ${Errors}
  ${OrIf} $0 != 0
    Abort "${dll} could not be registered ($0)."
  ${EndIf}
!macroend

; The same for a 32-bit DLL of $INSTDIR\x86, by the 32-bit regsvr32. A 64-bit Windows without its
; 32-bit subsystem (WoW64, which brings SysWOW64\regsvr32.exe) runs no 32-bit Office either: there
; is nothing to register for.
!macro Register32 dll
  ${If} ${FileExists} "$WINDIR\SysWOW64\regsvr32.exe"
    ClearErrors
    ExecWait '"$WINDIR\SysWOW64\regsvr32.exe" /s "$INSTDIR\x86\${dll}"' $0
    ${If} ${Errors}
    ${OrIf} $0 != 0
      Abort "x86\${dll} could not be registered ($0)."
    ${EndIf}
  ${EndIf}
!macroend

; Removes a 32-bit DLL's registration and the DLL.
!macro Unregister32 dll
  ${If} ${FileExists} "$INSTDIR\x86\${dll}"
    ExecWait '"$WINDIR\SysWOW64\regsvr32.exe" /s /u "$INSTDIR\x86\${dll}"'
  ${EndIf}
  Delete /REBOOTOK "$INSTDIR\x86\${dll}"
!macroend

Section "Quellin"
  SetRegView 64
  SetShellVarContext current
  ; An older copy may be running from here: replacing its program needs it gone.
  Call StopNotifier

  SetOutPath "$INSTDIR"
  File "/oname=QLN.exe" "${QLN_EXE}"
!ifdef OPTIONS_DLL
  File "/oname=QLNOptions.dll" "${OPTIONS_DLL}"
!endif
!ifdef ADDIN_DLL
  File "/oname=QuellinAddin.dll" "${ADDIN_DLL}"
!endif
!ifdef GLINT_DLL
  File "/oname=btGlintButton.dll" "${GLINT_DLL}"
!endif
!ifdef FLAIR_DLL
  File "/oname=DorveltFlairButton.dll" "${FLAIR_DLL}"
!endif
!ifdef X86_OPTIONS_DLL & X86_ADDIN_DLL & X86_GLINT_DLL & X86_FLAIR_DLL
  SetOutPath "$INSTDIR\x86"
  File "/oname=QLNOptions.dll" "${X86_OPTIONS_DLL}"
  File "/oname=QuellinAddin.dll" "${X86_ADDIN_DLL}"
  File "/oname=btGlintButton.dll" "${X86_GLINT_DLL}"
  File "/oname=DorveltFlairButton.dll" "${X86_FLAIR_DLL}"
!endif
  SetOutPath "$INSTDIR\guide"
  File "${GUIDE_DIR}\*.html"
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  WriteRegStr HKCU "${INSTALL_KEY}" "QLNPath" "$INSTDIR"
  WriteRegStr HKCU "${INSTALL_KEY}" "Help" "$INSTDIR\guide\index.html"

  ; For 32-bit Office first: where the two registry views are one (Wine keeps a single
  ; HKCU\Software\Classes\CLSID), the 64-bit registrations written after them are what stays.
!ifdef X86_OPTIONS_DLL & X86_ADDIN_DLL & X86_GLINT_DLL & X86_FLAIR_DLL
  !insertmacro Register32 "QLNOptions.dll"
  !insertmacro Register32 "btGlintButton.dll"
  !insertmacro Register32 "DorveltFlairButton.dll"
  !insertmacro Register32 "QuellinAddin.dll"
!endif
!ifdef OPTIONS_DLL
  !insertmacro Register "QLNOptions.dll"
!endif
  ; The button controls, for developers' own forms (guide\developers.html).
!ifdef GLINT_DLL
  !insertmacro Register "btGlintButton.dll"
!endif
!ifdef FLAIR_DLL
  !insertmacro Register "DorveltFlairButton.dll"
!endif
!ifdef ADDIN_DLL
  !insertmacro Register "QuellinAddin.dll"
  WriteRegDWORD HKCU "${ADDIN_KEY}" "LoadBehavior" 3
  WriteRegStr HKCU "${ADDIN_KEY}" "FriendlyName" "Quellin"
  WriteRegStr HKCU "${ADDIN_KEY}" "Description" "Adds the Quellin page to Outlook's options and starts the Quellin new-mail notifier with Outlook."
!endif

  CreateShortcut "$SMPROGRAMS\Quellin.lnk" "$INSTDIR\QLN.exe" "" "$INSTDIR\QLN.exe" 0 SW_SHOWNORMAL "" "Quellin new-mail notifier"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Quellin"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Korvane"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\QLN.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "un.Quellin" SecProgram
  SectionIn RO
  SetRegView 64
  SetShellVarContext current
  Call un.StopNotifier

  ; The DLLs' own unregistration removes exactly their per-user classes.
  ${If} ${FileExists} "$INSTDIR\QuellinAddin.dll"
    ExecWait '"$SYSDIR\regsvr32.exe" /s /u "$INSTDIR\QuellinAddin.dll"'
  ${EndIf}
  ${If} ${FileExists} "$INSTDIR\QLNOptions.dll"
    ExecWait '"$SYSDIR\regsvr32.exe" /s /u "$INSTDIR\QLNOptions.dll"'
  ${EndIf}
  ${If} ${FileExists} "$INSTDIR\btGlintButton.dll"
    ExecWait '"$SYSDIR\regsvr32.exe" /s /u "$INSTDIR\btGlintButton.dll"'
  ${EndIf}
  ${If} ${FileExists} "$INSTDIR\DorveltFlairButton.dll"
    ExecWait '"$SYSDIR\regsvr32.exe" /s /u "$INSTDIR\DorveltFlairButton.dll"'
  ${EndIf}
  ; The 32-bit ones, by the 32-bit regsvr32.
  !insertmacro Unregister32 "QuellinAddin.dll"
  !insertmacro Unregister32 "QLNOptions.dll"
  !insertmacro Unregister32 "btGlintButton.dll"
  !insertmacro Unregister32 "DorveltFlairButton.dll"
  RMDir "$INSTDIR\x86"
  DeleteRegKey HKCU "${ADDIN_KEY}"
  DeleteRegKey HKCU "${INSTALL_KEY}"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  Delete "$SMPROGRAMS\Quellin.lnk"

  ; A DLL Outlook still holds goes at the next restart of Windows.
  Delete /REBOOTOK "$INSTDIR\QuellinAddin.dll"
  Delete /REBOOTOK "$INSTDIR\QLNOptions.dll"
  Delete /REBOOTOK "$INSTDIR\btGlintButton.dll"
  Delete /REBOOTOK "$INSTDIR\DorveltFlairButton.dll"
  Delete /REBOOTOK "$INSTDIR\QLN.exe"
  Delete "$INSTDIR\guide\*.html"
  RMDir "$INSTDIR\guide"
  Delete "$INSTDIR\uninstall.exe"
SectionEnd

Section /o "un.Also remove my Quellin settings and sender lists" SecSettings
  SetRegView 64
  DeleteRegKey HKCU "${SETTINGS_KEY}"
  DeleteRegKey HKCU "${OPTIONS_KEY}"
  ; The sender lists live in a folder of each user's name inside the installation folder.
  RMDir /r "$INSTDIR"
SectionEnd

Section "-un.Finish"
  SetRegView 64
  DeleteRegKey /ifempty HKCU "Software\Korvane\Quellin"
  DeleteRegKey /ifempty HKCU "Software\Korvane"
  RMDir "$INSTDIR"
SectionEnd

; Outlook holds the page and the add-in while it runs: replacing or removing them wants it closed.
; Silent runs go on (a DLL still held is replaced or removed at the next restart of Windows).
!macro AskToCloseOutlook un
Function ${un}AskToCloseOutlook
  retry:
    FindWindow $0 "rctrl_renwnd32"
    StrCmp $0 0 done
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "Please close Microsoft Outlook, then press Retry.$\n$\nOutlook keeps Quellin's add-in loaded while it runs." /SD IDCANCEL IDRETRY retry
    IfSilent done
    Abort
  done:
FunctionEnd
!macroend
!insertmacro AskToCloseOutlook ""
!insertmacro AskToCloseOutlook "un."

Function .onInit
  Call AskToCloseOutlook
FunctionEnd

Function un.onInit
  Call un.AskToCloseOutlook
  ${un.GetParameters} $0
  ClearErrors
  ${un.GetOptions} $0 "/REMOVESETTINGS" $1
  ${IfNot} ${Errors}
    SectionSetFlags ${SecSettings} ${SF_SELECTED}
  ${EndIf}
FunctionEnd
