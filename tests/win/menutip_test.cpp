// Menu tips: the tooltip and its buffer on the main window's properties, the
// messages a highlighted entry sends to the tooltip (watched by subclassing
// it), the cut of long texts and the teardown.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/mainwnd.h"
#include "menu/menusnapshot.h"
#include "menu/menutip.h"
#include "menu/popupmenu.h"
#include "settings/appinfo.h"
#include "settings/settings.h"
#include "store/appdata.h"

namespace {

struct Sent {
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
};

std::vector<Sent> g_sent;
WNDPROC g_tooltipProc = nullptr;

LRESULT CALLBACK RecordingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg >= WM_USER && msg < WM_USER + 0x100)
        g_sent.push_back({msg, wParam, lParam});
    return CallWindowProcA(g_tooltipProc, hwnd, msg, wParam, lParam);
}

std::vector<UINT> SentMessages()
{
    std::vector<UINT> msgs;
    for (const Sent& s : g_sent)
        msgs.push_back(s.msg);
    return msgs;
}

const Sent* FindSent(UINT msg)
{
    for (const Sent& s : g_sent) {
        if (s.msg == msg)
            return &s;
    }
    return nullptr;
}

struct MenuTip : testing::Test {
    HWND window = nullptr;
    AppData* data = nullptr;
    AppInfo info;

    void SetUp() override
    {
        SetDefaultSettings(&info);
        window = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(window, nullptr);
        data = AppData_New();
        SetPropA(window, PROP_APPDATA, data);
        g_sent.clear();
    }
    void TearDown() override
    {
        MenuTip_Destroy(window);
        RemovePropA(window, PROP_APPDATA);
        DestroyWindow(window);
        AppData_Delete(data);
        g_tooltipProc = nullptr;
    }
    HWND Tip() { return static_cast<HWND>(GetPropA(window, PROP_TOOLTIPCTRL)); }
    const char* Buffer() { return static_cast<const char*>(GetPropA(window, PROP_TOOLTIPTEXTPTR)); }
    void Watch()
    {
        g_tooltipProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(Tip(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordingProc)));
        g_sent.clear();
    }
};

TEST_F(MenuTip, CreateHangsTheTooltipAndBufferOnTheWindow)
{
    ASSERT_TRUE(MenuTip_Create(window, &info));
    HWND tip = Tip();
    ASSERT_NE(tip, nullptr);
    ASSERT_NE(Buffer(), nullptr);
    char cls[64] = "";
    GetClassNameA(tip, cls, sizeof(cls));
    EXPECT_STREQ(cls, TOOLTIPS_CLASSA);
    EXPECT_EQ(GetWindow(tip, GW_OWNER), window);
    EXPECT_EQ(GetWindowLongA(tip, GWL_STYLE) & (TTS_ALWAYSTIP | TTS_NOPREFIX), TTS_ALWAYSTIP | TTS_NOPREFIX);
    EXPECT_NE(GetWindowLongA(tip, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    EXPECT_FALSE(IsWindowVisible(tip));

    // The one tool was accepted with the short record size.
    EXPECT_EQ(SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0), 1);
    TOOLINFOA ti = {};
    ti.cbSize = TTTOOLINFOA_V1_SIZE;
    ti.hwnd = window;
    ti.uId = reinterpret_cast<UINT_PTR>(window);
    ASSERT_TRUE(SendMessageA(tip, TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&ti)));
    EXPECT_EQ(ti.uFlags & (TTF_IDISHWND | TTF_TRACK), static_cast<UINT>(TTF_IDISHWND | TTF_TRACK));
}

// While a popup's snapshot is kept, the tip shows the text the entry's label
// was made from, not the one that has moved to its place since.
TEST_F(MenuTip, TipShowsTheTextOfTheLabelWhileAPopupIsOpen)
{
    AppData_Add(data, LIST_HISTORY, "labelled");
    ASSERT_TRUE(MenuTip_Create(window, &info));
    MenuSnapshot* snapshot = MenuSnapshot_Take(data, 30, 30);
    ASSERT_NE(snapshot, nullptr);
    SetPropA(window, PROP_MENUSNAPSHOT, snapshot);
    AppData_Add(data, LIST_HISTORY, "newer");  // the clipboard changed meanwhile
    POINT pt = {100, 200};
    MenuTip_Show(window, IDM_HISTORY_FIRST, pt, data, &info);
    EXPECT_STREQ(Buffer(), "labelled");
    EXPECT_STREQ(PopupMenu_GetEntryText(window, data, IDM_HISTORY_FIRST), "labelled");
    EXPECT_EQ(PopupMenu_GetEntryText(window, data, IDM_HISTORY_FIRST + 1), nullptr);

    PopupMenu_ReleaseSnapshot(window);
    EXPECT_EQ(GetPropA(window, PROP_MENUSNAPSHOT), nullptr);
    MenuTip_Show(window, IDM_HISTORY_FIRST, pt, data, &info);
    EXPECT_STREQ(Buffer(), "newer");
}

