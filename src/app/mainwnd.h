// The hidden main window: its names, private messages, window properties and
// the look-ups of the settings and the clip store that its handlers make.
#pragma once

#include <windows.h>

struct AppInfo;
struct AppData;

#define MAIN_WINDOW_CLASS "Kinkajou"
#define MAIN_WINDOW_TITLE "Kinkajou"
// Named after the program and made unique with a GUID: a plain "Tamarin"
// could be held by any other program and would keep this one from starting.
#define SINGLE_INSTANCE_MUTEX "Tamarin.SingleInstance.{c5677ac5-9a00-4eba-a791-edd8da0ae3b7}"

// Private messages; 32769 is the tray's (WM_TRAYCALLBACK, shell/tray.h).
enum {
    WM_SHOWTEXTMENU = WM_APP + 2,     // 32770: registered texts and history
    WM_SHOWCOMMANDMENU = WM_APP + 3,  // 32771: command popup
    WM_HISTORYSAVED = WM_APP + 32,    // 32800: the background history save has ended
    WM_SHOWNOTICE = WM_APP + 33,      // 32801: show notice wParam (notice.h) once
};

// Timers of the main window's own; the modules it calls keep theirs.
enum {
    TIMER_HISTORY_SAVE = 23,          // a pause in the changes before the history file is written
    HISTORY_SAVE_QUIET_MS = 150,      // the pause
    HISTORY_SAVE_MAX_WAITS = 13,      // changes that never pause wait about two seconds at most
};

// Window properties of the main window. It also carries PROP_DIALOG
// (ui/dialogguard.h) while an editing dialog runs over it.
#define PROP_APPINFO "PROP_APPINFO"
#define PROP_APPDATA "PROP_APPDATA"

// The main window's own look-ups: its handlers hand what they fetch here to
// the modules they call, which never look the main window up themselves.
inline AppInfo* MainWnd_GetAppInfo(HWND mainWindow) { return static_cast<AppInfo*>(GetPropA(mainWindow, PROP_APPINFO)); }
inline AppData* MainWnd_GetAppData(HWND mainWindow) { return static_cast<AppData*>(GetPropA(mainWindow, PROP_APPDATA)); }

LRESULT CALLBACK MainWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
