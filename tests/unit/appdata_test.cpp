// The clip store: add-or-move, the history rule with its cap and registered
// texts, trimming, id lookup and registration. The sanitizers catch a text
// that leaks or is freed twice.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "failingalloc.h"
#include "settings/appinfo.h"
#include "settings/settings.h"
#include "store/appdata.h"

namespace {

std::vector<std::string> ListTexts(const AppData* data, int list)
{
    std::vector<std::string> texts;
    AppData_ForEach(
        data, list,
        [](const char* text, int, void* context) { static_cast<std::vector<std::string>*>(context)->push_back(text); },
        &texts);
    return texts;
}

typedef std::vector<std::string> Texts;

struct ClipStore : testing::Test {
    AppData* data = nullptr;
    AppInfo info;

    void SetUp() override
    {
        data = AppData_New();
        ASSERT_NE(data, nullptr);
        SetDefaultSettings(&info);
        info.useHistoryFile = false;  // these tests stay in memory
    }
    void TearDown() override { AppData_Delete(data); }
};

TEST_F(ClipStore, AddMovesAnExistingTextToTheTopWithoutACopy)
{
    AppData_Add(data, LIST_HISTORY, "A");
    AppData_Add(data, LIST_HISTORY, "B");
    const char* storedA = AppData_GetAt(data, LIST_HISTORY, 1);
    AppData_Add(data, LIST_HISTORY, "A");
    EXPECT_EQ(ListTexts(data, LIST_HISTORY), (Texts{"A", "B"}));
    EXPECT_EQ(AppData_GetAt(data, LIST_HISTORY, 0), storedA);
    AppData_Add(data, LIST_HISTORY, "A");
    EXPECT_EQ(ListTexts(data, LIST_HISTORY), (Texts{"A", "B"}));
}

TEST_F(ClipStore, AddWithAMaskFillsBothLists)
{
    AppData_Add(data, LIST_HISTORY | LIST_REGISTERED, "x");
    EXPECT_EQ(AppData_GetCount(data, LIST_HISTORY), 1);
    EXPECT_EQ(AppData_GetCount(data, LIST_REGISTERED), 1);
    EXPECT_NE(AppData_GetAt(data, LIST_HISTORY, 0), AppData_GetAt(data, LIST_REGISTERED, 0));
}

TEST_F(ClipStore, CompareIsByteForByte)
{
    AppData_Add(data, LIST_HISTORY, "a\r\nb");
    AppData_Add(data, LIST_HISTORY, "a\nb");
    AppData_Add(data, LIST_HISTORY, "A\nb");
    AppData_Add(data, LIST_HISTORY, "");
    EXPECT_EQ(AppData_GetCount(data, LIST_HISTORY), 4);
    EXPECT_TRUE(AppData_Contains(data, LIST_HISTORY, ""));
    EXPECT_FALSE(AppData_Contains(data, LIST_HISTORY, "a\n"));
}

TEST_F(ClipStore, HistoryRuleSkipsRegisteredTextsAndKeepsTheCap)
{
    info.historyMax = 3;
    AppData_Add(data, LIST_REGISTERED, "R");
    for (const char* t : {"A", "B", "C", "D"})
        AppData_AddClip(data, t, &info);
    EXPECT_EQ(ListTexts(data, LIST_HISTORY), (Texts{"D", "C", "B"}));

    AppData_AddClip(data, "B", &info);
    EXPECT_EQ(ListTexts(data, LIST_HISTORY), (Texts{"B", "D", "C"}));

    // A registered text neither enters nor moves the history.
    AppData_Add(data, LIST_HISTORY, "R");
    AppData_AddClip(data, "C", &info);
    AppData_AddClip(data, "R", &info);
    EXPECT_EQ(AppData_GetAt(data, LIST_HISTORY, 0), std::string("C"));
}

TEST_F(ClipStore, LoweringTheCapTrimsAtTheNextAdd)
{
    info.historyMax = 10;
    for (int i = 0; i < 8; i++)
        AppData_AddClip(data, std::to_string(i).c_str(), &info);
    info.historyMax = 2;
    EXPECT_EQ(AppData_GetCount(data, LIST_HISTORY), 8);
    AppData_AddClip(data, "new", &info);
    EXPECT_EQ(ListTexts(data, LIST_HISTORY), (Texts{"new", "7"}));
}

TEST_F(ClipStore, TrimFreesFromTheTail)
{
    for (const char* t : {"A", "B", "C", "D", "E"})
        AppData_Add(data, LIST_REGISTERED, t);
    EXPECT_TRUE(AppData_Trim(data, LIST_REGISTERED, 10));
    EXPECT_EQ(AppData_GetCount(data, LIST_REGISTERED), 5);
    EXPECT_TRUE(AppData_Trim(data, LIST_REGISTERED, 2));
    EXPECT_EQ(ListTexts(data, LIST_REGISTERED), (Texts{"E", "D"}));
    EXPECT_TRUE(AppData_Trim(data, LIST_REGISTERED, 0));
    EXPECT_EQ(AppData_GetCount(data, LIST_REGISTERED), 0);
    EXPECT_FALSE(AppData_Trim(data, 3, 1));
}

TEST_F(ClipStore, RemoveTakesOneTextOutOfOneList)
{
    for (const char* t : {"c", "b", "a"})
        AppData_Add(data, LIST_HISTORY, t);
    AppData_Add(data, LIST_REGISTERED, "b");
    EXPECT_TRUE(AppData_Remove(data, LIST_HISTORY, "b"));
    EXPECT_EQ(ListTexts(data, LIST_HISTORY), (Texts{"a", "c"}));
    EXPECT_TRUE(AppData_Contains(data, LIST_REGISTERED, "b"));
    EXPECT_FALSE(AppData_Remove(data, LIST_HISTORY, "b"));
    EXPECT_FALSE(AppData_Remove(data, 3, "a"));
    // The stored string itself may name the text: it is compared before it goes.
    EXPECT_TRUE(AppData_Remove(data, LIST_HISTORY, AppData_GetAt(data, LIST_HISTORY, 0)));
    EXPECT_EQ(ListTexts(data, LIST_HISTORY), (Texts{"c"}));
}

TEST_F(ClipStore, BadSelectorsGiveNeutralValues)
{
    AppData_Add(data, LIST_HISTORY, "A");
    EXPECT_EQ(AppData_GetCount(data, 0), -1);
    EXPECT_EQ(AppData_GetCount(data, 3), -1);
    EXPECT_EQ(AppData_GetAt(data, 3, 0), nullptr);
    EXPECT_EQ(AppData_GetAt(data, LIST_HISTORY, 1), nullptr);
    EXPECT_EQ(AppData_GetAt(data, LIST_HISTORY, -1), nullptr);
    EXPECT_FALSE(AppData_Contains(data, 3, "A"));
}

TEST_F(ClipStore, IdsMapToListIndexes)
{
    EXPECT_EQ(AppData_GetTextById(data, 4096), nullptr);
    AppData_Add(data, LIST_HISTORY, "h1");
    AppData_Add(data, LIST_HISTORY, "h0");
    AppData_Add(data, LIST_REGISTERED, "r0");
    EXPECT_STREQ(AppData_GetTextById(data, 4096), "h0");
    EXPECT_STREQ(AppData_GetTextById(data, 4097), "h1");
    EXPECT_EQ(AppData_GetTextById(data, 4098), nullptr);
    EXPECT_STREQ(AppData_GetTextById(data, 8192), "r0");
    EXPECT_EQ(AppData_GetTextById(data, 8193), nullptr);
    for (int id : {4095, 8191, 12287, 40001, 0, -1})
        EXPECT_EQ(AppData_GetTextById(data, id), nullptr) << id;
    EXPECT_TRUE(IsHistoryId(8190));
    EXPECT_FALSE(IsHistoryId(8191));
    EXPECT_TRUE(IsRegisteredId(12286));
    EXPECT_FALSE(IsRegisteredId(12287));
}

TEST_F(ClipStore, ClearEmptiesOnlyTheMaskedLists)
{
    AppData_Add(data, LIST_HISTORY | LIST_REGISTERED, "x");
    AppData_Clear(data, LIST_HISTORY);
    EXPECT_EQ(AppData_GetCount(data, LIST_HISTORY), 0);
    EXPECT_EQ(AppData_GetCount(data, LIST_REGISTERED), 1);
    AppData_Clear(data, LIST_HISTORY | LIST_REGISTERED);
    EXPECT_EQ(AppData_GetCount(data, LIST_REGISTERED), 0);
}

// ---------------------------------------------------------------------------
// Originals: texts whose characters code page 932 lacks keep them, and the
// original takes part in every comparison.

const char CAFE_CP932[] = "Caf? ? ?? ?";
const char CAFE_GRIN[] = "Caf\xC3\xA9 \xF0\x9F\x98\x80 \xED\x95\x9C\xEA\xB5\xAD \xE2\x82\xAC";    // Café 😀 한국 €
const char CAFE_SMILE[] = "Caf\xC3\xA9 \xF0\x9F\x98\x83 \xED\x95\x9C\xEA\xB5\xAD \xE2\x82\xAC";   // Café 😃 한국 €

std::string OriginalAt(const AppData* data, int list, int index)
{
    const char* original = AppData_GetOriginalAt(data, list, index);
    return original ? original : "(none)";
}

TEST_F(ClipStore, ClipsThatDifferOnlyOutsideTheCodePageAreTwoEntries)
{
    AppData_AddClipWithOriginal(data, CAFE_CP932, CAFE_GRIN, &info);
    AppData_AddClipWithOriginal(data, CAFE_CP932, CAFE_SMILE, &info);
    EXPECT_EQ(ListTexts(data, LIST_HISTORY), (Texts{CAFE_CP932, CAFE_CP932}));
    EXPECT_EQ(OriginalAt(data, LIST_HISTORY, 0), CAFE_SMILE);
    EXPECT_EQ(OriginalAt(data, LIST_HISTORY, 1), CAFE_GRIN);

    // The first again moves to the top as the same stored block.
    const char* stored = AppData_GetAt(data, LIST_HISTORY, 1);
    AppData_AddClipWithOriginal(data, CAFE_CP932, CAFE_GRIN, &info);
    EXPECT_EQ(AppData_GetCount(data, LIST_HISTORY), 2);
    EXPECT_EQ(AppData_GetAt(data, LIST_HISTORY, 0), stored);
    EXPECT_EQ(OriginalAt(data, LIST_HISTORY, 0), CAFE_GRIN);

    // The literal code-page text is a third entry, with no original.
    AppData_AddClip(data, CAFE_CP932, &info);
    EXPECT_EQ(AppData_GetCount(data, LIST_HISTORY), 3);
    EXPECT_EQ(OriginalAt(data, LIST_HISTORY, 0), "(none)");
    EXPECT_TRUE(AppData_Contains(data, LIST_HISTORY, CAFE_CP932));
    EXPECT_TRUE(AppData_ContainsWithOriginal(data, LIST_HISTORY, CAFE_CP932, CAFE_SMILE));
    EXPECT_FALSE(AppData_ContainsWithOriginal(data, LIST_HISTORY, CAFE_CP932, "Caf\xC3\xA9"));
}

TEST_F(ClipStore, AnOriginalTheCodePageHoldsIsNotKept)
{
    const char* japanese = "\x82\xa0\x95\x5c";                // あ表
    AppData_AddClipWithOriginal(data, japanese, "\xE3\x81\x82\xE8\xA1\xA8", &info);
    AppData_AddClip(data, japanese, &info);
    AppData_AddClipWithOriginal(data, "x", "", &info);
    AppData_AddClip(data, "x", &info);
    EXPECT_EQ(ListTexts(data, LIST_HISTORY), (Texts{"x", japanese}));
    EXPECT_EQ(OriginalAt(data, LIST_HISTORY, 0), "(none)");
    EXPECT_EQ(OriginalAt(data, LIST_HISTORY, 1), "(none)");
}

TEST_F(ClipStore, RegisteredOriginalsKeepOnlyTheirOwnClipOut)
{
    AppData_Add(data, LIST_REGISTERED, CAFE_CP932);
    AppData_AddWithOriginal(data, LIST_REGISTERED, CAFE_CP932, CAFE_GRIN);
    AppData_AddClipWithOriginal(data, CAFE_CP932, CAFE_GRIN, &info);
    AppData_AddClip(data, CAFE_CP932, &info);
    EXPECT_EQ(AppData_GetCount(data, LIST_HISTORY), 0);
    AppData_AddClipWithOriginal(data, CAFE_CP932, CAFE_SMILE, &info);
    EXPECT_EQ(AppData_GetCount(data, LIST_HISTORY), 1);
    EXPECT_EQ(OriginalAt(data, LIST_HISTORY, 0), CAFE_SMILE);
}

TEST_F(ClipStore, IdsGiveOriginalsToo)
{
    AppData_AddClipWithOriginal(data, CAFE_CP932, CAFE_GRIN, &info);
    AppData_AddWithOriginal(data, LIST_REGISTERED, AppData_GetTextById(data, IDM_HISTORY_FIRST),
                            AppData_GetOriginalById(data, IDM_HISTORY_FIRST));
    AppData_AddWithOriginal(data, LIST_REGISTERED, CAFE_CP932, CAFE_GRIN);  // already there
    AppData_Add(data, LIST_REGISTERED, "plain");
    EXPECT_EQ(AppData_GetCount(data, LIST_REGISTERED), 2);
    EXPECT_STREQ(AppData_GetTextById(data, IDM_REGISTERED_FIRST + 1), CAFE_CP932);
    EXPECT_STREQ(AppData_GetOriginalById(data, IDM_REGISTERED_FIRST + 1), CAFE_GRIN);
    EXPECT_EQ(AppData_GetOriginalById(data, IDM_REGISTERED_FIRST), nullptr);
    EXPECT_EQ(AppData_GetOriginalById(data, IDM_REGISTERED_FIRST + 2), nullptr);
    EXPECT_EQ(AppData_GetOriginalById(data, 40001), nullptr);
    EXPECT_EQ(AppData_GetOriginalAt(data, 3, 0), nullptr);
}

// Trimming and clearing free each text with its original (the sanitizers
// report a leak or a double free).
TEST_F(ClipStore, OriginalsGoWithTheirTexts)
{
    info.historyMax = 2;
    AppData_AddClipWithOriginal(data, CAFE_CP932, CAFE_GRIN, &info);
    AppData_AddClipWithOriginal(data, CAFE_CP932, CAFE_SMILE, &info);
    AppData_AddClip(data, "plain", &info);
    EXPECT_EQ(ListTexts(data, LIST_HISTORY), (Texts{"plain", CAFE_CP932}));
    EXPECT_EQ(OriginalAt(data, LIST_HISTORY, 1), CAFE_SMILE);
    AppData_Clear(data, LIST_HISTORY);
    EXPECT_EQ(AppData_GetCount(data, LIST_HISTORY), 0);
}

bool ReplaceWith(AppData* data, int list, const std::vector<const char*>& texts, int count)
{
    return AppData_ReplaceList(
        data, list, count,
        [](int i, void* context, const char**) { return (*static_cast<const std::vector<const char*>*>(context))[i]; },
        const_cast<std::vector<const char*>*>(&texts));
}

// Replacing a list gives what clearing it and adding the texts from the last
// to the first gives, a repeated text at its upper place.
struct ReplaceListCase {
    const char* name;
    Texts before;
    Texts texts;
    Texts after;
};

const ReplaceListCase REPLACE_LIST_CASES[] = {
    {"empty list from nothing", {}, {}, {}},
    {"texts in order", {"old"}, {"a", "b", "c"}, {"a", "b", "c"}},
    {"cleared", {"x", "y"}, {}, {}},
    {"repeat keeps the upper place", {}, {"a", "b", "a", "c", "b"}, {"a", "b", "c"}},
    {"compared byte for byte", {}, {"a", "A", "a\n", "a"}, {"a", "A", "a\n"}},
    {"empty text is a text", {}, {"", "x", ""}, {"", "x"}},
    // 表 and ソ end in 0x5C; 表 and 表示 share a prefix
    {"double-byte texts", {}, {"\x95\x5c", "\x83\x5c", "\x95\x5c\x8e\xa6", "\x95\x5c"}, {"\x95\x5c", "\x83\x5c", "\x95\x5c\x8e\xa6"}},
};

TEST_F(ClipStore, ReplaceListMatchesClearingAndAddingFromTheBottom)
{
    for (const ReplaceListCase& c : REPLACE_LIST_CASES) {
        for (int list : {LIST_REGISTERED, LIST_HISTORY}) {
            AppData_Clear(data, LIST_HISTORY | LIST_REGISTERED);
            for (size_t i = c.before.size(); i-- > 0;)
                AppData_Add(data, list, c.before[i].c_str());
            std::vector<const char*> texts;
            for (const std::string& t : c.texts)
                texts.push_back(t.c_str());
            // A null among them (an item without a text) is passed over.
            texts.insert(texts.begin() + static_cast<long>(texts.size() / 2), nullptr);
            EXPECT_TRUE(ReplaceWith(data, list, texts, static_cast<int>(texts.size()))) << c.name;
            EXPECT_EQ(ListTexts(data, list), c.after) << c.name;

            AppData* reference = AppData_New();
            for (size_t i = c.texts.size(); i-- > 0;)
                AppData_Add(reference, list, c.texts[i].c_str());
            EXPECT_EQ(ListTexts(reference, list), ListTexts(data, list)) << c.name;
            AppData_Delete(reference);
        }
    }
}

TEST_F(ClipStore, ReplaceListRefusesABadSelectorOrCount)
{
    const std::vector<const char*> texts = {"a"};
    EXPECT_FALSE(ReplaceWith(data, 3, texts, 1));
    EXPECT_FALSE(ReplaceWith(data, LIST_REGISTERED, texts, -1));
}

// 30,000 distinct texts and as many repeats: linear, where adding each in
// turn compares every text with every other.
TEST_F(ClipStore, ReplaceListOfManyTexts)
{
    std::vector<std::string> strings;
    for (int i = 0; i < 30000; i++)
        strings.push_back("registered text " + std::to_string(i));
    std::vector<const char*> texts;
    for (int pass = 0; pass < 2; pass++)
        for (const std::string& t : strings)
            texts.push_back(t.c_str());
    ASSERT_TRUE(ReplaceWith(data, LIST_REGISTERED, texts, static_cast<int>(texts.size())));
    EXPECT_EQ(ListTexts(data, LIST_REGISTERED), strings);
}

TEST_F(ClipStore, ForEachVisitsTheListInIndexOrder)
{
    for (const char* t : {"c", "b", "a"})
        AppData_Add(data, LIST_REGISTERED, t);
    Texts seen;
    std::vector<int> indexes;
    struct Visit {
        Texts* seen;
        std::vector<int>* indexes;
    } visit = {&seen, &indexes};
    AppData_ForEach(
        data, LIST_REGISTERED,
        [](const char* text, int index, void* context) {
            Visit* v = static_cast<Visit*>(context);
            v->seen->push_back(text);
            v->indexes->push_back(index);
        },
        &visit);
    EXPECT_EQ(seen, (Texts{"a", "b", "c"}));
    EXPECT_EQ(indexes, (std::vector<int>{0, 1, 2}));
    AppData_ForEach(data, 7, [](const char*, int, void*) { FAIL(); }, nullptr);
}

}  // namespace

