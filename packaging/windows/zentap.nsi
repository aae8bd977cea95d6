; The Windows installer of Zentap, made by scripts/package-windows.sh with Debian's makensis:
;   makensis -DVERSION=1.0.0 -DSTAGE=<folder of the unpacked zip> -DLISTS=<folder of files.nsh and
;            unfiles.nsh> -DOUTFILE=<setup.exe> zentap.nsi
; Installs for all users into Program Files\Zentap, with Start-menu entries for Zentap and the
; simulated reader and an uninstaller listed under Apps. /S installs silently, /D=<folder> elsewhere.
; A 64-bit installer, like the programs it installs (and wine without its 32-bit half runs it).
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin
!include "MUI2.nsh"

Name "Zentap ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Zentap"
InstallDirRegKey HKLM "Software\Zentap" "InstallDir"
!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Zentap"

!define MUI_ICON "${NSISDIR}\Contrib\Graphics\Icons\modern-install.ico"
!define MUI_UNICON "${NSISDIR}\Contrib\Graphics\Icons\modern-uninstall.ico"
!define MUI_FINISHPAGE_RUN "$INSTDIR\zentap.exe"
!insertmacro MUI_PAGE_LICENSE "${STAGE}/LICENSE.txt"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Spanish"
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "Catalan"
!insertmacro MUI_LANGUAGE "French"
!insertmacro MUI_LANGUAGE "Portuguese"

LangString SimName ${LANG_SPANISH} "Zentap - lector simulado"
LangString SimName ${LANG_ENGLISH} "Zentap - simulated reader"
LangString SimName ${LANG_CATALAN} "Zentap - lector simulat"
LangString SimName ${LANG_FRENCH} "Zentap - lecteur simulé"
LangString SimName ${LANG_PORTUGUESE} "Zentap - leitor simulado"
LangString ReadMe ${LANG_SPANISH} "Léame"
LangString ReadMe ${LANG_ENGLISH} "Read me"
LangString ReadMe ${LANG_CATALAN} "Llegiu-me"
LangString ReadMe ${LANG_FRENCH} "Lisez-moi"
LangString ReadMe ${LANG_PORTUGUESE} "Leia-me"

Function .onInit
    SetRegView 64
    SetShellVarContext all
FunctionEnd

Section "Zentap"
    SetOutPath "$INSTDIR"
    ; Every file of the zip, and nothing else, so that the uninstaller knows what it removes.
    !include "${LISTS}/files.nsh"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    CreateDirectory "$SMPROGRAMS\Zentap"
    CreateShortcut "$SMPROGRAMS\Zentap\Zentap.lnk" "$INSTDIR\zentap.exe"
    CreateShortcut "$SMPROGRAMS\Zentap\$(SimName).lnk" "$INSTDIR\zentap-reader-sim.exe"
    CreateShortcut "$SMPROGRAMS\Zentap\$(ReadMe).lnk" "$INSTDIR\README.txt"
    WriteRegStr HKLM "Software\Zentap" "InstallDir" "$INSTDIR"
    WriteRegStr HKLM "${UNINST_KEY}" "DisplayName" "Zentap"
    WriteRegStr HKLM "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINST_KEY}" "Publisher" "Zentap developers"
    WriteRegStr HKLM "${UNINST_KEY}" "DisplayIcon" "$INSTDIR\zentap.exe"
    WriteRegStr HKLM "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINST_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINST_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINST_KEY}" "NoRepair" 1
SectionEnd

Function un.onInit
    SetRegView 64
    SetShellVarContext all
FunctionEnd

Section "Uninstall"
    ; The program's folder goes last: once it is gone, so is everything else.
    DeleteRegKey HKLM "${UNINST_KEY}"
    DeleteRegKey HKLM "Software\Zentap"
    Delete "$SMPROGRAMS\Zentap\Zentap.lnk"
    Delete "$SMPROGRAMS\Zentap\$(SimName).lnk"
    Delete "$SMPROGRAMS\Zentap\$(ReadMe).lnk"
    RMDir "$SMPROGRAMS\Zentap"
    !include "${LISTS}/unfiles.nsh"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
SectionEnd
