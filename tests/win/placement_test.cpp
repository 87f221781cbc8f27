// Window and dialog placement helpers with real windows: opening at the mouse
// pointer inside the work area, moving by the client area, always on top,
// and a resizable dialog with its layout table, minimum size and the size it
// keeps in an INI file.
#include <windows.h>

#include <stdio.h>
#include <string.h>

#include <string>

#include <gtest/gtest.h>

#include "ui/placement.h"
#include "win/input.h"
#include "win/memdialog.h"

namespace {

RECT WorkArea()
{
    RECT work = {0, 0, 0, 0};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    return work;
}

RECT ScreenRect(HWND window)
{
    RECT rect = {0, 0, 0, 0};
    GetWindowRect(window, &rect);
    return rect;
}

HWND CreatePopup(int width, int height, HWND parent = nullptr, DWORD style = WS_POPUP)
{
    return CreateWindowExA(0, "STATIC", "", style, 0, 0, width, height, parent, nullptr, GetModuleHandleA(nullptr),
                           nullptr);
}

// ---------------------------------------------------------------------------
// Placement at the pointer.

struct CursorPlacementCase {
    const char* name;
    POINT cursor;
    SIZE size;
    RECT work;
    POINT expected;
};

TEST(Placement, PlaceSizeAtPointCentresAndKeepsInsideTheWorkArea)
{
    const CursorPlacementCase cases[] = {
        {"centred, odd size truncated", {500, 400}, {301, 201}, {0, 0, 1000, 800}, {350, 300}},
        {"bottom-right corner", {999, 799}, {301, 201}, {0, 0, 1000, 800}, {699, 599}},
        {"top-left corner", {0, 0}, {301, 201}, {0, 0, 1000, 800}, {0, 0}},
        {"offset work area, top-left", {100, 50}, {300, 200}, {100, 50, 1100, 850}, {100, 50}},
        {"offset work area, right edge", {1099, 400}, {300, 200}, {100, 50, 1100, 850}, {800, 300}},
        {"wider and taller than the work area", {500, 400}, {1200, 900}, {0, 0, 1000, 800}, {0, 0}},
        {"wider only", {500, 400}, {1200, 100}, {0, 0, 1000, 800}, {0, 350}},
        {"negative coordinates, truncation toward zero", {0, 0}, {301, 3}, {-1000, -1000, 1000, 1000}, {-150, -1}},
    };
    for (const CursorPlacementCase& c : cases) {
        POINT pos = Placement_PlaceSizeAtPoint(c.cursor, c.size, &c.work);
        EXPECT_EQ(pos.x, c.expected.x) << c.name;
        EXPECT_EQ(pos.y, c.expected.y) << c.name;
    }
}

TEST(Placement, WindowOpensCentredOnThePointer)
{
    RECT work = WorkArea();
    int cx = (work.left + work.right) / 2;
    int cy = (work.top + work.bottom) / 2;
    if (!MoveCursorTo(cx, cy))
        GTEST_SKIP() << "the pointer cannot be moved here";
    HWND window = CreatePopup(301, 201);
    ASSERT_NE(window, nullptr);
    PlaceWindowAtCursor(window);
    RECT rect = ScreenRect(window);
    EXPECT_EQ(rect.left, cx - 150);
    EXPECT_EQ(rect.top, cy - 100);
    EXPECT_EQ(rect.right - rect.left, 301);
    EXPECT_EQ(rect.bottom - rect.top, 201);
    DestroyWindow(window);
}

TEST(Placement, PointerInTheCornersGivesFlushEdges)
{
    RECT work = WorkArea();
    HWND window = CreatePopup(240, 160);
    ASSERT_NE(window, nullptr);

    ASSERT_TRUE(MoveCursorTo(work.right - 1, work.bottom - 1));
    PlaceWindowAtCursor(window);
    RECT rect = ScreenRect(window);
    EXPECT_EQ(rect.right, work.right);
    EXPECT_EQ(rect.bottom, work.bottom);

    ASSERT_TRUE(MoveCursorTo(work.left, work.top));
    PlaceWindowAtCursor(window);
    rect = ScreenRect(window);
    EXPECT_EQ(rect.left, work.left);
    EXPECT_EQ(rect.top, work.top);

    ASSERT_TRUE(MoveCursorTo(work.right - 1, work.top));
    PlaceWindowAtCursor(window);
    rect = ScreenRect(window);
    EXPECT_EQ(rect.right, work.right);
    EXPECT_EQ(rect.top, work.top);
    DestroyWindow(window);
}

TEST(Placement, WindowLargerThanTheWorkAreaOpensAtItsLeftAndTop)
{
    RECT work = WorkArea();
    HWND window = CreatePopup(work.right - work.left + 100, work.bottom - work.top + 60);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(MoveCursorTo(work.right - 10, work.bottom - 10));
    PlaceWindowAtCursor(window);
    RECT rect = ScreenRect(window);
    EXPECT_EQ(rect.left, work.left);
    EXPECT_EQ(rect.top, work.top);
    DestroyWindow(window);
}

TEST(Placement, ChildWindowIsPlacedInItsParentsCoordinates)
{
    HWND parent = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 100, 80, 600, 400, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(parent, nullptr);
    HWND child = CreatePopup(101, 51, parent, WS_CHILD);
    ASSERT_NE(child, nullptr);
    ASSERT_TRUE(MoveCursorTo(400, 300));
    PlaceWindowAtCursor(child);
    RECT rect = ScreenRect(child);
    EXPECT_EQ(rect.left, 400 - 50);
    EXPECT_EQ(rect.top, 300 - 25);
    DestroyWindow(parent);
}

TEST(Placement, TopmostOnAndOff)
{
    HWND window = CreatePopup(50, 50, nullptr, WS_POPUP | WS_VISIBLE);
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(IsWindowTopmost(window));
    SetWindowTopmost(window, true);
    EXPECT_NE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    EXPECT_TRUE(IsWindowTopmost(window));
    SetWindowTopmost(window, false);
    EXPECT_EQ(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    EXPECT_FALSE(IsWindowTopmost(window));
    DestroyWindow(window);
}

TEST(Placement, ClampPointToRectKeepsThePointInside)
{
    const RECT rect = {10, 20, 110, 220};
    const struct {
        POINT in;
        POINT out;
    } cases[] = {
        {{50, 60}, {50, 60}},    {{5, 5}, {10, 20}},     {{110, 220}, {109, 219}}, {{109, 219}, {109, 219}},
        {{-900, 900}, {10, 219}}, {{900, -900}, {109, 20}},
    };
    for (const auto& c : cases) {
        POINT p = c.in;
        ClampPointToRect(&p, &rect);
        EXPECT_EQ(p.x, c.out.x) << c.in.x << "," << c.in.y;
        EXPECT_EQ(p.y, c.out.y) << c.in.x << "," << c.in.y;
    }
}

TEST(Placement, PointInRectCountsAllFourEdges)
{
    const RECT rect = {10, 20, 110, 220};
    const struct {
        POINT p;
        bool inside;
    } cases[] = {
        {{10, 20}, true},  {{110, 220}, true}, {{110, 20}, true},   {{10, 220}, true},
        {{60, 90}, true},  {{9, 90}, false},   {{111, 90}, false},  {{60, 19}, false}, {{60, 221}, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Placement_PointInRectInclusive(&rect, c.p), c.inside) << c.p.x << "," << c.p.y;
}

TEST(Placement, FileIconsOfTheProgramHaveTheSystemSizes)
{
    HICON big = GetFileIcon(nullptr, false);
    HICON smallIcon = GetFileIcon(nullptr, true);
    ASSERT_NE(big, nullptr);
    ASSERT_NE(smallIcon, nullptr);
    ICONINFO info;
    BITMAP bitmap;
    ASSERT_TRUE(GetIconInfo(big, &info));
    ASSERT_NE(GetObjectA(info.hbmMask, sizeof(bitmap), &bitmap), 0);
    EXPECT_EQ(bitmap.bmWidth, GetSystemMetrics(SM_CXICON));
    DeleteObject(info.hbmMask);
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
    ASSERT_TRUE(GetIconInfo(smallIcon, &info));
    ASSERT_NE(GetObjectA(info.hbmMask, sizeof(bitmap), &bitmap), 0);
    EXPECT_EQ(bitmap.bmWidth, GetSystemMetrics(SM_CXSMICON));
    DeleteObject(info.hbmMask);
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
    DestroyIcon(big);
    DestroyIcon(smallIcon);
}

TEST(Placement, FileIconOfAModuleThatIsNotLoadedIsNull)
{
    EXPECT_EQ(GetFileIcon(reinterpret_cast<HMODULE>(static_cast<INT_PTR>(0x10)), false), nullptr);
}

// ---------------------------------------------------------------------------
// A resizable dialog as the registered-text dialog and the edit pad use them.

enum {
    ID_LIST = 100,      // grows in width and height
    ID_SIDE = 101,      // moves right
    ID_CORNER = 102,    // moves right and down
    ID_FIXED = 103,     // not in the table
    ID_BOTTOM = 104,    // moves down, grows in width
};

const ChildLayout kLayout[] = {
    {ID_LIST, 0, 0, 1, 1},
    {ID_SIDE, 1, 0, 0, 0},
    {ID_CORNER, 1, 1, 0, 0},
    {ID_BOTTOM, 0, 1, 1, 0},
};
const int kLayoutRows = sizeof(kLayout) / sizeof(kLayout[0]);

const char kSection[] = "\x8a\x65\x8e\x8e\x8c\xb1";  // 各試験 (a section name in Shift-JIS)

// The dialog's statics, as the registered-text dialog keeps them.
struct ResizableDialog {
    const char* iniPath;
    bool initialized;
    SIZE minSize;
    LONG previousWidth;
    LONG previousHeight;
};
ResizableDialog g_dialog;

INT_PTR CALLBACK ResizableDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_INITDIALOG: {
        SetDialogIcons(dialog);
        g_dialog.minSize = Placement_GetWindowSize(dialog);
        SIZE client = Placement_GetClientSize(dialog);
        g_dialog.previousWidth = client.cx;
        g_dialog.previousHeight = client.cy;
        g_dialog.initialized = true;
        Placement_RestoreFile(dialog, g_dialog.iniPath, kSection, g_dialog.minSize.cx, g_dialog.minSize.cy);
        return TRUE;
    }
    case WM_SIZE:
        if (g_dialog.initialized)
            LayoutChildren(dialog, kLayout, kLayoutRows, &g_dialog.previousWidth, &g_dialog.previousHeight, wParam,
                           lParam);
        return TRUE;
    case WM_GETMINMAXINFO:
        if (!g_dialog.initialized)
            return FALSE;
        Placement_SetMinTrackSize(lParam, g_dialog.minSize.cx, g_dialog.minSize.cy);
        return TRUE;
    case WM_NCHITTEST:
        return HitTestMoveByClient(dialog, wParam, lParam);
    case WM_DESTROY:
        Placement_SaveFile(dialog, g_dialog.iniPath, kSection);
        g_dialog.initialized = false;
        return TRUE;
    }
    return FALSE;
}

class PlacementDialog : public testing::Test {
protected:
    void SetUp() override
    {
        char folder[MAX_PATH];
        ASSERT_NE(GetTempPathA(sizeof(folder), folder), 0u);
        ASSERT_NE(GetTempFileNameA(folder, "tpl", 0, iniPath), 0u);
        g_dialog = ResizableDialog{};
        g_dialog.iniPath = iniPath;
        RECT work = WorkArea();
        MoveCursorTo((work.left + work.right) / 2, (work.top + work.bottom) / 2);
    }

