// AppData: the history and the registered texts. Every text in a list is a
// heap copy owned by the store and freed exactly when it leaves its list,
// made by ClipText_New so that it carries its Unicode original, if any.
// Two texts are equal when their code-page-932 bytes and their originals are:
// clips that differ only in characters code page 932 lacks are two entries.
// The store fills itself from its files at start-up and writes them back
// through the store-file module.
#include "store/appdata.h"

#include <stdlib.h>
#include <string.h>

#include "settings/appinfo.h"
#include "settings/apppath.h"
#include "store/cliptext.h"
#include "store/historysave.h"
#include "store/storefile.h"
#include "text/text.h"
#include "text/texthash.h"

static PtrList* ListOf(const AppData* data, int list)
{
    if (list == LIST_HISTORY)
        return data->history;
    if (list == LIST_REGISTERED)
        return data->registered;
    return nullptr;
}

// A text that cannot be put on the pile is left allocated rather than freed
// under a save that may still be reading it.
static void HoldText(TextPile* pile, void* text)
{
    if (pile->count == pile->capacity) {
        size_t capacity = pile->capacity ? pile->capacity * 2 : 64;
        void** texts = static_cast<void**>(realloc(pile->texts, capacity * sizeof(void*)));
        if (!texts)
            return;
        pile->texts = texts;
        pile->capacity = capacity;
    }
    pile->texts[pile->count++] = text;
}

// Every text leaves its list through here.
static void ReleaseText(AppData* data, int list, void* text)
{
    if (list == LIST_HISTORY && data->heldHistoryTexts)
        HoldText(data->heldHistoryTexts, text);
    else
        free(text);
}

struct ListOwner {
    AppData* data;
    int list;
};

static bool FreeTextAndRemove(void* item, int, void* context)
{
    ListOwner* owner = static_cast<ListOwner*>(context);
    ReleaseText(owner->data, owner->list, item);
    return true;
}

struct TextMatch {
    const char* text;
    const char* original;  // null: the text is its own original
};

static bool IsEqualText(void* item, int, void* context)
{
    const TextMatch* match = static_cast<const TextMatch*>(context);
    return ClipText_Equals(static_cast<const char*>(item), match->text, match->original);
}

// An original that code page 932 keeps whole is not kept beside the text.
static TextMatch MatchOf(const char* text, const char* original)
{
    TextMatch match = {text, ClipText_NeedsOriginal(original) ? original : nullptr};
    return match;
}

struct ListItemMatch {
    void* item;
};

// The head keeps the moved text; only its old node goes.
static bool IsSameItemBelowHead(void* item, int index, void* context)
{
    return index > 0 && item == static_cast<ListItemMatch*>(context)->item;
}

struct TrimLimit {
    ListOwner owner;
    int maximum;
};

static bool KeepBelowLimit(void* item, int index, void* context)
{
    TrimLimit* limit = static_cast<TrimLimit*>(context);
    if (index < limit->maximum)
        return true;
    ReleaseText(limit->owner.data, limit->owner.list, item);
    return false;
}

AppData* AppData_New()
{
    AppData* data = static_cast<AppData*>(calloc(1, sizeof(AppData)));
    if (!data)
        return nullptr;
    data->history = PtrList_New();
    data->registered = PtrList_New();
    if (!data->history || !data->registered) {
        PtrList_Delete(data->history);
        PtrList_Delete(data->registered);
        free(data);
        return nullptr;
    }
    return data;
}

bool AppData_Delete(AppData* data)
{
    if (!data)
        return true;
    AppData_Clear(data, LIST_HISTORY | LIST_REGISTERED);
    PtrList_Delete(data->history);
    PtrList_Delete(data->registered);
    free(data);
    return true;
}

