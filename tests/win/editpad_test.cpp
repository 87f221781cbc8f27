// The edit pad, run for real from tamarin.exe's template: its layout and menu
// bar, the start from a given text or the clipboard, the ways out (OK, Cancel,
// Escape and the close question), the guard on the owner, loading a file
// (which ends at a NUL byte) and writing one through the real choosers, the
// edit commands and the menu states, always on top through the system menu,
// the placement kept in "EDIT_PAD", the minimum size and the layout on resize.
#include <windows.h>
#include <commdlg.h>
#include <dlgs.h>
#include <imm.h>

#include <gtest/gtest.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "app/mainwnd.h"
#include "editing/editpad.h"
#include "resources/dialogs_editpad.h"
#include "resources/resource.h"
#include "settings/apppath.h"
#include "ui/dialogguard.h"
#include "ui/placement.h"
#include "win/dialogdriver.h"
#include "win/input.h"
#include "win/memdialog.h"

namespace {

// テキストの編集
const char PAD_CAPTION[] = "\x83\x65\x83\x4c\x83\x58\x83\x67\x82\xcc\x95\xd2\x8f\x57";
// ﾃｷｽﾄの編集
const char QUESTION_CAPTION[] = "\xc3\xb7\xbd\xc4\x82\xcc\x95\xd2\x8f\x57";
// 保存しますか？
const char MSG_SAVE[] = "\x95\xdb\x91\xb6\x82\xb5\x82\xdc\x82\xb7\x82\xa9\x81\x48";
// 常に最前面に表示(&T)
const char MENU_TOPMOST[] = "\x8f\xed\x82\xc9\x8d\xc5\x91\x4f\x96\xca\x82\xc9\x95\x5c\x8e\xa6(&T)";
// 日本語入力 - オフ(&L)
const char MENU_IME_OFF[] = "\x93\xfa\x96\x7b\x8c\xea\x93\xfc\x97\xcd - \x83\x49\x83\x74(&L)";
// 日本語入力 - オン(&O)
const char MENU_IME_ON[] = "\x93\xfa\x96\x7b\x8c\xea\x93\xfc\x97\xcd - \x83\x49\x83\x93(&O)";
// ファイルを開く
const char OPEN_TITLE[] = "\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xf0\x8a\x4a\x82\xad";
// テキストをファイルへ出力
const char EXPORT_TITLE[] =
    "\x83\x65\x83\x4c\x83\x58\x83\x67\x82\xf0\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xd6\x8f\x6f\x97\xcd";

// A text with a double-byte character whose second byte is a backslash
// (表), another (あ) and a line break as the edit control keeps it.
const char SAMPLE_TEXT[] = "first \x95\x5c\r\nsecond \x82\xa0 line";

// ---------------------------------------------------------------- helpers

std::string EditText(HWND pad)
{
    HWND edit = GetDlgItem(pad, IDC_PAD_EDIT);
    int length = GetWindowTextLengthA(edit);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    int got = GetWindowTextA(edit, &text[0], length + 1);
    text.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return text;
}

void SetEditText(HWND pad, const char* text)
{
    SetWindowTextA(GetDlgItem(pad, IDC_PAD_EDIT), text);
}

// The result of the pad as a string; null shows as "<null>". Frees it.
std::string TakeResult(char* text)
{
    if (!text)
        return "<null>";
    std::string copy = text;
    free(text);
    return copy;
}

bool PutClipboardText(const char* text)
{
    if (!OpenClipboard(nullptr))
        return false;
    EmptyClipboard();
    size_t size = strlen(text) + 1;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    bool placed = false;
    if (block) {
        memcpy(GlobalLock(block), text, size);
        GlobalUnlock(block);
        placed = SetClipboardData(CF_TEXT, block) != nullptr;
        if (!placed)
            GlobalFree(block);
    }
    CloseClipboard();
    return placed;
}

// A 2 x 2 bitmap as CF_DIB and nothing else.
bool PutClipboardImage()
{
    if (!OpenClipboard(nullptr))
        return false;
    EmptyClipboard();
    size_t size = sizeof(BITMAPINFOHEADER) + 2 * 4 * 2;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    bool placed = false;
    if (block) {
        BITMAPINFOHEADER* header = static_cast<BITMAPINFOHEADER*>(GlobalLock(block));
        header->biSize = sizeof(BITMAPINFOHEADER);
        header->biWidth = 2;
        header->biHeight = 2;
        header->biPlanes = 1;
        header->biBitCount = 32;
        header->biCompression = BI_RGB;
        GlobalUnlock(block);
        placed = SetClipboardData(CF_DIB, block) != nullptr;
        if (!placed)
            GlobalFree(block);
    }
    CloseClipboard();
    return placed;
}

bool ClearClipboard()
{
    if (!OpenClipboard(nullptr))
        return false;
    EmptyClipboard();
    CloseClipboard();
    return true;
}

std::string ClipboardText()
{
    std::string text = "<none>";
    if (!OpenClipboard(nullptr))
        return text;
    HANDLE handle = GetClipboardData(CF_TEXT);
    if (handle) {
        const char* data = static_cast<const char*>(GlobalLock(handle));
        if (data)
            text = data;
        GlobalUnlock(handle);
    }
    CloseClipboard();
    return text;
}

std::string MenuText(HMENU menu, UINT item, UINT flags)
{
    char text[256];
    text[0] = 0;
    GetMenuStringA(menu, item, text, sizeof text, flags);
    return text;
}

bool IsGrayed(HMENU menu, UINT id)
{
    return (GetMenuState(menu, id, MF_BYCOMMAND) & MF_GRAYED) != 0;
}

RECT ChildRect(HWND dialog, int id)
{
    RECT rect = {0, 0, 0, 0};
    GetWindowRect(GetDlgItem(dialog, id), &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

std::string ReadWholeFile(const std::string& path)
{
    std::string bytes;
    FILE* file = fopen(path.c_str(), "rb");
    if (!file)
        return "<missing>";
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, file)) > 0)
        bytes.append(buf, n);
    fclose(file);
    return bytes;
}

void WriteWholeFile(const std::string& path, const std::string& bytes)
{
    FILE* file = fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr) << path;
    fwrite(bytes.data(), 1, bytes.size(), file);
    fclose(file);
}

std::string LongPath(const std::string& path)
{
    char full[MAX_PATH];
    if (GetLongPathNameA(path.c_str(), full, sizeof full) == 0)
        return path;
    return full;
}

// ---------------------------------------------------------------- choosers

// The file name field of a file chooser: a combo box with an edit in the
// explorer style, a plain edit in the older one.
HWND ChooserNameField(HWND chooser)
{
    HWND field = GetDlgItem(chooser, cmb13);
    if (field && IsWindowVisible(field))
        return field;
    field = GetDlgItem(chooser, edt1);
    return field && IsWindowVisible(field) ? field : nullptr;
}

