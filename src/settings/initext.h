// An INI file's bytes in memory, read and edited the way the system's profile
// functions read and edit the file: "[section]" and "key=value" lines with
// CR LF ends, new keys after the last line of their section, new sections at
// the end, deleted keys' lines removed, every other line left as it was.
#pragma once

#include <stddef.h>

struct IniText {
    char* data;   // size bytes followed by a NUL; null for an empty text
    size_t size;
};

enum IniFileState {
    INI_FILE_OK,
    INI_FILE_MISSING,
    INI_FILE_BAD,  // there but unreadable: a folder, a read error, too large
};

// The file's bytes, or an empty text for a missing or unreadable file.
IniFileState IniText_Load(const char* path, IniText* text);
void IniText_Free(IniText* text);

// The key's value with blanks around it and matching quotes removed, cut to
// size bytes without splitting a character; false when there is no such key.
bool IniText_Get(const IniText* text, const char* section, const char* key, char* buf, size_t size);

// Sets the key (a null value deletes it); *changed tells whether the text
// changed. false when memory runs out, the text then as it was.
bool IniText_Set(IniText* text, const char* section, const char* key, const char* value, bool* changed);

// Writes the text as the file at path in one step, through a temporary file
// that reaches the disk first; false leaves the file at path as it was.
bool IniText_Save(const IniText* text, const char* path);