    void TearDown() override
    {
        if (dialog && IsWindow(dialog))
            DestroyWindow(dialog);
        DeleteFileA(iniPath);
    }

    HWND Open()
    {
        MemDialog t;
        MemDialog_Begin(&t,
                        WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX |
                            DS_MODALFRAME,
                        0, 0, 200, 120, "Resizable");
        MemDialog_Item(&t, WS_BORDER | LBS_NOINTEGRALHEIGHT, 5, 5, 140, 80, ID_LIST, MEMDIALOG_LISTBOX, "");
        MemDialog_Item(&t, BS_PUSHBUTTON, 150, 5, 45, 14, ID_SIDE, MEMDIALOG_BUTTON, "Side");
        MemDialog_Item(&t, BS_PUSHBUTTON, 150, 100, 45, 14, ID_CORNER, MEMDIALOG_BUTTON, "Corner");
        MemDialog_Item(&t, BS_PUSHBUTTON, 150, 40, 45, 14, ID_FIXED, MEMDIALOG_BUTTON, "Fixed");
        MemDialog_Item(&t, WS_BORDER | ES_AUTOHSCROLL, 5, 95, 140, 12, ID_BOTTOM, MEMDIALOG_EDIT, "");
        dialog = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), MemDialog_Template(&t), nullptr,
                                            ResizableDialogProc, 0);
        if (dialog && !IsWindowVisible(dialog))
            ShowWindow(dialog, SW_SHOWNORMAL);
        PumpWaiting();
        return dialog;
    }

    void Close()
    {
        DestroyWindow(dialog);
        dialog = nullptr;
        PumpWaiting();
    }

    RECT ChildRect(int id)
    {
        RECT rect = {0, 0, 0, 0};
        GetWindowRect(GetDlgItem(dialog, id), &rect);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    }

    // Reads a key as text, without the program's own profile helpers.
    std::string IniValue(const char* key)
    {
        char value[64];
        GetPrivateProfileStringA(kSection, key, "<missing>", value, sizeof(value), iniPath);
        return value;
    }

    void WriteIni(const char* key, const char* value)
    {
        WritePrivateProfileStringA(kSection, key, value, iniPath);
    }

    char iniPath[MAX_PATH] = {};
    HWND dialog = nullptr;
};

