// The main window's commands that need no dialog.
#include "app/commands.h"

#include <winsock.h>

#include <stdlib.h>

#include "app/mainwnd.h"
#include "app/notice.h"
#include "datefmt/datefmt.h"
#include "dialogs/aboutdlg.h"
#include "dialogs/hotkeydlg.h"
#include "dialogs/settingsdlg.h"
#include "editing/editpad.h"
#include "editing/registereddlg.h"
#include "settings/appinfo.h"
#include "shell/hotkeys.h"
#include "shell/tray.h"
#include "store/appdata.h"
#include "store/clipboard.h"
#include "store/storefile.h"
#include "text/text.h"

enum {
    DATE_TEXT_SIZE = 1024,
    HOST_NAME_SIZE = 102,
    IP_TEXT_SIZE = 1024,
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
    Clip_SetText(mainWindow, text);
}

// Windows Sockets 1.1: the host name, then the first address it resolves to.
bool GetHostIpAddress(char* out, size_t size)
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

void OnGetIpAddress(HWND mainWindow)
{
    char text[IP_TEXT_SIZE];
    if (GetHostIpAddress(text, sizeof text))
        Clip_SetText(mainWindow, text);
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
    Clip_Empty(mainWindow);
}

void OnSettings(HWND mainWindow)
{
    AppInfo* info = GetAppInfo(mainWindow);
    if (info && ShowSettingsDialog(mainWindow, info) && !SaveSettings(info))
        Notice_ShowOnce(mainWindow, NOTICE_SETTINGS_NOT_SAVED);
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
    UnregisterAllHotkeys(mainWindow);
    bool ok = ShowHotkeyDialog(mainWindow, &info->hotkeys);
    RegisterAllHotkeys(mainWindow, &info->hotkeys);
    if (ok && !SaveSettings(info))
        Notice_ShowOnce(mainWindow, NOTICE_SETTINGS_NOT_SAVED);
}

void OnAbout(HWND mainWindow)
{
    ShowProgramAboutBox(mainWindow);
}

// The pad starts with the clipboard text; an empty text is registered too.
void OnRegisterText(HWND mainWindow)
{
    char* text = OpenEditPad(mainWindow, nullptr);
    if (!text)
        return;
    AppData* data = GetAppData(mainWindow);
    if (data)
        AppData_Register(data, text);
    free(text);
}

void OnEditRegistered(HWND mainWindow)
{
    AppData* data = GetAppData(mainWindow);
    if (data && OpenRegisteredTextDialog(mainWindow, data))
        AppData_SaveRegistered(data);
}
