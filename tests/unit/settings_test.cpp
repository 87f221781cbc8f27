// Tests of the settings record and its INI file: defaults, load and save
// order, ranges, the value scan, keys of the older layout, the hotkey
// encoding, hostile files, the INI layout the profile helpers leave behind
// and the naming rule of the files beside the executable. Natively they run
// against the stand-in INI reader and writer, under Wine against the real
// profile functions; both must give the same answers.
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#ifdef _WIN32
#include <direct.h>
#include <process.h>
#else
#include <unistd.h>
#endif

#include <gtest/gtest.h>

#include "settings/appinfo.h"
#include "settings/settings.h"
#include "settings/apppath.h"
#include "settings/hotkeytable.h"
#include "settings/profile.h"
#include "text/text.h"
#include "unit/settings_keys.h"

namespace {

// The main section; the others are in settings_keys.h.
const char MAIN[] = "Tamarin";

const char* const HOTKEY_KEY_OF_SLOT[HOTKEY_COUNT] = {
    H_SHOW_HISTORY, H_SHOW_MENU, H_SHOW_EDITOR, H_REGISTER, H_DATE, H_IP, H_CLEAR_CLIPBOARD, H_HISTORY_ON_OFF,
    H_CLEAR_HISTORY,
};

const char DEFAULT_FORMAT[] = "%02H:%02M:%02S %04Y/%02m/%02d";
const char ABSENT[] = "<absent>";

#ifdef _WIN32
const char SEP = '\\';
int MakeFolder(const char* path) { return _mkdir(path); }
int RemoveFolder(const char* path) { return _rmdir(path); }
int ProcessId() { return _getpid(); }
#else
const char SEP = '/';
int MakeFolder(const char* path) { return mkdir(path, 0700); }
int RemoveFolder(const char* path) { return rmdir(path); }
int ProcessId() { return static_cast<int>(getpid()); }
#endif

std::string TempFolder()
{
#ifdef _WIN32
    const char* dir = getenv("TEMP");
#else
    const char* dir = getenv("TMPDIR");
    if (!dir || !*dir)
        dir = "/tmp";
#endif
    std::string s = dir ? dir : ".";
    if (!s.empty() && s.back() != SEP)
        s += SEP;
    return s;
}

// A fresh file name for every use: the Win32 profile functions cache files by
// name, so no two tests share one.
std::string UniqueIniPath()
{
    static int counter = 0;
    char name[64];
    snprintf(name, sizeof(name), "tamarin_settings_%d_%d.ini", ProcessId(), ++counter);
    return TempFolder() + name;
}

bool FileExists(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

// INI text from lines, with the CR LF ends the program's files have.
std::string Lines(std::initializer_list<std::string> lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

std::string ReadString(const std::string& path, const char* section, const char* key)
{
    char buf[1024];
    Profile_ReadText(path.c_str(), section, key, ABSENT, buf, sizeof(buf));
    return buf;
}

class SettingsFile : public testing::Test {
protected:
    void SetUp() override { path = UniqueIniPath(); }
    void TearDown() override { remove(path.c_str()); }

    // Removes the current file and moves on to a fresh one.
    void NextFile()
    {
        remove(path.c_str());
        path = UniqueIniPath();
    }

    AppInfo LoadText(const std::string& text)
    {
        WriteFileBytes(path, text);
        AppInfo info;
        memset(&info, 0xA5, sizeof(info));
        Settings_LoadFrom(&info, path.c_str());
        return info;
    }

    std::string path;
};

void ExpectHotkey(const HotkeyDef& def, int modifiers, int vk)
{
    EXPECT_EQ(def.modifiers, modifiers);
    EXPECT_EQ(def.vk, vk);
}

// The log folder beside the executable: its folder as the system gives it,
// then a backslash and "log".
std::string ExpectedLogFolder()
{
    char module[4096];
    if (!AppPath_GetModulePath(module, sizeof(module)))
        return "log";
    std::string folder = module;
    size_t cut = folder.rfind(SEP);
    if (cut != std::string::npos)
        folder.erase(cut);
    return folder + "\\log";
}

void ExpectDefaults(const AppInfo& info)
{
    EXPECT_EQ(info.historyMax, 30);
    EXPECT_EQ(info.menuTextChars, 64);
    EXPECT_TRUE(info.newestFirst);
    EXPECT_TRUE(info.registeredFirst);
    EXPECT_TRUE(info.showMenuTips);
    EXPECT_EQ(info.menuTipChars, 1024);
    EXPECT_EQ(info.menuPos.x, 0);
    EXPECT_EQ(info.menuPos.y, 0);
    EXPECT_TRUE(info.historyEnabled);
    EXPECT_TRUE(info.useHistoryFile);
    EXPECT_TRUE(info.animateIcon);
    EXPECT_TRUE(info.autoRepairChain);
    EXPECT_EQ(info.repairInterval, 300000);
    EXPECT_STREQ(info.logFolder, ExpectedLogFolder().c_str());
    EXPECT_FALSE(info.logText);
    EXPECT_FALSE(info.logImage);
    EXPECT_STREQ(info.dateFormat, DEFAULT_FORMAT);
    for (int i = 0; i < HOTKEY_COUNT; i++)
        ExpectHotkey(info.hotkeys.slots[i], 0, 0);
}

// ---------------------------------------------------------------- defaults

TEST_F(SettingsFile, AbsentFileGivesDefaults)
{
    AppInfo info;
    memset(&info, 0xA5, sizeof(info));
    Settings_LoadFrom(&info, path.c_str());
    ExpectDefaults(info);
    EXPECT_FALSE(FileExists(path));
}

TEST_F(SettingsFile, EmptyFileAndEmptySectionsGiveDefaults)
{
    ExpectDefaults(LoadText(""));
    ExpectDefaults(LoadText(Lines({Section(MAIN), Section(S_HOTKEYS), Section(S_DATE_FORMAT)})));
}

TEST(Settings, SetDefaultSettingsOverwritesEveryField)
{
    AppInfo info;
    memset(&info, 0x5A, sizeof(info));
    SetDefaultSettings(&info);
    ExpectDefaults(info);
}

// ---------------------------------------------------------------- round trip

TEST_F(SettingsFile, EverySavedFieldLoadsBack)
{
    AppInfo saved;
    SetDefaultSettings(&saved);
    saved.historyMax = 4095;
    saved.menuTextChars = 3;
    saved.newestFirst = false;
    saved.registeredFirst = false;
    saved.showMenuTips = false;
    saved.menuTipChars = 65534;
    saved.menuPos.x = -1234;
    saved.menuPos.y = 98765;
    saved.useHistoryFile = false;
    saved.animateIcon = false;
    saved.autoRepairChain = false;
    saved.repairInterval = 2000000000;
    StrCopyN(saved.logFolder, sizeof(saved.logFolder), "D:\\Clip\\\x95\x5c\x83\x5c\\Log");  // 表ソ
    saved.logText = true;
    saved.logImage = true;
    StrCopyN(saved.dateFormat, sizeof(saved.dateFormat), "%Y\x94\x4e%m\x8c\x8e%d\x93\xfa");  // 年 月 日
    for (int i = 0; i < HOTKEY_COUNT; i++) {
        saved.hotkeys.slots[i].modifiers = (i % 15) + 1;
        saved.hotkeys.slots[i].vk = 0x41 + i;
    }
    Settings_SaveTo(&saved, path.c_str());

    AppInfo loaded;
    memset(&loaded, 0xA5, sizeof(loaded));
    Settings_LoadFrom(&loaded, path.c_str());
    EXPECT_EQ(loaded.historyMax, saved.historyMax);
    EXPECT_EQ(loaded.menuTextChars, saved.menuTextChars);
    EXPECT_EQ(loaded.newestFirst, saved.newestFirst);
    EXPECT_EQ(loaded.registeredFirst, saved.registeredFirst);
    EXPECT_EQ(loaded.showMenuTips, saved.showMenuTips);
    EXPECT_EQ(loaded.menuTipChars, saved.menuTipChars);
    EXPECT_EQ(loaded.menuPos.x, saved.menuPos.x);
    EXPECT_EQ(loaded.menuPos.y, saved.menuPos.y);
    EXPECT_EQ(loaded.useHistoryFile, saved.useHistoryFile);
    EXPECT_EQ(loaded.animateIcon, saved.animateIcon);
    EXPECT_EQ(loaded.autoRepairChain, saved.autoRepairChain);
    EXPECT_EQ(loaded.repairInterval, saved.repairInterval);
    EXPECT_STREQ(loaded.logFolder, saved.logFolder);
    EXPECT_EQ(loaded.logText, saved.logText);
    EXPECT_EQ(loaded.logImage, saved.logImage);
    EXPECT_STREQ(loaded.dateFormat, saved.dateFormat);
    for (int i = 0; i < HOTKEY_COUNT; i++)
        ExpectHotkey(loaded.hotkeys.slots[i], saved.hotkeys.slots[i].modifiers, saved.hotkeys.slots[i].vk);
}

TEST_F(SettingsFile, HistorySwitchIsReadButNeverWritten)
{
    AppInfo info;
    SetDefaultSettings(&info);
    info.historyEnabled = false;
    Settings_SaveTo(&info, path.c_str());
    EXPECT_EQ(ReadString(path, MAIN, K_HISTORY_ENABLED), ABSENT);
    Settings_LoadFrom(&info, path.c_str());
    EXPECT_TRUE(info.historyEnabled);
}

TEST_F(SettingsFile, HistorySwitchSetByHandSurvivesSaves)
{
    AppInfo info = LoadText(Lines({Section(MAIN), Entry(K_HISTORY_ENABLED, "0")}));
    EXPECT_FALSE(info.historyEnabled);
    info.historyEnabled = true;
    Settings_SaveTo(&info, path.c_str());
    EXPECT_EQ(ReadString(path, MAIN, K_HISTORY_ENABLED), "0");
    Settings_LoadFrom(&info, path.c_str());
    EXPECT_FALSE(info.historyEnabled);
}

// ---------------------------------------------------------------- ranges and the value scan

struct IntCase {
    const char* section;
    const char* key;
    const char* stored;
    int (*field)(const AppInfo&);
    int expected;
};

int HistoryMax(const AppInfo& a) { return a.historyMax; }
int MenuTextChars(const AppInfo& a) { return a.menuTextChars; }
int MenuTipChars(const AppInfo& a) { return a.menuTipChars; }
int RepairInterval(const AppInfo& a) { return a.repairInterval; }
int MenuX(const AppInfo& a) { return a.menuPos.x; }
int MenuY(const AppInfo& a) { return a.menuPos.y; }

const IntCase INT_CASES[] = {
    {MAIN, K_HISTORY_MAX, "0", HistoryMax, 1},
    {MAIN, K_HISTORY_MAX, "1", HistoryMax, 1},
    {MAIN, K_HISTORY_MAX, "4095", HistoryMax, 4095},
    {MAIN, K_HISTORY_MAX, "5000", HistoryMax, 4095},
    {MAIN, K_HISTORY_MAX, "-7", HistoryMax, 1},
    {MAIN, K_MENU_TEXT_CHARS, "1", MenuTextChars, 3},
    {MAIN, K_MENU_TEXT_CHARS, "3", MenuTextChars, 3},
    {MAIN, K_MENU_TEXT_CHARS, "256", MenuTextChars, 256},
    {MAIN, K_MENU_TEXT_CHARS, "1000", MenuTextChars, 256},
    {MAIN, K_MENU_TIP_CHARS, "1", MenuTipChars, 2},
    {MAIN, K_MENU_TIP_CHARS, "2", MenuTipChars, 2},
    {MAIN, K_MENU_TIP_CHARS, "65534", MenuTipChars, 65534},
    {MAIN, K_MENU_TIP_CHARS, "70000", MenuTipChars, 65534},
    {MAIN, K_REPAIR_INTERVAL, "500", RepairInterval, 10000},
    {MAIN, K_REPAIR_INTERVAL, "10000", RepairInterval, 10000},
    {MAIN, K_REPAIR_INTERVAL, "99999999", RepairInterval, 99999999},
    {S_MENU_POS, "x", "-32000", MenuX, -32000},
    {S_MENU_POS, "y", "70000", MenuY, 70000},
    // The "%d" scan: leading blanks and a sign, trailing text ignored.
    {MAIN, K_HISTORY_MAX, "12abc", HistoryMax, 12},
    {MAIN, K_HISTORY_MAX, "abc", HistoryMax, 30},
    {MAIN, K_HISTORY_MAX, "", HistoryMax, 30},
    {MAIN, K_HISTORY_MAX, "+", HistoryMax, 30},
    {MAIN, K_HISTORY_MAX, "- 5", HistoryMax, 30},
    {MAIN, K_HISTORY_MAX, "+17", HistoryMax, 17},
    {MAIN, K_HISTORY_MAX, "   42   ", HistoryMax, 42},
    // Quotes come off before the scan, so the blanks inside them are the scan's.
    {MAIN, K_HISTORY_MAX, "\"  42\"", HistoryMax, 42},
    {MAIN, K_HISTORY_MAX, "  '  17'  ", HistoryMax, 17},
    {S_MENU_POS, "y", "\"   -5\"", MenuY, -5},
    {MAIN, K_HISTORY_MAX, "0x20", HistoryMax, 1},
    {MAIN, K_HISTORY_MAX, "1e3", HistoryMax, 1},
    {MAIN, K_HISTORY_MAX, "25.9", HistoryMax, 25},
    {MAIN, K_MENU_TEXT_CHARS, "\x82\x50\x82\x4f", MenuTextChars, 64},  // full-width digits １０ are no number
    // Numbers beyond int are held at its ends.
    {MAIN, K_HISTORY_MAX, "99999999999", HistoryMax, 4095},
    {MAIN, K_HISTORY_MAX, "-99999999999", HistoryMax, 1},
    {MAIN, K_REPAIR_INTERVAL, "99999999999", RepairInterval, INT_MAX},
    {MAIN, K_REPAIR_INTERVAL, "2147483647", RepairInterval, INT_MAX},
    {MAIN, K_REPAIR_INTERVAL, "2147483648", RepairInterval, INT_MAX},
    {MAIN, K_REPAIR_INTERVAL, "-99999999999", RepairInterval, 10000},
    {S_MENU_POS, "x", "-2147483648", MenuX, INT_MIN},
    {S_MENU_POS, "x", "-2147483649", MenuX, INT_MIN},
    {S_MENU_POS, "y", "000000000000000000000000000000000000000000000000000000000000000000012", MenuY, 12},
};

TEST_F(SettingsFile, IntegerValuesAreScannedAndHeldToTheirRanges)
{
    for (const IntCase& c : INT_CASES) {
        NextFile();
        AppInfo info = LoadText(Lines({Section(c.section), Entry(c.key, c.stored)}));
        EXPECT_EQ(c.field(info), c.expected) << "stored " << c.stored;
    }
}

struct BoolCase {
    const char* key;
    const char* stored;
    bool (*field)(const AppInfo&);
    bool expected;
};

bool LogText(const AppInfo& a) { return a.logText; }
bool NewestFirst(const AppInfo& a) { return a.newestFirst; }
bool ShowMenuTips(const AppInfo& a) { return a.showMenuTips; }

const BoolCase BOOL_CASES[] = {
    {K_LOG_TEXT, "1", LogText, true},        {K_LOG_TEXT, "2", LogText, true},
    {K_LOG_TEXT, "-1", LogText, true},       {K_LOG_TEXT, "0", LogText, false},
    {K_LOG_TEXT, "abc", LogText, false},     {K_LOG_TEXT, "7x", LogText, true},
    {K_NEWEST_FIRST, "0", NewestFirst, false}, {K_NEWEST_FIRST, "abc", NewestFirst, true},
    {K_NEWEST_FIRST, "-0", NewestFirst, false}, {K_SHOW_MENU_TIPS, " 0 ", ShowMenuTips, false},
    {K_SHOW_MENU_TIPS, "", ShowMenuTips, true},
};

TEST_F(SettingsFile, BooleanValuesAreOnWhenNotZero)
{
    for (const BoolCase& c : BOOL_CASES) {
        NextFile();
        AppInfo info = LoadText(Lines({Section(MAIN), Entry(c.key, c.stored)}));
        EXPECT_EQ(c.field(info), c.expected) << "stored " << c.stored;
    }
}

TEST_F(SettingsFile, ProfileIntegersAreWrittenAsDecimalText)
{
    const int values[] = {0, 1, -1, 1601, INT_MAX, INT_MIN};
    for (int v : values) {
        EXPECT_TRUE(WriteProfileInt(path.c_str(), MAIN, "n", v));
        char expected[16];
        snprintf(expected, sizeof(expected), "%d", v);
        EXPECT_EQ(ReadString(path, MAIN, "n"), expected);
        EXPECT_EQ(ReadProfileInt(path.c_str(), MAIN, "n", 77), v);
    }
    EXPECT_TRUE(WriteProfileBool(path.c_str(), MAIN, "b", true));
    EXPECT_EQ(ReadString(path, MAIN, "b"), "1");
    EXPECT_TRUE(WriteProfileBool(path.c_str(), MAIN, "b", false));
    EXPECT_EQ(ReadString(path, MAIN, "b"), "0");
    EXPECT_TRUE(DeleteProfileKey(path.c_str(), MAIN, "b"));
    EXPECT_EQ(ReadString(path, MAIN, "b"), ABSENT);
    EXPECT_EQ(ReadProfileInt(path.c_str(), MAIN, "b", -5), -5);
    EXPECT_TRUE(ReadProfileBool(path.c_str(), MAIN, "b", true));
}

// ---------------------------------------------------------------- older layout

TEST_F(SettingsFile, OldHistoryFileKeyIsMigrated)
{
    AppInfo info = LoadText(Lines({Section(MAIN), Entry(K_OLD_SAVE_HISTORY, "0")}));
    EXPECT_FALSE(info.useHistoryFile);
    Settings_SaveTo(&info, path.c_str());
    EXPECT_EQ(ReadString(path, MAIN, K_USE_HISTORY_FILE), "0");
    EXPECT_EQ(ReadString(path, MAIN, K_OLD_SAVE_HISTORY), ABSENT);
    Settings_LoadFrom(&info, path.c_str());
    EXPECT_FALSE(info.useHistoryFile);
}

TEST_F(SettingsFile, OldLogKeysAreReadAndTheNewKeysWin)
{
    AppInfo info = LoadText(Lines({Section(MAIN), Entry(K_OLD_TEXT_TO_FILE, "1"), Entry(K_OLD_IMAGE_TO_FILE, "1")}));
    EXPECT_TRUE(info.logText);
    EXPECT_TRUE(info.logImage);

    NextFile();
    info = LoadText(Lines({Section(MAIN), Entry(K_LOG_TEXT, "0"), Entry(K_OLD_TEXT_TO_FILE, "1"),
                           Entry(K_OLD_SAVE_HISTORY, "0"), Entry(K_USE_HISTORY_FILE, "1")}));
    EXPECT_FALSE(info.logText);
    EXPECT_TRUE(info.useHistoryFile);
}

TEST_F(SettingsFile, EverySaveDeletesTheSevenOldKeysAndKeepsOthers)
{
    const char* oldKeys[] = {H_SHOW_HISTORY,      H_SHOW_MENU,        H_SHOW_EDITOR,      K_OLD_SHOW_FREQUENT,
                             K_OLD_SAVE_HISTORY, K_OLD_TEXT_TO_FILE, K_OLD_IMAGE_TO_FILE};
    std::string text = Section(MAIN) + "\r\n" + Entry("Unrelated", "keep") + "\r\n";
    for (const char* key : oldKeys)
        text += Entry(key, "1") + "\r\n";
    AppInfo info = LoadText(text);
    Settings_SaveTo(&info, path.c_str());
    for (const char* key : oldKeys)
        EXPECT_EQ(ReadString(path, MAIN, key), ABSENT);
    EXPECT_EQ(ReadString(path, MAIN, "Unrelated"), "keep");
}

TEST_F(SettingsFile, OldHotkeyKeysInTheMainSection)
{
    AppInfo info = LoadText(Lines({Section(MAIN), Entry(H_SHOW_HISTORY, "1601"), Entry(H_SHOW_MENU, "1602"),
                                   Entry(K_OLD_SHOW_FREQUENT, "1603")}));
    ExpectHotkey(info.hotkeys.slots[0], 6, 65);
    ExpectHotkey(info.hotkeys.slots[1], 6, 66);
    ExpectHotkey(info.hotkeys.slots[2], 6, 67);

    // The editor's newer key wins over the older one for slot 3, and the
    // hotkey section wins over the main section.
    NextFile();
    info = LoadText(Lines({Section(MAIN), Entry(H_SHOW_EDITOR, "1604"), Entry(K_OLD_SHOW_FREQUENT, "1603"),
                           Entry(H_SHOW_HISTORY, "1601"), Section(S_HOTKEYS), Entry(H_SHOW_HISTORY, "1700")}));
    ExpectHotkey(info.hotkeys.slots[0], 6, 1700 - 6 * 256);
    ExpectHotkey(info.hotkeys.slots[2], 6, 68);

    // After a save they stand in the hotkey section alone.
    Settings_SaveTo(&info, path.c_str());
    EXPECT_EQ(ReadString(path, MAIN, H_SHOW_EDITOR), ABSENT);
    EXPECT_EQ(ReadString(path, S_HOTKEYS, H_SHOW_EDITOR), "1604");
    EXPECT_EQ(ReadString(path, S_HOTKEYS, H_SHOW_HISTORY), "1700");
}

TEST_F(SettingsFile, LoadHotkeysReadsTheOldKeysFromTheMainSectionWhateverTheSection)
{
    WriteFileBytes(path, Lines({Section(MAIN), Entry(H_SHOW_MENU, "1602"), Section("Other"), Entry(H_IP, "1609")}));
    HotkeySet set;
    memset(&set, 0x33, sizeof(set));
    LoadHotkeys(&set, path.c_str(), "Other");
    for (int i = 0; i < HOTKEY_COUNT; i++) {
        if (i == 1)
            ExpectHotkey(set.slots[i], 6, 66);
        else if (i == 5)
            ExpectHotkey(set.slots[i], 6, 73);
        else
            ExpectHotkey(set.slots[i], 0, 0);
    }
}

// ---------------------------------------------------------------- hotkey encoding

struct HotkeyCase {
    const char* stored;
    int modifiers;
    int vk;
};

const HotkeyCase HOTKEY_CASES[] = {
    {"1601", 6, 65},           // Ctrl+Shift+A
    {"1622", 6, 86},           // Ctrl+Shift+V
    {"2605", 8 | 2, 45},       // Ctrl+Insert, an extended key
    {"65", 0, 65},             // a key without modifiers
    {"256", 1, 0},             // modifiers without a key
    {"4095", 15, 255},         // every modifier bit that may be set
    {"4161", 0, 0},            // modifiers 16: empty
    {"65536", 0, 0},           // only higher bits: nothing
    {"67137", 6, 65},          // 65536 + 1601: the bits above 15 are ignored
    {"-1", 0, 0},              // negative: modifiers 255, empty
    {"-1601", 0, 0},
    {"0", 0, 0},
    {"abc", 0, 0},
    {"99999999999", 0, 0},
};

TEST_F(SettingsFile, HotkeyValuesDecodeToModifiersAndKey)
{
    for (const HotkeyCase& c : HOTKEY_CASES) {
        NextFile();
        AppInfo info = LoadText(Lines({Section(S_HOTKEYS), Entry(H_REGISTER, c.stored)}));
        SCOPED_TRACE(c.stored);
        ExpectHotkey(info.hotkeys.slots[3], c.modifiers, c.vk);
    }
}

TEST_F(SettingsFile, EveryHotkeyKeyReadsIntoItsOwnSlot)
{
    std::string text = Section(S_HOTKEYS) + "\r\n";
    for (int i = 0; i < HOTKEY_COUNT; i++)
        text += Entry(HOTKEY_KEY_OF_SLOT[i], std::to_string(2 * 256 + 0x70 + i)) + "\r\n";
    AppInfo info = LoadText(text);
    for (int i = 0; i < HOTKEY_COUNT; i++)
        ExpectHotkey(info.hotkeys.slots[i], 2, 0x70 + i);
}

TEST_F(SettingsFile, EveryHotkeySlotIsWrittenUnderItsOwnKey)
{
    AppInfo info;
    SetDefaultSettings(&info);
    for (int i = 0; i < HOTKEY_COUNT; i++)
        info.hotkeys.slots[i] = HotkeyDef{4, 0x30 + i};
    info.hotkeys.slots[4] = HotkeyDef{0, 0};
    // Only the low byte of each field is stored.
    info.hotkeys.slots[8] = HotkeyDef{0x106, 0x141};
    Settings_SaveTo(&info, path.c_str());
    for (int i = 0; i < HOTKEY_COUNT; i++) {
        int expected = i == 4 ? 0 : i == 8 ? 1601 : 4 * 256 + 0x30 + i;
        EXPECT_EQ(ReadString(path, S_HOTKEYS, HOTKEY_KEY_OF_SLOT[i]), std::to_string(expected)) << "slot " << i + 1;
    }
}

TEST_F(SettingsFile, TwoEqualHotkeysAreBothDropped)
{
    AppInfo info = LoadText(Lines({Section(S_HOTKEYS), Entry(H_DATE, "1601"), Entry(H_CLEAR_HISTORY, "67137"),
                                   Entry(H_IP, "1602")}));
    ExpectHotkey(info.hotkeys.slots[4], 0, 0);
    ExpectHotkey(info.hotkeys.slots[8], 0, 0);
    ExpectHotkey(info.hotkeys.slots[5], 6, 66);
}

TEST_F(SettingsFile, OfThreeEqualHotkeysTheLastInTableOrderStays)
{
    // Table order visits slot 8 before slot 7, so slot 7 is the third.
    AppInfo info = LoadText(Lines({Section(S_HOTKEYS), Entry(H_SHOW_HISTORY, "1601"),
                                   Entry(H_CLEAR_CLIPBOARD, "1601"), Entry(H_HISTORY_ON_OFF, "1601")}));
    ExpectHotkey(info.hotkeys.slots[0], 0, 0);
    ExpectHotkey(info.hotkeys.slots[7], 0, 0);
    ExpectHotkey(info.hotkeys.slots[6], 6, 65);
}

TEST(HotkeyTable, RowsGiveSlotKeyAndIdInTableOrder)
{
    const int slots[HOTKEY_COUNT] = {1, 2, 3, 4, 5, 6, 8, 7, 9};
    const unsigned ids[HOTKEY_COUNT] = {32770, 32771, 40049, 40031, 40045, 40034, 40054, 40055, 40050};
    for (int row = 0; row < HOTKEY_COUNT; row++) {
        EXPECT_EQ(HOTKEY_TABLE[row].slot, slots[row] - 1) << "row " << row + 1;
        EXPECT_STREQ(HOTKEY_TABLE[row].iniKey, HOTKEY_KEY_OF_SLOT[slots[row] - 1]) << "row " << row + 1;
        EXPECT_EQ(HOTKEY_TABLE[row].id, ids[row]) << "row " << row + 1;
    }
}

// ---------------------------------------------------------------- date formats

TEST_F(SettingsFile, OnlyTheFirstDateFormatIsKept)
{
    AppInfo info = LoadText(Lines({Section(S_DATE_FORMAT), Entry(K_FORMAT_COUNT, "3"), Entry("0", "%Y-%m-%d"),
                                   Entry("1", "second"), Entry("2", "third")}));
    EXPECT_STREQ(info.dateFormat, "%Y-%m-%d");
    Settings_SaveTo(&info, path.c_str());
    EXPECT_EQ(ReadString(path, S_DATE_FORMAT, K_FORMAT_COUNT), "1");
    EXPECT_EQ(ReadString(path, S_DATE_FORMAT, "0"), "%Y-%m-%d");
    EXPECT_EQ(ReadString(path, S_DATE_FORMAT, "1"), "second");
    EXPECT_EQ(ReadString(path, S_DATE_FORMAT, "2"), "third");
}

TEST_F(SettingsFile, AFreshSaveWritesOneDateFormat)
{
    AppInfo info;
    SetDefaultSettings(&info);
    Settings_SaveTo(&info, path.c_str());
    EXPECT_EQ(ReadString(path, S_DATE_FORMAT, K_FORMAT_COUNT), "1");
    EXPECT_EQ(ReadString(path, S_DATE_FORMAT, "0"), DEFAULT_FORMAT);
    EXPECT_EQ(ReadString(path, S_DATE_FORMAT, "1"), ABSENT);
}

// ---------------------------------------------------------------- hostile files

std::string Repeat(const std::string& unit, size_t count)
{
    std::string s;
    for (size_t i = 0; i < count; i++)
        s += unit;
    return s;
}

struct LongTextCase {
    std::string stored;
    size_t folderLen;  // at most 259 bytes, never ending on a lead byte
    size_t formatLen;  // at most 1022 bytes, likewise
};

TEST_F(SettingsFile, LongTextsAreCutWithoutSplittingACharacter)
{
    const std::string hyo = "\x95\x5c";  // 表
    const LongTextCase cases[] = {
        {Repeat("a", 5000), 259, 1022},
        {Repeat(hyo, 2500), 258, 1022},
        {"a" + Repeat(hyo, 2500), 259, 1021},
    };
    for (const LongTextCase& c : cases) {
        NextFile();
        AppInfo info = LoadText(
            Lines({Section(MAIN), Entry(K_LOG_FOLDER, c.stored), Section(S_DATE_FORMAT), Entry("0", c.stored)}));
        EXPECT_EQ(strlen(info.logFolder), c.folderLen);
        EXPECT_EQ(c.stored.compare(0, c.folderLen, info.logFolder), 0);
        EXPECT_EQ(strlen(info.dateFormat), c.formatLen);
        EXPECT_EQ(c.stored.compare(0, c.formatLen, info.dateFormat), 0);
    }
}

void ExpectInRange(const AppInfo& info)
{
    EXPECT_GE(info.historyMax, 1);
    EXPECT_LE(info.historyMax, 4095);
    EXPECT_GE(info.menuTextChars, 3);
    EXPECT_LE(info.menuTextChars, 256);
    EXPECT_GE(info.menuTipChars, 2);
    EXPECT_LE(info.menuTipChars, 65534);
    EXPECT_GE(info.repairInterval, 10000);
    EXPECT_LT(strlen(info.logFolder), static_cast<size_t>(LOG_FOLDER_SIZE));
    EXPECT_LT(strlen(info.dateFormat), static_cast<size_t>(DATE_FORMAT_SIZE));
    for (int i = 0; i < HOTKEY_COUNT; i++) {
        EXPECT_GE(info.hotkeys.slots[i].modifiers, 0);
        EXPECT_LE(info.hotkeys.slots[i].modifiers, 15);
        EXPECT_GE(info.hotkeys.slots[i].vk, 0);
        EXPECT_LE(info.hotkeys.slots[i].vk, 255);
    }
}

TEST_F(SettingsFile, HostileValuesLoadToDefinedValues)
{
    const char* intKeys[] = {K_HISTORY_MAX, K_MENU_TEXT_CHARS, K_MENU_TIP_CHARS, K_REPAIR_INTERVAL};
    const char* boolKeys[] = {K_NEWEST_FIRST,   K_REGISTERED_FIRST, K_SHOW_MENU_TIPS, K_HISTORY_ENABLED,
                              K_USE_HISTORY_FILE, K_ANIMATE_ICON,  K_AUTO_REPAIR,    K_LOG_TEXT,
                              K_LOG_IMAGE};
    const std::string values[] = {
        "99999999999999999999999999999999",
        "-99999999999999999999999999999999",
        "-2147483648",
        "garbage",
        Repeat("9", 5000),
        std::string("\x81\xff\xfe\x01\x7f\x81", 6),
        Repeat("\x81", 3000),
        "\"",
    };
    for (const std::string& value : values) {
        NextFile();
        std::string text = Section(MAIN) + "\r\n";
        for (const char* key : intKeys)
            text += Entry(key, value) + "\r\n";
        for (const char* key : boolKeys)
            text += Entry(key, value) + "\r\n";
        text += Entry(K_LOG_FOLDER, value) + "\r\n" + Section(S_MENU_POS) + "\r\n" + Entry("x", value) + "\r\n" +
                Entry("y", value) + "\r\n" + Section(S_DATE_FORMAT) + "\r\n" + Entry("0", value) + "\r\n" +
                Section(S_HOTKEYS) + "\r\n";
        for (const char* key : HOTKEY_KEY_OF_SLOT)
            text += Entry(key, value) + "\r\n";
        AppInfo info = LoadText(text);
        SCOPED_TRACE(value.substr(0, 40));
        ExpectInRange(info);
        // Whatever the text, no field ends on a lone lead byte.
        size_t len = strlen(info.logFolder);
        if (len > 0) {
            EXPECT_NE(MbcsByteKind(info.logFolder, len - 1), MBCS_LEAD);
        }
        len = strlen(info.dateFormat);
        if (len > 0) {
            EXPECT_NE(MbcsByteKind(info.dateFormat, len - 1), MBCS_LEAD);
        }
    }
}

TEST_F(SettingsFile, BinaryJunkFileLoadsWithoutHarm)
{
    std::string junk;
    unsigned int seed = 12345;
    for (int i = 0; i < 20000; i++) {
        seed = seed * 1103515245u + 12345u;
        junk += static_cast<char>((seed >> 16) & 0xFF);
    }
    // Some real lines among the junk, one of them cut off at the end.
    junk = Lines({Section(MAIN), Entry(K_HISTORY_MAX, "77")}) + junk + "\r\n[" + MAIN + "\r\n" + K_LOG_TEXT + "=1";
    AppInfo info = LoadText(junk);
    ExpectInRange(info);
    EXPECT_EQ(info.historyMax, 77);
}

TEST_F(SettingsFile, AFolderInPlaceOfTheFileGivesDefaultsAndIsLeftAlone)
{
    ASSERT_EQ(MakeFolder(path.c_str()), 0);
    AppInfo info;
    memset(&info, 0xA5, sizeof(info));
    Settings_LoadFrom(&info, path.c_str());
    ExpectDefaults(info);
    info.historyMax = 99;
    Settings_SaveTo(&info, path.c_str());
    EXPECT_FALSE(WriteProfileInt(path.c_str(), MAIN, K_HISTORY_MAX, 5));
    Settings_LoadFrom(&info, path.c_str());
    EXPECT_EQ(info.historyMax, 30);
    struct stat st;
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    EXPECT_EQ(RemoveFolder(path.c_str()), 0);
}

TEST_F(SettingsFile, AFileInAMissingFolderGivesDefaults)
{
    std::string missing = TempFolder() + "tamarin_no_such_folder_" + std::to_string(ProcessId()) + SEP + "t.ini";
    AppInfo info;
    Settings_LoadFrom(&info, missing.c_str());
    ExpectDefaults(info);
    Settings_SaveTo(&info, missing.c_str());
    EXPECT_FALSE(FileExists(missing));
}

// ---------------------------------------------------------------- INI layout

// The writer must leave the file as the system's profile functions do; these
// steps give the same bytes under both.
struct LayoutStep {
    const char* section;
    const char* key;
    const char* value;  // null deletes
    const char* expected;
};

const LayoutStep LAYOUT_STEPS[] = {
    {"s1", "a", "1", "[s1]\r\na=1\r\n"},
    {"s1", "b", "2", "[s1]\r\na=1\r\nb=2\r\n"},
    {"s2", "c", "3", "[s1]\r\na=1\r\nb=2\r\n[s2]\r\nc=3\r\n"},
    // Names compare without regard to ASCII case; the key keeps its spelling.
    {"S1", "A", "9", "[s1]\r\na=9\r\nb=2\r\n[s2]\r\nc=3\r\n"},
    {"s1", "b", nullptr, "[s1]\r\na=9\r\n[s2]\r\nc=3\r\n"},
    {"s1", "nothing", nullptr, "[s1]\r\na=9\r\n[s2]\r\nc=3\r\n"},
    {"none", "a", nullptr, "[s1]\r\na=9\r\n[s2]\r\nc=3\r\n"},
    {"s1", "e", "5", "[s1]\r\na=9\r\ne=5\r\n[s2]\r\nc=3\r\n"},
    {"S2", "d", "", "[s1]\r\na=9\r\ne=5\r\n[s2]\r\nc=3\r\nd=\r\n"},
    // ア (0x83 0x41) and ヂ (0x83 0x61) differ only in a letter-valued trail byte.
    {"s2", "\x83\x41", "x", "[s1]\r\na=9\r\ne=5\r\n[s2]\r\nc=3\r\nd=\r\n\x83\x41=x\r\n"},
    {"s2", "\x83\x61", "y", "[s1]\r\na=9\r\ne=5\r\n[s2]\r\nc=3\r\nd=\r\n\x83\x41=x\r\n\x83\x61=y\r\n"},
    // ゾ ends in 0x5D, the byte of "]".
    {"\x83\x5d", "k", "z",
     "[s1]\r\na=9\r\ne=5\r\n[s2]\r\nc=3\r\nd=\r\n\x83\x41=x\r\n\x83\x61=y\r\n[\x83\x5d]\r\nk=z\r\n"},
    {"\x83\x5d", "k", "w",
     "[s1]\r\na=9\r\ne=5\r\n[s2]\r\nc=3\r\nd=\r\n\x83\x41=x\r\n\x83\x61=y\r\n[\x83\x5d]\r\nk=w\r\n"},
};

TEST_F(SettingsFile, ProfileWritesLeaveTheSystemsLayout)
{
    for (const LayoutStep& step : LAYOUT_STEPS) {
        EXPECT_TRUE(Profile_WriteText(path.c_str(), step.section, step.key, step.value));
        EXPECT_EQ(ReadFileBytes(path), step.expected) << step.section << " " << step.key;
    }
    EXPECT_EQ(ReadString(path, "s2", "\x83\x41"), "x");
    EXPECT_EQ(ReadString(path, "s2", "\x83\x61"), "y");
    EXPECT_EQ(ReadString(path, "\x83\x5d", "K"), "w");
}

// ---------------------------------------------------------------- crash-safe saves

// What the user keeps in the file beside Tamarin's keys: comments, blank
// lines, keys and sections of their own, odd spacing.
const char* const FOREIGN_INI[] = {
    "; my notes",
    "[Mine]",
    "  spaced key  =  spaced value  ",
    "",
    "[Tamarin]",
    "Other=keep",
    "; inside",
    "[Zzz]",
    "last=1",
};

std::string ForeignIni()
{
    std::string text;
    for (const char* line : FOREIGN_INI)
        text += std::string(line) + "\r\n";
    return text;
}

// Every line the user wrote is still there, in the same order.
bool KeepsForeignLines(const std::string& bytes)
{
    size_t at = 0;
    for (const char* line : FOREIGN_INI) {
        size_t found = bytes.find(std::string(line) + "\r\n", at);
        if (found == std::string::npos)
            return false;
        at = found;
    }
    return true;
}

TEST_F(SettingsFile, SaveKeepsWhatIsNotTamarins)
{
    WriteFileBytes(path, ForeignIni());
    AppInfo info;
    Settings_LoadFrom(&info, path.c_str());
    info.historyMax = 77;
    EXPECT_TRUE(Settings_SaveTo(&info, path.c_str()));
    std::string bytes = ReadFileBytes(path);
    EXPECT_TRUE(KeepsForeignLines(bytes)) << bytes;
    EXPECT_EQ(ReadProfileInt(path.c_str(), MAIN, K_HISTORY_MAX, 0), 77);
    EXPECT_FALSE(FileExists(path + ".tmp"));
}

// The writes of a batch reach the file together, at its end; until then the
// file is the old one, byte for byte.
TEST_F(SettingsFile, BatchWritesTheFileOnceAtItsEnd)
{
    std::string old = ForeignIni();
    WriteFileBytes(path, old);
    ASSERT_TRUE(Profile_BeginBatch(path.c_str()));
    EXPECT_TRUE(WriteProfileInt(path.c_str(), MAIN, "a", 1));
    EXPECT_TRUE(Profile_WriteText(path.c_str(), "New", "b", "2"));
    EXPECT_TRUE(DeleteProfileKey(path.c_str(), MAIN, "Other"));
    EXPECT_EQ(ReadFileBytes(path), old);
    EXPECT_TRUE(Profile_EndBatch());
    EXPECT_EQ(ReadString(path, MAIN, "a"), "1");
    EXPECT_EQ(ReadString(path, "New", "b"), "2");
    EXPECT_EQ(ReadString(path, MAIN, "Other"), ABSENT);
    EXPECT_EQ(ReadString(path, "Zzz", "last"), "1");
}

TEST_F(SettingsFile, BatchOnAFolderWritesNothing)
{
    ASSERT_EQ(MakeFolder(path.c_str()), 0);
    EXPECT_FALSE(Profile_BeginBatch(path.c_str()));
    EXPECT_FALSE(Profile_WriteText(path.c_str(), MAIN, "a", "1"));
    EXPECT_FALSE(Profile_EndBatch());
    EXPECT_EQ(RemoveFolder(path.c_str()), 0);
}

#ifndef _WIN32
// A full disk: the temporary name leads to /dev/full, where every write
// fails. The save says so and the file stays the old one, byte for byte.
TEST_F(SettingsFile, FullDiskKeepsTheOldFile)
{
    std::string old = ForeignIni();
    WriteFileBytes(path, old);
    ASSERT_EQ(symlink("/dev/full", (path + ".tmp").c_str()), 0);
    AppInfo info;
    SetDefaultSettings(&info);
    EXPECT_FALSE(Settings_SaveTo(&info, path.c_str()));
    EXPECT_EQ(ReadFileBytes(path), old);
    ASSERT_EQ(symlink("/dev/full", (path + ".tmp").c_str()), 0);
    EXPECT_FALSE(Profile_WriteText(path.c_str(), MAIN, "a", "1"));
    EXPECT_EQ(ReadFileBytes(path), old);
    struct stat st;
    EXPECT_NE(lstat((path + ".tmp").c_str(), &st), 0) << "the temporary name is still there";
}
#endif

// Files written by hand: the last line may have no line end, and a key added
// after it must not run into it. Both the line and the new key read back.
struct HandEditCase {
    const char* before;
    const char* section;  // the new key k=new goes here
    const char* lastSection;
    const char* lastKey;  // the file's last line, whose value is "last"
};

const HandEditCase HAND_EDIT_CASES[] = {
    {"[s1]\r\nz=last", "s1", "s1", "z"},
    {"[s1]\nz=last", "s1", "s1", "z"},
    {"[s1]\r\na=1\r\n[s2]\r\nz=last", "s2", "s2", "z"},
    {"[s1]\r\na=1\r\n[s2]\r\nz=last", "s1", "s2", "z"},
    {"[s1]\r\nz=last", "s3", "s1", "z"},
    {"[s1]\r\nz=last   ", "s1", "s1", "z"},
};

TEST_F(SettingsFile, KeysAddedAfterALastLineWithoutLineEnd)
{
    for (const HandEditCase& c : HAND_EDIT_CASES) {
        NextFile();
        WriteFileBytes(path, c.before);
        EXPECT_TRUE(Profile_WriteText(path.c_str(), c.section, "k", "new"));
        EXPECT_EQ(ReadString(path, c.lastSection, c.lastKey), "last") << c.before;
        EXPECT_EQ(ReadString(path, c.section, "k"), "new") << c.before;
        std::string bytes = ReadFileBytes(path);
        EXPECT_NE(bytes.find("\nk=new\r\n"), std::string::npos) << bytes;
    }
}

// The buffer is far larger than the default, so only the rule can remove
// the blanks, never the cut.
TEST_F(SettingsFile, DefaultsComeBackWithoutTrailingBlanks)
{
    WriteFileBytes(path, Lines({"[s]", "k=v"}));
    const struct {
        const char* line;
        const char* expected;
    } cases[] = {
        {"default   ", "default"},
        {"two words ", "two words"},
        {"\x95\x5c ", "\x95\x5c"},  // 表: its trail byte 0x5C is no blank
        {"kept", "kept"},
    };
    for (const auto& c : cases) {
        char buf[256];
        memset(buf, 'X', sizeof(buf));
        Profile_ReadText(path.c_str(), "s", "missing", c.line, buf, sizeof(buf));
        EXPECT_STREQ(buf, c.expected) << "[" << c.line << "]";
    }
}

TEST_F(SettingsFile, DeletingFromAMissingFileCreatesNothing)
{
    EXPECT_TRUE(DeleteProfileKey(path.c_str(), MAIN, "a"));
    EXPECT_FALSE(FileExists(path));
}

struct ReadCase {
    const char* line;
    const char* expected;
};

const ReadCase READ_CASES[] = {
    {"k=v", "v"},
    {"  k  =  v v  ", "v v"},
    {"k=\t v\t", "v"},
    {"k=\"quoted\"", "quoted"},
    {"k='single'", "single"},
    {"k=\"open", "\"open"},
    {"k=a=b", "a=b"},
    {"k=", ""},
};

TEST_F(SettingsFile, ValuesAreReadTrimmedAndUnquoted)
{
    for (const ReadCase& c : READ_CASES) {
        NextFile();
        WriteFileBytes(path, Lines({"[s]", c.line}));
        EXPECT_EQ(ReadString(path, "s", "k"), c.expected) << c.line;
    }
}

TEST_F(SettingsFile, ReadsAreBoundedByTheBuffer)
{
    WriteFileBytes(path, Lines({"[s]", "k=abcdef", "j=ab\x95\x5c"}));  // 表
    char buf[8];
    memset(buf, 'X', sizeof(buf));
    Profile_ReadText(path.c_str(), "s", "k", "", buf, 4);
    EXPECT_STREQ(buf, "abc");
    EXPECT_EQ(buf[4], 'X');
    Profile_ReadText(path.c_str(), "s", "j", "", buf, 4);
    EXPECT_STREQ(buf, "ab");
    Profile_ReadText(path.c_str(), "s", "j", "", buf, 5);
    EXPECT_STREQ(buf, "ab\x95\x5c");
    Profile_ReadText(path.c_str(), "s", "missing", "default  ", buf, sizeof(buf));
    EXPECT_STREQ(buf, "default");
}

// ---------------------------------------------------------------- file names

struct AppPathCase {
    const char* module;
    const char* ext;
    size_t size;
    const char* expected;  // null: does not fit
};

const AppPathCase APP_PATH_CASES[] = {
    {"C:\\Tools\\Tamarin.EXE", ".ini", 260, "c:\\tools\\tamarin.ini"},
    {"C:\\Tools\\Tamarin.exe", ".hst", 260, "c:\\tools\\tamarin.hst"},
    {"C:\\Tools\\Tamarin", ".use", 260, "c:\\tools\\tamarin.use"},
    {"C:\\My.Tools\\Tamarin", ".ini", 260, "c:\\my.tools\\tamarin.ini"},
    {"C:\\T\\a.b.EXE", ".ini", 260, "c:\\t\\a.b.ini"},
    // 表 (0x95 0x5C) in a folder: its trail byte is no separator, so the
    // dot before it belongs to the folder name.
    {"C:\\V1.\x95\x5c\\APP", ".ini", 260, "c:\\v1.\x95\x5c\\app.ini"},
    // ...and in a file name, the dot before it starts the extension.
    {"C:\\Tools\\Tama.rin\x95\x5c" "Exe", ".ini", 260, "c:\\tools\\tama.ini"},
    // Full-width Ａ (0x82 0x60) and ア (0x83 0x41, a letter-valued trail byte) stay.
    {"C:\\\x82\x60\x83\x41Z\\TAMARIN\x95\x5c\x83\x5c.EXE", ".ini", 260,
     "c:\\\x82\x60\x83\x41z\\tamarin\x95\x5c\x83\x5c.ini"},
    {"C:\\a.exe", ".ini", 9, "c:\\a.ini"},
    {"C:\\a.exe", ".ini", 8, nullptr},
    {"C:\\a.verylongextension", ".ini", 9, "c:\\a.ini"},
    {"Tamarin.exe", ".ini", 260, "tamarin.ini"},
};

TEST(AppPath, BuildAppFilePathReplacesTheExtensionAndLowersSingleByteLetters)
{
    for (const AppPathCase& c : APP_PATH_CASES) {
        char buf[260];
        memset(buf, 'X', sizeof(buf));
        bool ok = AppPath_Build(buf, c.size, c.module, c.ext);
        if (c.expected) {
            EXPECT_TRUE(ok) << c.module;
            EXPECT_STREQ(buf, c.expected) << c.module;
        } else {
            EXPECT_FALSE(ok) << c.module;
        }
        if (c.size < sizeof(buf)) {
            EXPECT_EQ(buf[c.size], 'X') << c.module;
        }
    }
}

TEST(AppPath, GetAppFilePathNamesAFileBesideTheExecutable)
{
    char module[4096];
    ASSERT_TRUE(AppPath_GetModulePath(module, sizeof(module)));
    char ini[4096];
    ASSERT_TRUE(GetAppFilePath(ini, sizeof(ini), ".ini"));
    std::string folder = module;
    folder.erase(folder.rfind(SEP) + 1);
    // The folder is kept as it is natively and lowered under Windows.
    std::string expectedFolder = folder;
#ifdef _WIN32
    StrLowerSingleByte(&expectedFolder[0]);
#endif
    EXPECT_EQ(std::string(ini).substr(0, folder.size()), expectedFolder);
    EXPECT_EQ(std::string(ini).substr(strlen(ini) - 4), ".ini");
    EXPECT_EQ(std::string(ini).find('.', folder.size()), strlen(ini) - 4);

    EXPECT_FALSE(AppPath_GetModulePath(module, 4));
    EXPECT_FALSE(GetAppFilePath(ini, 4, ".ini"));
}

}  // namespace
