// The store files beside the real executable: the names GetAppFilePath gives,
// the bytes on disk as a Win32 program reads them, and MoveFileExA's refusal
// to replace a file it must not touch.
#include <windows.h>

#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

#include "settings/appinfo.h"
#include "settings/apppath.h"
#include "store/appdata.h"
#include "settings/filereplace.h"
#include "store/savereport.h"
#include "store/storefile.h"

namespace {

typedef std::vector<std::string> Texts;

#define BYTES(literal) std::string(literal, sizeof(literal) - 1)

// "<folder of this test program>\win_tests<ext>", found without the naming
// helpers under test.
std::string BesideExe(const char* ext)
{
    char module[MAX_PATH];
    DWORD len = GetModuleFileNameA(nullptr, module, sizeof(module));
    if (len == 0 || len >= sizeof(module))
        return std::string();
    std::string path(module, len);
    size_t sep = path.find_last_of('\\');
    std::string name = path.substr(sep + 1);
    size_t dot = name.find_last_of('.');
    if (dot != std::string::npos)
        name.resize(dot);
    return path.substr(0, sep + 1) + name + ext;
}

std::string ReadBytes(const std::string& path)
{
    std::string bytes;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return bytes;
    char block[4096];
    DWORD got = 0;
    while (ReadFile(file, block, sizeof(block), &got, nullptr) && got > 0)
        bytes.append(block, got);
    CloseHandle(file);
    return bytes;
}

void WriteBytes(const std::string& path, const std::string& bytes)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
    ASSERT_EQ(written, bytes.size());
    CloseHandle(file);
}

bool Exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void RemoveFile(const std::string& path)
{
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(path.c_str());
}

Texts ListTexts(const AppData* data, int list)
{
    Texts texts;
    for (int i = 0; i < AppData_GetCount(data, list); i++)
        texts.push_back(AppData_GetAt(data, list, i));
    return texts;
}

struct StoreFilesBesideExe : testing::Test {
    std::string registeredPath;
    std::string historyPath;
    AppData* data = nullptr;
    AppInfo info;

    void SetUp() override
    {
        registeredPath = BesideExe(".use");
        historyPath = BesideExe(".hst");
        ASSERT_FALSE(registeredPath.empty());
        // A failure of an earlier test would make the first save impatient.
        for (const char* ext : {".use", ".hst"}) {
            char path[APP_FILE_PATH_SIZE];
            if (GetAppFilePath(path, sizeof(path), ext))
                SaveReport_Note(path, true);
        }
        RemoveAll();
        memset(&info, 0, sizeof(info));
        info.historyMax = 30;
        info.historyEnabled = true;
        info.useHistoryFile = true;
        data = AppData_New();
        ASSERT_NE(data, nullptr);
    }

    void TearDown() override
    {
        AppData_Delete(data);
        RemoveAll();
    }

    void RemoveAll()
    {
        for (const std::string& p : {registeredPath, historyPath}) {
            RemoveFile(p);
            RemoveFile(p + ".tmp");
        }
    }
};

TEST_F(StoreFilesBesideExe, AppFilePathNamesTheFileBesideTheExe)
{
    char path[APP_FILE_PATH_SIZE];
    ASSERT_TRUE(GetAppFilePath(path, sizeof(path), ".use"));
    EXPECT_EQ(lstrcmpiA(path, registeredPath.c_str()), 0) << path;
}

TEST_F(StoreFilesBesideExe, SaveRegisteredWritesTheBytes)
{
    // index 0 last in the file; "表" has 0x5C as its trail byte
    AppData_Add(data, LIST_REGISTERED, "\x95\x5c\n");
    AppData_Add(data, LIST_REGISTERED, "line\r\nbreak");
    AppData_Add(data, LIST_REGISTERED, "top\x1a");
    EXPECT_TRUE(AppData_SaveRegistered(data));
    EXPECT_EQ(ReadBytes(registeredPath), BYTES("\x95\x5c\r\n\0line\r\r\nbreak\0top\x1a\0"));
    EXPECT_FALSE(Exists(registeredPath + ".tmp"));
    EXPECT_FALSE(Exists(historyPath));
}

TEST_F(StoreFilesBesideExe, SaveReplacesAnExistingFile)
{
    WriteBytes(registeredPath, std::string(10000, 'o'));
    AppData_Add(data, LIST_REGISTERED, "new");
    AppData_SaveRegistered(data);
    EXPECT_EQ(ReadBytes(registeredPath), BYTES("new\0"));
    EXPECT_FALSE(Exists(registeredPath + ".tmp"));
}

