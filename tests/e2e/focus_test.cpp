// The window the user was typing in keeps the foreground across a popup
// opened by hotkey: closed with a pick or with Escape, the popup gives the
// foreground back to that window (of another program: this one), so that
// the Ctrl+V that follows reaches it. The hotkey goes through the X server
// with xdotool, as a user's keys do.
#include <gtest/gtest.h>

#include <string>

#include "harness.h"

namespace {

const char SECTION_HOTKEYS[] = "\x83\x7a\x83\x62\x83\x67\x83\x4c\x81\x5b";   // ホットキー
const char KEY_TEXT_POPUP[] = "\x97\x9a\x97\xf0\x82\xf0\x95\x5c\x8e\xa6";    // 履歴を表示
const char KEY_COMMAND_POPUP[] = "\x83\x81\x83\x6a\x83\x85\x81\x5b\x82\xf0\x95\x5c\x8e\xa6";  // メニューを表示

bool Xdotool(const char* args)
{
    std::string line = std::string("/usr/bin/xdotool ") + args;
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return false;
    WaitForSingleObject(pi.hProcess, 10000);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    return true;
}

LRESULT CALLBACK TypingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

struct Focus : testing::Test {
    Tamarin t;
    HWND typing = nullptr;

    void SetUp() override
    {
        std::string ini = std::string("[") + SECTION_HOTKEYS + "]\r\n" + KEY_TEXT_POPUP + "=" +
                          std::to_string(3 * 256 + 'P') + "\r\n" + KEY_COMMAND_POPUP + "=" +
                          std::to_string(3 * 256 + 'M') + "\r\n";
        ASSERT_TRUE(Tamarin_Prepare(&t, ini));
        ASSERT_TRUE(WriteFileBytes(Tamarin_File(&t, ".use"), std::string("registered one\0", 15)));
        ASSERT_TRUE(Tamarin_Start(&t));
        typing = TypingWindow();
        ASSERT_NE(typing, nullptr);
        ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == typing; }, E2E_TIMEOUT_MS)) << "the test window has no focus";
    }
    void TearDown() override
    {
        if (FindPopup())
            PressKey(VK_ESCAPE);
        Tamarin_Cleanup(&t);
        if (typing)
            DestroyWindow(typing);
    }
    // A visible window of this process, clicked by the user: it has the
    // foreground and the X focus.
    HWND TypingWindow()
    {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = TypingProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "TamarinFocusTyping";
        RegisterClassA(&wc);
        HWND hwnd = CreateWindowExA(0, wc.lpszClassName, "typing", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 300,
                                    150, nullptr, nullptr, wc.hInstance, nullptr);
        SetForegroundWindow(hwnd);
        Xdotool("mousemove 150 80 click 1");
        return hwnd;
    }
    // The popup is there for keys once it shows and Tamarin has the
    // foreground, so that input goes to the thread that runs the popup.
    HWND PressHotkey(const char* keys)
    {
        Xdotool(keys);
        HWND popup = nullptr;
        WaitFor(
            [&] {
                DWORD owner = 0;
                GetWindowThreadProcessId(GetForegroundWindow(), &owner);
                return (popup = FindPopup()) != nullptr && owner == t.process.dwProcessId;
            },
            E2E_TIMEOUT_MS);
        return popup;
    }
};

TEST_F(Focus, EscapeFromTheTextPopupGivesTheForegroundBack)
{
    ASSERT_NE(PressHotkey("key ctrl+alt+p"), nullptr);
    PressKey(VK_ESCAPE);
    ASSERT_TRUE(WaitFor([] { return FindPopup() == nullptr; }, E2E_TIMEOUT_MS));
    EXPECT_TRUE(WaitFor([&] { return GetForegroundWindow() == typing; }, E2E_TIMEOUT_MS))
        << "foreground: " << GetForegroundWindow();
}

TEST_F(Focus, APickFromTheTextPopupGivesTheForegroundBack)
{
    ASSERT_TRUE(PutClipboardText("before"));
    ASSERT_NE(PressHotkey("key ctrl+alt+p"), nullptr);
    PressKey(VK_DOWN);
    PressKey(VK_RETURN);
    std::string text;
    ASSERT_TRUE(WaitFor(
        [&] {
            GetClipboardText(&text);
            return text == "registered one";
        },
        5000))
        << text;
    EXPECT_TRUE(WaitFor([&] { return GetForegroundWindow() == typing; }, E2E_TIMEOUT_MS))
        << "foreground: " << GetForegroundWindow();
}

TEST_F(Focus, EscapeFromTheCommandPopupGivesTheForegroundBack)
{
    ASSERT_NE(PressHotkey("key ctrl+alt+m"), nullptr);
    PressKey(VK_ESCAPE);
    ASSERT_TRUE(WaitFor([] { return FindPopup() == nullptr; }, E2E_TIMEOUT_MS));
    EXPECT_TRUE(WaitFor([&] { return GetForegroundWindow() == typing; }, E2E_TIMEOUT_MS))
        << "foreground: " << GetForegroundWindow();
}

// The popup opens a second time and stays open: the message posted after the
// first one closed has completed its task switch.
TEST_F(Focus, TheSecondPopupStaysOpen)
{
    ASSERT_NE(PressHotkey("key ctrl+alt+p"), nullptr);
    PressKey(VK_ESCAPE);
    ASSERT_TRUE(WaitFor([] { return FindPopup() == nullptr; }, E2E_TIMEOUT_MS));
    HWND popup = PressHotkey("key ctrl+alt+p");
    ASSERT_NE(popup, nullptr);
    PressKey(VK_DOWN);
    PressKey(VK_RETURN);
    std::string text;
    EXPECT_TRUE(WaitFor(
        [&] {
            GetClipboardText(&text);
            return text == "registered one";
        },
        5000))
        << text;
}

}  // namespace
