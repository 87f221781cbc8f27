// Pasting after a pick, into another program: with the option on and Wine's
// notepad in the foreground, a pick from the search window and one from the
// text popup opened by its hotkey each end up typed into notepad's text; with
// the option off nothing is typed.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "harness.h"
#include "xinput.h"

namespace {

const char SECTION_EXT[] = "\x8a\x67\x92\xa3";  // 拡張
// 選んだテキストを貼り付ける
const char KEY_PASTE[] =
    "\x91\x49\x82\xf1\x82\xbe\x83\x65\x83\x4c\x83\x58\x83\x67\x82\xf0\x93\x5c\x82\xe8\x95\x74\x82\xaf\x82\xe9";
const char SECTION_HOTKEYS[] = "\x83\x7a\x83\x62\x83\x67\x83\x4c\x81\x5b";  // ホットキー
const char KEY_TEXT_POPUP[] = "\x97\x9a\x97\xf0\x82\xf0\x95\x5c\x8e\xa6";    // 履歴を表示
const char SEARCH_CLASS[] = "TamarinSearch";
const int ID_SEARCH_EDIT = 1001;

// 貼り付けテスト: a Japanese text with a trail byte 0x5C (貼)
const char PASTED[] = "\x93\x5c\x82\xe8\x95\x74\x82\xaf test";

struct Notepad {
    PROCESS_INFORMATION process = {};
    HWND window = nullptr;
    HWND edit = nullptr;
};

BOOL CALLBACK FindNotepadOf(HWND window, LPARAM data)
{
    Notepad* n = reinterpret_cast<Notepad*>(data);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    char name[32];
    if (pid == n->process.dwProcessId && GetClassNameA(window, name, sizeof name) && strcmp(name, "Notepad") == 0 &&
        IsWindowVisible(window)) {
        n->window = window;
        return FALSE;
    }
    return TRUE;
}

bool StartNotepad(Notepad* n)
{
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    char line[] = "notepad.exe";
    if (!CreateProcessA(nullptr, line, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &n->process))
        return false;
    if (!WaitFor(
            [&] {
                EnumWindows(FindNotepadOf, reinterpret_cast<LPARAM>(n));
                return n->window != nullptr;
            },
            E2E_TIMEOUT_MS))
        return false;
    n->edit = FindWindowExA(n->window, nullptr, "Edit", nullptr);
    return n->edit != nullptr;
}

std::string EditText(HWND edit)
{
    char text[1024] = {};
    SendMessageA(edit, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

struct Paste : testing::Test {
    Tamarin t;
    Notepad notepad;

    void TearDown() override
    {
        if (notepad.process.hProcess) {
            TerminateProcess(notepad.process.hProcess, 0);  // its save question would hold it open
            WaitForSingleObject(notepad.process.hProcess, E2E_TIMEOUT_MS);
            CloseHandle(notepad.process.hProcess);
            CloseHandle(notepad.process.hThread);
        }
        Tamarin_Cleanup(&t);
    }
    // The text is the newest history entry, or with registered the one
    // registered text (the popup's first entry).
    void Start(bool paste, const std::string& more = "", bool registered = false)
    {
        std::string ini = std::string("[") + SECTION_EXT + "]\r\n" + KEY_PASTE + "=" + (paste ? "1" : "0") + "\r\n" + more;
        ASSERT_TRUE(Tamarin_Prepare(&t, ini));
        std::string record = PASTED + std::string(1, '\0');
        ASSERT_TRUE(WriteFileBytes(Tamarin_File(&t, ".hst"), std::string("other\0", 6) + (registered ? "" : record)));
        if (registered) {
            ASSERT_TRUE(WriteFileBytes(Tamarin_File(&t, ".use"), record));
        }
        ASSERT_TRUE(Tamarin_Start(&t));
        ASSERT_TRUE(StartNotepad(&notepad));
        // notepad is where the user types: it has the foreground and the X focus.
        ASSERT_TRUE(ClickInto(notepad.edit));
        ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == notepad.window; }, E2E_TIMEOUT_MS));
    }
    // Opens the search window over notepad, narrows it to the text and picks it.
    void PickFromSearch()
    {
        PostMessageA(t.window, WM_COMMAND, 40070, 0);
        HWND search = nullptr;
        ASSERT_TRUE(WaitFor([&] { return (search = FindWindowA(SEARCH_CLASS, nullptr)) && IsWindowVisible(search); },
                            E2E_TIMEOUT_MS));
        ASSERT_TRUE(ClickInto(GetDlgItem(search, ID_SEARCH_EDIT)));
        ASSERT_TRUE(Xdotool("type --delay 40 test"));
        ASSERT_TRUE(WaitFor([&] { return SendDlgItemMessageA(search, 1002, LB_GETCOUNT, 0, 0) == 1; }, E2E_TIMEOUT_MS));
        ASSERT_TRUE(Xdotool("key Return"));
    }
};

