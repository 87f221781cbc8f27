// The two popups of the tray icon: the text list (registered texts and
// history) and the command menu, plus the menu helpers the edit pad shares.
#pragma once

#include <windows.h>

struct AppData;
struct AppInfo;

enum { MENU_LABEL_BUFFER = 260 };

// Posted by the text-list popup to its owner once the menu has closed, after
// the pick the menu posted (if any); wParam names the popup's snapshot.
enum { WM_TEXTMENUCLOSED = WM_APP + 20 };

// The texts of the open (or just closed) text-list popup, on the main window.
#define PROP_MENUSNAPSHOT "PROP_MENUSNAPSHOT"

int ShowTextMenu(HWND mainWindow, POINT pt, AppData* data, AppInfo* info);
int BuildTextMenu(HMENU menu, const AppData* data, int historyMax, int labelSize, bool registeredFirst,
                  bool newestFirst);
// The same with the number of rows in a column given: BuildTextMenu takes it
// from the primary screen, ShowTextMenu from the monitor the popup opens on.
int BuildTextMenuInRows(HMENU menu, const AppData* data, int historyMax, int labelSize, bool registeredFirst,
                        bool newestFirst, int rowsPerColumn);
// How many menu items fit one above the other on the monitor nearest to pt.
int TextMenuRowsAt(POINT pt);
int ShowCommandMenu(HWND mainWindow, POINT pt, const AppInfo* info);
// The command menu's states: the check mark of the history switch, and the
// two editing commands greyed while an editing dialog is open.
void PrepareCommandMenu(HMENU menu, const AppInfo* info, bool editingDialogOpen);
BOOL TrackMenuAt(HWND owner, HMENU menu, POINT pt, UINT flags, const RECT* exclude);
BOOL ShowResourceMenuAtCursor(HINSTANCE instance, LPCSTR name, int subMenuPos, HWND owner, UINT flags,
                              const RECT* exclude);

// A text picked from the text-list popup: onto the clipboard, and with Shift
// held a history entry is registered too. false when the id names no text.
bool SelectMenuText(HWND mainWindow, int id);
// The text behind a popup entry id: the one its label showed while a popup's
// snapshot is kept, else the clip store's text at that place now.
const char* GetMenuEntryText(HWND mainWindow, int id);
// WM_TEXTMENUCLOSED: the popup's snapshot is released.
void OnTextMenuClosed(HWND mainWindow, WPARAM generation);
// Releases any snapshot still kept (the window is going away).
void ReleaseTextMenuSnapshot(HWND mainWindow);

int FindMenuItemPos(HMENU menu, UINT id);
void CheckMenuItemIf(HMENU menu, UINT item, UINT flags, bool checked);
void EnableMenuItemIf(HMENU menu, UINT item, UINT flags, bool enabled);
void SetMenuItemText(HMENU menu, UINT item, UINT flags, const char* text);
