// One-line labels and tips cut from the Unicode original of a text, with
// the sizes that code-page-932 labels have.
#pragma once

#include <stddef.h>
#include <stdint.h>

enum {
    LABELCUT_DROP_CONTROLS = 1,      // drop U+0001-U+001F and U+007F (line breaks, tabs)
    LABELCUT_DOUBLE_AMPERSANDS = 2,  // "&" as "&&", so a menu shows it literally
};

// Copies the UTF-8 text into dst (dstSize UTF-16 units with the NUL) as whole
// grapheme clusters, while their width stays within budget and their units
// fit; stops at the first cluster that does not. Answers the units written.
size_t LabelCut_Utf8(char16_t* dst, size_t dstSize, const char* text, size_t length, size_t budget, unsigned flags);
// The width LabelCut_Utf8 counts for one code point.
size_t LabelCut_Width(uint32_t cp);
