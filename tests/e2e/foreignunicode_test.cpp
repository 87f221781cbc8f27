// Unicode clips on a system whose ANSI code page is not 932 (the code page
// 1252 session of aux_session.sh): Tamarin converts with its own code page
// 932 table, so a picked Japanese entry still reads back exactly as Unicode,
// where the system, left to convert CF_TEXT by its own locale, would give
// Latin letters; and a Japanese text copied as Unicode still lands in the
// history file as code page 932.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "harness.h"

namespace {

bool InForeignSession()
{
    char flag[8];
    return GetEnvironmentVariableA("TAMARIN_E2E_FOREIGN_CODEPAGE", flag, sizeof flag) > 0;
}

#define SKIP_UNLESS_FOREIGN()                                                         \
    if (!InForeignSession())                                                          \
    GTEST_SKIP() << "runs in the code page 1252 session of aux_session.sh"

const char JAPANESE_CP932[] = "\x93\xfa\x96\x7b\x8c\xea\x82\xcc\x83\x65\x83\x4c\x83\x58\x83\x67";  // 日本語のテキスト
const char16_t JAPANESE[] = u"\u65E5\u672C\u8A9E\u306E\u30C6\u30AD\u30B9\u30C8";

std::u16string ClipboardUnicode()
{
    std::u16string text;
    if (!OpenClipboard(nullptr))
        return u"<no clipboard>";
    HANDLE h = GetClipboardData(CF_UNICODETEXT);
    const char16_t* p = h ? static_cast<const char16_t*>(GlobalLock(h)) : nullptr;
    if (p) {
        text = p;
        GlobalUnlock(h);
    }
    CloseClipboard();
    return text;
}

struct ForeignCodePageUnicode : testing::Test {
    Tamarin t;
    void TearDown() override { Tamarin_Cleanup(&t); }
    std::vector<std::string> History() const { return ReadStoreRecords(Tamarin_File(&t, ".hst")); }
};

TEST_F(ForeignCodePageUnicode, PickedJapaneseReadsBackExactly)
{
    SKIP_UNLESS_FOREIGN();
    ASSERT_EQ(GetACP(), 1252u);
    ASSERT_TRUE(Tamarin_Prepare(&t));
    ASSERT_TRUE(WriteFileBytes(Tamarin_File(&t, ".hst"), std::string(JAPANESE_CP932) + std::string(1, '\0')));
    ASSERT_TRUE(Tamarin_Start(&t));
    DWORD sequence = GetClipboardSequenceNumber();
    PostMessageA(t.window, WM_COMMAND, 4096, 0);
    ASSERT_TRUE(WaitFor([&] { return GetClipboardSequenceNumber() != sequence; }, E2E_TIMEOUT_MS));
    ASSERT_TRUE(Tamarin_Settle(&t));
    EXPECT_EQ(ClipboardUnicode(), JAPANESE);
}

TEST_F(ForeignCodePageUnicode, CopiedUnicodeLandsAsCodePage932)
{
    SKIP_UNLESS_FOREIGN();
    ASSERT_TRUE(Tamarin_Prepare(&t));
    ASSERT_TRUE(Tamarin_Start(&t));
    std::u16string copied = JAPANESE;
    std::string block(reinterpret_cast<const char*>(copied.c_str()), (copied.size() + 1) * sizeof(char16_t));
    ASSERT_TRUE(PutClipboardFormats({{CF_UNICODETEXT, block}}));
    EXPECT_TRUE(WaitFor([&] { return History() == std::vector<std::string>{JAPANESE_CP932}; }, E2E_TIMEOUT_MS))
        << testing::PrintToString(History());
}

}  // namespace