std::vector<std::string> ChooserFilterNames(HWND chooser)
{
    std::vector<std::string> names;
    HWND types = GetDlgItem(chooser, cmb1);
    int count = types ? static_cast<int>(SendMessageA(types, CB_GETCOUNT, 0, 0)) : 0;
    for (int i = 0; i < count; i++) {
        char text[256];
        text[0] = 0;
        if (SendMessageA(types, CB_GETLBTEXTLEN, i, 0) < static_cast<LRESULT>(sizeof text))
            SendMessageA(types, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        names.push_back(text);
    }
    return names;
}

// What a chooser over the pad showed.
struct SeenChooser {
    std::string title;
    std::string name;    // the proposed file name
    std::string folder;  // the folder it opened in
    std::vector<std::string> filters;
};

// Step: wait for a file chooser over the pad, note what it shows, type path
// into its name field and press OK.
std::function<bool()> ChooseInChooser(const HWND* pad, HWND* chooser, SeenChooser* seen, std::string path)
{
    return [=]() {
        HWND found = FindOwnedWindow(*pad, nullptr);
        if (!found || FindMessageBox(*pad))
            return false;
        HWND field = ChooserNameField(found);
        if (!field)
            return false;
        *chooser = found;
        seen->title = WindowText(found);
        seen->name = WindowText(field);
        char folder[MAX_PATH];
        folder[0] = 0;
        SendMessageA(found, CDM_GETFOLDERPATH, sizeof folder, reinterpret_cast<LPARAM>(folder));
        seen->folder = folder;
        seen->filters = ChooserFilterNames(found);
        SetWindowTextA(field, path.c_str());
        PostMessageA(found, WM_COMMAND, IDOK, 0);
        return true;
    };
}

// Step: wait until the window is gone.
std::function<bool()> WaitGone(const HWND* window)
{
    return [=]() { return !IsWindow(*window); };
}

// ---------------------------------------------------------------- fixture

class EditPad : public TamarinDialogTest {
protected:
    void SetUp() override
    {
        TamarinDialogTest::SetUp();
        if (IsSkipped())
            return;
        GetCurrentDirectoryA(sizeof startFolder_, startFolder_);
        char folder[MAX_PATH];
        MakeTempName(folder, sizeof folder, "tamarin_editpad", "");
        CreateDirectoryA(folder, nullptr);
        folder_ = LongPath(folder);
        iniPath_ = PathOf("tamarin.ini");
        owner_ = CreateWindowExA(0, "STATIC", "owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(owner_, nullptr);
        RECT work = {0, 0, 0, 0};
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
        SetCursorPos((work.left + work.right) / 2, (work.top + work.bottom) / 2);
    }

    void TearDown() override
    {
        if (!module_)
            return;
        if (owner_)
            DestroyWindow(owner_);
        PumpWaiting();
        SetCurrentDirectoryA(startFolder_);
        for (const std::string& file : files_)
            DeleteFileA(file.c_str());
        DeleteFileA(iniPath_.c_str());
        RemoveDirectoryA(folder_.c_str());
    }

    // A file of the test folder, removed after the test.
    std::string PathOf(const char* name)
    {
        std::string path = folder_ + "\\" + name;
        files_.push_back(path);
        return path;
    }

    char* Open(const char* initialText) { return EditPad_OpenFrom(module_, owner_, initialText, iniPath_.c_str()); }

    // The pad started with a text and its original; *original gets the one it gives back.
    char* RunPadWithOriginal(DialogScript* script, const char* initialText, const char* initialOriginal,
                             char** original)
    {
        return RunDialogScript(script, [&]() {
            return EditPad_OpenWithOriginalFrom(module_, owner_, initialText, initialOriginal, iniPath_.c_str(),
                                               original);
        });
    }

    // Runs the pad with initialText under a script whose first step finds it.
    char* RunPad(DialogScript* script, const char* initialText)
    {
        return RunDialogScript(script, [&]() { return Open(initialText); });
    }

    std::function<bool()> WaitForPad() { return WaitForDialog(&pad_, PAD_CAPTION, IDC_PAD_EDIT); }

    std::string IniValue(const char* key)
    {
        char value[64];
        GetPrivateProfileStringA(EDITPAD_SECTION, key, "<missing>", value, sizeof value, iniPath_.c_str());
        return value;
    }

    // The pad's window size as its template makes it, from a second window
    // of the same template that keeps no placement.
    SIZE TemplateWindowSize()
    {
        HWND plain = CreateDialogParamA(module_, MAKEINTRESOURCEA(IDD_EDITPAD), nullptr, PlainProc, 0);
        SIZE size = {0, 0};
        if (plain) {
            size = Placement_GetWindowSize(plain);
            DestroyWindow(plain);
        }
        return size;
    }

    static INT_PTR CALLBACK PlainProc(HWND, UINT msg, WPARAM, LPARAM) { return msg == WM_INITDIALOG; }

    char startFolder_[MAX_PATH] = {};
    std::string folder_;
    std::string iniPath_;
    std::vector<std::string> files_;
    HWND owner_ = nullptr;
    HWND pad_ = nullptr;
};

// ---------------------------------------------------------------- resources

TEST_F(EditPad, TemplateMatchesTheLayout)
{
    TemplateDialog dialog;
    ASSERT_TRUE(ReadDialogTemplate(module_, IDD_EDITPAD, &dialog));
    EXPECT_EQ(dialog.caption, PAD_CAPTION);
    EXPECT_EQ(dialog.font, TEMPLATE_FONT);
    EXPECT_EQ(dialog.pointSize, 9);
    EXPECT_EQ(dialog.cx, 102);
    EXPECT_EQ(dialog.cy, 37);
    DWORD frame = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
    EXPECT_EQ(dialog.style & frame, frame);

    const DWORD editStyle = ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL | ES_AUTOHSCROLL | WS_VSCROLL |
                            WS_HSCROLL | WS_BORDER | WS_TABSTOP;
    const ExpectedItem items[] = {
        {IDC_PAD_EDIT, "Edit", "", 0, 0, 102, 23, NO_TYPE, editStyle, 0},
        {IDOK, "Button", "OK", 0, 23, 50, 14, BS_DEFPUSHBUTTON, WS_TABSTOP, 0},
        {IDCANCEL, "Button", "\xb7\xac\xdd\xbe\xd9", 50, 23, 50, 14, BS_PUSHBUTTON, WS_TABSTOP, 0},  // ｷｬﾝｾﾙ
    };
    ASSERT_EQ(dialog.items.size(), sizeof items / sizeof items[0]);
    ExpectTemplateItems(dialog, items, dialog.items.size());
    // No word wrap: the text scrolls sideways instead.
    EXPECT_NE(dialog.items[0].style & ES_AUTOHSCROLL, 0u);

    // The menu bar is named by ordinal right after the header.
    HRSRC found = FindResourceA(module_, MAKEINTRESOURCEA(IDD_EDITPAD), reinterpret_cast<LPCSTR>(RT_DIALOG));
    ASSERT_NE(found, nullptr);
    const WORD* menu = reinterpret_cast<const WORD*>(
        static_cast<const BYTE*>(LockResource(LoadResource(module_, found))) + sizeof(DLGTEMPLATE));
    EXPECT_EQ(menu[0], 0xFFFF);
    EXPECT_EQ(menu[1], IDR_EDITPAD_MENU);
}

struct ExpectedMenuItem {
    UINT id;           // 0: separator
    const char* text;  // null for a separator
    bool grayed;
};

void ExpectMenu(HMENU menu, const ExpectedMenuItem* items, int count, const char* name)
{
    ASSERT_EQ(GetMenuItemCount(menu), count) << name;
    for (int i = 0; i < count; i++) {
        MENUITEMINFOA info;
        ZeroMemory(&info, sizeof info);
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STATE;
        ASSERT_TRUE(GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &info)) << name << " " << i;
        if (!items[i].text) {
            EXPECT_NE(info.fType & MFT_SEPARATOR, 0u) << name << " " << i;
            continue;
        }
        EXPECT_EQ(info.wID, items[i].id) << name << " " << i;
        EXPECT_EQ(MenuText(menu, static_cast<UINT>(i), MF_BYPOSITION), items[i].text) << name << " " << i;
        EXPECT_EQ((info.fState & MFS_GRAYED) != 0, items[i].grayed) << name << " " << i;
    }
}

TEST_F(EditPad, MenuBarMatchesTheResource)
{
    HMENU bar = LoadMenuA(module_, MAKEINTRESOURCEA(IDR_EDITPAD_MENU));
    ASSERT_NE(bar, nullptr);
    ASSERT_EQ(GetMenuItemCount(bar), 2);
    EXPECT_EQ(MenuText(bar, 0, MF_BYPOSITION), "\xc3\xb7\xbd\xc4(&T)");  // ﾃｷｽﾄ(&T)
    EXPECT_EQ(MenuText(bar, 1, MF_BYPOSITION), "\x95\xd2\x8f\x57(&E)");  // 編集(&E)

    const ExpectedMenuItem text[] = {
        {IDM_PAD_OPENFILE, "\xcc\xa7\xb2\xd9\x82\xf0\x8a\x4a\x82\xad(&L)...", false},  // ﾌｧｲﾙを開く(&L)...
        {IDM_PAD_SAVEFILE, "\xcc\xa7\xb2\xd9\x82\xd6\x8f\x6f\x97\xcd(&P)...", false},  // ﾌｧｲﾙへ出力(&P)...
        {0, nullptr, false},
        {IDOK, "OK(&O)", false},
        {IDCANCEL, "\xb7\xac\xdd\xbe\xd9(&C)", false},  // ｷｬﾝｾﾙ(&C)
    };
    ExpectMenu(GetSubMenu(bar, 0), text, sizeof text / sizeof text[0], "text");

    const ExpectedMenuItem edit[] = {
        {IDM_PAD_UNDO, "\x8c\xb3\x82\xc9\x96\xdf\x82\xb7(&U)", false},  // 元に戻す(&U)
        {IDM_PAD_REDO, "\x82\xe2\x82\xe8\x92\xbc\x82\xb5(&R)", true},   // やり直し(&R)
        {0, nullptr, false},
        {IDM_PAD_CUT, "\x90\xd8\x82\xe8\x8e\xe6\x82\xe8(&T)", false},     // 切り取り(&T)
        {IDM_PAD_COPY, "\x83\x52\x83\x73\x81\x5b(&C)", false},            // コピー(&C)
        {IDM_PAD_PASTE, "\x93\x5c\x82\xe8\x95\x74\x82\xaf(&P)", false},   // 貼り付け(&P)
        {IDM_PAD_DELETE, "\x8d\xed\x8f\x9c(&D)", false},                  // 削除(&D)
        {0, nullptr, false},
        {IDM_PAD_SELECTALL, "\x82\xb7\x82\xd7\x82\xc4\x91\x49\x91\xf0(&A)", false},  // すべて選択(&A)
        {0, nullptr, false},
        {IDM_PAD_IME, "\x93\xfa\x96\x7b\x8c\xea\x93\xfc\x97\xcd(&O)(&L)", false},  // 日本語入力(&O)(&L)
    };
    ExpectMenu(GetSubMenu(bar, 1), edit, sizeof edit / sizeof edit[0], "edit");
    DestroyMenu(bar);
}

// ---------------------------------------------------------------- start and end

TEST_F(EditPad, StartsWithTheClipboardTextAndOkGivesItBack)
{
    ASSERT_TRUE(PutClipboardText(SAMPLE_TEXT));
    DialogScript script;
    std::string shown;
    bool hasMenu = false;
    void* info = nullptr;
    script.Add(WaitForPad());
    script.Add(Do([&]() {
        shown = EditText(pad_);
        hasMenu = GetMenu(pad_) != nullptr && GetMenuItemCount(GetMenu(pad_)) == 2;
        info = GetPropA(pad_, PROP_EDITPADINFO);
        PostButton(pad_, IDOK);
    }));
    char* result = RunPad(&script, nullptr);
    EXPECT_EQ(shown, SAMPLE_TEXT);
    EXPECT_TRUE(hasMenu);
    EXPECT_NE(info, nullptr);
    EXPECT_FALSE(IsWindow(pad_));
    EXPECT_EQ(TakeResult(result), SAMPLE_TEXT);
}

TEST_F(EditPad, GivenTextWinsOverTheClipboardAndTheEditIsReturned)
{
    ASSERT_TRUE(PutClipboardText("clipboard"));
    const char initial[] = "given \x95\x5c";  // 表
    DialogScript script;
    std::string shown;
    script.Add(WaitForPad());
    script.Add(Do([&]() {
        shown = EditText(pad_);
        SetEditText(pad_, "changed\r\ntext");
        PostButton(pad_, IDOK);
    }));
    char* result = RunPad(&script, initial);
    EXPECT_EQ(shown, initial);
    EXPECT_NE(result, initial);
    EXPECT_EQ(std::string(initial), "given \x95\x5c");  // the caller's text is left alone
    EXPECT_EQ(TakeResult(result), "changed\r\ntext");
}

TEST_F(EditPad, WithoutClipboardTextThePadStartsEmptyAndOkGivesAnEmptyText)
{
    struct Case {
        const char* name;
        bool (*prepare)();
    };
    const Case cases[] = {
        {"an image only", PutClipboardImage},
        {"an empty clipboard", ClearClipboard},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(c.prepare()) << c.name;
        DialogScript script;
        std::string shown = "<unset>";
        script.Add(WaitForPad());
        script.Add(Do([&]() {
            shown = EditText(pad_);
            PostButton(pad_, IDOK);
        }));
        char* result = RunPad(&script, nullptr);
        EXPECT_EQ(shown, "") << c.name;
        ASSERT_NE(result, nullptr) << c.name;
        EXPECT_EQ(TakeResult(result), "") << c.name;
    }
}

// A text of about size bytes in lines of different lengths, with CR LF ends
// as the edit control keeps them and a double-byte character (表) in each.
std::string LongText(size_t size)
{
    std::string text;
    for (int line = 0; text.size() < size; line++) {
        text += "line " + std::to_string(line) + " \x95\x5c ";
        text += std::string(static_cast<size_t>(line % 90), static_cast<char>('a' + line % 26));
        text += "\r\n";
    }
    return text;
}

// A long text is in the pad at once only in part; OK right away still gives
// all of it back.
TEST_F(EditPad, LongTextComesBackWholeFromAnOkBeforeItIsAllShown)
{
    std::string text = LongText(3 * 1048576);
    DialogScript script;
    size_t shownAtOpen = 0;
    script.Add(WaitForPad());
    script.Add(Do([&]() {
        shownAtOpen = static_cast<size_t>(GetWindowTextLengthA(GetDlgItem(pad_, IDC_PAD_EDIT)));
        PostButton(pad_, IDOK);
    }));
    char* result = RunPad(&script, text.c_str());
    EXPECT_GT(shownAtOpen, 0u);
    EXPECT_LT(shownAtOpen, text.size()) << "the whole text went in before the pad showed";
    std::string back = TakeResult(result);
    EXPECT_EQ(back.size(), text.size());
    EXPECT_TRUE(back == text);
}

// The rest follows while the pad answers; an edit made meanwhile stays where
// it was made, the selection and the view stay where the user left them.
// (The text is past the typing limit, so the edit is a deletion.)
TEST_F(EditPad, LongTextArrivesWhileThePadIsInUse)
{
    std::string text = LongText(2 * 1048576);
    DialogScript script;
    int firstLine = -1;
    DWORD selStart = 99, selEnd = 99;
    script.Add(WaitForPad());
    script.Add(Do([&]() {
        HWND edit = GetDlgItem(pad_, IDC_PAD_EDIT);
        SendMessageA(edit, EM_SETSEL, 0, 5);
        SendMessageA(edit, WM_CLEAR, 0, 0);
        SendMessageA(edit, EM_SETSEL, 1, 3);
    }));
    script.Add([&]() {
        return static_cast<size_t>(GetWindowTextLengthA(GetDlgItem(pad_, IDC_PAD_EDIT))) == text.size() - 5;
    });
    script.Add(Do([&]() {
        HWND edit = GetDlgItem(pad_, IDC_PAD_EDIT);
        firstLine = static_cast<int>(SendMessageA(edit, EM_GETFIRSTVISIBLELINE, 0, 0));
        SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&selStart), reinterpret_cast<LPARAM>(&selEnd));
        PostButton(pad_, IDOK);
    }));
    char* result = RunPad(&script, text.c_str());
    EXPECT_EQ(firstLine, 0);
    EXPECT_EQ(selStart, 1u);
    EXPECT_EQ(selEnd, 3u);
    EXPECT_TRUE(TakeResult(result) == text.substr(5));
}