void ExpectSameRect(const RECT& a, const RECT& b, const char* what)
{
    EXPECT_EQ(a.left, b.left) << what;
    EXPECT_EQ(a.top, b.top) << what;
    EXPECT_EQ(a.right, b.right) << what;
    EXPECT_EQ(a.bottom, b.bottom) << what;
}

TEST_F(PlacementDialog, DialogCarriesTheProgramIcons)
{
    ASSERT_NE(Open(), nullptr);
    EXPECT_NE(SendMessageA(dialog, WM_GETICON, ICON_BIG, 0), 0);
    EXPECT_NE(SendMessageA(dialog, WM_GETICON, ICON_SMALL, 0), 0);
}

TEST_F(PlacementDialog, BareClientAreaAnswersAsCaption)
{
    ASSERT_NE(Open(), nullptr);
    RECT window = ScreenRect(dialog);
    POINT bare = {2, 2};  // left of and above every control
    ClientToScreen(dialog, &bare);
    EXPECT_EQ(SendMessageA(dialog, WM_NCHITTEST, 0, MAKELPARAM(bare.x, bare.y)), HTCAPTION);
    // The sizing border keeps its own answer.
    LPARAM border = MAKELPARAM(window.right - 1, (window.top + window.bottom) / 2);
    EXPECT_EQ(SendMessageA(dialog, WM_NCHITTEST, 0, border), HTRIGHT);
    LPARAM outside = MAKELPARAM(window.right + 20, window.bottom + 20);
    EXPECT_EQ(SendMessageA(dialog, WM_NCHITTEST, 0, outside), HTNOWHERE);
}

