// The clipboard watcher. Other programs (the system's clipboard history,
// remote-desktop clipboards, other managers, office suites) open the
// clipboard right after every change; a read that finds it held is tried
// again from a timer instead of being dropped or blocking the window.
#include "shell/clipwatch.h"

#include "resources/notices.h"
#include "shell/traynotice.h"

namespace {

struct WatchState {
    bool haveHandled;        // handledSequence names a change already handed on
    DWORD handledSequence;
    bool retrying;
    int triesLeft;
    bool wantImage;
    bool reportedGiveUp;     // one notice per run of failures
    ClipChangeSink sink;
    void* context;
};

WatchState g_watch;

// 0 means the system does not tell; such a change is always read.
bool IsHandled(DWORD sequence)
{
    return sequence != 0 && g_watch.haveHandled && sequence == g_watch.handledSequence;
}

// The sequence number read while the clipboard was open belongs to the data
// read with it, even when the clipboard changed again since the notification.
bool TryRead(HWND mainWindow)
{
    ClipChange change;
    if (!ClipChange_Read(mainWindow, g_watch.wantImage, &change))
        return false;
    g_watch.haveHandled = change.sequence != 0;
    g_watch.handledSequence = change.sequence;
    g_watch.reportedGiveUp = false;
    if (g_watch.sink)
        g_watch.sink(mainWindow, &change, g_watch.context);
    ClipChange_Free(&change);
    return true;
}

void EndRetry(HWND mainWindow)
{
    g_watch.retrying = false;
    KillTimer(mainWindow, TIMER_CLIP_READ_RETRY);
}

void GiveUp(HWND mainWindow)
{
    EndRetry(mainWindow);
    if (!g_watch.reportedGiveUp)
        TrayNotice_Show(IDS_NOTICE_CLIPBOARD_READ, nullptr);
    g_watch.reportedGiveUp = true;
}

void CALLBACK OnReadRetry(HWND mainWindow, UINT, UINT_PTR, DWORD)
{
    if (!g_watch.retrying || IsHandled(GetClipboardSequenceNumber())) {
        EndRetry(mainWindow);
        return;
    }
    if (TryRead(mainWindow)) {
        EndRetry(mainWindow);
        return;
    }
    if (--g_watch.triesLeft <= 0)
        GiveUp(mainWindow);
}

}  // namespace

bool ClipWatch_OnChange(HWND mainWindow, bool wantImage, ClipChangeSink sink, void* context)
{
    g_watch.sink = sink;
    g_watch.context = context;
    g_watch.wantImage = wantImage;
    if (IsHandled(GetClipboardSequenceNumber()))
        return false;
    if (TryRead(mainWindow)) {
        EndRetry(mainWindow);
        return true;
    }
    g_watch.retrying = true;
    g_watch.triesLeft = CLIP_RETRY_TRIES;
    SetTimer(mainWindow, TIMER_CLIP_READ_RETRY, CLIP_RETRY_INTERVAL, OnReadRetry);
    return true;
}

void ClipWatch_Stop(HWND mainWindow)
{
    EndRetry(mainWindow);
}