// Another program holds the file open without letting it be deleted: the
// replace is refused, and the open file keeps its contents.
TEST_F(StoreFilesBesideExe, FileHeldOpenIsLeftAsItWas)
{
    WriteBytes(registeredPath, BYTES("old\0"));
    HANDLE held = CreateFileA(registeredPath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    AppData_Add(data, LIST_REGISTERED, "new");
    EXPECT_TRUE(AppData_SaveRegistered(data));
    CloseHandle(held);
    EXPECT_EQ(ReadBytes(registeredPath), BYTES("old\0"));
    EXPECT_FALSE(Exists(registeredPath + ".tmp"));
    EXPECT_EQ(ListTexts(data, LIST_REGISTERED), Texts{"new"});
}

TEST_F(StoreFilesBesideExe, LoadReadsCtrlZAndLineBreaks)
{
    WriteBytes(registeredPath, BYTES("a\x1a" "b\0c\r\r\nd\r\n\0"));
    WriteBytes(historyPath, BYTES("h1\0\x1a\0h2"));
    AppData* loaded = AppData_Load(&info);
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(ListTexts(loaded, LIST_REGISTERED), (Texts{"c\r\nd\n", "a\x1a" "b"}));
    EXPECT_EQ(ListTexts(loaded, LIST_HISTORY), (Texts{"h2", "\x1a", "h1"}));
    AppData_Delete(loaded);
}

TEST_F(StoreFilesBesideExe, AddClipAndRegisterWriteTheirFiles)
{
    AppData_AddClip(data, "clip\none", &info);
    EXPECT_EQ(ReadBytes(historyPath), BYTES("clip\r\none\0"));
    EXPECT_FALSE(Exists(registeredPath));
    AppData_Register(data, "kept");
    EXPECT_EQ(ReadBytes(registeredPath), BYTES("kept\0"));
    EXPECT_FALSE(Exists(historyPath + ".tmp"));
    EXPECT_FALSE(Exists(registeredPath + ".tmp"));
}

TEST_F(StoreFilesBesideExe, HistoryFileOffLeavesTheFileAlone)
{
    info.useHistoryFile = false;
    WriteBytes(historyPath, BYTES("old\0"));
    AppData* loaded = AppData_Load(&info);
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(AppData_GetCount(loaded, LIST_HISTORY), 0);
    AppData_AddClip(loaded, "new", &info);
    AppData_SaveHistory(loaded, &info);
    EXPECT_EQ(ReadBytes(historyPath), BYTES("old\0"));
    AppData_Delete(loaded);
}

// Another program holds the file for a moment, as a virus scanner or an
// indexer does after every change: the replace waits for it and succeeds.
struct BriefHold {
    std::string path;
    DWORD ms;
    HANDLE opened = CreateEventA(nullptr, TRUE, FALSE, nullptr);
};

DWORD WINAPI HoldFileBriefly(void* param)
{
    BriefHold* hold = static_cast<BriefHold*>(param);
    HANDLE held = CreateFileA(hold->path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    SetEvent(hold->opened);
    if (held == INVALID_HANDLE_VALUE)
        return 1;
    Sleep(hold->ms);  // the strain itself: how long the other program holds the file
    CloseHandle(held);
    return 0;
}

TEST_F(StoreFilesBesideExe, AFileHeldForAMomentIsReplacedAfterRetrying)
{
    WriteBytes(registeredPath, BYTES("old\0"));
    BriefHold hold;
    hold.path = registeredPath;
    hold.ms = 300;
    HANDLE thread = CreateThread(nullptr, 0, HoldFileBriefly, &hold, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    WaitForSingleObject(hold.opened, INFINITE);
    AppData_Add(data, LIST_REGISTERED, "new");
    AppData_SaveRegistered(data);
    WaitForSingleObject(thread, INFINITE);
    DWORD code = 1;
    GetExitCodeThread(thread, &code);
    CloseHandle(thread);
    CloseHandle(hold.opened);
    ASSERT_EQ(code, 0u) << "the file could not be held";
    EXPECT_EQ(ReadBytes(registeredPath), BYTES("new\0"));
    EXPECT_FALSE(Exists(registeredPath + ".tmp"));
}

TEST_F(StoreFilesBesideExe, ReplaceRetriesOnlyWhileTheFileIsHeld)
{
    std::string tmp = registeredPath + ".tmp";
    // A missing source is no hold: refused at once.
    EXPECT_FALSE(FileReplace_ReplaceRetrying(tmp.c_str(), registeredPath.c_str(), true));
    WriteBytes(registeredPath, BYTES("old\0"));
    WriteBytes(tmp, BYTES("new\0"));
    HANDLE held = CreateFileA(registeredPath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(FileReplace_ReplaceRetrying(tmp.c_str(), registeredPath.c_str(), false));
    EXPECT_FALSE(FileReplace_ReplaceRetrying(tmp.c_str(), registeredPath.c_str(), true));
    CloseHandle(held);
    EXPECT_EQ(ReadBytes(registeredPath), BYTES("old\0"));
    EXPECT_TRUE(FileReplace_ReplaceRetrying(tmp.c_str(), registeredPath.c_str(), false));
    EXPECT_EQ(ReadBytes(registeredPath), BYTES("new\0"));
}

} // namespace
