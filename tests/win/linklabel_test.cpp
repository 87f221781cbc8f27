// The link label on a real static control of a dialog: the notifications its
// parent receives for moves, leaving and clicks, the hover state that the
// reflected notifications set, hit testing, the cursor, its colours on the
// screen, and the detaching at WM_DESTROY.
#include <windows.h>

#include <string.h>

#include <vector>

#include <gtest/gtest.h>

#include "controls/linklabel.h"
#include "win/input.h"
#include "win/memdialog.h"

namespace {

enum { ID_LABEL = 200, ID_OTHER = 201 };

// What the parent dialog saw and how it answers.
struct Parent {
    bool reflect;
    HCURSOR linkCursor;
    std::vector<NMLINKLABEL> notices;
};
Parent g_parent;

INT_PTR CALLBACK ParentProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_NOTIFY: {
        const NMLINKLABEL* notice = reinterpret_cast<const NMLINKLABEL*>(lParam);
        if (wParam != ID_LABEL)
            return FALSE;
        g_parent.notices.push_back(*notice);
        LRESULT answer = 0;
        if (g_parent.reflect && (notice->hdr.code == LLN_MOUSEOVER || notice->hdr.code == LLN_MOUSELEAVE))
            answer = SendMessageA(notice->hdr.hwndFrom, WM_NOTIFY, notice->hdr.idFrom, lParam);
        SetWindowLongPtrA(dialog, DWLP_MSGRESULT, answer);
        return TRUE;
    }
    case WM_SETCURSOR:
        if (reinterpret_cast<HWND>(wParam) == GetDlgItem(dialog, ID_LABEL)) {
            SetCursor(g_parent.linkCursor);
            SetWindowLongPtrA(dialog, DWLP_MSGRESULT, TRUE);
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}

// The static's procedure as the link label finds it: a pass-through that
// looks at the control when WM_DESTROY reaches it.
struct Original {
    WNDPROC staticProc;
    bool destroySeen;
    LONG_PTR procAtDestroy;
    bool propsAtDestroy;
};
Original g_original;

BOOL CALLBACK FindLinkProp(HWND, LPSTR name, HANDLE, ULONG_PTR found)
{
    if (IS_INTRESOURCE(name))
        return TRUE;
    if (strcmp(name, LLPROP_ORIGINALPROC) == 0 || strcmp(name, LLPROP_CONTROLSTATE) == 0)
        *reinterpret_cast<bool*>(found) = true;
    return TRUE;
}

bool HasLinkProps(HWND control)
{
    bool found = false;
    EnumPropsExA(control, FindLinkProp, reinterpret_cast<LPARAM>(&found));
    return found;
}

LRESULT CALLBACK OriginalProc(HWND control, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_DESTROY) {
        g_original.destroySeen = true;
        g_original.procAtDestroy = GetWindowLongPtrA(control, GWLP_WNDPROC);
        g_original.propsAtDestroy = HasLinkProps(control);
    }
    return CallWindowProcA(g_original.staticProc, control, msg, wParam, lParam);
}

