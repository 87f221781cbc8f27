// Code page 932 (Shift-JIS) to and from UTF-16 and UTF-8, by a table of the
// program's own, so the portable core converts exactly as Windows does.
#pragma once

#include <stddef.h>
#include <stdint.h>

enum {
    CP932_DEFAULT_CHAR = 0x30FB,  // what bytes that are no character read as
    CP932_MISSING_BYTE = '?',     // what a character code page 932 lacks becomes
};

// The character at s (length > 0) and in used its bytes (1 or 2).
uint32_t Cp932_DecodeChar(const char* s, size_t length, size_t* used);
// The byte form of cp in out (2 bytes); 0 when code page 932 lacks cp.
size_t Cp932_EncodeChar(uint32_t cp, char* out);
// The same, but a character code page 932 lacks becomes CP932_MISSING_BYTE:
// always 1 or 2 bytes.
size_t Cp932_EncodeCharOrMissing(uint32_t cp, char* out);
// Bytes of cp in code page 932: 1 or 2, or 0 when code page 932 lacks it.
size_t Cp932_CharBytes(uint32_t cp);

// Whole strings, with the answer and dst rules of Utf_Utf8ToUtf16 (utf.h): the
// length of the whole conversion; dst gets whole characters and a NUL.
size_t Cp932_ToUtf16(char16_t* dst, size_t dstSize, const char* src, size_t length);
size_t Cp932_FromUtf16(char* dst, size_t dstSize, const char16_t* src, size_t length);
size_t Cp932_FromUtf8(char* dst, size_t dstSize, const char* src, size_t length);
// Heap copies (NUL-ended, the caller frees), or null when memory runs out.
char16_t* Cp932_DupToUtf16(const char* src, size_t length, size_t* outLength);
char* Cp932_DupFromUtf16(const char16_t* src, size_t length, size_t* outLength);
char* Cp932_DupFromUtf8(const char* src, size_t length, size_t* outLength);

// true when the text comes back unchanged through code page 932: every one
// of its characters is in the code page.
bool Cp932_FitsUtf16(const char16_t* s, size_t length);
bool Cp932_FitsUtf8(const char* s, size_t length);
