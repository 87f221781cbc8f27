// The drag list box of the registered-text dialog: subclass procedure, drag
// state, insertion mark, auto-scroll and the default actions of its notifications.
#include "controls/draglistbox.h"

#include <stdlib.h>
#include <string.h>

#include "resources/resource.h"

// LBItemFromPt is taken from comctl32 by its ordinal 14, the way the library has
// always exported it. MinGW's import library would bind it by name instead, so
// the address is looked up once at run time. The program calls
// InitCommonControls, so comctl32 is normally loaded already; the LoadLibraryA
// fallback keeps the list box working for any other user and is never freed.
typedef int(WINAPI* ItemFromPtProc)(HWND, POINT, BOOL);

enum { ORDINAL_LBITEMFROMPT = 14 };

static ItemFromPtProc GetItemFromPtProc()
{
    static ItemFromPtProc proc;
    static bool resolved;
    if (!resolved) {
        resolved = true;
        HMODULE comctl = GetModuleHandleA("comctl32.dll");
        if (!comctl)
            comctl = LoadLibraryA("comctl32.dll");
        if (comctl) {
            FARPROC found = GetProcAddress(comctl, MAKEINTRESOURCEA(ORDINAL_LBITEMFROMPT));
            proc = reinterpret_cast<ItemFromPtProc>(reinterpret_cast<void (*)()>(found));
        }
    }
    return proc;
}

// Item under a screen point, or -1; with autoScroll a point just above or below
// the list scrolls it by one line.
static int ItemFromPoint(HWND list, POINT screen, BOOL autoScroll)
{
    ItemFromPtProc proc = GetItemFromPtProc();
    return proc ? proc(list, screen, autoScroll) : -1;
}

static DDLBDRAGINFO* GetDragInfo(HWND list)
{
    return static_cast<DDLBDRAGINFO*>(GetPropA(list, DDLBPROP_DRAGINFO));
}

static WNDPROC GetOriginalProc(HWND list)
{
    return reinterpret_cast<WNDPROC>(GetPropA(list, DDLBPROP_ORIGINALPROC));
}

static int GetItemCount(HWND list)
{
    LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
    return count < 0 ? 0 : static_cast<int>(count);
}

static bool IsValidItem(HWND list, int index)
{
    return index >= 0 && index < GetItemCount(list);
}

static bool IsValidTarget(HWND list, int index)
{
    return index >= 0 && index <= GetItemCount(list);
}

// Position under a screen point counted in whole item heights from the top
// item: the item count below the last item, -1 outside the client area.
static int TargetFromPoint(HWND list, POINT screen)
{
    RECT client;
    if (!ScreenToClient(list, &screen) || !GetClientRect(list, &client) || !PtInRect(&client, screen))
        return -1;
    LRESULT height = SendMessageA(list, LB_GETITEMHEIGHT, 0, 0);
    if (height <= 0)
        return -1;
    int top = static_cast<int>(SendMessageA(list, LB_GETTOPINDEX, 0, 0));
    int count = GetItemCount(list);
    int target = (top < 0 ? 0 : top) + screen.y / static_cast<int>(height);
    return target > count ? count : target;
}

static LRESULT SendNotify(HWND list, UINT code, DDLBNOTIFY* record)
{
    int id = GetDlgCtrlID(list);
    record->hdr.hwndFrom = list;
    record->hdr.idFrom = static_cast<UINT_PTR>(id);
    record->hdr.code = code;
    return SendMessageA(GetParent(list), WM_NOTIFY, static_cast<WPARAM>(id), reinterpret_cast<LPARAM>(record));
}

static LRESULT SendPlainNotify(HWND list, UINT code)
{
    DDLBNOTIFY record;
    memset(&record, 0, sizeof record);
    return SendNotify(list, code, &record);
}

static void SendSelChange(HWND list)
{
    WPARAM wParam = MAKEWPARAM(GetDlgCtrlID(list), LBN_SELCHANGE);
    SendMessageA(GetParent(list), WM_COMMAND, wParam, reinterpret_cast<LPARAM>(list));
}

