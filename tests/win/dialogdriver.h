// Drives Tamarin's real modal dialogs from inside the test program: a thread
// timer runs a script of steps while the dialog's own modal loop is running,
// finding windows by class and caption as a user would see them and pressing
// their buttons with posted messages. Also finds tamarin.exe, whose dialog
// templates the tests load as data, and reads a dialog template back.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <stdio.h>
#include <string.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "text/path.h"
#include "ui/placement.h"
#include "win/input.h"

// ---------------------------------------------------------------- tamarin.exe

// tamarin.exe is built beside the test program; look there first, then one
// folder up. Gives its path in path, or false when it is not built.
inline bool FindTamarinExe(char* path, size_t size)
{
    char folder[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, folder, sizeof folder);
    if (n == 0 || n >= sizeof folder)
        return false;
    CutFileName(folder);
    for (int up = 0; up < 2; up++) {
        if (PathJoin(path, size, folder, "tamarin.exe") && IsExistingFile(path))
            return true;
        PathJoin(folder, sizeof folder, folder, "..");
    }
    if (size > 0)
        path[0] = 0;
    return false;
}

// tamarin.exe loaded as data for its resources, or null when it is not built.
inline HMODULE LoadTamarinTemplates()
{
    char exe[MAX_PATH];
    if (!FindTamarinExe(exe, sizeof exe))
        return nullptr;
    return LoadLibraryExA(exe, nullptr, LOAD_LIBRARY_AS_DATAFILE);
}

// The font every dialog template names: ＭＳ Ｐゴシック
const char TEMPLATE_FONT[] = "\x82\x6c\x82\x72 \x82\x6f\x83\x53\x83\x56\x83\x62\x83\x4e";

// Base of the fixtures that open dialogs from tamarin.exe's templates: the
// templates are loaded once per suite and freed after it, and every test is
// skipped when tamarin.exe is not built. A derived SetUp calls this one first
// and returns when IsSkipped().
class TamarinDialogTest : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES};
        InitCommonControlsEx(&controls);
        if (!FindTamarinExe(exe_, sizeof exe_))
            exe_[0] = 0;
        module_ = exe_[0] ? LoadLibraryExA(exe_, nullptr, LOAD_LIBRARY_AS_DATAFILE) : nullptr;
    }
    static void TearDownTestSuite()
    {
        if (module_)
            FreeLibrary(module_);
        module_ = nullptr;
    }
    void SetUp() override
    {
        if (!module_)
            GTEST_SKIP() << "tamarin.exe is not built";
    }

    static inline HMODULE module_ = nullptr;
    static inline char exe_[MAX_PATH];  // the path of tamarin.exe
};

// A fresh name in the temp folder: <temp><stem>_<process>_<serial><suffix>.
inline void MakeTempName(char* out, size_t size, const char* stem, const char* suffix)
{
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    static int serial;
    snprintf(out, size, "%s%s_%lu_%d%s", temp, stem, GetCurrentProcessId(), ++serial, suffix);
}

// ---------------------------------------------------------------- windows

inline std::string WindowText(HWND window)
{
    char text[1024];
    text[0] = 0;
    if (window)
        GetWindowTextA(window, text, sizeof text);
    return text;
}

inline std::string ItemText(HWND dialog, int id)
{
    return WindowText(GetDlgItem(dialog, id));
}

inline bool IsDialogClass(HWND window)
{
    char name[64];
    return GetClassNameA(window, name, sizeof name) > 0 && strcmp(name, "#32770") == 0;
}

// Visible dialogs of this thread with the given caption.
struct DialogSearch {
    const char* caption;
    std::vector<HWND> found;
};

inline BOOL CALLBACK CollectDialog(HWND window, LPARAM data)
{
    DialogSearch* s = reinterpret_cast<DialogSearch*>(data);
    if (IsWindowVisible(window) && IsDialogClass(window) && WindowText(window) == s->caption)
        s->found.push_back(window);
    return TRUE;
}

