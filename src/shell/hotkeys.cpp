// Global hotkeys: the nine assignments of the settings registered with the
// main window, and a pressed hotkey turned into the command it stands for.
#include "shell/hotkeys.h"

#include "settings/appinfo.h"
#include "settings/hotkeyreport.h"
#include "settings/hotkeytable.h"
#include "ui/placement.h"

// Slots of the last RegisterAllHotkeys that another program held.
static unsigned g_failedSlots;

unsigned RegisterAllHotkeys(HWND mainWindow, const HotkeySet* set)
{
    unsigned failed = 0;
    for (const HotkeyTableRow& row : HOTKEY_TABLE) {
        const HotkeyDef* def = &set->slots[row.slot];
        bool registered = RegisterOneHotkey(mainWindow, static_cast<int>(row.id), def);
        failed = HotkeyReport_Note(failed, row.slot, !HotkeyDef_IsEmpty(*def), registered);
    }
    g_failedSlots = failed;
    return failed;
}

unsigned Hotkeys_GetFailedSlots()
{
    return g_failedSlots;
}

// The extended-key flag stays in the stored value for the hotkey dialog, but
// RegisterHotKey would read it as MOD_WIN, so it is dropped here. Without
// MOD_NOREPEAT a held combination would run its command again with every
// key repeat.
UINT Hotkeys_RegistrationModifiers(const HotkeyDef* def)
{
    UINT modifiers = static_cast<UINT>(def->modifiers) & ~static_cast<UINT>(HOTKEY_MOD_EXT);
    return modifiers | MOD_NOREPEAT;
}

// Windows Vista does not know MOD_NOREPEAT; a refusal that is not "taken by
// another program" is tried once more without it.
bool RegisterOneHotkey(HWND mainWindow, int id, const HotkeyDef* def)
{
    if (HotkeyDef_IsEmpty(*def))
        return UnregisterHotKey(mainWindow, id) != FALSE;
    UINT modifiers = Hotkeys_RegistrationModifiers(def);
    UINT vk = static_cast<UINT>(def->vk);
    if (RegisterHotKey(mainWindow, id, modifiers, vk))
        return true;
    if (GetLastError() == ERROR_HOTKEY_ALREADY_REGISTERED)
        return false;
    return RegisterHotKey(mainWindow, id, modifiers & ~static_cast<UINT>(MOD_NOREPEAT), vk) != FALSE;
}

void UnregisterAllHotkeys(HWND mainWindow)
{
    for (const HotkeyTableRow& row : HOTKEY_TABLE)
        UnregisterHotKey(mainWindow, static_cast<int>(row.id));
}

// The popup hotkeys are sent as the main window's popup messages, the others
// as commands. The command runs to its end inside SendMessageA, popup menus
// and modal dialogs included; afterwards the window the user was typing in
// gets the foreground back, so that the Ctrl+V that follows a pick reaches
// it. That window belongs to another program: GetActiveWindow would only
// know Tamarin's own.
LRESULT OnHotkey(HWND mainWindow, WPARAM id)
{
    HWND previous = GetForegroundWindow();
    if (HotkeyTable_IsPopupId(static_cast<unsigned int>(id)))
        SendMessageA(mainWindow, static_cast<UINT>(id), 0, 0);
    else
        SendMessageA(mainWindow, WM_COMMAND, MAKEWPARAM(LOWORD(id), 0), 0);
    Placement_GiveForegroundBack(previous);
    return 0;
}
