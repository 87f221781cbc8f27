// The edit pad "テキストの編集": a resizable modal editor for one text, started
// with a given text or the clipboard's, with loading from and writing to a
// file, always-on-top through the system menu, the input-method switch, and
// its size and state kept in section "EDIT_PAD" of the settings INI file.
// The pad is a Unicode dialog (the same template, run by DialogBoxParamW),
// so its edit control holds any text; the text goes to and from the clip
// store as code page 932 with its original (padtext.h).
#include "editing/editpad.h"

#include <imm.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "dialogs/commondlg.h"
#include "editing/padfill.h"
#include "editing/padtext.h"
#include "menu/popupmenu.h"
#include "resources/dialogs_editpad.h"
#include "resources/resource.h"
#include "settings/apppath.h"
#include "store/clipboard.h"
#include "text/cp932.h"
#include "text/utf.h"
#include "text/text.h"
#include "ui/dialogguard.h"
#include "ui/dialogstate.h"
#include "ui/dpi.h"
#include "ui/latelib.h"
#include "ui/placement.h"

// ﾃｷｽﾄの編集 (the question's caption is half-width, the window's full-width)
#define PAD_QUESTION_CAPTION "\xc3\xb7\xbd\xc4\x82\xcc\x95\xd2\x8f\x57"
// 常に最前面に表示(&T)
#define MENU_TOPMOST "\x8f\xed\x82\xc9\x8d\xc5\x91\x4f\x96\xca\x82\xc9\x95\x5c\x8e\xa6(&T)"
// 日本語入力 - オフ(&L)
#define MENU_IME_OFF "\x93\xfa\x96\x7b\x8c\xea\x93\xfc\x97\xcd - \x83\x49\x83\x74(&L)"
// 日本語入力 - オン(&O)
#define MENU_IME_ON "\x93\xfa\x96\x7b\x8c\xea\x93\xfc\x97\xcd - \x83\x49\x83\x93(&O)"
// ファイルを開く
#define OPEN_TITLE "\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xf0\x8a\x4a\x82\xad"
// テキストをファイルへ出力
#define EXPORT_TITLE \
    "\x83\x65\x83\x4c\x83\x58\x83\x67\x82\xf0\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xd6\x8f\x6f\x97\xcd"

// Both file choosers: ﾃｷｽﾄﾌｧｲﾙ, HTMLﾌｧｲﾙ and すべてのファイル, each as a
// description and its patterns.
static const char FILE_FILTER[] =
    "\xc3\xb7\xbd\xc4\xcc\xa7\xb2\xd9 (*.txt; *.doc)\0*.txt; *.doc\0"
    "HTML\xcc\xa7\xb2\xd9 (*.htm; *.html; *.shtm; *.shtml)\0*.htm; *.html; *.shtm; *.shtml\0"
    "\x82\xb7\x82\xd7\x82\xc4\x82\xcc\x83\x74\x83\x40\x83\x43\x83\x8b (*.*)\0*.*\0";

enum {
    OPEN_FLAGS = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST,     // 0x1804
    EXPORT_FLAGS = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST,  // 0x806
};

// The pad's state, hung on the pad as PROP_EDITPADINFO. The opener fills in
// text and iniPath; the rest is set at WM_INITDIALOG.
struct EditPadInfo {
    // In: the initial text (null: the clipboard's), taken at the start and
    // then cleared. Out: on OK, a heap copy of the edited text.
    char* text;
    // In: the initial text's UTF-8 original, or null. Out: on OK, a heap copy
    // of the edited text's original, or null when code page 932 holds it.
    char* original;
    // The client area at the start; right and bottom then hold the client
    // size the controls are laid out for.
    RECT client;
    int minWidth;  // window size at the start, the template's
    int minHeight;
    const char* iniPath;  // where the placement is kept, or null
    PadFill fill;         // the part of a long text still on its way in
};

// Edit control, OK and Cancel, in the order they are moved.
static const ChildLayout PAD_LAYOUT[] = {
    {IDC_PAD_EDIT, 0, 0, 1, 1},
    {IDOK, 1, 1, 0, 0},
    {IDCANCEL, 1, 1, 0, 0},
};
static const int PAD_LAYOUT_ROWS = sizeof(PAD_LAYOUT) / sizeof(PAD_LAYOUT[0]);

// One pad at a time; its owner carries PROP_DIALOG while it runs.
static DialogGuard g_guard;

