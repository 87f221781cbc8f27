// Started with file names, Tamarin puts their quoted full paths on the
// clipboard and exits, whether or not the resident program runs.
#include <gtest/gtest.h>

#include <string>

#include "harness.h"

namespace {

struct CommandLine : testing::Test {
    Tamarin t;
    void SetUp() override { ASSERT_TRUE(Tamarin_Prepare(&t)); }
    void TearDown() override { Tamarin_Cleanup(&t); }

    int Run(const std::string& args)
    {
        Tamarin run;
        run.folder = t.folder;
        if (!Tamarin_Start(&run, args))
            return -1;
        return Tamarin_Wait(&run, E2E_TIMEOUT_MS);
    }
};

TEST_F(CommandLine, QuotesEachResolvedPathAndSkipsTheRest)
{
    std::string file = t.folder + "\\a file.txt";
    ASSERT_TRUE(WriteFileBytes(file, "x"));
    ASSERT_TRUE(PutClipboardText("before"));
    EXPECT_EQ(Run("\"" + file + "\" \"" + t.folder + "\\missing.txt\""), 1);
    std::string text;
    ASSERT_TRUE(GetClipboardText(&text));
    EXPECT_EQ(text, "\"" + file + "\"");
}

TEST_F(CommandLine, SeparatesPathsWithOneBlank)
{
    std::string a = t.folder + "\\one.txt", b = t.folder + "\\two.txt";
    ASSERT_TRUE(WriteFileBytes(a, "1"));
    ASSERT_TRUE(WriteFileBytes(b, "2"));
    EXPECT_EQ(Run("\"" + a + "\" \"" + b + "\""), 1);
    std::string text;
    ASSERT_TRUE(GetClipboardText(&text));
    EXPECT_EQ(text, "\"" + a + "\" \"" + b + "\"");
}

// Another program holds the clipboard when the paths are to be put there:
// the one-shot mode tries again until it is free.
TEST_F(CommandLine, WaitsForAClipboardThatAnotherProgramHolds)
{
    std::string file = t.folder + "\held.txt";
    ASSERT_TRUE(WriteFileBytes(file, "x"));
    ClipHolder holder;
    ASSERT_TRUE(ClipHolder_Start(&holder, 1500));
    ASSERT_TRUE(PutClipboardText("before"));
    ASSERT_TRUE(WaitFor([&] { return GetOpenClipboardWindow() == holder.window; }, E2E_TIMEOUT_MS));
    EXPECT_EQ(Run("\"" + file + "\""), 1);
    ClipHolder_Stop(&holder);
    std::string text;
    ASSERT_TRUE(GetClipboardText(&text));
    EXPECT_EQ(text, "\"" + file + "\"");
}

TEST_F(CommandLine, NothingResolvableLeavesTheClipboard)
{
    ASSERT_TRUE(PutClipboardText("untouched"));
    EXPECT_EQ(Run("\"" + t.folder + "\\missing.txt\" \"::{not a path}\""), 0);
    std::string text;
    ASSERT_TRUE(GetClipboardText(&text));
    EXPECT_EQ(text, "untouched");
}

TEST_F(CommandLine, WorksBesideTheResidentProgram)
{
    ASSERT_TRUE(Tamarin_Start(&t));
    std::string file = t.folder + "\\seen.txt";
    ASSERT_TRUE(WriteFileBytes(file, "x"));
    EXPECT_EQ(Run("\"" + file + "\""), 1);
    std::string quoted = "\"" + file + "\"";
    EXPECT_TRUE(WaitFor(
        [&] {
            auto r = ReadStoreRecords(Tamarin_File(&t, ".hst"));
            return !r.empty() && r.back() == quoted;
        },
        E2E_TIMEOUT_MS));
}

}  // namespace
