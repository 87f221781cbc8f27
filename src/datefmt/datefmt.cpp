// Tamarin's date/time format language: percent conversions with full-width
// and kanji variants, escapes, and the name tables they print from. All text
// is code page 932; the formatter keeps no state and its tables are constant.
#include "datefmt/datefmt.h"

#include <stdint.h>
#include <string.h>

namespace {

// One conversion as read from the format; zeroed before every conversion.
struct DateConvSpec {
    uint32_t flags;
    int32_t width;      // minimum output width in characters
    int32_t precision;  // maximum number of digits of a number
    int32_t offset;     // added to a number before it is printed
    char conv;          // the conversion letter; 0 when malformed
    int32_t value;      // number from the time, or index into a name table
};

enum : uint32_t {
    DTF_LEFT = 0x02,
    DTF_ZEROPAD = 0x08,
    DTF_WIDECHAR = 0x10,
    DTF_KANJI = 0x20,
};

const int32_t DATE_DEFAULT_PRECISION = 0x7FFF;

const char DATE_FLAG_CHARS[] = "-0*!";

struct DateFlagDef {
    char ch;
    uint32_t bit;
};

const DateFlagDef DATE_FLAG_TABLE[4] = {
    {'-', DTF_LEFT},
    {'0', DTF_ZEROPAD},
    {'*', DTF_WIDECHAR},
    {'!', DTF_KANJI},
};

const char WIDE_SPACE[] = "\x81\x40";  // full-width space

const char* const DIGITS_ASCII[10] = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"};
const char* const DIGITS_WIDE[10] = {
    "\x82\x4f", "\x82\x50", "\x82\x51", "\x82\x52", "\x82\x53",  // ０ １ ２ ３ ４
    "\x82\x54", "\x82\x55", "\x82\x56", "\x82\x57", "\x82\x58",  // ５ ６ ７ ８ ９
};
const char* const DIGITS_KANJI[10] = {
    "\x81\x5a", "\x88\xea", "\x93\xf1", "\x8e\x4f", "\x8e\x6c",  // 〇 一 二 三 四
    "\x8c\xdc", "\x98\x5a", "\x8e\xb5", "\x94\xaa", "\x8b\xe3",  // 五 六 七 八 九
};

const char* const WEEKDAY_ABBR[7] = {"Sun.", "Mon.", "Tue.", "Wed.", "Thu.", "Fri.", "Sat."};
const char* const WEEKDAY_ABBR_WIDE[7] = {
    "\x82\x72\x82\x95\x82\x8e\x81\x44",  // Ｓｕｎ．
    "\x82\x6c\x82\x8f\x82\x8e\x81\x44",  // Ｍｏｎ．
    "\x82\x73\x82\x95\x82\x85\x81\x44",  // Ｔｕｅ．
    "\x82\x76\x82\x85\x82\x84\x81\x44",  // Ｗｅｄ．
    "\x82\x73\x82\x88\x82\x95\x81\x44",  // Ｔｈｕ．
    "\x82\x65\x82\x92\x82\x89\x81\x44",  // Ｆｒｉ．
    "\x82\x72\x82\x81\x82\x94\x81\x44",  // Ｓａｔ．
};
const char* const WEEKDAY_FULL[7] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
const char* const WEEKDAY_FULL_WIDE[7] = {
    "\x82\x72\x82\x95\x82\x8e\x82\x84\x82\x81\x82\x99",                  // Ｓｕｎｄａｙ
    "\x82\x6c\x82\x8f\x82\x8e\x82\x84\x82\x81\x82\x99",                  // Ｍｏｎｄａｙ
    "\x82\x73\x82\x95\x82\x85\x82\x93\x82\x84\x82\x81\x82\x99",          // Ｔｕｅｓｄａｙ
    "\x82\x76\x82\x85\x82\x84\x82\x8e\x82\x85\x82\x93\x82\x84\x82\x81\x82\x99",  // Ｗｅｄｎｅｓｄａｙ
    "\x82\x73\x82\x88\x82\x95\x82\x92\x82\x93\x82\x84\x82\x81\x82\x99",  // Ｔｈｕｒｓｄａｙ
    "\x82\x65\x82\x92\x82\x89\x82\x84\x82\x81\x82\x99",                  // Ｆｒｉｄａｙ
    "\x82\x72\x82\x81\x82\x94\x82\x95\x82\x92\x82\x84\x82\x81\x82\x99",  // Ｓａｔｕｒｄａｙ
};
const char* const WEEKDAY_KANJI[7] = {
    "\x93\xfa", "\x8c\x8e", "\x89\xce", "\x90\x85", "\x96\xd8", "\x8b\xe0", "\x93\x79",  // 日 月 火 水 木 金 土
};

const char* const MONTH_ABBR[12] = {"Jan.", "Feb.", "Mar.", "Apr.", "May",  "Jun.",
                                    "Jul.", "Aug.", "Sep.", "Oct.", "Nov.", "Dec."};
const char* const MONTH_ABBR_WIDE[12] = {
    "\x82\x69\x82\x81\x82\x8e\x81\x44",  // Ｊａｎ．
    "\x82\x65\x82\x85\x82\x82\x81\x44",  // Ｆｅｂ．
    "\x82\x6c\x82\x81\x82\x92\x81\x44",  // Ｍａｒ．
    "\x82\x60\x82\x90\x82\x92\x81\x44",  // Ａｐｒ．
    "\x82\x6c\x82\x81\x82\x99",          // Ｍａｙ
    "\x82\x69\x82\x95\x82\x8e\x81\x44",  // Ｊｕｎ．
    "\x82\x69\x82\x95\x82\x8c\x81\x44",  // Ｊｕｌ．
    "\x82\x60\x82\x95\x82\x87\x81\x44",  // Ａｕｇ．
    "\x82\x72\x82\x85\x82\x90\x81\x44",  // Ｓｅｐ．
    "\x82\x6e\x82\x83\x82\x94\x81\x44",  // Ｏｃｔ．
    "\x82\x6d\x82\x8f\x82\x96\x81\x44",  // Ｎｏｖ．
    "\x82\x63\x82\x85\x82\x83\x81\x44",  // Ｄｅｃ．
};
const char* const MONTH_FULL[12] = {"January", "February", "March",     "April",   "May",      "June",
                                    "July",    "August",   "September", "October", "November", "December"};
const char* const MONTH_FULL_WIDE[12] = {
    "\x82\x69\x82\x81\x82\x8e\x82\x95\x82\x81\x82\x92\x82\x99",          // Ｊａｎｕａｒｙ
    "\x82\x65\x82\x85\x82\x82\x82\x92\x82\x95\x82\x81\x82\x92\x82\x99",  // Ｆｅｂｒｕａｒｙ
    "\x82\x6c\x82\x81\x82\x92\x82\x83\x82\x88",                          // Ｍａｒｃｈ
    "\x82\x60\x82\x90\x82\x92\x82\x89\x82\x8c",                          // Ａｐｒｉｌ
    "\x82\x6c\x82\x81\x82\x99",                                          // Ｍａｙ
    "\x82\x69\x82\x95\x82\x8e\x82\x85",                                  // Ｊｕｎｅ
    "\x82\x69\x82\x95\x82\x8c\x82\x99",                                  // Ｊｕｌｙ
    "\x82\x60\x82\x95\x82\x87\x82\x95\x82\x93\x82\x94",                  // Ａｕｇｕｓｔ
    "\x82\x72\x82\x85\x82\x90\x82\x94\x82\x85\x82\x8d\x82\x82\x82\x85\x82\x92",  // Ｓｅｐｔｅｍｂｅｒ
    "\x82\x6e\x82\x83\x82\x94\x82\x8f\x82\x82\x82\x85\x82\x92",          // Ｏｃｔｏｂｅｒ
    "\x82\x6d\x82\x8f\x82\x96\x82\x85\x82\x8d\x82\x82\x82\x85\x82\x92",  // Ｎｏｖｅｍｂｅｒ
    "\x82\x63\x82\x85\x82\x83\x82\x85\x82\x8d\x82\x82\x82\x85\x82\x92",  // Ｄｅｃｅｍｂｅｒ
};
const char* const MONTH_TRADITIONAL[12] = {
    "\x96\x72\x8c\x8e",          // 睦月
    "\x94\x40\x8c\x8e",          // 如月
    "\x96\xed\x90\xb6",          // 弥生
    "\x89\x4b\x8c\x8e",          // 卯月
    "\x8e\x48\x8c\x8e",          // 皐月
    "\x90\x85\x96\xb3\x8c\x8e",  // 水無月
    "\x95\xb6\x8c\x8e",          // 文月
    "\x97\x74\x8c\x8e",          // 葉月
    "\x92\xb7\x8c\x8e",          // 長月
    "\x90\x5f\x96\xb3\x8c\x8e",  // 神無月
    "\x91\x9a\x8c\x8e",          // 霜月
    "\x8e\x74\x91\x96",          // 師走
};

const char* const HALFDAY_KANJI[2] = {"\x8c\xdf\x91\x4f", "\x8c\xdf\x8c\xe3"};  // 午前 午後
const char* const HALFDAY_DOTTED_LOWER[2] = {"a.m.", "p.m."};
const char* const HALFDAY_DOTTED_LOWER_WIDE[2] = {
    "\x82\x81\x81\x44\x82\x8d\x81\x44",  // ａ．ｍ．
    "\x82\x90\x81\x44\x82\x8d\x81\x44",  // ｐ．ｍ．
};
const char* const HALFDAY_DOTTED_UPPER[2] = {"A.M.", "P.M."};
const char* const HALFDAY_DOTTED_UPPER_WIDE[2] = {
    "\x82\x60\x81\x44\x82\x6c\x81\x44",  // Ａ．Ｍ．
    "\x82\x6f\x81\x44\x82\x6c\x81\x44",  // Ｐ．Ｍ．
};
const char* const HALFDAY_LOWER[2] = {"am", "pm"};
const char* const HALFDAY_LOWER_WIDE[2] = {"\x82\x81\x82\x8d", "\x82\x90\x82\x8d"};  // ａｍ ｐｍ
const char* const HALFDAY_UPPER[2] = {"AM", "PM"};
const char* const HALFDAY_UPPER_WIDE[2] = {"\x82\x60\x82\x6c", "\x82\x6f\x82\x6c"};  // ＡＭ ＰＭ

// The twelve two-hour periods, starting with the one around midnight.
const char* const HOUR_PERIODS[12] = {
    "\x8e\x71", "\x89\x4e", "\x93\xd0", "\x89\x4b", "\x92\x43", "\x96\xa4",  // 子 丑 寅 卯 辰 巳
    "\x8c\xdf", "\x96\xa2", "\x90\x5c", "\x93\xd1", "\x9c\xfa", "\x88\xe5",  // 午 未 申 酉 戌 亥
};

const int DAYS_BEFORE_MONTH[2][12] = {
    {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334},
    {0, 31, 60, 91, 121, 152, 182, 213, 244, 274, 305, 335},
};

// The output buffer as the formatter fills it. Once a character does not
// fit, the buffer is full for good and everything after it is dropped.
struct DateOut {
    char* buf;
    size_t capacity;
    size_t len;
    bool full;
};

bool IsLeadByte(unsigned char c)
{
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// A lead byte followed by NUL is a character of its own, so a walk never
// steps over the terminator.
size_t CharLen(const char* p)
{
    return (IsLeadByte(static_cast<unsigned char>(p[0])) && p[1] != 0) ? 2 : 1;
}

size_t CharCount(const char* s)
{
    size_t n = 0;
    while (*s) {
        s += CharLen(s);
        n++;
    }
    return n;
}

// Appends one character of size bytes, keeping the text NUL-terminated.
// The cut: the output ends before the first character that does not fit
// whole in capacity - 1 bytes, and nothing after it is appended even if a
// shorter one would still fit. The result is therefore always a prefix of
// the uncut text ending on a character boundary; a double-byte character is
// never split. Returns false once the buffer is full.
bool Out_PutChar(DateOut* out, const char* ch, size_t size)
{
    if (out->full)
        return false;
    if (out->capacity - out->len <= size) {
        out->full = true;
        return false;
    }
    memcpy(out->buf + out->len, ch, size);
    out->len += size;
    out->buf[out->len] = 0;
    return true;
}

bool Out_PutString(DateOut* out, const char* s)
{
    while (*s) {
        size_t n = CharLen(s);
        if (!Out_PutChar(out, s, n))
            return false;
        s += n;
    }
    return true;
}

// Pads stop as soon as the buffer is full, so a huge width costs no more
// than the buffer it fills.
bool Out_PutRepeated(DateOut* out, const char* ch, int64_t count)
{
    size_t size = strlen(ch);
    for (int64_t i = 0; i < count; i++) {
        if (!Out_PutChar(out, ch, size))
            return false;
    }
    return true;
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool IsAsciiLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// An optional "+" or "-" and decimal digits. Digits replace *value, a "-"
// negates whatever *value then holds. Digits beyond what 32 bits hold stick
// at INT32_MAX instead of wrapping, so "%{99999999999}Y" stays a large offset.
const char* ParseNumber(const char* p, int32_t* value)
{
    bool negative = false;
    if (*p == '+') {
        p++;
    } else if (*p == '-') {
        negative = true;
        p++;
    }
    if (IsDigit(*p)) {
        int64_t n = 0;
        for (; IsDigit(*p); p++) {
            n = n * 10 + (*p - '0');
            if (n > INT32_MAX)
                n = INT32_MAX;
        }
        *value = static_cast<int32_t>(n);
    }
    if (negative)
        *value = -*value;
    return p;
}

uint32_t FlagBit(char c)
{
    if (c == 0)
        return 0;
    const char* hit = strchr(DATE_FLAG_CHARS, c);
    if (!hit)
        return 0;
    return DATE_FLAG_TABLE[hit - DATE_FLAG_CHARS].bit;
}

// Reads flags, width, precision, offset and letter after a percent sign.
// Returns the position after the letter, or null when the conversion is
// malformed (conversion->conv stays 0).
const char* ParseConvSpec(const char* p, DateConvSpec* conversion)
{
    for (uint32_t bit; (bit = FlagBit(*p)) != 0; p++)
        conversion->flags |= bit;
    p = ParseNumber(p, &conversion->width);
    if (*p == '.')
        p = ParseNumber(p + 1, &conversion->precision);
    if (*p == '{') {
        p = ParseNumber(p + 1, &conversion->offset);
        if (*p != '}')
            return nullptr;
        p++;
    }
    if (!IsAsciiLetter(*p))
        return nullptr;
    conversion->conv = *p;
    return p + 1;
}

bool IsLeapYear(int year)
{
    return year % 400 == 0 || (year % 4 == 0 && year % 100 != 0);
}

int DayOfYear(const SYSTEMTIME* t)
{
    int month = t->wMonth;
    if (month < 1 || month > 12)
        return t->wDay;
    return DAYS_BEFORE_MONTH[IsLeapYear(t->wYear) ? 1 : 0][month - 1] + t->wDay;
}

void PutNumber(DateOut* out, const DateConvSpec* conversion)
{
    int64_t n = static_cast<int64_t>(conversion->value) + conversion->offset;
    if (n < 0)
        n = -n;

    const char* const* digitSet = DIGITS_ASCII;
    if (conversion->flags & DTF_KANJI)
        digitSet = DIGITS_KANJI;
    else if (conversion->flags & DTF_WIDECHAR)
        digitSet = DIGITS_WIDE;

    // Least significant first; |value + offset| stays below 10^10.
    int digits[12];
    int count = 0;
    do {
        digits[count++] = static_cast<int>(n % 10);
        n /= 10;
    } while (n != 0 && count < conversion->precision && count < 12);

    const char* space = (conversion->flags & (DTF_WIDECHAR | DTF_KANJI)) ? WIDE_SPACE : " ";
    int64_t pads = static_cast<int64_t>(conversion->width) - count;
    bool left = (conversion->flags & DTF_LEFT) != 0;
    if (!left) {
        const char* pad = (conversion->flags & DTF_ZEROPAD) ? digitSet[0] : space;
        if (!Out_PutRepeated(out, pad, pads))
            return;
    }
    for (int i = count - 1; i >= 0; i--) {
        if (!Out_PutString(out, digitSet[digits[i]]))
            return;
    }
    if (left)
        Out_PutRepeated(out, space, pads);
}

void PutName(DateOut* out, const DateConvSpec* conversion, const char* const* table, int tableSize)
{
    if (conversion->value < 0 || conversion->value >= tableSize)
        return;
    const char* name = table[conversion->value];
    const char* space = (conversion->flags & (DTF_WIDECHAR | DTF_KANJI)) ? WIDE_SPACE : " ";
    int64_t pads = static_cast<int64_t>(conversion->width) - static_cast<int64_t>(CharCount(name));
    if (conversion->flags & DTF_LEFT) {
        if (Out_PutString(out, name))
            Out_PutRepeated(out, space, pads);
    } else {
        if (Out_PutRepeated(out, space, pads))
            Out_PutString(out, name);
    }
}

template <int N>
void PutNameFrom(DateOut* out, const DateConvSpec* conversion, const char* const (&table)[N])
{
    PutName(out, conversion, table, N);
}

template <int N>
void PutNameFrom(DateOut* out, const DateConvSpec* conversion, const char* const (&narrow)[N],
                 const char* const (&wide)[N])
{
    PutName(out, conversion, (conversion->flags & DTF_WIDECHAR) ? wide : narrow, N);
}

void PutConversion(DateOut* out, DateConvSpec* conversion, const SYSTEMTIME* t)
{
    int hour = t->wHour;
    int halfDay = hour >= 12 ? 1 : 0;
    switch (conversion->conv) {
    // Numbers.
    case 'Y': conversion->value = t->wYear; break;
    case 'm': conversion->value = t->wMonth; break;
    case 'd': conversion->value = t->wDay; break;
    case 'H': conversion->value = hour; break;
    case 'I': conversion->value = hour % 12; break;
    case 'M': conversion->value = t->wMinute; break;
    case 'S': conversion->value = t->wSecond; break;
    case 'N': conversion->value = hour * 60 + t->wMinute; break;
    case 'n': conversion->value = (hour * 60 + t->wMinute) * 60 + t->wSecond; break;
    case 'j': conversion->value = DayOfYear(t); break;
    case 'w': conversion->value = t->wDayOfWeek; break;
    case 'W': conversion->value = (t->wDayOfWeek + 6) % 7; break;
    case 'U':
    case 'u': conversion->value = 0; break;
    // Names.
    case 'a': conversion->value = t->wDayOfWeek; PutNameFrom(out, conversion, WEEKDAY_ABBR, WEEKDAY_ABBR_WIDE); return;
    case 'A': conversion->value = t->wDayOfWeek; PutNameFrom(out, conversion, WEEKDAY_FULL, WEEKDAY_FULL_WIDE); return;
    case 'x': conversion->value = t->wDayOfWeek; PutNameFrom(out, conversion, WEEKDAY_KANJI); return;
    case 'b': conversion->value = t->wMonth - 1; PutNameFrom(out, conversion, MONTH_ABBR, MONTH_ABBR_WIDE); return;
    case 'B': conversion->value = t->wMonth - 1; PutNameFrom(out, conversion, MONTH_FULL, MONTH_FULL_WIDE); return;
    case 'T': conversion->value = t->wMonth - 1; PutNameFrom(out, conversion, MONTH_TRADITIONAL); return;
    case 'O': conversion->value = halfDay; PutNameFrom(out, conversion, HALFDAY_KANJI); return;
    case 'p':
        conversion->value = halfDay;
        PutNameFrom(out, conversion, HALFDAY_DOTTED_LOWER, HALFDAY_DOTTED_LOWER_WIDE);
        return;
    case 'P':
        conversion->value = halfDay;
        PutNameFrom(out, conversion, HALFDAY_DOTTED_UPPER, HALFDAY_DOTTED_UPPER_WIDE);
        return;
    case 'q': conversion->value = halfDay; PutNameFrom(out, conversion, HALFDAY_LOWER, HALFDAY_LOWER_WIDE); return;
    case 'Q': conversion->value = halfDay; PutNameFrom(out, conversion, HALFDAY_UPPER, HALFDAY_UPPER_WIDE); return;
    case 'k': conversion->value = ((hour + 1) % 24) / 2; PutNameFrom(out, conversion, HOUR_PERIODS); return;
    default:
        return;  // a letter of no conversion yields nothing
    }
    PutNumber(out, conversion);
}

// p is just past a percent sign. A malformed conversion yields nothing and
// reading resumes at p, so the percent sign alone disappears.
const char* DoConversion(DateOut* out, const char* p, const SYSTEMTIME* t)
{
    if (*p == '%') {
        Out_PutChar(out, "%", 1);
        return p + 1;
    }
    DateConvSpec conversion;
    memset(&conversion, 0, sizeof conversion);
    conversion.precision = DATE_DEFAULT_PRECISION;
    const char* next = ParseConvSpec(p, &conversion);
    if (!next)
        return p;
    PutConversion(out, &conversion, t);
    return next;
}

// p is just past a backslash.
const char* DoEscape(DateOut* out, const char* p)
{
    switch (*p) {
    case 0: return p;
    case 'f': Out_PutChar(out, "\x0c", 1); return p + 1;
    case 'n': Out_PutChar(out, "\n", 1); return p + 1;
    case 'r': Out_PutChar(out, "\r", 1); return p + 1;
    case 't': Out_PutChar(out, "\t", 1); return p + 1;
    default: break;
    }
    size_t n = CharLen(p);
    Out_PutChar(out, p, n);
    return p + n;
}

}  // namespace

// The format is walked once. Every step leaves a NUL-terminated text in out;
// when the buffer fills up the walk stops there (see Out_PutChar for where the
// text is cut), so a long format costs nothing past the end of the buffer.
void FormatDateTime(char* out, size_t capacity, const char* format, const SYSTEMTIME* time)
{
    if (capacity == 0 || !out)
        return;
    out[0] = 0;
    if (!format || !time)
        return;
    DateOut o = {out, capacity, 0, false};
    const char* p = format;
    while (*p && !o.full) {
        if (*p == '%') {
            p = DoConversion(&o, p + 1, time);
        } else if (*p == '\\') {
            p = DoEscape(&o, p + 1);
        } else {
            size_t n = CharLen(p);
            Out_PutChar(&o, p, n);
            p += n;
        }
    }
}
