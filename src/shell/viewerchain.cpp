// The clipboard-viewer chain. The next viewer (never the main window itself)
// and where the changes are recorded are the per-process values of this module.
#include "shell/viewerchain.h"

#include "resources/resource.h"
#include "settings/appinfo.h"
#include "shell/clipwatch.h"
#include "shell/tray.h"
#include "store/appdata.h"
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

// A viewer further down that hangs must not hang Tamarin with it: the
// message is given up after a while, at once for a window the system already
// takes for hung.
void ForwardToNextViewer(HWND mainWindow, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (!g_nextViewer || g_nextViewer == mainWindow)
        return;
    DWORD_PTR result = 0;
    SendMessageTimeoutA(g_nextViewer, msg, wParam, lParam, SMTO_NORMAL | SMTO_ABORTIFHUNG, CHAIN_FORWARD_TIMEOUT,
                        &result);
}

void ViewerChain_CheckSoon(HWND mainWindow)
{
    KillTimer(mainWindow, TIMER_CHAIN_REPAIR);
    SetTimer(mainWindow, TIMER_CHAIN_REPAIR, CHAIN_REPAIR_AFTER_PICK, nullptr);
}

// original: the UTF-8 original of a text code page 932 cannot hold, or null.
static void RecordText(HWND mainWindow, AppData* data, const AppInfo* info, const char* text, const char* original)
{
    if (info->historyEnabled && data)
        AppData_AddClipWithOriginal(data, text, original, info);
    Tray_SetTipSoon(mainWindow, text, original);
    if (info->logText && info->logFolder[0])
        ClipLog_WriteClip(info->logFolder, text, original);
}

static void RecordImage(HWND mainWindow, const AppInfo* info, const ClipChange* change)
{
    Tray_SetTipSoon(mainWindow, "", nullptr);
    if (info->logImage && info->logFolder[0] && change->image)
        ClipLog_WriteImage(info->logFolder, change->image, change->imageSize);
}

// Where the clipboard watcher hands its changes: the clip store and the
// settings of the main window, as its latest WM_DRAWCLIPBOARD gave them. They
// live as long as the window, and the watcher is stopped before they go.
struct RecordTarget {
    AppData* data;
    const AppInfo* info;
};

static RecordTarget g_recordTarget;

// What a password manager marks as confidential is neither stored, shown nor
// logged.
static void RecordChange(HWND mainWindow, const ClipChange* change, void* context)
{
    const RecordTarget* target = static_cast<const RecordTarget*>(context);
    if (!target || !target->info || change->confidential)
        return;
    if (change->text)
        RecordText(mainWindow, target->data, target->info, change->text, change->original);
    else
        RecordImage(mainWindow, target->info, change);
}

// A notification whose clipboard was already recorded (the one that comes
// with re-joining the chain, say) records nothing and does not animate the
// icon; the chain and the repair timer carry on as for any other.
LRESULT OnDrawClipboard(HWND mainWindow, AppData* data, const AppInfo* info, WPARAM wParam, LPARAM lParam)
{
    KillTimer(mainWindow, TIMER_CHAIN_REPAIR);
    if (!info)
        return 0;
    g_recordTarget.data = data;
    g_recordTarget.info = info;
    bool wantImage = info->logImage && info->logFolder[0];
    bool changed = ClipWatch_OnChange(mainWindow, wantImage, RecordChange, &g_recordTarget);
    ForwardToNextViewer(mainWindow, WM_DRAWCLIPBOARD, wParam, lParam);
    if (changed && info->animateIcon)
        StartTrayAnimation(mainWindow, info);
    ArmRepairTimer(mainWindow, info);
    return 0;
}

LRESULT OnChangeCbChain(HWND mainWindow, const AppInfo* info, WPARAM wParam, LPARAM lParam)
{
    KillTimer(mainWindow, TIMER_CHAIN_REPAIR);
    HWND removed = reinterpret_cast<HWND>(wParam);
    HWND following = reinterpret_cast<HWND>(lParam);
    if (removed == g_nextViewer)
        g_nextViewer = following == mainWindow ? nullptr : following;
    else
        ForwardToNextViewer(mainWindow, WM_CHANGECBCHAIN, wParam, lParam);
    if (info)
        ArmRepairTimer(mainWindow, info);
    return 0;
}

LRESULT OnChainRepairTimer(HWND mainWindow, const AppInfo* info)
{
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

void OnChainJoin(HWND mainWindow, const AppInfo* info)
{
    if (info)
        JoinViewerChain(mainWindow, info);
}