class LinkLabel : public testing::Test {
protected:
    void SetUp() override
    {
        g_parent.reflect = true;
        g_parent.linkCursor = LoadCursor(nullptr, IDC_HAND);
        g_parent.notices.clear();
        g_original = Original{};
        // Away from where the dialog opens, so that no real move reaches the
        // label before a test puts the pointer there.
        RECT work;
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
        MoveCursorTo(POINT{work.right - 2, work.bottom - 2});
        MemDialog t;
        MemDialog_Begin(&t, WS_POPUP | WS_CAPTION | WS_VISIBLE, 20, 20, 160, 60, "Links");
        MemDialog_Item(&t, SS_LEFT, 10, 10, 100, 12, ID_LABEL, MEMDIALOG_STATIC, "Link");
        MemDialog_Item(&t, SS_LEFT, 10, 35, 100, 12, ID_OTHER, MEMDIALOG_STATIC, "Plain");
        dialog = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), MemDialog_Template(&t), nullptr, ParentProc, 0);
        ASSERT_NE(dialog, nullptr);
        SetWindowPos(dialog, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        label = GetDlgItem(dialog, ID_LABEL);
        ASSERT_NE(label, nullptr);
        g_original.staticProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(label, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(OriginalProc)));
        ASSERT_NE(g_original.staticProc, nullptr);
        ASSERT_TRUE(AttachLinkLabel(label));
        RECT rect;
        GetWindowRect(label, &rect);
        inside = POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
        outside = POINT{rect.left + 5, rect.bottom + 30};
        PumpWaiting();
    }

    void TearDown() override
    {
        if (dialog && IsWindow(dialog))
            DestroyWindow(dialog);
        PumpWaiting();
    }

    // Puts the pointer there, lets the moves it causes be handled, and
    // forgets the notices so far.
    void PointerAt(POINT p)
    {
        ASSERT_TRUE(MoveCursorTo(p));
        PumpWaiting();
        g_parent.notices.clear();
    }

    int CountOf(UINT code)
    {
        int n = 0;
        for (const NMLINKLABEL& notice : g_parent.notices)
            n += notice.hdr.code == code;
        return n;
    }

    // Waits (bounded) for the leave timer to report.
    bool WaitForLeave()
    {
        return PumpUntil([this] { return CountOf(LLN_MOUSELEAVE) > 0; }, 5000);
    }

    // Pixels of the label's client area as the screen shows them.
    std::vector<COLORREF> Pixels()
    {
        InvalidateRect(label, nullptr, FALSE);
        UpdateWindow(label);
        GdiFlush();
        std::vector<COLORREF> pixels;
        RECT client;
        GetClientRect(label, &client);
        HDC dc = GetDC(label);
        for (int y = client.top; y < client.bottom; y++)
            for (int x = client.left; x < client.right; x++)
                pixels.push_back(GetPixel(dc, x, y));
        ReleaseDC(label, dc);
        return pixels;
    }

    static int Count(const std::vector<COLORREF>& pixels, COLORREF colour)
    {
        int n = 0;
        for (COLORREF c : pixels)
            n += c == colour;
        return n;
    }

    HWND dialog = nullptr;
    HWND label = nullptr;
    POINT inside = {0, 0};
    POINT outside = {0, 0};
};

TEST_F(LinkLabel, AttachingKeepsTheOldProcedureAndStartsNormal)
{
    EXPECT_EQ(reinterpret_cast<WNDPROC>(GetPropA(label, LLPROP_ORIGINALPROC)), OriginalProc);
    EXPECT_NE(GetWindowLongPtrA(label, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(OriginalProc));
    EXPECT_TRUE(HasLinkProps(label));
    EXPECT_EQ(LinkLabel_GetState(label), LINKLABEL_NORMAL);
    // A second attach changes nothing.
    LONG_PTR proc = GetWindowLongPtrA(label, GWLP_WNDPROC);
    EXPECT_TRUE(AttachLinkLabel(label));
    EXPECT_EQ(GetWindowLongPtrA(label, GWLP_WNDPROC), proc);
    EXPECT_EQ(reinterpret_cast<WNDPROC>(GetPropA(label, LLPROP_ORIGINALPROC)), OriginalProc);
}

TEST_F(LinkLabel, EveryMoveOverTheLabelNotifiesWithKeysAndPoint)
{
    PointerAt(inside);
    SendMessageA(label, WM_MOUSEMOVE, MK_SHIFT, MAKELPARAM(3, 4));
    SendMessageA(label, WM_MOUSEMOVE, MK_CONTROL | MK_LBUTTON, MAKELPARAM(17, 2));
    ASSERT_EQ(g_parent.notices.size(), 2u);
    const NMLINKLABEL& first = g_parent.notices[0];
    EXPECT_EQ(first.hdr.code, static_cast<UINT>(LLN_MOUSEOVER));
    EXPECT_EQ(first.hdr.hwndFrom, label);
    EXPECT_EQ(first.hdr.idFrom, static_cast<UINT_PTR>(ID_LABEL));
    EXPECT_EQ(first.keys, static_cast<DWORD>(MK_SHIFT));
    EXPECT_EQ(first.point, static_cast<DWORD>(MAKELPARAM(3, 4)));
    const NMLINKLABEL& second = g_parent.notices[1];
    EXPECT_EQ(second.keys, static_cast<DWORD>(MK_CONTROL | MK_LBUTTON));
    EXPECT_EQ(second.point, static_cast<DWORD>(MAKELPARAM(17, 2)));
    EXPECT_EQ(LinkLabel_GetState(label), LINKLABEL_HOT);
    EXPECT_EQ(reinterpret_cast<INT_PTR>(GetPropA(label, LLPROP_CONTROLSTATE)) & 1, 1);
}

TEST_F(LinkLabel, MoveReportedInsideWhileThePointerIsOutsideIsIgnored)
{
    PointerAt(outside);
    SendMessageA(label, WM_MOUSEMOVE, 0, MAKELPARAM(3, 4));
    EXPECT_TRUE(g_parent.notices.empty());
    EXPECT_EQ(LinkLabel_GetState(label), LINKLABEL_NORMAL);
}

TEST_F(LinkLabel, ReflectedMouseOverSetsHotOnlyWithThePointerInside)
{
    g_parent.reflect = false;
    PointerAt(outside);
    NMLINKLABEL notice;
    ZeroMemory(&notice, sizeof(notice));
    notice.hdr.hwndFrom = label;
    notice.hdr.idFrom = ID_LABEL;
    notice.hdr.code = LLN_MOUSEOVER;
    EXPECT_EQ(SendMessageA(label, WM_NOTIFY, ID_LABEL, reinterpret_cast<LPARAM>(&notice)), 0);
    EXPECT_EQ(LinkLabel_GetState(label), LINKLABEL_NORMAL);
    PointerAt(inside);
    SendMessageA(label, WM_NOTIFY, ID_LABEL, reinterpret_cast<LPARAM>(&notice));
    EXPECT_EQ(LinkLabel_GetState(label), LINKLABEL_HOT);
    // Leaving is taken as said, wherever the pointer is.
    notice.hdr.code = LLN_MOUSELEAVE;
    SendMessageA(label, WM_NOTIFY, ID_LABEL, reinterpret_cast<LPARAM>(&notice));
    EXPECT_EQ(LinkLabel_GetState(label), LINKLABEL_NORMAL);
}

TEST_F(LinkLabel, ParentThatDoesNotReflectKeepsItNormalButGetsClicks)
{
    g_parent.reflect = false;
    PointerAt(inside);
    SendMessageA(label, WM_MOUSEMOVE, 0, MAKELPARAM(3, 4));
    EXPECT_EQ(CountOf(LLN_MOUSEOVER), 1);
    EXPECT_EQ(LinkLabel_GetState(label), LINKLABEL_NORMAL);
    SendMessageA(label, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 4));
    SendMessageA(label, WM_LBUTTONUP, 0, MAKELPARAM(3, 4));
    EXPECT_EQ(CountOf(LLN_CLICK), 1);
    EXPECT_EQ(LinkLabel_GetState(label), LINKLABEL_NORMAL);
}

