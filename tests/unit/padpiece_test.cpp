// Where the edit pad cuts a long text into pieces: after the last line end
// within the wanted size, or before it without splitting a surrogate pair or
// a CR LF pair; the whole rest when it fits.
#include <gtest/gtest.h>

#include <string>

#include "editing/padpiece.h"

namespace {

struct PieceCase {
    const char* name;
    std::u16string text;
    size_t start;
    size_t wanted;
    size_t end;
};

const PieceCase PIECE_CASES[] = {
    {"rest fits", u"abc", 0, 3, 3},
    {"rest fits from a start", u"abc\ndef", 4, 10, 7},
    {"after the last line end", u"ab\ncd\nefgh", 0, 8, 6},
    {"line end exactly at the size", u"abc\ndefg", 0, 4, 4},
    {"no line end: cut at the size", u"abcdefgh", 0, 5, 5},
    {"no line end from a start", u"ab\ncdefgh", 3, 3, 6},
    // 😀 (U+1F600) is the pair D83D DE00: the cut would fall between them
    {"surrogate pair kept whole", u"a\U0001F600bcd", 0, 2, 1},
    {"surrogate pair before the cut", u"\U0001F600bcd", 0, 2, 2},
    {"lone high surrogate may end a piece", u"a\xD83D" u"bcd", 0, 2, 2},
    {"cr lf kept together", u"abc\r\nde", 0, 4, 3},
    {"lone cr may end a piece", u"abc\rxde", 0, 4, 4},
    {"always some progress: a whole pair", u"\U0001F600z", 0, 1, 2},
    {"always some progress: a whole cr lf", u"\r\nz", 0, 1, 2},
    {"wanted 0 means one unit", u"abc", 0, 0, 1},
};

TEST(PadPiece, CutTable)
{
    for (const PieceCase& c : PIECE_CASES)
        EXPECT_EQ(PadPiece_End(c.text.data(), c.start, c.text.size(), c.wanted), c.end) << c.name;
}

// Pieces taken one after another cover the text exactly, whatever the size.
TEST(PadPiece, PiecesCoverTheText)
{
    std::u16string text;
    for (int i = 0; i < 2000; i++)
        text += (i % 7 == 0) ? u"\r\n" : (i % 5 == 0) ? u"\U0001F600" : u"x";
    for (size_t wanted : {1, 2, 3, 7, 64, 1000}) {
        size_t at = 0;
        int pieces = 0;
        while (at < text.size()) {
            size_t end = PadPiece_End(text.data(), at, text.size(), wanted);
            ASSERT_GT(end, at);
            ASSERT_LE(end, text.size());
            EXPECT_FALSE(end < text.size() && text[end - 1] == u'\r' && text[end] == u'\n') << "wanted " << wanted;
            // Never between the two halves of 😀.
            EXPECT_FALSE(text[end - 1] == 0xD83D) << "wanted " << wanted;
            at = end;
            pieces++;
        }
        EXPECT_EQ(at, text.size());
        EXPECT_GT(pieces, 0);
    }
}

}  // namespace
