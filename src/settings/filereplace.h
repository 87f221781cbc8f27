// Crash-safe rewriting of the files beside the executable (the INI file and
// the store files): the new contents go to a file beside the old one, reach
// the disk, and then take the old name in one step. filereplace.cpp holds the
// portable steps; filereplace_win.cpp and filereplace_posix.cpp the two
// platform halves of the replace, replaceretry_*.cpp its retry.
#pragma once

#include <stdio.h>

// Pushes what the C library has already handed to the system on to the disk.
// The caller flushes the stream first.
bool FileReplace_FlushToDisk(FILE* file);

// Gives tmpPath the name path, replacing an existing file as one operation, so
// that path always holds either its old or its new contents. false leaves
// both files as they were.
bool FileReplace_Replace(const char* tmpPath, const char* path);

// FileReplace_Replace, tried again with a short back-off while another
// program (a virus scanner, an indexer, a sync client) briefly holds path
// open; patient false makes it a single try, for a file already failing.
// replaceretry_win.cpp and replaceretry_posix.cpp hold the two halves.
bool FileReplace_ReplaceRetrying(const char* tmpPath, const char* path, bool patient);

// The file that path finally names, symbolic links followed, as a heap string
// the caller frees; null when there is nothing to follow (no link, no such
// file) or it cannot be spelled: the caller then uses path itself.
char* FileReplace_ResolveLinkTarget(const char* path);

// One rewrite in progress: the open temporary file, its name, and the file it
// is going to replace.
struct FileReplacement {
    FILE* file;
    char* tmpPath;
    char* target;
    char* streamBuffer;  // the file's stdio buffer, or null
};

// Opens a temporary file for the new contents of path, beside the file that
// path finally names (so a symbolic link keeps pointing at it). false when no
// temporary file can be created; r then holds nothing.
bool FileReplacement_Begin(FileReplacement* r, const char* path);

// Flushes the temporary file to the disk, closes it and puts it in place of
// the target (patient as for FileReplace_ReplaceRetrying). With written
// false, or on any failure, the temporary file is removed and the target left
// as it was. r is released either way.
bool FileReplacement_Commit(FileReplacement* r, bool written, bool patient);
