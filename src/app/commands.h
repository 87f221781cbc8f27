// Handlers of the main window's commands, one per command id, each given
// the settings and the clip store that the main window owns.
#pragma once

#include <windows.h>

#include <stddef.h>

struct AppData;
struct AppInfo;

void OnQuit(HWND mainWindow);
void OnGetDateTime(HWND mainWindow, const AppInfo* info);
void OnGetIpAddress(HWND mainWindow);
void OnClearHistory(AppData* data);
void OnToggleHistory(HWND mainWindow, AppInfo* info);
void OnClearClipboard(HWND mainWindow);
void OnSettings(HWND mainWindow, AppInfo* info);
void OnHotkeySettings(HWND mainWindow, AppInfo* info);
void OnAbout(HWND mainWindow);
void OnRegisterText(HWND mainWindow, AppData* data);
void OnEditRegistered(HWND mainWindow, AppData* data);
void OnSearchText(HWND mainWindow, AppData* data, AppInfo* info);
void OnExtSettings(HWND mainWindow, AppInfo* info);

// A text picked from the text-list popup (id in one of the two entry ranges):
// onto the clipboard, and with Shift held a history entry is registered too.
// false when the id names no text.
bool OnPickText(HWND mainWindow, AppData* data, int id);
// After a text picked from the popup or the search window has gone onto the
// clipboard: the paste into the window the user was in, when that is on.
void OnTextPicked(HWND mainWindow, const AppInfo* info);
// The hotkey of the search window, registered beside the nine.
void Commands_RegisterExtHotkeys(HWND mainWindow, const AppInfo* info);
void Commands_UnregisterExtHotkeys(HWND mainWindow);

// The balloon that names hotkeys another program holds (one bit per slot).
void Commands_ShowHotkeyFailureBalloon(unsigned failedSlots);

// This computer's address as text: that of the adapter carrying the default
// route, else the host name's first IPv4 address; false when there is none.
bool Commands_GetHostIpAddress(char* out, size_t size);
