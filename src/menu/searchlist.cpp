// The search window's entries: the texts of the text-list popup copied in
// its order into two blocks (the texts and their folded forms), so that a
// clipboard change or a cleared history while the window is open leaves
// them intact, and filtering a keystroke reads one block from start to end.
// Each text is copied with its original after its NUL, as the clip store
// keeps it (ClipText), so that an entry names its own text and never one of
// the same code page 932 form.
#include "menu/searchlist.h"

#include <stdlib.h>
#include <string.h>

#include "store/appdata.h"
#include "store/cliptext.h"
#include "text/grapheme.h"
#include "text/labelcut.h"
#include "text/text.h"
#include "text/textmatch.h"

namespace {

// Each id range covers this many indexes; the popup shows no entry beyond it.
const int ENTRY_IDS = IDM_HISTORY_LAST - IDM_HISTORY_FIRST + 1;

int Min(int a, int b) { return a < b ? a : b; }

int ListCount(const PtrList* list) { return list ? list->count : 0; }

int ShownHistory(const AppData* data, int historyMax)
{
    int shown = Min(Min(historyMax, ListCount(data->history)), ENTRY_IDS);
    return shown < 0 ? 0 : shown;
}

int ShownRegistered(const AppData* data) { return Min(ListCount(data->registered), ENTRY_IDS); }

// The texts of the list in popup order, with their ids, before they are copied.
struct Source {
    int id;
    const char* text;
};

int AddRegistered(Source* out, const AppData* data)
{
    int shown = ShownRegistered(data);
    const PtrListNode* node = data->registered ? data->registered->head : nullptr;
    int n = 0;
    for (int i = 0; i < shown && node; i++, node = node->next)
        out[n++] = Source{IDM_REGISTERED_FIRST + i, static_cast<const char*>(node->item)};
    return n;
}

// Oldest first walks back from the last shown entry; ids follow the history
// index either way.
int AddHistory(Source* out, const AppData* data, int historyMax, bool newestFirst)
{
    int shown = ShownHistory(data, historyMax);
    if (shown <= 0)
        return 0;
    const PtrListNode* node = data->history->head;
    int n = 0;
    if (newestFirst) {
        for (int i = 0; i < shown && node; i++, node = node->next)
            out[n++] = Source{IDM_HISTORY_FIRST + i, static_cast<const char*>(node->item)};
        return n;
    }
    for (int i = 0; i < shown - 1 && node; i++)
        node = node->next;
    for (int i = shown - 1; i >= 0 && node; i--, node = node->prev)
        out[n++] = Source{IDM_HISTORY_FIRST + i, static_cast<const char*>(node->item)};
    return n;
}

// Fills the list's blocks from the sources in one pass: the folded block was
// given room for the longest folded forms (a text at most doubles), and is
// cut to what they took afterwards.
size_t OriginalLength(const char* stored)
{
    const char* original = ClipText_Original(stored);
    return original ? strlen(original) : 0;
}

void CopyTexts(SearchList* list, const Source* sources, const size_t* lengths)
{
    size_t text = 0;
    size_t folded = 0;
    for (int i = 0; i < list->count; i++) {
        SearchEntry* entry = &list->entries[i];
        const char* original = ClipText_Original(sources[i].text);
        size_t originalLength = original ? strlen(original) : 0;
        memcpy(list->texts + text, sources[i].text, lengths[i] + 1);
        if (originalLength)
            memcpy(list->texts + text + lengths[i] + 1, original, originalLength);
        list->texts[text + lengths[i] + 1 + originalLength] = 0;
        entry->id = sources[i].id;
        entry->text = text;
        entry->length = lengths[i];
        entry->folded = folded;
        entry->foldedLength = TextMatch_Fold(list->foldedTexts + folded, 2 * lengths[i] + 1, sources[i].text);
        text += lengths[i] + 1 + originalLength + 1;
        folded += entry->foldedLength + 1;
        list->shown[i] = i;
    }
    list->shownCount = list->count;
    char* trimmed = static_cast<char*>(realloc(list->foldedTexts, folded + 1));
    if (trimmed)
        list->foldedTexts = trimmed;
}

void FillLengths(size_t* lengths, const Source* sources, int count)
{
    for (int i = 0; i < count; i++)
        lengths[i] = strlen(sources[i].text);
}

bool AllocateBlocks(SearchList* list, const Source* sources, const size_t* lengths)
{
    size_t textBytes = 1;
    size_t foldBytes = 1;
    for (int i = 0; i < list->count; i++) {
        textBytes += lengths[i] + 1 + OriginalLength(sources[i].text) + 1;
        foldBytes += lengths[i] + 1;
    }
    size_t count = static_cast<size_t>(list->count) + 1;
    list->entries = static_cast<SearchEntry*>(malloc(count * sizeof(SearchEntry)));
    list->shown = static_cast<int*>(malloc(count * sizeof(int)));
    list->texts = static_cast<char*>(malloc(textBytes));
    list->foldedTexts = static_cast<char*>(malloc(2 * foldBytes));
    return list->entries && list->shown && list->texts && list->foldedTexts;
}

// The index of the stored text (a copy with its original) in the list, or -1.
int IndexOfText(const PtrList* list, const char* text)
{
    const char* original = ClipText_Original(text);
    int index = 0;
    for (const PtrListNode* node = list ? list->head : nullptr; node; node = node->next, index++) {
        if (ClipText_Equals(static_cast<const char*>(node->item), text, original))
            return index;
    }
    return -1;
}

bool IsControlByte(unsigned char c) { return c <= 0x1F || c == 0x7F; }

}  // namespace

