// The one-opening rule of the dialogs and windows.
#include "ui/dialogguard.h"

#include "ui/placement.h"

// A window that is still being made has nothing to bring forward yet; the
// second opening is refused all the same.
bool DialogGuard_Enter(DialogGuard* guard, HWND owner, bool markOwner)
{
    if (guard->open) {
        if (guard->window)
            Placement_BringToFront(guard->window);
        return false;
    }
    if (markOwner && owner && DialogGuard_IsOwnerBusy(owner))
        return false;
    guard->open = true;
    guard->window = nullptr;
    guard->markedOwner = nullptr;
    if (markOwner && owner) {
        SetPropA(owner, PROP_DIALOG, guard);
        guard->markedOwner = owner;
    }
    return true;
}

void DialogGuard_SetWindow(DialogGuard* guard, HWND window)
{
    guard->window = window;
}

// The mark goes back to null rather than away: the main window keeps the
// property from its creation to its destruction.
void DialogGuard_Leave(DialogGuard* guard)
{
    if (guard->markedOwner)
        SetPropA(guard->markedOwner, PROP_DIALOG, nullptr);
    guard->open = false;
    guard->window = nullptr;
    guard->markedOwner = nullptr;
}

bool DialogGuard_IsOpen(const DialogGuard* guard)
{
    return guard->open;
}

bool DialogGuard_IsOwnerBusy(HWND window)
{
    return GetPropA(window, PROP_DIALOG) != nullptr;
}
