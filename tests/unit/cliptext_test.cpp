// Stored texts: the code-page-932 text first, the UTF-8 original after its
// NUL, none when the original is empty; equality of text and original.
#include <gtest/gtest.h>

#include <stdlib.h>
#include <string.h>

#include <string>

#include "store/cliptext.h"

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

}  // namespace
