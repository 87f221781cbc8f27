// Tamarin's settings record: its defaults, and how it is read from and
// written to the INI file beside the executable, keys of the older layout
// included.
#include "settings/settings.h"

#include <stdint.h>
#include <string.h>

#include "settings/apppath.h"
#include "settings/extsettings.h"
#include "settings/hotkeytable.h"
#include "settings/profile.h"
#include "text/path.h"
#include "text/text.h"

enum {
    INI_PATH_SIZE = 260,
    // Text read from the INI file: at most 259 bytes of log folder and 1022
    // bytes of date format, as the fields have always held.
    LOG_FOLDER_READ_SIZE = 260,
    DATE_FORMAT_READ_SIZE = 1023,
    DEFAULT_REPAIR_INTERVAL = 300000,
    MIN_REPAIR_INTERVAL = 10000,
};

static const char DEFAULT_DATE_FORMAT[] = "%02H:%02M:%02S %04Y/%02m/%02d";

static const char SECTION_MAIN[] = "Tamarin";
static const char SECTION_MENU_POS[] = "\x83\x81\x83\x6a\x83\x85\x81\x5b\x82\xcc\x95\x5c\x8e\xa6\x88\xca\x92\x75";  // メニューの表示位置
static const char SECTION_DATE_FORMAT[] = "\x93\xfa\x8e\x9e\x82\xcc\x8f\x91\x8e\xae";  // 日時の書式
static const char SECTION_HOTKEYS[] = "\x83\x7a\x83\x62\x83\x67\x83\x4c\x81\x5b";    // ホットキー

// Keys of the main section.
static const char KEY_HISTORY_MAX[] = "\x97\x9a\x97\xf0\x82\xcc\x8b\x4c\x89\xaf\x90\x94";  // 履歴の記憶数
static const char KEY_MENU_TEXT_CHARS[] =
    "\x83\x65\x83\x4c\x83\x58\x83\x67\x88\xea\x97\x97\x82\xcc\x95\xb6\x8e\x9a\x90\x94";  // テキスト一覧の文字数
static const char KEY_NEWEST_FIRST[] =
    "\x90\x56\x82\xb5\x82\xa2\x97\x9a\x97\xf0\x82\xf0\x8f\xe3\x91\xa4\x82\xc9\x94\x7a\x92\x75";  // 新しい履歴を上側に配置
static const char KEY_REGISTERED_FIRST[] =
    "\x93\x6f\x98\x5e\x83\x65\x83\x4c\x83\x58\x83\x67\x82\xf0\x8f\xe3\x91\xa4\x82\xc9\x94\x7a\x92\x75";  // 登録テキストを上側に配置
static const char KEY_SHOW_MENU_TIPS[] =
    "\x83\x81\x83\x6a\x83\x85\x81\x5b\x83\x60\x83\x62\x83\x76\x82\xf0\x95\x5c\x8e\xa6\x82\xb7\x82\xe9";  // メニューチップを表示する
static const char KEY_MENU_TIP_CHARS[] =
    "\x83\x81\x83\x6a\x83\x85\x81\x5b\x83\x60\x83\x62\x83\x76\x82\xcc\x95\xb6\x8e\x9a\x90\x94";  // メニューチップの文字数
static const char KEY_HISTORY_ENABLED[] =
    "\x97\x9a\x97\xf0\x8b\x40\x94\x5c\x82\xf0\x97\x98\x97\x70\x82\xb7\x82\xe9";  // 履歴機能を利用する
static const char KEY_USE_HISTORY_FILE[] =
    "\x97\x9a\x97\xf0\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xf0\x97\x98\x97\x70\x82\xb7\x82\xe9";  // 履歴ファイルを利用する
static const char KEY_ANIMATE_ICON[] = "\x83\x41\x83\x43\x83\x52\x83\x93\x82\xf0\x83\x41\x83\x6a\x83\x81\x81\x5b"
                                       "\x83\x56\x83\x87\x83\x93\x82\xb3\x82\xb9\x82\xe9";  // アイコンをアニメーションさせる