TEST_F(EditPad, CancelGivesNothing)
{
    DialogScript script;
    script.Add(WaitForPad());
    script.Add(Do([&]() {
        SetEditText(pad_, "typed");
        PostButton(pad_, IDCANCEL);
    }));
    EXPECT_EQ(RunPad(&script, "start"), nullptr);
}

// Escape pressed as a user would: in the edit control, which hands it to
// the pad as a close, and on a button, where the dialog manager takes it.
// Neither asks the close question.
TEST_F(EditPad, EscapeIsAPlainCancel)
{
    const int focusIds[] = {IDC_PAD_EDIT, IDOK};
    for (int focusId : focusIds) {
        DialogScript script;
        bool sent = false;
        script.Add(WaitForPad());
        script.Add(Do([&]() {
            SetForegroundWindow(pad_);
            SendMessageA(pad_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(pad_, focusId)), TRUE);
            sent = SendKeyPress(VK_ESCAPE);
        }));
        char* result = RunPad(&script, "start");
        EXPECT_TRUE(sent) << focusId;
        EXPECT_EQ(result, nullptr) << focusId;
        free(result);
    }
}

struct CloseCase {
    int answer;
    const char* result;  // "<null>" for none
};

TEST_F(EditPad, CloseAsksAndTheAnswerDecides)
{
    const CloseCase cases[] = {
        {IDYES, "kept text"},
        {IDNO, "<null>"},
    };
    for (const CloseCase& c : cases) {
        DialogScript script;
        SeenMessageBox seen;
        script.Add(WaitForPad());
        script.Add(Do([&]() {
            SetEditText(pad_, "kept text");
            PostMessageA(pad_, WM_CLOSE, 0, 0);
        }));
        script.Add(AnswerMessageBox(&script, &pad_, &seen, c.answer));
        EXPECT_EQ(TakeResult(RunPad(&script, "start")), c.result) << c.answer;
        EXPECT_EQ(seen.caption, QUESTION_CAPTION);
        EXPECT_EQ(seen.text, MSG_SAVE);
        EXPECT_EQ(seen.buttons, (std::vector<int>{IDCANCEL, IDYES, IDNO}));
    }
}

