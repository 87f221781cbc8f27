// The search window "テキストの検索": an edit box over a list of the
// registered texts and the history, narrowed to the entries that hold every
// word typed; Enter picks the selected entry as the text popup would.
#pragma once

#include <windows.h>

struct AppData;
struct AppInfo;

#define SEARCH_WINDOW_CLASS "TamarinSearch"
// テキストの検索: the caption, and the INI section of the window's size
#define SEARCH_WINDOW_TITLE "\x83\x65\x83\x4c\x83\x58\x83\x67\x82\xcc\x8c\x9f\x8d\xf5"

enum {
    IDC_SEARCH_EDIT = 1001,
    IDC_SEARCH_LIST = 1002,
};

// What the window works on, handed over by its opener, which keeps owning
// all of it.
struct SearchWindowParams {
    AppData* data;         // the entries, and the history entries Delete removes
    const AppInfo* info;   // the popup's order, the menu tips and the history file
    POINT anchor;          // the popup position: the window's bottom-left corner
    const char* iniPath;   // INI file that keeps the window's size; null keeps none
};

// Runs the search window over owner until the user picks an entry or leaves
// it (Escape, closing it, or activating another window). A pick is sent to
// owner as the text popup's picks arrive, WM_COMMAND with the popup id the
// entry has in the clip store now, while the window is still open. Gives that
// id, or 0 when nothing was picked. A call while the window is open brings it
// to the front and gives 0 (params may then be null).
int SearchWnd_Run(HWND owner, const SearchWindowParams* params);
bool SearchWnd_IsOpen();
