// The matching rules of the text search, in bytes: what each kind of
// character folds to, how a query splits into words, and which texts hold
// every word, with trail bytes that look like ASCII letters or a backslash
// never taken for one.
#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "text/textmatch.h"

namespace {

std::string Fold(const char* text)
{
    char out[256];
    size_t n = TextMatch_Fold(out, sizeof out, text);
    EXPECT_EQ(n, strlen(out));
    EXPECT_EQ(n, TextMatch_FoldedLength(text)) << text;
    return out;
}

bool Matches(const char* text, const char* query)
{
    std::string folded = Fold(text);
    TextQuery q;
    TextMatch_ParseQuery(&q, query);
    return TextMatch_MatchesAll(folded.c_str(), folded.size(), &q);
}

struct FoldCase {
    const char* text;
    const char* folded;
};

const FoldCase FOLD_CASES[] = {
    {"", ""},
    {"Tamarin ABC xyz 0-9!", "tamarin abc xyz 0-9!"},
    // Ｔａｍ０９！＂＇ (full-width letters, digits and signs) and the full-width space
    {"\x82\x73\x82\x81\x82\x8d\x82\x4f\x82\x58\x81\x49\xfa\x57\xee\xfb\x81\x40", "tam09!\"' "},
    // （＋－＝＜＞［］｛｝＼／～｜＆＠＃＄％＊）
    {"\x81\x69\x81\x7b\x81\x7c\x81\x81\x81\x83\x81\x84\x81\x6d\x81\x6e\x81\x6f\x81\x70\x81\x5f\x81\x5e\x81\x60"
     "\x81\x62\x81\x95\x81\x97\x81\x94\x81\x90\x81\x93\x81\x96\x81\x6a",
     "(+-=<>[]{}\\/~|&@#$%*)"},
    // あいうぁん → アイウァン (hiragana as katakana, across the skipped 0x7F: み ム)
    {"\x82\xa0\x82\xa2\x82\xa4\x82\x9f\x82\xf1", "\x83\x41\x83\x43\x83\x45\x83\x40\x83\x93"},
    {"\x82\xdd\x82\xde", "\x83\x7e\x83\x80"},  // みむ → ミム
    {"\x81\x54\x81\x55", "\x81\x52\x81\x53"},  // ゝゞ → ヽヾ
    // ｱｲｳｰ → アイウー
    {"\xb1\xb2\xb3\xb0", "\x83\x41\x83\x43\x83\x45\x81\x5b"},
    // ｶﾞｷﾞﾊﾟﾎﾟｳﾞ → ガギパポヴ (voiced marks joined)
    {"\xb6\xde\xb7\xde\xca\xdf\xce\xdf\xb3\xde", "\x83\x4b\x83\x4d\x83\x70\x83\x7c\x83\x94"},
    // ﾏﾞｶﾟﾞ → マ゛カ゜゛ (kana that take no such mark keep it apart)
    {"\xcf\xde\xb6\xdf\xde", "\x83\x7d\x81\x4a\x83\x4a\x81\x4b\x81\x4a"},
    // ｡｢｣､･ｦｯﾜﾝ → 。「」、・ヲッワン
    {"\xa1\xa2\xa3\xa4\xa5\xa6\xaf\xdc\xdd",
     "\x81\x42\x81\x75\x81\x76\x81\x41\x81\x45\x83\x92\x83\x62\x83\x8f\x83\x93"},
    // カタカナ and 漢字 stay: 表ソ end in 0x5C, 連 (0x98 0x41) and Б (0x84 0x41) in "A",
    // ヂ (0x83 0x61) in "a", Α (Greek, 0x83 0x9F), ① (0x87 0x40)
    {"\x83\x4a\x83\x5e\x95\x5c\x83\x5c\x98\x41\x84\x41\x83\x61\x83\x9f\x87\x40",
     "\x83\x4a\x83\x5e\x95\x5c\x83\x5c\x98\x41\x84\x41\x83\x61\x83\x9f\x87\x40"},
    // A lead byte without a trail byte stands alone: 0x81 0x7F, a lead at the end.
    {"\x81\x7f" "A\x82", "\x81\x7f" "a\x82"},
    {"\x80\xa0\xfd\xfe\xff", "\x80\xa0\xfd\xfe\xff"},
    {"line\r\nTAB\t", "line\r\ntab\t"},
};

TEST(TextMatchFold, FoldsEachKindOfCharacter)
{
    for (const FoldCase& c : FOLD_CASES)
        EXPECT_EQ(Fold(c.text), c.folded) << c.text;
}

TEST(TextMatchFold, CutsBeforeACharacterThatDoesNotFit)
{
    char out[8];
    memset(out, 'x', sizeof out);
    // ｱ takes two bytes folded: "ab" and ア need 4 bytes and the NUL.
    EXPECT_EQ(TextMatch_Fold(out, 4, "AB\xb1"), 2u);
    EXPECT_STREQ(out, "ab");
    EXPECT_EQ(TextMatch_Fold(out, 5, "AB\xb1"), 4u);
    EXPECT_STREQ(out, "ab\x83\x41");
    EXPECT_EQ(TextMatch_Fold(out, 1, "AB"), 0u);
    EXPECT_STREQ(out, "");
    EXPECT_EQ(out[1], 'b');  // nothing written past the size
    EXPECT_EQ(TextMatch_Fold(out, 0, "AB"), 0u);
}

struct QueryCase {
    const char* text;
    int count;
    const char* words[4];
};

const QueryCase QUERY_CASES[] = {
    {"", 0, {}},
    {"   \t ", 0, {}},
    {"fox", 1, {"fox"}},
    {"  Quick   FOX ", 2, {"quick", "fox"}},
    {"a\tb\r\nc", 3, {"a", "b", "c"}},
    // Ｑｕｉｃｋ　ｆｏｘ: full-width letters and the full-width space
    {"\x82\x70\x82\x95\x82\x89\x82\x83\x82\x8b\x81\x40\x82\x86\x82\x8f\x82\x98", 2, {"quick", "fox"}},
    // 東京　とうきょう: kanji, and hiragana folded to katakana
    {"\x93\x8c\x8b\x9e\x81\x40\x82\xc6\x82\xa4\x82\xab\x82\xe5\x82\xa4", 2,
     {"\x93\x8c\x8b\x9e", "\x83\x67\x83\x45\x83\x4c\x83\x87\x83\x45"}},
    // A trail byte 0x40 (as in ァ) or 0x5C (as in 表) is no blank and no separator.
    {"\x83\x40 \x95\x5c", 2, {"\x83\x40", "\x95\x5c"}},
};

TEST(TextMatchQuery, SplitsAtBlanksAndFolds)
{
    for (const QueryCase& c : QUERY_CASES) {
        TextQuery q;
        TextMatch_ParseQuery(&q, c.text);
        ASSERT_EQ(q.wordCount, c.count) << c.text;
        for (int i = 0; i < c.count; i++) {
            EXPECT_STREQ(q.words[i], c.words[i]) << c.text;
            EXPECT_EQ(q.lengths[i], strlen(c.words[i])) << c.text;
        }
    }
}

TEST(TextMatchQuery, KeepsTheFirstWordsOfAVeryLongQuery)
{
    std::string text;
    for (int i = 0; i < TEXT_QUERY_MAX_WORDS + 10; i++)
        text += "w" + std::to_string(i) + " ";
    TextQuery q;
    TextMatch_ParseQuery(&q, text.c_str());
    ASSERT_EQ(q.wordCount, TEXT_QUERY_MAX_WORDS);
    EXPECT_STREQ(q.words[0], "w0");
    EXPECT_STREQ(q.words[TEXT_QUERY_MAX_WORDS - 1], ("w" + std::to_string(TEXT_QUERY_MAX_WORDS - 1)).c_str());
}

TEST(TextMatchQuery, ReadsNoMoreThanItsInputSize)
{
    std::string text(TEXT_QUERY_INPUT_SIZE * 3, '\xb1');  // ｱｱｱ..., each two bytes folded
    TextQuery q;
    TextMatch_ParseQuery(&q, text.c_str());
    ASSERT_EQ(q.wordCount, 1);
    EXPECT_EQ(q.lengths[0], static_cast<size_t>(TEXT_QUERY_FOLDED_SIZE - 2));
}

struct MatchCase {
    const char* text;
    const char* query;
    bool matches;
};

const MatchCase MATCH_CASES[] = {
    // words, in any order, all of them
    {"the quick brown fox", "fox quick", true},
    {"the quick brown fox", "fox cat", false},
    {"the quick brown fox", "", true},
    {"the quick brown fox", "   ", true},
    {"the quick brown fox", "ick bro", true},
    {"", "a", false},
    {"", "", true},
    // ASCII case, both ways
    {"Hello World", "hello WORLD", true},
    {"HELLO", "hElLo", true},
    // full-width and half-width: ＴＡＭＡＲＩＮ against tamarin, and ｔａｍ against Tamarin
    {"\x82\x73\x82\x60\x82\x6c\x82\x60\x82\x71\x82\x68\x82\x6d", "tamarin", true},
    {"Tamarin", "\x82\x94\x82\x81\x82\x8d", true},
    {"version 2.0", "\x82\x51\x81\x44\x82\x4f", true},  // ２．０
    // hiragana, katakana and half-width katakana: テキスト, ﾃｷｽﾄ, てきすと
    {"\x83\x65\x83\x4c\x83\x58\x83\x67", "\xc3\xb7\xbd\xc4", true},
    {"\xc3\xb7\xbd\xc4", "\x82\xc4\x82\xab\x82\xb7\x82\xc6", true},
    {"\x82\xc4\x82\xab\x82\xb7\x82\xc6", "\x83\x65\x83\x4c\x83\x58\x83\x67", true},
    // ガイド against ｶﾞｲﾄﾞ; カイト is another word
    {"\x83\x4b\x83\x43\x83\x68", "\xb6\xde\xb2\xc4\xde", true},
    {"\x83\x4a\x83\x43\x83\x67", "\xb6\xde\xb2\xc4\xde", false},
    // kanji words in a Japanese sentence: 東京都港区 against 港区 東京 and 大阪
    {"\x93\x8c\x8b\x9e\x93\x73\x8d\x60\x8b\xe6", "\x8d\x60\x8b\xe6 \x93\x8c\x8b\x9e", true},
    {"\x93\x8c\x8b\x9e\x93\x73\x8d\x60\x8b\xe6", "\x91\xe5\x8d\xe3", false},
    // trail bytes are never letters or backslashes: 連 (0x98 0x41), ヂ (0x83 0x61), 表示 (0x95 0x5C ...)
    {"\x98\x41", "a", false},
    {"\x98\x41", "A", false},
    {"\x83\x61", "a", false},
    {"\x95\x5c\x8e\xa6", "\\", false},
    {"C:\\\x95\x5c", "\\", true},
    // nor the start of a match: ァイ holds the bytes "@イ" from its second byte on
    {"\x83\x40\x83\x43", "@\x83\x43", false},
    {"@\x83\x43", "@\x83\x43", true},
    // a word ending in a lone lead byte does not match half a character
    {"\x83\x40", "\x83", false},
    {"\x83\x40\x83\x43", "\x40\x83", false},
    // two-byte words are found by their first byte: ヂb holds "ab" from its trail byte on
    {"\x83\x61" "b", "ab", false},
    {"\x83\x61" "ab", "ab", true},
    // after a lead byte that stands alone (0x7F is no trail byte) a character starts
    {"\x81\x7f" "A", "\x7f" "a", true},
    // a run of bytes that may all be lead or trail bytes pairs up from its start:
    // in 亜亜 (0x88 0x9F twice) the middle bytes 0x9F 0x88 are no character
    {"\x88\x9f\x88\x9f", "\x9f\x88", false},
    {"\x88\x9f\x88\x9f", "\x88\x9f\x88\x9f", true},
    {"x\x88\x9f\x88\x9f\x88\x9f", "\x88\x9f\x88", false},
    // the same bytes later in the text at a character start are found
    {"\x83\x61" "a", "a", true},
    // Unicode-ish texts of code page 932: Greek, Cyrillic, circled digits, NEC and IBM rows
    {"\x83\x9f\x83\xb6 \x84\x40\x84\x70", "\x83\x9f\x83\xb6", true},  // ΑΩ Аа
    {"\x83\x9f\x83\xb6 \x84\x40\x84\x70", "\x83\xbf", false},         // α (lower case is another character)
    {"\x87\x40\x87\x41\x87\x54", "\x87\x41", true},                    // ①② Ⅰ
    {"\xfa\x40\xfa\x41", "\xfa\x41", true},                            // ⅰⅱ of the IBM rows
    // line breaks in a text are blanks like any other byte of it
    {"first line\r\nsecond line", "line second", true},
    {"first line\r\nsecond line", "line\r\nsecond", true},  // the break in the query separates words
};

TEST(TextMatch, TextHoldsEveryWord)
{
    for (const MatchCase& c : MATCH_CASES)
        EXPECT_EQ(Matches(c.text, c.query), c.matches) << "text \"" << c.text << "\" query \"" << c.query << "\"";
}

// Long words go through the table-driven search; its moves must never pass
// over a match, at the text's start, its end, or past the table's limit of 255.
TEST(TextMatch, LongWordsAreFoundWhereverTheyStand)
{
    std::string word;
    for (int i = 0; word.size() < 300; i++)
        word += static_cast<char>('a' + (i * 7) % 26);
    std::string filler(1000, 'x');
    const std::string texts[] = {word + filler, filler + word, filler.substr(0, 333) + word + filler.substr(0, 5)};
    for (const std::string& text : texts)
        EXPECT_TRUE(TextMatch_Contains(text.c_str(), text.size(), word.c_str(), word.size())) << text.size();
    std::string almost = filler + word.substr(0, word.size() - 1) + "?";
    EXPECT_FALSE(TextMatch_Contains(almost.c_str(), almost.size(), word.c_str(), word.size()));
    // A word whose last byte repeats inside it, found right after a near miss.
    const char* text = "abcabdabcabcx";
    EXPECT_TRUE(TextMatch_Contains(text, strlen(text), "abcabc", 6));
    EXPECT_FALSE(TextMatch_Contains(text, strlen(text), "abcabcabc", 9));
}

struct NarrowCase {
    const char* before;
    const char* after;
    bool narrows;
};

const NarrowCase NARROW_CASES[] = {
    {"", "anything", true},
    {"ab", "abc", true},
    {"ab", "ab c", true},
    {"ab ", "ab", false},  // a blank taken away: not typed on
    {"abc", "ab", false},  // Backspace
    {"ab", "xab", false},  // typed in front
    {"AB", "abc", true},   // folded forms compared: case
    {"\x82\x60", "ab", true},  // Ａ before, ab after
    // ｶ then ﾞ: カ is no beginning of ガ, so the texts of ガ are looked for anew
    {"\xb6", "\xb6\xde", false},
    {"\xb6\xde", "\xb6\xde\xb2", true},
    // a query ending in half a character (no edit box gives one) narrows nothing
    {"a\x83", "a\x83\x40", false},
};

TEST(TextMatch, QueryNarrowsOnlyWhenItGrowsAtItsEnd)
{
    for (const NarrowCase& c : NARROW_CASES)
        EXPECT_EQ(TextMatch_Narrows(c.before, c.after), c.narrows) << c.before << " -> " << c.after;
}

TEST(TextMatch, ContainsLooksOnlyWithinTheGivenLength)
{
    const char text[] = "abcdef";
    EXPECT_TRUE(TextMatch_Contains(text, 6, "ef", 2));
    EXPECT_FALSE(TextMatch_Contains(text, 5, "ef", 2));
    EXPECT_TRUE(TextMatch_Contains(text, 0, "", 0));
    EXPECT_FALSE(TextMatch_Contains(text, 1, "ab", 2));
}

}  // namespace
