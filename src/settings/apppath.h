// Names of the files that live beside the executable (INI, history, registered texts).
#pragma once

#include <stddef.h>

// Full path of the running executable; false when it cannot be had.
bool GetModulePath(char* buf, size_t size);
// The executable's path with its extension replaced by ext and single-byte
// letters lower-cased. false when the module path cannot be had.
bool GetAppFilePath(char* buf, size_t size, const char* ext);
// The same rule applied to a given module path.
bool BuildAppFilePath(char* buf, size_t size, const char* modulePath, const char* ext);
