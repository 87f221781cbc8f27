// The clipboard-viewer chain. The next viewer is the one per-process value of
// this module; it is never the main window itself.
#include "shell/viewerchain.h"

#include <stdlib.h>

#include "app/mainwnd.h"
#include "resources/resource.h"
#include "settings/appinfo.h"
#include "shell/tray.h"
#include "store/appdata.h"
#include "store/clipboard.h"
#include "store/cliplog.h"

static HWND g_nextViewer;
static bool g_inChain;

static void ArmRepairTimer(HWND mainWindow, const AppInfo* info)
{
    SetTimer(mainWindow, TIMER_CHAIN_REPAIR, static_cast<UINT>(info->repairInterval), nullptr);
}

// Joining again while in the chain would make the window its own next viewer
// and cut the one after it out for good, so a second join changes nothing.
HWND JoinViewerChain(HWND mainWindow, const AppInfo* info)
{
    if (g_inChain)
        return g_nextViewer;
    HWND next = SetClipboardViewer(mainWindow);
    g_nextViewer = next == mainWindow ? nullptr : next;
    g_inChain = true;
    ArmRepairTimer(mainWindow, info);
    return g_nextViewer;
}

void LeaveViewerChain(HWND mainWindow)
{
    KillTimer(mainWindow, TIMER_CHAIN_REPAIR);
    ChangeClipboardChain(mainWindow, g_nextViewer);
    g_nextViewer = nullptr;
    g_inChain = false;
}

void ForwardToNextViewer(HWND mainWindow, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (g_nextViewer && g_nextViewer != mainWindow)
        SendMessageA(g_nextViewer, msg, wParam, lParam);
}

static void RecordText(HWND mainWindow, const AppInfo* info, const char* text)
{
    if (info->historyEnabled) {
        AppData* data = GetAppData(mainWindow);
        if (data)
            AppData_AddClip(data, text, info);
    }
    SetTrayTipSoon(mainWindow, text);
    if (info->logText && info->logFolder[0])
        ClipLog_WriteText(info->logFolder, text);
}

static void RecordImage(HWND mainWindow, const AppInfo* info)
{
    SetTrayTipSoon(mainWindow, "");
    if (!info->logImage || !info->logFolder[0])
        return;
    size_t size = 0;
    void* dib = Clip_GetDataEx(mainWindow, CF_DIB, &size);
    if (dib) {
        ClipLog_WriteImage(info->logFolder, dib, size);
        free(dib);
    }
}

// What a password manager marks as confidential is neither stored, shown nor
// logged; the chain, the animation and the repair timer carry on as usual.
LRESULT OnDrawClipboard(HWND mainWindow, WPARAM wParam, LPARAM lParam)
{
    KillTimer(mainWindow, TIMER_CHAIN_REPAIR);
    const AppInfo* info = GetAppInfo(mainWindow);
    if (!info)
        return 0;
    if (!Clip_IsConfidential(mainWindow)) {
        char* text = static_cast<char*>(Clip_GetData(mainWindow, CF_TEXT));
        if (text) {
            RecordText(mainWindow, info, text);
            free(text);
        } else {
            RecordImage(mainWindow, info);
        }
    }
    ForwardToNextViewer(mainWindow, WM_DRAWCLIPBOARD, wParam, lParam);
    if (info->animateIcon)
        StartTrayAnimation(mainWindow, info);
    ArmRepairTimer(mainWindow, info);
    return 0;
}

LRESULT OnChangeCbChain(HWND mainWindow, WPARAM wParam, LPARAM lParam)
{
    KillTimer(mainWindow, TIMER_CHAIN_REPAIR);
    HWND removed = reinterpret_cast<HWND>(wParam);
    HWND following = reinterpret_cast<HWND>(lParam);
    if (removed == g_nextViewer)
        g_nextViewer = following == mainWindow ? nullptr : following;
    else
        ForwardToNextViewer(mainWindow, WM_CHANGECBCHAIN, wParam, lParam);
    const AppInfo* info = GetAppInfo(mainWindow);
    if (info)
        ArmRepairTimer(mainWindow, info);
    return 0;
}

LRESULT OnChainRepairTimer(HWND mainWindow)
{
    const AppInfo* info = GetAppInfo(mainWindow);
    if (info && info->autoRepairChain) {
        KillTimer(mainWindow, TIMER_CHAIN_REPAIR);
        PostMessageA(mainWindow, WM_COMMAND, IDM_CHAIN_LEAVE, 0);
    }
    return 0;
}

// Leaving and joining are two posted steps so that messages already queued
// are handled in between; joining puts the window at the head of the chain.
void OnChainLeave(HWND mainWindow)
{
    LeaveViewerChain(mainWindow);
    PostMessageA(mainWindow, WM_COMMAND, IDM_CHAIN_JOIN, 0);
}

void OnChainJoin(HWND mainWindow)
{
    const AppInfo* info = GetAppInfo(mainWindow);
    if (info)
        JoinViewerChain(mainWindow, info);
}
