// Menu tips: one tracking tooltip that shows, beside the text-list popup, the
// whole text of the highlighted entry with its line breaks. The tooltip window
// and its text buffer hang on the main window as properties.
#include "menu/menutip.h"

#include <commctrl.h>

#include "menu/popupmenu.h"
#include "settings/appinfo.h"
#include "text/text.h"
#include "ui/dpi.h"
#include "ui/placement.h"

namespace {

// Top-left corner of the tip relative to the cursor, at 96 dpi.
const int TIP_OFFSET_X = 8;
const int TIP_OFFSET_Y = 16;

// The record ends at lpszText: a larger one (with lpReserved) is refused by
// comctl32 version 5, and this size is accepted by every version. The tip
// goes exactly where it is told (TTF_ABSOLUTE): the place is chosen inside
// the work area of the cursor's monitor here, where a tooltip control left to
// itself may keep to the primary screen.
TOOLINFOA MakeToolInfo(HWND mainWindow, char* text)
{
    TOOLINFOA ti = {};
    ti.cbSize = TTTOOLINFOA_V1_SIZE;
    ti.uFlags = TTF_IDISHWND | TTF_TRACK | TTF_ABSOLUTE;
    ti.hwnd = mainWindow;
    ti.uId = reinterpret_cast<UINT_PTR>(mainWindow);
    ti.lpszText = text;
    return ti;
}

HWND GetTipWindow(HWND mainWindow) { return static_cast<HWND>(GetPropA(mainWindow, PROP_TOOLTIPCTRL)); }

// TTM_POP alone leaves a tracking tip on the screen with some versions of the
// tooltip control (Wine's among them); ending the tracking hides it everywhere.
void EndTracking(HWND mainWindow, HWND tip)
{
    TOOLINFOA ti = MakeToolInfo(mainWindow, nullptr);
    SendMessageA(tip, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&ti));
}

void HideTip(HWND mainWindow, HWND tip)
{
    if (!tip)
        return;
    SendMessageA(tip, TTM_POP, 0, 0);
    SendMessageA(tip, TTM_ACTIVATE, FALSE, 0);
    EndTracking(mainWindow, tip);
}

// Below and right of the cursor, moved as far as needed to stay inside the
// work area of the cursor's monitor; at most 7/8 of that monitor wide.
void ShowTip(HWND mainWindow, HWND tip, char* buffer, POINT pt)
{
    RECT work, monitor;
    Placement_GetMonitorAreasAt(pt, &work, &monitor);
    SendMessageA(tip, TTM_SETMAXTIPWIDTH, 0, (monitor.right - monitor.left) * 7 / 8);
    TOOLINFOA ti = MakeToolInfo(mainWindow, buffer);
    SendMessageA(tip, TTM_SETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&ti));
    UINT dpi = Dpi_OfMonitorAt(pt);
    POINT place = {pt.x + Dpi_Scale(TIP_OFFSET_X, dpi), pt.y + Dpi_Scale(TIP_OFFSET_Y, dpi)};
    SendMessageA(tip, TTM_TRACKPOSITION, 0, MAKELPARAM(place.x, place.y));
    SendMessageA(tip, TTM_ACTIVATE, TRUE, 0);
    SendMessageA(tip, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&ti));
    // The tip's size is known once it shows with its text (TTM_GETBUBBLESIZE
    // does not measure a new text the same way everywhere): a tip that
    // sticks out of the work area is moved in.
    SIZE size = Placement_GetWindowSize(tip);
    POINT inside = Placement_FitSizeInRect(place, size, &work);
    if (inside.x != place.x || inside.y != place.y)
        SendMessageA(tip, TTM_TRACKPOSITION, 0, MAKELPARAM(inside.x, inside.y));
    // The popup menu is topmost too; the tip must stay above it.
    SetWindowPos(tip, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}

}  // namespace

// The buffer is sized once from menuTipChars, which no dialog changes; a
// failed allocation leaves the property empty and the tips off.
bool MenuTip_Create(HWND mainWindow, const AppInfo* info)
{
    int chars = info ? info->menuTipChars : 0;
    char* buffer = nullptr;
    if (chars > 0)
        buffer = static_cast<char*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, static_cast<SIZE_T>(chars) + 1));
    if (buffer)
        SetPropA(mainWindow, PROP_TOOLTIPTEXTPTR, buffer);

    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(mainWindow, GWLP_HINSTANCE));
    HWND tip = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, mainWindow, nullptr, instance, nullptr);
    if (!tip)
        return false;
    SendMessageA(tip, TTM_ACTIVATE, FALSE, 0);
    SetPropA(mainWindow, PROP_TOOLTIPCTRL, tip);
    TOOLINFOA ti = MakeToolInfo(mainWindow, nullptr);
    SendMessageA(tip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
    return true;
}

// id is the highlighted item's command id, or -1 when no item is highlighted.
// Only entries of the two text ranges have a text, the one their label shows;
// everything else hides the tip. The menu loop must keep the foreground,
// whatever the tip did.
void MenuTip_Show(HWND mainWindow, int id, POINT pt, const AppData* data, const AppInfo* info)
{
    char* buffer = static_cast<char*>(GetPropA(mainWindow, PROP_TOOLTIPTEXTPTR));
    HWND tip = GetTipWindow(mainWindow);
    const char* text = id >= 0 ? PopupMenu_GetEntryText(mainWindow, data, id) : nullptr;

    if (!text) {
        HideTip(mainWindow, tip);
    } else if (buffer && tip && info) {
        // The heap knows the buffer's real size; the copy never goes beyond it.
        SIZE_T size = static_cast<SIZE_T>(info->menuTipChars) + 1;
        SIZE_T allocated = HeapSize(GetProcessHeap(), 0, buffer);
        if (allocated != static_cast<SIZE_T>(-1) && allocated < size)
            size = allocated;
        StrCopyN(buffer, size, text);
        ShowTip(mainWindow, tip, buffer, pt);
    }
    SetForegroundWindow(mainWindow);
}

void MenuTip_Pop(HWND mainWindow)
{
    HWND tip = GetTipWindow(mainWindow);
    if (!tip)
        return;
    SendMessageA(tip, TTM_POP, 0, 0);
    EndTracking(mainWindow, tip);
}

// The tooltip window itself is owned by the main window and goes with it.
void MenuTip_Destroy(HWND mainWindow)
{
    char* buffer = static_cast<char*>(RemovePropA(mainWindow, PROP_TOOLTIPTEXTPTR));
    if (buffer)
        HeapFree(GetProcessHeap(), 0, buffer);
    RemovePropA(mainWindow, PROP_TOOLTIPCTRL);
}
