// Code page 932 (Shift-JIS) string helpers: byte kinds, bounded copies and
// lower-casing that never split a double-byte character.
#pragma once

#include <stddef.h>

enum {
    MBCS_SINGLE = 0,  // single-byte character, or at/after the terminating NUL
    MBCS_LEAD = 1,
    MBCS_TRAIL = 2,
};

inline bool Text_IsMbcsLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }
inline bool Text_IsMbcsTrailByte(unsigned char c) { return c >= 0x40 && c <= 0xFC && c != 0x7F; }

void* MemDup(const void* block, size_t size);
// Gets the memory of MemDup's copies (malloc; they are released with free);
// tests swap it to make an allocation fail.
extern void* (*MemDup_AllocateMemory)(size_t size);
int MbcsByteKind(const char* s, size_t pos);
const char* MbcsCharNext(const char* p);
inline char* MbcsCharNext(char* p) { return const_cast<char*>(MbcsCharNext(static_cast<const char*>(p))); }
char* StrCopyN(char* dst, size_t size, const char* src);
char* StrLowerSingleByte(char* s);
