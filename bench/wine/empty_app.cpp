// The baseline of the start-up measurement: the least a Win32 program does
// before its window exists, a class, a hidden window and a message loop.
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = instance;
    wc.lpszClassName = "TamarinEmptyApp";
    RegisterClassA(&wc);
    CreateWindowExA(0, wc.lpszClassName, "TamarinEmptyApp", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance,
                    nullptr);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0)
        DispatchMessageA(&msg);
    return 0;
}
