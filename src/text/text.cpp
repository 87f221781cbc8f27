// Code page 932 byte structure: which byte of a string is a lead byte, a trail
// byte or a character of its own, and the copies and case changes built on it.
#include "text/text.h"

#include <stdlib.h>
#include <string.h>

static void* AllocateWithMalloc(size_t size)
{
    return malloc(size);
}

void* (*MemDup_AllocateMemory)(size_t size) = AllocateWithMalloc;

void* MemDup(const void* block, size_t size)
{
    void* copy = MemDup_AllocateMemory(size ? size : 1);
    if (copy && size)
        memcpy(copy, block, size);
    return copy;
}

// The kind of a byte depends on every byte before it, so the walk always
// starts at the beginning of the string.
int MbcsByteKind(const char* s, size_t pos)
{
    int kind = MBCS_SINGLE;
    for (size_t i = 0; i <= pos; i++) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        if (c == 0)
            return MBCS_SINGLE;
        if (kind == MBCS_LEAD)
            kind = Text_IsMbcsTrailByte(c) ? MBCS_TRAIL : MBCS_SINGLE;
        else
            kind = Text_IsMbcsLeadByte(c) ? MBCS_LEAD : MBCS_SINGLE;
    }
    return kind;
}

const char* MbcsCharNext(const char* p)
{
    if (*p == 0)
        return p;
    if (Text_IsMbcsLeadByte(static_cast<unsigned char>(p[0])) && p[1] != 0)
        return p + 2;
    return p + 1;
}

char* StrCopyN(char* dst, size_t size, const char* src)
{
    if (size == 0)
        return dst;
    size_t n = size;
    // A trail byte at n - 1 means the lead byte at n - 2 would lose its partner.
    if (n >= 2 && MbcsByteKind(src, n - 1) == MBCS_TRAIL)
        n--;
    size_t i = 0;
    for (; i + 1 < n && src[i] != 0; i++)
        dst[i] = src[i];
    for (; i + 1 < n; i++)
        dst[i] = 0;
    dst[n - 1] = 0;
    return dst;
}

char* StrLowerSingleByte(char* s)
{
    for (char* p = s; *p; p = MbcsCharNext(p)) {
        if (*p >= 'A' && *p <= 'Z')
            *p = static_cast<char>(*p - 'A' + 'a');
    }
    return s;
}
