// The search window: a top-most window of its own class, with an edit box
// over an owner-drawn list that holds no strings (LBS_NODATA), only a count;
// each visible line is drawn from the search list's copy of its text, so a
// keystroke costs one pass of the filter and no list-box insertions. The
// window runs its own message loop, like a modal dialog, and the keys that
// steer it are taken there before the edit box sees them.
#include "menu/searchwnd.h"

#include <commctrl.h>

#include <stdlib.h>
#include <string.h>

#include "menu/searchlist.h"
#include "settings/appinfo.h"
#include "settings/profile.h"
#include "store/appdata.h"
#include "store/cliptext.h"
#include "store/storefile.h"
#include "text/labelcut.h"
#include "text/text.h"
#include "text/textmatch.h"
#include "ui/dialogguard.h"
#include "ui/dialogstate.h"
#include "ui/dpi.h"
#include "ui/placement.h"

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

// The window's state, from WM_CREATE to WM_DESTROY; owned by SearchWnd_Run.
#define PROP_SEARCHWINDOW "PROP_SEARCHWINDOW"

namespace {

// ＭＳ Ｐゴシック at 9 points, the font of every dialog of Tamarin.
const char UI_FONT_FACE[] = "\x82\x6c\x82\x72 \x82\x6f\x83\x53\x83\x56\x83\x62\x83\x4e";
const int UI_FONT_POINTS = 9;

// Sizes in average character widths and list lines, and in pixels at 96 dpi.
const int DEFAULT_COLUMNS = 56;
const int DEFAULT_LINES = 16;
const int MIN_COLUMNS = 20;
const int MIN_LINES = 3;
const int MARGIN_AT_96 = 4;
const int TIP_GAP_AT_96 = 4;
const int TEXT_INDENT_AT_96 = 3;
const int MIN_TIP_SPACE_AT_96 = 160;

const DWORD WINDOW_STYLE = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_CLIPCHILDREN;
const DWORD WINDOW_EX_STYLE = WS_EX_TOPMOST;

struct SearchWindow {
    HWND window;
    HWND edit;
    HWND list;
    HWND tip;
    SearchWindowParams params;
    SearchList* entries;
    TextQuery query;
    char lastQuery[TEXT_QUERY_INPUT_SIZE];  // the query the list shows the entries of
    HFONT font;
    int dpi;
    int charWidth;   // average character width of the font
    int lineHeight;  // of a list line
    int editHeight;
    char* tipText;   // the menu tips' size, NUL included
    size_t tipSize;
    WCHAR* tipWide;  // the tip of an original: twice the menu tips' size and a NUL, made when first needed
    bool tipShown;
    int tipEntry;    // the entry of the search list and the line the tip shows, or -1
    int tipRow;
    int pickedId;
    bool done;
};

// A second opening only brings the open window forward.
DialogGuard g_guard;

SearchWindow* StateOf(HWND window)
{
    return DialogState_Get<SearchWindow>(window, PROP_SEARCHWINDOW);
}

int Scale(const SearchWindow* s, int at96)
{
    return Dpi_Scale(at96, static_cast<UINT>(s->dpi));
}

RECT WorkAreaOf(HWND window)
{
    RECT work = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    MONITORINFO info;
    ZeroMemory(&info, sizeof(info));
    info.cbSize = sizeof(info);
    if (GetMonitorInfoA(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &info))
        work = info.rcWork;
    return work;
}

// ---------------------------------------------------------------- font and layout

// The font and every size that follows from it, for the window's DPI; the
// font the window had before is deleted.
void ApplyFont(SearchWindow* s)
{
    LOGFONTA face;
    ZeroMemory(&face, sizeof(face));
    face.lfHeight = -MulDiv(UI_FONT_POINTS, s->dpi, 72);
    face.lfWeight = FW_NORMAL;
    face.lfCharSet = SHIFTJIS_CHARSET;
    StrCopyN(face.lfFaceName, sizeof(face.lfFaceName), UI_FONT_FACE);
    HFONT font = CreateFontIndirectA(&face);
    if (!font)
        font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    TEXTMETRICA metrics;
    ZeroMemory(&metrics, sizeof(metrics));
    HDC dc = GetDC(s->window);
    HGDIOBJ old = SelectObject(dc, font);
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(s->window, dc);

    HFONT previous = s->font;
    s->font = font;
    s->charWidth = metrics.tmAveCharWidth > 0 ? metrics.tmAveCharWidth : Scale(s, 6);
    s->lineHeight = metrics.tmHeight + Scale(s, 4);
    s->editHeight = metrics.tmHeight + metrics.tmHeight * 3 / 4;
    if (previous && previous != static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)))
        DeleteObject(previous);
}

