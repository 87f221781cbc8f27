// Code page 932 text and path helpers: byte kinds, bounded copies, lower-casing,
// separators that are really trail bytes, and path joining.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "text/path.h"
#include "text/text.h"

namespace {

// 表 = 0x95 0x5C, ソ = 0x83 0x5C: both end in the backslash byte.
const char HYO[] = "\x95\x5c";
const char SO[] = "\x83\x5c";

TEST(MbcsByteKind, FollowsLeadAndTrailBytes)
{
    struct Case {
        const char* s;
        size_t pos;
        int kind;
    } cases[] = {
        {"\x95\x5c", 0, MBCS_LEAD},          // 表
        {"\x95\x5c", 1, MBCS_TRAIL},
        {"\x81\x7f" "A", 0, MBCS_LEAD},      // 0x81 then 0x7F, which is no trail byte
        {"\x81\x7f" "A", 1, MBCS_SINGLE},
        {"\x81\x7f\x81\x40", 2, MBCS_LEAD},  // examined afresh after the single 0x7F
        {"\x81\x7f\x81\x40", 3, MBCS_TRAIL},
        {"\x82\xa0\x82\xa0", 2, MBCS_LEAD},  // あ あ: the second lead is not a trail
        {"a\x95\x5c", 2, MBCS_TRAIL},
        {"\xa0\x95", 0, MBCS_SINGLE},        // half-width range is single
        {"\x95", 1, MBCS_SINGLE},            // at the NUL
        {"ab", 10, MBCS_SINGLE},             // beyond the NUL
        {"\xfc\xfc", 1, MBCS_TRAIL},
        {"\xfd\x40", 0, MBCS_SINGLE},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MbcsByteKind(c.s, c.pos), c.kind) << "pos " << c.pos;
}

TEST(MbcsCharNext, StepsWholeCharacters)
{
    const char* s = "a\x95\x5c" "b";
    EXPECT_EQ(MbcsCharNext(s), s + 1);
    EXPECT_EQ(MbcsCharNext(s + 1), s + 3);
    const char* lonelyLead = "\x95";
    EXPECT_EQ(MbcsCharNext(lonelyLead), lonelyLead + 1);  // lead before the NUL
    const char* empty = "";
    EXPECT_EQ(MbcsCharNext(empty), empty);
}

TEST(IsPathSeparator, TrailByteIsNoSeparator)
{
    std::string path = std::string("C:\\") + HYO + "\\" + SO + "x";
    EXPECT_TRUE(IsPathSeparator(path.c_str(), 2));
    EXPECT_FALSE(IsPathSeparator(path.c_str(), 4));  // trail of 表
    EXPECT_TRUE(IsPathSeparator(path.c_str(), 5));
    EXPECT_FALSE(IsPathSeparator(path.c_str(), 7));  // trail of ソ
    EXPECT_FALSE(IsPathSeparator(path.c_str(), 0));
}

TEST(StrCopyN, NeverSplitsADoubleByteCharacter)
{
    struct Case {
        size_t size;
        const char* src;
        const char* expected;
    } cases[] = {
        {4, "abcdef", "abc"},
        {4, "ab\x82\xa0", "ab"},          // あ would be cut after its lead byte
        {5, "ab\x82\xa0", "ab\x82\xa0"},
        {3, "a\x82\xa0", "a"},
        {1, "abc", ""},
        {2, "\x82\xa0", ""},
        {3, "\x82\xa0" "b", "\x82\xa0"},
        {10, "short", "short"},
        {4, "a\x81\x7f" "b", "a\x81\x7f"},  // 0x7F is no trail: nothing to protect
    };
    for (const Case& c : cases) {
        char buf[16];
        memset(buf, 'X', sizeof buf);
        StrCopyN(buf, c.size, c.src);
        EXPECT_STREQ(buf, c.expected) << "size " << c.size << " src " << c.src;
        EXPECT_EQ(buf[c.size], 'X') << "wrote past the size";
    }
}

TEST(StrCopyN, PadsShortSourcesWithNul)
{
    char buf[8];
    memset(buf, 'X', sizeof buf);
    StrCopyN(buf, 6, "ab");
    EXPECT_EQ(std::string(buf, 6), std::string("ab\0\0\0\0", 6));
    EXPECT_EQ(buf[6], 'X');
}

TEST(StrLowerSingleByte, LowersAsciiOnly)
{
    // "ＡBC表D" with full-width Ａ (0x82 0x60) and 表 whose trail byte is 0x5C.
    char s[] = "\x82\x60" "BC\x95\x5c" "D\x83\x41";  // ア = 0x83 0x41: trail byte 'A'
    StrLowerSingleByte(s);
    EXPECT_STREQ(s, "\x82\x60" "bc\x95\x5c" "d\x83\x41");
}

TEST(CutExtension, CutsAtTheLastDotOfTheName)
{
    struct Case {
        const char* path;
        const char* expected;
    } cases[] = {
        {"C:\\Tools\\Tamarin.EXE", "C:\\Tools\\Tamarin"},
        {"C:\\a.b\\name", "C:\\a.b\\name"},
        {"C:\\dir\\archive.tar.gz", "C:\\dir\\archive.tar"},
        {"noext", "noext"},
        {"C:\\\x95\x5c.d\\x", "C:\\\x95\x5c.d\\x"},  // 表 before the dot: the dot is in a folder
        {"C:\\d\\\x95\x5c.txt", "C:\\d\\\x95\x5c"},
        {".hidden", ""},
    };
    for (const Case& c : cases) {
        char buf[64];
        StrCopyN(buf, sizeof buf, c.path);
        CutExtension(buf);
        EXPECT_STREQ(buf, c.expected) << c.path;
    }
}

TEST(CutFileName, LeavesTheFolder)
{
    char a[] = "C:\\Tools\\tamarin.exe";
    EXPECT_STREQ(CutFileName(a), "tamarin.exe");
    EXPECT_STREQ(a, "C:\\Tools");
    char b[] = "C:\\\x95\x5c";  // the trail byte of 表 is no separator
    CutFileName(b);
    EXPECT_STREQ(b, "C:");
    char c[] = "plain";
    CutFileName(c);
    EXPECT_STREQ(c, "plain");
}

TEST(PathJoin, JoinsWithOneBackslash)
{
    struct Case {
        const char* folder;
        const char* name;
        const char* expected;
    } cases[] = {
        {"C:\\clip\\", "2004-03", "C:\\clip\\2004-03"},
        {"C:\\clip", "2004-03", "C:\\clip\\2004-03"},
        {"C:\\dir", "..", "C:\\"},
        {"C:\\a\\b", "..", "C:\\a"},
        {"", "log", "log"},
        {"C:\\a", ".", "C:\\a"},
        {"nosep", "..", "nosep"},
        {"C:\\\x95\x5c", "x", "C:\\\x95\x5c\\x"},  // folder ends in 表, not in a separator
        {"C:\\\x95\x5c", "..", "C:\\"},
    };
    for (const Case& c : cases) {
        char buf[64];
        PathJoin(buf, sizeof buf, c.folder, c.name);
        EXPECT_STREQ(buf, c.expected) << c.folder << " + " << c.name;
    }
}

TEST(PathJoin, CutsToTheDestination)
{
    char buf[12];
    memset(buf, 'X', sizeof buf);
    PathJoin(buf, 8, "C:\\folder", "name");
    EXPECT_STREQ(buf, "C:\\fold");
    EXPECT_EQ(buf[8], 'X');
    PathJoin(buf, 8, "C:\\a", "\x82\xa0\x82\xa0");  // あ あ: the second does not fit whole
    EXPECT_STREQ(buf, "C:\\a\\\x82\xa0");
    EXPECT_EQ(buf[8], 'X');
}

TEST(MemDup, CopiesTheBlock)
{
    const char block[] = {1, 0, 2, 0, 3};
    char* copy = static_cast<char*>(MemDup(block, sizeof block));
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(memcmp(copy, block, sizeof block), 0);
    free(copy);
}

}  // namespace
