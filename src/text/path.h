// Backslash paths in code page 932: separators, extensions, joining.
#pragma once

#include <stddef.h>

bool IsPathSeparator(const char* s, size_t pos);
char* CutExtension(char* path);
char* CutFileName(char* path);
bool PathJoin(char* dst, size_t size, const char* folder, const char* name);

// Win32 half (path_win.cpp).
bool PathExists(const char* path);
bool IsExistingFile(const char* path);
