// The stand-in notification area of faketray.h.
#include "faketray.h"

#include "harness.h"

#include <set>
#include <utility>

static std::vector<TrayNotice> g_notices;
static int g_refuseAdds;
static std::set<std::pair<HWND, UINT>> g_icons;  // owner and id of the icons it shows

static LRESULT CALLBACK FakeTrayProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg != WM_COPYDATA)
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    const COPYDATASTRUCT* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    TrayNotice notice = {};
    notice.message = static_cast<DWORD>(data->dwData);
    notice.from = reinterpret_cast<HWND>(wParam);
    notice.record.assign(static_cast<const char*>(data->lpData), data->cbData);
    if (data->cbData >= 3 * sizeof(UINT))
        memcpy(&notice.flags, static_cast<const char*>(data->lpData) + 2 * sizeof(UINT), sizeof(UINT));
    g_notices.push_back(notice);
    // As a real notification area: an icon is known once an add succeeded,
    // and only a known icon can be changed.
    UINT id = 0;
    if (data->cbData >= 2 * sizeof(UINT))
        memcpy(&id, static_cast<const char*>(data->lpData) + sizeof(UINT), sizeof(UINT));
    std::pair<HWND, UINT> icon(notice.from, id);
    switch (notice.message) {
    case NIM_ADD:
        if (g_refuseAdds > 0) {
            g_refuseAdds--;
            return FALSE;
        }
        return g_icons.insert(icon).second;
    case NIM_MODIFY:
        return g_icons.count(icon) != 0;
    case NIM_DELETE:
        return g_icons.erase(icon) != 0;
    }
    return TRUE;
}

HWND FakeTray_Create(int refuseAdds)
{
    static bool registered;
    if (!registered) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = FakeTrayProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "Shell_TrayWnd";
        registered = RegisterClassA(&wc) != 0;
    }
    g_notices.clear();
    g_icons.clear();
    g_refuseAdds = refuseAdds;
    return CreateWindowExA(0, "Shell_TrayWnd", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

void FakeTray_Destroy(HWND tray)
{
    DestroyWindow(tray);
    g_notices.clear();
    g_icons.clear();
}

const std::vector<TrayNotice>& FakeTray_Notices()
{
    return g_notices;
}

const TrayNotice* FakeTray_LastBalloon(HWND window)
{
    const TrayNotice* balloon = nullptr;
    for (const TrayNotice& notice : g_notices) {
        if (notice.from == window && (notice.flags & NIF_INFO))
            balloon = &notice;
    }
    return balloon;
}

bool TrayRecordHolds(const TrayNotice& notice, const std::string& text)
{
    wchar_t wide[512];
    int n = MultiByteToWideChar(932, 0, text.c_str(), -1, wide, 512);
    if (n <= 1)
        return false;
    std::string bytes(reinterpret_cast<const char*>(wide), (n - 1) * sizeof(wchar_t));
    return notice.record.find(bytes) != std::string::npos;
}

void BroadcastTaskbarCreated()
{
    SendNotifyMessageA(HWND_BROADCAST, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
}

int QuitAnsweringTray(Tamarin* t)
{
    if (t->window)
        PostMessageA(t->window, WM_COMMAND, 40001, 0);
    if (!t->process.hProcess ||
        !WaitFor([t] { return WaitForSingleObject(t->process.hProcess, 0) == WAIT_OBJECT_0; }, 20000))
        return -1;
    return Tamarin_Wait(t, 0);
}
