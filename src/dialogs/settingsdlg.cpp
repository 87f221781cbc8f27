// The settings dialog "設定の変更": loads the general settings of AppInfo
// into its controls, checks the history count and stores everything back on
// OK; shows a live preview of the date format as a tooltip and can send the
// history file to the recycle bin.
#include "dialogs/settingsdlg.h"

#include <commctrl.h>

#include <limits.h>
#include <stdlib.h>

#include "datefmt/datefmt.h"
#include "dialogs/commondlg.h"
#include "resources/dialogs_settings.h"
#include "resources/resource.h"
#include "settings/appinfo.h"
#include "settings/apppath.h"
#include "text/path.h"
#include "text/text.h"
#include "ui/dialogguard.h"
#include "ui/dialogstate.h"
#include "ui/placement.h"

// 設定の変更
#define SETTINGS_CAPTION "\x90\xdd\x92\xe8\x82\xcc\x95\xcf\x8d\x58"
// 履歴の記憶数が少なすぎます。\n%d 以上の値を設定してください。
#define MSG_COUNT_TOO_FEW                                                                                      \
    "\x97\x9a\x97\xf0\x82\xcc\x8b\x4c\x89\xaf\x90\x94\x82\xaa\x8f\xad\x82\xc8\x82\xb7\x82\xac\x82\xdc\x82\xb7" \
    "\x81\x42\n%d \x88\xc8\x8f\xe3\x82\xcc\x92\x6c\x82\xf0\x90\xdd\x92\xe8\x82\xb5\x82\xc4\x82\xad\x82\xbe"     \
    "\x82\xb3\x82\xa2\x81\x42"
// 履歴の記憶数が多すぎます。\n%d 以下の値を設定してください。
#define MSG_COUNT_TOO_MANY                                                                                     \
    "\x97\x9a\x97\xf0\x82\xcc\x8b\x4c\x89\xaf\x90\x94\x82\xaa\x91\xbd\x82\xb7\x82\xac\x82\xdc\x82\xb7" \
    "\x81\x42\n%d \x88\xc8\x89\xba\x82\xcc\x92\x6c\x82\xf0\x90\xdd\x92\xe8\x82\xb5\x82\xc4\x82\xad\x82\xbe"     \
    "\x82\xb3\x82\xa2\x81\x42"
// 履歴ファイルを削除しますか？
#define MSG_DELETE_HISTORY \
    "\x97\x9a\x97\xf0\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xf0\x8d\xed\x8f\x9c\x82\xb5\x82\xdc\x82\xb7\x82\xa9\x81\x48"

// Hints of the controls.
#define TIP_HISTORY_COUNT "1 \x81\x60 4095"  // 1 ～ 4095
// 履歴を保存して次回起動時に引き継ぎます
#define TIP_HISTORY_FILE                                                                                       \
    "\x97\x9a\x97\xf0\x82\xf0\x95\xdb\x91\xb6\x82\xb5\x82\xc4\x8e\x9f\x89\xf1\x8b\x4e\x93\xae\x8e\x9e\x82\xc9" \
    "\x88\xf8\x82\xab\x8c\x70\x82\xac\x82\xdc\x82\xb7"
// チェインの修復を利用すると不安定になる場合があります
#define TIP_REPAIR_CHAIN                                                                                       \
    "\x83\x60\x83\x46\x83\x43\x83\x93\x82\xcc\x8f\x43\x95\x9c\x82\xf0\x97\x98\x97\x70\x82\xb7\x82\xe9\x82\xc6" \
    "\x95\x73\x88\xc0\x92\xe8\x82\xc9\x82\xc8\x82\xe9\x8f\xea\x8d\x87\x82\xaa\x82\xa0\x82\xe8\x82\xdc\x82\xb7"

enum {
    DELETE_LIST_SIZE = HISTORY_PATH_SIZE + 1,  // the path and its two NULs
};

// What one opening works with, hung on the dialog as PROP_SETTINGSDIALOG;
// the record it edits is also there as PROP_DIALOGPARAM.
#define PROP_SETTINGSDIALOG "PROP_SETTINGSDIALOG"
struct SettingsDialog {
    AppInfo* info;                        // the caller's record
    char historyPath[HISTORY_PATH_SIZE];  // what the delete button sends away; empty: nothing
};

// A second opening only brings the open dialog forward.
static DialogGuard g_guard;

static SettingsDialog* GetState(HWND dialog)
{
    return DialogState_Get<SettingsDialog>(dialog, PROP_SETTINGSDIALOG);
}

// ---------------------------------------------------------------- logic