TEST_F(PlacementDialog, ControlsFollowAResize)
{
    ASSERT_NE(Open(), nullptr);
    SIZE client0 = Placement_GetClientSize(dialog);
    RECT list0 = ChildRect(ID_LIST), side0 = ChildRect(ID_SIDE), corner0 = ChildRect(ID_CORNER);
    RECT fixed0 = ChildRect(ID_FIXED), bottom0 = ChildRect(ID_BOTTOM);

    SIZE window0 = Placement_GetWindowSize(dialog);
    Placement_ResizeWindow(dialog, window0.cx + 80, window0.cy + 50);
    PumpWaiting();
    SIZE client1 = Placement_GetClientSize(dialog);
    LONG dx = client1.cx - client0.cx;
    LONG dy = client1.cy - client0.cy;
    ASSERT_EQ(dx, 80);
    ASSERT_EQ(dy, 50);

    RECT list = ChildRect(ID_LIST);
    EXPECT_EQ(list.left, list0.left);
    EXPECT_EQ(list.top, list0.top);
    EXPECT_EQ(list.right, list0.right + dx);
    EXPECT_EQ(list.bottom, list0.bottom + dy);
    RECT side = ChildRect(ID_SIDE);
    EXPECT_EQ(side.left, side0.left + dx);
    EXPECT_EQ(side.top, side0.top);
    EXPECT_EQ(side.right - side.left, side0.right - side0.left);
    EXPECT_EQ(side.bottom - side.top, side0.bottom - side0.top);
    RECT corner = ChildRect(ID_CORNER);
    EXPECT_EQ(corner.left, corner0.left + dx);
    EXPECT_EQ(corner.top, corner0.top + dy);
    EXPECT_EQ(corner.right - corner.left, corner0.right - corner0.left);
    RECT bottom = ChildRect(ID_BOTTOM);
    EXPECT_EQ(bottom.left, bottom0.left);
    EXPECT_EQ(bottom.top, bottom0.top + dy);
    EXPECT_EQ(bottom.right, bottom0.right + dx);
    EXPECT_EQ(bottom.bottom - bottom.top, bottom0.bottom - bottom0.top);
    ExpectSameRect(ChildRect(ID_FIXED), fixed0, "fixed");

    // Back to the first size, everything is where it started.
    Placement_ResizeWindow(dialog, window0.cx, window0.cy);
    PumpWaiting();
    ExpectSameRect(ChildRect(ID_LIST), list0, "list");
    ExpectSameRect(ChildRect(ID_SIDE), side0, "side");
    ExpectSameRect(ChildRect(ID_CORNER), corner0, "corner");
    ExpectSameRect(ChildRect(ID_BOTTOM), bottom0, "bottom");
}

