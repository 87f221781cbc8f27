// The history and registered-text files, byte for byte: NUL-ended records in
// tail-to-head order, LF stored as CR LF, over-long records split at the
// reading limit, and rewrites that leave the old file whole when they fail.
#include <gtest/gtest.h>

#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#ifdef _WIN32
#include <direct.h>
#include <process.h>
#else
#include <unistd.h>
#endif

#include "failingalloc.h"
#include "testfiles.h"
#include "settings/appinfo.h"
#include "settings/apppath.h"
#include "store/appdata.h"
#include "store/storefile.h"

namespace {

typedef std::vector<std::string> Texts;

// Strings with NUL bytes inside need their length spelled out.
#define BYTES(literal) std::string(literal, sizeof(literal) - 1)

const size_t REGISTERED_LIMIT = STORE_BUFFER_SIZE - 1;

void WriteFileBytes(const std::string& path, const std::string& bytes)
{
    FILE* f = fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr) << path;
    ASSERT_EQ(fwrite(bytes.data(), 1, bytes.size(), f), bytes.size());
    ASSERT_EQ(fclose(f), 0);
}

int CurrentProcessId()
{
#ifdef _WIN32
    return _getpid();
#else
    return getpid();
#endif
}

Texts ListTexts(const AppData* data, int list)
{
    Texts texts;
    for (int i = 0; i < AppData_GetCount(data, list); i++)
        texts.push_back(AppData_GetAt(data, list, i));
    return texts;
}

std::vector<const char*> ListPointers(const AppData* data, int list)
{
    std::vector<const char*> items;
    for (int i = 0; i < AppData_GetCount(data, list); i++)
        items.push_back(AppData_GetAt(data, list, i));
    return items;
}

// Adds texts so that the list reads top to bottom as given.
void FillList(AppData* data, int list, const Texts& topToBottom)
{
    for (size_t i = topToBottom.size(); i-- > 0;)
        AppData_Add(data, list, topToBottom[i].c_str());
}

// Every record that repeated StoreFile_ReadRecord calls yield from the bytes.
Texts ReadRecordsOneByOne(const std::string& path, size_t limit)
{
    Texts texts;
    FILE* f = fopen(path.c_str(), "rb");
    if (!f)
        return texts;
    std::vector<char> buffer(limit);
    while (StoreFile_ReadRecord(buffer.data(), limit, f))
        texts.push_back(std::string(buffer.data()));
    fclose(f);
    return texts;
}

void CollectScanned(const char* text, size_t length, void* context)
{
    EXPECT_EQ(strlen(text), length);
    static_cast<Texts*>(context)->push_back(std::string(text, length));
}

Texts ScanRecords(const std::string& path, size_t limit)
{
    Texts texts;
    FILE* f = fopen(path.c_str(), "rb");
    if (!f)
        return texts;
    std::vector<char> buffer(limit);
    StoreFile_ScanRecords(f, buffer.data(), limit, CollectScanned, &texts);
    fclose(f);
    return texts;
}

// A folder of its own under the system's temporary folder, removed with
// everything the test left in it.
struct StoreFolder : testing::Test {
    std::string folder;
    std::vector<std::string> made;
    AppData* data = nullptr;

    void SetUp() override
    {
        static int serial = 0;
#ifdef _WIN32
        const char* base = getenv("TEMP");
        if (!base)
            base = ".";
#else
        const char* base = getenv("TMPDIR");
        if (!base)
            base = "/tmp";
#endif
        folder = std::string(base) + "/tamarin_store_" + std::to_string(CurrentProcessId()) + "_" +
                 std::to_string(++serial);
        ASSERT_EQ(MakeOneFolder(folder), 0) << folder;
        data = AppData_New();
        ASSERT_NE(data, nullptr);
    }

    void TearDown() override
    {
        AppData_Delete(data);
        for (size_t i = made.size(); i-- > 0;) {
            if (IsFolderPath(made[i]))
                RemoveOneFolder(made[i]);
            else
                remove(made[i].c_str());
        }
        EXPECT_EQ(RemoveOneFolder(folder), 0) << "something was left in " << folder;
    }

    std::string File(const char* name)
    {
        std::string path = folder + "/" + name;
        made.push_back(path);
        made.push_back(path + ".tmp");
        made.push_back(path + ".utf8");
        made.push_back(path + ".utf8.tmp");
        return path;
    }
};

// ---------------------------------------------------------------------------
// Writing: one record

struct WriteCase {
    const char* name;
    std::string text;
    std::string bytes;
};

const WriteCase WRITE_CASES[] = {
    {"plain", "abc", BYTES("abc\0")},
    {"empty", "", BYTES("\0")},
    {"lf becomes cr lf", "a\nb", BYTES("a\r\nb\0")},
    {"cr lf becomes cr cr lf", "x\r\ny", BYTES("x\r\r\ny\0")},
    {"lone cr unchanged", "a\rb", BYTES("a\rb\0")},
    {"lone cr at the end", "a\r", BYTES("a\r\0")},
    {"lf only", "\n\n", BYTES("\r\n\r\n\0")},
    {"ctrl-z unchanged", "\x1a" "a\x1a", BYTES("\x1a" "a\x1a\0")},
    // "表示" has 0x5C as a trail byte
    {"double-byte", "\x95\x5c\x8e\xa6", BYTES("\x95\x5c\x8e\xa6\0")},
    // "ソ" then a line break
    {"double-byte before lf", "\x83\x5c\n", BYTES("\x83\x5c\r\n\0")},
};

