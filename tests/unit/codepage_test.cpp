// The code page notice: only code page 932 is the program's own, and the
// texts name the system's code page and are cut between characters.
#include <gtest/gtest.h>

#include <string>

#include "text/codepage.h"

namespace {

// コードページが932ではありません
const std::string NOT_932 =
    "\x83\x52\x81\x5b\x83\x68\x83\x79\x81\x5b\x83\x57\x82\xaa" "932\x82\xc5\x82\xcd\x82\xa0\x82\xe8\x82\xdc\x82\xb9"
    "\x82\xf1";
// ANSIコードページが932ではなく
const std::string NOTICE_START =
    "ANSI\x83\x52\x81\x5b\x83\x68\x83\x79\x81\x5b\x83\x57\x82\xaa" "932\x82\xc5\x82\xcd\x82\xc8\x82\xad";
// です。
const std::string DESU = "\x82\xc5\x82\xb7\x81\x42";

template <typename F>
std::string Written(size_t size, F f)
{
    std::string buf(size + 8, 'X');
    f(&buf[0], size);
    EXPECT_EQ(buf.substr(size), std::string(8, 'X')) << "wrote past the buffer";
    return size ? std::string(buf.c_str()) : std::string();
}

TEST(CodePage, OnlyCodePage932IsTheProgramsOwn)
{
    const struct {
        unsigned codePage;
        bool own;
    } cases[] = {{932, true}, {1252, false}, {65001, false}, {936, false}, {20932, false}, {0, false}};
    for (const auto& c : cases)
        EXPECT_EQ(CodePage_IsProgramOwn(c.codePage), c.own) << c.codePage;
    EXPECT_EQ(std::string(CODEPAGE_NOTICE_TITLE), NOT_932);
}

TEST(CodePage, AboutLineNamesTheSystemsCodePage)
{
    const struct {
        unsigned codePage;
        std::string line;
    } cases[] = {
        {1252, NOT_932 + "\x81\x69" "1252\x81\x6a"},  // （1252）
        {65001, NOT_932 + "\x81\x69" "65001\x81\x6a"},
        {0, NOT_932 + "\x81\x69" "0\x81\x6a"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Written(64, [&](char* out, size_t size) { CodePage_FormatAboutLine(out, size, c.codePage); }),
                  c.line);
    }
}

TEST(CodePage, NoticeNamesTheCodePageInBothLanguages)
{
    std::string notice = Written(256, [](char* out, size_t size) { CodePage_FormatNotice(out, size, 1252); });
    EXPECT_EQ(notice.substr(0, NOTICE_START.size() + 4 + DESU.size()), NOTICE_START + "1252" + DESU);
    EXPECT_NE(notice.find("this system uses 1252."), std::string::npos) << notice;
    EXPECT_LT(notice.size(), 256u);
}

TEST(CodePage, TextsAreCutBetweenCharacters)
{
    // A size that would end inside a character loses the whole character.
    const struct {
        size_t size;
        std::string line;
    } cases[] = {
        {1, ""},
        {2, ""},                     // コ needs two bytes and the NUL
        {3, NOT_932.substr(0, 2)},   // コ
        {4, NOT_932.substr(0, 2)},
        {5, NOT_932.substr(0, 4)},   // コー
        {NOT_932.size() + 1, NOT_932},
        {NOT_932.size() + 2, NOT_932},  // （ does not fit in one byte
        {0, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Written(c.size, [](char* out, size_t size) { CodePage_FormatAboutLine(out, size, 1252); }), c.line)
            << "size " << c.size;
    }
    // "ANSI" and seven characters are 18 bytes; "が" is bytes 16 and 17.
    auto notice = [](size_t bufferSize) {
        return Written(bufferSize, [](char* out, size_t size) { CodePage_FormatNotice(out, size, 1252); });
    };
    EXPECT_EQ(notice(18), NOTICE_START.substr(0, 16));
    EXPECT_EQ(notice(19), NOTICE_START.substr(0, 18));
    EXPECT_EQ(notice(20), NOTICE_START.substr(0, 18) + "9");
}

}  // namespace
