// The link label: a static text control of a dialog made into a hyperlink
// (blue, red while the mouse is over it, a grey frame while pressed) that
// reports clicks and hovering to its parent through WM_NOTIFY.
#pragma once

#include <windows.h>

#define LLPROP_ORIGINALPROC "LLPROP_ORIGINALPROC"  // window procedure from before the subclassing
#define LLPROP_CONTROLSTATE "LLPROP_CONTROLSTATE"  // LINKLABEL_NORMAL or LINKLABEL_HOT

enum {
    LLN_CLICK = 1025,       // the left button was pressed and released over the label
    LLN_MOUSELEAVE = 1026,  // the mouse has left the label
    LLN_MOUSEOVER = 1027,   // the mouse moved over the label
};

enum {
    LINKLABEL_NORMAL = 0,
    LINKLABEL_HOT = 1,  // bit 0 is the one that counts
};

// Timer of the label that notices the mouse leaving it.
enum { LINKLABEL_LEAVE_TIMER = 1 };

// Zeroed before use. keys and point are the wParam and lParam of the mouse
// move for LLN_MOUSEOVER (client x in the low 16 bits of point, y in the
// high 16 bits), else 0.
struct NMLINKLABEL {
    NMHDR hdr;
    DWORD keys;
    DWORD point;
};

// A parent that wants the hover display sends every LLN_MOUSELEAVE and
// LLN_MOUSEOVER back to the label unchanged (SendMessageA to hdr.hwndFrom with
// WM_NOTIFY, hdr.idFrom and the same record).
bool AttachLinkLabel(HWND control);
// LINKLABEL_NORMAL or LINKLABEL_HOT.
int LinkLabel_GetState(HWND control);