TEST_F(StoreFolder, WriteRecordBytes)
{
    for (const WriteCase& c : WRITE_CASES) {
        std::string path = File("record");
        FILE* f = fopen(path.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        EXPECT_EQ(StoreFile_WriteRecord(c.text.c_str(), f), 1) << c.name;
        fclose(f);
        EXPECT_EQ(ReadWholeFile(path), c.bytes) << c.name;
    }
}

TEST_F(StoreFolder, WriteRecordReportsAFailedWrite)
{
    std::string path = File("readonly");
    WriteFileBytes(path, "old");
    FILE* f = fopen(path.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(StoreFile_WriteRecord("new\ntext", f), 0);
    fclose(f);
    EXPECT_EQ(ReadWholeFile(path), "old");
}

// ---------------------------------------------------------------------------
// Reading: records out of raw bytes, with and without the limit

struct ReadCase {
    const char* name;
    std::string bytes;
    size_t limit;
    Texts texts;
};

const ReadCase READ_CASES[] = {
    {"three records", BYTES("A\0B\0C\0"), REGISTERED_LIMIT, {"A", "B", "C"}},
    {"empty file", "", REGISTERED_LIMIT, {}},
    {"empty records", BYTES("\0\0"), REGISTERED_LIMIT, {"", ""}},
    {"cr cr lf reads as cr lf", BYTES("x\r\r\ny\0"), REGISTERED_LIMIT, {"x\r\ny"}},
    {"cr lf reads as lf", BYTES("a\r\nb\r\n\0"), REGISTERED_LIMIT, {"a\nb\n"}},
    {"lone cr stays", BYTES("a\rb\0"), REGISTERED_LIMIT, {"a\rb"}},
    {"cr before nul stays", BYTES("a\r\0b\0"), REGISTERED_LIMIT, {"a\r", "b"}},
    {"cr cr stays", BYTES("\r\r\0"), REGISTERED_LIMIT, {"\r\r"}},
    {"bare lf stays", BYTES("a\nb\0"), REGISTERED_LIMIT, {"a\nb"}},
    {"lf cr stays", BYTES("\n\r\0"), REGISTERED_LIMIT, {"\n\r"}},
    {"ctrl-z is an ordinary byte", BYTES("\x1a\0\x1a" "b\0"), REGISTERED_LIMIT, {"\x1a", "\x1a" "b"}},
    {"last record without nul", BYTES("A\0BC"), REGISTERED_LIMIT, {"A", "BC"}},
    {"cr at the very end", BYTES("A\0B\r"), REGISTERED_LIMIT, {"A", "B\r"}},
    {"cr lf at the very end", BYTES("B\r\n"), REGISTERED_LIMIT, {"B\n"}},
    // "表" "ソ": trail bytes 0x5C are plain bytes to the reader
    {"double-byte", BYTES("\x95\x5c\0\x83\x5c\r\n\0"), REGISTERED_LIMIT, {"\x95\x5c", "\x83\x5c\n"}},

    // Limit 4: at most 3 bytes per record.
    {"cut before the nul eats it", BYTES("abcdef\0g\0"), 4, {"abc", "def", "g"}},
    {"cut in the middle", BYTES("abcdefg\0"), 4, {"abc", "def", "g"}},
    {"rest of one byte", BYTES("abcd\0"), 4, {"abc", "d"}},
    {"exact length then eof", BYTES("abc"), 4, {"abc"}},
    {"exact length then empty record", BYTES("abc\0\0"), 4, {"abc", ""}},
    {"cr lf counts as one byte", BYTES("ab\r\ncd\0"), 4, {"ab\n", "cd"}},
    {"cut just before cr lf", BYTES("abc\r\nd\0"), 4, {"abc", "\nd"}},
    {"cut just before a lone cr", BYTES("abc\rd\0"), 4, {"abc", "\rd"}},
    {"cut just before a final cr", BYTES("abc\r"), 4, {"abc", "\r"}},
    {"cr lf as the last byte that fits", BYTES("ab\r\n\0x\0"), 4, {"ab\n", "x"}},
    {"cut after a lone cr", BYTES("ab\rc\0"), 4, {"ab\r", "c"}},
    // "表示" cut through the middle: the limit counts bytes
    {"limit cuts a double-byte character", BYTES("a\x95\x5c\x8e\xa6\0"), 3, {"a\x95", "\x5c\x8e", "\xa6"}},

    // Limit 2: one byte per record.
    {"one byte each", BYTES("ab\0c\0"), 2, {"a", "b", "c"}},
    {"cr lf as one byte", BYTES("\r\n\r\n\0"), 2, {"\n", "\n"}},
    {"lone cr then nul", BYTES("\r\0\0"), 2, {"\r", ""}},
};

TEST_F(StoreFolder, ReadRecordTable)
{
    for (const ReadCase& c : READ_CASES) {
        std::string path = File("records");
        WriteFileBytes(path, c.bytes);
        EXPECT_EQ(ReadRecordsOneByOne(path, c.limit), c.texts) << c.name;
        EXPECT_EQ(ScanRecords(path, c.limit), c.texts) << c.name << " (block scan)";
    }
}

TEST_F(StoreFolder, ReadRecordBelowTwoReadsNothing)
{
    std::string path = File("records");
    WriteFileBytes(path, BYTES("abc\0"));
    FILE* f = fopen(path.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    char buffer[2] = {'x', 'x'};
    EXPECT_FALSE(StoreFile_ReadRecord(buffer, 1, f));
    EXPECT_FALSE(StoreFile_ReadRecord(buffer, 0, f));
    EXPECT_EQ(buffer[0], 'x');
    fclose(f);
}

// The block reader refills in the middle of records and of CR LF pairs; the
// one-byte-at-a-time reader has no blocks at all, so the two must agree on
// every layout. Lines of varied lengths put CRs on every block boundary.
TEST_F(StoreFolder, BlockScanAgreesWithReadRecordAcrossBlocks)
{
    std::string bytes;
    unsigned seed = 12345;
    while (bytes.size() < 300000) {
        seed = seed * 1103515245u + 12345u;
        unsigned r = (seed >> 16) & 0x7fff;
        if (r % 97 == 0)
            bytes += '\0';
        else if (r % 13 == 0)
            bytes += "\r\n";
        else if (r % 29 == 0)
            bytes += '\r';
        else
            bytes += static_cast<char>('a' + r % 26);
    }
    std::string path = File("blocks");
    WriteFileBytes(path, bytes);
    for (size_t limit : {size_t(2), size_t(3), size_t(64), size_t(4097), size_t(65535), size_t(70000)})
        EXPECT_EQ(ScanRecords(path, limit), ReadRecordsOneByOne(path, limit)) << "limit " << limit;
}

// The reader takes the file in blocks and the writer stages its bytes; the
// sizes of both are the reader's and writer's own business, so a CR LF pair
// and a widened LF are put on and around every power-of-two edge from 4 KiB
// to 256 KiB. Records are one text each, well below the reading limit.
const size_t BLOCK_EDGES[] = {4096, 8192, 16384, 32768, 65536, 131072, 262144};

// The records the file's bytes hold: CR LF read as LF, a NUL ends each one.
Texts RecordsOf(const std::string& bytes)
{
    Texts texts;
    std::string current;
    for (size_t i = 0; i < bytes.size(); i++) {
        if (bytes[i] == 0) {
            texts.push_back(current);
            current.clear();
        } else if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
            current += '\n';
            i++;
        } else {
            current += bytes[i];
        }
    }
    if (!current.empty())
        texts.push_back(current);
    return texts;
}

TEST_F(StoreFolder, CrLfPairsAcrossEveryBlockEdgeReadAsOneLineBreak)
{
    const size_t limit = 1 << 20;
    for (size_t edge : BLOCK_EDGES) {
        for (size_t cr = edge - 3; cr <= edge + 2; cr++) {
            // Records of 1000 bytes up to the one that holds the pair, whose
            // CR sits at file offset cr.
            std::string bytes;
            for (int n = 0; bytes.size() + 1001 < cr; n++) {
                std::string record = std::to_string(n) + ":";
                bytes += record + std::string(1000 - record.size(), 'a' + n % 26) + '\0';
            }
            bytes += std::string(cr - bytes.size(), 'x') + "\r\n" + "tail" + '\0' + "\r\n\r\n" + '\0';
            std::string path = File("edge");
            WriteFileBytes(path, bytes);
            Texts expected = RecordsOf(bytes);
            SCOPED_TRACE("CR at offset " + std::to_string(cr));
            EXPECT_TRUE(ScanRecords(path, limit) == expected);
            AppData* loaded = AppData_New();
            std::vector<char> buffer(limit + 1);
            StoreFile_ReadPath(loaded, LIST_REGISTERED, path.c_str(), buffer.data(), limit);
            Texts topToBottom(expected.rbegin(), expected.rend());
            EXPECT_TRUE(ListTexts(loaded, LIST_REGISTERED) == topToBottom);
            AppData_Delete(loaded);
        }
    }
}

TEST_F(StoreFolder, LineBreaksOnEveryStagingEdgeAreWidened)
{
    for (size_t edge : BLOCK_EDGES) {
        for (size_t lf = edge - 3; lf <= edge + 2; lf++) {
            SCOPED_TRACE("LF at text offset " + std::to_string(lf));
            // One LF at the edge; and a run of LFs, each widened, whose
            // output crosses the edge at every alignment.
            for (const std::string& text :
                 {std::string(lf, 'x') + "\n" + std::string(20, 'y'), std::string(lf / 2, '\n') + "z"}) {
                std::string path = File("staged");
                FILE* f = fopen(path.c_str(), "wb");
                ASSERT_NE(f, nullptr);
                EXPECT_EQ(StoreFile_WriteRecord(text.c_str(), f), 1);
                fclose(f);
                std::string expected;
                for (char c : text)
                    expected += c == '\n' ? std::string("\r\n") : std::string(1, c);
                expected += '\0';
                EXPECT_TRUE(ReadWholeFile(path) == expected) << text.size() << " bytes";
            }
        }
    }
}

// ---------------------------------------------------------------------------
// Whole files through the lists

TEST_F(StoreFolder, ThreeRecordsLoadNewestOnTopAndWriteBackTheSame)
{
    std::string path = File("texts.use");
    std::string bytes = BYTES("A\0B\0C\0");
    WriteFileBytes(path, bytes);
    std::vector<char> buffer(STORE_BUFFER_SIZE);
    EXPECT_TRUE(StoreFile_ReadPath(data, LIST_REGISTERED, path.c_str(), buffer.data(), REGISTERED_LIMIT));
    EXPECT_EQ(ListTexts(data, LIST_REGISTERED), (Texts{"C", "B", "A"}));
    EXPECT_EQ(AppData_GetCount(data, LIST_HISTORY), 0);

    remove(path.c_str());
    EXPECT_TRUE(StoreFile_WritePath(data, LIST_REGISTERED, path.c_str()));
    EXPECT_EQ(ReadWholeFile(path), bytes);
    EXPECT_FALSE(FileExists(path + ".tmp"));
}

TEST_F(StoreFolder, WritesTailFirstWithLineBreaksTranslated)
{
    FillList(data, LIST_HISTORY, {"x\r\ny", "", "a\nb"});
    std::string path = File("history.hst");
    StoreFile_WritePath(data, LIST_HISTORY, path.c_str());
    EXPECT_EQ(ReadWholeFile(path), BYTES("a\r\nb\0\0x\r\r\ny\0"));
}

TEST_F(StoreFolder, RepeatedTextKeepsItsLastPosition)
{
    std::string path = File("repeats");
    WriteFileBytes(path, BYTES("A\0B\0A\0C\0B\0A\0"));
    std::vector<char> buffer(STORE_BUFFER_SIZE);
    StoreFile_ReadPath(data, LIST_HISTORY, path.c_str(), buffer.data(), REGISTERED_LIMIT);
    EXPECT_EQ(ListTexts(data, LIST_HISTORY), (Texts{"A", "B", "C"}));
}

TEST_F(StoreFolder, ReadingIntoAFilledListMovesItsTexts)
{
    FillList(data, LIST_HISTORY, {"old top", "B", "old bottom"});
    std::string path = File("more");
    WriteFileBytes(path, BYTES("B\0new\0"));
    std::vector<char> buffer(STORE_BUFFER_SIZE);
    StoreFile_ReadPath(data, LIST_HISTORY, path.c_str(), buffer.data(), REGISTERED_LIMIT);
    EXPECT_EQ(ListTexts(data, LIST_HISTORY), (Texts{"new", "B", "old top", "old bottom"}));
}

TEST_F(StoreFolder, ReadingIntoBothListsFillsEach)
{
    std::string path = File("both");
    WriteFileBytes(path, BYTES("A\0B\0"));
    std::vector<char> buffer(STORE_BUFFER_SIZE);
    StoreFile_ReadPath(data, LIST_HISTORY | LIST_REGISTERED, path.c_str(), buffer.data(), REGISTERED_LIMIT);
    EXPECT_EQ(ListTexts(data, LIST_HISTORY), (Texts{"B", "A"}));
    EXPECT_EQ(ListTexts(data, LIST_REGISTERED), (Texts{"B", "A"}));
}

// Loading into an empty list finds repeats by hashing; the list must be the
// one the add-or-move rule gives when each record is added in turn.
TEST_F(StoreFolder, LoadMatchesAddingEachRecordInTurn)
{
    std::string bytes;
    unsigned seed = 777;
    for (int i = 0; i < 5000; i++) {
        seed = seed * 1103515245u + 12345u;
        unsigned r = (seed >> 16) & 0x7fff;
        bytes += "text " + std::to_string(r % 700);
        if (r % 3 == 0)
            bytes += "\r\nline";
        bytes += '\0';
    }
    std::string path = File("many");
    WriteFileBytes(path, bytes);

    AppData* expected = AppData_New();
    ASSERT_NE(expected, nullptr);
    for (const std::string& text : ReadRecordsOneByOne(path, REGISTERED_LIMIT))
        AppData_Add(expected, LIST_HISTORY, text.c_str());

    std::vector<char> buffer(STORE_BUFFER_SIZE);
    StoreFile_ReadPath(data, LIST_HISTORY, path.c_str(), buffer.data(), REGISTERED_LIMIT);
    EXPECT_EQ(ListTexts(data, LIST_HISTORY), ListTexts(expected, LIST_HISTORY));
    AppData_Delete(expected);
}

TEST_F(StoreFolder, MissingFileLoadsNothing)
{
    std::vector<char> buffer(STORE_BUFFER_SIZE);
    std::string path = folder + "/absent";
    EXPECT_TRUE(StoreFile_ReadPath(data, LIST_REGISTERED, path.c_str(), buffer.data(), REGISTERED_LIMIT));
    EXPECT_EQ(AppData_GetCount(data, LIST_REGISTERED), 0);
}

// ---------------------------------------------------------------------------
// Round trips

class RoundTrip : public StoreFolder {
protected:
    Texts WriteAndRead(const Texts& topToBottom, size_t limit)
    {
        AppData_Clear(data, LIST_REGISTERED);
        FillList(data, LIST_REGISTERED, topToBottom);
        std::string path = File("roundtrip");
        StoreFile_WritePath(data, LIST_REGISTERED, path.c_str());
        AppData* loaded = AppData_New();
        std::vector<char> buffer(limit + 1);
        StoreFile_ReadPath(loaded, LIST_REGISTERED, path.c_str(), buffer.data(), limit);
        Texts texts = ListTexts(loaded, LIST_REGISTERED);
        AppData_Delete(loaded);
        return texts;
    }
};

TEST_F(RoundTrip, EveryByteValue)
{
    std::string all;
    for (int c = 1; c <= 0xFF; c++)
        all += static_cast<char>(c);
    std::string reversed(all.rbegin(), all.rend());
    Texts texts = {all, reversed};
    EXPECT_EQ(WriteAndRead(texts, REGISTERED_LIMIT), texts);
}

TEST_F(RoundTrip, EveryByteValueStoredWithOnlyLfWidened)
{
    std::string all;
    for (int c = 1; c <= 0xFF; c++)
        all += static_cast<char>(c);
    FillList(data, LIST_REGISTERED, {all});
    std::string path = File("bytes");
    StoreFile_WritePath(data, LIST_REGISTERED, path.c_str());
    std::string expected = all.substr(0, 9) + "\r\n" + all.substr(10) + std::string(1, '\0');
    EXPECT_EQ(ReadWholeFile(path), expected);
}

TEST_F(RoundTrip, DoubleByteTexts)
{
    Texts texts = {
        "\x95\x5c\x8e\xa6",                  // "表示"
        "\x83\x5c\x83\x74\x83\x67\n\x94\x5c", // "ソフト" LF "能"
        "\x82\xa0\r\n\x82\xa2",               // "あ" CR LF "い"
    };
    EXPECT_EQ(WriteAndRead(texts, REGISTERED_LIMIT), texts);
}

TEST_F(RoundTrip, LineBreaksOfEveryKind)
{
    Texts texts = {"a\r\nb", "a\rb", "a\nb", "\r", "\n", "\r\n", "\n\r", "\r\r\n\n", "end\r"};
    EXPECT_EQ(WriteAndRead(texts, REGISTERED_LIMIT), texts);
}

TEST_F(RoundTrip, EmptyTexts)
{
    EXPECT_EQ(WriteAndRead({"", "a"}, REGISTERED_LIMIT), (Texts{"", "a"}));
    EXPECT_EQ(WriteAndRead({}, REGISTERED_LIMIT), Texts{});
}

TEST_F(RoundTrip, TextOf64KiB)
{
    std::string text;
    for (int i = 0; text.size() < 65536; i++)
        text += "line " + std::to_string(i) + "\r\n";
    text.resize(65536);
    EXPECT_EQ(WriteAndRead({text}, HISTORY_BUFFER_FIRST_SIZE - 1), Texts{text});
}

TEST_F(RoundTrip, LongestRegisteredTextStaysWhole)
{
    std::string text(REGISTERED_LIMIT - 1, 'r');
    EXPECT_EQ(WriteAndRead({text, "next"}, REGISTERED_LIMIT), (Texts{text, "next"}));
}

TEST_F(RoundTrip, OneByteTooLongSplitsWithTheRestOnTop)
{
    std::string text(REGISTERED_LIMIT - 1, 'r');
    text += 'Z';
    EXPECT_EQ(WriteAndRead({text}, REGISTERED_LIMIT), (Texts{"Z", text.substr(0, REGISTERED_LIMIT - 1)}));
}

TEST_F(RoundTrip, LongRecordSplitsAtTheLimit)
{
    std::string text;
    for (int i = 0; text.size() < 100000; i++)
        text += static_cast<char>('a' + i % 26);
    Texts loaded = WriteAndRead({text}, REGISTERED_LIMIT);
    ASSERT_EQ(loaded.size(), 2u);
    EXPECT_EQ(loaded[1], text.substr(0, REGISTERED_LIMIT - 1));
    EXPECT_EQ(loaded[0], text.substr(REGISTERED_LIMIT - 1));
}

// ---------------------------------------------------------------------------
// Rewriting the file: whole or not at all

TEST_F(StoreFolder, EmptyListWritesAnEmptyFile)
{
    std::string path = File("empty.use");
    WriteFileBytes(path, BYTES("old\0"));
    StoreFile_WritePath(data, LIST_REGISTERED, path.c_str());
    EXPECT_TRUE(FileExists(path));
    EXPECT_EQ(ReadWholeFile(path), "");
    EXPECT_FALSE(FileExists(path + ".tmp"));
}

TEST_F(StoreFolder, RewriteReplacesTheWholeFile)
{
    std::string path = File("texts.use");
    WriteFileBytes(path, std::string(5000, 'o') + std::string(1, '\0'));
    FillList(data, LIST_REGISTERED, {"new"});
    StoreFile_WritePath(data, LIST_REGISTERED, path.c_str());
    EXPECT_EQ(ReadWholeFile(path), BYTES("new\0"));
    EXPECT_FALSE(FileExists(path + ".tmp"));
}

TEST_F(StoreFolder, StaleTempFileIsOverwritten)
{
    std::string path = File("texts.use");
    WriteFileBytes(path + ".tmp", "left over from a crash");
    FillList(data, LIST_REGISTERED, {"a"});
    StoreFile_WritePath(data, LIST_REGISTERED, path.c_str());
    EXPECT_EQ(ReadWholeFile(path), BYTES("a\0"));
    EXPECT_FALSE(FileExists(path + ".tmp"));
}

TEST_F(StoreFolder, BadSelectorWritesNothing)
{
    std::string path = File("none");
    FillList(data, LIST_REGISTERED, {"a"});
    EXPECT_TRUE(StoreFile_WritePath(data, 3, path.c_str()));
    EXPECT_TRUE(StoreFile_WritePath(data, 0, path.c_str()));
    EXPECT_FALSE(FileExists(path));
}

TEST_F(StoreFolder, FolderThatDoesNotExistWritesNothing)
{
    FillList(data, LIST_HISTORY, {"a", "b"});
    std::vector<const char*> before = ListPointers(data, LIST_HISTORY);
    std::string path = folder + "/missing/history.hst";
    EXPECT_TRUE(StoreFile_WritePath(data, LIST_HISTORY, path.c_str()));
    EXPECT_FALSE(FileExists(path));
    EXPECT_FALSE(FileExists(path + ".tmp"));
    EXPECT_EQ(ListPointers(data, LIST_HISTORY), before);
    EXPECT_EQ(ListTexts(data, LIST_HISTORY), (Texts{"a", "b"}));
}

// The temporary file's usual name is taken by a folder: the save goes
// through another name, and the folder is left alone.
TEST_F(StoreFolder, TempNameTakenByAFolderDoesNotBlockTheSave)
{
    std::string path = File("texts.use");
    made.push_back(path + ".1.tmp");
    WriteFileBytes(path, BYTES("old\0"));
    ASSERT_EQ(MakeOneFolder(path + ".tmp"), 0);
    FillList(data, LIST_REGISTERED, {"new"});
    EXPECT_TRUE(StoreFile_WritePath(data, LIST_REGISTERED, path.c_str()));
    EXPECT_EQ(ReadWholeFile(path), BYTES("new\0"));
    EXPECT_TRUE(IsFolderPath(path + ".tmp"));
    EXPECT_FALSE(FileExists(path + ".1.tmp"));
}

// Every name a save could take is a folder: the old file stays.
TEST_F(StoreFolder, NoFreeTempNameKeepsTheOldFile)
{
    std::string path = File("texts.use");
    WriteFileBytes(path, BYTES("old\0"));
    std::vector<std::string> blockers = {path + ".tmp"};
    for (int i = 1; i < 100; i++)
        blockers.push_back(path + "." + std::to_string(i) + ".tmp");
    for (const std::string& b : blockers) {
        made.push_back(b);
        ASSERT_EQ(MakeOneFolder(b), 0);
    }
    FillList(data, LIST_REGISTERED, {"new"});
    std::vector<const char*> before = ListPointers(data, LIST_REGISTERED);
    const char* texts[] = {"new"};
    EXPECT_FALSE(StoreFile_SaveTexts(texts, 1, path.c_str(), true, nullptr));
    EXPECT_TRUE(StoreFile_WritePath(data, LIST_REGISTERED, path.c_str()));
    EXPECT_EQ(ReadWholeFile(path), BYTES("old\0"));
    EXPECT_EQ(ListPointers(data, LIST_REGISTERED), before);
}

// The file's own name is taken by a folder: the final replace fails.
TEST_F(StoreFolder, FailedReplaceRemovesTheTempFile)
{
    std::string path = File("texts.use");
    ASSERT_EQ(MakeOneFolder(path), 0);
    FillList(data, LIST_REGISTERED, {"new"});
    EXPECT_TRUE(StoreFile_WritePath(data, LIST_REGISTERED, path.c_str()));
    EXPECT_TRUE(IsFolderPath(path));
    EXPECT_FALSE(FileExists(path + ".tmp"));
    EXPECT_EQ(ListTexts(data, LIST_REGISTERED), Texts{"new"});
}

// A store file that cannot be written leaves its side file as it was: the
// side file follows only a store file that was replaced. A folder holding
// the store file's name makes the replace fail.
TEST_F(StoreFolder, FailedStoreWriteLeavesTheSideFile)
{
    std::string path = File("texts.use");
    ASSERT_EQ(MakeOneFolder(path), 0);
    AppData_AddWithOriginal(data, LIST_REGISTERED, "Caf?", "Caf\xC3\xA9");  // Café
    EXPECT_TRUE(StoreFile_WritePath(data, LIST_REGISTERED, path.c_str()));
    EXPECT_TRUE(IsFolderPath(path));
    EXPECT_FALSE(FileExists(path + ".utf8"));
    EXPECT_FALSE(FileExists(path + ".tmp"));
    ASSERT_EQ(RemoveOneFolder(path), 0);
    EXPECT_TRUE(StoreFile_WritePath(data, LIST_REGISTERED, path.c_str()));
    EXPECT_EQ(ReadWholeFile(path), BYTES("Caf?\0"));
    EXPECT_TRUE(FileExists(path + ".utf8"));
}

#ifndef _WIN32
// A store file that is a symbolic link stays one: the file it points at gets
// the new contents, and the temporary file is made beside that file.
TEST_F(StoreFolder, LinkedFileIsWrittenThroughToItsTarget)
{
    std::string target = File("real.use");
    std::string link = File("texts.use");
    WriteFileBytes(target, BYTES("old\0"));
    ASSERT_EQ(symlink("real.use", link.c_str()), 0);
    FillList(data, LIST_REGISTERED, {"new"});
    StoreFile_WritePath(data, LIST_REGISTERED, link.c_str());
    struct stat st;
    ASSERT_EQ(lstat(link.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(ReadWholeFile(target), BYTES("new\0"));
    EXPECT_FALSE(FileExists(target + ".tmp"));
    EXPECT_FALSE(FileExists(link + ".tmp"));
}

// A full disk: the temporary name leads to /dev/full, where every write fails.
TEST_F(StoreFolder, WriteErrorKeepsTheOldFile)
{
    std::string path = File("texts.use");
    WriteFileBytes(path, BYTES("old\0"));
    ASSERT_EQ(symlink("/dev/full", (path + ".tmp").c_str()), 0);
    FillList(data, LIST_REGISTERED, {"new", "texts"});
    EXPECT_TRUE(StoreFile_WritePath(data, LIST_REGISTERED, path.c_str()));
    EXPECT_EQ(ReadWholeFile(path), BYTES("old\0"));
    struct stat st;
    EXPECT_NE(lstat((path + ".tmp").c_str(), &st), 0) << "the temporary name is still there";
    EXPECT_EQ(ListTexts(data, LIST_REGISTERED), (Texts{"new", "texts"}));
}
#endif

// ---------------------------------------------------------------------------
// AllocShrinking

TEST(AllocShrinking, FirstSizeWhenItCanBeHad)
{
    size_t obtained = 0;
    void* block = AllocShrinking(HISTORY_BUFFER_FIRST_SIZE, STORE_BUFFER_SIZE, &obtained);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(obtained, static_cast<size_t>(HISTORY_BUFFER_FIRST_SIZE));
    memset(block, 0, obtained);
    free(block);
}

#if defined(__SANITIZE_ADDRESS__)
#define TAMARIN_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TAMARIN_ASAN 1
#endif
#endif

// Sizes beyond any address space: every try fails, down to the smallest size
// and no further. AddressSanitizer stops the program on such a request instead
// of answering null, so this runs only without it. (Sizes that might fit are
// left out: an allocator may commit them for real.)
#if !defined(TAMARIN_ASAN) && SIZE_MAX > 0xFFFFFFFFu
TEST(AllocShrinking, NullBelowTheSmallest)
{
    size_t first = static_cast<size_t>(1) << 62;
    size_t obtained = 0;
    EXPECT_EQ(AllocShrinking(first, first / 4, &obtained), nullptr);
    EXPECT_EQ(obtained, first / 4);
}
#endif

// ---------------------------------------------------------------------------
// The files beside the executable: load, saves, and the adds that write them

struct AppFiles : testing::Test {
    std::string historyPath;
    std::string registeredPath;
    AppInfo info;
    AppData* data = nullptr;

    void SetUp() override
    {
        char path[APP_FILE_PATH_SIZE];
        ASSERT_TRUE(GetAppFilePath(path, sizeof(path), ".hst"));
        historyPath = path;
        ASSERT_TRUE(GetAppFilePath(path, sizeof(path), ".use"));
        registeredPath = path;
        RemoveAll();
        memset(&info, 0, sizeof(info));
        info.historyMax = 30;
        info.historyEnabled = true;
        info.useHistoryFile = true;
    }

    void TearDown() override
    {
        AppData_Delete(data);
        RemoveAll();
    }

    void RemoveAll()
    {
        for (const std::string& p : {historyPath, registeredPath}) {
            remove(p.c_str());
            remove((p + ".tmp").c_str());
            remove((p + ".utf8").c_str());
            remove((p + ".utf8.tmp").c_str());
        }
    }
};

TEST_F(AppFiles, LoadReadsBothFiles)
{
    WriteFileBytes(registeredPath, BYTES("R1\0R2\r\nx\0"));
    WriteFileBytes(historyPath, BYTES("H1\0H2\0"));
    data = AppData_Load(&info);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(ListTexts(data, LIST_REGISTERED), (Texts{"R2\nx", "R1"}));
    EXPECT_EQ(ListTexts(data, LIST_HISTORY), (Texts{"H2", "H1"}));
}

TEST_F(AppFiles, LoadWithoutFilesGivesEmptyLists)
{
    data = AppData_Load(&info);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(AppData_GetCount(data, LIST_REGISTERED), 0);
    EXPECT_EQ(AppData_GetCount(data, LIST_HISTORY), 0);
}

TEST_F(AppFiles, HistoryLargerThanTheCapLoadsWhole)
{
    info.historyMax = 3;
    std::string bytes;
    Texts expected;
    for (int i = 0; i < 10; i++) {
        std::string text = "entry " + std::to_string(i);
        bytes += text + std::string(1, '\0');
        expected.insert(expected.begin(), text);
    }
    WriteFileBytes(historyPath, bytes);
    data = AppData_Load(&info);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(ListTexts(data, LIST_HISTORY), expected);
}

// A text of n bytes with line breaks spread through it, so that CR LF pairs
// fall on every kind of boundary of the reading buffer.
std::string LongText(size_t n, char fill)
{
    std::string text(n, fill);
    for (size_t i = 7; i < n; i += 4093)
        text[i] = '\n';
    if (n > 65535)
        text[65534] = '\n';  // its CR is the last byte the first buffer takes
    return text;
}

// Each record comes back as the one text it is, whatever its length: around
// the first reading buffer (64 KiB), the old history buffer (1 MiB), and
// several megabytes.
TEST_F(AppFiles, RecordsOfAnyLengthLoadWhole)
{
    const size_t sizes[] = {0, 1, 65533, 65534, 65535, 65536, 65537, 131072, 1048574, 1048575, 1048576, 3 * 1048576 + 5};
    Texts history;
    Texts registered;
    char fill = 'a';
    for (size_t n : sizes) {
        history.push_back(LongText(n, fill++));
        registered.push_back(LongText(n, fill++));
    }
    data = AppData_New();
    ASSERT_NE(data, nullptr);
    FillList(data, LIST_HISTORY, history);
    FillList(data, LIST_REGISTERED, registered);
    AppData_SaveHistory(data, &info);
    AppData_SaveRegistered(data);
    AppData_Delete(data);

    data = AppData_Load(&info);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->partialLists, 0);
    EXPECT_TRUE(ListTexts(data, LIST_HISTORY) == history);
    EXPECT_TRUE(ListTexts(data, LIST_REGISTERED) == registered);
}

// Fails every allocation above a size (or of exactly one size), as a
// machine short of memory would.
size_t g_allocationCeiling;
size_t g_refusedSize;

void* ReallocateBelowCeiling(void* block, size_t size)
{
    return size > g_allocationCeiling || size == g_refusedSize ? nullptr : realloc(block, size);
}

struct ShortOfMemory {
    explicit ShortOfMemory(size_t ceiling, size_t refused = 0)
    {
        g_allocationCeiling = ceiling;
        g_refusedSize = refused;
        StoreFile_Reallocate = ReallocateBelowCeiling;
    }
    ~ShortOfMemory() { StoreFile_Reallocate = realloc; }
};

// A record that cannot be held ends the load: the texts read before it stay,
// the file is not written back while the list is as loaded, and the first
// change of the list writes it again.
TEST_F(AppFiles, LoadCutShortByMemoryKeepsTheFileUntilTheListChanges)
{
    std::string big = LongText(3 * 1048576, 'b');
    std::string bytes = BYTES("old 1\0old 2\0") + big + BYTES("\0newest\0");
    WriteFileBytes(historyPath, bytes);
    WriteFileBytes(registeredPath, bytes);
    {
        ShortOfMemory lack(1048576);
        data = AppData_Load(&info);
    }
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->partialLists, LIST_HISTORY | LIST_REGISTERED);
    EXPECT_EQ(ListTexts(data, LIST_HISTORY), (Texts{"old 2", "old 1"}));
    EXPECT_EQ(ListTexts(data, LIST_REGISTERED), (Texts{"old 2", "old 1"}));

    AppData_SaveHistory(data, &info);
    AppData_SaveRegistered(data);
    EXPECT_EQ(ReadWholeFile(historyPath), bytes);
    EXPECT_EQ(ReadWholeFile(registeredPath), bytes);

    AppData_AddClip(data, "clip", &info);
    EXPECT_EQ(ReadWholeFile(historyPath), BYTES("old 1\0old 2\0clip\0"));
    EXPECT_EQ(ReadWholeFile(registeredPath), bytes);
    AppData_Register(data, "mine");
    EXPECT_EQ(ReadWholeFile(registeredPath), BYTES("old 1\0old 2\0mine\0"));
    EXPECT_EQ(data->partialLists, 0);
}

// The same when memory runs out for the copy of a record rather than for the
// reading buffer. A stored copy is the text and two NULs (the second ends
// its empty original).
TEST_F(AppFiles, LoadCutShortWhileCopyingARecord)
{
    std::string big(100000, 'c');
    WriteFileBytes(registeredPath, BYTES("first\0") + big + BYTES("\0"));
    {
        ShortOfMemory lack(SIZE_MAX, big.size() + 2);
        data = AppData_Load(&info);
    }
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->partialLists, LIST_REGISTERED);
    EXPECT_EQ(ListTexts(data, LIST_REGISTERED), Texts{"first"});
}

TEST_F(AppFiles, ClearingAPartlyLoadedListWritesItsFile)
{
    WriteFileBytes(historyPath, BYTES("a\0") + std::string(100000, 'x') + BYTES("\0"));
    {
        ShortOfMemory lack(70000);
        data = AppData_Load(&info);
    }
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->partialLists, LIST_HISTORY);
    AppData_Clear(data, LIST_HISTORY);
    AppData_SaveHistory(data, &info);
    EXPECT_EQ(ReadWholeFile(historyPath), "");
}

