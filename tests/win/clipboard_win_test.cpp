// Tests of clipboard access against the real Win32 clipboard, and of the
// clipboard change log's files, folders and bitmap output on a real file
// system.
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "store/clipboard.h"
#include "store/cliplog.h"

namespace {

// Places one block of the given bytes on the clipboard, bypassing Clip_SetText.
bool PutBlocks(HWND owner, const UINT* formats, const std::string* contents, int count)
{
    if (!OpenClipboard(owner))
        return false;
    EmptyClipboard();
    bool ok = true;
    for (int i = 0; i < count; i++) {
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, contents[i].size());
        void* data = block ? GlobalLock(block) : nullptr;
        if (!data) {
            ok = false;
            break;
        }
        memcpy(data, contents[i].data(), contents[i].size());
        GlobalUnlock(block);
        if (!SetClipboardData(formats[i], block)) {
            GlobalFree(block);
            ok = false;
        }
    }
    CloseClipboard();
    return ok;
}

bool PutBlock(HWND owner, UINT format, const std::string& content)
{
    return PutBlocks(owner, &format, &content, 1);
}

// The clipboard's own block of a format, read without Clip_GetData.
bool ReadRawBlock(HWND owner, UINT format, std::string* content)
{
    if (!OpenClipboard(owner))
        return false;
    bool ok = false;
    HANDLE handle = GetClipboardData(format);
    if (handle) {
        const char* data = static_cast<const char*>(GlobalLock(handle));
        if (data) {
            content->assign(data, GlobalSize(handle));
            GlobalUnlock(handle);
            ok = true;
        }
    }
    CloseClipboard();
    return ok;
}

std::string Dword(DWORD value)
{
    return std::string(reinterpret_cast<const char*>(&value), sizeof value);
}

// A bottom-up 24-bit DIB of 3 x 2 pixels: 40-byte header, two rows of 12 bytes.
std::string Dib24x3x2()
{
    BITMAPINFOHEADER header;
    memset(&header, 0, sizeof header);
    header.biSize = sizeof header;
    header.biWidth = 3;
    header.biHeight = 2;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    std::string dib(reinterpret_cast<const char*>(&header), sizeof header);
    for (int i = 0; i < 24; i++)
        dib += static_cast<char>(0x10 + i);
    return dib;
}

