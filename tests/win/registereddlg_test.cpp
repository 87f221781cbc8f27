// The registered-text list dialog, run for real from tamarin.exe's template:
// its layout, the labels of the texts, adding, editing and deleting through
// the buttons, the keys and the context menu, reordering by a real mouse drag,
// the commit on OK and the ways out that keep the store, the close question,
// the guard on the owner, the saved placement with the minimum size and the
// controls following a resize.
//
// The edit pad is answered by a stand-in set with RegisteredDlg_SetEditor,
// which notes how it was called and gives back the text a test queued for it.
//
// Every text the list items hold is a heap copy made and freed in one place
// of the dialog, which counts both (RegisteredDlg_GetTextCopies). Each test checks
// that as many copies were freed as made once the dialog has gone, and while
// it runs that exactly one live copy stands behind every item, each a pointer
// of its own: a copy leaked when an item is replaced or deleted, or freed
// twice, breaks one of the two.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "app/mainwnd.h"
#include "controls/draglistbox.h"
#include "editing/registereddlg.h"
#include "resources/dialogs_registered.h"
#include "resources/resource.h"
#include "store/appdata.h"
#include "ui/dialogguard.h"
#include "ui/dialogstate.h"
#include "ui/placement.h"
#include "unit/failingalloc.h"
#include "win/dialogdriver.h"
#include "win/input.h"

namespace {

// 登録テキストの編集
const char CAPTION[] = "\x93\x6f\x98\x5e\x83\x65\x83\x4c\x83\x58\x83\x67\x82\xcc\x95\xd2\x8f\x57";
// 登録ﾃｷｽﾄの編集
const char MENU_CAPTION[] = "\x93\x6f\x98\x5e\xc3\xb7\xbd\xc4\x82\xcc\x95\xd2\x8f\x57";
// 保存しますか？
const char MSG_SAVE[] = "\x95\xdb\x91\xb6\x82\xb5\x82\xdc\x82\xb7\x82\xa9\x81\x48";
// ＭＳ Ｐゴシック
const char TEXT_ADD[] = "\x92\xc7\x89\xc1(&A)";     // 追加(&A)
const char TEXT_EDIT[] = "\x95\xd2\x8f\x57(&E)";    // 編集(&E)
const char TEXT_DELETE[] = "\x8d\xed\x8f\x9c(&D)";  // 削除(&D)
const char TEXT_CANCEL[] = "\xb7\xac\xdd\xbe\xd9";  // ｷｬﾝｾﾙ
const char TEXT_LIST_GROUP[] = "\x83\x8a\x83\x58\x83\x67";    // リスト
const char TEXT_BUTTON_GROUP[] = "\x83\x7b\x83\x5e\x83\x93";  // ボタン

using Texts = std::vector<std::string>;

// ---------------------------------------------------------------- the edit pad stand-in

struct EditorCall {
    HWND owner;
    bool hadText;        // false: started without a text (the clipboard's)
    std::string text;    // the initial text handed over
    bool ownerVisible;   // the dialog stood aside while the pad ran
    bool ownerGuarded;   // the owner's PROP_DIALOG would have refused the pad
};

struct EditorAnswer {
    bool give;  // false: the pad was cancelled
    std::string text;
};

struct Editor {
    std::vector<EditorAnswer> answers;  // taken from the front
    std::vector<EditorCall> calls;
};

Editor g_editor;

char* StandInEditor(HWND owner, const char* initialText)
{
    EditorCall call;
    call.owner = owner;
    call.hadText = initialText != nullptr;
    call.text = initialText ? initialText : "";
    call.ownerVisible = IsWindowVisible(owner) != FALSE;
    call.ownerGuarded = GetPropA(owner, PROP_DIALOG) != nullptr;
    g_editor.calls.push_back(call);
    if (g_editor.answers.empty())
        return nullptr;
    EditorAnswer answer = g_editor.answers.front();
    g_editor.answers.erase(g_editor.answers.begin());
    if (!answer.give)
        return nullptr;
    char* text = static_cast<char*>(malloc(answer.text.size() + 1));
    memcpy(text, answer.text.c_str(), answer.text.size() + 1);
    return text;
}

// ---------------------------------------------------------------- reading the dialog

HWND List(HWND dialog)
{
    return GetDlgItem(dialog, IDC_REG_LIST);
}

int Count(HWND dialog)
{
    return static_cast<int>(SendMessageA(List(dialog), LB_GETCOUNT, 0, 0));
}

Texts Labels(HWND dialog)
{
    Texts out;
    HWND list = List(dialog);
    for (int i = 0; i < Count(dialog); i++) {
        LRESULT length = SendMessageA(list, LB_GETTEXTLEN, i, 0);
        std::string label(static_cast<size_t>(length < 0 ? 0 : length) + 1, '\0');
        SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(&label[0]));
        label.resize(strlen(label.c_str()));
        out.push_back(label);
    }
    return out;
}

// The full texts behind the items.
Texts ItemTexts(HWND dialog)
{
    Texts out;
    for (int i = 0; i < Count(dialog); i++) {
        const char* data = reinterpret_cast<const char*>(SendMessageA(List(dialog), LB_GETITEMDATA, i, 0));
        out.push_back(data ? data : "<none>");
    }
    return out;
}

int Selection(HWND dialog)
{
    return static_cast<int>(SendMessageA(List(dialog), LB_GETCURSEL, 0, 0));
}