static const char KEY_AUTO_REPAIR_CHAIN[] =
    "\x8a\xc4\x8e\x8b\x83\x60\x83\x46\x83\x43\x83\x93\x82\xcc\x8e\xa9\x93\xae\x8f\x43\x95\x9c";  // 監視チェインの自動修復
static const char KEY_REPAIR_INTERVAL[] =
    "\x8a\xc4\x8e\x8b\x83\x60\x83\x46\x83\x43\x83\x93\x82\xcc\x8f\x43\x95\x9c\x8a\xd4\x8a\x75";  // 監視チェインの修復間隔
static const char KEY_LOG_FOLDER[] = "\x83\x8d\x83\x4f\x83\x74\x83\x48\x83\x8b\x83\x5f";  // ログフォルダ
static const char KEY_LOG_TEXT[] =
    "\x83\x65\x83\x4c\x83\x58\x83\x67\x82\xf0\x83\x8d\x83\x4f\x82\xd6\x8f\x91\x82\xab\x8f\x6f\x82\xb7";  // テキストをログへ書き出す
static const char KEY_LOG_IMAGE[] =
    "\x83\x43\x83\x81\x81\x5b\x83\x57\x82\xf0\x83\x8d\x83\x4f\x82\xd6\x8f\x91\x82\xab\x8f\x6f\x82\xb7";  // イメージをログへ書き出す

// Keys of the section "メニューの表示位置" and "日時の書式".
static const char KEY_MENU_X[] = "x";
static const char KEY_MENU_Y[] = "y";
static const char KEY_FORMAT_COUNT[] = "\x8f\x91\x8e\xae\x90\x94";  // 書式数
static const char KEY_FORMAT_FIRST[] = "0";

// Keys of the older layout, all in the main section. They are read when
// present and deleted by every save.
static const char KEY_OLD_SAVE_HISTORY[] = "\x97\x9a\x97\xf0\x82\xf0\x95\xdb\x91\xb6\x82\xb7\x82\xe9";  // 履歴を保存する
static const char KEY_OLD_TEXT_TO_FILE[] =
    "\x83\x65\x83\x4c\x83\x58\x83\x67\x82\xf0\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xd6\x95\xdb\x91\xb6";  // テキストをファイルへ保存
static const char KEY_OLD_IMAGE_TO_FILE[] =
    "\x83\x43\x83\x81\x81\x5b\x83\x57\x82\xf0\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xd6\x95\xdb\x91\xb6";  // イメージをファイルへ保存
static const char KEY_OLD_SHOW_HISTORY[] = "\x97\x9a\x97\xf0\x82\xf0\x95\x5c\x8e\xa6";  // 履歴を表示
static const char KEY_OLD_SHOW_MENU[] = "\x83\x81\x83\x6a\x83\x85\x81\x5b\x82\xf0\x95\x5c\x8e\xa6";  // メニューを表示
static const char KEY_OLD_SHOW_EDITOR[] = "\x81\x75\x93\x6f\x98\x5e\x83\x65\x83\x4c\x83\x58\x83\x67\x82\xcc"
                                          "\x95\xd2\x8f\x57\x81\x76\x82\xf0\x95\x5c\x8e\xa6";  // 「登録テキストの編集」を表示
static const char KEY_OLD_SHOW_FREQUENT[] = "\x81\x75\x82\xe6\x82\xad\x8e\x67\x82\xa4\x83\x65\x83\x4c\x83\x58\x83\x67"
                                            "\x82\xcc\x93\x6f\x98\x5e\x81\x76\x82\xf0\x95\x5c\x8e\xa6";  // 「よく使うテキストの登録」を表示

static int ClampInt(int value, int low, int high)
{
    if (value < low)
        return low;
    if (value > high)
        return high;
    return value;
}

