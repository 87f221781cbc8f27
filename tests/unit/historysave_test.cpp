// The history file written in the background: a change returns at once, one
// save runs at a time, changes during a save go into the next one, texts that
// leave the history during a save outlive it, and a failed save loses
// nothing. The saving thread is real; the tests wait for its notice.
#include <gtest/gtest.h>

#include <stdio.h>
#include <string.h>
#include <sys/stat.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>

#ifdef _WIN32
#include <direct.h>
#else
#include <unistd.h>
#endif

#include "settings/appinfo.h"
#include "store/appdata.h"
#include "store/historysave.h"
#include "store/storefile.h"
#include "testfiles.h"

namespace {

#define BYTES(literal) std::string(literal, sizeof(literal) - 1)

// Counts the saving thread's notices.
struct Notices {
    std::mutex lock;
    std::condition_variable changed;
    int count = 0;

    static void OnSaved(void* context)
    {
        Notices* n = static_cast<Notices*>(context);
        std::lock_guard<std::mutex> hold(n->lock);
        n->count++;
        n->changed.notify_all();
    }

    // The waits for a pause the saver asks for.
    int scheduled = 0;
    unsigned lastMs = 0;

    static void OnSchedule(unsigned ms, void* context)
    {
        Notices* n = static_cast<Notices*>(context);
        n->scheduled++;
        n->lastMs = ms;
    }

    bool WaitFor(int wanted)
    {
        std::unique_lock<std::mutex> hold(lock);
        return changed.wait_for(hold, std::chrono::seconds(20), [&] { return count >= wanted; });
    }
};

struct BackgroundSave : testing::Test {
    std::string historyPath;
    AppInfo info;
    AppData* data = nullptr;
    HistorySaver* saver = nullptr;
    Notices notices;

    void SetUp() override
    {
        char path[APP_FILE_PATH_SIZE];
        ASSERT_TRUE(AppData_HistoryFilePath(path, sizeof(path)));
        historyPath = path;
        remove(historyPath.c_str());
        memset(&info, 0, sizeof(info));
        info.historyMax = 30;
        info.historyEnabled = true;
        info.useHistoryFile = true;
        data = AppData_New();
        ASSERT_NE(data, nullptr);
        saver = HistorySaver_New(Notices::OnSaved, &notices);
        ASSERT_NE(saver, nullptr);
        data->saver = saver;
    }

    void TearDown() override
    {
        HistorySaver_Delete(saver);
        AppData_Delete(data);
        remove(historyPath.c_str());
    }

