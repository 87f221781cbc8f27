// The registered-text list dialog "登録テキストの編集": the texts are edited
// in a working copy held by the list box (each item's data is a heap copy of
// its full text with its original, a ClipText block), reordered by dragging,
// and written back to the clip store only on OK. Single texts are written in
// the edit pad. The dialog is a Unicode one (the same template, run by
// DialogBoxParamW), so the list shows the originals of its texts.
#include "editing/registereddlg.h"

#include <stdlib.h>
#include <string.h>

#include "controls/draglistbox.h"
#include "dialogs/commondlg.h"
#include "editing/editpad.h"
#include "text/itemlabel.h"
#include "menu/popupmenu.h"
#include "resources/dialogs_registered.h"
#include "resources/resource.h"
#include "settings/apppath.h"
#include "store/appdata.h"
#include "store/cliptext.h"
#include "text/cp932.h"
#include "text/text.h"
#include "ui/dialogguard.h"
#include "ui/dialogstate.h"
#include "ui/placement.h"

// 登録テキストの編集: the caption, the INI section of the placement and the
// caption of the close question
#define REGISTERED_CAPTION "\x93\x6f\x98\x5e\x83\x65\x83\x4c\x83\x58\x83\x67\x82\xcc\x95\xd2\x8f\x57"

enum {
    // Add is disabled once the list holds as many texts as the popup menu
    // has ids for registered entries.
    REGISTERED_TEXTS_MAX = 4095,
    INI_PATH_SIZE = MAX_PATH,
};

// The resize table: the list stretches, the buttons keep to the right edge.
// Rows: id, move x, move y, grow width, grow height.
static const ChildLayout REGISTERED_LAYOUT[] = {
    {IDC_REG_LIST, 0, 0, 1, 1},
    {IDOK, 1, 0, 0, 0},
    {IDCANCEL, 1, 0, 0, 0},
    {IDC_REG_ADD, 1, 0, 0, 0},
    {IDC_REG_EDIT, 1, 0, 0, 0},
    {IDC_REG_DELETE, 1, 0, 0, 0},
};

// What one opening works with, hung on the dialog as PROP_REGISTEREDDIALOG
// once WM_INITDIALOG has recorded the sizes; the clip store it edits is also
// there as PROP_DIALOGPARAM.
#define PROP_REGISTEREDDIALOG "PROP_REGISTEREDDIALOG"
struct RegisteredDialog {
    AppData* data;
    HINSTANCE templates;       // where the template, menu and cursors come from
    const char* iniPath;       // where the placement is kept, or null
    SIZE minimumSize;          // the template's window size
    LONG previousWidth;        // the client size the controls are laid out for
    LONG previousHeight;
    HCURSOR cursorNo;          // drag cursors of the templates, or null
    HCURSOR cursorMove;
};

// A second opening only brings the open dialog forward; the owner carries
// PROP_DIALOG while the dialog runs.
static DialogGuard g_guard;

static EditPadOpener g_editor = EditPad_OpenWithOriginal;
static RegisteredTextCopies g_copies;

// ---------------------------------------------------------------- text copies

static char* NewTextCopy(const char* text, const char* original)
{
    char* copy = ClipText_New(text, strlen(text), original, original ? strlen(original) : 0);
    if (copy)
        g_copies.made++;
    return copy;
}

static void FreeTextCopy(char* copy)
{
    if (!copy)
        return;
    g_copies.freed++;
    free(copy);
}

RegisteredTextCopies RegisteredDlg_GetTextCopies()
{
    return g_copies;
}

void RegisteredDlg_SetEditor(EditPadOpener opener)
{
    g_editor = opener ? opener : EditPad_OpenWithOriginal;
}

// ---------------------------------------------------------------- list items

static RegisteredDialog* GetState(HWND dialog)
{
    return DialogState_Get<RegisteredDialog>(dialog, PROP_REGISTEREDDIALOG);
}

static HWND GetList(HWND dialog)
{
    return GetDlgItem(dialog, IDC_REG_LIST);
}

