// The history (".hst") and registered-text (".use") files: NUL-ended records,
// written tail to head, LF stored as CR LF.
#pragma once

#include <stddef.h>
#include <stdio.h>

struct AppData;
struct OriginalsSaved;

enum {
    STORE_BUFFER_SIZE = 65536,           // a reading buffer of StoreFile_ReadPath
    HISTORY_BUFFER_FIRST_SIZE = 1048576, // first try for a larger one (AllocShrinking)
    APP_FILE_PATH_SIZE = 261,            // path of a file beside the executable
};

bool StoreFile_Write(AppData* data, int list, const char* ext);
bool StoreFile_ReadRecord(char* buffer, size_t limit, FILE* file);
int StoreFile_WriteRecord(const char* text, FILE* file);
void* AllocShrinking(size_t firstSize, size_t smallestSize, size_t* obtained);

// The program itself reads its files whole (below). This reader stops each
// record at limit bytes and goes on with the rest as further records; the
// tests of the file's record layout and the fuzz target read with it.
bool StoreFile_ReadPath(AppData* data, int mask, const char* path, char* buffer, size_t limit);
// Writes the list to path; the written name is path's, or a link's target.
bool StoreFile_WritePath(AppData* data, int list, const char* path);

// Every record of the file at path, each whole however long, added to the
// lists of the mask. false when the file could not be read to its end (out of
// memory, a read error): the records before that point are in the lists.
bool StoreFile_ReadWholePath(AppData* data, int mask, const char* path);

// Writes texts (stored texts, texts[0] the list's head, written last) as the
// store file at path, through a temporary file, and then their side file
// (side: what it holds, originals.h); false when the store file was left as
// it was. patient as for FileReplace_ReplaceRetrying.
bool StoreFile_SaveTexts(const char* const* texts, size_t count, const char* path, bool patient,
                         OriginalsSaved* side);

// Every allocation made while reading a file whole goes through this; tests
// swap it to run out of memory at a chosen point.
extern void* (*StoreFile_Reallocate)(void* block, size_t size);

// Every record of an open store file in one pass, read in large blocks: fn
// receives each text (NUL-terminated in buffer) with its length, exactly the
// records that repeated StoreFile_ReadRecord calls with the same limit yield.
typedef void (*StoreRecordFn)(const char* text, size_t length, void* context);
void StoreFile_ScanRecords(FILE* file, char* buffer, size_t limit, StoreRecordFn fn, void* context);
