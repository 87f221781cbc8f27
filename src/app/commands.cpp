// The main window's commands that need no dialog.
#include "app/commands.h"

#include <winsock.h>

#include <stdlib.h>

#include "app/mainwnd.h"
#include "datefmt/datefmt.h"
#include "dialogs/aboutdlg.h"
#include "dialogs/extsettingsdlg.h"
#include "dialogs/hotkeydlg.h"
#include "dialogs/settingsdlg.h"
#include "editing/editpad.h"
#include "editing/registereddlg.h"
#include "menu/searchwnd.h"
#include "net/ipaddress.h"
#include "resources/resource.h"
#include "settings/appinfo.h"
#include "settings/apppath.h"
#include "settings/hotkeyreport.h"
#include "shell/autostart.h"
#include "shell/clipwrite.h"
#include "shell/hotkeys.h"
#include "shell/paste.h"
#include "shell/tray.h"
#include "store/appdata.h"
#include "store/storefile.h"
#include "text/text.h"

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

void OnGetDateTime(HWND mainWindow)
{
    const AppInfo* info = GetAppInfo(mainWindow);
    if (!info)
        return;
    SYSTEMTIME now;
    GetLocalTime(&now);
    char text[DATE_TEXT_SIZE];
    FormatDateTime(text, DATE_TEXT_SIZE - 1, info->dateFormat, &now);
    ClipWrite_SetText(mainWindow, text);
}

// Windows Sockets 1.1: the host name, then the first address it resolves to.
static bool GetHostNameAddress(char* out, size_t size)
{
    WSADATA wsa;
    if (WSAStartup(MAKEWORD(1, 1), &wsa) != 0)
        return false;
    bool ok = false;
    if (wsa.wVersion == MAKEWORD(1, 1)) {
        char host[HOST_NAME_SIZE];
        if (gethostname(host, sizeof host) == 0) {
            const hostent* entry = gethostbyname(host);
            if (entry && entry->h_addrtype == AF_INET && entry->h_addr_list && entry->h_addr_list[0]) {
                in_addr address;
                memcpy(&address, entry->h_addr_list[0], sizeof address);
                const char* dotted = inet_ntoa(address);
                if (dotted) {
                    StrCopyN(out, size, dotted);
                    ok = true;
                }
            }
        }
    }
    WSACleanup();
    return ok;
}

// The address of the adapter that carries the default route (see
// ChooseAdapterAddress); the first address of the host name on a computer
// without a default route, or where the adapters cannot be asked. The host
// name's first address is often that of a virtual or VPN adapter.
bool GetHostIpAddress(char* out, size_t size)
{
    AdapterAddress addresses[ADAPTER_ADDRESSES_MAX];
    int count = CollectAdapterAddresses(addresses, ADAPTER_ADDRESSES_MAX);
    int chosen = ChooseAdapterAddress(addresses, count);
    char text[IP_ADDRESS_TEXT_SIZE];
    if (chosen >= 0 && FormatIpAddress(text, sizeof text, &addresses[chosen])) {
        StrCopyN(out, size, text);
        return true;
    }
    return GetHostNameAddress(out, size);
}

void OnGetIpAddress(HWND mainWindow)
{
    char text[IP_TEXT_SIZE];
    if (GetHostIpAddress(text, sizeof text))
        ClipWrite_SetText(mainWindow, text);
}

void OnClearHistory(HWND mainWindow)
{
    AppData* data = GetAppData(mainWindow);
    if (data)
        AppData_Clear(data, LIST_HISTORY);
}

// The switch lasts until the program ends; it is not written to the INI file.
void OnToggleHistory(HWND mainWindow)
{
    AppInfo* info = GetAppInfo(mainWindow);
    if (!info)
        return;
    info->historyEnabled = !info->historyEnabled;
    UpdateTrayIcon(mainWindow, info);
}

void OnClearClipboard(HWND mainWindow)
{
    ClipWrite_Empty(mainWindow);
}

void OnSettings(HWND mainWindow)
{
    AppInfo* info = GetAppInfo(mainWindow);
    if (info && ShowSettingsDialog(mainWindow, info))
        SaveSettings(info);
}

