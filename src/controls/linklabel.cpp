// The link label: subclasses a "STATIC" control so that it takes mouse input,
// reports moves, leaving and clicks to its parent as WM_NOTIFY, and paints
// its text blue, or red while its parent has reflected a mouse-over.
#include "controls/linklabel.h"

#include <stdlib.h>
#include <string.h>

static const COLORREF LINK_TEXT_COLOR = RGB(0, 0, 255);
static const COLORREF HOT_LINK_TEXT_COLOR = RGB(255, 0, 0);

static WNDPROC GetOriginalProc(HWND control)
{
    return reinterpret_cast<WNDPROC>(GetPropA(control, LLPROP_ORIGINALPROC));
}

static LRESULT CallOriginalProc(HWND control, UINT msg, WPARAM wParam, LPARAM lParam)
{
    WNDPROC original = GetOriginalProc(control);
    if (!original)
        return DefWindowProcA(control, msg, wParam, lParam);
    return CallWindowProcA(original, control, msg, wParam, lParam);
}

int LinkLabel_GetState(HWND control)
{
    return static_cast<int>(reinterpret_cast<INT_PTR>(GetPropA(control, LLPROP_CONTROLSTATE)));
}

// The state is the property's value itself; nothing is allocated for it.
static void SetLinkLabelState(HWND control, int state)
{
    SetPropA(control, LLPROP_CONTROLSTATE, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(state)));
}

// Where the pointer is now, not where the message says it was: a label that
// has lost the mouse between two messages must see it as outside.
static bool IsCursorInside(HWND control)
{
    POINT point;
    if (!GetCursorPos(&point) || !ScreenToClient(control, &point))
        return false;
    RECT client;
    if (!GetClientRect(control, &client))
        return false;
    return PtInRect(&client, point) != FALSE;
}

static void NotifyParent(HWND control, UINT code, DWORD keys, DWORD point)
{
    HWND parent = GetParent(control);
    if (!parent)
        return;
    NMLINKLABEL notice;
    ZeroMemory(&notice, sizeof(notice));
    notice.hdr.hwndFrom = control;
    notice.hdr.idFrom = static_cast<UINT>(GetDlgCtrlID(control));
    notice.hdr.code = code;
    notice.keys = keys;
    notice.point = point;
    SendMessageA(parent, WM_NOTIFY, notice.hdr.idFrom, reinterpret_cast<LPARAM>(&notice));
}

// Every move inside (re)starts the leave timer; a label gets no message once
// the mouse is over another window, so the timer is what notices the leaving.
static void OnMouseMove(HWND control, WPARAM wParam, LPARAM lParam)
{
    if (!IsCursorInside(control))
        return;
    SetTimer(control, LINKLABEL_LEAVE_TIMER, 0, nullptr);
    NotifyParent(control, LLN_MOUSEOVER, static_cast<DWORD>(wParam), static_cast<DWORD>(lParam));
}

static void OnLeaveTimer(HWND control)
{
    if (IsCursorInside(control))
        return;
    KillTimer(control, LINKLABEL_LEAVE_TIMER);
    NotifyParent(control, LLN_MOUSELEAVE, 0, 0);
}

static void OnButtonDown(HWND control)
{
    SetCapture(control);
    InvalidateRect(control, nullptr, FALSE);
}

// A release counts as a click only over the label; the frame drawn for the
// press stays until the next repaint.
static void OnButtonUp(HWND control)
{
    if (GetCapture() != control)
        return;
    ReleaseCapture();
    if (IsCursorInside(control))
        NotifyParent(control, LLN_CLICK, 0, 0);
}

// The hover display follows what the parent sends back. Gives false for codes
// that are not the label's own.
static bool OnReflectedNotify(HWND control, LPARAM lParam)
{
    const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
    if (!header)
        return false;
    if (header->code == LLN_MOUSELEAVE) {
        SetLinkLabelState(control, LINKLABEL_NORMAL);
    } else if (header->code == LLN_MOUSEOVER) {
        if (IsCursorInside(control))
            SetLinkLabelState(control, LINKLABEL_HOT);
    } else {
        return false;
    }
    InvalidateRect(control, nullptr, FALSE);
    return true;
}

static void PaintLinkLabel(HWND control)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(control, &paint);
    if (!dc) {
        EndPaint(control, &paint);
        return;
    }
    int saved = SaveDC(dc);
    int length = GetWindowTextLengthA(control);
    char* text = static_cast<char*>(malloc(static_cast<size_t>(length < 0 ? 0 : length) + 1));
    if (text) {
        text[0] = 0;
        int got = GetWindowTextA(control, text, length + 1);
        RECT client;
        GetClientRect(control, &client);
        FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
        bool hot = (LinkLabel_GetState(control) & LINKLABEL_HOT) != 0;
        SetTextColor(dc, hot ? HOT_LINK_TEXT_COLOR : LINK_TEXT_COLOR);
        if (hot && GetCapture() == control)
            FrameRect(dc, &client, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
        HFONT font = reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
        if (font)
            SelectObject(dc, font);
        SetBkMode(dc, TRANSPARENT);
        if (got > 0)
            TextOutA(dc, 1, 0, text, got);
        free(text);
    }
    RestoreDC(dc, saved);
    EndPaint(control, &paint);
}

// The control gets its own procedure back before the destruction goes on, so
// that the original procedure sees the rest of it as if never subclassed.
static LRESULT OnDestroy(HWND control, WPARAM wParam, LPARAM lParam)
{
    WNDPROC original = GetOriginalProc(control);
    if (original)
        SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
    RemovePropA(control, LLPROP_ORIGINALPROC);
    RemovePropA(control, LLPROP_CONTROLSTATE);
    if (!original)
        return DefWindowProcA(control, WM_DESTROY, wParam, lParam);
    return CallWindowProcA(original, control, WM_DESTROY, wParam, lParam);
}

static LRESULT CALLBACK LinkLabelProc(HWND control, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_NCHITTEST:
        // A plain static answers HTTRANSPARENT and would never see the mouse.
        if (IsCursorInside(control))
            return HTCLIENT;
        break;
    case WM_MOUSEMOVE:
        OnMouseMove(control, wParam, lParam);
        break;
    case WM_TIMER:
        if (wParam == LINKLABEL_LEAVE_TIMER) {
            OnLeaveTimer(control);
            return 0;
        }
        break;
    case WM_LBUTTONDOWN:
        OnButtonDown(control);
        break;
    case WM_LBUTTONUP:
        OnButtonUp(control);
        break;
    case WM_NOTIFY:
        if (OnReflectedNotify(control, lParam))
            return 0;
        break;
    case WM_PAINT:
        PaintLinkLabel(control);
        return 0;
    case WM_DESTROY:
        return OnDestroy(control, wParam, lParam);
    }
    return CallOriginalProc(control, msg, wParam, lParam);
}

// Gives false when the control cannot be subclassed. A label that is already
// attached stays as it is.
bool AttachLinkLabel(HWND control)
{
    if (GetOriginalProc(control))
        return true;
    SetLinkLabelState(control, LINKLABEL_NORMAL);
    LONG_PTR original = SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(LinkLabelProc));
    if (!original) {
        RemovePropA(control, LLPROP_CONTROLSTATE);
        return false;
    }
    SetPropA(control, LLPROP_ORIGINALPROC, reinterpret_cast<HANDLE>(original));
    return true;
}
