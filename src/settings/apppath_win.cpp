// The executable's own path from the system, the folder of the program's
// files, and the files named after the executable.
#include <windows.h>

#include <shlobj.h>
#include <stdio.h>
#include <string.h>

#include "settings/apppath.h"
#include "text/path.h"
#include "text/text.h"

enum { PROBE_NAME_SIZE = 64 };

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

// A file created and deleted again is the only sure test: the read-only
// attribute of a folder means nothing to Windows, and access rights,
// read-only media and shares all show only when a file is made.
static bool IsFolderWritable(const char* folder)
{
    char name[PROBE_NAME_SIZE];
    snprintf(name, sizeof name, "~tamarin-%lu-%lu.tmp", GetCurrentProcessId(), GetTickCount());
    char probe[MAX_PATH];
    if (strlen(folder) + 1 + strlen(name) + 1 > sizeof probe)
        return false;
    PathJoin(probe, sizeof probe, folder, name);
    HANDLE file = CreateFileA(probe, GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(file);
    return true;
}

// The user's roaming application-data folder as the session names it in
// APPDATA, else as the shell knows it; empty when there is none.
static void GetAppDataRoot(char* buf, size_t size)
{
    buf[0] = 0;
    DWORD capacity = size > MAX_PATH ? MAX_PATH : static_cast<DWORD>(size);
    DWORD len = GetEnvironmentVariableA("APPDATA", buf, capacity);
    if (len > 0 && len < capacity && PathExists(buf))
        return;
    char shellPath[MAX_PATH];
    if (SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, shellPath)) &&
        strlen(shellPath) < size)
        StrCopyN(buf, size, shellPath);
    else
        buf[0] = 0;
}

// Decided once, so that every file of the run lands in the same folder.
// When the application-data folder cannot take the subfolder either, the
// executable's folder is kept and the failed saves are reported.
static bool DecideAppFileFolder(char* buf, size_t size)
{
    char moduleFolder[MAX_PATH];
    if (!AppPath_GetModuleFolder(moduleFolder, sizeof moduleFolder))
        return false;
    bool writable = IsFolderWritable(moduleFolder);
    char root[MAX_PATH];
    if (!writable)
        GetAppDataRoot(root, sizeof root);
    if (!AppPath_ChooseFileFolder(buf, size, moduleFolder, writable, writable ? nullptr : root))
        return false;
    if (strcmp(buf, moduleFolder) != 0) {
        CreateDirectoryA(buf, nullptr);
        if (!PathExists(buf))
            StrCopyN(buf, size, moduleFolder);
    }
    return true;
}

bool AppPath_GetFileFolder(char* buf, size_t size)
{
    static char s_folder[MAX_PATH];
    static bool s_decided;
    if (!s_decided)
        s_decided = DecideAppFileFolder(s_folder, sizeof s_folder);
    if (!s_decided || strlen(s_folder) + 1 > size)
        return false;
    StrCopyN(buf, size, s_folder);
    return true;
}

// Beside a writable executable the names keep their old rule, the whole path
// lower-cased; elsewhere only the file name is.
bool GetAppFilePath(char* buf, size_t size, const char* ext)
{
    char module[MAX_PATH];
    if (!AppPath_GetModulePath(module, sizeof(module)))
        return false;
    char folder[MAX_PATH];
    char moduleFolder[MAX_PATH];
    if (!AppPath_GetFileFolder(folder, sizeof folder) || !AppPath_GetModuleFolder(moduleFolder, sizeof moduleFolder) ||
        strcmp(folder, moduleFolder) == 0)
        return AppPath_Build(buf, size, module, ext);
    return AppPath_BuildInFolder(buf, size, folder, module, ext);
}
