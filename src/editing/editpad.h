// The edit pad: a small editor window in which a text is typed, pasted or
// loaded from a file before it becomes a registered text.
#pragma once

#include <windows.h>

#include <stddef.h>

// Window property of the pad that holds its EditPadInfo.
#define PROP_EDITPADINFO "PROP_EDITPADINFO"

// Section of the settings INI file that keeps the pad's placement.
#define EDITPAD_SECTION "EDIT_PAD"

enum {
    EDITPAD_TEXT_LIMIT = 0xFFFF,       // the most the user can type
    EDITPAD_PATH_SIZE = 261,           // chooser paths and the module path, NUL included
    EDITPAD_EXPORT_PATH_SIZE = 260,    // the proposed export path, NUL included
    EDITPAD_DEFAULT_WIDTH = 640,       // size of the first opening, pixels at 96 dpi
    EDITPAD_DEFAULT_HEIGHT = 480,
};

// Runs the pad modally over owner, starting with initialText, or with the
// clipboard text when initialText is null. Gives the edited text on OK (the
// caller frees it), or null on cancel or while owner already has an editing
// dialog open (PROP_DIALOG).
char* OpenEditPad(HWND owner, const char* initialText);

// The same with the dialog template taken from the module templates and the
// placement kept in the INI file iniPath (null: none read or written).
// OpenEditPad passes the running program and its own ".ini" file.
char* EditPad_OpenFrom(HINSTANCE templates, HWND owner, const char* initialText, const char* iniPath);

// A file's bytes as a heap text (the caller frees it), ending at the file's
// first NUL byte. Null when the file is not found or the text cannot be
// allocated; an empty text when the file is there but does not open.
char* EditPad_ReadFile(const char* path);
// Writes exactly length bytes of text to path; false when it cannot.
bool EditPad_WriteFile(const char* path, const char* text, size_t length);
// The path the export proposes: "folder\DDHHMMSS.txt" for the time now, cut
// to size bytes without splitting a double-byte character.
void EditPad_ExportPath(char* buf, size_t size, const char* folder, const SYSTEMTIME* now);
