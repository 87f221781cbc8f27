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

// Receives every change that was read, with the context it was given; the
// change's copies stay the watcher's.
typedef void (*ClipChangeSink)(HWND mainWindow, const ClipChange* change, void* context);

// For WM_DRAWCLIPBOARD. true when the clipboard holds a change not handed on
// yet (read now, or to be read by the retry timer); false when its sequence
// number is the one already handed on, as after re-joining the viewer chain.
// A retry hands its change to the sink and context of the latest call, so
// the context must last until ClipWatch_Stop.
bool ClipWatch_OnChange(HWND mainWindow, bool wantImage, ClipChangeSink sink, void* context);
// Ends a retry in progress (the window is going away).
void ClipWatch_Stop(HWND mainWindow);
