// Message boxes, the file and folder choosers and deletion into the recycle
// bin, each filling the system's request record the same way for every
// dialog of Tamarin.
#pragma once

#include <windows.h>
// The callers pass OFN_ and FOF_ flags.
#include <commdlg.h>
#include <shellapi.h>

#include <stdarg.h>
#include <stddef.h>

enum {
    FORMATTED_MESSAGE_SIZE = 1024,  // text of ShowFormattedMessage, NUL included
    CHOOSER_FOLDER_SIZE = 261,      // initial folder of the file choosers, NUL included
};

int ShowMessage(HWND owner, const char* caption, const char* text, UINT type);
// The question "保存しますか？" of a dialog closed by its title bar: Yes acts
// as OK, No as Cancel, Cancel keeps the dialog open.
void CommonDlg_AskSaveOnClose(HWND dialog, const char* caption);
int ShowFormattedMessage(HWND owner, UINT type, const char* caption, const char* format, ...);
// The text that ShowFormattedMessage shows, formatted into buf (size bytes,
// NUL included); gives its length.
size_t CommonDlg_FormatMessageBoxTextV(char* buf, size_t size, const char* format, va_list args);
size_t CommonDlg_FormatMessageBoxText(char* buf, size_t size, const char* format, ...);

bool ChooseOpenFile(HWND owner, DWORD flags, char* file, size_t fileSize, const char* initialPath, const char* title,
                    const char* filter);
bool ChooseSaveFile(HWND owner, DWORD flags, char* file, size_t fileSize, const char* initialPath, const char* title,
                    const char* filter);
// Splits an initial path of a file chooser into its folder (folder, at least
// CHOOSER_FOLDER_SIZE bytes) and the proposed file name (file, fileSize bytes).
void CommonDlg_SplitChooserPath(const char* initialPath, char* folder, char* file, size_t fileSize);

// path must hold at least MAX_PATH bytes; initialFolder may be null.
bool ChooseFolder(HWND owner, UINT flags, const char* title, char* path, const char* initialFolder);

// paths: each path NUL-terminated, the list ended by a second NUL.
bool DeleteToRecycleBin(HWND owner, const char* paths, UINT flags);
// Builds the list form of one path for DeleteToRecycleBin; false (and an
// empty list) when the path and its two NULs do not fit in size bytes.
bool CommonDlg_MakeSinglePathList(char* list, size_t size, const char* path);
