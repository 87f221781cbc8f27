// Fuzz target for the search's matching: any bytes as a text and a query.
// The folded text must be as long as announced and never longer than its
// buffer, and every answer of the matching must equal that of a plain
// reference that walks the text character by character from its start.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "text/text.h"
#include "text/textmatch.h"

static char* CopyString(const uint8_t* data, size_t size)
{
    char* s = static_cast<char*>(malloc(size + 1));
    memcpy(s, data, size);
    s[size] = 0;
    return s;
}

static size_t CharLength(const char* s, size_t pos, size_t length)
{
    if (pos + 1 < length && Text_IsMbcsLeadByte(static_cast<unsigned char>(s[pos])) &&
        Text_IsMbcsTrailByte(static_cast<unsigned char>(s[pos + 1])))
        return 2;
    return 1;
}

// The word as a run of whole characters of the text, found the slow way.
static bool ReferenceContains(const char* text, size_t length, const char* word, size_t wordLength)
{
    if (wordLength == 0)
        return true;
    for (size_t start = 0; start + wordLength <= length; start += CharLength(text, start, length)) {
        if (memcmp(text + start, word, wordLength) != 0)
            continue;
        size_t end = start;
        while (end < start + wordLength)
            end += CharLength(text, end, length);
        if (end == start + wordLength)
            return true;
    }
    return false;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    size_t split = data[0] % size;
    size_t cut = data[1];
    char* text = CopyString(data + 2, split > size - 2 ? size - 2 : split);
    char* query = CopyString(data + 2 + strlen(text), size - 2 - strlen(text));

    size_t length = TextMatch_FoldedLength(text);
    char* folded = static_cast<char*>(malloc(length + 1));
    if (TextMatch_Fold(folded, length + 1, text) != length || strlen(folded) != length)
        abort();
    // No ASCII capital is left, nor a half-width katakana.
    for (size_t i = 0; i < length; i += CharLength(folded, i, length)) {
        unsigned char c = static_cast<unsigned char>(folded[i]);
        if (CharLength(folded, i, length) == 1 && ((c >= 'A' && c <= 'Z') || (c >= 0xA1 && c <= 0xDF)))
            abort();
    }
    // A smaller buffer gets a beginning of the same folded text.
    size_t small = cut % (length + 2);
    char* part = static_cast<char*>(malloc(small ? small : 1));
    size_t written = TextMatch_Fold(part, small, text);
    if (small > 0 && (written >= small || memcmp(part, folded, written) != 0))
        abort();

    TextQuery* q = static_cast<TextQuery*>(malloc(sizeof(TextQuery)));
    TextMatch_ParseQuery(q, query);
    bool all = true;
    for (int i = 0; i < q->wordCount; i++) {
        if (q->lengths[i] == 0 || strlen(q->words[i]) != q->lengths[i])
            abort();
        bool found = TextMatch_Contains(folded, length, q->words[i], q->lengths[i]);
        if (found != ReferenceContains(folded, length, q->words[i], q->lengths[i]))
            abort();
        all = all && found;
    }
    if (TextMatch_MatchesAll(folded, length, q) != all)
        abort();
    // Every piece of the folded text is found in it, from any character start.
    for (size_t start = 0; start < length; start += CharLength(folded, start, length)) {
        size_t wordLength = (cut % 300) + 1;
        if (start + wordLength > length)
            wordLength = length - start;
        if (TextMatch_Contains(folded, length, folded + start, wordLength) !=
            ReferenceContains(folded, length, folded + start, wordLength))
            abort();
    }

    // A query that narrows another never matches a text the other misses.
    size_t prefix = strlen(query) ? cut % (strlen(query) + 1) : 0;
    char* before = CopyString(reinterpret_cast<const uint8_t*>(query), prefix);
    if (TextMatch_Narrows(before, query)) {
        TextQuery* b = static_cast<TextQuery*>(malloc(sizeof(TextQuery)));
        TextMatch_ParseQuery(b, before);
        if (all && !TextMatch_MatchesAll(folded, length, b))
            abort();
        free(b);
    }
    free(before);

    free(q);
    free(part);
    free(folded);
    free(query);
    free(text);
    return 0;
}