void SetDefaultSettings(AppInfo* info)
{
    memset(info, 0, sizeof(*info));
    info->historyMax = 30;
    info->menuTextChars = 64;
    info->newestFirst = true;
    info->registeredFirst = true;
    info->showMenuTips = true;
    info->menuTipChars = 1024;
    info->menuPos.x = 0;
    info->menuPos.y = 0;
    info->historyEnabled = true;
    info->useHistoryFile = true;
    info->animateIcon = true;
    info->autoRepairChain = true;
    info->repairInterval = DEFAULT_REPAIR_INTERVAL;
    info->logText = false;
    info->logImage = false;

    // The log folder lies beside the other files of the program; without a
    // module path it is "log" in the current folder.
    char folder[LOG_FOLDER_SIZE];
    if (!AppPath_GetFileFolder(folder, sizeof(folder)))
        folder[0] = 0;
    PathJoin(info->logFolder, LOG_FOLDER_SIZE, folder, "log");
    StrCopyN(info->dateFormat, DATE_FORMAT_SIZE - 1, DEFAULT_DATE_FORMAT);
    ExtSettings_SetDefaults(&info->ext);
}

// A stored hotkey is one integer, modifiers in bits 8 to 15 and the virtual
// key in bits 0 to 7. Higher bits are ignored; modifiers beyond the four
// known flags make the slot empty, which turns every negative number that
// reaches bit 15 into an empty slot.
static HotkeyDef DecodeHotkey(int value)
{
    uint32_t bits = static_cast<uint32_t>(value);
    HotkeyDef def;
    def.modifiers = static_cast<int32_t>((bits >> 8) & 0xFF);
    def.vk = static_cast<int32_t>(bits & 0xFF);
    if (def.modifiers > 15) {
        def.modifiers = 0;
        def.vk = 0;
    }
    return def;
}

static int EncodeHotkey(const HotkeyDef& def)
{
    return ((def.modifiers & 0xFF) << 8) | (def.vk & 0xFF);
}

static bool SameHotkey(const HotkeyDef& a, const HotkeyDef& b)
{
    return a.modifiers == b.modifiers && a.vk == b.vk;
}

void LoadHotkeys(HotkeySet* set, const char* path, const char* section)
{
    int stored[HOTKEY_COUNT] = {};
    // The older layout kept three hotkeys in the main section; the key of its
    // registered-text editor wins over the earlier one of the same slot.
    stored[0] = ReadProfileInt(path, SECTION_MAIN, KEY_OLD_SHOW_HISTORY, stored[0]);
    stored[1] = ReadProfileInt(path, SECTION_MAIN, KEY_OLD_SHOW_MENU, stored[1]);
    stored[2] = ReadProfileInt(path, SECTION_MAIN, KEY_OLD_SHOW_FREQUENT, stored[2]);
    stored[2] = ReadProfileInt(path, SECTION_MAIN, KEY_OLD_SHOW_EDITOR, stored[2]);
    for (const HotkeyTableRow& row : HOTKEY_TABLE)
        stored[row.slot] = ReadProfileInt(path, section, row.iniKey, stored[row.slot]);
    for (int i = 0; i < HOTKEY_COUNT; i++)
        set->slots[i] = DecodeHotkey(stored[i]);

    // Two slots with the same key combination both become empty. Pairs are
    // taken in table order with the clearing already done, so of three equal
    // slots the last one in table order keeps its hotkey.
    for (int i = 0; i < HOTKEY_COUNT; i++) {
        HotkeyDef& a = set->slots[HOTKEY_TABLE[i].slot];
        for (int j = i + 1; j < HOTKEY_COUNT; j++) {
            HotkeyDef& b = set->slots[HOTKEY_TABLE[j].slot];
            if (!HotkeyDef_IsEmpty(a) && !HotkeyDef_IsEmpty(b) && SameHotkey(a, b)) {
                a = HotkeyDef{0, 0};
                b = HotkeyDef{0, 0};
            }
        }
    }
}

void SaveHotkeys(const HotkeySet* set, const char* path, const char* section)
{
    for (const HotkeyTableRow& row : HOTKEY_TABLE)
        WriteProfileInt(path, section, row.iniKey, EncodeHotkey(set->slots[row.slot]));
}