TEST_F(PlacementDialog, MinimiseAndRestoreLeaveTheControlsInPlace)
{
    ASSERT_NE(Open(), nullptr);
    SIZE window0 = Placement_GetWindowSize(dialog);
    Placement_ResizeWindow(dialog, window0.cx + 60, window0.cy + 40);
    PumpWaiting();
    RECT list0 = ChildRect(ID_LIST), corner0 = ChildRect(ID_CORNER), bottom0 = ChildRect(ID_BOTTOM);

    ShowWindow(dialog, SW_MINIMIZE);
    PumpWaiting();
    ASSERT_TRUE(IsIconic(dialog));
    ShowWindow(dialog, SW_RESTORE);
    PumpWaiting();
    ASSERT_FALSE(IsIconic(dialog));
    ExpectSameRect(ChildRect(ID_LIST), list0, "list");
    ExpectSameRect(ChildRect(ID_CORNER), corner0, "corner");
    ExpectSameRect(ChildRect(ID_BOTTOM), bottom0, "bottom");
}

TEST_F(PlacementDialog, MinimumTrackingSizeIsTheTemplateSize)
{
    ASSERT_NE(Open(), nullptr);
    SIZE templateSize = Placement_GetWindowSize(dialog);  // no saved size yet
    Close();
    WriteIni(PLACEMENT_KEY_WIDTH, "900");
    WriteIni(PLACEMENT_KEY_HEIGHT, "700");
    ASSERT_NE(Open(), nullptr);
    SIZE opened = Placement_GetWindowSize(dialog);
    EXPECT_EQ(opened.cx, 900);
    EXPECT_EQ(opened.cy, 700);

    MINMAXINFO info;
    ZeroMemory(&info, sizeof(info));
    SendMessageA(dialog, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, templateSize.cx);
    EXPECT_EQ(info.ptMinTrackSize.y, templateSize.cy);

    // The window manager holds a resizable window to its minimum tracking size.
    Placement_ResizeWindow(dialog, 20, 20);
    PumpWaiting();
    SIZE shrunk = Placement_GetWindowSize(dialog);
    EXPECT_EQ(shrunk.cx, templateSize.cx);
    EXPECT_EQ(shrunk.cy, templateSize.cy);
}

