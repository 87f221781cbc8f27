// The registered-text list dialog: add, edit, delete and reorder the
// registered texts; OK replaces the list in the clip store.
#pragma once

#include <windows.h>

struct AppData;

// Runs the dialog modally over owner. true when it ended with OK; the caller
// then writes the registered-text file. false at once while owner already
// has an editing dialog open (PROP_DIALOG).
bool OpenRegisteredTextDialog(HWND owner, AppData* data);

// The same with the template, the context menu and the drag cursors taken
// from the module templates and the placement kept in the INI file iniPath
// (null: neither read nor written). OpenRegisteredTextDialog passes the
// running program and its own ".ini" file.
bool RegisteredDlg_OpenFrom(HINSTANCE templates, HWND owner, AppData* data, const char* iniPath);

// The editor that Add and Edit open with the dialog as owner: OpenEditPad,
// unless another opener is set (null puts OpenEditPad back). Whatever it
// gives back is the dialog's to free with free().
typedef char* (*EditPadOpener)(HWND owner, const char* initialText);
void RegisteredDlg_SetEditor(EditPadOpener opener);

// Heap copies of texts held by list items: how many were made and how many
// freed since the program started. Equal whenever no dialog is open.
struct RegisteredTextCopies {
    long made;
    long freed;
};
RegisteredTextCopies RegisteredDlg_GetTextCopies();
