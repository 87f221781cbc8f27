// The drag list box under Wine: a real list box in a real, visible parent
// window. Drags use real mouse input (SendInput) on the Xvfb display; keys are
// sent as the WM_SYSKEYDOWN / WM_KEYDOWN messages the list box handles. Item
// data are heap text copies, as in the registered-text dialog.
#include "controls/draglistbox.h"
#include "win/input.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

namespace {

enum {
    LIST_ID = 1013,
    OTHER_ID = 1010,
    EVENT_SELCHANGE = 0x10000,  // LBN_SELCHANGE from the list, beside the DDLBN_ codes
    WAIT_MS = 3000,
};

struct Event {
    UINT code;
    int iItem;
    int iFrom;
    int iTo;
    WPARAM wParam;
    int countAtEvent;
};

// What the parent window does with the notifications; reset for every test.
struct ParentState {
    std::vector<Event> events;
    bool refuseBeginDrag = false;
    bool handBack = true;   // send notifications back for their default action
    int freedOnDestroy = 0;
};

ParentState g_parent;

void Record(const DDLBNOTIFY* record)
{
    HWND list = record->hdr.hwndFrom;
    int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
    g_parent.events.push_back({record->hdr.code, record->iItem, record->iFrom, record->iTo, record->wParam, count});
}

// The parent's own handling of DDLBN_DESTROY: every item owns its text copy.
void FreeAllItemData(HWND list)
{
    int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
    for (int i = count - 1; i >= 0; --i) {
        void* data = reinterpret_cast<void*>(SendMessageA(list, LB_GETITEMDATA, i, 0));
        if (data) {
            free(data);
            ++g_parent.freedOnDestroy;
            SendMessageA(list, LB_SETITEMDATA, i, 0);
        }
    }
}

// Answer of a parent to one notification; handed back ones get the list box's default.
LRESULT AnswerNotify(WPARAM wParam, LPARAM lParam)
{
    DDLBNOTIFY* record = reinterpret_cast<DDLBNOTIFY*>(lParam);
    if (!record || record->hdr.idFrom != LIST_ID)
        return 0;
    Record(record);
    switch (record->hdr.code) {
    case DDLBN_BEGINDRAG:
        return g_parent.refuseBeginDrag ? 1 : 0;
    case DDLBN_QUERYCURSOR:
        return reinterpret_cast<LRESULT>(DragListBox_LoadCursor(record->iTo));
    case DDLBN_DESTROY:
        FreeAllItemData(record->hdr.hwndFrom);
        return 0;
    default:
        return g_parent.handBack ? SendMessageA(record->hdr.hwndFrom, WM_NOTIFY, wParam, lParam) : 0;
    }
}

void RecordCommand(WPARAM wParam)
{
    if (LOWORD(wParam) == LIST_ID && HIWORD(wParam) == LBN_SELCHANGE)
        g_parent.events.push_back({EVENT_SELCHANGE, -1, -1, -1, 0, -1});
}

LRESULT CALLBACK ParentProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_NOTIFY:
        return AnswerNotify(wParam, lParam);
    case WM_COMMAND:
        RecordCommand(wParam);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

// A dialog parent answers through DWLP_MSGRESULT, as the registered-text dialog does.
INT_PTR CALLBACK DialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_INITDIALOG:
        SubclassDragListBox(GetDlgItem(dialog, LIST_ID));
        return TRUE;
    case WM_NOTIFY:
        SetWindowLongPtrA(dialog, DWLP_MSGRESULT, AnswerNotify(wParam, lParam));
        return TRUE;
    case WM_COMMAND:
        RecordCommand(wParam);
        return TRUE;
    }
    return FALSE;
}

const char PARENT_CLASS[] = "TamarinDragListTestParent";

void RegisterParentClass()
{
    static bool registered;
    if (registered)
        return;
    WNDCLASSA wc;
    memset(&wc, 0, sizeof wc);
    wc.lpfnWndProc = ParentProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = PARENT_CLASS;
    registered = RegisterClassA(&wc) != 0;
}

// Under Wine without a window manager, taking a shown top-level window off the
// display (hiding, destroying, or moving it wholly off the screen) costs two
// seconds; so one parent window serves every test, parked in the bottom right
// corner with a single pixel on the screen between tests, and destroyed once.
const int PARENT_X = 100;
const int PARENT_Y = 100;
HWND g_sharedParent;

void ParkParent(HWND parent)
{
    SetWindowPos(parent, HWND_BOTTOM, GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1, 0, 0,
                 SWP_NOSIZE | SWP_NOACTIVATE);
}

HWND SharedParent()
{
    if (g_sharedParent && IsWindow(g_sharedParent))
        return g_sharedParent;
    RegisterParentClass();
    g_sharedParent = CreateWindowExA(0, PARENT_CLASS, "drag list test", WS_POPUP | WS_BORDER | WS_VISIBLE,
                                     PARENT_X, PARENT_Y, 420, 360, nullptr, nullptr, GetModuleHandleA(nullptr),
                                     nullptr);
    return g_sharedParent;
}

class SharedParentEnvironment : public testing::Environment {
public:
    void TearDown() override
    {
        if (g_sharedParent)
            DestroyWindow(g_sharedParent);
        g_sharedParent = nullptr;
    }
};

testing::Environment* const g_sharedParentEnvironment = testing::AddGlobalTestEnvironment(new SharedParentEnvironment);

// A real move, waited for until the pointer is there.
void MouseTo(POINT p)
{
    SendMouseTo(p);
    PumpUntil([&] { return CursorIsAt(p); });
    PumpSettled();
}

// Timer messages taken from the queue for one window, seen by a hook.
HWND g_tickWindow;
int g_ticks;