    // What the main window does on the saving thread's message.
    void FinishSave(int notice)
    {
        ASSERT_TRUE(notices.WaitFor(notice)) << "no save ended";
        HistorySaver_Finished(saver);
    }
};

TEST_F(BackgroundSave, ChangeIsInMemoryAtOnceAndTheFileFollows)
{
    AppData_AddClip(data, "a", &info);
    EXPECT_STREQ(AppData_GetAt(data, LIST_HISTORY, 0), "a");
    EXPECT_TRUE(HistorySaver_IsSaving(saver));
    FinishSave(1);
    EXPECT_FALSE(HistorySaver_IsSaving(saver));
    EXPECT_EQ(ReadWholeFile(historyPath), BYTES("a\0"));
    EXPECT_EQ(HistorySaver_FailedSaves(saver), 0);
}

// With a pause to wait for, changes close together make one save after
// them; changes during that save wait for the next pause.
TEST_F(BackgroundSave, AScheduledSaveWaitsForAPauseInTheChanges)
{
    HistorySaver_SetSchedule(saver, Notices::OnSchedule, 150, 3);
    AppData_AddClip(data, "a", &info);
    EXPECT_FALSE(HistorySaver_IsSaving(saver));
    EXPECT_EQ(notices.scheduled, 1);
    EXPECT_EQ(notices.lastMs, 150u);
    AppData_AddClip(data, "b", &info);
    EXPECT_EQ(notices.scheduled, 1) << "a change during the wait asks for no second one";
    HistorySaver_Tick(saver);
    EXPECT_FALSE(HistorySaver_IsSaving(saver)) << "a change came during the wait";
    EXPECT_EQ(notices.scheduled, 2);
    HistorySaver_Tick(saver);
    ASSERT_TRUE(HistorySaver_IsSaving(saver));
    AppData_AddClip(data, "c", &info);
    FinishSave(1);
    EXPECT_EQ(ReadWholeFile(historyPath), BYTES("a\0b\0"));
    EXPECT_FALSE(HistorySaver_IsSaving(saver)) << "the change during the save waits for a pause too";
    EXPECT_EQ(notices.scheduled, 3);
    HistorySaver_Tick(saver);
    FinishSave(2);
    EXPECT_EQ(ReadWholeFile(historyPath), BYTES("a\0b\0c\0"));
    HistorySaver_Tick(saver);
    EXPECT_FALSE(HistorySaver_IsSaving(saver)) << "a tick nobody asked for starts nothing";
}

// Changes that never pause are saved once the waits are used up.
TEST_F(BackgroundSave, ChangesThatNeverPauseAreSavedAfterTheLastWait)
{
    HistorySaver_SetSchedule(saver, Notices::OnSchedule, 150, 3);
    AppData_AddClip(data, "a", &info);
    for (int i = 0; i < 2; i++) {
        AppData_AddClip(data, ("x" + std::to_string(i)).c_str(), &info);
        HistorySaver_Tick(saver);
        EXPECT_FALSE(HistorySaver_IsSaving(saver)) << i;
    }
    AppData_AddClip(data, "last", &info);
    HistorySaver_Tick(saver);
    ASSERT_TRUE(HistorySaver_IsSaving(saver));
    FinishSave(1);
    EXPECT_EQ(ReadWholeFile(historyPath), BYTES("a\0x0\0x1\0last\0"));
}

// Quitting writes the history itself: a save still waiting is dropped.
TEST_F(BackgroundSave, WaitingDropsASaveThatWaitsForAPause)
{
    HistorySaver_SetSchedule(saver, Notices::OnSchedule, 150, 3);
    AppData_AddClip(data, "a", &info);
    HistorySaver_Wait(saver);
    HistorySaver_Tick(saver);
    EXPECT_FALSE(HistorySaver_IsSaving(saver));
    EXPECT_FALSE(FileExists(historyPath));
}

// Three changes while the first save runs make one more save, not three.
TEST_F(BackgroundSave, ChangesDuringASaveGoIntoTheNextOne)
{
    AppData_AddClip(data, "a", &info);
    AppData_AddClip(data, "b", &info);
    AppData_AddClip(data, "c\nd", &info);
    ASSERT_TRUE(notices.WaitFor(1));
    EXPECT_EQ(ReadWholeFile(historyPath), BYTES("a\0"));
    HistorySaver_Finished(saver);
    EXPECT_TRUE(HistorySaver_IsSaving(saver));
    FinishSave(2);
    EXPECT_EQ(ReadWholeFile(historyPath), BYTES("a\0b\0c\r\nd\0"));
    EXPECT_FALSE(HistorySaver_IsSaving(saver));
    EXPECT_EQ(notices.count, 2);
}

// The trimmed texts are still in the snapshot the first save writes; they are
// freed only once it has ended (the sanitizers see a use after free or a
// leak otherwise).
TEST_F(BackgroundSave, TextsLeavingTheHistoryDuringASaveOutliveIt)
{
    info.historyMax = 2;
    AppData_AddClip(data, "a", &info);
    AppData_AddClip(data, "b", &info);
    AppData_AddClip(data, "c", &info);
    AppData_AddClip(data, "d", &info);
    ASSERT_NE(data->heldHistoryTexts, nullptr);
    EXPECT_EQ(data->heldHistoryTexts->count, 2u);
    AppData_Clear(data, LIST_HISTORY);
    EXPECT_EQ(data->heldHistoryTexts->count, 4u);
    FinishSave(1);
    // The next save, of the cleared history, holds nothing yet.
    ASSERT_NE(data->heldHistoryTexts, nullptr);
    EXPECT_EQ(data->heldHistoryTexts->count, 0u);
    FinishSave(2);
    EXPECT_EQ(data->heldHistoryTexts, nullptr);
    EXPECT_EQ(ReadWholeFile(historyPath), "");
    AppData_AddClip(data, "e", &info);
    FinishSave(3);
    EXPECT_EQ(ReadWholeFile(historyPath), BYTES("e\0"));
}

// Quitting: the save in progress ends, the one that was to follow is left to
// the caller's own save, and a late notice starts nothing.
TEST_F(BackgroundSave, WaitEndsTheSaveAndDropsTheNextOne)
{
    AppData_AddClip(data, "a", &info);
    AppData_AddClip(data, "b", &info);
    HistorySaver_Wait(saver);
    EXPECT_FALSE(HistorySaver_IsSaving(saver));
    EXPECT_EQ(data->heldHistoryTexts, nullptr);
    EXPECT_EQ(ReadWholeFile(historyPath), BYTES("a\0"));
    HistorySaver_Finished(saver);
    EXPECT_FALSE(HistorySaver_IsSaving(saver));
    AppData_SaveHistory(data, &info);
    EXPECT_EQ(ReadWholeFile(historyPath), BYTES("a\0b\0"));
}

// A folder in the file's place makes the save fail; the history in memory
// stays whole and the next save, once the way is clear, writes all of it.
TEST_F(BackgroundSave, FailedSaveLosesNothing)
{
    ASSERT_EQ(MakeOneFolder(historyPath), 0);
    AppData_AddClip(data, "a", &info);
    FinishSave(1);
    EXPECT_EQ(HistorySaver_FailedSaves(saver), 1);
    EXPECT_EQ(AppData_GetCount(data, LIST_HISTORY), 1);
    ASSERT_EQ(RemoveOneFolder(historyPath), 0);
    AppData_AddClip(data, "b", &info);
    FinishSave(2);
    EXPECT_EQ(ReadWholeFile(historyPath), BYTES("a\0b\0"));
}

// The notice of an ended save never arrives (a full message queue): the
// next change still finds the save over and starts the next one.
TEST_F(BackgroundSave, LostNoticeDoesNotStopTheFileFollowing)
{
    AppData_AddClip(data, "a", &info);
    ASSERT_TRUE(notices.WaitFor(1));
    AppData_AddClip(data, "b", &info);
    EXPECT_TRUE(HistorySaver_IsSaving(saver));
    FinishSave(2);
    EXPECT_EQ(ReadWholeFile(historyPath), BYTES("a\0b\0"));
}

TEST_F(BackgroundSave, HistoryFileOffStartsNoSave)
{
    info.useHistoryFile = false;
    AppData_AddClip(data, "a", &info);
    EXPECT_FALSE(HistorySaver_IsSaving(saver));
    EXPECT_EQ(FileExists(historyPath), false);
}

}  // namespace
