// Libraries that Tamarin loads at run time, taken from the system folder only.
#pragma once

#include <windows.h>

// name (a bare file name such as "iphlpapi.dll") from the system folder, or
// null when it is not there. The program's folder, the current folder and
// PATH are never searched, so a planted copy is never run.
HMODULE SystemLib_Load(const char* name);

// True on NT-based Windows, where the libraries of Windows 95, 98 and Me do
// not exist.
bool SystemLib_IsNtPlatform();
