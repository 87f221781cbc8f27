/* Resource and command ids of Tamarin, shared by tamarin.rc (windres) and the
   C++ sources. Plain preprocessor definitions only, so that both the resource
   compiler and the compilers can include this file. */
#ifndef TAMARIN_RESOURCE_H
#define TAMARIN_RESOURCE_H

/* Icons. The program icon has the lowest id of all icon groups, so that the
   shell takes it as the picture of tamarin.exe itself. */
#define IDI_PROGRAM             100
#define IDI_TRAY_ON             137   /* tray icon while the history is on */
#define IDI_TRAY_FRAME1         138   /* clipboard-change animation, frame 1 */
#define IDI_TRAY_FRAME2         139   /* frame 2 */
#define IDI_TRAY_FRAME3         140   /* frame 3 */
#define IDI_TRAY_OFF            152   /* tray icon while the history is off */

/* Cursors. */
#define IDC_LINKHAND            127   /* pointing hand over the about box links */
#define IDC_DRAG_NO             135   /* drag outside the registered-text list */
#define IDC_DRAG_MOVE           136   /* drag over the registered-text list */

/* Dialog templates. */
#define IDD_ABOUT               126
#define IDD_EDITPAD             129
#define IDD_REGISTERED          130
#define IDD_SETTINGS            133
#define IDD_HOTKEYS             144
#define IDD_EXTSETTINGS         160   /* extended settings (beyond the original commands) */

/* Menus. */
#define IDR_COMMAND_MENU        131   /* command popup of the tray icon */
#define IDR_EDITPAD_MENU        132   /* menu bar of the edit pad */
#define IDR_REGISTERED_MENU     146   /* context menu of the registered-text list */
#define IDR_TEXT_MENU           147   /* text-list popup of the tray icon */

/* Commands of the main window and its command popup. */
#define IDM_QUIT                40001
#define IDM_ABOUT               40002
#define IDM_SETTINGS            40003
#define IDM_HOTKEYS             40004
#define IDM_NONE                40007   /* "(none)" placeholder of the text-list popup */
#define IDM_REGISTER_TEXT       40031
#define IDM_GET_IPADDRESS       40034
#define IDM_GET_DATETIME        40045
#define IDM_CHAIN_LEAVE         40046   /* viewer-chain repair, leave step */
#define IDM_CHAIN_JOIN          40048   /* viewer-chain repair, join step */
#define IDM_EDIT_REGISTERED     40049
#define IDM_CLEAR_HISTORY       40050
#define IDM_USE_HISTORY         40054
#define IDM_CLEAR_CLIPBOARD     40055
#define IDM_SEARCH_TEXT         40070   /* the search window */
#define IDM_EXT_SETTINGS        40071   /* the extended settings dialog */

/* Commands of the edit pad (menu bar and system menu). */
#define IDM_PAD_DELETE          40005
#define IDM_PAD_UNDO            40010
#define IDM_PAD_CUT             40011
#define IDM_PAD_PASTE           40012
#define IDM_PAD_COPY            40013
#define IDM_PAD_SELECTALL       40017
#define IDM_PAD_IME             40019
#define IDM_PAD_OPENFILE        40039
#define IDM_PAD_REDO            40040
#define IDM_PAD_TOPMOST         40041
#define IDM_PAD_SAVEFILE        40042

/* Commands of the registered-text list's context menu. */
#define IDM_REG_DELETE          40052
#define IDM_REG_EDIT            40053

#endif /* TAMARIN_RESOURCE_H */
