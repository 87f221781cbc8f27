// Hotkeys held by another program, as the user learns of them: the hotkey
// dialog names them on a line under its buttons, and an OK that assigns one
// is answered by a balloon from the tray icon.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "faketray.h"
#include "harness.h"

namespace {

const char SECTION_HOTKEYS[] = "\x83\x7a\x83\x62\x83\x67\x83\x4c\x81\x5b";  // ホットキー
const char KEY_DATE[] = "\x93\xfa\x8e\x9e\x82\xcc\x8e\xe6\x93\xbe";         // 日時の取得
const char LABEL_DATE[] = "\x93\xfa\x8e\x9e\x82\xcc\x8e\xe6\x93\xbe";       // 日時の取得
// 他のプログラムが使用中のため登録できなかったホットキー：
const char DIALOG_PREFIX[] =
    "\x91\xbc\x82\xcc\x83\x76\x83\x8d\x83\x4f\x83\x89\x83\x80\x82\xaa\x8e\x67\x97\x70\x92\x86\x82\xcc\x82\xbd"
    "\x82\xdf\x93\x6f\x98\x5e\x82\xc5\x82\xab\x82\xc8\x82\xa9\x82\xc1\x82\xbd\x83\x7a\x83\x62\x83\x67\x83\x4c"
    "\x81\x5b\x81\x46";
const int COMMAND_HOTKEYS = 40004;
const int ID_FAILED_LINE = 1050;
const int ID_DATE_HOTKEY = 1028;
const WORD CTRL_ALT = (HOTKEYF_CONTROL | HOTKEYF_ALT) << 8;

std::wstring Wide(const std::string& cp932)
{
    wchar_t wide[512];
    int n = MultiByteToWideChar(932, 0, cp932.c_str(), -1, wide, 512);
    return n > 0 ? std::wstring(wide, n - 1) : std::wstring();
}

std::wstring TextOf(HWND window)
{
    wchar_t text[512] = L"";
    GetWindowTextW(window, text, 512);
    return text;
}

HWND FindDialogOf(DWORD processId)
{
    HWND w = nullptr;
    while ((w = FindWindowExA(nullptr, w, "#32770", nullptr)) != nullptr) {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner == processId && IsWindowVisible(w))
            return w;
    }
    return nullptr;
}

std::string DateHotkeyIni(char letter)
{
    return std::string("[") + SECTION_HOTKEYS + "]\r\n" + KEY_DATE + "=" + std::to_string(3 * 256 + letter) + "\r\n";
}

struct HeldHotkeys : testing::Test {
    Tamarin t;
    HWND tray = nullptr;
    bool holding = false;
    void TearDown() override
    {
        Tamarin_Cleanup(&t);
        if (tray)
            FakeTray_Destroy(tray);
        if (holding)
            UnregisterHotKey(nullptr, 1);
    }
    // This process takes Ctrl+Alt+letter, as another program could.
    void Hold(char letter) { ASSERT_TRUE(holding = RegisterHotKey(nullptr, 1, MOD_CONTROL | MOD_ALT, letter)); }
    HWND OpenHotkeyDialog()
    {
        PostMessageA(t.window, WM_COMMAND, COMMAND_HOTKEYS, 0);
        HWND dialog = nullptr;
        WaitFor([&] { return (dialog = FindDialogOf(t.process.dwProcessId)) != nullptr; }, E2E_TIMEOUT_MS);
        return dialog;
    }
};

TEST_F(HeldHotkeys, TheDialogNamesAHotkeyAnotherProgramHolds)
{
    Hold('D');
    ASSERT_TRUE(Tamarin_Prepare(&t, DateHotkeyIni('D')));
    ASSERT_TRUE(Tamarin_Start(&t));
    HWND dialog = OpenHotkeyDialog();
    ASSERT_NE(dialog, nullptr);
    HWND line = GetDlgItem(dialog, ID_FAILED_LINE);
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(TextOf(line), Wide(std::string(DIALOG_PREFIX) + LABEL_DATE));
    // The line lies under the buttons, inside the dialog.
    RECT lineRect, okRect, client;
    GetWindowRect(line, &lineRect);
    GetWindowRect(GetDlgItem(dialog, IDOK), &okRect);
    GetClientRect(dialog, &client);
    MapWindowPoints(dialog, nullptr, reinterpret_cast<POINT*>(&client), 2);
    EXPECT_GT(lineRect.top, okRect.bottom);
    EXPECT_LE(lineRect.bottom, client.bottom);
    EXPECT_GT(lineRect.bottom - lineRect.top, 0);
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(dialog); }, E2E_TIMEOUT_MS));
}

TEST_F(HeldHotkeys, WithEveryHotkeyRegisteredTheDialogHasNoLine)
{
    ASSERT_TRUE(Tamarin_Prepare(&t, DateHotkeyIni('Q')));
    ASSERT_TRUE(Tamarin_Start(&t));
    HWND dialog = OpenHotkeyDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(GetDlgItem(dialog, ID_FAILED_LINE), nullptr);
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(dialog); }, E2E_TIMEOUT_MS));
}

TEST_F(HeldHotkeys, AnOkThatAssignsAHeldHotkeyIsAnsweredByABalloon)
{
    Hold('D');
    tray = FakeTray_Create();
    ASSERT_TRUE(Tamarin_Prepare(&t));
    ASSERT_TRUE(Tamarin_Start(&t));
    HWND dialog = OpenHotkeyDialog();
    ASSERT_NE(dialog, nullptr);
    SendDlgItemMessageA(dialog, ID_DATE_HOTKEY, HKM_SETHOTKEY, CTRL_ALT | 'D', 0);
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(dialog); }, E2E_TIMEOUT_MS));
    const TrayNotice* balloon = nullptr;
    EXPECT_TRUE(WaitFor([&] { return (balloon = FakeTray_LastBalloon(t.window)) != nullptr; }, E2E_TIMEOUT_MS));
    if (balloon) {
        EXPECT_TRUE(TrayRecordHolds(*balloon, LABEL_DATE));
    }
}

}  // namespace
