// The drag list box: a subclassed single-selection LISTBOX whose items the user
// reorders with the mouse or Alt+arrow keys. It reports every step to its parent
// as WM_NOTIFY; the parent gets the default action by sending the notification
// back to the list box.
#pragma once

#include <windows.h>

#define DDLBPROP_DRAGINFO "DDLBPROP_DRAGINFO"
#define DDLBPROP_ORIGINALPROC "DDLBPROP_ORIGINALPROC"

enum {
    DDLBN_KEYDOWN = WM_USER + 1,       // 1025, WM_KEYDOWN while not dragging
    DDLBN_BEGINDRAG = WM_USER + 2,     // 1026, non-zero answer refuses the drag or Alt+arrow move
    DDLBN_DROP = WM_USER + 3,          // 1027, released over a new position
    DDLBN_ENDDRAG = WM_USER + 4,       // 1028, a drag has ended, dropped or not
    DDLBN_QUERYCURSOR = WM_USER + 5,   // 1029, answer: cursor to show, or 0
    DDLBN_DROPFILES = WM_USER + 6,     // 1030, WM_DROPFILES received
    DDLBN_RBUTTONUP = WM_USER + 7,     // 1031, right button released over an item
    DDLBN_CONTEXTMENU = WM_USER + 8,   // 1032, default of DDLBN_RBUTTONUP and of the menu key
    DDLBN_SYSKEYDOWN = WM_USER + 9,    // 1033, WM_SYSKEYDOWN while not dragging
    DDLBN_DESTROY = WM_USER + 10,      // 1034, list box going away, items still there

    TIMER_DDLB_AUTOSCROLL = 100,
};

// Drag state of one list box, kept under DDLBPROP_DRAGINFO.
struct DDLBDRAGINFO {
    INT32 dragIndex;  // item being dragged, -1 when none
    BOOL dragging;
    BOOL markShown;   // the insertion mark is on the screen
    POINT markEnd;    // client coordinates, (-1, -1) when reset
    POINT markStart;
};

// The record sent with every DDLBN_ notification; valid only during the call.
struct DDLBNOTIFY {
    NMHDR hdr;
    INT32 iItem;    // DDLBN_BEGINDRAG, DDLBN_RBUTTONUP
    WPARAM wParam;  // of the message behind the notification (virtual key, drop handle);
    LPARAM lParam;  // pointer-sized, so that a drop handle fits in the 64-bit build
    INT32 iFrom;    // DDLBN_DROP
    INT32 iTo;      // DDLBN_DROP, DDLBN_QUERYCURSOR: 0 to item count, -1 outside the list
};

// Makes listBox a drag list box until it is destroyed. Call once, before filling it.
bool SubclassDragListBox(HWND listBox);

// Moves item from to the position before item to (counted before the removal),
// keeping its item data. Returns the item's new index, or -1.
int MoveListBoxItem(HWND listBox, int to, int from);

// The program's drag cursor for a DDLBN_QUERYCURSOR target: the prohibition sign
// outside the list (target < 0), the moving page over it. Shared; never destroy it.
HCURSOR DragListBox_LoadCursor(int target);
