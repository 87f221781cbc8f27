// Tamarin's settings in the INI file beside the executable: the defaults of
// AppInfo, and the record read from and written to the file, hotkeys
// included.
#pragma once

#include "settings/appinfo.h"

void SetDefaultSettings(AppInfo* info);
void LoadSettings(AppInfo* info);
// false when the INI file could not be written; it is then as it was.
bool SaveSettings(const AppInfo* info);
void LoadHotkeys(HotkeySet* set, const char* path, const char* section);
void SaveHotkeys(const HotkeySet* set, const char* path, const char* section);

// The same as LoadSettings / SaveSettings on an INI file named by the caller.
void Settings_LoadFrom(AppInfo* info, const char* iniPath);
bool Settings_SaveTo(const AppInfo* info, const char* iniPath);
