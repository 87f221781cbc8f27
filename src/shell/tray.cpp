// The tray icon. One icon per process; its NOTIFYICONDATAA record, the icon
// table and the taskbar's notification window live here for the whole run.
#include "shell/tray.h"

#include <shellapi.h>
#include <string.h>

#include "text/itemlabel.h"
#include "resources/resource.h"
#include "settings/appinfo.h"
#include "text/text.h"

enum { ANIMATION_SLOTS = 4 };

static NOTIFYICONDATAA g_tray;
static HICON g_slots[ANIMATION_SLOTS];  // 0: current base icon, 1-3: frames
static HICON g_iconOn;
static HICON g_iconOff;
static int g_frame;
static HWND g_trayWindow;
static char g_pendingTip[TRAY_TIP_LIMIT];

static HICON LoadTrayIcon(HINSTANCE instance, int id)
{
    return static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(id), IMAGE_ICON, 16, 16, 0));
}

static HWND FindTrayWindow()
{
    HWND taskbar = FindWindowA("Shell_TrayWnd", "");
    return taskbar ? FindWindowExA(taskbar, nullptr, "TrayNotifyWnd", "") : nullptr;
}

static void CALLBACK OnTrayWatch(HWND, UINT, UINT_PTR, DWORD)
{
    if (g_trayWindow && IsWindow(g_trayWindow))
        return;
    g_trayWindow = FindTrayWindow();
    if (g_trayWindow) {
        Shell_NotifyIconA(NIM_DELETE, &g_tray);
        Shell_NotifyIconA(NIM_ADD, &g_tray);
    }
}

static void CALLBACK OnAnimationStep(HWND hwnd, UINT, UINT_PTR, DWORD)
{
    g_frame = (g_frame + 1) % ANIMATION_SLOTS;
    if (g_frame == 0)
        KillTimer(hwnd, TIMER_TRAY_ANIMATION);
    HICON icon = g_slots[g_frame];
    if (icon != g_tray.hIcon) {
        g_tray.hIcon = icon;
        Shell_NotifyIconA(NIM_MODIFY, &g_tray);
    }
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
    Shell_NotifyIconA(NIM_ADD, &g_tray);

    g_trayWindow = FindTrayWindow();
    SetTimer(mainWindow, TIMER_TRAY_WATCH, TRAY_WATCH_INTERVAL, OnTrayWatch);
}

void DeleteTrayIcon(HWND mainWindow)
{
    KillTimer(mainWindow, TIMER_TRAY_WATCH);
    KillTimer(mainWindow, TIMER_TRAY_ANIMATION);
    KillTimer(mainWindow, TIMER_TRAY_TIP);
    Shell_NotifyIconA(NIM_DELETE, &g_tray);
}

void SetTrayTip(const char* text)
{
    char tip[TRAY_TIP_LIMIT];
    MakeItemLabel(tip, text, TRAY_TIP_LIMIT);
    if (strcmp(tip, g_tray.szTip) == 0)
        return;
    StrCopyN(g_tray.szTip, TRAY_TIP_LIMIT, tip);
    Shell_NotifyIconA(NIM_MODIFY, &g_tray);
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
    Shell_NotifyIconA(NIM_MODIFY, &g_tray);
}

void StartTrayAnimation(HWND mainWindow, const AppInfo*)
{
    SetTimer(mainWindow, TIMER_TRAY_ANIMATION, TRAY_ANIMATION_INTERVAL, OnAnimationStep);
}