TEST_F(AppFiles, HistoryFileOffReadsAndWritesNothing)
{
    info.useHistoryFile = false;
    std::string bytes = BYTES("kept\0");
    WriteFileBytes(historyPath, bytes);
    data = AppData_Load(&info);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(AppData_GetCount(data, LIST_HISTORY), 0);

    AppData_AddClip(data, "new clip", &info);
    EXPECT_EQ(ListTexts(data, LIST_HISTORY), Texts{"new clip"});
    AppData_SaveHistory(data, &info);
    EXPECT_EQ(ReadWholeFile(historyPath), bytes);

    remove(historyPath.c_str());
    AppData_SaveHistory(data, &info);
    AppData_AddClip(data, "another", &info);
    EXPECT_FALSE(FileExists(historyPath));
}

TEST_F(AppFiles, AddClipWritesTheHistoryFile)
{
    data = AppData_Load(&info);
    ASSERT_NE(data, nullptr);
    AppData_AddClip(data, "first", &info);
    EXPECT_EQ(ReadWholeFile(historyPath), BYTES("first\0"));
    AppData_AddClip(data, "a\r\nb", &info);
    EXPECT_EQ(ReadWholeFile(historyPath), BYTES("first\0a\r\r\nb\0"));
    EXPECT_FALSE(FileExists(registeredPath));
}

