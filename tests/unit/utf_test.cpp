// UTF-8 and UTF-16: every code point both ways, ill-formed UTF-8 read as
// U+FFFD per maximal part, lone surrogates kept through UTF-8, bounded
// conversions that never split a character.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <string>
#include <vector>

#include "text/utf.h"

namespace {

typedef std::vector<uint32_t> CodePoints;

CodePoints DecodeAll(const std::string& s)
{
    CodePoints cps;
    for (size_t i = 0; i < s.size();) {
        size_t used = 0;
        cps.push_back(Utf_DecodeUtf8(s.data() + i, s.size() - i, &used));
        EXPECT_GE(used, 1u);
        i += used;
    }
    return cps;
}

std::string ToUtf8(const std::u16string& s)
{
    size_t n = Utf_Utf16ToUtf8(nullptr, 0, s.data(), s.size());
    std::string out(n + 1, 'X');
    EXPECT_EQ(Utf_Utf16ToUtf8(&out[0], out.size(), s.data(), s.size()), n);
    EXPECT_EQ(out[n], 0);
    out.resize(n);
    return out;
}

std::u16string ToUtf16(const std::string& s)
{
    size_t n = Utf_Utf8ToUtf16(nullptr, 0, s.data(), s.size());
    std::u16string out(n + 1, u'X');
    EXPECT_EQ(Utf_Utf8ToUtf16(&out[0], out.size(), s.data(), s.size()), n);
    EXPECT_EQ(out[n], 0);
    out.resize(n);
    return out;
}

const uint32_t R = UTF_REPLACEMENT;

struct DecodeCase {
    std::string bytes;
    CodePoints expected;
};

TEST(Utf, DecodesWellFormedUtf8)
{
    const DecodeCase cases[] = {
        {"A", {0x41}},
        {"\xC3\xA9", {0xE9}},                    // é
        {"\xE2\x82\xAC", {0x20AC}},              // €
        {"\xE3\x81\x82", {0x3042}},              // あ
        {"\xF0\x9F\x98\x80", {0x1F600}},         // 😀
        {"\xF4\x8F\xBF\xBF", {0x10FFFF}},
        {"\xEF\xBF\xBD", {0xFFFD}},              // a real U+FFFD
        {"\xED\xA0\x80", {0xD800}},              // a lone surrogate, as written for UTF-16 that holds one
        {"\xED\xBF\xBF", {0xDFFF}},
    };
    for (const DecodeCase& c : cases)
        EXPECT_EQ(DecodeAll(c.bytes), c.expected) << c.bytes;
}

TEST(Utf, ReadsEachMaximalIllFormedPartAsOneReplacement)
{
    const DecodeCase cases[] = {
        {"\x80", {R}},
        {"\x80\x80", {R, R}},
        {"\xC0\x80", {R, R}},              // overlong lead bytes start nothing
        {"\xC1\xBF", {R, R}},
        {"\xE0\x80\x80", {R, R, R}},       // overlong three-byte form
        {"\xF0\x80\x80\x80", {R, R, R, R}},
        {"\xF4\x90\x80\x80", {R, R, R, R}},  // beyond U+10FFFF
        {"\xF5\x80", {R, R}},
        {"\xFF", {R}},
        {"\xE2\x82", {R}},                 // cut short: one part
        {"\xE2\x82" "A", {R, 0x41}},
        {"\xF0\x9F\x98", {R}},
        {"\xF0\x9F\x98" "A\xC3\xA9", {R, 0x41, 0xE9}},
        {"\xC3", {R}},
        {"\xC3" "A", {R, 0x41}},
    };
    for (const DecodeCase& c : cases)
        EXPECT_EQ(DecodeAll(c.bytes), c.expected) << testing::PrintToString(c.bytes);
}

TEST(Utf, EveryCodePointRoundTripsThroughBothForms)
{
    for (uint32_t cp = 0; cp <= 0x10FFFF; cp++) {
        char bytes[UTF8_CHAR_MAX];
        size_t n = Utf_EncodeUtf8(cp, bytes);
        size_t used = 0;
        ASSERT_EQ(Utf_DecodeUtf8(bytes, n, &used), cp);
        ASSERT_EQ(used, n);
        char16_t units[2];
        size_t u = Utf_EncodeUtf16(cp, units);
        ASSERT_EQ(u, cp >= 0x10000 ? 2u : 1u);
        if (!Utf_IsSurrogate(cp)) {
            ASSERT_EQ(Utf_DecodeUtf16(units, u, &used), cp);
            ASSERT_EQ(used, u);
        }
    }
}

struct Utf16Case {
    std::u16string utf16;
    std::string utf8;
};

TEST(Utf, Utf16ToUtf8KeepsLoneSurrogates)
{
    const Utf16Case cases[] = {
        {u"", ""},
        {u"A\u00E9\u20AC", "A\xC3\xA9\xE2\x82\xAC"},                      // Aé€
        {u"\xD83D\xDE00", "\xF0\x9F\x98\x80"},                             // 😀 as a pair
        {u"\xD83D" "A", "\xED\xA0\xBD" "A"},                               // a high surrogate alone
        {u"\xDE00", "\xED\xB8\x80"},                                       // a low surrogate alone
        {u"\xDE00\xD83D", "\xED\xB8\x80\xED\xA0\xBD"},                     // a pair the wrong way round
        {u"x\xD83D", "x\xED\xA0\xBD"},                                     // high surrogate at the end
        {u"\xD55C\xAD6D", "\xED\x95\x9C\xEA\xB5\xAD"},                     // 한국
    };
    for (const Utf16Case& c : cases) {
        EXPECT_EQ(ToUtf8(c.utf16), c.utf8);
        EXPECT_EQ(ToUtf16(c.utf8), c.utf16);
        EXPECT_TRUE(Utf_IsCanonicalUtf8(c.utf8.data(), c.utf8.size()));
    }
}

struct CanonicalCase {
    std::string bytes;
    bool canonical;
};

TEST(Utf, CanonicalUtf8IsWhatUtf16Gives)
{
    const CanonicalCase cases[] = {
        {"", true},
        {"abc\xE3\x81\x82", true},                     // abcあ
        {"\xEF\xBF\xBD", true},                        // U+FFFD itself
        {"\xED\xA0\xBD\xED\xB8\x80", false},           // a pair written as two surrogates
        {"\xED\xB8\x80\xED\xA0\xBD", true},            // low then high: no pair
        {std::string("a\0b", 3), false},               // a NUL inside
        {"\xC3", false},
        {"\xC0\x80", false},
        {"\x80", false},
    };
    for (const CanonicalCase& c : cases)
        EXPECT_EQ(Utf_IsCanonicalUtf8(c.bytes.data(), c.bytes.size()), c.canonical) << testing::PrintToString(c.bytes);
}

TEST(Utf, BoundedConversionsKeepWholeCharacters)
{
    const std::u16string emoji = u"A\xD83D\xDE00" "B";  // A😀B
    char bytes[8];
    memset(bytes, 'X', sizeof bytes);
    EXPECT_EQ(Utf_Utf16ToUtf8(bytes, 5, emoji.data(), emoji.size()), 6u);
    EXPECT_STREQ(bytes, "A");  // the four bytes of the emoji need size 6
    EXPECT_EQ(bytes[5], 'X');
    EXPECT_EQ(Utf_Utf16ToUtf8(bytes, 6, emoji.data(), emoji.size()), 6u);
    EXPECT_STREQ(bytes, "A\xF0\x9F\x98\x80");

    char16_t units[4];
    const std::string utf8 = "A\xF0\x9F\x98\x80";
    EXPECT_EQ(Utf_Utf8ToUtf16(units, 3, utf8.data(), utf8.size()), 3u);
    EXPECT_EQ(std::u16string(units), u"A");  // never half a pair
    EXPECT_EQ(Utf_Utf8ToUtf16(units, 4, utf8.data(), utf8.size()), 3u);
    EXPECT_EQ(std::u16string(units), u"A\xD83D\xDE00");
    EXPECT_EQ(Utf_Utf8ToUtf16(units, 1, utf8.data(), utf8.size()), 3u);
    EXPECT_EQ(units[0], 0);
}

// U+DB6D and U+DCED each in its own three-byte form, as UTF-8 made from
// UTF-16 one unit at a time holds them: in UTF-16 they are one pair, so they
// read as the one code point of that pair, and a bounded conversion writes
// both units or neither.
TEST(Utf, SurrogatesWrittenOneByOneReadAsTheirPair)
{
    const std::string pair = "\xED\xAD\xAD\xED\xB3\xAD";
    EXPECT_EQ(DecodeAll(pair), CodePoints{0xEB4ED});
    EXPECT_EQ(DecodeAll("\xED\xAD\xAD" "A\xED\xB3\xAD"), (CodePoints{0xDB6D, 0x41, 0xDCED}));
    EXPECT_EQ(DecodeAll("\xED\xB3\xAD\xED\xAD\xAD"), (CodePoints{0xDCED, 0xDB6D}));  // the wrong way round
    EXPECT_EQ(DecodeAll("\xED\xAD\xAD\xED\xB3"), (CodePoints{0xDB6D, R}));          // the low one cut short
    EXPECT_EQ(ToUtf16(pair), u"\xDB6D\xDCED");
    EXPECT_EQ(ToUtf8(ToUtf16(pair)), "\xF3\xAB\x93\xAD");

    const std::string text = "A" + pair;
    char16_t units[4] = {u'X', u'X', u'X', u'X'};
    EXPECT_EQ(Utf_Utf8ToUtf16(units, 3, text.data(), text.size()), 3u);
    EXPECT_EQ(std::u16string(units), u"A");  // never the high surrogate without its partner
    EXPECT_EQ(units[3], u'X');
    EXPECT_EQ(Utf_Utf8ToUtf16(units, 4, text.data(), text.size()), 3u);
    EXPECT_EQ(std::u16string(units), u"A\xDB6D\xDCED");
}

TEST(Utf, HeapCopiesAreWholeAndEnded)
{
    size_t n = 0;
    char16_t* wide = Utf_DupUtf8ToUtf16("Caf\xC3\xA9", 5, &n);  // Café
    ASSERT_NE(wide, nullptr);
    EXPECT_EQ(n, 4u);
    EXPECT_EQ(std::u16string(wide), u"Caf\u00E9");
    EXPECT_EQ(Utf_Utf16Length(wide), 4u);
    char* narrow = Utf_DupUtf16ToUtf8(wide, n, &n);
    ASSERT_NE(narrow, nullptr);
    EXPECT_EQ(n, 5u);
    EXPECT_STREQ(narrow, "Caf\xC3\xA9");
    free(wide);
    free(narrow);
}

}  // namespace
