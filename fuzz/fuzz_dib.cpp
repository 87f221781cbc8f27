// libFuzzer target: the bitmap layout of arbitrary CF_DIB blocks. The block is
// a heap copy of exactly the input's size, so AddressSanitizer reports any read
// beyond it, whether by the layout rules or by the header and file writer.
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "store/cliplog.h"

namespace {

FILE* Sink()
{
    static FILE* sink = fopen("/dev/null", "wb");
    return sink;
}

// Reads every byte of a range, through memcpy so the sanitizer checks it.
void Touch(const unsigned char* from, size_t size)
{
    static unsigned char scratch[4096];
    while (size > 0) {
        size_t part = size < sizeof scratch ? size : sizeof scratch;
        memcpy(scratch, from, part);
        from += part;
        size -= part;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    unsigned char* dib = static_cast<unsigned char*>(malloc(size ? size : 1));
    if (!dib)
        return 0;
    if (size)
        memcpy(dib, data, size);

    DibLayout layout;
    if (ClipLog_GetDibLayout(dib, size, &layout)) {
        uint64_t paletteBytes = static_cast<uint64_t>(layout.paletteEntries) * 4;
        if (static_cast<uint64_t>(layout.pixelOffset) + layout.imageSize > size ||
            layout.paletteOffset + paletteBytes > layout.pixelOffset ||
            BMP_INFO_HEADER_SIZE + static_cast<uint64_t>(layout.maskBytes) > size ||
            layout.bitsOffset != BMP_HEADERS_SIZE + layout.maskBytes + paletteBytes ||
            static_cast<uint64_t>(layout.bitsOffset) + layout.imageSize != layout.fileSize)
            abort();
        Touch(dib + BMP_INFO_HEADER_SIZE, layout.maskBytes);
        Touch(dib + layout.paletteOffset, static_cast<size_t>(paletteBytes));
        Touch(dib + layout.pixelOffset, layout.imageSize);
        if (FILE* sink = Sink())
            ClipLog_WriteImageTo(sink, dib, &layout);
    }
    free(dib);
    return 0;
}
