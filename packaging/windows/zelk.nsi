; The ZELK installer: asks for the simulator's folder, puts the program into
; its ZELK sub-folder, adds a Start-menu entry and an uninstaller.
; makensis -DVERSION=x.y -DSTAGE=<folder with the files> -DOUTFILE=<setup.exe> zelk.nsi
; The programs are 64-bit: so is the installer (it also runs under a 64-bit-only Wine).
Target amd64-unicode
!include "MUI2.nsh"
!include "LogicLib.nsh"

Name "ZELK ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\ORVAK"
RequestExecutionLevel admin
SetCompressor /SOLID lzma

!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\ZELK"

!define MUI_DIRECTORYPAGE_TEXT_TOP "Укажите папку, в которую установлен симулятор ORVAK (в ней лежит orvaksim.exe). ZELK будет установлен в её подпапку ZELK."
!define MUI_DIRECTORYPAGE_TEXT_DESTINATION "Папка симулятора"
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE CheckSimulatorFolder
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Russian"

Function CheckSimulatorFolder
  ${IfNot} ${FileExists} "$INSTDIR\orvaksim.exe"
    MessageBox MB_YESNO|MB_ICONQUESTION "В папке «$INSTDIR» нет orvaksim.exe. Всё равно установить ZELK сюда?" IDYES +2
    Abort
  ${EndIf}
FunctionEnd

Section "ZELK"
  ; Installed for every user of the machine: so are the menu entries.
  SetShellVarContext all
  SetOutPath "$INSTDIR\ZELK"
  File "${STAGE}\*.*"
  WriteUninstaller "$INSTDIR\ZELK\uninstall.exe"
  ; The program opens its data files by bare name: the shortcut starts it in its own folder.
  CreateDirectory "$SMPROGRAMS\ZELK"
  CreateShortcut "$SMPROGRAMS\ZELK\ZELK.lnk" "$INSTDIR\ZELK\zelk.exe"
  CreateShortcut "$SMPROGRAMS\ZELK\Удалить ZELK.lnk" "$INSTDIR\ZELK\uninstall.exe"
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayName" "ZELK ${VERSION}"
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINST_KEY}" "InstallLocation" "$INSTDIR\ZELK"
  WriteRegStr HKLM "${UNINST_KEY}" "UninstallString" '"$INSTDIR\ZELK\uninstall.exe"'
  WriteRegDWORD HKLM "${UNINST_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINST_KEY}" "NoRepair" 1
SectionEnd

; Removes only what the installer put there: the missions the pilot made stay.
Section "Uninstall"
  SetShellVarContext all
  Delete "$INSTDIR\zelk.exe"
  Delete "$INSTDIR\zelk-cli.exe"
  Delete "$INSTDIR\zelk-pack.exe"
  Delete "$INSTDIR\orvak_zelk.rc?"
  Delete "$INSTDIR\ЧИТАЙ.txt"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\ZELK\ZELK.lnk"
  Delete "$SMPROGRAMS\ZELK\Удалить ZELK.lnk"
  RMDir "$SMPROGRAMS\ZELK"
  DeleteRegKey HKLM "${UNINST_KEY}"
SectionEnd
