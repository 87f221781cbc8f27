// The search window of the running program, found by class and caption from
// this other process and typed into from the X side: it opens at the popup
// position, a typed word narrows its list, Enter and Shift+Enter pick as the
// text popup does, Escape leaves everything as it was, Delete removes a
// history entry from the history file, and its size lands in the INI file.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "harness.h"
#include "xinput.h"

namespace {

const char CLASS[] = "TamarinSearch";
const char TITLE[] = "\x83\x65\x83\x4c\x83\x58\x83\x67\x82\xcc\x8c\x9f\x8d\xf5";  // テキストの検索
const char SECTION_MENU_POS[] = "\x83\x81\x83\x6a\x83\x85\x81\x5b\x82\xcc\x95\x5c\x8e\xa6\x88\xca\x92\x75";  // メニューの表示位置
const char SECTION_EXT[] = "\x8a\x67\x92\xa3";  // 拡張
// テキストの検索のホットキー
const char KEY_SEARCH_HOTKEY[] =
    "\x83\x65\x83\x4c\x83\x58\x83\x67\x82\xcc\x8c\x9f\x8d\xf5\x82\xcc\x83\x7a\x83\x62\x83\x67\x83\x4c\x81\x5b";
const char KEY_WIDTH[] = "\x95\x9d";            // 幅
const char KEY_HEIGHT[] = "\x8d\x82\x82\xb3";   // 高さ
const int ID_EDIT = 1001;
const int ID_LIST = 1002;

typedef std::vector<std::string> Records;

// A store file: NUL-ended records, oldest first, LF stored as CR LF.
std::string Store(const Records& records)
{
    std::string bytes;
    for (const std::string& r : records) {
        for (char c : r)
            bytes += c == '\n' ? std::string("\r\n") : std::string(1, c);
        bytes += std::string(1, '\0');
    }
    return bytes;
}

// The history, oldest first as the file holds it; the window shows it newest
// first below the registered texts.
const Records HISTORY = {
    "https://example.com/tamarin",
    "\x89\xef\x8b\x63\x82\xcd\x8c\xdf\x8c\xe3\x82\x52\x8e\x9e\x82\xa9\x82\xe7",  // 会議は午後3時から
    "\x82\x73\x82\x60\x82\x6c\x82\x60\x82\x71\x82\x68\x82\x6d",                  // ＴＡＭＡＲＩＮ
    "Tamarin\nsecond line",
    "unrelated",
};
const Records REGISTERED = {"tamarin registered", "other"};

struct Search : testing::Test {
    Tamarin t;
    HWND window = nullptr;

