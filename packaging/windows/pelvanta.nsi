; The Windows installer of Pelvanta, made by scripts/package-windows.sh, which
; defines OUTFILE, ICON, SIZE_KB (the installed tree's size) and LISTS: the
; folder of product.nsh (written by the build: VERSION, PUBLISHER and the
; running game's RUNNING_MARK), install.nsh (the File lines) and tree.nsh
; (the installed tree's files and folders).
;
; Installs for the current user alone, without administrator rights. It never
; leaves a mixed install: while the game runs, or while any of its files is
; held by another program, neither the installer nor the uninstaller changes
; anything; it asks the player to close the game (silently it just fails). A
; file that still cannot be written or removed fails the run, and an
; uninstall that leaves anything of the game keeps itself and its entry, so
; the player can try again. The uninstaller removes every file the installer
; wrote and nothing else, so opponent archives the player keeps in the folder
; stay.

; A 64-bit installer, like the program: it runs where the game can.
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true
; A file that cannot be written stops the install instead of being skipped.
AllowSkipFiles off

!include "${LISTS}\product.nsh"
!include "${LISTS}\tree.nsh"
!include "LogicLib.nsh"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Pelvanta"
; Exit code of a run that changed nothing because the game or a file was busy.
!define BUSY_EXIT 2

Name "Pelvanta"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Pelvanta"
; A reinstall goes where the player put the game before.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "Pelvanta ${VERSION}"
Icon "${ICON}"
UninstallIcon "${ICON}"
VIProductVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=1049 "ProductName" "Pelvanta"
VIAddVersionKey /LANG=1049 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1049 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1049 "LegalCopyright" "GPL-3.0-or-later"
VIAddVersionKey /LANG=1049 "FileDescription" "Установка Pelvanta"
VIAddVersionKey /LANG=1049 "FileVersion" "${VERSION}"

!include "MUI2.nsh"
!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_FUNCTION StartGame
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Russian"

; ---------------------------------------------------------------- busy files

; $0: 1 when the running game's mark exists.
!macro GAME_RUNNING
    ; 0x00100000: SYNCHRONIZE, the least right that opens the object
    System::Call 'kernel32::OpenMutexW(i 0x00100000, i 0, w "${RUNNING_MARK}") p .r0'
    ${If} $0 P<> 0
        System::Call 'kernel32::CloseHandle(p r0)'
        StrCpy $0 1
    ${Else}
        StrCpy $0 0
    ${EndIf}
!macroend

; Sets $1 to a file of the installed tree that exists and cannot be opened
; for writing: a program holds it (Windows keeps a running program's files).
!macro CHECK_FILE path
    ${If} $1 == ""
    ${AndIf} ${FileExists} "$INSTDIR\${path}"
        ClearErrors
        FileOpen $2 "$INSTDIR\${path}" a
        ${If} ${Errors}
            StrCpy $1 "$INSTDIR\${path}"
        ${Else}
            FileClose $2
        ${EndIf}
    ${EndIf}
!macroend

; Returns only when neither the game runs nor any of its files is held; until
; then it asks the player to close the game and try again. Giving up, or a
; silent run, ends the run with nothing changed.
!macro WAIT_UNTIL_FREE un
Function ${un}WaitUntilFree
    ${Do}
        !insertmacro GAME_RUNNING
        StrCpy $1 ""
        ${If} $0 == 0
            !insertmacro PELVANTA_FILES CHECK_FILE
            ${If} $1 == ""
                Return
            ${EndIf}
            StrCpy $3 "Файл $1 занят другой программой.$\r$\nЗакройте её и повторите попытку."
        ${Else}
            StrCpy $3 "Pelvanta сейчас запущена.$\r$\nЗакройте игру и повторите попытку."
        ${EndIf}
        MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$3$\r$\n«Отмена» оставит всё как есть." \
            /SD IDCANCEL IDRETRY retry
        SetErrorLevel ${BUSY_EXIT}
        Quit
        retry:
    ${Loop}
FunctionEnd
!macroend
!insertmacro WAIT_UNTIL_FREE ""
!insertmacro WAIT_UNTIL_FREE "un."

; ---------------------------------------------------------------- install

Function .onInit
    Call WaitUntilFree
FunctionEnd

Section "Pelvanta"
    SetShellVarContext current
    ; The folder may have changed on the directory page.
    Call WaitUntilFree
    !include "${LISTS}\install.nsh"
    Delete "$INSTDIR\pelvanta.ico"  ; an earlier install's, now inside the programs
    WriteUninstaller "$INSTDIR\Uninstall.exe"

    ; The shortcut starts the game in its own folder, which holds no
    ; archives, so the game plays the installed gallery.
    SetOutPath "$INSTDIR"
    CreateShortCut "$SMPROGRAMS\Pelvanta.lnk" "$INSTDIR\pelvanta.exe"

    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Pelvanta"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\pelvanta.exe,0"
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" ${SIZE_KB}
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; The finish page's "start Pelvanta": never a second copy beside one that
; was started in the meantime.
Function StartGame
    !insertmacro GAME_RUNNING
    ${If} $0 == 0
        SetOutPath "$INSTDIR"
        Exec '"$INSTDIR\pelvanta.exe"'
    ${EndIf}
FunctionEnd

; ---------------------------------------------------------------- uninstall

!macro DELETE_FILE path
    Delete "$INSTDIR\${path}"
!macroend

!macro REMOVE_FOLDER path
    RMDir "$INSTDIR\${path}"
!macroend

; Sets $1 to a file or folder of the installed tree that is still there.
!macro FIND_LEFT path
    ${If} $1 == ""
    ${AndIf} ${FileExists} "$INSTDIR\${path}"
        StrCpy $1 "$INSTDIR\${path}"
    ${EndIf}
!macroend

Function un.onInit
    Call un.WaitUntilFree
FunctionEnd

Section "Uninstall"
    SetShellVarContext current
    Call un.WaitUntilFree
    !insertmacro PELVANTA_FILES DELETE_FILE
    !insertmacro PELVANTA_FOLDERS REMOVE_FOLDER
    StrCpy $1 ""
    !insertmacro PELVANTA_FILES FIND_LEFT
    !insertmacro PELVANTA_FOLDERS FIND_LEFT
    ${If} $1 != ""
        ; The uninstaller, its entry and the shortcut stay for another try.
        StrCpy $3 "Не удалось удалить $1: его занимает другая программа."
        MessageBox MB_OK|MB_ICONSTOP "$3$\r$\nЗакройте её и удалите Pelvanta ещё раз." /SD IDOK
        SetErrorLevel ${BUSY_EXIT}
        Abort
    ${EndIf}
    Delete "$SMPROGRAMS\Pelvanta.lnk"
    Delete "$INSTDIR\Uninstall.exe"
    ; Not recursive: whatever else the player put there stays.
    RMDir "$INSTDIR"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
