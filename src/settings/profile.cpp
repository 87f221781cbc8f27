// Integer and boolean values of the INI file (decimal text written with "%d"
// and read back with a "%d" scan, over the platform's Profile_ReadText), and
// the writing of every value: the file's text is edited in memory and the
// new file replaces the old one in one step, never rewritten in place.
#include "settings/profile.h"

#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "settings/initext.h"

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

// The batch of writes in progress: one file's text, edited in memory until
// Profile_EndBatch writes it. One thread writes settings, so one batch.
struct ProfileBatch {
    bool open;
    bool ok;  // every write so far went into the text
    bool changed;
    char* path;
    IniText text;
};

static ProfileBatch g_batch;

bool Profile_BeginBatch(const char* path)
{
    if (g_batch.open)
        Profile_EndBatch();
    IniText text;
    if (IniText_Load(path, &text) == INI_FILE_BAD)
        return false;
    size_t size = strlen(path) + 1;
    g_batch.path = static_cast<char*>(malloc(size));
    if (!g_batch.path) {
        IniText_Free(&text);
        return false;
    }
    memcpy(g_batch.path, path, size);
    g_batch.text = text;
    g_batch.open = true;
    g_batch.ok = true;
    g_batch.changed = false;
    return true;
}

// A batch in which a write failed (out of memory) writes nothing: the file
// stays as it was rather than taking half of the batch.
bool Profile_EndBatch()
{
    if (!g_batch.open)
        return false;
    bool ok = g_batch.ok && (!g_batch.changed || IniText_Save(&g_batch.text, g_batch.path));
    IniText_Free(&g_batch.text);
    free(g_batch.path);
    g_batch.path = nullptr;
    g_batch.open = false;
    return ok;
}

static bool WriteIntoBatch(const char* section, const char* key, const char* value)
{
    bool changed = false;
    if (!IniText_Set(&g_batch.text, section, key, value, &changed))
        g_batch.ok = false;
    g_batch.changed = g_batch.changed || changed;
    return g_batch.ok;
}

// A write that changes nothing (a key deleted that is not there) leaves the
// file alone; a missing file is created only when a value is written.
bool Profile_WriteText(const char* path, const char* section, const char* key, const char* value)
{
    if (g_batch.open && strcmp(path, g_batch.path) == 0)
        return WriteIntoBatch(section, key, value);
    IniText text;
    if (IniText_Load(path, &text) == INI_FILE_BAD)
        return false;
    bool changed = false;
    bool ok = IniText_Set(&text, section, key, value, &changed);
    if (ok && changed)
        ok = IniText_Save(&text, path);
    IniText_Free(&text);
    return ok;
}
