// Loading optional system libraries by full path. LoadLibrary with a bare
// name searches the program's folder and the current folder before the
// system folder; a full path makes it take that one file.
#include "ui/systemlib.h"

#include <stdio.h>

HMODULE SystemLib_Load(const char* name)
{
    char folder[MAX_PATH];
    UINT length = GetSystemDirectoryA(folder, sizeof folder);
    if (length == 0 || length >= sizeof folder)
        return nullptr;
    // A cut path would name another file: refuse instead.
    char path[MAX_PATH];
    int n = snprintf(path, sizeof path, "%s\\%s", folder, name);
    if (n < 0 || static_cast<size_t>(n) >= sizeof path)
        return nullptr;
    return LoadLibraryA(path);
}

// The high bit of GetVersion is set on Windows 95, 98 and Me only; it is the
// one part of the answer that compatibility settings leave alone.
bool SystemLib_IsNtPlatform()
{
    return (GetVersion() & 0x80000000u) == 0;
}
