// The settings dialog "設定の変更": the general settings of AppInfo, edited
// in place and written only when the user confirms with OK.
#pragma once

#include <windows.h>

#include <stddef.h>

struct AppInfo;

enum {
    HISTORY_COUNT_MIN = 1,
    HISTORY_COUNT_MAX = 4095,
    HISTORY_COUNT_TEXT_SIZE = 1024,  // read of the count field, NUL included
    HISTORY_PATH_SIZE = 261,         // the history file's path, NUL included
    DATE_PREVIEW_SOURCE_SIZE = 1024, // formatted time before the cut to the tip
};

// What the OK button makes of the history-count field.
enum HistoryCountCheck {
    HISTORY_COUNT_OK,
    HISTORY_COUNT_TOO_FEW,   // below 1, and also an empty or non-numeric field
    HISTORY_COUNT_TOO_MANY,  // above 4095
};

// Reads text as a "%d" scan does (leading blanks and a sign allowed, trailing
// text ignored). *value receives the count when it is accepted, otherwise the
// limit that the field is corrected to.
HistoryCountCheck SettingsDlg_CheckHistoryCountText(const char* text, int* value);

// The tip of the date-format field: now formatted with format, cut to size
// bytes (NUL included) without splitting a double-byte character.
void SettingsDlg_FormatDatePreview(char* out, size_t size, const char* format, const SYSTEMTIME* now);

// Runs the settings dialog modally over owner on the caller's record, which
// stays the caller's: the dialog writes into it only when it ends with OK,
// and only then returns true. While the dialog is open, a second call brings
// it to the front and returns false, so that its caller saves nothing.
bool ShowSettingsDialog(HWND owner, AppInfo* info);

// The same with the dialog template taken from the module templates and the
// history file that the delete button sends to the recycle bin named by
// historyPath (empty: the button does nothing). ShowSettingsDialog passes the
// running program and its own ".hst" file.
bool SettingsDlg_ShowFrom(HINSTANCE templates, HWND owner, AppInfo* info, const char* historyPath);
