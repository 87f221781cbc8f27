// Real input for the Win32 tests: mouse moves, clicks and key presses sent
// through SendInput as the user would make them, and message pumping while
// the test waits for their effect.
#pragma once

#include <windows.h>

#include <string.h>

// Runs this thread's messages for ms milliseconds.
inline void Pump(DWORD ms)
{
    DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (GetTickCount() - start >= ms)
            return;
        Sleep(5);
    }
}

// Pumps messages until done() holds; false when timeout ms pass first.
template <typename Done>
bool PumpUntil(Done done, DWORD timeout = 3000)
{
    DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start >= timeout)
            return false;
        Pump(10);
    }
    return true;
}

inline void SendMouse(DWORD flags, LONG dx = 0, LONG dy = 0)
{
    INPUT input;
    memset(&input, 0, sizeof input);
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    input.mi.dx = dx;
    input.mi.dy = dy;
    SendInput(1, &input, sizeof(INPUT));
}

// Absolute mouse coordinates run from 0 to 65535 over the screen; rounding up
// lands exactly on the wanted pixel.
inline LONG ToAbsolute(LONG pixel, int screenSize)
{
    return static_cast<LONG>((static_cast<long long>(pixel) * 65536 + screenSize - 1) / screenSize);
}

inline bool CursorIsAt(POINT p)
{
    POINT now;
    return GetCursorPos(&now) && now.x == p.x && now.y == p.y;
}

// Puts the pointer at (x, y) at once; false when the system did not follow.
inline bool MoveCursorTo(LONG x, LONG y)
{
    SetCursorPos(x, y);
    return CursorIsAt(POINT{x, y});
}

inline bool MoveCursorTo(POINT p)
{
    return MoveCursorTo(p.x, p.y);
}

// A real move of the mouse to screen point p; it arrives with the input
// queue, not at once.
inline void SendMouseTo(POINT p)
{
    SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, ToAbsolute(p.x, GetSystemMetrics(SM_CXSCREEN)),
              ToAbsolute(p.y, GetSystemMetrics(SM_CYSCREEN)));
}

// A press and release of the key vk; true when both went into the input
// stream.
inline bool SendKeyPress(WORD vk)
{
    INPUT keys[2];
    memset(keys, 0, sizeof keys);
    keys[0].type = INPUT_KEYBOARD;
    keys[0].ki.wVk = vk;
    keys[1] = keys[0];
    keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
    return SendInput(2, keys, sizeof(INPUT)) == 2;
}

inline POINT CentreOf(HWND window)
{
    RECT r;
    GetWindowRect(window, &r);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}
