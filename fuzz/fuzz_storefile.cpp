// libFuzzer target for the store-file records. The first two input bytes
// choose the reading limit L (2 to 65); the rest is the file. Each record is
// read into a heap buffer of exactly L bytes, so a write past it is caught by
// AddressSanitizer. Checked on every input:
// - the block reader used for loading yields the same records as repeated
//   StoreFile_ReadRecord calls;
// - records written back with StoreFile_WriteRecord read again the same;
// - loading the file into an empty list gives the list that the add-or-move
//   rule gives when each record is added in turn;
// - reading the file whole gives the records of a limit no record reaches.
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "store/appdata.h"
#include "store/storefile.h"

namespace {

const size_t MAX_LIMIT = 65;

typedef std::vector<std::string> Texts;

// Every record of the stream, one StoreFile_ReadRecord call at a time.
Texts ReadAll(FILE* file, size_t limit)
{
    Texts texts;
    char* buffer = static_cast<char*>(malloc(limit));
    size_t rawSize = 0;
    if (fseek(file, 0, SEEK_END) == 0)
        rawSize = static_cast<size_t>(ftell(file));
    rewind(file);
    while (StoreFile_ReadRecord(buffer, limit, file)) {
        size_t length = strlen(buffer);
        if (length > limit - 1)
            abort();
        texts.push_back(std::string(buffer, length));
        // Every record consumes at least one byte of the file.
        if (texts.size() > rawSize)
            abort();
    }
    free(buffer);
    return texts;
}

void Collect(const char* text, size_t length, void* context)
{
    if (strlen(text) != length)
        abort();
    static_cast<Texts*>(context)->push_back(std::string(text, length));
}

Texts ScanAll(FILE* file, size_t limit)
{
    Texts texts;
    char* buffer = static_cast<char*>(malloc(limit));
    rewind(file);
    StoreFile_ScanRecords(file, buffer, limit, Collect, &texts);
    free(buffer);
    return texts;
}

Texts ListTexts(const AppData* data)
{
    Texts texts;
    for (int i = 0; i < AppData_GetCount(data, LIST_HISTORY); i++)
        texts.push_back(AppData_GetAt(data, LIST_HISTORY, i));
    return texts;
}

const std::string& TempPath()
{
    static std::string path;
    if (path.empty()) {
        const char* base = getenv("TMPDIR");
        path = std::string(base ? base : "/tmp") + "/fuzz_storefile_" + std::to_string(getpid());
    }
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* input, size_t size)
{
    if (size < 2)
        return 0;
    size_t limit = 2 + (input[0] | input[1] << 8) % (MAX_LIMIT - 1);
    const uint8_t* bytes = input + 2;
    size_t count = size - 2;

    const std::string& path = TempPath();
    FILE* file = fopen(path.c_str(), "w+b");
    if (!file)
        abort();
    if (count && fwrite(bytes, 1, count, file) != count)
        abort();
    fflush(file);

    Texts records = ReadAll(file, limit);
    if (ScanAll(file, limit) != records)
        abort();

    // Round trip: what was read, written back and read again, is the same.
    FILE* again = tmpfile();
    if (!again)
        abort();
    for (const std::string& text : records) {
        if (StoreFile_WriteRecord(text.c_str(), again) != 1)
            abort();
    }
    fflush(again);
    if (ReadAll(again, limit) != records)
        abort();
    fclose(again);
    fclose(file);

    // Loading into an empty list against the add-or-move rule record by record.
    AppData* loaded = AppData_New();
    AppData* expected = AppData_New();
    if (!loaded || !expected)
        abort();
    char* buffer = static_cast<char*>(malloc(limit));
    StoreFile_ReadPath(loaded, LIST_HISTORY, path.c_str(), buffer, limit);
    free(buffer);
    for (const std::string& text : records)
        AppData_Add(expected, LIST_HISTORY, text.c_str());
    if (ListTexts(loaded) != ListTexts(expected))
        abort();
    AppData_Delete(loaded);
    AppData_Delete(expected);

    // Whole records: the same as reading with a limit longer than the file.
    FILE* reread = fopen(path.c_str(), "rb");
    if (!reread)
        abort();
    Texts unsplit = ReadAll(reread, count + 2);
    fclose(reread);
    AppData* whole = AppData_New();
    AppData* wanted = AppData_New();
    if (!whole || !wanted || !StoreFile_ReadWholePath(whole, LIST_HISTORY, path.c_str()))
        abort();
    for (const std::string& text : unsplit)
        AppData_Add(wanted, LIST_HISTORY, text.c_str());
    if (ListTexts(whole) != ListTexts(wanted))
        abort();
    AppData_Delete(whole);
    AppData_Delete(wanted);
    remove(path.c_str());
    return 0;
}