LRESULT CALLBACK CountTicks(int code, WPARAM wParam, LPARAM lParam)
{
    const MSG* msg = reinterpret_cast<const MSG*>(lParam);
    if (code == HC_ACTION && wParam == PM_REMOVE && msg->message == WM_TIMER && msg->hwnd == g_tickWindow)
        g_ticks++;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Pumps until the window's timers have ticked count times.
void PumpUntilListTimerTicks(HWND window, int count)
{
    g_tickWindow = window;
    g_ticks = 0;
    HHOOK hook = SetWindowsHookExA(WH_GETMESSAGE, CountTicks, nullptr, GetCurrentThreadId());
    EXPECT_TRUE(PumpUntil([&] { return g_ticks >= count; }));
    UnhookWindowsHookEx(hook);
    g_tickWindow = nullptr;
}

int Count(UINT code)
{
    int n = 0;
    for (const Event& e : g_parent.events)
        n += e.code == code;
    return n;
}

int FirstIndexOf(UINT code)
{
    for (size_t i = 0; i < g_parent.events.size(); ++i)
        if (g_parent.events[i].code == code)
            return static_cast<int>(i);
    return -1;
}

const Event* Find(UINT code)
{
    int i = FirstIndexOf(code);
    return i < 0 ? nullptr : &g_parent.events[static_cast<size_t>(i)];
}

class DragListTest : public testing::Test {
protected:
    HWND parent = nullptr;
    HWND list = nullptr;
    HWND other = nullptr;
    bool buttonDown = false;
    std::vector<char*> texts;  // every text copy handed to the list box

    void SetUp() override
    {
        g_parent = ParentState();
        parent = SharedParent();
        ASSERT_NE(parent, nullptr);
        SetWindowPos(parent, HWND_TOP, PARENT_X, PARENT_Y, 0, 0, SWP_NOSIZE);
        list = CreateWindowExA(WS_EX_CLIENTEDGE, "LISTBOX", "",
                               WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, 10,
                               10, 200, 100, parent, reinterpret_cast<HMENU>(LIST_ID), GetModuleHandleA(nullptr),
                               nullptr);
        ASSERT_NE(list, nullptr);
        other = CreateWindowExA(0, "BUTTON", "other", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 260, 10, 80, 24, parent,
                                reinterpret_cast<HMENU>(OTHER_ID), GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(other, nullptr);
        SetForegroundWindow(parent);
        SetFocus(list);
        PumpSettled();
    }

    void TearDown() override
    {
        if (buttonDown)
            Release();
        if (list && IsWindow(list))
            DestroyWindow(list);
        if (other)
            DestroyWindow(other);
        if (parent)
            ParkParent(parent);
        PumpSettled();
        // Whatever the test left in the list was freed by the parent at DDLBN_DESTROY.
        EXPECT_EQ(g_parent.freedOnDestroy, static_cast<int>(texts.size()));
    }

    int ItemHeight() { return static_cast<int>(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0)); }

    // Client height of the list box in whole items (plus the border).
    void SizeListInItems(int items)
    {
        RECT window, client;
        GetWindowRect(list, &window);
        GetClientRect(list, &client);
        int frame = (window.bottom - window.top) - client.bottom;
        SetWindowPos(list, nullptr, 0, 0, window.right - window.left, items * ItemHeight() + frame,
                     SWP_NOMOVE | SWP_NOZORDER);
        PumpSettled();
    }

    void Fill(int count)
    {
        for (int i = 0; i < count; ++i) {
            std::string text = "item" + std::to_string(i);
            char* copy = static_cast<char*>(malloc(text.size() + 1));
            memcpy(copy, text.c_str(), text.size() + 1);
            texts.push_back(copy);
            LRESULT at = SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(copy));
            SendMessageA(list, LB_SETITEMDATA, at, reinterpret_cast<LPARAM>(copy));
        }
        PumpSettled();
    }

    std::vector<std::string> Items()
    {
        std::vector<std::string> out;
        int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            char buffer[64] = "";
            if (SendMessageA(list, LB_GETTEXTLEN, i, 0) < static_cast<LRESULT>(sizeof buffer))
                SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(buffer));
            out.push_back(buffer);
        }
        return out;
    }

    // Every item still carries its own text copy: none lost, none shared.
    void ExpectDataFollowsText()
    {
        std::vector<std::string> items = Items();
        std::vector<char*> seen;
        for (size_t i = 0; i < items.size(); ++i) {
            char* data = reinterpret_cast<char*>(SendMessageA(list, LB_GETITEMDATA, i, 0));
            ASSERT_NE(data, nullptr) << "item " << i;
            EXPECT_EQ(items[i], data) << "item " << i;
            for (char* earlier : seen)
                EXPECT_NE(earlier, data) << "item " << i << " shares its data";
            bool known = false;
            for (char* text : texts)
                known = known || text == data;
            EXPECT_TRUE(known) << "item " << i;
            seen.push_back(data);
        }
        EXPECT_EQ(seen.size(), texts.size());
    }

    POINT ItemPoint(int index, bool centre = true)
    {
        RECT r;
        if (SendMessageA(list, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r)) == LB_ERR) {
            GetClientRect(list, &r);  // no such item (empty list): where it would be
            r.top = index * ItemHeight();
            r.bottom = r.top + ItemHeight();
        }
        POINT p = {(r.left + r.right) / 2, centre ? (r.top + r.bottom) / 2 : r.top + 1};
        ClientToScreen(list, &p);
        return p;
    }

    POINT BelowLastItem()
    {
        int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
        RECT r;
        SendMessageA(list, LB_GETITEMRECT, count - 1, reinterpret_cast<LPARAM>(&r));
        POINT p = {(r.left + r.right) / 2, r.bottom + ItemHeight() / 2};
        ClientToScreen(list, &p);
        return p;
    }

    POINT BesideList()
    {
        RECT r;
        GetWindowRect(list, &r);
        POINT p = {r.right + 20, (r.top + r.bottom) / 2};
        return p;
    }

    POINT UnderList()
    {
        RECT r;
        GetWindowRect(list, &r);
        POINT p = {(r.left + r.right) / 2, r.bottom + 15};
        return p;
    }

    void Press(POINT p)
    {
        MouseTo(p);
        SendMouse(MOUSEEVENTF_LEFTDOWN);
        buttonDown = true;
        PumpSettled();
    }

    void Release()
    {
        SendMouse(MOUSEEVENTF_LEFTUP);
        buttonDown = false;
        PumpSettled();
    }

    void Drag(POINT from, POINT to)
    {
        Press(from);
        MouseTo(to);
        Release();
    }

    int Selection() { return static_cast<int>(SendMessageA(list, LB_GETCURSEL, 0, 0)); }

    void SendSysKey(WPARAM key) { SendMessageA(list, WM_SYSKEYDOWN, key, 1 | (1 << 29)); }
    void SendKey(WPARAM key) { SendMessageA(list, WM_KEYDOWN, key, 1); }
};

