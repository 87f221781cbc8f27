// The search window's entries: the text popup's order and caps, copies that
// outlive changes of the clip store, the filter, the id a pick takes when the
// store has moved on, and the one-line labels.
#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

#include "menu/searchlist.h"
#include "store/appdata.h"
#include "store/cliptext.h"
#include "text/textmatch.h"

namespace {

typedef std::vector<std::string> Texts;

struct Row {
    int id;
    std::string text;
    bool operator==(const Row& o) const { return id == o.id && text == o.text; }
};
typedef std::vector<Row> Rows;

void PrintTo(const Row& r, std::ostream* os) { *os << r.id << ":" << r.text; }

// The history is given newest first, as the store holds it.
AppData* Store(const Texts& history, const Texts& registered)
{
    AppData* data = AppData_New();
    for (auto it = history.rbegin(); it != history.rend(); ++it)
        AppData_Add(data, LIST_HISTORY, it->c_str());
    for (auto it = registered.rbegin(); it != registered.rend(); ++it)
        AppData_Add(data, LIST_REGISTERED, it->c_str());
    return data;
}

Rows Shown(const SearchList* list)
{
    Rows rows;
    for (int i = 0; i < list->shownCount; i++) {
        int entry = list->shown[i];
        rows.push_back(Row{list->entries[entry].id, SearchList_Text(list, entry)});
    }
    return rows;
}

int Filter(SearchList* list, const char* query)
{
    TextQuery q;
    TextMatch_ParseQuery(&q, query);
    return SearchList_Filter(list, &q);
}

const int H = IDM_HISTORY_FIRST;
const int R = IDM_REGISTERED_FIRST;

struct OrderCase {
    SearchOrder order;
    Rows rows;
    int upper;
};

TEST(SearchList, FollowsThePopupOrder)
{
    const OrderCase cases[] = {
        {{30, true, true}, {{R, "r0"}, {R + 1, "r1"}, {H, "h0"}, {H + 1, "h1"}, {H + 2, "h2"}}, 2},
        {{30, true, false}, {{R, "r0"}, {R + 1, "r1"}, {H + 2, "h2"}, {H + 1, "h1"}, {H, "h0"}}, 2},
        {{30, false, true}, {{H, "h0"}, {H + 1, "h1"}, {H + 2, "h2"}, {R, "r0"}, {R + 1, "r1"}}, 3},
        {{30, false, false}, {{H + 2, "h2"}, {H + 1, "h1"}, {H, "h0"}, {R, "r0"}, {R + 1, "r1"}}, 3},
        // a cap below the history's length shows its newest entries only
        {{2, true, true}, {{R, "r0"}, {R + 1, "r1"}, {H, "h0"}, {H + 1, "h1"}}, 2},
        {{2, false, false}, {{H + 1, "h1"}, {H, "h0"}, {R, "r0"}, {R + 1, "r1"}}, 2},
        {{1, true, false}, {{R, "r0"}, {R + 1, "r1"}, {H, "h0"}}, 2},
    };
    AppData* data = Store({"h0", "h1", "h2"}, {"r0", "r1"});
    for (const OrderCase& c : cases) {
        SearchList* list = SearchList_Build(data, &c.order);
        ASSERT_NE(list, nullptr);
        EXPECT_EQ(Shown(list), c.rows) << c.order.historyMax << c.order.registeredFirst << c.order.newestFirst;
        EXPECT_EQ(list->upperCount, c.upper);
        EXPECT_TRUE(SearchList_IsUpper(list, c.upper - 1));
        EXPECT_FALSE(SearchList_IsUpper(list, c.upper));
        SearchList_Free(list);
    }
    AppData_Delete(data);
}

TEST(SearchList, EmptyStoreGivesNoEntries)
{
    AppData* data = AppData_New();
    SearchOrder order = {30, true, true};
    SearchList* list = SearchList_Build(data, &order);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->count, 0);
    EXPECT_EQ(Filter(list, "x"), 0);
    EXPECT_EQ(Filter(list, ""), 0);
    EXPECT_EQ(SearchList_Text(list, 0), nullptr);
    SearchList_Free(list);
    AppData_Delete(data);
}

TEST(SearchList, ShowsNoMoreThanTheIdRangesHold)
{
    AppData* data = AppData_New();
    for (int i = 0; i < 4100; i++) {
        std::string t = "t" + std::to_string(i);
        AppData_Add(data, LIST_HISTORY | LIST_REGISTERED, t.c_str());
    }
    SearchOrder order = {5000, true, true};
    SearchList* list = SearchList_Build(data, &order);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->count, 2 * 4095);
    EXPECT_EQ(list->entries[4094].id, IDM_REGISTERED_LAST);
    EXPECT_EQ(list->entries[2 * 4095 - 1].id, IDM_HISTORY_LAST);
    SearchList_Free(list);
    AppData_Delete(data);
}

