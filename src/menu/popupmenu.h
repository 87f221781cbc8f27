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
int PopupMenu_BuildTextMenuInRows(HMENU menu, const AppData* data, int historyMax, int labelSize, bool registeredFirst,
                        bool newestFirst, int rowsPerColumn);
// How many menu items fit one above the other on the monitor nearest to pt.
int PopupMenu_TextMenuRowsAt(POINT pt);
int ShowCommandMenu(HWND mainWindow, POINT pt, const AppInfo* info);
// The command menu's states: the check mark of the history switch, and the
// two editing commands greyed while an editing dialog is open.
void PopupMenu_PrepareCommandMenu(HMENU menu, const AppInfo* info, bool editingDialogOpen);
BOOL TrackMenuAt(HWND owner, HMENU menu, POINT pt, UINT flags, const RECT* exclude);
BOOL ShowResourceMenuAtCursor(HINSTANCE instance, LPCSTR name, int subMenuPos, HWND owner, UINT flags,
                              const RECT* exclude);

// The text behind a popup entry id: the one its label showed while a popup's
// snapshot is kept on mainWindow, else data's text at that place now.
const char* PopupMenu_GetEntryText(HWND mainWindow, const AppData* data, int id);
// WM_TEXTMENUCLOSED: the popup's snapshot is released.
void OnTextMenuClosed(HWND mainWindow, WPARAM generation);
// Releases any snapshot still kept (the window is going away).
void PopupMenu_ReleaseSnapshot(HWND mainWindow);

int PopupMenu_FindItemPos(HMENU menu, UINT id);
void PopupMenu_CheckItemIf(HMENU menu, UINT item, UINT flags, bool checked);
void PopupMenu_EnableItemIf(HMENU menu, UINT item, UINT flags, bool enabled);
void PopupMenu_SetItemText(HMENU menu, UINT item, UINT flags, const char* text);
