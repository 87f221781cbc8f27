// The naming rule of the files beside the executable: the module path with
// its extension replaced and its single-byte letters lower-cased.
#include "settings/apppath.h"

#include <stdlib.h>
#include <string.h>

#include "text/path.h"
#include "text/text.h"

// "C:\Tools\Tamarin.EXE" with ".ini" gives "c:\tools\tamarin.ini". The
// extension is cut on a working copy, so a module path that only fits once
// its extension is gone still gives a result.
bool AppPath_Build(char* buf, size_t size, const char* modulePath, const char* ext)
{
    if (size == 0)
        return false;
    size_t moduleLen = strlen(modulePath);
    char* work = static_cast<char*>(MemDup(modulePath, moduleLen + 1));
    if (!work)
        return false;
    CutExtension(work);
    size_t baseLen = strlen(work);
    size_t extLen = strlen(ext);
    if (baseLen + extLen + 1 > size) {
        free(work);
        return false;
    }
    memcpy(buf, work, baseLen);
    memcpy(buf + baseLen, ext, extLen + 1);
    free(work);
    StrLowerSingleByte(buf);
    return true;
}
