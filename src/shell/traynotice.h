// Balloon notices from the tray icon: what the user relies on and did not
// happen (a clipboard change not recorded, a file not saved), said where the
// user looks when no window of the program is open.
#pragma once

#include <windows.h>

// The text of string resource textId, with detail (a file's path, say) on a
// line of its own when it is not null, as the tray icon's balloon (shown once
// the icon is there). false when the string could not be had.
bool TrayNotice_Show(UINT textId, const char* detail);

// A SaveFailureObserver (store/savereport.h) for the main window: the notice
// that a file could not be saved, with its path.
void TrayNotice_OnSaveFailure(const char* path, void* mainWindow);
