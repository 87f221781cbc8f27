// Thin wrappers over the message box, the common file choosers, the shell's
// folder chooser and its recycle-bin deletion. Errors are not reported: a
// cancelled chooser and a failed one both give false.
#include "dialogs/commondlg.h"

#include <shlobj.h>

#include <stdio.h>
#include <string.h>

#include "text/path.h"
#include "text/text.h"
#include "ui/latelib.h"
#include "ui/shellcom.h"

// The icon bits of a message box type: stop (0x10), question (0x20),
// exclamation (0x30) and information (0x40) each have their own sound.
enum { MESSAGE_ICON_BITS = 0x70 };

int ShowMessage(HWND owner, const char* caption, const char* text, UINT type)
{
    MessageBeep(type & MESSAGE_ICON_BITS);
    return MessageBoxA(owner, text, caption, type);
}

// A text longer than the buffer is cut to size - 1 bytes, or one byte less
// when the cut would leave the first byte of a double-byte character alone.
size_t CommonDlg_FormatMessageBoxTextV(char* buf, size_t size, const char* format, va_list args)
{
    if (size == 0)
        return 0;
    int written = vsnprintf(buf, size, format, args);
    buf[size - 1] = 0;
    size_t length = strlen(buf);
    bool cut = written < 0 || static_cast<size_t>(written) >= size;
    if (cut && length > 0 && MbcsByteKind(buf, length - 1) == MBCS_LEAD)
        buf[--length] = 0;
    return length;
}

size_t CommonDlg_FormatMessageBoxText(char* buf, size_t size, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    size_t length = CommonDlg_FormatMessageBoxTextV(buf, size, format, args);
    va_end(args);
    return length;
}

int ShowFormattedMessage(HWND owner, UINT type, const char* caption, const char* format, ...)
{
    char text[FORMATTED_MESSAGE_SIZE];
    va_list args;
    va_start(args, format);
    CommonDlg_FormatMessageBoxTextV(text, sizeof(text), format, args);
    va_end(args);
    return MessageBoxA(owner, text, caption, type);
}

// The folder is everything before the last backslash that is not the second
// byte of a double-byte character (as in a name ending in "表"), the proposed
// name everything after it. Without such a backslash both are the whole path.
void CommonDlg_SplitChooserPath(const char* initialPath, char* folder, char* file, size_t fileSize)
{
    StrCopyN(folder, CHOOSER_FOLDER_SIZE, initialPath ? initialPath : "");
    size_t whole = strlen(folder);
    const char* name = CutFileName(folder);
    if (strlen(folder) == whole)
        name = folder;
    StrCopyN(file, fileSize, name);
}

// The common dialog library, loaded by the first file chooser: with it come
// the printing and COM libraries, which nothing at start-up needs.
static LateLib g_commonDialogs = {"comdlg32.dll", nullptr};

static bool ChooseFile(bool save, HWND owner, DWORD flags, char* file, size_t fileSize, const char* initialPath,
                       const char* title, const char* filter)
{
    char folder[CHOOSER_FOLDER_SIZE];
    CommonDlg_SplitChooserPath(initialPath, folder, file, fileSize);
    OPENFILENAMEA request;
    ZeroMemory(&request, sizeof(request));
    // The record without the fields that Windows 2000 added.
    request.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    request.hwndOwner = owner;
    request.lpstrFilter = filter;
    request.lpstrFile = file;
    request.nMaxFile = fileSize > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<DWORD>(fileSize);
    request.lpstrInitialDir = folder;
    request.lpstrTitle = title;
    request.Flags = flags | OFN_EXPLORER | OFN_ENABLESIZING;
    if (!save)
        request.Flags |= OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
    auto chooser = LateLib_Get<decltype(&GetOpenFileNameA)>(&g_commonDialogs,
                                                            save ? "GetSaveFileNameA" : "GetOpenFileNameA");
    if (!chooser)
        return false;
    // The Explorer-style chooser hosts the shell's namespace.
    ShellCom_Ensure();
    return chooser(&request) != FALSE;
}

