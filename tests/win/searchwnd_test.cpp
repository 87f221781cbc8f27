// The search window, run for real over a clip store of the test's own: where
// it opens, what its list holds as the query changes, the keys that steer it
// from the edit box, the id a pick gives when the store has moved on, Delete
// on history and registered entries, the tip beside it, the size it keeps in
// the INI file, and the ways it ends without a pick.
#include <windows.h>
#include <commctrl.h>
#include <imm.h>

#include <gtest/gtest.h>

#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

#include "menu/searchwnd.h"
#include "settings/appinfo.h"
#include "settings/profile.h"
#include "settings/settings.h"
#include "store/appdata.h"
#include "ui/placement.h"
#include "win/dialogdriver.h"

namespace {

const char TITLE[] = "\x83\x65\x83\x4c\x83\x58\x83\x67\x82\xcc\x8c\x9f\x8d\xf5";  // テキストの検索
const char KEY_WIDTH[] = "\x95\x9d";                                              // 幅
const char KEY_HEIGHT[] = "\x8d\x82\x82\xb3";                                     // 高さ

const int H = IDM_HISTORY_FIRST;
const int R = IDM_REGISTERED_FIRST;

// A run that outlasts the script's time is ended here, since the script only
// ends dialogs.
void CALLBACK EndSearchAfterTimeout(HWND, UINT, UINT_PTR, DWORD)
{
    DialogScript* script = CurrentScript();
    HWND window = FindWindowA(SEARCH_WINDOW_CLASS, nullptr);
    if (script && script->timedOut && window)
        DestroyWindow(window);
}

struct Search {
    HWND window = nullptr;
    HWND edit = nullptr;
    HWND list = nullptr;
};

std::function<bool()> WaitForSearch(Search* s)
{
    return [=]() {
        s->window = FindWindowA(SEARCH_WINDOW_CLASS, nullptr);
        if (!s->window || !IsWindowVisible(s->window))
            return false;
        s->edit = GetDlgItem(s->window, IDC_SEARCH_EDIT);
        s->list = GetDlgItem(s->window, IDC_SEARCH_LIST);
        return true;
    };
}

int Count(const Search& s)
{
    return static_cast<int>(SendMessageA(s.list, LB_GETCOUNT, 0, 0));
}

int Selected(const Search& s)
{
    return static_cast<int>(SendMessageA(s.list, LB_GETCURSEL, 0, 0));
}

void Type(const Search& s, const char* text)
{
    SendMessageA(s.edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

// A key as the user presses it: posted to the window with the focus, so it
// passes the window's own loop.
void Key(HWND target, WORD vk)
{
    PostMessageA(target, WM_KEYDOWN, vk, 1);
    PostMessageA(target, WM_KEYUP, vk, 0xC0000001);
}

HWND VisibleTip()
{
    HWND tip = nullptr;
    while ((tip = FindWindowExA(nullptr, tip, TOOLTIPS_CLASSA, nullptr)) != nullptr) {
        DWORD process = 0;
        GetWindowThreadProcessId(tip, &process);
        if (process == GetCurrentProcessId() && IsWindowVisible(tip))
            return tip;
    }
    return nullptr;
}

std::string TipText(HWND tip, HWND window)
{
    char text[4096] = {};
    TTTOOLINFOA tool;
    ZeroMemory(&tool, sizeof tool);
    tool.cbSize = TTTOOLINFOA_V1_SIZE;
    tool.hwnd = window;
    tool.uId = reinterpret_cast<UINT_PTR>(window);
    tool.lpszText = text;
    SendMessageA(tip, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
    return text;
}

RECT WorkAreaAt(POINT pt)
{
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    GetMonitorInfoA(MonitorFromPoint(pt, MONITOR_DEFAULTTONEAREST), &info);
    return info.rcWork;
}

class SearchWnd : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES};
        InitCommonControlsEx(&controls);
    }
    void SetUp() override
    {
        data = AppData_New();
        ASSERT_NE(data, nullptr);
        SetDefaultSettings(&info);
        info.useHistoryFile = false;  // the store stays in memory
        MakeTempName(ini, sizeof ini, "tamarin_search", ".ini");
    }
    void TearDown() override
    {
        AppData_Delete(data);
        DeleteFileA(ini);
    }
    // The history newest first, as the store holds it.
    void Fill(const std::vector<std::string>& history, const std::vector<std::string>& registered)
    {
        for (auto it = history.rbegin(); it != history.rend(); ++it)
            AppData_Add(data, LIST_HISTORY, it->c_str());
        for (auto it = registered.rbegin(); it != registered.rend(); ++it)
            AppData_Add(data, LIST_REGISTERED, it->c_str());
    }
    int Run(DialogScript* script, POINT anchor = {300, 600}, HWND owner = nullptr)
    {
        SearchWindowParams params = {data, &info, anchor, ini};
        UINT_PTR guard = SetTimer(nullptr, 0, 100, EndSearchAfterTimeout);
        int id = RunDialogScript(script, [&]() { return SearchWnd_Run(owner, &params); });
        KillTimer(nullptr, guard);
        EXPECT_FALSE(SearchWnd_IsOpen());
        return id;
    }

    AppData* data = nullptr;
    AppInfo info;
    char ini[MAX_PATH];
};

TEST_F(SearchWnd, OpensTopMostAtTheAnchorWithEveryEntry)
{
    Fill({"one", "two", "three"}, {"reg"});
    Search s;
    RECT rect = {};
    LONG_PTR exStyle = 0;
    std::string caption;
    int count = 0, selected = -1;
    HWND focus = nullptr;
    bool imeContext = false;
    DialogScript script;
    script.Add(WaitForSearch(&s));
    script.Add(Do([&]() {
        // The edit box keeps its input context, so an IME can write into it.
        HIMC context = ImmGetContext(s.edit);
        imeContext = context != nullptr;
        if (context)
            ImmReleaseContext(s.edit, context);
        GetWindowRect(s.window, &rect);
        exStyle = GetWindowLongPtrA(s.window, GWL_EXSTYLE);
        caption = WindowText(s.window);
        count = Count(s);
        selected = Selected(s);
        focus = GetFocus();
        Key(s.edit, VK_ESCAPE);
    }));
    EXPECT_EQ(Run(&script, POINT{300, 600}), 0);
    EXPECT_EQ(rect.left, 300);
    EXPECT_EQ(rect.bottom, 600);
    EXPECT_TRUE(exStyle & WS_EX_TOPMOST);
    EXPECT_EQ(caption, TITLE);
    EXPECT_EQ(count, 4);
    EXPECT_EQ(selected, 0);
    EXPECT_EQ(focus, s.edit);
    EXPECT_TRUE(imeContext);
}

TEST_F(SearchWnd, AnchorBeyondTheWorkAreaIsPulledInside)
{
    Fill({"one"}, {});
    const POINT anchors[] = {{100000, 100000}, {-100000, -100000}, {100000, -100000}};
    for (POINT anchor : anchors) {
        SCOPED_TRACE(testing::Message() << anchor.x << "," << anchor.y);
        Search s;
        RECT rect = {};
        DialogScript script;
        script.Add(WaitForSearch(&s));
        script.Add(Do([&]() {
            GetWindowRect(s.window, &rect);
            Key(s.edit, VK_ESCAPE);
        }));
        EXPECT_EQ(Run(&script, anchor), 0);
        RECT work = WorkAreaAt(anchor);
        EXPECT_GE(rect.left, work.left);
        EXPECT_GE(rect.top, work.top);
        EXPECT_LE(rect.right, work.right);
        EXPECT_LE(rect.bottom, work.bottom);
    }
}

TEST_F(SearchWnd, TypingNarrowsTheListAndEnterPicksTheSelection)
{
    // Registered first, newest first: ａｌｐｈａ reg | alpha one, beta two, ALPHA three
    Fill({"alpha one", "beta two", "ALPHA three"}, {"\x82\x81\x82\x8c\x82\x90\x82\x88\x82\x81 reg"});
    Search s;
    int all = 0, alpha = 0, three = 0, none = 0, afterDown = -1;
    DialogScript script;
    script.Add(WaitForSearch(&s));
    script.Add(Do([&]() {
        all = Count(s);
        Type(s, "Alpha");
        alpha = Count(s);
        Type(s, "alpha THREE");
        three = Count(s);
        Type(s, "gamma");
        none = Count(s);
        Type(s, "alpha");
        Key(s.edit, VK_DOWN);  // from the edit box: alpha one
    }));
    script.Add(Settled());
    script.Add(Do([&]() {
        afterDown = Selected(s);
        Key(s.edit, VK_RETURN);
    }));
    EXPECT_EQ(Run(&script), H + 0);
    EXPECT_EQ(all, 4);
    EXPECT_EQ(alpha, 3);
    EXPECT_EQ(three, 1);
    EXPECT_EQ(none, 0);
    EXPECT_EQ(afterDown, 1);
}

// What the owner saw of the pick: the command, and whether the search window
// (and so its keyboard state) was still there when it came.
struct OwnerSeen {
    int id = 0;
    bool windowOpen = false;
    bool shiftDown = false;
};

OwnerSeen g_owner;

LRESULT CALLBACK OwnerProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_COMMAND) {
        g_owner.id = LOWORD(wParam);
        HWND search = FindWindowA(SEARCH_WINDOW_CLASS, nullptr);
        g_owner.windowOpen = search && IsWindowVisible(search);
        g_owner.shiftDown = GetKeyState(VK_SHIFT) < 0;
    }
    return DefWindowProcA(window, msg, wParam, lParam);
}

