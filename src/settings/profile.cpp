// Integer and boolean values of the INI file: decimal text written with "%d"
// and read back with a "%d" scan, over the platform's Profile_ReadText and
// Profile_WriteText.
#include "settings/profile.h"

#include <limits.h>
#include <stdio.h>

enum { PROFILE_VALUE_SIZE = 1023 };

static bool IsScanBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The "%d" scan: leading blanks, an optional sign, then decimal digits; the
// text after the digits is ignored. A number beyond the range of int (which
// sscanf would leave undefined) is held at INT_MIN or INT_MAX. Gives false
// when there are no digits.
static bool ScanDecimal(const char* text, int* value)
{
    const char* p = text;
    while (IsScanBlank(*p))
        p++;
    bool negative = false;
    if (*p == '+' || *p == '-') {
        negative = *p == '-';
        p++;
    }
    if (*p < '0' || *p > '9')
        return false;
    // Accumulated as a negative number so that INT_MIN needs no special case.
    long long n = 0;
    for (; *p >= '0' && *p <= '9'; p++) {
        n = n * 10 - (*p - '0');
        if (n < INT_MIN)
            n = static_cast<long long>(INT_MIN) - 1;
    }
    if (negative)
        *value = n < INT_MIN ? INT_MIN : static_cast<int>(n);
    else
        *value = n < -static_cast<long long>(INT_MAX) ? INT_MAX : static_cast<int>(-n);
    return true;
}

int ReadProfileInt(const char* path, const char* section, const char* key, int defaultValue)
{
    char text[PROFILE_VALUE_SIZE];
    Profile_ReadText(path, section, key, "", text, sizeof(text));
    int value;
    if (!ScanDecimal(text, &value))
        return defaultValue;
    return value;
}

bool ReadProfileBool(const char* path, const char* section, const char* key, bool defaultValue)
{
    return ReadProfileInt(path, section, key, defaultValue ? 1 : 0) != 0;
}

bool WriteProfileInt(const char* path, const char* section, const char* key, int value)
{
    char text[16];
    snprintf(text, sizeof(text), "%d", value);
    return Profile_WriteText(path, section, key, text);
}

bool WriteProfileBool(const char* path, const char* section, const char* key, bool value)
{
    return Profile_WriteText(path, section, key, value ? "1" : "0");
}

bool DeleteProfileKey(const char* path, const char* section, const char* key)
{
    return Profile_WriteText(path, section, key, nullptr);
}
