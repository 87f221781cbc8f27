// Window helpers shared by every dialog: placement at the mouse pointer inside
// the work area, the program's icons, dragging by the client area, always on
// top, the placement kept in the INI file, the minimum tracking size and the
// layout of a resizable dialog's controls.
#include "ui/placement.h"

#include <shellapi.h>

#include "settings/apppath.h"
#include "settings/profile.h"
#include "text/codepage.h"
#include "ui/shellcom.h"

enum {
    MODULE_PATH_SIZE = 261,
    INI_PATH_SIZE = MAX_PATH,
    FOOTER_TEXT_CHARS = 512,
    FOOTER_MARGIN = 7,  // dialog units under the line, as the templates keep under their buttons
};

// Right and bottom first, so that a rectangle larger than the area ends up
// aligned with its left and top edges.
POINT Placement_FitSizeInRect(POINT origin, SIZE size, const RECT* area)
{
    POINT pos = origin;
    if (pos.x + size.cx > area->right)
        pos.x = area->right - size.cx;
    if (pos.x < area->left)
        pos.x = area->left;
    if (pos.y + size.cy > area->bottom)
        pos.y = area->bottom - size.cy;
    if (pos.y < area->top)
        pos.y = area->top;
    return pos;
}

POINT Placement_PlaceSizeAtPoint(POINT cursor, SIZE size, const RECT* workArea)
{
    // The halves are truncated toward zero: a window 301 pixels wide starts
    // 150 pixels left of the pointer.
    POINT pos;
    pos.x = cursor.x + size.cx / -2;
    pos.y = cursor.y + size.cy / -2;
    return Placement_FitSizeInRect(pos, size, workArea);
}

// The monitor nearest to the point, so that a point beyond every monitor
// (a position saved before the screens changed) comes back to the closest.
void Placement_GetMonitorAreasAt(POINT pt, RECT* work, RECT* monitor)
{
    MONITORINFO info;
    ZeroMemory(&info, sizeof info);
    info.cbSize = sizeof info;
    HMONITOR handle = MonitorFromPoint(pt, MONITOR_DEFAULTTONEAREST);
    if (!handle || !GetMonitorInfoA(handle, &info)) {
        SetRect(&info.rcMonitor, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
        if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &info.rcWork, 0))
            info.rcWork = info.rcMonitor;
    }
    if (work)
        *work = info.rcWork;
    if (monitor)
        *monitor = info.rcMonitor;
}

// Inside the work area of the pointer's monitor: on a second monitor the
// dialog opens there, not on the first.
void PlaceWindowAtCursor(HWND window)
{
    SIZE size = Placement_GetWindowSize(window);
    POINT cursor = {0, 0};
    if (!GetCursorPos(&cursor))
        return;
    RECT work;
    Placement_GetMonitorAreasAt(cursor, &work, nullptr);
    POINT pos = Placement_PlaceSizeAtPoint(cursor, size, &work);
    // GetParent also answers the owner of a pop-up; only a real parent has
    // its own client coordinates.
    HWND parent = GetParent(window);
    if (parent && IsChild(parent, window))
        ScreenToClient(parent, &pos);
    Placement_MoveWindowTo(window, pos.x, pos.y);
}

static int FooterHeight(HWND dialog, const wchar_t* text, int width)
{
    HDC dc = GetDC(dialog);
    if (!dc)
        return 0;
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(dialog, WM_GETFONT, 0, 0)));
    RECT bounds = {0, 0, width, 0};
    DrawTextW(dc, text, -1, &bounds, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, old);
    ReleaseDC(dialog, dc);
    return bounds.bottom - bounds.top;
}

// Dialog units become pixels through the dialog's own font, so the line
// scales with the rest of the dialog. The text goes in as UTF-16, readable
// whatever the system's ANSI code page.
HWND Placement_AddDialogFooter(HWND dialog, int id, const char* text, int left, int right)
{
    wchar_t wide[FOOTER_TEXT_CHARS];
    CodePage_ToWide(wide, FOOTER_TEXT_CHARS, text);
    RECT units = {left, 0, right, FOOTER_MARGIN};
    if (!MapDialogRect(dialog, &units))
        return nullptr;
    int width = units.right - units.left;
    int height = FooterHeight(dialog, wide, width);
    RECT client;
    GetClientRect(dialog, &client);
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(dialog, GWLP_HINSTANCE));
    HWND line = CreateWindowExW(0, L"STATIC", wide, WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, units.left,
                                client.bottom, width, height, dialog,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    if (!line)
        return nullptr;
    SendMessageA(line, WM_SETFONT, SendMessageA(dialog, WM_GETFONT, 0, 0), FALSE);
    SIZE size = Placement_GetWindowSize(dialog);
    Placement_ResizeWindow(dialog, size.cx, size.cy + height + units.bottom);
    return line;
}