TEST_F(EditPad, CancellingTheCloseQuestionKeepsThePadOpen)
{
    DialogScript script;
    CloseTwiceSeen seen;
    std::string textAfter;
    script.Add(WaitForPad());
    script.Add(Do([&]() { SetEditText(pad_, "unchanged"); }));
    AddCloseCancelThenYes(&script, &pad_, &seen, [&]() { textAfter = EditText(pad_); });
    EXPECT_EQ(TakeResult(RunPad(&script, "start")), "unchanged");
    EXPECT_TRUE(seen.first.seen);
    EXPECT_TRUE(seen.openAfterCancel);
    EXPECT_EQ(textAfter, "unchanged");
}

// ---------------------------------------------------------------- owner guard

TEST_F(EditPad, OwnerWithAnOpenEditingDialogGetsNothing)
{
    HANDLE other = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(1));
    SetPropA(owner_, PROP_DIALOG, other);
    DialogScript none;  // a pad that showed would hang until the script gives up
    char* result = RunDialogScript(&none, [&]() { return Open("text"); });
    EXPECT_EQ(result, nullptr);
    EXPECT_EQ(GetPropA(owner_, PROP_DIALOG), other);
}

TEST_F(EditPad, OwnerIsMarkedWhileThePadRuns)
{
    DialogScript script;
    bool markedWhileOpen = false;
    char* second = reinterpret_cast<char*>(1);
    script.Add(WaitForPad());
    script.Add(Do([&]() {
        markedWhileOpen = GetPropA(owner_, PROP_DIALOG) != nullptr;
        // A second pad on the same owner is refused at once.
        second = Open("second");
        PostButton(pad_, IDCANCEL);
    }));
    EXPECT_EQ(RunPad(&script, "first"), nullptr);
    EXPECT_TRUE(markedWhileOpen);
    EXPECT_EQ(second, nullptr);
    EXPECT_EQ(GetPropA(owner_, PROP_DIALOG), nullptr);

    // The mark is cleared, so the next opening runs.
    DialogScript again;
    again.Add(WaitForPad());
    again.Add(Do([&]() { PostButton(pad_, IDOK); }));
    EXPECT_EQ(TakeResult(RunPad(&again, "next")), "next");
}

// ---------------------------------------------------------------- files

struct ReadCase {
    const char* name;
    std::string bytes;
    std::string text;
};

TEST_F(EditPad, FileTextEndsAtTheFirstNulByte)
{
    const ReadCase cases[] = {
        {"plain", "abc", "abc"},
        {"empty", "", ""},
        {"NUL in the middle", std::string("abc\0def", 7), "abc"},
        {"NUL first", std::string("\0abc", 4), ""},
        {"bytes as they are", "\x95\x5c\r\n\x82\xa0\n\xff", "\x95\x5c\r\n\x82\xa0\n\xff"},
        {"longer than the typing limit", std::string(70000, 'x'), std::string(70000, 'x')},
    };
    for (const ReadCase& c : cases) {
        std::string path = PathOf("read.txt");
        WriteWholeFile(path, c.bytes);
        char* text = EditPad_ReadFile(path.c_str());
        ASSERT_NE(text, nullptr) << c.name;
        EXPECT_EQ(std::string(text), c.text) << c.name;
        free(text);
    }
}

TEST_F(EditPad, MissingFileGivesNullAndUnopenableFileAnEmptyText)
{
    EXPECT_EQ(EditPad_ReadFile(PathOf("missing.txt").c_str()), nullptr);

    std::string path = PathOf("locked.txt");
    WriteWholeFile(path, "locked");
    HANDLE lock = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    char* text = EditPad_ReadFile(path.c_str());
    CloseHandle(lock);
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(text, "");
    free(text);
}

TEST_F(EditPad, WrittenFileHoldsExactlyTheBytes)
{
    std::string path = PathOf("written.txt");
    ASSERT_TRUE(EditPad_WriteFile(path.c_str(), SAMPLE_TEXT, strlen(SAMPLE_TEXT)));
    EXPECT_EQ(ReadWholeFile(path), SAMPLE_TEXT);
    ASSERT_TRUE(EditPad_WriteFile(path.c_str(), "", 0));
    EXPECT_EQ(ReadWholeFile(path), "");
    EXPECT_FALSE(EditPad_WriteFile((folder_ + "\\no such folder\\x.txt").c_str(), "x", 1));
}

TEST_F(EditPad, OpenCommandLoadsTheChosenFileUpToItsNul)
{
    std::string path = PathOf("with nul.txt");
    WriteWholeFile(path, std::string("loaded \x95\x5c\r\nline\0hidden", 20));
    DialogScript script;
    HWND chooser = nullptr;
    SeenChooser seen;
    std::string loaded;
    script.Add(WaitForPad());
    script.Add(Do([&]() { PostMessageA(pad_, WM_COMMAND, IDM_PAD_OPENFILE, 0); }));
    script.Add(ChooseInChooser(&pad_, &chooser, &seen, path));
    script.Add(WaitGone(&chooser));
    script.Add(Do([&]() {
        loaded = EditText(pad_);
        PostButton(pad_, IDOK);
    }));
    EXPECT_EQ(TakeResult(RunPad(&script, "old text")), "loaded \x95\x5c\r\nline");
    EXPECT_EQ(loaded, "loaded \x95\x5c\r\nline");
    EXPECT_EQ(seen.title, OPEN_TITLE);
    const std::vector<std::string> filters = {
        "\xc3\xb7\xbd\xc4\xcc\xa7\xb2\xd9 (*.txt; *.doc)",                       // ﾃｷｽﾄﾌｧｲﾙ
        "HTML\xcc\xa7\xb2\xd9 (*.htm; *.html; *.shtm; *.shtml)",                  // HTMLﾌｧｲﾙ
        "\x82\xb7\x82\xd7\x82\xc4\x82\xcc\x83\x74\x83\x40\x83\x43\x83\x8b (*.*)",  // すべてのファイル
    };
    EXPECT_EQ(seen.filters, filters);
}

