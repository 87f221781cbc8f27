// The resident program as a user meets it: one instance per desktop, every
// clipboard text in the history file, quitting saves its files, the log.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "harness.h"

namespace {

// INI keys of the main section "Tamarin", as Shift-JIS bytes.
const char KEY_HISTORY_MAX[] = "\x97\x9a\x97\xf0\x82\xcc\x8b\x4c\x89\xaf\x90\x94";  // 履歴の記憶数
const char KEY_HISTORY_ON[] =
    "\x97\x9a\x97\xf0\x8b\x40\x94\x5c\x82\xf0\x97\x98\x97\x70\x82\xb7\x82\xe9";  // 履歴機能を利用する
const char KEY_LOG_TEXT[] =
    "\x83\x65\x83\x4c\x83\x58\x83\x67\x82\xf0\x83\x8d\x83\x4f\x82\xd6\x8f\x91\x82\xab\x8f\x6f\x82\xb7";  // テキストをログへ書き出す
const char KEY_LOG_IMAGE[] =
    "\x83\x43\x83\x81\x81\x5b\x83\x57\x82\xf0\x83\x8d\x83\x4f\x82\xd6\x8f\x91\x82\xab\x8f\x6f\x82\xb7";  // イメージをログへ書き出す
const char KEY_LOG_FOLDER[] = "\x83\x8d\x83\x4f\x83\x74\x83\x48\x83\x8b\x83\x5f";  // ログフォルダ

std::string Ini(const std::vector<std::pair<std::string, std::string>>& keys)
{
    std::string ini = "[Tamarin]\r\n";
    for (const auto& kv : keys)
        ini += kv.first + "=" + kv.second + "\r\n";
    return ini;
}

typedef std::vector<std::string> Records;

struct Resident : testing::Test {
    Tamarin t;
    void TearDown() override { Tamarin_Cleanup(&t); }

