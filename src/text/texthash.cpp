// The hash behind the duplicate searches of the store: loading a store file
// and rebuilding a list both find repeated texts through it instead of
// comparing every text with every other.
#include "text/texthash.h"

#include <string.h>

static uint64_t RotateLeft(uint64_t v, int bits)
{
    return (v << bits) | (v >> (64 - bits));
}

static uint64_t MixWord(uint64_t lane, const char* p)
{
    uint64_t w;
    memcpy(&w, p, 8);
    return (RotateLeft(lane, 27) ^ w) * 0x9E3779B97F4A7C15ull;
}

// Four independent lanes keep it close to the speed of reading the bytes.
uint64_t TextHash(const char* s, size_t length)
{
    uint64_t a = length;
    uint64_t b = 0x9E3779B97F4A7C15ull;
    uint64_t c = 0x243F6A8885A308D3ull;
    uint64_t d = 0x13198A2E03707344ull;
    size_t i = 0;
    for (; i + 32 <= length; i += 32) {
        a = MixWord(a, s + i);
        b = MixWord(b, s + i + 8);
        c = MixWord(c, s + i + 16);
        d = MixWord(d, s + i + 24);
    }
    for (; i < length; i++)
        a = (RotateLeft(a, 27) ^ static_cast<unsigned char>(s[i])) * 0x9E3779B97F4A7C15ull;
    uint64_t h = a ^ RotateLeft(b, 16) ^ RotateLeft(c, 32) ^ RotateLeft(d, 48);
    h ^= h >> 29;
    h *= 0xBF58476D1CE4E5B9ull;
    h ^= h >> 32;
    return h;
}