TEST_F(AppFiles, AddClipWritesTheTrimmedHistory)
{
    info.historyMax = 2;
    data = AppData_Load(&info);
    ASSERT_NE(data, nullptr);
    for (const char* text : {"A", "B", "C"})
        AppData_AddClip(data, text, &info);
    EXPECT_EQ(ReadWholeFile(historyPath), BYTES("B\0C\0"));
}

TEST_F(AppFiles, AddClipOfARegisteredTextWritesNothing)
{
    data = AppData_Load(&info);
    ASSERT_NE(data, nullptr);
    AppData_Add(data, LIST_REGISTERED, "R");
    AppData_AddClip(data, "R", &info);
    EXPECT_FALSE(FileExists(historyPath));
}

TEST_F(AppFiles, RegisterWritesTheRegisteredFile)
{
    data = AppData_Load(&info);
    ASSERT_NE(data, nullptr);
    AppData_Register(data, "one");
    AppData_Register(data, "two\nlines");
    EXPECT_EQ(ReadWholeFile(registeredPath), BYTES("one\0two\r\nlines\0"));
    EXPECT_FALSE(FileExists(historyPath));

    // Registering it again changes nothing and writes no file.
    remove(registeredPath.c_str());
    AppData_Register(data, "one");
    EXPECT_FALSE(FileExists(registeredPath));
}