TEST_F(LinkLabel, PressAndReleaseOverTheLabelIsAClick)
{
    PointerAt(inside);
    SendMessageA(label, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 4));
    EXPECT_EQ(GetCapture(), label);
    EXPECT_EQ(CountOf(LLN_CLICK), 0);
    SendMessageA(label, WM_LBUTTONUP, 0, MAKELPARAM(3, 4));
    EXPECT_NE(GetCapture(), label);
    ASSERT_EQ(CountOf(LLN_CLICK), 1);
    const NMLINKLABEL& click = g_parent.notices.back();
    EXPECT_EQ(click.hdr.hwndFrom, label);
    EXPECT_EQ(click.hdr.idFrom, static_cast<UINT_PTR>(ID_LABEL));
    EXPECT_EQ(click.keys, 0u);
    EXPECT_EQ(click.point, 0u);
}

TEST_F(LinkLabel, ReleaseAfterMovingOffIsNoClick)
{
    PointerAt(inside);
    SendMessageA(label, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 4));
    ASSERT_EQ(GetCapture(), label);
    ASSERT_TRUE(MoveCursorTo(outside));
    // The message's own coordinates say inside; the pointer decides.
    SendMessageA(label, WM_LBUTTONUP, 0, MAKELPARAM(3, 4));
    EXPECT_NE(GetCapture(), label);
    EXPECT_EQ(CountOf(LLN_CLICK), 0);
}

TEST_F(LinkLabel, ReleaseWithoutAPressIsNoClick)
{
    PointerAt(inside);
    ReleaseCapture();
    SendMessageA(label, WM_LBUTTONUP, 0, MAKELPARAM(3, 4));
    EXPECT_EQ(CountOf(LLN_CLICK), 0);
}