// A text already in the list moves to the head as the same stored string, so
// pointers taken from the list before stay valid; a new text is copied. The
// new head node is had before the old one goes, so when memory runs out the
// list stays as it was. false in that case.
static bool AddOrMove(PtrList* list, const char* text, const char* original)
{
    TextMatch match = MatchOf(text, original);
    void* found = PtrList_FindIf(list, true, IsEqualText, &match);
    if (found) {
        if (list->head && list->head->item == found)
            return true;
        if (PtrList_AddHead(list, found) < 0)
            return false;
        ListItemMatch same = {found};
        PtrList_RemoveIf(list, IsSameItemBelowHead, &same);
        return true;
    }
    const char* kept = match.original;
    char* copy = ClipText_New(text, strlen(text), kept, kept ? strlen(kept) : 0);
    if (!copy)
        return false;
    if (PtrList_AddHead(list, copy) < 0) {
        free(copy);
        return false;
    }
    return true;
}

// A list the user has changed is written again even when its file could not
// be read whole: the change is what the user wants kept.
static void MarkChanged(AppData* data, int mask)
{
    data->partialLists &= ~mask;
}

bool AppData_Add(AppData* data, int mask, const char* text)
{
    return AppData_AddWithOriginal(data, mask, text, nullptr);
}

bool AppData_AddWithOriginal(AppData* data, int mask, const char* text, const char* original)
{
    MarkChanged(data, mask);
    if (mask & LIST_HISTORY)
        AddOrMove(data->history, text, original);
    if (mask & LIST_REGISTERED)
        AddOrMove(data->registered, text, original);
    return true;
}

bool AppData_Clear(AppData* data, int mask)
{
    MarkChanged(data, mask);
    if (mask & LIST_HISTORY) {
        ListOwner owner = {data, LIST_HISTORY};
        PtrList_RemoveIf(data->history, FreeTextAndRemove, &owner);
    }
    if (mask & LIST_REGISTERED) {
        ListOwner owner = {data, LIST_REGISTERED};
        PtrList_RemoveIf(data->registered, FreeTextAndRemove, &owner);
    }
    return true;
}

const char* AppData_GetAt(const AppData* data, int list, int index)
{
    PtrList* l = ListOf(data, list);
    return l ? static_cast<const char*>(PtrList_GetAt(l, index)) : nullptr;
}

int AppData_GetCount(const AppData* data, int list)
{
    PtrList* l = ListOf(data, list);
    return l ? PtrList_GetCount(l) : -1;
}

bool AppData_Contains(const AppData* data, int list, const char* text)
{
    return AppData_ContainsWithOriginal(data, list, text, nullptr);
}

bool AppData_ContainsWithOriginal(const AppData* data, int list, const char* text, const char* original)
{
    PtrList* l = ListOf(data, list);
    TextMatch match = MatchOf(text, original);
    return l && PtrList_FindIf(l, true, IsEqualText, &match) != nullptr;
}

struct RemoveMatch {
    ListOwner owner;
    TextMatch text;
    bool removed;
};

// A list holds a text at most once; after it is gone nothing more is
// compared, so the text may even be the stored string itself.
static bool FreeFirstEqualText(void* item, int, void* context)
{
    RemoveMatch* match = static_cast<RemoveMatch*>(context);
    if (match->removed || !IsEqualText(item, 0, &match->text))
        return false;
    match->removed = true;
    ReleaseText(match->owner.data, match->owner.list, item);
    return true;
}

bool AppData_Remove(AppData* data, int list, const char* text)
{
    return AppData_RemoveWithOriginal(data, list, text, nullptr);
}

bool AppData_RemoveWithOriginal(AppData* data, int list, const char* text, const char* original)
{
    PtrList* l = ListOf(data, list);
    if (!l)
        return false;
    RemoveMatch match = {{data, list}, MatchOf(text, original), false};
    PtrList_RemoveIf(l, FreeFirstEqualText, &match);
    if (match.removed)
        MarkChanged(data, list);
    return match.removed;
}

bool AppData_Trim(AppData* data, int list, int maximum)
{
    PtrList* l = ListOf(data, list);
    if (!l)
        return false;
    if (maximum < PtrList_GetCount(l)) {
        TrimLimit limit = {{data, list}, maximum};
        PtrList_KeepIf(l, false, KeepBelowLimit, &limit);
    }
    return true;
}