// The registered-text file holds the code-page-932 form of a text with an
// original, byte for byte as an older build writes it.
TEST_F(AppFiles, RegisterWithOriginalWritesTheCodePageText)
{
    data = AppData_Load(&info);
    ASSERT_NE(data, nullptr);
    AppData_RegisterWithOriginal(data, "Caf? ?", "Caf\xC3\xA9 \xF0\x9F\x98\x80");  // Café 😀
    AppData_RegisterWithOriginal(data, "Caf? ?", "Caf\xC3\xA9 \xF0\x9F\x98\x83");  // Café 😃
    EXPECT_EQ(AppData_GetCount(data, LIST_REGISTERED), 2);
    EXPECT_EQ(ReadWholeFile(registeredPath), BYTES("Caf? ?\0Caf? ?\0"));
    remove(registeredPath.c_str());
    AppData_RegisterWithOriginal(data, "Caf? ?", "Caf\xC3\xA9 \xF0\x9F\x98\x80");
    EXPECT_FALSE(FileExists(registeredPath));
}

TEST_F(AppFiles, SavesAndLoadGiveTheSameLists)
{
    data = AppData_New();
    ASSERT_NE(data, nullptr);
    FillList(data, LIST_HISTORY, {"h top", "h\r\nmid", "", "h bottom"});
    FillList(data, LIST_REGISTERED, {"r top", "\x95\x5c\n"}); // "表" LF
    AppData_SaveHistory(data, &info);
    AppData_SaveRegistered(data);
    AppData* loaded = AppData_Load(&info);
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(ListTexts(loaded, LIST_HISTORY), ListTexts(data, LIST_HISTORY));
    EXPECT_EQ(ListTexts(loaded, LIST_REGISTERED), ListTexts(data, LIST_REGISTERED));
    AppData_Delete(loaded);
    EXPECT_FALSE(FileExists(historyPath + ".tmp"));
    EXPECT_FALSE(FileExists(registeredPath + ".tmp"));
}