TEST_F(SearchWnd, ThePickReachesTheOwnerAsAPopupPickWhileTheWindowIsOpen)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = OwnerProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "TamarinSearchTestOwner";
    RegisterClassA(&wc);
    HWND owner = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, wc.hInstance,
                                 nullptr);
    Fill({"one", "two"}, {});
    g_owner = OwnerSeen();
    Search s;
    DialogScript script;
    script.Add(WaitForSearch(&s));
    script.Add(Do([&]() {
        Type(s, "two");
        SetFocus(s.edit);
        // Shift+Enter as real input, through the window's own loop.
        INPUT keys[4] = {};
        for (INPUT& key : keys)
            key.type = INPUT_KEYBOARD;
        keys[0].ki.wVk = keys[3].ki.wVk = VK_SHIFT;
        keys[1].ki.wVk = keys[2].ki.wVk = VK_RETURN;
        keys[2].ki.dwFlags = keys[3].ki.dwFlags = KEYEVENTF_KEYUP;
        SendInput(4, keys, sizeof(INPUT));
    }));
    EXPECT_EQ(Run(&script, POINT{300, 600}, owner), H + 1);
    EXPECT_EQ(g_owner.id, H + 1);
    EXPECT_TRUE(g_owner.windowOpen);
    EXPECT_TRUE(g_owner.shiftDown);  // the owner registers the entry, as after a Shift pick in the popup
    DestroyWindow(owner);
}

