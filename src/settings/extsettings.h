// The INI section "拡張": the settings of the search window and of pasting
// after a pick, read after and written after the sections of the original
// settings.
#pragma once

struct ExtSettings;
struct HotkeyDef;
struct HotkeySet;

extern const char EXT_SECTION[];           // 拡張
extern const char EXT_KEY_PASTE[];         // 選んだテキストを貼り付ける
extern const char EXT_KEY_SEARCH_HOTKEY[]; // テキストの検索のホットキー

// Paste after a pick off, no search hotkey.
void ExtSettings_SetDefaults(ExtSettings* ext);
// Reads the section over the values in ext. A search hotkey equal to one of
// the nine hotkeys (already loaded into taken) is dropped, as equal hotkeys
// of the nine drop each other.
void ExtSettings_Load(ExtSettings* ext, const char* iniPath, const HotkeySet* taken);
void ExtSettings_Save(const ExtSettings* ext, const char* iniPath);

// Whether def, not empty, equals one of the nine hotkeys of taken.
bool ExtSettings_IsHotkeyTaken(const HotkeySet* taken, const HotkeyDef* def);
