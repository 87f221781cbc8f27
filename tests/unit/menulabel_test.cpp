// Labels of the text-list popup: control bytes dropped, ampersands doubled and
// never cut in half, long texts cut at n - 1 or n - 2 bytes, double-byte
// characters never split.
#include <gtest/gtest.h>

#include <string>

#include "menu/menulabel.h"
#include "text/text.h"

namespace {

const std::string A = "\x82\xa0";    // あ
const std::string HYO = "\x95\x5c";  // 表 (trail byte 0x5C)

std::string Label(const std::string& text, int size)
{
    std::string buf(static_cast<size_t>(size) + 8, 'X');
    EXPECT_EQ(MakeMenuLabel(&buf[0], text.c_str(), size), 1);
    EXPECT_EQ(buf.substr(static_cast<size_t>(size)), std::string(8, 'X')) << "wrote past the label size";
    return std::string(buf.c_str());
}

std::string Repeat(const std::string& s, int count)
{
    std::string out;
    for (int i = 0; i < count; i++)
        out += s;
    return out;
}

struct LabelCase {
    std::string text;
    int size;
    std::string expected;
};

void CheckTable(const LabelCase* cases, size_t count)
{
    for (size_t i = 0; i < count; i++)
        EXPECT_EQ(Label(cases[i].text, cases[i].size), cases[i].expected) << "case " << i;
}

TEST(MakeMenuLabel, DropsControlBytes)
{
    const LabelCase cases[] = {
        {"abc\r\ndef", 64, "abcdef"},  // two lines run together
        {"a\tb\x7f" "c\x01", 64, "abc"},
        {"\x1f\x7f\r\n", 64, ""},
        {"", 64, ""},
        {" x\x80y", 64, " x\x80y"},  // blank and 0x80 are no control bytes
        {"\x82\n\xa0", 64, A},       // a line break inside a character is dropped too
        // Dropped bytes do not count toward the size.
        {std::string(10, '\n') + std::string(63, 'b'), 64, std::string(63, 'b')},
    };
    CheckTable(cases, sizeof(cases) / sizeof(cases[0]));
}

// Every byte value between two letters: only the 32 control bytes and DEL go;
// the blank and every byte from 0x80 up stay, and "&" is doubled.
TEST(MakeMenuLabel, KeepsEveryByteButControlBytes)
{
    for (int c = 1; c <= 0xFF; c++) {
        const std::string byte(1, static_cast<char>(c));
        std::string expected = "<" + byte + ">";
        if (c < 0x20 || c == 0x7F)
            expected = "<>";
        else if (c == '&')
            expected = "<&&>";
        EXPECT_EQ(Label("<" + byte + ">", 64), expected) << "byte " << c;
    }
}

TEST(MakeMenuLabel, DoublesAmpersands)
{
    const LabelCase cases[] = {
        {"a&b", 64, "a&&b"},
        {"&&", 64, "&&&&"},
        {"&", 3, "&&"},
        // The pair fits with its terminator.
        {"a&", 4, "a&&"},
        {"ab&cd", 5, "ab&&"},
        // The pair no longer fits: the label ends before the ampersand.
        {"ab&", 4, "ab"},
        {"abc&d", 5, "abc"},
        {"abcd&", 5, "abcd"},
        {"&", 2, ""},
    };
    CheckTable(cases, sizeof(cases) / sizeof(cases[0]));
}

TEST(MakeMenuLabel, CutsAtSizeMinusOne)
{
    const LabelCase cases[] = {
        {std::string(63, 'a'), 64, std::string(63, 'a')},
        // Exactly 64 bytes do not fit with their terminator.
        {std::string(64, 'a'), 64, std::string(63, 'a')},
        {std::string(100, 'a'), 64, std::string(63, 'a')},
        {"abc", 3, "ab"},
        {"ab", 3, "ab"},
        {std::string(300, 'z'), 256, std::string(255, 'z')},
    };
    CheckTable(cases, sizeof(cases) / sizeof(cases[0]));
}

TEST(MakeMenuLabel, NeverSplitsADoubleByteCharacter)
{
    const LabelCase cases[] = {
        // Byte 62 is a lead byte: the label holds 62 bytes.
        {std::string(62, 'x') + A + "yz", 64, std::string(62, 'x')},
        // The character ends at byte 62 and stays.
        {std::string(61, 'x') + A + "yz", 64, std::string(61, 'x') + A},
        // The character would end at byte 63, which the NUL needs.
        {std::string(62, 'x') + A, 64, std::string(62, 'x')},
        {std::string(61, 'x') + A, 64, std::string(61, 'x') + A},
        {Repeat(A, 40), 64, Repeat(A, 31)},
        {"a" + Repeat(HYO, 40), 64, "a" + Repeat(HYO, 31)},
        {Repeat(HYO, 2), 4, HYO},
        {"a" + HYO, 3, "a"},
    };
    CheckTable(cases, sizeof(cases) / sizeof(cases[0]));
}

// Over many sizes and a text that mixes every kind of byte, the label is a
// prefix of the full label (controls dropped, ampersands doubled), complete
// when that fits, otherwise n - 1 or n - 2 bytes long, never ending on a lead
// byte or on the first half of a doubled ampersand.
TEST(MakeMenuLabel, CutIsAlwaysClean)
{
    const std::string text = "a&" + A + "\r\n" + HYO + "&&b" + A + A + "\t&c" + HYO + "d&" + A + "e";
    std::string full;
    for (unsigned char c : text) {
        if ((c >= 0x01 && c <= 0x1F) || c == 0x7F)
            continue;
        full += static_cast<char>(c);
        if (c == '&')
            full += '&';
    }
    for (int n = 1; n <= static_cast<int>(full.size()) + 3; n++) {
        std::string label = Label(text, n);
        ASSERT_EQ(full.compare(0, label.size(), label), 0) << "n=" << n << " label is not a prefix";
        if (full.size() <= static_cast<size_t>(n - 1)) {
            EXPECT_EQ(label, full) << "n=" << n;
            continue;
        }
        EXPECT_LE(label.size(), static_cast<size_t>(n - 1)) << "n=" << n;
        if (n >= 2) {
            EXPECT_GE(label.size(), static_cast<size_t>(n - 2)) << "n=" << n;
        }
        if (!label.empty()) {
            EXPECT_NE(MbcsByteKind(label.c_str(), label.size() - 1), MBCS_LEAD) << "n=" << n;
        }
        size_t amps = 0;
        for (size_t i = label.size(); i > 0 && label[i - 1] == '&'; i--)
            amps++;
        // Every run of ampersands in the full label is made of whole pairs.
        EXPECT_EQ(amps % 2, 0u) << "n=" << n << " half an ampersand pair";
    }
}

}  // namespace
