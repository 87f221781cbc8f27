// Code page 932 conversions. The table (cp932_table.inc) is made by
// scripts/make-unicode-tables.py from Python's 'cp932' codec, with the byte
// forms Windows chooses where the code page has several for one character.
// Only characters that come back unchanged are encoded; every other one
// becomes "?", one per code point, so whether a text fits is a table lookup
// per character. Bytes that are no character decode as U+30FB, as Windows
// decodes them: a lead byte without a trail byte after it (by the byte rule
// of text.h), or a pair the code page leaves undefined.
#include "text/cp932.h"

#include <stdlib.h>

#include "text/text.h"
#include "text/utf.h"
#include "text/wholeout.h"

#include "text/cp932_table.inc"

static int LeadRow(unsigned char lead)
{
    return lead <= 0x9F ? lead - 0x81 : lead - 0xE0 + 31;
}

uint32_t Cp932_DecodeChar(const char* s, size_t length, size_t* used)
{
    const unsigned char* p = reinterpret_cast<const unsigned char*>(s);
    *used = 1;
    if (!Text_IsMbcsLeadByte(p[0]))
        return CP932_SINGLE[p[0]];
    if (length < 2 || !Text_IsMbcsTrailByte(p[1]))
        return CP932_DEFAULT_CHAR;
    *used = 2;
    uint16_t cp = CP932_DOUBLE[LeadRow(p[0])][p[1] - 0x40];
    return cp ? cp : static_cast<uint32_t>(CP932_DEFAULT_CHAR);
}

static uint16_t ByteFormOf(uint32_t cp)
{
    if (cp > 0xFFFF)
        return 0;
    uint8_t page = CP932_PAGE_OF[cp >> 8];
    return page ? CP932_PAGES[page - 1][cp & 0xFF] : 0;
}

size_t Cp932_CharBytes(uint32_t cp)
{
    if (cp == 0)
        return 1;
    uint16_t form = ByteFormOf(cp);
    return form == 0 ? 0 : form > 0xFF ? 2 : 1;
}

size_t Cp932_EncodeChar(uint32_t cp, char* out)
{
    if (cp == 0) {
        out[0] = 0;
        return 1;
    }
    uint16_t form = ByteFormOf(cp);
    if (form == 0)
        return 0;
    if (form <= 0xFF) {
        out[0] = static_cast<char>(form);
        return 1;
    }
    out[0] = static_cast<char>(form >> 8);
    out[1] = static_cast<char>(form & 0xFF);
    return 2;
}

size_t Cp932_EncodeCharOrMissing(uint32_t cp, char* out)
{
    size_t n = Cp932_EncodeChar(cp, out);
    if (n > 0)
        return n;
    out[0] = CP932_MISSING_BYTE;
    return 1;
}

size_t Cp932_ToUtf16(char16_t* dst, size_t dstSize, const char* src, size_t length)
{
    WholeOut<char16_t> out = WholeOut_Begin(dst, dstSize);
    for (size_t i = 0; i < length;) {
        size_t used;
        char16_t unit = static_cast<char16_t>(Cp932_DecodeChar(src + i, length - i, &used));
        i += used;
        WholeOut_Put(&out, &unit, 1);
    }
    return WholeOut_End(&out);
}

// The code points of a UTF-8 or UTF-16 text, one at a time.
struct CodePointReader {
    const char* utf8;
    const char16_t* utf16;
    size_t length;
    size_t pos;
};

static bool NextCodePoint(CodePointReader* r, uint32_t* cp)
{
    if (r->pos >= r->length)
        return false;
    size_t used;
    if (r->utf8)
        *cp = Utf_DecodeUtf8(r->utf8 + r->pos, r->length - r->pos, &used);
    else
        *cp = Utf_DecodeUtf16(r->utf16 + r->pos, r->length - r->pos, &used);
    r->pos += used;
    return true;
}

static size_t Encode(char* dst, size_t dstSize, CodePointReader* r)
{
    WholeOut<char> out = WholeOut_Begin(dst, dstSize);
    uint32_t cp;
    while (NextCodePoint(r, &cp)) {
        char bytes[2];
        WholeOut_Put(&out, bytes, Cp932_EncodeCharOrMissing(cp, bytes));
    }
    return WholeOut_End(&out);
}

size_t Cp932_FromUtf16(char* dst, size_t dstSize, const char16_t* src, size_t length)
{
    CodePointReader r = {nullptr, src, length, 0};
    return Encode(dst, dstSize, &r);
}

size_t Cp932_FromUtf8(char* dst, size_t dstSize, const char* src, size_t length)
{
    CodePointReader r = {src, nullptr, length, 0};
    return Encode(dst, dstSize, &r);
}

char16_t* Cp932_DupToUtf16(const char* src, size_t length, size_t* outLength)
{
    size_t n = Cp932_ToUtf16(nullptr, 0, src, length);
    char16_t* dst = static_cast<char16_t*>(malloc((n + 1) * sizeof(char16_t)));
    if (!dst)
        return nullptr;
    Cp932_ToUtf16(dst, n + 1, src, length);
    if (outLength)
        *outLength = n;
    return dst;
}

static char* DupEncoded(CodePointReader* r, size_t* outLength)
{
    CodePointReader measure = *r;
    size_t n = Encode(nullptr, 0, &measure);
    char* dst = static_cast<char*>(malloc(n + 1));
    if (!dst)
        return nullptr;
    Encode(dst, n + 1, r);
    if (outLength)
        *outLength = n;
    return dst;
}

char* Cp932_DupFromUtf16(const char16_t* src, size_t length, size_t* outLength)
{
    CodePointReader r = {nullptr, src, length, 0};
    return DupEncoded(&r, outLength);
}

char* Cp932_DupFromUtf8(const char* src, size_t length, size_t* outLength)
{
    CodePointReader r = {src, nullptr, length, 0};
    return DupEncoded(&r, outLength);
}

static bool Fits(CodePointReader* r)
{
    uint32_t cp;
    while (NextCodePoint(r, &cp)) {
        if (Cp932_CharBytes(cp) == 0)
            return false;
    }
    return true;
}

bool Cp932_FitsUtf16(const char16_t* s, size_t length)
{
    CodePointReader r = {nullptr, s, length, 0};
    return Fits(&r);
}

bool Cp932_FitsUtf8(const char* s, size_t length)
{
    CodePointReader r = {s, nullptr, length, 0};
    return Fits(&r);
}
