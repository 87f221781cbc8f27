// Start-up: paths from the command line onto the clipboard, and the hidden
// main window that exists once per desktop.
#include "app/startup.h"

#include <shellapi.h>
#include <shlobj.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "resources/resource.h"
#include "shell/shellcom.h"
#include "store/clipboard.h"
#include "text/path.h"

enum { PATH_PIECE_SIZE = 270 };

bool ResolveShellPath(const char* arg, char* out)
{
    out[0] = 0;
    IMalloc* shellMalloc = nullptr;
    if (FAILED(SHGetMalloc(&shellMalloc)))
        return false;
    IShellFolder* desktop = nullptr;
    if (FAILED(SHGetDesktopFolder(&desktop))) {
        shellMalloc->Release();
        return false;
    }
    bool ok = false;
    WCHAR wide[MAX_PATH];
    if (MultiByteToWideChar(CP_ACP, 0, arg, -1, wide, MAX_PATH) > 0) {
        LPITEMIDLIST idList = nullptr;
        if (SUCCEEDED(desktop->ParseDisplayName(nullptr, nullptr, wide, nullptr, &idList, nullptr))) {
            // Only existing file-system objects count: some shells hand back
            // a "::{...}" name for things that are not files.
            ok = SHGetPathFromIDListA(idList, out) && PathExists(out);
            shellMalloc->Free(idList);
        }
    }
    desktop->Release();
    shellMalloc->Release();
    if (!ok)
        out[0] = 0;
    return ok;
}

enum {
    CLIPBOARD_TRIES = 100,       // another program may hold the clipboard for a moment
    CLIPBOARD_TRY_PAUSE_MS = 50,
};

// Windows documents that SetClipboardData fails after EmptyClipboard when the
// clipboard was opened without an owner window, so the one-shot mode puts its
// text there through a message-only window of its own, trying again for up
// to five seconds while another program holds the clipboard.
static bool PutTextWithOwnWindow(const char* text)
{
    HWND owner = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleA(nullptr),
                                 nullptr);
    bool put = false;
    for (int i = 0; owner && i < CLIPBOARD_TRIES && !put; i++) {
        put = Clip_SetText(owner, text);
        if (!put)
            Sleep(CLIPBOARD_TRY_PAUSE_MS);
    }
    if (owner)
        DestroyWindow(owner);
    return put;
}

// Two passes: the first sizes the text, the second writes it, so the whole
// line is one allocation. The shell's display-name parsing needs COM on this
// thread.
bool CopyArgumentPaths(int argc, char** argv)
{
    ShellCom_Ensure();
    char path[SHELL_PATH_SIZE];
    size_t total = 0;
    for (int i = 1; i < argc; i++) {
        if (ResolveShellPath(argv[i], path))
            total += strlen(path) + 3;
    }
    if (total == 0)
        return false;
    char* text = static_cast<char*>(malloc(total + 1));
    if (!text)
        return false;
    size_t used = 0;
    text[0] = 0;
    for (int i = 1; i < argc; i++) {
        if (!ResolveShellPath(argv[i], path))
            continue;
        char piece[PATH_PIECE_SIZE];
        int n = snprintf(piece, sizeof piece, "%s%c%s%c", used ? " " : "", '"', path, '"');
        if (n < 0)
            continue;
        size_t len = strlen(piece);
        if (used + len > total)
            len = total - used;
        memcpy(text + used, piece, len);
        used += len;
        text[used] = 0;
    }
    PutTextWithOwnWindow(text);
    free(text);
    return true;
}

static HICON LoadProgramIcon(HINSTANCE instance, int widthMetric, int heightMetric)
{
    return static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDI_PROGRAM), IMAGE_ICON,
                                         GetSystemMetrics(widthMetric), GetSystemMetrics(heightMetric), 0));
}

// The class icons are the program's own icon at the sizes the system asks
// for. The shell's icon of the file is the same picture (the file's first
// icon group), but asking the shell for it needs COM, which start-up does
// without.
static void RegisterMainClass(HINSTANCE instance, WNDPROC proc, const char* className)
{
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hIcon = LoadProgramIcon(instance, SM_CXICON, SM_CYICON);
    wc.hIconSm = LoadProgramIcon(instance, SM_CXSMICON, SM_CYSMICON);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = className;
    RegisterClassExA(&wc);
}

// A second resident start ends silently: the window is the first sign of a
// running instance, the mutex catches one that is still starting.
HANDLE CreateMainWindow(HINSTANCE instance, WNDPROC proc, const char* mutexName, const char* className,
                        const char* title, void* param)
{
    if (FindWindowA(className, title))
        return nullptr;
    HANDLE mutex = CreateMutexA(nullptr, TRUE, mutexName);
    if (!mutex)
        return nullptr;
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(mutex);
        return nullptr;
    }
    RegisterMainClass(instance, proc, className);
    HWND hwnd = CreateWindowExA(0, className, title, WS_POPUP | WS_MINIMIZE, CW_USEDEFAULT, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, param);
    if (!hwnd) {
        CloseHandle(mutex);
        return nullptr;
    }
    return mutex;
}