SearchList* SearchList_Build(const AppData* data, const SearchOrder* order)
{
    if (!data || !order)
        return nullptr;
    int history = ShownHistory(data, order->historyMax);
    int registered = ShownRegistered(data);
    Source* sources = static_cast<Source*>(malloc(static_cast<size_t>(history + registered + 1) * sizeof(Source)));
    SearchList* list = static_cast<SearchList*>(calloc(1, sizeof(SearchList)));
    if (!sources || !list) {
        free(sources);
        free(list);
        return nullptr;
    }
    int n = 0;
    if (order->registeredFirst) {
        n += AddRegistered(sources + n, data);
        list->upperCount = n;
        n += AddHistory(sources + n, data, order->historyMax, order->newestFirst);
    } else {
        n += AddHistory(sources + n, data, order->historyMax, order->newestFirst);
        list->upperCount = n;
        n += AddRegistered(sources + n, data);
    }
    list->count = n;
    size_t* lengths = static_cast<size_t*>(malloc(static_cast<size_t>(n + 1) * sizeof(size_t)));
    bool ok = lengths != nullptr;
    if (ok) {
        FillLengths(lengths, sources, n);
        ok = AllocateBlocks(list, sources, lengths);
    }
    if (ok)
        CopyTexts(list, sources, lengths);
    free(lengths);
    free(sources);
    if (!ok) {
        SearchList_Free(list);
        return nullptr;
    }
    return list;
}

void SearchList_Free(SearchList* list)
{
    if (!list)
        return;
    free(list->entries);
    free(list->shown);
    free(list->texts);
    free(list->foldedTexts);
    free(list);
}

int SearchList_Filter(SearchList* list, const TextQuery* query)
{
    int shown = 0;
    for (int i = 0; i < list->count; i++) {
        const SearchEntry* entry = &list->entries[i];
        if (TextMatch_MatchesAll(list->foldedTexts + entry->folded, entry->foldedLength, query))
            list->shown[shown++] = i;
    }
    list->shownCount = shown;
    return shown;
}

int SearchList_Refine(SearchList* list, const TextQuery* query)
{
    int shown = 0;
    for (int i = 0; i < list->shownCount; i++) {
        const SearchEntry* entry = &list->entries[list->shown[i]];
        if (TextMatch_MatchesAll(list->foldedTexts + entry->folded, entry->foldedLength, query))
            list->shown[shown++] = list->shown[i];
    }
    list->shownCount = shown;
    return shown;
}

const char* SearchList_Text(const SearchList* list, int entry)
{
    if (!list || entry < 0 || entry >= list->count)
        return nullptr;
    return list->texts + list->entries[entry].text;
}

bool SearchList_IsUpper(const SearchList* list, int entry)
{
    return list && entry >= 0 && entry < list->upperCount;
}

int SearchList_CurrentId(const SearchList* list, int entry, const AppData* data, int historyMax)
{
    const char* text = SearchList_Text(list, entry);
    if (!text || !data)
        return 0;
    int id = list->entries[entry].id;
    const char* now = AppData_GetTextById(data, id);
    if (now && ClipText_Equals(now, text, ClipText_Original(text)))
        return id;
    if (IsRegisteredId(id)) {
        int index = IndexOfText(data->registered, text);
        return index >= 0 && index < ShownRegistered(data) ? IDM_REGISTERED_FIRST + index : 0;
    }
    int index = IndexOfText(data->history, text);
    return index >= 0 && index < ShownHistory(data, historyMax) ? IDM_HISTORY_FIRST + index : 0;
}

void SearchList_MakeLabel(char* label, size_t size, const char* text)
{
    if (size == 0)
        return;
    size_t used = 0;
    bool blank = false;
    for (const char* p = text; *p;) {
        unsigned char c = static_cast<unsigned char>(*p);
        if (IsControlByte(c)) {
            blank = true;
            p++;
            continue;
        }
        if (blank) {
            if (used + 2 > size)
                break;
            label[used++] = ' ';
            blank = false;
        }
        size_t n = Text_IsMbcsLeadByte(c) && Text_IsMbcsTrailByte(static_cast<unsigned char>(p[1])) ? 2 : 1;
        if (used + n + 1 > size)
            break;
        memcpy(label + used, p, n);
        used += n;
        p += n;
    }
    label[used] = 0;
}

// The runs of control characters are made blanks first, in a copy of the
// original's beginning long enough for any label (a character of width one
// takes at most 4 bytes, each blank stands for a run), and the copy is cut
// as every original is.
void SearchList_MakeLabelW(char16_t* label, size_t units, const char* original, size_t size)
{
    if (units == 0)
        return;
    label[0] = 0;
    size_t length = strlen(original);
    size_t room = 8 * size + 8;
    char* line = static_cast<char*>(malloc(room));
    if (!line)
        return;
    size_t used = 0;
    bool blank = false;
    for (size_t pos = 0; pos < length && used < room - 8;) {
        size_t end = Grapheme_NextUtf8(original, length, pos);
        size_t bytes = end - pos;
        if (bytes == 1 && IsControlByte(static_cast<unsigned char>(original[pos]))) {
            blank = true;
        } else if (bytes == 2 && original[pos] == '\r' && original[pos + 1] == '\n') {
            blank = true;
        } else {
            if (blank)
                line[used++] = ' ';
            blank = false;
            if (bytes > room - 8 - used)
                break;
            memcpy(line + used, original + pos, bytes);
            used += bytes;
        }
        pos = end;
    }
    LabelCut_Utf8(label, units, line, used, size > 0 ? size - 1 : 0, 0);
    free(line);
}
