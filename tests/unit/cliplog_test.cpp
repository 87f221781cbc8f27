// Tests of the clipboard change log's names, of the bitmap file layout
// derived from CF_DIB blocks, well-formed and malformed, and of writes that
// fail on a full disk.
#include "store/cliplog.h"

#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>

#ifndef _WIN32
#include <unistd.h>
#endif

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "testfiles.h"

namespace {

SYSTEMTIME MakeTime(int year, int month, int day, int hour, int minute, int second)
{
    SYSTEMTIME t;
    memset(&t, 0, sizeof t);
    t.wYear = static_cast<uint16_t>(year);
    t.wMonth = static_cast<uint16_t>(month);
    t.wDay = static_cast<uint16_t>(day);
    t.wHour = static_cast<uint16_t>(hour);
    t.wMinute = static_cast<uint16_t>(minute);
    t.wSecond = static_cast<uint16_t>(second);
    return t;
}

std::string Repeat(const std::string& piece, int count)
{
    std::string out;
    for (int i = 0; i < count; i++)
        out += piece;
    return out;
}

struct PathCase {
    const char* name;
    std::string folder;
    SYSTEMTIME time;
    const char* ext;
    std::string month;
    std::string day;
    std::string file;
};

TEST(ClipLogPaths, BuildsDatedNames)
{
    const std::string a249(249, 'a');
    // "\x82\xa0" is あ; 201 letters put a character across the 260-byte cut.
    const std::string mixed = "C:\\" + std::string(201, 'a') + Repeat("\x82\xa0", 60);
    const std::string mixedCut = "C:\\" + std::string(201, 'a') + Repeat("\x82\xa0", 27);
    const PathCase cases[] = {
        {"plain", "D:\\clip", MakeTime(2004, 3, 7, 9, 30, 15), ".txt", "D:\\clip\\2004-03", "D:\\clip\\2004-03\\07",
         "D:\\clip\\2004-03\\07\\093015.txt"},
        {"trailing backslash", "D:\\clip\\", MakeTime(2004, 3, 7, 9, 30, 15), ".txt", "D:\\clip\\2004-03",
         "D:\\clip\\2004-03\\07", "D:\\clip\\2004-03\\07\\093015.txt"},
        {"image at year end", "C:\\log", MakeTime(1999, 12, 31, 23, 59, 59), ".bmp", "C:\\log\\1999-12",
         "C:\\log\\1999-12\\31", "C:\\log\\1999-12\\31\\235959.bmp"},
        {"midnight", "C:\\log", MakeTime(2010, 1, 1, 0, 0, 0), ".txt", "C:\\log\\2010-01", "C:\\log\\2010-01\\01",
         "C:\\log\\2010-01\\01\\000000.txt"},
        // 表 ends in 0x5C, which is no separator: the backslash is still added.
        {"folder ending in 0x5C trail byte", "C:\\\x95\x5c", MakeTime(2004, 3, 7, 9, 30, 15), ".txt",
         "C:\\\x95\x5c\\2004-03", "C:\\\x95\x5c\\2004-03\\07", "C:\\\x95\x5c\\2004-03\\07\\093015.txt"},
        {"day folder cut at 260", a249, MakeTime(2004, 3, 7, 9, 30, 15), ".txt", a249 + "\\2004-03",
         a249 + "\\2004-03\\0", a249 + "\\2004-03\\0"},
        {"folder cut before a double-byte character", mixed, MakeTime(2004, 3, 7, 9, 30, 15), ".txt",
         mixedCut + "\\", mixedCut + "\\", mixedCut + "\\"},
    };
    for (const PathCase& c : cases) {
        SCOPED_TRACE(c.name);
        ClipLogPaths paths;
        memset(&paths, 0x7A, sizeof paths);
        ClipLog_BuildPaths(&paths, c.folder.c_str(), &c.time, c.ext);
        ASSERT_NE(memchr(paths.monthFolder, 0, sizeof paths.monthFolder), nullptr);
        ASSERT_NE(memchr(paths.dayFolder, 0, sizeof paths.dayFolder), nullptr);
        ASSERT_NE(memchr(paths.file, 0, sizeof paths.file), nullptr);
        EXPECT_EQ(std::string(paths.monthFolder), c.month);
        EXPECT_EQ(std::string(paths.dayFolder), c.day);
        EXPECT_EQ(std::string(paths.file), c.file);
    }
}

// A CF_DIB block described by its header fields; the bytes after the header
// are a running pattern. blockSize below 40 keeps only that much header.
struct DibFields {
    uint32_t headerSize;
    int32_t width;
    int32_t height;
    uint16_t planes;
    uint16_t bitCount;
    uint32_t compression;
    uint32_t colorsUsed;
    size_t blockSize;
};

void Put16(std::vector<unsigned char>& block, size_t at, uint16_t value)
{
    for (int i = 0; i < 2 && at + i < block.size(); i++)
        block[at + i] = static_cast<unsigned char>(value >> (8 * i));
}

void Put32(std::vector<unsigned char>& block, size_t at, uint32_t value)
{
    for (int i = 0; i < 4 && at + i < block.size(); i++)
        block[at + i] = static_cast<unsigned char>(value >> (8 * i));
}

std::vector<unsigned char> MakeDib(const DibFields& fields)
{
    std::vector<unsigned char> block(fields.blockSize);
    for (size_t i = 0; i < block.size(); i++)
        block[i] = static_cast<unsigned char>(i * 7 + 3);
    Put32(block, 0, fields.headerSize);
    Put32(block, 4, static_cast<uint32_t>(fields.width));
    Put32(block, 8, static_cast<uint32_t>(fields.height));
    Put16(block, 12, fields.planes);
    Put16(block, 14, fields.bitCount);
    Put32(block, 16, fields.compression);
    Put32(block, 20, 0);
    Put32(block, 32, fields.colorsUsed);
    return block;
}

// The layout function sees a heap block of exactly the block's size, so the
// sanitizers report any read past its end.
bool LayoutOfExactBlock(const std::vector<unsigned char>& dib, DibLayout* layout)
{
    std::unique_ptr<unsigned char[]> exact(new unsigned char[dib.size() ? dib.size() : 1]);
    if (!dib.empty())
        memcpy(exact.get(), dib.data(), dib.size());
    return ClipLog_GetDibLayout(exact.get(), dib.size(), layout);
}

enum { RGB = 0, RLE8 = 1, RLE4 = 2, BITFIELDS = 3, JPEG = 4, PNG = 5, ALPHABITFIELDS = 6 };

struct LayoutCase {
    const char* name;
    DibFields dib;
    uint32_t maskBytes, paletteEntries, paletteOffset, stride, imageSize, pixelOffset, bitsOffset, fileSize;
};

TEST(ClipLogDib, LayoutOfAcceptedBitmaps)
{
    const LayoutCase cases[] = {
        {"24-bit 3x2", {40, 3, 2, 1, 24, RGB, 0, 64}, 0, 0, 40, 12, 24, 40, 54, 78},
        {"24-bit 3x2 in a rounded-up block", {40, 3, 2, 1, 24, RGB, 0, 80}, 0, 0, 40, 12, 24, 40, 54, 78},
        {"24-bit 3x2 top-down", {40, 3, -2, 1, 24, RGB, 0, 64}, 0, 0, 40, 12, 24, 40, 54, 78},
        {"1-bit width 33", {40, 33, 1, 1, 1, RGB, 0, 56}, 0, 2, 40, 8, 8, 48, 62, 70},
        {"2-bit width 16", {40, 16, 2, 1, 2, RGB, 0, 64}, 0, 4, 40, 4, 8, 56, 70, 78},
        {"4-bit width 5", {40, 5, 3, 1, 4, RGB, 0, 116}, 0, 16, 40, 4, 12, 104, 118, 130},
        {"8-bit 4x4", {40, 4, 4, 1, 8, RGB, 0, 1080}, 0, 256, 40, 4, 16, 1064, 1078, 1094},
        {"16-bit 3x2", {40, 3, 2, 1, 16, RGB, 0, 56}, 0, 0, 40, 8, 16, 40, 54, 70},
        {"32-bit 2x2", {40, 2, 2, 1, 32, RGB, 0, 56}, 0, 0, 40, 8, 16, 40, 54, 70},
        {"8-bit with two colours used", {40, 4, 1, 1, 8, RGB, 2, 52}, 0, 2, 40, 4, 4, 48, 62, 66},
        {"24-bit with an optional colour table", {40, 1, 1, 1, 24, RGB, 3, 56}, 0, 3, 40, 4, 4, 52, 66, 70},
        {"16-bit bit fields after a 40-byte header", {40, 2, 2, 1, 16, BITFIELDS, 0, 60}, 12, 0, 52, 4, 8, 52, 66, 74},
        {"32-bit bit fields inside a V5 header", {124, 1, 1, 1, 32, BITFIELDS, 0, 128}, 12, 0, 124, 4, 4, 124, 66, 70},
        {"24-bit V4 header", {108, 1, 1, 1, 24, RGB, 0, 112}, 0, 0, 108, 4, 4, 108, 54, 58},
        {"8-bit V5 header with a short colour table", {124, 2, 1, 1, 8, RGB, 16, 192}, 0, 16, 124, 4, 4, 188, 118, 122},
    };
    for (const LayoutCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<unsigned char> dib = MakeDib(c.dib);
        DibLayout layout;
        ASSERT_TRUE(LayoutOfExactBlock(dib, &layout));
        EXPECT_EQ(layout.maskBytes, c.maskBytes);
        EXPECT_EQ(layout.paletteEntries, c.paletteEntries);
        EXPECT_EQ(layout.paletteOffset, c.paletteOffset);
        EXPECT_EQ(layout.stride, c.stride);
        EXPECT_EQ(layout.imageSize, c.imageSize);
        EXPECT_EQ(layout.pixelOffset, c.pixelOffset);
        EXPECT_EQ(layout.bitsOffset, c.bitsOffset);
        EXPECT_EQ(layout.fileSize, c.fileSize);
    }
}

struct SkipCase {
    const char* name;
    DibFields dib;
};

TEST(ClipLogDib, SkipsMalformedBitmaps)
{
    const SkipCase cases[] = {
        {"empty block", {40, 1, 1, 1, 24, RGB, 0, 0}},
        {"block of 4 bytes", {40, 1, 1, 1, 24, RGB, 0, 4}},
        {"block of 39 bytes", {40, 1, 1, 1, 24, RGB, 0, 39}},
        {"OS/2 core header", {12, 1, 1, 1, 24, RGB, 0, 64}},
        {"header size 0", {0, 1, 1, 1, 24, RGB, 0, 64}},
        {"header larger than the block", {124, 1, 1, 1, 24, RGB, 0, 100}},
        {"header size near 4 GiB", {0xFFFFFFFFu, 1, 1, 1, 24, RGB, 0, 64}},
        {"pixel rows one byte short", {40, 3, 2, 1, 24, RGB, 0, 63}},
        {"top-down rows one byte short", {40, 3, -2, 1, 24, RGB, 0, 63}},
        {"colour table short", {40, 4, 4, 1, 8, RGB, 0, 40 + 1000}},
        {"masks missing", {40, 1, 1, 1, 32, BITFIELDS, 0, 44}},
        {"masks present, rows short", {40, 2, 2, 1, 16, BITFIELDS, 0, 59}},
        {"bit count 0", {40, 1, 1, 1, 0, JPEG, 0, 64}},
        {"bit count 3", {40, 1, 1, 1, 3, RGB, 0, 64}},
        {"bit count 64", {40, 1, 1, 1, 64, RGB, 0, 64}},
        {"RLE8", {40, 1, 1, 1, 8, RLE8, 0, 2048}},
        {"RLE4", {40, 1, 1, 1, 4, RLE4, 0, 2048}},
        {"PNG", {40, 1, 1, 1, 0, PNG, 0, 2048}},
        {"alpha bit fields", {40, 1, 1, 1, 32, ALPHABITFIELDS, 0, 2048}},
        {"bit fields at 24 bits", {40, 1, 1, 1, 24, BITFIELDS, 0, 2048}},
        {"bit fields with a 44-byte header", {44, 1, 1, 1, 32, BITFIELDS, 0, 2048}},
        {"no planes", {40, 1, 1, 0, 24, RGB, 0, 2048}},
        {"two planes", {40, 1, 1, 2, 24, RGB, 0, 2048}},
        {"width 0", {40, 0, 1, 1, 24, RGB, 0, 2048}},
        {"negative width", {40, -3, 2, 1, 24, RGB, 0, 2048}},
        {"height 0", {40, 1, 0, 1, 24, RGB, 0, 2048}},
        {"more colours than 8 bits hold", {40, 1, 1, 1, 8, RGB, 257, 40 + 257 * 4 + 4}},
        {"colour count near 4 GiB", {40, 1, 1, 1, 24, RGB, 0xFFFFFFFFu, 2048}},
        // 65536 x 65536 x 4 bytes is 2^34: a product kept in 32 bits is 0.
        {"image size overflowing 32 bits to 0", {40, 65536, 65536, 1, 32, RGB, 0, 2048}},
        {"stride beyond 32 bits", {40, INT32_MAX, 1, 1, 32, RGB, 0, 2048}},
        {"lowest height", {40, 1, INT32_MIN, 1, 1, RGB, 0, 2048}},
        {"file size just past 32 bits", {40, 1 << 30, 32, 1, 1, RGB, 0, 2048}},
    };
    for (const SkipCase& c : cases) {
        SCOPED_TRACE(c.name);
        DibLayout layout;
        EXPECT_FALSE(LayoutOfExactBlock(MakeDib(c.dib), &layout));
    }
}

// Every byte of a well-formed 8-bit DIB is needed, so each shorter block is
// refused; the exact-size copies let the sanitizers catch a read past the end.
TEST(ClipLogDib, EveryTruncationIsSkipped)
{
    std::vector<unsigned char> dib = MakeDib({40, 4, 4, 1, 8, RGB, 0, 1080});
    DibLayout layout;
    ASSERT_TRUE(LayoutOfExactBlock(dib, &layout));
    for (size_t size = 0; size < dib.size(); size++) {
        std::vector<unsigned char> shorter(dib.begin(), dib.begin() + static_cast<long>(size));
        ASSERT_FALSE(LayoutOfExactBlock(shorter, &layout)) << "size " << size;
    }
}

// The whole bitmap file of a block, built here from the block's own bytes:
// file header, the first 40 header bytes with their size set to 40, the 12
// mask bytes at block offset 40 for bit fields, the colour table and the rows.
std::vector<unsigned char> ExpectedBitmapFile(const std::vector<unsigned char>& dib, uint32_t headerSize,
                                              bool bitFields, uint32_t paletteEntries, uint32_t imageSize)
{
    uint32_t masks = bitFields ? 12 : 0;
    uint32_t bitsOffset = 14 + 40 + masks + 4 * paletteEntries;
    std::vector<unsigned char> file = {'B', 'M'};
    file.resize(14);
    Put32(file, 2, bitsOffset + imageSize);
    Put32(file, 10, bitsOffset);
    file.insert(file.end(), dib.begin(), dib.begin() + 40);
    Put32(file, 14, 40);
    file.insert(file.end(), dib.begin() + 40, dib.begin() + 40 + masks);
    // A 40-byte header with bit fields has its masks before the colour table.
    size_t table = headerSize + (headerSize == 40 ? masks : 0);
    file.insert(file.end(), dib.begin() + table, dib.begin() + table + 4 * paletteEntries);
    size_t rows = table + 4 * paletteEntries;
    file.insert(file.end(), dib.begin() + rows, dib.begin() + rows + imageSize);
    return file;
}

struct BitmapFileCase {
    const char* name;
    DibFields dib;
    uint32_t paletteEntries;
    uint32_t imageSize;
};

TEST(ClipLogDib, BitmapFilesOfEveryHeaderForm)
{
    const BitmapFileCase cases[] = {
        {"V4 header, 16-bit bit fields", {108, 3, 2, 1, 16, BITFIELDS, 0, 108 + 16}, 0, 16},
        {"V5 header, 32-bit bit fields", {124, 2, 2, 1, 32, BITFIELDS, 0, 124 + 16}, 0, 16},
        {"V5 header, 16-bit bit fields, top-down", {124, 2, -3, 1, 16, BITFIELDS, 0, 124 + 12}, 0, 12},
        {"40-byte header, 32-bit bit fields", {40, 1, 2, 1, 32, BITFIELDS, 0, 40 + 12 + 8}, 0, 8},
        {"V4 header, 24-bit", {108, 2, 2, 1, 24, RGB, 0, 108 + 16}, 0, 16},
        {"V5 header, 8-bit with 3 colours", {124, 4, 1, 1, 8, RGB, 3, 124 + 12 + 4}, 3, 4},
    };
    for (const BitmapFileCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<unsigned char> dib = MakeDib(c.dib);
        std::unique_ptr<unsigned char[]> exact(new unsigned char[dib.size()]);
        memcpy(exact.get(), dib.data(), dib.size());
        DibLayout layout;
        ASSERT_TRUE(ClipLog_GetDibLayout(exact.get(), dib.size(), &layout));
        FILE* file = tmpfile();
        ASSERT_NE(file, nullptr);
        ASSERT_TRUE(ClipLog_WriteImageTo(file, exact.get(), &layout));
        std::vector<unsigned char> written(static_cast<size_t>(ftell(file)));
        rewind(file);
        ASSERT_EQ(fread(written.data(), 1, written.size(), file), written.size());
        fclose(file);
        EXPECT_EQ(written, ExpectedBitmapFile(dib, c.dib.headerSize, c.dib.compression == BITFIELDS,
                                              c.paletteEntries, c.imageSize));
    }
}

TEST(ClipLogDib, HeadersOfA24BitBitmap)
{
    std::vector<unsigned char> dib = MakeDib({40, 3, 2, 1, 24, RGB, 0, 64});
    DibLayout layout;
    ASSERT_TRUE(ClipLog_GetDibLayout(dib.data(), dib.size(), &layout));
    unsigned char headers[BMP_HEADERS_SIZE];
    ClipLog_BuildBitmapHeaders(headers, dib.data(), &layout);
    const unsigned char fileHeader[BMP_FILE_HEADER_SIZE] = {
        'B', 'M', 78, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,
    };
    EXPECT_EQ(0, memcmp(headers, fileHeader, sizeof fileHeader));
    EXPECT_EQ(0, memcmp(headers + BMP_FILE_HEADER_SIZE, dib.data(), BMP_INFO_HEADER_SIZE));
}

// A V5 header becomes a 40-byte one: the size field says 40, the rest of the
// first 40 bytes is kept.
TEST(ClipLogDib, HeadersOfAV5Bitmap)
{
    std::vector<unsigned char> dib = MakeDib({124, 1, 1, 1, 32, BITFIELDS, 0, 128});
    DibLayout layout;
    ASSERT_TRUE(ClipLog_GetDibLayout(dib.data(), dib.size(), &layout));
    unsigned char headers[BMP_HEADERS_SIZE];
    ClipLog_BuildBitmapHeaders(headers, dib.data(), &layout);
    const unsigned char fileHeader[BMP_FILE_HEADER_SIZE] = {
        'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 66, 0, 0, 0,
    };
    EXPECT_EQ(0, memcmp(headers, fileHeader, sizeof fileHeader));
    const unsigned char infoSize[4] = {40, 0, 0, 0};
    EXPECT_EQ(0, memcmp(headers + BMP_FILE_HEADER_SIZE, infoSize, 4));
    EXPECT_EQ(0, memcmp(headers + BMP_FILE_HEADER_SIZE + 4, dib.data() + 4, BMP_INFO_HEADER_SIZE - 4));
}

#ifndef _WIN32
// A log folder of its own; the native build lays out the month and day
// folders of the log's backslashed names.
struct FullDiskLog : testing::Test {
    ScratchFolder scratch{"tamarin_fulldisk"};
    std::string folder = scratch.path + "/log";
    ClipLogPaths paths;
    SYSTEMTIME time = MakeTime(2004, 3, 7, 9, 30, 15);

