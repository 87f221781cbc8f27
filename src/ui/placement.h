// Window helpers shared by every dialog of Tamarin: opening centred on the
// mouse pointer, the program's icons, moving by the client area, always on
// top, the remembered size of the resizable windows, their minimum size and
// the table-driven layout of their controls.
#pragma once

#include <windows.h>

// Size, maximised and always-on-top state of a resizable window, as kept in
// its section of the settings INI file. The caller fills in the defaults
// before loading.
struct SavedPlacement {
    bool alwaysOnTop;
    bool maximized;
    int width;   // of the restored (not maximised) window, pixels
    int height;
};

// INI keys of a saved placement.
#define PLACEMENT_KEY_TOPMOST "\x8f\xed\x82\xc9\x8d\xc5\x91\x4f\x96\xca\x82\xc9\x95\x5c\x8e\xa6"  // 常に最前面に表示
#define PLACEMENT_KEY_MAXIMIZED "\x8d\xc5\x91\xe5\x89\xbb"                                    // 最大化
#define PLACEMENT_KEY_HEIGHT "\x8d\x82\x82\xb3"                                               // 高さ
#define PLACEMENT_KEY_WIDTH "\x95\x9d"                                                        // 幅

// One row of a resizable dialog's layout table. The flags are non-zero for
// yes: move-x and move-y shift the control by the change of the client width
// and height, grow-width and grow-height stretch it by them.
struct ChildLayout {
    int id;
    int moveX;
    int moveY;
    int growWidth;
    int growHeight;
};

// Opening and behaviour shared by all dialogs.
void PlaceWindowAtCursor(HWND window);
// Adds a line of text (code page 932) under everything else in dialog, from
// left to right (dialog units), wrapped to that width, in the dialog's font;
// the dialog grows by the line's height and a margin. Call it at
// WM_INITDIALOG before the dialog is placed. Gives the line, or null.
HWND Placement_AddDialogFooter(HWND dialog, int id, const char* text, int left, int right);
// A dialog opened a second time comes to the front instead.
void Placement_BringToFront(HWND window);
// Gives the foreground back to previous (the window that had it before a
// popup or a command of Tamarin took it), if it still exists and does not
// have it already.
void Placement_GiveForegroundBack(HWND previous);
void SetDialogIcons(HWND window);
HICON GetFileIcon(HMODULE module, bool smallIcon);
BOOL HitTestMoveByClient(HWND dialog, WPARAM wParam, LPARAM lParam);
bool IsWindowTopmost(HWND window);
void SetWindowTopmost(HWND window, bool on);

// Where PlaceWindowAtCursor puts a window of the given size for a pointer
// position and a work area (screen coordinates).
POINT Placement_PlaceSizeAtPoint(POINT cursor, SIZE size, const RECT* workArea);
// Moves origin so that a rectangle of the given size there lies inside area
// (right and bottom first: one larger than area keeps its left and top edges
// on area's).
POINT Placement_FitSizeInRect(POINT origin, SIZE size, const RECT* area);
// The work area and the whole area of the monitor nearest to pt (either may
// be null); with no monitor to ask, the primary work area and screen.
void Placement_GetMonitorAreasAt(POINT pt, RECT* work, RECT* monitor);

// Window position and size.
void Placement_ResizeWindow(HWND window, int width, int height);
void Placement_MoveWindowTo(HWND window, int x, int y);
SIZE Placement_GetWindowSize(HWND window);
SIZE Placement_GetClientSize(HWND window);
POINT Placement_GetWindowOrigin(HWND window);
bool Placement_GetRestoredRect(HWND window, RECT* rect);
void Placement_InvalidateWindow(HWND window, bool erase);
POINT Placement_GetCursorClientPos(HWND window);

// Rectangle helpers. Placement_PointInRectInclusive counts all four edges as inside.
bool Placement_PointInRectInclusive(const RECT* rect, POINT point);
void ClampPointToRect(POINT* point, const RECT* rect);

// Saved placement in the program's INI file.
void LoadWindowPlacement(const char* section, SavedPlacement* placement);
void SaveWindowPlacement(HWND window, const char* section);
void RestoreWindowPlacement(HWND window, const char* section, int defaultWidth, int defaultHeight);
// The same on a given INI file.
void Placement_LoadFile(const char* iniPath, const char* section, SavedPlacement* placement);
void Placement_SaveFile(HWND window, const char* iniPath, const char* section);
void Placement_RestoreFile(HWND window, const char* iniPath, const char* section, int defaultWidth,
                                int defaultHeight);

// Resizing. previousWidth and previousHeight hold the client size that the
// controls are laid out for; they start as the client size at WM_INITDIALOG.
void LayoutChildren(HWND dialog, const ChildLayout* table, int rows, LONG* previousWidth, LONG* previousHeight,
                    WPARAM wParam, LPARAM lParam);
// Answers WM_GETMINMAXINFO (lParam) with the given minimum tracking size.
void Placement_SetMinTrackSize(LPARAM minMaxInfo, int minWidth, int minHeight);
