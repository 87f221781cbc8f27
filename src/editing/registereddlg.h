// The registered-text list dialog: add, edit, delete and reorder the
// registered texts; OK replaces the list in the clip store.
#pragma once

#include <windows.h>

struct AppData;

// Runs the dialog modally over owner. true when it ended with OK; the caller
// then writes the registered-text file. false at once while owner already
// has an editing dialog open (PROP_DIALOG).
bool OpenRegisteredTextDialog(HWND owner, AppData* data);