TEST_F(LinkLabel, LeavingIsNoticedByTheTimer)
{
    PointerAt(inside);
    SendMessageA(label, WM_MOUSEMOVE, 0, MAKELPARAM(3, 4));
    ASSERT_EQ(LinkLabel_GetState(label), LINKLABEL_HOT);
    // A tick with the pointer still inside says nothing.
    EXPECT_EQ(SendMessageA(label, WM_TIMER, LINKLABEL_LEAVE_TIMER, 0), 0);
    EXPECT_EQ(CountOf(LLN_MOUSELEAVE), 0);

    // Away without any move reaching the label: the next tick reports it.
    ASSERT_TRUE(MoveCursorTo(outside));
    ASSERT_TRUE(WaitForLeave());
    EXPECT_EQ(LinkLabel_GetState(label), LINKLABEL_NORMAL);
    const NMLINKLABEL& leave = g_parent.notices.back();
    EXPECT_EQ(leave.hdr.code, static_cast<UINT>(LLN_MOUSELEAVE));
    EXPECT_EQ(leave.keys, 0u);
    EXPECT_EQ(leave.point, 0u);

    // The leave timer (id 1) is gone, so no second report can come.
    EXPECT_FALSE(KillTimer(label, 1));
    ASSERT_TRUE(PumpSettled());
    EXPECT_EQ(CountOf(LLN_MOUSELEAVE), 1);
}

TEST_F(LinkLabel, TakesTheMouseOnlyWithThePointerOverIt)
{
    RECT rect;
    GetWindowRect(label, &rect);
    LPARAM at = MAKELPARAM(inside.x, inside.y);
    PointerAt(inside);
    EXPECT_EQ(SendMessageA(label, WM_NCHITTEST, 0, at), HTCLIENT);
    PointerAt(outside);
    // A plain static lets the mouse through.
    EXPECT_EQ(SendMessageA(label, WM_NCHITTEST, 0, at), HTTRANSPARENT);
}

TEST_F(LinkLabel, ParentSetsTheLinkCursor)
{
    HCURSOR arrow = LoadCursor(nullptr, IDC_ARROW);
    ASSERT_NE(arrow, g_parent.linkCursor);
    SetCursor(arrow);
    EXPECT_TRUE(SendMessageA(label, WM_SETCURSOR, reinterpret_cast<WPARAM>(label), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
    EXPECT_EQ(GetCursor(), g_parent.linkCursor);
}

TEST_F(LinkLabel, PaintsBlueThenRedWithAGreyFrameWhilePressed)
{
    const COLORREF blue = RGB(0, 0, 255);
    const COLORREF red = RGB(255, 0, 0);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    std::vector<COLORREF> normal = Pixels();
    EXPECT_GT(Count(normal, blue), 0);
    EXPECT_EQ(Count(normal, red), 0);
    EXPECT_EQ(normal.front(), face);

    PointerAt(inside);
    SendMessageA(label, WM_MOUSEMOVE, 0, MAKELPARAM(3, 4));
    ASSERT_EQ(LinkLabel_GetState(label), LINKLABEL_HOT);
    std::vector<COLORREF> hot = Pixels();
    EXPECT_GT(Count(hot, red), 0);
    EXPECT_EQ(Count(hot, blue), 0);
    EXPECT_EQ(hot.front(), face);

    SendMessageA(label, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 4));
    std::vector<COLORREF> pressed = Pixels();
    EXPECT_EQ(pressed.front(), RGB(128, 128, 128));
    EXPECT_EQ(pressed.back(), RGB(128, 128, 128));
    EXPECT_GT(Count(pressed, red), 0);
    SendMessageA(label, WM_LBUTTONUP, 0, MAKELPARAM(3, 4));
    // Released: the frame goes with the next repaint.
    std::vector<COLORREF> released = Pixels();
    EXPECT_EQ(released.front(), face);
}

TEST_F(LinkLabel, EmptyTextPaintsOnlyTheBackground)
{
    SetWindowTextA(label, "");
    std::vector<COLORREF> pixels = Pixels();
    ASSERT_FALSE(pixels.empty());
    EXPECT_EQ(Count(pixels, GetSysColor(COLOR_BTNFACE)), static_cast<int>(pixels.size()));
}

TEST_F(LinkLabel, DestroyingGivesTheProcedureBackAndRemovesTheProperties)
{
    DestroyWindow(dialog);
    dialog = nullptr;
    EXPECT_TRUE(g_original.destroySeen);
    EXPECT_EQ(g_original.procAtDestroy, reinterpret_cast<LONG_PTR>(OriginalProc));
    EXPECT_FALSE(g_original.propsAtDestroy);
}

}  // namespace