static EditPadInfo* GetPadInfo(HWND pad)
{
    return DialogState_Get<EditPadInfo>(pad, PROP_EDITPADINFO);
}

static HWND GetPadEdit(HWND pad)
{
    return GetDlgItem(pad, IDC_PAD_EDIT);
}

// ---------------------------------------------------------------- files

char* EditPad_ReadFile(const char* path)
{
    size_t size = 0;
    return EditPad_ReadFileBytes(path, &size);
}

// The size comes from the directory entry (its low 32 bits) and bounds the
// read, so a file that grows meanwhile cannot overrun the buffer; one that
// shrinks ends where the read ended.
char* EditPad_ReadFileBytes(const char* path, size_t* size)
{
    *size = 0;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(path, &found);
    if (search == INVALID_HANDLE_VALUE)
        return nullptr;
    FindClose(search);
    DWORD length = found.nFileSizeLow;
    size_t bytes = static_cast<size_t>(length) + 1;
    if (bytes == 0)
        return nullptr;
    char* block = static_cast<char*>(malloc(bytes));
    if (!block)
        return nullptr;
    size_t read = 0;
    FILE* file = fopen(path, "rb");
    if (file) {
        read = fread(block, 1, length, file);
        fclose(file);
    }
    block[read] = 0;
    *size = read;
    return block;
}

// No terminating NUL: the bytes as given, line ends CR LF.
bool EditPad_WriteFile(const char* path, const char* text, size_t length)
{
    FILE* file = fopen(path, "wb");
    if (!file)
        return false;
    bool written = fwrite(text, 1, length, file) == length;
    return fclose(file) == 0 && written;
}

void EditPad_ExportPath(char* buf, size_t size, const char* folder, const SYSTEMTIME* now)
{
    if (size == 0)
        return;
    int length = snprintf(buf, size, "%s\\%02d%02d%02d%02d.txt", folder, now->wDay, now->wHour, now->wMinute,
                          now->wSecond);
    // snprintf cuts bytes; a first byte left without its second goes too.
    size_t kept = strlen(buf);
    if ((length < 0 || static_cast<size_t>(length) >= size) && kept > 0 && MbcsByteKind(buf, kept - 1) == MBCS_LEAD)
        buf[kept - 1] = 0;
}

// ---------------------------------------------------------------- the text

static_assert(sizeof(WCHAR) == sizeof(char16_t), "the pad's text is UTF-16");

// The edit control's whole text (a heap copy, the caller frees it), or null.
static char16_t* GetEditText(HWND edit, size_t* units)
{
    int length = GetWindowTextLengthW(edit);
    char16_t* text = static_cast<char16_t*>(malloc((static_cast<size_t>(length) + 1) * sizeof(char16_t)));
    if (!text)
        return nullptr;
    int got = GetWindowTextW(edit, reinterpret_cast<WCHAR*>(text), length + 1);
    text[got > 0 ? got : 0] = 0;
    *units = got > 0 ? static_cast<size_t>(got) : 0;
    return text;
}

// A stored text shown in the pad, a long one a piece at a time: its
// original, or its code page 932 bytes read by the program's own table
// (whatever the system's code page).
static void ShowStored(HWND pad, EditPadInfo* info, HWND edit, const char* text, const char* original)
{
    size_t units = 0;
    char16_t* wide = original ? Utf_DupUtf8ToUtf16(original, strlen(original), &units)
                              : Cp932_DupToUtf16(text, strlen(text), &units);
    if (wide)
        PadFill_Start(&info->fill, pad, edit, wide, units, wide);
}

// Copy and Cut of the pad put the selection on the clipboard as every text
// of Tamarin goes there: CF_UNICODETEXT, its code page 932 form as CF_TEXT
// and a Japanese CF_LOCALE. The edit control's own copy would leave CF_TEXT
// to the system, which makes it by the current input language.
static bool CopySelection(HWND edit)
{
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    if (start == end)
        return false;
    if (start > end) {
        DWORD swap = start;
        start = end;
        end = swap;
    }
    size_t units = 0;
    char16_t* text = GetEditText(edit, &units);
    if (!text)
        return false;
    if (end > units)
        end = static_cast<DWORD>(units);
    char* original = nullptr;
    char* stored = start < end ? PadText_ToStored(text + start, end - start, &original) : nullptr;
    free(text);
    if (!stored)
        return false;
    bool placed = Clip_SetTextWithOriginal(GetParent(edit), stored, original);
    free(stored);
    free(original);
    return placed;
}

