// Big content through the real program: texts of several megabytes in both
// store files survive restarts byte for byte, and a burst of copies with a
// large history is recorded whole while the history file is written in the
// background.
#include <gtest/gtest.h>

#include <stdio.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "harness.h"

namespace {

const char K_HISTORY_MAX[] = "\x97\x9a\x97\xf0\x82\xcc\x8b\x4c\x89\xaf\x90\x94";  // 履歴の記憶数

// A text of size bytes with every kind of byte a text may hold: line breaks
// of every kind, Ctrl+Z, double-byte characters (表 ends in 0x5C), high bytes.
std::string BigText(size_t size, char seed)
{
    static const char pieces[][8] = {"\r\n", "\n", "\r", "\x1a", "\x95\x5c", "\x82\xa0", "\xfc\xfc", "\t"};
    std::string text;
    text.reserve(size + 16);
    unsigned state = static_cast<unsigned char>(seed);
    while (text.size() < size) {
        state = state * 1103515245u + 12345u;
        if (state % 17 == 0)
            text += pieces[(state >> 8) % 8];
        else
            text += static_cast<char>('!' + (state >> 16) % 90);
    }
    return text;
}

// The bytes of a store file holding texts, oldest (bottom) first.
std::string StoreBytes(const std::vector<const std::string*>& texts)
{
    std::string bytes;
    for (const std::string* t : texts) {
        for (char c : *t) {
            if (c == '\n')
                bytes += '\r';
            bytes += c;
        }
        bytes += '\0';
    }
    return bytes;
}

long long FileSize(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return -1;
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

struct BigContent : testing::Test {
    Tamarin t;
    void TearDown() override { Tamarin_Cleanup(&t); }
};

// 3 MB and 50 MB texts, registered and in the history: the registered ones
// from the file, the history ones copied to the clipboard. Three restarts
// later both files hold them byte for byte.
TEST_F(BigContent, TextsOfManyMegabytesSurviveThreeRestarts)
{
    ASSERT_TRUE(Tamarin_Prepare(&t));
    std::string r3 = BigText(3 * 1048576, 'r'), r50 = BigText(50 * 1048576, 'R');
    std::string h3 = BigText(3 * 1048576, 'h'), h50 = BigText(50 * 1048576, 'H');
    std::string registered = StoreBytes({&r3, &r50});
    std::string history = StoreBytes({&h3, &h50});
    ASSERT_TRUE(WriteFileBytes(Tamarin_File(&t, ".use"), registered));

    ASSERT_TRUE(Tamarin_Start(&t));
    std::string hst = Tamarin_File(&t, ".hst");
    ASSERT_TRUE(PutClipboardText(h3));
    ASSERT_TRUE(WaitFor([&] { return FileSize(hst) == static_cast<long long>(StoreBytes({&h3}).size()); }, 30000));
    ASSERT_TRUE(PutClipboardText(h50));
    ASSERT_TRUE(WaitFor([&] { return FileSize(hst) == static_cast<long long>(history.size()); }, 60000));
    ASSERT_EQ(Tamarin_Quit(&t), 0);

    for (int restart = 1; restart <= 3; restart++) {
        ASSERT_TRUE(Tamarin_Start(&t)) << "restart " << restart;
        ASSERT_EQ(Tamarin_Quit(&t), 0) << "restart " << restart;
        std::string bytes;
        ASSERT_TRUE(ReadFileBytes(Tamarin_File(&t, ".use"), &bytes));
        EXPECT_TRUE(bytes == registered) << "registered texts after restart " << restart << ": " << bytes.size()
                                         << " bytes, " << registered.size() << " wanted";
        ASSERT_TRUE(ReadFileBytes(hst, &bytes));
        EXPECT_TRUE(bytes == history) << "history after restart " << restart << ": " << bytes.size() << " bytes, "
                                      << history.size() << " wanted";
    }
}

double NowMs()
{
    LARGE_INTEGER frequency, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

// The pace of the burst: each copy 30 ms after the one before it was made,
// as a user's or a program's copies would follow one another. This is the
// load the test applies, not a wait for the program.
void CopyAfter(double previous, const std::string& text)
{
    while (NowMs() - previous < 30.0)
        Sleep(1);
    PutClipboardText(text);
}

// 50 copies 30 ms apart while the history holds 30 MB: rewriting that file
// takes several times longer than the gap, and none of the copies is missed.
TEST_F(BigContent, BurstOfCopiesWithALargeHistoryIsRecordedWhole)
{
    ASSERT_TRUE(Tamarin_Prepare(&t, std::string("[Tamarin]\r\n") + K_HISTORY_MAX + "=4095\r\n"));
    std::vector<std::string> old;
    int oldCount = getenv("TAMARIN_BURST_OLD") ? atoi(getenv("TAMARIN_BURST_OLD")) : 3000;
    for (int i = 0; i < oldCount; i++)
        old.push_back("old entry " + std::to_string(i) + " " + BigText(10 * 1024, static_cast<char>(i)));
    std::vector<const std::string*> oldPointers;
    for (const std::string& s : old)
        oldPointers.push_back(&s);
    ASSERT_TRUE(WriteFileBytes(Tamarin_File(&t, ".hst"), StoreBytes(oldPointers)));
    ASSERT_TRUE(Tamarin_Start(&t));

    const int copies = 50;
    double previous = 0;
    for (int i = 0; i < copies; i++) {
        CopyAfter(previous, "burst copy " + std::to_string(i));
        previous = NowMs();
    }
    std::string last = "burst copy " + std::to_string(copies - 1);
    ASSERT_EQ(Tamarin_Quit(&t), 0);

    std::vector<std::string> records = ReadStoreRecords(Tamarin_File(&t, ".hst"));
    ASSERT_GE(records.size(), static_cast<size_t>(copies));
    std::string missing;
    for (int i = 0; i < copies; i++) {
        std::string wanted = "burst copy " + std::to_string(i);
        bool found = false;
        for (size_t r = old.size() > 0 ? records.size() - copies : 0; r < records.size() && !found; r++)
            found = records[r] == wanted;
        if (!found)
            missing += " " + std::to_string(i);
    }
    EXPECT_EQ(missing, "") << "copies missed";
    EXPECT_EQ(records.back(), last);
    EXPECT_EQ(records.size(), old.size() + copies);
}

}  // namespace