// ---------------------------------------------------------------------------
// The side files: originals beside the store files

const char CAFE_GRIN[] = "Caf\xC3\xA9 \xF0\x9F\x98\x80";   // Café 😀
const char CAFE_SMILE[] = "Caf\xC3\xA9 \xF0\x9F\x98\x83";  // Café 😃
const char KOREAN[] = "\xED\x95\x9C\xEA\xB5\xAD";          // 한국

std::string OriginalAt(const AppData* data, int list, int index)
{
    const char* original = AppData_GetOriginalAt(data, list, index);
    return original ? original : "";
}

typedef std::vector<std::string> Originals;

Originals OriginalsOf(const AppData* data, int list)
{
    Originals originals;
    for (int i = 0; i < AppData_GetCount(data, list); i++)
        originals.push_back(OriginalAt(data, list, i));
    return originals;
}

TEST_F(AppFiles, OriginalsSurviveARestart)
{
    data = AppData_Load(&info);
    ASSERT_NE(data, nullptr);
    AppData_AddClipWithOriginal(data, "Caf? ?", CAFE_GRIN, &info);
    AppData_AddClip(data, "\x82\xa0", &info);  // あ
    AppData_AddClipWithOriginal(data, "Caf? ?", CAFE_SMILE, &info);
    AppData_AddClipWithOriginal(data, "??", KOREAN, &info);
    AppData_RegisterWithOriginal(data, "??", KOREAN);
    // The store files hold the code-page texts, byte for byte as always.
    EXPECT_EQ(ReadWholeFile(historyPath), BYTES("Caf? ?\0\x82\xa0\0Caf? ?\0??\0"));
    EXPECT_EQ(ReadWholeFile(registeredPath), BYTES("??\0"));
    EXPECT_TRUE(FileExists(historyPath + ".utf8"));
    EXPECT_TRUE(FileExists(registeredPath + ".utf8"));
    EXPECT_FALSE(FileExists(historyPath + ".utf8.tmp"));

    AppData* loaded = AppData_Load(&info);
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(ListTexts(loaded, LIST_HISTORY), (Texts{"??", "Caf? ?", "\x82\xa0", "Caf? ?"}));
    EXPECT_EQ(OriginalsOf(loaded, LIST_HISTORY), (Originals{KOREAN, CAFE_SMILE, "", CAFE_GRIN}));
    EXPECT_EQ(OriginalsOf(loaded, LIST_REGISTERED), (Originals{KOREAN}));
    AppData_Delete(loaded);
}