// The "%d" scan, with a number too large for an int saturated instead of
// left to the C library.
static bool ScanInt(const char* text, int* value)
{
    const char* p = text;
    while (*p == ' ' || (*p >= '\t' && *p <= '\r'))
        p++;
    bool negative = false;
    if (*p == '+' || *p == '-')
        negative = *p++ == '-';
    if (*p < '0' || *p > '9')
        return false;
    long long n = 0;
    for (; *p >= '0' && *p <= '9'; p++) {
        if (n <= INT_MAX)
            n = n * 10 + (*p - '0');
    }
    if (negative)
        n = -n;
    *value = n > INT_MAX ? INT_MAX : n < INT_MIN ? INT_MIN : static_cast<int>(n);
    return true;
}

// An empty field or one that does not scan counts as too few, so the user is
// led to the lowest valid count.
HistoryCountCheck SettingsDlg_CheckHistoryCountText(const char* text, int* value)
{
    int count = 0;
    if (!ScanInt(text, &count) || count < HISTORY_COUNT_MIN) {
        *value = HISTORY_COUNT_MIN;
        return HISTORY_COUNT_TOO_FEW;
    }
    if (count > HISTORY_COUNT_MAX) {
        *value = HISTORY_COUNT_MAX;
        return HISTORY_COUNT_TOO_MANY;
    }
    *value = count;
    return HISTORY_COUNT_OK;
}

void SettingsDlg_FormatDatePreview(char* out, size_t size, const char* format, const SYSTEMTIME* now)
{
    char formatted[DATE_PREVIEW_SOURCE_SIZE];
    FormatDateTime(formatted, sizeof(formatted), format, now);
    StrCopyN(out, size, formatted);
}

// ---------------------------------------------------------------- controls

// The whole text of a control, cut to size bytes without splitting a
// double-byte character (GetDlgItemTextA alone could cut one in two).
static void ReadItemText(HWND dialog, int id, char* out, size_t size)
{
    out[0] = 0;
    HWND item = GetDlgItem(dialog, id);
    if (!item)
        return;
    int length = GetWindowTextLengthA(item);
    char* whole = static_cast<char*>(malloc(static_cast<size_t>(length) + 1));
    if (!whole)
        return;
    whole[0] = 0;
    GetWindowTextA(item, whole, length + 1);
    StrCopyN(out, size, whole);
    free(whole);
}

static bool IsChecked(HWND dialog, int id)
{
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

static void SetChecked(HWND dialog, int id, bool on)
{
    CheckDlgButton(dialog, id, on ? BST_CHECKED : BST_UNCHECKED);
}

// The up-down control rewrites its buddy when the position changes; the text
// is written as well for the case where the position stays the same.
static void SetHistoryCount(HWND dialog, int count)
{
    SendDlgItemMessageA(dialog, IDC_SET_HISTORYSPIN, UDM_SETPOS, 0, MAKELPARAM(count, 0));
    SetDlgItemInt(dialog, IDC_SET_HISTORYMAX, static_cast<UINT>(count), FALSE);
}

static void FocusItem(HWND dialog, int id)
{
    SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, id)), TRUE);
}