TEST_F(EditPad, CancelledOpenChangesNothing)
{
    DialogScript script;
    std::string after;
    script.Add(WaitForPad());
    script.Add(Do([&]() { PostMessageA(pad_, WM_COMMAND, IDM_PAD_OPENFILE, 0); }));
    HWND chooser = nullptr;
    script.Add([&]() {
        chooser = FindOwnedWindow(pad_, nullptr);
        if (!chooser || !ChooserNameField(chooser))
            return false;
        PostMessageA(chooser, WM_COMMAND, IDCANCEL, 0);
        return true;
    });
    script.Add(WaitGone(&chooser));
    script.Add(Do([&]() {
        after = EditText(pad_);
        PostButton(pad_, IDCANCEL);
    }));
    RunPad(&script, "kept");
    EXPECT_EQ(after, "kept");
}

struct ExportPathCase {
    WORD day, hour, minute, second;
    const char* folder;
    size_t size;
    const char* path;
};

TEST_F(EditPad, ExportNameIsDayHourMinuteSecond)
{
    const ExportPathCase cases[] = {
        {3, 9, 5, 7, "C:\\prog", 260, "C:\\prog\\03090507.txt"},
        {31, 23, 59, 58, "C:\\prog", 260, "C:\\prog\\31235958.txt"},
        {1, 0, 0, 0, "C:\\\x95\x5c", 260, "C:\\\x95\x5c\\01000000.txt"},  // 表
        // Cut to the buffer, never through a double-byte character.
        {1, 0, 0, 0, "C:\\ab", 8, "C:\\ab\\0"},
        {1, 0, 0, 0, "C:\\\x95\x5c\x95\x5c", 7, "C:\\\x95\x5c"},
    };
    for (const ExportPathCase& c : cases) {
        SYSTEMTIME now = {};
        now.wYear = 2024;
        now.wMonth = 5;
        now.wDay = c.day;
        now.wHour = c.hour;
        now.wMinute = c.minute;
        now.wSecond = c.second;
        char path[300];
        memset(path, 'Z', sizeof path);
        EditPad_ExportPath(path, c.size, c.folder, &now);
        EXPECT_STREQ(path, c.path);
        EXPECT_EQ(path[c.size], 'Z');
    }
}

// The names the export may propose at some second between from and to.
std::vector<std::string> ExportNamesBetween(const SYSTEMTIME& from, const SYSTEMTIME& to)
{
    FILETIME a, b;
    SystemTimeToFileTime(&from, &a);
    SystemTimeToFileTime(&to, &b);
    ULARGE_INTEGER t, end;
    t.LowPart = a.dwLowDateTime;
    t.HighPart = a.dwHighDateTime;
    end.LowPart = b.dwLowDateTime;
    end.HighPart = b.dwHighDateTime;
    t.QuadPart -= t.QuadPart % 10000000;
    std::vector<std::string> names;
    for (; t.QuadPart <= end.QuadPart && names.size() < 600; t.QuadPart += 10000000) {
        FILETIME f = {t.LowPart, t.HighPart};
        SYSTEMTIME s;
        FileTimeToSystemTime(&f, &s);
        char name[32];
        snprintf(name, sizeof name, "%02d%02d%02d%02d.txt", s.wDay, s.wHour, s.wMinute, s.wSecond);
        names.push_back(name);
    }
    return names;
}

TEST_F(EditPad, ExportProposesATimedNameInTheProgramsFolderAndWritesTheBytes)
{
    std::string target = PathOf("exported.txt");
    WriteWholeFile(target, "to be replaced");  // an existing file is asked about first
    char programFolder[MAX_PATH];
    ASSERT_TRUE(AppPath_GetModuleFolder(programFolder, sizeof programFolder));
    SYSTEMTIME before, after;
    DialogScript script;
    HWND chooser = nullptr;
    SeenChooser seen;
    SeenMessageBox overwrite;
    script.Add(WaitForPad());
    script.Add(Do([&]() {
        GetLocalTime(&before);
        PostMessageA(pad_, WM_COMMAND, IDM_PAD_SAVEFILE, 0);
    }));
    script.Add([&]() {
        if (!ChooseInChooser(&pad_, &chooser, &seen, target)())
            return false;
        GetLocalTime(&after);
        return true;
    });
    script.Add(AnswerMessageBox(&script, &chooser, &overwrite, IDYES));
    script.Add(WaitGone(&chooser));
    script.Add(Do([&]() { PostButton(pad_, IDCANCEL); }));
    EXPECT_EQ(RunPad(&script, SAMPLE_TEXT), nullptr);

    EXPECT_EQ(seen.title, EXPORT_TITLE);
    std::vector<std::string> names = ExportNamesBetween(before, after);
    EXPECT_NE(std::find(names.begin(), names.end(), seen.name), names.end()) << seen.name;
    EXPECT_EQ(lstrcmpiA(LongPath(seen.folder).c_str(), LongPath(programFolder).c_str()), 0)
        << seen.folder << " / " << programFolder;
    EXPECT_EQ(seen.filters.size(), 3u);
    EXPECT_TRUE(overwrite.seen);
    EXPECT_EQ(ReadWholeFile(target), SAMPLE_TEXT);
}

// ---------------------------------------------------------------- editing

TEST_F(EditPad, EditCommandsActOnTheText)
{
    DialogScript script;
    std::string afterSelectAllCopy, clipAfterCopy, afterDelete, afterUndo, afterCut, clipAfterCut, afterPaste;
    DWORD start = 1, end = 0;
    LRESULT limit = 0;
    script.Add(WaitForPad());
    script.Add(Do([&]() {
        HWND edit = GetDlgItem(pad_, IDC_PAD_EDIT);
        limit = SendMessageA(edit, EM_GETLIMITTEXT, 0, 0);
        SendMessageA(edit, EM_SETSEL, 0, 0);
        SendMessageA(pad_, WM_COMMAND, IDM_PAD_SELECTALL, 0);
        SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        SendMessageA(pad_, WM_COMMAND, IDM_PAD_COPY, 0);
        clipAfterCopy = ClipboardText();
        afterSelectAllCopy = EditText(pad_);
        SendMessageA(edit, EM_SETSEL, 0, 6);  // "hello "
        SendMessageA(pad_, WM_COMMAND, IDM_PAD_DELETE, 0);
        afterDelete = EditText(pad_);
        SendMessageA(pad_, WM_COMMAND, IDM_PAD_UNDO, 0);
        afterUndo = EditText(pad_);
        SendMessageA(edit, EM_SETSEL, 6, 11);  // "world"
        SendMessageA(pad_, WM_COMMAND, IDM_PAD_CUT, 0);
        afterCut = EditText(pad_);
        clipAfterCut = ClipboardText();
        SendMessageA(edit, EM_SETSEL, 0, 0);
        SendMessageA(pad_, WM_COMMAND, IDM_PAD_PASTE, 0);
        afterPaste = EditText(pad_);
        PostButton(pad_, IDOK);
    }));
    EXPECT_EQ(TakeResult(RunPad(&script, "hello world")), "worldhello ");
    EXPECT_EQ(limit, EDITPAD_TEXT_LIMIT);
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 11u);
    EXPECT_EQ(clipAfterCopy, "hello world");
    EXPECT_EQ(afterSelectAllCopy, "hello world");
    EXPECT_EQ(afterDelete, "world");
    EXPECT_EQ(afterUndo, "hello world");
    EXPECT_EQ(afterCut, "hello ");
    EXPECT_EQ(clipAfterCut, "world");
    EXPECT_EQ(afterPaste, "worldhello ");
}

