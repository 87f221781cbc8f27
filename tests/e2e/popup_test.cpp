// The tray icon's popups and the commands that need no dialog, driven as a
// user does: a click on the icon (the tray callback), keys in the menu, and
// the commands of the command popup.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "harness.h"
#include "routing.h"

namespace {

const UINT WM_TRAYCALLBACK = WM_APP + 1;
typedef std::vector<std::string> Records;

const char KEY_HISTORY_ON[] =
    "\x97\x9a\x97\xf0\x8b\x40\x94\x5c\x82\xf0\x97\x98\x97\x70\x82\xb7\x82\xe9";  // 履歴機能を利用する

std::string Store(const Records& records)
{
    std::string bytes;
    for (const std::string& r : records)
        bytes += r + std::string(1, '\0');
    return bytes;
}

struct Popup : testing::Test {
    Tamarin t;
    void TearDown() override
    {
        if (FindPopup())
            PressKey(VK_ESCAPE);
        Tamarin_Cleanup(&t);
    }
    void Start(const Records& history, const Records& registered, const std::string& ini = "")
    {
        ASSERT_TRUE(Tamarin_Prepare(&t, ini));
        ASSERT_TRUE(WriteFileBytes(Tamarin_File(&t, ".hst"), Store(history)));
        ASSERT_TRUE(WriteFileBytes(Tamarin_File(&t, ".use"), Store(registered)));
        ASSERT_TRUE(Tamarin_Start(&t));
    }
    // A left click on the tray icon at (x, y): the popup opens there.
    HWND ClickTrayIcon(int x, int y, UINT button = WM_LBUTTONUP)
    {
        SetCursorPos(x, y);
        PostMessageA(t.window, WM_TRAYCALLBACK, 1, button);
        HWND popup = nullptr;
        WaitFor([&] { return (popup = FindPopup()) != nullptr; }, E2E_TIMEOUT_MS);
        return popup;
    }
    Records History() const { return ReadStoreRecords(Tamarin_File(&t, ".hst")); }
    Records Registered() const { return ReadStoreRecords(Tamarin_File(&t, ".use")); }
    std::string Clipboard() const
    {
        std::string text;
        GetClipboardText(&text);
        return text;
    }
    // Waits for the clipboard to change after sequence and hold text.
    void ExpectClipboard(DWORD sequence, const std::string& text) const
    {
        std::string last;
        EXPECT_TRUE(WaitForClipboardText(sequence, text, &last)) << last;
    }
};

TEST_F(Popup, TrayClickOpensTheTextPopupAtTheClickPosition)
{
    Start({"one", "two", "three"}, {"reg"});
    HWND popup = ClickTrayIcon(300, 200);
    ASSERT_NE(popup, nullptr);
    RECT r;
    GetWindowRect(popup, &r);
    EXPECT_TRUE(r.left == 300 || r.right == 300) << r.left << "," << r.right;
    EXPECT_TRUE(r.top == 200 || r.bottom == 200) << r.top << "," << r.bottom;
}

TEST_F(Popup, RightClickOpensTheCommandPopup)
{
    Start({"one"}, {});
    HWND popup = ClickTrayIcon(400, 300, WM_RBUTTONUP);
    ASSERT_NE(popup, nullptr);
    PressKey(VK_ESCAPE);
    EXPECT_TRUE(WaitFor([] { return FindPopup() == nullptr; }, E2E_TIMEOUT_MS));
}

TEST_F(Popup, ChoosingAnEntryPutsItOnTheClipboardAndMovesIt)
{
    // Menu: reg, separator, three, two, one (registered first, newest first).
    Start({"one", "two", "three"}, {"reg"});
    ASSERT_NE(ClickTrayIcon(300, 200), nullptr);
    DWORD sequence = GetClipboardSequenceNumber();
    PressKey(VK_DOWN);
    PressKey(VK_DOWN);
    PressKey(VK_DOWN);
    PressKey(VK_RETURN);
    ExpectClipboard(sequence, "two");
    EXPECT_TRUE(WaitFor([&] { return History() == Records{"one", "three", "two"}; }, E2E_TIMEOUT_MS));
    EXPECT_EQ(Registered(), (Records{"reg"}));
}

// The clipboard changes while the popup is open: the history moves under the
// open menu, yet the chosen label's text is what lands on the clipboard.
TEST_F(Popup, APickGivesTheTextOfItsLabelAfterTheListsMoved)
{
    // Menu: reg, separator, three, two, one.
    Start({"one", "two", "three"}, {"reg"});
    ASSERT_NE(ClickTrayIcon(300, 200), nullptr);
    PressKey(VK_DOWN);
    PressKey(VK_DOWN);
    PressKey(VK_DOWN);  // "two", history index 1
    ASSERT_TRUE(PutClipboardText("intruder"));
    ASSERT_TRUE(WaitFor([&] { return History() == Records{"one", "two", "three", "intruder"}; }, E2E_TIMEOUT_MS));
    ASSERT_NE(FindPopup(), nullptr);
    PressKey(VK_RETURN);  // index 1 now holds "three"
    EXPECT_TRUE(WaitFor([&] { return Clipboard() == "two"; }, E2E_TIMEOUT_MS)) << Clipboard();
    EXPECT_TRUE(WaitFor([&] { return History() == Records{"one", "three", "intruder", "two"}; }, E2E_TIMEOUT_MS));
}

TEST_F(Popup, ShiftRegistersAHistoryEntry)
{
    Start({"one", "two", "three"}, {"reg"});
    ASSERT_NE(ClickTrayIcon(300, 200), nullptr);
    PressKey(VK_DOWN);
    PressKey(VK_DOWN);
    SendKey(VK_SHIFT, false);
    PressKey(VK_RETURN);
    SendKey(VK_SHIFT, true);
    EXPECT_TRUE(WaitFor([&] { return Registered() == Records{"reg", "three"}; }, E2E_TIMEOUT_MS));
    EXPECT_EQ(Clipboard(), "three");
}

HWND FindVisibleTip(DWORD pid)
{
    HWND tip = nullptr;
    while ((tip = FindWindowExA(nullptr, tip, "tooltips_class32", nullptr)) != nullptr) {
        DWORD owner = 0;
        GetWindowThreadProcessId(tip, &owner);
        if (owner == pid && IsWindowVisible(tip))
            return tip;
    }
    return nullptr;
}

TEST_F(Popup, MenuTipFollowsTheHighlightedEntry)
{
    Start({"one", "two"}, {});  // placeholder, separator, two, one
    ASSERT_NE(ClickTrayIcon(300, 200), nullptr);
    DWORD pid = t.process.dwProcessId;
    PressKey(VK_DOWN);
    PressKey(VK_DOWN);
    HWND tip = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (tip = FindVisibleTip(pid)) != nullptr; }, E2E_TIMEOUT_MS));
    POINT cursor;
    GetCursorPos(&cursor);
    RECT r;
    GetWindowRect(tip, &r);
    // The tooltip control puts its frame one pixel outside the track point.
    EXPECT_NEAR(r.left, cursor.x + 8, 1);
    EXPECT_NEAR(r.top, cursor.y + 16, 1);
    PressKey(VK_ESCAPE);
    EXPECT_TRUE(WaitFor([&] { return FindVisibleTip(pid) == nullptr; }, E2E_TIMEOUT_MS));
}

