// Start-up: the hidden main window that exists once per desktop. The
// command-line mode is cmdline.cpp.
#include "app/startup.h"

#include <shellapi.h>
#include <shlobj.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static void RegisterMainClass(HINSTANCE instance, WNDPROC proc, const char* className)
{
    char exePath[MAX_PATH];
    GetModuleFileNameA(nullptr, exePath, sizeof exePath);
    SHFILEINFOA largeIcon = {}, smallIcon = {};
    SHGetFileInfoA(exePath, 0, &largeIcon, sizeof largeIcon, SHGFI_ICON | SHGFI_LARGEICON);
    SHGetFileInfoA(exePath, 0, &smallIcon, sizeof smallIcon, SHGFI_ICON | SHGFI_SMALLICON);

    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hIcon = largeIcon.hIcon;
    wc.hIconSm = smallIcon.hIcon;
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
