// Hotkeys assigned in the INI file: a key press delivered to the X display by
// xdotool runs the command in Tamarin, and quitting releases the key.
#include <gtest/gtest.h>

#include <string>

#include "harness.h"

namespace {

// Section "ホットキー", keys "日時の取得" (date and time) and "履歴を表示" (text popup).
const char SECTION_HOTKEYS[] = "\x83\x7a\x83\x62\x83\x67\x83\x4c\x81\x5b";
const char KEY_DATE[] = "\x93\xfa\x8e\x9e\x82\xcc\x8e\xe6\x93\xbe";
const char KEY_TEXT_POPUP[] = "\x97\x9a\x97\xf0\x82\xf0\x95\x5c\x8e\xa6";

// Ctrl+Alt (MOD_CONTROL | MOD_ALT = 3) with a letter: 3 * 256 + vk.
std::string Hotkey(char letter)
{
    return std::to_string(3 * 256 + letter);
}

// Runs xdotool, a Linux program, the way a user's input arrives: through
// the X server to the focused Wine window.
bool Xdotool(const char* args)
{
    std::string cmd = std::string("/usr/bin/xdotool ") + args;
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    std::string line = cmd;
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return false;
    WaitForSingleObject(pi.hProcess, 10000);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    return true;
}


// A visible window of this process holds the X focus, so that the key press
// reaches Wine at all.
HWND FocusWindow()
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "TamarinHotkeyFocus";
    RegisterClassA(&wc);
    HWND hwnd = CreateWindowExA(0, wc.lpszClassName, "focus", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 200,
                                100, nullptr, nullptr, wc.hInstance, nullptr);
    SetForegroundWindow(hwnd);
    SetFocus(hwnd);
    Xdotool("mousemove 100 60 click 1");  // X focus goes where the user clicks
    WaitFor([&] { return GetForegroundWindow() == hwnd; }, E2E_TIMEOUT_MS);
    return hwnd;
}

TEST(Hotkeys, KeyPressRunsTheCommandAndQuitReleasesIt)
{
    Tamarin t;
    std::string ini = std::string("[") + SECTION_HOTKEYS + "]\r\n" + KEY_DATE + "=" + Hotkey('D') + "\r\n" +
                      KEY_TEXT_POPUP + "=" + Hotkey('P') + "\r\n";
    ASSERT_TRUE(Tamarin_Prepare(&t, ini));
    ASSERT_TRUE(Tamarin_Start(&t));
    HWND focus = FocusWindow();

    // While Tamarin runs the combination is taken.
    EXPECT_FALSE(RegisterHotKey(focus, 1, MOD_CONTROL | MOD_ALT, 'D'));

    ASSERT_TRUE(PutClipboardText("before"));
    // The X server may take the first press before the focus has reached the
    // window; a press that reached Wine runs the command once.
    bool ran = false;
    for (int press = 0; press < 5 && !ran; press++) {
        DWORD before = GetClipboardSequenceNumber();
        ASSERT_TRUE(Xdotool("key ctrl+alt+d"));
        ran = WaitFor([&] { return GetClipboardSequenceNumber() != before; }, E2E_TIMEOUT_MS / 5);
    }
    std::string text;
    GetClipboardText(&text);
    EXPECT_TRUE(ran);
    EXPECT_EQ(text.size(), 19u) << text;  // 09:05:07 2004/03/01
    EXPECT_TRUE(ran) << text;

    EXPECT_EQ(Tamarin_Quit(&t), 0);
    EXPECT_TRUE(RegisterHotKey(focus, 1, MOD_CONTROL | MOD_ALT, 'D'));
    UnregisterHotKey(focus, 1);
    DestroyWindow(focus);
    Tamarin_Cleanup(&t);
}

}  // namespace
