// The cut of a long text into the edit pad's pieces. A piece that ends inside
// a line makes the edit control measure that whole line again when the next
// piece arrives, so pieces end at line ends where the text has them.
#include "editing/padpiece.h"

static bool IsHighSurrogate(char16_t c)
{
    return c >= 0xD800 && c <= 0xDBFF;
}

static bool IsLowSurrogate(char16_t c)
{
    return c >= 0xDC00 && c <= 0xDFFF;
}

// Whether text[at - 1] and text[at] belong together: a surrogate pair, or CR LF.
static bool JoinedAt(const char16_t* text, size_t at)
{
    return (IsHighSurrogate(text[at - 1]) && IsLowSurrogate(text[at])) || (text[at - 1] == u'\r' && text[at] == u'\n');
}

size_t PadPiece_End(const char16_t* text, size_t start, size_t length, size_t wanted)
{
    if (wanted == 0)
        wanted = 1;
    if (length - start <= wanted)
        return length;
    size_t end = start + wanted;
    for (size_t p = end; p > start; p--) {
        if (text[p - 1] == u'\n')
            return p;
    }
    if (JoinedAt(text, end))
        end--;
    if (end > start)
        return end;
    // Not one whole character fits: the piece is the first pair whole.
    return JoinedAt(text, start + 1) ? start + 2 : start + 1;
}
