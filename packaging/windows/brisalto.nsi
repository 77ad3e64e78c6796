; The Windows installer: brisalto.exe (and the console program, when built) for the current user,
; without administrator rights; a Start menu entry, an entry in the installed programs, and
; Brisalto offered for .tap and .tzx files. tools/package-windows runs it:
;   makensis -DVERSION=1.0.0.3 -DSTAGE=<folder> -DICON=<brisalto.ico> -DOUTFILE=<setup.exe> brisalto.nsi
; where the folder holds brisalto.exe, SETUP.txt (the read-me page) and the licenses folder
; (COPYING.txt, the first page, and the licence texts of what the program holds), and
; brisalto-tape.exe with -DCONSOLE.
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh

!define PRODUCT "Brisalto"
!define PUBLISHER "The Brisalto authors"
!define PROGID "Brisalto.Tape"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Brisalto"
!define CLASSES "Software\Classes"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Brisalto"
; A second install goes where the first one went.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
ShowInstDetails nevershow
ShowUninstDetails nevershow
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "FileDescription" "${PRODUCT} ${VERSION} Setup"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "LegalCopyright" "Copyright (C) 2010-2026 ${PUBLISHER}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING

; The GPL first, as free programs' installers show it: it asks nothing of whoever installs.
!define MUI_PAGE_HEADER_TEXT "Licence"
!define MUI_PAGE_HEADER_SUBTEXT "Brisalto is free software under the GNU General Public License."
!define MUI_LICENSEPAGE_TEXT_TOP "Press Page Down to see the rest of the licence."
!define MUI_LICENSEPAGE_TEXT_BOTTOM "You need not accept this licence to install or use Brisalto: it is what lets you copy, change and pass Brisalto on. Press Next to go on."
!define MUI_LICENSEPAGE_BUTTON "$(^NextBtn)"
!insertmacro MUI_PAGE_LICENSE "${STAGE}\licenses\COPYING.txt"
; Then the read-me: what Brisalto is and what this setup does.
!define MUI_PAGE_HEADER_TEXT "Read Me"
!define MUI_PAGE_HEADER_SUBTEXT "What Brisalto is and what this setup does."
!define MUI_LICENSEPAGE_TEXT_TOP "Press Page Down to see the rest."
!define MUI_LICENSEPAGE_TEXT_BOTTOM "Press Next to choose where to install Brisalto."
!define MUI_LICENSEPAGE_BUTTON "$(^NextBtn)"
!insertmacro MUI_PAGE_LICENSE "${STAGE}\SETUP.txt"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\brisalto.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Run Brisalto"
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

; Brisalto joins the programs offered for the type. It becomes the type's default only where no
; program holds one, so that a double click opens the tape; a default someone has is left to the
; user to change ("Open with", "Choose another app").
!macro OfferForType EXTENSION
    WriteRegNone HKCU "${CLASSES}\${EXTENSION}\OpenWithProgids" "${PROGID}"
    ReadRegStr $0 HKCR "${EXTENSION}" ""
    ${If} $0 == ""
        WriteRegStr HKCU "${CLASSES}\${EXTENSION}" "" "${PROGID}"
    ${EndIf}
!macroend

; Takes back what OfferForType wrote, and the keys only when nothing else is left in them.
!macro WithdrawFromType EXTENSION
    DeleteRegValue HKCU "${CLASSES}\${EXTENSION}\OpenWithProgids" "${PROGID}"
    DeleteRegKey /ifnosubkeys /ifnovalues HKCU "${CLASSES}\${EXTENSION}\OpenWithProgids"
    ReadRegStr $0 HKCU "${CLASSES}\${EXTENSION}" ""
    ${If} $0 == "${PROGID}"
        DeleteRegValue HKCU "${CLASSES}\${EXTENSION}" ""
    ${EndIf}
    DeleteRegKey /ifnosubkeys /ifnovalues HKCU "${CLASSES}\${EXTENSION}"
!macroend

!define SHCNE_ASSOCCHANGED 0x08000000

Section
    SetShellVarContext current
    SetOutPath "$INSTDIR"
    File "${STAGE}\brisalto.exe"
!ifdef CONSOLE
    File "${STAGE}\brisalto-tape.exe"
!endif
    SetOutPath "$INSTDIR\licenses"
    File /r "${STAGE}\licenses\*"
    SetOutPath "$INSTDIR"
    WriteUninstaller "$INSTDIR\uninstall.exe"

    CreateShortcut "$SMPROGRAMS\Brisalto.lnk" "$INSTDIR\brisalto.exe" "" "$INSTDIR\brisalto.exe" 0

    WriteRegStr HKCU "${CLASSES}\${PROGID}" "" "ZX Spectrum tape image"
    WriteRegStr HKCU "${CLASSES}\${PROGID}\DefaultIcon" "" "$INSTDIR\brisalto.exe,0"
    WriteRegStr HKCU "${CLASSES}\${PROGID}\shell\open" "FriendlyAppName" "${PRODUCT}"
    WriteRegStr HKCU "${CLASSES}\${PROGID}\shell\open\command" "" '"$INSTDIR\brisalto.exe" "%1"'
    !insertmacro OfferForType ".tap"
    !insertmacro OfferForType ".tzx"

    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\brisalto.exe,0"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "URLInfoAbout" "https://brisalto.org/"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0

    System::Call 'shell32::SHChangeNotify(i ${SHCNE_ASSOCCHANGED}, i 0, p 0, p 0)'
SectionEnd

; Only the files the installer wrote: the folder goes only when that leaves it empty, since the
; user may have chosen one that holds other files.
Section "Uninstall"
    SetShellVarContext current
    Delete "$INSTDIR\brisalto.exe"
!ifdef CONSOLE
    Delete "$INSTDIR\brisalto-tape.exe"
!endif
    Delete "$INSTDIR\uninstall.exe"
    ; The installer's own folder: everything in it came with the installer.
    RMDir /r "$INSTDIR\licenses"
    RMDir "$INSTDIR"
    Delete "$SMPROGRAMS\Brisalto.lnk"

    !insertmacro WithdrawFromType ".tap"
    !insertmacro WithdrawFromType ".tzx"
    DeleteRegKey HKCU "${CLASSES}\${PROGID}"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"

    System::Call 'shell32::SHChangeNotify(i ${SHCNE_ASSOCCHANGED}, i 0, p 0, p 0)'
SectionEnd
