// The hidden main window: its names, private messages, window properties and
// the accessors every module uses to reach the settings and the clip store.
#pragma once

#include <windows.h>

struct AppInfo;
struct AppData;

#define MAIN_WINDOW_CLASS "Kinkajou"
#define MAIN_WINDOW_TITLE "Kinkajou"
#define SINGLE_INSTANCE_MUTEX "Tamarin"

enum {
    WM_TRAYCALLBACK = WM_APP + 1,     // 32769: tray icon mouse messages
    WM_SHOWTEXTMENU = WM_APP + 2,     // 32770: registered texts and history
    WM_SHOWCOMMANDMENU = WM_APP + 3,  // 32771: command popup
    WM_HISTORYSAVED = WM_APP + 32,    // 32800: the background history save has ended
    WM_SHOWNOTICE = WM_APP + 33,      // 32801: show notice wParam (notice.h) once
};

// Window properties. The registered-text dialog and the edit pad set
// PROP_DIALOG on their owner while they run.
#define PROP_APPINFO "PROP_APPINFO"
#define PROP_APPDATA "PROP_APPDATA"
#define PROP_DIALOG "PROP_DIALOG"
#define PROP_DIALOGPARAM "PROP_DIALOGPARAM"

inline AppInfo* GetAppInfo(HWND mainWindow) { return static_cast<AppInfo*>(GetPropA(mainWindow, PROP_APPINFO)); }
inline AppData* GetAppData(HWND mainWindow) { return static_cast<AppData*>(GetPropA(mainWindow, PROP_APPDATA)); }
inline bool IsEditingDialogOpen(HWND mainWindow) { return GetPropA(mainWindow, PROP_DIALOG) != nullptr; }

LRESULT CALLBACK MainWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
