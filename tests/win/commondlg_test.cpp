// Common dialog helpers: the bounded text of the formatted message box, the
// split of a chooser's initial path, the file choosers driven to OK, and
// deletion into the recycle bin seen from the folder the files were in.
#include <windows.h>
#include <commctrl.h>

#include <stdio.h>
#include <string.h>

#include <string>

#include <gtest/gtest.h>

#include "dialogs/commondlg.h"
#include "win/dialogdriver.h"
#include "win/input.h"
#include "win/memdialog.h"

namespace {

std::string Repeat(const char* piece, size_t times)
{
    std::string s;
    for (size_t i = 0; i < times; i++)
        s += piece;
    return s;
}

const char kHyo[] = "\x95\x5c";  // 表: its second byte is a backslash

TEST(CommonDlg, FormattedTextOfAHugeArgumentStaysInItsBuffer)
{
    // The buffer sits inside a larger block whose tail must stay untouched.
    char block[FORMATTED_MESSAGE_SIZE + 64];
    memset(block, 0x5A, sizeof(block));
    std::string huge(5000, 'x');
    size_t length = CommonDlg_FormatMessageBoxText(block, FORMATTED_MESSAGE_SIZE, "<%s>", huge.c_str());
    EXPECT_EQ(length, static_cast<size_t>(FORMATTED_MESSAGE_SIZE - 1));
    EXPECT_EQ(strlen(block), static_cast<size_t>(FORMATTED_MESSAGE_SIZE - 1));
    EXPECT_EQ(block[0], '<');
    EXPECT_EQ(block[FORMATTED_MESSAGE_SIZE - 2], 'x');
    for (size_t i = FORMATTED_MESSAGE_SIZE; i < sizeof(block); i++)
        ASSERT_EQ(block[i], 0x5A) << "byte " << i << " written";
}

struct FormatCase {
    const char* name;
    std::string expected;  // the whole text before the cut
    size_t length;         // expected length after the cut
};

TEST(CommonDlg, FormattedTextIsCutBeforeADoubleByteCharacter)
{
    // Each text is formatted as "%s"; the cut keeps at most 1023 bytes and
    // never the first byte of a character without its second.
    const FormatCase cases[] = {
        {"short text unchanged", "abc=5", 5},
        {"1023 single bytes", std::string(1023, 'a'), 1023},
        {"1024 single bytes", std::string(1024, 'a'), 1023},
        {"double-byte text, even start: byte 1022 is a first byte", Repeat(kHyo, 600), 1022},
        {"double-byte text, odd start: byte 1022 is a second byte", "a" + Repeat(kHyo, 600), 1023},
        {"exactly 1023 bytes ending in a whole character", "a" + Repeat(kHyo, 511), 1023},
        {"1024 bytes ending in a whole character", Repeat(kHyo, 512), 1022},
    };
    for (const FormatCase& c : cases) {
        char buf[FORMATTED_MESSAGE_SIZE];
        size_t length = CommonDlg_FormatMessageBoxText(buf, sizeof(buf), "%s", c.expected.c_str());
        EXPECT_EQ(length, c.length) << c.name;
        EXPECT_EQ(strlen(buf), c.length) << c.name;
        EXPECT_EQ(memcmp(buf, c.expected.data(), c.length), 0) << c.name;
    }
}

TEST(CommonDlg, FormattedTextTakesTheValues)
{
    char buf[FORMATTED_MESSAGE_SIZE];
    CommonDlg_FormatMessageBoxText(buf, sizeof(buf), "%s: %d / %02d", "count", -12, 7);
    EXPECT_STREQ(buf, "count: -12 / 07");
}

struct SplitCase {
    const char* initialPath;
    size_t fileSize;
    const char* folder;
    const char* file;
};

TEST(CommonDlg, ChooserPathSplitsAtTheLastRealBackslash)
{
    const SplitCase cases[] = {
        {"C:\\dir\\name.txt", 261, "C:\\dir", "name.txt"},
        {"name.txt", 261, "name.txt", "name.txt"},
        {"C:\\dir\\", 261, "C:\\dir", ""},
        {"", 261, "", ""},
        // 表 ends in 0x5C, which is not a separator.
        {"\x95\x5c", 261, "\x95\x5c", "\x95\x5c"},
        {"C:\\\x95\x5c", 261, "C:", "\x95\x5c"},
        {"C:\\a\x95\x5c\\b.txt", 261, "C:\\a\x95\x5c", "b.txt"},
        {"C:\\dir\\\x83\x5c\x83\x74\x83\x67", 261, "C:\\dir", "\x83\x5c\x83\x74\x83\x67"},  // ソフト
        // The name is cut to the caller's buffer without splitting a character.
        {"C:\\d\\\x95\x5c\x95\x5c", 4, "C:\\d", "\x95\x5c"},
        {"C:\\d\\abcdef", 4, "C:\\d", "abc"},
    };
    for (const SplitCase& c : cases) {
        char folder[CHOOSER_FOLDER_SIZE];
        char file[262];  // one byte more than any size given, to see it untouched
        memset(file, 0x5A, sizeof(file));
        CommonDlg_SplitChooserPath(c.initialPath, folder, file, c.fileSize);
        EXPECT_STREQ(folder, c.folder) << c.initialPath;
        EXPECT_STREQ(file, c.file) << c.initialPath;
        EXPECT_EQ(file[c.fileSize], 0x5A) << c.initialPath;
    }
}

TEST(CommonDlg, InitialPathIsCutTo260BytesBeforeTheSplit)
{
    // Cut to "C:\" and 257 letters: the backslash before the name is lost.
    std::string longPath = "C:\\" + std::string(300, 'a') + "\\name.txt";
    char folder[CHOOSER_FOLDER_SIZE];
    char file[261];
    CommonDlg_SplitChooserPath(longPath.c_str(), folder, file, sizeof(file));
    EXPECT_STREQ(folder, "C:");
    EXPECT_STREQ(file, std::string(257, 'a').c_str());

    // "C:\" and 128 whole characters make 259 bytes; the first byte of the
    // 129th would be the 260th and is left out.
    std::string kanji = "C:\\" + Repeat(kHyo, 200);
    CommonDlg_SplitChooserPath(kanji.c_str(), folder, file, sizeof(file));
    EXPECT_STREQ(folder, "C:");
    EXPECT_EQ(std::string(file), Repeat(kHyo, 128));
}

TEST(CommonDlg, SinglePathListEndsInTwoNuls)
{
    char list[16];
    memset(list, 0x5A, sizeof(list));
    ASSERT_TRUE(CommonDlg_MakeSinglePathList(list, sizeof(list), "C:\\a.txt"));
    EXPECT_EQ(memcmp(list, "C:\\a.txt\0\0", 10), 0);
    EXPECT_EQ(list[10], 0x5A);

    // Thirteen bytes of path and two NULs fit into fifteen, not fourteen.
    EXPECT_TRUE(CommonDlg_MakeSinglePathList(list, 15, "C:\\abcdef.txt"));
    memset(list, 0x5A, sizeof(list));
    EXPECT_FALSE(CommonDlg_MakeSinglePathList(list, 14, "C:\\abcdef.txt"));
    EXPECT_EQ(list[0], 0);
    EXPECT_EQ(list[1], 0);
    EXPECT_EQ(list[14], 0x5A);
}

// A fresh folder under the temporary folder, removed with its files.
class CommonDlgFiles : public testing::Test {
protected:
    void SetUp() override
    {
        GetCurrentDirectoryA(sizeof(startFolder), startFolder);
        char temp[MAX_PATH];
        ASSERT_NE(GetTempPathA(sizeof(temp), temp), 0u);
        char longTemp[MAX_PATH];
        if (GetLongPathNameA(temp, longTemp, sizeof(longTemp)) == 0)
            snprintf(longTemp, sizeof(longTemp), "%s", temp);
        snprintf(folder, sizeof(folder), "%stamarin-commondlg-%lu", longTemp, GetCurrentProcessId());
        CreateDirectoryA(folder, nullptr);
        ASSERT_TRUE(Exists(folder));
    }

