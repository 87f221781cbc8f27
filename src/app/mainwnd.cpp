// The hidden main window: set-up and teardown of everything the resident
// program owns, and the dispatch of its messages and commands.
#include "app/mainwnd.h"

#include <string.h>

#include "app/commands.h"
#include "app/notice.h"
#include "menu/menutip.h"
#include "menu/popupmenu.h"
#include "resources/resource.h"
#include "settings/appinfo.h"
#include "settings/hotkeyreport.h"
#include "settings/hotkeytable.h"
#include "shell/autostart.h"
#include "shell/clipwatch.h"
#include "shell/clipwrite.h"
#include "shell/hotkeys.h"
#include "shell/paste.h"
#include "shell/tray.h"
#include "shell/traynotice.h"
#include "shell/viewerchain.h"
#include "store/appdata.h"
#include "store/historysave.h"
#include "store/savereport.h"
#include "store/storefile.h"
#include "text/codepage.h"
#include "text/text.h"
#include "ui/dialogguard.h"
#include "ui/placement.h"

// The popup hotkeys send these messages (settings/hotkeytable.h).
static_assert(static_cast<int>(WM_SHOWTEXTMENU) == static_cast<int>(HOTKEY_ID_TEXT_MENU) &&
                  static_cast<int>(WM_SHOWCOMMANDMENU) == static_cast<int>(HOTKEY_ID_COMMAND_MENU),
              "popup hotkeys and popup messages share their numbers");

enum { STARTUP_NOTICE_SIZE = 256 };

// One balloon says everything that is wrong at start-up: hotkeys another
// program holds, and a system whose ANSI code page is not Tamarin's.
static void ShowStartupNotice(unsigned failedHotkeys, unsigned codePage)
{
    char hotkeys[STARTUP_NOTICE_SIZE];
    char codePageNotice[STARTUP_NOTICE_SIZE];
    HotkeyReport_FormatBalloon(hotkeys, sizeof hotkeys, failedHotkeys);
    codePageNotice[0] = 0;
    if (!CodePage_IsProgramOwn(codePage))
        CodePage_FormatNotice(codePageNotice, sizeof codePageNotice, codePage);
    if (!hotkeys[0] && !codePageNotice[0])
        return;
    if (!codePageNotice[0]) {
        Tray_ShowBalloon(HOTKEY_REPORT_TITLE, hotkeys);
        return;
    }
    if (!hotkeys[0]) {
        Tray_ShowBalloon(CODEPAGE_NOTICE_TITLE, codePageNotice);
        return;
    }
    char both[STARTUP_NOTICE_SIZE * 2 + 2];
    StrCopyN(both, sizeof both, hotkeys);
    size_t used = strlen(both);
    both[used++] = '\n';
    StrCopyN(both + used, sizeof both - used, codePageNotice);
    Tray_ShowBalloon("Tamarin", both);
}

// Called on the saving thread; the rest of the work is the main thread's.
static void PostHistorySaved(void* context)
{
    PostMessageA(static_cast<HWND>(context), WM_HISTORYSAVED, 0, 0);
}

static void ScheduleHistorySave(unsigned ms, void* context)
{
    SetTimer(static_cast<HWND>(context), TIMER_HISTORY_SAVE, ms, nullptr);
}

static LRESULT OnHistorySaveTimer(HWND hwnd)
{
    KillTimer(hwnd, TIMER_HISTORY_SAVE);
    AppData* data = MainWnd_GetAppData(hwnd);
    if (data && data->saver)
        HistorySaver_Tick(data->saver);
    return 0;
}

// The history file is written in the background, after a pause in the
// changes, so a clipboard change never waits on it; without a saver it is
// written at once, as before.
static AppData* LoadClipStore(HWND hwnd, const AppInfo* info)
{
    AppData* data = AppData_Load(info);
    if (!data)
        return nullptr;
    data->saver = HistorySaver_New(PostHistorySaved, hwnd);
    if (data->saver)
        HistorySaver_SetSchedule(data->saver, ScheduleHistorySave, HISTORY_SAVE_QUIET_MS, HISTORY_SAVE_MAX_WAITS);
    Notice_PostLoadProblems(hwnd, data->partialLists);
    return data;
}