// ---------------------------------------------------------------- out of memory

namespace {

struct ListsState {
    Texts history;
    Texts registered;
    bool operator==(const ListsState& o) const { return history == o.history && registered == o.registered; }
};

ListsState StateOf(const AppData* data)
{
    return {ListTexts(data, LIST_HISTORY), ListTexts(data, LIST_REGISTERED)};
}

std::string Show(const ListsState& s)
{
    return "history " + testing::PrintToString(s.history) + ", registered " + testing::PrintToString(s.registered);
}

// Runs the operation on a fresh store made by setup, with the first, the
// second, ... allocation failing, until it runs through without meeting the
// failure. Each run must leave the lists as they were before it or as the
// operation makes them; the failing runs must have left them as they were.
template <typename Setup, typename Operation>
void ExpectCompleteOrUntouched(Setup setup, Operation operation, const ListsState& after)
{
    int failingRuns = 0;
    for (int failAt = 0; failAt < 50; failAt++) {
        AppData* data = AppData_New();
        ASSERT_NE(data, nullptr);
        setup(data);
        ListsState before = StateOf(data);
        bool met;
        {
            FailingAllocations failing(failAt);
            operation(data);
            met = failing.Met();
        }
        ListsState result = StateOf(data);
        AppData_Delete(data);
        if (!met) {
            EXPECT_EQ(result, after) << Show(result);
            EXPECT_GT(failingRuns, 0) << "the operation allocates nothing";
            return;
        }
        EXPECT_EQ(result, before) << "allocation " << failAt << " failed: " << Show(result);
        failingRuns++;
    }
    ADD_FAILURE() << "the operation never ran through";
}

AppInfo InMemorySettings(int historyMax)
{
    AppInfo info;
    SetDefaultSettings(&info);
    info.useHistoryFile = false;
    info.historyMax = historyMax;
    return info;
}

void History3(AppData* data)
{
    for (const char* text : {"A", "B", "C"})
        AppData_Add(data, LIST_HISTORY, text);  // C, B, A
}

// The registered-text dialog rebuilds the list with the originals it shows:
// equal texts with other originals stay two entries, equal pairs become one.
TEST(ClipStoreOriginals, ReplaceListKeepsOriginals)
{
    AppData* data = AppData_New();
    ASSERT_NE(data, nullptr);
    static const char* const texts[] = {"Caf?", "Caf?", "Caf?", "Caf?"};
    static const char* const originals[] = {"Caf\xC3\xA9", "Caf\xC3\xA8", "Caf\xC3\xA9", nullptr};  // Café Cafè Café
    auto textAt = [](int i, void*, const char** original) -> const char* {
        *original = originals[i];
        return texts[i];
    };
    ASSERT_TRUE(AppData_ReplaceList(data, LIST_REGISTERED, 4, textAt, nullptr));
    EXPECT_EQ(AppData_GetCount(data, LIST_REGISTERED), 3);
    EXPECT_STREQ(AppData_GetOriginalAt(data, LIST_REGISTERED, 0), originals[0]);
    EXPECT_STREQ(AppData_GetOriginalAt(data, LIST_REGISTERED, 1), originals[1]);
    EXPECT_EQ(AppData_GetOriginalAt(data, LIST_REGISTERED, 2), nullptr);
    AppData_Delete(data);
}

}  // namespace