TEST_F(SearchWnd, UpDownAndPagesMoveTheSelectionFromTheEditBox)
{
    std::vector<std::string> history;
    for (int i = 0; i < 60; i++)
        history.push_back("entry " + std::to_string(i));
    info.historyMax = 100;
    Fill(history, {});
    Search s;
    int down = -1, up = -1, pageDown = -1, pageUp = -1;
    HWND focus = nullptr;
    DialogScript script;
    script.Add(WaitForSearch(&s));
    script.Add(Do([&]() {
        Key(s.edit, VK_DOWN);
        Key(s.edit, VK_DOWN);
    }));
    script.Add(Settled());
    script.Add(Do([&]() {
        down = Selected(s);
        Key(s.edit, VK_UP);
    }));
    script.Add(Settled());
    script.Add(Do([&]() {
        up = Selected(s);
        Key(s.edit, VK_NEXT);
    }));
    script.Add(Settled());
    script.Add(Do([&]() {
        pageDown = Selected(s);
        Key(s.edit, VK_PRIOR);
    }));
    script.Add(Settled());
    script.Add(Do([&]() {
        pageUp = Selected(s);
        focus = GetFocus();
        Key(s.edit, VK_ESCAPE);
    }));
    EXPECT_EQ(Run(&script), 0);
    EXPECT_EQ(down, 2);
    EXPECT_EQ(up, 1);
    EXPECT_GT(pageDown, 2);
    EXPECT_LT(pageUp, pageDown);
    EXPECT_EQ(focus, s.edit);  // the keys moved the list, not the focus
}

TEST_F(SearchWnd, EnterGivesTheIdTheTextHasInTheStoreNow)
{
    Fill({"one", "two", "three"}, {});
    Search s;
    DialogScript script;
    script.Add(WaitForSearch(&s));
    script.Add(Do([&]() {
        Type(s, "two");                        // two is history entry 1
        AppData_Add(data, LIST_HISTORY, "x");  // a clipboard change: x one two three
        Key(s.edit, VK_RETURN);
    }));
    EXPECT_EQ(Run(&script), H + 2);
}

