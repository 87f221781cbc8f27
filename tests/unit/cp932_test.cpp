// Code page 932 by the program's own table: single bytes, double-byte
// characters, the byte forms Windows writes where several decode alike, bytes
// that are no character, "?" for characters the code page lacks, and the
// round-trip test that decides whether a text keeps a Unicode original.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <string>
#include <vector>

#include "text/cp932.h"
#include "text/text.h"

namespace {

typedef std::vector<uint32_t> CodePoints;

CodePoints DecodeAll(const std::string& s)
{
    CodePoints cps;
    for (size_t i = 0; i < s.size();) {
        size_t used = 0;
        cps.push_back(Cp932_DecodeChar(s.data() + i, s.size() - i, &used));
        i += used;
    }
    return cps;
}

std::string Encode(uint32_t cp)
{
    char bytes[2];
    size_t n = Cp932_EncodeChar(cp, bytes);
    EXPECT_EQ(n, Cp932_CharBytes(cp)) << cp;
    return std::string(bytes, n);
}

std::string FromUtf16(const std::u16string& s)
{
    size_t n = Cp932_FromUtf16(nullptr, 0, s.data(), s.size());
    std::string out(n + 1, 'X');
    EXPECT_EQ(Cp932_FromUtf16(&out[0], out.size(), s.data(), s.size()), n);
    out.resize(n);
    return out;
}

std::u16string ToUtf16(const std::string& s)
{
    size_t n = Cp932_ToUtf16(nullptr, 0, s.data(), s.size());
    std::u16string out(n + 1, u'X');
    EXPECT_EQ(Cp932_ToUtf16(&out[0], out.size(), s.data(), s.size()), n);
    out.resize(n);
    return out;
}

const uint32_t DEF = 0x30FB;  // ・, what Windows reads bytes that are no character as

struct DecodeCase {
    std::string bytes;
    CodePoints expected;
};

TEST(Cp932, DecodesEveryKindOfByte)
{
    const DecodeCase cases[] = {
        {"A\\~", {0x41, 0x5C, 0x7E}},          // backslash and tilde stay ASCII
        {"\x82\xa0", {0x3042}},                 // あ
        {"\x95\x5c", {0x8868}},                 // 表 (trail byte 0x5C)
        {"\xb1\xdf", {0xFF71, 0xFF9F}},         // ｱﾟ half-width
        {"\x80\xa0\xfd\xfe\xff", {0x80, 0xF8F0, 0xF8F1, 0xF8F2, 0xF8F3}},
        {"\x87\x40", {0x2460}},                 // ① NEC row 13
        {"\xed\x40\xfa\x5c", {0x7E8A, 0x7E8A}}, // 纊 in both of its forms
        {"\xf0\x40\xf9\xfc", {0xE000, 0xE757}}, // user-defined area
        {"\x81\x5f", {0xFF3C}},                 // ＼ is the full-width backslash
        {"\x81\x60", {0xFF5E}},                 // ～
        // Bytes that are no character read as U+30FB.
        {"\x85\x40", {DEF}},                    // an undefined pair
        {"\x81", {DEF}},                        // a lead byte at the end
        {"\x81\x20", {DEF, 0x20}},              // no trail byte after it
        {"\x81\x7f" "a", {DEF, 0x7F, 0x61}},
        {std::string("a\0b", 3), {0x61, 0x00, 0x62}},
    };
    for (const DecodeCase& c : cases)
        EXPECT_EQ(DecodeAll(c.bytes), c.expected) << testing::PrintToString(c.bytes);
}

struct EncodeCase {
    uint32_t cp;
    std::string bytes;  // empty: code page 932 lacks it
};

TEST(Cp932, EncodesTheFormWindowsWrites)
{
    const EncodeCase cases[] = {
        {0x41, "A"},
        {0x00, std::string(1, '\0')},
        {0x3042, "\x82\xa0"},     // あ
        {0x8868, "\x95\x5c"},     // 表
        {0xFF71, "\xb1"},         // ｱ
        {0xF8F0, "\xa0"},
        {0xE000, "\xf0\x40"},
        {0x7E8A, "\xfa\x5c"},     // 纊: the IBM form, never the NEC-selected 0xED40
        {0x2170, "\xfa\x40"},     // ⅰ
        {0x2160, "\x87\x54"},     // Ⅰ: NEC row 13 before the IBM form
        {0x2252, "\x81\xe0"},     // ≒: JIS row before NEC row 13
        {0xFFE2, "\x81\xca"},     // ￢
        {0x2235, "\x81\xe6"},     // ∵
        {0x005C, "\\"},
        {0xFF3C, "\x81\x5f"},     // ＼
        // Not in code page 932.
        {0xA5, ""},               // ¥
        {0xE9, ""},               // é
        {0x20AC, ""},             // €
        {0xD55C, ""},             // 한
        {0x8FD9, ""},             // 这 (simplified Chinese)
        {0x1F600, ""},            // 😀
        {0xD800, ""},
        {0xA2, ""},               // ¢: Python writes ￠ for it, which reads back as U+FFE0
        {0x301C, ""},             // 〜: likewise
    };
    for (const EncodeCase& c : cases)
        EXPECT_EQ(Encode(c.cp), c.bytes) << std::hex << c.cp;
}

// Every character of the table reads back as itself, and every pair that is a
// character encodes to itself except the second forms of characters that
// have several: NEC row 13 (0x87), the NEC-selected IBM rows (0xED, 0xEE) and
// the IBM rows (0xFA to 0xFC).
TEST(Cp932, TableRoundTrips)
{
    size_t characters = 0;
    for (uint32_t cp = 1; cp <= 0xFFFF; cp++) {
        char bytes[2];
        size_t n = Cp932_EncodeChar(cp, bytes);
        if (n == 0)
            continue;
        characters++;
        size_t used = 0;
        ASSERT_EQ(Cp932_DecodeChar(bytes, n, &used), cp) << std::hex << cp;
        ASSERT_EQ(used, n);
    }
    EXPECT_GT(characters, 9000u);
    for (int b = 1; b < 256; b++) {
        if (Text_IsMbcsLeadByte(static_cast<unsigned char>(b)))
            continue;
        char c = static_cast<char>(b);
        size_t used;
        EXPECT_EQ(Encode(Cp932_DecodeChar(&c, 1, &used)), std::string(1, c)) << b;
    }
    size_t seconds = 0;
    for (int lead = 0x81; lead <= 0xFC; lead++) {
        if (!Text_IsMbcsLeadByte(static_cast<unsigned char>(lead)))
            continue;
        for (int trail = 0x40; trail <= 0xFC; trail++) {
            char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
            size_t used;
            uint32_t cp = Cp932_DecodeChar(pair, 2, &used);
            if (cp == DEF)
                continue;
            if (Encode(cp) == std::string(pair, 2))
                continue;
            seconds++;
            EXPECT_TRUE(lead == 0x87 || lead == 0xED || lead == 0xEE || lead >= 0xFA)
                << std::hex << lead << " " << trail;
        }
    }
    EXPECT_GT(seconds, 0u);
}

struct TextCase {
    std::u16string text;
    std::string cp932;
    bool fits;
};

TEST(Cp932, TextsAndWhetherTheyFit)
{
    const TextCase cases[] = {
        {u"", "", true},
        {u"abc", "abc", true},
        {u"\u3042\u8868\uFF71", "\x82\xa0\x95\x5c\xb1", true},            // あ表ｱ
        {u"\u2460\u7E8A", "\x87\x40\xfa\x5c", true},                      // ①纊
        {u"Caf\u00E9", "Caf?", false},                                    // Café
        {u"\xD83D\xDE00", "?", false},                                    // 😀: one "?" for the pair
        {u"Caf\u00E9 \xD83D\xDE00 \uD55C\uAD6D \u20AC", "Caf? ? ?? ?", false},  // Café 😀 한국 €
        {u"\u8FD9\u4EBA", "?\x90\x6c", false},                           // 这人: 人 is in the code page
        {u"e\u0301", "e?", false},                                        // e and a combining acute
        {u"\xD800", "?", false},                                          // a lone surrogate
        {u"\u00A5", "?", false},                                          // ¥ is no backslash
    };
    for (const TextCase& c : cases) {
        EXPECT_EQ(FromUtf16(c.text), c.cp932);
        EXPECT_EQ(Cp932_FitsUtf16(c.text.data(), c.text.size()), c.fits);
        if (c.fits) {
            EXPECT_EQ(ToUtf16(c.cp932), c.text);
        }
    }
}

TEST(Cp932, Utf8FormsAgreeWithUtf16)
{
    const std::string utf8 = "Caf\xC3\xA9 \xF0\x9F\x98\x80 \xE3\x81\x82";  // Café 😀 あ
    size_t n = 0;
    char* text = Cp932_DupFromUtf8(utf8.data(), utf8.size(), &n);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(std::string(text, n), "Caf? ? \x82\xa0");
    EXPECT_FALSE(Cp932_FitsUtf8(utf8.data(), utf8.size()));
    EXPECT_TRUE(Cp932_FitsUtf8("\xE3\x81\x82" "a", 4));  // あa
    EXPECT_FALSE(Cp932_FitsUtf8("\xC3", 1));            // no UTF-8 at all
    free(text);
    // A surrogate pair written as two three-byte forms is one character, one "?".
    const std::string pair = "a\xED\xA0\xBD\xED\xB8\x80";  // a😀
    text = Cp932_DupFromUtf8(pair.data(), pair.size(), &n);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(std::string(text, n), "a?");
    free(text);

    char16_t* wide = Cp932_DupToUtf16("\x82\xa0" "b", 3, &n);  // あb
    ASSERT_NE(wide, nullptr);
    EXPECT_EQ(std::u16string(wide, n), u"\u3042b");
    char* back = Cp932_DupFromUtf16(wide, n, &n);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(std::string(back, n), "\x82\xa0" "b");
    free(wide);
    free(back);
}

TEST(Cp932, BoundedConversionsKeepWholeCharacters)
{
    const std::u16string text = u"a\u3042";  // aあ
    char bytes[4];
    memset(bytes, 'X', sizeof bytes);
    EXPECT_EQ(Cp932_FromUtf16(bytes, 3, text.data(), text.size()), 3u);
    EXPECT_STREQ(bytes, "a");  // never a lead byte without its trail byte
    EXPECT_EQ(bytes[3], 'X');
    EXPECT_EQ(Cp932_FromUtf16(bytes, 4, text.data(), text.size()), 3u);
    EXPECT_STREQ(bytes, "a\x82\xa0");

    char16_t units[2];
    EXPECT_EQ(Cp932_ToUtf16(units, 2, "\x82\xa0\x82\xa2", 4), 2u);  // あい
    EXPECT_EQ(units[0], 0x3042);
    EXPECT_EQ(units[1], 0);
}

}  // namespace
