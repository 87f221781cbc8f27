// Failed saves are reported once per file: again only after a save of the
// same file has succeeded in between.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "store/savereport.h"

namespace {

std::vector<std::string> g_reported;

void Record(const char* path, void*)
{
    g_reported.push_back(path);
}

struct SaveReport : testing::Test {
    void SetUp() override
    {
        g_reported.clear();
        SaveReport_SetObserver(Record, nullptr);
    }
    void TearDown() override
    {
        for (const char* path : {"a.hst", "a.use", "a.ini"})
            SaveReport_Note(path, true);
        SaveReport_SetObserver(nullptr, nullptr);
    }
};

TEST_F(SaveReport, EachFileIsReportedOncePerRunOfFailures)
{
    SaveReport_Note("a.hst", true);
    EXPECT_TRUE(g_reported.empty());
    SaveReport_Note("a.hst", false);
    SaveReport_Note("a.hst", false);
    SaveReport_Note("a.use", false);
    SaveReport_Note("a.hst", false);
    EXPECT_EQ(g_reported, (std::vector<std::string>{"a.hst", "a.use"}));
    EXPECT_TRUE(SaveReport_IsFailing("a.hst"));
    EXPECT_FALSE(SaveReport_IsFailing("a.ini"));

    SaveReport_Note("a.hst", true);
    EXPECT_FALSE(SaveReport_IsFailing("a.hst"));
    SaveReport_Note("a.hst", false);
    EXPECT_EQ(g_reported, (std::vector<std::string>{"a.hst", "a.use", "a.hst"}));
}

TEST_F(SaveReport, WithoutAnObserverFailuresAreOnlyRemembered)
{
    SaveReport_SetObserver(nullptr, nullptr);
    SaveReport_Note("a.ini", false);
    EXPECT_TRUE(SaveReport_IsFailing("a.ini"));
    SaveReport_SetObserver(Record, nullptr);
    SaveReport_Note("a.ini", false);
    EXPECT_TRUE(g_reported.empty());
}

}  // namespace
