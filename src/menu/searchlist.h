// The entries of the search window: copies of the registered texts and the
// history in the order of the text-list popup, each with its popup id and its
// folded form, and the filter that keeps the entries holding every word typed.
#pragma once

#include <stddef.h>

struct AppData;
struct TextQuery;

enum { SEARCH_LABEL_SIZE = 260 };  // one line of the list, NUL included

struct SearchEntry {
    int id;               // popup id: 8192 + registered index or 4096 + history index
    size_t text;          // offset of the text in SearchList::texts
    size_t length;        // its bytes, without the NUL
    size_t folded;        // offset of its folded form in SearchList::foldedTexts
    size_t foldedLength;
};

// The popup's order: registered texts above or below the history, the
// history newest or oldest first, and no more entries than the popup shows.
struct SearchOrder {
    int historyMax;
    bool registeredFirst;
    bool newestFirst;
};

struct SearchList {
    SearchEntry* entries;
    int count;
    int upperCount;     // entries of the upper section; the lower one follows
    char* texts;        // every text NUL-ended, each followed by its original (empty: none) and a NUL
    char* foldedTexts;  // likewise their folded forms
    int* shown;         // indexes of the entries that pass the filter, in order
    int shownCount;
};

// Copies the texts the popup would show now; every entry is shown until the
// first filter. Null when memory runs out. The caller frees the list with
// SearchList_Free; it holds no pointer into the clip store.
SearchList* SearchList_Build(const AppData* data, const SearchOrder* order);
void SearchList_Free(SearchList* list);

// Keeps the entries that hold every word of the query; gives their number.
int SearchList_Filter(SearchList* list, const TextQuery* query);
// The same looking only among the entries shown now: for a query that
// narrows the one they were filtered by (TextMatch_Narrows).
int SearchList_Refine(SearchList* list, const TextQuery* query);

// The entry's text; its original (ClipText_Original) follows its NUL.
const char* SearchList_Text(const SearchList* list, int entry);
// Whether the entry stands in the upper section (the divider between the two
// sections is drawn below the last shown entry of the upper one).
bool SearchList_IsUpper(const SearchList* list, int entry);

// The popup id the entry's text has in the clip store now: its own id while
// the store still holds the same text there, else the id of the place the
// text has moved to in the same list, or 0 when the popup would not show it
// any more.
int SearchList_CurrentId(const SearchList* list, int entry, const AppData* data, int historyMax);

// One line for the list: each run of control bytes (line breaks, tabs)
// becomes one blank; cut to size bytes (NUL included) without splitting a
// double-byte character.
void SearchList_MakeLabel(char* label, size_t size, const char* text);

// The same line for a text's UTF-8 original, as UTF-16 in label (units,
// NUL included): the width of each character counted as labelcut.h counts
// it, cut to size - 1 between grapheme clusters.
void SearchList_MakeLabelW(char16_t* label, size_t units, const char* original, size_t size);
