// The main window's commands that need no dialog.
#include "app/commands.h"

#include <winsock.h>

#include <stdlib.h>

#include "app/notice.h"
#include "datefmt/datefmt.h"
#include "dialogs/aboutdlg.h"
#include "dialogs/extsettingsdlg.h"
#include "dialogs/hotkeydlg.h"
#include "dialogs/settingsdlg.h"
#include "editing/editpad.h"
#include "editing/registereddlg.h"
#include "menu/popupmenu.h"
#include "menu/searchwnd.h"
#include "net/ipaddress.h"
#include "resources/resource.h"
#include "settings/appinfo.h"
#include "settings/apppath.h"
#include "settings/hotkeyreport.h"
#include "settings/settings.h"
#include "shell/autostart.h"
#include "shell/clipwrite.h"
#include "shell/hotkeys.h"
#include "shell/paste.h"
#include "shell/tray.h"
#include "shell/viewerchain.h"
#include "store/appdata.h"
#include "store/cliptext.h"
#include "store/storefile.h"
#include "text/text.h"
#include "ui/latelib.h"

enum {
    DATE_TEXT_SIZE = 1024,
    HOST_NAME_SIZE = 102,
    IP_TEXT_SIZE = 1024,
    ADAPTER_ADDRESSES_MAX = 64,
};

void OnQuit(HWND mainWindow)
{
    DestroyWindow(mainWindow);
}

void OnGetDateTime(HWND mainWindow, const AppInfo* info)
{
    if (!info)
        return;
    SYSTEMTIME now;
    GetLocalTime(&now);
    char text[DATE_TEXT_SIZE];
    FormatDateTime(text, DATE_TEXT_SIZE - 1, info->dateFormat, &now);
    ClipWrite_SetText(mainWindow, text);
}

// The socket library, loaded by the first IP command: with it come the
// name resolver and the network interface libraries, which nothing else needs.
static LateLib g_sockets = {"wsock32.dll", nullptr};

struct SocketCalls {
    decltype(&WSAStartup) startup;
    decltype(&WSACleanup) cleanup;
    decltype(&gethostname) getHostName;
    decltype(&gethostbyname) getHostByName;
    decltype(&inet_ntoa) addressText;
};

static bool LoadSocketCalls(SocketCalls* calls)
{
    calls->startup = LateLib_Get<decltype(&WSAStartup)>(&g_sockets, "WSAStartup");
    calls->cleanup = LateLib_Get<decltype(&WSACleanup)>(&g_sockets, "WSACleanup");
    calls->getHostName = LateLib_Get<decltype(&gethostname)>(&g_sockets, "gethostname");
    calls->getHostByName = LateLib_Get<decltype(&gethostbyname)>(&g_sockets, "gethostbyname");
    calls->addressText = LateLib_Get<decltype(&inet_ntoa)>(&g_sockets, "inet_ntoa");
    return calls->startup && calls->cleanup && calls->getHostName && calls->getHostByName && calls->addressText;
}

// Windows Sockets 1.1: the host name, then the first address it resolves to.
static bool GetHostNameAddress(char* out, size_t size)
{
    SocketCalls calls;
    if (!LoadSocketCalls(&calls))
        return false;
    WSADATA wsa;
    if (calls.startup(MAKEWORD(1, 1), &wsa) != 0)
        return false;
    bool ok = false;
    if (wsa.wVersion == MAKEWORD(1, 1)) {
        char host[HOST_NAME_SIZE];
        if (calls.getHostName(host, sizeof host) == 0) {
            const hostent* entry = calls.getHostByName(host);
            if (entry && entry->h_addrtype == AF_INET && entry->h_addr_list && entry->h_addr_list[0]) {
                in_addr address;
                memcpy(&address, entry->h_addr_list[0], sizeof address);
                const char* dotted = calls.addressText(address);
                if (dotted) {
                    StrCopyN(out, size, dotted);
                    ok = true;
                }
            }
        }
    }
    calls.cleanup();
    return ok;
}

