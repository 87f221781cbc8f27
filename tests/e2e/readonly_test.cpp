// Tamarin started from a folder it cannot write to (Program Files, a
// read-only share): its settings, history, registered texts and default log
// folder go to a folder "Tamarin" under the user's application-data folder,
// and are found there again at the next start. Run by readonly_test.sh, which
// makes the read-only folder (a read-only mount) and names it in
// TAMARIN_READONLY_FOLDER, with a writable TAMARIN_APPDATA for APPDATA.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <string>
#include <vector>

#include "harness.h"

namespace {

const char KEY_HISTORY_MAX[] = "\x97\x9a\x97\xf0\x82\xcc\x8b\x4c\x89\xaf\x90\x94";  // 履歴の記憶数
const char KEY_LOG_TEXT[] =
    "\x83\x65\x83\x4c\x83\x58\x83\x67\x82\xf0\x83\x8d\x83\x4f\x82\xd6\x8f\x91\x82\xab\x8f\x6f\x82\xb7";  // テキストをログへ書き出す

typedef std::vector<std::string> Records;

std::string Env(const char* name)
{
    char value[MAX_PATH];
    DWORD n = GetEnvironmentVariableA(name, value, sizeof value);
    return n > 0 && n < sizeof value ? std::string(value) : std::string();
}

bool CanCreateFileIn(const std::string& folder)
{
    std::string probe = folder + "\\probe.tmp";
    HANDLE file = CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_FLAG_DELETE_ON_CLOSE,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(file);
    return true;
}

std::vector<std::string> FolderNames(const std::string& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA fd;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &fd);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do {
        std::string name = fd.cFileName;
        if (name != "." && name != "..")
            names.push_back(name);
    } while (FindNextFileA(find, &fd));
    FindClose(find);
    return names;
}

// Text log files below the folder (month and day folders).
int CountTextLogs(const std::string& folder)
{
    int count = 0;
    for (const std::string& month : FolderNames(folder)) {
        for (const std::string& day : FolderNames(folder + "\\" + month)) {
            for (const std::string& file : FolderNames(folder + "\\" + month + "\\" + day))
                count += file.size() > 4 && file.substr(file.size() - 4) == ".txt";
        }
    }
    return count;
}

struct ReadOnlyFolder : testing::Test {
    Tamarin t;
    std::string dataFolder;

    void SetUp() override
    {
        t.folder = Env("TAMARIN_READONLY_FOLDER");
        std::string appData = Env("TAMARIN_APPDATA");
        ASSERT_FALSE(t.folder.empty()) << "TAMARIN_READONLY_FOLDER is not set (run readonly_test.sh)";
        ASSERT_FALSE(appData.empty()) << "TAMARIN_APPDATA is not set (run readonly_test.sh)";
        ASSERT_TRUE(FileExists(t.folder + "\\tamarin.exe"));
        ASSERT_FALSE(CanCreateFileIn(t.folder)) << "the program's folder can be written to";
        // Tamarin inherits this process's environment.
        ASSERT_TRUE(SetEnvironmentVariableA("APPDATA", appData.c_str()));
        dataFolder = appData + "\\Tamarin";
        if (OpenClipboard(nullptr)) {
            EmptyClipboard();
            CloseClipboard();
        }
    }
    void TearDown() override { Tamarin_Kill(&t); }

    std::string DataFile(const char* ext) const { return dataFolder + "\\tamarin" + ext; }
    Records History() const { return ReadStoreRecords(DataFile(".hst")); }
    bool HistoryEndsWith(const std::string& text) const
    {
        Records r = History();
        return !r.empty() && r.back() == text;
    }
    void Copy(const std::string& text)
    {
        ASSERT_TRUE(PutClipboardText(text));
        ASSERT_TRUE(WaitFor([&] { return HistoryEndsWith(text); }, E2E_TIMEOUT_MS)) << text;
    }
};

TEST_F(ReadOnlyFolder, FilesGoToTheApplicationDataFolderAndSurviveARestart)
{
    ASSERT_TRUE(Tamarin_Start(&t));
    Copy("first run");
    EXPECT_EQ(Tamarin_Quit(&t), 0);
    EXPECT_TRUE(FileExists(DataFile(".ini")));
    EXPECT_TRUE(FileExists(DataFile(".use")));
    EXPECT_EQ(History(), Records{"first run"});
    EXPECT_EQ(FolderNames(t.folder), std::vector<std::string>{"tamarin.exe"});

    // Settings put into that INI file by hand rule the next start: a history
    // of 2 entries, and text logging into the default log folder beside them.
    std::string ini;
    ASSERT_TRUE(ReadFileBytes(DataFile(".ini"), &ini));
    std::string oldCap = std::string(KEY_HISTORY_MAX) + "=30";
    size_t at = ini.find(oldCap);
    ASSERT_NE(at, std::string::npos);
    ini.replace(at, oldCap.size(), std::string(KEY_HISTORY_MAX) + "=2\r\n" + KEY_LOG_TEXT + "=1");
    ASSERT_TRUE(WriteFileBytes(DataFile(".ini"), ini));

    ASSERT_TRUE(Tamarin_Start(&t));
    Copy("second run");
    EXPECT_EQ(History(), (Records{"first run", "second run"}));
    Copy("third");
    EXPECT_EQ(History(), (Records{"second run", "third"}));
    EXPECT_TRUE(WaitFor([&] { return CountTextLogs(dataFolder + "\\log") > 0; }, E2E_TIMEOUT_MS));
    EXPECT_EQ(Tamarin_Quit(&t), 0);
    ASSERT_TRUE(ReadFileBytes(DataFile(".ini"), &ini));
    EXPECT_NE(ini.find(std::string(KEY_HISTORY_MAX) + "=2"), std::string::npos);
    EXPECT_EQ(FolderNames(t.folder), std::vector<std::string>{"tamarin.exe"});
}

}  // namespace