    void TearDown() override
    {
        if (window && IsWindow(window))
            PostMessageA(window, WM_CLOSE, 0, 0);
        Tamarin_Cleanup(&t);
    }
    void Start(const std::string& ini = "")
    {
        std::string settings = ini.empty() ? std::string("[") + SECTION_MENU_POS + "]\r\nx=300\r\ny=560\r\n" : ini;
        ASSERT_TRUE(Tamarin_Prepare(&t, settings));
        ASSERT_TRUE(WriteFileBytes(Tamarin_File(&t, ".hst"), Store(HISTORY)));
        ASSERT_TRUE(WriteFileBytes(Tamarin_File(&t, ".use"), Store(REGISTERED)));
        ASSERT_TRUE(Tamarin_Start(&t));
    }
    HWND FindSearch() const
    {
        HWND w = FindWindowA(CLASS, TITLE);
        return w && IsWindowVisible(w) ? w : nullptr;
    }
    // Command 40070, then the window, with the X focus in its edit box.
    HWND Open()
    {
        PostMessageA(t.window, WM_COMMAND, 40070, 0);
        WaitFor([&] { return (window = FindSearch()) != nullptr; }, E2E_TIMEOUT_MS);
        if (window)
            ClickInto(GetDlgItem(window, ID_EDIT));
        return window;
    }
    int Count() const { return static_cast<int>(SendMessageA(GetDlgItem(window, ID_LIST), LB_GETCOUNT, 0, 0)); }
    bool WaitCount(int n) const { return WaitFor([&] { return Count() == n; }, E2E_TIMEOUT_MS); }
    bool WaitClosed() const { return WaitFor([&] { return !IsWindow(window); }, E2E_TIMEOUT_MS); }
    Records History() const { return ReadStoreRecords(Tamarin_File(&t, ".hst")); }
    Records Registered() const { return ReadStoreRecords(Tamarin_File(&t, ".use")); }
    std::string Ini() const
    {
        std::string ini;
        ReadFileBytes(Tamarin_File(&t, ".ini"), &ini);
        return ini;
    }
};

TEST_F(Search, OpensAtThePopupPositionWithEveryEntry)
{
    Start();
    ASSERT_NE(Open(), nullptr);
    RECT r;
    GetWindowRect(window, &r);
    EXPECT_EQ(r.left, 300);
    EXPECT_EQ(r.bottom, 560);
    EXPECT_TRUE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(Count(), 7);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    EXPECT_EQ(owner, t.process.dwProcessId);
}

TEST_F(Search, TypedWordNarrowsTheListAndEnterPicksExactly)
{
    Start();
    ASSERT_NE(Open(), nullptr);
    ASSERT_TRUE(Xdotool("type --delay 40 tamarin"));
    // tamarin registered | Tamarin second line, ＴＡＭＡＲＩＮ, https://example.com/tamarin
    EXPECT_TRUE(WaitCount(4)) << Count();
    ASSERT_TRUE(Xdotool("type --delay 40 ' line'"));
    EXPECT_TRUE(WaitCount(1)) << Count();
    DWORD sequence = GetClipboardSequenceNumber();
    ASSERT_TRUE(Xdotool("key Return"));
    std::string last;
    EXPECT_TRUE(WaitForClipboardText(sequence, "Tamarin\nsecond line", &last)) << last;
    EXPECT_TRUE(WaitClosed());
    // The pick moves the entry to the top of the history, as a popup pick does.
    Records moved = {HISTORY[0], HISTORY[1], HISTORY[2], HISTORY[4], HISTORY[3]};
    EXPECT_TRUE(WaitFor([&] { return History() == moved; }, E2E_TIMEOUT_MS));
    EXPECT_EQ(Registered(), REGISTERED);
}

TEST_F(Search, DownFromTheEditBoxAndShiftEnterRegistersAHistoryEntry)
{
    Start();
    ASSERT_NE(Open(), nullptr);
    ASSERT_TRUE(Xdotool("type --delay 40 TAMARIN"));
    ASSERT_TRUE(WaitCount(4));
    // Down twice from the edit box: past the registered text and the newest entry, to ＴＡＭＡＲＩＮ.
    DWORD sequence = GetClipboardSequenceNumber();
    ASSERT_TRUE(Xdotool("key Down Down shift+Return"));
    std::string last;
    EXPECT_TRUE(WaitForClipboardText(sequence, HISTORY[2], &last)) << last;
    EXPECT_TRUE(WaitFor([&] { return Registered() == Records{REGISTERED[0], REGISTERED[1], HISTORY[2]}; },
                        E2E_TIMEOUT_MS));
}

TEST_F(Search, EscapeClosesWithoutAChange)
{
    Start();
    ASSERT_TRUE(PutClipboardText("before"));
    ASSERT_TRUE(WaitFor([&] { return History().size() == HISTORY.size() + 1; }, E2E_TIMEOUT_MS));
    Records history = History();
    ASSERT_NE(Open(), nullptr);
    DWORD sequence = GetClipboardSequenceNumber();
    ASSERT_TRUE(Xdotool("type --delay 40 tamarin"));
    ASSERT_TRUE(WaitCount(4));
    ASSERT_TRUE(Xdotool("key Escape"));
    EXPECT_TRUE(WaitClosed());
    ASSERT_TRUE(Tamarin_Settle(&t));
    EXPECT_EQ(GetClipboardSequenceNumber(), sequence);
    std::string text;
    GetClipboardText(&text);
    EXPECT_EQ(text, "before");
    EXPECT_EQ(History(), history);
    EXPECT_EQ(Registered(), REGISTERED);
}

TEST_F(Search, DeleteInTheListRemovesTheEntryFromTheHistoryFile)
{
    Start();
    ASSERT_NE(Open(), nullptr);
    ASSERT_TRUE(Xdotool("type --delay 40 example"));
    ASSERT_TRUE(WaitCount(1));
    ASSERT_TRUE(Xdotool("key Tab Delete"));
    Records left = {HISTORY[1], HISTORY[2], HISTORY[3], HISTORY[4]};
    EXPECT_TRUE(WaitFor([&] { return History() == left; }, E2E_TIMEOUT_MS));
    EXPECT_TRUE(WaitCount(0)) << Count();
    EXPECT_TRUE(IsWindowVisible(window));  // no question, and the window stays
}

TEST_F(Search, SizeIsKeptInTheIniFile)
{
    Start();
    ASSERT_NE(Open(), nullptr);
    SetWindowPos(window, nullptr, 0, 0, 480, 360, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_TRUE(Xdotool("key Escape"));
    ASSERT_TRUE(WaitClosed());
    std::string section = std::string("[") + TITLE + "]";
    EXPECT_TRUE(WaitFor(
        [&] {
            std::string ini = Ini();
            size_t at = ini.find(section);
            return at != std::string::npos && ini.find(std::string(KEY_WIDTH) + "=480", at) != std::string::npos &&
                   ini.find(std::string(KEY_HEIGHT) + "=360", at) != std::string::npos;
        },
        E2E_TIMEOUT_MS))
        << Ini();
    ASSERT_NE(Open(), nullptr);
    RECT r;
    GetWindowRect(window, &r);
    EXPECT_EQ(r.right - r.left, 480);
    EXPECT_EQ(r.bottom - r.top, 360);
}

TEST_F(Search, SecondOpeningKeepsOneWindow)
{
    Start();
    ASSERT_NE(Open(), nullptr);
    DWORD_PTR result = 0;
    // Handled by the open window's loop, so it returns at once.
    ASSERT_TRUE(SendMessageTimeoutA(t.window, WM_COMMAND, 40070, 0, SMTO_NORMAL, E2E_TIMEOUT_MS, &result));
    int windows = 0;
    for (HWND w = nullptr; (w = FindWindowExA(nullptr, w, CLASS, TITLE)) != nullptr;)
        windows += IsWindowVisible(w) ? 1 : 0;
    EXPECT_EQ(windows, 1);
    EXPECT_EQ(GetForegroundWindow(), window);
}

TEST_F(Search, ItsOwnHotkeyOpensIt)
{
    // Ctrl+Alt+F: (MOD_CONTROL | MOD_ALT) * 256 + 'F'
    Start(std::string("[") + SECTION_EXT + "]\r\n" + KEY_SEARCH_HOTKEY + "=" + std::to_string(3 * 256 + 'F') +
          "\r\n");
    EXPECT_FALSE(RegisterHotKey(nullptr, 1, MOD_CONTROL | MOD_ALT, 'F'));  // taken by Tamarin
    // The key press reaches Wine once a window of this process has the X focus.
    HWND focus = CreateWindowExA(0, "STATIC", "focus", WS_POPUP | WS_VISIBLE | WS_BORDER, 40, 40, 200, 100, nullptr,
                                 nullptr, nullptr, nullptr);
    ClickInto(focus);
    bool opened = false;
    for (int press = 0; press < 5 && !opened; press++) {
        ASSERT_TRUE(Xdotool("key ctrl+alt+f"));
        opened = WaitFor([&] { return (window = FindSearch()) != nullptr; }, E2E_TIMEOUT_MS / 5);
    }
    EXPECT_TRUE(opened);
    DestroyWindow(focus);
    EXPECT_EQ(Tamarin_Quit(&t), 0);
    EXPECT_TRUE(RegisterHotKey(nullptr, 1, MOD_CONTROL | MOD_ALT, 'F'));  // released at the end
    UnregisterHotKey(nullptr, 1);
}

}  // namespace