// The address of the adapter that carries the default route (see
// IpAddress_Choose); the first address of the host name on a computer
// without a default route, or where the adapters cannot be asked. The host
// name's first address is often that of a virtual or VPN adapter.
bool Commands_GetHostIpAddress(char* out, size_t size)
{
    AdapterAddress addresses[ADAPTER_ADDRESSES_MAX];
    int count = IpAddress_Collect(addresses, ADAPTER_ADDRESSES_MAX);
    int chosen = IpAddress_Choose(addresses, count);
    char text[IP_ADDRESS_TEXT_SIZE];
    if (chosen >= 0 && IpAddress_Format(text, sizeof text, &addresses[chosen])) {
        StrCopyN(out, size, text);
        return true;
    }
    return GetHostNameAddress(out, size);
}

void OnGetIpAddress(HWND mainWindow)
{
    char text[IP_TEXT_SIZE];
    if (Commands_GetHostIpAddress(text, sizeof text))
        ClipWrite_SetText(mainWindow, text);
}

void OnClearHistory(AppData* data)
{
    if (data)
        AppData_Clear(data, LIST_HISTORY);
}

// The switch lasts until the program ends; it is not written to the INI file.
void OnToggleHistory(HWND mainWindow, AppInfo* info)
{
    if (!info)
        return;
    info->historyEnabled = !info->historyEnabled;
    UpdateTrayIcon(mainWindow, info);
}

void OnClearClipboard(HWND mainWindow)
{
    ClipWrite_Empty(mainWindow);
}

void OnSettings(HWND mainWindow, AppInfo* info)
{
    if (info && ShowSettingsDialog(mainWindow, info) && !SaveSettings(info))
        Notice_ShowOnce(mainWindow, NOTICE_SETTINGS_NOT_SAVED);
}

// No hotkey of the program is registered while the dialog runs, so the key
// combinations reach its hotkey controls. A second opening only brings the
// first to the front and must not register them again underneath it.
void OnHotkeySettings(HWND mainWindow, AppInfo* info)
{
    if (!info)
        return;
    if (HotkeyDlg_IsOpen()) {
        ShowHotkeyDialog(mainWindow, &info->hotkeys);
        return;
    }
    // The dialog names the combinations that could not be registered last
    // time; after an OK the new ones that cannot be are told in a balloon.
    unsigned failedBefore = Hotkeys_GetFailedSlots();
    UnregisterAllHotkeys(mainWindow);
    Commands_UnregisterExtHotkeys(mainWindow);
    bool ok = ShowHotkeyDialog(mainWindow, &info->hotkeys, failedBefore, &info->ext.searchHotkey);
    unsigned failed = RegisterAllHotkeys(mainWindow, &info->hotkeys);
    Commands_RegisterExtHotkeys(mainWindow, info);
    if (ok && !SaveSettings(info))
        Notice_ShowOnce(mainWindow, NOTICE_SETTINGS_NOT_SAVED);
    if (ok && failed)
        Commands_ShowHotkeyFailureBalloon(failed);
}

void Commands_ShowHotkeyFailureBalloon(unsigned failedSlots)
{
    char text[HOTKEY_REPORT_SIZE];
    HotkeyReport_FormatBalloon(text, sizeof text, failedSlots);
    if (text[0])
        Tray_ShowBalloon(HOTKEY_REPORT_TITLE, text);
}

void OnAbout(HWND mainWindow)
{
    AboutDlg_ShowProgram(mainWindow);
}

// The pad starts with the clipboard text; an empty text is registered too.
void OnRegisterText(HWND mainWindow, AppData* data)
{
    char* original = nullptr;
    char* text = EditPad_OpenWithOriginal(mainWindow, nullptr, nullptr, &original);
    if (!text)
        return;
    if (data)
        AppData_RegisterWithOriginal(data, text, original);
    free(text);
    free(original);
}

