// The dialogs as a user opens them: through the real commands of the running
// program, found by caption from this other process, answered with their
// buttons, and judged by the files the program writes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "harness.h"

namespace {

const char CAPTION_SETTINGS[] = "\x90\xdd\x92\xe8\x82\xcc\x95\xcf\x8d\x58";                  // 設定の変更
const char CAPTION_HOTKEYS[] = "\x83\x7a\x83\x62\x83\x67\x83\x4c\x81\x5b\x82\xcc\x90\xdd\x92\xe8";  // ホットキーの設定
const char CAPTION_REGISTERED[] =
    "\x93\x6f\x98\x5e\x83\x65\x83\x4c\x83\x58\x83\x67\x82\xcc\x95\xd2\x8f\x57";  // 登録テキストの編集
const char CAPTION_PAD[] = "\x83\x65\x83\x4c\x83\x58\x83\x67\x82\xcc\x95\xd2\x8f\x57";  // テキストの編集
const char CAPTION_ABOUT[] = "Tamarin \x82\xc9\x82\xc2\x82\xa2\x82\xc4";            // Tamarin について
const char KEY_HISTORY_MAX[] = "\x97\x9a\x97\xf0\x82\xcc\x8b\x4c\x89\xaf\x90\x94";  // 履歴の記憶数
const char SECTION_HOTKEYS[] = "\x83\x7a\x83\x62\x83\x67\x83\x4c\x81\x5b";          // ホットキー

const int ID_HISTORY_MAX = 1022;
const int ID_PAD_EDIT = 1014;

int CountWindows(const char* caption)
{
    int n = 0;
    HWND w = nullptr;
    while ((w = FindWindowExA(nullptr, w, "#32770", caption)) != nullptr)
        n += IsWindowVisible(w) ? 1 : 0;
    return n;
}

struct Dialogs : testing::Test {
    Tamarin t;
    void SetUp() override
    {
        ASSERT_TRUE(Tamarin_Prepare(&t));
        ASSERT_TRUE(Tamarin_Start(&t));
    }
    void TearDown() override { Tamarin_Cleanup(&t); }

