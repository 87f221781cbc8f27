// Menu tips: a tooltip beside the text-list popup showing the whole text of
// the highlighted entry.
#pragma once

#include <windows.h>

struct AppData;
struct AppInfo;

#define PROP_TOOLTIPCTRL "PROP_TOOLTIPCTRL"
#define PROP_TOOLTIPTEXTPTR "PROP_TOOLTIPTEXTPTR"

bool MenuTip_Create(HWND mainWindow, const AppInfo* info);
void MenuTip_Show(HWND mainWindow, int id, POINT pt, const AppData* data, const AppInfo* info);
void MenuTip_Destroy(HWND mainWindow);
// Hides the tip when the menu loop ends (TTM_POP).
void MenuTip_Pop(HWND mainWindow);
