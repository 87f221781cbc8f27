// The texts of a text-list popup, kept while it is open: a pick and a tip
// get the text whose label was shown, whatever the clip store did since.
#include <gtest/gtest.h>

#include "failingalloc.h"
#include "menu/menusnapshot.h"
#include "store/appdata.h"

namespace {

struct Snapshot : testing::Test {
    AppData* data = nullptr;
    void SetUp() override
    {
        data = AppData_New();
        ASSERT_NE(data, nullptr);
        for (const char* text : {"h2", "h1", "h0"})
            AppData_Add(data, LIST_HISTORY, text);
        for (const char* text : {"r1", "r0"})
            AppData_Add(data, LIST_REGISTERED, text);
    }
    void TearDown() override { AppData_Delete(data); }
};

TEST_F(Snapshot, IdsGiveTheTextsAsTheyWereWhenTaken)
{
    MenuSnapshot* s = MenuSnapshot_Take(data, 2, 30);
    ASSERT_NE(s, nullptr);
    AppData_Add(data, LIST_HISTORY, "new");  // the lists move meanwhile
    AppData_Clear(data, LIST_REGISTERED);
    EXPECT_STREQ(MenuSnapshot_GetTextById(s, IDM_HISTORY_FIRST), "h0");
    EXPECT_STREQ(MenuSnapshot_GetTextById(s, IDM_HISTORY_FIRST + 1), "h1");
    EXPECT_EQ(MenuSnapshot_GetTextById(s, IDM_HISTORY_FIRST + 2), nullptr);  // beyond the shown two
    EXPECT_STREQ(MenuSnapshot_GetTextById(s, IDM_REGISTERED_FIRST), "r0");
    EXPECT_STREQ(MenuSnapshot_GetTextById(s, IDM_REGISTERED_FIRST + 1), "r1");
    EXPECT_EQ(MenuSnapshot_GetTextById(s, IDM_REGISTERED_FIRST + 2), nullptr);
    for (int id : {0, 4095, 8191, 12287, 40001})
        EXPECT_EQ(MenuSnapshot_GetTextById(s, id), nullptr) << id;
    MenuSnapshot_Free(s);
    EXPECT_EQ(MenuSnapshot_GetTextById(nullptr, IDM_HISTORY_FIRST), nullptr);
}

TEST_F(Snapshot, EmptyListsAndNegativeCountsGiveAnEmptySnapshot)
{
    AppData* empty = AppData_New();
    MenuSnapshot* s = MenuSnapshot_Take(empty, -1, 0);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(MenuSnapshot_GetTextById(s, IDM_HISTORY_FIRST), nullptr);
    MenuSnapshot_Free(s);
    AppData_Delete(empty);
}

// Out of memory there is no snapshot, and nothing half made is left behind
// (the sanitizers watch for leaks).
TEST_F(Snapshot, OutOfMemoryGivesNone)
{
    for (int failAt = 0; failAt < 5; failAt++) {
        FailingAllocations failing(failAt);
        EXPECT_EQ(MenuSnapshot_Take(data, 30, 30), nullptr) << failAt;
    }
}

}  // namespace