using Order = std::vector<std::string>;

// ---------------------------------------------------------------------------
// MoveListBoxItem on its own

struct MoveCase {
    int to;
    int from;
    int result;
    Order order;
};

class DragListMove : public DragListTest {};

TEST_F(DragListMove, MovesTextAndDataToTheTargetPosition)
{
    const MoveCase cases[] = {
        {5, 2, 4, {"item0", "item1", "item3", "item4", "item2", "item5"}},  // just above the old item 5
        {6, 0, 5, {"item1", "item2", "item3", "item4", "item5", "item0"}},  // target = count: to the end
        {0, 5, 0, {"item5", "item0", "item1", "item2", "item3", "item4"}},
        {1, 4, 1, {"item0", "item4", "item1", "item2", "item3", "item5"}},
        {3, 2, 2, {"item0", "item1", "item2", "item3", "item4", "item5"}},  // just below itself: no change
        {2, 2, 2, {"item0", "item1", "item2", "item3", "item4", "item5"}},
    };
    SubclassDragListBox(list);
    Fill(6);
    for (const MoveCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "to " << c.to << " from " << c.from);
        SendMessageA(list, LB_RESETCONTENT, 0, 0);
        for (char* text : texts) {
            LRESULT at = SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
            SendMessageA(list, LB_SETITEMDATA, at, reinterpret_cast<LPARAM>(text));
        }
        EXPECT_EQ(MoveListBoxItem(list, c.to, c.from), c.result);
        EXPECT_EQ(Items(), c.order);
        ExpectDataFollowsText();
    }
}

TEST_F(DragListMove, RefusesPositionsOutsideTheListWithoutLosingTheItem)
{
    SubclassDragListBox(list);
    Fill(3);
    Order before = Items();
    EXPECT_EQ(MoveListBoxItem(list, 1, 3), -1);
    EXPECT_EQ(MoveListBoxItem(list, 1, -1), -1);
    EXPECT_EQ(MoveListBoxItem(list, 4, 0), -1);
    EXPECT_EQ(MoveListBoxItem(list, -1, 0), -1);
    EXPECT_EQ(Items(), before);
    ExpectDataFollowsText();
}

TEST_F(DragListMove, ItemWithoutDataStaysWithoutData)
{
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("a"));
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("b"));
    ASSERT_EQ(MoveListBoxItem(list, 2, 0), 1);
    EXPECT_EQ(Items(), (Order{"b", "a"}));
    EXPECT_EQ(SendMessageA(list, LB_GETITEMDATA, 1, 0), 0);
}

// A list box out of room answers LB_ERRSPACE to an insertion; this seam on
// the list box's window procedure makes it do so on demand.
WNDPROC g_roomyProc;
bool g_outOfRoom;

LRESULT CALLBACK OutOfRoomProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (g_outOfRoom && (msg == LB_INSERTSTRING || msg == LB_ADDSTRING))
        return LB_ERRSPACE;
    return CallWindowProcA(g_roomyProc, hwnd, msg, wParam, lParam);
}

TEST_F(DragListMove, AListBoxOutOfRoomKeepsEveryItemWhereItWas)
{
    SubclassDragListBox(list);
    Fill(4);
    g_roomyProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(OutOfRoomProc)));
    Order before = Items();
    g_outOfRoom = true;
    for (const MoveCase& c : {MoveCase{0, 2, -1, {}}, MoveCase{4, 1, -1, {}}, MoveCase{2, 3, -1, {}}}) {
        SCOPED_TRACE(testing::Message() << "to " << c.to << " from " << c.from);
        EXPECT_EQ(MoveListBoxItem(list, c.to, c.from), -1);
        EXPECT_EQ(Items(), before);
        ExpectDataFollowsText();
    }
    g_outOfRoom = false;
    EXPECT_EQ(MoveListBoxItem(list, 0, 2), 0);
    EXPECT_EQ(Items(), (Order{"item2", "item0", "item1", "item3"}));
    ExpectDataFollowsText();
    SetWindowLongPtrA(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_roomyProc));
}

// ---------------------------------------------------------------------------
// Subclassing and its end

WNDPROC g_listProc;
struct UnhookSeen {
    bool destroyed = false;
    LONG_PTR procAtDestroy = 0;
    HANDLE infoAtDestroy = nullptr;
    HANDLE originalAtDestroy = nullptr;
} g_unhook;

