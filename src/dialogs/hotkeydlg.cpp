// The hotkey dialog "ホットキーの設定": fills nine hotkey controls from the
// HotkeySet, refuses duplicate combinations on OK and stores the controls
// back into the set.
#include "dialogs/hotkeydlg.h"

#include <commctrl.h>

#include "dialogs/commondlg.h"
#include "resources/dialogs_settings.h"
#include "resources/resource.h"
#include "settings/hotkeyreport.h"
#include "settings/hotkeytable.h"
#include "ui/dialogguard.h"
#include "ui/dialogstate.h"
#include "ui/placement.h"

// ホットキーの設定
#define HOTKEYS_CAPTION "\x83\x7a\x83\x62\x83\x67\x83\x4c\x81\x5b\x82\xcc\x90\xdd\x92\xe8"
// ホットキーが重複しています。\n異なるホットキーを割り当ててください。
#define MSG_DUPLICATE_HOTKEY                                                                                   \
    "\x83\x7a\x83\x62\x83\x67\x83\x4c\x81\x5b\x82\xaa\x8f\x64\x95\xa1\x82\xb5\x82\xc4\x82\xa2\x82\xdc\x82\xb7" \
    "\x81\x42\n\x88\xd9\x82\xc8\x82\xe9\x83\x7a\x83\x62\x83\x67\x83\x4c\x81\x5b\x82\xf0\x8a\x84\x82\xe8\x93\x96" \
    "\x82\xc4\x82\xc4\x82\xad\x82\xbe\x82\xb3\x82\xa2\x81\x42"

// The extended-key mark is kept as it is, so that a key typed with it shows
// the same way when the dialog opens again.
const HotkeyFlagPair HOTKEY_FLAG_PAIRS[HOTKEY_FLAG_PAIR_COUNT] = {
    {HOTKEYF_EXT, HOTKEY_MOD_EXT},
    {HOTKEYF_ALT, HOTKEY_MOD_ALT},
    {HOTKEYF_CONTROL, HOTKEY_MOD_CONTROL},
    {HOTKEYF_SHIFT, HOTKEY_MOD_SHIFT},
};

// A second opening only brings the open dialog forward.
static DialogGuard g_guard;

// What DialogBoxParamA hands to the dialog.
struct HotkeyDialogArgs {
    HotkeySet* set;
    unsigned failedSlots;
    HotkeyDef taken;  // a hotkey of Tamarin's outside the set (the search window's), or empty
};

// The dialog's record beside the set: the hotkey the set must not take.
#define PROP_HOTKEYTAKEN "PROP_HOTKEYTAKEN"

// The first slot whose hotkey is taken outside the set, or -1.
static int FindTakenSlot(const HotkeyDef* defs, int count, const HotkeyDef* taken)
{
    if (!taken || HotkeyDef_IsEmpty(*taken))
        return -1;
    for (int i = 0; i < count; i++) {
        if (!HotkeyDef_IsEmpty(defs[i]) && defs[i].modifiers == taken->modifiers && defs[i].vk == taken->vk)
            return i;
    }
    return -1;
}

enum {
    FAILED_LINE_LEFT = 7,     // dialog units: the labels' left edge
    FAILED_LINE_RIGHT = 172,  // the hotkey controls' right edge
};

// ---------------------------------------------------------------- logic

int HotkeyDlg_FlagsToModifiers(unsigned int controlFlags)
{
    int modifiers = 0;
    for (const HotkeyFlagPair& pair : HOTKEY_FLAG_PAIRS) {
        if (controlFlags & pair.controlFlag)
            modifiers |= pair.storedFlag;
    }
    return modifiers;
}

unsigned int HotkeyDlg_ModifiersToFlags(int modifiers)
{
    unsigned int flags = 0;
    for (const HotkeyFlagPair& pair : HOTKEY_FLAG_PAIRS) {
        if (modifiers & pair.storedFlag)
            flags |= pair.controlFlag;
    }
    return flags;
}

HotkeyDef HotkeyDlg_DefFromControlValue(WORD value)
{
    HotkeyDef def;
    def.vk = LOBYTE(value);
    def.modifiers = HotkeyDlg_FlagsToModifiers(HIBYTE(value));
    return def;
}

WORD HotkeyDlg_ControlValueFromDef(const HotkeyDef* def)
{
    BYTE flags = static_cast<BYTE>(HotkeyDlg_ModifiersToFlags(def->modifiers));
    return MAKEWORD(static_cast<BYTE>(def->vk), flags);
}

// The extended-key mark takes part in the comparison. Empty hotkeys never
// count, so any number of controls may stay empty.
int HotkeyDlg_FindDuplicate(const HotkeyDef* defs, int count)
{
    for (int i = 0; i + 1 < count; i++) {
        if (HotkeyDef_IsEmpty(defs[i]))
            continue;
        for (int j = i + 1; j < count; j++) {
            if (defs[i].modifiers == defs[j].modifiers && defs[i].vk == defs[j].vk)
                return i;
        }
    }
    return -1;
}

// The dialog walks its controls by slot, not in the table's row order.
int HotkeyDlg_ControlIdOfSlot(int slot)
{
    for (const HotkeyTableRow& row : HOTKEY_TABLE) {
        if (row.slot == slot)
            return row.controlId;
    }
    return 0;
}

// ---------------------------------------------------------------- controls