static void ResetMark(DDLBDRAGINFO* info)
{
    info->markShown = FALSE;
    info->markStart.x = info->markStart.y = -1;
    info->markEnd.x = info->markEnd.y = -1;
}

// With the black pen, R2_NOTXORPEN inverts every pixel of the line, so the same
// call draws the mark and takes it off again without a repaint.
static void InvertLine(HDC dc, POINT start, POINT end)
{
    int saved = SaveDC(dc);
    SelectObject(dc, GetStockObject(BLACK_PEN));
    SelectObject(dc, GetStockObject(BLACK_BRUSH));
    SetROP2(dc, R2_NOTXORPEN);
    MoveToEx(dc, start.x, start.y, nullptr);
    LineTo(dc, end.x, end.y);
    RestoreDC(dc, saved);
}

static void DrawMark(HWND list, DDLBDRAGINFO* info, POINT screen)
{
    int target = TargetFromPoint(list, screen);
    if (!IsValidTarget(list, target))
        return;
    RECT client;
    LRESULT height = SendMessageA(list, LB_GETITEMHEIGHT, 0, 0);
    if (!GetClientRect(list, &client) || height <= 0)
        return;
    int top = static_cast<int>(SendMessageA(list, LB_GETTOPINDEX, 0, 0));
    POINT start = {0, (target - top) * static_cast<int>(height)};
    POINT end = {client.right, start.y};
    HDC dc = GetDC(list);
    if (!dc)
        return;
    InvertLine(dc, start, end);
    ReleaseDC(list, dc);
    info->markStart = start;
    info->markEnd = end;
    info->markShown = TRUE;
}

// The mark's right end lies on the client rectangle's right edge, so here the
// edges count as inside.
static bool IsOnClientArea(const RECT* client, POINT p)
{
    return p.x >= client->left && p.x <= client->right && p.y >= client->top && p.y <= client->bottom;
}

// A mark that the window no longer covers (it shrank meanwhile) is left alone:
// inverting there would paint a line instead of removing one.
static void EraseMark(HWND list, DDLBDRAGINFO* info)
{
    if (!info->markShown)
        return;
    RECT client;
    if (!GetClientRect(list, &client) || !IsOnClientArea(&client, info->markStart) ||
        !IsOnClientArea(&client, info->markEnd))
        return;
    HDC dc = GetDC(list);
    if (!dc)
        return;
    info->markShown = FALSE;
    InvertLine(dc, info->markStart, info->markEnd);
    ReleaseDC(list, dc);
}

// A drag is on only while the flag is set and the list box holds the capture.
static bool IsDragging(HWND list, const DDLBDRAGINFO* info)
{
    return info->dragging && GetCapture() == list;
}

static void CALLBACK OnAutoScrollTick(HWND list, UINT, UINT_PTR, DWORD)
{
    DDLBDRAGINFO* info = GetDragInfo(list);
    if (!info || !info->dragging) {
        KillTimer(list, TIMER_DDLB_AUTOSCROLL);
        return;
    }
    POINT cursor;
    if (!GetCursorPos(&cursor))
        return;
    // Erasing before the scroll keeps the inverted line from moving with the
    // scrolled pixels.
    EraseMark(list, info);
    ItemFromPoint(list, cursor, TRUE);
    DrawMark(list, info, cursor);
}

// There is no movement threshold: the drag starts at the press.
static void BeginDrag(HWND list, DDLBDRAGINFO* info, int item)
{
    DDLBNOTIFY record;
    memset(&record, 0, sizeof record);
    record.iItem = item;
    if (SendNotify(list, DDLBN_BEGINDRAG, &record) != 0)
        return;
    ResetMark(info);
    info->dragIndex = item;
    info->dragging = TRUE;
    SetCapture(list);
    SetTimer(list, TIMER_DDLB_AUTOSCROLL, 0, OnAutoScrollTick);
}

// Reached only through WM_CAPTURECHANGED, whoever took the capture away.
static void EndDrag(HWND list, DDLBDRAGINFO* info)
{
    if (!info->dragging)
        return;
    EraseMark(list, info);
    info->dragging = FALSE;
    info->dragIndex = -1;
    ResetMark(info);
    SendPlainNotify(list, DDLBN_ENDDRAG);
}

