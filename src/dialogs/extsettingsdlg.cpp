// The extended settings dialog "拡張設定": two check boxes and a hotkey
// control with the rules of the hotkey dialog; OK refuses a hotkey that one
// of the nine hotkeys already holds.
#include "dialogs/extsettingsdlg.h"

#include <commctrl.h>

#include "dialogs/commondlg.h"
#include "dialogs/hotkeydlg.h"
#include "resources/dialogs_ext.h"
#include "resources/resource.h"
#include "settings/extsettings.h"
#include "ui/dialogguard.h"
#include "ui/dialogstate.h"
#include "ui/placement.h"

// 拡張設定
#define EXT_CAPTION "\x8a\x67\x92\xa3\x90\xdd\x92\xe8"
// ホットキーが重複しています。\n異なるホットキーを割り当ててください。 (as the hotkey dialog says)
#define MSG_DUPLICATE_HOTKEY                                                                                   \
    "\x83\x7a\x83\x62\x83\x67\x83\x4c\x81\x5b\x82\xaa\x8f\x64\x95\xa1\x82\xb5\x82\xc4\x82\xa2\x82\xdc\x82\xb7" \
    "\x81\x42\n\x88\xd9\x82\xc8\x82\xe9\x83\x7a\x83\x62\x83\x67\x83\x4c\x81\x5b\x82\xf0\x8a\x84\x82\xe8\x93\x96" \
    "\x82\xc4\x82\xc4\x82\xad\x82\xbe\x82\xb3\x82\xa2\x81\x42"

// A second opening only brings the open dialog forward.
static DialogGuard g_guard;

static bool IsChecked(HWND dialog, int id)
{
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

static void SetChecked(HWND dialog, int id, bool on)
{
    CheckDlgButton(dialog, id, on ? BST_CHECKED : BST_UNCHECKED);
}

// As in the hotkey dialog, a key typed without a modifier is taken as
// Ctrl+Alt plus that key.
static void LoadHotkeyControl(HWND dialog, const HotkeyDef* def)
{
    SendDlgItemMessageA(dialog, IDC_EXT_SEARCHHOTKEY, HKM_SETRULES, HKCOMB_NONE,
                        MAKELPARAM(HOTKEYF_CONTROL | HOTKEYF_ALT, 0));
    SendDlgItemMessageA(dialog, IDC_EXT_SEARCHHOTKEY, HKM_SETHOTKEY, HotkeyDlg_ControlValueFromDef(def), 0);
}

static HotkeyDef ReadHotkeyControl(HWND dialog)
{
    LRESULT value = SendDlgItemMessageA(dialog, IDC_EXT_SEARCHHOTKEY, HKM_GETHOTKEY, 0, 0);
    return HotkeyDlg_DefFromControlValue(LOWORD(value));
}

static BOOL OnInitDialog(HWND dialog, ExtSettingsRecord* record)
{
    DialogGuard_SetWindow(&g_guard, dialog);
    DialogState_Attach(dialog, PROP_DIALOGPARAM, record);
    SetDialogIcons(dialog);
    PlaceWindowAtCursor(dialog);
    const HotkeyDef none = {0, 0};
    LoadHotkeyControl(dialog, record ? &record->searchHotkey : &none);
    if (record) {
        SetChecked(dialog, IDC_EXT_PASTE, record->pasteAfterPick);
        SetChecked(dialog, IDC_EXT_AUTOSTART, record->startWithWindows);
    }
    return TRUE;
}

// A hotkey one of the nine holds keeps the dialog open with nothing stored
// and the focus on the hotkey control.
static void OnOk(HWND dialog)
{
    ExtSettingsRecord* record = DialogState_Get<ExtSettingsRecord>(dialog, PROP_DIALOGPARAM);
    if (!record)
        return;
    HotkeyDef hotkey = ReadHotkeyControl(dialog);
    if (ExtSettings_IsHotkeyTaken(record->taken, &hotkey)) {
        ShowMessage(dialog, EXT_CAPTION, MSG_DUPLICATE_HOTKEY, MB_OK);
        HWND control = GetDlgItem(dialog, IDC_EXT_SEARCHHOTKEY);
        SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
        return;
    }
    record->pasteAfterPick = IsChecked(dialog, IDC_EXT_PASTE);
    record->startWithWindows = IsChecked(dialog, IDC_EXT_AUTOSTART);
    record->searchHotkey = hotkey;
    EndDialog(dialog, IDOK);
}

static INT_PTR CALLBACK ExtSettingsDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_INITDIALOG:
        return OnInitDialog(dialog, reinterpret_cast<ExtSettingsRecord*>(lParam));
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK)
            OnOk(dialog);
        else if (LOWORD(wParam) == IDCANCEL)
            EndDialog(dialog, IDCANCEL);
        return TRUE;
    case WM_CLOSE:
        CommonDlg_AskSaveOnClose(dialog, EXT_CAPTION);  // Yes goes through OK and its check
        return TRUE;
    case WM_NCHITTEST:
        return HitTestMoveByClient(dialog, wParam, lParam);
    case WM_DESTROY:
        DialogState_Detach(dialog, PROP_DIALOGPARAM);
        return FALSE;
    }
    return FALSE;
}

bool ExtSettingsDlg_IsOpen()
{
    return DialogGuard_IsOpen(&g_guard);
}

bool ExtSettingsDlg_ShowFrom(HINSTANCE templates, HWND owner, ExtSettingsRecord* record)
{
    if (!DialogGuard_Enter(&g_guard, owner, false))
        return false;
    INT_PTR result = DialogBoxParamA(templates, MAKEINTRESOURCEA(IDD_EXTSETTINGS), owner, ExtSettingsDialogProc,
                                     reinterpret_cast<LPARAM>(record));
    DialogGuard_Leave(&g_guard);
    return result == IDOK;
}

bool ExtSettingsDlg_Show(HWND owner, ExtSettingsRecord* record)
{
    return ExtSettingsDlg_ShowFrom(GetModuleHandleA(nullptr), owner, record);
}
