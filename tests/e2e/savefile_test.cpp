// Saving the store files when something is in the way: another program that
// holds the file open for a moment (virus scanners, indexers, sync clients)
// is waited for; a save that fails for good is told once, in a balloon from
// the tray icon.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "harness.h"

namespace {

typedef std::vector<std::string> Records;

struct SaveFile : testing::Test {
    Tamarin t;
    void TearDown() override { Tamarin_Cleanup(&t); }
    Records History() const { return ReadStoreRecords(Tamarin_File(&t, ".hst")); }
    // A save under way: the new contents wait beside the history file, under
    // a name of their own that begins with the history file's.
    bool NewContentsWaiting() const
    {
        WIN32_FIND_DATAA fd;
        HANDLE find = FindFirstFileA((Tamarin_File(&t, ".hst") + "?*").c_str(), &fd);
        if (find == INVALID_HANDLE_VALUE)
            return false;
        FindClose(find);
        return true;
    }
};

// The history file is open here, without delete sharing, while Tamarin saves
// it, and for 300 ms after the save has begun: the save lands once the file
// is let go.
TEST_F(SaveFile, AHistoryFileHeldForAMomentIsSavedAfterRetrying)
{
    ASSERT_TRUE(Tamarin_Prepare(&t));
    ASSERT_TRUE(WriteFileBytes(Tamarin_File(&t, ".hst"), std::string("before\0", 7)));
    ASSERT_TRUE(Tamarin_Start(&t));
    std::vector<HWND> balloonsBefore = VisibleBalloons();
    HANDLE held = CreateFileA(Tamarin_File(&t, ".hst").c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    ASSERT_TRUE(PutClipboardText("saved late"));
    EXPECT_TRUE(WaitFor([&] { return NewContentsWaiting(); }, E2E_TIMEOUT_MS)) << "no save met the held file";
    Sleep(300);  // the strain itself: how long the other program holds the file
    CloseHandle(held);
    EXPECT_TRUE(WaitFor([&] { return History() == Records{"before", "saved late"}; }, E2E_TIMEOUT_MS));
    ASSERT_TRUE(Tamarin_Settle(&t));
    EXPECT_EQ(NewBalloon(balloonsBefore), nullptr) << "a save that succeeded was reported";
}

// A folder where the history file should be: every save fails. The first
// failure is told in a balloon; the next ones are not told again.
TEST_F(SaveFile, ASaveThatFailsIsToldOnce)
{
    ASSERT_TRUE(Tamarin_Prepare(&t));
    ASSERT_TRUE(CreateDirectoryA(Tamarin_File(&t, ".hst").c_str(), nullptr));
    ASSERT_TRUE(Tamarin_Start(&t));
    std::vector<HWND> before = VisibleBalloons();
    ASSERT_TRUE(PutClipboardText("not saved"));
    HWND balloon = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (balloon = NewBalloon(before)) != nullptr; }, E2E_TIMEOUT_MS));

    // Telling it again would replace the balloon at once.
    ASSERT_TRUE(PutClipboardText("not saved either"));
    ASSERT_TRUE(Tamarin_Settle(&t));
    ASSERT_TRUE(PutClipboardText("nor this"));
    ASSERT_TRUE(Tamarin_Settle(&t));
    EXPECT_TRUE(IsWindow(balloon) && IsWindowVisible(balloon));
    std::vector<HWND> now = VisibleBalloons();
    EXPECT_EQ(now.size(), before.size() + 1);
    RemoveDirectoryA(Tamarin_File(&t, ".hst").c_str());
}

}  // namespace