// A block that ends exactly where a PAGE_NOACCESS page begins: a read one
// byte past it raises an access violation and ends the test program.
class GuardedBlock {
public:
    GuardedBlock()
    {
        SYSTEM_INFO info;
        GetSystemInfo(&info);
        pageSize = info.dwPageSize;
        pages = static_cast<unsigned char*>(VirtualAlloc(nullptr, pageSize * 2, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
        DWORD old;
        if (pages && !VirtualProtect(pages + pageSize, pageSize, PAGE_NOACCESS, &old)) {
            VirtualFree(pages, 0, MEM_RELEASE);
            pages = nullptr;
        }
    }
    ~GuardedBlock()
    {
        if (pages)
            VirtualFree(pages, 0, MEM_RELEASE);
    }
    GuardedBlock(const GuardedBlock&) = delete;
    GuardedBlock& operator=(const GuardedBlock&) = delete;

    const unsigned char* Place(const std::string& bytes)
    {
        unsigned char* at = pages + pageSize - bytes.size();
        memcpy(at, bytes.data(), bytes.size());
        return at;
    }
    bool ok() const { return pages != nullptr; }

private:
    unsigned char* pages = nullptr;
    size_t pageSize = 0;
};

class ClipAccess : public testing::Test {
protected:
    void SetUp() override
    {
        owner = CreateWindowExA(0, "STATIC", "clip test", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        ASSERT_NE(owner, nullptr);
    }
    void TearDown() override
    {
        if (OpenClipboard(owner)) {
            EmptyClipboard();
            CloseClipboard();
        }
        DestroyWindow(owner);
    }
    HWND owner = nullptr;
};

TEST_F(ClipAccess, EmptyTextGivesAnEmptyString)
{
    ASSERT_TRUE(PutBlock(owner, CF_TEXT, std::string(1, '\0')));
    char* text = static_cast<char*>(Clip_GetData(owner, CF_TEXT));
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(text, "");
    free(text);
}

TEST_F(ClipAccess, ImageOnlyGivesNoText)
{
    std::string dib = Dib24x3x2();
    ASSERT_TRUE(PutBlock(owner, CF_DIB, dib));
    EXPECT_EQ(Clip_GetData(owner, CF_TEXT), nullptr);

    size_t size = 0;
    char* copy = static_cast<char*>(Clip_GetDataEx(owner, CF_DIB, &size));
    ASSERT_NE(copy, nullptr);
    ASSERT_GE(size, dib.size());
    EXPECT_EQ(std::string(copy, dib.size()), dib);
    free(copy);
}

TEST_F(ClipAccess, MissingFormatGivesNullAndSizeZero)
{
    ASSERT_TRUE(Clip_SetText(owner, "x"));
    size_t size = 12345;
    EXPECT_EQ(Clip_GetDataEx(owner, CF_DIB, &size), nullptr);
    EXPECT_EQ(size, 0u);
}

TEST_F(ClipAccess, SetTextOfEmptyStringPlacesOneNulByte)
{
    ASSERT_TRUE(Clip_SetText(owner, ""));
    std::string block;
    ASSERT_TRUE(ReadRawBlock(owner, CF_TEXT, &block));
    EXPECT_EQ(block, std::string(1, '\0'));
}

TEST_F(ClipAccess, SetTextPlacesATrailingDoubleByteCharacterWhole)
{
    const char* text = "abc\x95\x5c";  // abc表
    ASSERT_TRUE(Clip_SetText(owner, text));
    std::string block;
    ASSERT_TRUE(ReadRawBlock(owner, CF_TEXT, &block));
    EXPECT_EQ(block, std::string(text, 6));

    char* copy = static_cast<char*>(Clip_GetData(owner, CF_TEXT));
    ASSERT_NE(copy, nullptr);
    EXPECT_STREQ(copy, text);
    free(copy);
}

TEST_F(ClipAccess, SetTextWithoutOwner)
{
    ASSERT_TRUE(Clip_SetText(nullptr, "\"C:\\a b\\c.txt\""));
    char* copy = static_cast<char*>(Clip_GetData(owner, CF_TEXT));
    ASSERT_NE(copy, nullptr);
    EXPECT_STREQ(copy, "\"C:\\a b\\c.txt\"");
    free(copy);
}

TEST_F(ClipAccess, EmptyClearsEveryFormat)
{
    ASSERT_TRUE(Clip_SetText(owner, "to be cleared"));
    ASSERT_GT(CountClipboardFormats(), 0);
    EXPECT_TRUE(Clip_Empty(owner));
    EXPECT_EQ(CountClipboardFormats(), 0);
    EXPECT_EQ(Clip_GetData(owner, CF_TEXT), nullptr);
}

// Wine ends every CF_TEXT block it hands out with a NUL of its own, Windows
// does not; either way the copy is a string within its reported size.
TEST_F(ClipAccess, TextBlockWithoutNulComesBackTerminated)
{
    ASSERT_TRUE(PutBlock(owner, CF_TEXT, "abcde"));
    size_t size = 0;
    char* copy = static_cast<char*>(Clip_GetDataEx(owner, CF_TEXT, &size));
    ASSERT_NE(copy, nullptr);
    ASSERT_GE(size, 5u);
    EXPECT_EQ(copy[size - 1], '\0');
    EXPECT_EQ(std::string("abcde").find(copy), 0u);
    free(copy);
}

TEST(ClipCopy, TextBlockWithoutNulGetsOneAddedWithoutReadingPastIt)
{
    GuardedBlock guard;
    ASSERT_TRUE(guard.ok());
    const unsigned char* block = guard.Place("abcde");
    size_t size = 0;
    char* copy = static_cast<char*>(Clip_CopyBlock(block, 5, true, &size));
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(size, 6u);
    EXPECT_STREQ(copy, "abcde");
    free(copy);
}

TEST(ClipCopy, BlocksKeepTheirSize)
{
    GuardedBlock guard;
    ASSERT_TRUE(guard.ok());
    struct Case {
        const char* name;
        std::string bytes;
        bool isText;
    };
    const Case cases[] = {
        {"text ending in NUL", std::string("ab\0", 3), true},
        {"text with NUL inside", std::string("a\0bc", 4), true},
        {"empty text", std::string(1, '\0'), true},
        {"image bytes without NUL", "\x01\x02\x03", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        size_t size = 0;
        char* copy = static_cast<char*>(Clip_CopyBlock(guard.Place(c.bytes), c.bytes.size(), c.isText, &size));
        ASSERT_NE(copy, nullptr);
        EXPECT_EQ(size, c.bytes.size());
        EXPECT_EQ(std::string(copy, size), c.bytes);
        free(copy);
    }
}

TEST_F(ClipAccess, TextBlockWithNulIsCopiedAtItsOwnSize)
{
    ASSERT_TRUE(PutBlock(owner, CF_TEXT, std::string("ab\0cd", 5)));
    size_t size = 0;
    char* copy = static_cast<char*>(Clip_GetDataEx(owner, CF_TEXT, &size));
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(size, 5u);
    EXPECT_STREQ(copy, "ab");
    free(copy);
}

struct HolderThread {
    HANDLE opened;
    HANDLE release;
};

DWORD WINAPI HoldClipboardOpen(void* param)
{
    HolderThread* holder = static_cast<HolderThread*>(param);
    HWND window = CreateWindowExA(0, "STATIC", "holder", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    bool open = OpenClipboard(window) != FALSE;
    SetEvent(holder->opened);
    WaitForSingleObject(holder->release, INFINITE);
    if (open)
        CloseClipboard();
    DestroyWindow(window);
    return open ? 0 : 1;
}

TEST_F(ClipAccess, ClipboardHeldByAnotherWindowFailsAtOnce)
{
    ASSERT_TRUE(Clip_SetText(owner, "kept"));
    HolderThread holder = {CreateEventA(nullptr, TRUE, FALSE, nullptr), CreateEventA(nullptr, TRUE, FALSE, nullptr)};
    HANDLE thread = CreateThread(nullptr, 0, HoldClipboardOpen, &holder, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    WaitForSingleObject(holder.opened, INFINITE);

    EXPECT_EQ(Clip_GetData(owner, CF_TEXT), nullptr);
    EXPECT_FALSE(Clip_SetText(owner, "replaced"));
    EXPECT_FALSE(Clip_Empty(owner));

    SetEvent(holder.release);
    WaitForSingleObject(thread, INFINITE);
    DWORD code = 1;
    GetExitCodeThread(thread, &code);
    CloseHandle(thread);
    CloseHandle(holder.opened);
    CloseHandle(holder.release);
    ASSERT_EQ(code, 0u) << "the holder thread could not open the clipboard";

    char* copy = static_cast<char*>(Clip_GetData(owner, CF_TEXT));
    ASSERT_NE(copy, nullptr);
    EXPECT_STREQ(copy, "kept");
    free(copy);
}

// ---------------------------------------------------------------- Unicode text

using ClipUnicode = ClipAccess;

std::string Utf16Bytes(const std::u16string& s)
{
    return std::string(reinterpret_cast<const char*>(s.c_str()), (s.size() + 1) * sizeof(char16_t));
}

std::u16string RawUnicode(HWND owner)
{
    std::string block;
    if (!ReadRawBlock(owner, CF_UNICODETEXT, &block))
        return u"<none>";
    std::u16string s(reinterpret_cast<const char16_t*>(block.data()), block.size() / sizeof(char16_t));
    return s.substr(0, s.find(u'\0'));
}

// The formats in the order EnumClipboardFormats gives them.
std::vector<UINT> FormatOrder(HWND owner)
{
    std::vector<UINT> order;
    if (!OpenClipboard(owner))
        return order;
    UINT f = 0;
    while ((f = EnumClipboardFormats(f)) != 0)
        order.push_back(f);
    CloseClipboard();
    return order;
}

size_t PositionOf(const std::vector<UINT>& order, UINT format)
{
    for (size_t i = 0; i < order.size(); i++) {
        if (order[i] == format)
            return i;
    }
    return order.size();
}

const char CAFE_CP932[] = "Caf? ? ?? ?";
const char CAFE_UTF8[] = "Caf\xC3\xA9 \xF0\x9F\x98\x80 \xED\x95\x9C\xEA\xB5\xAD \xE2\x82\xAC";  // Café 😀 한국 €
const char16_t CAFE_UTF16[] = u"Caf\u00E9 \xD83D\xDE00 \uD55C\uAD6D \u20AC";

TEST_F(ClipUnicode, SetTextPlacesUnicodeFirstWithAJapaneseLocale)
{
    ASSERT_TRUE(Clip_SetText(owner, "\x82\xa0\x95\x5c"));  // あ表
    EXPECT_EQ(RawUnicode(owner), u"\u3042\u8868");
    std::string block;
    ASSERT_TRUE(ReadRawBlock(owner, CF_TEXT, &block));
    EXPECT_EQ(block, std::string("\x82\xa0\x95\x5c", 5));
    ASSERT_TRUE(ReadRawBlock(owner, CF_LOCALE, &block));
    ASSERT_GE(block.size(), sizeof(DWORD));
    DWORD locale = 0;
    memcpy(&locale, block.data(), sizeof locale);
    EXPECT_EQ(locale, 0x0411u);
    std::vector<UINT> order = FormatOrder(owner);
    EXPECT_LT(PositionOf(order, CF_UNICODETEXT), PositionOf(order, CF_TEXT));
    EXPECT_LT(PositionOf(order, CF_TEXT), order.size());
}

TEST_F(ClipUnicode, SetTextWithOriginalPlacesBothExactly)
{
    ASSERT_TRUE(Clip_SetTextWithOriginal(owner, CAFE_CP932, CAFE_UTF8));
    EXPECT_EQ(RawUnicode(owner), CAFE_UTF16);
    std::string block;
    ASSERT_TRUE(ReadRawBlock(owner, CF_TEXT, &block));
    EXPECT_EQ(block, std::string(CAFE_CP932, sizeof CAFE_CP932));

    char* text = nullptr;
    char* original = nullptr;
    ASSERT_TRUE(Clip_GetText(owner, &text, &original));
    EXPECT_STREQ(text, CAFE_CP932);
    ASSERT_NE(original, nullptr);
    EXPECT_STREQ(original, CAFE_UTF8);
    free(text);
    free(original);

    ASSERT_TRUE(Clip_SetTextWithOriginal(owner, "", nullptr));
    EXPECT_EQ(RawUnicode(owner), u"");
}

TEST_F(ClipUnicode, GetTextTakesWhatTheSourcePlaced)
{
    struct Case {
        const char* what;
        std::vector<UINT> formats;
        std::vector<std::string> blocks;
        std::string text;
        std::string original;
    };
    const Case cases[] = {
        {"a Unicode program", {CF_UNICODETEXT}, {Utf16Bytes(CAFE_UTF16)}, CAFE_CP932, CAFE_UTF8},
        {"a Japanese text from a Unicode program", {CF_UNICODETEXT}, {Utf16Bytes(u"\u3042\u8868")},
         "\x82\xa0\x95\x5c", ""},
        {"an ANSI program", {CF_TEXT}, {std::string("\x82\xa0\0", 3)}, "\x82\xa0", ""},
        {"both, Unicode first", {CF_UNICODETEXT, CF_TEXT}, {Utf16Bytes(u"\u00E9"), std::string("e\0", 2)}, "?",
         "\xC3\xA9"},
        {"both, ANSI first", {CF_TEXT, CF_UNICODETEXT}, {std::string("e\0", 2), Utf16Bytes(u"\u00E9")}, "e", ""},
        {"both alike keep the source's bytes", {CF_UNICODETEXT, CF_TEXT},
         {Utf16Bytes(u"\u7E8A"), std::string("\xed\x40\0", 3)}, "\xed\x40", ""},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(PutBlocks(owner, c.formats.data(), c.blocks.data(), static_cast<int>(c.formats.size())))
            << c.what;
        char* text = nullptr;
        char* original = nullptr;
        ASSERT_TRUE(Clip_GetText(owner, &text, &original)) << c.what;
        EXPECT_STREQ(text, c.text.c_str()) << c.what;
        EXPECT_EQ(original ? std::string(original) : std::string(), c.original) << c.what;
        free(text);
        free(original);
    }
    ASSERT_TRUE(PutBlock(owner, CF_DIB, Dib24x3x2()));
    char* text = nullptr;
    char* original = nullptr;
    EXPECT_FALSE(Clip_GetText(owner, &text, &original));
    EXPECT_EQ(text, nullptr);
    EXPECT_EQ(original, nullptr);
}

// With an English keyboard layout active a program reading CF_UNICODETEXT
// still gets the Japanese text: Tamarin places it itself, with a Japanese
// CF_LOCALE, instead of leaving the conversion to the system.
TEST_F(ClipUnicode, JapaneseReadsBackWithAnEnglishInputLanguage)
{
    HKL previous = GetKeyboardLayout(0);
    HKL english = LoadKeyboardLayoutA("00000409", KLF_ACTIVATE);
    ASSERT_NE(english, nullptr);
    ASSERT_TRUE(Clip_SetText(owner, "\x93\xfa\x96\x7b\x8c\xea"));  // 日本語
    EXPECT_EQ(RawUnicode(owner), u"\u65E5\u672C\u8A9E");
    ActivateKeyboardLayout(previous, 0);
}

using ClipConfidential = ClipAccess;

TEST_F(ClipConfidential, PlainTextIsNotConfidential)
{
    ASSERT_TRUE(Clip_SetText(owner, "public"));
    EXPECT_FALSE(Clip_IsConfidential(owner));
}

TEST_F(ClipConfidential, MarkerFormatsMakeTextConfidential)
{
    const char* markers[] = {"ExcludeClipboardContentFromMonitorProcessing", "Clipboard Viewer Ignore"};
    for (const char* marker : markers) {
        SCOPED_TRACE(marker);
        UINT formats[2] = {CF_TEXT, RegisterClipboardFormatA(marker)};
        std::string contents[2] = {std::string("secret", 7), std::string(1, '\0')};
        ASSERT_TRUE(PutBlocks(owner, formats, contents, 2));
        EXPECT_TRUE(Clip_IsConfidential(owner));
    }
}

TEST_F(ClipConfidential, ClipboardHistoryPermission)
{
    struct Case {
        const char* name;
        std::string value;
        bool confidential;
    };
    const Case cases[] = {
        {"DWORD 0 refuses", Dword(0), true},
        {"DWORD 1 allows", Dword(1), false},
        {"DWORD 0x100 allows", Dword(0x100), false},
        {"a value too short to read refuses", std::string(2, '\x01'), true},
    };
    UINT history = RegisterClipboardFormatA("CanIncludeInClipboardHistory");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        UINT formats[2] = {CF_TEXT, history};
        std::string contents[2] = {std::string("secret", 7), c.value};
        ASSERT_TRUE(PutBlocks(owner, formats, contents, 2));
        EXPECT_EQ(Clip_IsConfidential(owner), c.confidential);
    }
}

// --- Log files -------------------------------------------------------------

bool ReadFileBytes(const std::string& path, std::string* content)
{
    FILE* file = fopen(path.c_str(), "rb");
    if (!file)
        return false;
    content->clear();
    char buffer[4096];
    size_t got;
    while ((got = fread(buffer, 1, sizeof buffer, file)) > 0)
        content->append(buffer, got);
    fclose(file);
    return true;
}

bool IsFolder(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool Exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void RemoveTree(const std::string& path)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string child = path + "\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(child);
            else
                DeleteFileA(child.c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(path.c_str());
}

SYSTEMTIME MakeTime(int year, int month, int day, int hour, int minute, int second)
{
    SYSTEMTIME t;
    memset(&t, 0, sizeof t);
    t.wYear = static_cast<WORD>(year);
    t.wMonth = static_cast<WORD>(month);
    t.wDay = static_cast<WORD>(day);
    t.wHour = static_cast<WORD>(hour);
    t.wMinute = static_cast<WORD>(minute);
    t.wSecond = static_cast<WORD>(second);
    return t;
}

std::string LogFileName(const std::string& folder, const SYSTEMTIME& t, const char* ext)
{
    char name[64];
    snprintf(name, sizeof name, "\\%04d-%02d\\%02d\\%02d%02d%02d%s", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute,
             t.wSecond, ext);
    return folder + name;
}

// A fresh temporary folder; the log folder inside it does not exist yet.
class ClipLogFiles : public testing::Test {
protected:
    void SetUp() override
    {
        char temp[MAX_PATH];
        ASSERT_GT(GetTempPathA(sizeof temp, temp), 0u);
        char name[64];
        snprintf(name, sizeof name, "tamarin-cliplog-%lu-%lu", GetCurrentProcessId(), GetTickCount());
        base = std::string(temp) + name;
        ASSERT_TRUE(CreateDirectoryA(base.c_str(), nullptr));
        logFolder = base + "\\log";
    }
    void TearDown() override { RemoveTree(base); }
    std::string base;
    std::string logFolder;
};

TEST_F(ClipLogFiles, TextIsLoggedByteForByteInDatedFolders)
{
    // CR LF line breaks and "\x93\xfa\x96\x7b" (日本) kept as they are.
    const char* text = "line one\r\nline two\r\n\x93\xfa\x96\x7b\n";
    SYSTEMTIME t = MakeTime(2004, 3, 7, 9, 30, 15);
    ASSERT_TRUE(ClipLog_WriteTextAt(logFolder.c_str(), text, &t));
    EXPECT_TRUE(IsFolder(logFolder + "\\2004-03"));
    EXPECT_TRUE(IsFolder(logFolder + "\\2004-03\\07"));
    std::string content;
    ASSERT_TRUE(ReadFileBytes(logFolder + "\\2004-03\\07\\093015.txt", &content));
    EXPECT_EQ(content, std::string(text));
}

TEST_F(ClipLogFiles, FolderEndingInBackslash)
{
    SYSTEMTIME t = MakeTime(2004, 3, 7, 9, 30, 15);
    ASSERT_TRUE(ClipLog_WriteTextAt((logFolder + "\\").c_str(), "x", &t));
    std::string content;
    ASSERT_TRUE(ReadFileBytes(logFolder + "\\2004-03\\07\\093015.txt", &content));
    EXPECT_EQ(content, "x");
}

TEST_F(ClipLogFiles, SameSecondReplacesTheEarlierFile)
{
    SYSTEMTIME t = MakeTime(2004, 3, 7, 9, 30, 15);
    ASSERT_TRUE(ClipLog_WriteTextAt(logFolder.c_str(), "a much longer first text", &t));
    ASSERT_TRUE(ClipLog_WriteTextAt(logFolder.c_str(), "second", &t));
    std::string content;
    ASSERT_TRUE(ReadFileBytes(logFolder + "\\2004-03\\07\\093015.txt", &content));
    EXPECT_EQ(content, "second");
}

TEST_F(ClipLogFiles, EmptyTextGivesAnEmptyFile)
{
    SYSTEMTIME t = MakeTime(2004, 3, 7, 9, 30, 15);
    ASSERT_TRUE(ClipLog_WriteTextAt(logFolder.c_str(), "", &t));
    std::string content = "not read";
    ASSERT_TRUE(ReadFileBytes(logFolder + "\\2004-03\\07\\093015.txt", &content));
    EXPECT_EQ(content, "");
}

TEST_F(ClipLogFiles, LogFolderIsCreatedOneLevelOnly)
{
    std::string deep = base + "\\missing\\log";
    SYSTEMTIME t = MakeTime(2004, 3, 7, 9, 30, 15);
    EXPECT_FALSE(ClipLog_WriteTextAt(deep.c_str(), "x", &t));
    EXPECT_FALSE(Exists(base + "\\missing"));
}

TEST_F(ClipLogFiles, WriteTextUsesTheLocalTime)
{
    SYSTEMTIME before, after;
    GetLocalTime(&before);
    ASSERT_TRUE(ClipLog_WriteText(logFolder.c_str(), "now"));
    GetLocalTime(&after);
    std::string first = LogFileName(logFolder, before, ".txt");
    std::string second = LogFileName(logFolder, after, ".txt");
    std::string content;
    ASSERT_TRUE(ReadFileBytes(first, &content) || ReadFileBytes(second, &content)) << first << " / " << second;
    EXPECT_EQ(content, "now");
}

TEST_F(ClipLogFiles, OpenFileGivesABinaryFile)
{
    SYSTEMTIME t = MakeTime(2011, 11, 30, 23, 5, 9);
    FILE* file = ClipLog_OpenFileAt(logFolder.c_str(), ".log", &t);
    ASSERT_NE(file, nullptr);
    fputs("a\nb", file);
    ASSERT_EQ(fclose(file), 0);
    std::string content;
    ASSERT_TRUE(ReadFileBytes(logFolder + "\\2011-11\\30\\230509.log", &content));
    EXPECT_EQ(content, "a\nb");
}

TEST_F(ClipLogFiles, Bitmap24IsWrittenWithExactHeaders)
{
    std::string dib = Dib24x3x2();
    SYSTEMTIME t = MakeTime(2004, 3, 7, 9, 30, 16);
    ASSERT_TRUE(ClipLog_WriteImageAt(logFolder.c_str(), dib.data(), dib.size(), &t));
    std::string content;
    ASSERT_TRUE(ReadFileBytes(logFolder + "\\2004-03\\07\\093016.bmp", &content));
    const char fileHeader[] = "BM\x4e\0\0\0\0\0\0\0\x36\0\0\0";
    std::string expected(fileHeader, 14);
    expected += dib;
    EXPECT_EQ(content, expected);
}

TEST_F(ClipLogFiles, ClipboardImageEndToEnd)
{
    HWND owner = CreateWindowExA(0, "STATIC", "clip test", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_NE(owner, nullptr);
    std::string dib = Dib24x3x2();
    bool placed = PutBlock(owner, CF_DIB, dib);
    size_t size = 0;
    void* copy = placed ? Clip_GetDataEx(owner, CF_DIB, &size) : nullptr;
    Clip_Empty(owner);
    DestroyWindow(owner);
    ASSERT_NE(copy, nullptr);

    SYSTEMTIME t = MakeTime(2004, 3, 7, 9, 30, 17);
    bool written = ClipLog_WriteImageAt(logFolder.c_str(), copy, size, &t);
    free(copy);
    ASSERT_TRUE(written);
    std::string content;
    ASSERT_TRUE(ReadFileBytes(logFolder + "\\2004-03\\07\\093017.bmp", &content));
    ASSERT_EQ(content.size(), 78u);
    EXPECT_EQ(content.substr(14), dib);
}

TEST_F(ClipLogFiles, BitFieldsV5BitmapGetsAShortHeaderAndMasks)
{
    BITMAPV5HEADER header;
    memset(&header, 0, sizeof header);
    header.bV5Size = sizeof header;
    header.bV5Width = 1;
    header.bV5Height = 1;
    header.bV5Planes = 1;
    header.bV5BitCount = 32;
    header.bV5Compression = BI_BITFIELDS;
    header.bV5RedMask = 0x00FF0000;
    header.bV5GreenMask = 0x0000FF00;
    header.bV5BlueMask = 0x000000FF;
    std::string dib(reinterpret_cast<const char*>(&header), sizeof header);
    dib += std::string("\x11\x22\x33\x44", 4);

    SYSTEMTIME t = MakeTime(2004, 3, 7, 9, 30, 18);
    ASSERT_TRUE(ClipLog_WriteImageAt(logFolder.c_str(), dib.data(), dib.size(), &t));
    std::string content;
    ASSERT_TRUE(ReadFileBytes(logFolder + "\\2004-03\\07\\093018.bmp", &content));
    ASSERT_EQ(content.size(), 70u);
    EXPECT_EQ(content.substr(0, 14), std::string("BM\x46\0\0\0\0\0\0\0\x42\0\0\0", 14));
    EXPECT_EQ(content.substr(14, 4), std::string("\x28\0\0\0", 4));
    EXPECT_EQ(content.substr(18, 36), dib.substr(4, 36));
    EXPECT_EQ(content.substr(54, 12), std::string("\0\0\xff\0\0\xff\0\0\xff\0\0\0", 12));
    EXPECT_EQ(content.substr(66), std::string("\x11\x22\x33\x44", 4));
}

std::string HeaderBytes(LONG width, LONG height, WORD bitCount, DWORD compression, DWORD size = 40)
{
    BITMAPINFOHEADER header;
    memset(&header, 0, sizeof header);
    header.biSize = size;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = bitCount;
    header.biCompression = compression;
    return std::string(reinterpret_cast<const char*>(&header), sizeof header);
}

TEST_F(ClipLogFiles, MalformedBitmapsAreSkippedWithoutReadingPastTheBlock)
{
    GuardedBlock guard;
    ASSERT_TRUE(guard.ok());
    struct Case {
        const char* name;
        std::string dib;
    };
    const Case cases[] = {
        {"rows one byte short", HeaderBytes(3, 2, 24, BI_RGB) + std::string(23, 'p')},
        {"colour table cut off", HeaderBytes(4, 4, 8, BI_RGB) + std::string(600, 'c')},
        {"header claiming 124 bytes in 100", HeaderBytes(1, 1, 24, BI_RGB, 124) + std::string(60, 'h')},
        {"bit-field masks cut off", HeaderBytes(1, 1, 32, BI_BITFIELDS) + std::string(8, 'm')},
        {"size wrapping to 0 in 32 bits", HeaderBytes(65536, 65536, 32, BI_RGB) + std::string(16, 'w')},
        {"header alone, cut", HeaderBytes(1, 1, 24, BI_RGB).substr(0, 30)},
        {"compressed rows", HeaderBytes(4, 4, 8, BI_RLE8) + std::string(1024 + 16, 'r')},
    };
    SYSTEMTIME t = MakeTime(2004, 3, 7, 9, 30, 19);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const unsigned char* dib = guard.Place(c.dib);
        EXPECT_FALSE(ClipLog_WriteImageAt(logFolder.c_str(), dib, c.dib.size(), &t));
        EXPECT_FALSE(Exists(logFolder + "\\2004-03\\07\\093019.bmp"));
    }

    // A well-formed bitmap flush against the guard page is written whole.
    std::string dib = Dib24x3x2();
    ASSERT_TRUE(ClipLog_WriteImageAt(logFolder.c_str(), guard.Place(dib), dib.size(), &t));
    std::string content;
    ASSERT_TRUE(ReadFileBytes(logFolder + "\\2004-03\\07\\093019.bmp", &content));
    EXPECT_EQ(content.substr(14), dib);
}

}  // namespace