TEST_F(SearchWnd, AnEntryTheStoreNoLongerHoldsIsNotPicked)
{
    Fill({"one", "two"}, {});
    Search s;
    bool openAfterEnter = false;
    int countAfter = -1;
    DialogScript script;
    script.Add(WaitForSearch(&s));
    script.Add(Do([&]() {
        Type(s, "two");
        AppData_Clear(data, LIST_HISTORY);  // 履歴のクリア while the window is open
        Key(s.edit, VK_RETURN);
    }));
    script.Add(Settled());
    script.Add(Do([&]() {
        openAfterEnter = IsWindow(s.window) && IsWindowVisible(s.window);
        countAfter = Count(s);
        Key(s.edit, VK_ESCAPE);
    }));
    EXPECT_EQ(Run(&script), 0);
    EXPECT_TRUE(openAfterEnter);
    EXPECT_EQ(countAfter, 0);  // the list now shows the store as it is
}

TEST_F(SearchWnd, DeleteInTheListRemovesAHistoryEntryOnly)
{
    // "three" is registered as well (registered after it was copied): Delete on
    // the registered entry leaves the history entry of the same text alone.
    Fill({"one", "two", "three"}, {"three"});
    Search s;
    HWND focusAfterTab = nullptr;
    int countAfterHistory = -1, selectedAfter = -1, countAfterRegistered = -1;
    std::string editAfterDelete;
    DialogScript script;
    script.Add(WaitForSearch(&s));
    script.Add(Do([&]() {
        // Delete in the edit box edits the query.
        Type(s, "xo");
        SendMessageA(s.edit, EM_SETSEL, 0, 0);
        Key(s.edit, VK_DELETE);
    }));
    script.Add(Settled());
    script.Add(Do([&]() {
        editAfterDelete = WindowText(s.edit);
        Type(s, "");
        Key(s.edit, VK_TAB);
    }));
    script.Add(Settled());
    script.Add(Do([&]() {
        focusAfterTab = GetFocus();
        SendMessageA(s.list, LB_SETCURSEL, 2, 0);  // three | one two three: "two"
        Key(s.list, VK_DELETE);
    }));
    script.Add(Settled());
    script.Add(Do([&]() {
        countAfterHistory = Count(s);
        selectedAfter = Selected(s);
        SendMessageA(s.list, LB_SETCURSEL, 0, 0);  // the registered text
        Key(s.list, VK_DELETE);
    }));
    script.Add(Settled());
    script.Add(Do([&]() {
        countAfterRegistered = Count(s);
        Key(s.list, VK_ESCAPE);
    }));
    EXPECT_EQ(Run(&script), 0);
    EXPECT_EQ(editAfterDelete, "o");
    EXPECT_EQ(focusAfterTab, s.list);
    EXPECT_EQ(countAfterHistory, 3);
    EXPECT_EQ(selectedAfter, 2);  // the next entry takes the place
    EXPECT_EQ(countAfterRegistered, 3);
    ASSERT_EQ(AppData_GetCount(data, LIST_HISTORY), 2);
    EXPECT_STREQ(AppData_GetAt(data, LIST_HISTORY, 0), "one");
    EXPECT_STREQ(AppData_GetAt(data, LIST_HISTORY, 1), "three");
    EXPECT_EQ(AppData_GetCount(data, LIST_REGISTERED), 1);
}

TEST_F(SearchWnd, ActivatingAnotherWindowClosesItWithoutAPick)
{
    Fill({"one"}, {});
    Search s;
    HWND elsewhere = nullptr;
    DialogScript script;
    script.Add(WaitForSearch(&s));
    script.Add(Do([&]() { elsewhere = ShowWindowInFront(); }));
    EXPECT_EQ(Run(&script), 0);
    if (elsewhere)
        DestroyWindow(elsewhere);
}

TEST_F(SearchWnd, ClosingByTheTitleBarPicksNothing)
{
    Fill({"one"}, {});
    Search s;
    DialogScript script;
    script.Add(WaitForSearch(&s));
    script.Add(Do([&]() { PostMessageA(s.window, WM_CLOSE, 0, 0); }));
    EXPECT_EQ(Run(&script), 0);
}

TEST_F(SearchWnd, SizeIsKeptInTheIniFile)
{
    Fill({"one"}, {});
    Search s;
    DialogScript script;
    script.Add(WaitForSearch(&s));
    script.Add(Do([&]() {
        SetWindowPos(s.window, nullptr, 0, 0, 520, 330, SWP_NOMOVE | SWP_NOZORDER);
        Key(s.edit, VK_ESCAPE);
    }));
    EXPECT_EQ(Run(&script), 0);
    EXPECT_EQ(ReadProfileInt(ini, TITLE, KEY_WIDTH, 0), 520);
    EXPECT_EQ(ReadProfileInt(ini, TITLE, KEY_HEIGHT, 0), 330);

    SIZE reopened = {};
    DialogScript again;
    again.Add(WaitForSearch(&s));
    again.Add(Do([&]() {
        reopened = Placement_GetWindowSize(s.window);
        Key(s.edit, VK_ESCAPE);
    }));
    EXPECT_EQ(Run(&again), 0);
    EXPECT_EQ(reopened.cx, 520);
    EXPECT_EQ(reopened.cy, 330);
}