void SetChildFonts(SearchWindow* s)
{
    SendMessageA(s->edit, WM_SETFONT, reinterpret_cast<WPARAM>(s->font), TRUE);
    SendMessageA(s->list, WM_SETFONT, reinterpret_cast<WPARAM>(s->font), TRUE);
    SendMessageA(s->list, LB_SETITEMHEIGHT, 0, MAKELPARAM(s->lineHeight, 0));
}

void LayOut(SearchWindow* s)
{
    RECT client;
    GetClientRect(s->window, &client);
    int margin = Scale(s, MARGIN_AT_96);
    int width = client.right - 2 * margin;
    int listTop = 2 * margin + s->editHeight;
    int listHeight = client.bottom - listTop - margin;
    MoveWindow(s->edit, margin, margin, width > 0 ? width : 0, s->editHeight, TRUE);
    MoveWindow(s->list, margin, listTop, width > 0 ? width : 0, listHeight > 0 ? listHeight : 0, TRUE);
}

// The window size that gives a client area of columns characters and lines
// list lines.
SIZE WindowSizeFor(const SearchWindow* s, int columns, int lines)
{
    int margin = Scale(s, MARGIN_AT_96);
    int edges = 2 * Dpi_Metric(SM_CYEDGE, static_cast<UINT>(s->dpi));
    RECT rect = {0, 0, s->charWidth * columns + 2 * margin + edges,
                 3 * margin + s->editHeight + s->lineHeight * lines + edges};
    AdjustWindowRectEx(&rect, WINDOW_STYLE, FALSE, WINDOW_EX_STYLE);
    SIZE size = {rect.right - rect.left, rect.bottom - rect.top};
    return size;
}

// The bottom-left corner at the anchor, as the text popup opens; the whole
// window kept inside the work area of the anchor's monitor.
void PlaceAtAnchor(SearchWindow* s, SIZE size)
{
    RECT work;
    Placement_GetMonitorAreasAt(s->params.anchor, &work, nullptr);
    if (size.cx > work.right - work.left)
        size.cx = work.right - work.left;
    if (size.cy > work.bottom - work.top)
        size.cy = work.bottom - work.top;
    POINT corner = {s->params.anchor.x, s->params.anchor.y - size.cy};
    POINT origin = Placement_FitSizeInRect(corner, size, &work);
    SetWindowPos(s->window, HWND_TOPMOST, origin.x, origin.y, size.cx, size.cy, SWP_NOACTIVATE);
}

// The saved size, in the section named after the window like the other
// resizable windows; always on top and maximised are not kept, the window
// being always top-most and never maximised.
SIZE SavedSize(const SearchWindow* s)
{
    SIZE fallback = WindowSizeFor(s, DEFAULT_COLUMNS, DEFAULT_LINES);
    SavedPlacement saved = {true, false, static_cast<int>(fallback.cx), static_cast<int>(fallback.cy)};
    Placement_LoadFile(s->params.iniPath, SEARCH_WINDOW_TITLE, &saved);
    SIZE minimum = WindowSizeFor(s, MIN_COLUMNS, MIN_LINES);
    SIZE size = {saved.width < minimum.cx ? minimum.cx : saved.width, saved.height < minimum.cy ? minimum.cy : saved.height};
    return size;
}

