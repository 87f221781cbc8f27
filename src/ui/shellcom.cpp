// The single-threaded apartment that the shell's documentation asks for
// before SHBrowseForFolder, SHGetFileInfo and ShellExecute. Entered lazily:
// most runs of the resident program never open a chooser or the about box,
// and the COM library is not even loaded for them (ui/latelib.h).
#include "ui/shellcom.h"

#include <objbase.h>

#include "ui/latelib.h"

static LateLib g_com = {"ole32.dll", nullptr};

// Per thread, as COM apartments are: the program has one interface thread,
// the tests run dialogs on several.
static thread_local bool t_entered;

bool ShellCom_Ensure()
{
    if (t_entered)
        return true;
    // S_FALSE (already entered by someone else on this thread) must be
    // balanced by CoUninitialize too, so it counts as entered.
    auto initialize = LateLib_Get<decltype(&CoInitializeEx)>(&g_com, "CoInitializeEx");
    if (!initialize)
        return false;
    HRESULT result = initialize(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    if (FAILED(result))
        return false;
    t_entered = true;
    return true;
}

void ShellCom_Leave()
{
    if (!t_entered)
        return;
    t_entered = false;
    // Entered means the library was had and is kept.
    auto uninitialize = LateLib_Get<decltype(&CoUninitialize)>(&g_com, "CoUninitialize");
    if (uninitialize)
        uninitialize();
}