// No hotkey of the program is registered while the dialog runs, so the key
// combinations reach its hotkey controls. A second opening only brings the
// first to the front and must not register them again underneath it.
void OnHotkeySettings(HWND mainWindow)
{
    AppInfo* info = GetAppInfo(mainWindow);
    if (!info)
        return;
    if (IsHotkeyDialogOpen()) {
        ShowHotkeyDialog(mainWindow, &info->hotkeys);
        return;
    }
    // The dialog names the combinations that could not be registered last
    // time; after an OK the new ones that cannot be are told in a balloon.
    unsigned failedBefore = GetFailedHotkeySlots();
    UnregisterAllHotkeys(mainWindow);
    UnregisterExtHotkeys(mainWindow);
    bool ok = ShowHotkeyDialog(mainWindow, &info->hotkeys, failedBefore);
    unsigned failed = RegisterAllHotkeys(mainWindow, &info->hotkeys);
    RegisterExtHotkeys(mainWindow);
    if (ok)
        SaveSettings(info);
    if (ok && failed)
        ShowHotkeyFailureBalloon(failed);
}

void ShowHotkeyFailureBalloon(unsigned failedSlots)
{
    char text[HOTKEY_REPORT_SIZE];
    HotkeyReport_FormatBalloon(text, sizeof text, failedSlots);
    if (text[0])
        ShowTrayBalloon(HOTKEY_REPORT_TITLE, text);
}

void OnAbout(HWND mainWindow)
{
    ShowProgramAboutBox(mainWindow);
}

// The pad starts with the clipboard text; an empty text is registered too.
void OnRegisterText(HWND mainWindow)
{
    char* original = nullptr;
    char* text = OpenEditPadWithOriginal(mainWindow, nullptr, nullptr, &original);
    if (!text)
        return;
    AppData* data = GetAppData(mainWindow);
    if (data)
        AppData_RegisterWithOriginal(data, text, original);
    free(text);
    free(original);
}

void OnEditRegistered(HWND mainWindow)
{
    AppData* data = GetAppData(mainWindow);
    if (data && OpenRegisteredTextDialog(mainWindow, data))
        AppData_SaveRegistered(data);
}

void RegisterExtHotkeys(HWND mainWindow)
{
    const AppInfo* info = GetAppInfo(mainWindow);
    if (info)
        RegisterOneHotkey(mainWindow, IDM_SEARCH_TEXT, &info->ext.searchHotkey);
}

void UnregisterExtHotkeys(HWND mainWindow)
{
    UnregisterHotKey(mainWindow, IDM_SEARCH_TEXT);
}

// The window to paste into is the one that had the foreground when the
// search was asked for (before the command popup, when it came from there).
// The window hands its pick to this window as a popup pick, which takes the
// target; without a pick the target goes.
void OnSearchText(HWND mainWindow)
{
    AppInfo* info = GetAppInfo(mainWindow);
    AppData* data = GetAppData(mainWindow);
    if (!info || !data)
        return;
    if (IsSearchWindowOpen()) {
        RunSearchWindow(mainWindow, nullptr);
        return;
    }
    HWND target = Paste_TakeTarget(mainWindow);
    if (!target)
        target = Paste_ChooseTarget(GetForegroundWindow());
    Paste_KeepTarget(mainWindow, target);
    char ini[APP_FILE_PATH_SIZE];
    SearchWindowParams params = {data, info, {info->menuPos.x, info->menuPos.y},
                                 GetAppFilePath(ini, sizeof(ini), ".ini") ? ini : nullptr};
    RunSearchWindow(mainWindow, &params);
    Paste_KeepTarget(mainWindow, nullptr);
}

void OnTextPicked(HWND mainWindow)
{
    HWND target = Paste_TakeTarget(mainWindow);
    const AppInfo* info = GetAppInfo(mainWindow);
    if (info && info->ext.pasteAfterPick && target)
        Paste_Start(mainWindow, target);
}

// The Run key is the setting of starting with Windows: the dialog shows its
// state and OK changes it only when the box was changed. No hotkey of the
// program is registered while the dialog runs, as for the hotkey dialog.
void OnExtSettings(HWND mainWindow)
{
    AppInfo* info = GetAppInfo(mainWindow);
    if (!info)
        return;
    if (IsExtSettingsDialogOpen()) {
        ShowExtSettingsDialog(mainWindow, nullptr);
        return;
    }
    bool startsWithWindows = Autostart_IsOn();
    ExtSettingsRecord record = {info->ext.pasteAfterPick, startsWithWindows, info->ext.searchHotkey, &info->hotkeys};
    UnregisterAllHotkeys(mainWindow);
    UnregisterExtHotkeys(mainWindow);
    bool ok = ShowExtSettingsDialog(mainWindow, &record);
    if (ok) {
        info->ext.pasteAfterPick = record.pasteAfterPick;
        info->ext.searchHotkey = record.searchHotkey;
        if (record.startWithWindows != startsWithWindows)
            Autostart_Set(record.startWithWindows);
    }
    RegisterAllHotkeys(mainWindow, &info->hotkeys);
    RegisterExtHotkeys(mainWindow);
    if (ok)
        SaveSettings(info);
}
