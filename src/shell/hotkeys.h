// Global hotkeys: nine commands reachable from any application.
#pragma once

#include <windows.h>

struct HotkeyDef;
struct HotkeySet;

// Gives the slots that could not be registered (see settings/hotkeyreport.h:
// one bit per HotkeySet slot); the same answer is kept for
// Hotkeys_GetFailedSlots until the next call.
unsigned RegisterAllHotkeys(HWND mainWindow, const HotkeySet* set);
bool RegisterOneHotkey(HWND mainWindow, int id, const HotkeyDef* def);
unsigned Hotkeys_GetFailedSlots();
// The modifiers RegisterHotKey is given for def: its stored ones without the
// extended-key mark, with MOD_NOREPEAT.
UINT Hotkeys_RegistrationModifiers(const HotkeyDef* def);
void UnregisterAllHotkeys(HWND mainWindow);
LRESULT OnHotkey(HWND mainWindow, WPARAM id);
