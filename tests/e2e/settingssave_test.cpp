// The settings file under faults, seen from outside: Tamarin killed at random
// moments inside the settings save leaves the INI file either as it was or as
// the save makes it, byte for byte; and on a full disk it stays as it was and
// the user is told once.
#include <gtest/gtest.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "harness.h"

namespace {

const char K_HISTORY_MAX[] = "\x97\x9a\x97\xf0\x82\xcc\x8b\x4c\x89\xaf\x90\x94";                // 履歴の記憶数
const char K_OLD_SAVE_HISTORY[] = "\x97\x9a\x97\xf0\x82\xf0\x95\xdb\x91\xb6\x82\xb7\x82\xe9";  // 履歴を保存する

// An INI file as a user may have it: a comment, a section of their own, a key
// of the older layout that every save deletes, and only a few of Tamarin's
// keys, so that the save changes much of it.
std::string OldIni()
{
    return std::string("; kept by hand\r\n") + "[Mine]\r\nmine=1\r\n\r\n[Tamarin]\r\n" + K_HISTORY_MAX + "=12\r\n" +
           K_OLD_SAVE_HISTORY + "=1\r\nOther=keep\r\n[Zzz]\r\nlast=1\r\n";
}

double Now()
{
    LARGE_INTEGER f, t;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(f.QuadPart);
}

// Spins for about ms milliseconds: the kill must land at a chosen moment.
void Spin(double ms)
{
    double until = Now() + ms;
    while (Now() < until) {
    }
}

struct SettingsSave : testing::Test {
    Tamarin t;
    void SetUp() override { ASSERT_TRUE(Tamarin_Prepare(&t)); }
    void TearDown() override { Tamarin_Cleanup(&t); }

    std::string Ini() { return Tamarin_File(&t, ".ini"); }

