/* Control ids of the settings dialog and the hotkey dialog, shared by
   dialogs_settings.rc (windres) and the dialog code. Plain preprocessor
   definitions only, so that both the resource compiler and the compilers
   can include this file. */
#ifndef TAMARIN_DIALOGS_SETTINGS_H
#define TAMARIN_DIALOGS_SETTINGS_H

/* Settings dialog (IDD_SETTINGS). */
#define IDC_SET_HISTORYMAX        1022  /* number of history entries kept */
#define IDC_SET_HISTORYSPIN       1025  /* up-down control of 1022 */
#define IDC_SET_REGISTEREDFIRST   1027  /* registered texts above the history */
#define IDC_SET_HISTORYFIRST      1031  /* history above the registered texts */
#define IDC_SET_NEWESTFIRST       1032  /* newest history entry on top */
#define IDC_SET_OLDESTFIRST       1033  /* oldest history entry on top */
#define IDC_SET_DATEFORMAT        1035
#define IDC_SET_LOGFOLDER         1037
#define IDC_SET_BROWSELOGFOLDER   1039
#define IDC_SET_LOGIMAGE          1041
#define IDC_SET_LOGTEXT           1042
#define IDC_SET_REPAIRCHAIN       1043
#define IDC_SET_ANIMATEICON       1044
#define IDC_SET_USEHISTORYFILE    1045
#define IDC_SET_DELETEHISTORY     1046
#define IDC_SET_MENUTIPS          1047

/* Hotkey dialog (IDD_HOTKEYS): one hotkey control per command. */
#define IDC_HK_COMMANDMENU        1020
#define IDC_HK_TEXTMENU           1021
#define IDC_HK_EDITREGISTERED     1026
#define IDC_HK_IPADDRESS          1027
#define IDC_HK_DATETIME           1028
#define IDC_HK_REGISTERTEXT       1029
#define IDC_HK_CLEARHISTORY       1030
#define IDC_HK_CLEARCLIPBOARD     1048
#define IDC_HK_HISTORYONOFF       1049
#define IDC_HK_FAILED             1050  /* line naming the hotkeys that could not be
                                           registered; made at run time, not in the template */

#endif /* TAMARIN_DIALOGS_SETTINGS_H */