LRESULT CALLBACK InnerProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_DESTROY) {
        g_unhook.destroyed = true;
        g_unhook.procAtDestroy = GetWindowLongPtrA(hwnd, GWLP_WNDPROC);
        g_unhook.infoAtDestroy = GetPropA(hwnd, DDLBPROP_DRAGINFO);
        g_unhook.originalAtDestroy = GetPropA(hwnd, DDLBPROP_ORIGINALPROC);
    }
    return CallWindowProcA(g_listProc, hwnd, msg, wParam, lParam);
}

class DragListBox : public DragListTest {};

TEST_F(DragListBox, PutsThePreviousProcedureBackAtDestroy)
{
    g_unhook = UnhookSeen();
    g_listProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(InnerProc)));
    ASSERT_TRUE(SubclassDragListBox(list));
    EXPECT_NE(GetWindowLongPtrA(list, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(InnerProc));
    EXPECT_EQ(GetPropA(list, DDLBPROP_ORIGINALPROC), reinterpret_cast<HANDLE>(InnerProc));
    const DDLBDRAGINFO* info = static_cast<const DDLBDRAGINFO*>(GetPropA(list, DDLBPROP_DRAGINFO));
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->dragIndex, -1);
    EXPECT_FALSE(info->dragging);
    EXPECT_EQ(info->markStart.x, -1);
    EXPECT_EQ(info->markEnd.y, -1);

    LONG_PTR subclassed = GetWindowLongPtrA(list, GWLP_WNDPROC);
    EXPECT_FALSE(SubclassDragListBox(list));
    EXPECT_EQ(GetWindowLongPtrA(list, GWLP_WNDPROC), subclassed);

    DestroyWindow(list);
    list = nullptr;
    ASSERT_TRUE(g_unhook.destroyed);
    EXPECT_EQ(g_unhook.procAtDestroy, reinterpret_cast<LONG_PTR>(InnerProc));
    EXPECT_EQ(g_unhook.infoAtDestroy, nullptr);
    EXPECT_EQ(g_unhook.originalAtDestroy, nullptr);
}

TEST_F(DragListBox, DestroyLetsTheParentFreeEveryItem)
{
    ASSERT_TRUE(SubclassDragListBox(list));
    Fill(4);
    DestroyWindow(list);
    list = nullptr;
    const Event* destroy = Find(DDLBN_DESTROY);
    ASSERT_NE(destroy, nullptr);
    EXPECT_EQ(destroy->countAtEvent, 4);
    EXPECT_EQ(g_parent.freedOnDestroy, 4);
}

TEST_F(DragListBox, ItemFromPtIsOrdinal14OfComctl32)
{
    HMODULE comctl = LoadLibraryA("comctl32.dll");
    ASSERT_NE(comctl, nullptr);
    EXPECT_EQ(reinterpret_cast<void*>(GetProcAddress(comctl, MAKEINTRESOURCEA(14))),
              reinterpret_cast<void*>(GetProcAddress(comctl, "LBItemFromPt")));
    FreeLibrary(comctl);
}

TEST_F(DragListBox, DragCursorsFallBackToSystemCursors)
{
    // The test program carries no cursor resources of its own.
    EXPECT_EQ(DragListBox_LoadCursor(-1), LoadCursorA(nullptr, IDC_NO));
    EXPECT_EQ(DragListBox_LoadCursor(0), LoadCursorA(nullptr, IDC_ARROW));
    EXPECT_EQ(DragListBox_LoadCursor(3), LoadCursorA(nullptr, IDC_ARROW));
}

TEST_F(DragListBox, DroppedFilesAreForwarded)
{
    ASSERT_TRUE(SubclassDragListBox(list));
    EXPECT_EQ(SendMessageA(list, WM_DROPFILES, 0x1234, 0), 0);
    const Event* drop = Find(DDLBN_DROPFILES);
    ASSERT_NE(drop, nullptr);
    EXPECT_EQ(drop->wParam, static_cast<WPARAM>(0x1234));
}

// ---------------------------------------------------------------------------
// Mouse drags with real input

class DragListMouse : public DragListTest {
protected:
    void SetUp() override
    {
        DragListTest::SetUp();
        ASSERT_TRUE(SubclassDragListBox(list));
        Fill(5);
        SizeListInItems(8);
    }
};

TEST_F(DragListMouse, DragMovesTheItemWithItsData)
{
    Press(ItemPoint(0));
    MouseTo(ItemPoint(1));
    MouseTo(ItemPoint(3));
    Release();
    ASSERT_TRUE(PumpUntil([] { return Count(DDLBN_ENDDRAG) > 0; }));

    const Event* begin = Find(DDLBN_BEGINDRAG);
    ASSERT_NE(begin, nullptr);
    EXPECT_EQ(begin->iItem, 0);
    const Event* drop = Find(DDLBN_DROP);
    ASSERT_NE(drop, nullptr);
    EXPECT_EQ(drop->iFrom, 0);
    EXPECT_EQ(drop->iTo, 3);
    EXPECT_LT(FirstIndexOf(DDLBN_DROP), FirstIndexOf(DDLBN_ENDDRAG));
    EXPECT_EQ(Count(DDLBN_DROP), 1);
    EXPECT_EQ(Items(), (Order{"item1", "item2", "item0", "item3", "item4"}));
    EXPECT_EQ(Selection(), 2);
    EXPECT_NE(GetCapture(), list);
    ExpectDataFollowsText();
}

TEST_F(DragListMouse, DragUpwardsMovesAboveTheTarget)
{
    Drag(ItemPoint(4), ItemPoint(1));
    ASSERT_TRUE(PumpUntil([] { return Count(DDLBN_ENDDRAG) > 0; }));
    EXPECT_EQ(Items(), (Order{"item0", "item4", "item1", "item2", "item3"}));
    EXPECT_EQ(Selection(), 1);
    ExpectDataFollowsText();
}