    void TearDown() override
    {
        const char* names[] = {"a.txt", "b.txt", "c.txt", "d.txt", "new.txt"};
        for (const char* name : names)
            DeleteFileA(PathOf(name).c_str());
        // The choosers make the folder the current one, which cannot be removed.
        SetCurrentDirectoryA(startFolder);
        RemoveDirectoryA(folder);
    }

    std::string PathOf(const char* name) { return std::string(folder) + "\\" + name; }

    void MakeFile(const char* name)
    {
        FILE* f = fopen(PathOf(name).c_str(), "wb");
        ASSERT_NE(f, nullptr);
        fputs("tamarin", f);
        fclose(f);
    }

    static bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

    char folder[MAX_PATH] = {};
    char startFolder[MAX_PATH] = {};
};

const UINT kQuiet = FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;

TEST_F(CommonDlgFiles, DeletedFileIsGoneFromItsFolder)
{
    MakeFile("a.txt");
    MakeFile("b.txt");
    char list[MAX_PATH + 2];
    ASSERT_TRUE(CommonDlg_MakeSinglePathList(list, sizeof(list), PathOf("a.txt").c_str()));
    EXPECT_TRUE(DeleteToRecycleBin(nullptr, list, kQuiet));
    EXPECT_FALSE(Exists(PathOf("a.txt")));
    EXPECT_TRUE(Exists(PathOf("b.txt")));
}

TEST_F(CommonDlgFiles, EveryPathOfAListIsDeleted)
{
    MakeFile("a.txt");
    MakeFile("b.txt");
    MakeFile("c.txt");
    std::string list = PathOf("a.txt") + '\0' + PathOf("c.txt") + '\0' + '\0';
    EXPECT_TRUE(DeleteToRecycleBin(nullptr, list.data(), kQuiet));
    EXPECT_FALSE(Exists(PathOf("a.txt")));
    EXPECT_FALSE(Exists(PathOf("c.txt")));
    EXPECT_TRUE(Exists(PathOf("b.txt")));
}

TEST_F(CommonDlgFiles, DeletingAMissingFileHarmsNothing)
{
    MakeFile("b.txt");
    char list[MAX_PATH + 2];
    ASSERT_TRUE(CommonDlg_MakeSinglePathList(list, sizeof(list), PathOf("missing.txt").c_str()));
    EXPECT_TRUE(DeleteToRecycleBin(nullptr, list, kQuiet));
    EXPECT_TRUE(Exists(PathOf("b.txt")));
    EXPECT_TRUE(Exists(folder));
}

// Drives a chooser from a thread timer inside its modal loop: once the
// chooser shows (and, for the folder chooser, has selected the awaited
// item), it is told to take what it holds. A message box it raises in answer
// is closed and the chooser then cancelled. A chooser still open after a
// minute is destroyed, so that a failing test cannot hang.
struct ChooserDriver {
    DWORD started;
    bool okPosted;
    bool boxSeen;
    bool cancelPosted;
    const char* waitForItem;  // folder chooser: press OK once this item is selected
};
ChooserDriver g_driver;

// The chooser: a visible dialog of this thread that no other dialog owns.
BOOL CALLBACK FindChooser(HWND window, LPARAM found)
{
    if (IsWindowVisible(window) && IsDialogClass(window) && !IsDialogClass(GetWindow(window, GW_OWNER))) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK DriveChooser(HWND, UINT, UINT_PTR, DWORD)
{
    HWND chooser = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindChooser, reinterpret_cast<LPARAM>(&chooser));
    if (!chooser)
        return;
    if (GetTickCount() - g_driver.started > 60000) {
        DestroyWindow(chooser);
        return;
    }
    if (HWND box = FindMessageBox(chooser)) {
        g_driver.boxSeen = true;
        PostButton(box, IDOK);
    } else if (g_driver.boxSeen && !g_driver.cancelPosted) {
        g_driver.cancelPosted = true;
        PostMessageA(chooser, WM_COMMAND, IDCANCEL, 0);
    } else if (!g_driver.okPosted &&
               (!g_driver.waitForItem || lstrcmpiA(SelectedTreeItemText(chooser).c_str(), g_driver.waitForItem) == 0)) {
        g_driver.okPosted = true;
        PostMessageA(chooser, WM_COMMAND, IDOK, 0);
    }
}

// Starts driving the next chooser of this thread.
UINT_PTR StartChooserDriver(const char* waitForItem = nullptr)
{
    g_driver = ChooserDriver{GetTickCount(), false, false, false, waitForItem};
    return SetTimer(nullptr, 0, 50, DriveChooser);
}

const char kFilter[] = "Text (*.txt)\0*.txt\0All (*.*)\0*.*\0";

TEST_F(CommonDlgFiles, OpenChooserStartsInTheFolderWithTheProposedName)
{
    MakeFile("d.txt");
    UINT_PTR timer = StartChooserDriver();
    ASSERT_NE(timer, 0u);
    char file[261];
    bool chosen = ChooseOpenFile(nullptr, OFN_HIDEREADONLY, file, sizeof(file), PathOf("d.txt").c_str(), "Open",
                                 kFilter);
    KillTimer(nullptr, timer);
    PumpWaiting();
    ASSERT_TRUE(g_driver.okPosted);
    ASSERT_TRUE(chosen);
    EXPECT_EQ(lstrcmpiA(file, PathOf("d.txt").c_str()), 0) << file;
}

TEST_F(CommonDlgFiles, OpenChooserRefusesAMissingFile)
{
    UINT_PTR timer = StartChooserDriver();
    ASSERT_NE(timer, 0u);
    char file[261];
    // Without the file the chooser stays open after OK and is cancelled.
    bool chosen = ChooseOpenFile(nullptr, OFN_HIDEREADONLY, file, sizeof(file), PathOf("new.txt").c_str(), "Open",
                                 kFilter);
    KillTimer(nullptr, timer);
    PumpWaiting();
    EXPECT_FALSE(chosen);
}

TEST_F(CommonDlgFiles, SaveChooserAcceptsANewName)
{
    UINT_PTR timer = StartChooserDriver();
    ASSERT_NE(timer, 0u);
    char file[261];
    bool chosen = ChooseSaveFile(nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, file, sizeof(file),
                                 PathOf("new.txt").c_str(), "Save", kFilter);
    KillTimer(nullptr, timer);
    PumpWaiting();
    ASSERT_TRUE(chosen);
    EXPECT_EQ(lstrcmpiA(file, PathOf("new.txt").c_str()), 0) << file;
    EXPECT_FALSE(Exists(PathOf("new.txt")));  // choosing a name writes nothing
}

TEST_F(CommonDlgFiles, FolderChooserOpensAtTheInitialFolder)
{
    UINT_PTR timer = StartChooserDriver(strrchr(folder, '\\') + 1);
    ASSERT_NE(timer, 0u);
    char path[MAX_PATH];
    path[0] = 0;
    bool chosen = ChooseFolder(nullptr, 0, "Folder", path, folder);
    KillTimer(nullptr, timer);
    PumpWaiting();
    ASSERT_TRUE(chosen);
    EXPECT_EQ(lstrcmpiA(path, folder), 0) << path;
}

}  // namespace
