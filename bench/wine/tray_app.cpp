// The baseline of the footprint and start-up comparisons: the least a
// resident tray program does, a hidden window in the clipboard-viewer chain
// with an icon in the notification area, the common controls initialised.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

namespace {

const UINT TRAY_CALLBACK = WM_APP + 1;
HWND g_next;
NOTIFYICONDATAA g_icon;

LRESULT CALLBACK TrayAppProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_CREATE:
        g_next = SetClipboardViewer(hwnd);
        g_icon.cbSize = NOTIFYICONDATAA_V1_SIZE;
        g_icon.hWnd = hwnd;
        g_icon.uID = 1;
        g_icon.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
        g_icon.uCallbackMessage = TRAY_CALLBACK;
        g_icon.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
        Shell_NotifyIconA(NIM_ADD, &g_icon);
        return 0;
    case WM_DRAWCLIPBOARD:
        if (g_next)
            SendMessageA(g_next, msg, wParam, lParam);
        return 0;
    case WM_CHANGECBCHAIN:
        if (reinterpret_cast<HWND>(wParam) == g_next)
            g_next = reinterpret_cast<HWND>(lParam);
        else if (g_next)
            SendMessageA(g_next, msg, wParam, lParam);
        return 0;
    case WM_DESTROY:
        ChangeClipboardChain(hwnd, g_next);
        Shell_NotifyIconA(NIM_DELETE, &g_icon);
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    InitCommonControls();
    WNDCLASSA wc = {};
    wc.lpfnWndProc = TrayAppProc;
    wc.hInstance = instance;
    wc.lpszClassName = "TamarinTrayApp";
    RegisterClassA(&wc);
    CreateWindowExA(0, wc.lpszClassName, "TamarinTrayApp", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance,
                    nullptr);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0)
        DispatchMessageA(&msg);
    return 0;
}