TEST_F(DragListMouse, QueryCursorReportsTheTargetWhileDragging)
{
    Press(ItemPoint(1));
    MouseTo(ItemPoint(3));
    bool sawInside = false;
    for (const Event& e : g_parent.events)
        sawInside = sawInside || (e.code == DDLBN_QUERYCURSOR && e.iTo == 3);
    EXPECT_TRUE(sawInside);
    EXPECT_EQ(GetCursor(), DragListBox_LoadCursor(3));

    MouseTo(BesideList());
    ASSERT_FALSE(g_parent.events.empty());
    const Event& last = g_parent.events.back();
    EXPECT_EQ(last.code, static_cast<UINT>(DDLBN_QUERYCURSOR));
    EXPECT_EQ(last.iTo, -1);
    EXPECT_EQ(GetCursor(), DragListBox_LoadCursor(-1));
    Release();
}

TEST_F(DragListMouse, ReleaseBelowTheLastItemMovesItToTheEnd)
{
    Drag(ItemPoint(1), BelowLastItem());
    ASSERT_TRUE(PumpUntil([] { return Count(DDLBN_ENDDRAG) > 0; }));
    const Event* drop = Find(DDLBN_DROP);
    ASSERT_NE(drop, nullptr);
    EXPECT_EQ(drop->iFrom, 1);
    EXPECT_EQ(drop->iTo, 5);
    EXPECT_EQ(Items(), (Order{"item0", "item2", "item3", "item4", "item1"}));
    EXPECT_EQ(Selection(), 4);
    ExpectDataFollowsText();
}

TEST_F(DragListMouse, ReleaseOutsideTheListMovesNothing)
{
    Order before = Items();
    Drag(ItemPoint(1), BesideList());
    ASSERT_TRUE(PumpUntil([] { return Count(DDLBN_ENDDRAG) > 0; }));
    EXPECT_EQ(Count(DDLBN_BEGINDRAG), 1);
    EXPECT_EQ(Count(DDLBN_DROP), 0);
    EXPECT_EQ(Items(), before);
    ExpectDataFollowsText();
}

TEST_F(DragListMouse, DropJustBelowItselfKeepsTheOrder)
{
    Order before = Items();
    Drag(ItemPoint(1), ItemPoint(2));
    ASSERT_TRUE(PumpUntil([] { return Count(DDLBN_ENDDRAG) > 0; }));
    const Event* drop = Find(DDLBN_DROP);
    ASSERT_NE(drop, nullptr);
    EXPECT_EQ(drop->iFrom, 1);
    EXPECT_EQ(drop->iTo, 2);
    EXPECT_EQ(Items(), before);
    ExpectDataFollowsText();
}

TEST_F(DragListMouse, ClickWithoutMovingIsNoDrop)
{
    Order before = Items();
    Press(ItemPoint(2));
    Release();
    ASSERT_TRUE(PumpUntil([] { return Count(DDLBN_ENDDRAG) > 0; }));
    int begin = FirstIndexOf(DDLBN_BEGINDRAG);
    int selChange = FirstIndexOf(EVENT_SELCHANGE);
    int end = FirstIndexOf(DDLBN_ENDDRAG);
    ASSERT_GE(begin, 0);
    EXPECT_EQ(g_parent.events[static_cast<size_t>(begin)].iItem, 2);
    EXPECT_LT(begin, selChange);
    EXPECT_LT(selChange, end);
    EXPECT_EQ(Count(DDLBN_DROP), 0);
    EXPECT_EQ(Items(), before);
    EXPECT_EQ(Selection(), 2);
}

TEST_F(DragListMouse, PressBelowTheItemsStartsNoDragButReportsSelChange)
{
    Press(BelowLastItem());
    EXPECT_EQ(Count(DDLBN_BEGINDRAG), 0);
    EXPECT_GE(Count(EVENT_SELCHANGE), 1);
    Release();
    EXPECT_EQ(Count(DDLBN_ENDDRAG), 0);
}

TEST_F(DragListMouse, FocusLossEndsTheDragWithoutDrop)
{
    Order before = Items();
    Press(ItemPoint(1));
    MouseTo(ItemPoint(3));
    ASSERT_EQ(GetCapture(), list);
    SetFocus(other);
    PumpSettled();
    EXPECT_EQ(Count(DDLBN_ENDDRAG), 1);
    EXPECT_NE(GetCapture(), list);
    Release();
    EXPECT_EQ(Count(DDLBN_DROP), 0);
    EXPECT_EQ(Items(), before);
    ExpectDataFollowsText();
}

// A list box procedure that never learns about focus changes, so that only the
// drag list box itself can give the capture back.
WNDPROC g_plainListProc;

LRESULT CALLBACK FocusBlindProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_KILLFOCUS)
        return 0;
    return CallWindowProcA(g_plainListProc, hwnd, msg, wParam, lParam);
}

class DragListFocus : public DragListTest {};

TEST_F(DragListFocus, FocusLossReleasesTheCaptureItself)
{
    g_plainListProc =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrA(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FocusBlindProc)));
    ASSERT_TRUE(SubclassDragListBox(list));
    Fill(5);
    SizeListInItems(8);
    Press(ItemPoint(1));
    MouseTo(ItemPoint(3));
    ASSERT_EQ(GetCapture(), list);
    SetFocus(other);
    PumpSettled();
    EXPECT_NE(GetCapture(), list);
    EXPECT_EQ(Count(DDLBN_ENDDRAG), 1);
    Release();
    EXPECT_EQ(Count(DDLBN_DROP), 0);
}

