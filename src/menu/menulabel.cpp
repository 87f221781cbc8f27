// Labels of the text-list popup: a stored text made into one short menu line.
// Control bytes are dropped, ampersands doubled so the menu shows them
// literally, and a long text is cut without splitting a double-byte character.
#include "menu/menulabel.h"

#include <string.h>

#include "text/labelcut.h"
#include "text/text.h"

namespace {

bool IsControlByte(unsigned char c) { return (c >= 0x01 && c <= 0x1F) || c == 0x7F; }

}  // namespace

// dst must hold labelSize bytes; labelSize counts the terminating NUL.
int MakeMenuLabel(char* dst, const char* text, int labelSize)
{
    if (labelSize < 1)
        return 1;
    const int n = labelSize;
    int w = 0;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    for (; *p != 0 && w < n; p++) {
        if (IsControlByte(*p))
            continue;
        if (*p == '&') {
            // The pair and a terminator must fit, or the label ends before
            // the ampersand rather than showing half of it as an access key.
            if (w + 3 > n) {
                dst[w] = 0;
                return 1;
            }
            dst[w++] = '&';
            dst[w++] = '&';
            continue;
        }
        dst[w++] = static_cast<char>(*p);
    }
    if (w < n) {
        dst[w] = 0;
        return 1;
    }
    // The label is full: give up its last byte for the NUL, and the lead byte
    // before it too when that byte starts a character that would be split.
    int end = n - 1;
    if (n >= 2 && MbcsByteKind(dst, static_cast<size_t>(n - 2)) == MBCS_LEAD)
        end = n - 2;
    dst[end] = 0;
    return 1;
}

size_t MenuLabel_MakeW(char16_t* dst, size_t dstSize, const char* original, int labelSize)
{
    size_t budget = labelSize > 1 ? static_cast<size_t>(labelSize - 1) : 0;
    return LabelCut_Utf8(dst, dstSize, original, strlen(original), budget,
                         LABELCUT_DROP_CONTROLS | LABELCUT_DOUBLE_AMPERSANDS);
}