static int GetItemCount(HWND list)
{
    LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
    return count < 0 ? 0 : static_cast<int>(count);
}

static int GetSelection(HWND list)
{
    LRESULT selected = SendMessageA(list, LB_GETCURSEL, 0, 0);
    return selected < 0 ? -1 : static_cast<int>(selected);
}

static void Select(HWND list, int index)
{
    SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

// The full text behind an item, or null.
static char* GetItemText(HWND list, int index)
{
    LRESULT data = SendMessageA(list, LB_GETITEMDATA, static_cast<WPARAM>(index), 0);
    return data == LB_ERR ? nullptr : reinterpret_cast<char*>(data);
}

// The item shows the text as a one-line label and owns a copy of the whole
// text. Without the copy the item would have nothing to open or commit, so
// the insert is refused and the list stays as it was.
static bool InsertTextItem(HWND list, int index, const char* text, const char* original)
{
    char* copy = NewTextCopy(text, original);
    if (!copy)
        return false;
    // The label as Unicode text: the original cut by widths, or the code page
    // 932 label read by the program's own table.
    char16_t label[2 * ITEM_LABEL_LIMIT + 1];
    if (original) {
        ItemLabel_MakeW(label, sizeof(label) / sizeof(label[0]), original, ITEM_LABEL_LIMIT);
    } else {
        char bytes[ITEM_LABEL_LIMIT];
        MakeItemLabel(bytes, text, sizeof(bytes));
        Cp932_ToUtf16(label, sizeof(label) / sizeof(label[0]), bytes, strlen(bytes));
    }
    LRESULT inserted =
        SendMessageW(list, LB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(label));
    if (inserted < 0 ||
        SendMessageA(list, LB_SETITEMDATA, static_cast<WPARAM>(inserted), reinterpret_cast<LPARAM>(copy)) == LB_ERR) {
        if (inserted >= 0)
            SendMessageA(list, LB_DELETESTRING, static_cast<WPARAM>(inserted), 0);
        FreeTextCopy(copy);
        return false;
    }
    return true;
}

static void DeleteTextItem(HWND list, int index)
{
    FreeTextCopy(GetItemText(list, index));
    SendMessageA(list, LB_DELETESTRING, static_cast<WPARAM>(index), 0);
}

static void DeleteAllTextItems(HWND list)
{
    for (int i = GetItemCount(list) - 1; i >= 0; i--)
        DeleteTextItem(list, i);
}

// ---------------------------------------------------------------- buttons

// A button that loses its enabled state while it has the focus would leave
// the dialog without one; the list takes it over.
static void EnableButton(HWND dialog, int id, bool enabled)
{
    HWND button = GetDlgItem(dialog, id);
    if (!button)
        return;
    if (!enabled && GetFocus() == button)
        SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetList(dialog)), TRUE);
    EnableWindow(button, enabled ? TRUE : FALSE);
}

// A count above the limit (a store filled from a file) leaves the buttons
// as they are.
static void UpdateButtons(HWND dialog)
{
    int count = GetItemCount(GetList(dialog));
    if (count > REGISTERED_TEXTS_MAX)
        return;
    EnableButton(dialog, IDC_REG_ADD, count < REGISTERED_TEXTS_MAX);
    EnableButton(dialog, IDC_REG_EDIT, count > 0);
    EnableButton(dialog, IDC_REG_DELETE, count > 0);
}

// ---------------------------------------------------------------- commands

// The dialog steps aside while the pad is open; the pad's own guard looks at
// this dialog's PROP_DIALOG, not at the main window's.
static char* RunEditor(HWND dialog, const char* initialText, const char* initialOriginal, char** original)
{
    ShowWindow(dialog, SW_HIDE);
    *original = nullptr;
    char* text = g_editor(dialog, initialText, initialOriginal, original);
    ShowWindow(dialog, SW_SHOW);
    if (!text) {
        free(*original);
        *original = nullptr;
    }
    return text;
}

