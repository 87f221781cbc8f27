// Dialog templates built in memory for the Win32 tests, so that a test can
// run a real dialog without a resource of its own.
#pragma once

#include <windows.h>

#include <stddef.h>

enum {
    MEMDIALOG_BUTTON = 0x0080,
    MEMDIALOG_EDIT = 0x0081,
    MEMDIALOG_STATIC = 0x0082,
    MEMDIALOG_LISTBOX = 0x0083,
    MEMDIALOG_WORDS = 2048,
};

// words holds the template; DLGTEMPLATE and every DLGITEMTEMPLATE start on a
// DWORD boundary.
struct MemDialog {
    alignas(4) WORD words[MEMDIALOG_WORDS];
    size_t used;
};

inline void MemDialog_Word(MemDialog* d, WORD w)
{
    if (d->used < MEMDIALOG_WORDS)
        d->words[d->used++] = w;
}

inline void MemDialog_Dword(MemDialog* d, DWORD v)
{
    MemDialog_Word(d, LOWORD(v));
    MemDialog_Word(d, HIWORD(v));
}

// ASCII text only, widened to UTF-16.
inline void MemDialog_String(MemDialog* d, const char* text)
{
    for (const char* p = text; *p; p++)
        MemDialog_Word(d, static_cast<WORD>(static_cast<unsigned char>(*p)));
    MemDialog_Word(d, 0);
}

inline void MemDialog_Align(MemDialog* d)
{
    if (d->used % 2)
        MemDialog_Word(d, 0);
}

// Dialog units; no DS_SETFONT, so the dialog uses the system font.
inline void MemDialog_Begin(MemDialog* d, DWORD style, short x, short y, short cx, short cy, const char* title)
{
    d->used = 0;
    MemDialog_Dword(d, style);
    MemDialog_Dword(d, 0);  // extended style
    MemDialog_Word(d, 0);   // number of items, counted by MemDialog_Item
    MemDialog_Word(d, static_cast<WORD>(x));
    MemDialog_Word(d, static_cast<WORD>(y));
    MemDialog_Word(d, static_cast<WORD>(cx));
    MemDialog_Word(d, static_cast<WORD>(cy));
    MemDialog_Word(d, 0);  // no menu
    MemDialog_Word(d, 0);  // the dialog class
    MemDialog_String(d, title);
}

inline void MemDialog_Item(MemDialog* d, DWORD style, short x, short y, short cx, short cy, WORD id, WORD atom,
                           const char* text)
{
    MemDialog_Align(d);
    MemDialog_Dword(d, style | WS_CHILD | WS_VISIBLE);
    MemDialog_Dword(d, 0);
    MemDialog_Word(d, static_cast<WORD>(x));
    MemDialog_Word(d, static_cast<WORD>(y));
    MemDialog_Word(d, static_cast<WORD>(cx));
    MemDialog_Word(d, static_cast<WORD>(cy));
    MemDialog_Word(d, id);
    MemDialog_Word(d, 0xFFFF);
    MemDialog_Word(d, atom);
    MemDialog_String(d, text);
    MemDialog_Word(d, 0);  // no creation data
    d->words[4]++;
}

inline LPCDLGTEMPLATEA MemDialog_Template(const MemDialog* d)
{
    return reinterpret_cast<LPCDLGTEMPLATEA>(d->words);
}