// The states of the edit popup for one situation.
struct MenuStates {
    bool undo, paste, cut, copy, del, selectAll;
    std::string ime;
};

MenuStates ReadEditMenu(HWND pad)
{
    HMENU popup = GetSubMenu(GetMenu(pad), 1);
    SendMessageA(pad, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup), MAKELPARAM(1, FALSE));
    MenuStates s;
    s.undo = !IsGrayed(popup, IDM_PAD_UNDO);
    s.paste = !IsGrayed(popup, IDM_PAD_PASTE);
    s.cut = !IsGrayed(popup, IDM_PAD_CUT);
    s.copy = !IsGrayed(popup, IDM_PAD_COPY);
    s.del = !IsGrayed(popup, IDM_PAD_DELETE);
    s.selectAll = !IsGrayed(popup, IDM_PAD_SELECTALL);
    s.ime = MenuText(popup, IDM_PAD_IME, MF_BYCOMMAND);
    return s;
}

bool InputMethodOpen(HWND window)
{
    HIMC context = ImmGetContext(window);
    if (!context)
        return false;
    bool open = ImmGetOpenStatus(context) != FALSE;
    ImmReleaseContext(window, context);
    return open;
}

TEST_F(EditPad, EditMenuFollowsTheSelectionTheClipboardAndUndo)
{
    DialogScript script;
    MenuStates caret, part, all, noClip, undoable;
    bool redoGrayed = false;
    script.Add(WaitForPad());
    script.Add(Do([&]() {
        HWND edit = GetDlgItem(pad_, IDC_PAD_EDIT);
        SendMessageA(edit, EM_EMPTYUNDOBUFFER, 0, 0);
        PutClipboardText("clip");
        SendMessageA(edit, EM_SETSEL, 2, 2);
        caret = ReadEditMenu(pad_);
        SendMessageA(edit, EM_SETSEL, 1, 3);
        part = ReadEditMenu(pad_);
        SendMessageA(edit, EM_SETSEL, 0, -1);
        all = ReadEditMenu(pad_);
        PutClipboardImage();
        noClip = ReadEditMenu(pad_);
        SendMessageA(edit, EM_SETSEL, 0, 0);
        SendMessageA(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("x"));
        undoable = ReadEditMenu(pad_);
        redoGrayed = IsGrayed(GetSubMenu(GetMenu(pad_), 1), IDM_PAD_REDO);
        PostButton(pad_, IDCANCEL);
    }));
    RunPad(&script, "abcdef");

    struct Row {
        const char* name;
        const MenuStates& got;
        MenuStates want;
    };
    const Row rows[] = {
        {"caret only", caret, {false, true, false, false, false, true, ""}},
        {"part selected", part, {false, true, true, true, true, true, ""}},
        {"all selected", all, {false, true, true, true, true, false, ""}},
        {"image on the clipboard", noClip, {false, false, true, true, true, false, ""}},
        {"after typing", undoable, {true, false, false, false, false, true, ""}},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(r.got.undo, r.want.undo) << r.name;
        EXPECT_EQ(r.got.paste, r.want.paste) << r.name;
        EXPECT_EQ(r.got.cut, r.want.cut) << r.name;
        EXPECT_EQ(r.got.copy, r.want.copy) << r.name;
        EXPECT_EQ(r.got.del, r.want.del) << r.name;
        EXPECT_EQ(r.got.selectAll, r.want.selectAll) << r.name;
    }
    EXPECT_TRUE(redoGrayed);
}

TEST_F(EditPad, InputMethodItemNamesWhatTheToggleWillDo)
{
    DialogScript script;
    bool openBefore = false, openAfter = false;
    std::string labelBefore, labelAfter;
    script.Add(WaitForPad());
    script.Add(Do([&]() {
        openBefore = InputMethodOpen(pad_);
        labelBefore = ReadEditMenu(pad_).ime;
        SendMessageA(pad_, WM_COMMAND, IDM_PAD_IME, 0);
        openAfter = InputMethodOpen(pad_);
        labelAfter = ReadEditMenu(pad_).ime;
        // Back as it was for the tests that follow.
        SendMessageA(pad_, WM_COMMAND, IDM_PAD_IME, 0);
        PostButton(pad_, IDCANCEL);
    }));
    RunPad(&script, "");
    EXPECT_NE(openBefore, openAfter);
    EXPECT_EQ(labelBefore, openBefore ? MENU_IME_OFF : MENU_IME_ON);
    EXPECT_EQ(labelAfter, openAfter ? MENU_IME_OFF : MENU_IME_ON);
}

// ---------------------------------------------------------------- window

TEST_F(EditPad, SystemMenuTogglesAlwaysOnTop)
{
    DialogScript script;
    int maximizePos = -1, itemPos = -1;
    std::string itemText;
    bool topBefore = true, checkedBefore = true, topAfter = false, checkedAfter = false;
    script.Add(WaitForPad());
    script.Add(Do([&]() {
        HMENU system = GetSystemMenu(pad_, FALSE);
        int count = GetMenuItemCount(system);
        for (int i = 0; i < count; i++) {
            UINT id = GetMenuItemID(system, i);
            if (id == SC_MAXIMIZE)
                maximizePos = i;
            if (id == IDM_PAD_TOPMOST)
                itemPos = i;
        }
        itemText = MenuText(system, IDM_PAD_TOPMOST, MF_BYCOMMAND);
        SendMessageA(pad_, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(system), MAKELPARAM(0, TRUE));
        topBefore = IsWindowTopmost(pad_);
        checkedBefore = (GetMenuState(system, IDM_PAD_TOPMOST, MF_BYCOMMAND) & MF_CHECKED) != 0;
        SendMessageA(pad_, WM_SYSCOMMAND, IDM_PAD_TOPMOST, 0);
        SendMessageA(pad_, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(system), MAKELPARAM(0, TRUE));
        topAfter = IsWindowTopmost(pad_);
        checkedAfter = (GetMenuState(system, IDM_PAD_TOPMOST, MF_BYCOMMAND) & MF_CHECKED) != 0;
        PostButton(pad_, IDCANCEL);
    }));
    RunPad(&script, "");
    ASSERT_GE(maximizePos, 0);
    EXPECT_EQ(itemPos, maximizePos + 1);
    EXPECT_EQ(itemText, MENU_TOPMOST);
    EXPECT_FALSE(topBefore);
    EXPECT_FALSE(checkedBefore);
    EXPECT_TRUE(topAfter);
    EXPECT_TRUE(checkedAfter);
    // Saved with the placement: the next pad opens on top.
    EXPECT_EQ(IniValue(PLACEMENT_KEY_TOPMOST), "1");
    DialogScript again;
    bool reopenedTop = false;
    again.Add(WaitForPad());
    again.Add(Do([&]() {
        reopenedTop = IsWindowTopmost(pad_);
        PostButton(pad_, IDCANCEL);
    }));
    RunPad(&again, "");
    EXPECT_TRUE(reopenedTop);
}

