// Stored texts. Every item of the clip store's lists is one heap block:
//
//     code-page-932 bytes, 0x00, UTF-8 original, 0x00 [, two hashes]
//
// with an empty original when there is none. After an original follow the
// 64-bit hashes (Originals_Hash) of the text and of the original, 8 bytes
// each as the machine stores them: made once with the text, they spare every
// save of the side file hashing the originals anew. Everything that reads a list
// item as a string sees the code-page-932 text, as before; the original lives
// and dies with it, so a text can never end up with another's original. An
// empty original means none because an empty text always survives code page
// 932.
#include "store/cliptext.h"

#include <stdint.h>

#include <stdlib.h>
#include <string.h>

#include "store/originals.h"
#include "text/cp932.h"
#include "text/text.h"
#include "text/utf.h"

enum { HASHES_SIZE = 2 * sizeof(uint64_t) };

char* ClipText_New(const char* text, size_t length, const char* original, size_t originalLength)
{
    if (!original)
        originalLength = 0;
    size_t hashes = originalLength ? HASHES_SIZE : 0;
    // The same allocator as every other text copy (MemDup), so a test that
    // makes it fail reaches the stored texts too.
    char* block = static_cast<char*>(MemDup_AllocateMemory(length + originalLength + 2 + hashes));
    if (!block)
        return nullptr;
    memcpy(block, text, length);
    block[length] = 0;
    if (originalLength)
        memcpy(block + length + 1, original, originalLength);
    char* end = block + length + 1 + originalLength;
    *end = 0;
    if (hashes) {
        uint64_t textHash = Originals_Hash(text, length);
        uint64_t originalHash = Originals_Hash(original, originalLength);
        memcpy(end + 1, &textHash, sizeof textHash);
        memcpy(end + 1 + sizeof textHash, &originalHash, sizeof originalHash);
    }
    return block;
}

bool ClipText_Hashes(const char* stored, size_t length, uint64_t* textHash, uint64_t* originalHash)
{
    const char* original = stored + length + 1;
    if (!*original)
        return false;
    const char* hashes = original + strlen(original) + 1;
    memcpy(textHash, hashes, sizeof *textHash);
    memcpy(originalHash, hashes + sizeof *textHash, sizeof *originalHash);
    return true;
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

static size_t Utf16LengthWithin(const char16_t* s, size_t units)
{
    size_t n = 0;
    while (n < units && s[n])
        n++;
    return n;
}

static size_t LengthWithin(const char* s, size_t size)
{
    const void* nul = memchr(s, 0, size);
    return nul ? static_cast<size_t>(static_cast<const char*>(nul) - s) : size;
}

// Whether the code-page-932 bytes read as exactly the UTF-16 text.
static bool ReadsAs(const char* ansi, size_t length, const char16_t* unicode, size_t units)
{
    size_t i = 0;
    size_t u = 0;
    while (i < length) {
        size_t used;
        uint32_t cp = Cp932_DecodeChar(ansi + i, length - i, &used);
        i += used;
        if (u == units || unicode[u] != cp)
            return false;
        u++;
    }
    return u == units;
}

// Which form of a clipboard text becomes the stored one:
// - CF_TEXT when it reads as exactly the CF_UNICODETEXT, so a Japanese text
//   is stored byte for byte as the source gave it (a character with two byte
//   forms keeps the source's);
// - CF_TEXT when the source placed it first: its Unicode form was made by the
//   system, by the code page of whatever input language was active, and
//   holds nothing more;
// - otherwise the code-page-932 form of the CF_UNICODETEXT, with the
//   UTF-8 original when code page 932 loses some of its characters.
bool ClipText_FromClipboard(const char16_t* unicode, size_t units, const char* ansi, size_t size, bool ansiFirst,
                            char** text, char** original)
{
    *text = nullptr;
    *original = nullptr;
    size_t ansiLength = ansi ? LengthWithin(ansi, size) : 0;
    size_t unicodeLength = unicode ? Utf16LengthWithin(unicode, units) : 0;
    if (ansi && (!unicode || ansiFirst || ReadsAs(ansi, ansiLength, unicode, unicodeLength))) {
        char* copy = static_cast<char*>(malloc(ansiLength + 1));
        if (!copy)
            return false;
        memcpy(copy, ansi, ansiLength);
        copy[ansiLength] = 0;
        *text = copy;
        return true;
    }
    if (!unicode)
        return false;
    *text = Cp932_DupFromUtf16(unicode, unicodeLength, nullptr);
    if (!*text)
        return false;
    if (Cp932_FitsUtf16(unicode, unicodeLength))
        return true;
    *original = Utf_DupUtf16ToUtf8(unicode, unicodeLength, nullptr);
    if (!*original) {
        free(*text);
        *text = nullptr;
        return false;
    }
    return true;
}