// The program file's icons do not change while it runs. Loading the pair once
// keeps each opening of a dialog from leaving two icon handles behind, since
// a window does not destroy the icons it was given with WM_SETICON.
void SetDialogIcons(HWND window)
{
    static HICON bigIcon;
    static HICON smallIcon;
    if (!bigIcon)
        bigIcon = GetFileIcon(nullptr, false);
    if (!smallIcon)
        smallIcon = GetFileIcon(nullptr, true);
    SendMessageA(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon));
    SendMessageA(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon));
}

// The caller owns the icon and destroys it with DestroyIcon.
HICON GetFileIcon(HMODULE module, bool smallIcon)
{
    char path[MODULE_PATH_SIZE];
    DWORD length = GetModuleFileNameA(module, path, sizeof(path));
    // A full buffer means a cut path (not even terminated on older systems).
    if (length == 0 || length >= sizeof(path))
        return nullptr;
    SHFILEINFOA info;
    ZeroMemory(&info, sizeof(info));
    UINT flags = SHGFI_ICON | (smallIcon ? SHGFI_SMALLICON : 0);
    ShellCom_Ensure();
    if (!SHGetFileInfoA(path, 0, &info, sizeof(info), flags))
        return nullptr;
    return info.hIcon;
}

// Bare client area reports itself as caption: dragging there moves the
// dialog, and a double-click there maximises or restores it like one on the
// title bar.
BOOL HitTestMoveByClient(HWND dialog, WPARAM wParam, LPARAM lParam)
{
    LRESULT hit = DefWindowProcA(dialog, WM_NCHITTEST, wParam, lParam);
    if (hit == HTCLIENT)
        hit = HTCAPTION;
    SetWindowLongPtrA(dialog, DWLP_MSGRESULT, hit);
    return TRUE;
}