TEST_F(SearchWnd, SavedSizeBelowTheMinimumGrowsToIt)
{
    Fill({"one"}, {});
    WriteProfileInt(ini, TITLE, KEY_WIDTH, 10);
    WriteProfileInt(ini, TITLE, KEY_HEIGHT, 10);
    Search s;
    SIZE size = {};
    RECT client = {};
    RECT listRect = {};
    DialogScript script;
    script.Add(WaitForSearch(&s));
    script.Add(Do([&]() {
        size = Placement_GetWindowSize(s.window);
        GetClientRect(s.window, &client);
        GetClientRect(s.list, &listRect);
        Key(s.edit, VK_ESCAPE);
    }));
    EXPECT_EQ(Run(&script), 0);
    EXPECT_GT(size.cx, 100);
    EXPECT_GT(size.cy, 80);
    EXPECT_GT(listRect.bottom, 0);  // the list still has room for lines
}

TEST_F(SearchWnd, TipShowsTheWholeTextBesideTheWindow)
{
    // TTM_GETTEXTA gives back at most 80 bytes, so the tips are kept short.
    info.menuTipChars = 30;
    // 29 bytes of 'a' and 表: the tip holds 29 bytes, not half of 表.
    std::string longText = std::string(29, 'a') + "\x95\x5c" + "tail";
    Fill({"first line\r\nsecond line", longText}, {});
    Search s;
    HWND tip = nullptr;
    std::string firstTip, secondTip;
    RECT window = {}, tipRect = {}, item = {};
    DialogScript script;
    script.Add(WaitForSearch(&s));
    script.Add([&]() { return (tip = VisibleTip()) != nullptr; });
    script.Add(Do([&]() {
        firstTip = TipText(tip, s.window);
        GetWindowRect(s.window, &window);
        GetWindowRect(tip, &tipRect);
        SendMessageA(s.list, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item));
        MapWindowPoints(s.list, nullptr, reinterpret_cast<POINT*>(&item), 2);
        Key(s.edit, VK_DOWN);
    }));
    script.Add(Settled());
    script.Add(Do([&]() {
        secondTip = TipText(tip, s.window);
        Key(s.edit, VK_ESCAPE);
    }));
    EXPECT_EQ(Run(&script, POINT{600, 600}), 0);
    EXPECT_EQ(firstTip, "first line\r\nsecond line");
    EXPECT_EQ(secondTip, std::string(29, 'a'));
    EXPECT_TRUE(tipRect.right <= window.left || tipRect.left >= window.right)
        << tipRect.left << "-" << tipRect.right << " beside " << window.left << "-" << window.right;
    EXPECT_NEAR(tipRect.top, item.top, 2);
    EXPECT_EQ(VisibleTip(), nullptr);  // gone with the window
}

TEST_F(SearchWnd, NoTipWhileMenuTipsAreOff)
{
    info.showMenuTips = false;
    Fill({"one", "two"}, {});
    Search s;
    HWND tip = reinterpret_cast<HWND>(1);
    DialogScript script;
    script.Add(WaitForSearch(&s));
    script.Add(Do([&]() { Key(s.edit, VK_DOWN); }));
    script.Add(Settled());
    script.Add(Do([&]() {
        tip = VisibleTip();
        Key(s.edit, VK_ESCAPE);
    }));
    EXPECT_EQ(Run(&script), 0);
    EXPECT_EQ(tip, nullptr);
}

TEST_F(SearchWnd, SecondOpeningBringsTheFirstToTheFront)
{
    Fill({"one"}, {});
    Search s;
    int second = -1;
    int windows = 0;
    bool openDuring = false;
    DialogScript script;
    script.Add(WaitForSearch(&s));
    script.Add(Do([&]() {
        openDuring = SearchWnd_IsOpen();
        second = SearchWnd_Run(nullptr, nullptr);
        for (HWND w = nullptr; (w = FindWindowExA(nullptr, w, SEARCH_WINDOW_CLASS, nullptr)) != nullptr;)
            windows++;
        Key(s.edit, VK_ESCAPE);
    }));
    EXPECT_EQ(Run(&script), 0);
    EXPECT_TRUE(openDuring);
    EXPECT_EQ(second, 0);
    EXPECT_EQ(windows, 1);
}

}  // namespace
