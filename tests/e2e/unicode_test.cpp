// Texts with characters code page 932 lacks, as a Unicode program copies
// them (CF_UNICODETEXT alone): each is an entry of its own, a pick gives back
// exactly what was copied, before and after a restart, while the store files
// keep their code page 932 bytes and a Japanese text gets no side record.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "clipunicode.h"
#include "harness.h"

namespace {

typedef std::vector<std::string> Records;

const UINT WM_TRAYCALLBACK = WM_APP + 1;

struct Sample {
    const char* what;
    std::u16string unicode;
    std::string cp932;  // its record in the store file
};

// Copied oldest first; the history then holds them newest first.
const Sample SAMPLES[] = {
    {"accents, emoji, Korean, euro", u"Caf\u00E9 \xD83D\xDE00 \uD55C\uAD6D \u20AC", "Caf? ? ?? ?"},
    {"the same but another emoji", u"Caf\u00E9 \xD83D\xDE03 \uD55C\uAD6D \u20AC", "Caf? ? ?? ?"},
    {"simplified Chinese", u"\u8FD9\u662F\u4E2D\u6587", "?\x90\xa5\x92\x86\x95\xb6"},  // 这是中文: 是中文 fit
    {"symbols", u"\u00BD \u2122 \u00A9 \u2190 \u221E \u266A", "? ? ? \x81\xa9 \x81\x87 \x81\xf4"},
    {"a combining accent", u"nai\u0308ve", "nai?ve"},
    {"Japanese", u"\u65E5\u672C\u8A9E\u306E\u30C6\u30AD\u30B9\u30C8", "\x93\xfa\x96\x7b\x8c\xea\x82\xcc\x83\x65\x83\x4c\x83\x58\x83\x67"},
};
const size_t SAMPLE_COUNT = sizeof(SAMPLES) / sizeof(SAMPLES[0]);

std::string Utf16Block(const std::u16string& s)
{
    return std::string(reinterpret_cast<const char*>(s.c_str()), (s.size() + 1) * sizeof(char16_t));
}

struct ClipboardFacts {
    UINT firstText = 0;  // CF_UNICODETEXT or CF_TEXT, whichever was placed first
    DWORD locale = 0;
};

ClipboardFacts ReadFacts()
{
    ClipboardFacts facts;
    if (!OpenClipboard(nullptr))
        return facts;
    UINT f = 0;
    while ((f = EnumClipboardFormats(f)) != 0) {
        if (f == CF_TEXT || f == CF_UNICODETEXT) {
            facts.firstText = f;
            break;
        }
    }
    HANDLE h = GetClipboardData(CF_LOCALE);
    const DWORD* p = h ? static_cast<const DWORD*>(GlobalLock(h)) : nullptr;
    if (p) {
        facts.locale = *p;
        GlobalUnlock(h);
    }
    CloseClipboard();
    return facts;
}

struct Unicode : testing::Test {
    Tamarin t;
    void TearDown() override { Tamarin_Cleanup(&t); }

