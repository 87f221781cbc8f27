// clip_holder: a second program that opens the clipboard on every change and
// holds it for a while, as the system's clipboard history, remote-desktop
// clipboards and other managers do. It joins the viewer chain ahead of the
// program under test and passes each notification on while it still holds
// the clipboard, so the next viewer always meets a clipboard held open.
//   clip_holder HOLD_MS      runs until it is sent WM_CLOSE
// Its window: class "TamarinTestClipHolder", title "clip holder".
#include <windows.h>

#include <stdlib.h>

namespace {

HWND g_next;
DWORD g_holdMs;

void HoldClipboard(HWND hwnd, WPARAM wParam, LPARAM lParam)
{
    bool opened = false;
    for (int i = 0; i < 200 && !opened; i++) {
        opened = OpenClipboard(hwnd) != FALSE;
        if (!opened)
            Sleep(5);
    }
    if (g_next)
        SendNotifyMessageA(g_next, WM_DRAWCLIPBOARD, wParam, lParam);
    if (!opened)
        return;
    Sleep(g_holdMs);
    CloseClipboard();
}

LRESULT CALLBACK HolderProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_CREATE:
        g_next = SetClipboardViewer(hwnd);
        return 0;
    case WM_DRAWCLIPBOARD:
        HoldClipboard(hwnd, wParam, lParam);
        return 0;
    case WM_CHANGECBCHAIN:
        if (reinterpret_cast<HWND>(wParam) == g_next)
            g_next = reinterpret_cast<HWND>(lParam);
        else if (g_next)
            SendMessageTimeoutA(g_next, msg, wParam, lParam, SMTO_ABORTIFHUNG, 1000, nullptr);
        return 0;
    case WM_CLOSE:
        ChangeClipboardChain(hwnd, g_next);
        DestroyWindow(hwnd);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace

int main(int argc, char** argv)
{
    g_holdMs = argc > 1 ? static_cast<DWORD>(atoi(argv[1])) : 150;
    WNDCLASSA wc = {};
    wc.lpfnWndProc = HolderProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "TamarinTestClipHolder";
    if (!RegisterClassA(&wc))
        return 1;
    if (!CreateWindowExA(0, wc.lpszClassName, "clip holder", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, wc.hInstance,
                         nullptr))
        return 1;
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0)
        DispatchMessageA(&msg);
    return 0;
}