static void QueryCursor(HWND list, WPARAM wParam, LPARAM lParam)
{
    POINT cursor;
    if (!GetCursorPos(&cursor))
        return;
    DDLBNOTIFY record;
    memset(&record, 0, sizeof record);
    record.iTo = TargetFromPoint(list, cursor);
    record.wParam = wParam;
    record.lParam = lParam;
    HCURSOR shape = reinterpret_cast<HCURSOR>(SendNotify(list, DDLBN_QUERYCURSOR, &record));
    if (shape)
        SetCursor(shape);
}

static LRESULT OnLButtonDown(HWND list, DDLBDRAGINFO* info, WNDPROC original, WPARAM wParam, LPARAM lParam)
{
    POINT cursor;
    int item = GetCursorPos(&cursor) ? ItemFromPoint(list, cursor, FALSE) : -1;
    if (IsValidItem(list, item))
        BeginDrag(list, info, item);
    LRESULT result = CallWindowProcA(original, list, WM_LBUTTONDOWN, wParam, lParam);
    SendSelChange(list);
    return result;
}

static LRESULT OnMouseMoveDragging(HWND list, DDLBDRAGINFO* info, WPARAM wParam, LPARAM lParam)
{
    POINT cursor;
    EraseMark(list, info);
    if (GetCursorPos(&cursor))
        DrawMark(list, info, cursor);
    QueryCursor(list, wParam, lParam);
    return 0;
}

static LRESULT OnLButtonUpDragging(HWND list, DDLBDRAGINFO* info, WNDPROC original, WPARAM wParam, LPARAM lParam)
{
    POINT cursor;
    int target = GetCursorPos(&cursor) ? TargetFromPoint(list, cursor) : -1;
    if (target != info->dragIndex && IsValidTarget(list, target)) {
        DDLBNOTIFY record;
        memset(&record, 0, sizeof record);
        record.iFrom = info->dragIndex;
        record.iTo = target;
        SendNotify(list, DDLBN_DROP, &record);
    }
    if (GetCapture() == list)
        ReleaseCapture();
    return CallWindowProcA(original, list, WM_LBUTTONUP, wParam, lParam);
}

static LRESULT OnRButton(HWND list, WNDPROC original, UINT msg, WPARAM wParam, LPARAM lParam)
{
    POINT cursor;
    int item = GetCursorPos(&cursor) ? ItemFromPoint(list, cursor, FALSE) : -1;
    if (IsValidItem(list, item)) {
        if (msg == WM_RBUTTONDOWN) {
            SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(item), 0);
            SendSelChange(list);
        } else {
            DDLBNOTIFY record;
            memset(&record, 0, sizeof record);
            record.iItem = item;
            SendNotify(list, DDLBN_RBUTTONUP, &record);
        }
    }
    return CallWindowProcA(original, list, msg, wParam, lParam);
}

static LRESULT OnKey(HWND list, WNDPROC original, UINT msg, WPARAM wParam, LPARAM lParam)
{
    DDLBNOTIFY record;
    memset(&record, 0, sizeof record);
    record.wParam = wParam;
    record.lParam = lParam;
    SendNotify(list, msg == WM_SYSKEYDOWN ? DDLBN_SYSKEYDOWN : DDLBN_KEYDOWN, &record);
    return CallWindowProcA(original, list, msg, wParam, lParam);
}

// Removes only the entry; item data stays with whoever owns it.
static void DeleteSelected(HWND list, bool selectPrevious)
{
    LRESULT selected = SendMessageA(list, LB_GETCURSEL, 0, 0);
    if (selected < 0)
        return;
    int deleted = static_cast<int>(selected);
    SendMessageA(list, LB_DELETESTRING, static_cast<WPARAM>(deleted), 0);
    int count = GetItemCount(list);
    if (count == 0)
        return;
    int next = selectPrevious ? deleted - 1 : deleted;
    if (next > count - 1)
        next = count - 1;
    if (next < 0)
        next = 0;
    SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(next), 0);
}

