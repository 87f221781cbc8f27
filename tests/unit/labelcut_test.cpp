// Cutting originals: each character as wide as its code-page-932 form (one
// for the characters the code page lacks), cuts only between grapheme
// clusters, the destination never overrun. And the cut of a text that code
// page 932 holds is exactly today's byte cut of its code-page-932 form.
#include <gtest/gtest.h>

#include <stdint.h>

#include <string>

#include "text/itemlabel.h"
#include "menu/menulabel.h"
#include "text/cp932.h"
#include "text/grapheme.h"
#include "text/labelcut.h"
#include "text/text.h"
#include "text/utf.h"

namespace {

const unsigned DROP = LABELCUT_DROP_CONTROLS;
const unsigned AMP = LABELCUT_DOUBLE_AMPERSANDS;

std::u16string Cut(const std::string& text, size_t budget, unsigned flags, size_t dstSize = 600)
{
    std::u16string buf(dstSize + 8, u'X');
    size_t n = LabelCut_Utf8(&buf[0], dstSize, text.data(), text.size(), budget, flags);
    EXPECT_EQ(buf.substr(dstSize), std::u16string(8, u'X')) << "wrote past the destination";
    EXPECT_EQ(buf[n], 0);
    return buf.substr(0, n);
}

struct CutCase {
    std::string text;   // UTF-8
    size_t budget;
    unsigned flags;
    std::u16string expected;
};

void CheckTable(const CutCase* cases, size_t count)
{
    for (size_t i = 0; i < count; i++)
        EXPECT_EQ(Cut(cases[i].text, cases[i].budget, cases[i].flags), cases[i].expected) << "case " << i;
}

// Characters code page 932 lacks count one, as their "?" does.
TEST(LabelCut, WidthsAreThoseOfTheCodePageForm)
{
    EXPECT_EQ(LabelCut_Width('a'), 1u);
    EXPECT_EQ(LabelCut_Width(0xFF71), 1u);   // ｱ
    EXPECT_EQ(LabelCut_Width(0x3042), 2u);   // あ
    EXPECT_EQ(LabelCut_Width(0x0391), 2u);   // Α (Greek, double-byte in the code page)
    EXPECT_EQ(LabelCut_Width(0xE9), 1u);     // é
    EXPECT_EQ(LabelCut_Width(0xD55C), 1u);   // 한
    EXPECT_EQ(LabelCut_Width(0x1F600), 1u);  // 😀
    const CutCase cases[] = {
        {"Caf\xC3\xA9", 4, 0, u"Caf\u00E9"},                       // Café
        {"Caf\xC3\xA9", 3, 0, u"Caf"},
        {"\xE3\x81\x82\xF0\x9F\x98\x80", 3, 0, u"\u3042\xD83D\xDE00"},  // あ😀
        {"\xE3\x81\x82\xF0\x9F\x98\x80", 2, 0, u"\u3042"},
        {"\xE3\x81\x82\xF0\x9F\x98\x80", 1, 0, u""},               // half of あ is no character
        {"\xED\x95\x9C\xEA\xB5\xAD", 1, 0, u"\uD55C"},              // 한국
        {"\xE2\x82\xAC" "1", 2, 0, u"\u20AC" "1"},                  // €1
        {"abc", 0, 0, u""},
    };
    CheckTable(cases, sizeof(cases) / sizeof(cases[0]));
}

TEST(LabelCut, NeverSplitsAGraphemeCluster)
{
    const CutCase cases[] = {
        // e and a combining acute accent: two code points, one character.
        {"ae\xCC\x81", 2, 0, u"a"},
        {"ae\xCC\x81", 3, 0, u"ae\u0301"},
        // Two combining marks stay with their base.
        {"o\xCC\x88\xCC\x81x", 3, 0, u"o\u0308\u0301"},
        // A mark with no base before it is a cluster of its own.
        {"\xCC\x81" "a", 1, 0, u"\u0301"},
        // A family: man ZWJ woman ZWJ girl, five code points of width one.
        {"\xF0\x9F\x91\xA8\xE2\x80\x8D\xF0\x9F\x91\xA9\xE2\x80\x8D\xF0\x9F\x91\xA7", 4, 0, u""},
        {"\xF0\x9F\x91\xA8\xE2\x80\x8D\xF0\x9F\x91\xA9\xE2\x80\x8D\xF0\x9F\x91\xA7", 5, 0,
         u"\xD83D\xDC68\u200D\xD83D\xDC69\u200D\xD83D\xDC67"},
        // Flags are pairs of regional indicators: JP then US.
        {"\xF0\x9F\x87\xAF\xF0\x9F\x87\xB5\xF0\x9F\x87\xBA\xF0\x9F\x87\xB8", 3, 0, u"\xD83C\xDDEF\xD83C\xDDF5"},
        {"\xF0\x9F\x87\xAF\xF0\x9F\x87\xB5\xF0\x9F\x87\xBA\xF0\x9F\x87\xB8", 1, 0, u""},
        // Thumbs up with a skin tone; a heart with its emoji variation selector.
        {"\xF0\x9F\x91\x8D\xF0\x9F\x8F\xBD", 1, 0, u""},
        {"\xE2\x9D\xA4\xEF\xB8\x8F!", 2, 0, u"\u2764\uFE0F"},
        // Half-width katakana with its voiced mark: ｶﾞ.
        {"\xEF\xBD\xB6\xEF\xBE\x9E", 1, 0, u""},
        {"\xEF\xBD\xB6\xEF\xBE\x9E", 2, 0, u"\uFF76\uFF9E"},
        // CR LF is one cluster of width two.
        {"a\r\nb", 2, 0, u"a"},
        {"a\r\nb", 3, 0, u"a\r\n"},
    };
    CheckTable(cases, sizeof(cases) / sizeof(cases[0]));
}

TEST(LabelCut, ControlsAndAmpersands)
{
    const CutCase cases[] = {
        {"a\r\nb\tc\x7f" "d", 10, DROP, u"abcd"},
        {"a\r\nb\tc", 10, 0, u"a\r\nb\tc"},           // tips keep line breaks
        {"\r\n\xF0\x9F\x98\x80", 1, DROP, u"\xD83D\xDE00"},  // dropped controls cost nothing
        {"a&b", 4, AMP, u"a&&b"},
        {"a&b", 3, AMP, u"a&&"},
        {"a&b", 2, AMP, u"a"},                         // never half of a doubled ampersand
        {"a&b", 3, 0, u"a&b"},
        {"\xC2\x80", 5, DROP, u"\u0080"},              // only C0 controls and DEL are dropped
    };
    CheckTable(cases, sizeof(cases) / sizeof(cases[0]));
}

TEST(LabelCut, StopsWhereTheDestinationIsFull)
{
    // Four emoji of width one each, two units each: a destination of 6 units
    // holds two of them and the NUL, whatever the budget.
    const std::string emoji = "\xF0\x9F\x98\x80\xF0\x9F\x98\x81\xF0\x9F\x98\x82\xF0\x9F\x98\x83";
    EXPECT_EQ(Cut(emoji, 100, 0, 6), u"\xD83D\xDE00\xD83D\xDE01");
    EXPECT_EQ(Cut(emoji, 100, 0, 5), u"\xD83D\xDE00\xD83D\xDE01");
    EXPECT_EQ(Cut(emoji, 100, 0, 4), u"\xD83D\xDE00");
    EXPECT_EQ(Cut(emoji, 100, 0, 2), u"");
    EXPECT_EQ(Cut(emoji, 100, 0, 1), u"");
    // Twice the budget plus one always holds the whole cut.
    EXPECT_EQ(Cut(emoji, 4, 0, 9).size(), 8u);
    char16_t untouched = u'X';
    EXPECT_EQ(LabelCut_Utf8(&untouched, 0, "a", 1, 1, 0), 0u);
    EXPECT_EQ(untouched, u'X');
}

// A lone surrogate, kept in the original as its three-byte form, comes out as itself.
TEST(LabelCut, KeepsLoneSurrogates)
{
    EXPECT_EQ(Cut("\xED\xA0\xBD" "a", 2, 0), u"\xD83D" "a");
    // A high and a low surrogate written one by one are the pair they make in
    // UTF-16: one character of width one, never cut in two.
    const std::string pair = "a\xED\xAD\xAD\xED\xB3\xAD";
    EXPECT_EQ(Cut(pair, 2, 0), u"a\xDB6D\xDCED");
    EXPECT_EQ(Cut(pair, 1, 0), u"a");
    EXPECT_EQ(Cut(pair, 100, 0, 3), u"a");
}

TEST(Grapheme, Boundaries)
{
    struct Case {
        std::string text;
        size_t end;  // of the cluster at 0
    };
    const Case cases[] = {
        {"ab", 1},
        {"\r\n\n", 2},
        {"\r\r", 1},
        {"\n\xCC\x81", 1},                    // a control keeps no mark
        {"e\xCC\x81\xCC\x81x", 5},
        {"\xE2\x80\x8D" "a", 4},              // a joiner at the start takes the next character
        {"\xF0\x9F\x87\xAF\xF0\x9F\x87\xB5\xF0\x9F\x87\xBA", 8},
        {"\xE1\x84\x80\xE1\x85\xA1\xE1\x86\xA8" "a", 9},  // Hangul L V T jamo: 각
        {"\xC3", 1},                          // a broken byte is one cluster
    };
    for (const Case& c : cases)
        EXPECT_EQ(Grapheme_NextUtf8(c.text.data(), c.text.size(), 0), c.end) << testing::PrintToString(c.text);
}

// ---------------------------------------------------------------------------
// The same cut as today's for every text code page 932 holds

uint32_t NextRandom(uint32_t* state)
{
    *state = *state * 1103515245u + 12345u;
    return *state >> 8;
}

// A text of characters code page 932 holds, with the bytes the byte cuts
// treat specially: controls, ampersands, double-byte characters whose trail
// byte is 0x5C, half-width katakana (but not the voiced marks, which join
// the character before them in an original).
std::string RandomCodePageText(uint32_t* state)
{
    static const char* const pieces[] = {
        "a", "Z", " ", "&", "\t", "\n", "\x7f", "\x01", "~", "\\", "\x80", "\xa0",
        "\x82\xa0",  // あ
        "\x95\x5c",  // 表
        "\x83\x5c",  // ソ
        "\x81\x40",  // full-width space
        "\x87\x40",  // ①
        "\xfa\x5c",  // 纊
        "\xb1",      // ｱ
        "\xdd",      // ﾝ
        "\x81\x95",  // ＆
    };
    std::string text;
    size_t length = NextRandom(state) % 24;
    for (size_t i = 0; i < length; i++)
        text += pieces[NextRandom(state) % (sizeof(pieces) / sizeof(pieces[0]))];
    return text;
}

std::string Utf8Of(const std::string& cp932)
{
    std::u16string wide(cp932.size() + 1, 0);
    size_t n = Cp932_ToUtf16(&wide[0], wide.size(), cp932.data(), cp932.size());
    std::string utf8(4 * n + 1, 0);
    size_t m = Utf_Utf16ToUtf8(&utf8[0], utf8.size(), wide.data(), n);
    utf8.resize(m);
    return utf8;
}

std::u16string Utf16Of(const char* cp932)
{
    std::u16string wide(strlen(cp932) + 1, 0);
    wide.resize(Cp932_ToUtf16(&wide[0], wide.size(), cp932, strlen(cp932)));
    return wide;
}

TEST(LabelCut, AgreesWithTheByteCutsForCodePageTexts)
{
    uint32_t state = 932;
    for (int round = 0; round < 3000; round++) {
        std::string text = RandomCodePageText(&state);
        std::string utf8 = Utf8Of(text);
        ASSERT_TRUE(Cp932_FitsUtf8(utf8.data(), utf8.size()));
        for (int size = 1; size <= 30; size++) {
            char bytes[64];
            char16_t units[128];
            MakeMenuLabel(bytes, text.c_str(), size);
            MenuLabel_MakeW(units, 128, utf8.c_str(), size);
            ASSERT_EQ(std::u16string(units), Utf16Of(bytes)) << testing::PrintToString(text) << " size " << size;

            MakeItemLabel(bytes, text.c_str(), static_cast<size_t>(size));
            ItemLabel_MakeW(units, 128, utf8.c_str(), static_cast<size_t>(size));
            ASSERT_EQ(std::u16string(units), Utf16Of(bytes)) << testing::PrintToString(text) << " limit " << size;

            // Menu tips: StrCopyN to the tip size + 1, with line breaks; a CR
            // LF pair the byte cut would split is the one difference.
            if (text.find('\r') == std::string::npos) {
                StrCopyN(bytes, static_cast<size_t>(size) + 1, text.c_str());
                LabelCut_Utf8(units, 128, utf8.data(), utf8.size(), static_cast<size_t>(size), 0);
                ASSERT_EQ(std::u16string(units), Utf16Of(bytes)) << testing::PrintToString(text) << " tip " << size;
            }
        }
    }
}

}  // namespace
