// The tray icon. One icon per process; its NOTIFYICONDATAA record, the icon
// table and a waiting balloon live here for the whole run.
#include "shell/tray.h"

#include <shellapi.h>
#include <string.h>
#include <wchar.h>

#include "resources/resource.h"
#include "settings/appinfo.h"
#include "text/codepage.h"
#include "text/itemlabel.h"
#include "text/text.h"

enum {
    ANIMATION_SLOTS = 4,
    BALLOON_TITLE_CHARS = 64,  // szInfoTitle, NUL included
    BALLOON_TEXT_CHARS = 256,  // szInfo, NUL included
};

static NOTIFYICONDATAA g_tray;
static bool g_added;  // the icon is in the notification area
static HICON g_slots[ANIMATION_SLOTS];  // 0: current base icon, 1-3: frames
static HICON g_iconOn;
static HICON g_iconOff;
static int g_frame;
static char g_pendingTip[TRAY_TIP_LIMIT];

// A balloon waiting for the icon to be added.
static WCHAR g_balloonTitle[BALLOON_TITLE_CHARS];
static WCHAR g_balloonText[BALLOON_TEXT_CHARS];
static bool g_balloonWaiting;

// The size the notification area asks for: the system's small icon size,
// which grows with the display scaling.
static HICON LoadTrayIcon(HINSTANCE instance, int id)
{
    return static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(id), IMAGE_ICON,
                                         GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
}

static bool ShowWaitingBalloon()
{
    if (!g_balloonWaiting || !g_added)
        return false;
    NOTIFYICONDATAW balloon;
    memset(&balloon, 0, sizeof balloon);
    balloon.cbSize = NOTIFYICONDATAW_V2_SIZE;
    balloon.hWnd = g_tray.hWnd;
    balloon.uID = g_tray.uID;
    balloon.uFlags = NIF_INFO;
    balloon.dwInfoFlags = NIIF_WARNING;
    wcsncpy(balloon.szInfoTitle, g_balloonTitle, BALLOON_TITLE_CHARS - 1);
    wcsncpy(balloon.szInfo, g_balloonText, BALLOON_TEXT_CHARS - 1);
    if (!Shell_NotifyIconW(NIM_MODIFY, &balloon))
        return false;
    g_balloonWaiting = false;
    return true;
}

static void CALLBACK OnRetryTimer(HWND hwnd, UINT, UINT_PTR, DWORD);

// A taskbar that answers too slowly makes NIM_ADD report failure although
// the icon arrived; a NIM_MODIFY that succeeds then shows it is there. Until
// one of them succeeds the add is tried again from a timer, so an icon whose
// first add failed (the taskbar not yet up at logon) still appears.
static void AddIcon(HWND mainWindow)
{
    g_added = Shell_NotifyIconA(NIM_ADD, &g_tray) || Shell_NotifyIconA(NIM_MODIFY, &g_tray);
    if (!g_added) {
        SetTimer(mainWindow, TIMER_TRAY_RETRY, TRAY_RETRY_INTERVAL, OnRetryTimer);
        return;
    }
    KillTimer(mainWindow, TIMER_TRAY_RETRY);
    ShowWaitingBalloon();
}

static void CALLBACK OnRetryTimer(HWND hwnd, UINT, UINT_PTR, DWORD)
{
    AddIcon(hwnd);
}

// Changes to a shown icon; one that is not in the notification area gets them
// when it is added, from the record.
static void ModifyIcon()
{
    if (g_added)
        Shell_NotifyIconA(NIM_MODIFY, &g_tray);
}

static void CALLBACK OnAnimationStep(HWND hwnd, UINT, UINT_PTR, DWORD)
{
    g_frame = (g_frame + 1) % ANIMATION_SLOTS;
    if (g_frame == 0)
        KillTimer(hwnd, TIMER_TRAY_ANIMATION);
    HICON icon = g_slots[g_frame];
    if (icon != g_tray.hIcon) {
        g_tray.hIcon = icon;
        ModifyIcon();
    }
}

UINT Tray_GetTaskbarCreatedMessage()
{
    static UINT message = RegisterWindowMessageA("TaskbarCreated");
    return message;
}

