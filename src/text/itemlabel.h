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
