// AppData: the clip store, holding the history and the registered texts.
#pragma once

#include <stddef.h>

#include "store/originals.h"
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
    OriginalsSaved historySide;     // the side files of the two store files
    OriginalsSaved registeredSide;
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
// Takes the text equal to text out of that list and frees it; false when the
// list holds no such text or the selector is bad.
bool AppData_Remove(AppData* data, int list, const char* text);
bool AppData_RemoveWithOriginal(AppData* data, int list, const char* text, const char* original);
bool AppData_Trim(AppData* data, int list, int maximum);
bool AppData_AddClip(AppData* data, const char* text, const AppInfo* info);
bool AppData_Register(AppData* data, const char* text);
const char* AppData_GetTextById(const AppData* data, int id);

// The same operations for a text with its Unicode original (UTF-8; null when
// the text is its own). text is the code-page-932 form of original
// (Cp932_FromUtf8); an original that survives code page 932 is not kept.
bool AppData_AddWithOriginal(AppData* data, int mask, const char* text, const char* original);
bool AppData_ContainsWithOriginal(const AppData* data, int list, const char* text, const char* original);
bool AppData_AddClipWithOriginal(AppData* data, const char* text, const char* original, const AppInfo* info);
bool AppData_RegisterWithOriginal(AppData* data, const char* text, const char* original);
// The original kept beside a stored text, or null when it has none.
const char* AppData_GetOriginalAt(const AppData* data, int list, int index);
const char* AppData_GetOriginalById(const AppData* data, int id);
// Calls fn with each text of the list in index order (index 0 first), in one
// walk of the list.
typedef void (*AppDataTextFn)(const char* text, int index, void* context);
void AppData_ForEach(const AppData* data, int list, AppDataTextFn fn, void* context);

// A new store with the registered texts from ".use" and, when the settings
// keep the history in a file, the history from ".hst"; the program's files
// (settings/apppath.h), each read whole. The saves rewrite them whole (the
// history only when kept); a file that could not be read to its end is not
// written back until its list has changed.
AppData* AppData_Load(const AppInfo* info);
bool AppData_SaveHistory(AppData* data, const AppInfo* info);
bool AppData_SaveRegistered(AppData* data);
// After a change of the history: the file follows in the background when
// the store has a saver (a clipboard change never waits on it), else at once.
void AppData_SaveHistorySoon(AppData* data, const AppInfo* info);
// Where the history file is; false when the path cannot be had.
bool AppData_HistoryFilePath(char* buf, size_t size);

// The list becomes copies of the texts textAt gives for indexes 0 to
// count - 1, in that order, each with the original it gives in *original
// (null: none; a null text is skipped; equal texts end as one entry, at the
// place of the upper one), made in linear time. false, with the list
// untouched, when memory runs out or the selector is bad.
typedef const char* (*AppDataTextAt)(int index, void* context, const char** original);
bool AppData_ReplaceList(AppData* data, int list, int count, AppDataTextAt textAt, void* context);