void CreateTrayIcon(HWND mainWindow, const AppInfo* info)
{
    HINSTANCE instance = GetModuleHandleA(nullptr);
    g_slots[1] = LoadTrayIcon(instance, IDI_TRAY_FRAME1);
    g_slots[2] = LoadTrayIcon(instance, IDI_TRAY_FRAME2);
    g_slots[3] = LoadTrayIcon(instance, IDI_TRAY_FRAME3);
    g_iconOn = LoadTrayIcon(instance, IDI_TRAY_ON);
    g_iconOff = LoadTrayIcon(instance, IDI_TRAY_OFF);
    g_slots[0] = info->historyEnabled ? g_iconOn : g_iconOff;
    g_frame = 0;

    // The first version of the record, with its 64-byte tip.
    memset(&g_tray, 0, sizeof g_tray);
    g_tray.cbSize = NOTIFYICONDATAA_V1_SIZE;
    g_tray.hWnd = mainWindow;
    g_tray.uID = TRAY_ICON_ID;
    g_tray.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    g_tray.uCallbackMessage = WM_TRAYCALLBACK;
    g_tray.hIcon = g_slots[0];

    // An elevated Tamarin would not hear the broadcast of a taskbar that
    // runs with the user's normal rights.
    ChangeWindowMessageFilterEx(mainWindow, Tray_GetTaskbarCreatedMessage(), MSGFLT_ALLOW, nullptr);
    AddIcon(mainWindow);
}

// The taskbar broadcasts "TaskbarCreated" when it starts (after Explorer
// restarted) with an empty notification area, so the icon is added anew with
// its current picture and tip.
LRESULT OnTaskbarCreated(HWND mainWindow)
{
    if (g_tray.hWnd == mainWindow)
        AddIcon(mainWindow);
    return 0;
}

void DeleteTrayIcon(HWND mainWindow)
{
    KillTimer(mainWindow, TIMER_TRAY_RETRY);
    KillTimer(mainWindow, TIMER_TRAY_ANIMATION);
    KillTimer(mainWindow, TIMER_TRAY_TIP);
    Shell_NotifyIconA(NIM_DELETE, &g_tray);
    g_added = false;
}

void SetTrayTip(const char* text)
{
    char tip[TRAY_TIP_LIMIT];
    MakeItemLabel(tip, text, TRAY_TIP_LIMIT);
    if (strcmp(tip, g_tray.szTip) == 0)
        return;
    StrCopyN(g_tray.szTip, TRAY_TIP_LIMIT, tip);
    ModifyIcon();
}

static void CALLBACK OnTipTimer(HWND hwnd, UINT, UINT_PTR, DWORD)
{
    KillTimer(hwnd, TIMER_TRAY_TIP);
    SetTrayTip(g_pendingTip);
}

// Changing the tip sends a message to the taskbar and waits for it. Done
// inside the clipboard-change handler, that wait made Wine drop the next
// clipboard notification now and then, and with it a clip; from a timer
// right after the handler, nothing is lost. The label is made at once, so a
// later change of the text does not matter.
void Tray_SetTipSoon(HWND mainWindow, const char* text)
{
    MakeItemLabel(g_pendingTip, text, TRAY_TIP_LIMIT);
    SetTimer(mainWindow, TIMER_TRAY_TIP, USER_TIMER_MINIMUM, OnTipTimer);
}

void UpdateTrayIcon(HWND, const AppInfo* info)
{
    g_slots[0] = info->historyEnabled ? g_iconOn : g_iconOff;
    g_tray.hIcon = g_slots[0];
    ModifyIcon();
}

void StartTrayAnimation(HWND mainWindow, const AppInfo*)
{
    SetTimer(mainWindow, TIMER_TRAY_ANIMATION, TRAY_ANIMATION_INTERVAL, OnAnimationStep);
}

void Tray_ShowBalloon(const char* title, const char* text)
{
    // Shell_NotifyIconA would read Tamarin's code page 932 texts in the
    // system's ANSI code page.
    CodePage_ToWide(g_balloonTitle, BALLOON_TITLE_CHARS, title);
    CodePage_ToWide(g_balloonText, BALLOON_TEXT_CHARS, text);
    g_balloonWaiting = true;
    ShowWaitingBalloon();
}
