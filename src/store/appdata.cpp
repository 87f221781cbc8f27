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
#include "store/cliptext.h"
#include "store/storefile.h"
#include "text/text.h"

static PtrList* ListOf(const AppData* data, int list)
{
    if (list == LIST_HISTORY)
        return data->history;
    if (list == LIST_REGISTERED)
        return data->registered;
    return nullptr;
}

static bool FreeTextAndRemove(void* item, int, void*)
{
    free(item);
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
    int maximum;
};

static bool KeepBelowLimit(void* item, int index, void* context)
{
    if (index < static_cast<TrimLimit*>(context)->maximum)
        return true;
    free(item);
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

bool AppData_Add(AppData* data, int mask, const char* text)
{
    return AppData_AddWithOriginal(data, mask, text, nullptr);
}

bool AppData_AddWithOriginal(AppData* data, int mask, const char* text, const char* original)
{
    if (mask & LIST_HISTORY)
        AddOrMove(data->history, text, original);
    if (mask & LIST_REGISTERED)
        AddOrMove(data->registered, text, original);
    return true;
}

bool AppData_Clear(AppData* data, int mask)
{
    if (mask & LIST_HISTORY)
        PtrList_RemoveIf(data->history, FreeTextAndRemove, nullptr);
    if (mask & LIST_REGISTERED)
        PtrList_RemoveIf(data->registered, FreeTextAndRemove, nullptr);
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
    free(item);
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
    RemoveMatch match = {MatchOf(text, original), false};
    PtrList_RemoveIf(l, FreeFirstEqualText, &match);
    return match.removed;
}

bool AppData_Trim(AppData* data, int list, int maximum)
{
    PtrList* l = ListOf(data, list);
    if (!l)
        return false;
    if (maximum < PtrList_GetCount(l)) {
        TrimLimit limit = {maximum};
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
    AppData_Trim(data, LIST_HISTORY, info->historyMax);
    if (info->useHistoryFile)
        AppData_SaveHistory(data, info);
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
    if (AddOrMove(data->registered, text, original))
        AppData_SaveRegistered(data);
    return true;
}

static void FreeList(PtrList* list)
{
    if (!list)
        return;
    PtrList_RemoveIf(list, FreeTextAndRemove, nullptr);
    PtrList_Delete(list);
}

// The new list is built whole beside the old one and only then takes its
// place, so running out of memory half-way leaves the old list untouched.
bool AppData_ReplaceList(AppData* data, int list, int count, AppDataTextAt textAt, void* context)
{
    PtrList** slot = list == LIST_HISTORY ? &data->history : list == LIST_REGISTERED ? &data->registered : nullptr;
    if (!slot)
        return false;
    PtrList* fresh = PtrList_New();
    if (!fresh)
        return false;
    for (int i = count - 1; i >= 0; i--) {
        const char* original = nullptr;
        const char* text = textAt(i, context, &original);
        if (text && !AddOrMove(fresh, text, original)) {
            FreeList(fresh);
            return false;
        }
    }
    FreeList(*slot);
    *slot = fresh;
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

// ---------------------------------------------------------------------------
// The clip store's start and saves, through the store files beside the
// executable

static const char HISTORY_EXT[] = ".hst";
static const char REGISTERED_EXT[] = ".use";

// The registered texts always go through this buffer; the history does too
// when not even the smallest larger buffer can be had. One thread uses it.
static char s_storeBuffer[STORE_BUFFER_SIZE];

AppData* AppData_Load(const AppInfo* info)
{
    AppData* data = AppData_New();
    if (!data)
        return nullptr;
    AppData_Clear(data, LIST_REGISTERED);
    StoreFile_Read(data, LIST_REGISTERED, REGISTERED_EXT, s_storeBuffer, STORE_BUFFER_SIZE - 1);
    if (!info->useHistoryFile)
        return data;
    size_t obtained = 0;
    char* buffer = static_cast<char*>(AllocShrinking(HISTORY_BUFFER_FIRST_SIZE, STORE_BUFFER_SIZE, &obtained));
    AppData_Clear(data, LIST_HISTORY);
    if (buffer) {
        StoreFile_Read(data, LIST_HISTORY, HISTORY_EXT, buffer, obtained - 1);
        free(buffer);
    } else {
        StoreFile_Read(data, LIST_HISTORY, HISTORY_EXT, s_storeBuffer, STORE_BUFFER_SIZE - 1);
    }
    return data;
}

bool AppData_SaveHistory(AppData* data, const AppInfo* info)
{
    if (info->useHistoryFile)
        StoreFile_Write(data, LIST_HISTORY, HISTORY_EXT);
    return true;
}

bool AppData_SaveRegistered(AppData* data)
{
    StoreFile_Write(data, LIST_REGISTERED, REGISTERED_EXT);
    return true;
}
