// The edit pad's texts as files and as stored texts: files read in code page
// 932, UTF-8 or UTF-16 by their byte-order mark, written in code page 932
// when the text fits it and in UTF-8 with a byte-order mark otherwise.
#pragma once

#include <stddef.h>

// A file's bytes as UTF-16 (a heap copy ending in NUL, the caller frees it),
// ending at the first NUL character: UTF-8 after its byte-order mark,
// UTF-16 little- or big-endian after theirs, code page 932 without one.
// null when memory runs out.
char16_t* PadText_Decode(const char* bytes, size_t size, size_t* units);
// The bytes a file of the text holds (a heap copy, the caller frees it):
// code page 932 when the text fits it, else a UTF-8 byte-order mark and the
// text in UTF-8. null when memory runs out.
char* PadText_Encode(const char16_t* text, size_t units, size_t* size);
// The text as the clip store keeps it: its code page 932 form (the result, a
// heap copy) and in *original its UTF-8 original (a heap copy) when code page
// 932 loses some of its characters, else null. null when memory runs out.
char* PadText_ToStored(const char16_t* text, size_t units, char** original);
