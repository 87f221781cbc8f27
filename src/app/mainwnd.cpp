// The hidden main window: set-up and teardown of everything the resident
// program owns, and the dispatch of its messages and commands.
#include "app/mainwnd.h"

#include "app/commands.h"
#include "app/notice.h"
#include "menu/menutip.h"
#include "menu/popupmenu.h"
#include "resources/resource.h"
#include "settings/appinfo.h"
#include "shell/hotkeys.h"
#include "shell/tray.h"
#include "shell/viewerchain.h"
#include "store/appdata.h"
#include "store/historysave.h"
#include "store/storefile.h"

// Called on the saving thread; the rest of the work is the main thread's.
static void PostHistorySaved(void* context)
{
    PostMessageA(static_cast<HWND>(context), WM_HISTORYSAVED, 0, 0);
}

// The history file is written in the background, so a clipboard change never
// waits on it; without a saver it is written at once, as before.
static AppData* LoadClipStore(HWND hwnd, const AppInfo* info)
{
    AppData* data = AppData_Load(info);
    if (!data)
        return nullptr;
    data->saver = HistorySaver_New(PostHistorySaved, hwnd);
    Notice_PostLoadProblems(hwnd, data->partialLists);
    return data;
}

static LRESULT OnHistorySaved(HWND hwnd)
{
    AppData* data = GetAppData(hwnd);
    if (data && data->saver)
        HistorySaver_Finished(data->saver);
    return 0;
}

static LRESULT OnCreate(HWND hwnd, const CREATESTRUCTA* create)
{
    AppInfo* info = static_cast<AppInfo*>(create->lpCreateParams);
    SetPropA(hwnd, PROP_APPINFO, info);
    SetPropA(hwnd, PROP_APPDATA, LoadClipStore(hwnd, info));
    MenuTip_Create(hwnd, info);
    SetPropA(hwnd, PROP_DIALOG, nullptr);
    CreateTrayIcon(hwnd, info);
    JoinViewerChain(hwnd, info);
    RegisterAllHotkeys(hwnd, &info->hotkeys);
    return 0;
}

static LRESULT OnDestroy(HWND hwnd)
{
    UnregisterAllHotkeys(hwnd);
    LeaveViewerChain(hwnd);
    DeleteTrayIcon(hwnd);
    AppInfo* info = static_cast<AppInfo*>(RemovePropA(hwnd, PROP_APPINFO));
    AppData* data = static_cast<AppData*>(RemovePropA(hwnd, PROP_APPDATA));
    RemovePropA(hwnd, PROP_DIALOG);
    MenuTip_Destroy(hwnd);
    if (data) {
        // A background save in progress ends first; the last save is this one.
        HistorySaver_Delete(data->saver);
        data->saver = nullptr;
        if (info)
            AppData_SaveHistory(data, info);
        AppData_SaveRegistered(data);
        AppData_Delete(data);
    }
    ShowCursor(TRUE);
    PostQuitMessage(0);
    return 0;
}

// At log-off or shutdown only the history is saved, at once and whole; the
// registered texts are written at each change and the settings at each
// dialog OK.
static LRESULT OnQueryEndSession(HWND hwnd)
{
    AppData* data = GetAppData(hwnd);
    const AppInfo* info = GetAppInfo(hwnd);
    if (data && info) {
        if (data->saver)
            HistorySaver_Wait(data->saver);
        AppData_SaveHistory(data, info);
    }
    return TRUE;
}

static LRESULT OnTrayCallback(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (wParam != TRAY_ICON_ID || (lParam != WM_LBUTTONUP && lParam != WM_RBUTTONUP))
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    AppInfo* info = GetAppInfo(hwnd);
    if (info) {
        POINT pt;
        GetCursorPos(&pt);
        info->menuPos.x = pt.x;
        info->menuPos.y = pt.y;
    }
    // Posted, so the popup opens after the tray's own mouse handling returns.
    PostMessageA(hwnd, lParam == WM_LBUTTONUP ? WM_SHOWTEXTMENU : WM_SHOWCOMMANDMENU, 0, 0);
    return 0;
}

