// The clipboard's CF_UNICODETEXT as a Unicode program reads it, up to its
// first NUL or the end of its block: for the tests and the helper programs.
#pragma once

#include <windows.h>

// String holds 16-bit units (std::wstring, std::u16string). false when the
// clipboard cannot be opened or holds no Unicode text.
template <typename String>
bool ReadClipboardUnicode(String* text)
{
    typedef typename String::value_type Unit;
    static_assert(sizeof(Unit) == sizeof(WCHAR), "the clipboard's Unicode text is UTF-16");
    if (!OpenClipboard(nullptr))
        return false;
    bool ok = false;
    HANDLE h = GetClipboardData(CF_UNICODETEXT);
    const Unit* p = h ? static_cast<const Unit*>(GlobalLock(h)) : nullptr;
    if (p) {
        size_t units = GlobalSize(h) / sizeof(Unit);
        size_t n = 0;
        while (n < units && p[n])
            n++;
        text->assign(p, n);
        GlobalUnlock(h);
        ok = true;
    }
    CloseClipboard();
    return ok;
}