TEST_F(Paste, PickFromTheSearchWindowIsTypedIntoNotepad)
{
    Start(true);
    DWORD sequence = GetClipboardSequenceNumber();
    PickFromSearch();
    ASSERT_TRUE(WaitForClipboardText(sequence, PASTED));
    std::string last;
    EXPECT_TRUE(WaitFor([&] { return (last = EditText(notepad.edit)) == PASTED; }, E2E_TIMEOUT_MS)) << last;
    EXPECT_EQ(GetForegroundWindow(), notepad.window);
}

TEST_F(Paste, PickFromTheHotkeyPopupIsTypedIntoNotepad)
{
    // Ctrl+Alt+P opens the text popup: (MOD_CONTROL | MOD_ALT) * 256 + 'P'
    Start(true, std::string("[") + SECTION_HOTKEYS + "]\r\n" + KEY_TEXT_POPUP + "=" + std::to_string(3 * 256 + 'P') +
                    "\r\n",
          true);
    ASSERT_TRUE(Xdotool("key ctrl+alt+p"));
    HWND popup = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (popup = FindWindowA("#32768", nullptr)) && IsWindowVisible(popup); },
                        E2E_TIMEOUT_MS));
    // The user clicks the first entry. (Keys would not do under Wine: they
    // follow the X focus, which stays with notepad's window.)
    RECT r;
    GetWindowRect(popup, &r);
    DWORD sequence = GetClipboardSequenceNumber();
    ASSERT_TRUE(Xdotool("mousemove " + std::to_string(r.left + 20) + " " + std::to_string(r.top + 8) + " click 1"));
    ASSERT_TRUE(WaitForClipboardText(sequence, PASTED));
    std::string last;
    EXPECT_TRUE(WaitFor([&] { return (last = EditText(notepad.edit)) == PASTED; }, E2E_TIMEOUT_MS)) << last;
}

TEST_F(Paste, NothingIsTypedWithTheOptionOff)
{
    Start(false);
    DWORD sequence = GetClipboardSequenceNumber();
    PickFromSearch();
    ASSERT_TRUE(WaitForClipboardText(sequence, PASTED));
    // A marker typed by the user after the pick lands alone: no paste came before it.
    ASSERT_TRUE(ClickInto(notepad.edit));
    ASSERT_TRUE(Xdotool("type --delay 40 x"));
    ASSERT_TRUE(WaitFor([&] { return !EditText(notepad.edit).empty(); }, E2E_TIMEOUT_MS));
    ASSERT_TRUE(Tamarin_Settle(&t));
    EXPECT_EQ(EditText(notepad.edit), "x");
}

TEST_F(Paste, NothingWhenTheWindowHasGone)
{
    Start(true);
    PostMessageA(t.window, WM_COMMAND, 40070, 0);
    HWND search = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (search = FindWindowA(SEARCH_CLASS, nullptr)) && IsWindowVisible(search); },
                        E2E_TIMEOUT_MS));
    // notepad ends while the search window is open.
    TerminateProcess(notepad.process.hProcess, 0);
    ASSERT_EQ(WaitForSingleObject(notepad.process.hProcess, E2E_TIMEOUT_MS), WAIT_OBJECT_0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(notepad.window); }, E2E_TIMEOUT_MS));
    ASSERT_TRUE(ClickInto(GetDlgItem(search, ID_SEARCH_EDIT)));
    ASSERT_TRUE(Xdotool("type --delay 40 test"));
    DWORD sequence = GetClipboardSequenceNumber();
    ASSERT_TRUE(Xdotool("key Return"));
    ASSERT_TRUE(WaitForClipboardText(sequence, PASTED));
    // The program goes on as before: a next change is recorded.
    ASSERT_TRUE(PutClipboardText("after"));
    EXPECT_TRUE(WaitFor([&] { return ReadStoreRecords(Tamarin_File(&t, ".hst")).back() == "after"; }, E2E_TIMEOUT_MS));
}

}  // namespace
