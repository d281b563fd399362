; The Windows installer of Pelvanta, made by scripts/package-windows.sh, which
; defines VERSION, OUTFILE, ICON and LISTS (the folder of install.nsh and
; uninstall.nsh: one line per file of the installed tree).
;
; Installs for the current user alone, without administrator rights; the
; uninstaller removes every file the installer wrote and nothing else, so
; opponent archives the player keeps in the folder stay.

; A 64-bit installer, like the program: it runs where the game can.
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Pelvanta"

Name "Pelvanta"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Pelvanta"
Icon "${ICON}"
UninstallIcon "${ICON}"
VIProductVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=1049 "ProductName" "Pelvanta"
VIAddVersionKey /LANG=1049 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1049 "FileDescription" "Pelvanta"
VIAddVersionKey /LANG=1049 "FileVersion" "${VERSION}"

!include "MUI2.nsh"
!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\pelvanta.exe"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Russian"

Section "Pelvanta"
    SetShellVarContext current
    !include "${LISTS}\install.nsh"
    WriteUninstaller "$INSTDIR\Uninstall.exe"

    ; The shortcut starts the game in its own folder, which holds no
    ; archives, so the game plays the installed gallery.
    SetOutPath "$INSTDIR"
    CreateShortCut "$SMPROGRAMS\Pelvanta.lnk" "$INSTDIR\pelvanta.exe" "" "$INSTDIR\pelvanta.ico" 0

    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Pelvanta"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\pelvanta.ico"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
    SetShellVarContext current
    Delete "$SMPROGRAMS\Pelvanta.lnk"
    !include "${LISTS}\uninstall.nsh"
    Delete "$INSTDIR\Uninstall.exe"
    ; Not recursive: whatever else the player put there stays.
    RMDir "$INSTDIR"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