static void OnAdd(HWND dialog)
{
    char* original = nullptr;
    char* text = RunEditor(dialog, nullptr, nullptr, &original);
    if (!text)
        return;
    HWND list = GetList(dialog);
    if (InsertTextItem(list, 0, text, original))
        Select(list, 0);
    free(text);
    free(original);
    UpdateButtons(dialog);
}

// The index is taken before the pad opens: keys typed into the list while it
// goes away must not move the edit to another item. The new item goes in
// before the old one is deleted, so that a refused insert keeps the old text.
static void OnEdit(HWND dialog)
{
    HWND list = GetList(dialog);
    int index = GetSelection(list);
    if (index < 0)
        return;
    const char* current = GetItemText(list, index);
    if (!current)
        return;
    char* original = nullptr;
    char* text = RunEditor(dialog, current, ClipText_Original(current), &original);
    if (!text)
        return;
    if (InsertTextItem(list, index, text, original))
        DeleteTextItem(list, index + 1);
    Select(list, index);
    free(text);
    free(original);
    UpdateButtons(dialog);
}

static void OnDelete(HWND dialog)
{
    HWND list = GetList(dialog);
    int index = GetSelection(list);
    if (index < 0)
        return;
    DeleteTextItem(list, index);
    int count = GetItemCount(list);
    if (count > 0)
        Select(list, index < count - 1 ? index : count - 1);
    UpdateButtons(dialog);
}

static const char* ItemTextAt(int index, void* list, const char** original)
{
    const char* text = GetItemText(static_cast<HWND>(list), index);
    *original = text ? ClipText_Original(text) : nullptr;
    return text;
}

// The registered list becomes the list box's texts in the order shown; equal
// texts end as one entry, at the place of the upper one. When memory runs
// out the store keeps its old list and the dialog stays open with the
// user's edits, so nothing is saved shorter than it was shown.
static bool CommitList(HWND dialog)
{
    RegisteredDialog* state = GetState(dialog);
    AppData* data = state ? state->data : nullptr;
    if (!data)
        return true;
    HWND list = GetList(dialog);
    return AppData_ReplaceList(data, LIST_REGISTERED, GetItemCount(list), ItemTextAt, list);
}

static void OnCommand(HWND dialog, int id, int code)
{
    switch (id) {
    case IDOK:
        if (CommitList(dialog))
            EndDialog(dialog, IDOK);
        else
            MessageBeep(MB_ICONEXCLAMATION);
        break;
    case IDCANCEL:
        EndDialog(dialog, IDCANCEL);
        break;
    case IDC_REG_ADD:
        OnAdd(dialog);
        break;
    case IDC_REG_EDIT:
    case IDM_REG_EDIT:
        OnEdit(dialog);
        break;
    case IDC_REG_DELETE:
    case IDM_REG_DELETE:
        OnDelete(dialog);
        break;
    case IDC_REG_LIST:
        if (code == LBN_DBLCLK)
            OnEdit(dialog);
        break;
    }
}

