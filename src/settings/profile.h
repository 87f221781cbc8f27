// INI file access. Every value of the INI file goes through these helpers.
// Reading: profile_win.cpp uses the Win32 profile functions, profile_posix.cpp
// a reader of the same file layout for the native build. Writing (profile.cpp)
// edits the file's text in memory and puts the new file in place in one step.
#pragma once

#include <stddef.h>

// Copies the value (or the default) into buf, never more than size - 1 bytes
// and never the first byte of a double-byte character without its second.
// buf must not overlap the default.
void Profile_ReadText(const char* path, const char* section, const char* key, const char* defaultValue,
                       char* buf, size_t size);
// A null value deletes the key. The file is replaced whole: after a crash or
// on a full disk it holds either its old or its new text.
bool Profile_WriteText(const char* path, const char* section, const char* key, const char* value);

// Gathers the writes to path that follow into one replacement of the file,
// made by Profile_EndBatch: the file then goes from its old text to the text
// with every write of the batch in one step. false when the file is there but
// cannot be read (nothing is gathered then, and the writes go nowhere).
bool Profile_BeginBatch(const char* path);
// true when every write of the batch is in the file; false leaves the file as
// it was before Profile_BeginBatch.
bool Profile_EndBatch();

bool ReadProfileBool(const char* path, const char* section, const char* key, bool defaultValue);
int ReadProfileInt(const char* path, const char* section, const char* key, int defaultValue);
bool WriteProfileBool(const char* path, const char* section, const char* key, bool value);
bool WriteProfileInt(const char* path, const char* section, const char* key, int value);
bool DeleteProfileKey(const char* path, const char* section, const char* key);
