// Matching of the text search: a code page 932 text and the words typed into
// the search window are both folded to one form (ASCII lower case, full-width
// letters, digits and signs as ASCII, half-width katakana as full-width,
// hiragana as katakana), and a text matches when it contains every word.
#pragma once

#include <stddef.h>

enum {
    TEXT_QUERY_INPUT_SIZE = 1024,                     // query text read, NUL included
    TEXT_QUERY_FOLDED_SIZE = 2 * TEXT_QUERY_INPUT_SIZE,  // its folded form, NUL included
    TEXT_QUERY_MAX_WORDS = 64,
};

// How far the search may move on past a text byte, for one word (its
// Horspool table, distances held to 255).
struct TextWordShifts {
    unsigned char shift[256];
};

// The words of a query, folded: each one NUL-terminated inside folded, with
// its search table.
struct TextQuery {
    char folded[TEXT_QUERY_FOLDED_SIZE];
    int wordCount;
    const char* words[TEXT_QUERY_MAX_WORDS];
    size_t lengths[TEXT_QUERY_MAX_WORDS];
    TextWordShifts shifts[TEXT_QUERY_MAX_WORDS];
};

// Bytes the folded form of text needs, without its NUL.
size_t TextMatch_FoldedLength(const char* text);
// Writes the folded form of text into out (size bytes, NUL included), never
// splitting a double-byte character; gives the bytes written without the NUL.
size_t TextMatch_Fold(char* out, size_t size, const char* text);

// Splits text into its blank-separated words (ASCII blanks, tabs, line breaks
// and the full-width space), folded. Words past TEXT_QUERY_MAX_WORDS are
// left out.
void TextMatch_ParseQuery(TextQuery* query, const char* text);

// Whether folded (length bytes, as TextMatch_Fold wrote it) holds word as a
// run of whole characters.
bool TextMatch_Contains(const char* folded, size_t length, const char* word, size_t wordLength);
// Whether folded holds every word of the query; a query without words
// matches every text.
bool TextMatch_MatchesAll(const char* folded, size_t length, const TextQuery* query);

// Whether every text that matches the query after also matches the query
// before (after only adds to its end, as typing does), so that the texts
// matching after can be looked for among those that matched before.
bool TextMatch_Narrows(const char* before, const char* after);
