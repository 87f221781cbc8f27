// The Win32 half of the clipboard change log: the local time of a change and
// the creation of the log's folders.
#include <windows.h>

#include "store/cliplog.h"
#include "text/path.h"

void ClipLog_GetLocalTime(SYSTEMTIME* time)
{
    GetLocalTime(time);
}

// One level only: the parent must exist already. Success is judged by the
// folder being there afterwards, so an existing folder or a folder created at
// the same moment by someone else both count.
bool ClipLog_MakeFolder(const char* path)
{
    if (!PathExists(path))
        CreateDirectoryA(path, nullptr);
    return PathExists(path);
}

FILE* ClipLog_CreateFile(const char* path)
{
    return fopen(path, "wb");
}

void ClipLog_RemoveFile(const char* path)
{
    DeleteFileA(path);
}
