// The extended settings dialog "拡張設定": pasting after a pick, starting
// with Windows and the hotkey of the search window, stored only on OK and
// never with a hotkey that one of the nine hotkeys holds.
#pragma once

#include <windows.h>

#include "settings/appinfo.h"

// What the dialog edits. The caller fills it in, and reads it back when the
// dialog ends with OK; taken stays the caller's and is only read.
struct ExtSettingsRecord {
    bool pasteAfterPick;
    bool startWithWindows;
    HotkeyDef searchHotkey;
    const HotkeySet* taken;  // the nine hotkeys, which the search hotkey must not repeat
};

// Runs the dialog modally over owner on the caller's record; true when it
// ended with OK (and only then the record holds the new choices). While it
// is open, a second call brings it to the front and gives false. The caller
// unregisters the program's hotkeys before, so that their combinations reach
// the hotkey control, and registers them again afterwards.
bool ExtSettingsDlg_Show(HWND owner, ExtSettingsRecord* record);
// The same with the template taken from the module templates.
bool ExtSettingsDlg_ShowFrom(HINSTANCE templates, HWND owner, ExtSettingsRecord* record);
bool ExtSettingsDlg_IsOpen();