#define PROP_PADEDITPROC "PROP_PADEDITPROC"

// Ctrl+C and Ctrl+X reach the edit control as WM_COPY and WM_CUT.
static LRESULT CALLBACK PadEditProc(HWND edit, UINT msg, WPARAM wParam, LPARAM lParam)
{
    WNDPROC previous = reinterpret_cast<WNDPROC>(GetPropA(edit, PROP_PADEDITPROC));
    switch (msg) {
    case WM_COPY:
        CopySelection(edit);
        return 0;
    case WM_CUT:
        if (CopySelection(edit))
            CallWindowProcW(previous, edit, WM_CLEAR, 0, 0);
        return 0;
    case WM_NCDESTROY:
        SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
        RemovePropA(edit, PROP_PADEDITPROC);
        break;
    }
    return previous ? CallWindowProcW(previous, edit, msg, wParam, lParam) : DefWindowProcW(edit, msg, wParam, lParam);
}

static void SubclassPadEdit(HWND edit)
{
    LONG_PTR previous = GetWindowLongPtrW(edit, GWLP_WNDPROC);
    SetPropA(edit, PROP_PADEDITPROC, reinterpret_cast<HANDLE>(previous));
    SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(PadEditProc));
}

// ---------------------------------------------------------------- commands

// The pad's whole text (UTF-16, units in *units): the edit control's, and
// the part of a long text that has not reached it yet. A heap text, or null
// when it cannot be allocated.
static char16_t* GetPadText(HWND pad, const EditPadInfo* info, size_t* units)
{
    HWND edit = GetPadEdit(pad);
    int length = GetWindowTextLengthW(edit);
    size_t restLength = 0;
    const char16_t* rest = PadFill_Rest(&info->fill, &restLength);
    char16_t* text =
        static_cast<char16_t*>(malloc((static_cast<size_t>(length) + restLength + 1) * sizeof(char16_t)));
    if (!text)
        return nullptr;
    int got = GetWindowTextW(edit, reinterpret_cast<WCHAR*>(text), length + 1);
    size_t shown = got > 0 ? static_cast<size_t>(got) : 0;
    memcpy(text + shown, rest, restLength * sizeof(char16_t));
    text[shown + restLength] = 0;
    *units = shown + restLength;
    return text;
}

// The text goes out as the clip store keeps it: code page 932 and, when that
// loses characters, the original.
static void OnOk(HWND pad)
{
    EditPadInfo* info = GetPadInfo(pad);
    if (!info)
        return;
    size_t units = 0;
    char16_t* text = GetPadText(pad, info, &units);
    if (!text)
        return;
    char* original = nullptr;
    char* stored = PadText_ToStored(text, units, &original);
    free(text);
    if (!stored)
        return;
    free(info->text);
    free(info->original);
    info->text = stored;
    info->original = original;
    EndDialog(pad, IDOK);
}

// A file that is not found, or whose text cannot be allocated, changes
// nothing; the typing limit does not apply to a text set this way.
static void OnOpenFile(HWND pad)
{
    char path[EDITPAD_PATH_SIZE];
    path[0] = 0;
    if (!ChooseOpenFile(pad, OPEN_FLAGS, path, sizeof(path), "", OPEN_TITLE, FILE_FILTER))
        return;
    size_t size = 0;
    char* bytes = EditPad_ReadFileBytes(path, &size);
    if (!bytes)
        return;
    size_t units = 0;
    char16_t* text = PadText_Decode(bytes, size, &units);
    free(bytes);
    if (!text)
        return;
    EditPadInfo* info = GetPadInfo(pad);
    if (info)
        PadFill_Start(&info->fill, pad, GetPadEdit(pad), text, units, text);
    else
        free(text);
}

// A file that cannot be created is skipped without a message.
static void OnExportFile(HWND pad)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    char folder[EDITPAD_PATH_SIZE];
    if (!AppPath_GetModuleFolder(folder, sizeof(folder)))
        folder[0] = 0;
    char proposed[EDITPAD_EXPORT_PATH_SIZE];
    EditPad_ExportPath(proposed, sizeof(proposed), folder, &now);
    char path[EDITPAD_PATH_SIZE];
    path[0] = 0;
    if (!ChooseSaveFile(pad, EXPORT_FLAGS, path, sizeof(path), proposed, EXPORT_TITLE, FILE_FILTER))
        return;
    EditPadInfo* info = GetPadInfo(pad);
    size_t units = 0;
    char16_t* text = info ? GetPadText(pad, info, &units) : nullptr;
    if (!text)
        return;
    size_t size = 0;
    char* bytes = PadText_Encode(text, units, &size);
    free(text);
    if (!bytes)
        return;
    EditPad_WriteFile(path, bytes, size);
    free(bytes);
}

