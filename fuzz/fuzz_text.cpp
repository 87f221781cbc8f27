// Fuzz target for the code page 932 text and path helpers: any bytes as the
// string, any sizes. Every destination is an exactly sized heap block so that
// a write past its size is caught.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "text/path.h"
#include "text/text.h"

static char* CopyString(const uint8_t* data, size_t size)
{
    char* s = static_cast<char*>(malloc(size + 1));
    memcpy(s, data, size);
    s[size] = 0;
    return s;
}

// A copy must never stop between a lead byte and its trail byte.
static void CheckNoSplit(const char* copy, const char* source)
{
    size_t len = strlen(copy);
    if (len < strlen(source) && MbcsByteKind(source, len) == MBCS_TRAIL)
        abort();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    size_t dstSize = 1 + data[0] % 64;
    size_t split = data[1] % (size - 1);
    const uint8_t* rest = data + 2;
    size_t restSize = size - 2;
    if (split > restSize)
        split = restSize;

    char* s = CopyString(rest, restSize);
    for (size_t i = 0; i <= restSize + 1; i++) {
        int kind = MbcsByteKind(s, i);
        if (kind == MBCS_TRAIL && MbcsByteKind(s, i - 1) != MBCS_LEAD)
            abort();
        IsPathSeparator(s, i < restSize ? i : restSize);
    }
    for (const char* p = s; *p; p = MbcsCharNext(p)) {
    }

    char* dst = static_cast<char*>(malloc(dstSize));
    StrCopyN(dst, dstSize, s);
    CheckNoSplit(dst, s);

    char* folder = CopyString(rest, split);
    char* name = CopyString(rest + split, restSize - split);
    PathJoin(dst, dstSize, folder, name);
    if (strlen(dst) >= dstSize)
        abort();

    StrLowerSingleByte(s);
    CutExtension(s);
    CutFileName(folder);

    free(name);
    free(folder);
    free(dst);
    free(s);
    return 0;
}
