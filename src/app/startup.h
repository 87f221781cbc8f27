// Process start: the single-instance creation of the hidden main window.
#pragma once

#include <windows.h>

HANDLE CreateMainWindow(HINSTANCE instance, WNDPROC proc, const char* mutexName, const char* className,
                        const char* title, void* param);
