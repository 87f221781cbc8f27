// One opening at a time, the same way for every one of Tamarin's dialogs and
// windows: each opener keeps a DialogGuard; a second opening brings the open
// window to the front and gives up. The registered-text dialog and the edit
// pad also mark their owner with PROP_DIALOG while they run, so that neither
// opens over the other and the command popup greys their commands.
#pragma once

#include <windows.h>

// On an owner: non-null while an editing dialog runs over it.
#define PROP_DIALOG "PROP_DIALOG"

struct DialogGuard {
    bool open;         // from DialogGuard_Enter to DialogGuard_Leave
    HWND window;       // the open window, once its WM_INITDIALOG has run
    HWND markedOwner;  // the owner whose PROP_DIALOG this opening set, or null
};

// Called by the opener before the window is made. false when the guarded
// window is open already (it comes to the front), or, with markOwner, while
// owner has an editing dialog open; the opener then gives up.
bool DialogGuard_Enter(DialogGuard* guard, HWND owner, bool markOwner);
// Called at WM_INITDIALOG: the window a second opening brings forward.
void DialogGuard_SetWindow(DialogGuard* guard, HWND window);
// Called by the opener after the window has ended; clears the owner's mark.
void DialogGuard_Leave(DialogGuard* guard);
bool DialogGuard_IsOpen(const DialogGuard* guard);
// True while an editing dialog runs over window (its PROP_DIALOG is set).
bool DialogGuard_IsOwnerBusy(HWND window);
