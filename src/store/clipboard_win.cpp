// Clipboard access: the program's only contact with the Windows clipboard.
#include "store/clipboard.h"

#include <stdlib.h>
#include <string.h>

#include "text/text.h"

// A CF_TEXT block that holds no NUL gets one added past its end, so the copy
// can always be read as a string. Nothing beyond size bytes is read.
void* Clip_CopyBlock(const void* block, size_t size, bool isText, size_t* copySize)
{
    void* copy = MemDup(block, size);
    if (!copy)
        return nullptr;
    *copySize = size;
    if (isText && !memchr(copy, 0, size)) {
        char* longer = static_cast<char*>(realloc(copy, size + 1));
        if (!longer) {
            free(copy);
            return nullptr;
        }
        longer[size] = 0;
        *copySize = size + 1;
        copy = longer;
    }
    return copy;
}

void* Clip_CopyOpenData(UINT format, size_t* size, bool* failed)
{
    *size = 0;
    *failed = false;
    if (!IsClipboardFormatAvailable(format))
        return nullptr;
    *failed = true;
    HANDLE handle = GetClipboardData(format);
    SIZE_T blockSize = handle ? GlobalSize(handle) : 0;
    if (blockSize == 0)
        return nullptr;
    const void* block = GlobalLock(handle);
    if (!block)
        return nullptr;
    size_t copySize = 0;
    void* copy = Clip_CopyBlock(block, blockSize, format == CF_TEXT, &copySize);
    GlobalUnlock(handle);
    if (!copy)
        return nullptr;
    *failed = false;
    *size = copySize;
    return copy;
}

void* Clip_GetDataEx(HWND owner, UINT format, size_t* size)
{
    size_t copySize = 0;
    void* copy = nullptr;
    if (OpenClipboard(owner)) {
        bool failed = false;
        copy = Clip_CopyOpenData(format, &copySize, &failed);
        CloseClipboard();
    }
    if (size)
        *size = copy ? copySize : 0;
    return copy;
}

void* Clip_GetData(HWND owner, UINT format)
{
    return Clip_GetDataEx(owner, format, nullptr);
}

// Once SetClipboardData has taken the block it belongs to the clipboard;
// on every other way out the block is still ours to free.
bool Clip_SetText(HWND owner, const char* text)
{
    size_t size = strlen(text) + 1;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, size);
    if (!block)
        return false;
    char* data = static_cast<char*>(GlobalLock(block));
    if (!data) {
        GlobalFree(block);
        return false;
    }
    StrCopyN(data, size, text);
    GlobalUnlock(block);
    if (!OpenClipboard(owner)) {
        GlobalFree(block);
        return false;
    }
    EmptyClipboard();
    bool placed = SetClipboardData(CF_TEXT, block) != nullptr;
    CloseClipboard();
    if (!placed)
        GlobalFree(block);
    return placed;
}

bool Clip_Empty(HWND owner)
{
    if (!OpenClipboard(owner))
        return false;
    EmptyClipboard();
    CloseClipboard();
    return true;
}

static UINT HistoryMarkerFormat()
{
    // Registered once: this runs on every clipboard change.
    static const UINT history = RegisterClipboardFormatA("CanIncludeInClipboardHistory");
    return history;
}

static bool HasRefusalMarker()
{
    static const UINT exclude = RegisterClipboardFormatA("ExcludeClipboardContentFromMonitorProcessing");
    static const UINT ignore = RegisterClipboardFormatA("Clipboard Viewer Ignore");
    const UINT markers[] = {exclude, ignore};
    for (UINT format : markers) {
        if (format && IsClipboardFormatAvailable(format))
            return true;
    }
    return false;
}

// "CanIncludeInClipboardHistory" holding a DWORD 0 is a refusal; a value that
// is present but cannot be read counts as one too, so a secret is never
// recorded by mistake.
static bool RefusesHistory(const unsigned char* value, size_t size)
{
    DWORD allowed = 0;
    if (!value || size < sizeof allowed)
        return true;
    memcpy(&allowed, value, sizeof allowed);
    return allowed == 0;
}

// Password managers and other programs mark secrets with these formats so
// that clipboard monitors leave them alone.
bool Clip_IsConfidential(HWND owner)
{
    if (HasRefusalMarker())
        return true;
    UINT history = HistoryMarkerFormat();
    if (!history || !IsClipboardFormatAvailable(history))
        return false;
    size_t size = 0;
    unsigned char* value = static_cast<unsigned char*>(Clip_GetDataEx(owner, history, &size));
    bool refused = RefusesHistory(value, size);
    free(value);
    return refused;
}

bool Clip_IsConfidentialOpen()
{
    if (HasRefusalMarker())
        return true;
    UINT history = HistoryMarkerFormat();
    if (!history || !IsClipboardFormatAvailable(history))
        return false;
    size_t size = 0;
    bool failed = false;
    unsigned char* value = static_cast<unsigned char*>(Clip_CopyOpenData(history, &size, &failed));
    bool refused = RefusesHistory(value, size);
    free(value);
    return refused;
}