static int Clamp(int value, int low, int high)
{
    return value < low ? low : value > high ? high : value;
}

static LRESULT OnShowPopup(HWND hwnd, UINT msg)
{
    AppInfo* info = GetAppInfo(hwnd);
    AppData* data = GetAppData(hwnd);
    if (!info || !data)
        return 0;
    info->menuPos.x = Clamp(info->menuPos.x, 0, GetSystemMetrics(SM_CXSCREEN) - 1);
    info->menuPos.y = Clamp(info->menuPos.y, 0, GetSystemMetrics(SM_CYSCREEN) - 1);
    POINT pt = {info->menuPos.x, info->menuPos.y};
    if (msg == WM_SHOWTEXTMENU)
        ShowTextMenu(hwnd, pt, data, info);
    else
        ShowCommandMenu(hwnd, pt, info);
    return 0;
}

static LRESULT OnCommand(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    int id = LOWORD(wParam);
    switch (id) {
    case IDM_QUIT: OnQuit(hwnd); return 0;
    case IDM_ABOUT: OnAbout(hwnd); return 0;
    case IDM_SETTINGS: OnSettings(hwnd); return 0;
    case IDM_HOTKEYS: OnHotkeySettings(hwnd); return 0;
    case IDM_REGISTER_TEXT: OnRegisterText(hwnd); return 0;
    case IDM_GET_IPADDRESS: OnGetIpAddress(hwnd); return 0;
    case IDM_GET_DATETIME: OnGetDateTime(hwnd); return 0;
    case IDM_CHAIN_LEAVE: OnChainLeave(hwnd); return 0;
    case IDM_CHAIN_JOIN: OnChainJoin(hwnd); return 0;
    case IDM_EDIT_REGISTERED: OnEditRegistered(hwnd); return 0;
    case IDM_CLEAR_HISTORY: OnClearHistory(hwnd); return 0;
    case IDM_USE_HISTORY: OnToggleHistory(hwnd); return 0;
    case IDM_CLEAR_CLIPBOARD: OnClearClipboard(hwnd); return 0;
    }
    if (SelectMenuText(hwnd, id))
        return 0;
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

static void OnMenuSelect(HWND hwnd, WPARAM wParam, LPARAM lParam)
{
    const AppInfo* info = GetAppInfo(hwnd);
    if (!info || !info->showMenuTips)
        return;
    POINT pt;
    GetCursorPos(&pt);
    bool highlighted = lParam != 0 && (HIWORD(wParam) & MF_HILITE);
    MenuTip_Show(hwnd, highlighted ? LOWORD(wParam) : -1, pt, info);
}

LRESULT CALLBACK MainWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_CREATE:
        return OnCreate(hwnd, reinterpret_cast<const CREATESTRUCTA*>(lParam));
    case WM_DESTROY:
        return OnDestroy(hwnd);
    case WM_QUERYENDSESSION:
        return OnQueryEndSession(hwnd);
    case WM_COMMAND:
        return OnCommand(hwnd, msg, wParam, lParam);
    case WM_TIMER:
        if (wParam == TIMER_CHAIN_REPAIR)
            return OnChainRepairTimer(hwnd);
        break;
    case WM_MENUSELECT:
        OnMenuSelect(hwnd, wParam, lParam);
        break;
    case WM_EXITMENULOOP:
        MenuTip_Pop(hwnd);
        break;
    case WM_DRAWCLIPBOARD:
        return OnDrawClipboard(hwnd, wParam, lParam);
    case WM_CHANGECBCHAIN:
        return OnChangeCbChain(hwnd, wParam, lParam);
    case WM_HOTKEY:
        return OnHotkey(hwnd, wParam);
    case WM_TRAYCALLBACK:
        return OnTrayCallback(hwnd, msg, wParam, lParam);
    case WM_SHOWTEXTMENU:
    case WM_SHOWCOMMANDMENU:
        return OnShowPopup(hwnd, msg);
    case WM_HISTORYSAVED:
        return OnHistorySaved(hwnd);
    case WM_SHOWNOTICE:
        Notice_ShowOnce(hwnd, static_cast<NoticeKind>(wParam));
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}
