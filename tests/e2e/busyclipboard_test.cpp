// A clipboard that another program holds open right after every change, as
// the system's clipboard history, remote-desktop clipboards and other
// managers do: Tamarin reads each change again until it gets it, writes its
// own texts again until they land, and says so when it has to give up.
#include <gtest/gtest.h>

#include <algorithm>

#include <string>
#include <vector>

#include "harness.h"

namespace {

const char KEY_HISTORY_MAX[] = "\x97\x9a\x97\xf0\x82\xcc\x8b\x4c\x89\xaf\x90\x94";  // 履歴の記憶数
const char KEY_LOG_IMAGE[] =
    "\x83\x43\x83\x81\x81\x5b\x83\x57\x82\xf0\x83\x8d\x83\x4f\x82\xd6\x8f\x91\x82\xab\x8f\x6f\x82\xb7";  // イメージをログへ書き出す
const char KEY_LOG_FOLDER[] = "\x83\x8d\x83\x4f\x83\x74\x83\x48\x83\x8b\x83\x5f";  // ログフォルダ

typedef std::vector<std::string> Records;

struct BusyClipboard : testing::Test {
    Tamarin t;
    ClipHolder holder;

    void TearDown() override
    {
        ClipHolder_Stop(&holder);
        Tamarin_Cleanup(&t);
    }
    void Start(DWORD holdMs, const std::string& extraIni = "")
    {
        std::string ini = std::string("[Tamarin]\r\n") + KEY_HISTORY_MAX + "=100\r\n" + extraIni;
        ASSERT_TRUE(Tamarin_Prepare(&t, ini));
        ASSERT_TRUE(Tamarin_Start(&t));
        ASSERT_TRUE(ClipHolder_Start(&holder, holdMs));
    }
    Records History() const { return ReadStoreRecords(Tamarin_File(&t, ".hst")); }
    bool HistoryEndsWith(const std::string& text) const
    {
        Records r = History();
        return !r.empty() && r.back() == text;
    }
    std::string Clipboard() const
    {
        std::string text;
        GetClipboardText(&text);
        return text;
    }
    // The holder has the clipboard open now, after the change it was told of.
    bool HolderHoldsClipboard() const { return GetOpenClipboardWindow() == holder.window; }
};

// Each copy is made as soon as the one before is in the history: the copies
// come as fast as Tamarin can take them, and every one of them meets a
// clipboard held for 150 ms.
TEST_F(BusyClipboard, FiftyRapidCopiesAreAllRecorded)
{
    Start(150);
    Records expected;
    for (int i = 0; i < 50; i++) {
        std::string text = "busy copy " + std::to_string(i);
        ASSERT_TRUE(PutClipboardText(text)) << i;
        ASSERT_TRUE(WaitFor([&] { return HistoryEndsWith(text); }, E2E_TIMEOUT_MS)) << "lost: " << text;
        expected.push_back(text);
    }
    EXPECT_EQ(History(), expected);
}

// The date command, a pick from the popup and clearing the clipboard all
// meet a clipboard that the holder still has open.
TEST_F(BusyClipboard, OwnWritesAreTriedAgainUntilTheyLand)
{
    ASSERT_TRUE(Tamarin_Prepare(&t));
    ASSERT_TRUE(WriteFileBytes(Tamarin_File(&t, ".hst"), std::string("picked\0", 7)));
    ASSERT_TRUE(Tamarin_Start(&t));
    ASSERT_TRUE(ClipHolder_Start(&holder, 400));

    ASSERT_TRUE(PutClipboardText("before the date"));
    ASSERT_TRUE(WaitFor([&] { return HolderHoldsClipboard(); }, E2E_TIMEOUT_MS));
    PostMessageA(t.window, WM_COMMAND, 40045, 0);  // 日時の取得
    EXPECT_TRUE(WaitFor([&] { return Clipboard().find('/') != std::string::npos; }, E2E_TIMEOUT_MS)) << Clipboard();

    // Whether "before the date" made it into the history depends on whether
    // its read came before the date's write; the pick takes "picked" by its
    // place once the history is settled, then the clipboard is held again.
    ASSERT_TRUE(PutClipboardText("before the pick"));
    ASSERT_TRUE(WaitFor([&] { return HistoryEndsWith("before the pick"); }, E2E_TIMEOUT_MS));
    Records history = History();
    auto picked = std::find(history.begin(), history.end(), std::string("picked"));
    ASSERT_NE(picked, history.end());
    int index = static_cast<int>(history.end() - picked) - 1;  // newest first
    ASSERT_TRUE(PutClipboardText("before the pick"));           // already on top: the places stay
    ASSERT_TRUE(WaitFor([&] { return HolderHoldsClipboard(); }, E2E_TIMEOUT_MS));
    PostMessageA(t.window, WM_COMMAND, 4096 + index, 0);
    EXPECT_TRUE(WaitFor([&] { return Clipboard() == "picked"; }, E2E_TIMEOUT_MS)) << Clipboard();

    ASSERT_TRUE(PutClipboardText("before the clearing"));
    ASSERT_TRUE(WaitFor([&] { return HolderHoldsClipboard(); }, E2E_TIMEOUT_MS));
    PostMessageA(t.window, WM_COMMAND, 40055, 0);  // ｸﾘｯﾌﾟﾎﾞｰﾄﾞのｸﾘｱ
    EXPECT_TRUE(WaitFor([&] { return IsClipboardEmpty(); }, E2E_TIMEOUT_MS));
}

// A clipboard held far longer than the retries last: Tamarin gives up, says
// so in a balloon, and does not take the unread text for a change without
// text (no image is logged although the clipboard also holds one).
TEST_F(BusyClipboard, GivingUpIsToldAndNoTextIsTakenForAnImage)
{
    ASSERT_TRUE(Tamarin_Prepare(&t));
    std::string log = t.folder + "\\log";
    ASSERT_TRUE(WriteFileBytes(Tamarin_File(&t, ".ini"), std::string("[Tamarin]\r\n") + KEY_LOG_IMAGE + "=1\r\n" +
                                                              KEY_LOG_FOLDER + "=" + log + "\r\n"));
    ASSERT_TRUE(Tamarin_Start(&t));
    ASSERT_TRUE(ClipHolder_Start(&holder, 6000));
    // Joining the chain showed the holder the clipboard as it was.
    ASSERT_TRUE(WaitFor([&] { return !HolderHoldsClipboard(); }, E2E_TIMEOUT_MS));
    std::vector<HWND> before = VisibleBalloons();
    ASSERT_TRUE(PutClipboardFormats({{CF_TEXT, std::string("held too long\0", 14)}, {CF_DIB, MakeDib24(3, 2, 7)}}));
    HWND balloon = nullptr;
    EXPECT_TRUE(WaitFor([&] { return (balloon = NewBalloon(before)) != nullptr; }, E2E_TIMEOUT_MS));
    EXPECT_FALSE(FileExists(log));
    EXPECT_TRUE(History().empty());

    // Once the holder is gone the next copy is recorded as usual.
    ClipHolder_Stop(&holder);
    ASSERT_TRUE(PutClipboardText("free again"));
    EXPECT_TRUE(WaitFor([&] { return HistoryEndsWith("free again"); }, E2E_TIMEOUT_MS));
    EXPECT_FALSE(FileExists(log));
}

}  // namespace