TEST_F(DragListMouse, RefusedBeginDragPreventsTheMove)
{
    g_parent.refuseBeginDrag = true;
    Order before = Items();
    Drag(ItemPoint(0), ItemPoint(3));
    PumpSettled();
    EXPECT_EQ(Count(DDLBN_BEGINDRAG), 1);
    EXPECT_EQ(Count(DDLBN_QUERYCURSOR), 0);
    EXPECT_EQ(Count(DDLBN_DROP), 0);
    EXPECT_EQ(Count(DDLBN_ENDDRAG), 0);
    EXPECT_EQ(Items(), before);
}

TEST_F(DragListMouse, InputDuringADragIsIgnoredOrPassedWithoutNotifications)
{
    Press(ItemPoint(0));
    MouseTo(ItemPoint(3));
    ASSERT_EQ(GetCapture(), list);
    size_t before = g_parent.events.size();

    EXPECT_EQ(SendMessageA(list, WM_RBUTTONDOWN, 0, 0), 0);
    EXPECT_EQ(SendMessageA(list, WM_RBUTTONUP, 0, 0), 0);
    EXPECT_EQ(Selection(), 0);  // a right press outside a drag would select item 3
    SendMessageA(list, WM_CHAR, 'x', 1);
    SendKey(VK_DOWN);
    SendSysKey(VK_DOWN);
    EXPECT_EQ(Selection(), 1);  // the key still reached the list box
    for (size_t i = before; i < g_parent.events.size(); ++i) {
        UINT code = g_parent.events[i].code;
        EXPECT_TRUE(code != DDLBN_KEYDOWN && code != DDLBN_SYSKEYDOWN && code != DDLBN_RBUTTONUP)
            << "notification " << code;
    }
    EXPECT_EQ(Items(), (Order{"item0", "item1", "item2", "item3", "item4"}));
    Release();
}

TEST_F(DragListMouse, RightClickSelectsAndOpensTheContextMenu)
{
    MouseTo(ItemPoint(3));
    SendMouse(MOUSEEVENTF_RIGHTDOWN);
    PumpSettled();
    SendMouse(MOUSEEVENTF_RIGHTUP);
    ASSERT_TRUE(PumpUntil([] { return Count(DDLBN_CONTEXTMENU) > 0; }));
    EXPECT_EQ(Selection(), 3);
    EXPECT_GE(Count(EVENT_SELCHANGE), 1);
    const Event* up = Find(DDLBN_RBUTTONUP);
    ASSERT_NE(up, nullptr);
    EXPECT_EQ(up->iItem, 3);
    EXPECT_LT(FirstIndexOf(DDLBN_RBUTTONUP), FirstIndexOf(DDLBN_CONTEXTMENU));
}

// Reads the mark's pixel at the left end of the line above target position 3.
COLORREF PixelAboveItem(HWND list, int index)
{
    RECT r;
    SendMessageA(list, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r));
    HDC dc = GetDC(list);
    COLORREF c = GetPixel(dc, r.left + 2, r.top);
    ReleaseDC(list, dc);
    return c;
}

TEST_F(DragListMouse, InsertionMarkInvertsAndIsErasedAgain)
{
    Press(ItemPoint(0));
    PumpSettled();
    COLORREF plain = PixelAboveItem(list, 3);
    ASSERT_NE(plain, CLR_INVALID);
    MouseTo(ItemPoint(3));
    EXPECT_EQ(PixelAboveItem(list, 3), ~plain & 0xFFFFFFu);
    MouseTo(BesideList());
    EXPECT_EQ(PixelAboveItem(list, 3), plain);
    MouseTo(ItemPoint(3));
    EXPECT_EQ(PixelAboveItem(list, 3), ~plain & 0xFFFFFFu);
    SetFocus(other);  // ends the drag, which takes the mark off
    PumpSettled();
    EXPECT_EQ(PixelAboveItem(list, 3), plain);
    Release();
}

TEST_F(DragListMouse, MarkDrawingCopesWithAnEmptiedList)
{
    Press(ItemPoint(0));
    MouseTo(ItemPoint(2));
    ASSERT_EQ(GetCapture(), list);
    // The parent empties the list in the middle of the drag.
    for (char* text : texts)
        free(text);
    texts.clear();
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    MouseTo(ItemPoint(0, false));
    MouseTo(UnderList());
    PumpUntilListTimerTicks(list, 3);  // auto-scroll on the empty list
    MouseTo(BesideList());
    Release();
    EXPECT_EQ(Count(DDLBN_ENDDRAG), 1);
    EXPECT_EQ(Count(DDLBN_DROP), 0);
    EXPECT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 0);
}

TEST_F(DragListMouse, EmptyListStartsNoDrag)
{
    for (char* text : texts)
        free(text);
    texts.clear();
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    Press(ItemPoint(0, false));
    MouseTo(UnderList());
    Release();
    EXPECT_EQ(Count(DDLBN_BEGINDRAG), 0);
    EXPECT_EQ(Count(DDLBN_ENDDRAG), 0);
    EXPECT_GE(Count(EVENT_SELCHANGE), 1);
}

class DragListScroll : public DragListTest {};

TEST_F(DragListScroll, HoldingBelowALongListScrollsIt)
{
    ASSERT_TRUE(SubclassDragListBox(list));
    Fill(40);
    SizeListInItems(5);
    ASSERT_EQ(SendMessageA(list, LB_GETTOPINDEX, 0, 0), 0);
    Press(ItemPoint(0));
    MouseTo(UnderList());
    EXPECT_TRUE(PumpUntil([this] { return SendMessageA(list, LB_GETTOPINDEX, 0, 0) >= 3; }));
    MouseTo(BesideList());
    Release();
    EXPECT_EQ(Count(DDLBN_DROP), 0);
    EXPECT_EQ(Count(DDLBN_ENDDRAG), 1);
    ExpectDataFollowsText();
}

