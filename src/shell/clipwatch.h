// Reading each clipboard change once: a clipboard that another program holds
// open is read again from a short timer, and a change is handed on only when
// the clipboard's sequence number has moved since the last one handed on.
#pragma once

#include <windows.h>

#include "store/clipchange.h"

enum {
    TIMER_CLIP_READ_RETRY = 21,
    CLIP_RETRY_INTERVAL = 25,  // ms between two tries
    CLIP_RETRY_TRIES = 80,     // tries after the first: about two seconds in all
};

// Receives every change that was read; the change's copies stay the watcher's.
typedef void (*ClipChangeSink)(HWND mainWindow, const ClipChange* change);

// For WM_DRAWCLIPBOARD. true when the clipboard holds a change not handed on
// yet (read now, or to be read by the retry timer); false when its sequence
// number is the one already handed on, as after re-joining the viewer chain.
bool ClipWatch_OnChange(HWND mainWindow, bool wantImage, ClipChangeSink sink);
// Ends a retry in progress (the window is going away).
void ClipWatch_Stop(HWND mainWindow);
