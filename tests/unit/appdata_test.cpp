// The clip store: add-or-move, the history rule with its cap and registered
// texts, trimming, id lookup and registration. The sanitizers catch a text
// that leaks or is freed twice.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/appinfo.h"
#include "settings/settings.h"
#include "store/appdata.h"

namespace {

std::vector<std::string> ListTexts(const AppData* data, int list)
{
    std::vector<std::string> texts;
    for (int i = 0; i < AppData_GetCount(data, list); i++)
        texts.push_back(AppData_GetAt(data, list, i));
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

}  // namespace
