// Start-up: the hidden main window that exists once per desktop. The
// command-line mode is cmdline.cpp.
#include "app/startup.h"

#include <shellapi.h>
#include <shlobj.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "resources/resource.h"

static HICON LoadProgramIcon(HINSTANCE instance, int widthMetric, int heightMetric)
{
    return static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDI_PROGRAM), IMAGE_ICON,
                                         GetSystemMetrics(widthMetric), GetSystemMetrics(heightMetric), LR_SHARED));
}

// The class icons are the program's own icon resource, the one the shell
// shows for the file. Asking the shell for the file's icon instead would
// bring its COM and image-list machinery into the process at start-up, for a
// window that is never shown.
static void RegisterMainClass(HINSTANCE instance, WNDPROC proc, const char* className)
{
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hIcon = LoadProgramIcon(instance, SM_CXICON, SM_CYICON);
    wc.hIconSm = LoadProgramIcon(instance, SM_CXSMICON, SM_CYSMICON);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = className;
    RegisterClassExA(&wc);
}

// A second resident start ends silently: the window is the first sign of a
// running instance, the mutex catches one that is still starting.
HANDLE CreateMainWindow(HINSTANCE instance, WNDPROC proc, const char* mutexName, const char* className,
                        const char* title, void* param)
{
    if (FindWindowA(className, title))
        return nullptr;
    HANDLE mutex = CreateMutexA(nullptr, TRUE, mutexName);
    if (!mutex)
        return nullptr;
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(mutex);
        return nullptr;
    }
    RegisterMainClass(instance, proc, className);
    HWND hwnd = CreateWindowExA(0, className, title, WS_POPUP | WS_MINIMIZE, CW_USEDEFAULT, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, param);
    if (!hwnd) {
        CloseHandle(mutex);
        return nullptr;
    }
    return mutex;
}