// The chosen path is in file.
bool ChooseOpenFile(HWND owner, DWORD flags, char* file, size_t fileSize, const char* initialPath, const char* title,
                    const char* filter)
{
    return ChooseFile(false, owner, flags, file, fileSize, initialPath, title, filter);
}

// Adds no overwrite question and no default extension of its own; a caller
// that wants the question passes OFN_OVERWRITEPROMPT.
bool ChooseSaveFile(HWND owner, DWORD flags, char* file, size_t fileSize, const char* initialPath, const char* title,
                    const char* filter)
{
    return ChooseFile(true, owner, flags, file, fileSize, initialPath, title, filter);
}

// Opens at the initial folder, and allows OK only on items that have a
// file-system path (not on the control panel, for example).
static int CALLBACK BrowseCallback(HWND dialog, UINT msg, LPARAM lParam, LPARAM data)
{
    switch (msg) {
    case BFFM_INITIALIZED:
        if (data)
            SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE, data);
        break;
    case BFFM_SELCHANGED: {
        char path[MAX_PATH];
        PCIDLIST_ABSOLUTE item = reinterpret_cast<PCIDLIST_ABSOLUTE>(lParam);
        bool hasPath = item && SHGetPathFromIDListA(item, path);
        SendMessageA(dialog, BFFM_ENABLEOK, 0, hasPath ? 1 : 0);
        break;
    }
    }
    return 0;
}

// The folder chooser's documentation asks for a single-threaded apartment,
// which its new dialog style needs.
bool ChooseFolder(HWND owner, UINT flags, const char* title, char* path, const char* initialFolder)
{
    ShellCom_Ensure();
    IMalloc* allocator = nullptr;
    if (FAILED(SHGetMalloc(&allocator)) || !allocator)
        return false;
    BROWSEINFOA request;
    ZeroMemory(&request, sizeof(request));
    request.hwndOwner = owner;
    request.lpszTitle = title;
    request.ulFlags = flags | BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    request.lpfn = BrowseCallback;
    request.lParam = reinterpret_cast<LPARAM>(initialFolder);
    bool chosen = false;
    PIDLIST_ABSOLUTE item = SHBrowseForFolderA(&request);
    if (item) {
        chosen = SHGetPathFromIDListA(item, path) != FALSE;
        allocator->Free(item);
    }
    allocator->Release();
    return chosen;
}

// The shell's own result is not examined: a path that is already gone is not
// an error for the callers.
bool DeleteToRecycleBin(HWND owner, const char* paths, UINT flags)
{
    SHFILEOPSTRUCTA request;
    ZeroMemory(&request, sizeof(request));
    request.hwnd = owner;
    request.wFunc = FO_DELETE;
    request.pFrom = paths;
    request.pTo = nullptr;
    request.fFlags = static_cast<FILEOP_FLAGS>(flags | FOF_ALLOWUNDO);
    ShellCom_Ensure();
    SHFileOperationA(&request);
    return true;
}

// A path is never cut to fit: the shorter path could name another file.
bool CommonDlg_MakeSinglePathList(char* list, size_t size, const char* path)
{
    if (size == 0)
        return false;
    size_t length = strlen(path);
    if (size < 2 || length > size - 2) {
        list[0] = 0;
        if (size >= 2)
            list[1] = 0;
        return false;
    }
    memcpy(list, path, length);
    list[length] = 0;
    list[length + 1] = 0;
    return true;
}

void CommonDlg_AskSaveOnClose(HWND dialog, const char* caption)
{
    static const char SAVE_QUESTION[] = "\x95\xdb\x91\xb6\x82\xb5\x82\xdc\x82\xb7\x82\xa9\x81\x48";  // 保存しますか？
    switch (ShowMessage(dialog, caption, SAVE_QUESTION, MB_YESNOCANCEL | MB_ICONEXCLAMATION)) {
    case IDYES:
        SendMessageA(dialog, WM_COMMAND, IDOK, 0);
        break;
    case IDNO:
        SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        break;
    }
}