TEST_F(DragListScroll, DropAfterScrollingCountsFromTheTopItem)
{
    ASSERT_TRUE(SubclassDragListBox(list));
    Fill(40);
    SizeListInItems(5);
    Press(ItemPoint(0));
    MouseTo(UnderList());
    ASSERT_TRUE(PumpUntil([this] { return SendMessageA(list, LB_GETTOPINDEX, 0, 0) >= 3; }));
    MouseTo(BesideList());  // stop the scrolling
    int top = static_cast<int>(SendMessageA(list, LB_GETTOPINDEX, 0, 0));
    PumpSettled();
    COLORREF plain = PixelAboveItem(list, top + 2);
    MouseTo(ItemPoint(top + 2));
    // The mark sits above the target as shown, counted from the top item.
    EXPECT_EQ(PixelAboveItem(list, top + 2), ~plain & 0xFFFFFFu);
    Release();
    ASSERT_TRUE(PumpUntil([] { return Count(DDLBN_ENDDRAG) > 0; }));
    const Event* drop = Find(DDLBN_DROP);
    ASSERT_NE(drop, nullptr);
    EXPECT_EQ(drop->iTo, top + 2);
    std::vector<std::string> items = Items();
    EXPECT_EQ(items[static_cast<size_t>(top + 1)], "item0");
    ExpectDataFollowsText();
}

// ---------------------------------------------------------------------------
// Keys

class DragListKeys : public DragListTest {
protected:
    void SetUp() override
    {
        DragListTest::SetUp();
        ASSERT_TRUE(SubclassDragListBox(list));
        Fill(4);
    }
};

TEST_F(DragListKeys, AltArrowsMoveTheSelectedItemByOneAndStopAtTheEnds)
{
    struct Step {
        WPARAM key;
        int expected;  // index of item0 afterwards
    };
    const Step steps[] = {
        {VK_UP, 0},   {VK_LEFT, 0}, {VK_DOWN, 1}, {VK_RIGHT, 2}, {VK_DOWN, 3},
        {VK_DOWN, 3}, {VK_RIGHT, 3}, {VK_UP, 2},  {VK_LEFT, 1},  {VK_UP, 0},
    };
    SendMessageA(list, LB_SETCURSEL, 0, 0);
    for (const Step& step : steps) {
        SCOPED_TRACE(testing::Message() << "key " << step.key << " to " << step.expected);
        int before = Selection();
        g_parent.events.clear();
        SendSysKey(step.key);
        std::vector<std::string> items = Items();
        EXPECT_EQ(items[static_cast<size_t>(step.expected)], "item0");
        EXPECT_EQ(Selection(), step.expected);
        EXPECT_EQ(Count(DDLBN_SYSKEYDOWN), 1);
        // A move asks first, exactly as a drag would; a blocked end asks nothing.
        bool moved = step.expected != before;
        EXPECT_EQ(Count(DDLBN_BEGINDRAG), moved ? 1 : 0);
        if (moved) {
            const Event* begin = Find(DDLBN_BEGINDRAG);
            ASSERT_NE(begin, nullptr);
            EXPECT_EQ(begin->iItem, before);
        }
        ExpectDataFollowsText();
    }
}

TEST_F(DragListKeys, RefusedBeginDragPreventsAltArrowMoves)
{
    g_parent.refuseBeginDrag = true;
    Order before = Items();
    SendMessageA(list, LB_SETCURSEL, 1, 0);
    SendSysKey(VK_DOWN);
    SendSysKey(VK_UP);
    EXPECT_EQ(Count(DDLBN_BEGINDRAG), 2);
    EXPECT_EQ(Items(), before);
    EXPECT_EQ(Selection(), 1);
}

TEST_F(DragListKeys, AltArrowWithoutSelectionDoesNothing)
{
    Order before = Items();
    SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    SendSysKey(VK_DOWN);
    SendSysKey(VK_UP);
    EXPECT_EQ(Count(DDLBN_BEGINDRAG), 0);
    EXPECT_EQ(Items(), before);
}

TEST_F(DragListKeys, DeleteAndBackspaceRemoveTheEntryAndSelectANeighbour)
{
    struct DeleteCase {
        WPARAM key;
        int selected;
        Order after;
        int selection;
    };
    const DeleteCase cases[] = {
        {VK_DELETE, 1, {"item0", "item2", "item3"}, 1},
        {VK_DELETE, 3, {"item0", "item1", "item2"}, 2},
        {VK_BACK, 2, {"item0", "item1", "item3"}, 1},
        {VK_BACK, 0, {"item1", "item2", "item3"}, 0},
        {VK_DELETE, -1, {"item0", "item1", "item2", "item3"}, -1},
    };
    for (const DeleteCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "key " << c.key << " on " << c.selected);
        SendMessageA(list, LB_RESETCONTENT, 0, 0);
        for (char* text : texts) {
            LRESULT at = SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
            SendMessageA(list, LB_SETITEMDATA, at, reinterpret_cast<LPARAM>(text));
        }
        SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(c.selected), 0);
        SendKey(c.key);
        EXPECT_EQ(Items(), c.after);
        EXPECT_EQ(Selection(), c.selection);
    }
    // The entries went, their data did not: the test still owns every text.
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    for (char* text : texts)
        free(text);
    texts.clear();
}

TEST_F(DragListKeys, DeletingTheOnlyItemLeavesNoSelection)
{
    for (int i = 3; i >= 1; --i) {
        free(reinterpret_cast<void*>(SendMessageA(list, LB_GETITEMDATA, i, 0)));
        SendMessageA(list, LB_DELETESTRING, i, 0);
    }
    texts.resize(1);
    char* only = texts[0];
    SendMessageA(list, LB_SETCURSEL, 0, 0);
    SendKey(VK_BACK);
    EXPECT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 0);
    EXPECT_EQ(Selection(), LB_ERR);
    free(only);
    texts.clear();
}