TEST_F(EditPad, PlacementRoundTripsThroughTheIniFile)
{
    // First opening: the default size, nothing on top, not maximised.
    DialogScript first;
    SIZE opened = {0, 0};
    bool top = true, zoomed = true;
    first.Add(WaitForPad());
    first.Add(Do([&]() {
        opened = Placement_GetWindowSize(pad_);
        top = IsWindowTopmost(pad_);
        zoomed = IsZoomed(pad_) != FALSE;
        Placement_ResizeWindow(pad_, 700, 500);
        PostButton(pad_, IDCANCEL);
    }));
    RunPad(&first, "");
    EXPECT_EQ(opened.cx, EDITPAD_DEFAULT_WIDTH);
    EXPECT_EQ(opened.cy, EDITPAD_DEFAULT_HEIGHT);
    EXPECT_FALSE(top);
    EXPECT_FALSE(zoomed);
    EXPECT_EQ(IniValue(PLACEMENT_KEY_TOPMOST), "0");
    EXPECT_EQ(IniValue(PLACEMENT_KEY_MAXIMIZED), "0");
    EXPECT_EQ(IniValue(PLACEMENT_KEY_WIDTH), "700");
    EXPECT_EQ(IniValue(PLACEMENT_KEY_HEIGHT), "500");

    // Second: the saved size; maximised and closed by OK.
    DialogScript second;
    second.Add(WaitForPad());
    second.Add(Do([&]() {
        opened = Placement_GetWindowSize(pad_);
        ShowWindow(pad_, SW_MAXIMIZE);
        PostButton(pad_, IDOK);
    }));
    TakeResult(RunPad(&second, ""));
    EXPECT_EQ(opened.cx, 700);
    EXPECT_EQ(opened.cy, 500);
    EXPECT_EQ(IniValue(PLACEMENT_KEY_MAXIMIZED), "1");
    EXPECT_EQ(IniValue(PLACEMENT_KEY_WIDTH), "700");
    EXPECT_EQ(IniValue(PLACEMENT_KEY_HEIGHT), "500");

    // Third: maximised again, with the restored size behind it. (Wine's
    // modal loop restores a dialog when it first shows it, so the state is
    // taken as the pad's start leaves it.)
    DialogScript third;
    third.Add(WaitForPad());
    third.Add(Do([&]() { PostButton(pad_, IDCANCEL); }));
    HHOOK hook = StartInitWatch(PAD_CAPTION, IDC_PAD_EDIT);
    ASSERT_NE(hook, nullptr);
    RunPad(&third, "");
    UnhookWindowsHookEx(hook);
    ASSERT_TRUE(CurrentInitWatch().seen);
    EXPECT_TRUE(CurrentInitWatch().zoomed);
    EXPECT_FALSE(CurrentInitWatch().topmost);
    EXPECT_EQ(CurrentInitWatch().restored.cx, 700);
    EXPECT_EQ(CurrentInitWatch().restored.cy, 500);
}

