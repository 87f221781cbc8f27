// Real input for the Win32 tests: mouse moves, clicks and key presses sent
// through SendInput as the user would make them, and message pumping while
// the test waits for their effect.
#pragma once

#include <windows.h>

#include <string.h>

// Handles every message waiting for this thread.
inline void PumpWaiting()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// Pumps messages until done() holds; false when timeout ms pass first. The
// timeout only ends a failing test: the wait itself lasts until the state is
// there.
template <typename Done>
bool PumpUntil(Done done, DWORD timeout = 30000)
{
    DWORD start = GetTickCount();
    for (;;) {
        PumpWaiting();
        if (done())
            return true;
        if (GetTickCount() - start >= timeout)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

inline unsigned& SettleMarkersReceived()
{
    static unsigned received;
    return received;
}

inline LRESULT CALLBACK CountSettleMarker(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_APP)
        ++SettleMarkersReceived();
    return DefWindowProcA(window, message, wParam, lParam);
}

// Posts a marker to a message-only window of this thread; once it has been
// handled (SettleMarkerSeen), so has everything posted to the thread before.
inline unsigned PostSettleMarker()
{
    static HWND marker;
    if (!marker) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = CountSettleMarker;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "TamarinSettleMarker";
        RegisterClassA(&wc);
        marker = CreateWindowExA(0, wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    }
    PostMessageA(marker, WM_APP, 0, 0);
    return SettleMarkersReceived() + 1;
}

inline bool SettleMarkerSeen(unsigned ticket)
{
    return SettleMarkersReceived() >= ticket;
}

// Pumps until everything sent, posted or input to this thread before the call
// has been handled and nothing waits to be painted: a marker posted now has
// come back and the queue holds no input, posted, sent or paint message.
inline bool PumpSettled()
{
    unsigned ticket = PostSettleMarker();
    const UINT busy = QS_INPUT | QS_POSTMESSAGE | QS_SENDMESSAGE | QS_PAINT;
    return PumpUntil([&] { return SettleMarkerSeen(ticket) && HIWORD(GetQueueStatus(busy)) == 0; });
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
