; The Tessmark installer, built by scripts/windows.sh:
;   makensis -DVERSION=2.0.0 -DSOURCE=<portable folder> -DICON=<.ico>
;            -DLICENSE=<LICENSE> -DOUTFILE=<setup.exe> installer.nsi
; It installs for the current user, without administrator rights, into
; %LOCALAPPDATA%\Programs\Tessmark; /S installs (and uninstalls) silently.
; .odf files get Tessmark in "Open with", never as their default program:
; the extension also names OpenDocument formulas.
; A 64-bit installer for a 64-bit program; it runs where the program runs,
; also under a Wine without 32-bit support.
Target amd64-unicode
SetCompressor /SOLID lzma

!include "MUI2.nsh"
!include "FileFunc.nsh"

!define PRODUCT "Tessmark"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tessmark"
!define PROGID "Tessmark.odf"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
InstallDirRegKey HKCU "Software\${PRODUCT}" "InstallDir"
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "FileDescription" "${PRODUCT} ${VERSION} Setup"
VIAddVersionKey "LegalCopyright" "GNU General Public License, version 3 or later"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\tessmark.exe"
!insertmacro MUI_PAGE_LICENSE "${LICENSE}"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Section "Tessmark"
    SetOutPath "$INSTDIR"
    ; The folder's files, and what the uninstaller removes, one by one: the
    ; installation folder may hold files of the user's.
    !include "${SOURCE}/../installer-files.nsh"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    WriteRegStr HKCU "Software\${PRODUCT}" "InstallDir" "$INSTDIR"

    CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\tessmark.exe"

    ; "Open with": a program id of its own, offered for .odf, and the
    ; program's own entry; the extension's default stays as it was.
    WriteRegStr HKCU "Software\Classes\${PROGID}" "" "ODF unit definition"
    WriteRegStr HKCU "Software\Classes\${PROGID}\DefaultIcon" "" "$INSTDIR\tessmark.exe,0"
    WriteRegStr HKCU "Software\Classes\${PROGID}\shell\open\command" "" '"$INSTDIR\tessmark.exe" "%1"'
    WriteRegStr HKCU "Software\Classes\.odf\OpenWithProgids" "${PROGID}" ""
    WriteRegStr HKCU "Software\Classes\Applications\tessmark.exe" "FriendlyAppName" "${PRODUCT}"
    WriteRegStr HKCU "Software\Classes\Applications\tessmark.exe\SupportedTypes" ".odf" ""
    WriteRegStr HKCU "Software\Classes\Applications\tessmark.exe\shell\open\command" "" '"$INSTDIR\tessmark.exe" "%1"'

    ; Listed among the installed apps.
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Tessmark maintainers"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\tessmark.exe,0"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0

    ; Explorer reads the file associations again.
    System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd

Section "Uninstall"
    !include "${SOURCE}/../uninstaller-files.nsh"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    Delete "$SMPROGRAMS\${PRODUCT}.lnk"

    DeleteRegKey HKCU "Software\Classes\${PROGID}"
    DeleteRegValue HKCU "Software\Classes\.odf\OpenWithProgids" "${PROGID}"
    DeleteRegKey /ifempty HKCU "Software\Classes\.odf\OpenWithProgids"
    DeleteRegKey /ifempty HKCU "Software\Classes\.odf"
    DeleteRegKey HKCU "Software\Classes\Applications\tessmark.exe"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
    DeleteRegKey HKCU "Software\${PRODUCT}"

    System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd
