// The extended settings dialog of the running program and what its OK does
// outside: the section "拡張" of the INI file, the search hotkey registered
// for the whole desktop, and the value "Tamarin" of the current user's Run
// key, read from the Wine prefix's registry as any program would; the value
// written, shown, removed, and following the program to a new folder.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>

#include "harness.h"

namespace {

const char CAPTION[] = "\x8a\x67\x92\xa3\x90\xdd\x92\xe8";  // 拡張設定
const char SECTION_EXT[] = "\x8a\x67\x92\xa3";              // 拡張
// 選んだテキストを貼り付ける
const char KEY_PASTE[] =
    "\x91\x49\x82\xf1\x82\xbe\x83\x65\x83\x4c\x83\x58\x83\x67\x82\xf0\x93\x5c\x82\xe8\x95\x74\x82\xaf\x82\xe9";
// テキストの検索のホットキー
const char KEY_SEARCH_HOTKEY[] =
    "\x83\x65\x83\x4c\x83\x58\x83\x67\x82\xcc\x8c\x9f\x8d\xf5\x82\xcc\x83\x7a\x83\x62\x83\x67\x83\x4c\x81\x5b";
const char RUN_KEY[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const int ID_PASTE = 1101;
const int ID_AUTOSTART = 1102;
const int ID_HOTKEY = 1103;

// The Run value "Tamarin", or "<absent>".
std::string RunValue()
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, RUN_KEY, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return "<absent>";
    char data[1024] = {};
    DWORD size = sizeof data - 1, type = 0;
    LONG result = RegQueryValueExA(key, "Tamarin", nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(key);
    return result == ERROR_SUCCESS && type == REG_SZ ? std::string(data) : "<absent>";
}

void DeleteRunValue()
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, RUN_KEY, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
        RegDeleteValueA(key, "Tamarin");
        RegCloseKey(key);
    }
}

std::string Quoted(const std::string& path)
{
    return "\"" + path + "\"";
}

struct ExtSettings : testing::Test {
    Tamarin t;
    std::string moved;  // a second folder, for the move

    void SetUp() override { DeleteRunValue(); }
    void TearDown() override
    {
        // A value left behind would start a program when the next Wine session begins.
        DeleteRunValue();
        Tamarin_Cleanup(&t);
        if (!moved.empty()) {
            Tamarin other;
            other.folder = moved;
            Tamarin_Cleanup(&other);
        }
    }
    HWND Open()
    {
        PostMessageA(t.window, WM_COMMAND, 40071, 0);
        HWND dialog = nullptr;
        WaitFor(
            [&] {
                dialog = FindWindowA("#32770", CAPTION);
                return dialog && IsWindowVisible(dialog);
            },
            E2E_TIMEOUT_MS);
        return dialog;
    }
    bool Checked(HWND dialog, int id) { return SendDlgItemMessageA(dialog, id, BM_GETCHECK, 0, 0) == BST_CHECKED; }
    void Check(HWND dialog, int id, bool on)
    {
        SendDlgItemMessageA(dialog, id, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    // OK, and the dialog gone with the command that showed it returned.
    void PressOk(HWND dialog)
    {
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
        EXPECT_TRUE(WaitFor([&] { return !IsWindow(dialog); }, E2E_TIMEOUT_MS));
        EXPECT_TRUE(Tamarin_Settle(&t));
    }
    std::string Ini() const
    {
        std::string ini;
        ReadFileBytes(Tamarin_File(&t, ".ini"), &ini);
        return ini;
    }
    std::string Exe() const { return t.folder + "\\tamarin.exe"; }
};

bool HotkeyTaken(UINT modifiers, UINT vk)
{
    if (!RegisterHotKey(nullptr, 9, modifiers, vk))
        return true;
    UnregisterHotKey(nullptr, 9);
    return false;
}

TEST_F(ExtSettings, OkWritesTheSectionAndRegistersTheSearchHotkey)
{
    ASSERT_TRUE(Tamarin_Prepare(&t));
    ASSERT_TRUE(Tamarin_Start(&t));
    HWND dialog = Open();
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(Checked(dialog, ID_PASTE));      // off by default
    EXPECT_FALSE(Checked(dialog, ID_AUTOSTART));  // no Run value
    Check(dialog, ID_PASTE, true);
    SendDlgItemMessageA(dialog, ID_HOTKEY, HKM_SETHOTKEY, MAKEWORD('F', HOTKEYF_CONTROL | HOTKEYF_SHIFT), 0);
    PressOk(dialog);
    std::string section = std::string("[") + SECTION_EXT + "]\r\n";
    EXPECT_TRUE(WaitFor([&] { return Ini().find(section) != std::string::npos; }, E2E_TIMEOUT_MS)) << Ini();
    std::string ini = Ini();
    EXPECT_NE(ini.find(std::string(KEY_PASTE) + "=1"), std::string::npos) << ini;
    EXPECT_NE(ini.find(std::string(KEY_SEARCH_HOTKEY) + "=" + std::to_string(6 * 256 + 'F')), std::string::npos) << ini;
    EXPECT_TRUE(HotkeyTaken(MOD_CONTROL | MOD_SHIFT, 'F'));
    EXPECT_EQ(RunValue(), "<absent>");  // the box was left alone
    EXPECT_EQ(Tamarin_Quit(&t), 0);
    EXPECT_FALSE(HotkeyTaken(MOD_CONTROL | MOD_SHIFT, 'F'));
}

TEST_F(ExtSettings, RunValueIsWrittenShownAndRemoved)
{
    ASSERT_TRUE(Tamarin_Prepare(&t));
    ASSERT_TRUE(Tamarin_Start(&t));
    HWND dialog = Open();
    ASSERT_NE(dialog, nullptr);
    Check(dialog, ID_AUTOSTART, true);
    PressOk(dialog);
    EXPECT_EQ(RunValue(), Quoted(Exe()));

    dialog = Open();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(Checked(dialog, ID_AUTOSTART));  // the key's real state
    Check(dialog, ID_AUTOSTART, false);
    PressOk(dialog);
    EXPECT_EQ(RunValue(), "<absent>");

    // A value removed behind the program's back shows as off.
    dialog = Open();
    ASSERT_NE(dialog, nullptr);
    Check(dialog, ID_AUTOSTART, true);
    PressOk(dialog);
    ASSERT_EQ(RunValue(), Quoted(Exe()));
    DeleteRunValue();
    dialog = Open();
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(Checked(dialog, ID_AUTOSTART));
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(dialog); }, E2E_TIMEOUT_MS));
    EXPECT_EQ(RunValue(), "<absent>");
}

TEST_F(ExtSettings, RunValueFollowsTheProgramToItsNewFolder)
{
    ASSERT_TRUE(Tamarin_Prepare(&t));
    ASSERT_TRUE(Tamarin_Start(&t));
    HWND dialog = Open();
    ASSERT_NE(dialog, nullptr);
    Check(dialog, ID_AUTOSTART, true);
    PressOk(dialog);
    ASSERT_EQ(RunValue(), Quoted(Exe()));
    ASSERT_EQ(Tamarin_Quit(&t), 0);

    // The user moves the program (and its files) to another folder.
    moved = t.folder + "-moved";
    ASSERT_TRUE(MoveFileA(t.folder.c_str(), moved.c_str()));
    std::string old = Exe();
    t.folder = moved;
    EXPECT_EQ(RunValue(), Quoted(old));
    ASSERT_TRUE(Tamarin_Start(&t));
    EXPECT_EQ(RunValue(), Quoted(Exe()));  // written during the start, before the window waits for input
    moved.clear();
}

TEST_F(ExtSettings, AnotherCopyThatStillExistsKeepsTheRunValue)
{
    Tamarin first;
    ASSERT_TRUE(Tamarin_Prepare(&first));
    std::string firstExe = first.folder + "\\tamarin.exe";
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, RUN_KEY, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    std::string value = Quoted(firstExe);
    RegSetValueExA(key, "Tamarin", 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
    ASSERT_TRUE(Tamarin_Prepare(&t));
    ASSERT_TRUE(Tamarin_Start(&t));
    EXPECT_EQ(RunValue(), value);
    HWND dialog = Open();
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(Checked(dialog, ID_AUTOSTART));  // it names the other copy
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(dialog); }, E2E_TIMEOUT_MS));
    Tamarin_Cleanup(&first);
}

}  // namespace
