// The cut of a long text into the edit pad's pieces. A piece that ends inside
// a line makes the edit control measure that whole line again when the next
// piece arrives, so pieces end at line ends where the text has them.
#include "editing/padpiece.h"

#include "text/text.h"

// The lead and trail bytes before end, walked from the piece's start (a line
// start, or a cut made by this same rule): end moves back off a lead byte.
static size_t CharBoundaryBefore(const char* text, size_t start, size_t end)
{
    size_t p = start;
    size_t last = start;
    while (p < end) {
        last = p;
        unsigned char c = static_cast<unsigned char>(text[p]);
        if (Text_IsMbcsLeadByte(c) && p + 1 < end + 1 && Text_IsMbcsTrailByte(static_cast<unsigned char>(text[p + 1])))
            p += 2;
        else
            p += 1;
    }
    return p == end ? end : last;
}

size_t PadPiece_End(const char* text, size_t start, size_t length, size_t wanted)
{
    if (wanted == 0)
        wanted = 1;
    if (length - start <= wanted)
        return length;
    size_t end = start + wanted;
    for (size_t p = end; p > start; p--) {
        if (text[p - 1] == '\n')
            return p;
    }
    end = CharBoundaryBefore(text, start, end);
    if (end > start && text[end - 1] == '\r' && text[end] == '\n')
        end--;
    if (end > start)
        return end;
    // Not one whole character fits: the piece is the first character (or
    // the CR LF pair) whole.
    unsigned char c = static_cast<unsigned char>(text[start]);
    bool pair = (Text_IsMbcsLeadByte(c) && Text_IsMbcsTrailByte(static_cast<unsigned char>(text[start + 1]))) ||
                (c == '\r' && text[start + 1] == '\n');
    return pair ? start + 2 : start + 1;
}
