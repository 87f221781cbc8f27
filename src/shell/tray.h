// The notification-area icon: history on/off image, clipboard text as its tip,
// a short animation per clipboard change, balloons, and its return when the
// taskbar is created again.
#pragma once

#include <windows.h>

struct AppInfo;

enum {
    WM_TRAYCALLBACK = WM_APP + 1,  // 32769: the icon's mouse messages to the main window
    TRAY_ICON_ID = 1,
    TIMER_TRAY_RETRY = 2,
    TIMER_TRAY_ANIMATION = 4,
    TIMER_TRAY_TIP = 5,
    TRAY_RETRY_INTERVAL = 1000,
    TRAY_ANIMATION_INTERVAL = 75,
};

void CreateTrayIcon(HWND mainWindow, const AppInfo* info);
void DeleteTrayIcon(HWND mainWindow);
void SetTrayTip(const char* text);
// The same, applied once the current message has been handled.
void Tray_SetTipSoon(HWND mainWindow, const char* text);
void UpdateTrayIcon(HWND mainWindow, const AppInfo* info);
void StartTrayAnimation(HWND mainWindow, const AppInfo* info);

// The message the taskbar broadcasts when it has been created ("TaskbarCreated"),
// and the main window's answer to it: the icon is added again.
UINT Tray_GetTaskbarCreatedMessage();
LRESULT OnTaskbarCreated(HWND mainWindow);

// Shows a balloon (a notification) from the tray icon with a warning sign.
// title and text are code page 932 texts, cut to what a balloon holds (63
// and 255 characters); they are shown correctly whatever the system's ANSI
// code page. Before the icon is in the notification area (at start-up, or
// while the taskbar is away) the balloon waits and shows as soon as the icon
// is added; a later balloon replaces a waiting one.
void Tray_ShowBalloon(const char* title, const char* text);