TEST_F(EditPad, CannotBeMadeSmallerThanItsTemplate)
{
    SIZE templateSize = TemplateWindowSize();
    ASSERT_GT(templateSize.cx, 0);
    DialogScript script;
    MINMAXINFO info;
    ZeroMemory(&info, sizeof info);
    SIZE shrunk = {0, 0};
    script.Add(WaitForPad());
    script.Add(Do([&]() {
        SendMessageA(pad_, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
        Placement_ResizeWindow(pad_, 20, 20);
        shrunk = Placement_GetWindowSize(pad_);
        PostButton(pad_, IDCANCEL);
    }));
    RunPad(&script, "");
    EXPECT_EQ(info.ptMinTrackSize.x, templateSize.cx);
    EXPECT_EQ(info.ptMinTrackSize.y, templateSize.cy);
    EXPECT_EQ(shrunk.cx, templateSize.cx);
    EXPECT_EQ(shrunk.cy, templateSize.cy);
}

TEST_F(EditPad, ControlsFollowTheWindowSize)
{
    DialogScript script;
    SIZE client0 = {0, 0}, client1 = {0, 0};
    RECT edit0, ok0, cancel0, edit1, ok1, cancel1;
    bool bareIsCaption = false;
    script.Add(WaitForPad());
    script.Add(Do([&]() {
        client0 = Placement_GetClientSize(pad_);
        edit0 = ChildRect(pad_, IDC_PAD_EDIT);
        ok0 = ChildRect(pad_, IDOK);
        cancel0 = ChildRect(pad_, IDCANCEL);
        SIZE window = Placement_GetWindowSize(pad_);
        Placement_ResizeWindow(pad_, window.cx + 80, window.cy + 50);
        client1 = Placement_GetClientSize(pad_);
        edit1 = ChildRect(pad_, IDC_PAD_EDIT);
        ok1 = ChildRect(pad_, IDOK);
        cancel1 = ChildRect(pad_, IDCANCEL);
        // The strip right of Cancel is bare client area: it drags the pad.
        POINT bare = {client1.cx - 1, client1.cy - 1};
        ClientToScreen(pad_, &bare);
        bareIsCaption = SendMessageA(pad_, WM_NCHITTEST, 0, MAKELPARAM(bare.x, bare.y)) == HTCAPTION;
        PostButton(pad_, IDCANCEL);
    }));
    RunPad(&script, "");
    // At the opening size the controls fill the pad as in the template.
    EXPECT_EQ(edit0.left, 0);
    EXPECT_EQ(edit0.top, 0);
    EXPECT_EQ(edit0.right, client0.cx);
    EXPECT_EQ(ok0.bottom, client0.cy);
    EXPECT_EQ(cancel0.bottom, client0.cy);
    EXPECT_EQ(edit0.bottom, ok0.top);

    LONG dx = client1.cx - client0.cx;
    LONG dy = client1.cy - client0.cy;
    EXPECT_EQ(dx, 80);
    EXPECT_EQ(dy, 50);
    EXPECT_EQ(edit1.left, edit0.left);
    EXPECT_EQ(edit1.top, edit0.top);
    EXPECT_EQ(edit1.right, edit0.right + dx);
    EXPECT_EQ(edit1.bottom, edit0.bottom + dy);
    const RECT* before[] = {&ok0, &cancel0};
    const RECT* after[] = {&ok1, &cancel1};
    for (int i = 0; i < 2; i++) {
        EXPECT_EQ(after[i]->left, before[i]->left + dx) << i;
        EXPECT_EQ(after[i]->top, before[i]->top + dy) << i;
        EXPECT_EQ(after[i]->right - after[i]->left, before[i]->right - before[i]->left) << i;
        EXPECT_EQ(after[i]->bottom - after[i]->top, before[i]->bottom - before[i]->top) << i;
    }
    EXPECT_TRUE(bareIsCaption);
}

TEST_F(EditPad, PadCarriesTheProgramIcons)
{
    DialogScript script;
    LRESULT big = 0, small = 0;
    script.Add(WaitForPad());
    script.Add(Do([&]() {
        big = SendMessageA(pad_, WM_GETICON, ICON_BIG, 0);
        small = SendMessageA(pad_, WM_GETICON, ICON_SMALL, 0);
        PostButton(pad_, IDCANCEL);
    }));
    RunPad(&script, "");
    EXPECT_NE(big, 0);
    EXPECT_NE(small, 0);
}

// ---------------------------------------------------------------- Unicode text

std::wstring EditTextW(HWND pad)
{
    HWND edit = GetDlgItem(pad, IDC_PAD_EDIT);
    WCHAR text[512] = L"";
    GetWindowTextW(edit, text, 512);
    return text;
}

bool PutClipboardUnicode(const std::wstring& text)
{
    if (!OpenClipboard(nullptr))
        return false;
    EmptyClipboard();
    size_t size = (text.size() + 1) * sizeof(WCHAR);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    memcpy(GlobalLock(block), text.c_str(), size);
    GlobalUnlock(block);
    bool placed = SetClipboardData(CF_UNICODETEXT, block) != nullptr;
    CloseClipboard();
    return placed;
}

std::wstring ClipboardUnicode()
{
    std::wstring text = L"<none>";
    if (!OpenClipboard(nullptr))
        return text;
    HANDLE h = GetClipboardData(CF_UNICODETEXT);
    const WCHAR* p = h ? static_cast<const WCHAR*>(GlobalLock(h)) : nullptr;
    if (p) {
        text = p;
        GlobalUnlock(h);
    }
    CloseClipboard();
    return text;
}

const char CAFE_CP932[] = "Caf? ? ??";
const char CAFE_UTF8[] = "Caf\xC3\xA9 \xF0\x9F\x98\x80 \xED\x95\x9C\xEA\xB5\xAD";  // Café 😀 한국
const wchar_t CAFE_WIDE[] = L"Caf\u00E9 \xD83D\xDE00 \uD55C\uAD6D";

// The pad is a Unicode window: it shows an original and gives back the code
// page 932 form with it.
TEST_F(EditPad, ShowsAndGivesBackOriginals)
{
    DialogScript script;
    std::wstring shown;
    bool unicodeEdit = false;
    script.Add(WaitForPad());
    script.Add(Do([&]() {
        shown = EditTextW(pad_);
        // On Windows an ANSI edit control keeps its text in the ANSI code
        // page; the controls of a dialog are of the dialog's kind.
        unicodeEdit = IsWindowUnicode(pad_) && IsWindowUnicode(GetDlgItem(pad_, IDC_PAD_EDIT));
        SetWindowTextW(GetDlgItem(pad_, IDC_PAD_EDIT), L"\u20AC\u3042 \xD83D\xDE03");  // €あ 😃
        PostButton(pad_, IDOK);
    }));
    char* original = nullptr;
    std::string text = TakeResult(RunPadWithOriginal(&script, CAFE_CP932, CAFE_UTF8, &original));
    EXPECT_TRUE(unicodeEdit);
    EXPECT_EQ(shown, CAFE_WIDE);
    EXPECT_EQ(text, "?\x82\xa0 ?");
    ASSERT_NE(original, nullptr);
    EXPECT_STREQ(original, "\xE2\x82\xAC\xE3\x81\x82 \xF0\x9F\x98\x83");
    free(original);

    // A text code page 932 holds comes back without an original.
    DialogScript again;
    again.Add(WaitForPad());
    again.Add(Do([&]() { PostButton(pad_, IDOK); }));
    original = reinterpret_cast<char*>(1);
    EXPECT_EQ(TakeResult(RunPadWithOriginal(&again, SAMPLE_TEXT, nullptr, &original)), SAMPLE_TEXT);
    EXPECT_EQ(original, nullptr);
}

TEST_F(EditPad, StartsWithTheClipboardsUnicodeText)
{
    ASSERT_TRUE(PutClipboardUnicode(CAFE_WIDE));
    DialogScript script;
    std::wstring shown;
    script.Add(WaitForPad());
    script.Add(Do([&]() {
        shown = EditTextW(pad_);
        PostButton(pad_, IDOK);
    }));
    char* original = nullptr;
    EXPECT_EQ(TakeResult(RunPadWithOriginal(&script, nullptr, nullptr, &original)), CAFE_CP932);
    EXPECT_EQ(shown, CAFE_WIDE);
    ASSERT_NE(original, nullptr);
    EXPECT_STREQ(original, CAFE_UTF8);
    free(original);
}

// Copy and Cut put the selection as every text of Tamarin goes: Unicode
// first, its code page 932 form, a Japanese locale.
TEST_F(EditPad, CopyPlacesTheSelectionExactly)
{
    DialogScript script;
    std::wstring copied, afterCut;
    std::string copiedAnsi;
    UINT firstText = 0;
    script.Add(WaitForPad());
    script.Add(Do([&]() {
        HWND edit = GetDlgItem(pad_, IDC_PAD_EDIT);
        SendMessageW(edit, EM_SETSEL, 4, 7);  // "😀 " as two units and a blank... from position 4
        PostMessageA(pad_, WM_COMMAND, IDM_PAD_COPY, 0);
    }));
    script.Add(Settled());
    script.Add(Do([&]() {
        copied = ClipboardUnicode();
        if (OpenClipboard(nullptr)) {
            UINT f = 0;
            while ((f = EnumClipboardFormats(f)) != 0 && f != CF_TEXT && f != CF_UNICODETEXT) {
            }
            firstText = f;
            HANDLE h = GetClipboardData(CF_TEXT);
            const char* p = h ? static_cast<const char*>(GlobalLock(h)) : nullptr;
            if (p) {
                copiedAnsi = p;
                GlobalUnlock(h);
            }
            CloseClipboard();
        }
        HWND edit = GetDlgItem(pad_, IDC_PAD_EDIT);
        SendMessageW(edit, EM_SETSEL, 0, 4);
        SendMessageW(edit, WM_CUT, 0, 0);  // as Ctrl+X sends it
    }));
    script.Add(Settled());
    script.Add(Do([&]() {
        afterCut = ClipboardUnicode();
        PostButton(pad_, IDCANCEL);
    }));
    char* original = nullptr;
    EXPECT_EQ(RunPadWithOriginal(&script, CAFE_CP932, CAFE_UTF8, &original), nullptr);
    EXPECT_EQ(copied, L" \xD83D\xDE00");
    EXPECT_EQ(copiedAnsi, " ?");
    EXPECT_EQ(firstText, static_cast<UINT>(CF_UNICODETEXT));
    EXPECT_EQ(afterCut, L"Caf\u00E9");
}

// Files: UTF-8 and UTF-16 with a byte-order mark are read as such; the
// export writes code page 932 when the text fits, else UTF-8 with a mark.
TEST_F(EditPad, ImportsUnicodeFilesAndExportsByWhatTheTextNeeds)
{
    struct Case {
        const char* name;
        std::string bytes;
        std::wstring shown;
        std::string exported;
    };
    const Case cases[] = {
        {"utf8.txt", "\xEF\xBB\xBF" "Caf\xC3\xA9\r\n\xF0\x9F\x98\x80", L"Caf\u00E9\r\n\xD83D\xDE00",
         "\xEF\xBB\xBF" "Caf\xC3\xA9\r\n\xF0\x9F\x98\x80"},
        {"utf16.txt", std::string("\xFF\xFE" "a\0\x42\x30", 6), L"a\u3042", "a\x82\xa0"},
        {"utf16be.txt", std::string("\xFE\xFF" "\x20\xAC", 4), L"\u20AC", "\xEF\xBB\xBF\xE2\x82\xAC"},
        {"cp932.txt", "\x95\x5c\x8e\xa6", L"\u8868\u793A", "\x95\x5c\x8e\xa6"},
    };
    for (const Case& c : cases) {
        std::string path = PathOf(c.name);
        std::string target = PathOf((std::string("out-") + c.name).c_str());
        WriteWholeFile(path, c.bytes);
        DialogScript script;
        HWND chooser = nullptr;
        SeenChooser seenOpen, seenExport;
        std::wstring loaded;
        script.Add(WaitForPad());
        script.Add(Do([&]() { PostMessageA(pad_, WM_COMMAND, IDM_PAD_OPENFILE, 0); }));
        script.Add(ChooseInChooser(&pad_, &chooser, &seenOpen, path));
        script.Add(WaitGone(&chooser));
        script.Add(Do([&]() {
            loaded = EditTextW(pad_);
            PostMessageA(pad_, WM_COMMAND, IDM_PAD_SAVEFILE, 0);
        }));
        script.Add(ChooseInChooser(&pad_, &chooser, &seenExport, target));
        script.Add(WaitGone(&chooser));
        script.Add(Do([&]() { PostButton(pad_, IDCANCEL); }));
        EXPECT_EQ(RunPad(&script, "old"), nullptr) << c.name;
        EXPECT_EQ(loaded, c.shown) << c.name;
        EXPECT_EQ(ReadWholeFile(target), c.exported) << c.name;
    }
}

}  // namespace