// A history of texts code page 932 holds never gets a side file.
TEST_F(AppFiles, PureCodePageTextsWriteNoSideFile)
{
    data = AppData_Load(&info);
    ASSERT_NE(data, nullptr);
    AppData_AddClip(data, "\x82\xa0\x95\x5c", &info);  // あ表
    AppData_AddClipWithOriginal(data, "\x82\xa2", "\xE3\x81\x84", &info);  // い, its original fits
    AppData_RegisterWithOriginal(data, "x", "x");
    EXPECT_EQ(ReadWholeFile(historyPath), BYTES("\x82\xa0\x95\x5c\0\x82\xa2\0"));
    EXPECT_FALSE(FileExists(historyPath + ".utf8"));
    EXPECT_FALSE(FileExists(registeredPath + ".utf8"));
}

// A change that leaves the originals as they were leaves the side file alone;
// one that changes them rewrites it; one that leaves none removes it.
TEST_F(AppFiles, SideFileIsWrittenOnlyWhenItChanges)
{
    info.historyMax = 3;
    data = AppData_Load(&info);
    ASSERT_NE(data, nullptr);
    const std::string side = historyPath + ".utf8";
    AppData_AddClipWithOriginal(data, "Caf? ?", CAFE_GRIN, &info);
    std::string written = ReadWholeFile(side);
    ASSERT_FALSE(written.empty());
    WriteFileBytes(side, written + "marker");  // a rewrite would drop the marker
    AppData_AddClip(data, "a", &info);
    AppData_AddClip(data, "b", &info);
    EXPECT_EQ(ReadWholeFile(side), written + "marker");
    AppData_AddClipWithOriginal(data, "??", KOREAN, &info);  // pushes Café 😀 out
    std::string rewritten = ReadWholeFile(side);
    EXPECT_NE(rewritten.find(KOREAN), std::string::npos);
    EXPECT_EQ(rewritten.find(CAFE_GRIN), std::string::npos);
    AppData_AddClip(data, "c", &info);
    AppData_AddClip(data, "d", &info);
    AppData_AddClip(data, "e", &info);
    EXPECT_FALSE(FileExists(side));

    // After a start the side file read is what is known: no rewrite either.
    AppData_AddClipWithOriginal(data, "??", KOREAN, &info);
    written = ReadWholeFile(side);
    AppData* loaded = AppData_Load(&info);
    ASSERT_NE(loaded, nullptr);
    WriteFileBytes(side, written + "marker");
    AppData_AddClip(loaded, "f", &info);
    EXPECT_EQ(ReadWholeFile(side), written + "marker");
    AppData_Delete(loaded);
}