// The input method library, loaded when the pad's menu first asks for it.
static LateLib g_inputMethod = {"imm32.dll", nullptr};

struct InputMethodCalls {
    decltype(&ImmGetContext) getContext;
    decltype(&ImmReleaseContext) releaseContext;
    decltype(&ImmGetOpenStatus) getOpenStatus;
    decltype(&ImmSetOpenStatus) setOpenStatus;
};

static bool LoadInputMethodCalls(InputMethodCalls* calls)
{
    calls->getContext = LateLib_Get<decltype(&ImmGetContext)>(&g_inputMethod, "ImmGetContext");
    calls->releaseContext = LateLib_Get<decltype(&ImmReleaseContext)>(&g_inputMethod, "ImmReleaseContext");
    calls->getOpenStatus = LateLib_Get<decltype(&ImmGetOpenStatus)>(&g_inputMethod, "ImmGetOpenStatus");
    calls->setOpenStatus = LateLib_Get<decltype(&ImmSetOpenStatus)>(&g_inputMethod, "ImmSetOpenStatus");
    return calls->getContext && calls->releaseContext && calls->getOpenStatus && calls->setOpenStatus;
}

static bool IsInputMethodOpen(HWND pad)
{
    InputMethodCalls imm;
    if (!LoadInputMethodCalls(&imm))
        return false;
    HIMC context = imm.getContext(pad);
    if (!context)
        return false;
    bool open = imm.getOpenStatus(context) != FALSE;
    imm.releaseContext(pad, context);
    return open;
}

static void OnToggleInputMethod(HWND pad)
{
    InputMethodCalls imm;
    if (!LoadInputMethodCalls(&imm))
        return;
    HIMC context = imm.getContext(pad);
    if (!context)
        return;
    imm.setOpenStatus(context, !imm.getOpenStatus(context));
    imm.releaseContext(pad, context);
}

static void OnCommand(HWND pad, int id)
{
    HWND edit = GetPadEdit(pad);
    switch (id) {
    case IDOK:
        OnOk(pad);
        break;
    case IDCANCEL:
        EndDialog(pad, IDCANCEL);
        break;
    case IDM_PAD_OPENFILE:
        OnOpenFile(pad);
        break;
    case IDM_PAD_SAVEFILE:
        OnExportFile(pad);
        break;
    case IDM_PAD_DELETE:
        SendMessageA(edit, WM_CLEAR, 0, 0);
        break;
    case IDM_PAD_UNDO:
        SendMessageA(edit, WM_UNDO, 0, 0);
        break;
    case IDM_PAD_CUT:
        SendMessageW(edit, WM_CUT, 0, 0);
        break;
    case IDM_PAD_PASTE:
        SendMessageW(edit, WM_PASTE, 0, 0);
        break;
    case IDM_PAD_COPY:
        SendMessageW(edit, WM_COPY, 0, 0);
        break;
    case IDM_PAD_SELECTALL:
        SendMessageA(edit, EM_SETSEL, 0, -1);
        break;
    case IDM_PAD_IME:
        OnToggleInputMethod(pad);
        break;
    }
}

// ---------------------------------------------------------------- handlers

// The always-on-top item goes just after Maximize; a system menu without
// Maximize gets none.
static void AddTopmostItem(HWND pad)
{
    HMENU system = GetSystemMenu(pad, FALSE);
    if (!system)
        return;
    int pos = PopupMenu_FindItemPos(system, SC_MAXIMIZE);
    if (pos >= 0)
        InsertMenuA(system, static_cast<UINT>(pos + 1), MF_BYPOSITION | MF_STRING, IDM_PAD_TOPMOST, MENU_TOPMOST);
}

// The initial text is the caller's (it outlives the pad); the field is
// cleared once it is taken, so that afterwards it only ever holds the pad's
// own copy. A long text arrives piece by piece.
static void LoadInitialText(HWND pad, EditPadInfo* info)
{
    HWND edit = GetPadEdit(pad);
    if (info->text) {
        ShowStored(pad, info, edit, info->text, info->original);
        info->text = nullptr;
        info->original = nullptr;
        return;
    }
    char* text = nullptr;
    char* original = nullptr;
    if (Clip_GetText(pad, &text, &original))
        ShowStored(pad, info, edit, text, original);
    free(text);
    free(original);
}

