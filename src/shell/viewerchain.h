// Membership in the clipboard-viewer chain: each clipboard change reaches the
// history, the tray and the log, and the chain is re-joined after a quiet spell.
#pragma once

#include <windows.h>

struct AppData;
struct AppInfo;

enum {
    TIMER_CHAIN_REPAIR = 3,
    CHAIN_REPAIR_AFTER_PICK = 3000,  // ms: a pick from the popup must come back as a change
    CHAIN_FORWARD_TIMEOUT = 1000,    // ms a viewer further down may take for one message
};

HWND JoinViewerChain(HWND mainWindow, const AppInfo* info);
void LeaveViewerChain(HWND mainWindow);
void ForwardToNextViewer(HWND mainWindow, UINT msg, WPARAM wParam, LPARAM lParam);
// Checks the chain CHAIN_REPAIR_AFTER_PICK ms from now: the main window has
// just put a text on the clipboard, which must come back as a change.
void ViewerChain_CheckSoon(HWND mainWindow);

// The main window's handlers of the chain's messages, timer and commands,
// given the clip store and the settings it owns.
LRESULT OnDrawClipboard(HWND mainWindow, AppData* data, const AppInfo* info, WPARAM wParam, LPARAM lParam);
LRESULT OnChangeCbChain(HWND mainWindow, const AppInfo* info, WPARAM wParam, LPARAM lParam);
LRESULT OnChainRepairTimer(HWND mainWindow, const AppInfo* info);
void OnChainLeave(HWND mainWindow);
void OnChainJoin(HWND mainWindow, const AppInfo* info);
