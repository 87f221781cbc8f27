// The path-copying mode. Arguments are read as Unicode, so names outside code
// page 932 survive; under Wine a Unix path (what a Linux file manager hands a
// program) is first mapped to its Windows name; each argument is resolved
// through the shell's display-name parsing on a thread with COM; the text goes
// to the clipboard as CF_UNICODETEXT and CF_TEXT, owned by a window of this
// mode's own.
#include "app/cmdline.h"

#include <shellapi.h>
#include <shlobj.h>
#include <stdlib.h>
#include <string.h>
#include <wchar.h>

#include "store/clipboard.h"
#include "store/cliptext.h"
#include "ui/shellcom.h"

enum {
    LONG_PATH_CHARS = 32768,      // the longest path the system can spell, NUL included
    CLIPBOARD_OPEN_TRIES = 100,   // another program may hold the clipboard for a moment:
    CLIPBOARD_RETRY_DELAY = 50,   // ms between the tries, five seconds in all
};

// Wine exports this from kernel32: the Windows name of a Unix path, in a heap
// block of the process heap, or null. Windows has no such export.
typedef WCHAR*(CDECL* DosFileNameFn)(const char* unixPath);

static DosFileNameFn WineDosFileName()
{
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    if (!kernel)
        return nullptr;
    return reinterpret_cast<DosFileNameFn>(reinterpret_cast<void*>(GetProcAddress(kernel, "wine_get_dos_file_name")));
}

static WCHAR* CopyWide(const WCHAR* s)
{
    size_t size = (wcslen(s) + 1) * sizeof(WCHAR);
    WCHAR* copy = static_cast<WCHAR*>(malloc(size));
    if (copy)
        memcpy(copy, s, size);
    return copy;
}

// The Windows name of a Unix path under Wine, as a heap string; null when it
// cannot be mapped. Unix names are UTF-8 on the Wine side.
static WCHAR* MapUnixPath(DosFileNameFn dosName, const WCHAR* arg)
{
    int size = WideCharToMultiByte(CP_UTF8, 0, arg, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 0)
        return nullptr;
    char* unixPath = static_cast<char*>(malloc(static_cast<size_t>(size)));
    if (!unixPath)
        return nullptr;
    WideCharToMultiByte(CP_UTF8, 0, arg, -1, unixPath, size, nullptr, nullptr);
    WCHAR* mapped = dosName(unixPath);
    free(unixPath);
    if (!mapped)
        return nullptr;
    WCHAR* copy = CopyWide(mapped);
    HeapFree(GetProcessHeap(), 0, mapped);
    return copy;
}

// Under Wine a name beginning with "/" is a Unix path, and Wine's shell
// faults on such a name instead of refusing it: it is mapped first, and
// skipped when it cannot be. Elsewhere the argument goes to the shell as it is.
static WCHAR* ShellNameOf(const WCHAR* arg)
{
    DosFileNameFn dosName = WineDosFileName();
    if (dosName && arg[0] == L'/')
        return MapUnixPath(dosName, arg);
    return CopyWide(arg);
}

// Long paths need the "\\?\" form for the file functions on Windows.
static bool ExistsW(const WCHAR* path)
{
    size_t length = wcslen(path);
    if (length < MAX_PATH)
        return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
    bool unc = path[0] == L'\\' && path[1] == L'\\';
    const WCHAR* prefix = unc ? L"\\\\?\\UNC" : L"\\\\?\\";
    const WCHAR* rest = unc ? path + 1 : path;
    size_t prefixLength = wcslen(prefix);
    size_t restLength = wcslen(rest);
    WCHAR* longForm = static_cast<WCHAR*>(malloc((prefixLength + restLength + 1) * sizeof(WCHAR)));
    if (!longForm)
        return false;
    memcpy(longForm, prefix, prefixLength * sizeof(WCHAR));
    memcpy(longForm + prefixLength, rest, (restLength + 1) * sizeof(WCHAR));
    bool exists = GetFileAttributesW(longForm) != INVALID_FILE_ATTRIBUTES;
    free(longForm);
    return exists;
}

// The shell's answer: only existing file-system objects count, not the
// "::{...}" names some shells give for other things.
static WCHAR* ParseWithShell(const WCHAR* name)
{
    IShellFolder* desktop = nullptr;
    if (FAILED(SHGetDesktopFolder(&desktop)))
        return nullptr;
    WCHAR* result = nullptr;
    LPITEMIDLIST idList = nullptr;
    if (SUCCEEDED(desktop->ParseDisplayName(nullptr, nullptr, const_cast<WCHAR*>(name), nullptr, &idList, nullptr))) {
        WCHAR* path = static_cast<WCHAR*>(malloc(LONG_PATH_CHARS * sizeof(WCHAR)));
        if (path && SHGetPathFromIDListEx(idList, path, LONG_PATH_CHARS, GPFIDL_DEFAULT) && path[0] && ExistsW(path))
            result = CopyWide(path);
        free(path);
        // The shell's own release of its list: the same task allocator, but
        // no import of COM's library, which a resident start never needs.
        ILFree(idList);
    }
    desktop->Release();
    return result;
}

