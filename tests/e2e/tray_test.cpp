// The tray icon as the taskbar sees it: a stand-in notification area made by
// this process receives what Tamarin sends. A taskbar that starts anew
// (Explorer restarted) broadcasts "TaskbarCreated" and gets the icon again;
// a taskbar that refuses the icon at first (not ready at logon) gets it
// once it accepts; start-up problems arrive as a balloon.
#include <gtest/gtest.h>

#include <string>

#include "faketray.h"
#include "harness.h"

namespace {

const char SECTION_HOTKEYS[] = "\x83\x7a\x83\x62\x83\x67\x83\x4c\x81\x5b";       // ホットキー
const char KEY_DATE[] = "\x93\xfa\x8e\x9e\x82\xcc\x8e\xe6\x93\xbe";              // 日時の取得
const char KEY_TEXT_POPUP[] = "\x97\x9a\x97\xf0\x82\xf0\x95\x5c\x8e\xa6";        // 履歴を表示
const char LABEL_DATE[] = "\x93\xfa\x8e\x9e\x82\xcc\x8e\xe6\x93\xbe";            // 日時の取得
const char LABEL_TEXT_POPUP[] = "\xc3\xb7\xbd\xc4\x88\xea\x97\x97\x82\xcc\x95\x5c\x8e\xa6";  // ﾃｷｽﾄ一覧の表示
const char TITLE_HOTKEYS[] =
    "\x83\x7a\x83\x62\x83\x67\x83\x4c\x81\x5b\x82\xf0\x93\x6f\x98\x5e\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82\xf1"
    "\x82\xc5\x82\xb5\x82\xbd";  // ホットキーを登録できませんでした

int CountFrom(HWND window, DWORD message)
{
    int n = 0;
    for (const TrayNotice& notice : FakeTray_Notices())
        n += notice.from == window && notice.message == message ? 1 : 0;
    return n;
}

const TrayNotice* FindBalloon(HWND window)
{
    for (const TrayNotice& notice : FakeTray_Notices()) {
        if (notice.from == window && (notice.flags & NIF_INFO))
            return &notice;
    }
    return nullptr;
}

struct Tray : testing::Test {
    Tamarin t;
    HWND tray = nullptr;
    void TearDown() override
    {
        Tamarin_Cleanup(&t);
        if (tray)
            FakeTray_Destroy(tray);
    }
};

TEST_F(Tray, ARestartedTaskbarGetsTheIconAgain)
{
    ASSERT_TRUE(Tamarin_Prepare(&t));
    ASSERT_TRUE(Tamarin_Start(&t));
    tray = FakeTray_Create();
    ASSERT_NE(tray, nullptr);
    BroadcastTaskbarCreated();
    EXPECT_TRUE(WaitFor([&] { return CountFrom(t.window, NIM_ADD) >= 1; }, E2E_TIMEOUT_MS));
}

TEST_F(Tray, AnIconTheTaskbarRefusedAtFirstIsAddedOnceItAccepts)
{
    tray = FakeTray_Create(2);
    ASSERT_NE(tray, nullptr);
    ASSERT_TRUE(Tamarin_Prepare(&t));
    ASSERT_TRUE(Tamarin_Start(&t));
    EXPECT_TRUE(WaitFor([&] { return CountFrom(t.window, NIM_ADD) >= 3; }, E2E_TIMEOUT_MS))
        << CountFrom(t.window, NIM_ADD) << " adds";
}

TEST_F(Tray, AnIconRefusedByARestartedTaskbarIsAddedOnceItAccepts)
{
    ASSERT_TRUE(Tamarin_Prepare(&t));
    ASSERT_TRUE(Tamarin_Start(&t));
    tray = FakeTray_Create(2);
    ASSERT_NE(tray, nullptr);
    BroadcastTaskbarCreated();
    EXPECT_TRUE(WaitFor([&] { return CountFrom(t.window, NIM_ADD) >= 3; }, E2E_TIMEOUT_MS))
        << CountFrom(t.window, NIM_ADD) << " adds";
}

// Another program holds Ctrl+Alt+D: the start-up balloon names the date
// command's hotkey, and not the text popup's, which was registered.
TEST_F(Tray, StartupBalloonNamesHotkeysHeldByAnotherProgram)
{
    ASSERT_TRUE(RegisterHotKey(nullptr, 1, MOD_CONTROL | MOD_ALT, 'D'));
    tray = FakeTray_Create();
    std::string ini = std::string("[") + SECTION_HOTKEYS + "]\r\n" + KEY_DATE + "=" + std::to_string(3 * 256 + 'D') +
                      "\r\n" + KEY_TEXT_POPUP + "=" + std::to_string(3 * 256 + 'P') + "\r\n";
    ASSERT_TRUE(Tamarin_Prepare(&t, ini));
    ASSERT_TRUE(Tamarin_Start(&t));
    const TrayNotice* balloon = nullptr;
    EXPECT_TRUE(WaitFor([&] { return (balloon = FindBalloon(t.window)) != nullptr; }, E2E_TIMEOUT_MS));
    if (balloon) {
        EXPECT_TRUE(TrayRecordHolds(*balloon, TITLE_HOTKEYS));
        EXPECT_TRUE(TrayRecordHolds(*balloon, LABEL_DATE));
        EXPECT_FALSE(TrayRecordHolds(*balloon, LABEL_TEXT_POPUP));
    }
    UnregisterHotKey(nullptr, 1);
}

// The balloon of a start whose icon the taskbar refused at first shows once
// the icon is there.
TEST_F(Tray, ABalloonWaitsForTheIcon)
{
    ASSERT_TRUE(RegisterHotKey(nullptr, 1, MOD_CONTROL | MOD_ALT, 'D'));
    tray = FakeTray_Create(2);
    std::string ini = std::string("[") + SECTION_HOTKEYS + "]\r\n" + KEY_DATE + "=" + std::to_string(3 * 256 + 'D') +
                      "\r\n";
    ASSERT_TRUE(Tamarin_Prepare(&t, ini));
    ASSERT_TRUE(Tamarin_Start(&t));
    const TrayNotice* balloon = nullptr;
    EXPECT_TRUE(WaitFor([&] { return (balloon = FindBalloon(t.window)) != nullptr; }, E2E_TIMEOUT_MS));
    EXPECT_EQ(CountFrom(t.window, NIM_ADD), 3);
    if (balloon) {
        EXPECT_TRUE(TrayRecordHolds(*balloon, LABEL_DATE));
    }
    UnregisterHotKey(nullptr, 1);
}

TEST_F(Tray, NoBalloonWhenEverythingIsFine)
{
    tray = FakeTray_Create();
    std::string ini = std::string("[") + SECTION_HOTKEYS + "]\r\n" + KEY_TEXT_POPUP + "=" +
                      std::to_string(3 * 256 + 'P') + "\r\n";
    ASSERT_TRUE(Tamarin_Prepare(&t, ini));
    ASSERT_TRUE(Tamarin_Start(&t));
    ASSERT_TRUE(WaitFor([&] { return CountFrom(t.window, NIM_ADD) >= 1; }, E2E_TIMEOUT_MS));
    // Quitting removes the icon: everything sent before is in by then.
    HWND window = t.window;
    EXPECT_EQ(QuitAnsweringTray(&t), 0);
    EXPECT_EQ(CountFrom(window, NIM_DELETE), 1);
    EXPECT_EQ(FindBalloon(window), nullptr);
}

}  // namespace
