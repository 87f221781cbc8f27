// Process start: the one-shot path-copying mode and the single-instance
// creation of the hidden main window.
#pragma once

#include <windows.h>

enum { SHELL_PATH_SIZE = 261 };

bool CopyArgumentPaths(int argc, char** argv);
bool ResolveShellPath(const char* arg, char* out);
HANDLE CreateMainWindow(HINSTANCE instance, WNDPROC proc, const char* mutexName, const char* className,
                        const char* title, void* param);
