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

bool AppPath_ChooseFileFolder(char* buf, size_t size, const char* moduleFolder, bool moduleFolderWritable,
                              const char* appDataRoot)
{
    if (size == 0)
        return false;
    buf[0] = 0;
    bool useModuleFolder = moduleFolderWritable || !appDataRoot || !appDataRoot[0];
    if (useModuleFolder) {
        if (strlen(moduleFolder) + 1 > size)
            return false;
        StrCopyN(buf, size, moduleFolder);
        return true;
    }
    // The joined path is one separator and the subfolder longer at most.
    if (strlen(appDataRoot) + 1 + strlen(APP_DATA_SUBFOLDER) + 1 > size)
        return false;
    PathJoin(buf, size, appDataRoot, APP_DATA_SUBFOLDER);
    return true;
}

// The file name is found with the same separator rule as everywhere (a 0x5C
// trail byte is no separator), on a working copy of the module path.
bool AppPath_BuildInFolder(char* buf, size_t size, const char* folder, const char* modulePath, const char* ext)
{
    if (size == 0)
        return false;
    buf[0] = 0;
    size_t moduleLen = strlen(modulePath);
    char* work = static_cast<char*>(MemDup(modulePath, moduleLen + 1));
    if (!work)
        return false;
    const char* name = work;
    for (size_t i = 0; work[i]; i++) {
        if (IsPathSeparator(work, i))
            name = work + i + 1;
    }
    size_t nameSize = strlen(name) + strlen(ext) + 1;
    char* fileName = static_cast<char*>(malloc(nameSize));
    bool ok = fileName && AppPath_Build(fileName, nameSize, name, ext) &&
              strlen(folder) + 1 + strlen(fileName) + 1 <= size;
    if (ok)
        PathJoin(buf, size, folder, fileName);
    free(fileName);
    free(work);
    return ok;
}