    Records History() const { return ReadStoreRecords(Tamarin_File(&t, ".hst")); }
    Records Registered() const { return ReadStoreRecords(Tamarin_File(&t, ".use")); }
    std::string SideFile(const char* ext) const
    {
        std::string bytes;
        ReadFileBytes(Tamarin_File(&t, ext) + ".utf8", &bytes);
        return bytes;
    }
    // Copies as a Unicode program does and waits for the history to grow.
    void CopyUnicode(const std::u16string& text, size_t expectedCount)
    {
        ASSERT_TRUE(PutClipboardFormats({{CF_UNICODETEXT, Utf16Block(text)}}));
        ASSERT_TRUE(WaitFor([&] { return History().size() == expectedCount; }, E2E_TIMEOUT_MS))
            << "history has " << testing::PrintToString(History());
    }
    // Picks an entry (its command id) as the popup does. The clipboard is
    // read only once Tamarin has recorded its own change: opened earlier, it
    // could be in the way of that very read.
    void ExpectPickGives(int id, const std::u16string& expected)
    {
        DWORD sequence = GetClipboardSequenceNumber();
        PostMessageA(t.window, WM_COMMAND, id, 0);
        ASSERT_TRUE(WaitFor([&] { return GetClipboardSequenceNumber() != sequence; }, E2E_TIMEOUT_MS)) << id;
        ASSERT_TRUE(Tamarin_Settle(&t));
        std::u16string text;
        EXPECT_TRUE(ReadClipboardUnicode(&text));
        EXPECT_EQ(text, expected) << "entry " << id;
    }
};

TEST_F(Unicode, EveryTextIsItsOwnEntryAndPicksGiveItBackAfterARestart)
{
    ASSERT_TRUE(Tamarin_Prepare(&t));
    ASSERT_TRUE(Tamarin_Start(&t));
    Records expected;
    for (size_t i = 0; i < SAMPLE_COUNT; i++) {
        CopyUnicode(SAMPLES[i].unicode, i + 1);
        expected.push_back(SAMPLES[i].cp932);
    }
    EXPECT_EQ(History(), expected);

    // Five originals in the side file, written right after the history file
    // by the same save; none for the Japanese text.
    std::string side;
    auto sideRecords = [&] {
        side = SideFile(".hst");
        size_t records = 0;
        for (size_t at = side.find("\n@ "); at != std::string::npos; at = side.find("\n@ ", at + 1))
            records++;
        return records;
    };
    EXPECT_TRUE(WaitFor([&] { return sideRecords() == SAMPLE_COUNT - 1; }, E2E_TIMEOUT_MS)) << side;
    EXPECT_EQ(side.find("\xE6\x97\xA5\xE6\x9C\xAC"), std::string::npos);  // 日本

    for (int round = 0; round < 2; round++) {
        SCOPED_TRACE(round == 0 ? "as copied" : "after a restart");
        if (round == 1) {
            ASSERT_EQ(Tamarin_Quit(&t), 0);
            ASSERT_TRUE(Tamarin_Start(&t));
        }
        // The newest is entry 0; each pick moves its entry to the top, so
        // picking entry count - 1 every time walks through all of them.
        for (size_t k = 0; k < SAMPLE_COUNT; k++) {
            ExpectPickGives(4096 + static_cast<int>(SAMPLE_COUNT - 1), SAMPLES[k].unicode);
            // The history file follows the pick once the changes pause.
            ASSERT_TRUE(WaitFor(
                [&] {
                    Records h = History();
                    return !h.empty() && h.back() == SAMPLES[k].cp932;
                },
                E2E_TIMEOUT_MS))
                << k;
        }
        EXPECT_EQ(History().size(), SAMPLE_COUNT);
    }
}

// A Japanese text lands in the history file byte for byte, as an older build
// wrote it, and no side file is written for it.
TEST_F(Unicode, JapaneseTextStaysByteForByteWithoutASideFile)
{
    ASSERT_TRUE(Tamarin_Prepare(&t));
    ASSERT_TRUE(Tamarin_Start(&t));
    const Sample& japanese = SAMPLES[SAMPLE_COUNT - 1];
    CopyUnicode(japanese.unicode, 1);
    CopyUnicode(u"\u8868\u793A\u30BD\r\n\uFF71\uFF72", 2);  // 表示ソ CR LF ｱｲ
    std::string raw;
    ASSERT_TRUE(ReadFileBytes(Tamarin_File(&t, ".hst"), &raw));
    EXPECT_EQ(raw, japanese.cp932 + std::string(1, '\0') + "\x95\x5c\x8e\xa6\x83\x5c\r\r\n\xb1\xb2" + std::string(1, '\0'));
    ASSERT_EQ(Tamarin_Quit(&t), 0);
    EXPECT_FALSE(FileExists(Tamarin_File(&t, ".hst") + ".utf8"));
    EXPECT_FALSE(FileExists(Tamarin_File(&t, ".use") + ".utf8"));
}

// With an English keyboard layout active in the reading program, a picked
// Japanese entry reads back exactly as Unicode: Tamarin places CF_UNICODETEXT
// itself, first, with a Japanese CF_LOCALE, instead of leaving the conversion
// of its CF_TEXT to the system.
TEST_F(Unicode, PickedJapaneseReadsBackWithAnEnglishInputLanguage)
{
    ASSERT_TRUE(Tamarin_Prepare(&t));
    const Sample& japanese = SAMPLES[SAMPLE_COUNT - 1];
    ASSERT_TRUE(WriteFileBytes(Tamarin_File(&t, ".hst"), japanese.cp932 + std::string(1, '\0')));
    ASSERT_TRUE(Tamarin_Start(&t));
    HKL previous = GetKeyboardLayout(0);
    ASSERT_NE(LoadKeyboardLayoutA("00000409", KLF_ACTIVATE), nullptr);
    ExpectPickGives(4096, japanese.unicode);
    ClipboardFacts facts = ReadFacts();
    EXPECT_EQ(facts.firstText, static_cast<UINT>(CF_UNICODETEXT));
    EXPECT_EQ(facts.locale, 0x0411u);
    std::string text;
    ASSERT_TRUE(GetClipboardText(&text));
    EXPECT_EQ(text, japanese.cp932);
    ActivateKeyboardLayout(previous, 0);
}

// The commands that put texts of their own go as Unicode too.
TEST_F(Unicode, CommandsPlaceUnicodeText)
{
    ASSERT_TRUE(Tamarin_Prepare(&t));
    ASSERT_TRUE(Tamarin_Start(&t));
    DWORD sequence = GetClipboardSequenceNumber();
    PostMessageA(t.window, WM_COMMAND, 40045, 0);  // date and time
    ASSERT_TRUE(WaitFor([&] { return GetClipboardSequenceNumber() != sequence && ReadFacts().locale != 0; },
                        E2E_TIMEOUT_MS));
    ClipboardFacts facts = ReadFacts();
    EXPECT_EQ(facts.firstText, static_cast<UINT>(CF_UNICODETEXT));
    EXPECT_EQ(facts.locale, 0x0411u);
    std::string text;
    std::u16string unicode;
    ASSERT_TRUE(GetClipboardText(&text));
    ASSERT_TRUE(ReadClipboardUnicode(&unicode));
    EXPECT_EQ(std::string(unicode.begin(), unicode.end()), text);  // digits, blanks, colons and slashes
}

// Shift+pick registers the original: the registered-text file keeps the code
// page text, its side file the original, and a pick of the registered entry
// after a restart gives it back.
TEST_F(Unicode, ShiftPickRegistersTheOriginal)
{
    ASSERT_TRUE(Tamarin_Prepare(&t));
    ASSERT_TRUE(Tamarin_Start(&t));
    CopyUnicode(SAMPLES[0].unicode, 1);
    SetCursorPos(300, 200);
    PostMessageA(t.window, WM_TRAYCALLBACK, 1, WM_LBUTTONUP);
    ASSERT_TRUE(WaitFor(
        [] {
            HWND popup = FindWindowA("#32768", nullptr);
            return popup && IsWindowVisible(popup);
        },
        E2E_TIMEOUT_MS));
    // Menu: the placeholder of the empty registered section, a separator, the
    // entry. Keys wait in the input queue of the popup's thread, in order.
    const WORD vks[] = {VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_SHIFT, VK_RETURN, VK_RETURN, VK_SHIFT};
    const bool ups[] = {false, true, false, true, false, false, true, true};
    for (int i = 0; i < 8; i++)
        SendKey(vks[i], ups[i]);
    ASSERT_TRUE(WaitFor([&] { return Registered() == Records{SAMPLES[0].cp932}; }, E2E_TIMEOUT_MS));
    // The side file follows its store file.
    EXPECT_TRUE(WaitFor([&] { return SideFile(".use").find("Caf\xC3\xA9 \xF0\x9F\x98\x80") != std::string::npos; },
                        E2E_TIMEOUT_MS));

    ASSERT_EQ(Tamarin_Quit(&t), 0);
    ASSERT_TRUE(Tamarin_Start(&t));
    ExpectPickGives(8192, SAMPLES[0].unicode);
}

}  // namespace