static void SendCommand(HWND dialog, int id)
{
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// ---------------------------------------------------------------- list notifications

// The cursors come with the dialog's resources, loaded once when it starts
// (shared cursors: never destroyed); without them the drag list box's own
// choice (the program's, or the system's) is shown.
static void LoadDragCursors(RegisteredDialog* state)
{
    state->cursorNo = LoadCursorA(state->templates, MAKEINTRESOURCEA(IDC_DRAG_NO));
    state->cursorMove = LoadCursorA(state->templates, MAKEINTRESOURCEA(IDC_DRAG_MOVE));
}

static HCURSOR DragCursor(HWND dialog, int target)
{
    const RegisteredDialog* state = GetState(dialog);
    HCURSOR shape = state ? (target < 0 ? state->cursorNo : state->cursorMove) : nullptr;
    return shape ? shape : DragListBox_LoadCursor(target);
}

static void ShowContextMenu(HWND dialog)
{
    const RegisteredDialog* state = GetState(dialog);
    if (!state || GetSelection(GetList(dialog)) < 0)
        return;
    ShowResourceMenuAtCursor(state->templates, MAKEINTRESOURCEA(IDR_REGISTERED_MENU), 0, dialog, TPM_RIGHTBUTTON,
                             nullptr);
}

static BOOL Answer(HWND dialog, LRESULT result)
{
    SetWindowLongPtrA(dialog, DWLP_MSGRESULT, result);
    return TRUE;
}

// The list box's default action: the notification sent back to it.
static BOOL HandBack(HWND dialog, WPARAM wParam, DDLBNOTIFY* record)
{
    return Answer(dialog,
                  SendMessageA(record->hdr.hwndFrom, WM_NOTIFY, wParam, reinterpret_cast<LPARAM>(record)));
}

// Backspace and Delete are not handed back: the list box's own deletion
// would drop the item without freeing its text.
static BOOL OnListKey(HWND dialog, WPARAM wParam, DDLBNOTIFY* record)
{
    switch (record->wParam) {
    case VK_BACK:
        return Answer(dialog, 0);
    case VK_SPACE:
        SendCommand(dialog, IDC_REG_EDIT);
        return Answer(dialog, 0);
    case VK_DELETE:
        SendCommand(dialog, IDC_REG_DELETE);
        return Answer(dialog, 0);
    }
    return HandBack(dialog, wParam, record);
}

static BOOL OnNotify(HWND dialog, WPARAM wParam, NMHDR* header)
{
    HWND list = GetList(dialog);
    if (!header || !list || header->hwndFrom != list || header->idFrom != IDC_REG_LIST)
        return FALSE;
    DDLBNOTIFY* record = reinterpret_cast<DDLBNOTIFY*>(header);
    switch (header->code) {
    case DDLBN_KEYDOWN:
        return OnListKey(dialog, wParam, record);
    case DDLBN_QUERYCURSOR:
        return Answer(dialog, reinterpret_cast<LRESULT>(DragCursor(dialog, record->iTo)));
    case DDLBN_CONTEXTMENU:
        ShowContextMenu(dialog);
        return Answer(dialog, 0);
    case DDLBN_DESTROY:
        DeleteAllTextItems(list);
        return Answer(dialog, 0);
    }
    return HandBack(dialog, wParam, record);
}

// ---------------------------------------------------------------- dialog

struct ListFill {
    HWND list;
    int added;
};

static void AddTextItem(const char* text, int, void* context)
{
    ListFill* fill = static_cast<ListFill*>(context);
    if (InsertTextItem(fill->list, fill->added, text, ClipText_Original(text)))
        fill->added++;
}

// One walk of the store's list; the list box gets room for every item at
// once and draws only when it is full. The drag handling is hooked in after
// the fill: it reacts to none of the fill's messages, and under Wine every
// message through it costs several round trips to the server (its window
// properties), which made a fill of 30,000 texts take seconds.
static void FillList(HWND dialog, const AppData* data)
{
    HWND list = GetList(dialog);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    int count = data ? AppData_GetCount(data, LIST_REGISTERED) : 0;
    if (count > 0) {
        SendMessageA(list, LB_INITSTORAGE, static_cast<WPARAM>(count),
                     static_cast<LPARAM>(count) * ITEM_LABEL_LIMIT);
        SendMessageA(list, WM_SETREDRAW, FALSE, 0);
        ListFill fill = {list, 0};
        AppData_ForEach(data, LIST_REGISTERED, AddTextItem, &fill);
        SendMessageA(list, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(list, nullptr, TRUE);
        if (fill.added > 0)
            Select(list, 0);
    }
    SubclassDragListBox(list);
}

// The sizes are recorded before the saved size is applied: the template size
// is the smallest the dialog may get, and the client size is what the
// controls are laid out for when the saved size arrives as a WM_SIZE.
static BOOL OnInitDialog(HWND dialog, RegisteredDialog* state)
{
    DialogGuard_SetWindow(&g_guard, dialog);
    DialogState_Attach(dialog, PROP_DIALOGPARAM, state->data);
    // Empty while no edit pad runs over this dialog.
    SetPropA(dialog, PROP_DIALOG, nullptr);
    SetDialogIcons(dialog);
    state->minimumSize = Placement_GetWindowSize(dialog);
    SIZE client = Placement_GetClientSize(dialog);
    state->previousWidth = client.cx;
    state->previousHeight = client.cy;
    LoadDragCursors(state);
    DialogState_Attach(dialog, PROP_REGISTEREDDIALOG, state);
    FillList(dialog, state->data);
    UpdateButtons(dialog);
    Placement_RestoreFile(dialog, state->iniPath, REGISTERED_CAPTION, state->minimumSize.cx,
                               state->minimumSize.cy);
    return TRUE;
}

// The question comes on every close by the title bar, changed or not.
static void OnClose(HWND dialog)
{
    CommonDlg_AskSaveOnClose(dialog, REGISTERED_CAPTION);
}

static void OnDestroy(HWND dialog)
{
    const RegisteredDialog* state = GetState(dialog);
    if (state)
        Placement_SaveFile(dialog, state->iniPath, REGISTERED_CAPTION);
    DialogState_Detach(dialog, PROP_REGISTEREDDIALOG);
    DialogState_Detach(dialog, PROP_DIALOGPARAM);
    RemovePropA(dialog, PROP_DIALOG);
}

// Sizes sent while the window is being made, before WM_INITDIALOG has
// recorded the layout, are not layouts.
static BOOL OnSize(HWND dialog, WPARAM wParam, LPARAM lParam)
{
    RegisteredDialog* state = GetState(dialog);
    if (state)
        LayoutChildren(dialog, REGISTERED_LAYOUT, sizeof(REGISTERED_LAYOUT) / sizeof(REGISTERED_LAYOUT[0]),
                       &state->previousWidth, &state->previousHeight, wParam, lParam);
    return TRUE;
}

static BOOL OnGetMinMaxInfo(HWND dialog, LPARAM lParam)
{
    const RegisteredDialog* state = GetState(dialog);
    if (!state)
        return FALSE;
    Placement_SetMinTrackSize(lParam, state->minimumSize.cx, state->minimumSize.cy);
    return TRUE;
}

static INT_PTR CALLBACK RegisteredDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_INITDIALOG:
        return OnInitDialog(dialog, reinterpret_cast<RegisteredDialog*>(lParam));
    case WM_COMMAND:
        OnCommand(dialog, LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case WM_NOTIFY:
        return OnNotify(dialog, wParam, reinterpret_cast<NMHDR*>(lParam));
    case WM_CLOSE:
        OnClose(dialog);
        return TRUE;
    case WM_SIZE:
        return OnSize(dialog, wParam, lParam);
    case WM_GETMINMAXINFO:
        return OnGetMinMaxInfo(dialog, lParam);
    case WM_NCHITTEST:
        return HitTestMoveByClient(dialog, wParam, lParam);
    case WM_DESTROY:
        OnDestroy(dialog);
        return FALSE;
    }
    return FALSE;
}

// ---------------------------------------------------------------- opener

bool RegisteredDlg_OpenFrom(HINSTANCE templates, HWND owner, AppData* data, const char* iniPath)
{
    if (!DialogGuard_Enter(&g_guard, owner, true))
        return false;
    RegisteredDialog state;
    ZeroMemory(&state, sizeof(state));
    state.data = data;
    state.templates = templates;
    state.iniPath = iniPath && iniPath[0] ? iniPath : nullptr;
    INT_PTR result = DialogBoxParamW(templates, MAKEINTRESOURCEW(IDD_REGISTERED), owner, RegisteredDialogProc,
                                     reinterpret_cast<LPARAM>(&state));
    DialogGuard_Leave(&g_guard);
    return result == IDOK;
}

bool OpenRegisteredTextDialog(HWND owner, AppData* data)
{
    char iniPath[INI_PATH_SIZE];
    bool haveIni = GetAppFilePath(iniPath, sizeof(iniPath), ".ini");
    return RegisteredDlg_OpenFrom(GetModuleHandleA(nullptr), owner, data, haveIni ? iniPath : nullptr);
}
