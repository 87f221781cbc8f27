// Labels of the text-list popup: one line, ampersands doubled, cut to size.
#pragma once

#include <stddef.h>

int MakeMenuLabel(char* dst, const char* text, int labelSize);
// The label of a text's UTF-8 original: the same rules, each character as wide
// as its code-page-932 form and cut between grapheme clusters (labelcut.h).
// dst holds dstSize UTF-16 units; 2 * labelSize always suffices.
size_t MenuLabel_MakeW(char16_t* dst, size_t dstSize, const char* original, int labelSize);