void SaveSize(const SearchWindow* s)
{
    RECT restored;
    if (!s->params.iniPath || !Placement_GetRestoredRect(s->window, &restored))
        return;
    WriteProfileInt(s->params.iniPath, SEARCH_WINDOW_TITLE, PLACEMENT_KEY_HEIGHT, restored.bottom - restored.top);
    WriteProfileInt(s->params.iniPath, SEARCH_WINDOW_TITLE, PLACEMENT_KEY_WIDTH, restored.right - restored.left);
}

// ---------------------------------------------------------------- the tip

int SelectedRow(const SearchWindow* s)
{
    LRESULT row = SendMessageA(s->list, LB_GETCURSEL, 0, 0);
    return row >= 0 && s->entries && row < s->entries->shownCount ? static_cast<int>(row) : -1;
}

TTTOOLINFOA TipTool(const SearchWindow* s)
{
    TTTOOLINFOA tool;
    ZeroMemory(&tool, sizeof(tool));
    tool.cbSize = TTTOOLINFOA_V1_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_TRACK | TTF_ABSOLUTE;
    tool.hwnd = s->window;
    tool.uId = reinterpret_cast<UINT_PTR>(s->window);
    tool.lpszText = s->tipText;
    return tool;
}

void HideTip(SearchWindow* s)
{
    if (!s->tip || !s->tipShown)
        return;
    TTTOOLINFOA tool = TipTool(s);
    SendMessageA(s->tip, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool));
    s->tipShown = false;
    s->tipEntry = -1;
}

