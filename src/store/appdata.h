// AppData: the clip store, holding the history and the registered texts.
#pragma once

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

// A new store with the registered texts from ".use" and, when the settings
// keep the history in a file, the history from ".hst"; the files beside the
// executable. The saves rewrite them whole (the history only when kept).
AppData* AppData_Load(const AppInfo* info);
bool AppData_SaveHistory(AppData* data, const AppInfo* info);
bool AppData_SaveRegistered(AppData* data);