void SelectItem(HWND dialog, int index)
{
    SendMessageA(List(dialog), LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

struct Buttons {
    bool add, edit, del;
    bool operator==(const Buttons& o) const { return add == o.add && edit == o.edit && del == o.del; }
};

std::ostream& operator<<(std::ostream& out, const Buttons& b)
{
    return out << "add " << b.add << ", edit " << b.edit << ", delete " << b.del;
}

Buttons ButtonStates(HWND dialog)
{
    return {IsWindowEnabled(GetDlgItem(dialog, IDC_REG_ADD)) != FALSE,
            IsWindowEnabled(GetDlgItem(dialog, IDC_REG_EDIT)) != FALSE,
            IsWindowEnabled(GetDlgItem(dialog, IDC_REG_DELETE)) != FALSE};
}

long LiveCopies()
{
    RegisteredTextCopies copies = RegisteredDlg_GetTextCopies();
    return copies.made - copies.freed;
}

// One live copy behind every item, each its own, each holding the item's
// text; liveBefore is the count of copies alive before the dialog opened.
void ExpectOneCopyPerItem(HWND dialog, long liveBefore)
{
    HWND list = List(dialog);
    int count = Count(dialog);
    EXPECT_EQ(LiveCopies() - liveBefore, count);
    std::vector<const char*> seen;
    for (int i = 0; i < count; i++) {
        const char* data = reinterpret_cast<const char*>(SendMessageA(list, LB_GETITEMDATA, i, 0));
        EXPECT_NE(data, nullptr) << "item " << i;
        for (const char* earlier : seen)
            EXPECT_NE(earlier, data) << "item " << i << " shares its text";
        seen.push_back(data);
    }
}

// The key as the list box receives it when it has the focus.
void PostKey(HWND dialog, UINT vk)
{
    PostMessageA(List(dialog), WM_KEYDOWN, vk, 1);
}

// ---------------------------------------------------------------- the store

// The registered list in order, first entry first.
Texts Registered(const AppData* data)
{
    Texts out;
    for (int i = 0; i < AppData_GetCount(data, LIST_REGISTERED); i++)
        out.push_back(AppData_GetAt(data, LIST_REGISTERED, i));
    return out;
}

// The store adds at the head: the last text goes in first.
void FillRegistered(AppData* data, const Texts& texts)
{
    for (size_t i = texts.size(); i-- > 0;)
        AppData_Add(data, LIST_REGISTERED, texts[i].c_str());
}

// ---------------------------------------------------------------- menus

struct MenuSearch {
    HWND found;
};

BOOL CALLBACK MatchVisibleMenu(HWND window, LPARAM data)
{
    char name[32];
    if (IsWindowVisible(window) && GetClassNameA(window, name, sizeof name) > 0 && strcmp(name, "#32768") == 0) {
        reinterpret_cast<MenuSearch*>(data)->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND FindVisibleMenu()
{
    MenuSearch search = {nullptr};
    EnumThreadWindows(GetCurrentThreadId(), MatchVisibleMenu, reinterpret_cast<LPARAM>(&search));
    if (!search.found) {
        HWND any = FindWindowA("#32768", nullptr);
        if (any && IsWindowVisible(any))
            search.found = any;
    }
    return search.found;
}

// ---------------------------------------------------------------- the mouse

POINT ItemPoint(HWND dialog, int index)
{
    RECT r;
    SendMessageA(List(dialog), LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r));
    POINT p = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ClientToScreen(List(dialog), &p);
    return p;
}

POINT BelowLastItem(HWND dialog)
{
    RECT r;
    SendMessageA(List(dialog), LB_GETITEMRECT, Count(dialog) - 1, reinterpret_cast<LPARAM>(&r));
    POINT p = {(r.left + r.right) / 2, r.bottom + (r.bottom - r.top) / 2};
    ClientToScreen(List(dialog), &p);
    return p;
}

// Steps: move the pointer there and wait until it has arrived, then let the
// dialog see the move.
void AddMouseMove(DialogScript* script, const POINT* to)
{
    script->Add(Do([=]() { SendMouseTo(*to); }));
    script->Add([=]() { return CursorIsAt(*to); });
    script->Add(Settled());
}

// ---------------------------------------------------------------- placement

int ReadIni(const char* path, const char* key)
{
    return static_cast<int>(GetPrivateProfileIntA(CAPTION, key, -12345, path));
}

void WriteIni(const char* path, const char* key, int value)
{
    char text[16];
    snprintf(text, sizeof text, "%d", value);
    WritePrivateProfileStringA(CAPTION, key, text, path);
}

SIZE WindowSize(HWND window)
{
    RECT r;
    GetWindowRect(window, &r);
    SIZE s = {r.right - r.left, r.bottom - r.top};
    return s;
}

// A control's rectangle in the dialog's client coordinates.
RECT ControlRect(HWND dialog, int id)
{
    RECT r;
    GetWindowRect(GetDlgItem(dialog, id), &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// A control of the template in pixels, as the dialog manager places it:
// position and size are converted each on its own.
RECT TemplatePixels(HWND dialog, short x, short y, short cx, short cy)
{
    RECT units = {x, y, cx, cy};
    MapDialogRect(dialog, &units);
    RECT pixels = {units.left, units.top, units.left + units.right, units.top + units.bottom};
    return pixels;
}

// Where a control of the template sits, in pixels, measured from the right
// and bottom edges of the client area at the template size.
struct EdgeDistances {
    LONG right, bottom, width, height;
};

EdgeDistances TemplateEdges(HWND dialog, short x, short y, short cx, short cy)
{
    RECT client = {0, 0, 164, 98};
    MapDialogRect(dialog, &client);
    RECT at = TemplatePixels(dialog, x, y, cx, cy);
    return {client.right - at.right, client.bottom - at.bottom, at.right - at.left, at.bottom - at.top};
}

// ---------------------------------------------------------------- fixture

class RegisteredDlg : public TamarinDialogTest {
protected:
    void SetUp() override
    {
        TamarinDialogTest::SetUp();
        if (IsSkipped())
            return;
        MakeTempName(ini_, sizeof ini_, "tamarin_regdlg", ".ini");
        DeleteFileA(ini_);
        data_ = AppData_New();
        ASSERT_NE(data_, nullptr);
        g_editor = Editor();
        RegisteredDlg_SetEditor(StandInEditor);
        liveBefore_ = LiveCopies();
        // The dialog opens centred on the pointer: keep it clear of the edges.
        SetCursorPos(GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2);
    }
    void TearDown() override
    {
        if (!module_)
            return;
        RegisteredDlg_SetEditor(nullptr);
        AppData_Delete(data_);
        DeleteFileA(ini_);
        EXPECT_EQ(LiveCopies(), liveBefore_) << "text copies of the list items were leaked or freed twice";
    }

    bool Open(HWND owner = nullptr) { return RegisteredDlg_OpenFrom(module_, owner, data_, ini_); }

    // Steps: wait for the dialog and, once it shows, check it against the store.
    void AddWaitForDialog(DialogScript* script)
    {
        script->Add(WaitForDialog(&dialog_, CAPTION, IDC_REG_LIST));
    }

    void ExpectCopies() { ExpectOneCopyPerItem(dialog_, liveBefore_); }

    char ini_[MAX_PATH];
    AppData* data_ = nullptr;
    long liveBefore_ = 0;
    HWND dialog_ = nullptr;
};

// ---------------------------------------------------------------- resources

const ExpectedItem REGISTERED_ITEMS[] = {
    {IDC_REG_LIST, "ListBox", "", 7, 7, 99, 84, NO_TYPE,
     WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
     LBS_SORT | LBS_MULTIPLESEL | LBS_EXTENDEDSEL | LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE},
    {IDC_REG_ADD, "Button", TEXT_ADD, 107, 7, 50, 14, BS_PUSHBUTTON, WS_VISIBLE | WS_TABSTOP, 0},
    {IDC_REG_EDIT, "Button", TEXT_EDIT, 107, 21, 50, 14, BS_PUSHBUTTON, WS_VISIBLE | WS_TABSTOP, 0},
    {IDC_REG_DELETE, "Button", TEXT_DELETE, 107, 35, 50, 14, BS_PUSHBUTTON, WS_VISIBLE | WS_TABSTOP, 0},
    {IDOK, "Button", "OK", 107, 56, 50, 14, BS_DEFPUSHBUTTON, WS_VISIBLE | WS_TABSTOP, 0},
    {IDCANCEL, "Button", TEXT_CANCEL, 107, 70, 50, 14, BS_PUSHBUTTON, WS_VISIBLE | WS_TABSTOP, 0},
};

TEST_F(RegisteredDlg, TemplateMatchesTheLayout)
{
    TemplateDialog dialog;
    ASSERT_TRUE(ReadDialogTemplate(module_, IDD_REGISTERED, &dialog));
    EXPECT_EQ(dialog.caption, CAPTION);
    EXPECT_EQ(dialog.font, TEMPLATE_FONT);
    EXPECT_EQ(dialog.pointSize, 9);
    EXPECT_EQ(dialog.cx, 164);
    EXPECT_EQ(dialog.cy, 98);
    DWORD frame = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX |
                  WS_CLIPCHILDREN;
    EXPECT_EQ(dialog.style & frame, frame);
    EXPECT_EQ(dialog.style & WS_VISIBLE, 0u);

    // The six controls, then the two hidden group boxes without ids.
    const size_t shown = sizeof(REGISTERED_ITEMS) / sizeof(REGISTERED_ITEMS[0]);
    ASSERT_EQ(dialog.items.size(), shown + 2);
    ExpectTemplateItems(dialog, REGISTERED_ITEMS, shown);
    const char* groupTexts[] = {TEXT_LIST_GROUP, TEXT_BUTTON_GROUP};
    for (size_t i = 0; i < 2; i++) {
        const TemplateItem& group = dialog.items[shown + i];
        EXPECT_EQ(group.id, -1);
        EXPECT_TRUE(SameClass(group.klass, "Button"));
        EXPECT_EQ(group.style & BS_TYPEMASK, static_cast<DWORD>(BS_GROUPBOX));
        EXPECT_EQ(group.style & WS_VISIBLE, 0u);
        EXPECT_EQ(group.text, groupTexts[i]);
    }
}

TEST_F(RegisteredDlg, ContextMenuHoldsEditAndDelete)
{
    HMENU loaded = LoadMenuA(module_, MAKEINTRESOURCEA(IDR_REGISTERED_MENU));
    ASSERT_NE(loaded, nullptr);
    ASSERT_EQ(GetMenuItemCount(loaded), 1);
    char text[64] = "";
    GetMenuStringA(loaded, 0, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, MENU_CAPTION);
    HMENU popup = GetSubMenu(loaded, 0);
    ASSERT_NE(popup, nullptr);
    ASSERT_EQ(GetMenuItemCount(popup), 2);
    EXPECT_EQ(GetMenuItemID(popup, 0), static_cast<UINT>(IDM_REG_EDIT));
    EXPECT_EQ(GetMenuItemID(popup, 1), static_cast<UINT>(IDM_REG_DELETE));
    GetMenuStringA(popup, 0, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, TEXT_EDIT);
    GetMenuStringA(popup, 1, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, TEXT_DELETE);
    DestroyMenu(loaded);
}

// The colour of a cursor pixel from its two masks: 'k' black, 'w' white,
// ' ' transparent, 'i' inverted.
char CursorPixel(const std::vector<BYTE>& mask, int x, int y)
{
    // One 1-bit DIB of 32 x 64, top-down rows of 4 bytes: AND mask above, XOR below.
    auto bit = [&](int row) { return (mask[static_cast<size_t>(row * 4 + x / 8)] >> (7 - x % 8)) & 1; };
    int andBit = bit(y), xorBit = bit(32 + y);
    return andBit ? (xorBit ? 'i' : ' ') : (xorBit ? 'w' : 'k');
}

std::vector<BYTE> MonochromeMask(HBITMAP bitmap)
{
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colours[2];
    } info;
    memset(&info, 0, sizeof info);
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biWidth = 32;
    info.header.biHeight = -64;
    info.header.biPlanes = 1;
    info.header.biBitCount = 1;
    std::vector<BYTE> bits(4 * 64);
    HDC dc = GetDC(nullptr);
    GetDIBits(dc, bitmap, 0, 64, bits.data(), reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    ReleaseDC(nullptr, dc);
    return bits;
}

// A cursor shows the image of a cursor resource when its hotspot and both
// masks are the resource's.
bool IsCursorResource(HCURSOR shown, HMODULE module, int id)
{
    if (!shown)
        return false;
    HCURSOR resource = static_cast<HCURSOR>(LoadImageA(module, MAKEINTRESOURCEA(id), IMAGE_CURSOR, 32, 32, 0));
    ICONINFO a, b;
    bool same = false;
    if (resource && GetIconInfo(shown, &a)) {
        if (GetIconInfo(resource, &b)) {
            same = a.xHotspot == b.xHotspot && a.yHotspot == b.yHotspot && !a.hbmColor && !b.hbmColor &&
                   MonochromeMask(a.hbmMask) == MonochromeMask(b.hbmMask);
            DeleteObject(b.hbmMask);
            if (b.hbmColor)
                DeleteObject(b.hbmColor);
        }
        DeleteObject(a.hbmMask);
        if (a.hbmColor)
            DeleteObject(a.hbmColor);
    }
    if (resource)
        DestroyCursor(resource);
    return same;
}

struct CursorCase {
    int id;
    DWORD hotX, hotY;
};

TEST_F(RegisteredDlg, DragCursorsAreMonochromeWithTheirHotspots)
{
    const CursorCase cases[] = {{IDC_DRAG_NO, 15, 15}, {IDC_DRAG_MOVE, 5, 9}};
    for (const CursorCase& c : cases) {
        SCOPED_TRACE(c.id);
        HCURSOR cursor = static_cast<HCURSOR>(
            LoadImageA(module_, MAKEINTRESOURCEA(c.id), IMAGE_CURSOR, 32, 32, LR_DEFAULTCOLOR));
        ASSERT_NE(cursor, nullptr);
        ICONINFO info;
        ASSERT_TRUE(GetIconInfo(cursor, &info));
        EXPECT_FALSE(info.fIcon);
        EXPECT_EQ(info.xHotspot, c.hotX);
        EXPECT_EQ(info.yHotspot, c.hotY);
        EXPECT_EQ(info.hbmColor, nullptr) << "a monochrome cursor has only its mask";
        BITMAP mask;
        ASSERT_TRUE(GetObjectA(info.hbmMask, sizeof mask, &mask));
        EXPECT_EQ(mask.bmWidth, 32);
        EXPECT_EQ(mask.bmHeight, 64);
        std::vector<BYTE> bits = MonochromeMask(info.hbmMask);
        // The hotspot lies on the black shape; the corners let the screen through.
        EXPECT_EQ(CursorPixel(bits, static_cast<int>(c.hotX), static_cast<int>(c.hotY)), 'k');
        EXPECT_EQ(CursorPixel(bits, 0, 0), ' ');
        EXPECT_EQ(CursorPixel(bits, 31, 0), ' ');
        DeleteObject(info.hbmMask);
        if (info.hbmColor)
            DeleteObject(info.hbmColor);
        DestroyCursor(cursor);
    }
    // The prohibition sign is a ring: clear inside it beside the bar, black
    // on the ring, and the bar runs from upper left to lower right.
    HCURSOR no = static_cast<HCURSOR>(LoadImageA(module_, MAKEINTRESOURCEA(IDC_DRAG_NO), IMAGE_CURSOR, 32, 32, 0));
    ASSERT_NE(no, nullptr);
    ICONINFO info;
    ASSERT_TRUE(GetIconInfo(no, &info));
    std::vector<BYTE> bits = MonochromeMask(info.hbmMask);
    EXPECT_EQ(CursorPixel(bits, 15, 4), 'k');   // ring, top
    EXPECT_EQ(CursorPixel(bits, 15, 26), 'k');  // ring, bottom
    EXPECT_EQ(CursorPixel(bits, 10, 10), 'k');  // bar
    EXPECT_EQ(CursorPixel(bits, 20, 20), 'k');  // bar
    EXPECT_NE(CursorPixel(bits, 20, 10), 'k');  // inside the ring, off the bar
    EXPECT_NE(CursorPixel(bits, 10, 20), 'k');
    DeleteObject(info.hbmMask);
    DestroyCursor(no);
}

// ---------------------------------------------------------------- opening

struct LabelCase {
    std::string text;
    std::string label;
};

TEST_F(RegisteredDlg, ListsTheTextsAsOneLineLabelsWithTheFirstSelected)
{
    const LabelCase cases[] = {
        {"plain", "plain"},
        {"line one\r\nline two\tend", "line oneline twoend"},
        // Japanese text: 日本語\r\nテキスト
        {"\x93\xfa\x96\x7b\x8c\xea\r\n\x83\x65\x83\x4c\x83\x58\x83\x67",
         "\x93\xfa\x96\x7b\x8c\xea\x83\x65\x83\x4c\x83\x58\x83\x67"},
        {std::string(300, 'a'), std::string(256, 'a')},
        // Control characters are left out before the label is cut.
        {"\n\n" + std::string(256, 'b') + "c", std::string(256, 'b')},
        // あ would take bytes 255 and 256 of the label: it is left out whole.
        {std::string(255, 'c') + "\x82\xa0xyz", std::string(255, 'c')},
        // あ as bytes 254 and 255 still fits.
        {std::string(254, 'd') + "\x82\xa0xyz", std::string(254, 'd') + "\x82\xa0"},
        // 表 (trail byte 0x5C) at the very end of the 256 bytes.
        {std::string(254, 'e') + "\x95\x5c" + "f", std::string(254, 'e') + "\x95\x5c"},
    };
    Texts texts, labels;
    for (const LabelCase& c : cases) {
        texts.push_back(c.text);
        labels.push_back(c.label);
    }
    FillRegistered(data_, texts);
    ASSERT_EQ(Registered(data_), texts);

    DialogScript script;
    AddWaitForDialog(&script);
    script.Add(Do([&]() {
        EXPECT_EQ(Labels(dialog_), labels);
        EXPECT_EQ(ItemTexts(dialog_), texts);
        EXPECT_EQ(Selection(dialog_), 0);
        EXPECT_EQ(ButtonStates(dialog_), (Buttons{true, true, true}));
        EXPECT_EQ(GetFocus(), List(dialog_));
        EXPECT_EQ(GetPropA(dialog_, PROP_DIALOGPARAM), data_);
        ExpectCopies();
        PostButton(dialog_, IDCANCEL);
    }));
    EXPECT_FALSE(RunDialogScript(&script, [&]() { return Open(); }));
    EXPECT_EQ(Registered(data_), texts);
}

TEST_F(RegisteredDlg, EmptyStoreShowsOnlyAddAndOkLeavesItEmpty)
{
    DialogScript script;
    AddWaitForDialog(&script);
    script.Add(Do([&]() {
        EXPECT_EQ(Count(dialog_), 0);
        EXPECT_EQ(Selection(dialog_), -1);
        EXPECT_EQ(ButtonStates(dialog_), (Buttons{true, false, false}));
        // Edit and Delete without a selection do nothing.
        SendMessageA(dialog_, WM_COMMAND, IDC_REG_EDIT, 0);
        SendMessageA(dialog_, WM_COMMAND, IDC_REG_DELETE, 0);
        SendMessageA(dialog_, WM_COMMAND, IDM_REG_EDIT, 0);
        EXPECT_TRUE(g_editor.calls.empty());
        PostButton(dialog_, IDOK);
    }));
    EXPECT_TRUE(RunDialogScript(&script, [&]() { return Open(); }));
    EXPECT_TRUE(Registered(data_).empty());
}

// ---------------------------------------------------------------- add, edit, delete

TEST_F(RegisteredDlg, AddPutsTheNewTextOnTopAndSelectsIt)
{
    FillRegistered(data_, {"one", "two"});
    g_editor.answers = {{true, "new\r\ntext"}, {false, ""}};

    DialogScript script;
    AddWaitForDialog(&script);
    script.Add(Do([&]() {
        SelectItem(dialog_, 1);
        PostButton(dialog_, IDC_REG_ADD);
    }));
    script.Add(WaitForDialog(&dialog_, CAPTION, IDC_REG_LIST));
    script.Add(Do([&]() {
        ASSERT_EQ(g_editor.calls.size(), 1u);
        const EditorCall& call = g_editor.calls[0];
        EXPECT_EQ(call.owner, dialog_);
        EXPECT_FALSE(call.hadText) << "Add starts the pad with the clipboard text";
        EXPECT_FALSE(call.ownerVisible) << "the dialog hides while the pad is open";
        EXPECT_FALSE(call.ownerGuarded) << "the pad opened from the dialog must not be refused";
        EXPECT_TRUE(IsWindowVisible(dialog_));
        EXPECT_EQ(Labels(dialog_), (Texts{"newtext", "one", "two"}));
        EXPECT_EQ(ItemTexts(dialog_), (Texts{"new\r\ntext", "one", "two"}));
        EXPECT_EQ(Selection(dialog_), 0);
        ExpectCopies();
        // A cancelled pad changes nothing.
        PostButton(dialog_, IDC_REG_ADD);
    }));
    script.Add(WaitForDialog(&dialog_, CAPTION, IDC_REG_LIST));
    script.Add(Do([&]() {
        EXPECT_EQ(g_editor.calls.size(), 2u);
        EXPECT_EQ(ItemTexts(dialog_), (Texts{"new\r\ntext", "one", "two"}));
        EXPECT_EQ(Selection(dialog_), 0);
        ExpectCopies();
        PostButton(dialog_, IDOK);
    }));
    EXPECT_TRUE(RunDialogScript(&script, [&]() { return Open(); }));
    EXPECT_EQ(Registered(data_), (Texts{"new\r\ntext", "one", "two"}));
}

TEST_F(RegisteredDlg, EditHandsTheFullTextToThePadAndKeepsThePlace)
{
    std::string longText = "first line\r\n" + std::string(400, 'x') + "\r\nlast line";
    FillRegistered(data_, {"alpha", longText, "gamma"});
    g_editor.answers = {{true, "beta\r\nedited"}, {false, ""}, {true, "by double-click"}, {true, "by menu"}};

    DialogScript script;
    AddWaitForDialog(&script);
    script.Add(Do([&]() {
        SelectItem(dialog_, 1);
        PostButton(dialog_, IDC_REG_EDIT);
    }));
    script.Add(WaitForDialog(&dialog_, CAPTION, IDC_REG_LIST));
    script.Add(Do([&]() {
        ASSERT_EQ(g_editor.calls.size(), 1u);
        EXPECT_TRUE(g_editor.calls[0].hadText);
        EXPECT_EQ(g_editor.calls[0].text, longText);
        EXPECT_FALSE(g_editor.calls[0].ownerVisible);
        EXPECT_EQ(Labels(dialog_), (Texts{"alpha", "betaedited", "gamma"}));
        EXPECT_EQ(ItemTexts(dialog_), (Texts{"alpha", "beta\r\nedited", "gamma"}));
        EXPECT_EQ(Selection(dialog_), 1);
        ExpectCopies();
        // Cancelled: the item stays as it is.
        SelectItem(dialog_, 2);
        PostButton(dialog_, IDC_REG_EDIT);
    }));
    script.Add(WaitForDialog(&dialog_, CAPTION, IDC_REG_LIST));
    script.Add(Do([&]() {
        ASSERT_EQ(g_editor.calls.size(), 2u);
        EXPECT_EQ(g_editor.calls[1].text, "gamma");
        EXPECT_EQ(ItemTexts(dialog_), (Texts{"alpha", "beta\r\nedited", "gamma"}));
        ExpectCopies();
        // A double-click on the list edits too.
        SelectItem(dialog_, 0);
        PostMessageA(dialog_, WM_COMMAND, MAKEWPARAM(IDC_REG_LIST, LBN_DBLCLK),
                     reinterpret_cast<LPARAM>(List(dialog_)));
    }));
    script.Add(WaitForDialog(&dialog_, CAPTION, IDC_REG_LIST));
    script.Add(Do([&]() {
        ASSERT_EQ(g_editor.calls.size(), 3u);
        EXPECT_EQ(g_editor.calls[2].text, "alpha");
        EXPECT_EQ(ItemTexts(dialog_), (Texts{"by double-click", "beta\r\nedited", "gamma"}));
        EXPECT_EQ(Selection(dialog_), 0);
        // Other list notifications do not edit.
        PostMessageA(dialog_, WM_COMMAND, MAKEWPARAM(IDC_REG_LIST, LBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(List(dialog_)));
    }));
    script.Add(Settled());
    script.Add(Do([&]() {
        EXPECT_EQ(g_editor.calls.size(), 3u);
        // The context menu's edit command.
        SelectItem(dialog_, 2);
        PostMessageA(dialog_, WM_COMMAND, IDM_REG_EDIT, 0);
    }));
    script.Add(WaitForDialog(&dialog_, CAPTION, IDC_REG_LIST));
    script.Add(Do([&]() {
        ASSERT_EQ(g_editor.calls.size(), 4u);
        EXPECT_EQ(g_editor.calls[3].text, "gamma");
        EXPECT_EQ(ItemTexts(dialog_), (Texts{"by double-click", "beta\r\nedited", "by menu"}));
        EXPECT_EQ(Selection(dialog_), 2);
        ExpectCopies();
        PostButton(dialog_, IDOK);
    }));
    EXPECT_TRUE(RunDialogScript(&script, [&]() { return Open(); }));
    EXPECT_EQ(Registered(data_), (Texts{"by double-click", "beta\r\nedited", "by menu"}));
}

struct DeleteCase {
    int selected;
    Texts after;
    int selectedAfter;
};

TEST_F(RegisteredDlg, DeleteSelectsTheNextItemOrTheNewLast)
{
    FillRegistered(data_, {"A", "B", "C", "D"});
    const DeleteCase cases[] = {
        {1, {"A", "C", "D"}, 1},  // the item that moved up into its place
        {2, {"A", "C"}, 1},       // the last: the new last
        {0, {"C"}, 0},
        {0, {}, -1},              // the only one: no selection left
    };
    DialogScript script;
    AddWaitForDialog(&script);
    for (const DeleteCase& c : cases) {
        script.Add(Do([&]() {
            SelectItem(dialog_, c.selected);
            PostButton(dialog_, IDC_REG_DELETE);
        }));
        script.Add(Settled());
        script.Add(Do([&]() {
            SCOPED_TRACE(c.selected);
            EXPECT_EQ(ItemTexts(dialog_), c.after);
            EXPECT_EQ(Selection(dialog_), c.selectedAfter);
            bool any = !c.after.empty();
            EXPECT_EQ(ButtonStates(dialog_), (Buttons{true, any, any}));
            ExpectCopies();
        }));
    }
    // Nothing asked before deleting, and the pad never opened.
    script.Add(Do([&]() {
        EXPECT_EQ(FindMessageBox(dialog_), nullptr);
        EXPECT_TRUE(g_editor.calls.empty());
        PostButton(dialog_, IDOK);
    }));
    EXPECT_TRUE(RunDialogScript(&script, [&]() { return Open(); }));
    EXPECT_TRUE(Registered(data_).empty());
}

TEST_F(RegisteredDlg, ContextMenuDeleteCommandDeletesTheSelection)
{
    FillRegistered(data_, {"A", "B", "C"});
    DialogScript script;
    AddWaitForDialog(&script);
    script.Add(Do([&]() {
        SelectItem(dialog_, 2);
        PostMessageA(dialog_, WM_COMMAND, IDM_REG_DELETE, 0);
    }));
    script.Add(Settled());
    script.Add(Do([&]() {
        EXPECT_EQ(ItemTexts(dialog_), (Texts{"A", "B"}));
        EXPECT_EQ(Selection(dialog_), 1);
        ExpectCopies();
        PostButton(dialog_, IDOK);
    }));
    EXPECT_TRUE(RunDialogScript(&script, [&]() { return Open(); }));
    EXPECT_EQ(Registered(data_), (Texts{"A", "B"}));
}

// ---------------------------------------------------------------- keys

TEST_F(RegisteredDlg, BackspaceDoesNothingSpaceEditsDeleteDeletes)
{
    FillRegistered(data_, {"A", "B", "C"});
    g_editor.answers = {{true, "B2"}};
    RegisteredTextCopies atDelete = {0, 0};

    DialogScript script;
    AddWaitForDialog(&script);
    script.Add(Do([&]() {
        SelectItem(dialog_, 1);
        PostKey(dialog_, VK_BACK);
    }));
    script.Add(Settled());
    script.Add(Do([&]() {
        EXPECT_EQ(ItemTexts(dialog_), (Texts{"A", "B", "C"})) << "Backspace deletes nothing";
        EXPECT_EQ(Selection(dialog_), 1);
        EXPECT_TRUE(g_editor.calls.empty());
        PostKey(dialog_, VK_SPACE);
    }));
    script.Add(WaitForDialog(&dialog_, CAPTION, IDC_REG_LIST));
    script.Add(Do([&]() {
        ASSERT_EQ(g_editor.calls.size(), 1u);
        EXPECT_EQ(g_editor.calls[0].text, "B");
        EXPECT_EQ(g_editor.calls[0].owner, dialog_);
        EXPECT_EQ(ItemTexts(dialog_), (Texts{"A", "B2", "C"}));
        EXPECT_EQ(Selection(dialog_), 1);
        atDelete = RegisteredDlg_GetTextCopies();
        PostKey(dialog_, VK_DELETE);
    }));
    script.Add(Settled());
    script.Add(Do([&]() {
        EXPECT_EQ(ItemTexts(dialog_), (Texts{"A", "C"}));
        EXPECT_EQ(Selection(dialog_), 1);
        // The deleted item's text was freed at once, not left for the end.
        EXPECT_EQ(RegisteredDlg_GetTextCopies().freed, atDelete.freed + 1);
        EXPECT_EQ(RegisteredDlg_GetTextCopies().made, atDelete.made);
        ExpectCopies();
        PostButton(dialog_, IDOK);
    }));
    EXPECT_TRUE(RunDialogScript(&script, [&]() { return Open(); }));
    EXPECT_EQ(Registered(data_), (Texts{"A", "C"}));
}

TEST_F(RegisteredDlg, MenuKeyOpensTheContextMenuOnlyWithASelection)
{
    FillRegistered(data_, {"A", "B", "C"});
    g_editor.answers = {{true, "B from the menu"}};

    DialogScript script;
    AddWaitForDialog(&script);
    // Without a selection the menu stays shut.
    script.Add(Do([&]() {
        SelectItem(dialog_, -1);
        PostKey(dialog_, VK_APPS);
    }));
    script.Add(Settled());
    script.Add(Do([&]() {
        EXPECT_EQ(FindVisibleMenu(), nullptr);
        SelectItem(dialog_, 1);
        PostKey(dialog_, VK_APPS);
    }));
    // The menu opens; its mnemonic E picks 編集(&E).
    script.Add([]() { return FindVisibleMenu() != nullptr; });
    script.Add(Do([&]() { PostMessageA(dialog_, WM_CHAR, 'e', 1); }));
    script.Add([]() { return FindVisibleMenu() == nullptr; });
    script.Add(WaitForDialog(&dialog_, CAPTION, IDC_REG_LIST));
    script.Add([&]() { return !g_editor.calls.empty(); });
    script.Add(Do([&]() {
        EXPECT_EQ(g_editor.calls[0].text, "B");
        EXPECT_EQ(ItemTexts(dialog_), (Texts{"A", "B from the menu", "C"}));
        // Its mnemonic D picks 削除(&D).
        SelectItem(dialog_, 0);
        PostKey(dialog_, VK_APPS);
    }));
    script.Add([]() { return FindVisibleMenu() != nullptr; });
    script.Add(Do([&]() { PostMessageA(dialog_, WM_CHAR, 'd', 1); }));
    script.Add([&]() { return FindVisibleMenu() == nullptr && Count(dialog_) == 2; });
    script.Add(Do([&]() {
        EXPECT_EQ(ItemTexts(dialog_), (Texts{"B from the menu", "C"}));
        EXPECT_EQ(Selection(dialog_), 0);
        ExpectCopies();
        PostButton(dialog_, IDOK);
    }));
    EXPECT_TRUE(RunDialogScript(&script, [&]() { return Open(); }));
    EXPECT_EQ(Registered(data_), (Texts{"B from the menu", "C"}));
}

TEST_F(RegisteredDlg, EscapeCancelsWithoutAQuestion)
{
    FillRegistered(data_, {"A", "B"});
    DialogScript script;
    AddWaitForDialog(&script);
    script.Add(Do([&]() {
        SelectItem(dialog_, 0);
        SendMessageA(dialog_, WM_COMMAND, IDC_REG_DELETE, 0);
        PostKey(dialog_, VK_ESCAPE);
    }));
    EXPECT_FALSE(RunDialogScript(&script, [&]() { return Open(); }));
    EXPECT_EQ(Registered(data_), (Texts{"A", "B"}));
}

// ---------------------------------------------------------------- commit and the ways out

TEST_F(RegisteredDlg, OkRebuildsTheListInTheOrderShown)
{
    FillRegistered(data_, {"A", "B", "C", "D"});
    // The store's own copies are replaced: none of the old pointers stays.
    Texts before = Registered(data_);
    g_editor.answers = {{true, "A"}};

    DialogScript script;
    AddWaitForDialog(&script);
    script.Add(Do([&]() {
        HWND list = List(dialog_);
        // D to the top, B to the end, by the list box's own moves.
        SelectItem(dialog_, 3);
        SendMessageA(list, WM_SYSKEYDOWN, VK_UP, 1 | (1 << 29));
        SendMessageA(list, WM_SYSKEYDOWN, VK_UP, 1 | (1 << 29));
        SendMessageA(list, WM_SYSKEYDOWN, VK_UP, 1 | (1 << 29));
        EXPECT_EQ(ItemTexts(dialog_), (Texts{"D", "A", "B", "C"}));
        SelectItem(dialog_, 2);
        SendMessageA(list, WM_SYSKEYDOWN, VK_DOWN, 1 | (1 << 29));
        EXPECT_EQ(ItemTexts(dialog_), (Texts{"D", "A", "C", "B"}));
        EXPECT_EQ(Selection(dialog_), 3);
        ExpectCopies();
        // C edited into a second "A": only the upper one is kept.
        SelectItem(dialog_, 2);
        PostButton(dialog_, IDC_REG_EDIT);
    }));
    script.Add(WaitForDialog(&dialog_, CAPTION, IDC_REG_LIST));
    script.Add(Do([&]() {
        EXPECT_EQ(ItemTexts(dialog_), (Texts{"D", "A", "A", "B"}));
        PostButton(dialog_, IDOK);
    }));
    EXPECT_TRUE(RunDialogScript(&script, [&]() { return Open(); }));
    EXPECT_EQ(Registered(data_), (Texts{"D", "A", "B"}));
}

// OK with too little memory to build the new list: the store keeps its old
// list whole (not a shorter one) and the dialog stays open with the edits.
TEST_F(RegisteredDlg, OkOutOfMemoryKeepsTheStoreAndTheDialog)
{
    FillRegistered(data_, {"A", "B", "C", "D"});
    DialogScript script;
    AddWaitForDialog(&script);
    script.Add(Do([&]() {
        SelectItem(dialog_, 3);
        SendMessageA(List(dialog_), WM_SYSKEYDOWN, VK_UP, 1 | (1 << 29));  // D above C
        EXPECT_EQ(ItemTexts(dialog_), (Texts{"A", "B", "D", "C"}));
        for (int failAt : {0, 1, 2, 5}) {
            SCOPED_TRACE(failAt);
            FailingAllocations failing(failAt);
            SendMessageA(dialog_, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(dialog_, IDOK)));
            EXPECT_TRUE(failing.Met());
            EXPECT_TRUE(IsWindow(dialog_));
            EXPECT_EQ(Registered(data_), (Texts{"A", "B", "C", "D"}));
        }
        EXPECT_EQ(ItemTexts(dialog_), (Texts{"A", "B", "D", "C"}));
        PostButton(dialog_, IDOK);
    }));
    EXPECT_TRUE(RunDialogScript(&script, [&]() { return Open(); }));
    EXPECT_EQ(Registered(data_), (Texts{"A", "B", "D", "C"}));
}

TEST_F(RegisteredDlg, CancelKeepsTheStoreAsItWas)
{
    FillRegistered(data_, {"A", "B", "C"});
    const char* firstBefore = AppData_GetAt(data_, LIST_REGISTERED, 0);
    g_editor.answers = {{true, "added"}, {true, "edited"}};

    DialogScript script;
    AddWaitForDialog(&script);
    script.Add(Do([&]() { PostButton(dialog_, IDC_REG_ADD); }));
    script.Add(WaitForDialog(&dialog_, CAPTION, IDC_REG_LIST));
    script.Add(Do([&]() {
        SelectItem(dialog_, 1);
        PostButton(dialog_, IDC_REG_EDIT);
    }));
    script.Add(WaitForDialog(&dialog_, CAPTION, IDC_REG_LIST));
    script.Add(Do([&]() {
        SelectItem(dialog_, 3);
        SendMessageA(dialog_, WM_COMMAND, IDC_REG_DELETE, 0);
        EXPECT_EQ(ItemTexts(dialog_), (Texts{"added", "edited", "B"}));
        ExpectCopies();
        PostButton(dialog_, IDCANCEL);
    }));
    EXPECT_FALSE(RunDialogScript(&script, [&]() { return Open(); }));
    EXPECT_EQ(Registered(data_), (Texts{"A", "B", "C"}));
    EXPECT_EQ(AppData_GetAt(data_, LIST_REGISTERED, 0), firstBefore) << "the store was not rebuilt";
}

struct CloseCase {
    int answer;
    bool committed;
};

TEST_F(RegisteredDlg, CloseAsksAndYesSavesNoDiscards)
{
    const CloseCase cases[] = {{IDYES, true}, {IDNO, false}};
    for (const CloseCase& c : cases) {
        SCOPED_TRACE(c.answer);
        AppData_Clear(data_, LIST_REGISTERED);
        FillRegistered(data_, {"A", "B"});
        SeenMessageBox seen;
        DialogScript script;
        AddWaitForDialog(&script);
        script.Add(Do([&]() {
            SelectItem(dialog_, 0);
            SendMessageA(dialog_, WM_COMMAND, IDC_REG_DELETE, 0);
            PostMessageA(dialog_, WM_SYSCOMMAND, SC_CLOSE, 0);
        }));
        script.Add(AnswerMessageBox(&script, &dialog_, &seen, c.answer));
        bool ok = RunDialogScript(&script, [&]() { return Open(); });
        EXPECT_EQ(ok, c.committed);
        EXPECT_TRUE(seen.seen);
        EXPECT_EQ(seen.caption, CAPTION);
        EXPECT_EQ(seen.text, MSG_SAVE);
        EXPECT_EQ(seen.buttons, (std::vector<int>{IDCANCEL, IDYES, IDNO}));
        Texts expected = c.committed ? Texts{"B"} : Texts{"A", "B"};
        EXPECT_EQ(Registered(data_), expected);
    }
}

TEST_F(RegisteredDlg, CloseAnsweredCancelKeepsTheDialogWithItsChanges)
{
    FillRegistered(data_, {"A", "B"});
    CloseTwiceSeen seen;
    DialogScript script;
    AddWaitForDialog(&script);
    script.Add(Do([&]() {
        SelectItem(dialog_, 1);
        SendMessageA(dialog_, WM_COMMAND, IDC_REG_DELETE, 0);
    }));
    // Asked again on the next close, changed or not.
    AddCloseCancelThenYes(&script, &dialog_, &seen, [&]() {
        EXPECT_EQ(ItemTexts(dialog_), (Texts{"A"}));
        ExpectCopies();
    });
    EXPECT_TRUE(RunDialogScript(&script, [&]() { return Open(); }));
    EXPECT_TRUE(seen.first.seen);
    EXPECT_TRUE(seen.openAfterCancel);
    EXPECT_TRUE(seen.second.seen);
    EXPECT_EQ(Registered(data_), (Texts{"A"}));
}

// ---------------------------------------------------------------- the limit

TEST_F(RegisteredDlg, AddIsDisabledAt4095Texts)
{
    Texts texts;
    for (int i = 0; i < 4095; i++)
        texts.push_back("text " + std::to_string(i));
    FillRegistered(data_, texts);
    ASSERT_EQ(AppData_GetCount(data_, LIST_REGISTERED), 4095);
    g_editor.answers = {{true, "the 4095th again"}};

    DialogScript script;
    AddWaitForDialog(&script);
    script.Add(Do([&]() {
        EXPECT_EQ(Count(dialog_), 4095);
        EXPECT_EQ(ButtonStates(dialog_), (Buttons{false, true, true}));
        SelectItem(dialog_, 4094);
        SendMessageA(dialog_, WM_COMMAND, IDC_REG_DELETE, 0);
        EXPECT_EQ(Count(dialog_), 4094);
        EXPECT_EQ(ButtonStates(dialog_), (Buttons{true, true, true}));
        PostButton(dialog_, IDC_REG_ADD);
    }));
    script.Add(WaitForDialog(&dialog_, CAPTION, IDC_REG_LIST));
    script.Add(Do([&]() {
        EXPECT_EQ(Count(dialog_), 4095);
        EXPECT_EQ(ButtonStates(dialog_), (Buttons{false, true, true}));
        ExpectCopies();
        PostButton(dialog_, IDOK);
    }));
    EXPECT_TRUE(RunDialogScript(&script, [&]() { return Open(); }));
    Texts expected = texts;
    expected.pop_back();
    expected.insert(expected.begin(), "the 4095th again");
    EXPECT_EQ(Registered(data_), expected);
}

// ---------------------------------------------------------------- the owner

struct PropSearch {
    const char* name;
    bool found;
};

BOOL CALLBACK MatchProp(HWND, LPSTR name, HANDLE, ULONG_PTR data)
{
    PropSearch* s = reinterpret_cast<PropSearch*>(data);
    if (!IS_INTRESOURCE(name) && strcmp(name, s->name) == 0)
        s->found = true;
    return TRUE;
}

bool HasProp(HWND window, const char* name)
{
    PropSearch search = {name, false};
    EnumPropsExA(window, MatchProp, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

TEST_F(RegisteredDlg, OwnerIsGuardedWhileTheDialogRuns)
{
    HWND owner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(owner, nullptr);
    SetPropA(owner, PROP_DIALOG, nullptr);
    FillRegistered(data_, {"A"});
    g_editor.answers = {{true, "A2"}};

    DialogScript script;
    AddWaitForDialog(&script);
    script.Add(Do([&]() {
        EXPECT_EQ(GetWindow(dialog_, GW_OWNER), owner);
        EXPECT_NE(GetPropA(owner, PROP_DIALOG), nullptr);
        // A second opening over the same owner is refused at once.
        EXPECT_FALSE(Open(owner));
        EXPECT_EQ(FindThreadDialogs(CAPTION).size(), 1u);
        EXPECT_NE(GetPropA(owner, PROP_DIALOG), nullptr);
        // The dialog carries the guard of its own pad, clear while no pad runs.
        EXPECT_TRUE(HasProp(dialog_, PROP_DIALOG));
        EXPECT_EQ(GetPropA(dialog_, PROP_DIALOG), nullptr);
        SelectItem(dialog_, 0);
        PostButton(dialog_, IDC_REG_EDIT);
    }));
    script.Add(WaitForDialog(&dialog_, CAPTION, IDC_REG_LIST));
    script.Add(Do([&]() {
        ASSERT_EQ(g_editor.calls.size(), 1u);
        EXPECT_EQ(g_editor.calls[0].owner, dialog_) << "the pad belongs to the dialog, not to the main window";
        EXPECT_FALSE(g_editor.calls[0].ownerGuarded);
        PostButton(dialog_, IDOK);
    }));
    EXPECT_TRUE(RunDialogScript(&script, [&]() { return Open(owner); }));
    EXPECT_EQ(GetPropA(owner, PROP_DIALOG), nullptr);
    EXPECT_EQ(Registered(data_), (Texts{"A2"}));

    // An owner whose guard is already set gets no dialog at all.
    static char busy;
    SetPropA(owner, PROP_DIALOG, &busy);
    // (Should it open after all, the empty script's time limit ends it.)
    DialogScript none;
    EXPECT_FALSE(RunDialogScript(&none, [&]() { return Open(owner); }));
    EXPECT_EQ(GetPropA(owner, PROP_DIALOG), &busy);
    EXPECT_TRUE(FindThreadDialogs(CAPTION).empty());
    EXPECT_EQ(g_editor.calls.size(), 1u);
    EXPECT_EQ(Registered(data_), (Texts{"A2"}));
    RemovePropA(owner, PROP_DIALOG);
    DestroyWindow(owner);
}

// ---------------------------------------------------------------- list notifications

LRESULT Notify(HWND dialog, HWND from, UINT code, int iItem, int iFrom, int iTo, WPARAM key = 0)
{
    DDLBNOTIFY record;
    memset(&record, 0, sizeof record);
    record.hdr.hwndFrom = from;
    record.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(from));
    record.hdr.code = code;
    record.iItem = iItem;
    record.iFrom = iFrom;
    record.iTo = iTo;
    record.wParam = key;
    return SendMessageA(dialog, WM_NOTIFY, record.hdr.idFrom, reinterpret_cast<LPARAM>(&record));
}

TEST_F(RegisteredDlg, ListNotificationsAreAnsweredThroughTheDialogResult)
{
    FillRegistered(data_, {"A", "B", "C"});
    DialogScript script;
    AddWaitForDialog(&script);
    script.Add(Do([&]() {
        HWND list = List(dialog_);
        LRESULT outside = Notify(dialog_, list, DDLBN_QUERYCURSOR, 0, 0, -1);
        EXPECT_TRUE(IsCursorResource(reinterpret_cast<HCURSOR>(outside), module_, IDC_DRAG_NO));
        for (int target : {0, 2, 3}) {
            LRESULT over = Notify(dialog_, list, DDLBN_QUERYCURSOR, 0, 0, target);
            EXPECT_TRUE(IsCursorResource(reinterpret_cast<HCURSOR>(over), module_, IDC_DRAG_MOVE)) << target;
        }
        // Dragging is never refused, by mouse or by Alt+arrow.
        EXPECT_EQ(Notify(dialog_, list, DDLBN_BEGINDRAG, 1, 0, 0), 0);
        // A drop handed back moves the item with its text.
        EXPECT_EQ(Notify(dialog_, list, DDLBN_DROP, 0, 0, 3), 0);
        EXPECT_EQ(ItemTexts(dialog_), (Texts{"B", "C", "A"}));
        EXPECT_EQ(Labels(dialog_), (Texts{"B", "C", "A"}));
        EXPECT_EQ(Selection(dialog_), 2);
        // Alt+Up handed back moves the selected item up by one.
        EXPECT_EQ(Notify(dialog_, list, DDLBN_SYSKEYDOWN, 0, 0, 0, VK_UP), 0);
        EXPECT_EQ(ItemTexts(dialog_), (Texts{"B", "A", "C"}));
        EXPECT_EQ(Selection(dialog_), 1);
        // The same codes from another control are not the list's business.
        HWND ok = GetDlgItem(dialog_, IDOK);
        EXPECT_EQ(Notify(dialog_, ok, DDLBN_DROP, 0, 0, 3), 0);
        EXPECT_EQ(Notify(dialog_, ok, DDLBN_DESTROY, 0, 0, 0), 0);
        EXPECT_EQ(ItemTexts(dialog_), (Texts{"B", "A", "C"}));
        ExpectCopies();
        PostButton(dialog_, IDOK);
    }));
    EXPECT_TRUE(RunDialogScript(&script, [&]() { return Open(); }));
    EXPECT_EQ(Registered(data_), (Texts{"B", "A", "C"}));
}

// ---------------------------------------------------------------- mouse drag

TEST_F(RegisteredDlg, DragWithTheMouseReordersAndOkKeepsTheNewOrder)
{
    FillRegistered(data_, {"A", "B", "C", "D"});
    POINT from = {0, 0}, middle = {0, 0}, to = {0, 0}, outside = {0, 0};
    HCURSOR shownOver = nullptr, shownOff = nullptr;

    DialogScript script;
    AddWaitForDialog(&script);
    script.Add(Do([&]() {
        SetForegroundWindow(dialog_);
        SetFocus(List(dialog_));
        from = ItemPoint(dialog_, 0);
        middle = ItemPoint(dialog_, 2);
        to = BelowLastItem(dialog_);
        RECT r;
        GetWindowRect(dialog_, &r);
        outside = {r.right + 30, (r.top + r.bottom) / 2};
    }));
    AddMouseMove(&script, &from);
    script.Add(Do([&]() { SendMouse(MOUSEEVENTF_LEFTDOWN); }));
    script.Add([&]() { return GetCapture() == List(dialog_); });
    AddMouseMove(&script, &middle);
    script.Add(Do([&]() { shownOver = GetCursor(); }));
    AddMouseMove(&script, &outside);
    script.Add(Do([&]() { shownOff = GetCursor(); }));
    AddMouseMove(&script, &to);
    script.Add(Do([&]() { SendMouse(MOUSEEVENTF_LEFTUP); }));
    script.Add([&]() { return GetCapture() != List(dialog_); });
    script.Add(Settled());
    script.Add(Do([&]() {
        EXPECT_EQ(Labels(dialog_), (Texts{"B", "C", "D", "A"}));
        EXPECT_EQ(ItemTexts(dialog_), (Texts{"B", "C", "D", "A"}));
        EXPECT_EQ(Selection(dialog_), 3);
        ExpectCopies();
        PostButton(dialog_, IDOK);
    }));
    EXPECT_TRUE(RunDialogScript(&script, [&]() { return Open(); }));
    EXPECT_TRUE(IsCursorResource(shownOver, module_, IDC_DRAG_MOVE)) << "the page cursor over the list";
    EXPECT_TRUE(IsCursorResource(shownOff, module_, IDC_DRAG_NO)) << "the prohibition sign outside it";
    EXPECT_EQ(Registered(data_), (Texts{"B", "C", "D", "A"}));
}

TEST_F(RegisteredDlg, RightClickOnAnItemOpensTheContextMenuForIt)
{
    FillRegistered(data_, {"A", "B", "C"});
    POINT second = {0, 0};
    DialogScript script;
    AddWaitForDialog(&script);
    script.Add(Do([&]() {
        SetForegroundWindow(dialog_);
        SelectItem(dialog_, 0);
        second = ItemPoint(dialog_, 1);
    }));
    AddMouseMove(&script, &second);
    script.Add(Do([&]() {
        SendMouse(MOUSEEVENTF_RIGHTDOWN);
        SendMouse(MOUSEEVENTF_RIGHTUP);
    }));
    script.Add([]() { return FindVisibleMenu() != nullptr; });
    script.Add(Do([&]() {
        EXPECT_EQ(Selection(dialog_), 1);
        PostMessageA(dialog_, WM_CHAR, 'd', 1);
    }));
    script.Add([&]() { return FindVisibleMenu() == nullptr && Count(dialog_) == 2; });
    script.Add(Do([&]() {
        EXPECT_EQ(ItemTexts(dialog_), (Texts{"A", "C"}));
        ExpectCopies();
        PostButton(dialog_, IDOK);
    }));
    EXPECT_TRUE(RunDialogScript(&script, [&]() { return Open(); }));
    EXPECT_EQ(Registered(data_), (Texts{"A", "C"}));
}

// ---------------------------------------------------------------- placement and size

TEST_F(RegisteredDlg, OpensAtTheTemplateSizeWhichIsTheMinimum)
{
    SIZE opened = {0, 0}, shrunk = {0, 0};
    MINMAXINFO limits;
    memset(&limits, 0, sizeof limits);
    RECT client = {0, 0, 0, 0}, expectedClient = {0, 0, 164, 98};

    DialogScript script;
    AddWaitForDialog(&script);
    script.Add(Do([&]() {
        opened = WindowSize(dialog_);
        GetClientRect(dialog_, &client);
        MapDialogRect(dialog_, &expectedClient);
        SendMessageA(dialog_, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
        SetWindowPos(dialog_, nullptr, 0, 0, opened.cx - 60, opened.cy - 40, SWP_NOMOVE | SWP_NOZORDER);
        shrunk = WindowSize(dialog_);
        PostButton(dialog_, IDCANCEL);
    }));
    RunDialogScript(&script, [&]() { return Open(); });
    EXPECT_EQ(client.right, expectedClient.right);
    EXPECT_EQ(client.bottom, expectedClient.bottom);
    EXPECT_EQ(limits.ptMinTrackSize.x, opened.cx);
    EXPECT_EQ(limits.ptMinTrackSize.y, opened.cy);
    EXPECT_EQ(shrunk.cx, opened.cx) << "no smaller than the template";
    EXPECT_EQ(shrunk.cy, opened.cy);
    // The placement is written on every close, Cancel too.
    EXPECT_EQ(ReadIni(ini_, PLACEMENT_KEY_WIDTH), opened.cx);
    EXPECT_EQ(ReadIni(ini_, PLACEMENT_KEY_HEIGHT), opened.cy);
    EXPECT_EQ(ReadIni(ini_, PLACEMENT_KEY_MAXIMIZED), 0);
    EXPECT_EQ(ReadIni(ini_, PLACEMENT_KEY_TOPMOST), 0);
}

// The controls keep their distances to the right and bottom edges (the
// buttons) or stretch with the window (the list), as at the template size.
void ExpectLaidOut(HWND dialog)
{
    RECT client;
    GetClientRect(dialog, &client);
    EdgeDistances list = TemplateEdges(dialog, 7, 7, 99, 84);
    RECT listAt = TemplatePixels(dialog, 7, 7, 99, 84);
    RECT got = ControlRect(dialog, IDC_REG_LIST);
    EXPECT_EQ(got.left, listAt.left);
    EXPECT_EQ(got.top, listAt.top);
    EXPECT_EQ(client.right - got.right, list.right);
    EXPECT_EQ(client.bottom - got.bottom, list.bottom);
    const struct {
        int id;
        short y;
    } buttons[] = {{IDC_REG_ADD, 7}, {IDC_REG_EDIT, 21}, {IDC_REG_DELETE, 35}, {IDOK, 56}, {IDCANCEL, 70}};
    for (const auto& b : buttons) {
        SCOPED_TRACE(b.id);
        EdgeDistances e = TemplateEdges(dialog, 107, b.y, 50, 14);
        RECT at = ControlRect(dialog, b.id);
        EXPECT_EQ(client.right - at.right, e.right);
        EXPECT_EQ(at.top, TemplatePixels(dialog, 107, b.y, 50, 14).top) << "the buttons do not move down";
        EXPECT_EQ(at.right - at.left, e.width);
        EXPECT_EQ(at.bottom - at.top, e.height);
    }
}

TEST_F(RegisteredDlg, SavedSizeIsRestoredAndTheControlsFollowResizing)
{
    WriteIni(ini_, PLACEMENT_KEY_WIDTH, 520);
    WriteIni(ini_, PLACEMENT_KEY_HEIGHT, 410);
    SIZE opened = {0, 0}, minimum = {0, 0};

    DialogScript script;
    AddWaitForDialog(&script);
    script.Add(Do([&]() {
        opened = WindowSize(dialog_);
        MINMAXINFO limits;
        memset(&limits, 0, sizeof limits);
        SendMessageA(dialog_, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
        minimum = {limits.ptMinTrackSize.x, limits.ptMinTrackSize.y};
        ExpectLaidOut(dialog_);
        // Grown, shrunk and minimised and restored, the layout holds.
        SetWindowPos(dialog_, nullptr, 0, 0, 600, 450, SWP_NOMOVE | SWP_NOZORDER);
        ExpectLaidOut(dialog_);
        SetWindowPos(dialog_, nullptr, 0, 0, 480, 380, SWP_NOMOVE | SWP_NOZORDER);
        ExpectLaidOut(dialog_);
        ShowWindow(dialog_, SW_MINIMIZE);
        ShowWindow(dialog_, SW_RESTORE);
        ExpectLaidOut(dialog_);
        EXPECT_EQ(WindowSize(dialog_).cx, 480);
        EXPECT_EQ(WindowSize(dialog_).cy, 380);
        PostButton(dialog_, IDOK);
    }));
    EXPECT_TRUE(RunDialogScript(&script, [&]() { return Open(); }));
    EXPECT_EQ(opened.cx, 520);
    EXPECT_EQ(opened.cy, 410);
    EXPECT_LT(minimum.cx, 520) << "the minimum is the template's size, not the saved one";
    EXPECT_LT(minimum.cy, 410);
    EXPECT_EQ(ReadIni(ini_, PLACEMENT_KEY_WIDTH), 480);
    EXPECT_EQ(ReadIni(ini_, PLACEMENT_KEY_HEIGHT), 380);
}

TEST_F(RegisteredDlg, MaximisedAndTopmostComeBackAndAreSavedWithTheRestoredSize)
{
    WriteIni(ini_, PLACEMENT_KEY_WIDTH, 450);
    WriteIni(ini_, PLACEMENT_KEY_HEIGHT, 350);
    WriteIni(ini_, PLACEMENT_KEY_MAXIMIZED, 1);
    WriteIni(ini_, PLACEMENT_KEY_TOPMOST, 1);
    bool topmost = false, zoomed = false;

    DialogScript script;
    AddWaitForDialog(&script);
    script.Add(Do([&]() {
        topmost = (GetWindowLongA(dialog_, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
        // Closed maximised: the size saved is the restored one.
        ShowWindow(dialog_, SW_MAXIMIZE);
        zoomed = IsZoomed(dialog_) != FALSE;
        ExpectLaidOut(dialog_);
        PostButton(dialog_, IDCANCEL);
    }));
    HHOOK hook = StartInitWatch(CAPTION, IDC_REG_LIST);
    ASSERT_NE(hook, nullptr);
    RunDialogScript(&script, [&]() { return Open(); });
    UnhookWindowsHookEx(hook);
    ASSERT_TRUE(CurrentInitWatch().seen);
    EXPECT_TRUE(CurrentInitWatch().zoomed);
    EXPECT_TRUE(CurrentInitWatch().topmost);
    EXPECT_EQ(CurrentInitWatch().restored.cx, 450);
    EXPECT_EQ(CurrentInitWatch().restored.cy, 350);
    EXPECT_TRUE(topmost);
    EXPECT_TRUE(zoomed);
    EXPECT_EQ(ReadIni(ini_, PLACEMENT_KEY_MAXIMIZED), 1);
    EXPECT_EQ(ReadIni(ini_, PLACEMENT_KEY_TOPMOST), 1);
    EXPECT_EQ(ReadIni(ini_, PLACEMENT_KEY_WIDTH), 450);
    EXPECT_EQ(ReadIni(ini_, PLACEMENT_KEY_HEIGHT), 350);
}

}  // namespace
