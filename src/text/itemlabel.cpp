// Labels: a text shown on one line. Control characters (line breaks, tabs)
// are dropped so the lines run together, and a long text is cut before the
// limit without splitting a double-byte character.
#include "text/itemlabel.h"

#include "text/text.h"

static bool IsControlByte(unsigned char c)
{
    return c < 0x20 || c == 0x7F;
}

char* MakeItemLabel(char* label, const char* text, size_t limit)
{
    if (limit < 2) {
        if (limit == 1)
            label[0] = 0;
        return label;
    }
    size_t kept = 0;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    for (; *p && kept < limit; p++) {
        if (!IsControlByte(*p))
            label[kept++] = static_cast<char>(*p);
    }
    if (kept < limit) {
        label[kept] = 0;
        return label;
    }
    // The text did not fit: end after limit - 1 bytes, or limit - 2 when the
    // byte at limit - 2 starts a double-byte character.
    label[limit - 1] = 0;
    if (MbcsByteKind(label, limit - 2) == MBCS_LEAD)
        label[limit - 2] = 0;
    return label;
}
