// Global hotkeys: nine commands reachable from any application.
#pragma once

#include <windows.h>

struct HotkeyDef;
struct HotkeySet;

void RegisterAllHotkeys(HWND mainWindow, const HotkeySet* set);
bool RegisterOneHotkey(HWND mainWindow, int id, const HotkeyDef* def);
void UnregisterAllHotkeys(HWND mainWindow);
LRESULT OnHotkey(HWND mainWindow, WPARAM id);
