// Names of the files that live beside the executable (INI, history, registered texts).
#pragma once

#include <stddef.h>

// Full path of the running executable; false when it cannot be had.
bool AppPath_GetModulePath(char* buf, size_t size);
// The folder of the running executable, without the separator after it and
// not lower-cased; false when the module path cannot be had.
bool AppPath_GetModuleFolder(char* buf, size_t size);
// The executable's path with its extension replaced by ext and single-byte
// letters lower-cased. false when the module path cannot be had.
bool GetAppFilePath(char* buf, size_t size, const char* ext);
// The same rule applied to a given module path; false when the result does
// not fit in size bytes.
bool AppPath_Build(char* buf, size_t size, const char* modulePath, const char* ext);