static LRESULT OnHistorySaved(HWND hwnd)
{
    AppData* data = MainWnd_GetAppData(hwnd);
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
    SaveReport_SetObserver(TrayNotice_OnSaveFailure, hwnd);
    JoinViewerChain(hwnd, info);
    unsigned failedHotkeys = RegisterAllHotkeys(hwnd, &info->hotkeys);
    Commands_RegisterExtHotkeys(hwnd, info);
    Autostart_FollowMove();
    ShowStartupNotice(failedHotkeys, CodePage_System());
    return 0;
}

static LRESULT OnDestroy(HWND hwnd)
{
    UnregisterAllHotkeys(hwnd);
    Commands_UnregisterExtHotkeys(hwnd);
    Paste_Cancel(hwnd);
    Paste_KeepTarget(hwnd, nullptr);
    LeaveViewerChain(hwnd);
    ClipWatch_Stop(hwnd);
    ClipWrite_Cancel(hwnd);
    PopupMenu_ReleaseSnapshot(hwnd);
    DeleteTrayIcon(hwnd);
    SaveReport_SetObserver(nullptr, nullptr);
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

// Answered at once: another program may still cancel the log-off, and the
// saving waits for WM_ENDSESSION, which comes only when the session ends.
static LRESULT OnQueryEndSession()
{
    return TRUE;
}

// At log-off or shutdown only the history is saved, at once and whole (a
// background save in progress is waited for first), and the system may end
// the process as soon as this returns; the registered texts are written at
// each change and the settings at each dialog OK. A close by the Restart
// Manager (ENDSESSION_CLOSEAPP, an installer or update wants the program
// gone) ends it through the teardown, which saves every file.
static LRESULT OnEndSession(HWND hwnd, WPARAM ending, LPARAM flags)
{
    if (!ending)
        return 0;
    if (flags & ENDSESSION_CLOSEAPP) {
        DestroyWindow(hwnd);
        return 0;
    }
    AppData* data = MainWnd_GetAppData(hwnd);
    const AppInfo* info = MainWnd_GetAppInfo(hwnd);
    if (data && info) {
        if (data->saver)
            HistorySaver_Wait(data->saver);
        AppData_SaveHistory(data, info);
    }
    return 0;
}

static LRESULT OnTrayCallback(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (wParam != TRAY_ICON_ID || (lParam != WM_LBUTTONUP && lParam != WM_RBUTTONUP))
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    AppInfo* info = MainWnd_GetAppInfo(hwnd);
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

static LRESULT OnShowPopup(HWND hwnd, UINT msg)
{
    AppInfo* info = MainWnd_GetAppInfo(hwnd);
    AppData* data = MainWnd_GetAppData(hwnd);
    if (!info || !data)
        return 0;
    // Into the work area of the point's monitor (the nearest one for a point
    // saved before the screens changed), in place: the clamped point is what
    // is saved next.
    POINT pt = {info->menuPos.x, info->menuPos.y};
    RECT work;
    Placement_GetMonitorAreasAt(pt, &work, nullptr);
    ClampPointToRect(&pt, &work);
    info->menuPos.x = pt.x;
    info->menuPos.y = pt.y;
    // The popup takes the foreground; whoever had it gets it back. It is
    // also the window a pick pastes into: from the text popup, or from a
    // search window opened by the command popup. The pick arrives as a
    // posted WM_COMMAND, which takes the target before it is forgotten.
    HWND previous = GetForegroundWindow();
    Paste_KeepTarget(hwnd, Paste_ChooseTarget(previous));
    if (msg == WM_SHOWTEXTMENU)
        ShowTextMenu(hwnd, pt, data, info);
    else
        ShowCommandMenu(hwnd, pt, info);
    Placement_GiveForegroundBack(previous);
    Paste_ForgetTargetLater(hwnd);
    return 0;
}

static LRESULT OnCommand(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    AppInfo* info = MainWnd_GetAppInfo(hwnd);
    AppData* data = MainWnd_GetAppData(hwnd);
    int id = LOWORD(wParam);
    switch (id) {
    case IDM_QUIT: OnQuit(hwnd); return 0;
    case IDM_ABOUT: OnAbout(hwnd); return 0;
    case IDM_SETTINGS: OnSettings(hwnd, info); return 0;
    case IDM_HOTKEYS: OnHotkeySettings(hwnd, info); return 0;
    case IDM_REGISTER_TEXT: OnRegisterText(hwnd, data); return 0;
    case IDM_GET_IPADDRESS: OnGetIpAddress(hwnd); return 0;
    case IDM_GET_DATETIME: OnGetDateTime(hwnd, info); return 0;
    case IDM_CHAIN_LEAVE: OnChainLeave(hwnd); return 0;
    case IDM_CHAIN_JOIN: OnChainJoin(hwnd, info); return 0;
    case IDM_EDIT_REGISTERED: OnEditRegistered(hwnd, data); return 0;
    case IDM_CLEAR_HISTORY: OnClearHistory(data); return 0;
    case IDM_USE_HISTORY: OnToggleHistory(hwnd, info); return 0;
    case IDM_CLEAR_CLIPBOARD: OnClearClipboard(hwnd); return 0;
    case IDM_SEARCH_TEXT: OnSearchText(hwnd, data, info); return 0;
    case IDM_EXT_SETTINGS: OnExtSettings(hwnd, info); return 0;
    }
    if (OnPickText(hwnd, data, id)) {
        OnTextPicked(hwnd, info);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

static void OnMenuSelect(HWND hwnd, WPARAM wParam, LPARAM lParam)
{
    const AppInfo* info = MainWnd_GetAppInfo(hwnd);
    if (!info || !info->showMenuTips)
        return;
    POINT pt;
    GetCursorPos(&pt);
    bool highlighted = lParam != 0 && (HIWORD(wParam) & MF_HILITE);
    MenuTip_Show(hwnd, highlighted ? LOWORD(wParam) : -1, pt, MainWnd_GetAppData(hwnd), info);
}

LRESULT CALLBACK MainWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_CREATE:
        return OnCreate(hwnd, reinterpret_cast<const CREATESTRUCTA*>(lParam));
    case WM_DESTROY:
        return OnDestroy(hwnd);
    case WM_QUERYENDSESSION:
        return OnQueryEndSession();
    case WM_ENDSESSION:
        return OnEndSession(hwnd, wParam, lParam);
    case WM_COMMAND:
        return OnCommand(hwnd, msg, wParam, lParam);
    case WM_TIMER:
        if (wParam == TIMER_CHAIN_REPAIR)
            return OnChainRepairTimer(hwnd, MainWnd_GetAppInfo(hwnd));
        if (wParam == TIMER_HISTORY_SAVE)
            return OnHistorySaveTimer(hwnd);
        break;
    case WM_MENUSELECT:
        OnMenuSelect(hwnd, wParam, lParam);
        break;
    case WM_EXITMENULOOP:
        MenuTip_Pop(hwnd);
        break;
    case WM_DRAWCLIPBOARD:
        return OnDrawClipboard(hwnd, MainWnd_GetAppData(hwnd), MainWnd_GetAppInfo(hwnd), wParam, lParam);
    case WM_CHANGECBCHAIN:
        return OnChangeCbChain(hwnd, MainWnd_GetAppInfo(hwnd), wParam, lParam);
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
    case WM_TEXTMENUCLOSED:
        OnTextMenuClosed(hwnd, wParam);
        return 0;
    }
    // A registered message: not a constant, so not a case.
    if (msg == Tray_GetTaskbarCreatedMessage() && msg != 0)
        return OnTaskbarCreated(hwnd);
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}