TEST(SearchList, FilterKeepsTheOrderAndEveryWordMustMatch)
{
    // 東京タワー, とうきょう駅 (hiragana), Tokyo Station, ｷｮｳﾄ (half-width katakana)
    AppData* data = Store({"\x93\x8c\x8b\x9e\x83\x5e\x83\x8f\x81\x5b", "\x82\xc6\x82\xa4\x82\xab\x82\xe5\x82\xa4\x89\x77",
                           "Tokyo Station", "\xb7\xae\xb3\xc4"},
                          {"tokyo tower"});
    SearchOrder order = {30, true, true};
    SearchList* list = SearchList_Build(data, &order);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(Filter(list, "TOKYO"), 2);
    EXPECT_EQ(Shown(list), (Rows{{R, "tokyo tower"}, {H + 2, "Tokyo Station"}}));
    EXPECT_EQ(Filter(list, "tokyo station"), 1);
    EXPECT_EQ(Shown(list), (Rows{{H + 2, "Tokyo Station"}}));
    // トウキョウ in katakana finds the hiragana entry; キョウ also the half-width one
    ASSERT_EQ(Filter(list, "\x83\x67\x83\x45\x83\x4c\x83\x87\x83\x45"), 1);
    EXPECT_EQ(Shown(list)[0].id, H + 1);
    ASSERT_EQ(Filter(list, "\x83\x4c\x83\x87\x83\x45"), 2);
    EXPECT_EQ(Shown(list)[1].id, H + 3);
    EXPECT_EQ(Filter(list, "nothing"), 0);
    EXPECT_EQ(Filter(list, " "), 5);
    SearchList_Free(list);
    AppData_Delete(data);
}

int Refine(SearchList* list, const char* query)
{
    TextQuery q;
    TextMatch_ParseQuery(&q, query);
    return SearchList_Refine(list, &q);
}

TEST(SearchList, RefineLooksOnlyAmongTheShownEntries)
{
    AppData* data = Store({"alpha one", "alpha six", "beta one"}, {"alpha reg"});
    SearchOrder order = {30, true, true};
    SearchList* list = SearchList_Build(data, &order);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(Filter(list, "alpha"), 3);
    EXPECT_EQ(Refine(list, "alpha o"), 1);
    EXPECT_EQ(Shown(list), (Rows{{H, "alpha one"}}));
    // "beta one" also holds "o", but it was not shown: Refine does not bring it back.
    EXPECT_EQ(Refine(list, "o"), 1);
    EXPECT_EQ(Filter(list, "o"), 2);
    EXPECT_EQ(Shown(list), (Rows{{H, "alpha one"}, {H + 2, "beta one"}}));
    SearchList_Free(list);
    AppData_Delete(data);
}

TEST(SearchList, EntriesAreCopiesThatOutliveTheStore)
{
    AppData* data = Store({"kept text"}, {});
    SearchOrder order = {30, true, true};
    SearchList* list = SearchList_Build(data, &order);
    ASSERT_NE(list, nullptr);
    EXPECT_NE(SearchList_Text(list, 0), AppData_GetAt(data, LIST_HISTORY, 0));
    AppData_Clear(data, LIST_HISTORY);
    AppData_Delete(data);
    EXPECT_STREQ(SearchList_Text(list, 0), "kept text");
    EXPECT_EQ(Filter(list, "kept"), 1);
    SearchList_Free(list);
}

TEST(SearchList, CurrentIdFollowsTheTextThroughStoreChanges)
{
    AppData* data = Store({"a", "b", "c"}, {"r0", "r1"});
    SearchOrder order = {3, true, true};
    SearchList* list = SearchList_Build(data, &order);
    ASSERT_NE(list, nullptr);
    // entries: r0 r1 a b c
    EXPECT_EQ(SearchList_CurrentId(list, 3, data, 3), H + 1);  // b, unchanged
    AppData_Add(data, LIST_HISTORY, "b");                      // b moves to the top: b a c
    EXPECT_EQ(SearchList_CurrentId(list, 3, data, 3), H);
    EXPECT_EQ(SearchList_CurrentId(list, 2, data, 3), H + 1);  // a moved down one
    AppData_Add(data, LIST_HISTORY, "new");                    // new b a c: c beyond the cap of 3
    EXPECT_EQ(SearchList_CurrentId(list, 4, data, 3), 0);
    EXPECT_EQ(SearchList_CurrentId(list, 4, data, 4), H + 3);
    AppData_Remove(data, LIST_HISTORY, "a");
    EXPECT_EQ(SearchList_CurrentId(list, 2, data, 3), 0);
    // registered texts look in their own list only
    AppData_Add(data, LIST_REGISTERED, "r1");  // r1 r0
    EXPECT_EQ(SearchList_CurrentId(list, 1, data, 3), R);
    EXPECT_EQ(SearchList_CurrentId(list, 0, data, 3), R + 1);
    AppData_Add(data, LIST_HISTORY, "r0");  // in the history too, yet r0 is a registered entry
    EXPECT_EQ(SearchList_CurrentId(list, 0, data, 3), R + 1);
    AppData_Clear(data, LIST_REGISTERED);
    EXPECT_EQ(SearchList_CurrentId(list, 0, data, 3), 0);
    EXPECT_EQ(SearchList_CurrentId(list, -1, data, 3), 0);
    EXPECT_EQ(SearchList_CurrentId(list, 5, data, 3), 0);
    SearchList_Free(list);
    AppData_Delete(data);
}

