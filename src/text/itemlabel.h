// One-line labels of texts for the registered-text list and the tray tip.
#pragma once

#include <stddef.h>

enum {
    ITEM_LABEL_LIMIT = 257,  // registered-text list items
    TRAY_TIP_LIMIT = 64,     // szTip of the first NOTIFYICONDATA version
};

// Copies text into label (at least limit bytes) without control characters,
// cut to limit - 1 bytes, or limit - 2 where a double-byte character would be split.
char* MakeItemLabel(char* label, const char* text, size_t limit);
// The label of a text's UTF-8 original: control characters dropped, each
// character as wide as its code-page-932 form, cut to limit - 1 between
// grapheme clusters (labelcut.h). label holds labelSize UTF-16 units.
char16_t* ItemLabel_MakeW(char16_t* label, size_t labelSize, const char* original, size_t limit);
