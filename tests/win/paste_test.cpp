// Pasting after a pick, the parts that stay inside this process: the classes
// taken for consoles and for the shell, no target among the windows of this
// process, a paste that never starts into them, and the target kept for a
// pick that comes as a posted message and forgotten after it. The keystroke
// into another program's window is tested end to end.
#include <windows.h>

#include <gtest/gtest.h>

#include "shell/paste.h"
#include "win/input.h"

namespace {

TEST(PasteClasses, ConsolesAndTheShellAreKnownByClass)
{
    EXPECT_TRUE(Paste_IsConsoleClass("ConsoleWindowClass"));
    EXPECT_TRUE(Paste_IsConsoleClass("WineConsoleClass"));
    EXPECT_FALSE(Paste_IsConsoleClass("Notepad"));
    EXPECT_FALSE(Paste_IsConsoleClass("consolewindowclass"));
    for (const char* shell : {"Shell_TrayWnd", "Shell_SecondaryTrayWnd", "NotifyIconOverflowWindow", "Progman",
                              "WorkerW"})
        EXPECT_TRUE(Paste_IsShellClass(shell)) << shell;
    EXPECT_FALSE(Paste_IsShellClass("Notepad"));
    EXPECT_FALSE(Paste_IsShellClass(""));
}

HWND OwnWindow()
{
    return CreateWindowExA(0, "STATIC", "own", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr, nullptr,
                           nullptr);
}

TEST(PasteTarget, NoneAmongTheWindowsOfThisProcess)
{
    HWND own = OwnWindow();
    HWND child = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, own, nullptr, nullptr, nullptr);
    EXPECT_EQ(Paste_ChooseTarget(own), nullptr);
    EXPECT_EQ(Paste_ChooseTarget(child), nullptr);
    EXPECT_EQ(Paste_ChooseTarget(nullptr), nullptr);
    DestroyWindow(own);
    EXPECT_EQ(Paste_ChooseTarget(own), nullptr);  // gone
}

TEST(PasteTarget, NoPasteIntoAWindowOfThisProcess)
{
    HWND timer = OwnWindow();
    HWND own = OwnWindow();
    EXPECT_FALSE(Paste_Start(timer, own));
    EXPECT_FALSE(Paste_IsPending(timer));
    EXPECT_FALSE(Paste_Start(timer, nullptr));
    DestroyWindow(own);
    EXPECT_FALSE(Paste_Start(timer, own));
    EXPECT_FALSE(Paste_IsPending(timer));
    DestroyWindow(timer);
}

// The target a popup kept is there for the pick the popup posted before it
// closed, and gone once everything posted has been handled.
struct PickSeen {
    HWND holder;
    HWND taken;
};

PickSeen g_pick;

LRESULT CALLBACK PickProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_COMMAND && LOWORD(wParam) == 4096)
        g_pick.taken = Paste_TakeTarget(window);
    return DefWindowProcA(window, msg, wParam, lParam);
}

HWND PickWindow()
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = PickProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "TamarinPasteTestHolder";
    RegisterClassA(&wc);
    return CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, wc.hInstance, nullptr);
}

TEST(PasteTarget, KeptForAPostedPickThenForgotten)
{
    HWND holder = PickWindow();
    HWND someone = GetDesktopWindow();  // any handle will do as the kept one
    g_pick = {holder, nullptr};
    Paste_KeepTarget(holder, someone);
    PostMessageA(holder, WM_COMMAND, 4096, 0);
    Paste_ForgetTargetLater(holder);
    EXPECT_TRUE(PumpUntil([] { return g_pick.taken != nullptr; }));
    EXPECT_EQ(g_pick.taken, someone);
    EXPECT_EQ(Paste_TakeTarget(holder), nullptr);  // taken once

    // Without a pick the target goes once the posted messages are handled.
    Paste_KeepTarget(holder, someone);
    Paste_ForgetTargetLater(holder);
    EXPECT_TRUE(PumpUntil([&] { return GetPropA(holder, PROP_PASTETARGET) == nullptr; }));
    EXPECT_EQ(Paste_TakeTarget(holder), nullptr);

    // Keeping null clears it.
    Paste_KeepTarget(holder, someone);
    Paste_KeepTarget(holder, nullptr);
    EXPECT_EQ(Paste_TakeTarget(holder), nullptr);
    DestroyWindow(holder);
}

}  // namespace
