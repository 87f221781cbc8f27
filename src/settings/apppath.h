// Names of the program's files (INI, history, registered texts): beside the
// executable, or in the user's application-data folder when the executable's
// folder cannot be written.
#pragma once

#include <stddef.h>

// Full path of the running executable; false when it cannot be had.
bool AppPath_GetModulePath(char* buf, size_t size);
// The folder of the running executable, without the separator after it and
// not lower-cased; false when the module path cannot be had.
bool AppPath_GetModuleFolder(char* buf, size_t size);
// The executable's path with its extension replaced by ext and single-byte
// letters lower-cased. false when the module path cannot be had.
bool GetAppFilePath(char* buf, size_t size, const char* ext);
// The same rule applied to a given module path; false when the result does
// not fit in size bytes.
bool AppPath_Build(char* buf, size_t size, const char* modulePath, const char* ext);

// The folder of the program's files: the executable's own folder when it can
// be written, else APP_DATA_SUBFOLDER under the user's application-data
// folder. Decided once per run; false when no folder can be had.
bool AppPath_GetFileFolder(char* buf, size_t size);

#define APP_DATA_SUBFOLDER "Tamarin"

// The choice AppPath_GetFileFolder makes, from what the system told it: the
// module folder when it is writable or when there is no application-data
// folder, else appDataRoot joined with APP_DATA_SUBFOLDER. false when it does
// not fit.
bool AppPath_ChooseFileFolder(char* buf, size_t size, const char* moduleFolder, bool moduleFolderWritable,
                              const char* appDataRoot);
// A program file in another folder than the executable's: the folder joined
// with the executable's file name, its extension replaced by ext and its
// single-byte letters lower-cased. false when the result does not fit.
bool AppPath_BuildInFolder(char* buf, size_t size, const char* folder, const char* modulePath, const char* ext);
