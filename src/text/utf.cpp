// UTF-8 and UTF-16 conversions. Clipboard text is UTF-16 that may hold a
// surrogate without its partner; so that every such text survives a trip
// through UTF-8 (the side files, the clip store), a lone surrogate is written
// as its own three-byte form (the way WTF-8 does) and read back as itself.
// Any other byte sequence that is no UTF-8 reads as U+FFFD, one for each
// maximal ill-formed part, as Unicode recommends.
#include "text/utf.h"
#include "text/wholeout.h"

#include <stdlib.h>

static bool IsContinuation(unsigned char c)
{
    return (c & 0xC0) == 0x80;
}

// The range the second byte of a sequence must lie in, by its first byte;
// false for a byte that starts no sequence of two or more.
static bool SecondByteRange(unsigned char first, unsigned char* low, unsigned char* high, size_t* size)
{
    *low = 0x80;
    *high = 0xBF;
    if (first >= 0xC2 && first <= 0xDF) {
        *size = 2;
    } else if (first >= 0xE0 && first <= 0xEF) {
        *size = 3;
        if (first == 0xE0)
            *low = 0xA0;  // shorter forms are overlong
    } else if (first >= 0xF0 && first <= 0xF4) {
        *size = 4;
        if (first == 0xF0)
            *low = 0x90;
        if (first == 0xF4)
            *high = 0x8F;  // nothing beyond U+10FFFF
    } else {
        return false;
    }
    return true;
}

// One code point as UTF-8 writes it, surrogates included.
static uint32_t DecodeOne(const char* s, size_t length, size_t* used)
{
    const unsigned char* p = reinterpret_cast<const unsigned char*>(s);
    *used = 1;
    if (p[0] < 0x80)
        return p[0];
    unsigned char low, high;
    size_t size;
    if (!SecondByteRange(p[0], &low, &high, &size))
        return UTF_REPLACEMENT;
    if (length < 2 || p[1] < low || p[1] > high)
        return UTF_REPLACEMENT;
    uint32_t cp = p[0] & (0xFF >> (size + 1));
    cp = cp << 6 | (p[1] & 0x3F);
    for (size_t i = 2; i < size; i++) {
        if (i >= length || !IsContinuation(p[i])) {
            *used = i;
            return UTF_REPLACEMENT;
        }
        cp = cp << 6 | (p[i] & 0x3F);
    }
    *used = size;
    return cp;
}

// A high surrogate's three-byte form directly followed by a low one's (UTF-8
// made from UTF-16 one unit at a time) is the pair they make in UTF-16 and
// reads as its one code point. Read one by one, a bounded conversion could
// keep the high half and drop the low half, and a cut could fall between them.
uint32_t Utf_DecodeUtf8(const char* s, size_t length, size_t* used)
{
    uint32_t cp = DecodeOne(s, length, used);
    if (cp < 0xD800 || cp > 0xDBFF || *used >= length)
        return cp;
    size_t lowUsed;
    uint32_t low = DecodeOne(s + *used, length - *used, &lowUsed);
    if (low < 0xDC00 || low > 0xDFFF)
        return cp;
    *used += lowUsed;
    return 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
}

uint32_t Utf_DecodeUtf16(const char16_t* s, size_t length, size_t* used)
{
    uint32_t c = s[0];
    *used = 1;
    if (c >= 0xD800 && c <= 0xDBFF && length >= 2 && s[1] >= 0xDC00 && s[1] <= 0xDFFF) {
        *used = 2;
        return 0x10000 + ((c - 0xD800) << 10) + (s[1] - 0xDC00);
    }
    return c;
}

size_t Utf_EncodeUtf8(uint32_t cp, char* out)
{
    if (cp < 0x80) {
        out[0] = static_cast<char>(cp);
        return 1;
    }
    if (cp < 0x800) {
        out[0] = static_cast<char>(0xC0 | cp >> 6);
        out[1] = static_cast<char>(0x80 | (cp & 0x3F));
        return 2;
    }
    if (cp < 0x10000) {
        out[0] = static_cast<char>(0xE0 | cp >> 12);
        out[1] = static_cast<char>(0x80 | (cp >> 6 & 0x3F));
        out[2] = static_cast<char>(0x80 | (cp & 0x3F));
        return 3;
    }
    out[0] = static_cast<char>(0xF0 | cp >> 18);
    out[1] = static_cast<char>(0x80 | (cp >> 12 & 0x3F));
    out[2] = static_cast<char>(0x80 | (cp >> 6 & 0x3F));
    out[3] = static_cast<char>(0x80 | (cp & 0x3F));
    return 4;
}

size_t Utf_EncodeUtf16(uint32_t cp, char16_t* out)
{
    if (cp < 0x10000) {
        out[0] = static_cast<char16_t>(cp);
        return 1;
    }
    cp -= 0x10000;
    out[0] = static_cast<char16_t>(0xD800 + (cp >> 10));
    out[1] = static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    return 2;
}

size_t Utf_Utf8ToUtf16(char16_t* dst, size_t dstSize, const char* src, size_t length)
{
    WholeOut<char16_t> out = WholeOut_Begin(dst, dstSize);
    for (size_t i = 0; i < length;) {
        size_t used;
        uint32_t cp = Utf_DecodeUtf8(src + i, length - i, &used);
        i += used;
        char16_t units[2];
        WholeOut_Put(&out, units, Utf_EncodeUtf16(cp, units));
    }
    return WholeOut_End(&out);
}

size_t Utf_Utf16ToUtf8(char* dst, size_t dstSize, const char16_t* src, size_t length)
{
    WholeOut<char> out = WholeOut_Begin(dst, dstSize);
    for (size_t i = 0; i < length;) {
        size_t used;
        uint32_t cp = Utf_DecodeUtf16(src + i, length - i, &used);
        i += used;
        char bytes[UTF8_CHAR_MAX];
        WholeOut_Put(&out, bytes, Utf_EncodeUtf8(cp, bytes));
    }
    return WholeOut_End(&out);
}

char16_t* Utf_DupUtf8ToUtf16(const char* src, size_t length, size_t* outLength)
{
    size_t n = Utf_Utf8ToUtf16(nullptr, 0, src, length);
    char16_t* dst = static_cast<char16_t*>(malloc((n + 1) * sizeof(char16_t)));
    if (!dst)
        return nullptr;
    Utf_Utf8ToUtf16(dst, n + 1, src, length);
    if (outLength)
        *outLength = n;
    return dst;
}

char* Utf_DupUtf16ToUtf8(const char16_t* src, size_t length, size_t* outLength)
{
    size_t n = Utf_Utf16ToUtf8(nullptr, 0, src, length);
    char* dst = static_cast<char*>(malloc(n + 1));
    if (!dst)
        return nullptr;
    Utf_Utf16ToUtf8(dst, n + 1, src, length);
    if (outLength)
        *outLength = n;
    return dst;
}

size_t Utf_Utf16Length(const char16_t* s)
{
    size_t n = 0;
    while (s[n])
        n++;
    return n;
}

// A pair written as two surrogates (six bytes) is one that Utf_Utf16ToUtf8
// writes as four bytes: not canonical.
bool Utf_IsCanonicalUtf8(const char* s, size_t length)
{
    for (size_t i = 0; i < length;) {
        if (s[i] == 0)
            return false;
        size_t used;
        uint32_t cp = Utf_DecodeUtf8(s + i, length - i, &used);
        if (cp == UTF_REPLACEMENT && !(used == 3 && static_cast<unsigned char>(s[i]) == 0xEF))
            return false;
        if (used > UTF8_CHAR_MAX)
            return false;
        i += used;
    }
    return true;
}