// Beside the window, on the side with more room, level with the selected
// line; where neither side has room it may cover the window.
// A tip already showing is given its new text and place without being
// hidden first, so it does not blink at each keystroke.
// The tip of an original goes in as Unicode text, cut as the menu tips cut it.
bool SetTipTextOf(SearchWindow* s, const char* text)
{
    const char* original = ClipText_Original(text);
    if (!original) {
        StrCopyN(s->tipText, s->tipSize, text);
        TTTOOLINFOA tool = TipTool(s);
        SendMessageA(s->tip, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
        return true;
    }
    size_t units = 2 * (s->tipSize - 1) + 1;
    if (!s->tipWide)
        s->tipWide = static_cast<WCHAR*>(calloc(units, sizeof(WCHAR)));
    if (!s->tipWide)
        return false;
    LabelCut_Utf8(reinterpret_cast<char16_t*>(s->tipWide), units, original, strlen(original), s->tipSize - 1, 0);
    TTTOOLINFOW tool;
    ZeroMemory(&tool, sizeof(tool));
    tool.cbSize = TTTOOLINFOW_V1_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_TRACK | TTF_ABSOLUTE;
    tool.hwnd = s->window;
    tool.uId = reinterpret_cast<UINT_PTR>(s->window);
    tool.lpszText = s->tipWide;
    SendMessageW(s->tip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    return true;
}

void ShowTip(SearchWindow* s, int row, const char* text)
{
    if (!SetTipTextOf(s, text)) {
        HideTip(s);
        return;
    }
    TTTOOLINFOA tool = TipTool(s);

    RECT window;
    GetWindowRect(s->window, &window);
    RECT work = WorkAreaOf(s->window);
    int gap = Scale(s, TIP_GAP_AT_96);
    int rightSpace = work.right - window.right - gap;
    int leftSpace = window.left - work.left - gap;
    bool onRight = rightSpace >= leftSpace;
    int space = onRight ? rightSpace : leftSpace;
    if (space < Scale(s, MIN_TIP_SPACE_AT_96))
        space = (work.right - work.left) * 7 / 8;
    SendMessageA(s->tip, TTM_SETMAXTIPWIDTH, 0, space);
    LRESULT bubble = SendMessageA(s->tip, TTM_GETBUBBLESIZE, 0, reinterpret_cast<LPARAM>(&tool));
    int width = LOWORD(bubble);
    int height = HIWORD(bubble);

    RECT item = {0, 0, 0, 0};
    SendMessageA(s->list, LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    POINT top = {item.left, item.top};
    ClientToScreen(s->list, &top);
    int x = onRight ? window.right + gap : window.left - gap - width;
    if (x + width > work.right)
        x = work.right - width;
    if (x < work.left)
        x = work.left;
    int y = top.y;
    if (y + height > work.bottom)
        y = work.bottom - height;
    if (y < work.top)
        y = work.top;
    SendMessageA(s->tip, TTM_TRACKPOSITION, 0, MAKELPARAM(x, y));
    if (!s->tipShown)
        SendMessageA(s->tip, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
    s->tipShown = true;
}

// The whole text of the selected entry, up to the menu tips' size, while the
// menu tips are on. moved: the window moved or changed size, so a tip of the
// same entry on the same line needs a new place all the same.
void UpdateTip(SearchWindow* s, bool moved = false)
{
    int row = SelectedRow(s);
    if (!s->tip || !s->tipText || row < 0 || !s->params.info->showMenuTips) {
        HideTip(s);
        return;
    }
    int entry = s->entries->shown[row];
    if (s->tipShown && !moved && entry == s->tipEntry && row == s->tipRow)
        return;
    ShowTip(s, row, SearchList_Text(s->entries, entry));
    s->tipEntry = entry;
    s->tipRow = row;
}

void CreateTip(SearchWindow* s)
{
    s->tipSize = static_cast<size_t>(s->params.info->menuTipChars) + 1;
    s->tipText = static_cast<char*>(calloc(s->tipSize, 1));
    s->tip = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, s->window, nullptr,
                             GetModuleHandleA(nullptr), nullptr);
    if (!s->tip || !s->tipText)
        return;
    TTTOOLINFOA tool = TipTool(s);
    SendMessageA(s->tip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

// ---------------------------------------------------------------- entries

// The edit box's whole text, cut to the query's input size without splitting
// a double-byte character.
void ReadQueryText(HWND edit, char* out, size_t size)
{
    out[0] = 0;
    int length = GetWindowTextLengthA(edit);
    char* whole = static_cast<char*>(malloc(static_cast<size_t>(length) + 1));
    if (!whole)
        return;
    whole[0] = 0;
    GetWindowTextA(edit, whole, length + 1);
    StrCopyN(out, size, whole);
    free(whole);
}

// The list shows the filtered entries with the given line selected. Only the
// count changes; the lines are drawn when the list next paints, after the
// keystroke has been answered.
void ShowFiltered(SearchWindow* s, int selectRow)
{
    int count = s->entries ? s->entries->shownCount : 0;
    SendMessageA(s->list, LB_SETCOUNT, static_cast<WPARAM>(count), 0);
    if (count > 0)
        SendMessageA(s->list, LB_SETCURSEL, static_cast<WPARAM>(selectRow < count ? selectRow : count - 1), 0);
    InvalidateRect(s->list, nullptr, TRUE);
    UpdateTip(s);
}

// A query that only grows at its end, as it does while the user types,
// looks among the entries shown already; any other change looks at all.
void Refilter(SearchWindow* s, int selectRow)
{
    if (!s->entries)
        return;
    char text[TEXT_QUERY_INPUT_SIZE];
    ReadQueryText(s->edit, text, sizeof(text));
    TextMatch_ParseQuery(&s->query, text);
    if (TextMatch_Narrows(s->lastQuery, text))
        SearchList_Refine(s->entries, &s->query);
    else
        SearchList_Filter(s->entries, &s->query);
    StrCopyN(s->lastQuery, sizeof(s->lastQuery), text);
    ShowFiltered(s, selectRow);
}

SearchOrder OrderOf(const AppInfo* info)
{
    SearchOrder order = {info->historyMax, info->registeredFirst, info->newestFirst};
    return order;
}

// The entries copied again from the clip store, after a change that this
// window made or found.
void Rebuild(SearchWindow* s, int selectRow)
{
    SearchOrder order = OrderOf(s->params.info);
    SearchList* fresh = SearchList_Build(s->params.data, &order);
    if (!fresh)
        return;
    SearchList_Free(s->entries);
    s->entries = fresh;
    s->tipEntry = -1;  // its entries are numbered anew
    Refilter(s, selectRow);
}

// Ends the window with the entry's id as the store has it now, handed to the
// owner as the text popup hands over a pick: as WM_COMMAND with that id. An
// entry the store no longer shows is not picked, and the list is brought up
// to date.
void PickSelected(SearchWindow* s)
{
    int row = SelectedRow(s);
    if (row < 0) {
        MessageBeep(MB_OK);
        return;
    }
    int id = SearchList_CurrentId(s->entries, s->entries->shown[row], s->params.data, s->params.info->historyMax);
    if (!id) {
        Rebuild(s, row);
        return;
    }
    s->pickedId = id;
    // The pick reaches the owner while this window still has the keyboard,
    // so that the owner sees the Shift of a Shift+Enter as the key state.
    HWND owner = GetWindow(s->window, GW_OWNER);
    if (owner)
        SendMessageA(owner, WM_COMMAND, MAKEWPARAM(id, 0), 0);
    if (IsWindow(s->window))
        DestroyWindow(s->window);
}

// Only history entries go; the registered texts are edited in their dialog.
void DeleteSelected(SearchWindow* s)
{
    int row = SelectedRow(s);
    if (row < 0)
        return;
    int entry = s->entries->shown[row];
    if (!IsHistoryId(s->entries->entries[entry].id)) {
        MessageBeep(MB_OK);
        return;
    }
    const char* text = SearchList_Text(s->entries, entry);
    if (AppData_RemoveWithOriginal(s->params.data, LIST_HISTORY, text, ClipText_Original(text)))
        AppData_SaveHistorySoon(s->params.data, s->params.info);
    Rebuild(s, row);
}

void ToggleFocus(SearchWindow* s)
{
    SetFocus(GetFocus() == s->edit ? s->list : s->edit);
}

// The keys that steer the window, taken before the edit box or the list sees
// them: Up, Down, Page Up and Page Down move the list's selection from the
// edit box too; Enter picks; Escape leaves; Tab moves between the two; Delete
// in the list removes a history entry.
bool TakeKey(SearchWindow* s, const MSG* msg)
{
    if (msg->message != WM_KEYDOWN || (msg->hwnd != s->edit && msg->hwnd != s->list))
        return false;
    switch (msg->wParam) {
    case VK_UP:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT:
        if (msg->hwnd != s->edit)
            return false;
        SendMessageA(s->list, WM_KEYDOWN, msg->wParam, msg->lParam);
        return true;
    case VK_RETURN:
        PickSelected(s);
        return true;
    case VK_ESCAPE:
        DestroyWindow(s->window);
        return true;
    case VK_TAB:
        ToggleFocus(s);
        return true;
    case VK_DELETE:
        if (msg->hwnd != s->list)
            return false;
        DeleteSelected(s);
        return true;
    }
    return false;
}

// ---------------------------------------------------------------- drawing

// A divider under the last line of the upper section when the lower one
// follows it, as the popup's separator does.
void DrawItem(SearchWindow* s, const DRAWITEMSTRUCT* item)
{
    if (item->itemID == static_cast<UINT>(-1) || !s->entries ||
        static_cast<int>(item->itemID) >= s->entries->shownCount)
        return;
    int row = static_cast<int>(item->itemID);
    int entry = s->entries->shown[row];
    bool selected = (item->itemState & ODS_SELECTED) != 0;
    HDC dc = item->hDC;
    RECT rect = item->rcItem;
    FillRect(dc, &rect, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    const char* text = SearchList_Text(s->entries, entry);
    const char* original = ClipText_Original(text);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    HGDIOBJ oldFont = SelectObject(dc, s->font);
    RECT textRect = rect;
    textRect.left += Scale(s, TEXT_INDENT_AT_96);
    const UINT format = DT_SINGLELINE | DT_NOPREFIX | DT_VCENTER | DT_END_ELLIPSIS;
    if (original) {
        char16_t wide[2 * SEARCH_LABEL_SIZE + 1];
        SearchList_MakeLabelW(wide, sizeof(wide) / sizeof(wide[0]), original, SEARCH_LABEL_SIZE);
        DrawTextW(dc, reinterpret_cast<const WCHAR*>(wide), -1, &textRect, format);
    } else {
        char label[SEARCH_LABEL_SIZE];
        SearchList_MakeLabel(label, sizeof(label), text);
        DrawTextA(dc, label, -1, &textRect, format);
    }
    SelectObject(dc, oldFont);
    bool lastOfUpper = row + 1 < s->entries->shownCount && SearchList_IsUpper(s->entries, entry) &&
                       !SearchList_IsUpper(s->entries, s->entries->shown[row + 1]);
    if (lastOfUpper) {
        RECT line = {rect.left, rect.bottom - 1, rect.right, rect.bottom};
        FillRect(dc, &line, GetSysColorBrush(COLOR_GRAYTEXT));
    }
    if (item->itemState & ODS_FOCUS)
        DrawFocusRect(dc, &rect);
}

// ---------------------------------------------------------------- messages

bool CreateChildren(SearchWindow* s)
{
    HINSTANCE instance = GetModuleHandleA(nullptr);
    s->edit = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, 0, 0,
                              0, 0, s->window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_SEARCH_EDIT)), instance,
                              nullptr);
    s->list = CreateWindowExA(WS_EX_CLIENTEDGE, "LISTBOX", "",
                              WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | LBS_NODATA | LBS_OWNERDRAWFIXED |
                                  LBS_NOINTEGRALHEIGHT | LBS_NOTIFY,
                              0, 0, 0, 0, s->window,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_SEARCH_LIST)), instance, nullptr);
    return s->edit && s->list;
}

LRESULT OnCreate(HWND window, const CREATESTRUCTA* create)
{
    SearchWindow* s = static_cast<SearchWindow*>(create->lpCreateParams);
    s->window = window;
    s->tipEntry = -1;
    DialogState_Attach(window, PROP_SEARCHWINDOW, s);
    DialogGuard_SetWindow(&g_guard, window);
    // The scaling of the monitor the window opens on; WM_DPICHANGED follows
    // it to another.
    s->dpi = static_cast<int>(Dpi_OfMonitorAt(s->params.anchor));
    ApplyFont(s);  // before the list, which asks for its line height as it is made
    if (!CreateChildren(s))
        return -1;
    SetChildFonts(s);
    SetDialogIcons(window);
    CreateTip(s);
    SearchOrder order = OrderOf(s->params.info);
    s->entries = SearchList_Build(s->params.data, &order);
    PlaceAtAnchor(s, SavedSize(s));
    LayOut(s);
    ShowFiltered(s, 0);
    return 0;
}

void OnDestroy(SearchWindow* s)
{
    HideTip(s);
    SaveSize(s);
    DialogState_Detach(s->window, PROP_SEARCHWINDOW);
    s->done = true;
}

void OnCommand(SearchWindow* s, int id, int code)
{
    if (id == IDC_SEARCH_EDIT && code == EN_CHANGE)
        Refilter(s, 0);
    else if (id == IDC_SEARCH_LIST && code == LBN_SELCHANGE)
        UpdateTip(s);
    else if (id == IDC_SEARCH_LIST && code == LBN_DBLCLK)
        PickSelected(s);
}

// A new DPI (the window moved to another monitor, with a manifest that asks
// for it) brings a new font and the size the system suggests.
void OnDpiChanged(SearchWindow* s, WPARAM wParam, const RECT* suggested)
{
    s->dpi = HIWORD(wParam);
    ApplyFont(s);
    SetChildFonts(s);
    if (suggested)
        SetWindowPos(s->window, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                     suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
    LayOut(s);
}

LRESULT CALLBACK SearchWindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_CREATE)
        return OnCreate(window, reinterpret_cast<const CREATESTRUCTA*>(lParam));
    SearchWindow* s = StateOf(window);
    if (!s)
        return DefWindowProcA(window, msg, wParam, lParam);
    switch (msg) {
    case WM_DESTROY:
        OnDestroy(s);
        return 0;
    case WM_SIZE:
        LayOut(s);
        UpdateTip(s, true);
        return 0;
    case WM_MOVE:
        UpdateTip(s, true);
        return 0;
    case WM_GETMINMAXINFO: {
        SIZE minimum = WindowSizeFor(s, MIN_COLUMNS, MIN_LINES);
        Placement_SetMinTrackSize(lParam, minimum.cx, minimum.cy);
        return 0;
    }
    case WM_ACTIVATE:
        // Leaving the window for another one closes it, as a popup closes.
        if (LOWORD(wParam) == WA_INACTIVE)
            PostMessageA(window, WM_CLOSE, 0, 0);
        else
            SetFocus(s->edit);
        return 0;
    case WM_SETFOCUS:
        SetFocus(s->edit);
        return 0;
    case WM_COMMAND:
        OnCommand(s, LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_MEASUREITEM:
        reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight = static_cast<UINT>(s->lineHeight);
        return TRUE;
    case WM_DRAWITEM:
        DrawItem(s, reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_DPICHANGED:
        OnDpiChanged(s, wParam, reinterpret_cast<const RECT*>(lParam));
        return 0;
    }
    return DefWindowProcA(window, msg, wParam, lParam);
}

bool RegisterSearchClass(HINSTANCE instance)
{
    WNDCLASSEXA existing;
    if (GetClassInfoExA(instance, SEARCH_WINDOW_CLASS, &existing))
        return true;
    WNDCLASSEXA wc;
    ZeroMemory(&wc, sizeof(wc));
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = SearchWindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszClassName = SEARCH_WINDOW_CLASS;
    return RegisterClassExA(&wc) != 0;
}

// Shown without ShowWindow, whose first call in a process may take the show
// state Tamarin was started with (minimised, say) instead of the one asked for.
void ShowInFront(HWND window)
{
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    SetForegroundWindow(window);
}

// The window's own loop: its keys first, then the usual translation. A quit
// request is put back for the program's loop.
void RunLoop(SearchWindow* s)
{
    MSG msg;
    while (!s->done) {
        BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (got < 0)
            break;
        if (TakeKey(s, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// One opening, from the window's making to its end.
int RunOpened(HWND owner, const SearchWindowParams* params)
{
    if (!params || !params->data || !params->info)
        return 0;
    HINSTANCE instance = GetModuleHandleA(nullptr);
    if (!RegisterSearchClass(instance))
        return 0;
    SearchWindow* s = static_cast<SearchWindow*>(calloc(1, sizeof(SearchWindow)));
    if (!s)
        return 0;
    s->params = *params;
    HWND window = CreateWindowExA(WINDOW_EX_STYLE, SEARCH_WINDOW_CLASS, SEARCH_WINDOW_TITLE, WINDOW_STYLE, 0, 0, 0, 0,
                                  owner, nullptr, instance, s);
    if (window) {
        ShowInFront(window);
        SetFocus(s->edit);
        RunLoop(s);
        if (IsWindow(window))
            DestroyWindow(window);
    }
    int picked = s->pickedId;
    SearchList_Free(s->entries);
    if (s->font)
        DeleteObject(s->font);
    free(s->tipText);
    free(s->tipWide);
    free(s);
    return picked;
}

}  // namespace

bool SearchWnd_IsOpen()
{
    return DialogGuard_IsOpen(&g_guard);
}

// The guard brings an open window to the front, whose activation gives its
// edit box the keyboard again.
int SearchWnd_Run(HWND owner, const SearchWindowParams* params)
{
    if (!DialogGuard_Enter(&g_guard, owner, false))
        return 0;
    int picked = RunOpened(owner, params);
    DialogGuard_Leave(&g_guard);
    return picked;
}
