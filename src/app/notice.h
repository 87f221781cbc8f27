// Notices: the few things Tamarin tells the user about its files, each at
// most once per run (a failed save that repeats is not reported again).
#pragma once

#include <windows.h>

enum NoticeKind {
    NOTICE_SETTINGS_NOT_SAVED,      // the INI file could not be written; it is as it was
    NOTICE_HISTORY_NOT_READ,        // the history file could not be read whole
    NOTICE_REGISTERED_NOT_READ,     // the registered-text file could not be read whole
    NOTICE_KIND_COUNT,
};

// Shows the notice in a message box over owner (which may be null), unless
// it has been shown before in this run. Returns when the user has closed it.
void Notice_ShowOnce(HWND owner, NoticeKind kind);

// The notices for a clip store whose files could not be read whole, shown
// once the main window's message loop runs (posted to mainWindow as
// WM_SHOWNOTICE, which the main window hands to Notice_ShowOnce).
void Notice_PostLoadProblems(HWND mainWindow, int partialLists);
