// Clipboard access: the program's only contact with the Windows clipboard.
#include "store/clipboard.h"

#include <stdlib.h>
#include <string.h>

#include "store/cliptext.h"
#include "text/cp932.h"
#include "text/text.h"
#include "text/utf.h"

static_assert(sizeof(WCHAR) == sizeof(char16_t), "CF_UNICODETEXT is UTF-16");

enum { LOCALE_JAPANESE = 0x0411 };

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

// The formats come in the order they were placed, each followed by the ones
// the system makes from it: whichever of the two texts comes first is the
// one the source placed.
static bool IsAnsiTextFirst()
{
    UINT format = 0;
    while ((format = EnumClipboardFormats(format)) != 0) {
        if (format == CF_TEXT)
            return true;
        if (format == CF_UNICODETEXT)
            return false;
    }
    return false;
}

bool Clip_CopyOpenText(char** text, char** original, bool* failed)
{
    *text = nullptr;
    *original = nullptr;
    bool ansiFirst = IsAnsiTextFirst();
    size_t unicodeSize = 0, ansiSize = 0;
    bool unicodeFailed = false, ansiFailed = false;
    void* unicode = Clip_CopyOpenData(CF_UNICODETEXT, &unicodeSize, &unicodeFailed);
    void* ansi = Clip_CopyOpenData(CF_TEXT, &ansiSize, &ansiFailed);
    bool got = (unicode || ansi) &&
               ClipText_FromClipboard(static_cast<const char16_t*>(unicode), unicodeSize / sizeof(char16_t),
                                      static_cast<const char*>(ansi), ansiSize, ansiFirst, text, original);
    // A text offered in some form that could not be had (not rendered, no
    // memory) is a failed read, never a change without text.
    *failed = !got && (unicodeFailed || ansiFailed || unicode || ansi);
    free(unicode);
    free(ansi);
    return got;
}

// Both texts are read in one opening, so they belong to the same change.
bool Clip_GetText(HWND owner, char** text, char** original)
{
    *text = nullptr;
    *original = nullptr;
    if (!OpenClipboard(owner))
        return false;
    bool failed = false;
    bool got = Clip_CopyOpenText(text, original, &failed);
    CloseClipboard();
    return got;
}

static HGLOBAL BlockOf(const void* bytes, size_t size)
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, size);
    if (!block)
        return nullptr;
    void* data = GlobalLock(block);
    if (!data) {
        GlobalFree(block);
        return nullptr;
    }
    memcpy(data, bytes, size);
    GlobalUnlock(block);
    return block;
}

// The UTF-16 form placed beside a text: its original, or the text itself read
// in code page 932. A heap copy ending in NUL; units counts the NUL too.
static char16_t* UnicodeFormOf(const char* text, const char* original, size_t* units)
{
    size_t length = 0;
    char16_t* unicode = original ? Utf_DupUtf8ToUtf16(original, strlen(original), &length)
                                 : Cp932_DupToUtf16(text, strlen(text), &length);
    *units = length + 1;
    return unicode;
}

// Once SetClipboardData has taken a block it belongs to the clipboard; on
// every other way out the block is still ours to free. CF_UNICODETEXT goes
// first: it is the most exact form, and readers take the first they know.
bool Clip_SetTextWithOriginal(HWND owner, const char* text, const char* original)
{
    size_t units = 0;
    char16_t* unicode = UnicodeFormOf(text, original, &units);
    if (!unicode)
        return false;
    const LCID locale = LOCALE_JAPANESE;
    HGLOBAL blocks[3] = {BlockOf(unicode, units * sizeof(char16_t)), BlockOf(text, strlen(text) + 1),
                         BlockOf(&locale, sizeof locale)};
    free(unicode);
    const UINT formats[3] = {CF_UNICODETEXT, CF_TEXT, CF_LOCALE};
    bool placed = false;
    if (blocks[0] && blocks[1] && blocks[2] && OpenClipboard(owner)) {
        EmptyClipboard();
        placed = true;
        for (int i = 0; i < 3; i++) {
            if (SetClipboardData(formats[i], blocks[i]))
                blocks[i] = nullptr;
            else
                placed = false;
        }
        CloseClipboard();
    }
    for (HGLOBAL block : blocks) {
        if (block)
            GlobalFree(block);
    }
    return placed;
}

bool Clip_SetText(HWND owner, const char* text)
{
    return Clip_SetTextWithOriginal(owner, text, nullptr);
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
