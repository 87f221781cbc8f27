// Where the edit pad cuts a long text into pieces: after the last line end
// within the wanted size, or before it without splitting a double-byte
// character or a CR LF pair; the whole rest when it fits.
#include <gtest/gtest.h>

#include <string>

#include "editing/padpiece.h"

namespace {

struct PieceCase {
    const char* name;
    std::string text;
    size_t start;
    size_t wanted;
    size_t end;
};

const PieceCase PIECE_CASES[] = {
    {"rest fits", "abc", 0, 3, 3},
    {"rest fits from a start", "abc\ndef", 4, 10, 7},
    {"after the last line end", "ab\ncd\nefgh", 0, 8, 6},
    {"line end exactly at the size", "abc\ndefg", 0, 4, 4},
    {"no line end: cut at the size", "abcdefgh", 0, 5, 5},
    {"no line end from a start", "ab\ncdefgh", 3, 3, 6},
    // 表 (0x95 0x5C): the cut would fall between its two bytes
    {"double-byte character kept whole", "a\x95\x5c" "bcd", 0, 2, 1},
    {"double-byte character before the cut", "\x95\x5c" "bcd", 0, 2, 2},
    {"cr lf kept together", "abc\r\nde", 0, 4, 3},
    {"lone cr may end a piece", "abc\rxde", 0, 4, 4},
    {"always some progress: a whole character", "\x95\x5cz", 0, 1, 2},
    {"always some progress: a whole cr lf", "\r\nz", 0, 1, 2},
    {"wanted 0 means one byte", "abc", 0, 0, 1},
};

TEST(PadPiece, CutTable)
{
    for (const PieceCase& c : PIECE_CASES)
        EXPECT_EQ(PadPiece_End(c.text.data(), c.start, c.text.size(), c.wanted), c.end) << c.name;
}

// Pieces taken one after another cover the text exactly, whatever the size.
TEST(PadPiece, PiecesCoverTheText)
{
    std::string text;
    for (int i = 0; i < 2000; i++)
        text += (i % 7 == 0) ? "\r\n" : (i % 5 == 0) ? "\x95\x5c" : "x";
    for (size_t wanted : {1, 2, 3, 7, 64, 1000}) {
        size_t at = 0;
        int pieces = 0;
        while (at < text.size()) {
            size_t end = PadPiece_End(text.data(), at, text.size(), wanted);
            ASSERT_GT(end, at);
            ASSERT_LE(end, text.size());
            EXPECT_FALSE(end < text.size() && text[end - 1] == '\r' && text[end] == '\n') << "wanted " << wanted;
            // Never between the two bytes of 表.
            EXPECT_FALSE(text[end - 1] == '\x95') << "wanted " << wanted;
            at = end;
            pieces++;
        }
        EXPECT_EQ(at, text.size());
        EXPECT_GT(pieces, 0);
    }
}

}  // namespace
