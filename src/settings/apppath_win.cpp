// The executable's own path from the system, and the files named after it.
#include <windows.h>

#include "settings/apppath.h"
#include "text/path.h"

bool AppPath_GetModulePath(char* buf, size_t size)
{
    if (size == 0)
        return false;
    DWORD capacity = size > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<DWORD>(size);
    DWORD len = GetModuleFileNameA(nullptr, buf, capacity);
    // A path that does not fit comes back cut to the buffer, its length then
    // equal to the buffer size (and, on older systems, without a NUL).
    if (len == 0 || len >= capacity) {
        buf[0] = 0;
        return false;
    }
    return true;
}

bool AppPath_GetModuleFolder(char* buf, size_t size)
{
    if (!AppPath_GetModulePath(buf, size))
        return false;
    CutFileName(buf);
    return true;
}

bool GetAppFilePath(char* buf, size_t size, const char* ext)
{
    char module[MAX_PATH];
    if (!AppPath_GetModulePath(module, sizeof(module)))
        return false;
    return AppPath_Build(buf, size, module, ext);
}
