// Global hotkeys: the nine assignments of the settings registered with the
// main window, and a pressed hotkey turned into the command it stands for.
#include "shell/hotkeys.h"

#include "settings/appinfo.h"
#include "settings/hotkeytable.h"

void RegisterAllHotkeys(HWND mainWindow, const HotkeySet* set)
{
    for (const HotkeyTableRow& row : HOTKEY_TABLE)
        RegisterOneHotkey(mainWindow, static_cast<int>(row.id), &set->slots[row.slot]);
}

// The extended-key flag stays in the stored value for the hotkey dialog, but
// RegisterHotKey would read it as MOD_WIN, so it is dropped here. A combination
// taken by another program simply stays without effect.
bool RegisterOneHotkey(HWND mainWindow, int id, const HotkeyDef* def)
{
    if (HotkeyDef_IsEmpty(*def))
        return UnregisterHotKey(mainWindow, id) != FALSE;
    UINT modifiers = static_cast<UINT>(def->modifiers) & ~static_cast<UINT>(HOTKEY_MOD_EXT);
    return RegisterHotKey(mainWindow, id, modifiers, static_cast<UINT>(def->vk)) != FALSE;
}

void UnregisterAllHotkeys(HWND mainWindow)
{
    for (const HotkeyTableRow& row : HOTKEY_TABLE)
        UnregisterHotKey(mainWindow, static_cast<int>(row.id));
}

// The popup hotkeys are sent as the main window's popup messages, the others
// as commands. The command runs to its end inside SendMessageA, popup menus
// and modal dialogs included; afterwards the window that was active before
// the hotkey gets its activation back.
LRESULT OnHotkey(HWND mainWindow, WPARAM id)
{
    HWND active = GetActiveWindow();
    if (HotkeyTable_IsPopupId(static_cast<unsigned int>(id)))
        SendMessageA(mainWindow, static_cast<UINT>(id), 0, 0);
    else
        SendMessageA(mainWindow, WM_COMMAND, MAKEWPARAM(LOWORD(id), 0), 0);
    SetActiveWindow(active);
    return 0;
}
