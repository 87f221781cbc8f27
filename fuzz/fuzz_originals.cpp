// libFuzzer target for the reader of the side files (the Unicode originals
// beside ".hst" and ".use"). The input is the side file. The store file it is
// matched against holds, for each record that was read, the code-page-932
// form of its original, some of them twice, and texts of its own between
// them, as a hand-edited store file would. Checked on every input:
// - an original is given only to a text that is exactly its code-page-932
//   form, and only when code page 932 loses some of its characters;
// - the side file built from what was matched gives the same originals again.
// After a 0xFF byte, the rest of the input is read a second way: as texts
// separated by LF, each made canonical and given as the original of its
// code-page-932 form; the side file built for them, cut at a place the input
// chooses, gives every text its own original or none.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "store/originals.h"
#include "text/cp932.h"
#include "text/utf.h"

namespace {

struct Store {
    std::vector<std::string> texts;
    std::vector<const char*> pointers;
    std::vector<size_t> lengths;

    void Add(const std::string& text) { texts.push_back(text); }
    void Seal()
    {
        for (const std::string& t : texts) {
            pointers.push_back(t.c_str());
            lengths.push_back(t.size());
        }
    }
};

std::string Cp932FormOf(const char* original)
{
    size_t n = 0;
    char* form = Cp932_DupFromUtf8(original, strlen(original), &n);
    if (!form)
        abort();
    std::string s(form, n);
    free(form);
    return s;
}

std::vector<const char*> MatchAll(const OriginalsTable* table, const Store& store)
{
    std::vector<const char*> found(store.texts.size() + 1);
    Originals_Match(table, store.pointers.data(), store.lengths.data(), store.texts.size(), found.data());
    found.resize(store.texts.size());
    return found;
}

std::string Canonical(const std::string& bytes)
{
    size_t wideLength = 0;
    char16_t* wide = Utf_DupUtf8ToUtf16(bytes.data(), bytes.size(), &wideLength);
    if (!wide)
        abort();
    size_t n = 0;
    char* narrow = Utf_DupUtf16ToUtf8(wide, wideLength, &n);
    if (!narrow)
        abort();
    std::string s(narrow, n);
    free(wide);
    free(narrow);
    return s;
}

void CheckBuiltAndCut(const uint8_t* data, size_t size)
{
    if (size < 2)
        return;
    size_t cutFrom = data[0] | data[1] << 8;
    std::vector<std::string> originals;
    std::string current;
    for (size_t i = 2; i < size; i++) {
        if (data[i] == '\n') {
            originals.push_back(current);
            current.clear();
        } else if (data[i] != 0) {
            current += static_cast<char>(data[i]);
        }
    }
    originals.push_back(current);
    Store store;
    std::vector<const char*> given;
    for (std::string& o : originals) {
        o = Canonical(o);
        store.Add(Cp932FormOf(o.c_str()));
    }
    store.Seal();
    for (const std::string& o : originals)
        given.push_back(Cp932_FitsUtf8(o.data(), o.size()) ? nullptr : o.c_str());
    char* side = nullptr;
    size_t sideSize = 0;
    if (!Originals_Build(store.pointers.data(), store.lengths.data(), given.data(), given.size(), &side, &sideSize))
        return;
    size_t cut = sideSize - (sideSize ? cutFrom % (sideSize + 1) : 0);
    OriginalsTable table;
    if (Originals_Parse(&table, side, cut)) {
        std::vector<const char*> found = MatchAll(&table, store);
        for (size_t i = 0; i < found.size(); i++) {
            if (found[i] && (!given[i] || strcmp(found[i], given[i]) != 0))
                abort();
            if (cut == sideSize && (found[i] == nullptr) != (given[i] == nullptr))
                abort();
        }
        Originals_Free(&table);
    }
    free(side);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const uint8_t* split = static_cast<const uint8_t*>(memchr(data, 0xFF, size));
    if (split) {
        CheckBuiltAndCut(split + 1, size - static_cast<size_t>(split + 1 - data));
        size = static_cast<size_t>(split - data);
    }
    OriginalsTable table;
    if (!Originals_Parse(&table, reinterpret_cast<const char*>(data), size))
        return 0;

    Store store;
    for (size_t i = 0; i < table.count; i++) {
        const OriginalsRecord& r = table.records[i];
        std::string form = Cp932FormOf(r.original);
        if (form.size() != r.textLength || Originals_Hash(form.data(), form.size()) != r.textHash)
            abort();  // the reader let through a record that belongs to no text
        if (Cp932_FitsUtf8(r.original, r.originalLength) || !Utf_IsCanonicalUtf8(r.original, r.originalLength))
            abort();
        store.Add(form);
        if (r.occurrence % 2)
            store.Add(form);
        if (i < size)
            store.Add(std::string(1, static_cast<char>(data[i])));
    }
    store.Seal();

    std::vector<const char*> found = MatchAll(&table, store);
    for (size_t i = 0; i < found.size(); i++) {
        if (!found[i])
            continue;
        if (Cp932FormOf(found[i]) != store.texts[i] || Cp932_FitsUtf8(found[i], strlen(found[i])))
            abort();
    }

    char* rebuilt = nullptr;
    size_t rebuiltSize = 0;
    if (Originals_Build(store.pointers.data(), store.lengths.data(), found.data(), found.size(), &rebuilt,
                        &rebuiltSize)) {
        OriginalsTable again;
        if (Originals_Parse(&again, rebuilt, rebuiltSize)) {
            std::vector<const char*> second = MatchAll(&again, store);
            for (size_t i = 0; i < found.size(); i++) {
                if ((found[i] == nullptr) != (second[i] == nullptr))
                    abort();
                if (found[i] && strcmp(found[i], second[i]) != 0)
                    abort();
            }
            Originals_Free(&again);
        }
        free(rebuilt);
    }
    Originals_Free(&table);
    return 0;
}
