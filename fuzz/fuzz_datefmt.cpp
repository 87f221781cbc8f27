// libFuzzer target for FormatDateTime: any format, any valid local time, any
// capacity. The output buffer is exactly capacity bytes on the heap so that
// AddressSanitizer sees any write past it; the text must be NUL-terminated
// inside it, and a cut must fall on a character boundary of the uncut text.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "datefmt/datefmt.h"

namespace {

const size_t HEADER_SIZE = 12;
const size_t MAX_CAPACITY = 4096;
const size_t MORE_ROOM = 64;

bool IsLead(unsigned char c)
{
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

uint16_t Read16(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

int DaysInMonth(int year, int month)
{
    static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool leap = year % 400 == 0 || (year % 4 == 0 && year % 100 != 0);
    return (month == 2 && leap) ? 29 : days[month - 1];
}

// A time as GetLocalTime could give it: years 1601 to 30827.
SYSTEMTIME TimeFrom(const uint8_t* p)
{
    SYSTEMTIME t;
    memset(&t, 0, sizeof t);
    t.wYear = static_cast<uint16_t>(1601 + Read16(p) % (30827 - 1601 + 1));
    t.wMonth = static_cast<uint16_t>(1 + p[2] % 12);
    t.wDay = static_cast<uint16_t>(1 + p[3] % DaysInMonth(t.wYear, t.wMonth));
    t.wDayOfWeek = static_cast<uint16_t>(p[4] % 7);
    t.wHour = static_cast<uint16_t>(p[5] % 24);
    t.wMinute = static_cast<uint16_t>(p[6] % 60);
    t.wSecond = static_cast<uint16_t>(p[7] % 60);
    t.wMilliseconds = static_cast<uint16_t>(Read16(p + 8) % 1000);
    return t;
}

// Formats into a heap block of exactly capacity bytes and checks that the
// text ends inside it. Returns the block (the caller frees it).
char* FormatExact(const char* format, size_t capacity, const SYSTEMTIME* t)
{
    char* out = static_cast<char*>(malloc(capacity ? capacity : 1));
    if (!out)
        abort();
    if (capacity == 0) {
        out[0] = 'Z';
        FormatDateTime(out, 0, format, t);
        if (out[0] != 'Z')
            abort();  // capacity 0 must write nothing
        out[0] = 0;
        return out;
    }
    memset(out, 'Z', capacity);
    FormatDateTime(out, capacity, format, t);
    if (!memchr(out, 0, capacity))
        abort();
    return out;
}

// Start of the character that covers byte pos of s (by the lead-byte rule).
bool IsCharStart(const char* s, size_t pos)
{
    size_t i = 0;
    while (i < pos)
        i += (IsLead(static_cast<unsigned char>(s[i])) && s[i + 1] != 0) ? 2 : 1;
    return i == pos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < HEADER_SIZE)
        return 0;
    const SYSTEMTIME t = TimeFrom(data);
    const size_t capacity = Read16(data + 10) % (MAX_CAPACITY + 1);

    const size_t formatSize = size - HEADER_SIZE;
    char* format = static_cast<char*>(malloc(formatSize + 1));
    if (!format)
        abort();
    memcpy(format, data + HEADER_SIZE, formatSize);
    format[formatSize] = 0;

    char* out = FormatExact(format, capacity, &t);
    char* more = FormatExact(format, capacity + MORE_ROOM, &t);
    const size_t len = strlen(out);
    const size_t moreLen = strlen(more);

    // With more room the text only grows: the smaller one is its prefix.
    if (len > moreLen || memcmp(out, more, len) != 0)
        abort();
    if (len < moreLen) {
        // Cut: never inside a character, and only where the next one
        // did not fit.
        if (!IsCharStart(more, len))
            abort();
        size_t next = (IsLead(static_cast<unsigned char>(more[len])) && more[len + 1] != 0) ? 2 : 1;
        if (len + next + 1 <= capacity)
            abort();
    }
    // A cut text never ends on a lone lead byte; the uncut one can only when
    // the format itself ends with such a byte (copied as a character of its own).
    if (len > 0 && IsCharStart(out, len - 1) && IsLead(static_cast<unsigned char>(out[len - 1]))) {
        if (len != moreLen)
            abort();
        if (formatSize == 0 || strlen(format) == 0 ||
            format[strlen(format) - 1] != out[len - 1])
            abort();
    }

    free(more);
    free(out);
    free(format);
    return 0;
}