// An Alt+arrow move is a one-step drag, so the parent may refuse it the same way.
static void MoveSelectedByOne(HWND list, bool up)
{
    LRESULT selected = SendMessageA(list, LB_GETCURSEL, 0, 0);
    int current = selected < 0 ? -1 : static_cast<int>(selected);
    int neighbour = up ? current - 1 : current + 1;
    if (!IsValidItem(list, current) || !IsValidItem(list, neighbour))
        return;
    DDLBNOTIFY record;
    memset(&record, 0, sizeof record);
    record.iItem = current;
    if (SendNotify(list, DDLBN_BEGINDRAG, &record) != 0)
        return;
    int moved = MoveListBoxItem(list, up ? current - 1 : current + 2, current);
    SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(moved), 0);
}

// Default actions of notifications that the parent sent back to the list box.
static LRESULT OnNotifyHandedBack(HWND list, WNDPROC original, WPARAM wParam, LPARAM lParam)
{
    const DDLBNOTIFY* record = reinterpret_cast<const DDLBNOTIFY*>(lParam);
    if (!record || record->hdr.hwndFrom != list)
        return CallWindowProcA(original, list, WM_NOTIFY, wParam, lParam);
    switch (record->hdr.code) {
    case DDLBN_KEYDOWN:
        if (record->wParam == VK_BACK) {
            DeleteSelected(list, true);
            return 0;
        }
        if (record->wParam == VK_DELETE) {
            DeleteSelected(list, false);
            return 0;
        }
        if (record->wParam == VK_APPS) {
            SendPlainNotify(list, DDLBN_CONTEXTMENU);
            return 0;
        }
        break;
    case DDLBN_DROP: {
        int moved = MoveListBoxItem(list, record->iTo, record->iFrom);
        SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(moved), 0);
        return 0;
    }
    case DDLBN_RBUTTONUP:
        SendPlainNotify(list, DDLBN_CONTEXTMENU);
        return 0;
    case DDLBN_SYSKEYDOWN:
        if (record->wParam == VK_LEFT || record->wParam == VK_UP) {
            MoveSelectedByOne(list, true);
            return 0;
        }
        if (record->wParam == VK_RIGHT || record->wParam == VK_DOWN) {
            MoveSelectedByOne(list, false);
            return 0;
        }
        break;
    }
    return CallWindowProcA(original, list, WM_NOTIFY, wParam, lParam);
}

// The one place where the list box's properties are removed and its state freed.
static void UnhookDragListBox(HWND list, WNDPROC original)
{
    KillTimer(list, TIMER_DDLB_AUTOSCROLL);
    DDLBDRAGINFO* info = GetDragInfo(list);
    RemovePropA(list, DDLBPROP_DRAGINFO);
    RemovePropA(list, DDLBPROP_ORIGINALPROC);
    free(info);
    SetWindowLongPtrA(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
}

static LRESULT CALLBACK DragListBoxProc(HWND list, UINT msg, WPARAM wParam, LPARAM lParam)
{
    WNDPROC original = GetOriginalProc(list);
    if (!original)
        return DefWindowProcA(list, msg, wParam, lParam);
    DDLBDRAGINFO* info = GetDragInfo(list);
    if (!info)
        return CallWindowProcA(original, list, msg, wParam, lParam);
    bool dragging = IsDragging(list, info);

    switch (msg) {
    case WM_CHAR:
    case WM_LBUTTONDBLCLK:
    case WM_MOUSEWHEEL:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
        if (dragging)
            return 0;
        if (msg == WM_RBUTTONDOWN || msg == WM_RBUTTONUP)
            return OnRButton(list, original, msg, wParam, lParam);
        break;
    case WM_LBUTTONDOWN:
        return OnLButtonDown(list, info, original, wParam, lParam);
    case WM_MOUSEMOVE:
        if (dragging)
            return OnMouseMoveDragging(list, info, wParam, lParam);
        break;
    case WM_SETCURSOR:
        if (dragging)
            QueryCursor(list, wParam, lParam);
        break;
    case WM_LBUTTONUP:
        if (dragging)
            return OnLButtonUpDragging(list, info, original, wParam, lParam);
        break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        if (!dragging)
            return OnKey(list, original, msg, wParam, lParam);
        break;
    case WM_KILLFOCUS:
        KillTimer(list, TIMER_DDLB_AUTOSCROLL);
        if (GetCapture() == list)
            ReleaseCapture();
        break;
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(lParam) != list) {
            KillTimer(list, TIMER_DDLB_AUTOSCROLL);
            EndDrag(list, info);
        }
        break;
    case WM_DROPFILES: {
        DDLBNOTIFY record;
        memset(&record, 0, sizeof record);
        record.wParam = wParam;
        record.lParam = lParam;
        SendNotify(list, DDLBN_DROPFILES, &record);
        return 0;
    }
    case WM_NOTIFY:
        return OnNotifyHandedBack(list, original, wParam, lParam);
    case WM_DESTROY:
        // The items still exist here, so the parent can free their data.
        SendPlainNotify(list, DDLBN_DESTROY);
        UnhookDragListBox(list, original);
        return CallWindowProcA(original, list, msg, wParam, lParam);
    }
    return CallWindowProcA(original, list, msg, wParam, lParam);
}