// The tooltip keeps its own copy of a fixed text; the date format's text is
// asked for each time the tip shows (TTN_NEEDTEXTA).
static void AddTip(HWND tooltip, HWND dialog, int id, const char* text)
{
    TTTOOLINFOA tool;
    ZeroMemory(&tool, sizeof(tool));
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = dialog;
    tool.uId = reinterpret_cast<UINT_PTR>(GetDlgItem(dialog, id));
    tool.lpszText = const_cast<char*>(text);
    SendMessageA(tooltip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

// The tooltip is owned by the dialog and destroyed with it.
static void CreateTips(HWND dialog)
{
    HWND tooltip = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, dialog, nullptr,
                                   GetModuleHandleA(nullptr), nullptr);
    if (!tooltip)
        return;
    AddTip(tooltip, dialog, IDC_SET_HISTORYMAX, TIP_HISTORY_COUNT);
    AddTip(tooltip, dialog, IDC_SET_USEHISTORYFILE, TIP_HISTORY_FILE);
    AddTip(tooltip, dialog, IDC_SET_REPAIRCHAIN, TIP_REPAIR_CHAIN);
    AddTip(tooltip, dialog, IDC_SET_DATEFORMAT, LPSTR_TEXTCALLBACKA);
}

static void LoadControls(HWND dialog, const AppInfo* info)
{
    SetDlgItemInt(dialog, IDC_SET_HISTORYMAX, static_cast<UINT>(info->historyMax), FALSE);
    SendDlgItemMessageA(dialog, IDC_SET_HISTORYSPIN, UDM_SETPOS, 0, MAKELPARAM(info->historyMax, 0));
    SetDlgItemTextA(dialog, IDC_SET_DATEFORMAT, info->dateFormat);
    SetChecked(dialog, IDC_SET_REGISTEREDFIRST, info->registeredFirst);
    SetChecked(dialog, IDC_SET_HISTORYFIRST, !info->registeredFirst);
    SetChecked(dialog, IDC_SET_NEWESTFIRST, info->newestFirst);
    SetChecked(dialog, IDC_SET_OLDESTFIRST, !info->newestFirst);
    SetChecked(dialog, IDC_SET_LOGTEXT, info->logText);
    SetChecked(dialog, IDC_SET_LOGIMAGE, info->logImage);
    SetChecked(dialog, IDC_SET_USEHISTORYFILE, info->useHistoryFile);
    SetChecked(dialog, IDC_SET_MENUTIPS, info->showMenuTips);
    SetChecked(dialog, IDC_SET_ANIMATEICON, info->animateIcon);
    SetChecked(dialog, IDC_SET_REPAIRCHAIN, info->autoRepairChain);
    SetDlgItemTextA(dialog, IDC_SET_LOGFOLDER, info->logFolder);
}

// A refused count leaves the record untouched and the dialog open, with the
// field corrected to the nearest limit and the focus on it.
static bool CheckHistoryCountField(HWND dialog, int* count)
{
    char text[HISTORY_COUNT_TEXT_SIZE];
    ReadItemText(dialog, IDC_SET_HISTORYMAX, text, sizeof(text));
    HistoryCountCheck check = SettingsDlg_CheckHistoryCountText(text, count);
    if (check == HISTORY_COUNT_OK)
        return true;
    const char* message = check == HISTORY_COUNT_TOO_FEW ? MSG_COUNT_TOO_FEW : MSG_COUNT_TOO_MANY;
    ShowFormattedMessage(dialog, MB_OK, SETTINGS_CAPTION, message, *count);
    SetHistoryCount(dialog, *count);
    FocusItem(dialog, IDC_SET_HISTORYMAX);
    return false;
}

static bool ValidateAndStore(HWND dialog)
{
    SettingsDialog* state = GetState(dialog);
    AppInfo* info = state ? state->info : nullptr;
    if (!info)
        return false;
    int count = 0;
    if (!CheckHistoryCountField(dialog, &count))
        return false;
    info->historyMax = count;
    ReadItemText(dialog, IDC_SET_DATEFORMAT, info->dateFormat, sizeof(info->dateFormat));
    info->logText = IsChecked(dialog, IDC_SET_LOGTEXT);
    info->logImage = IsChecked(dialog, IDC_SET_LOGIMAGE);
    ReadItemText(dialog, IDC_SET_LOGFOLDER, info->logFolder, sizeof(info->logFolder));
    info->registeredFirst = IsChecked(dialog, IDC_SET_REGISTEREDFIRST);
    info->newestFirst = IsChecked(dialog, IDC_SET_NEWESTFIRST);
    info->useHistoryFile = IsChecked(dialog, IDC_SET_USEHISTORYFILE);
    info->showMenuTips = IsChecked(dialog, IDC_SET_MENUTIPS);
    info->animateIcon = IsChecked(dialog, IDC_SET_ANIMATEICON);
    info->autoRepairChain = IsChecked(dialog, IDC_SET_REPAIRCHAIN);
    return true;
}

// ---------------------------------------------------------------- handlers

static BOOL OnInitDialog(HWND dialog, SettingsDialog* state)
{
    AppInfo* info = state->info;
    DialogGuard_SetWindow(&g_guard, dialog);
    DialogState_Attach(dialog, PROP_SETTINGSDIALOG, state);
    DialogState_Attach(dialog, PROP_DIALOGPARAM, info);
    SetDialogIcons(dialog);
    PlaceWindowAtCursor(dialog);
    SendDlgItemMessageA(dialog, IDC_SET_HISTORYSPIN, UDM_SETBUDDY,
                        reinterpret_cast<WPARAM>(GetDlgItem(dialog, IDC_SET_HISTORYMAX)), 0);
    SendDlgItemMessageA(dialog, IDC_SET_HISTORYSPIN, UDM_SETRANGE, 0,
                        MAKELPARAM(HISTORY_COUNT_MAX, HISTORY_COUNT_MIN));
    CreateTips(dialog);
    if (info)
        LoadControls(dialog, info);
    return TRUE;
}

static void OnBrowseLogFolder(HWND dialog)
{
    char initial[LOG_FOLDER_SIZE];
    ReadItemText(dialog, IDC_SET_LOGFOLDER, initial, sizeof(initial));
    char chosen[MAX_PATH];
    chosen[0] = 0;
    if (ChooseFolder(dialog, 0, "", chosen, initial))
        SetDlgItemTextA(dialog, IDC_SET_LOGFOLDER, chosen);
}

// Only the file goes: the history in memory and the setting that keeps it in
// the file stay as they are.
static void OnDeleteHistoryFile(HWND dialog)
{
    const SettingsDialog* state = GetState(dialog);
    if (!state || !state->historyPath[0] || !IsExistingFile(state->historyPath))
        return;
    if (ShowMessage(dialog, SETTINGS_CAPTION, MSG_DELETE_HISTORY, MB_OKCANCEL | MB_ICONEXCLAMATION) != IDOK)
        return;
    char list[DELETE_LIST_SIZE];
    if (CommonDlg_MakeSinglePathList(list, sizeof(list), state->historyPath))
        DeleteToRecycleBin(dialog, list, FOF_NOCONFIRMATION | FOF_SILENT);
}

static void OnCommand(HWND dialog, int id)
{
    switch (id) {
    case IDOK:
        if (ValidateAndStore(dialog))
            EndDialog(dialog, IDOK);
        break;
    case IDCANCEL:
        EndDialog(dialog, IDCANCEL);
        break;
    case IDC_SET_BROWSELOGFOLDER:
        OnBrowseLogFolder(dialog);
        break;
    case IDC_SET_DELETEHISTORY:
        OnDeleteHistoryFile(dialog);
        break;
    }
}

// Yes goes through OK, so an invalid count still keeps the dialog open.
static void OnClose(HWND dialog)
{
    CommonDlg_AskSaveOnClose(dialog, SETTINGS_CAPTION);
}

// The tip of the date format shows the time of the moment it opens.
static BOOL OnNotify(HWND dialog, NMHDR* header)
{
    if (header->code != TTN_NEEDTEXTA)
        return FALSE;
    NMTTDISPINFOA* info = reinterpret_cast<NMTTDISPINFOA*>(header);
    HWND formatEdit = GetDlgItem(dialog, IDC_SET_DATEFORMAT);
    if (!formatEdit || reinterpret_cast<HWND>(header->idFrom) != formatEdit)
        return FALSE;
    char format[DATE_FORMAT_SIZE];
    ReadItemText(dialog, IDC_SET_DATEFORMAT, format, sizeof(format));
    SYSTEMTIME now;
    GetLocalTime(&now);
    SettingsDlg_FormatDatePreview(info->szText, sizeof(info->szText), format, &now);
    info->lpszText = info->szText;
    return TRUE;
}

static INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_INITDIALOG:
        return OnInitDialog(dialog, reinterpret_cast<SettingsDialog*>(lParam));
    case WM_COMMAND:
        OnCommand(dialog, LOWORD(wParam));
        return TRUE;
    case WM_NOTIFY:
        return OnNotify(dialog, reinterpret_cast<NMHDR*>(lParam));
    case WM_CLOSE:
        OnClose(dialog);
        return TRUE;
    case WM_NCHITTEST:
        return HitTestMoveByClient(dialog, wParam, lParam);
    case WM_DESTROY:
        DialogState_Detach(dialog, PROP_DIALOGPARAM);
        DialogState_Detach(dialog, PROP_SETTINGSDIALOG);
        return FALSE;
    }
    return FALSE;
}

// ---------------------------------------------------------------- opener

bool SettingsDlg_ShowFrom(HINSTANCE templates, HWND owner, AppInfo* info, const char* historyPath)
{
    if (!DialogGuard_Enter(&g_guard, owner, false))
        return false;
    SettingsDialog state;
    state.info = info;
    StrCopyN(state.historyPath, sizeof(state.historyPath), historyPath ? historyPath : "");
    INT_PTR result = DialogBoxParamA(templates, MAKEINTRESOURCEA(IDD_SETTINGS), owner, SettingsDialogProc,
                                     reinterpret_cast<LPARAM>(&state));
    DialogGuard_Leave(&g_guard);
    return result == IDOK;
}

bool ShowSettingsDialog(HWND owner, AppInfo* info)
{
    char historyPath[HISTORY_PATH_SIZE];
    if (!GetAppFilePath(historyPath, sizeof(historyPath), ".hst"))
        historyPath[0] = 0;
    return SettingsDlg_ShowFrom(GetModuleHandleA(nullptr), owner, info, historyPath);
}
