// INI file access. Every value of the INI file goes through these helpers;
// profile_win.cpp uses the Win32 profile functions, profile_posix.cpp a small
// reader and writer of the same file layout for the native build.
#pragma once

#include <stddef.h>

// Copies the value (or the default) into buf, never more than size - 1 bytes
// and never the first byte of a double-byte character without its second.
// buf must not overlap the default.
void Profile_ReadText(const char* path, const char* section, const char* key, const char* defaultValue,
                       char* buf, size_t size);
// A null value deletes the key.
bool Profile_WriteText(const char* path, const char* section, const char* key, const char* value);

bool ReadProfileBool(const char* path, const char* section, const char* key, bool defaultValue);
int ReadProfileInt(const char* path, const char* section, const char* key, int defaultValue);
bool WriteProfileBool(const char* path, const char* section, const char* key, bool value);
bool WriteProfileInt(const char* path, const char* section, const char* key, int value);
bool DeleteProfileKey(const char* path, const char* section, const char* key);