struct LabelCase {
    const char* text;
    size_t size;
    const char* label;
};

const LabelCase LABEL_CASES[] = {
    {"one line", 260, "one line"},
    {"two\r\nlines", 260, "two lines"},
    {"\t\tindented\n", 260, " indented"},
    {"a\x7f\x01" "b", 260, "a b"},
    {"abcdef", 4, "abc"},
    {"ab\x95\x5c", 4, "ab"},         // 表 would not fit whole
    {"ab\x95\x5c", 5, "ab\x95\x5c"},  // it does with one byte more
    {"ab\r\ncd", 4, "ab "},
    {"ab\r\ncd", 3, "ab"},
    // ソ and 表 end in 0x5C and 0x7F is no trail: the bytes after a lead stay whole
    {"\x83\x5c\x95\x5c", 260, "\x83\x5c\x95\x5c"},
    {"\x81\x7f" "x", 260, "\x81 x"},
    {"", 260, ""},
    {"abc", 1, ""},
};

TEST(SearchList, LabelIsOneLineCutWithoutSplittingACharacter)
{
    for (const LabelCase& c : LABEL_CASES) {
        char label[SEARCH_LABEL_SIZE];
        memset(label, 'x', sizeof label);
        SearchList_MakeLabel(label, c.size, c.text);
        EXPECT_STREQ(label, c.label) << c.text << " size " << c.size;
        if (c.size < sizeof label) {
            EXPECT_EQ(label[c.size], 'x');  // nothing written past the size
        }
    }
}

// Texts of one code page 932 form with different originals are entries of
// their own: each keeps its original, a pick finds its own place and a
// delete takes its own text.
TEST(SearchList, TwinsOfOneCodePageFormStayApart)
{
    const char* grin = "Caf\xC3\xA9 \xF0\x9F\x98\x80";   // Café 😀
    const char* smile = "Caf\xC3\xA9 \xF0\x9F\x98\x83";  // Café 😃
    AppData* data = AppData_New();
    AppData_AddWithOriginal(data, LIST_HISTORY, "Caf? ?", grin);
    AppData_AddWithOriginal(data, LIST_HISTORY, "Caf? ?", smile);  // index 0
    SearchOrder order = {30, true, true};
    SearchList* list = SearchList_Build(data, &order);
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->count, 2);
    EXPECT_STREQ(ClipText_Original(SearchList_Text(list, 0)), smile);
    EXPECT_STREQ(ClipText_Original(SearchList_Text(list, 1)), grin);

    // The older one moves to the top: entry 1 now stands at index 0.
    AppData_AddWithOriginal(data, LIST_HISTORY, "Caf? ?", grin);
    EXPECT_EQ(SearchList_CurrentId(list, 1, data, 30), IDM_HISTORY_FIRST);
    EXPECT_EQ(SearchList_CurrentId(list, 0, data, 30), IDM_HISTORY_FIRST + 1);

    const char* text = SearchList_Text(list, 0);
    EXPECT_TRUE(AppData_RemoveWithOriginal(data, LIST_HISTORY, text, ClipText_Original(text)));
    ASSERT_EQ(AppData_GetCount(data, LIST_HISTORY), 1);
    EXPECT_STREQ(AppData_GetOriginalAt(data, LIST_HISTORY, 0), grin);
    EXPECT_FALSE(AppData_Remove(data, LIST_HISTORY, "Caf? ?"));  // the plain text is not there
    SearchList_Free(list);
    AppData_Delete(data);
}

TEST(SearchList, LabelOfAnOriginal)
{
    struct Case {
        const char* original;
        size_t size;
        std::u16string expected;
    };
    const Case cases[] = {
        {"Caf\xC3\xA9\r\n\r\n\xF0\x9F\x98\x80\tx", 64, u"Caf\u00E9 \xD83D\xDE00 x"},  // runs of controls: one blank
        {"ab\xF0\x9F\x98\x80", 3, u"ab"},                                        // cut to size - 1
        {"ab\xF0\x9F\x98\x80", 4, u"ab\xD83D\xDE00"},
        {"e\xCC\x81" "f", 2, u""},                                                // a base keeps its mark
        {"\r\n", 64, u""},
    };
    for (const Case& c : cases) {
        char16_t label[200];
        SearchList_MakeLabelW(label, 200, c.original, c.size);
        EXPECT_EQ(std::u16string(label), c.expected) << c.original;
    }
}

}  // namespace
