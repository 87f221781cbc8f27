// Input as the user makes it, from the X side: xdotool, a Linux program,
// moves the pointer, clicks and types through the X server into whatever
// Wine window has the X focus. A click on a window gives it that focus.
#pragma once

#include <windows.h>

#include <string>

#include "harness.h"

// Runs xdotool with the arguments and waits until it has ended. Wine gives
// no handle to wait on for a Linux program, so a shell runs it and then
// leaves a marker file, which this side sees as Z:\tmp\<name>.
inline bool Xdotool(const std::string& args)
{
    static int serial;
    std::string name = "tamarin-xdotool-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++serial);
    std::string marker = "Z:\\tmp\\" + name;
    DeleteFileA(marker.c_str());
    std::string line = "/bin/sh -c \"/usr/bin/xdotool " + args + "; touch /tmp/" + name + "\"";
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return false;
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    bool ended = WaitFor([&] { return FileExists(marker); }, E2E_TIMEOUT_MS);
    DeleteFileA(marker.c_str());
    return ended;
}

// A click at the middle of the window (screen coordinates are the X
// display's), which gives it the X focus and the foreground.
inline bool ClickInto(HWND window)
{
    RECT r;
    if (!GetWindowRect(window, &r))
        return false;
    int x = (r.left + r.right) / 2, y = (r.top + r.bottom) / 2;
    return Xdotool("mousemove " + std::to_string(x) + " " + std::to_string(y) + " click 1");
}