// The template's size and client size are taken before the saved size is
// applied, so that resize arrives as an ordinary WM_SIZE.
static BOOL OnInitDialog(HWND pad, EditPadInfo* info)
{
    if (!info)
        return TRUE;
    DialogGuard_SetWindow(&g_guard, pad);
    DialogState_Attach(pad, PROP_EDITPADINFO, info);
    SetDialogIcons(pad);
    GetClientRect(pad, &info->client);
    SIZE window = Placement_GetWindowSize(pad);
    info->minWidth = window.cx;
    info->minHeight = window.cy;
    SendMessageA(GetPadEdit(pad), EM_LIMITTEXT, EDITPAD_TEXT_LIMIT, 0);
    SubclassPadEdit(GetPadEdit(pad));
    LoadInitialText(pad, info);
    AddTopmostItem(pad);
    // The size of the first opening is designed at 96 dpi and grows with the
    // display's scaling, as the template's size does.
    UINT dpi = Dpi_OfWindow(pad);
    Placement_RestoreFile(pad, info->iniPath, EDITPAD_SECTION, Dpi_Scale(EDITPAD_DEFAULT_WIDTH, dpi),
                          Dpi_Scale(EDITPAD_DEFAULT_HEIGHT, dpi));
    return TRUE;
}

// Enabling and checking go by command id, so a popup without an item leaves
// it alone.
static void OnInitMenuPopup(HWND pad, HMENU popup)
{
    HMENU system = GetSystemMenu(pad, FALSE);
    if (system)
        PopupMenu_CheckItemIf(system, IDM_PAD_TOPMOST, MF_BYCOMMAND, IsWindowTopmost(pad));
    HWND edit = GetPadEdit(pad);
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    bool selection = start != end;
    DWORD selected = end > start ? end - start : start - end;
    DWORD length = static_cast<DWORD>(GetWindowTextLengthW(edit));
    PopupMenu_EnableItemIf(popup, IDM_PAD_UNDO, MF_BYCOMMAND, SendMessageA(edit, EM_CANUNDO, 0, 0) != 0);
    PopupMenu_EnableItemIf(popup, IDM_PAD_PASTE, MF_BYCOMMAND, IsClipboardFormatAvailable(CF_TEXT) != FALSE);
    PopupMenu_EnableItemIf(popup, IDM_PAD_CUT, MF_BYCOMMAND, selection);
    PopupMenu_EnableItemIf(popup, IDM_PAD_COPY, MF_BYCOMMAND, selection);
    PopupMenu_EnableItemIf(popup, IDM_PAD_DELETE, MF_BYCOMMAND, selection);
    PopupMenu_EnableItemIf(popup, IDM_PAD_SELECTALL, MF_BYCOMMAND, selected != length);
    if (PopupMenu_FindItemPos(popup, IDM_PAD_IME) >= 0)
        PopupMenu_SetItemText(popup, IDM_PAD_IME, MF_BYCOMMAND, IsInputMethodOpen(pad) ? MENU_IME_OFF : MENU_IME_ON);
}

// Asked on every close by the title bar, changed or not. Yes goes through
// OK, so a text that cannot be copied keeps the pad open.
// A multi-line edit control wants every key, so the dialog manager never
// sees Escape there; the control turns it into WM_CLOSE for its dialog
// instead. Escape is a plain Cancel: a close that comes while Escape is held
// down skips the question.
static void OnClose(HWND pad)
{
    if (GetKeyState(VK_ESCAPE) < 0) {
        SendMessageA(pad, WM_COMMAND, IDCANCEL, 0);
        return;
    }
    CommonDlg_AskSaveOnClose(pad, PAD_QUESTION_CAPTION);
}

static BOOL OnSysCommand(HWND pad, WPARAM wParam)
{
    if (LOWORD(wParam) != IDM_PAD_TOPMOST)
        return FALSE;
    SetWindowTopmost(pad, !IsWindowTopmost(pad));
    return TRUE;
}

static void OnSize(HWND pad, WPARAM wParam, LPARAM lParam)
{
    EditPadInfo* info = GetPadInfo(pad);
    if (info)
        LayoutChildren(pad, PAD_LAYOUT, PAD_LAYOUT_ROWS, &info->client.right, &info->client.bottom, wParam, lParam);
}

