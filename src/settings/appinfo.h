// AppInfo: every user setting of Tamarin, loaded from and saved to the INI file.
#pragma once

#include <stdint.h>

enum {
    HOTKEY_COUNT = 9,
    LOG_FOLDER_SIZE = 261,
    DATE_FORMAT_SIZE = 1024,
    HISTORY_MAX_LIMIT = 4095,
};

// Modifier flags as RegisterHotKey takes them, plus HOTKEY_MOD_EXT for a key
// the hotkey control reported as extended; that flag is dropped at registration.
enum {
    HOTKEY_MOD_ALT = 1,
    HOTKEY_MOD_CONTROL = 2,
    HOTKEY_MOD_SHIFT = 4,
    HOTKEY_MOD_EXT = 8,
};

struct HotkeyDef {
    int32_t modifiers;
    int32_t vk;
};

// Slots in record order: 1 text list, 2 command menu, 3 registered-text editor,
// 4 register a text, 5 date/time, 6 IP address, 7 clear clipboard,
// 8 history on/off, 9 clear history.
struct HotkeySet {
    HotkeyDef slots[HOTKEY_COUNT];
};

// The settings of what Tamarin offers beyond its original commands (the
// search window, pasting after a pick), kept in the INI section "拡張".
struct ExtSettings {
    bool pasteAfterPick;    // give the foreground back and paste after a pick
    HotkeyDef searchHotkey; // opens the search window; empty when none
};

struct MenuPoint {
    int32_t x;
    int32_t y;
};

struct AppInfo {
    int32_t historyMax;
    int32_t menuTextChars;
    bool newestFirst;
    bool registeredFirst;
    bool showMenuTips;
    int32_t menuTipChars;
    MenuPoint menuPos;
    bool historyEnabled;
    bool useHistoryFile;
    bool animateIcon;
    bool autoRepairChain;
    int32_t repairInterval;
    char logFolder[LOG_FOLDER_SIZE];
    bool logText;
    bool logImage;
    char dateFormat[DATE_FORMAT_SIZE];
    HotkeySet hotkeys;
    ExtSettings ext;
};

inline bool HotkeyDef_IsEmpty(const HotkeyDef& def) { return def.modifiers == 0 && def.vk == 0; }