static bool IsAbsoluteFileSystemPath(const WCHAR* name)
{
    bool drive = ((name[0] >= L'A' && name[0] <= L'Z') || (name[0] >= L'a' && name[0] <= L'z')) && name[1] == L':' &&
                 (name[2] == L'\\' || name[2] == L'/');
    bool unc = name[0] == L'\\' && name[1] == L'\\' && name[2] && name[2] != L'?' && name[2] != L'.';
    return drive || unc;
}

// A path longer than the shell takes (260 characters) that names an existing
// file is taken as it is, made full: the shell refuses it for its length,
// not because it names nothing.
static WCHAR* FullPathOfExisting(const WCHAR* name)
{
    if (!IsAbsoluteFileSystemPath(name))
        return nullptr;
    DWORD need = GetFullPathNameW(name, 0, nullptr, nullptr);
    if (need == 0)
        return nullptr;
    WCHAR* full = static_cast<WCHAR*>(malloc(need * sizeof(WCHAR)));
    if (!full)
        return nullptr;
    DWORD got = GetFullPathNameW(name, need, full, nullptr);
    if (got == 0 || got >= need || !ExistsW(full)) {
        free(full);
        return nullptr;
    }
    return full;
}

WCHAR* ResolveShellPath(const WCHAR* arg)
{
    WCHAR* name = ShellNameOf(arg);
    if (!name)
        return nullptr;
    WCHAR* path = name[0] ? ParseWithShell(name) : nullptr;
    if (!path)
        path = FullPathOfExisting(name);
    free(name);
    return path;
}

// Each resolved path as one piece "%s\"%s\"": a blank before every piece but
// the first, so the text is one line without a line end.
WCHAR* CopyArgumentPaths(int argc, WCHAR** argv)
{
    size_t used = 0;
    WCHAR* text = nullptr;
    for (int i = 1; i < argc; i++) {
        WCHAR* path = ResolveShellPath(argv[i]);
        if (!path)
            continue;
        size_t length = wcslen(path);
        WCHAR* longer = static_cast<WCHAR*>(realloc(text, (used + length + 4) * sizeof(WCHAR)));
        if (!longer) {
            free(path);
            continue;
        }
        text = longer;
        if (used)
            text[used++] = L' ';
        text[used++] = L'"';
        memcpy(text + used, path, length * sizeof(WCHAR));
        used += length;
        text[used++] = L'"';
        text[used] = 0;
        free(path);
    }
    return text;
}

// ---------------------------------------------------------------- clipboard

static_assert(sizeof(WCHAR) == sizeof(char16_t), "the paths are UTF-16");

// SetClipboardData fails after EmptyClipboard when the clipboard has no
// owner window, so the mode makes one of its own (message-only, never
// shown). The paths go as every text of Tamarin goes: CF_UNICODETEXT, their
// code page 932 form as CF_TEXT and a Japanese CF_LOCALE. Programs that look
// at every clipboard change (clipboard history, remote desktop, other
// managers) hold the clipboard open for a moment after each: the placing is
// tried again meanwhile.
static bool PlaceText(const WCHAR* text)
{
    char* stored = nullptr;
    char* original = nullptr;
    if (!ClipText_FromClipboard(reinterpret_cast<const char16_t*>(text), wcslen(text), nullptr, 0, false, &stored,
                                &original))
        return false;
    HWND owner = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr),
                                 nullptr);
    bool placed = false;
    for (int attempt = 0; owner && attempt < CLIPBOARD_OPEN_TRIES && !placed; attempt++) {
        placed = Clip_SetTextWithOriginal(owner, stored, original);
        if (!placed)
            Sleep(CLIPBOARD_RETRY_DELAY);
    }
    if (owner)
        DestroyWindow(owner);
    free(stored);
    free(original);
    return placed;
}

// The shell's display-name parsing needs COM on the calling thread.
int RunCommandLineMode()
{
    int argc = 0;
    WCHAR** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv)
        return 0;
    ShellCom_Ensure();
    WCHAR* text = CopyArgumentPaths(argc, argv);
    ShellCom_Leave();
    LocalFree(argv);
    bool placed = text && PlaceText(text);
    free(text);
    return placed ? 1 : 0;
}
