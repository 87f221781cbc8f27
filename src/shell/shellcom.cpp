// The single-threaded apartment that the shell's documentation asks for
// before SHBrowseForFolder, SHGetFileInfo and ShellExecute. Entered lazily:
// most runs of the resident program never open a chooser or the about box,
// and COM is not loaded for them.
#include "shell/shellcom.h"

#include <objbase.h>

// Per thread, as COM apartments are: the program has one interface thread,
// the tests run dialogs on several.
static thread_local bool t_entered;

bool ShellCom_Ensure()
{
    if (t_entered)
        return true;
    // S_FALSE (already entered by someone else on this thread) must be
    // balanced by CoUninitialize too, so it counts as entered.
    HRESULT result = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
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
    CoUninitialize();
}
