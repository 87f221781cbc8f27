// Crash-safe rewriting of the store files: the new contents go to a file
// beside the old one, reach the disk, and then take the old name in one step.
// storefile_win.cpp and storefile_posix.cpp hold the two platform halves.
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
