// UTF-8 and UTF-16: one code point at a time and whole strings, with
// bounded writes that never split a character.
#pragma once

#include <stddef.h>
#include <stdint.h>

enum {
    UTF_REPLACEMENT = 0xFFFD,  // stands for bytes that are no UTF-8
    UTF8_CHAR_MAX = 4,         // bytes Utf_EncodeUtf8 writes for one code point
};

inline bool Utf_IsSurrogate(uint32_t cp) { return cp >= 0xD800 && cp <= 0xDFFF; }

// The code point at s (length > 0) and in used its size (at least 1). In
// UTF-8, a surrogate pair written as two three-byte forms is read as one code
// point of six bytes.
uint32_t Utf_DecodeUtf8(const char* s, size_t length, size_t* used);
uint32_t Utf_DecodeUtf16(const char16_t* s, size_t length, size_t* used);
// Writes cp (at most U+10FFFF) and answers the bytes or units written.
size_t Utf_EncodeUtf8(uint32_t cp, char* out);
size_t Utf_EncodeUtf16(uint32_t cp, char16_t* out);

// Whole strings. The answer is the length of the whole conversion (without
// the NUL); dst, when dstSize > 0, gets the whole characters that fit in
// dstSize - 1 units and a NUL. dst may be null with dstSize 0 to measure.
size_t Utf_Utf8ToUtf16(char16_t* dst, size_t dstSize, const char* src, size_t length);
size_t Utf_Utf16ToUtf8(char* dst, size_t dstSize, const char16_t* src, size_t length);
// Heap copies (NUL-ended, the caller frees), or null when memory runs out.
char16_t* Utf_DupUtf8ToUtf16(const char* src, size_t length, size_t* outLength);
char* Utf_DupUtf16ToUtf8(const char16_t* src, size_t length, size_t* outLength);

size_t Utf_Utf16Length(const char16_t* s);
// true when s is what Utf_Utf16ToUtf8 makes of some UTF-16 text: valid, no
// NUL, and a surrogate on its own only where no pair could be formed.
bool Utf_IsCanonicalUtf8(const char* s, size_t length);
