; The setup program of Vantorel: a 64-bit installer that asks for elevation, puts the module
; into Program Files\Vantorel, registers it (and, when chosen, the helper object that shows the
; toolbar), and writes the Apps & features entry. Its uninstaller takes all of that away and
; leaves each user's settings and history.
; makensis -DVERSION=2.1 -DMODULE=...\Vantorel.dll -DCOMPANY=... -DCOPYRIGHT=... -DICON=...\select.ico
;          -DGUIDE_JA=...\guide.ja.html -DGUIDE_EN=...\guide.en.html -DLICENSE=... -DOUTFILE=... vantorel.nsi
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

; Signing (make dist): SIGN is the command that signs a file in place, or leaves it unsigned when
; no key is given. It signs the uninstaller before it is packed (and leaves a copy of it as packed
; at UNINSTALLER), then the setup program once it is written.
!ifdef SIGN
  !uninstfinalize '${SIGN} "%1" "${UNINSTALLER}"' = 0
  !finalize '${SIGN} "%1"' = 0
!endif

!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Vantorel"
!define REGSVR32 '"$SYSDIR\regsvr32.exe" /s'

Name "Vantorel ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Vantorel"
BrandingText "Vantorel ${VERSION}"
VIProductVersion "${VERSION}.0.0"
VIAddVersionKey ProductName "Vantorel"
VIAddVersionKey CompanyName "${COMPANY}"
VIAddVersionKey ProductVersion "${VERSION}"
VIAddVersionKey FileVersion "${VERSION}"
VIAddVersionKey FileDescription "Vantorel setup"
VIAddVersionKey LegalCopyright "${COPYRIGHT}"

Var FinishText
Var WindowsBuild  ; Windows' build number: 26100 and later have no toolbar area by default

; The product's icon (the Select mode glyph) on the setup program and on its uninstaller, which
; Apps & features shows.
!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_FINISHPAGE_TEXT "$FinishText"
; What was done and, below it, where the diagnosis is: more than the page's usual three lines.
!define MUI_FINISHPAGE_TEXT_LARGE
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\$(GuideFile)"
!define MUI_FINISHPAGE_SHOWREADME_TEXT "$(ShowGuide)"
!insertmacro MUI_PAGE_LICENSE "${LICENSE}"
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!addincludedir "${__FILEDIR__}"
!include /CHARSET=UTF8 "languages.nsh"

Section "$(SecModuleName)" SecModule
  SectionIn RO
  SetRegView 64
  SetOutPath "$INSTDIR"
  ; Explorer may still have an older module loaded: a loaded file can be renamed, not replaced.
  ${If} ${FileExists} "$INSTDIR\Vantorel.dll"
    Delete "$INSTDIR\Vantorel.dll.old"
    Rename "$INSTDIR\Vantorel.dll" "$INSTDIR\Vantorel.dll.old"
    Delete /REBOOTOK "$INSTDIR\Vantorel.dll.old"
  ${EndIf}
  File "/oname=Vantorel.dll" "${MODULE}"
  ; A README.md of an earlier version gives way to the guides.
  Delete "$INSTDIR\README.md"
  File "/oname=guide.ja.html" "${GUIDE_JA}"
  File "/oname=guide.en.html" "${GUIDE_EN}"
  File "/oname=LICENSE.txt" "${LICENSE}"
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  ; The Start menu's folder for every user, with the guide in the language of the setup.
  SetShellVarContext all
  CreateDirectory "$SMPROGRAMS\Vantorel"
  CreateShortCut "$SMPROGRAMS\Vantorel\$(GuideShortcut).lnk" "$INSTDIR\$(GuideFile)"
  ExecWait '${REGSVR32} "$INSTDIR\Vantorel.dll"' $0
  ${If} $0 != 0
    MessageBox MB_ICONSTOP "$(RegisterFailed)" /SD IDOK
    SetErrorLevel 2
    Abort
  ${EndIf}
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Vantorel"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${COMPANY}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  ; The uninstaller carries the product's icon (MUI_UNICON).
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Uninstall.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $1 $2 $3
  IntFmt $1 "0x%08X" $1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $1
  ; Windows 11 24H2 (build 26100) and later keep Explorer's toolbar area hidden: the band then shows
  ; in a box of its own, which the helper object registered by the next section makes.
  ReadRegStr $WindowsBuild HKLM "SOFTWARE\Microsoft\Windows NT\CurrentVersion" "CurrentBuildNumber"
  ${If} $WindowsBuild >= 26100
    StrCpy $FinishText "$(FinishNoArea)"
  ${ElseIf} $WindowsBuild >= 22000
    ; Windows 11 up to 23H2: a toolbar area, but no menu that turns toolbars on.
    StrCpy $FinishText "$(FinishNoViewMenu)"
  ${Else}
    StrCpy $FinishText "$(FinishViewMenu)"
  ${EndIf}
SectionEnd

Section "$(SecShowName)" SecShow
  ExecWait '${REGSVR32} /n /i:show "$INSTDIR\Vantorel.dll"' $0
  ${If} $0 != 0
    MessageBox MB_ICONEXCLAMATION "$(ShowFailed)" /SD IDOK
  ${ElseIf} $WindowsBuild >= 26100
    StrCpy $FinishText "$(FinishBox)"
  ${Else}
    StrCpy $FinishText "$(FinishShown)"
  ${EndIf}
SectionEnd

; The diagnosis for when nothing appears: a Start menu entry for every user that shows its
; report (rundll32 ...\Vantorel.dll,Diagnose), named on the finish page.
!define DIAGNOSIS_LINK "$SMPROGRAMS\Vantorel ${U+306E}${U+8A3A}${U+65AD}.lnk"
Section "-Diagnosis"
  SetShellVarContext all
  CreateShortCut "${DIAGNOSIS_LINK}" "$SYSDIR\rundll32.exe" '"$INSTDIR\Vantorel.dll",Diagnose' "$INSTDIR\Uninstall.exe" 0
  SetShellVarContext current
  StrCpy $FinishText "$FinishText$\r$\n$\r$\n$(FinishDiagnosis)"
SectionEnd

Section "-un.Diagnosis"
  SetShellVarContext all
  Delete "${DIAGNOSIS_LINK}"
  SetShellVarContext current
SectionEnd

Section "Uninstall"
  SetRegView 64
  ExecWait '${REGSVR32} /u "$INSTDIR\Vantorel.dll"'
  ; A module that Explorer still has loaded goes when Windows restarts.
  Delete /REBOOTOK "$INSTDIR\Vantorel.dll"
  Delete /REBOOTOK "$INSTDIR\Vantorel.dll.old"
  Delete "$INSTDIR\README.md"
  Delete "$INSTDIR\guide.ja.html"
  Delete "$INSTDIR\guide.en.html"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\Uninstall.exe"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  ; The Start menu's folder is the setup's own, whatever language its entries were made in.
  SetShellVarContext all
  RMDir /r "$SMPROGRAMS\Vantorel"
  ; Settings and history that were written beside the module (a folder somebody made writable)
  ; stay, and with them the folder.
  ${If} ${RebootFlag}
    RMDir /REBOOTOK "$INSTDIR"
    DetailPrint "$(RemovedAtRestart)"
  ${Else}
    RMDir "$INSTDIR"
  ${EndIf}
SectionEnd
