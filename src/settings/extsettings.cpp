// The section "拡張" of the INI file: booleans and the search hotkey encoded
// as the nine hotkeys are (modifiers × 256 + virtual key).
#include "settings/extsettings.h"

#include <stdint.h>

#include "settings/appinfo.h"
#include "settings/profile.h"

const char EXT_SECTION[] = "\x8a\x67\x92\xa3";  // 拡張
// 選んだテキストを貼り付ける
const char EXT_KEY_PASTE[] =
    "\x91\x49\x82\xf1\x82\xbe\x83\x65\x83\x4c\x83\x58\x83\x67\x82\xf0\x93\x5c\x82\xe8\x95\x74\x82\xaf\x82\xe9";
// テキストの検索のホットキー
const char EXT_KEY_SEARCH_HOTKEY[] =
    "\x83\x65\x83\x4c\x83\x58\x83\x67\x82\xcc\x8c\x9f\x8d\xf5\x82\xcc\x83\x7a\x83\x62\x83\x67\x83\x4c\x81\x5b";

void ExtSettings_SetDefaults(ExtSettings* ext)
{
    ext->pasteAfterPick = false;
    ext->searchHotkey = HotkeyDef{0, 0};
}

// The same rule as the section "ホットキー": higher bits are ignored and
// modifiers beyond the four known flags make the hotkey empty.
static HotkeyDef DecodeHotkey(int value)
{
    uint32_t bits = static_cast<uint32_t>(value);
    HotkeyDef def = {static_cast<int32_t>((bits >> 8) & 0xFF), static_cast<int32_t>(bits & 0xFF)};
    if (def.modifiers > 15)
        def = HotkeyDef{0, 0};
    return def;
}

static int EncodeHotkey(const HotkeyDef& def)
{
    return ((def.modifiers & 0xFF) << 8) | (def.vk & 0xFF);
}

bool ExtSettings_IsHotkeyTaken(const HotkeySet* taken, const HotkeyDef* def)
{
    if (!taken || HotkeyDef_IsEmpty(*def))
        return false;
    for (const HotkeyDef& slot : taken->slots) {
        if (!HotkeyDef_IsEmpty(slot) && slot.modifiers == def->modifiers && slot.vk == def->vk)
            return true;
    }
    return false;
}

void ExtSettings_Load(ExtSettings* ext, const char* ini, const HotkeySet* taken)
{
    ext->pasteAfterPick = ReadProfileBool(ini, EXT_SECTION, EXT_KEY_PASTE, ext->pasteAfterPick);
    int stored = ReadProfileInt(ini, EXT_SECTION, EXT_KEY_SEARCH_HOTKEY, EncodeHotkey(ext->searchHotkey));
    ext->searchHotkey = DecodeHotkey(stored);
    if (ExtSettings_IsHotkeyTaken(taken, &ext->searchHotkey))
        ext->searchHotkey = HotkeyDef{0, 0};
}

void ExtSettings_Save(const ExtSettings* ext, const char* ini)
{
    WriteProfileBool(ini, EXT_SECTION, EXT_KEY_PASTE, ext->pasteAfterPick);
    WriteProfileInt(ini, EXT_SECTION, EXT_KEY_SEARCH_HOTKEY, EncodeHotkey(ext->searchHotkey));
}
