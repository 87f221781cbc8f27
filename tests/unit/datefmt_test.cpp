// Tests of FormatDateTime: the conversions, flags, escapes and name tables of
// the date format language, and how an output too long for its buffer is cut.
#include <gtest/gtest.h>

#include <stdint.h>
#include <string.h>

#include <string>
#include <vector>

#include "datefmt/datefmt.h"

namespace {

// Adjacent literals keep a hex escape from swallowing the text after it.
#define ZSPACE "\x81\x40"  // full-width space

SYSTEMTIME MakeTime(int year, int month, int dayOfWeek, int day, int hour, int minute, int second)
{
    SYSTEMTIME t;
    memset(&t, 0, sizeof t);
    t.wYear = static_cast<uint16_t>(year);
    t.wMonth = static_cast<uint16_t>(month);
    t.wDayOfWeek = static_cast<uint16_t>(dayOfWeek);
    t.wDay = static_cast<uint16_t>(day);
    t.wHour = static_cast<uint16_t>(hour);
    t.wMinute = static_cast<uint16_t>(minute);
    t.wSecond = static_cast<uint16_t>(second);
    t.wMilliseconds = 999;
    return t;
}

// Monday 2004-03-01 09:05:07.
SYSTEMTIME Monday()
{
    return MakeTime(2004, 3, 1, 1, 9, 5, 7);
}

std::string Format(const char* format, const SYSTEMTIME& t, size_t capacity = 1024)
{
    std::vector<char> buf(capacity + 1, '#');
    FormatDateTime(buf.data(), capacity, format, &t);
    return std::string(buf.data());
}

struct FormatCase {
    const char* format;
    const char* expected;
};

void RunTable(const FormatCase* cases, size_t count, const SYSTEMTIME& t)
{
    for (size_t i = 0; i < count; i++) {
        SCOPED_TRACE(std::string("format: ") + cases[i].format);
        EXPECT_EQ(cases[i].expected, Format(cases[i].format, t));
    }
}

struct TimedCase {
    int year, month, dayOfWeek, day, hour, minute, second;
    const char* format;
    const char* expected;
};

void RunTimedTable(const TimedCase* cases, size_t count)
{
    for (size_t i = 0; i < count; i++) {
        const TimedCase& c = cases[i];
        SYSTEMTIME t = MakeTime(c.year, c.month, c.dayOfWeek, c.day, c.hour, c.minute, c.second);
        SCOPED_TRACE(std::string("format: ") + c.format + " at " + std::to_string(c.year) + "-" +
                     std::to_string(c.month) + "-" + std::to_string(c.day) + " " + std::to_string(c.hour) +
                     ":" + std::to_string(c.minute) + ":" + std::to_string(c.second));
        EXPECT_EQ(c.expected, Format(c.format, t));
    }
}

// Lengths of the characters of an output, by the lead-byte rule.
std::vector<size_t> CharStarts(const std::string& s)
{
    std::vector<size_t> starts;
    for (size_t i = 0; i < s.size();) {
        starts.push_back(i);
        unsigned char c = static_cast<unsigned char>(s[i]);
        bool lead = (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
        i += (lead && i + 1 < s.size()) ? 2 : 1;
    }
    return starts;
}

TEST(DateFmt, DocumentedExamples)
{
    const FormatCase cases[] = {
        {"%02H:%02M:%02S %04Y/%02m/%02d", "09:05:07 2004/03/01"},
        // 2004年3月1日(月)
        {"%Y\x94\x4e%m\x8c\x8e%d\x93\xfa(%x)", "2004\x94\x4e" "3\x8c\x8e" "1\x93\xfa(\x8c\x8e)"},
        // %!Y年%!m月 -> 二〇〇四年三月
        {"%!Y\x94\x4e%!m\x8c\x8e", "\x93\xf1\x81\x5a\x81\x5a\x8e\x6c\x94\x4e\x8e\x4f\x8c\x8e"},
        {"%*02m", "\x82\x4f\x82\x52"},  // ０３
        {"%{-1988}Y", "16"},
        // %O%I時 -> 午前9時
        {"%O%I\x8e\x9e", "\x8c\xdf\x91\x4f" "9\x8e\x9e"},
        {"%-6a|", "Mon.  |"},
        {"%k", "\x96\xa4"},  // 巳
    };
    RunTable(cases, sizeof cases / sizeof cases[0], Monday());
}

TEST(DateFmt, OrdinaryTextAndEscapes)
{
    const FormatCase cases[] = {
        {"", ""},
        {"plain text, no conversions", "plain text, no conversions"},
        {"\\f\\n\\r\\t", "\x0c\x0a\x0d\x09"},
        {"a\\nb", "a\nb"},  // a single line feed, no carriage return
        {"\\\\", "\\"},
        {"\\%", "%"},
        {"\\%Y", "%Y"},
        {"\\a\\0\\N", "a0N"},
        {"end\\", "end"},
        {"\\", ""},
        {"\\\\\\", "\\"},
        // 表 and ソ end in 0x5C: copied whole, no escape starts there.
        {"\x95\x5cn", "\x95\x5cn"},
        {"\x83\x5c%Y", "\x83\x5c" "2004"},
        {"\x95\x5c\\n", "\x95\x5c\n"},
        // \表 yields 表, \ソ yields ソ.
        {"\\\x95\x5c", "\x95\x5c"},
        {"\\\x83\x5cn", "\x83\x5cn"},
        // A lead byte takes the next byte along, whatever it is.
        {"\x81%Y", "\x81%Y"},
        {"\x81\\n", "\x81\\n"},
        // A lead byte just before the end is a character of its own.
        {"ab\x81", "ab\x81"},
        {"\\\x81", "\x81"},
    };
    RunTable(cases, sizeof cases / sizeof cases[0], Monday());
}

TEST(DateFmt, PercentAndMalformedConversions)
{
    const FormatCase cases[] = {
        {"%%", "%"},
        {"%%Y", "%Y"},
        {"%-%%", "-%"},
        {"100%", "100"},
        {"%", ""},
        {"%5", "5"},
        {"%{3Y", "{3Y"},
        {"%{3", "{3"},
        {"%{3}", "{3}"},
        {"%{3}5Y", "{3}5Y"},
        {"%{+-3}d", "{+-3}d"},
        {"%5.3{", "5.3{"},
        {"%.%%", ".%"},
        {"%*%Y", "*2004"},
        {"%+-5d", "+-5d"},
        {"%\\n", "\n"},
        {"% Y", " Y"},
        {"%\x95\x5cn", "\x95\x5cn"},  // %表n: 表 is no letter and starts no escape
        {"%0%", "0"},
        // Letters that name no conversion are consumed.
        {"%C%D%E%F%G%J%K%L%R%V%X%Z%c%e%f%g%h%i%l%o%r%s%t%v%y%z", ""},
        {"a%yb", "ab"},
        {"[%-*!05.3{7}c]", "[]"},
    };
    RunTable(cases, sizeof cases / sizeof cases[0], Monday());
}

TEST(DateFmt, NumberValues)
{
    const TimedCase cases[] = {
        {2004, 3, 1, 1, 9, 5, 7, "%Y %m %d %H %M %S", "2004 3 1 9 5 7"},
        {2004, 12, 5, 31, 23, 59, 58, "%Y %m %d %H %M %S", "2004 12 31 23 59 58"},
        {2004, 3, 1, 1, 9, 5, 7, "%N %n", "545 32707"},
        {2004, 3, 1, 1, 0, 0, 0, "%N %n", "0 0"},
        {2004, 3, 1, 1, 23, 59, 59, "%N %n", "1439 86399"},
        {2004, 3, 1, 1, 12, 0, 1, "%N %n", "720 43201"},
        {2004, 3, 1, 1, 9, 5, 7, "%U %u %{7}u %{-7}U", "0 0 7 7"},
        // Weekdays.
        {2004, 3, 0, 7, 12, 0, 0, "%w %W", "0 6"},
        {2004, 3, 1, 1, 12, 0, 0, "%w %W", "1 0"},
        {2004, 3, 6, 6, 12, 0, 0, "%w %W", "6 5"},
        // Day of the year.
        {2004, 1, 4, 1, 12, 0, 0, "%j", "1"},
        {2003, 12, 3, 31, 12, 0, 0, "%j", "365"},
        {2004, 12, 5, 31, 12, 0, 0, "%j", "366"},
        {2000, 12, 0, 31, 12, 0, 0, "%j", "366"},
        {1900, 12, 1, 31, 12, 0, 0, "%j", "365"},
        {2000, 2, 2, 29, 12, 0, 0, "%j", "60"},
        {2000, 3, 3, 1, 12, 0, 0, "%j", "61"},
        {1900, 3, 4, 1, 12, 0, 0, "%j", "60"},
        {2004, 3, 1, 1, 12, 0, 0, "%j", "61"},
        {2003, 3, 6, 1, 12, 0, 0, "%j", "60"},
        {2004, 2, 0, 1, 12, 0, 0, "%j", "32"},
        // Hour modulo 12.
        {2004, 3, 1, 1, 0, 10, 0, "%I", "0"},
        {2004, 3, 1, 1, 12, 30, 0, "%02I", "00"},
        {2004, 3, 1, 1, 11, 59, 0, "%I", "11"},
        {2004, 3, 1, 1, 13, 0, 0, "%I", "1"},
        {2004, 3, 1, 1, 23, 59, 0, "%I", "11"},
    };
    RunTimedTable(cases, sizeof cases / sizeof cases[0]);
}

TEST(DateFmt, NumberFlagsWidthPrecisionOffset)
{
    // On the 7th, in 2004.
    const SYSTEMTIME t = MakeTime(2004, 3, 0, 7, 9, 5, 7);
    const FormatCase cases[] = {
        {"%5d|", "    7|"},
        {"%+5d|", "    7|"},
        {"%05d|", "00007|"},
        {"%-5d|", "7    |"},
        {"%-05d|", "7    |"},
        {"%0-5d|", "7    |"},
        {"%--0--5d|", "7    |"},
        {"%2Y", "2004"},
        // Full-width: digits, zero and space.
        {"%*d", "\x82\x56"},                                    // ７
        {"%*3d", ZSPACE ZSPACE "\x82\x56"},                     // 　　７
        {"%*03d", "\x82\x4f\x82\x4f\x82\x56"},                  // ００７
        {"%*-3d|", "\x82\x56" ZSPACE ZSPACE "|"},               // ７　　|
        {"%*-03d|", "\x82\x56" ZSPACE ZSPACE "|"},              // ７　　|
        {"%*Y", "\x82\x51\x82\x4f\x82\x4f\x82\x53"},            // ２００４
        // Kanji: digits, zero and full-width space; kanji wins over full-width.
        {"%!5d", ZSPACE ZSPACE ZSPACE ZSPACE "\x8e\xb5"},       // 　　　　七
        {"%!05d", "\x81\x5a\x81\x5a\x81\x5a\x81\x5a\x8e\xb5"},  // 〇〇〇〇七
        {"%!-3d|", "\x8e\xb5" ZSPACE ZSPACE "|"},               // 七　　|
        {"%*!03d", "\x81\x5a\x81\x5a\x8e\xb5"},                 // 〇〇七
        {"%!*3d", ZSPACE ZSPACE "\x8e\xb5"},                    // 　　七
        {"%!{3}d", "\x88\xea\x81\x5a"},                         // 一〇
        {"%!Y", "\x93\xf1\x81\x5a\x81\x5a\x8e\x6c"},            // 二〇〇四
        // Precision keeps the lowest digits.
        {"%.2Y", "04"},
        {"%.3Y", "004"},
        {"%.0Y", "4"},
        {"%.-Y", "4"},
        {"%.-3Y", "4"},
        {"%.+2Y", "04"},
        {"%.Y", "2004"},
        {"%.9Y", "2004"},
        {"%6.2Y|", "    04|"},
        {"%06.2Y|", "000004|"},
        {"%-6.2Y|", "04    |"},
        {"%!.2Y", "\x81\x5a\x8e\x6c"},  // 〇四
        {"%.1{3}d", "0"},
        // Offsets, and the sign dropped from a negative sum.
        {"%{5}d", "12"},
        {"%{+5}d", "12"},
        {"%{-5}d", "2"},
        {"%{-7}d", "0"},
        {"%{-10}d", "3"},
        {"%{-2010}Y", "6"},
        {"%03{-2010}Y", "006"},
        {"%-3{-2010}Y|", "6  |"},
        {"%{}d", "7"},
        {"%{-}d", "7"},
        {"%{0003}d", "10"},
        {"%.2{-2003}Y", "1"},  // a limit, not a minimum number of digits
        {"%{2147483647}d", "2147483654"},
        {"%{99999999999}d", "2147483654"},
        {"%{-99999999999}d", "2147483640"},
    };
    RunTable(cases, sizeof cases / sizeof cases[0], t);
}

TEST(DateFmt, NameTables)
{
    const TimedCase cases[] = {
        {2004, 3, 1, 1, 9, 5, 7, "%a %A", "Mon. Monday"},
        {2004, 3, 0, 7, 9, 5, 7, "%a %A", "Sun. Sunday"},
        {2004, 3, 3, 3, 9, 5, 7, "%A", "Wednesday"},
        {2004, 3, 6, 6, 9, 5, 7, "%a %A", "Sat. Saturday"},
        // Ｍｏｎ． Ｍｏｎｄａｙ
        {2004, 3, 1, 1, 9, 5, 7, "%*a %*A",
         "\x82\x6c\x82\x8f\x82\x8e\x81\x44 \x82\x6c\x82\x8f\x82\x8e\x82\x84\x82\x81\x82\x99"},
        // Ｓａｔ． Ｓａｔｕｒｄａｙ
        {2004, 3, 6, 6, 9, 5, 7, "%*a %*A",
         "\x82\x72\x82\x81\x82\x94\x81\x44 "
         "\x82\x72\x82\x81\x82\x94\x82\x95\x82\x92\x82\x84\x82\x81\x82\x99"},
        {2004, 3, 0, 7, 9, 5, 7, "%x", "\x93\xfa"},  // 日
        {2004, 3, 6, 6, 9, 5, 7, "%x", "\x93\x79"},  // 土
        {2004, 3, 1, 1, 9, 5, 7, "%*x %!x", "\x8c\x8e \x8c\x8e"},  // 月 月
        // Month tables take month minus 1.
        {2004, 1, 4, 1, 9, 5, 7, "%b %B", "Jan. January"},
        {2004, 5, 3, 5, 9, 5, 7, "%b %B", "May May"},
        {2004, 12, 5, 31, 9, 5, 7, "%b %B", "Dec. December"},
        {2004, 5, 3, 5, 9, 5, 7, "%*b|%*B", "\x82\x6c\x82\x81\x82\x99|\x82\x6c\x82\x81\x82\x99"},  // Ｍａｙ|Ｍａｙ
        // Ｄｅｃ． Ｄｅｃｅｍｂｅｒ
        {2004, 12, 5, 31, 9, 5, 7, "%*b %*B",
         "\x82\x63\x82\x85\x82\x83\x81\x44 "
         "\x82\x63\x82\x85\x82\x83\x82\x85\x82\x8d\x82\x82\x82\x85\x82\x92"},
        {2004, 1, 4, 1, 9, 5, 7, "%T", "\x96\x72\x8c\x8e"},       // 睦月
        {2004, 3, 1, 1, 9, 5, 7, "%*T", "\x96\xed\x90\xb6"},      // 弥生
        {2004, 6, 4, 3, 9, 5, 7, "%T", "\x90\x85\x96\xb3\x8c\x8e"},  // 水無月
        {2004, 12, 5, 31, 9, 5, 7, "%T", "\x8e\x74\x91\x96"},     // 師走
        // Morning and afternoon switch at 12:00.
        {2004, 3, 1, 1, 11, 59, 59, "%O %p %P %q %Q", "\x8c\xdf\x91\x4f a.m. A.M. am AM"},  // 午前
        {2004, 3, 1, 1, 12, 0, 0, "%O %p %P %q %Q", "\x8c\xdf\x8c\xe3 p.m. P.M. pm PM"},    // 午後
        {2004, 3, 1, 1, 0, 0, 0, "%p", "a.m."},
        {2004, 3, 1, 1, 23, 59, 59, "%Q", "PM"},
        {2004, 3, 1, 1, 12, 0, 0, "%*O", "\x8c\xdf\x8c\xe3"},  // 午後
        // ａ．ｍ．|Ａ．Ｍ．|ａｍ|ＡＭ
        {2004, 3, 1, 1, 9, 0, 0, "%*p|%*P|%*q|%*Q",
         "\x82\x81\x81\x44\x82\x8d\x81\x44|\x82\x60\x81\x44\x82\x6c\x81\x44|\x82\x81\x82\x8d|\x82\x60\x82\x6c"},
        // ｐ．ｍ．|Ｐ．Ｍ．|ｐｍ|ＰＭ
        {2004, 3, 1, 1, 21, 0, 0, "%*p|%*P|%*q|%*Q",
         "\x82\x90\x81\x44\x82\x8d\x81\x44|\x82\x6f\x81\x44\x82\x6c\x81\x44|\x82\x90\x82\x8d|\x82\x6f\x82\x6c"},
    };
    RunTimedTable(cases, sizeof cases / sizeof cases[0]);
}

// Every entry of every name table, in each form the flags select: "*" picks
// the full-width table of the letters that have one and nothing else for the
// others, "!" never changes a name.
struct NameTable {
    char letter;
    bool wide;
    std::vector<const char*> entries;
};

// A time whose value for the letter is index.
SYSTEMTIME TimeForName(char letter, int index)
{
    switch (letter) {
    case 'a':
    case 'A':
    case 'x':
        return MakeTime(2004, 3, index, 1, 9, 5, 7);
    case 'b':
    case 'B':
    case 'T':
        return MakeTime(2004, index + 1, 1, 1, 9, 5, 7);
    case 'k':
        return MakeTime(2004, 3, 1, 1, (2 * index + 23) % 24, 30, 0);
    default:  // morning or afternoon
        return MakeTime(2004, 3, 1, 1, index * 12 + 5, 0, 0);
    }
}

TEST(DateFmt, EveryNameOfEveryTable)
{
    const NameTable tables[] = {
        {'a', false, {"Sun.", "Mon.", "Tue.", "Wed.", "Thu.", "Fri.", "Sat."}},
        // Ｓｕｎ． Ｍｏｎ． Ｔｕｅ． Ｗｅｄ． Ｔｈｕ． Ｆｒｉ． Ｓａｔ．
        {'a', true, {"\x82\x72\x82\x95\x82\x8e\x81\x44", "\x82\x6c\x82\x8f\x82\x8e\x81\x44", "\x82\x73\x82\x95\x82\x85\x81\x44", "\x82\x76\x82\x85\x82\x84\x81\x44", "\x82\x73\x82\x88\x82\x95\x81\x44", "\x82\x65\x82\x92\x82\x89\x81\x44", "\x82\x72\x82\x81\x82\x94\x81\x44"}},
        {'A', false, {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"}},
        // Ｓｕｎｄａｙ Ｍｏｎｄａｙ Ｔｕｅｓｄａｙ Ｗｅｄｎｅｓｄａｙ Ｔｈｕｒｓｄａｙ Ｆｒｉｄａｙ Ｓａｔｕｒｄａｙ
        {'A', true, {"\x82\x72\x82\x95\x82\x8e\x82\x84\x82\x81\x82\x99", "\x82\x6c\x82\x8f\x82\x8e\x82\x84\x82\x81\x82\x99", "\x82\x73\x82\x95\x82\x85\x82\x93\x82\x84\x82\x81\x82\x99", "\x82\x76\x82\x85\x82\x84\x82\x8e\x82\x85\x82\x93\x82\x84\x82\x81\x82\x99", "\x82\x73\x82\x88\x82\x95\x82\x92\x82\x93\x82\x84\x82\x81\x82\x99", "\x82\x65\x82\x92\x82\x89\x82\x84\x82\x81\x82\x99", "\x82\x72\x82\x81\x82\x94\x82\x95\x82\x92\x82\x84\x82\x81\x82\x99"}},
        // 日 月 火 水 木 金 土
        {'x', false, {"\x93\xfa", "\x8c\x8e", "\x89\xce", "\x90\x85", "\x96\xd8", "\x8b\xe0", "\x93\x79"}},
        {'b', false, {"Jan.", "Feb.", "Mar.", "Apr.", "May", "Jun.", "Jul.", "Aug.", "Sep.", "Oct.", "Nov.", "Dec."}},
        // Ｊａｎ． Ｆｅｂ． Ｍａｒ． Ａｐｒ． Ｍａｙ Ｊｕｎ． Ｊｕｌ． Ａｕｇ． Ｓｅｐ． Ｏｃｔ． Ｎｏｖ． Ｄｅｃ．
        {'b', true, {"\x82\x69\x82\x81\x82\x8e\x81\x44", "\x82\x65\x82\x85\x82\x82\x81\x44", "\x82\x6c\x82\x81\x82\x92\x81\x44", "\x82\x60\x82\x90\x82\x92\x81\x44", "\x82\x6c\x82\x81\x82\x99", "\x82\x69\x82\x95\x82\x8e\x81\x44", "\x82\x69\x82\x95\x82\x8c\x81\x44", "\x82\x60\x82\x95\x82\x87\x81\x44", "\x82\x72\x82\x85\x82\x90\x81\x44", "\x82\x6e\x82\x83\x82\x94\x81\x44", "\x82\x6d\x82\x8f\x82\x96\x81\x44", "\x82\x63\x82\x85\x82\x83\x81\x44"}},
        {'B', false, {"January", "February", "March", "April", "May", "June", "July", "August", "September", "October", "November", "December"}},
        // Ｊａｎｕａｒｙ Ｆｅｂｒｕａｒｙ Ｍａｒｃｈ Ａｐｒｉｌ Ｍａｙ Ｊｕｎｅ Ｊｕｌｙ Ａｕｇｕｓｔ Ｓｅｐｔｅｍｂｅｒ Ｏｃｔｏｂｅｒ Ｎｏｖｅｍｂｅｒ Ｄｅｃｅｍｂｅｒ
        {'B', true, {"\x82\x69\x82\x81\x82\x8e\x82\x95\x82\x81\x82\x92\x82\x99", "\x82\x65\x82\x85\x82\x82\x82\x92\x82\x95\x82\x81\x82\x92\x82\x99", "\x82\x6c\x82\x81\x82\x92\x82\x83\x82\x88", "\x82\x60\x82\x90\x82\x92\x82\x89\x82\x8c", "\x82\x6c\x82\x81\x82\x99", "\x82\x69\x82\x95\x82\x8e\x82\x85", "\x82\x69\x82\x95\x82\x8c\x82\x99", "\x82\x60\x82\x95\x82\x87\x82\x95\x82\x93\x82\x94", "\x82\x72\x82\x85\x82\x90\x82\x94\x82\x85\x82\x8d\x82\x82\x82\x85\x82\x92", "\x82\x6e\x82\x83\x82\x94\x82\x8f\x82\x82\x82\x85\x82\x92", "\x82\x6d\x82\x8f\x82\x96\x82\x85\x82\x8d\x82\x82\x82\x85\x82\x92", "\x82\x63\x82\x85\x82\x83\x82\x85\x82\x8d\x82\x82\x82\x85\x82\x92"}},
        // 睦月 如月 弥生 卯月 皐月 水無月 文月 葉月 長月 神無月 霜月 師走
        {'T', false, {"\x96\x72\x8c\x8e", "\x94\x40\x8c\x8e", "\x96\xed\x90\xb6", "\x89\x4b\x8c\x8e", "\x8e\x48\x8c\x8e", "\x90\x85\x96\xb3\x8c\x8e", "\x95\xb6\x8c\x8e", "\x97\x74\x8c\x8e", "\x92\xb7\x8c\x8e", "\x90\x5f\x96\xb3\x8c\x8e", "\x91\x9a\x8c\x8e", "\x8e\x74\x91\x96"}},
        // 午前 午後
        {'O', false, {"\x8c\xdf\x91\x4f", "\x8c\xdf\x8c\xe3"}},
        {'p', false, {"a.m.", "p.m."}},
        // ａ．ｍ． ｐ．ｍ．
        {'p', true, {"\x82\x81\x81\x44\x82\x8d\x81\x44", "\x82\x90\x81\x44\x82\x8d\x81\x44"}},
        {'P', false, {"A.M.", "P.M."}},
        // Ａ．Ｍ． Ｐ．Ｍ．
        {'P', true, {"\x82\x60\x81\x44\x82\x6c\x81\x44", "\x82\x6f\x81\x44\x82\x6c\x81\x44"}},
        {'q', false, {"am", "pm"}},
        // ａｍ ｐｍ
        {'q', true, {"\x82\x81\x82\x8d", "\x82\x90\x82\x8d"}},
        {'Q', false, {"AM", "PM"}},
        // ＡＭ ＰＭ
        {'Q', true, {"\x82\x60\x82\x6c", "\x82\x6f\x82\x6c"}},
        // 子 丑 寅 卯 辰 巳 午 未 申 酉 戌 亥
        {'k', false, {"\x8e\x71", "\x89\x4e", "\x93\xd0", "\x89\x4b", "\x92\x43", "\x96\xa4", "\x8c\xdf", "\x96\xa2", "\x90\x5c", "\x93\xd1", "\x9c\xfa", "\x88\xe5"}},
    };
    const std::string oneTable = "xTOk";
    for (const NameTable& table : tables) {
        std::vector<std::string> formats;
        if (table.wide) {
            formats = {"*", "*!", "!*"};
        } else {
            formats = {"", "!"};
            if (oneTable.find(table.letter) != std::string::npos)
                formats.push_back("*");
        }
        for (std::string& flags : formats)
            flags = "%" + flags + table.letter;
        for (size_t i = 0; i < table.entries.size(); i++) {
            SYSTEMTIME t = TimeForName(table.letter, static_cast<int>(i));
            for (const std::string& format : formats)
                EXPECT_EQ(table.entries[i], Format(format.c_str(), t)) << format << " entry " << i;
        }
    }
}

TEST(DateFmt, TwoHourPeriodsAtTheirBorders)
{
    const TimedCase cases[] = {
        {2004, 3, 1, 1, 23, 0, 0, "%k", "\x8e\x71"},    // 子
        {2004, 3, 1, 1, 23, 30, 0, "%k", "\x8e\x71"},   // 子
        {2004, 3, 1, 1, 0, 30, 0, "%k", "\x8e\x71"},    // 子
        {2004, 3, 1, 1, 0, 59, 59, "%k", "\x8e\x71"},   // 子
        {2004, 3, 1, 1, 1, 0, 0, "%k", "\x89\x4e"},     // 丑
        {2004, 3, 1, 1, 2, 59, 59, "%k", "\x89\x4e"},   // 丑
        {2004, 3, 1, 1, 3, 0, 0, "%k", "\x93\xd0"},     // 寅
        {2004, 3, 1, 1, 5, 0, 0, "%k", "\x89\x4b"},     // 卯
        {2004, 3, 1, 1, 10, 59, 0, "%k", "\x96\xa4"},   // 巳
        {2004, 3, 1, 1, 11, 0, 0, "%k", "\x8c\xdf"},    // 午
        {2004, 3, 1, 1, 12, 59, 0, "%k", "\x8c\xdf"},   // 午
        {2004, 3, 1, 1, 13, 0, 0, "%k", "\x96\xa2"},    // 未
        {2004, 3, 1, 1, 20, 59, 0, "%k", "\x9c\xfa"},   // 戌
        {2004, 3, 1, 1, 21, 0, 0, "%k", "\x88\xe5"},    // 亥
        {2004, 3, 1, 1, 22, 59, 59, "%k", "\x88\xe5"},  // 亥
    };
    RunTimedTable(cases, sizeof cases / sizeof cases[0]);
}

TEST(DateFmt, NamePadding)
{
    const FormatCase cases[] = {
        {"%8A", "  Monday"},
        {"%08A", "  Monday"},
        {"%-8A|", "Monday  |"},
        {"%-08A|", "Monday  |"},
        {"%3A", "Monday"},
        {"%.2A", "Monday"},
        {"%{1}A", "Monday"},
        {"%{-9}a", "Mon."},
        // 　　Ｍｏｎｄａｙ
        {"%*8A", ZSPACE ZSPACE "\x82\x6c\x82\x8f\x82\x8e\x82\x84\x82\x81\x82\x99"},
        // Ｍｏｎｄａｙ　　|
        {"%*-8A|", "\x82\x6c\x82\x8f\x82\x8e\x82\x84\x82\x81\x82\x99" ZSPACE ZSPACE "|"},
        {"%!8A", ZSPACE ZSPACE "Monday"},
        {"%!-8A|", "Monday" ZSPACE ZSPACE "|"},
        // Width counts characters: 弥生 is two of them.
        {"%5T", "   \x96\xed\x90\xb6"},
        {"%-5T|", "\x96\xed\x90\xb6   |"},
        {"%*4T", ZSPACE ZSPACE "\x96\xed\x90\xb6"},
        {"%*3x", ZSPACE ZSPACE "\x8c\x8e"},  // 　　月
        {"%3k", "  \x96\xa4"},               // 巳
        {"%!-3O|", "\x8c\xdf\x91\x4f" ZSPACE "|"},  // 午前　|
        {"%*6a", ZSPACE ZSPACE "\x82\x6c\x82\x8f\x82\x8e\x81\x44"},  // 　　Ｍｏｎ．
    };
    RunTable(cases, sizeof cases / sizeof cases[0], Monday());
}

// Each item of a format adds its output after the one before.
TEST(DateFmt, ItemsFollowEachOther)
{
    const FormatCase cases[] = {
        {"%Y%m%d", "200431"},
        {"[%5d][%-5d][%05d]", "[    1][1    ][00001]"},
        {"%%%Y%%", "%2004%"},
        {"\\t%H\\t%M\\n", "\t9\t5\n"},
    };
    RunTable(cases, sizeof cases / sizeof cases[0], Monday());
}

// --- The cut of an output too long for its buffer ---------------------------

const size_t CANARY = 64;

// Formats into a buffer of capacity bytes followed by canary bytes; checks
// that nothing past capacity was touched and returns the text.
std::string FormatGuarded(const char* format, const SYSTEMTIME& t, size_t capacity)
{
    std::vector<char> buf(capacity + CANARY, '\x5a');
    FormatDateTime(buf.data(), capacity, format, &t);
    for (size_t i = capacity; i < buf.size(); i++) {
        if (buf[i] != '\x5a') {
            ADD_FAILURE() << "byte " << i << " written beyond capacity " << capacity;
            break;
        }
    }
    if (capacity == 0)
        return std::string();
    const void* nul = memchr(buf.data(), 0, capacity);
    if (!nul) {
        ADD_FAILURE() << "no NUL within capacity " << capacity;
        return std::string();
    }
    return std::string(buf.data());
}

struct CutCase {
    const char* format;
    size_t capacity;
    const char* expected;
};

TEST(DateFmtCut, KeepsWholeCharactersWithinCapacity)
{
    const CutCase cases[] = {
        {"abc", 1, ""},
        {"abc", 2, "a"},
        {"abc", 3, "ab"},
        {"abc", 4, "abc"},
        {"a\x95\x5c" "b", 3, "a"},          // a表b: 表 does not fit
        {"a\x95\x5c" "b", 4, "a\x95\x5c"},  // a表
        // Once a character does not fit, nothing after it is added.
        {"\x95\x5c" "a", 2, ""},
        {"%*3d", 4, ZSPACE},
        {"%*03d", 6, "\x82\x4f\x82\x4f"},       // ００
        {"%!Y", 6, "\x93\xf1\x81\x5a"},         // 二〇
        {"%-*3d", 4, "\x82\x50"},               // １
        {"%*A", 6, "\x82\x6c\x82\x8f"},         // Ｍｏ
        {"%Y%Y", 7, "200420"},
        {"\\n\\n", 2, "\n"},
        {"%%%%", 2, "%"},
    };
    const SYSTEMTIME t = Monday();
    for (const CutCase& c : cases) {
        SCOPED_TRACE(std::string("format: ") + c.format + " capacity " + std::to_string(c.capacity));
        EXPECT_EQ(c.expected, FormatGuarded(c.format, t, c.capacity));
    }
}

TEST(DateFmtCut, CapacityZeroWritesNothing)
{
    const SYSTEMTIME t = Monday();
    char buf[8];
    memset(buf, 'Z', sizeof buf);
    FormatDateTime(buf, 0, "%Y", &t);
    for (char c : buf)
        EXPECT_EQ('Z', c);
    FormatDateTime(nullptr, 0, "%Y", &t);
}

TEST(DateFmtCut, CapacityOneWritesOnlyTheNul)
{
    const SYSTEMTIME t = Monday();
    char buf[4] = {'Z', 'Z', 'Z', 'Z'};
    FormatDateTime(buf, 1, "%Y abc", &t);
    EXPECT_EQ(0, buf[0]);
    EXPECT_EQ('Z', buf[1]);
}

// Every capacity from 0 up past the full length: the text is the longest
// prefix of the full output that ends on a character boundary and fits.
TEST(DateFmtCut, EveryCapacityGivesTheLongestFittingPrefix)
{
    const char* formats[] = {
        "%Y\x94\x4e%m\x8c\x8e%d\x93\xfa(%x)",  // %Y年%m月%d日(%x)
        "%!Y%*5d%-*5A|%!05d",
        ("a\x95\x5c" "b\\\x83\x5c\\nc%%"),  // a表b\ソ\nc%%
        "%*8A%8a%*k%T",
        "%5{3}d%.2Y%{-9999}Y%*-4p|",
        "ab\x81",
    };
    const SYSTEMTIME t = Monday();
    for (const char* format : formats) {
        const std::string full = Format(format, t, 4096);
        const std::vector<size_t> starts = CharStarts(full);
        for (size_t capacity = 0; capacity <= full.size() + 3; capacity++) {
            SCOPED_TRACE(std::string("format: ") + format + " capacity " + std::to_string(capacity));
            const std::string cut = FormatGuarded(format, t, capacity);
            if (capacity == 0) {
                EXPECT_EQ("", cut);
                continue;
            }
            // The longest whole-character prefix of at most capacity - 1 bytes.
            size_t expectedLen = 0;
            for (size_t i = 0; i < starts.size(); i++) {
                size_t end = i + 1 < starts.size() ? starts[i + 1] : full.size();
                if (end > capacity - 1)
                    break;
                expectedLen = end;
            }
            EXPECT_EQ(full.substr(0, expectedLen), cut);
        }
    }
}

TEST(DateFmtCut, HugeWidthFillsTheBufferAndStops)
{
    const SYSTEMTIME t = Monday();
    EXPECT_EQ(std::string(1023, ' '), FormatGuarded("%99999d", t, 1024));
    EXPECT_EQ(std::string(1022, ' '), FormatGuarded("%99999d", t, 1023));
    EXPECT_EQ(std::string(1023, '0'), FormatGuarded("%099999d", t, 1024));

    std::string wideSpaces;
    for (int i = 0; i < 511; i++)
        wideSpaces += ZSPACE;
    // 1023 bytes hold 511 full-width spaces; the 512th would need 1024.
    EXPECT_EQ(wideSpaces, FormatGuarded("%*99999d", t, 1024));
    EXPECT_EQ(wideSpaces, FormatGuarded("%*99999d", t, 1023));
    EXPECT_EQ(wideSpaces, FormatGuarded("%!99999A", t, 1024));
    EXPECT_EQ("\x82\x50" + wideSpaces.substr(2), FormatGuarded("%-*99999d", t, 1024));  // １ then spaces
    EXPECT_EQ("Monday" + std::string(1017, ' '), FormatGuarded("%-99999A", t, 1024));
    EXPECT_EQ(std::string(1023, ' '), FormatGuarded("%2147483647d", t, 1024));
    EXPECT_EQ(std::string(1023, ' '), FormatGuarded("%99999999999999d", t, 1024));
}

TEST(DateFmtCut, HugeWidthInABufferLargeEnough)
{
    const SYSTEMTIME t = Monday();
    const size_t capacity = 300000;
    std::string expected(99998, ' ');
    expected += "1";
    EXPECT_EQ(expected, FormatGuarded("%99999d", t, capacity));

    std::string wide;
    for (int i = 0; i < 99998; i++)
        wide += ZSPACE;
    EXPECT_EQ(wide + "\x82\x50", FormatGuarded("%*99999d", t, capacity));  // then １
    EXPECT_EQ("\x8e\x4f" + wide, FormatGuarded("%!-99999m", t, capacity));  // 三 then spaces
}

TEST(DateFmtCut, ManyConversions)
{
    const SYSTEMTIME t = Monday();
    std::string format;
    std::string unitOutput;
    for (int i = 0; i < 5000; i++)
        format += "%Y%*m";
    for (int i = 0; i < 5000; i++)
        unitOutput += "2004\x82\x52";  // 2004３

    EXPECT_EQ(unitOutput, FormatGuarded(format.c_str(), t, unitOutput.size() + 1));
    // 1023 bytes: 170 whole units of six bytes, then 2004 and no room for ３.
    std::string cut = unitOutput.substr(0, 170 * 6) + "200";
    EXPECT_EQ(cut, FormatGuarded(format.c_str(), t, 1024));

    std::string widths;
    for (int i = 0; i < 3000; i++)
        widths += "%99999d";
    const std::string out = FormatGuarded(widths.c_str(), t, 1 << 20);
    ASSERT_EQ(static_cast<size_t>((1 << 20) - 1), out.size());
    for (size_t i = 0; i < out.size(); i++) {
        char expected = (i % 99999 == 99998) ? '1' : ' ';
        if (out[i] != expected) {
            ADD_FAILURE() << "byte " << i;
            break;
        }
    }
}

TEST(DateFmtCut, SixtyFourKilobyteFormat)
{
    const SYSTEMTIME t = Monday();
    // 表a%Y\n... : 表a2004 and a line feed per unit.
    const std::string unit = "\x95\x5c" "a%Y\\n";
    const std::string unitOutput = "\x95\x5c" "a2004\n";
    std::string format;
    std::string full;
    while (format.size() + unit.size() <= 65536) {
        format += unit;
        full += unitOutput;
    }
    while (format.size() < 65536) {
        format += "b";
        full += "b";
    }
    ASSERT_EQ(65536u, format.size());

    EXPECT_EQ(full, FormatGuarded(format.c_str(), t, full.size() + 1));
    EXPECT_EQ(full.substr(0, full.size() - 1), FormatGuarded(format.c_str(), t, full.size()));

    // Each unit yields eight bytes. In 1024 bytes the cut falls inside the
    // digits; with 1018 the next 表 would need bytes 1016-1017 and the NUL
    // byte 1018, so the text stops before it.
    EXPECT_EQ(full.substr(0, 1023), FormatGuarded(format.c_str(), t, 1024));
    EXPECT_EQ(full.substr(0, 1016), FormatGuarded(format.c_str(), t, 1018));
    EXPECT_EQ(full.substr(0, 1018), FormatGuarded(format.c_str(), t, 1019));
}

TEST(DateFmtCut, NullFormatOrTimeGivesEmptyText)
{
    const SYSTEMTIME t = Monday();
    char buf[8] = "xxxxxxx";
    FormatDateTime(buf, sizeof buf, nullptr, &t);
    EXPECT_STREQ("", buf);
    memcpy(buf, "xxxxxxx", 8);
    FormatDateTime(buf, sizeof buf, "%Y", nullptr);
    EXPECT_STREQ("", buf);
}

}  // namespace
