// INI text values read through the Win32 profile functions. Writing is
// portable (profile.cpp), so that every write reaches the file whole.
#include <windows.h>

#include <string.h>

#include "settings/profile.h"
#include "text/text.h"

void Profile_ReadText(const char* path, const char* section, const char* key, const char* defaultValue,
                       char* buf, size_t size)
{
    if (size == 0)
        return;
    DWORD capacity = size > 0xFFFF ? 0xFFFF : static_cast<DWORD>(size);
    // When the value does not fit, the ANSI conversion inside the profile
    // function can stop short of the buffer's end and leave the bytes after it
    // as they were; zeroes there keep the text terminated where it stopped.
    memset(buf, 0, capacity);
    GetPrivateProfileStringA(section, key, defaultValue ? defaultValue : "", buf, capacity, path);
    buf[capacity - 1] = 0;
    // A value cut at the buffer's end must not end on a lone lead byte.
    size_t len = strlen(buf);
    if (len > 0 && MbcsByteKind(buf, len - 1) == MBCS_LEAD)
        buf[len - 1] = 0;
}
