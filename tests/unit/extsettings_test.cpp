// The INI section "拡張": its defaults, what a save writes, the hotkey
// encoding shared with the section "ホットキー", and a search hotkey that one
// of the nine hotkeys already holds. Natively against the stand-in INI
// reader and writer, under Wine against the profile functions.
#include <stdio.h>
#include <string.h>

#include <string>

#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

#include <gtest/gtest.h>

#include "settings/appinfo.h"
#include "settings/extsettings.h"
#include "settings/profile.h"
#include "settings/settings.h"
#include "unit/settings_keys.h"

namespace {

// Spelled out in settings_keys.h apart from the program's names, so a wrong byte shows.
const char* const SECTION = S_EXT;
const char* const KEY_PASTE = E_PASTE;
const char* const KEY_HOTKEY = E_SEARCH_HOTKEY;

// INI text from lines, with CR LF ends.
std::string Lines(std::initializer_list<std::string> lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

std::string TempIni()
{
    static int serial;
#ifdef _WIN32
    const char* dir = getenv("TEMP");
    int pid = _getpid();
    const char* sep = "\\";
#else
    const char* dir = getenv("TMPDIR");
    if (!dir || !*dir)
        dir = "/tmp";
    int pid = static_cast<int>(getpid());
    const char* sep = "/";
#endif
    char name[96];
    snprintf(name, sizeof name, "%s%stamarin_ext_%d_%d.ini", dir ? dir : ".", sep, pid, ++serial);
    return name;
}

std::string Read(const std::string& path, const char* key)
{
    char buf[64];
    Profile_ReadText(path.c_str(), SECTION, key, "<absent>", buf, sizeof buf);
    return buf;
}

struct ExtFile : testing::Test {
    std::string path = TempIni();
    void TearDown() override { remove(path.c_str()); }
    AppInfo Load(const std::string& text)
    {
        WriteFileBytes(path, text);
        AppInfo info;
        memset(&info, 0xA5, sizeof info);
        Settings_LoadFrom(&info, path.c_str());
        return info;
    }
};

TEST_F(ExtFile, NamesAreThoseOfTheFile)
{
    EXPECT_STREQ(EXT_SECTION, SECTION);
    EXPECT_STREQ(EXT_KEY_PASTE, KEY_PASTE);
    EXPECT_STREQ(EXT_KEY_SEARCH_HOTKEY, KEY_HOTKEY);
}

TEST_F(ExtFile, AbsentSectionGivesPasteOffAndNoHotkey)
{
    AppInfo info = Load(Lines({Section("Tamarin"), Entry(K_HISTORY_MAX, "40")}));
    EXPECT_FALSE(info.ext.pasteAfterPick);
    EXPECT_EQ(info.ext.searchHotkey.modifiers, 0);
    EXPECT_EQ(info.ext.searchHotkey.vk, 0);
}

TEST_F(ExtFile, SaveWritesTheSectionAndLoadReadsItBack)
{
    AppInfo info;
    SetDefaultSettings(&info);
    info.ext.pasteAfterPick = true;
    info.ext.searchHotkey = HotkeyDef{6, 'F'};  // Ctrl+Shift+F
    Settings_SaveTo(&info, path.c_str());
    EXPECT_EQ(Read(path, KEY_PASTE), "1");
    EXPECT_EQ(Read(path, KEY_HOTKEY), std::to_string(6 * 256 + 'F'));

    AppInfo loaded;
    memset(&loaded, 0xA5, sizeof loaded);
    Settings_LoadFrom(&loaded, path.c_str());
    EXPECT_TRUE(loaded.ext.pasteAfterPick);
    EXPECT_EQ(loaded.ext.searchHotkey.modifiers, 6);
    EXPECT_EQ(loaded.ext.searchHotkey.vk, 'F');

    info.ext.pasteAfterPick = false;
    info.ext.searchHotkey = HotkeyDef{0, 0};
    Settings_SaveTo(&info, path.c_str());
    EXPECT_EQ(Read(path, KEY_PASTE), "0");
    EXPECT_EQ(Read(path, KEY_HOTKEY), "0");
}

struct HotkeyCase {
    const char* stored;
    int modifiers;
    int vk;
};

TEST_F(ExtFile, HotkeyDecodesAsTheNineDo)
{
    const HotkeyCase cases[] = {
        {"1601", 6, 65},      // Ctrl+Shift+A
        {"2165", 8, 117},     // an extended key (8) kept for the hotkey control
        {"4161", 0, 0},       // modifiers 16: empty
        {"-1", 0, 0},         // negative: empty
        {"66113", 2, 65},     // bits above 15 ignored: 1 * 65536 + 2 * 256 + 65
        {"abc", 0, 0},        // no number: the default, none
        {"0", 0, 0},
    };
    for (const HotkeyCase& c : cases) {
        AppInfo info = Load(Lines({Section(SECTION), Entry(KEY_HOTKEY, c.stored)}));
        EXPECT_EQ(info.ext.searchHotkey.modifiers, c.modifiers) << c.stored;
        EXPECT_EQ(info.ext.searchHotkey.vk, c.vk) << c.stored;
    }
}

TEST_F(ExtFile, PasteKeyReadsAsABoolean)
{
    const struct {
        const char* stored;
        bool on;
    } cases[] = {{"1", true}, {"2", true}, {"-1", true}, {"0", false}, {"x", false}, {"", false}};
    for (const auto& c : cases) {
        AppInfo info = Load(Lines({Section(SECTION), Entry(KEY_PASTE, c.stored)}));
        EXPECT_EQ(info.ext.pasteAfterPick, c.on) << c.stored;
    }
}

TEST_F(ExtFile, SearchHotkeyTakenByOneOfTheNineIsDropped)
{
    // 日時の取得 holds Ctrl+Alt+D (3 * 256 + 68); the search hotkey asks for the same.
    std::string same = std::to_string(3 * 256 + 'D');
    AppInfo info = Load(Lines({Section(SECTION), Entry(KEY_HOTKEY, same), Section(S_HOTKEYS),
                               Entry(H_DATE, same)}));
    EXPECT_EQ(info.ext.searchHotkey.vk, 0);
    EXPECT_EQ(info.hotkeys.slots[4].vk, 'D');  // the date hotkey keeps it

    // Two of the nine that dropped each other leave the combination free.
    info = Load(Lines({Section(SECTION), Entry(KEY_HOTKEY, same), Section(S_HOTKEYS), Entry(H_DATE, same),
                       Entry(H_IP, same)}));
    EXPECT_EQ(info.ext.searchHotkey.vk, 'D');
}

TEST(ExtHotkeys, TakenMeansEqualToANonEmptySlot)
{
    HotkeySet set = {};
    set.slots[8] = HotkeyDef{2, 'X'};
    HotkeyDef same = {2, 'X'}, other = {4, 'X'}, extended = {2 | 8, 'X'}, empty = {0, 0};
    EXPECT_TRUE(ExtSettings_IsHotkeyTaken(&set, &same));
    EXPECT_FALSE(ExtSettings_IsHotkeyTaken(&set, &other));
    EXPECT_FALSE(ExtSettings_IsHotkeyTaken(&set, &extended));
    EXPECT_FALSE(ExtSettings_IsHotkeyTaken(&set, &empty));
    EXPECT_FALSE(ExtSettings_IsHotkeyTaken(nullptr, &same));
}

}  // namespace