void OnEditRegistered(HWND mainWindow, AppData* data)
{
    if (data && OpenRegisteredTextDialog(mainWindow, data))
        AppData_SaveRegistered(data);
}

// The text is the one whose label was chosen (the popup's snapshot). The
// pick is a clipboard change that the viewer chain must report, so the chain
// is checked soon after it. The change comes back and moves a history entry
// to the head; the registration after it copies the text again.
bool OnPickText(HWND mainWindow, AppData* data, int id)
{
    const char* text = data ? PopupMenu_GetEntryText(mainWindow, data, id) : nullptr;
    if (!text)
        return false;
    // The text is a stored one (ClipText) and carries its original, if any.
    const char* original = ClipText_Original(text);
    ViewerChain_CheckSoon(mainWindow);
    ClipWrite_SetTextWithOriginal(mainWindow, text, original);
    if (IsHistoryId(id) && GetKeyState(VK_SHIFT) < 0)
        AppData_RegisterWithOriginal(data, text, original);
    return true;
}

void Commands_RegisterExtHotkeys(HWND mainWindow, const AppInfo* info)
{
    if (info)
        RegisterOneHotkey(mainWindow, IDM_SEARCH_TEXT, &info->ext.searchHotkey);
}

void Commands_UnregisterExtHotkeys(HWND mainWindow)
{
    UnregisterHotKey(mainWindow, IDM_SEARCH_TEXT);
}

// The window to paste into is the one that had the foreground when the
// search was asked for (before the command popup, when it came from there).
// The window hands its pick to this window as a popup pick, which takes the
// target; without a pick the target goes.
void OnSearchText(HWND mainWindow, AppData* data, AppInfo* info)
{
    if (!info || !data)
        return;
    if (SearchWnd_IsOpen()) {
        SearchWnd_Run(mainWindow, nullptr);
        return;
    }
    HWND target = Paste_TakeTarget(mainWindow);
    if (!target)
        target = Paste_ChooseTarget(GetForegroundWindow());
    Paste_KeepTarget(mainWindow, target);
    char ini[APP_FILE_PATH_SIZE];
    SearchWindowParams params = {data, info, {info->menuPos.x, info->menuPos.y},
                                 GetAppFilePath(ini, sizeof(ini), ".ini") ? ini : nullptr};
    SearchWnd_Run(mainWindow, &params);
    Paste_KeepTarget(mainWindow, nullptr);
}

void OnTextPicked(HWND mainWindow, const AppInfo* info)
{
    HWND target = Paste_TakeTarget(mainWindow);
    if (info && info->ext.pasteAfterPick && target)
        Paste_Start(mainWindow, target);
}

// The Run key is the setting of starting with Windows: the dialog shows its
// state and OK changes it only when the box was changed. No hotkey of the
// program is registered while the dialog runs, as for the hotkey dialog.
void OnExtSettings(HWND mainWindow, AppInfo* info)
{
    if (!info)
        return;
    if (ExtSettingsDlg_IsOpen()) {
        ExtSettingsDlg_Show(mainWindow, nullptr);
        return;
    }
    bool startsWithWindows = Autostart_IsOn();
    ExtSettingsRecord record = {info->ext.pasteAfterPick, startsWithWindows, info->ext.searchHotkey, &info->hotkeys};
    UnregisterAllHotkeys(mainWindow);
    Commands_UnregisterExtHotkeys(mainWindow);
    bool ok = ExtSettingsDlg_Show(mainWindow, &record);
    if (ok) {
        info->ext.pasteAfterPick = record.pasteAfterPick;
        info->ext.searchHotkey = record.searchHotkey;
        if (record.startWithWindows != startsWithWindows)
            Autostart_Set(record.startWithWindows);
    }
    RegisterAllHotkeys(mainWindow, &info->hotkeys);
    Commands_RegisterExtHotkeys(mainWindow, info);
    if (ok && !SaveSettings(info))
        Notice_ShowOnce(mainWindow, NOTICE_SETTINGS_NOT_SAVED);
}