    static std::string Host(const char* path)
    {
        std::string host = path;
        std::replace(host.begin(), host.end(), '\\', '/');
        return host;
    }

    // The log file's name leads to /dev/full, where every write fails.
    void FillDisk(const char* ext)
    {
        ClipLog_BuildPaths(&paths, folder.c_str(), &time, ext);
        ASSERT_TRUE(ClipLog_MakeFolder(folder.c_str()));
        ASSERT_TRUE(ClipLog_MakeFolder(paths.monthFolder));
        ASSERT_TRUE(ClipLog_MakeFolder(paths.dayFolder));
        ASSERT_EQ(symlink("/dev/full", Host(paths.file).c_str()), 0);
    }

    bool LeftBehind()
    {
        struct stat st;
        return lstat(Host(paths.file).c_str(), &st) == 0;
    }
};

TEST_F(FullDiskLog, TextThatCannotBeWrittenLeavesNoFile)
{
    FillDisk(".txt");
    EXPECT_FALSE(ClipLog_WriteTextAt(folder.c_str(), "clipboard text", &time));
    EXPECT_FALSE(LeftBehind());
}

TEST_F(FullDiskLog, ImageThatCannotBeWrittenLeavesNoFile)
{
    FillDisk(".bmp");
    std::vector<unsigned char> dib(40 + 16, 0);  // two rows of 8 bytes
    dib[0] = 40;   // biSize
    dib[4] = 2;    // biWidth
    dib[8] = 2;    // biHeight
    dib[12] = 1;   // biPlanes
    dib[14] = 24;  // biBitCount
    EXPECT_FALSE(ClipLog_WriteImageAt(folder.c_str(), dib.data(), dib.size(), &time));
    EXPECT_FALSE(LeftBehind());
}

TEST_F(FullDiskLog, TextThatFitsIsWritten)
{
    ClipLog_BuildPaths(&paths, folder.c_str(), &time, ".txt");
    EXPECT_TRUE(ClipLog_WriteTextAt(folder.c_str(), "a\r\nb", &time));
    EXPECT_EQ(ReadWholeFile(Host(paths.file)), "a\r\nb");
}
#endif

// ---------------------------------------------------------------- files

// The log folder, then the month folder, then the day folder, each created
// in its parent: the folders a log write needs, whichever of them exist.
TEST(ClipLogFiles, WritesCreateTheMonthFolderBeforeTheDayFolder)
{
    const SYSTEMTIME t = MakeTime(2004, 3, 7, 9, 30, 15);
    for (int existing = 0; existing <= 3; existing++) {
        SCOPED_TRACE(std::to_string(existing) + " of the three folders there before");
        ScratchFolder scratch("tamarin_cliplog");
        const std::string log = scratch.path + "/log";
        const std::string levels[] = {log, log + "/2004-03", log + "/2004-03/07"};
        for (int i = 0; i < existing; i++)
            ASSERT_EQ(MakeOneFolder(levels[i]), 0);
        ASSERT_TRUE(ClipLog_WriteTextAt(log.c_str(), "text\r\n", &t));
        EXPECT_EQ(ReadWholeFile(levels[2] + "/093015.txt"), "text\r\n");
    }
}

// A text that fits code page 932 is logged in it, as always; one with an
// original is logged as UTF-8 after a byte-order mark.
TEST(ClipLogFiles, TextsOutsideTheCodePageAreLoggedAsUtf8)
{
    const SYSTEMTIME t = MakeTime(2004, 3, 7, 9, 30, 15);
    struct Case {
        std::string text;
        const char* original;
        std::string expected;
    };
    const Case cases[] = {
        {"\x82\xa0\r\n", nullptr, "\x82\xa0\r\n"},                     // あ
        {"\x82\xa0", "", "\x82\xa0"},                                     // an empty original is none
        {"Caf? ?", "Caf\xC3\xA9 \xF0\x9F\x98\x80", "\xEF\xBB\xBF" "Caf\xC3\xA9 \xF0\x9F\x98\x80"},  // Café 😀
    };
    for (const Case& c : cases) {
        ScratchFolder scratch("tamarin_cliplog");
        const std::string log = scratch.path + "/log";
        ASSERT_TRUE(ClipLog_WriteClipAt(log.c_str(), c.text.c_str(), c.original, &t));
        EXPECT_EQ(ReadWholeFile(log + "/2004-03/07/093015.txt"), c.expected);
    }
}

}  // namespace
