// Clipboard change log: every new clipboard text or image written as a file
// into <log folder>\<yyyy-mm>\<dd>\<hhmmss>.txt or .bmp.
#pragma once

#include <stddef.h>
#include <stdint.h>
#include <stdio.h>

#include "datefmt/systime.h"

enum {
    CLIPLOG_PATH_SIZE = 260,
    BMP_FILE_HEADER_SIZE = 14,
    BMP_INFO_HEADER_SIZE = 40,
    BMP_HEADERS_SIZE = BMP_FILE_HEADER_SIZE + BMP_INFO_HEADER_SIZE,
    BMP_MASKS_SIZE = 12,
};

// The three names of one log entry, each cut to CLIPLOG_PATH_SIZE bytes.
struct ClipLogPaths {
    char monthFolder[CLIPLOG_PATH_SIZE];
    char dayFolder[CLIPLOG_PATH_SIZE];
    char file[CLIPLOG_PATH_SIZE];
};

// Where the parts of a bitmap file come from in a CF_DIB block, and the
// file's own offsets. Every range given here lies inside the block.
struct DibLayout {
    uint32_t maskBytes;       // 0, or 12 bit-field masks taken from block offset 40
    uint32_t paletteEntries;  // colour table entries of 4 bytes
    uint32_t paletteOffset;   // colour table's offset in the block
    uint32_t stride;          // bytes per pixel row, padded to 4
    uint32_t imageSize;       // bytes of all pixel rows
    uint32_t pixelOffset;     // pixel rows' offset in the block
    uint32_t bitsOffset;      // pixel rows' offset in the file
    uint32_t fileSize;
};

void ClipLog_BuildPaths(ClipLogPaths* paths, const char* folder, const SYSTEMTIME* time, const char* ext);

bool ClipLog_GetDibLayout(const void* dib, size_t dibSize, DibLayout* layout);
void ClipLog_BuildBitmapHeaders(unsigned char headers[BMP_HEADERS_SIZE], const void* dib, const DibLayout* layout);
bool ClipLog_WriteImageTo(FILE* file, const void* dib, const DibLayout* layout);

FILE* ClipLog_OpenFileAt(const char* folder, const char* ext, const SYSTEMTIME* time);
bool ClipLog_WriteTextAt(const char* folder, const char* text, const SYSTEMTIME* time);
// A text with its UTF-8 original (null: none) as the log writes it: the
// code-page-932 bytes when there is no original, else the original as UTF-8
// after a byte-order mark.
bool ClipLog_WriteClipAt(const char* folder, const char* text, const char* original, const SYSTEMTIME* time);
bool ClipLog_WriteImageAt(const char* folder, const void* dib, size_t dibSize, const SYSTEMTIME* time);

// The same, stamped with the local time of the call.
FILE* ClipLog_OpenFile(const char* folder, const char* ext);
bool ClipLog_WriteText(const char* folder, const char* text);
bool ClipLog_WriteClip(const char* folder, const char* text, const char* original);
bool ClipLog_WriteImage(const char* folder, const void* dib, size_t dibSize);

// Platform half (cliplog_win.cpp, cliplog_posix.cpp).
void ClipLog_GetLocalTime(SYSTEMTIME* time);
bool ClipLog_MakeFolder(const char* path);
FILE* ClipLog_CreateFile(const char* path);
void ClipLog_RemoveFile(const char* path);
