// Two monitors: popups, the menu tip and the dialogs stay on the monitor of
// the point they belong to. Run by aux_session.sh in a session whose primary
// monitor is 0,0-1024,768 and whose second is 0,0-1280,1024 (Xvfb puts both
// Xinerama heads at the origin): a point right of x = 1024 or below y = 768
// lies on the second monitor only. In the main session these tests skip.
#include <gtest/gtest.h>

#include <string>

#include "harness.h"

namespace {

const UINT WM_TRAYCALLBACK = WM_APP + 1;
const UINT WM_SHOWTEXTMENU = WM_APP + 2;
const int COMMAND_ABOUT = 40002;
// Section "メニューの表示位置" (where the popups open).
const char SECTION_MENU_POS[] = "\x83\x81\x83\x6a\x83\x85\x81\x5b\x82\xcc\x95\x5c\x8e\xa6\x88\xca\x92\x75";

bool InTwoMonitorSession()
{
    char flag[8];
    return GetEnvironmentVariableA("TAMARIN_E2E_TWO_MONITORS", flag, sizeof flag) > 0;
}

HWND FindVisibleOf(const char* cls, DWORD pid)
{
    HWND w = nullptr;
    while ((w = FindWindowExA(nullptr, w, cls, nullptr)) != nullptr) {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner == pid && IsWindowVisible(w))
            return w;
    }
    return nullptr;
}

RECT RectOf(HWND window)
{
    RECT r = {};
    GetWindowRect(window, &r);
    return r;
}

struct TwoMonitors : testing::Test {
    Tamarin t;
    void SetUp() override
    {
        if (!InTwoMonitorSession())
            GTEST_SKIP() << "runs in the two-monitor session of aux_session.sh";
        ASSERT_EQ(GetSystemMetrics(SM_CMONITORS), 2);
        ASSERT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
    }
    void TearDown() override
    {
        if (FindPopup())
            PressKey(VK_ESCAPE);
        Tamarin_Cleanup(&t);
    }
    void Start(const std::string& registered, const std::string& ini = "")
    {
        ASSERT_TRUE(Tamarin_Prepare(&t, ini));
        ASSERT_TRUE(WriteFileBytes(Tamarin_File(&t, ".use"), registered + std::string(1, '\0')));
        ASSERT_TRUE(Tamarin_Start(&t));
    }
    // The popup, once Tamarin has the foreground and takes keys.
    HWND WaitForPopup()
    {
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

TEST_F(TwoMonitors, TheTextPopupOpensWhereTheIconWasClicked)
{
    Start("registered");
    SetCursorPos(1200, 950);
    // The pointer reaches the display's second head before the click is told.
    ASSERT_TRUE(WaitFor(
        [] {
            POINT p;
            return GetCursorPos(&p) && p.x == 1200 && p.y == 950;
        },
        E2E_TIMEOUT_MS));
    PostMessageA(t.window, WM_TRAYCALLBACK, 1, WM_LBUTTONUP);
    HWND popup = WaitForPopup();
    ASSERT_NE(popup, nullptr);
    RECT r = RectOf(popup);
    // Bottom-aligned at the click; on the first monitor it would end at 767.
    EXPECT_NEAR(r.bottom, 950, 2);
    EXPECT_GT(r.left, 1024);
    EXPECT_LE(r.right, 1280);
}

// A position saved before the screens changed (far beyond both) comes to the
// nearest monitor, the second, and the clamped point is what is saved.
TEST_F(TwoMonitors, APositionOffEveryMonitorComesToTheNearestOne)
{
    Start("registered", std::string("[") + SECTION_MENU_POS + "]\r\nx=5000\r\ny=5000\r\n");
    PostMessageA(t.window, WM_SHOWTEXTMENU, 0, 0);
    HWND popup = WaitForPopup();
    ASSERT_NE(popup, nullptr);
    RECT r = RectOf(popup);
    EXPECT_NEAR(r.bottom, 1023, 2);
    EXPECT_LE(r.right, 1280);
    EXPECT_GT(r.right, 1024);
    PressKey(VK_ESCAPE);
    ASSERT_TRUE(WaitFor([] { return FindPopup() == nullptr; }, E2E_TIMEOUT_MS));
    EXPECT_EQ(Tamarin_Quit(&t), 0);
    std::string ini;
    ReadFileBytes(Tamarin_File(&t, ".ini"), &ini);
    EXPECT_NE(ini.find("x=1279"), std::string::npos) << ini;
    EXPECT_NE(ini.find("y=1023"), std::string::npos) << ini;
}

TEST_F(TwoMonitors, ADialogOpensCentredOnThePointerOnTheSecondMonitor)
{
    Start("registered");
    SetCursorPos(1150, 880);
    PostMessageA(t.window, WM_COMMAND, COMMAND_ABOUT, 0);
    HWND dialog = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (dialog = FindVisibleOf("#32770", t.process.dwProcessId)) != nullptr; }, E2E_TIMEOUT_MS));
    RECT r = RectOf(dialog);
    EXPECT_NEAR((r.left + r.right) / 2, 1150, 1);
    EXPECT_NEAR((r.top + r.bottom) / 2, 880, 1);
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(dialog); }, E2E_TIMEOUT_MS));
}

// A long entry's tip near the second monitor's right edge: as wide as that
// monitor allows (7/8 of 1280, where the primary one would allow only 7/8 of
// 1024 and wrap the text), moved left to stay on it, and beside the pointer.
// (Wine's tooltip control shows a tracking tip above the point when it would
// reach below the primary screen's height, so below or above both count.)
TEST_F(TwoMonitors, TheMenuTipKeepsToTheMonitorOfThePointer)
{
    std::string longText;
    for (int i = 0; i < 24; i++)
        longText += "tip text ";  // about 1000 pixels on one line
    Start(longText);
    SetCursorPos(1200, 900);
    PostMessageA(t.window, WM_TRAYCALLBACK, 1, WM_LBUTTONUP);
    ASSERT_NE(WaitForPopup(), nullptr);
    SetCursorPos(1200, 900);
    PressKey(VK_DOWN);
    HWND tip = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (tip = FindVisibleOf("tooltips_class32", t.process.dwProcessId)) != nullptr; },
                        5000));
    RECT r = RectOf(tip);
    std::string where = std::to_string(r.left) + "," + std::to_string(r.top) + "-" + std::to_string(r.right) + "," +
                        std::to_string(r.bottom);
    EXPECT_GT(r.right - r.left, 1024 * 7 / 8) << where;
    EXPECT_LE(r.right - r.left, 1280 * 7 / 8 + 2) << where;
    EXPECT_LE(r.right, 1280) << where;
    EXPECT_GE(r.left, 0) << where;
    EXPECT_LE(r.bottom, 1024) << where;
    bool below = r.top >= 900 + 16 - 2 && r.top <= 900 + 16 + 2;
    bool above = r.bottom >= 900 + 16 - 2 && r.bottom <= 900 + 16 + 2;
    EXPECT_TRUE(below || above) << where;
}

}  // namespace
