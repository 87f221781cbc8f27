// The notification-area icon: history on/off image, clipboard text as its tip,
// a short animation per clipboard change, and its return after a taskbar restart.
#pragma once

#include <windows.h>

struct AppInfo;

enum {
    WM_TRAYCALLBACK = WM_APP + 1,  // 32769: the icon's mouse messages to the main window
    TRAY_ICON_ID = 1,
    TIMER_TRAY_WATCH = 2,
    TIMER_TRAY_ANIMATION = 4,
    TIMER_TRAY_TIP = 5,
    TRAY_WATCH_INTERVAL = 1000,
    TRAY_ANIMATION_INTERVAL = 75,
};

void CreateTrayIcon(HWND mainWindow, const AppInfo* info);
void DeleteTrayIcon(HWND mainWindow);
void SetTrayTip(const char* text);
// The same, applied once the current message has been handled.
void Tray_SetTipSoon(HWND mainWindow, const char* text);
void UpdateTrayIcon(HWND mainWindow, const AppInfo* info);
void StartTrayAnimation(HWND mainWindow, const AppInfo* info);
