// The side files of the store files: the exact bytes of a record, the round
// trip, and what hand edits of the store file, older store files, damaged and
// truncated side files give: each entry its own original or none, never
// another's, never a crash.
#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

#include "store/originals.h"
#include "testfiles.h"

namespace {

// Store records (file order) and their originals; an empty original is none.
struct Entry {
    std::string text;
    std::string original;
};
typedef std::vector<Entry> Entries;
typedef std::vector<std::string> Originals;

const std::string CAFE = "Caf\xC3\xA9";                                  // Café
const std::string CAFE_GRIN = "Caf\xC3\xA9 \xF0\x9F\x98\x80";            // Café 😀
const std::string CAFE_SMILE = "Caf\xC3\xA9 \xF0\x9F\x98\x83";           // Café 😃
const std::string KOREAN = "\xED\x95\x9C\xEA\xB5\xAD";                   // 한국
const std::string EURO_KANA = "\xE2\x82\xAC\xE3\x81\x82";                // €あ
const std::string KANA_CP932 = "?\x82\xa0";                              // ?あ

std::string Build(const Entries& entries)
{
    std::vector<const char*> texts, originals;
    std::vector<size_t> lengths;
    for (const Entry& e : entries) {
        texts.push_back(e.text.c_str());
        lengths.push_back(e.text.size());
        originals.push_back(e.original.empty() ? nullptr : e.original.c_str());
    }
    char* bytes = nullptr;
    size_t size = 0;
    EXPECT_TRUE(Originals_Build(texts.data(), lengths.data(), originals.data(), entries.size(), &bytes, &size));
    std::string out(bytes ? bytes : "", size);
    free(bytes);
    return out;
}

// The originals a store file with these texts gets from the side file.
Originals Match(const std::string& side, const std::vector<std::string>& store)
{
    OriginalsTable table;
    EXPECT_TRUE(Originals_Parse(&table, side.data(), side.size()));
    std::vector<const char*> texts;
    std::vector<size_t> lengths;
    for (const std::string& t : store) {
        texts.push_back(t.c_str());
        lengths.push_back(t.size());
    }
    std::vector<const char*> found(store.size() + 1, reinterpret_cast<const char*>(1));
    Originals_Match(&table, texts.data(), lengths.data(), store.size(), found.data());
    Originals result;
    for (size_t i = 0; i < store.size(); i++)
        result.push_back(found[i] ? found[i] : "");
    Originals_Free(&table);
    return result;
}

std::vector<std::string> TextsOf(const Entries& entries)
{
    std::vector<std::string> texts;
    for (const Entry& e : entries)
        texts.push_back(e.text);
    return texts;
}

Originals OriginalsOf(const Entries& entries)
{
    Originals originals;
    for (const Entry& e : entries)
        originals.push_back(e.original);
    return originals;
}

const Entries SAMPLE = {
    {"plain", ""},
    {"Caf? ?", CAFE_GRIN},
    {"\x82\xa0", ""},          // あ
    {"Caf? ?", CAFE_SMILE},    // the same code-page text, another original
    {"??", KOREAN},
    {KANA_CP932, EURO_KANA},
    {"Caf? ?", ""},            // the literal text, no original
};

TEST(Originals, RecordBytes)
{
    EXPECT_EQ(Originals_Hash("", 0), 0xCBF29CE484222325ull);
    EXPECT_EQ(Originals_Hash("a", 1), 0xAF63DC4C8601EC8Cull);
    EXPECT_EQ(Build({{"x", ""}, {"Caf?", CAFE}}),
              "Tamarin originals 1\n"
              "@ 0 1 4 dfc6289ce9c871e6 5 061be9a13f8f0129\n"
              "Caf\xC3\xA9\n");
    EXPECT_EQ(Build({{"Caf?", CAFE}, {"Caf?", ""}, {"Caf?", CAFE}}),
              "Tamarin originals 1\n"
              "@ 0 3 4 dfc6289ce9c871e6 5 061be9a13f8f0129\nCaf\xC3\xA9\n"
              "@ 2 3 4 dfc6289ce9c871e6 5 061be9a13f8f0129\nCaf\xC3\xA9\n");
}

TEST(Originals, NoOriginalsNoSideFile)
{
    EXPECT_EQ(Build({}), "");
    EXPECT_EQ(Build({{"a", ""}, {"\x82\xa0", ""}}), "");
}

TEST(Originals, RoundTrip)
{
    std::string side = Build(SAMPLE);
    EXPECT_EQ(Match(side, TextsOf(SAMPLE)), OriginalsOf(SAMPLE));
}

// An older store file, or one whose side file went missing: no originals.
TEST(Originals, MissingOrForeignSideFileGivesNone)
{
    const Originals none(SAMPLE.size(), "");
    EXPECT_EQ(Match("", TextsOf(SAMPLE)), none);
    std::string side = Build(SAMPLE);
    EXPECT_EQ(Match("Tamarin originals 2" + side.substr(19), TextsOf(SAMPLE)), none);
    EXPECT_EQ(Match("\xEF\xBB\xBF" + side, TextsOf(SAMPLE)), none);  // a byte-order mark in front
    EXPECT_EQ(Match(side.substr(0, 20), TextsOf(SAMPLE)), none);
    EXPECT_EQ(Match(side, {}), Originals{});
}

struct EditCase {
    const char* what;
    std::vector<std::string> store;  // the store file after the edit
    Originals expected;
};

// Hand edits of the store file: entries that were left alone keep their
// originals, the ones that changed lose theirs.
TEST(Originals, HandEditsLoseOnlyWhatChanged)
{
    const std::string side = Build(SAMPLE);
    const EditCase cases[] = {
        {"first entry removed",
         {"Caf? ?", "\x82\xa0", "Caf? ?", "??", KANA_CP932, "Caf? ?"},
         {CAFE_GRIN, "", CAFE_SMILE, KOREAN, EURO_KANA, ""}},
        {"entries reordered",
         {KANA_CP932, "??", "plain", "Caf? ?", "\x82\xa0", "Caf? ?", "Caf? ?"},
         {EURO_KANA, KOREAN, "", CAFE_GRIN, "", CAFE_SMILE, ""}},
        {"an entry with an original changed",
         {"plain", "Caf? ?", "\x82\xa0", "Caf? ?", "?!", KANA_CP932, "Caf? ?"},
         {"", CAFE_GRIN, "", CAFE_SMILE, "", EURO_KANA, ""}},
        // One of three equal code-page texts gone: which one is unknown, so
        // none of them keeps an original.
        {"one of the equal texts removed",
         {"plain", "Caf? ?", "\x82\xa0", "??", KANA_CP932, "Caf? ?"},
         {"", "", "", KOREAN, EURO_KANA, ""}},
        {"another text edited into an equal one",
         {"Caf? ?", "Caf? ?", "\x82\xa0", "Caf? ?", "??", KANA_CP932, "Caf? ?"},
         {"", "", "", "", KOREAN, EURO_KANA, ""}},
        // Two texts edited into each other's are two entries reordered.
        {"texts edited into each other's",
         {"plain", "??", "\x82\xa0", "Caf? ?", "Caf? ?", KANA_CP932, "Caf? ?"},
         {"", KOREAN, "", CAFE_GRIN, CAFE_SMILE, EURO_KANA, ""}},
        {"new entries added", {"new", "plain", "Caf? ?", "\x82\xa0", "Caf? ?", "??", KANA_CP932, "Caf? ?", "??x"},
         {"", "", CAFE_GRIN, "", CAFE_SMILE, KOREAN, EURO_KANA, "", ""}},
        {"emptied", {}, {}},
    };
    for (const EditCase& c : cases)
        EXPECT_EQ(Match(side, c.store), c.expected) << c.what;
}

// Whatever a side file cut short holds, every entry gets its own original or
// none.
TEST(Originals, TruncatedSideFileNeverPairsWrongly)
{
    const std::string side = Build(SAMPLE);
    const Originals right = OriginalsOf(SAMPLE);
    size_t whole = 0;
    for (size_t cut = 0; cut <= side.size(); cut++) {
        Originals got = Match(side.substr(0, cut), TextsOf(SAMPLE));
        ASSERT_EQ(got.size(), right.size());
        size_t kept = 0;
        for (size_t i = 0; i < got.size(); i++) {
            EXPECT_TRUE(got[i].empty() || got[i] == right[i]) << "cut at " << cut << ", entry " << i;
            kept += !got[i].empty();
        }
        if (kept == 4)
            whole++;
    }
    EXPECT_EQ(whole, 1u);  // only the whole file gives all four
}

struct DamageCase {
    const char* what;
    std::string from;
    std::string to;
    Originals expected;  // for the store {"Caf?", "Caf?"} of the side file below
};

// Damage to one record: the record is left out; a record whose form cannot
// be read ends the reading.
TEST(Originals, DamagedRecordsAreLeftOut)
{
    const Entries entries = {{"Caf?", CAFE}, {"Caf?", "Caf\xC3\xA8"}};  // Café, Cafè
    const std::string side = Build(entries);
    ASSERT_EQ(side,
              "Tamarin originals 1\n"
              "@ 0 2 4 dfc6289ce9c871e6 5 061be9a13f8f0129\nCaf\xC3\xA9\n"
              "@ 1 2 4 dfc6289ce9c871e6 5 061be8a13f8eff76\nCaf\xC3\xA8\n");
    const std::string cafeGrave = "Caf\xC3\xA8";
    const DamageCase cases[] = {
        {"original changed", "Caf\xC3\xA9\n", "Caf\xC3\xAA\n", {"", cafeGrave}},
        {"original hash changed", "5 061be9a13f8f0129", "5 061be9a13f8f0128", {"", cafeGrave}},
        {"text hash changed", "0 2 4 dfc6289ce9c871e6", "0 2 4 dfc6289ce9c871e7", {"", cafeGrave}},
        {"occurrence out of range", "@ 0 2", "@ 2 2", {"", cafeGrave}},
        {"count changed", "@ 0 2", "@ 0 3", {"", cafeGrave}},
        {"count zero", "@ 0 2", "@ 0 0", {"", cafeGrave}},
        {"both records claim the first entry", "@ 1 2", "@ 0 2", {CAFE, ""}},
        {"upper-case hash", "dfc6289ce9c871e6 5 061", "DFC6289CE9C871E6 5 061", {"", ""}},
        {"original longer than the file", "5 061be8", "7 061be8", {CAFE, ""}},
        {"original length off by one", "5 061b", "4 061b", {"", ""}},
        {"no line break after the original", "Caf\xC3\xA8\n", "Caf\xC3\xA8!", {CAFE, ""}},
        {"number too long", "@ 1 2", "@ 00000000000000000001 2", {CAFE, ""}},
        {"garbage between records", "\n@ 1", "\nxx@ 1", {CAFE, ""}},
    };
    for (const DamageCase& c : cases) {
        std::string damaged = side;
        size_t at = damaged.find(c.from);
        ASSERT_NE(at, std::string::npos) << c.what;
        damaged.replace(at, c.from.size(), c.to);
        EXPECT_EQ(Match(damaged, {"Caf?", "Caf?"}), c.expected) << c.what;
    }
}

// Records that no text could need are left out even when consistent: an
// original code page 932 holds, one with a NUL, one that is no canonical UTF-8.
TEST(Originals, RecordsNoTextNeedsAreLeftOut)
{
    struct Case {
        std::string text;
        std::string original;
    };
    const Case cases[] = {
        {"abc", "abc"},
        {"Caf?", std::string("Caf\0", 4)},
        {"??", "\xED\xA0\xBD\xED\xB8\x80"},  // 😀 written as two surrogates
        {"?", "\xC3"},
    };
    for (const Case& c : cases) {
        char header[200];
        snprintf(header, sizeof header, "@ 0 1 %zu %016llx %zu %016llx\n", c.text.size(),
                 static_cast<unsigned long long>(Originals_Hash(c.text.data(), c.text.size())), c.original.size(),
                 static_cast<unsigned long long>(Originals_Hash(c.original.data(), c.original.size())));
        std::string side = std::string("Tamarin originals 1\n") + header + c.original + "\n";
        EXPECT_EQ(Match(side, {c.text}), Originals{""}) << testing::PrintToString(c.original);
    }
}

// Matching trusts no key alone: a record whose key names a text of another
// form (as a hash collision would) gives that text nothing.
TEST(Originals, MatchGivesAnOriginalOnlyToItsOwnForm)
{
    char original[] = "Caf\xC3\xA9";  // Café, whose form is "Caf?"
    OriginalsRecord record = {0, 1, 4, Originals_Hash("Cafe", 4), original, 5, 0};
    OriginalsTable table = {nullptr, &record, 1};
    const char* texts[] = {"Cafe"};
    const size_t lengths[] = {4};
    const char* found[] = {"unset"};
    Originals_Match(&table, texts, lengths, 1, found);
    EXPECT_EQ(found[0], nullptr);
    record.textHash = Originals_Hash("Caf?", 4);
    texts[0] = "Caf?";
    Originals_Match(&table, texts, lengths, 1, found);
    EXPECT_EQ(found[0], original);
}

TEST(Originals, GarbageGivesNoneAndNoFault)
{
    uint32_t state = 14;
    for (int round = 0; round < 2000; round++) {
        std::string side = "Tamarin originals 1\n";
        if (round % 3 == 0)
            side = Build(SAMPLE);
        size_t flips = 1 + round % 7;
        for (size_t k = 0; k < flips && !side.empty(); k++) {
            state = state * 1103515245u + 12345u;
            size_t at = (state >> 8) % (side.size() + 1);
            char byte = static_cast<char>(state >> 24);
            if (at == side.size())
                side += byte;
            else
                side[at] = byte;
        }
        Originals got = Match(side, TextsOf(SAMPLE));
        const Originals right = OriginalsOf(SAMPLE);
        for (size_t i = 0; i < got.size(); i++)
            ASSERT_TRUE(got[i].empty() || got[i] == right[i]) << "round " << round << ", entry " << i;
    }
}

// ---------------------------------------------------------------------------
// The file

TEST(Originals, WriteReplacesAndRemoves)
{
    ScratchFolder folder("originals");
    const std::string path = folder.path + "/tamarin.hst.utf8";
    const std::string side = Build(SAMPLE);
    ASSERT_TRUE(Originals_WritePath(path.c_str(), side.data(), side.size()));
    EXPECT_EQ(ReadWholeFile(path), side);
    EXPECT_EQ(ReadWholeFile(path + ".tmp"), "");
    EXPECT_TRUE(Originals_WritePath(path.c_str(), "Tamarin originals 1\n", 20));
    EXPECT_EQ(ReadWholeFile(path), "Tamarin originals 1\n");

    OriginalsTable table;
    ASSERT_TRUE(Originals_ReadPath(&table, path.c_str()));
    EXPECT_EQ(table.count, 0u);
    Originals_Free(&table);

    // Nothing to keep: the file goes, and going again is no failure.
    EXPECT_TRUE(Originals_WritePath(path.c_str(), nullptr, 0));
    EXPECT_FALSE(IsFolderPath(path));
    FILE* gone = fopen(path.c_str(), "rb");
    EXPECT_EQ(gone, nullptr);
    if (gone)
        fclose(gone);
    EXPECT_TRUE(Originals_WritePath(path.c_str(), nullptr, 0));

    // A missing file reads as an empty table.
    ASSERT_TRUE(Originals_ReadPath(&table, path.c_str()));
    EXPECT_EQ(table.count, 0u);
    Originals_Free(&table);
}

TEST(Originals, ReadPathReadsWhatWasWritten)
{
    ScratchFolder folder("originals");
    const std::string path = folder.path + "/tamarin.use.utf8";
    // Large enough to take several reads.
    Entries many;
    for (int i = 0; i < 3000; i++)
        many.push_back({"Caf? " + std::to_string(i) + " ?", CAFE + " " + std::to_string(i) + " \xF0\x9F\x98\x80"});
    const std::string side = Build(many);
    ASSERT_GT(side.size(), 150000u);
    ASSERT_TRUE(Originals_WritePath(path.c_str(), side.data(), side.size()));
    OriginalsTable table;
    ASSERT_TRUE(Originals_ReadPath(&table, path.c_str()));
    EXPECT_EQ(table.count, many.size());
    std::vector<const char*> texts, found(many.size());
    std::vector<size_t> lengths;
    for (const Entry& e : many) {
        texts.push_back(e.text.c_str());
        lengths.push_back(e.text.size());
    }
    Originals_Match(&table, texts.data(), lengths.data(), many.size(), found.data());
    for (size_t i = 0; i < many.size(); i++)
        ASSERT_STREQ(found[i], many[i].original.c_str()) << i;
    Originals_Free(&table);
}

TEST(Originals, WriteIntoAMissingFolderFailsAndLeavesNothing)
{
    ScratchFolder folder("originals");
    const std::string path = folder.path + "/missing/tamarin.hst.utf8";
    EXPECT_FALSE(Originals_WritePath(path.c_str(), "x", 1));
}

}  // namespace
