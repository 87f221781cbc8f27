// Labels of texts: control characters dropped, and the cut before the limit
// that never splits a double-byte character (tray tip: 64, list items: 257).
#include <gtest/gtest.h>

#include <string>

#include "text/itemlabel.h"

namespace {

std::string Label(const std::string& text, size_t limit)
{
    std::string buf(limit + 8, 'X');
    MakeItemLabel(&buf[0], text.c_str(), limit);
    EXPECT_EQ(buf.substr(limit), std::string(8, 'X')) << "wrote past the limit";
    return std::string(buf.c_str());
}

TEST(MakeItemLabel, DropsControlCharacters)
{
    EXPECT_EQ(Label("abc\r\ndef", TRAY_TIP_LIMIT), "abcdef");
    EXPECT_EQ(Label("a\tb\x7f" "c\x01", TRAY_TIP_LIMIT), "abc");
    EXPECT_EQ(Label("", TRAY_TIP_LIMIT), "");
    EXPECT_EQ(Label("\r\n\r\n", TRAY_TIP_LIMIT), "");
}

// Every byte value between two letters: only the 32 control bytes and DEL go;
// the blank and every byte from 0x80 up (lead bytes, half-width kana) stay.
TEST(MakeItemLabel, KeepsEveryByteButControlBytes)
{
    for (int c = 1; c <= 0xFF; c++) {
        const std::string byte(1, static_cast<char>(c));
        bool control = c < 0x20 || c == 0x7F;
        EXPECT_EQ(Label("<" + byte + ">", ITEM_LABEL_LIMIT), control ? "<>" : "<" + byte + ">") << "byte " << c;
    }
}

TEST(MakeItemLabel, CutsLongTextsBeforeTheLimit)
{
    EXPECT_EQ(Label(std::string(100, 'a'), TRAY_TIP_LIMIT), std::string(63, 'a'));
    EXPECT_EQ(Label(std::string(63, 'a'), TRAY_TIP_LIMIT), std::string(63, 'a'));
    // Exactly 64 kept bytes count as "did not fit".
    EXPECT_EQ(Label(std::string(64, 'a'), TRAY_TIP_LIMIT), std::string(63, 'a'));
    // Control characters do not count toward the limit.
    EXPECT_EQ(Label(std::string(10, '\n') + std::string(63, 'b'), TRAY_TIP_LIMIT), std::string(63, 'b'));
}

TEST(MakeItemLabel, NeverSplitsADoubleByteCharacter)
{
    const std::string a = "\x82\xa0";  // あ
    // 62 single bytes then あ: index 62 is a lead byte, so the tip has 62 bytes.
    EXPECT_EQ(Label(std::string(62, 'x') + a + "yz", TRAY_TIP_LIMIT), std::string(62, 'x'));
    // 61 single bytes then あ: the character ends at index 62 and stays.
    EXPECT_EQ(Label(std::string(61, 'x') + a + "yz", TRAY_TIP_LIMIT), std::string(61, 'x') + a);
    // All double-byte: 32 characters are 64 bytes; 31 of them fit in 63.
    std::string many;
    for (int i = 0; i < 40; i++)
        many += a;
    EXPECT_EQ(Label(many, TRAY_TIP_LIMIT), many.substr(0, 62));
    std::string list;
    for (int i = 0; i < 200; i++)
        list += "\x95\x5c";  // 表
    EXPECT_EQ(Label(list, ITEM_LABEL_LIMIT).size(), 256u);
    EXPECT_EQ(Label("a" + list, ITEM_LABEL_LIMIT).size(), 255u);
}

}  // namespace