// Hand edits of ".hst" and damage to the side file: every entry loads, each
// with its own original or none.
TEST_F(AppFiles, HandEditedStoreFileKeepsWhatWasLeftAlone)
{
    data = AppData_Load(&info);
    ASSERT_NE(data, nullptr);
    AppData_AddClipWithOriginal(data, "Caf? ?", CAFE_GRIN, &info);
    AppData_AddClip(data, "plain", &info);
    AppData_AddClipWithOriginal(data, "??", KOREAN, &info);
    const std::string side = ReadWholeFile(historyPath + ".utf8");

    // The first entry removed and the rest reordered by hand.
    WriteFileBytes(historyPath, BYTES("??\0plain\0"));
    AppData* loaded = AppData_Load(&info);
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(ListTexts(loaded, LIST_HISTORY), (Texts{"plain", "??"}));
    EXPECT_EQ(OriginalsOf(loaded, LIST_HISTORY), (Originals{"", KOREAN}));
    AppData_Delete(loaded);

    // An entry changed: it loses its original.
    WriteFileBytes(historyPath, BYTES("Caf? ?\0plain\0?!\0"));
    loaded = AppData_Load(&info);
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(OriginalsOf(loaded, LIST_HISTORY), (Originals{"", "", CAFE_GRIN}));
    AppData_Delete(loaded);

    // Garbage and a cut-off side file: the entries load without originals.
    WriteFileBytes(historyPath, BYTES("Caf? ?\0plain\0??\0"));
    for (const std::string& bad : {std::string("\x01\x02garbage\xFF"), side.substr(0, side.size() / 2),
                                   std::string()}) {
        WriteFileBytes(historyPath + ".utf8", bad);
        loaded = AppData_Load(&info);
        ASSERT_NE(loaded, nullptr);
        EXPECT_EQ(ListTexts(loaded, LIST_HISTORY), (Texts{"??", "plain", "Caf? ?"}));
        for (const std::string& o : OriginalsOf(loaded, LIST_HISTORY))
            EXPECT_TRUE(o.empty() || o == CAFE_GRIN) << o;
        AppData_Delete(loaded);
    }

    // An older build's files: no side file at all.
    remove((historyPath + ".utf8").c_str());
    loaded = AppData_Load(&info);
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(OriginalsOf(loaded, LIST_HISTORY), (Originals{"", "", ""}));
    AppData_Delete(loaded);
}

// Out of memory a clip or a registration that cannot go in writes no file:
// what is on disk (here a file changed behind the program's back) stays.
TEST_F(AppFiles, AnAdditionThatRunsOutOfMemoryWritesNoFile)
{
    data = AppData_Load(&info);
    ASSERT_NE(data, nullptr);
    AppData_AddClip(data, "A", &info);
    AppData_AddClip(data, "B", &info);
    AppData_Register(data, "R");
    WriteFileBytes(historyPath, BYTES("outside\0"));
    WriteFileBytes(registeredPath, BYTES("outside\0"));
    {
        FailingAllocations failing(0);
        AppData_AddClip(data, "A", &info);  // a move: its new node is the first allocation
    }
    {
        FailingAllocations failing(0);
        AppData_Register(data, "S");  // the copy of the text
    }
    EXPECT_EQ(ListTexts(data, LIST_HISTORY), (Texts{"B", "A"}));
    EXPECT_EQ(ListTexts(data, LIST_REGISTERED), Texts{"R"});
    EXPECT_EQ(ReadWholeFile(historyPath), BYTES("outside\0"));
    EXPECT_EQ(ReadWholeFile(registeredPath), BYTES("outside\0"));
}

} // namespace
