// Libraries loaded on first use. Only the system folder is searched, so a
// file of the same name beside tamarin.exe (in a download folder, say) is
// never loaded in its place.
#include "ui/latelib.h"

#include "text/path.h"

static HMODULE LoadSystemLibrary(const char* name)
{
    char folder[MAX_PATH];
    UINT length = GetSystemDirectoryA(folder, sizeof(folder));
    if (length == 0 || length >= sizeof(folder))
        return nullptr;
    char path[MAX_PATH];
    if (!PathJoin(path, sizeof(path), folder, name))
        return nullptr;
    return LoadLibraryA(path);
}

void* LateLib_Find(LateLib* lib, const char* function)
{
    if (!lib->module)
        lib->module = LoadSystemLibrary(lib->name);
    if (!lib->module)
        return nullptr;
    return reinterpret_cast<void*>(GetProcAddress(lib->module, function));
}