void Settings_LoadFrom(AppInfo* info, const char* ini)
{
    SetDefaultSettings(info);

    // Keys of the older layout first, so that the keys that replaced them win.
    info->useHistoryFile = ReadProfileBool(ini, SECTION_MAIN, KEY_OLD_SAVE_HISTORY, info->useHistoryFile);
    info->logText = ReadProfileBool(ini, SECTION_MAIN, KEY_OLD_TEXT_TO_FILE, info->logText);
    info->logImage = ReadProfileBool(ini, SECTION_MAIN, KEY_OLD_IMAGE_TO_FILE, info->logImage);

    info->historyEnabled = ReadProfileBool(ini, SECTION_MAIN, KEY_HISTORY_ENABLED, info->historyEnabled);
    info->useHistoryFile = ReadProfileBool(ini, SECTION_MAIN, KEY_USE_HISTORY_FILE, info->useHistoryFile);
    info->animateIcon = ReadProfileBool(ini, SECTION_MAIN, KEY_ANIMATE_ICON, info->animateIcon);

    info->historyMax = ReadProfileInt(ini, SECTION_MAIN, KEY_HISTORY_MAX, info->historyMax);
    info->menuTextChars = ReadProfileInt(ini, SECTION_MAIN, KEY_MENU_TEXT_CHARS, info->menuTextChars);
    info->newestFirst = ReadProfileBool(ini, SECTION_MAIN, KEY_NEWEST_FIRST, info->newestFirst);
    info->registeredFirst = ReadProfileBool(ini, SECTION_MAIN, KEY_REGISTERED_FIRST, info->registeredFirst);
    info->historyMax = ClampInt(info->historyMax, 1, HISTORY_MAX_LIMIT);
    info->menuTextChars = ClampInt(info->menuTextChars, 3, 256);

    info->menuPos.x = ReadProfileInt(ini, SECTION_MENU_POS, KEY_MENU_X, info->menuPos.x);
    info->menuPos.y = ReadProfileInt(ini, SECTION_MENU_POS, KEY_MENU_Y, info->menuPos.y);

    info->showMenuTips = ReadProfileBool(ini, SECTION_MAIN, KEY_SHOW_MENU_TIPS, info->showMenuTips);
    info->menuTipChars = ReadProfileInt(ini, SECTION_MAIN, KEY_MENU_TIP_CHARS, info->menuTipChars);
    info->menuTipChars = ClampInt(info->menuTipChars, 2, 65534);

    LoadHotkeys(&info->hotkeys, ini, SECTION_HOTKEYS);

    // Only the first format is kept; "書式数" and any further numbered keys are not read.
    char format[DATE_FORMAT_SIZE];
    Profile_ReadText(ini, SECTION_DATE_FORMAT, KEY_FORMAT_FIRST, DEFAULT_DATE_FORMAT, format, DATE_FORMAT_READ_SIZE);
    StrCopyN(info->dateFormat, DATE_FORMAT_SIZE, format);

    info->autoRepairChain = ReadProfileBool(ini, SECTION_MAIN, KEY_AUTO_REPAIR_CHAIN, info->autoRepairChain);
    info->repairInterval = ReadProfileInt(ini, SECTION_MAIN, KEY_REPAIR_INTERVAL, info->repairInterval);
    if (info->repairInterval < MIN_REPAIR_INTERVAL)
        info->repairInterval = MIN_REPAIR_INTERVAL;

    char folder[LOG_FOLDER_SIZE];
    Profile_ReadText(ini, SECTION_MAIN, KEY_LOG_FOLDER, info->logFolder, folder, LOG_FOLDER_READ_SIZE);
    StrCopyN(info->logFolder, LOG_FOLDER_SIZE, folder);

    info->logText = ReadProfileBool(ini, SECTION_MAIN, KEY_LOG_TEXT, info->logText);
    info->logImage = ReadProfileBool(ini, SECTION_MAIN, KEY_LOG_IMAGE, info->logImage);

    ExtSettings_Load(&info->ext, ini, &info->hotkeys);
}