// A key typed without a modifier is taken as Ctrl+Alt plus that key.
static void LoadHotkeyControl(HWND dialog, int id, const HotkeyDef* def)
{
    SendDlgItemMessageA(dialog, id, HKM_SETRULES, HKCOMB_NONE, MAKELPARAM(HOTKEYF_CONTROL | HOTKEYF_ALT, 0));
    SendDlgItemMessageA(dialog, id, HKM_SETHOTKEY, HotkeyDlg_ControlValueFromDef(def), 0);
}

static HotkeyDef ReadHotkeyControl(HWND dialog, int id)
{
    LRESULT value = SendDlgItemMessageA(dialog, id, HKM_GETHOTKEY, 0, 0);
    return HotkeyDlg_DefFromControlValue(LOWORD(value));
}

static void ReadAllControls(HWND dialog, HotkeyDef* defs)
{
    for (int slot = 0; slot < HOTKEY_COUNT; slot++)
        defs[slot] = ReadHotkeyControl(dialog, HotkeyDlg_ControlIdOfSlot(slot));
}

// ---------------------------------------------------------------- handlers

// The line is there only when something could not be registered.
static void ShowFailedHotkeys(HWND dialog, unsigned failedSlots)
{
    char line[HOTKEY_REPORT_SIZE];
    HotkeyReport_FormatDialogLine(line, sizeof line, failedSlots);
    if (line[0])
        Placement_AddDialogFooter(dialog, IDC_HK_FAILED, line, FAILED_LINE_LEFT, FAILED_LINE_RIGHT);
}

static BOOL OnInitDialog(HWND dialog, const HotkeyDialogArgs* args)
{
    HotkeySet* set = args ? args->set : nullptr;
    DialogGuard_SetWindow(&g_guard, dialog);
    DialogState_Attach(dialog, PROP_DIALOGPARAM, set);
    if (args)
        DialogState_Attach(dialog, PROP_HOTKEYTAKEN, const_cast<HotkeyDef*>(&args->taken));
    SetDialogIcons(dialog);
    if (args)
        ShowFailedHotkeys(dialog, args->failedSlots);
    PlaceWindowAtCursor(dialog);
    for (int slot = 0; slot < HOTKEY_COUNT; slot++) {
        const HotkeyDef empty = {0, 0};
        LoadHotkeyControl(dialog, HotkeyDlg_ControlIdOfSlot(slot), set ? &set->slots[slot] : &empty);
    }
    return TRUE;
}

// A duplicate keeps the dialog open with nothing stored and the focus on the
// earlier control of the pair; so does a hotkey that the search window holds.
static void OnOk(HWND dialog)
{
    HotkeySet* set = DialogState_Get<HotkeySet>(dialog, PROP_DIALOGPARAM);
    if (!set)
        return;
    HotkeyDef defs[HOTKEY_COUNT];
    ReadAllControls(dialog, defs);
    int duplicate = HotkeyDlg_FindDuplicate(defs, HOTKEY_COUNT);
    if (duplicate < 0)
        duplicate = FindTakenSlot(defs, HOTKEY_COUNT, DialogState_Get<const HotkeyDef>(dialog, PROP_HOTKEYTAKEN));
    if (duplicate >= 0) {
        ShowMessage(dialog, HOTKEYS_CAPTION, MSG_DUPLICATE_HOTKEY, MB_OK);
        HWND control = GetDlgItem(dialog, HotkeyDlg_ControlIdOfSlot(duplicate));
        SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
        return;
    }
    for (int slot = 0; slot < HOTKEY_COUNT; slot++)
        set->slots[slot] = defs[slot];
    EndDialog(dialog, IDOK);
}

// Yes goes through OK, so a duplicate still keeps the dialog open.
static void OnClose(HWND dialog)
{
    CommonDlg_AskSaveOnClose(dialog, HOTKEYS_CAPTION);
}

static INT_PTR CALLBACK HotkeyDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_INITDIALOG:
        return OnInitDialog(dialog, reinterpret_cast<const HotkeyDialogArgs*>(lParam));
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK)
            OnOk(dialog);
        else if (LOWORD(wParam) == IDCANCEL)
            EndDialog(dialog, IDCANCEL);
        return TRUE;
    case WM_CLOSE:
        OnClose(dialog);
        return TRUE;
    case WM_NCHITTEST:
        return HitTestMoveByClient(dialog, wParam, lParam);
    case WM_DESTROY:
        DialogState_Detach(dialog, PROP_DIALOGPARAM);
        DialogState_Detach(dialog, PROP_HOTKEYTAKEN);
        return FALSE;
    }
    return FALSE;
}

// ---------------------------------------------------------------- opener

bool HotkeyDlg_IsOpen()
{
    return DialogGuard_IsOpen(&g_guard);
}

// The dialog's record is the caller's set itself; the failed slots are only
// shown at the opening.
bool HotkeyDlg_ShowFrom(HINSTANCE templates, HWND owner, HotkeySet* set, unsigned failedSlots,
                        const HotkeyDef* taken)
{
    if (!DialogGuard_Enter(&g_guard, owner, false))
        return false;
    HotkeyDialogArgs args = {set, failedSlots, taken ? *taken : HotkeyDef{0, 0}};
    INT_PTR result = DialogBoxParamA(templates, MAKEINTRESOURCEA(IDD_HOTKEYS), owner, HotkeyDialogProc,
                                     reinterpret_cast<LPARAM>(&args));
    DialogGuard_Leave(&g_guard);
    return result == IDOK;
}

bool ShowHotkeyDialog(HWND owner, HotkeySet* set, unsigned failedSlots, const HotkeyDef* taken)
{
    return HotkeyDlg_ShowFrom(GetModuleHandleA(nullptr), owner, set, failedSlots, taken);
}