bool AppData_AddClip(AppData* data, const char* text, const AppInfo* info)
{
    return AppData_AddClipWithOriginal(data, text, nullptr, info);
}

bool AppData_AddClipWithOriginal(AppData* data, const char* text, const char* original, const AppInfo* info)
{
    if (AppData_ContainsWithOriginal(data, LIST_REGISTERED, text, original))
        return true;
    // Out of memory the history and its file stay as they were.
    if (!AddOrMove(data->history, text, original))
        return true;
    MarkChanged(data, LIST_HISTORY);
    AppData_Trim(data, LIST_HISTORY, info->historyMax);
    AppData_SaveHistorySoon(data, info);
    return true;
}

bool AppData_Register(AppData* data, const char* text)
{
    return AppData_RegisterWithOriginal(data, text, nullptr);
}

bool AppData_RegisterWithOriginal(AppData* data, const char* text, const char* original)
{
    if (AppData_ContainsWithOriginal(data, LIST_REGISTERED, text, original))
        return true;
    if (!AddOrMove(data->registered, text, original))
        return true;
    MarkChanged(data, LIST_REGISTERED);
    AppData_SaveRegistered(data);
    return true;
}

const char* AppData_GetTextById(const AppData* data, int id)
{
    if (IsRegisteredId(id))
        return AppData_GetAt(data, LIST_REGISTERED, id - IDM_REGISTERED_FIRST);
    if (IsHistoryId(id))
        return AppData_GetAt(data, LIST_HISTORY, id - IDM_HISTORY_FIRST);
    return nullptr;
}

const char* AppData_GetOriginalAt(const AppData* data, int list, int index)
{
    const char* text = AppData_GetAt(data, list, index);
    return text ? ClipText_Original(text) : nullptr;
}

const char* AppData_GetOriginalById(const AppData* data, int id)
{
    const char* text = AppData_GetTextById(data, id);
    return text ? ClipText_Original(text) : nullptr;
}

void AppData_ForEach(const AppData* data, int list, AppDataTextFn fn, void* context)
{
    PtrList* l = ListOf(data, list);
    if (!l)
        return;
    int index = 0;
    for (const PtrListNode* node = l->head; node; node = node->next)
        fn(static_cast<const char*>(node->item), index++, context);
}

// A text of the new list with the original it keeps (null: none).
struct ListEntry {
    const char* text;
    const char* original;
};

static bool SameEntry(const ListEntry& a, const ListEntry& b)
{
    if (strcmp(a.text, b.text) != 0)
        return false;
    if (!a.original || !b.original)
        return a.original == b.original;
    return strcmp(a.original, b.original) == 0;
}

// Whether entries[i] occurs above i; an open-addressing table of the indexes
// seen so far, keyed by the texts' hashes.
struct SeenTexts {
    size_t* slots;  // index + 1, 0 for an empty slot
    size_t mask;
};

static bool SeenBefore(SeenTexts* seen, const ListEntry* entries, size_t i)
{
    size_t length = strlen(entries[i].text);
    size_t slot = static_cast<size_t>(TextHash(entries[i].text, length)) & seen->mask;
    for (;;) {
        size_t entry = seen->slots[slot];
        if (entry == 0) {
            seen->slots[slot] = i + 1;
            return false;
        }
        if (SameEntry(entries[entry - 1], entries[i]))
            return true;
        slot = (slot + 1) & seen->mask;
    }
}

static bool FreeEveryText(void* item, int, void*)
{
    free(item);
    return true;
}