TEST_F(Popup, DateTimeCommandPutsTheFormattedTime)
{
    std::string ini = "[\x93\xfa\x8e\x9e\x82\xcc\x8f\x91\x8e\xae]\r\n0=%04Y-%02m-%02d %x\r\n";  // 日時の書式
    Start({}, {}, ini);
    SYSTEMTIME before;
    GetLocalTime(&before);
    DWORD sequence = GetClipboardSequenceNumber();
    PostMessageA(t.window, WM_COMMAND, 40045, 0);
    const char* days[] = {"\x93\xfa", "\x8c\x8e", "\x89\xce", "\x90\x85", "\x96\xd8", "\x8b\xe0", "\x93\x79"};  // 日月火水木金土
    char expected[64];
    snprintf(expected, sizeof expected, "%04d-%02d-%02d %s", before.wYear, before.wMonth, before.wDay,
             days[before.wDayOfWeek]);
    ExpectClipboard(sequence, expected);
}

TEST_F(Popup, IpAddressCommandPutsTheAddressOfTheDefaultRoute)
{
    Start({}, {});
    // The system's own answer, where it has a default route.
    std::string routed = RoutedIPv4Address();
    WSADATA wsa;
    ASSERT_EQ(WSAStartup(MAKEWORD(1, 1), &wsa), 0);
    char host[256];
    ASSERT_EQ(gethostname(host, sizeof host), 0);
    hostent* entry = gethostbyname(host);
    ASSERT_NE(entry, nullptr);
    in_addr first;
    memcpy(&first, entry->h_addr_list[0], sizeof first);
    std::string expected = routed.empty() ? inet_ntoa(first) : routed;
    WSACleanup();

    DWORD sequence = GetClipboardSequenceNumber();
    PostMessageA(t.window, WM_COMMAND, 40034, 0);
    ExpectClipboard(sequence, expected);
}