// The one place where the list box's properties are set.
bool SubclassDragListBox(HWND listBox)
{
    if (!listBox || GetPropA(listBox, DDLBPROP_DRAGINFO))
        return false;
    DDLBDRAGINFO* info = static_cast<DDLBDRAGINFO*>(calloc(1, sizeof(DDLBDRAGINFO)));
    if (!info)
        return false;
    info->dragIndex = -1;
    ResetMark(info);
    WNDPROC original = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(listBox, GWLP_WNDPROC));
    if (!original || !SetPropA(listBox, DDLBPROP_ORIGINALPROC, reinterpret_cast<HANDLE>(original)) ||
        !SetPropA(listBox, DDLBPROP_DRAGINFO, info)) {
        RemovePropA(listBox, DDLBPROP_ORIGINALPROC);
        free(info);
        return false;
    }
    SetWindowLongPtrA(listBox, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(DragListBoxProc));
    return true;
}

// The target counts positions before the removal: moving item 2 to target 5
// leaves it at index 4, just above the item that was at index 5. The copy is
// inserted before the original is deleted, so a list box that runs out of
// room (LB_ERRSPACE) keeps every item where it was; targets outside 0 to
// count are refused before anything changes.
int MoveListBoxItem(HWND listBox, int to, int from)
{
    LRESULT length = SendMessageA(listBox, LB_GETTEXTLEN, static_cast<WPARAM>(from), 0);
    if (length < 0 || !IsValidItem(listBox, from) || !IsValidTarget(listBox, to))
        return -1;
    char* text = static_cast<char*>(malloc(static_cast<size_t>(length) + 1));
    if (!text)
        return -1;
    if (SendMessageA(listBox, LB_GETTEXT, static_cast<WPARAM>(from), reinterpret_cast<LPARAM>(text)) < 0) {
        free(text);
        return -1;
    }
    LRESULT data = SendMessageA(listBox, LB_GETITEMDATA, static_cast<WPARAM>(from), 0);
    LRESULT inserted = SendMessageA(listBox, LB_INSERTSTRING, static_cast<WPARAM>(to), reinterpret_cast<LPARAM>(text));
    free(text);
    if (inserted < 0)
        return -1;
    if (data != 0 && SendMessageA(listBox, LB_SETITEMDATA, static_cast<WPARAM>(inserted), data) == LB_ERR) {
        SendMessageA(listBox, LB_DELETESTRING, static_cast<WPARAM>(inserted), 0);
        return -1;
    }
    int original = from < inserted ? from : from + 1;
    SendMessageA(listBox, LB_DELETESTRING, static_cast<WPARAM>(original), 0);
    return from < inserted ? static_cast<int>(inserted) - 1 : static_cast<int>(inserted);
}

// The cursor files come with the program's resources; a build without them
// still shows the system's own no-entry sign and arrow.
HCURSOR DragListBox_LoadCursor(int target)
{
    bool outside = target < 0;
    HCURSOR shape = LoadCursorA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(outside ? IDC_DRAG_NO : IDC_DRAG_MOVE));
    if (!shape)
        shape = LoadCursorA(nullptr, outside ? IDC_NO : IDC_ARROW);
    return shape;
}