// The fresh list of ReplaceList: stored copies of entries[0] to
// entries[count - 1], each at its first place only; null when memory runs out.
static PtrList* BuildUniqueList(const ListEntry* entries, size_t count)
{
    size_t slotCount = 16;
    while (slotCount < count * 2)
        slotCount *= 2;
    SeenTexts seen = {static_cast<size_t*>(calloc(slotCount, sizeof(size_t))), slotCount - 1};
    bool* keep = static_cast<bool*>(malloc(count ? count : 1));
    PtrList* fresh = PtrList_New();
    bool ok = seen.slots && keep && fresh;
    for (size_t i = 0; ok && i < count; i++)
        keep[i] = !SeenBefore(&seen, entries, i);
    // Added from the bottom up: each goes to the head.
    for (size_t i = count; ok && i-- > 0;) {
        if (!keep[i])
            continue;
        const ListEntry& e = entries[i];
        char* copy = ClipText_New(e.text, strlen(e.text), e.original, e.original ? strlen(e.original) : 0);
        if (!copy || PtrList_AddHead(fresh, copy) < 0) {
            free(copy);
            ok = false;
        }
    }
    free(seen.slots);
    free(keep);
    if (!ok && fresh) {
        PtrList_RemoveIf(fresh, FreeEveryText, nullptr);
        PtrList_Delete(fresh);
        fresh = nullptr;
    }
    return fresh;
}

// The new list is built whole beside the old one, in linear time, and only
// then takes its place, so running out of memory half-way leaves the old
// list untouched.
bool AppData_ReplaceList(AppData* data, int list, int count, AppDataTextAt textAt, void* context)
{
    PtrList* old = ListOf(data, list);
    if (!old || count < 0)
        return false;
    ListEntry* entries = static_cast<ListEntry*>(malloc((count ? count : 1) * sizeof(ListEntry)));
    if (!entries)
        return false;
    size_t kept = 0;
    for (int i = 0; i < count; i++) {
        const char* original = nullptr;
        const char* text = textAt(i, context, &original);
        if (text) {
            TextMatch match = MatchOf(text, original);
            entries[kept++] = {match.text, match.original};
        }
    }
    PtrList* fresh = BuildUniqueList(entries, kept);
    free(entries);
    if (!fresh)
        return false;
    AppData_Clear(data, list);
    PtrList_Delete(old);
    if (list == LIST_HISTORY)
        data->history = fresh;
    else
        data->registered = fresh;
    return true;
}

// ---------------------------------------------------------------------------
// The clip store's start and saves, through the store files beside the
// executable

static const char HISTORY_EXT[] = ".hst";
static const char REGISTERED_EXT[] = ".use";

// Each file is read whole, whatever the length of its records. A file that
// cannot be read to its end for lack of memory leaves its list with the
// texts read before, marked in partialLists: that file is not written back
// (it still holds what the list lacks) until the list changes.
static void LoadList(AppData* data, int list, const char* ext)
{
    char path[APP_FILE_PATH_SIZE];
    if (!GetAppFilePath(path, sizeof(path), ext))
        return;
    if (!StoreFile_ReadWholePath(data, list, path))
        data->partialLists |= list;
}

AppData* AppData_Load(const AppInfo* info)
{
    AppData* data = AppData_New();
    if (!data)
        return nullptr;
    LoadList(data, LIST_REGISTERED, REGISTERED_EXT);
    if (info->useHistoryFile)
        LoadList(data, LIST_HISTORY, HISTORY_EXT);
    return data;
}

bool AppData_HistoryFilePath(char* buf, size_t size)
{
    return GetAppFilePath(buf, size, HISTORY_EXT);
}

bool AppData_SaveHistory(AppData* data, const AppInfo* info)
{
    if (info->useHistoryFile && !(data->partialLists & LIST_HISTORY))
        StoreFile_Write(data, LIST_HISTORY, HISTORY_EXT);
    return true;
}

// Never a save of its own while the background one runs: two writers of one
// file would race for its temporary name.
void AppData_SaveHistorySoon(AppData* data, const AppInfo* info)
{
    if (!info->useHistoryFile)
        return;
    if (data->saver)
        HistorySaver_Request(data->saver, data, info);
    else
        AppData_SaveHistory(data, info);
}

bool AppData_SaveRegistered(AppData* data)
{
    if (!(data->partialLists & LIST_REGISTERED))
        StoreFile_Write(data, LIST_REGISTERED, REGISTERED_EXT);
    return true;
}
