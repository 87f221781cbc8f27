// Stored texts: the code-page-932 text first, the UTF-8 original after its
// NUL, none when the original is empty; equality of text and original.
#include <gtest/gtest.h>

#include <stdlib.h>
#include <string.h>

#include <string>

#include "store/cliptext.h"
#include "store/originals.h"

namespace {

const char CAFE_CP932[] = "Caf?";
const char CAFE[] = "Caf\xC3\xA9";       // Café
const char CAFE_NFD[] = "Cafe\xCC\x81";  // Café with a combining accent

TEST(ClipText, BlockReadsAsTheCodePageText)
{
    char* plain = ClipText_New("abc", 3, nullptr, 0);
    ASSERT_NE(plain, nullptr);
    EXPECT_STREQ(plain, "abc");
    EXPECT_EQ(ClipText_Original(plain), nullptr);
    EXPECT_EQ(memcmp(plain, "abc\0\0", 5), 0);  // the empty original after the text
    free(plain);

    char* cafe = ClipText_New(CAFE_CP932, 4, CAFE, strlen(CAFE));
    ASSERT_NE(cafe, nullptr);
    EXPECT_STREQ(cafe, CAFE_CP932);
    ASSERT_NE(ClipText_Original(cafe), nullptr);
    EXPECT_STREQ(ClipText_Original(cafe), CAFE);
    free(cafe);

    char* empty = ClipText_New("", 0, "", 0);
    ASSERT_NE(empty, nullptr);
    EXPECT_STREQ(empty, "");
    EXPECT_EQ(ClipText_Original(empty), nullptr);
    free(empty);
}

// A text with an original keeps both hashes of the side file's records.
TEST(ClipText, KeepsTheHashesOfTextAndOriginal)
{
    char* cafe = ClipText_New(CAFE_CP932, 4, CAFE, strlen(CAFE));
    char* plain = ClipText_New("abc", 3, nullptr, 0);
    ASSERT_NE(cafe, nullptr);
    ASSERT_NE(plain, nullptr);
    uint64_t textHash = 0, originalHash = 0;
    ASSERT_TRUE(ClipText_Hashes(cafe, 4, &textHash, &originalHash));
    EXPECT_EQ(textHash, Originals_Hash(CAFE_CP932, 4));
    EXPECT_EQ(originalHash, Originals_Hash(CAFE, strlen(CAFE)));
    EXPECT_FALSE(ClipText_Hashes(plain, 3, &textHash, &originalHash));
    free(cafe);
    free(plain);
}

TEST(ClipText, EqualWhenTextAndOriginalAre)
{
    char* cafe = ClipText_New(CAFE_CP932, 4, CAFE, strlen(CAFE));
    char* plain = ClipText_New(CAFE_CP932, 4, nullptr, 0);
    ASSERT_NE(cafe, nullptr);
    ASSERT_NE(plain, nullptr);
    struct Case {
        const char* stored;
        const char* text;
        const char* original;
        bool equal;
    };
    const Case cases[] = {
        {cafe, CAFE_CP932, CAFE, true},
        {cafe, CAFE_CP932, CAFE_NFD, false},  // the same text, another original
        {cafe, CAFE_CP932, nullptr, false},   // the literal "Caf?" is another text
        {cafe, "Caf!", CAFE, false},
        {plain, CAFE_CP932, nullptr, true},
        {plain, CAFE_CP932, "", true},        // an empty original is none
        {plain, CAFE_CP932, CAFE, false},
        {plain, "Caf", nullptr, false},
    };
    for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); i++)
        EXPECT_EQ(ClipText_Equals(cases[i].stored, cases[i].text, cases[i].original), cases[i].equal) << "case " << i;
    free(cafe);
    free(plain);
}

