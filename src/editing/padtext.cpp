// The edit pad's file and store forms of a text. Files come from anywhere,
// so a byte-order mark says what they are; without one a file is code page
// 932, as the pad has always read it. A file is written in code page 932
// whenever the text fits, so a Japanese text is written byte for byte as
// before, and in UTF-8 with a byte-order mark only when it would lose
// characters.
#include "editing/padtext.h"

#include <stdlib.h>
#include <string.h>

#include "text/cp932.h"
#include "text/utf.h"

static const char UTF8_BOM[] = "\xEF\xBB\xBF";

static bool StartsWith(const char* bytes, size_t size, const char* prefix, size_t length)
{
    return size >= length && memcmp(bytes, prefix, length) == 0;
}

// UTF-16 read from bytes, low byte first or high byte first, up to the first
// NUL character; an odd last byte is no character.
static char16_t* DecodeUtf16(const char* bytes, size_t size, bool bigEndian, size_t* units)
{
    size_t count = size / 2;
    char16_t* text = static_cast<char16_t*>(malloc((count + 1) * sizeof(char16_t)));
    if (!text)
        return nullptr;
    size_t n = 0;
    for (; n < count; n++) {
        unsigned char a = static_cast<unsigned char>(bytes[2 * n]);
        unsigned char b = static_cast<unsigned char>(bytes[2 * n + 1]);
        char16_t unit = bigEndian ? static_cast<char16_t>(a << 8 | b) : static_cast<char16_t>(b << 8 | a);
        if (unit == 0)
            break;
        text[n] = unit;
    }
    text[n] = 0;
    *units = n;
    return text;
}

static size_t LengthToNul(const char* bytes, size_t size)
{
    const void* nul = memchr(bytes, 0, size);
    return nul ? static_cast<size_t>(static_cast<const char*>(nul) - bytes) : size;
}

char16_t* PadText_Decode(const char* bytes, size_t size, size_t* units)
{
    *units = 0;
    if (StartsWith(bytes, size, UTF8_BOM, 3))
        return Utf_DupUtf8ToUtf16(bytes + 3, LengthToNul(bytes + 3, size - 3), units);
    if (StartsWith(bytes, size, "\xFF\xFE", 2))
        return DecodeUtf16(bytes + 2, size - 2, false, units);
    if (StartsWith(bytes, size, "\xFE\xFF", 2))
        return DecodeUtf16(bytes + 2, size - 2, true, units);
    return Cp932_DupToUtf16(bytes, LengthToNul(bytes, size), units);
}

char* PadText_Encode(const char16_t* text, size_t units, size_t* size)
{
    if (Cp932_FitsUtf16(text, units))
        return Cp932_DupFromUtf16(text, units, size);
    size_t length = Utf_Utf16ToUtf8(nullptr, 0, text, units);
    char* bytes = static_cast<char*>(malloc(length + 4));
    if (!bytes)
        return nullptr;
    memcpy(bytes, UTF8_BOM, 3);
    Utf_Utf16ToUtf8(bytes + 3, length + 1, text, units);
    *size = length + 3;
    return bytes;
}

char* PadText_ToStored(const char16_t* text, size_t units, char** original)
{
    *original = nullptr;
    char* stored = Cp932_DupFromUtf16(text, units, nullptr);
    if (!stored || Cp932_FitsUtf16(text, units))
        return stored;
    *original = Utf_DupUtf16ToUtf8(text, units, nullptr);
    if (!*original) {
        free(stored);
        return nullptr;
    }
    return stored;
}
