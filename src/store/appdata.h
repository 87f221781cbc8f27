// AppData: the clip store, holding the history and the registered texts.
#pragma once

#include <stddef.h>

#include "store/ptrlist.h"

struct AppInfo;
struct HistorySaver;

enum {
    LIST_HISTORY = 1,
    LIST_REGISTERED = 2,
};

enum {
    IDM_HISTORY_FIRST = 4096,
    IDM_HISTORY_LAST = 8190,
    IDM_REGISTERED_FIRST = 8192,
    IDM_REGISTERED_LAST = 12286,
};

inline bool IsHistoryId(int id) { return id >= IDM_HISTORY_FIRST && id <= IDM_HISTORY_LAST; }
inline bool IsRegisteredId(int id) { return id >= IDM_REGISTERED_FIRST && id <= IDM_REGISTERED_LAST; }

// Texts that have left a list but must outlive their place in it for a
// while: history texts a background save is still writing out.
struct TextPile {
    void** texts;
    size_t count;
    size_t capacity;
};

struct AppData {
    PtrList* history;
    PtrList* registered;
    // Lists whose store file could not be read whole at start-up; their file
    // is not written until the list changes.
    int partialLists;
    // While set, history texts that leave the list go here instead of being
    // freed; whoever set it frees them.
    TextPile* heldHistoryTexts;
    // When set, a clipboard text added to the history asks it for a save in
    // the background instead of writing the history file at once.
    HistorySaver* saver;
};

AppData* AppData_New();
bool AppData_Delete(AppData* data);
bool AppData_Add(AppData* data, int mask, const char* text);
bool AppData_Clear(AppData* data, int mask);
const char* AppData_GetAt(const AppData* data, int list, int index);
int AppData_GetCount(const AppData* data, int list);
bool AppData_Contains(const AppData* data, int list, const char* text);
bool AppData_Trim(AppData* data, int list, int maximum);
bool AppData_AddClip(AppData* data, const char* text, const AppInfo* info);
bool AppData_Register(AppData* data, const char* text);
const char* AppData_GetTextById(const AppData* data, int id);

// Calls fn with each text of the list in index order (index 0 first), in one
// walk of the list.
typedef void (*AppDataTextFn)(const char* text, int index, void* context);
void AppData_ForEach(const AppData* data, int list, AppDataTextFn fn, void* context);

// Makes the list hold texts[0] to texts[count - 1] in that order, a text
// that occurs twice only at its upper place: the list that clearing it and
// adding the texts from the last to the first gives, made in linear time.
// All or nothing: false (out of memory, a bad selector) leaves the list as
// it was.
bool AppData_SetList(AppData* data, int list, const char* const* texts, int count);
