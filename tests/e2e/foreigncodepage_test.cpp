// Tamarin started on a system whose ANSI code page is not 932: it says so in
// a balloon at start-up and on a line of the about box, readable whatever
// that code page. Wine fixes the code page for a whole session, so these
// tests run in a session with an English locale (code page 1252) of their
// own, started by aux_session.sh, which sets
// TAMARIN_E2E_FOREIGN_CODEPAGE; in the main session they are skipped.
#include <gtest/gtest.h>

#include <string>

#include "faketray.h"
#include "harness.h"

namespace {

// コードページが932ではありません（1252）
const char ABOUT_LINE[] =
    "\x83\x52\x81\x5b\x83\x68\x83\x79\x81\x5b\x83\x57\x82\xaa" "932\x82\xc5\x82\xcd\x82\xa0\x82\xe8\x82\xdc\x82\xb9"
    "\x82\xf1\x81\x69" "1252\x81\x6a";
const int COMMAND_ABOUT = 40002;
const int ID_NOTICE = 1010;

std::wstring Wide(const std::string& cp932)
{
    wchar_t wide[512];
    int n = MultiByteToWideChar(932, 0, cp932.c_str(), -1, wide, 512);
    return n > 0 ? std::wstring(wide, n - 1) : std::wstring();
}

HWND FindDialogOf(DWORD processId)
{
    HWND w = nullptr;
    while ((w = FindWindowExA(nullptr, w, "#32770", nullptr)) != nullptr) {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner == processId && IsWindowVisible(w))
            return w;
    }
    return nullptr;
}

bool InForeignSession()
{
    char flag[8];
    return GetEnvironmentVariableA("TAMARIN_E2E_FOREIGN_CODEPAGE", flag, sizeof flag) > 0;
}

struct ForeignCodePage : testing::Test {
    Tamarin t;
    HWND tray = nullptr;
    void SetUp() override
    {
        if (InForeignSession()) {
            ASSERT_EQ(GetACP(), 1252u) << "the session was meant to have code page 1252";
        }
    }
    void TearDown() override
    {
        Tamarin_Cleanup(&t);
        if (tray)
            FakeTray_Destroy(tray);
    }
    bool StartWithCodePage1252() { return Tamarin_Prepare(&t) && Tamarin_Start(&t); }
};

#define SKIP_UNLESS_FOREIGN()                                                         \
    if (!InForeignSession())                                                          \
    GTEST_SKIP() << "runs in the code page 1252 session of aux_session.sh"

TEST_F(ForeignCodePage, StartupBalloonNamesTheCodePage)
{
    SKIP_UNLESS_FOREIGN();
    tray = FakeTray_Create();
    ASSERT_TRUE(StartWithCodePage1252());
    const TrayNotice* balloon = nullptr;
    EXPECT_TRUE(WaitFor([&] { return (balloon = FakeTray_LastBalloon(t.window)) != nullptr; }, E2E_TIMEOUT_MS));
    if (balloon) {
        EXPECT_TRUE(TrayRecordHolds(*balloon, "this system uses 1252."));
        // The Japanese part arrives as its own characters, not as bytes
        // misread in code page 1252: コードページ
        EXPECT_TRUE(TrayRecordHolds(*balloon, "\x83\x52\x81\x5b\x83\x68\x83\x79\x81\x5b\x83\x57"));
    }
}

TEST_F(ForeignCodePage, AboutBoxHasALineThatNamesTheCodePage)
{
    SKIP_UNLESS_FOREIGN();
    ASSERT_TRUE(StartWithCodePage1252());
    PostMessageA(t.window, WM_COMMAND, COMMAND_ABOUT, 0);
    HWND dialog = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (dialog = FindDialogOf(t.process.dwProcessId)) != nullptr; }, E2E_TIMEOUT_MS));
    HWND line = GetDlgItem(dialog, ID_NOTICE);
    ASSERT_NE(line, nullptr);
    wchar_t text[256] = L"";
    GetWindowTextW(line, text, 256);
    EXPECT_EQ(std::wstring(text), Wide(ABOUT_LINE));
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(dialog); }, E2E_TIMEOUT_MS));
}

TEST_F(ForeignCodePage, WithCodePage932TheAboutBoxHasNoSuchLine)
{
    if (InForeignSession())
        GTEST_SKIP() << "runs in the main session";
    ASSERT_TRUE(Tamarin_Prepare(&t));
    ASSERT_TRUE(Tamarin_Start(&t));
    PostMessageA(t.window, WM_COMMAND, COMMAND_ABOUT, 0);
    HWND dialog = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (dialog = FindDialogOf(t.process.dwProcessId)) != nullptr; }, E2E_TIMEOUT_MS));
    EXPECT_EQ(GetDlgItem(dialog, ID_NOTICE), nullptr);
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(dialog); }, E2E_TIMEOUT_MS));
}

}  // namespace
