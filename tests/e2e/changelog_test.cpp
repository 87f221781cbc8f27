// The clipboard change log as written by the running program: texts byte for
// byte and bitmaps as .bmp files in month and day folders.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "harness.h"

namespace {

const char KEY_LOG_TEXT[] =
    "\x83\x65\x83\x4c\x83\x58\x83\x67\x82\xf0\x83\x8d\x83\x4f\x82\xd6\x8f\x91\x82\xab\x8f\x6f\x82\xb7";  // テキストをログへ書き出す
const char KEY_LOG_IMAGE[] =
    "\x83\x43\x83\x81\x81\x5b\x83\x57\x82\xf0\x83\x8d\x83\x4f\x82\xd6\x8f\x91\x82\xab\x8f\x6f\x82\xb7";  // イメージをログへ書き出す
const char KEY_LOG_FOLDER[] = "\x83\x8d\x83\x4f\x83\x74\x83\x48\x83\x8b\x83\x5f";  // ログフォルダ

std::vector<std::string> FilesIn(const std::string& pattern)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA fd;
    HANDLE find = FindFirstFileA(pattern.c_str(), &fd);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do {
        names.push_back(fd.cFileName);
    } while (FindNextFileA(find, &fd));
    FindClose(find);
    return names;
}

struct ChangeLog : testing::Test {
    Tamarin t;
    std::string log;

    void SetUp() override
    {
        ASSERT_TRUE(Tamarin_Prepare(&t));
        // A folder ending in a backslash must not give a doubled one.
        log = t.folder + "\\log";
        std::string ini = std::string("[Tamarin]\r\n") + KEY_LOG_TEXT + "=1\r\n" + KEY_LOG_IMAGE + "=1\r\n" +
                          KEY_LOG_FOLDER + "=" + log + "\\\r\n";
        ASSERT_TRUE(WriteFileBytes(Tamarin_File(&t, ".ini"), ini));
        ASSERT_TRUE(Tamarin_Start(&t));
    }
    void TearDown() override { Tamarin_Cleanup(&t); }

    std::string DayFolder() const
    {
        SYSTEMTIME now;
        GetLocalTime(&now);
        char day[32];
        snprintf(day, sizeof day, "\\%04d-%02d\\%02d", now.wYear, now.wMonth, now.wDay);
        return log + day;
    }
    // Waits for a file of the extension in today's folder, then gives its bytes.
    bool WaitForLogFile(const char* ext, std::string* name, std::string* bytes)
    {
        std::string pattern = DayFolder() + "\\*" + ext;
        if (!WaitFor([&] { return !FilesIn(pattern).empty(); }, E2E_TIMEOUT_MS))
            return false;
        *name = FilesIn(pattern)[0];
        std::string path = DayFolder() + "\\" + *name;
        // Written whole once the program has closed it: then nobody else has
        // it open and it can be opened without sharing.
        if (!WaitFor([&] { return CanOpenExclusively(path); }, E2E_TIMEOUT_MS))
            return false;
        return ReadFileBytes(path, bytes);
    }
};

TEST_F(ChangeLog, TextGoesToTheDayFolderByteForByte)
{
    const std::string text = "line\r\n\x95\x5c\x8e\xa6\x1a end";  // 表示 and a 0x1A byte
    ASSERT_TRUE(PutClipboardText(text));
    std::string name, bytes;
    ASSERT_TRUE(WaitForLogFile(".txt", &name, &bytes));
    EXPECT_EQ(bytes, text);
    ASSERT_EQ(name.size(), 10u);  // HHMMSS.txt
    for (int i = 0; i < 6; i++)
        EXPECT_TRUE(isdigit(static_cast<unsigned char>(name[i]))) << name;
    EXPECT_EQ(name.substr(6), ".txt");
}

TEST_F(ChangeLog, BitmapOnlyClipboardBecomesABmpFile)
{
    const std::string dib = MakeDib24(3, 2, 7);
    ASSERT_TRUE(PutClipboardFormats({{CF_DIB, dib}}));
    std::string name, bytes;
    ASSERT_TRUE(WaitForLogFile(".bmp", &name, &bytes));
    ASSERT_EQ(bytes.size(), 78u);
    EXPECT_EQ(bytes.substr(0, 2), "BM");
    EXPECT_EQ(bytes.substr(14, 40), dib.substr(0, 40));
    EXPECT_EQ(bytes.substr(54), dib.substr(40));

    HBITMAP bitmap = static_cast<HBITMAP>(
        LoadImageA(nullptr, (DayFolder() + "\\" + name).c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
    ASSERT_NE(bitmap, nullptr);
    BITMAP info;
    GetObjectA(bitmap, sizeof info, &info);
    EXPECT_EQ(info.bmWidth, 3);
    EXPECT_EQ(info.bmHeight, 2);
    DeleteObject(bitmap);

    // Left for ImageMagick's identify, run by the test script on the Linux side.
    char artifacts[MAX_PATH];
    if (GetEnvironmentVariableA("TAMARIN_E2E_ARTIFACTS", artifacts, sizeof artifacts)) {
        CreateDirectoryA(artifacts, nullptr);
        WriteFileBytes(std::string(artifacts) + "\\clip3x2.bmp", bytes);
    }
}

TEST_F(ChangeLog, TextWithABitmapIsLoggedAsTextOnly)
{
    ASSERT_TRUE(PutClipboardFormats({{CF_TEXT, std::string("both\0", 5)}, {CF_DIB, MakeDib24(2, 2, 1)}}));
    std::string name, bytes;
    ASSERT_TRUE(WaitForLogFile(".txt", &name, &bytes));
    EXPECT_EQ(bytes, "both");
    ASSERT_TRUE(Tamarin_Settle(&t));  // the change is handled whole
    EXPECT_TRUE(FilesIn(DayFolder() + "\\*.bmp").empty());
}

}  // namespace
