// System libraries beyond those the main window needs to exist (the sockets
// and the IP Helper of the IP command, the file choosers, the version block,
// the input method, COM for the shell calls, the registry of the Run key),
// loaded from the system folder when they are first called instead of at
// start-up, and kept until the process ends.
#pragma once

#include <windows.h>

struct LateLib {
    const char* name;  // file name in the system folder, "comdlg32.dll"
    HMODULE module;    // null until loaded
};

// The address of function in lib, loading lib at the first call. Null when
// the library or the function cannot be had; a later call tries again.
void* LateLib_Find(LateLib* lib, const char* function);

// The same, typed after the function's own declaration:
// LateLib_Get<decltype(&GetOpenFileNameA)>(&lib, "GetOpenFileNameA").
template <typename F>
F LateLib_Get(LateLib* lib, const char* function)
{
    return reinterpret_cast<F>(LateLib_Find(lib, function));
}