TEST_F(DragListKeys, MenuKeyAsksForTheContextMenu)
{
    SendKey(VK_APPS);
    const Event* key = Find(DDLBN_KEYDOWN);
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->wParam, static_cast<WPARAM>(VK_APPS));
    EXPECT_EQ(Count(DDLBN_CONTEXTMENU), 1);
    EXPECT_LT(FirstIndexOf(DDLBN_KEYDOWN), FirstIndexOf(DDLBN_CONTEXTMENU));
}

TEST_F(DragListKeys, KeysNotHandedBackHaveNoEffect)
{
    g_parent.handBack = false;
    Order before = Items();
    SendMessageA(list, LB_SETCURSEL, 1, 0);
    SendKey(VK_DELETE);
    SendKey(VK_APPS);
    SendSysKey(VK_DOWN);
    EXPECT_EQ(Count(DDLBN_KEYDOWN), 2);
    EXPECT_EQ(Count(DDLBN_SYSKEYDOWN), 1);
    EXPECT_EQ(Count(DDLBN_CONTEXTMENU), 0);
    EXPECT_EQ(Items(), before);
}

// ---------------------------------------------------------------------------
// A dialog parent, answering through DWLP_MSGRESULT

// In-memory template: one list box, id LIST_ID, in a dialog that is a child of
// the shared parent window (a dialog all the same: it answers through DWLP_MSGRESULT).
struct DialogTemplate {
    alignas(DWORD) WORD words[64];
};

void BuildDialogTemplate(DialogTemplate* t)
{
    memset(t, 0, sizeof *t);
    DLGTEMPLATE* dialog = reinterpret_cast<DLGTEMPLATE*>(t->words);
    dialog->style = WS_CHILD | WS_VISIBLE | DS_CONTROL | DS_SETFONT;
    dialog->cdit = 1;
    dialog->x = 0;
    dialog->y = 0;
    dialog->cx = 200;
    dialog->cy = 150;
    WORD* p = reinterpret_cast<WORD*>(dialog + 1);
    *p++ = 0;  // no menu
    *p++ = 0;  // default class
    *p++ = 0;  // no title
    *p++ = 9;  // point size
    const char* face = "MS Shell Dlg";
    while (*face)
        *p++ = static_cast<WORD>(*face++);
    *p++ = 0;
    while (reinterpret_cast<ULONG_PTR>(p) % sizeof(DWORD))
        ++p;
    DLGITEMTEMPLATE* item = reinterpret_cast<DLGITEMTEMPLATE*>(p);
    item->style = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_TABSTOP | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT;
    item->x = 7;
    item->y = 7;
    item->cy = 120;
    item->cx = 120;
    item->id = LIST_ID;
    p = reinterpret_cast<WORD*>(item + 1);
    *p++ = 0xFFFF;
    *p++ = 0x0083;  // LISTBOX
    *p++ = 0;       // no text
    *p++ = 0;       // no creation data
}

class DragListDialog : public DragListTest {
protected:
    HWND dialog = nullptr;

    void SetUp() override
    {
        DragListTest::SetUp();
        DestroyWindow(list);  // the dialog brings its own
        list = nullptr;
        DialogTemplate t;
        BuildDialogTemplate(&t);
        dialog = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), reinterpret_cast<DLGTEMPLATE*>(t.words),
                                            parent, DialogProc, 0);
        ASSERT_NE(dialog, nullptr);
        list = GetDlgItem(dialog, LIST_ID);
        ASSERT_NE(GetPropA(list, DDLBPROP_DRAGINFO), nullptr);
        Fill(4);
        SetFocus(list);
        PumpSettled();
    }

    void TearDown() override
    {
        if (buttonDown)
            Release();
        if (dialog)
            DestroyWindow(dialog);
        list = nullptr;
        DragListTest::TearDown();
    }
};

TEST_F(DragListDialog, RefusalThroughMsgResultStopsAltArrowMoves)
{
    g_parent.refuseBeginDrag = true;
    Order before = Items();
    SendMessageA(list, LB_SETCURSEL, 1, 0);
    SendSysKey(VK_DOWN);
    EXPECT_EQ(Count(DDLBN_BEGINDRAG), 1);
    EXPECT_EQ(Items(), before);

    g_parent.refuseBeginDrag = false;
    SendSysKey(VK_DOWN);
    EXPECT_EQ(Items(), (Order{"item0", "item2", "item1", "item3"}));
    EXPECT_EQ(Selection(), 2);
    ExpectDataFollowsText();
}

TEST_F(DragListDialog, DragMovesTheItemAndTheCursorComesFromMsgResult)
{
    Press(ItemPoint(3));
    MouseTo(ItemPoint(1));
    EXPECT_EQ(GetCursor(), DragListBox_LoadCursor(1));
    Release();
    ASSERT_TRUE(PumpUntil([] { return Count(DDLBN_ENDDRAG) > 0; }));
    EXPECT_EQ(Items(), (Order{"item0", "item3", "item1", "item2"}));
    ExpectDataFollowsText();
}

TEST_F(DragListDialog, RefusedDragMovesNothing)
{
    g_parent.refuseBeginDrag = true;
    Order before = Items();
    Drag(ItemPoint(3), ItemPoint(0));
    PumpSettled();
    EXPECT_EQ(Count(DDLBN_BEGINDRAG), 1);
    EXPECT_EQ(Count(DDLBN_DROP), 0);
    EXPECT_EQ(Items(), before);
}

}  // namespace