TEST(ClipText, KeepsOnlyOriginalsCodePage932Loses)
{
    EXPECT_FALSE(ClipText_NeedsOriginal(nullptr));
    EXPECT_FALSE(ClipText_NeedsOriginal(""));
    EXPECT_FALSE(ClipText_NeedsOriginal("abc"));
    EXPECT_FALSE(ClipText_NeedsOriginal("\xE3\x81\x82\xE8\xA1\xA8"));  // あ表
    EXPECT_TRUE(ClipText_NeedsOriginal(CAFE));
    EXPECT_TRUE(ClipText_NeedsOriginal("\xE2\x82\xAC"));                // €
    EXPECT_TRUE(ClipText_NeedsOriginal("\xF0\x9F\x98\x80"));            // 😀
}

// Which form of a clipboard text is stored, and with which original.
TEST(ClipText, FromClipboard)
{
    struct Case {
        const char* what;
        std::u16string unicode;  // "-": no CF_UNICODETEXT
        std::string ansi;        // "-": no CF_TEXT
        bool ansiFirst;
        std::string text;        // "-": no text at all
        std::string original;
    };
    const Case cases[] = {
        {"Japanese, both forms", u"\u3042\u8868", "\x82\xa0\x95\x5c", false, "\x82\xa0\x95\x5c", ""},
        {"the source's byte form of 纊 is kept", u"\u7E8A", "\xed\x40", false, "\xed\x40", ""},
        {"the program's own form without CF_TEXT", u"\u7E8A", "-", false, "\xfa\x5c", ""},
        {"accents and emoji", u"Caf\u00E9 \xD83D\xDE00", "Cafe ?", false, "Caf? ?", "Caf\xC3\xA9 \xF0\x9F\x98\x80"},
        {"Korean, no CF_TEXT", u"\uD55C\uAD6D", "-", false, "??", "\xED\x95\x9C\xEA\xB5\xAD"},
        {"CF_TEXT placed first wins", u"\u00E9", "\x82\xa0", true, "\x82\xa0", ""},
        {"CF_TEXT only", u"-", "abc", true, "abc", ""},
        {"a Japanese text read by the wrong code page", u"\u201A\u00A0", "\x82\xa0", true, "\x82\xa0", ""},
        {"both empty", u"", "", false, "", ""},
        {"text ends at the first NUL", std::u16string(u"a\0\u00E9", 3), "-", false, "a", ""},
        {"a lone surrogate is kept", u"x\xD800", "-", false, "x?", "x\xED\xA0\x80"},
        {"no text", u"-", "-", false, "-", ""},
    };
    for (const Case& c : cases) {
        bool hasUnicode = c.unicode != u"-";
        bool hasAnsi = c.ansi != "-";
        char* text = nullptr;
        char* original = nullptr;
        bool got = ClipText_FromClipboard(hasUnicode ? c.unicode.data() : nullptr, c.unicode.size(),
                                          hasAnsi ? c.ansi.data() : nullptr, c.ansi.size(), c.ansiFirst, &text,
                                          &original);
        EXPECT_EQ(got, c.text != "-") << c.what;
        EXPECT_EQ(text ? std::string(text) : std::string("-"), c.text) << c.what;
        EXPECT_EQ(original ? std::string(original) : std::string(), c.original) << c.what;
        free(text);
        free(original);
    }
}

// A block without a NUL ends at its size, and nothing beyond it is read.
TEST(ClipText, FromClipboardReadsOnlyTheBlocks)
{
    char* ansi = static_cast<char*>(malloc(3));
    memcpy(ansi, "abc", 3);
    char16_t* unicode = static_cast<char16_t*>(malloc(3 * sizeof(char16_t)));
    memcpy(unicode, u"abc", 3 * sizeof(char16_t));
    char* text = nullptr;
    char* original = nullptr;
    ASSERT_TRUE(ClipText_FromClipboard(unicode, 3, ansi, 3, false, &text, &original));
    EXPECT_STREQ(text, "abc");
    EXPECT_EQ(original, nullptr);
    free(text);
    ASSERT_TRUE(ClipText_FromClipboard(unicode, 3, nullptr, 0, false, &text, &original));
    EXPECT_STREQ(text, "abc");
    free(text);
    free(ansi);
    free(unicode);
}

}  // namespace