TEST_F(Popup, ClearHistoryKeepsTheFileUntilTheNextSave)
{
    Start({"one", "two"}, {"reg"});
    SendMessageA(t.window, WM_COMMAND, 40050, 0);  // handled when this returns
    EXPECT_EQ(History(), (Records{"one", "two"}));
    ASSERT_TRUE(PutClipboardText("fresh"));
    EXPECT_TRUE(WaitFor([&] { return History() == Records{"fresh"}; }, E2E_TIMEOUT_MS));
    EXPECT_EQ(Registered(), (Records{"reg"}));
}

TEST_F(Popup, HistorySwitchTogglesAndLeavesTheIniAlone)
{
    Start({}, {});
    std::string iniBefore;
    ReadFileBytes(Tamarin_File(&t, ".ini"), &iniBefore);
    SendMessageA(t.window, WM_COMMAND, 40054, 0);  // done before the next change arrives
    ASSERT_TRUE(PutClipboardText("while off"));
    // The change reaches Tamarin as a sent message, ahead of this one.
    ASSERT_TRUE(Tamarin_Settle(&t));
    EXPECT_TRUE(History().empty());
    SendMessageA(t.window, WM_COMMAND, 40054, 0);  // done before the next change arrives
    ASSERT_TRUE(PutClipboardText("on again"));
    EXPECT_TRUE(WaitFor([&] { return History() == Records{"on again"}; }, E2E_TIMEOUT_MS));
    std::string iniAfter;
    ReadFileBytes(Tamarin_File(&t, ".ini"), &iniAfter);
    EXPECT_EQ(iniAfter, iniBefore);
    EXPECT_EQ(Tamarin_Quit(&t), 0);
    std::string saved;
    ReadFileBytes(Tamarin_File(&t, ".ini"), &saved);
    EXPECT_EQ(saved.find(KEY_HISTORY_ON), std::string::npos);
}

TEST_F(Popup, ClearClipboardEmptiesIt)
{
    Start({}, {});
    ASSERT_TRUE(PutClipboardText("to be cleared"));
    PostMessageA(t.window, WM_COMMAND, 40055, 0);
    EXPECT_TRUE(WaitFor([] { return IsClipboardEmpty(); }, E2E_TIMEOUT_MS));
}

TEST_F(Popup, AnIdWithoutAnEntryChangesNothing)
{
    Start({"one"}, {"reg"});
    ASSERT_TRUE(PutClipboardText("kept"));
    ASSERT_TRUE(WaitFor([&] { return History().size() == 2; }, E2E_TIMEOUT_MS));
    for (int id : {5000, 4098, 8193, 12286, 8191})
        SendMessageA(t.window, WM_COMMAND, id, 0);  // each handled when this returns
    EXPECT_EQ(Clipboard(), "kept");
    EXPECT_EQ(History(), (Records{"one", "kept"}));
    EXPECT_EQ(Registered(), (Records{"reg"}));
}

}  // namespace
