// The edit pad's files: read by their byte-order mark (UTF-8, UTF-16 either
// way round) or as code page 932, each up to its first NUL character; written
// as code page 932 when the text fits and as UTF-8 with a byte-order mark
// otherwise; and the code page 932 form with the original that the clip
// store keeps.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <string>

#include "editing/padtext.h"

namespace {

std::u16string Decode(const std::string& bytes)
{
    size_t units = 99;
    char16_t* text = PadText_Decode(bytes.data(), bytes.size(), &units);
    EXPECT_NE(text, nullptr);
    if (!text)
        return u"<null>";
    std::u16string s(text, units);
    EXPECT_EQ(text[units], 0);
    free(text);
    return s;
}

std::string Encode(const std::u16string& text)
{
    size_t size = 99;
    char* bytes = PadText_Encode(text.data(), text.size(), &size);
    EXPECT_NE(bytes, nullptr);
    if (!bytes)
        return "<null>";
    std::string s(bytes, size);
    free(bytes);
    return s;
}

struct DecodeCase {
    const char* what;
    std::string bytes;
    std::u16string text;
};

TEST(PadText, FilesAreReadByTheirByteOrderMark)
{
    const DecodeCase cases[] = {
        {"code page 932", "\x82\xa0\x95\x5c\r\n", u"\u3042\u8868\r\n"},                      // あ表
        {"code page 932 up to its NUL", std::string("ab\0cd", 5), u"ab"},
        {"UTF-8", "\xEF\xBB\xBF" "Caf\xC3\xA9 \xF0\x9F\x98\x80", u"Caf\u00E9 \xD83D\xDE00"},  // Café 😀
        {"UTF-8 up to its NUL", std::string("\xEF\xBB\xBF" "a\0b", 6), u"a"},
        {"UTF-16 little-endian", std::string("\xFF\xFE" "a\0\x3D\xD8\x00\xDE", 8), u"a\xD83D\xDE00"},
        {"UTF-16 big-endian", std::string("\xFE\xFF" "\0a\x30\x42", 6), u"a\u3042"},
        {"UTF-16 up to its NUL, an odd last byte dropped", std::string("\xFF\xFE" "a\0\0\0b\0c", 9), u"a"},
        {"UTF-16 with an odd last byte", std::string("\xFF\xFE" "a\0b", 5), u"a"},
        {"a byte-order mark alone", "\xEF\xBB\xBF", u""},
        {"empty", "", u""},
    };
    for (const DecodeCase& c : cases)
        EXPECT_EQ(Decode(c.bytes), c.text) << c.what;
}

TEST(PadText, FilesAreWrittenInCodePage932WhenTheTextFits)
{
    EXPECT_EQ(Encode(u"\u3042\u8868\r\nabc"), "\x82\xa0\x95\x5c\r\nabc");
    EXPECT_EQ(Encode(u""), "");
    EXPECT_EQ(Encode(u"Caf\u00E9 \xD83D\xDE00"), "\xEF\xBB\xBF" "Caf\xC3\xA9 \xF0\x9F\x98\x80");
    EXPECT_EQ(Encode(u"\uD55C\r\n"), "\xEF\xBB\xBF\xED\x95\x9C\r\n");  // 한
    // What is written reads back the same.
    for (const std::u16string& text : {std::u16string(u"\u3042x"), std::u16string(u"\u20AC\u3042")})
        EXPECT_EQ(Decode(Encode(text)), text);
}

TEST(PadText, StoredFormKeepsTheOriginalOnlyWhenNeeded)
{
    char* original = reinterpret_cast<char*>(1);
    const std::u16string japanese = u"\u3042\u8868";
    char* text = PadText_ToStored(japanese.data(), japanese.size(), &original);
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(text, "\x82\xa0\x95\x5c");
    EXPECT_EQ(original, nullptr);
    free(text);

    const std::u16string cafe = u"Caf\u00E9";
    text = PadText_ToStored(cafe.data(), cafe.size(), &original);
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(text, "Caf?");
    ASSERT_NE(original, nullptr);
    EXPECT_STREQ(original, "Caf\xC3\xA9");
    free(text);
    free(original);
}

}  // namespace