    // Starts Tamarin on the old file and asks it to quit; gives the moment its
    // main window was gone, which is when the settings save begins (the save
    // follows the message loop, the loop ends with the window).
    double QuitUntilWindowGone()
    {
        if (!WriteFileBytes(Ini(), OldIni()) || !Tamarin_Start(&t))
            return -1;
        HWND window = t.window;
        PostMessageA(window, WM_COMMAND, 40001, 0);
        double start = Now();
        while (IsWindow(window)) {
            if (Now() - start > 20000)
                return -1;
        }
        return Now();
    }
};

TEST_F(SettingsSave, KilledAnywhereInTheSaveLeavesTheOldOrTheNewFile)
{
    // The new file, from a save that runs to its end, and how long the time
    // from the window's end to the process's end (the save and the exit) is.
    double gone = QuitUntilWindowGone();
    ASSERT_GT(gone, 0);
    ASSERT_EQ(Tamarin_Wait(&t, 20000), 0);
    double saveSpan = Now() - gone;
    std::string oldBytes = OldIni();
    std::string newBytes;
    ASSERT_TRUE(ReadFileBytes(Ini(), &newBytes));
    ASSERT_NE(newBytes, oldBytes);

    const int trials = getenv("TAMARIN_KILL_TRIALS") ? atoi(getenv("TAMARIN_KILL_TRIALS")) : 120;
    int keptOld = 0, tookNew = 0, inside = 0;
    srand(GetTickCount());
    for (int i = 0; i < trials; i++) {
        double gone = QuitUntilWindowGone();
        ASSERT_GT(gone, 0) << "trial " << i;
        // A moment inside the save: from its start to its end, as the
        // finished run measured it.
        Spin(saveSpan * (rand() % 1000) / 1000.0);
        DWORD code = 0;
        bool running = GetExitCodeProcess(t.process.hProcess, &code) && code == STILL_ACTIVE;
        Tamarin_Kill(&t);
        inside += running;
        std::string bytes;
        ASSERT_TRUE(ReadFileBytes(Ini(), &bytes)) << "trial " << i << ": the INI file is gone";
        if (bytes == oldBytes)
            keptOld++;
        else if (bytes == newBytes)
            tookNew++;
        else
            ADD_FAILURE() << "trial " << i << ": the INI file is neither the old nor the new one (" << bytes.size()
                          << " bytes)";
    }
    printf("settings save killed %d times (%d while still running, save and exit %.1f ms): %d old, %d new\n", trials,
           inside, saveSpan, keptOld, tookNew);
    // Kills on both sides of the moment the new file takes the old one's
    // place: the aim covered the save.
    EXPECT_GE(inside, trials / 2) << "the kills did not land inside the save";
    EXPECT_GT(keptOld, 0);
    EXPECT_GT(tookNew, 0);
}

// ---------------------------------------------------------------- full disk

struct DialogSearch {
    DWORD pid;
    bool notice;
    HWND found;
};

BOOL CALLBACK MatchDialog(HWND w, LPARAM param)
{
    DialogSearch* s = reinterpret_cast<DialogSearch*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    char cls[32] = "";
    GetClassNameA(w, cls, sizeof cls);
    if (pid != s->pid || strcmp(cls, "#32770") != 0 || !IsWindowVisible(w))
        return TRUE;
    char caption[64] = "";
    GetWindowTextA(w, caption, sizeof caption);
    if ((strcmp(caption, "Tamarin") == 0) == s->notice) {
        s->found = w;
        return FALSE;
    }
    return TRUE;
}

// A visible dialog-class window of the process: with notice true the box
// captioned "Tamarin" (a notice), otherwise any other.
HWND FindDialogOf(DWORD processId, bool notice)
{
    DialogSearch search = {processId, notice, nullptr};
    EnumWindows(MatchDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FindNoticeOf(DWORD processId)
{
    return FindDialogOf(processId, true);
}

// Fills the disk of path's folder: blocks of decreasing size until not one
// byte more can be written.
bool FillDisk(const std::string& filler)
{
    HANDLE h = CreateFileA(filler.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    std::string block(65536, 'f');
    for (size_t size = block.size(); size > 0; size /= 2) {
        DWORD written = 0;
        while (WriteFile(h, block.data(), static_cast<DWORD>(size), &written, nullptr) && written == size) {
        }
    }
    CloseHandle(h);
    return true;
}

// Run by tests/e2e/file_fault_test.sh, which mounts a small file system
// and names its folder in TAMARIN_FULL_DISK_FOLDER. The disk fills up after
// Tamarin has started: the settings dialog's OK and the quit both fail to
// save; the INI file stays the old one and the user is told once.
TEST(FullDisk, SettingsStayAsTheyWereAndTheUserIsToldOnce)
{
    const char* mount = getenv("TAMARIN_FULL_DISK_FOLDER");
    ASSERT_TRUE(mount && *mount) << "run through tests/e2e/file_fault_test.sh";
    Tamarin t;
    ASSERT_TRUE(Tamarin_PrepareIn(&t, mount));
    std::string oldBytes = OldIni();
    ASSERT_TRUE(WriteFileBytes(Tamarin_File(&t, ".ini"), oldBytes));
    ASSERT_TRUE(Tamarin_Start(&t));
    ASSERT_TRUE(FillDisk(t.folder + "\\filler"));

    // The settings dialog's OK: the save fails and says so.
    PostMessageA(t.window, WM_COMMAND, 40003, 0);
    HWND dialog = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (dialog = FindDialogOf(t.process.dwProcessId, false)) != nullptr; }, 20000));
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    HWND notice = nullptr;
    EXPECT_TRUE(WaitFor([&] { return (notice = FindNoticeOf(t.process.dwProcessId)) != nullptr; }, 20000))
        << "no notice of the failed save";
    if (notice)
        PostMessageA(notice, WM_COMMAND, IDOK, 0);
    std::string bytes;
    ASSERT_TRUE(ReadFileBytes(Tamarin_File(&t, ".ini"), &bytes));
    EXPECT_EQ(bytes, oldBytes);

    // Quitting fails to save again, and ends without a second notice.
    ASSERT_TRUE(WaitFor([&] { return !FindNoticeOf(t.process.dwProcessId); }, 20000));
    PostMessageA(t.window, WM_COMMAND, 40001, 0);
    bool again = WaitFor([&] { return FindNoticeOf(t.process.dwProcessId) != nullptr; }, 3000);
    EXPECT_FALSE(again) << "the failure was reported twice";
    if (again)
        PostMessageA(FindNoticeOf(t.process.dwProcessId), WM_COMMAND, IDOK, 0);
    EXPECT_EQ(Tamarin_Wait(&t, 20000), 0);
    ASSERT_TRUE(ReadFileBytes(Tamarin_File(&t, ".ini"), &bytes));
    EXPECT_EQ(bytes, oldBytes);

    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((t.folder + "\\tamarin.ini*.tmp").c_str(), &found);
    EXPECT_EQ(find, INVALID_HANDLE_VALUE) << "a temporary file was left behind: " << found.cFileName;
    if (find != INVALID_HANDLE_VALUE)
        FindClose(find);
    Tamarin_Cleanup(&t);
}

}  // namespace
