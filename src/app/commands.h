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

// A text picked from the text-list popup (id in one of the two entry ranges):
// onto the clipboard, and with Shift held a history entry is registered too.
// false when the id names no text.
bool OnPickText(HWND mainWindow, AppData* data, int id);

// The balloon that names hotkeys another program holds (one bit per slot).
void Commands_ShowHotkeyFailureBalloon(unsigned failedSlots);

// This computer's address as text: that of the adapter carrying the default
// route, else the host name's first IPv4 address; false when there is none.
bool Commands_GetHostIpAddress(char* out, size_t size);