// "履歴機能を利用する" is read but never written: the history switch lasts
// until the process ends, and only a value put into the file by hand
// decides the state at start-up.
static void WriteSettingsKeys(const AppInfo* info, const char* ini)
{
    WriteProfileBool(ini, SECTION_MAIN, KEY_USE_HISTORY_FILE, info->useHistoryFile);
    WriteProfileBool(ini, SECTION_MAIN, KEY_ANIMATE_ICON, info->animateIcon);

    WriteProfileInt(ini, SECTION_MAIN, KEY_HISTORY_MAX, info->historyMax);
    WriteProfileInt(ini, SECTION_MAIN, KEY_MENU_TEXT_CHARS, info->menuTextChars);
    WriteProfileBool(ini, SECTION_MAIN, KEY_NEWEST_FIRST, info->newestFirst);
    WriteProfileBool(ini, SECTION_MAIN, KEY_REGISTERED_FIRST, info->registeredFirst);

    WriteProfileInt(ini, SECTION_MENU_POS, KEY_MENU_X, info->menuPos.x);
    WriteProfileInt(ini, SECTION_MENU_POS, KEY_MENU_Y, info->menuPos.y);

    WriteProfileBool(ini, SECTION_MAIN, KEY_SHOW_MENU_TIPS, info->showMenuTips);
    WriteProfileInt(ini, SECTION_MAIN, KEY_MENU_TIP_CHARS, info->menuTipChars);

    SaveHotkeys(&info->hotkeys, ini, SECTION_HOTKEYS);

    WriteProfileInt(ini, SECTION_DATE_FORMAT, KEY_FORMAT_COUNT, 1);
    Profile_WriteText(ini, SECTION_DATE_FORMAT, KEY_FORMAT_FIRST, info->dateFormat);

    WriteProfileBool(ini, SECTION_MAIN, KEY_AUTO_REPAIR_CHAIN, info->autoRepairChain);
    WriteProfileInt(ini, SECTION_MAIN, KEY_REPAIR_INTERVAL, info->repairInterval);

    WriteProfileBool(ini, SECTION_MAIN, KEY_LOG_TEXT, info->logText);
    WriteProfileBool(ini, SECTION_MAIN, KEY_LOG_IMAGE, info->logImage);

    Profile_WriteText(ini, SECTION_MAIN, KEY_LOG_FOLDER, info->logFolder);

    DeleteProfileKey(ini, SECTION_MAIN, KEY_OLD_SHOW_HISTORY);
    DeleteProfileKey(ini, SECTION_MAIN, KEY_OLD_SHOW_MENU);
    DeleteProfileKey(ini, SECTION_MAIN, KEY_OLD_SHOW_EDITOR);
    DeleteProfileKey(ini, SECTION_MAIN, KEY_OLD_SHOW_FREQUENT);
    DeleteProfileKey(ini, SECTION_MAIN, KEY_OLD_SAVE_HISTORY);
    DeleteProfileKey(ini, SECTION_MAIN, KEY_OLD_TEXT_TO_FILE);
    DeleteProfileKey(ini, SECTION_MAIN, KEY_OLD_IMAGE_TO_FILE);

    ExtSettings_Save(&info->ext, ini);
}

// All keys go into the file in one replacement: killed in the middle, or on
// a full disk, the INI file is either the old one or the new one, and keys
// and sections that are not Tamarin's stay as they were.
bool Settings_SaveTo(const AppInfo* info, const char* ini)
{
    if (!Profile_BeginBatch(ini))
        return false;
    WriteSettingsKeys(info, ini);
    return Profile_EndBatch();
}

// Without a module path there is no INI file: the settings stay at their
// defaults and are not saved.
void LoadSettings(AppInfo* info)
{
    char ini[INI_PATH_SIZE];
    if (!GetAppFilePath(ini, sizeof(ini), ".ini")) {
        SetDefaultSettings(info);
        return;
    }
    Settings_LoadFrom(info, ini);
}

bool SaveSettings(const AppInfo* info)
{
    char ini[INI_PATH_SIZE];
    if (!GetAppFilePath(ini, sizeof(ini), ".ini"))
        return true;
    return Settings_SaveTo(info, ini);
}
