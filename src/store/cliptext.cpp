// Stored texts. Every item of the clip store's lists is one heap block:
//
//     code-page-932 bytes, 0x00, UTF-8 original, 0x00
//
// with an empty original when there is none. Everything that reads a list
// item as a string sees the code-page-932 text, as before; the original lives
// and dies with it, so a text can never end up with another's original. An
// empty original means none because an empty text always survives code page
// 932.
#include "store/cliptext.h"

#include <stdlib.h>
#include <string.h>

#include "text/cp932.h"

char* ClipText_New(const char* text, size_t length, const char* original, size_t originalLength)
{
    if (!original)
        originalLength = 0;
    char* block = static_cast<char*>(malloc(length + originalLength + 2));
    if (!block)
        return nullptr;
    memcpy(block, text, length);
    block[length] = 0;
    if (originalLength)
        memcpy(block + length + 1, original, originalLength);
    block[length + 1 + originalLength] = 0;
    return block;
}

const char* ClipText_Original(const char* stored)
{
    const char* original = stored + strlen(stored) + 1;
    return *original ? original : nullptr;
}

bool ClipText_NeedsOriginal(const char* original)
{
    return original && *original && !Cp932_FitsUtf8(original, strlen(original));
}

bool ClipText_Equals(const char* stored, const char* text, const char* original)
{
    if (strcmp(stored, text) != 0)
        return false;
    const char* own = ClipText_Original(stored);
    if (!own || !original || !*original)
        return !own && (!original || !*original);
    return strcmp(own, original) == 0;
}
