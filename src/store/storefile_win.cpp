// The Win32 half of the crash-safe store-file rewrite: FlushFileBuffers on
// the stream's handle and a write-through MoveFileExA over the old file.
#include <windows.h>

#include <io.h>

#include "store/filereplace.h"

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
