// The ANSI code page Tamarin's texts and files are written in, and what the
// program says when the system runs another one.
#pragma once

#include <stddef.h>

enum { PROGRAM_CODE_PAGE = 932 };

bool CodePage_IsProgramOwn(unsigned codePage);

// Title of the notice: "コードページが932ではありません".
extern const char CODEPAGE_NOTICE_TITLE[];

// The notice of the start-up balloon, in Japanese and English, naming the
// system's code page; cut to size bytes without splitting a character.
void CodePage_FormatNotice(char* out, size_t size, unsigned codePage);

// The about box's line: "コードページが932ではありません（1252）".
void CodePage_FormatAboutLine(char* out, size_t size, unsigned codePage);

// Win32 half (codepage_win.cpp).

// A code page 932 text as UTF-16 in out (count characters with the NUL),
// cut where it does not fit; the system's ANSI code page stands in where
// code page 932 is not installed. Gives the number of characters written
// before the NUL.
size_t CodePage_ToWide(wchar_t* out, size_t count, const char* text);
// The system's ANSI code page (GetACP).
unsigned CodePage_System();
