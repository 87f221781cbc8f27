// System libraries that only some commands need (the sockets of the IP
// command, the file choosers, the version block, the input method), loaded
// from the system folder when the first of those commands runs instead of
// at start-up, and kept until the process ends.
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
