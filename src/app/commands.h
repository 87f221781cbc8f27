// Handlers of the main window's commands, one per command id.
#pragma once

#include <windows.h>

void OnQuit(HWND mainWindow);
void OnGetDateTime(HWND mainWindow);
void OnGetIpAddress(HWND mainWindow);
void OnClearHistory(HWND mainWindow);
void OnToggleHistory(HWND mainWindow);
void OnClearClipboard(HWND mainWindow);
void OnSettings(HWND mainWindow);
void OnHotkeySettings(HWND mainWindow);
void OnAbout(HWND mainWindow);
void OnRegisterText(HWND mainWindow);
void OnEditRegistered(HWND mainWindow);
void OnSearchText(HWND mainWindow);
void OnExtSettings(HWND mainWindow);

// After a text picked from the popup or the search window has gone onto the
// clipboard: the paste into the window the user was in, when that is on.
void OnTextPicked(HWND mainWindow);
// The hotkey of the search window, registered beside the nine.
void RegisterExtHotkeys(HWND mainWindow);
void UnregisterExtHotkeys(HWND mainWindow);

// The balloon that names hotkeys another program holds (one bit per slot).
void ShowHotkeyFailureBalloon(unsigned failedSlots);

// This computer's address as text: that of the adapter carrying the default
// route, else the host name's first IPv4 address; false when there is none.
bool GetHostIpAddress(char* out, size_t size);