TEST_F(PlacementDialog, PlacementSurvivesClosingAndOpening)
{
    ASSERT_NE(Open(), nullptr);
    SIZE templateSize = Placement_GetWindowSize(dialog);
    EXPECT_FALSE(IsWindowTopmost(dialog));
    EXPECT_FALSE(IsZoomed(dialog));
    RECT list0 = ChildRect(ID_LIST);
    SIZE client0 = Placement_GetClientSize(dialog);
    int width = templateSize.cx + 120;
    int height = templateSize.cy + 90;
    Placement_ResizeWindow(dialog, width, height);
    SetWindowTopmost(dialog, true);
    Close();

    char number[16];
    EXPECT_EQ(IniValue(PLACEMENT_KEY_TOPMOST), "1");
    EXPECT_EQ(IniValue(PLACEMENT_KEY_MAXIMIZED), "0");
    snprintf(number, sizeof(number), "%d", height);
    EXPECT_EQ(IniValue(PLACEMENT_KEY_HEIGHT), number);
    snprintf(number, sizeof(number), "%d", width);
    EXPECT_EQ(IniValue(PLACEMENT_KEY_WIDTH), number);

    // Reopened at the saved size and on top, the controls laid out for it.
    ASSERT_NE(Open(), nullptr);
    SIZE reopened = Placement_GetWindowSize(dialog);
    EXPECT_EQ(reopened.cx, width);
    EXPECT_EQ(reopened.cy, height);
    EXPECT_TRUE(IsWindowTopmost(dialog));
    EXPECT_FALSE(IsZoomed(dialog));
    SIZE client1 = Placement_GetClientSize(dialog);
    RECT list1 = ChildRect(ID_LIST);
    EXPECT_EQ(list1.right, list0.right + (client1.cx - client0.cx));
    EXPECT_EQ(list1.bottom, list0.bottom + (client1.cy - client0.cy));

    // Maximised, minimised, restored (to maximised) and closed: the restored
    // size is what is kept.
    ShowWindow(dialog, SW_MAXIMIZE);
    PumpWaiting();
    ASSERT_TRUE(IsZoomed(dialog));
    ShowWindow(dialog, SW_MINIMIZE);
    PumpWaiting();
    ShowWindow(dialog, SW_RESTORE);
    PumpWaiting();
    EXPECT_TRUE(IsZoomed(dialog));
    SetWindowTopmost(dialog, false);
    Close();
    EXPECT_EQ(IniValue(PLACEMENT_KEY_TOPMOST), "0");
    EXPECT_EQ(IniValue(PLACEMENT_KEY_MAXIMIZED), "1");
    snprintf(number, sizeof(number), "%d", height);
    EXPECT_EQ(IniValue(PLACEMENT_KEY_HEIGHT), number);
    snprintf(number, sizeof(number), "%d", width);
    EXPECT_EQ(IniValue(PLACEMENT_KEY_WIDTH), number);

    // Reopened maximised, with the restored size behind it and the controls
    // laid out for the maximised client area.
    ASSERT_NE(Open(), nullptr);
    EXPECT_TRUE(IsZoomed(dialog));
    EXPECT_FALSE(IsWindowTopmost(dialog));
    RECT restored;
    ASSERT_TRUE(Placement_GetRestoredRect(dialog, &restored));
    EXPECT_EQ(restored.right - restored.left, width);
    EXPECT_EQ(restored.bottom - restored.top, height);
    SIZE maximized = Placement_GetClientSize(dialog);
    RECT list2 = ChildRect(ID_LIST);
    EXPECT_EQ(maximized.cx - list2.right, client0.cx - list0.right);
    EXPECT_EQ(maximized.cy - list2.bottom, client0.cy - list0.bottom);
    ShowWindow(dialog, SW_RESTORE);
    PumpWaiting();
    SIZE back = Placement_GetWindowSize(dialog);
    EXPECT_EQ(back.cx, width);
    EXPECT_EQ(back.cy, height);
}

struct LoadCase {
    const char* name;
    const char* topmost;  // null: key absent
    const char* maximized;
    const char* height;
    const char* width;
    SavedPlacement expected;  // alwaysOnTop, maximized, width, height
};