inline std::vector<HWND> FindThreadDialogs(const char* caption)
{
    DialogSearch search = {caption, {}};
    EnumThreadWindows(GetCurrentThreadId(), CollectDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The dialog with this caption that has a control of the given id, so that
// a message box with the same caption is not taken for it.
inline HWND FindDialog(const char* caption, int controlId)
{
    for (HWND window : FindThreadDialogs(caption)) {
        if (GetDlgItem(window, controlId))
            return window;
    }
    return nullptr;
}

enum { MESSAGE_BOX_TEXT_ID = 0xFFFF };

// A message box owned by owner: a dialog whose text is the static 0xFFFF.
// A box already answered (and perhaps not yet gone) is passed over.
struct MessageBoxSearch {
    HWND owner;
    const std::vector<HWND>* answered;
    HWND found;
};

inline BOOL CALLBACK MatchMessageBox(HWND window, LPARAM data)
{
    MessageBoxSearch* s = reinterpret_cast<MessageBoxSearch*>(data);
    if (s->answered) {
        for (HWND old : *s->answered) {
            if (old == window)
                return TRUE;
        }
    }
    if (IsWindowVisible(window) && IsDialogClass(window) && GetWindow(window, GW_OWNER) == s->owner &&
        GetDlgItem(window, MESSAGE_BOX_TEXT_ID)) {
        s->found = window;
        return FALSE;
    }
    return TRUE;
}

inline HWND FindMessageBox(HWND owner, const std::vector<HWND>* answered = nullptr)
{
    MessageBoxSearch search = {owner, answered, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), MatchMessageBox, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

inline BOOL CALLBACK FindTreeView(HWND window, LPARAM found)
{
    char name[32];
    if (GetClassNameA(window, name, sizeof name) && strcmp(name, WC_TREEVIEWA) == 0) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

// The label of the selected item of a window's tree view (a folder chooser
// selects the folder it starts in only after it has appeared), or "".
inline std::string SelectedTreeItemText(HWND window)
{
    HWND tree = nullptr;
    EnumChildWindows(window, FindTreeView, reinterpret_cast<LPARAM>(&tree));
    HTREEITEM item = tree ? TreeView_GetSelection(tree) : nullptr;
    if (!item)
        return "";
    char text[MAX_PATH] = "";
    TVITEMA request = {};
    request.mask = TVIF_TEXT;
    request.hItem = item;
    request.pszText = text;
    request.cchTextMax = sizeof text;
    SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&request));
    return text;
}

// The first visible dialog of this thread owned by owner, message boxes and
// choosers alike.
struct OwnedSearch {
    HWND owner;
    const char* klass;  // null: a dialog
    HWND found;
};

inline BOOL CALLBACK MatchOwned(HWND window, LPARAM data)
{
    OwnedSearch* s = reinterpret_cast<OwnedSearch*>(data);
    if (GetWindow(window, GW_OWNER) != s->owner)
        return TRUE;
    char name[64];
    bool match = s->klass ? GetClassNameA(window, name, sizeof name) > 0 && lstrcmpiA(name, s->klass) == 0
                          : IsWindowVisible(window) && IsDialogClass(window);
    if (match)
        s->found = window;
    return match ? FALSE : TRUE;
}

// A window of the class klass (or, for null, a visible dialog) owned by owner.
inline HWND FindOwnedWindow(HWND owner, const char* klass)
{
    OwnedSearch search = {owner, klass, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), MatchOwned, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// A small window of its own brought to the front, so that a dialog must be
// brought forward again; the caller destroys it.
inline HWND ShowWindowInFront()
{
    HWND window = CreateWindowExA(0, "STATIC", "elsewhere", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                                  nullptr, nullptr);
    SetForegroundWindow(window);
    return window;
}

// A button press as the button itself reports it.
inline void PostButton(HWND dialog, int id)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// What a message box showed and which button closed it.
struct SeenMessageBox {
    bool seen = false;
    std::string caption;
    std::string text;
    std::vector<int> buttons;  // the ids among IDOK .. IDNO it offered
};

// ---------------------------------------------------------------- script

// One step runs at a time, on a timer tick; a step that gives false is tried
// again at the next tick. Steps must not enter a modal loop themselves (they
// post button presses instead), so no step is ever nested in another. A
// script that has not finished within TIMEOUT_MS ends every dialog of the
// thread, so a failing test cannot hang the program; the timeout is generous
// because a step waits for a state, never for a time.
struct DialogScript {
    enum { TICK_MS = 15, TIMEOUT_MS = 60000 };
    std::vector<std::function<bool()>> steps;
    size_t next = 0;
    DWORD started = 0;
    bool busy = false;
    bool timedOut = false;
    std::vector<HWND> answered;  // message boxes already answered

    void Add(std::function<bool()> step) { steps.push_back(std::move(step)); }
    bool Finished() const { return next >= steps.size(); }
};

inline DialogScript*& CurrentScript()
{
    static DialogScript* script;
    return script;
}

inline BOOL CALLBACK EndEveryDialog(HWND window, LPARAM)
{
    if (IsDialogClass(window))
        EndDialog(window, IDCANCEL);
    return TRUE;
}

inline void CALLBACK DialogScriptTick(HWND, UINT, UINT_PTR, DWORD)
{
    DialogScript* s = CurrentScript();
    if (!s)
        return;
    // Also while a step is stuck in a modal loop it should not have entered.
    if (GetTickCount() - s->started > DialogScript::TIMEOUT_MS) {
        s->timedOut = true;
        EnumThreadWindows(GetCurrentThreadId(), EndEveryDialog, 0);
        return;
    }
    if (s->busy)
        return;
    s->busy = true;
    if (!s->Finished() && s->steps[s->next]())
        s->next++;
    s->busy = false;
}

// Runs open() (which shows a modal dialog) while the script drives it; gives
// what open() gave.
template <typename Open>
auto RunDialogScript(DialogScript* script, Open open) -> decltype(open())
{
    CurrentScript() = script;
    script->started = GetTickCount();
    UINT_PTR timer = SetTimer(nullptr, 0, DialogScript::TICK_MS, DialogScriptTick);
    auto result = open();
    KillTimer(nullptr, timer);
    CurrentScript() = nullptr;
    EXPECT_FALSE(script->timedOut) << "the script stopped at step " << script->next;
    EXPECT_TRUE(script->Finished()) << "the dialog ended before step " << script->next;
    return result;
}

// Step: wait for the dialog, then remember it.
inline std::function<bool()> WaitForDialog(HWND* dialog, const char* caption, int controlId)
{
    return [=]() {
        *dialog = FindDialog(caption, controlId);
        return *dialog != nullptr;
    };
}

// Step: wait for a message box over owner, note what it says and press the
// button id.
inline std::function<bool()> AnswerMessageBox(DialogScript* script, const HWND* owner, SeenMessageBox* seen, int id)
{
    return [=]() {
        HWND box = FindMessageBox(*owner, &script->answered);
        if (!box)
            return false;
        script->answered.push_back(box);
        seen->seen = true;
        seen->caption = WindowText(box);
        seen->text = ItemText(box, MESSAGE_BOX_TEXT_ID);
        for (int button = IDOK; button <= IDNO; button++) {
            if (GetDlgItem(box, button) && IsWindowVisible(GetDlgItem(box, button)))
                seen->buttons.push_back(button);
        }
        PostButton(box, id);
        return true;
    };
}

// Step: wait until no message box stands over owner any more.
inline std::function<bool()> WaitNoMessageBox(const HWND* owner)
{
    return [=]() { return FindMessageBox(*owner) == nullptr; };
}

// Step: wait until everything posted to this thread so far has been handled,
// input included: a marker posted now has come back, and a timer tick, which
// the system makes only when no posted or input message is waiting, has come
// after it. For a reaction that must not come, checked by the next step.
inline std::function<bool()> Settled()
{
    auto ticket = std::make_shared<unsigned>(0);
    auto markerSeen = std::make_shared<bool>(false);
    return [=]() {
        if (*ticket == 0) {
            *ticket = PostSettleMarker();
            return false;
        }
        if (!*markerSeen) {
            *markerSeen = SettleMarkerSeen(*ticket);
            return false;
        }
        return true;
    };
}

// Step: run an action once.
inline std::function<bool()> Do(std::function<void()> action)
{
    return [=]() {
        action();
        return true;
    };
}

// A second opening while the first dialog of caption runs: another window
// is put in front, then open() is called again; it must not make a second
// dialog and must bring the first one forward.
struct SecondOpening {
    HWND elsewhere = nullptr;
    bool result = true;      // what the second call returned
    size_t dialogs = 0;      // dialogs of the caption right after it
    HWND foreground = nullptr;
    SecondOpening() = default;
    SecondOpening(const SecondOpening&) = delete;
    SecondOpening& operator=(const SecondOpening&) = delete;
    ~SecondOpening()
    {
        if (elsewhere)
            DestroyWindow(elsewhere);
    }
};

inline void AddSecondOpening(DialogScript* script, const char* caption, std::function<bool()> open,
                             SecondOpening* seen)
{
    script->Add(Do([seen]() { seen->elsewhere = ShowWindowInFront(); }));
    script->Add(Do([=]() {
        seen->result = open();
        seen->dialogs = FindThreadDialogs(caption).size();
        seen->foreground = GetForegroundWindow();
    }));
}

// The second opening left the first dialog alone, in front.
inline void ExpectBroughtToFront(const SecondOpening& seen, HWND dialog)
{
    EXPECT_FALSE(seen.result);
    EXPECT_EQ(seen.dialogs, 1u);
    EXPECT_EQ(seen.foreground, dialog);
}

// What the close question showed when answered Cancel and then Yes.
struct CloseTwiceSeen {
    SeenMessageBox first, second;
    bool openAfterCancel = false;
};

// Steps for a dialog already edited: close it by its title bar and answer
// the question Cancel; once the box is gone, note whether the dialog stayed
// open and run whileOpen (checks of its state, or null); then close it again
// and answer Yes, which acts as OK.
inline void AddCloseCancelThenYes(DialogScript* script, const HWND* dialog, CloseTwiceSeen* seen,
                                  std::function<void()> whileOpen = nullptr)
{
    script->Add(Do([=]() { PostMessageA(*dialog, WM_CLOSE, 0, 0); }));
    script->Add(AnswerMessageBox(script, dialog, &seen->first, IDCANCEL));
    script->Add(WaitNoMessageBox(dialog));
    script->Add(Settled());
    script->Add(Do([=]() {
        seen->openAfterCancel = IsWindow(*dialog) && IsWindowVisible(*dialog);
        if (whileOpen)
            whileOpen();
        PostMessageA(*dialog, WM_CLOSE, 0, 0);
    }));
    script->Add(AnswerMessageBox(script, dialog, &seen->second, IDYES));
}

// ---------------------------------------------------------------- start state

// A dialog's state as its start leaves it, before the dialog manager first
// shows it (Wine's modal loop shows a dialog restored at that moment): seen
// by a hook on this thread at the return of WM_INITDIALOG.
struct InitWatch {
    const char* caption;
    int controlId;
    bool seen;
    bool zoomed;
    bool topmost;
    SIZE restored;  // the restored window size
};

inline InitWatch& CurrentInitWatch()
{
    static InitWatch watch;
    return watch;
}

inline LRESULT CALLBACK WatchInitDialog(int code, WPARAM wParam, LPARAM lParam)
{
    const CWPRETSTRUCT* call = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    InitWatch& w = CurrentInitWatch();
    if (code == HC_ACTION && call->message == WM_INITDIALOG && GetDlgItem(call->hwnd, w.controlId) &&
        WindowText(call->hwnd) == w.caption) {
        w.seen = true;
        w.zoomed = IsZoomed(call->hwnd) != FALSE;
        w.topmost = (GetWindowLongA(call->hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
        RECT restored = {0, 0, 0, 0};
        Placement_GetRestoredRect(call->hwnd, &restored);
        w.restored.cx = restored.right - restored.left;
        w.restored.cy = restored.bottom - restored.top;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Starts watching for the dialog with this caption and control; the hook to
// unhook after it has run, or null.
inline HHOOK StartInitWatch(const char* caption, int controlId)
{
    CurrentInitWatch() = InitWatch{caption, controlId, false, false, false, {0, 0}};
    return SetWindowsHookExA(WH_CALLWNDPROCRET, WatchInitDialog, nullptr, GetCurrentThreadId());
}

// ---------------------------------------------------------------- templates

// One control of a DLGTEMPLATE (the classic, non-extended form) as read back.
struct TemplateItem {
    DWORD style;
    short x, y, cx, cy;
    int id;             // -1 written as 0xFFFF
    std::string klass;  // "Button", "Edit", "Static" for the atoms, else the name
    std::string text;   // code page 932
};

struct TemplateDialog {
    DWORD style = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    std::string caption;
    WORD pointSize = 0;
    std::string font;
    std::vector<TemplateItem> items;
};

inline std::string NarrowFrom(const WORD* w, const WORD** end)
{
    const WORD* p = w;
    while (*p)
        p++;
    std::string out;
    int n = static_cast<int>(p - w);
    if (n > 0) {
        int bytes = WideCharToMultiByte(932, 0, reinterpret_cast<const wchar_t*>(w), n, nullptr, 0, nullptr, nullptr);
        out.resize(static_cast<size_t>(bytes));
        WideCharToMultiByte(932, 0, reinterpret_cast<const wchar_t*>(w), n, &out[0], bytes, nullptr, nullptr);
    }
    *end = p + 1;
    return out;
}

// A name-or-ordinal field: 0xFFFF followed by the ordinal, or a string.
inline std::string ReadSzOrOrd(const WORD** p, WORD* ordinal)
{
    *ordinal = 0;
    if (**p == 0xFFFF) {
        *ordinal = (*p)[1];
        *p += 2;
        return "";
    }
    return NarrowFrom(*p, p);
}

inline bool ReadDialogTemplate(HMODULE module, int id, TemplateDialog* out)
{
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), reinterpret_cast<LPCSTR>(RT_DIALOG));
    if (!found)
        return false;
    HGLOBAL loaded = LoadResource(module, found);
    const DLGTEMPLATE* head = static_cast<const DLGTEMPLATE*>(LockResource(loaded));
    if (!head || HIWORD(head->style) == 0xFFFF)  // an extended template starts with 1, 0xFFFF
        return false;
    out->style = head->style;
    out->x = head->x;
    out->y = head->y;
    out->cx = head->cx;
    out->cy = head->cy;
    const WORD* p = reinterpret_cast<const WORD*>(head + 1);
    WORD ordinal;
    ReadSzOrOrd(&p, &ordinal);  // menu
    ReadSzOrOrd(&p, &ordinal);  // class
    out->caption = NarrowFrom(p, &p);
    if (head->style & DS_SETFONT) {
        out->pointSize = *p++;
        out->font = NarrowFrom(p, &p);
    }
    for (int i = 0; i < head->cdit; i++) {
        uintptr_t at = reinterpret_cast<uintptr_t>(p);
        p = reinterpret_cast<const WORD*>((at + 3) & ~static_cast<uintptr_t>(3));
        const DLGITEMTEMPLATE* item = reinterpret_cast<const DLGITEMTEMPLATE*>(p);
        TemplateItem row;
        row.style = item->style;
        row.x = item->x;
        row.y = item->y;
        row.cx = item->cx;
        row.cy = item->cy;
        row.id = item->id == 0xFFFF ? -1 : item->id;
        p = reinterpret_cast<const WORD*>(item + 1);
        row.klass = ReadSzOrOrd(&p, &ordinal);
        switch (ordinal) {
        case 0x80: row.klass = "Button"; break;
        case 0x81: row.klass = "Edit"; break;
        case 0x82: row.klass = "Static"; break;
        case 0x83: row.klass = "ListBox"; break;
        case 0x84: row.klass = "ScrollBar"; break;
        case 0x85: row.klass = "ComboBox"; break;
        }
        row.text = ReadSzOrOrd(&p, &ordinal);
        WORD extra = *p++;
        p = reinterpret_cast<const WORD*>(reinterpret_cast<const BYTE*>(p) + extra);
        out->items.push_back(row);
    }
    return true;
}

inline bool SameClass(const std::string& a, const char* b)
{
    return lstrcmpiA(a.c_str(), b) == 0;
}

// One control of a template as a test expects it.
struct ExpectedItem {
    int id;
    const char* klass;
    const char* text;  // null: not checked
    short x, y, cx, cy;
    DWORD type;     // the low bits of the style that make the kind of static or button; NO_TYPE: not checked
    DWORD present;  // style bits that must be set
    DWORD absent;   // style bits that must be clear
};

enum : DWORD { NO_TYPE = 0xFFFFFFFF };

// The first count items of the template, one by one; each is visible unless
// WS_VISIBLE is among its absent bits.
inline void ExpectTemplateItems(const TemplateDialog& dialog, const ExpectedItem* items, size_t count)
{
    ASSERT_GE(dialog.items.size(), count);
    for (size_t i = 0; i < count; i++) {
        const ExpectedItem& e = items[i];
        const TemplateItem& got = dialog.items[i];
        SCOPED_TRACE(testing::Message() << "item " << i << " id " << e.id);
        EXPECT_EQ(got.id, e.id);
        EXPECT_TRUE(SameClass(got.klass, e.klass)) << got.klass;
        if (e.text) {
            EXPECT_EQ(got.text, e.text);
        }
        EXPECT_EQ(got.x, e.x);
        EXPECT_EQ(got.y, e.y);
        EXPECT_EQ(got.cx, e.cx);
        EXPECT_EQ(got.cy, e.cy);
        if (e.type != NO_TYPE) {
            DWORD mask = SameClass(got.klass, "Static") ? SS_TYPEMASK : BS_TYPEMASK;
            EXPECT_EQ(got.style & mask, e.type);
        }
        EXPECT_EQ(got.style & e.present, e.present);
        EXPECT_EQ(got.style & e.absent, 0u);
        if (!(e.absent & WS_VISIBLE)) {
            EXPECT_TRUE(got.style & WS_VISIBLE);
        }
    }
}
