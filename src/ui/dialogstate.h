// The state of a dialog or window, the same way for every one of Tamarin's:
// what one opening needs is one record, made by the opener, hung on the
// window under the window's property at WM_INITDIALOG (WM_CREATE for the
// search window) and taken off at WM_DESTROY. Messages that come before WM_INITDIALOG find no record.
#pragma once

#include <windows.h>

// Settings, hotkey, extended settings and registered-text dialogs: the record
// the dialog edits (AppInfo, HotkeySet, ExtSettingsRecord, AppData), for
// anyone who looks at the dialog.
#define PROP_DIALOGPARAM "PROP_DIALOGPARAM"

void DialogState_Attach(HWND window, const char* prop, void* record);
// The record, or null before WM_INITDIALOG and after WM_DESTROY.
void* DialogState_Find(HWND window, const char* prop);
void DialogState_Detach(HWND window, const char* prop);

template <typename T>
T* DialogState_Get(HWND window, const char* prop)
{
    return static_cast<T*>(DialogState_Find(window, prop));
}