TEST_F(PlacementDialog, LoadKeepsDefaultsForMissingOrBadValues)
{
    const SavedPlacement defaults = {false, true, 640, 480};
    const LoadCase cases[] = {
        {"no keys", nullptr, nullptr, nullptr, nullptr, {false, true, 640, 480}},
        {"all set", "1", "0", "300", "500", {true, false, 500, 300}},
        {"maximised 2 counts", nullptr, "2", nullptr, nullptr, {false, true, 640, 480}},
        {"negative boolean", "-1", nullptr, nullptr, nullptr, {true, true, 640, 480}},
        {"not a number", "on", "yes", "tall", "abc", {false, true, 640, 480}},
        {"leading number", nullptr, "0x", " 12abc", "+77", {false, false, 77, 12}},
        {"empty values", "", "", "", "", {false, true, 640, 480}},
    };
    for (const LoadCase& c : cases) {
        WritePrivateProfileStringA(kSection, nullptr, nullptr, iniPath);  // section gone
        if (c.topmost)
            WriteIni(PLACEMENT_KEY_TOPMOST, c.topmost);
        if (c.maximized)
            WriteIni(PLACEMENT_KEY_MAXIMIZED, c.maximized);
        if (c.height)
            WriteIni(PLACEMENT_KEY_HEIGHT, c.height);
        if (c.width)
            WriteIni(PLACEMENT_KEY_WIDTH, c.width);
        SavedPlacement loaded = defaults;
        Placement_LoadFile(iniPath, kSection, &loaded);
        EXPECT_EQ(loaded.alwaysOnTop, c.expected.alwaysOnTop) << c.name;
        EXPECT_EQ(loaded.maximized, c.expected.maximized) << c.name;
        EXPECT_EQ(loaded.height, c.expected.height) << c.name;
        EXPECT_EQ(loaded.width, c.expected.width) << c.name;
    }
}

// ---------------------------------------------------------------------------
// A footer line under a dialog's controls.

INT_PTR CALLBACK PlainDialogProc(HWND, UINT msg, WPARAM, LPARAM)
{
    return msg == WM_INITDIALOG;
}

HWND OpenFooterDialog()
{
    MemDialog t;
    MemDialog_Begin(&t, WS_POPUP | WS_CAPTION | DS_MODALFRAME, 0, 0, 120, 40, "Footer");
    MemDialog_Item(&t, BS_PUSHBUTTON, 35, 19, 50, 14, IDOK, MEMDIALOG_BUTTON, "OK");
    return CreateDialogIndirectParamA(GetModuleHandleA(nullptr), MemDialog_Template(&t), nullptr, PlainDialogProc, 0);
}

TEST(Placement, AFooterLineGoesUnderTheControlsAndTheDialogGrows)
{
    HWND dialog = OpenFooterDialog();
    ASSERT_NE(dialog, nullptr);
    SIZE before = Placement_GetClientSize(dialog);
    RECT units = {7, 0, 113, 7};
    MapDialogRect(dialog, &units);
    // 表示 (a trail byte 0x5C included), long enough to wrap at least once
    std::string text = "\x95\x5c\x8e\xa6 ";
    for (int i = 0; i < 30; i++)
        text += "word ";
    HWND line = Placement_AddDialogFooter(dialog, 200, text.c_str(), 7, 113);
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(GetDlgCtrlID(line), 200);

    RECT rect;
    GetWindowRect(line, &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    EXPECT_EQ(rect.left, units.left);
    EXPECT_EQ(rect.right, units.right);
    EXPECT_EQ(rect.top, before.cy);
    int height = rect.bottom - rect.top;
    TEXTMETRICA metrics;
    HDC dc = GetDC(dialog);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(dialog, WM_GETFONT, 0, 0)));
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(dialog, dc);
    EXPECT_GE(height, 2 * metrics.tmHeight);  // wrapped, not cut to one line
    EXPECT_EQ(Placement_GetClientSize(dialog).cy, before.cy + height + units.bottom);
    EXPECT_EQ(SendMessageA(line, WM_GETFONT, 0, 0), SendMessageA(dialog, WM_GETFONT, 0, 0));

    wchar_t wide[256] = L"";
    GetWindowTextW(line, wide, 256);
    EXPECT_EQ(wide[0], 0x8868);  // 表
    EXPECT_EQ(wide[1], 0x793A);  // 示
    DestroyWindow(dialog);
}

}  // namespace
