// The native build's stand-in for the Win32 profile reader: the value of a key
// as GetPrivateProfileStringA gives it, out of the same file layout (see
// initext.h). The file is read whole for every call.
#include "settings/profile.h"

#include <string.h>

#include "settings/initext.h"
#include "text/text.h"

// The default as the profile function gives it: trailing spaces removed.
static void CopyDefault(char* buf, size_t size, const char* defaultValue)
{
    StrCopyN(buf, size, defaultValue ? defaultValue : "");
    size_t len = strlen(buf);
    while (len > 0 && buf[len - 1] == ' ')
        buf[--len] = 0;
    if (len > 0 && MbcsByteKind(buf, len - 1) == MBCS_LEAD)
        buf[len - 1] = 0;
}

void Profile_ReadText(const char* path, const char* section, const char* key, const char* defaultValue,
                       char* buf, size_t size)
{
    if (size == 0)
        return;
    IniText text;
    bool found = IniText_Load(path, &text) == INI_FILE_OK && IniText_Get(&text, section, key, buf, size);
    IniText_Free(&text);
    if (!found)
        CopyDefault(buf, size, defaultValue);
}
