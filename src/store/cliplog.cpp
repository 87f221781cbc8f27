// Clipboard change log: the dated folder and file names, the bitmap file
// built from a CF_DIB block, and the writing of the log files. The local time
// and folder creation come from the platform half.
#include "store/cliplog.h"

#include <string.h>

#include "text/path.h"
#include "text/text.h"

namespace {

enum {
    BI_RGB_CODE = 0,
    BI_BITFIELDS_CODE = 3,
};

// Room for a full path plus what one level adds, so that the cut to
// CLIPLOG_PATH_SIZE is made by StrCopyN and never splits a character.
const size_t kScratchSize = CLIPLOG_PATH_SIZE + 32;

uint16_t ReadU16(const unsigned char* p)
{
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

uint32_t ReadU32(const unsigned char* p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}

void PutU32(unsigned char* p, uint32_t value)
{
    p[0] = static_cast<unsigned char>(value);
    p[1] = static_cast<unsigned char>(value >> 8);
    p[2] = static_cast<unsigned char>(value >> 16);
    p[3] = static_cast<unsigned char>(value >> 24);
}

// Colour table entries a DIB of this depth carries when biClrUsed is 0;
// -1 for a depth a bitmap file cannot have.
long FullPaletteEntries(unsigned bitCount)
{
    switch (bitCount) {
    case 1:
        return 2;
    case 2:
        return 4;
    case 4:
        return 16;
    case 8:
        return 256;
    case 16:
    case 24:
    case 32:
        return 0;
    default:
        return -1;
    }
}

bool WriteAll(FILE* file, const void* data, size_t size)
{
    return size == 0 || fwrite(data, 1, size, file) == size;
}

}  // namespace

void ClipLog_BuildPaths(ClipLogPaths* paths, const char* folder, const SYSTEMTIME* time, const char* ext)
{
    char scratch[kScratchSize];
    snprintf(scratch, sizeof scratch, "%04d-%02d", time->wYear, time->wMonth);
    PathJoin(paths->monthFolder, sizeof paths->monthFolder, folder, scratch);

    snprintf(scratch, sizeof scratch, "%s\\%02d", paths->monthFolder, time->wDay);
    StrCopyN(paths->dayFolder, sizeof paths->dayFolder, scratch);

    snprintf(scratch, sizeof scratch, "%s\\%02d%02d%02d%s", paths->dayFolder, time->wHour, time->wMinute,
             time->wSecond, ext);
    StrCopyN(paths->file, sizeof paths->file, scratch);
}

// Accepts uncompressed DIBs of 1, 2, 4, 8, 16, 24 or 32 bits and BI_BITFIELDS
// DIBs of 16 or 32 bits; anything else (compressed rows, a bit count of 0, an
// OS/2 core header, more planes) is skipped. The file always gets a 40-byte
// info header: a larger header (V4, V5) is cut to its first 40 bytes, whose
// fields mean the same, and its bit-field masks, which sit at offset 40 in
// both the short and the long forms, follow it as the 12 mask bytes that a
// 40-byte BI_BITFIELDS header expects. A non-zero biClrUsed sizes the colour
// table. All sizes are computed in 64 bits and must fit the 32-bit fields of
// the file and lie inside the block, which is never read beyond dibSize.
bool ClipLog_GetDibLayout(const void* dib, size_t dibSize, DibLayout* layout)
{
    if (!dib || dibSize < BMP_INFO_HEADER_SIZE)
        return false;
    const unsigned char* p = static_cast<const unsigned char*>(dib);
    uint32_t headerSize = ReadU32(p);
    int32_t width = static_cast<int32_t>(ReadU32(p + 4));
    int32_t height = static_cast<int32_t>(ReadU32(p + 8));
    uint16_t planes = ReadU16(p + 12);
    uint16_t bitCount = ReadU16(p + 14);
    uint32_t compression = ReadU32(p + 16);
    uint32_t colorsUsed = ReadU32(p + 32);

    if (headerSize < BMP_INFO_HEADER_SIZE || headerSize > dibSize)
        return false;
    if (planes != 1 || width <= 0 || height == 0)
        return false;
    long fullPalette = FullPaletteEntries(bitCount);
    if (fullPalette < 0)
        return false;

    uint64_t masksInFile = 0;
    uint64_t masksAfterHeader = 0;
    if (compression == BI_BITFIELDS_CODE) {
        if (bitCount != 16 && bitCount != 32)
            return false;
        if (headerSize == BMP_INFO_HEADER_SIZE)
            masksAfterHeader = BMP_MASKS_SIZE;
        else if (headerSize < BMP_INFO_HEADER_SIZE + BMP_MASKS_SIZE)
            return false;
        masksInFile = BMP_MASKS_SIZE;
    } else if (compression != BI_RGB_CODE) {
        return false;
    }

    uint64_t entries = colorsUsed ? colorsUsed : static_cast<uint64_t>(fullPalette);
    if (fullPalette > 0 && entries > static_cast<uint64_t>(fullPalette))
        return false;

    uint64_t rows = height < 0 ? static_cast<uint64_t>(-static_cast<int64_t>(height)) : static_cast<uint64_t>(height);
    uint64_t stride = (static_cast<uint64_t>(width) * bitCount + 31) / 32 * 4;
    if (stride > UINT32_MAX)
        return false;
    uint64_t imageSize = stride * rows;
    uint64_t paletteOffset = headerSize + masksAfterHeader;
    uint64_t pixelOffset = paletteOffset + 4 * entries;
    uint64_t bitsOffset = BMP_HEADERS_SIZE + masksInFile + 4 * entries;
    uint64_t fileSize = bitsOffset + imageSize;
    if (fileSize > UINT32_MAX || pixelOffset > UINT32_MAX)
        return false;
    if (pixelOffset > dibSize || imageSize > dibSize - pixelOffset)
        return false;

    layout->maskBytes = static_cast<uint32_t>(masksInFile);
    layout->paletteEntries = static_cast<uint32_t>(entries);
    layout->paletteOffset = static_cast<uint32_t>(paletteOffset);
    layout->stride = static_cast<uint32_t>(stride);
    layout->imageSize = static_cast<uint32_t>(imageSize);
    layout->pixelOffset = static_cast<uint32_t>(pixelOffset);
    layout->bitsOffset = static_cast<uint32_t>(bitsOffset);
    layout->fileSize = static_cast<uint32_t>(fileSize);
    return true;
}

void ClipLog_BuildBitmapHeaders(unsigned char headers[BMP_HEADERS_SIZE], const void* dib, const DibLayout* layout)
{
    headers[0] = 'B';
    headers[1] = 'M';
    PutU32(headers + 2, layout->fileSize);
    PutU32(headers + 6, 0);
    PutU32(headers + 10, layout->bitsOffset);
    memcpy(headers + BMP_FILE_HEADER_SIZE, dib, BMP_INFO_HEADER_SIZE);
    PutU32(headers + BMP_FILE_HEADER_SIZE, BMP_INFO_HEADER_SIZE);
}

bool ClipLog_WriteImageTo(FILE* file, const void* dib, const DibLayout* layout)
{
    const unsigned char* p = static_cast<const unsigned char*>(dib);
    unsigned char headers[BMP_HEADERS_SIZE];
    ClipLog_BuildBitmapHeaders(headers, dib, layout);
    return WriteAll(file, headers, sizeof headers) && WriteAll(file, p + BMP_INFO_HEADER_SIZE, layout->maskBytes) &&
           WriteAll(file, p + layout->paletteOffset, static_cast<size_t>(layout->paletteEntries) * 4) &&
           WriteAll(file, p + layout->pixelOffset, layout->imageSize);
}

// Creates the log folder, the month folder and the day folder as needed, one
// level at a time, and gives up when any of them is still missing.
static FILE* OpenLogFile(ClipLogPaths* paths, const char* folder, const char* ext, const SYSTEMTIME* time)
{
    ClipLog_BuildPaths(paths, folder, time, ext);
    if (!ClipLog_MakeFolder(folder) || !ClipLog_MakeFolder(paths->monthFolder) || !ClipLog_MakeFolder(paths->dayFolder))
        return nullptr;
    return ClipLog_CreateFile(paths->file);
}

FILE* ClipLog_OpenFileAt(const char* folder, const char* ext, const SYSTEMTIME* time)
{
    ClipLogPaths paths;
    return OpenLogFile(&paths, folder, ext, time);
}

// A log file that could not be written whole (a full disk) is removed rather
// than left behind cut short or empty.
static bool CloseLogFile(FILE* file, const ClipLogPaths* paths, bool written)
{
    bool closed = fclose(file) == 0;
    if (written && closed)
        return true;
    ClipLog_RemoveFile(paths->file);
    return false;
}

bool ClipLog_WriteTextAt(const char* folder, const char* text, const SYSTEMTIME* time)
{
    ClipLogPaths paths;
    FILE* file = OpenLogFile(&paths, folder, ".txt", time);
    if (!file)
        return false;
    bool written = WriteAll(file, text, strlen(text)) && fflush(file) == 0;
    return CloseLogFile(file, &paths, written);
}

static const char UTF8_BOM[] = "\xEF\xBB\xBF";

// A log file is code page 932 as long as the text fits it; an editor tells the
// UTF-8 one by its byte-order mark.
bool ClipLog_WriteClipAt(const char* folder, const char* text, const char* original, const SYSTEMTIME* time)
{
    if (!original || !*original)
        return ClipLog_WriteTextAt(folder, text, time);
    FILE* file = ClipLog_OpenFileAt(folder, ".txt", time);
    if (!file)
        return false;
    bool written = WriteAll(file, UTF8_BOM, sizeof(UTF8_BOM) - 1) && WriteAll(file, original, strlen(original));
    bool closed = fclose(file) == 0;
    return written && closed;
}

// An image whose layout is not understood gets no file at all.
bool ClipLog_WriteImageAt(const char* folder, const void* dib, size_t dibSize, const SYSTEMTIME* time)
{
    DibLayout layout;
    if (!ClipLog_GetDibLayout(dib, dibSize, &layout))
        return false;
    ClipLogPaths paths;
    FILE* file = OpenLogFile(&paths, folder, ".bmp", time);
    if (!file)
        return false;
    bool written = ClipLog_WriteImageTo(file, dib, &layout) && fflush(file) == 0;
    return CloseLogFile(file, &paths, written);
}

FILE* ClipLog_OpenFile(const char* folder, const char* ext)
{
    SYSTEMTIME now;
    ClipLog_GetLocalTime(&now);
    return ClipLog_OpenFileAt(folder, ext, &now);
}

bool ClipLog_WriteText(const char* folder, const char* text)
{
    SYSTEMTIME now;
    ClipLog_GetLocalTime(&now);
    return ClipLog_WriteTextAt(folder, text, &now);
}

bool ClipLog_WriteClip(const char* folder, const char* text, const char* original)
{
    SYSTEMTIME now;
    ClipLog_GetLocalTime(&now);
    return ClipLog_WriteClipAt(folder, text, original, &now);
}

bool ClipLog_WriteImage(const char* folder, const void* dib, size_t dibSize)
{
    SYSTEMTIME now;
    ClipLog_GetLocalTime(&now);
    return ClipLog_WriteImageAt(folder, dib, dibSize, &now);
}
