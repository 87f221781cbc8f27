// The clipboard-viewer chain seen from neighbours in another process: a
// viewer that stops forwarding, repair after the quiet interval, and the
// re-linking and forwarding of WM_CHANGECBCHAIN.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "harness.h"

namespace {

const char KEY_REPAIR_INTERVAL[] =
    "\x8a\xc4\x8e\x8b\x83\x60\x83\x46\x83\x43\x83\x93\x82\xcc\x8f\x43\x95\x9c\x8a\xd4\x8a\x75";  // 監視チェインの修復間隔
const char KEY_LOG_TEXT[] =
    "\x83\x65\x83\x4c\x83\x58\x83\x67\x82\xf0\x83\x8d\x83\x4f\x82\xd6\x8f\x91\x82\xab\x8f\x6f\x82\xb7";  // テキストをログへ書き出す
const char KEY_LOG_FOLDER[] = "\x83\x8d\x83\x4f\x83\x74\x83\x48\x83\x8b\x83\x5f";  // ログフォルダ

// A viewer of this process that records what reaches it and forwards only
// when told to.
struct Viewer {
    HWND hwnd = nullptr;
    HWND next = nullptr;
    bool forward = true;
    int draws = 0;
    std::vector<std::pair<HWND, HWND>> changes;
};

LRESULT CALLBACK ViewerProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    Viewer* v = reinterpret_cast<Viewer*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (v && msg == WM_DRAWCLIPBOARD) {
        v->draws++;
        if (v->forward && v->next)
            SendMessageA(v->next, msg, wParam, lParam);
        return 0;
    }
    if (v && msg == WM_CHANGECBCHAIN) {
        v->changes.push_back({reinterpret_cast<HWND>(wParam), reinterpret_cast<HWND>(lParam)});
        if (reinterpret_cast<HWND>(wParam) == v->next)
            v->next = reinterpret_cast<HWND>(lParam);
        else if (v->next)
            SendMessageA(v->next, msg, wParam, lParam);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

void CreateViewer(Viewer* v)
{
    static bool registered;
    if (!registered) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = ViewerProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "TamarinTestViewer";
        RegisterClassA(&wc);
        registered = true;
    }
    v->hwnd = CreateWindowExA(0, "TamarinTestViewer", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
    SetWindowLongPtrA(v->hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(v));
}

void JoinChain(Viewer* v)
{
    v->next = SetClipboardViewer(v->hwnd);
}

void LeaveChain(Viewer* v)
{
    ChangeClipboardChain(v->hwnd, v->next);
}

struct Chain : testing::Test {
    Tamarin t;
    std::vector<Viewer*> viewers;

    void TearDown() override
    {
        for (Viewer* v : viewers) {
            DestroyWindow(v->hwnd);
            delete v;
        }
        Tamarin_Cleanup(&t);
    }
    Viewer* NewViewer()
    {
        Viewer* v = new Viewer;
        CreateViewer(v);
        viewers.push_back(v);
        return v;
    }
    // Waits up to ms for the history file to end with text.
    bool Recorded(const std::string& text, DWORD ms = E2E_TIMEOUT_MS)
    {
        return WaitFor(
            [&] {
                auto r = ReadStoreRecords(Tamarin_File(&t, ".hst"));
                return !r.empty() && r.back() == text;
            },
            ms);
    }
};

TEST_F(Chain, RepairBringsTamarinBackAfterAViewerStopsForwarding)
{
    ASSERT_TRUE(Tamarin_Prepare(&t, std::string("[Tamarin]\r\n") + KEY_REPAIR_INTERVAL + "=10000\r\n"));
    ASSERT_TRUE(Tamarin_Start(&t));
    Viewer* v = NewViewer();
    JoinChain(v);
    EXPECT_EQ(v->next, t.window);
    v->forward = false;

    ASSERT_TRUE(PutClipboardText("swallowed"));
    EXPECT_TRUE(WaitFor([&] { return v->draws > 0; }, E2E_TIMEOUT_MS));
    ASSERT_TRUE(Tamarin_Settle(&t));
    EXPECT_FALSE(Recorded("swallowed", 0));

    // Ten quiet seconds later Tamarin leaves and re-joins at the head: until
    // then each probe is swallowed, from then on each is recorded at once.
    DWORD start = GetTickCount();
    bool back = false;
    while (!back && GetTickCount() - start < 60000) {
        std::string probe = "probe " + std::to_string(GetTickCount());
        PutClipboardText(probe);
        back = Recorded(probe, 500);
    }
    EXPECT_TRUE(back);
    EXPECT_GE(GetTickCount() - start, 6000u);  // not before the quiet interval
    LeaveChain(v);
}

TEST_F(Chain, ChangeCbChainRelinksOrForwards)
{
    Viewer* last = NewViewer();
    Viewer* middle = NewViewer();
    JoinChain(last);
    JoinChain(middle);  // middle -> last
    ASSERT_TRUE(Tamarin_Prepare(&t));
    ASSERT_TRUE(Tamarin_Start(&t));  // Tamarin -> middle -> last
    EXPECT_EQ(GetClipboardViewer(), t.window);

    ASSERT_TRUE(PutClipboardText("forwarded"));
    EXPECT_TRUE(WaitFor([&] { return last->draws > 0 && middle->draws > 0; }, E2E_TIMEOUT_MS));

    // Removing a window further down is forwarded to Tamarin's next viewer.
    LeaveChain(last);
    EXPECT_TRUE(WaitFor([&] { return !middle->changes.empty(); }, E2E_TIMEOUT_MS));
    ASSERT_FALSE(middle->changes.empty());
    EXPECT_EQ(middle->changes[0].first, last->hwnd);

    // Removing Tamarin's own next viewer re-links without forwarding.
    LeaveChain(middle);
    int drawsBefore = middle->draws;
    ASSERT_TRUE(PutClipboardText("after the leave"));
    EXPECT_TRUE(Recorded("after the leave"));
    // A forward to the middle viewer would reach it while this thread waits
    // for Tamarin to finish the change.
    ASSERT_TRUE(Tamarin_Settle(&t));
    EXPECT_EQ(middle->draws, drawsBefore);
    EXPECT_EQ(middle->changes.size(), 1u);
}

// A viewer that stops answering, on a thread of its own: it joins the chain
// and then waits on an event without reading its messages until released.
struct HungViewer {
    HANDLE joined = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE thread = nullptr;
    HWND hwnd = nullptr;
};

DWORD WINAPI HungViewerThread(void* param)
{
    HungViewer* h = static_cast<HungViewer*>(param);
    h->hwnd = CreateWindowExA(0, "STATIC", "hung viewer", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
    HWND next = SetClipboardViewer(h->hwnd);
    SetEvent(h->joined);
    WaitForSingleObject(h->release, INFINITE);
    ChangeClipboardChain(h->hwnd, next);
    DestroyWindow(h->hwnd);
    return 0;
}

// A viewer after Tamarin that never answers: Tamarin gives up on it instead
// of waiting for ever, stays responsive and records every change.
TEST_F(Chain, AHungViewerAfterTamarinDoesNotHangIt)
{
    HungViewer hung;
    hung.thread = CreateThread(nullptr, 0, HungViewerThread, &hung, 0, nullptr);
    ASSERT_EQ(WaitForSingleObject(hung.joined, 10000), WAIT_OBJECT_0);
    ASSERT_TRUE(Tamarin_Prepare(&t));
    bool started = Tamarin_Start(&t);  // Tamarin -> hung viewer
    EXPECT_TRUE(started);
    // Sent messages would reach Tamarin even while it waited on the viewer;
    // the posted command (日時の取得) shows that its message loop runs.
    for (int i = 0; started && i < 5; i++) {
        std::string text = "past the hung viewer " + std::to_string(i);
        ASSERT_TRUE(PutClipboardText(text));
        EXPECT_TRUE(Recorded(text)) << text;
        PostMessageA(t.window, WM_COMMAND, 40045, 0);
        EXPECT_TRUE(WaitFor(
            [&] {
                std::string clip;
                return GetClipboardText(&clip) && clip.find('/') != std::string::npos;
            },
            5000))
            << "the message loop does not run";
    }
    EXPECT_EQ(Tamarin_Quit(&t), 0);
    Tamarin_Cleanup(&t);
    SetEvent(hung.release);
    WaitForSingleObject(hung.thread, 10000);
    CloseHandle(hung.thread);
    CloseHandle(hung.joined);
    CloseHandle(hung.release);
}

unsigned long long LastWriteTime(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
    return (static_cast<unsigned long long>(data.ftLastWriteTime.dwHighDateTime) << 32) |
           data.ftLastWriteTime.dwLowDateTime;
}

int CountLogFiles(const std::string& folder)
{
    int count = 0;
    WIN32_FIND_DATAA fd;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &fd);
    if (find == INVALID_HANDLE_VALUE)
        return 0;
    do {
        std::string name = fd.cFileName;
        if (name == "." || name == "..")
            continue;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            count += CountLogFiles(folder + "\\" + name);
        else
            count++;
    } while (FindNextFileA(find, &fd));
    FindClose(find);
    return count;
}

// Waits until a repair has put Tamarin back at the head of the chain, ahead
// of a viewer that joined after it, and Tamarin has handled the notification
// of its re-join (it comes within SetClipboardViewer, before Tamarin reads
// its messages again).
bool WaitForRepair(const Tamarin& t, Viewer* v)
{
    JoinChain(v);
    if (v->next != t.window)
        return false;
    bool repaired = WaitFor([&] { return GetClipboardViewer() == t.window; }, 25000);
    LeaveChain(v);
    return repaired && Tamarin_Settle(&t);
}

// Re-joining the chain shows Tamarin the clipboard again; with nothing new
// on it nothing is recorded: no log file, no rewritten history file, and a
// cleared history stays clear.
TEST_F(Chain, ARepairWithAnUnchangedClipboardRecordsNothing)
{
    ASSERT_TRUE(Tamarin_Prepare(&t));
    std::string log = t.folder + "\\log";
    ASSERT_TRUE(WriteFileBytes(Tamarin_File(&t, ".ini"), std::string("[Tamarin]\r\n") + KEY_REPAIR_INTERVAL +
                                                              "=10000\r\n" + KEY_LOG_TEXT + "=1\r\n" +
                                                              KEY_LOG_FOLDER + "=" + log + "\r\n"));
    ASSERT_TRUE(Tamarin_Start(&t));
    ASSERT_TRUE(PutClipboardText("quiet"));
    ASSERT_TRUE(Recorded("quiet"));
    ASSERT_TRUE(WaitFor([&] { return CountLogFiles(log) == 1; }, E2E_TIMEOUT_MS));
    const std::string hst = Tamarin_File(&t, ".hst");
    unsigned long long written = LastWriteTime(hst);

    Viewer* v = NewViewer();
    ASSERT_TRUE(WaitForRepair(t, v));
    EXPECT_EQ(CountLogFiles(log), 1);
    EXPECT_EQ(LastWriteTime(hst), written);
    EXPECT_EQ(ReadStoreRecords(hst), (std::vector<std::string>{"quiet"}));

    // 履歴のクリア, then the next repair: the history stays empty, as the
    // save at the end shows.
    SendMessageA(t.window, WM_COMMAND, 40050, 0);
    ASSERT_TRUE(WaitForRepair(t, v));
    EXPECT_EQ(CountLogFiles(log), 1);
    EXPECT_EQ(LastWriteTime(hst), written);
    EXPECT_EQ(Tamarin_Quit(&t), 0);
    EXPECT_TRUE(ReadStoreRecords(hst).empty());
}

}  // namespace
