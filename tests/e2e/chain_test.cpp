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
    bool Recorded(const std::string& text)
    {
        return WaitFor(
            [&] {
                auto r = ReadStoreRecords(Tamarin_File(&t, ".hst"));
                return !r.empty() && r.back() == text;
            },
            3000);
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
    EXPECT_TRUE(WaitFor([&] { return v->draws > 0; }, 3000));
    EXPECT_FALSE(Recorded("swallowed"));

    // Ten quiet seconds later Tamarin leaves and re-joins at the head.
    DWORD start = GetTickCount();
    bool back = false;
    while (!back && GetTickCount() - start < 16000) {
        WaitFor([] { return false; }, 500);
        std::string probe = "probe " + std::to_string(GetTickCount());
        PutClipboardText(probe);
        back = Recorded(probe);
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
    EXPECT_TRUE(WaitFor([&] { return last->draws > 0 && middle->draws > 0; }, 3000));

    // Removing a window further down is forwarded to Tamarin's next viewer.
    LeaveChain(last);
    EXPECT_TRUE(WaitFor([&] { return !middle->changes.empty(); }, 3000));
    ASSERT_FALSE(middle->changes.empty());
    EXPECT_EQ(middle->changes[0].first, last->hwnd);

    // Removing Tamarin's own next viewer re-links without forwarding.
    LeaveChain(middle);
    int drawsBefore = middle->draws;
    ASSERT_TRUE(PutClipboardText("after the leave"));
    EXPECT_TRUE(Recorded("after the leave"));
    WaitFor([] { return false; }, 300);
    EXPECT_EQ(middle->draws, drawsBefore);
    EXPECT_EQ(middle->changes.size(), 1u);
}

// The join command while Tamarin is already in the chain changes nothing:
// the viewer after it still gets every change.
TEST_F(Chain, JoiningAgainKeepsTheNextViewer)
{
    Viewer* after = NewViewer();
    JoinChain(after);
    ASSERT_TRUE(Tamarin_Prepare(&t));
    ASSERT_TRUE(Tamarin_Start(&t));  // Tamarin -> after
    ASSERT_EQ(GetClipboardViewer(), t.window);

    DWORD_PTR result = 0;
    for (int i = 0; i < 2; i++)
        ASSERT_TRUE(SendMessageTimeoutA(t.window, WM_COMMAND, 40048, 0, SMTO_ABORTIFHUNG, 10000, &result));
    EXPECT_EQ(GetClipboardViewer(), t.window);

    int before = after->draws;
    ASSERT_TRUE(PutClipboardText("still forwarded"));
    EXPECT_TRUE(Recorded("still forwarded"));
    EXPECT_TRUE(WaitFor([&] { return after->draws > before; }, 3000));
    LeaveChain(after);
}

}  // namespace
