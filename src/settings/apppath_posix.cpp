// The native build's executable path, from /proc/self/exe. Native paths use
// '/', so the naming rule of the files beside the executable is applied to
// the file name alone: a dot or an upper-case letter in a folder name is kept.
#include <limits.h>
#include <string.h>
#include <unistd.h>

#include "settings/apppath.h"

bool AppPath_GetModulePath(char* buf, size_t size)
{
    if (size == 0)
        return false;
    buf[0] = 0;
    ssize_t len = readlink("/proc/self/exe", buf, size - 1);
    // readlink does not terminate, and a result that fills the buffer may
    // have been cut.
    if (len <= 0 || static_cast<size_t>(len) >= size - 1) {
        buf[0] = 0;
        return false;
    }
    buf[len] = 0;
    return true;
}

bool AppPath_GetModuleFolder(char* buf, size_t size)
{
    if (!AppPath_GetModulePath(buf, size))
        return false;
    char* slash = strrchr(buf, '/');
    if (slash)
        slash[slash == buf ? 1 : 0] = 0;
    return true;
}

bool GetAppFilePath(char* buf, size_t size, const char* ext)
{
    char module[PATH_MAX];
    if (!AppPath_GetModulePath(module, sizeof(module)))
        return false;
    const char* slash = strrchr(module, '/');
    size_t folderLen = slash ? static_cast<size_t>(slash - module) + 1 : 0;
    if (folderLen >= size)
        return false;
    memcpy(buf, module, folderLen);
    if (!AppPath_Build(buf + folderLen, size - folderLen, module + folderLen, ext)) {
        buf[0] = 0;
        return false;
    }
    return true;
}

// The native build keeps its files beside the executable.
bool AppPath_GetFileFolder(char* buf, size_t size)
{
    return AppPath_GetModuleFolder(buf, size);
}