bool IsWindowTopmost(HWND window)
{
    return (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

void SetWindowTopmost(HWND window, bool on)
{
    SetWindowPos(window, on ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOREDRAW | SWP_NOACTIVATE | SWP_NOCOPYBITS | SWP_NOSENDCHANGING);
}

void Placement_ResizeWindow(HWND window, int width, int height)
{
    SetWindowPos(window, nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOMOVE);
}

void Placement_MoveWindowTo(HWND window, int x, int y)
{
    SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOZORDER | SWP_NOSIZE);
}

SIZE Placement_GetWindowSize(HWND window)
{
    RECT rect = {0, 0, 0, 0};
    GetWindowRect(window, &rect);
    SIZE size = {rect.right - rect.left, rect.bottom - rect.top};
    return size;
}

SIZE Placement_GetClientSize(HWND window)
{
    RECT rect = {0, 0, 0, 0};
    GetClientRect(window, &rect);
    SIZE size = {rect.right - rect.left, rect.bottom - rect.top};
    return size;
}

POINT Placement_GetWindowOrigin(HWND window)
{
    RECT rect = {0, 0, 0, 0};
    GetWindowRect(window, &rect);
    POINT origin = {rect.left, rect.top};
    return origin;
}

// The rectangle the window has when neither maximised nor minimised.
bool Placement_GetRestoredRect(HWND window, RECT* rect)
{
    WINDOWPLACEMENT placement;
    ZeroMemory(&placement, sizeof(placement));
    placement.length = sizeof(placement);
    if (!GetWindowPlacement(window, &placement))
        return false;
    *rect = placement.rcNormalPosition;
    return true;
}

void Placement_InvalidateWindow(HWND window, bool erase)
{
    InvalidateRect(window, nullptr, erase ? TRUE : FALSE);
}

POINT Placement_GetCursorClientPos(HWND window)
{
    POINT point = {0, 0};
    GetCursorPos(&point);
    ScreenToClient(window, &point);
    return point;
}

bool Placement_PointInRectInclusive(const RECT* rect, POINT point)
{
    return point.x >= rect->left && point.x <= rect->right && point.y >= rect->top && point.y <= rect->bottom;
}

void ClampPointToRect(POINT* point, const RECT* rect)
{
    if (point->x > rect->right - 1)
        point->x = rect->right - 1;
    if (point->x < rect->left)
        point->x = rect->left;
    if (point->y > rect->bottom - 1)
        point->y = rect->bottom - 1;
    if (point->y < rect->top)
        point->y = rect->top;
}

// A missing key, or one that does not read as a number, keeps the caller's
// default; a null path (no INI file to be had) keeps all of them.
void Placement_LoadFile(const char* iniPath, const char* section, SavedPlacement* placement)
{
    if (!iniPath)
        return;
    placement->alwaysOnTop = ReadProfileBool(iniPath, section, PLACEMENT_KEY_TOPMOST, placement->alwaysOnTop);
    placement->maximized = ReadProfileBool(iniPath, section, PLACEMENT_KEY_MAXIMIZED, placement->maximized);
    placement->height = ReadProfileInt(iniPath, section, PLACEMENT_KEY_HEIGHT, placement->height);
    placement->width = ReadProfileInt(iniPath, section, PLACEMENT_KEY_WIDTH, placement->width);
}

// The size written is that of the restored window, so a window closed while
// maximised (or minimised) comes back at the size the user gave it. The keys
// reach the file together, in one replacement of it.
void Placement_SaveFile(HWND window, const char* iniPath, const char* section)
{
    if (!iniPath || !Profile_BeginBatch(iniPath))
        return;
    WriteProfileBool(iniPath, section, PLACEMENT_KEY_TOPMOST, IsWindowTopmost(window));
    WriteProfileBool(iniPath, section, PLACEMENT_KEY_MAXIMIZED, IsZoomed(window) != FALSE);
    RECT restored;
    if (Placement_GetRestoredRect(window, &restored)) {
        WriteProfileInt(iniPath, section, PLACEMENT_KEY_HEIGHT, restored.bottom - restored.top);
        WriteProfileInt(iniPath, section, PLACEMENT_KEY_WIDTH, restored.right - restored.left);
    }
    Profile_EndBatch();
}

// Called at WM_INITDIALOG, after the dialog has recorded its template size
// and client size, so that the resize below arrives as an ordinary WM_SIZE.
void Placement_RestoreFile(HWND window, const char* iniPath, const char* section, int defaultWidth,
                                int defaultHeight)
{
    SavedPlacement placement = {false, false, defaultWidth, defaultHeight};
    Placement_LoadFile(iniPath, section, &placement);
    SetWindowTopmost(window, placement.alwaysOnTop);
    Placement_ResizeWindow(window, placement.width, placement.height);
    PlaceWindowAtCursor(window);
    if (placement.maximized)
        ShowWindow(window, SW_SHOWMAXIMIZED);
}

static const char* GetIniPath(char* buf, size_t size)
{
    return GetAppFilePath(buf, size, ".ini") ? buf : nullptr;
}

void LoadWindowPlacement(const char* section, SavedPlacement* placement)
{
    char iniPath[INI_PATH_SIZE];
    Placement_LoadFile(GetIniPath(iniPath, sizeof(iniPath)), section, placement);
}

void SaveWindowPlacement(HWND window, const char* section)
{
    char iniPath[INI_PATH_SIZE];
    Placement_SaveFile(window, GetIniPath(iniPath, sizeof(iniPath)), section);
}

void RestoreWindowPlacement(HWND window, const char* section, int defaultWidth, int defaultHeight)
{
    char iniPath[INI_PATH_SIZE];
    Placement_RestoreFile(window, GetIniPath(iniPath, sizeof(iniPath)), section, defaultWidth, defaultHeight);
}

// Minimising reports a client size of nothing; ignoring it keeps the previous
// size, so restoring finds the controls where they were. When the deferred
// move cannot be set up the previous size stays too, and the next WM_SIZE
// moves the controls by the whole change.
void LayoutChildren(HWND dialog, const ChildLayout* table, int rows, LONG* previousWidth, LONG* previousHeight,
                    WPARAM wParam, LPARAM lParam)
{
    if (wParam == SIZE_MINIMIZED)
        return;
    HDWP defer = BeginDeferWindowPos(rows);
    if (!defer)
        return;
    LONG width = LOWORD(lParam);
    LONG height = HIWORD(lParam);
    LONG dx = width - *previousWidth;
    LONG dy = height - *previousHeight;
    for (int i = 0; i < rows; i++) {
        const ChildLayout* row = &table[i];
        HWND child = GetDlgItem(dialog, row->id);
        if (!child)
            continue;
        RECT rect;
        if (!GetWindowRect(child, &rect))
            continue;
        POINT origin = {rect.left, rect.top};
        if (GetParent(child) == dialog)
            ScreenToClient(dialog, &origin);
        int x = origin.x + (row->moveX ? dx : 0);
        int y = origin.y + (row->moveY ? dy : 0);
        int w = rect.right - rect.left + (row->growWidth ? dx : 0);
        int h = rect.bottom - rect.top + (row->growHeight ? dy : 0);
        // A failed DeferWindowPos has already thrown the whole batch away.
        defer = DeferWindowPos(defer, child, nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
        if (!defer)
            return;
    }
    EndDeferWindowPos(defer);
    *previousWidth = width;
    *previousHeight = height;
}

void Placement_SetMinTrackSize(LPARAM minMaxInfo, int minWidth, int minHeight)
{
    MINMAXINFO* info = reinterpret_cast<MINMAXINFO*>(minMaxInfo);
    if (!info)
        return;
    info->ptMinTrackSize.x = minWidth;
    info->ptMinTrackSize.y = minHeight;
}

// Tamarin may set the foreground here because it has it: the popup or the
// dialog that took it belonged to Tamarin.
void Placement_GiveForegroundBack(HWND previous)
{
    if (!previous || !IsWindow(previous) || GetForegroundWindow() == previous)
        return;
    SetForegroundWindow(previous);
}

// SW_SHOWDEFAULT would take the show state Tamarin itself was started with:
// started minimised (a shortcut set to "Minimized"), it would minimise the
// dialog it means to show. A minimised dialog is restored, any other shown.
void Placement_BringToFront(HWND window)
{
    BringWindowToTop(window);
    SetForegroundWindow(window);
    ShowWindow(window, IsIconic(window) ? SW_RESTORE : SW_SHOW);
}
