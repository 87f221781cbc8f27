// Code page 932 texts shown through the wide-character functions, so that
// they read right whatever the system's ANSI code page.
#include "text/codepage.h"

#include <windows.h>

#include <string.h>
#include <wchar.h>

#include "text/text.h"

enum { WIDE_TEXT_SIZE = 1024 };

// The text is cut in bytes first (never through a character), so that the
// whole of what is left converts: MultiByteToWideChar converts nothing when
// the result does not fit.
size_t CodePage_ToWide(wchar_t* out, size_t count, const char* text)
{
    if (count == 0)
        return 0;
    char cut[WIDE_TEXT_SIZE];
    StrCopyN(cut, sizeof cut, text ? text : "");
    wchar_t whole[WIDE_TEXT_SIZE];
    if (MultiByteToWideChar(PROGRAM_CODE_PAGE, 0, cut, -1, whole, WIDE_TEXT_SIZE) == 0 &&
        MultiByteToWideChar(CP_ACP, 0, cut, -1, whole, WIDE_TEXT_SIZE) == 0)
        whole[0] = 0;
    size_t length = wcslen(whole);
    if (length > count - 1)
        length = count - 1;
    memcpy(out, whole, length * sizeof(wchar_t));
    out[length] = 0;
    return length;
}

unsigned CodePage_System()
{
    return GetACP();
}
