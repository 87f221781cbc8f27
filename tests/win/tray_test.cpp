// The tray tip: the label of the last clipboard text, the original of one
// that code page 932 cannot hold, cut to the 64 characters of the record.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "settings/appinfo.h"
#include "settings/settings.h"
#include "shell/tray.h"

namespace {

struct TrayTip : testing::Test {
    HWND window = nullptr;
    AppInfo info;

    void SetUp() override
    {
        SetDefaultSettings(&info);
        window = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(window, nullptr);
        CreateTrayIcon(window, &info);
    }
    void TearDown() override
    {
        DeleteTrayIcon(window);
        DestroyWindow(window);
    }
    std::wstring Tip() { return Tray_GetTip(); }
};

TEST_F(TrayTip, ShowsTheOriginalOrTheText)
{
    SetTrayTip("Caf? ?", "Caf\xC3\xA9\r\n\xF0\x9F\x98\x80");  // Café CR LF 😀
    EXPECT_EQ(Tip(), L"Caf\u00E9\xD83D\xDE00");
    SetTrayTip("\x82\xa0\r\n\x95\x5c", nullptr);  // あ CR LF 表
    EXPECT_EQ(Tip(), L"\u3042\u8868");
    SetTrayTip("", nullptr);
    EXPECT_EQ(Tip(), L"");
}

TEST_F(TrayTip, LongTextsAreCutToTheRecord)
{
    std::string emoji;
    for (int i = 0; i < 40; i++)
        emoji += "\xF0\x9F\x98\x80";
    SetTrayTip("?", emoji.c_str());
    EXPECT_EQ(Tip().size(), 62u);  // 31 pairs and the NUL fill the 64 units
    std::string japanese;
    for (int i = 0; i < 40; i++)
        japanese += "\x82\xa0";
    SetTrayTip(japanese.c_str(), nullptr);
    EXPECT_EQ(Tip(), std::wstring(31, L'\u3042'));  // 62 bytes, as before
}

// The change handler sets the tip from a timer right after it.
TEST_F(TrayTip, SoonAppliesOnTheTimer)
{
    SetTrayTip("", nullptr);
    Tray_SetTipSoon(window, "x", "\xED\x95\x9C");  // 한
    EXPECT_EQ(Tip(), L"");
    MSG msg;
    DWORD start = GetTickCount();
    while (Tip().empty() && GetTickCount() - start < 30000) {
        if (GetMessageA(&msg, nullptr, 0, 0) > 0)
            DispatchMessageA(&msg);
    }
    EXPECT_EQ(Tip(), L"\uD55C");
}

}  // namespace