TEST_F(MenuTip, EntryShowsItsWholeTextBesideTheCursor)
{
    AppData_Add(data, LIST_HISTORY, "line1\r\nline2");
    AppData_Add(data, LIST_REGISTERED, "registered");
    ASSERT_TRUE(MenuTip_Create(window, &info));
    Watch();
    POINT pt = {100, 200};
    MenuTip_Show(window, IDM_HISTORY_FIRST, pt, data, &info);
    EXPECT_STREQ(Buffer(), "line1\r\nline2");
    const std::vector<UINT> order = {TTM_SETMAXTIPWIDTH, TTM_SETTOOLINFOA, TTM_TRACKPOSITION, TTM_ACTIVATE,
                                     TTM_TRACKACTIVATE};
    std::vector<UINT> seen;
    for (UINT msg : SentMessages()) {
        for (UINT wanted : order) {
            if (msg == wanted)
                seen.push_back(msg);
        }
    }
    EXPECT_EQ(seen, order);
    ASSERT_NE(FindSent(TTM_SETMAXTIPWIDTH), nullptr);
    EXPECT_EQ(FindSent(TTM_SETMAXTIPWIDTH)->lParam, GetSystemMetrics(SM_CXSCREEN) * 7 / 8);
    ASSERT_NE(FindSent(TTM_TRACKPOSITION), nullptr);
    EXPECT_EQ(LOWORD(FindSent(TTM_TRACKPOSITION)->lParam), 108);
    EXPECT_EQ(HIWORD(FindSent(TTM_TRACKPOSITION)->lParam), 216);
    EXPECT_EQ(FindSent(TTM_ACTIVATE)->wParam, static_cast<WPARAM>(TRUE));
    EXPECT_EQ(FindSent(TTM_TRACKACTIVATE)->wParam, static_cast<WPARAM>(TRUE));
    EXPECT_TRUE(IsWindowVisible(Tip()));

    g_sent.clear();
    MenuTip_Show(window, IDM_REGISTERED_FIRST, pt, data, &info);
    EXPECT_STREQ(Buffer(), "registered");
    EXPECT_NE(FindSent(TTM_TRACKACTIVATE), nullptr);
}

TEST_F(MenuTip, ItemsWithoutTextHideTheTip)
{
    AppData_Add(data, LIST_HISTORY, "text");
    ASSERT_TRUE(MenuTip_Create(window, &info));
    Watch();
    POINT pt = {10, 10};
    // No item, the placeholder, a command, an index past the end.
    MenuTip_Show(window, IDM_HISTORY_FIRST, pt, data, &info);
    ASSERT_TRUE(IsWindowVisible(Tip()));
    for (int id : {-1, 0, 40054, IDM_HISTORY_FIRST + 1}) {
        g_sent.clear();
        MenuTip_Show(window, id, pt, data, &info);
        std::vector<UINT> sent = SentMessages();
        ASSERT_GE(sent.size(), 2u) << id;
        EXPECT_EQ(sent[0], static_cast<UINT>(TTM_POP)) << id;
        EXPECT_EQ(sent[1], static_cast<UINT>(TTM_ACTIVATE)) << id;
        EXPECT_EQ(g_sent[1].wParam, static_cast<WPARAM>(FALSE)) << id;
        EXPECT_EQ(FindSent(TTM_SETTOOLINFOA), nullptr) << id;
        EXPECT_FALSE(IsWindowVisible(Tip())) << id;
    }
}

TEST_F(MenuTip, PopHidesTheTip)
{
    ASSERT_TRUE(MenuTip_Create(window, &info));
    Watch();
    AppData_Add(data, LIST_HISTORY, "text");
    POINT pt = {10, 10};
    MenuTip_Show(window, IDM_HISTORY_FIRST, pt, data, &info);
    ASSERT_TRUE(IsWindowVisible(Tip()));
    g_sent.clear();
    MenuTip_Pop(window);
    ASSERT_FALSE(g_sent.empty());
    EXPECT_EQ(g_sent[0].msg, static_cast<UINT>(TTM_POP));
    EXPECT_FALSE(IsWindowVisible(Tip()));
}

TEST_F(MenuTip, LongTextIsCutToTheTipSizeWithoutSplittingACharacter)
{
    std::string many;
    for (int i = 0; i < 1500; i++)
        many += "\x82\xa0";  // あ
    AppData_Add(data, LIST_HISTORY, ("a" + many).c_str());  // 4097: byte 1024 is a trail byte
    AppData_Add(data, LIST_HISTORY, many.c_str());          // 4096: byte 1024 is a lead byte
    ASSERT_EQ(info.menuTipChars, 1024);
    ASSERT_TRUE(MenuTip_Create(window, &info));
    POINT pt = {0, 0};
    MenuTip_Show(window, IDM_HISTORY_FIRST, pt, data, &info);
    EXPECT_EQ(std::string(Buffer()), many.substr(0, 1024));
    MenuTip_Show(window, IDM_HISTORY_FIRST + 1, pt, data, &info);
    EXPECT_EQ(std::string(Buffer()), ("a" + many).substr(0, 1023));
}

TEST_F(MenuTip, SmallTipSize)
{
    info.menuTipChars = 2;
    AppData_Add(data, LIST_HISTORY, "abcdef");
    ASSERT_TRUE(MenuTip_Create(window, &info));
    POINT pt = {0, 0};
    MenuTip_Show(window, IDM_HISTORY_FIRST, pt, data, &info);
    EXPECT_STREQ(Buffer(), "ab");
}

TEST_F(MenuTip, DestroyRemovesBothProperties)
{
    ASSERT_TRUE(MenuTip_Create(window, &info));
    ASSERT_NE(Buffer(), nullptr);
    MenuTip_Destroy(window);
    EXPECT_EQ(GetPropA(window, PROP_TOOLTIPCTRL), nullptr);
    EXPECT_EQ(GetPropA(window, PROP_TOOLTIPTEXTPTR), nullptr);
    // Without a tip every call is harmless.
    AppData_Add(data, LIST_HISTORY, "text");
    POINT pt = {0, 0};
    MenuTip_Show(window, IDM_HISTORY_FIRST, pt, data, &info);
    MenuTip_Show(window, -1, pt, data, &info);
    MenuTip_Pop(window);
}

}  // namespace
