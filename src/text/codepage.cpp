// Texts about the ANSI code page. Tamarin's stored texts, INI keys and
// messages are code page 932 bytes; on a system with another ANSI code page
// the ANSI functions misread them, which the user is told once at start-up
// and in the about box.
#include "text/codepage.h"

#include <stdio.h>

#include "text/text.h"

// コードページが932ではありません
const char CODEPAGE_NOTICE_TITLE[] =
    "\x83\x52\x81\x5b\x83\x68\x83\x79\x81\x5b\x83\x57\x82\xaa" "932\x82\xc5\x82\xcd\x82\xa0\x82\xe8\x82\xdc\x82\xb9"
    "\x82\xf1";

namespace {

// ANSIコードページが932ではなく%uです。日本語の文字やファイル名が正しく扱われないことがあります。
const char NOTICE_FORMAT[] =
    "ANSI\x83\x52\x81\x5b\x83\x68\x83\x79\x81\x5b\x83\x57\x82\xaa" "932\x82\xc5\x82\xcd\x82\xc8\x82\xad%u\x82\xc5"
    "\x82\xb7\x81\x42\x93\xfa\x96\x7b\x8c\xea\x82\xcc\x95\xb6\x8e\x9a\x82\xe2\x83\x74\x83\x40\x83\x43\x83\x8b\x96"
    "\xbc\x82\xaa\x90\xb3\x82\xb5\x82\xad\x88\xb5\x82\xed\x82\xea\x82\xc8\x82\xa2\x82\xb1\x82\xc6\x82\xaa\x82\xa0"
    "\x82\xe8\x82\xdc\x82\xb7\x81\x42\n"
    "(Tamarin expects the ANSI code page 932, Japanese; this system uses %u.)";
// コードページが932ではありません（%u）
const char ABOUT_LINE_FORMAT[] =
    "\x83\x52\x81\x5b\x83\x68\x83\x79\x81\x5b\x83\x57\x82\xaa" "932\x82\xc5\x82\xcd\x82\xa0\x82\xe8\x82\xdc\x82\xb9"
    "\x82\xf1\x81\x69%u\x81\x6a";

enum { WHOLE_TEXT_SIZE = 512 };

}  // namespace

bool CodePage_IsProgramOwn(unsigned codePage)
{
    return codePage == PROGRAM_CODE_PAGE;
}

// Formatted whole first, then cut where no character is split.
void CodePage_FormatNotice(char* out, size_t size, unsigned codePage)
{
    char whole[WHOLE_TEXT_SIZE];
    if (snprintf(whole, sizeof whole, NOTICE_FORMAT, codePage, codePage) < 0)
        whole[0] = 0;
    StrCopyN(out, size, whole);
}

void CodePage_FormatAboutLine(char* out, size_t size, unsigned codePage)
{
    char whole[WHOLE_TEXT_SIZE];
    if (snprintf(whole, sizeof whole, ABOUT_LINE_FORMAT, codePage) < 0)
        whole[0] = 0;
    StrCopyN(out, size, whole);
}