    // Opens a dialog by its command with the pointer at (x, y).
    HWND Open(int command, const char* caption, int x = 500, int y = 400)
    {
        SetCursorPos(x, y);
        PostMessageA(t.window, WM_COMMAND, command, 0);
        HWND dialog = nullptr;
        WaitFor(
            [&] {
                dialog = FindWindowA("#32770", caption);
                return dialog && IsWindowVisible(dialog);
            },
            E2E_TIMEOUT_MS);
        return dialog;
    }
    // A command that opens no dialog, handled by the time this returns; one
    // that wrongly opens a dialog does not return and gives false.
    bool SendCommand(int command)
    {
        DWORD_PTR result = 0;
        return SendMessageTimeoutA(t.window, WM_COMMAND, command, 0, SMTO_NORMAL, E2E_TIMEOUT_MS, &result) != 0;
    }
    // The dialog is gone and the command that showed it has returned.
    void WaitClosedAndSettled(HWND dialog)
    {
        EXPECT_TRUE(WaitFor([&] { return !IsWindow(dialog); }, E2E_TIMEOUT_MS));
        EXPECT_TRUE(Tamarin_Settle(&t));
    }
    void Press(HWND dialog, int id)
    {
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
        WaitFor([&] { return !IsWindow(dialog); }, E2E_TIMEOUT_MS);
    }
    std::string Ini() const
    {
        std::string ini;
        ReadFileBytes(Tamarin_File(&t, ".ini"), &ini);
        return ini;
    }
};

TEST_F(Dialogs, SettingsOpenCentredOnThePointerAndOkSavesTheIni)
{
    HWND dialog = Open(40003, CAPTION_SETTINGS);
    ASSERT_NE(dialog, nullptr);
    RECT r;
    GetWindowRect(dialog, &r);
    EXPECT_NEAR((r.left + r.right) / 2, 500, 1);
    EXPECT_NEAR((r.top + r.bottom) / 2, 400, 1);

    // A second opening only brings the first to the front: the command,
    // handled by the open dialog's loop, returns at once.
    EXPECT_TRUE(SendCommand(40003));
    EXPECT_EQ(CountWindows(CAPTION_SETTINGS), 1);

    SendMessageA(GetDlgItem(dialog, ID_HISTORY_MAX), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("55"));
    Press(dialog, IDOK);
    EXPECT_TRUE(WaitFor([&] { return Ini().find(std::string(KEY_HISTORY_MAX) + "=55") != std::string::npos; }, E2E_TIMEOUT_MS));
}

TEST_F(Dialogs, SettingsCancelLeavesTheIniAlone)
{
    HWND dialog = Open(40003, CAPTION_SETTINGS);
    ASSERT_NE(dialog, nullptr);
    SendMessageA(GetDlgItem(dialog, ID_HISTORY_MAX), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("77"));
    Press(dialog, IDCANCEL);
    WaitClosedAndSettled(dialog);
    EXPECT_FALSE(FileExists(Tamarin_File(&t, ".ini")));
}

TEST_F(Dialogs, HotkeyOkWritesTheHotkeySectionAndRegistersAgain)
{
    // Restart with Ctrl+Alt+D (3 * 256 + 'D') for the date command.
    ASSERT_EQ(Tamarin_Quit(&t), 0);
    const char KEY_DATE[] = "\x93\xfa\x8e\x9e\x82\xcc\x8e\xe6\x93\xbe";  // 日時の取得
    ASSERT_TRUE(WriteFileBytes(Tamarin_File(&t, ".ini"), std::string("[") + SECTION_HOTKEYS + "]\r\n" + KEY_DATE +
                                                             "=" + std::to_string(3 * 256 + 'D') + "\r\n"));
    ASSERT_TRUE(Tamarin_Start(&t));
    EXPECT_FALSE(RegisterHotKey(nullptr, 7, MOD_CONTROL | MOD_ALT, 'D'));

    HWND dialog = Open(40004, CAPTION_HOTKEYS);
    ASSERT_NE(dialog, nullptr);
    // While the dialog runs, none of the program's hotkeys is registered.
    EXPECT_TRUE(RegisterHotKey(nullptr, 7, MOD_CONTROL | MOD_ALT, 'D'));
    UnregisterHotKey(nullptr, 7);
    Press(dialog, IDOK);
    // Probed only once Tamarin is back in its message loop, with its hotkeys
    // registered again: a probe that held the key at that moment would make
    // the registration fail.
    WaitClosedAndSettled(dialog);
    bool taken = !RegisterHotKey(nullptr, 7, MOD_CONTROL | MOD_ALT, 'D');
    if (!taken)
        UnregisterHotKey(nullptr, 7);
    EXPECT_TRUE(taken);
    EXPECT_TRUE(WaitFor([&] { return Ini().find(std::string("[") + SECTION_HOTKEYS + "]") != std::string::npos; },
                        E2E_TIMEOUT_MS));
}

TEST_F(Dialogs, AboutShowsTheVersionCaption)
{
    HWND dialog = Open(40002, CAPTION_ABOUT);
    ASSERT_NE(dialog, nullptr);
    Press(dialog, IDOK);
    EXPECT_FALSE(IsWindow(dialog));
}

TEST_F(Dialogs, EditPadRegistersTheClipboardText)
{
    const std::string text = "\x95\x5c\x8e\xa6 from the pad";  // 表示
    ASSERT_TRUE(PutClipboardText(text));
    HWND pad = Open(40031, CAPTION_PAD);
    ASSERT_NE(pad, nullptr);
    char shown[256] = {};
    SendMessageA(GetDlgItem(pad, ID_PAD_EDIT), WM_GETTEXT, sizeof shown, reinterpret_cast<LPARAM>(shown));
    EXPECT_EQ(std::string(shown), text);

    // The registered-text editor stays closed while the pad runs.
    EXPECT_TRUE(SendCommand(40049));
    EXPECT_EQ(CountWindows(CAPTION_REGISTERED), 0);

    Press(pad, IDOK);
    EXPECT_TRUE(WaitFor([&] { return ReadStoreRecords(Tamarin_File(&t, ".use")) == std::vector<std::string>{text}; },
                        E2E_TIMEOUT_MS));
}

TEST_F(Dialogs, RegisteredTextsCancelKeepsTheStore)
{
    HWND dialog = Open(40049, CAPTION_REGISTERED);
    ASSERT_NE(dialog, nullptr);
    Press(dialog, IDCANCEL);
    WaitClosedAndSettled(dialog);
    EXPECT_FALSE(FileExists(Tamarin_File(&t, ".use")));
}

}  // namespace
