// AppData: the clip store, holding the history and the registered texts.
#pragma once

#include "store/originals.h"
#include "store/ptrlist.h"

struct AppInfo;

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

struct AppData {
    PtrList* history;
    PtrList* registered;
    OriginalsSaved historySide;     // the side files of the two store files
    OriginalsSaved registeredSide;
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

// A new store with the registered texts from ".use" and, when the settings
// keep the history in a file, the history from ".hst"; the program's files
// (settings/apppath.h). The saves rewrite them whole (the history only when kept).
AppData* AppData_Load(const AppInfo* info);
bool AppData_SaveHistory(AppData* data, const AppInfo* info);
bool AppData_SaveRegistered(AppData* data);

// The list becomes copies of the texts textAt gives for indexes 0 to
// count - 1, in that order, each with the original it gives in *original
// (null: none; a null text is skipped; equal texts end as one entry, at the
// place of the upper one). false, with the list untouched, when memory runs
// out or the selector is bad.
typedef const char* (*AppDataTextAt)(int index, void* context, const char** original);
bool AppData_ReplaceList(AppData* data, int list, int count, AppDataTextAt textAt, void* context);
