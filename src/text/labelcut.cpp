// Cutting originals to the sizes of the code-page-932 labels. Menu labels,
// menu tips, list items and the tray tip have sizes counted in bytes of code
// page 932, a character being one byte or two. An original is cut by the
// same count: each character is as wide as its code-page-932 form, one or two
// for the characters the code page has, one for every other character (the
// "?" that stands for it in the stored text). So a label shows exactly the
// characters that today's label of the same text shows, with the originals in
// place of the question marks. A cut falls only between grapheme clusters
// (grapheme.h): never inside a surrogate pair or between a character and its
// marks. The UTF-16 units of a cluster are at most twice its width, so a
// destination of 2 * budget + 1 units always holds the whole label.
#include "text/labelcut.h"

#include "text/cp932.h"
#include "text/grapheme.h"
#include "text/utf.h"

static bool IsDroppedControl(uint32_t cp)
{
    return (cp >= 0x01 && cp <= 0x1F) || cp == 0x7F;
}

size_t LabelCut_Width(uint32_t cp)
{
    size_t bytes = Cp932_CharBytes(cp);
    return bytes ? bytes : 1;
}

struct ClusterSize {
    size_t width;
    size_t units;
};

static ClusterSize MeasureCluster(const char* s, size_t begin, size_t end, unsigned flags)
{
    ClusterSize size = {0, 0};
    for (size_t i = begin; i < end;) {
        size_t used;
        uint32_t cp = Utf_DecodeUtf8(s + i, end - i, &used);
        i += used;
        if ((flags & LABELCUT_DROP_CONTROLS) && IsDroppedControl(cp))
            continue;
        bool doubled = (flags & LABELCUT_DOUBLE_AMPERSANDS) && cp == '&';
        size.width += doubled ? 2 : LabelCut_Width(cp);
        size.units += doubled ? 2 : cp >= 0x10000 ? 2 : 1;
    }
    return size;
}

static size_t CopyCluster(char16_t* dst, const char* s, size_t begin, size_t end, unsigned flags)
{
    size_t written = 0;
    for (size_t i = begin; i < end;) {
        size_t used;
        uint32_t cp = Utf_DecodeUtf8(s + i, end - i, &used);
        i += used;
        if ((flags & LABELCUT_DROP_CONTROLS) && IsDroppedControl(cp))
            continue;
        if ((flags & LABELCUT_DOUBLE_AMPERSANDS) && cp == '&')
            dst[written++] = u'&';
        written += Utf_EncodeUtf16(cp, dst + written);
    }
    return written;
}

size_t LabelCut_Utf8(char16_t* dst, size_t dstSize, const char* text, size_t length, size_t budget, unsigned flags)
{
    if (dstSize == 0)
        return 0;
    size_t room = dstSize - 1;
    size_t width = 0;
    size_t written = 0;
    for (size_t pos = 0; pos < length;) {
        size_t end = Grapheme_NextUtf8(text, length, pos);
        ClusterSize size = MeasureCluster(text, pos, end, flags);
        if (width + size.width > budget || written + size.units > room)
            break;
        written += CopyCluster(dst + written, text, pos, end, flags);
        width += size.width;
        pos = end;
    }
    dst[written] = 0;
    return written;
}