TEST(ClipStoreOutOfMemory, MovingATextKeepsItWhenNoNodeCanBeHad)
{
    ExpectCompleteOrUntouched(History3, [](AppData* d) { AppData_Add(d, LIST_HISTORY, "A"); },
                              {{"A", "C", "B"}, {}});
}

TEST(ClipStoreOutOfMemory, AddingANewTextCompletesOrAddsNothing)
{
    ExpectCompleteOrUntouched(History3, [](AppData* d) { AppData_Add(d, LIST_HISTORY, "D"); },
                              {{"D", "C", "B", "A"}, {}});
}

// A history over its cap is trimmed only when the text went in.
TEST(ClipStoreOutOfMemory, AClipThatCannotBeAddedTrimsNothing)
{
    AppInfo info = InMemorySettings(2);
    ExpectCompleteOrUntouched(History3, [&](AppData* d) { AppData_AddClip(d, "D", &info); }, {{"D", "C"}, {}});
    ExpectCompleteOrUntouched(History3, [&](AppData* d) { AppData_AddClip(d, "A", &info); }, {{"A", "C"}, {}});
}

TEST(ClipStoreOutOfMemory, ReplacingAListBuildsTheNewOneWholeFirst)
{
    auto setup = [](AppData* d) {
        AppData_Add(d, LIST_REGISTERED, "old 2");
        AppData_Add(d, LIST_REGISTERED, "old 1");
        AppData_Add(d, LIST_HISTORY, "h");
    };
    static const char* const shown[] = {"new 1", "new 2", "new 1", "new 3"};
    auto replace = [](AppData* d) {
        AppData_ReplaceList(
            d, LIST_REGISTERED, 4, [](int i, void*, const char**) -> const char* { return shown[i]; }, nullptr);
    };
    ExpectCompleteOrUntouched(setup, replace, {{"h"}, {"new 1", "new 2", "new 3"}});
}

TEST(ClipStoreOutOfMemory, ReplaceListReportsTheFailure)
{
    AppData* data = AppData_New();
    ASSERT_NE(data, nullptr);
    AppData_Add(data, LIST_REGISTERED, "kept");
    static const char* const shown[] = {"a", "b"};
    auto textAt = [](int i, void*, const char**) -> const char* { return shown[i]; };
    {
        FailingAllocations failing(1);
        EXPECT_FALSE(AppData_ReplaceList(data, LIST_REGISTERED, 2, textAt, nullptr));
    }
    EXPECT_EQ(ListTexts(data, LIST_REGISTERED), Texts{"kept"});
    EXPECT_TRUE(AppData_ReplaceList(data, LIST_REGISTERED, 2, textAt, nullptr));
    EXPECT_EQ(ListTexts(data, LIST_REGISTERED), (Texts{"a", "b"}));
    EXPECT_FALSE(AppData_ReplaceList(data, 3, 2, textAt, nullptr));
    AppData_Delete(data);
}
