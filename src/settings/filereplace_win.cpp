// The Win32 half of the crash-safe file rewrite: FlushFileBuffers on
// the stream's handle, a write-through MoveFileExA over the old file, and the
// file a symbolic link leads to.
#include <windows.h>

#include <io.h>
#include <stdlib.h>
#include <string.h>

#include "settings/filereplace.h"

bool FileReplace_FlushToDisk(FILE* file)
{
    HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    return FlushFileBuffers(handle) != 0;
}

// MOVEFILE_WRITE_THROUGH returns only when the new name is on the disk.
bool FileReplace_Replace(const char* tmpPath, const char* path)
{
    return MoveFileExA(tmpPath, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

// The path the system itself reaches when it opens path, links followed, as
// "\\?\C:\..." or "\\?\UNC\server\share\...". Resolved for every
// existing file, not only for those marked as links: Wine shows a Unix link
// as a plain file, and for a plain file the result names the file itself. A
// name that code page 932 cannot spell is left alone.
static const WCHAR LONG_PREFIX[] = L"\\\\?\\";
static const WCHAR LONG_UNC_PREFIX[] = L"\\\\?\\UNC\\";

static WCHAR* FinalPathOf(HANDLE file)
{
    DWORD need = GetFinalPathNameByHandleW(file, nullptr, 0, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (need == 0)
        return nullptr;
    WCHAR* wide = static_cast<WCHAR*>(malloc((need + 1) * sizeof(WCHAR)));
    if (!wide)
        return nullptr;
    DWORD got = GetFinalPathNameByHandleW(file, wide, need + 1, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (got == 0 || got > need) {
        free(wide);
        return nullptr;
    }
    return wide;
}

static char* AnsiPathOf(const WCHAR* wide)
{
    const WCHAR* rest = wide;
    bool unc = wcsncmp(wide, LONG_UNC_PREFIX, wcslen(LONG_UNC_PREFIX)) == 0;
    if (unc)
        rest = wide + wcslen(LONG_UNC_PREFIX);
    else if (wcsncmp(wide, LONG_PREFIX, wcslen(LONG_PREFIX)) == 0)
        rest = wide + wcslen(LONG_PREFIX);
    BOOL lossy = FALSE;
    int size = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, rest, -1, nullptr, 0, nullptr, &lossy);
    if (size <= 0 || lossy)
        return nullptr;
    char* path = static_cast<char*>(malloc(static_cast<size_t>(size) + 2));
    if (!path)
        return nullptr;
    char* out = path;
    if (unc) {
        *out++ = '\\';
        *out++ = '\\';
    }
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, rest, -1, out, size, nullptr, nullptr);
    return path;
}

char* FileReplace_ResolveLinkTarget(const char* path)
{
    HANDLE file = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return nullptr;
    WCHAR* wide = FinalPathOf(file);
    CloseHandle(file);
    if (!wide)
        return nullptr;
    char* target = AnsiPathOf(wide);
    free(wide);
    return target;
}