// Before the record is attached the system's own values stand.
static BOOL OnGetMinMaxInfo(HWND pad, LPARAM lParam)
{
    EditPadInfo* info = GetPadInfo(pad);
    if (!info)
        return FALSE;
    Placement_SetMinTrackSize(lParam, info->minWidth, info->minHeight);
    return TRUE;
}

static BOOL OnTimer(HWND pad, WPARAM id)
{
    EditPadInfo* info = GetPadInfo(pad);
    if (id != TIMER_PAD_FILL || !info)
        return FALSE;
    PadFill_Step(&info->fill, pad, GetPadEdit(pad));
    return TRUE;
}

static void OnDestroy(HWND pad)
{
    EditPadInfo* info = GetPadInfo(pad);
    if (!info)
        return;
    PadFill_Stop(&info->fill, pad);
    Placement_SaveFile(pad, info->iniPath, EDITPAD_SECTION);
    DialogState_Detach(pad, PROP_EDITPADINFO);
}

static INT_PTR CALLBACK EditPadProc(HWND pad, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_INITDIALOG:
        return OnInitDialog(pad, reinterpret_cast<EditPadInfo*>(lParam));
    case WM_COMMAND:
        OnCommand(pad, LOWORD(wParam));
        return TRUE;
    case WM_SYSCOMMAND:
        return OnSysCommand(pad, wParam);
    case WM_INITMENUPOPUP:
        OnInitMenuPopup(pad, reinterpret_cast<HMENU>(wParam));
        return TRUE;
    case WM_CLOSE:
        OnClose(pad);
        return TRUE;
    case WM_SIZE:
        OnSize(pad, wParam, lParam);
        return TRUE;
    case WM_GETMINMAXINFO:
        return OnGetMinMaxInfo(pad, lParam);
    case WM_NCHITTEST:
        return HitTestMoveByClient(pad, wParam, lParam);
    case WM_TIMER:
        return OnTimer(pad, wParam);
    case WM_DESTROY:
        OnDestroy(pad);
        return FALSE;
    }
    return FALSE;
}

// ---------------------------------------------------------------- opener

// The owner's PROP_DIALOG is non-null while the pad runs; it is set back to
// null (not removed) afterwards, as the owner's other editing dialog does.
char* EditPad_OpenWithOriginalFrom(HINSTANCE templates, HWND owner, const char* initialText,
                                   const char* initialOriginal, const char* iniPath, char** original)
{
    *original = nullptr;
    if (!DialogGuard_Enter(&g_guard, owner, true))
        return nullptr;
    EditPadInfo info;
    ZeroMemory(&info, sizeof(info));
    info.text = const_cast<char*>(initialText);
    info.original = initialText ? const_cast<char*>(initialOriginal) : nullptr;
    info.iniPath = iniPath;
    INT_PTR result = DialogBoxParamW(templates, MAKEINTRESOURCEW(IDD_EDITPAD), owner, EditPadProc,
                                     reinterpret_cast<LPARAM>(&info));
    DialogGuard_Leave(&g_guard);
    // A pad that never started still holds the caller's text.
    if (initialText && info.text == initialText)
        return nullptr;
    if (result != IDOK) {
        free(info.text);
        free(info.original);
        return nullptr;
    }
    *original = info.original;
    return info.text;
}

char* EditPad_OpenFrom(HINSTANCE templates, HWND owner, const char* initialText, const char* iniPath)
{
    char* original = nullptr;
    char* text = EditPad_OpenWithOriginalFrom(templates, owner, initialText, nullptr, iniPath, &original);
    free(original);
    return text;
}

char* EditPad_OpenWithOriginal(HWND owner, const char* initialText, const char* initialOriginal, char** original)
{
    char iniPath[EDITPAD_PATH_SIZE];
    bool haveIni = GetAppFilePath(iniPath, sizeof(iniPath), ".ini");
    return EditPad_OpenWithOriginalFrom(GetModuleHandleA(nullptr), owner, initialText, initialOriginal,
                                        haveIni ? iniPath : nullptr, original);
}

char* OpenEditPad(HWND owner, const char* initialText)
{
    char* original = nullptr;
    char* text = EditPad_OpenWithOriginal(owner, initialText, nullptr, &original);
    free(original);
    return text;
}