    void Start(const std::string& ini = "")
    {
        ASSERT_TRUE(Tamarin_Prepare(&t, ini));
        ASSERT_TRUE(Tamarin_Start(&t));
    }
    Records History() const { return ReadStoreRecords(Tamarin_File(&t, ".hst")); }
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

TEST_F(Resident, SecondStartEndsAtOnceAndLeavesTheFirst)
{
    Start();
    Tamarin second;
    second.folder = t.folder;
    ASSERT_TRUE(Tamarin_Start(&second, ""));  // finds the first window at once
    EXPECT_EQ(Tamarin_Wait(&second, 10000), 0);
    EXPECT_TRUE(IsWindow(t.window));
    Copy("still here");
}

TEST_F(Resident, CopiedTextsLandInTheHistoryFileNewestLast)
{
    Start();
    Copy("alpha");
    Copy("beta");
    Copy("line one\r\nline two");
    const std::string kanji = "\x95\x5c\x8e\xa6\x83\x5c";  // 表示ソ
    Copy(kanji);
    EXPECT_EQ(History(), (Records{"alpha", "beta", "line one\r\nline two", kanji}));
    std::string raw;
    ASSERT_TRUE(ReadFileBytes(Tamarin_File(&t, ".hst"), &raw));
    EXPECT_NE(raw.find(std::string("line one\r\r\nline two\0", 20)), std::string::npos);

    Copy("alpha");  // a repeated text moves to the head
    EXPECT_EQ(History(), (Records{"beta", "line one\r\nline two", kanji, "alpha"}));
}

TEST_F(Resident, RegisteredTextsStayOutAndTheCapHolds)
{
    ASSERT_TRUE(Tamarin_Prepare(&t, Ini({{KEY_HISTORY_MAX, "3"}})));
    ASSERT_TRUE(WriteFileBytes(Tamarin_File(&t, ".use"), std::string("kept\0", 5)));
    ASSERT_TRUE(Tamarin_Start(&t));
    for (const char* text : {"1", "2", "3", "4"})
        Copy(text);
    ASSERT_TRUE(PutClipboardText("kept"));
    Copy("5");
    EXPECT_EQ(History(), (Records{"3", "4", "5"}));
}

TEST_F(Resident, HistoryOffAddsNothingButStillLogs)
{
    ASSERT_TRUE(Tamarin_Prepare(&t));
    std::string log = t.folder + "\\log";
    ASSERT_TRUE(WriteFileBytes(Tamarin_File(&t, ".ini"),
                               Ini({{KEY_HISTORY_ON, "0"}, {KEY_LOG_TEXT, "1"}, {KEY_LOG_FOLDER, log}})));
    ASSERT_TRUE(Tamarin_Start(&t));
    ASSERT_TRUE(PutClipboardText("not kept"));
    ASSERT_TRUE(WaitFor([&] { return FileExists(log); }, E2E_TIMEOUT_MS));
    EXPECT_EQ(Tamarin_Quit(&t), 0);
    EXPECT_TRUE(History().empty());
}

// Each change waits only until the history file is replaced, then the next
// follows: a notification lost under load would leave a text out.
TEST_F(Resident, RapidChangesAreAllRecorded)
{
    Start(Ini({{KEY_HISTORY_MAX, "4095"}}));
    const std::string hst = Tamarin_File(&t, ".hst");
    auto writeTime = [&] {
        WIN32_FILE_ATTRIBUTE_DATA data = {};
        GetFileAttributesExA(hst.c_str(), GetFileExInfoStandard, &data);
        return (static_cast<unsigned long long>(data.ftLastWriteTime.dwHighDateTime) << 32) |
               data.ftLastWriteTime.dwLowDateTime;
    };
    Records expected;
    for (int i = 0; i < 400; i++) {
        std::string text = "rapid " + std::to_string(i);
        unsigned long long before = writeTime();
        ASSERT_TRUE(PutClipboardText(text));
        ASSERT_TRUE(WaitFor([&] { return writeTime() != before; }, E2E_TIMEOUT_MS)) << text;
        expected.push_back(text);
    }
    EXPECT_EQ(History(), expected);
}

TEST_F(Resident, QuitSavesHistoryRegisteredAndSettings)
{
    Start();
    Copy("saved");
    DeleteFileA(Tamarin_File(&t, ".hst").c_str());
    EXPECT_EQ(Tamarin_Quit(&t), 0);
    EXPECT_EQ(History(), (Records{"saved"}));
    EXPECT_TRUE(FileExists(Tamarin_File(&t, ".use")));
    std::string ini;
    ASSERT_TRUE(ReadFileBytes(Tamarin_File(&t, ".ini"), &ini));
    EXPECT_NE(ini.find(std::string(KEY_HISTORY_MAX) + "=30"), std::string::npos);
    EXPECT_EQ(FindWindowA("Kinkajou", "Kinkajou"), nullptr);
}

TEST_F(Resident, CloseFromOutsideSavesToo)
{
    Start();
    Copy("closed");
    DeleteFileA(Tamarin_File(&t, ".hst").c_str());
    PostMessageA(t.window, WM_CLOSE, 0, 0);
    EXPECT_EQ(Tamarin_Wait(&t, E2E_TIMEOUT_MS), 0);
    EXPECT_EQ(History(), (Records{"closed"}));
    EXPECT_TRUE(FileExists(Tamarin_File(&t, ".use")));
    EXPECT_TRUE(FileExists(Tamarin_File(&t, ".ini")));
}

// The question is answered at once and writes nothing: another program may
// still refuse the log-off.
TEST_F(Resident, QueryEndSessionIsAnsweredWithoutSaving)
{
    Start();
    Copy("session");
    DeleteFileA(Tamarin_File(&t, ".hst").c_str());
    DWORD_PTR answer = 0;
    ASSERT_NE(SendMessageTimeoutA(t.window, WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL, 5000, &answer), 0);
    EXPECT_EQ(answer, static_cast<DWORD_PTR>(TRUE));
    EXPECT_FALSE(FileExists(Tamarin_File(&t, ".hst")));
    EXPECT_FALSE(FileExists(Tamarin_File(&t, ".use")));
    EXPECT_FALSE(FileExists(Tamarin_File(&t, ".ini")));
}

// The session ends: the history is saved before WM_ENDSESSION returns, for
// the system may end the process right after. Nothing else is written.
TEST_F(Resident, EndSessionSavesTheHistoryAlone)
{
    Start();
    Copy("session");
    DeleteFileA(Tamarin_File(&t, ".hst").c_str());
    EXPECT_TRUE(SendMessageA(t.window, WM_QUERYENDSESSION, 0, 0));
    SendMessageA(t.window, WM_ENDSESSION, TRUE, 0);
    EXPECT_EQ(History(), (Records{"session"}));
    EXPECT_FALSE(FileExists(Tamarin_File(&t, ".use")));
    EXPECT_FALSE(FileExists(Tamarin_File(&t, ".ini")));
    EXPECT_TRUE(IsWindow(t.window));
}

TEST_F(Resident, ACancelledEndOfSessionSavesNothing)
{
    Start();
    Copy("session");
    DeleteFileA(Tamarin_File(&t, ".hst").c_str());
    EXPECT_TRUE(SendMessageA(t.window, WM_QUERYENDSESSION, 0, 0));
    SendMessageA(t.window, WM_ENDSESSION, FALSE, 0);
    EXPECT_FALSE(FileExists(Tamarin_File(&t, ".hst")));
    Copy("still running");
}

// The Restart Manager (an installer or an update that needs the program's
// files) asks with ENDSESSION_CLOSEAPP: Tamarin ends with every file saved.
TEST_F(Resident, ARestartManagerCloseEndsTamarinWithItsFilesSaved)
{
    Start();
    Copy("closed for an update");
    DeleteFileA(Tamarin_File(&t, ".hst").c_str());
    EXPECT_TRUE(SendMessageA(t.window, WM_QUERYENDSESSION, 0, ENDSESSION_CLOSEAPP));
    SendMessageA(t.window, WM_ENDSESSION, TRUE, ENDSESSION_CLOSEAPP);
    EXPECT_EQ(Tamarin_Wait(&t, 20000), 0);
    EXPECT_EQ(History(), (Records{"closed for an update"}));
    EXPECT_TRUE(FileExists(Tamarin_File(&t, ".use")));
    EXPECT_TRUE(FileExists(Tamarin_File(&t, ".ini")));
}

TEST_F(Resident, ConfidentialClipsAreNeitherStoredNorLogged)
{
    ASSERT_TRUE(Tamarin_Prepare(&t));
    std::string log = t.folder + "\\log";
    ASSERT_TRUE(WriteFileBytes(Tamarin_File(&t, ".ini"), Ini({{KEY_LOG_TEXT, "1"}, {KEY_LOG_FOLDER, log}})));
    ASSERT_TRUE(Tamarin_Start(&t));
    Copy("before");

    UINT exclude = RegisterClipboardFormatA("ExcludeClipboardContentFromMonitorProcessing");
    UINT ignore = RegisterClipboardFormatA("Clipboard Viewer Ignore");
    UINT history = RegisterClipboardFormatA("CanIncludeInClipboardHistory");
    const std::string dwordZero(4, '\0');
    ASSERT_TRUE(PutClipboardFormats({{CF_TEXT, std::string("secret1\0", 8)}, {exclude, ""}}));
    ASSERT_TRUE(PutClipboardFormats({{CF_TEXT, std::string("secret2\0", 8)}, {ignore, ""}}));
    ASSERT_TRUE(PutClipboardFormats({{CF_TEXT, std::string("secret3\0", 8)}, {history, dwordZero}}));
    Copy("after");  // the history sees this one: the others were handled before it
    EXPECT_EQ(History(), (Records{"before", "after"}));

    std::string logged;
    WIN32_FIND_DATAA fd;
    // Only the two ordinary texts may appear in the log; each name is a second.
    SYSTEMTIME now;
    GetLocalTime(&now);
    char month[32];
    snprintf(month, sizeof month, "\\%04d-%02d\\%02d\\*.txt", now.wYear, now.wMonth, now.wDay);
    HANDLE find = FindFirstFileA((log + month).c_str(), &fd);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    do {
        std::string bytes;
        snprintf(month, sizeof month, "\\%04d-%02d\\%02d\\", now.wYear, now.wMonth, now.wDay);
        ReadFileBytes(log + month + fd.cFileName, &bytes);
        EXPECT_EQ(bytes.find("secret"), std::string::npos) << bytes;
    } while (FindNextFileA(find, &fd));
    FindClose(find);
}

}  // namespace
