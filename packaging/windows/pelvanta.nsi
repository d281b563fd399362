; The Windows installer of Pelvanta, made by scripts/package-windows.sh, which
; defines OUTFILE, ICON, SIZE_KB (the installed tree's size) and LISTS: the
; folder of product.nsh (written by the build: VERSION, PUBLISHER and the
; running game's RUNNING_MARK), install.nsh (the File lines, into ${NEW}) and
; tree.nsh (the installed tree's files and folders).
;
; Installs for the current user alone, without administrator rights. It never
; leaves a mixed install: while the game runs, or while any of its files is
; held by another program, neither the installer nor the uninstaller changes
; anything; it asks the player to close the game (silently it just fails).
; The new files are written beside the old ones and put in place only when
; every one of them was written; any failure after that puts the earlier
; install back as it was, with its shortcut and its entry. The uninstaller
; removes every file the installer wrote and nothing else, so opponent
; archives the player keeps in the folder stay, and so do the folders that
; hold them.

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
!include "FileFunc.nsh"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Pelvanta"
; Exit code of a run that changed nothing because the game or a file was busy.
!define BUSY_EXIT 2
; Exit code of an install that failed and put the earlier one back.
!define FAILED_EXIT 3
; The new files until every one is written, and the earlier install's until
; the new ones are in place: inside the install folder, so on its drive,
; where a file is put in place by a rename.
!define NEW "$INSTDIR\~pelvanta-new"
!define OLD "$INSTDIR\~pelvanta-old"

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

; Sets $1 to a file of the installed tree that another program holds: opened
; for writing with every kind of sharing allowed, it fails with a sharing
; violation (32) or a lock violation (33), as a running program's file does.
; A read-only file fails with another error, and is replaced all the same.
!macro CHECK_FILE path
    ${If} $1 == ""
    ${AndIf} ${FileExists} "$INSTDIR\${path}"
        ; GENERIC_WRITE, FILE_SHARE_READ | WRITE | DELETE, OPEN_EXISTING
        System::Call 'kernel32::CreateFileW(w "$INSTDIR\${path}", i 0x40000000, i 7, p 0, i 3, \
            i 0, p 0) p .r2 ?e'
        Pop $4
        ${If} $2 P<> -1
            System::Call 'kernel32::CloseHandle(p r2)'
        ${ElseIf} $4 = 32
        ${OrIf} $4 = 33
            StrCpy $1 "$INSTDIR\${path}"
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
            !if "${un}" == ""
                ; a running uninstaller; the uninstaller itself is one
                !insertmacro CHECK_FILE "Uninstall.exe"
            !endif
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

; What went wrong, for the player; empty while all goes well.
Var Failure
; How many files have had their turn to be put in place, and a counter that
; walks the same list when they are taken back.
Var Swapped
Var Walked
; 1 once the shortcut or the entry may have been changed.
Var ShortcutTouched
Var EntryTouched
Var RolledBack

!macro FAIL text
    ${If} $Failure == ""
        StrCpy $Failure "${text}"
    ${EndIf}
!macroend

; The entry's values, listed once: saved before the install writes them, and
; written back if it fails.
!macro ENTRY_VALUES DO
    !insertmacro ${DO} Str DisplayName "Pelvanta"
    !insertmacro ${DO} Str DisplayVersion "${VERSION}"
    !insertmacro ${DO} Str Publisher "${PUBLISHER}"
    !insertmacro ${DO} Str DisplayIcon "$INSTDIR\pelvanta.exe,0"
    !insertmacro ${DO} DWORD EstimatedSize ${SIZE_KB}
    !insertmacro ${DO} Str InstallLocation "$INSTDIR"
    ; Run in place (_?=), so that the program the entry starts is the one
    ; that uninstalls, and its exit code is the uninstall's own.
    !insertmacro ${DO} Str UninstallString '"$INSTDIR\Uninstall.exe" _?=$INSTDIR'
    !insertmacro ${DO} Str QuietUninstallString '"$INSTDIR\Uninstall.exe" /S _?=$INSTDIR'
    !insertmacro ${DO} DWORD NoModify 1
    !insertmacro ${DO} DWORD NoRepair 1
!macroend

!macro SAVE_VALUE type name value
    Var /GLOBAL Old${name}
    Var /GLOBAL Had${name}
    ClearErrors
    ReadReg${type} $Old${name} HKCU "${UNINSTALL_KEY}" "${name}"
    ${If} ${Errors}
        StrCpy $Had${name} 0
    ${Else}
        StrCpy $Had${name} 1
    ${EndIf}
!macroend

!macro WRITE_VALUE type name value
    ClearErrors
    WriteReg${type} HKCU "${UNINSTALL_KEY}" "${name}" `${value}`
    ${If} ${Errors}
        !insertmacro FAIL "Не удалось записать сведения об игре в реестр ($\"${name}$\")."
    ${EndIf}
!macroend

!macro RESTORE_VALUE type name value
    ${If} $Had${name} == 1
        WriteReg${type} HKCU "${UNINSTALL_KEY}" "${name}" $Old${name}
    ${Else}
        DeleteRegValue HKCU "${UNINSTALL_KEY}" "${name}"
    ${EndIf}
!macroend

; The earlier file goes to ${OLD}, the new one from ${NEW} takes its place.
!macro SWAP_IN path
    ${If} $Failure == ""
        IntOp $Swapped $Swapped + 1
        ClearErrors
        ${If} ${FileExists} "$INSTDIR\${path}"
            Rename "$INSTDIR\${path}" "${OLD}\${path}"
        ${EndIf}
        ; Testing the error flag clears it.
        ${If} ${Errors}
            !insertmacro FAIL "Не удалось заменить файл $INSTDIR\${path}."
        ${Else}
            Rename "${NEW}\${path}" "$INSTDIR\${path}"
            ${If} ${Errors}
                !insertmacro FAIL "Не удалось заменить файл $INSTDIR\${path}."
            ${EndIf}
        ${EndIf}
    ${EndIf}
!macroend

; For a file whose turn had come: the new one, if it was put in place, goes,
; and the earlier one comes back.
!macro TAKE_BACK path
    IntOp $Walked $Walked + 1
    ${If} $Walked <= $Swapped
        ${IfNot} ${FileExists} "${NEW}\${path}"
            Delete "$INSTDIR\${path}"
        ${EndIf}
        ${If} ${FileExists} "${OLD}\${path}"
            ClearErrors
            Rename "${OLD}\${path}" "$INSTDIR\${path}"
            ${If} ${Errors}
                StrCpy $RolledBack 0
            ${EndIf}
        ${EndIf}
    ${EndIf}
!macroend

!macro MAKE_FOLDERS path
    CreateDirectory "$INSTDIR\${path}"
    CreateDirectory "${OLD}\${path}"
!macroend

!macro REMOVE_EMPTY_FOLDER path
    RMDir "$INSTDIR\${path}"
!macroend

Function .onInit
    Call WaitUntilFree
FunctionEnd

Section "Pelvanta"
    SetShellVarContext current
    ; The folder may have changed on the directory page.
    Call WaitUntilFree
    StrCpy $Failure ""
    StrCpy $Swapped 0
    StrCpy $ShortcutTouched 0
    StrCpy $EntryTouched 0
    ; What a run cut short by the system's end may have left.
    RMDir /r "${NEW}"
    RMDir /r "${OLD}"

    ; 1. Every new file beside the earlier install. A file that cannot be
    ; written ends the install here (.onInstFailed), with nothing replaced.
    !include "${LISTS}\install.nsh"
    ClearErrors
    WriteUninstaller "${NEW}\Uninstall.exe"
    ${If} ${Errors}
        !insertmacro FAIL "Не удалось записать программу удаления."
        Abort
    ${EndIf}

    ; 2. Each file put in place by renames, on the same drive.
    CreateDirectory "${OLD}"
    !insertmacro PELVANTA_FOLDERS MAKE_FOLDERS
    !insertmacro PELVANTA_FILES SWAP_IN
    !insertmacro SWAP_IN "Uninstall.exe"
    ${If} $Failure != ""
        Abort
    ${EndIf}

    ; 3. The shortcut, which starts the game in its own folder: that folder
    ; holds no archives, so the game plays the installed gallery. The earlier
    ; one is kept by a copy, since the Start menu may be on another drive.
    StrCpy $ShortcutTouched 1
    ${If} ${FileExists} "$SMPROGRAMS\Pelvanta.lnk"
        CopyFiles /SILENT "$SMPROGRAMS\Pelvanta.lnk" "${OLD}\Pelvanta.lnk"
    ${EndIf}
    SetOutPath "$INSTDIR"
    ClearErrors
    CreateShortCut "$SMPROGRAMS\Pelvanta.lnk" "$INSTDIR\pelvanta.exe"
    ${If} ${Errors}
        !insertmacro FAIL "Не удалось создать ярлык в меню «Пуск»."
        Abort
    ${EndIf}

    ; 4. The entry in "Apps".
    !insertmacro ENTRY_VALUES SAVE_VALUE
    StrCpy $EntryTouched 1
    !insertmacro ENTRY_VALUES WRITE_VALUE
    ${If} $Failure != ""
        Abort
    ${EndIf}

    ; Done: the earlier files go.
    RMDir /r "${OLD}"
    RMDir /r "${NEW}"
    Delete "$INSTDIR\pelvanta.ico"  ; an earlier install's, now inside the programs
SectionEnd

; A failed install: the new files go and the earlier ones come back, with
; the earlier shortcut and entry; where there was no install, nothing stays.
Function .onInstFailed
    ; Out of the folders about to go: a process's current folder cannot be removed.
    SetOutPath "$TEMP"
    StrCpy $Walked 0
    StrCpy $RolledBack 1
    !insertmacro PELVANTA_FILES TAKE_BACK
    !insertmacro TAKE_BACK "Uninstall.exe"
    ${If} $ShortcutTouched == 1
        ${If} ${FileExists} "${OLD}\Pelvanta.lnk"
            CopyFiles /SILENT "${OLD}\Pelvanta.lnk" "$SMPROGRAMS\Pelvanta.lnk"
        ${Else}
            Delete "$SMPROGRAMS\Pelvanta.lnk"
        ${EndIf}
    ${EndIf}
    ${If} $EntryTouched == 1
        !insertmacro ENTRY_VALUES RESTORE_VALUE
        DeleteRegKey /ifempty HKCU "${UNINSTALL_KEY}"
    ${EndIf}
    RMDir /r "${NEW}"
    ${If} $RolledBack == 1
        RMDir /r "${OLD}"
        !insertmacro PELVANTA_FOLDERS REMOVE_EMPTY_FOLDER
        RMDir "$INSTDIR"
        StrCpy $0 "Прежние файлы игры оставлены как были."
    ${Else}
        StrCpy $0 "Прежние файлы игры остались в папке ${OLD}."
    ${EndIf}
    ${If} $Failure == ""
        StrCpy $Failure "Не удалось записать файлы игры (нет места на диске или файл занят)."
    ${EndIf}
    MessageBox MB_OK|MB_ICONSTOP "Pelvanta не установлена. $Failure$\r$\n$0" /SD IDOK
    SetErrorLevel ${FAILED_EXIT}
FunctionEnd

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

; Sets $1 to a file of the installed tree that is still there.
!macro FIND_LEFT path
    ${If} $1 == ""
    ${AndIf} ${FileExists} "$INSTDIR\${path}"
        StrCpy $1 "$INSTDIR\${path}"
    ${EndIf}
!macroend

; Removes a folder of the tree when it is empty; one that holds the player's
; own files stays, and is added to the list in $4.
!macro REMOVE_FOLDER path
    RMDir "$INSTDIR\${path}"
    ${If} ${FileExists} "$INSTDIR\${path}\*.*"
        ${If} $4 == ""
            StrCpy $4 "$\r$\nС вашими файлами оставлены и папки:"
        ${EndIf}
        StrCpy $4 "$4$\r$\n$INSTDIR\${path}"
    ${EndIf}
!macroend

; Sets $2 to 1 when the install folder holds anything but this uninstaller.
Function un.FolderHoldsOthers
    StrCpy $2 0
    FindFirst $0 $1 "$INSTDIR\*.*"
    ${DoWhile} $1 != ""
        ${If} $1 != "."
        ${AndIf} $1 != ".."
        ${AndIf} $1 != "Uninstall.exe"
            StrCpy $2 1
        ${EndIf}
        FindNext $0 $1
    ${Loop}
    FindClose $0
FunctionEnd

; The entry starts this program in place (_?=), so that the program a tool
; starts is the one whose exit code it reads. A program's own file cannot be
; removed while it runs, so the uninstall itself runs from a copy in the
; temporary folder, waited for; its exit code is passed on, and after this
; process has ended one more run of the copy removes this file.
Function un.RunFromCopy
    GetTempFileName $R0
    Delete $R0
    ClearErrors
    CreateDirectory $R0
    CopyFiles /SILENT "$EXEPATH" "$R0"
    ${If} ${Errors}
        MessageBox MB_OK|MB_ICONSTOP "Не удалось запустить удаление Pelvanta: нет места во временной папке." \
            /SD IDOK
        SetErrorLevel 1
        Quit
    ${EndIf}
    StrCpy $R1 ""
    ${If} ${Silent}
        StrCpy $R1 "/S "
    ${EndIf}
    StrCpy $R2 1
    ExecWait '"$R0\Uninstall.exe" $R1_?=$INSTDIR' $R2
    ${If} $R2 == 0
        System::Call 'kernel32::GetCurrentProcessId() i .r3'
        Exec '"$R0\Uninstall.exe" /pelvanta-remove=$3 _?=$INSTDIR'
    ${EndIf}
    SetErrorLevel $R2
    Quit
FunctionEnd

; The last step of an uninstall run in place: once process $0 has ended, its
; file, and the folder if nothing else is left in it.
Function un.RemoveAfter
    System::Call 'kernel32::OpenProcess(i 0x00100000, i 0, i r0) p .r1'
    ${If} $1 P<> 0
        System::Call 'kernel32::WaitForSingleObject(p r1, i 60000)'
        System::Call 'kernel32::CloseHandle(p r1)'
    ${EndIf}
    Delete "$INSTDIR\Uninstall.exe"
    RMDir "$INSTDIR"
FunctionEnd

Function un.onInit
    ${un.GetParameters} $R0
    ClearErrors
    ${un.GetOptions} $R0 "/pelvanta-remove=" $0
    ${IfNot} ${Errors}
        Call un.RemoveAfter
        Quit
    ${EndIf}
    Call un.WaitUntilFree
    ${If} $EXEDIR == $INSTDIR
        Call un.RunFromCopy
    ${EndIf}
FunctionEnd

Section "Uninstall"
    SetShellVarContext current
    Call un.WaitUntilFree
    !insertmacro PELVANTA_FILES DELETE_FILE
    StrCpy $1 ""
    !insertmacro PELVANTA_FILES FIND_LEFT
    ${If} $1 != ""
        ; The uninstaller, its entry and the shortcut stay for another try.
        StrCpy $3 "Не удалось удалить $1: его занимает другая программа."
        MessageBox MB_OK|MB_ICONSTOP "$3$\r$\nЗакройте её и удалите Pelvanta ещё раз." /SD IDOK
        SetErrorLevel ${BUSY_EXIT}
        Abort
    ${EndIf}
    Delete "$SMPROGRAMS\Pelvanta.lnk"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
    ; Still there while the program started in place waits for this one; it
    ; is removed once that program has ended (un.RemoveAfter).
    Delete "$INSTDIR\Uninstall.exe"
    ; Not recursive: whatever else the player put there stays, and so do the
    ; folders that hold it.
    StrCpy $4 ""
    !insertmacro PELVANTA_FOLDERS REMOVE_FOLDER
    RMDir "$INSTDIR"
    Call un.FolderHoldsOthers
    ${If} $2 == 1
        StrCpy $3 "Pelvanta удалена. В папке $INSTDIR остались ваши файлы,"
        MessageBox MB_OK|MB_ICONINFORMATION "$3 поэтому она оставлена.$4" /SD IDOK
    ${EndIf}
SectionEnd
