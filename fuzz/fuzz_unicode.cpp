// libFuzzer target for the Unicode conversions and the cutting of originals.
// The first byte chooses a size and a budget; the rest is read both as UTF-8
// and as code page 932. Every destination is an exactly sized heap block.
// Checked on every input:
// - UTF-8 to UTF-16 to UTF-8 is stable after the first trip, and canonical;
// - a text that fits code page 932 comes back unchanged through it;
// - bounded conversions write whole characters within their size;
// - a cut never exceeds its budget or its destination and ends on a cluster
//   boundary.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "text/cp932.h"
#include "text/grapheme.h"
#include "text/labelcut.h"
#include "text/utf.h"

static void CheckUtf8(const char* s, size_t n)
{
    size_t wideLength = 0;
    char16_t* wide = Utf_DupUtf8ToUtf16(s, n, &wideLength);
    if (!wide)
        return;
    size_t narrowLength = 0;
    char* narrow = Utf_DupUtf16ToUtf8(wide, wideLength, &narrowLength);
    if (!narrow)
        abort();
    // A NUL read from the input stays a NUL; only texts without one are canonical.
    if (memchr(narrow, 0, narrowLength) == nullptr && !Utf_IsCanonicalUtf8(narrow, narrowLength))
        abort();
    size_t againLength = 0;
    char16_t* again = Utf_DupUtf8ToUtf16(narrow, narrowLength, &againLength);
    if (!again || againLength != wideLength || memcmp(again, wide, wideLength * sizeof(char16_t)) != 0)
        abort();
    if (Cp932_FitsUtf16(wide, wideLength)) {
        size_t bytesLength = 0;
        char* bytes = Cp932_DupFromUtf16(wide, wideLength, &bytesLength);
        size_t backLength = 0;
        char16_t* back = bytes ? Cp932_DupToUtf16(bytes, bytesLength, &backLength) : nullptr;
        if (bytes && back && (backLength != wideLength || memcmp(back, wide, wideLength * sizeof(char16_t)) != 0))
            abort();
        free(bytes);
        free(back);
    }
    free(again);
    free(narrow);
    free(wide);
}

// The bounded result is the longest prefix of whole characters of the full
// conversion that fits.
static void CheckBounded(const char* s, size_t n, size_t dstSize)
{
    size_t fullLength = 0;
    char16_t* full = Utf_DupUtf8ToUtf16(s, n, &fullLength);
    char16_t* units = static_cast<char16_t*>(malloc(dstSize * sizeof(char16_t)));
    if (full) {
        Utf_Utf8ToUtf16(units, dstSize, s, n);
        size_t u = 0;
        for (size_t i = 0; i < fullLength;) {
            size_t used;
            Utf_DecodeUtf16(full + i, fullLength - i, &used);
            if (i + used > dstSize - 1)
                break;
            i += used;
            u = i;
        }
        if (units[u] != 0 || memcmp(units, full, u * sizeof(char16_t)) != 0)
            abort();
        free(full);
    }
    size_t bytesLength = 0;
    char* allBytes = Cp932_DupFromUtf8(s, n, &bytesLength);
    char* bytes = static_cast<char*>(malloc(dstSize));
    if (allBytes) {
        Cp932_FromUtf8(bytes, dstSize, s, n);
        size_t b = 0;
        for (size_t i = 0; i < bytesLength;) {
            size_t used;
            Cp932_DecodeChar(allBytes + i, bytesLength - i, &used);
            if (i + used > dstSize - 1)
                break;
            i += used;
            b = i;
        }
        if (bytes[b] != 0 || memcmp(bytes, allBytes, b) != 0)
            abort();
        free(allBytes);
    }
    free(bytes);
    Cp932_ToUtf16(units, dstSize, s, n);
    free(units);
}

static void CheckCut(const char* s, size_t n, size_t budget, size_t dstSize, unsigned flags)
{
    char16_t* dst = static_cast<char16_t*>(malloc(dstSize * sizeof(char16_t)));
    size_t written = LabelCut_Utf8(dst, dstSize, s, n, budget, flags);
    if (written > dstSize - 1 || dst[written] != 0)
        abort();
    // The cut ends where some cluster ends, and its width is within budget.
    size_t width = 0;
    size_t units = 0;
    size_t pos = 0;
    while (units < written && pos < n) {
        size_t end = Grapheme_NextUtf8(s, n, pos);
        for (size_t i = pos; i < end;) {
            size_t used;
            uint32_t cp = Utf_DecodeUtf8(s + i, end - i, &used);
            i += used;
            if ((flags & LABELCUT_DROP_CONTROLS) && ((cp >= 1 && cp <= 0x1F) || cp == 0x7F))
                continue;
            bool doubled = (flags & LABELCUT_DOUBLE_AMPERSANDS) && cp == '&';
            width += doubled ? 2 : LabelCut_Width(cp);
            units += doubled ? 2 : cp >= 0x10000 ? 2 : 1;
        }
        pos = end;
    }
    if (units != written || width > budget)
        abort();
    free(dst);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    size_t dstSize = 1 + data[0] % 32;
    size_t budget = data[0] / 8;
    const char* s = reinterpret_cast<const char*>(data + 1);
    size_t n = size - 1;
    CheckUtf8(s, n);
    CheckBounded(s, n, dstSize);
    for (unsigned flags = 0; flags < 4; flags++)
        CheckCut(s, n, budget, dstSize, flags);
    return 0;
}
