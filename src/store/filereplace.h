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
