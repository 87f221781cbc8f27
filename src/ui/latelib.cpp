// Libraries loaded on first use. Only the system folder is searched, so a
// file of the same name beside tamarin.exe (in a download folder, say) is
// never loaded in its place.
#include "ui/latelib.h"

#include "ui/systemlib.h"

void* LateLib_Find(LateLib* lib, const char* function)
{
    if (!lib->module)
        lib->module = SystemLib_Load(lib->name);
    if (!lib->module)
        return nullptr;
    return reinterpret_cast<void*>(GetProcAddress(lib->module, function));
}
