// The about box, run for real from tamarin.exe's template and version block:
// its layout, the caption and version line, the icon, the empty resources
// line, the site link's font, tip, hover colours, cursor and click, a mail
// link that keeps the box open, the hook, the ways out and the guard against
// a second opening. Also the pure rules behind it: the texts built from the
// version strings (with the FileDescription fallback), the query path and
// the resources line.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <map>
#include <string>
#include <vector>

#include "controls/linklabel.h"
#include "dialogs/aboutdlg.h"
#include "resources/dialogs_about.h"
#include "resources/resource.h"
#include "win/dialogdriver.h"
#include "win/input.h"

namespace {

// " について"
const char ABOUT_SUFFIX[] = " \x82\xc9\x82\xc2\x82\xa2\x82\xc4";
// !Tamarinについて
const char TEMPLATE_CAPTION[] = "!Tamarin\x82\xc9\x82\xc2\x82\xa2\x82\xc4";
// -時には、翼のない天使のように-
const char RARE_CAPTION[] =
    "-\x8e\x9e\x82\xc9\x82\xcd\x81\x41\x97\x83\x82\xcc\x82\xc8\x82\xa2\x93\x56\x8e\x67\x82\xcc\x82\xe6\x82\xa4\x82\xc9-";
// サポートサイトへ
const char TIP_SITE[] = "\x83\x54\x83\x7c\x81\x5b\x83\x67\x83\x54\x83\x43\x83\x67\x82\xd6";
// 作者へメールを送る
const char TIP_MAIL[] = "\x8d\xec\x8e\xd2\x82\xd6\x83\x81\x81\x5b\x83\x8b\x82\xf0\x91\x97\x82\xe9";
// ＭＳ Ｐゴシック

const COLORREF LINK_BLUE = RGB(0, 0, 255);
const COLORREF LINK_RED = RGB(255, 0, 0);

// ---------------------------------------------------------------- pure rules

TEST(AboutBoxRules, VersionQueryPathIsLowerCaseHex)
{
    struct Case {
        unsigned language, codePage;
        const char* name;
        const char* expected;
    };
    const Case cases[] = {
        {0x0411, 932, "ProductName", "\\StringFileInfo\\041103a4\\ProductName"},
        {0x0409, 0x04B0, "CompanyName", "\\StringFileInfo\\040904b0\\CompanyName"},
        {0xABCD, 0xEF01, "X", "\\StringFileInfo\\abcdef01\\X"},
        {0x7, 0x0, "FileDescription", "\\StringFileInfo\\00070000\\FileDescription"},
    };
    for (const Case& c : cases) {
        char out[ABOUT_QUERY_SIZE];
        ASSERT_TRUE(AboutDlg_FormatVersionQuery(out, sizeof out, c.language, c.codePage, c.name)) << c.expected;
        EXPECT_STREQ(out, c.expected);
    }
    char small[10];
    EXPECT_FALSE(AboutDlg_FormatVersionQuery(small, sizeof small, 0x0411, 932, "ProductName"));
}

// A version block as a table of strings; a missing name gives null. Records
// which names were asked for, in order.
struct FakeBlock {
    std::map<std::string, std::string> strings;
    std::vector<std::string> asked;
};

const char* FakeLookup(void* context, const char* name)
{
    FakeBlock* block = static_cast<FakeBlock*>(context);
    block->asked.push_back(name);
    auto found = block->strings.find(name);
    return found == block->strings.end() ? nullptr : found->second.c_str();
}

const std::vector<std::string> ASKED_WITH_NAME = {"CompanyName", "LegalCopyright", "ProductVersion", "ProductName"};
const std::vector<std::string> ASKED_WITHOUT_NAME = {"CompanyName", "LegalCopyright", "ProductVersion", "ProductName",
                                                     "FileDescription"};

struct TextsCase {
    const char* what;
    std::map<std::string, std::string> strings;
    const char* caption;
    const char* versionLine;
    std::vector<std::string> asked;
};

TEST(AboutBoxRules, TextsFromTheVersionStrings)
{
    const TextsCase cases[] = {
        {"product name",
         {{"ProductName", "Tamarin"}, {"ProductVersion", "1.2.3.4"}, {"FileDescription", "Clip tool"}},
         "Tamarin \x82\xc9\x82\xc2\x82\xa2\x82\xc4",
         "Tamarin ver. 1.2.3.4",
         ASKED_WITH_NAME},
        {"empty product name falls back to the description",
         {{"ProductName", ""}, {"ProductVersion", "2.0"}, {"FileDescription", "Clip tool"}},
         "Clip tool \x82\xc9\x82\xc2\x82\xa2\x82\xc4",
         "Clip tool ver. 2.0",
         ASKED_WITHOUT_NAME},
        {"missing product name falls back to the description",
         {{"ProductVersion", "2.0"}, {"FileDescription", "Clip tool"}},
         "Clip tool \x82\xc9\x82\xc2\x82\xa2\x82\xc4",
         "Clip tool ver. 2.0",
         ASKED_WITHOUT_NAME},
        {"neither name nor description",
         {{"ProductVersion", "3"}},
         " \x82\xc9\x82\xc2\x82\xa2\x82\xc4",
         " ver. 3",
         ASKED_WITHOUT_NAME},
        {"no version",
         {{"ProductName", "Tamarin"}},
         "Tamarin \x82\xc9\x82\xc2\x82\xa2\x82\xc4",
         "Tamarin ver. ",
         ASKED_WITH_NAME},
        // タマリン, 版 1.0
        {"Japanese texts",
         {{"ProductName", "\x83\x5e\x83\x7d\x83\x8a\x83\x93"}, {"ProductVersion", "\x94\xc5 1.0"}},
         "\x83\x5e\x83\x7d\x83\x8a\x83\x93 \x82\xc9\x82\xc2\x82\xa2\x82\xc4",
         "\x83\x5e\x83\x7d\x83\x8a\x83\x93 ver. \x94\xc5 1.0",
         ASKED_WITH_NAME},
    };
    for (const TextsCase& c : cases) {
        SCOPED_TRACE(c.what);
        FakeBlock block;
        block.strings = c.strings;
        AboutTexts texts;
        memset(&texts, 'X', sizeof texts);
        AboutDlg_BuildTexts(FakeLookup, &block, &texts);
        EXPECT_STREQ(texts.caption, c.caption);
        EXPECT_STREQ(texts.versionLine, c.versionLine);
        EXPECT_EQ(block.asked, c.asked);
    }
}

TEST(AboutBoxRules, CompanyAndCopyrightAreKeptAndMissingOnesAreEmpty)
{
    FakeBlock block;
    block.strings = {{"CompanyName", "Tamarin Project"}, {"LegalCopyright", "(C) 2026"}, {"ProductName", "T"}};
    AboutTexts texts;
    memset(&texts, 'X', sizeof texts);
    AboutDlg_BuildTexts(FakeLookup, &block, &texts);
    EXPECT_STREQ(texts.company, "Tamarin Project");
    EXPECT_STREQ(texts.copyright, "(C) 2026");
    EXPECT_STREQ(texts.productVersion, "");

    FakeBlock empty;
    memset(&texts, 'X', sizeof texts);
    AboutDlg_BuildTexts(FakeLookup, &empty, &texts);
    EXPECT_STREQ(texts.company, "");
    EXPECT_STREQ(texts.copyright, "");
    EXPECT_STREQ(texts.productName, "");
}

// Every text holds at most 259 bytes and a double-byte character that would
// not fit whole is left out.
TEST(AboutBoxRules, TextsAreCutWithoutSplittingACharacter)
{
    struct Case {
        const char* what;
        std::string name, version;
        std::string productName, caption, versionLine;
    };
    const std::string hyou = "\x95\x5c";  // 表, its second byte a backslash
    const Case cases[] = {
        {"name of 259 bytes", std::string(259, 'a'), "1", std::string(259, 'a'), std::string(259, 'a'),
         std::string(259, 'a')},
        {"name of 300 bytes is cut to 259", std::string(300, 'a'), "1", std::string(259, 'a'),
         std::string(259, 'a'), std::string(259, 'a')},
        {"a character across the end of the name is left out", std::string(258, 'a') + hyou, "1",
         std::string(258, 'a'), std::string(258, 'a') + " ", std::string(258, 'a') + " "},
        {"a character ending at byte 259 stays", std::string(257, 'a') + hyou, "1", std::string(257, 'a') + hyou,
         std::string(257, 'a') + hyou, std::string(257, 'a') + hyou},
        {"caption that just fits", std::string(250, 'a'), "1", std::string(250, 'a'),
         std::string(250, 'a') + ABOUT_SUFFIX, std::string(250, 'a') + " ver. 1"},
        // に つ い fit, て would need bytes 258 and 259.
        {"caption one byte too long", std::string(251, 'a'), "1", std::string(251, 'a'),
         std::string(251, 'a') + " \x82\xc9\x82\xc2\x82\xa2", std::string(251, 'a') + " ver. 1"},
        {"version line cut inside the version", std::string(200, 'a'), std::string(100, '9'), std::string(200, 'a'),
         std::string(200, 'a') + ABOUT_SUFFIX, std::string(200, 'a') + " ver. " + std::string(53, '9')},
        {"version line cut before a character", std::string(251, 'a'), "ab" + hyou, std::string(251, 'a'),
         std::string(251, 'a') + " \x82\xc9\x82\xc2\x82\xa2", std::string(251, 'a') + " ver. ab"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FakeBlock block;
        block.strings = {{"ProductName", c.name}, {"ProductVersion", c.version}};
        AboutTexts texts;
        AboutDlg_BuildTexts(FakeLookup, &block, &texts);
        EXPECT_EQ(std::string(texts.productName), c.productName);
        EXPECT_EQ(std::string(texts.caption), c.caption);
        EXPECT_EQ(std::string(texts.versionLine), c.versionLine);
    }
}

TEST(AboutBoxRules, ResourcesLine)
{
    // システムリソース： … ％使用可能; the last 能 has a backslash as its
    // second byte.
    const std::string head = "\x83\x56\x83\x58\x83\x65\x83\x80\x83\x8a\x83\x5c\x81\x5b\x83\x58\x81\x46 ";
    const std::string tail = " \x81\x93\x8e\x67\x97\x70\x89\xc2\x94\x5c";
    struct Case {
        int percent;
        std::string expected;
    };
    const Case cases[] = {
        {0, head + "0" + tail},
        {75, head + "75" + tail},
        // 33 bytes of text do not fit in 33 bytes with the NUL: 能 goes whole.
        {100, head + "100 \x81\x93\x8e\x67\x97\x70\x89\xc2"},
    };
    for (const Case& c : cases) {
        char line[ABOUT_RESOURCES_LINE_SIZE];
        memset(line, 'X', sizeof line);
        AboutDlg_FormatResourcesLine(line, sizeof line, c.percent);
        EXPECT_EQ(std::string(line), c.expected) << c.percent;
    }
}

// ---------------------------------------------------------------- tamarin.exe

// A string of the first translation of a file's version block, read here
// independently of the about box.
std::string ReadVersionString(const char* file, const char* name)
{
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(file, &handle);
    if (size == 0)
        return "";
    std::vector<char> block(size);
    if (!GetFileVersionInfoA(file, 0, size, block.data()))
        return "";
    WORD* translation = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length) ||
        length < 4)
        return "";
    char query[128];
    snprintf(query, sizeof query, "\\StringFileInfo\\%04x%04x\\%s", translation[0], translation[1], name);
    char* value = nullptr;
    if (!VerQueryValueA(block.data(), query, reinterpret_cast<void**>(&value), &length) || !value)
        return "";
    return value;
}

// ---------------------------------------------------------------- seams

// What the links asked to open.
struct Opened {
    std::vector<std::string> addresses;
    std::vector<HWND> dialogs;
};
Opened g_opened;

void RecordAddress(HWND dialog, const char* address)
{
    g_opened.addresses.push_back(address);
    g_opened.dialogs.push_back(dialog);
}

// What the hook saw, and what it does.
struct HookLog {
    bool initSeen = false;
    HICON templateIcon = nullptr;  // the icon static's picture at WM_INITDIALOG
    std::vector<UINT> linkCodes;   // WM_NOTIFY codes from the links
    bool swallowOk = false;
    bool destroySeen = false;
    bool fontPropsAtNcDestroy = true;
    HWND dialog = nullptr;
};
HookLog g_hook;

BOOL CALLBACK RecordingHook(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_INITDIALOG:
        g_hook.initSeen = true;
        g_hook.dialog = dialog;
        g_hook.templateIcon =
            reinterpret_cast<HICON>(SendDlgItemMessageA(dialog, IDC_ABOUT_ICON, STM_GETICON, 0, 0));
        // Something the about box has to replace.
        SetDlgItemTextA(dialog, IDC_ABOUT_RESOURCES, "left over");
        break;
    case WM_NOTIFY:
        if (wParam == IDC_ABOUT_URL || wParam == IDC_ABOUT_RESOURCES)
            g_hook.linkCodes.push_back(reinterpret_cast<NMHDR*>(lParam)->code);
        break;
    case WM_COMMAND:
        if (g_hook.swallowOk && LOWORD(wParam) == IDOK)
            return TRUE;
        break;
    case WM_DESTROY:
        g_hook.destroySeen = true;
        break;
    case WM_NCDESTROY:
        g_hook.fontPropsAtNcDestroy = GetPropA(dialog, ABPROP_FONTURL) || GetPropA(dialog, ABPROP_FONTMAIL);
        break;
    }
    return FALSE;
}

// ---------------------------------------------------------------- screen

// Pixels of a control's client area as the screen shows them.
std::vector<COLORREF> Pixels(HWND control)
{
    InvalidateRect(control, nullptr, FALSE);
    UpdateWindow(control);
    GdiFlush();
    std::vector<COLORREF> pixels;
    RECT client;
    GetClientRect(control, &client);
    HDC dc = GetDC(control);
    for (int y = client.top; y < client.bottom; y++)
        for (int x = client.left; x < client.right; x++)
            pixels.push_back(GetPixel(dc, x, y));
    ReleaseDC(control, dc);
    return pixels;
}

int Count(const std::vector<COLORREF>& pixels, COLORREF colour)
{
    int n = 0;
    for (COLORREF c : pixels)
        n += c == colour;
    return n;
}

// An icon's picture as 32-bit pixels of its mask and its colour bitmap.
std::vector<DWORD> IconBits(HICON icon)
{
    std::vector<DWORD> bits;
    ICONINFO info;
    if (!icon || !GetIconInfo(icon, &info))
        return bits;
    HDC dc = GetDC(nullptr);
    for (HBITMAP bitmap : {info.hbmMask, info.hbmColor}) {
        BITMAP b;
        if (!bitmap || !GetObjectA(bitmap, sizeof b, &b))
            continue;
        BITMAPINFO bi;
        memset(&bi, 0, sizeof bi);
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = b.bmWidth;
        bi.bmiHeader.biHeight = b.bmHeight;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        bi.bmiHeader.biCompression = BI_RGB;
        size_t start = bits.size();
        bits.resize(start + static_cast<size_t>(b.bmWidth) * static_cast<size_t>(b.bmHeight));
        GetDIBits(dc, bitmap, 0, static_cast<UINT>(b.bmHeight), &bits[start], &bi, DIB_RGB_COLORS);
        DeleteObject(bitmap);
    }
    ReleaseDC(nullptr, dc);
    return bits;
}

int CountOf(const std::vector<UINT>& codes, UINT code)
{
    int n = 0;
    for (UINT c : codes)
        n += c == code;
    return n;
}

// The tips of the dialog's tooltip, by the tool's window.
std::map<HWND, std::string> ToolTips(HWND dialog, UINT* flagsOfFirst)
{
    std::map<HWND, std::string> tips;
    HWND tooltip = FindOwnedWindow(dialog, TOOLTIPS_CLASSA);
    if (!tooltip)
        return tips;
    int count = static_cast<int>(SendMessageA(tooltip, TTM_GETTOOLCOUNT, 0, 0));
    for (int i = 0; i < count; i++) {
        char text[256] = "";
        TTTOOLINFOA tool;
        memset(&tool, 0, sizeof tool);
        tool.cbSize = TTTOOLINFOA_V1_SIZE;
        tool.lpszText = text;
        if (!SendMessageA(tooltip, TTM_ENUMTOOLSA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&tool)))
            continue;
        if (i == 0 && flagsOfFirst)
            *flagsOfFirst = tool.uFlags;
        tips[reinterpret_cast<HWND>(tool.uId)] = text;
    }
    return tips;
}

// A seed of the C library's generator whose first draw does (rare) or does
// not show the rare caption.
unsigned SeedFor(bool rare)
{
    for (unsigned seed = 1; seed < 1000000; seed++) {
        srand(seed);
        if ((rand() % 1000 == 0) == rare)
            return seed;
    }
    return 0;
}

// ---------------------------------------------------------------- fixture

class AboutBox : public TamarinDialogTest {
protected:
    void SetUp() override
    {
        TamarinDialogTest::SetUp();
        if (IsSkipped())
            return;
        g_opened = Opened{};
        g_hook = HookLog{};
        AboutDlg_MakeProgramParams(&params_, module_);
        // Away from where the box opens, so that no move reaches its link
        // before a test puts the pointer there.
        RECT work;
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
        SetCursorPos((work.left + work.right) / 2, (work.top + work.bottom) / 2);
        std::string name = ReadVersionString(exe_, "ProductName");
        if (name.empty())
            name = ReadVersionString(exe_, "FileDescription");
        caption_ = name + ABOUT_SUFFIX;
        versionLine_ = name + " ver. " + ReadVersionString(exe_, "ProductVersion");
        srand(SeedFor(false));
    }

    INT_PTR Open(const char* programFile) { return AboutDlg_ShowFrom(nullptr, &params_, programFile, RecordAddress); }
    INT_PTR Open() { return Open(exe_); }

    AboutBoxParams params_;
    std::string caption_;
    std::string versionLine_;
};


// ---------------------------------------------------------------- resources

TEST_F(AboutBox, TemplateMatchesTheLayout)
{
    const ExpectedItem items[] = {
        {IDC_ABOUT_ICON, "Static", "", 7, 7, 20, 20, SS_ICON, 0, 0},
        {IDC_ABOUT_VERSION, "Static", "APP_NAME", 30, 7, 96, 8, SS_LEFT, SS_NOPREFIX | SS_NOTIFY, 0},
        {IDC_ABOUT_URL, "Static", ABOUT_SITE_URL, 30, 17, 102, 8, SS_LEFT, SS_NOPREFIX | SS_NOTIFY, 0},
        {IDOK, "Button", "OK", 45, 39, 45, 14, BS_DEFPUSHBUTTON, WS_TABSTOP, 0},
        {IDC_ABOUT_RESOURCES, "Static", "", 30, 27, 102, 8, SS_LEFT, 0, 0},
    };
    TemplateDialog dialog;
    ASSERT_TRUE(ReadDialogTemplate(module_, IDD_ABOUT, &dialog));
    EXPECT_EQ(dialog.caption, TEMPLATE_CAPTION);
    EXPECT_EQ(dialog.font, TEMPLATE_FONT);
    EXPECT_EQ(dialog.pointSize, 9);
    EXPECT_EQ(dialog.cx, 139);
    EXPECT_EQ(dialog.cy, 60);
    DWORD frame = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    EXPECT_EQ(dialog.style & frame, frame);
    EXPECT_EQ(dialog.style & (WS_THICKFRAME | WS_MAXIMIZEBOX | WS_MINIMIZEBOX), 0u);
    const size_t expectedCount = sizeof(items) / sizeof(items[0]);
    ASSERT_EQ(dialog.items.size(), expectedCount);
    ExpectTemplateItems(dialog, items, expectedCount);
}

// The program's block as the about command passes it.
TEST_F(AboutBox, ProgramBlock)
{
    AboutBoxParams p;
    memset(&p, 0xCD, sizeof p);
    AboutDlg_MakeProgramParams(&p, module_);
    EXPECT_EQ(p.flags, 0x1AAu);
    EXPECT_EQ(p.iconId, 1006);
    EXPECT_EQ(p.companyId, 0);
    EXPECT_EQ(p.versionId, 1009);
    EXPECT_EQ(p.copyrightId, 0);
    EXPECT_EQ(p.urlId, 1008);
    EXPECT_EQ(p.mailId, 0);
    EXPECT_EQ(p.resourcesId, 1007);
    ASSERT_NE(p.url, nullptr);
    EXPECT_STREQ(p.url, ABOUT_SITE_URL);
    EXPECT_EQ(p.mail, nullptr);
    EXPECT_EQ(p.templateId, 126);
    EXPECT_EQ(p.hook, nullptr);
    EXPECT_EQ(p.instance, module_);
    // Cursor 127 of the module: its hotspot is the one stored there.
    ASSERT_NE(p.linkCursor, nullptr);
    ICONINFO info;
    ASSERT_TRUE(GetIconInfo(p.linkCursor, &info));
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(info.xHotspot, 7u);
    EXPECT_EQ(info.yHotspot, 0u);
    if (info.hbmMask)
        DeleteObject(info.hbmMask);
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
}

// Cursor 127 as stored: one 32 x 32 monochrome image, hotspot (7, 0) on an
// opaque black pixel (the outline at the tip of the index finger).
TEST_F(AboutBox, LinkCursorIsAMonochromeHandWithItsHotspotAtTheFingertip)
{
    HRSRC group = FindResourceA(module_, MAKEINTRESOURCEA(IDC_LINKHAND), reinterpret_cast<LPCSTR>(RT_GROUP_CURSOR));
    ASSERT_NE(group, nullptr);
    const BYTE* dir = static_cast<const BYTE*>(LockResource(LoadResource(module_, group)));
    ASSERT_NE(dir, nullptr);
    WORD count = *reinterpret_cast<const WORD*>(dir + 4);
    ASSERT_EQ(count, 1);
    // CURSORDIR entry: width, height (doubled), planes, bit count, bytes, id.
    const BYTE* entry = dir + 6;
    WORD imageId = *reinterpret_cast<const WORD*>(entry + 12);
    HRSRC image = FindResourceA(module_, MAKEINTRESOURCEA(imageId), reinterpret_cast<LPCSTR>(RT_CURSOR));
    ASSERT_NE(image, nullptr);
    const BYTE* data = static_cast<const BYTE*>(LockResource(LoadResource(module_, image)));
    ASSERT_NE(data, nullptr);
    WORD hotX = *reinterpret_cast<const WORD*>(data);
    WORD hotY = *reinterpret_cast<const WORD*>(data + 2);
    EXPECT_EQ(hotX, 7);
    EXPECT_EQ(hotY, 0);
    BITMAPINFOHEADER header;
    memcpy(&header, data + 4, sizeof header);
    EXPECT_EQ(header.biWidth, 32);
    EXPECT_EQ(header.biHeight, 64);
    EXPECT_EQ(header.biBitCount, 1);
    // Bottom-up rows of 4 bytes: the XOR bitmap after two palette entries,
    // then the AND mask. Row 0 of the picture is the last row of each.
    const BYTE* xorBits = data + 4 + header.biSize + 2 * sizeof(RGBQUAD);
    const BYTE* andBits = xorBits + 32 * 4;
    auto bit = [](const BYTE* bits, int x, int y) { return (bits[(31 - y) * 4 + x / 8] >> (7 - x % 8)) & 1; };
    EXPECT_EQ(bit(andBits, 7, 0), 0) << "the hotspot is opaque";
    EXPECT_EQ(bit(xorBits, 7, 0), 0) << "the hotspot is black";
    EXPECT_EQ(bit(andBits, 0, 0), 1) << "the corner is transparent";
    int opaque = 0;
    for (int y = 0; y < 32; y++)
        for (int x = 0; x < 32; x++)
            opaque += bit(andBits, x, y) == 0;
    EXPECT_GT(opaque, 100);
    EXPECT_LT(opaque, 32 * 32 / 2);

    HCURSOR cursor = LoadCursorA(module_, MAKEINTRESOURCEA(IDC_LINKHAND));
    ICONINFO info;
    ASSERT_TRUE(GetIconInfo(cursor, &info));
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(info.xHotspot, 7u);
    EXPECT_EQ(info.yHotspot, 0u);
    if (info.hbmMask)
        DeleteObject(info.hbmMask);
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
}

// ---------------------------------------------------------------- opening

TEST_F(AboutBox, ShowsNameAndVersionFromTheProgramFile)
{
    ASSERT_FALSE(versionLine_.empty());
    HWND dialog = nullptr;
    std::string versionText, resourcesText, linkText;
    HICON shownIcon = nullptr, bigIcon = nullptr, smallIcon = nullptr;
    HFONT linkFont = nullptr, propFont = nullptr;
    bool underlined = false, mailFont = true;
    HICON templateIcon = LoadIconA(module_, MAKEINTRESOURCEA(IDI_TRAY_ON));
    POINT cursor = {0, 0}, centre = {0, 0};
    LRESULT hit = 0;
    params_.hook = RecordingHook;

    DialogScript script;
    script.Add(WaitForDialog(&dialog, caption_.c_str(), IDC_ABOUT_URL));
    script.Add(Do([&] {
        versionText = ItemText(dialog, IDC_ABOUT_VERSION);
        resourcesText = ItemText(dialog, IDC_ABOUT_RESOURCES);
        linkText = ItemText(dialog, IDC_ABOUT_URL);
        shownIcon = reinterpret_cast<HICON>(SendDlgItemMessageA(dialog, IDC_ABOUT_ICON, STM_GETICON, 0, 0));
        bigIcon = reinterpret_cast<HICON>(SendMessageA(dialog, WM_GETICON, ICON_BIG, 0));
        smallIcon = reinterpret_cast<HICON>(SendMessageA(dialog, WM_GETICON, ICON_SMALL, 0));
        HWND link = GetDlgItem(dialog, IDC_ABOUT_URL);
        linkFont = reinterpret_cast<HFONT>(SendMessageA(link, WM_GETFONT, 0, 0));
        propFont = static_cast<HFONT>(GetPropA(dialog, ABPROP_FONTURL));
        mailFont = GetPropA(dialog, ABPROP_FONTMAIL) != nullptr;
        LOGFONTA font;
        underlined = linkFont && GetObjectA(linkFont, sizeof font, &font) && font.lfUnderline;
        GetCursorPos(&cursor);
        centre = CentreOf(dialog);
        // The bare spot right of the icon, below the texts.
        RECT r;
        GetWindowRect(GetDlgItem(dialog, IDC_ABOUT_ICON), &r);
        hit = SendMessageA(dialog, WM_NCHITTEST, 0, MAKELPARAM(r.left + 2, r.bottom + 4));
    }));
    script.Add(Do([&] { PostButton(dialog, IDOK); }));
    EXPECT_EQ(RunDialogScript(&script, [&] { return Open(); }), IDOK);

    EXPECT_TRUE(g_hook.initSeen);
    EXPECT_EQ(versionText, versionLine_);
    EXPECT_EQ(resourcesText, "");
    EXPECT_EQ(linkText, ABOUT_SITE_URL);
    // The file's own icon in place of the template's, and on the frame.
    EXPECT_NE(shownIcon, nullptr);
    ASSERT_NE(g_hook.templateIcon, nullptr);
    EXPECT_EQ(IconBits(g_hook.templateIcon), IconBits(templateIcon)) << "the template shows icon 137";
    EXPECT_NE(shownIcon, g_hook.templateIcon);
    EXPECT_NE(bigIcon, nullptr);
    EXPECT_NE(smallIcon, nullptr);
    // The link wears the underlined font hung on the dialog.
    EXPECT_NE(propFont, nullptr);
    EXPECT_EQ(linkFont, propFont);
    EXPECT_TRUE(underlined);
    EXPECT_FALSE(mailFont);
    // Centred on the pointer, movable by its client area.
    EXPECT_LE(abs(centre.x - cursor.x), 1);
    EXPECT_LE(abs(centre.y - cursor.y), 1);
    EXPECT_EQ(hit, HTCAPTION);
    // The font went with the dialog.
    EXPECT_TRUE(g_hook.destroySeen);
    EXPECT_FALSE(g_hook.fontPropsAtNcDestroy);
    EXPECT_EQ(GetObjectType(propFont), 0u);
    EXPECT_TRUE(g_opened.addresses.empty());
}

// Without a version block (the test program has none) the template's
// caption and version text stay.
TEST_F(AboutBox, WithoutAVersionBlockTheTemplateTextsStay)
{
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, sizeof self);
    ASSERT_EQ(GetFileVersionInfoSizeA(self, nullptr), 0u);
    HWND dialog = nullptr;
    std::string versionText, linkText;
    DialogScript script;
    script.Add(WaitForDialog(&dialog, TEMPLATE_CAPTION, IDC_ABOUT_URL));
    script.Add(Do([&] {
        versionText = ItemText(dialog, IDC_ABOUT_VERSION);
        linkText = ItemText(dialog, IDC_ABOUT_URL);
    }));
    script.Add(Do([&] { PostButton(dialog, IDCANCEL); }));
    // Null: the running program's own file.
    EXPECT_EQ(RunDialogScript(&script, [&] { return Open(nullptr); }), IDCANCEL);
    EXPECT_EQ(versionText, "APP_NAME");
    EXPECT_EQ(linkText, ABOUT_SITE_URL);
}

TEST_F(AboutBox, OneOpeningInAThousandShowsTheRareCaption)
{
    unsigned seed = SeedFor(true);
    ASSERT_NE(seed, 0u);
    srand(seed);
    HWND dialog = nullptr;
    std::string versionText;
    DialogScript script;
    script.Add(WaitForDialog(&dialog, RARE_CAPTION, IDC_ABOUT_URL));
    script.Add(Do([&] { versionText = ItemText(dialog, IDC_ABOUT_VERSION); }));
    script.Add(Do([&] { PostButton(dialog, IDOK); }));
    EXPECT_EQ(RunDialogScript(&script, [&] { return Open(); }), IDOK);
    EXPECT_EQ(versionText, versionLine_);
}

// Wine has no rsrc32.dll: the line is emptied and stays so.
TEST_F(AboutBox, ResourcesLineIsEmptyWithoutRsrc32)
{
    HMODULE rsrc = LoadLibraryA("rsrc32.dll");
    if (rsrc) {
        FreeLibrary(rsrc);
        GTEST_SKIP() << "this system has rsrc32.dll";
    }
    params_.hook = RecordingHook;  // writes "left over" into the line first
    HWND dialog = nullptr;
    std::string resourcesText = "not read";
    DialogScript script;
    script.Add(WaitForDialog(&dialog, caption_.c_str(), IDC_ABOUT_URL));
    script.Add(Do([&] { resourcesText = ItemText(dialog, IDC_ABOUT_RESOURCES); }));
    script.Add(Do([&] { PostButton(dialog, IDOK); }));
    RunDialogScript(&script, [&] { return Open(); });
    EXPECT_EQ(resourcesText, "");
}

TEST_F(AboutBox, SiteLinkHasItsTip)
{
    HWND dialog = nullptr;
    std::map<HWND, std::string> tips;
    UINT flags = 0;
    HWND link = nullptr;
    DialogScript script;
    script.Add(WaitForDialog(&dialog, caption_.c_str(), IDC_ABOUT_URL));
    script.Add(Do([&] {
        link = GetDlgItem(dialog, IDC_ABOUT_URL);
        tips = ToolTips(dialog, &flags);
    }));
    script.Add(Do([&] { PostButton(dialog, IDOK); }));
    RunDialogScript(&script, [&] { return Open(); });
    ASSERT_EQ(tips.size(), 1u);
    EXPECT_EQ(tips[link], TIP_SITE);
    EXPECT_EQ(flags & (TTF_IDISHWND | TTF_SUBCLASS), static_cast<UINT>(TTF_IDISHWND | TTF_SUBCLASS));
}

// ---------------------------------------------------------------- the link

// The mouse over the link: the box reflects the notices, so the link turns
// red and shows the hand; away from it the link turns blue again and the
// pointer is the arrow. (The box opens centred on the pointer, which is then
// over the link: the test starts from the OK button.)
TEST_F(AboutBox, HoverTurnsTheLinkRedWithTheHandAndLeavingBlue)
{
    params_.hook = RecordingHook;
    HWND dialog = nullptr, link = nullptr;
    POINT onLink = {0, 0}, onButton = {0, 0};
    std::vector<COLORREF> before, hot, after;
    HCURSOR cursorOnLink = nullptr, cursorOnButton = nullptr, cursorBefore = nullptr;
    int stateOnLink = -1;
    size_t codesBefore = 0;

    DialogScript script;
    script.Add(WaitForDialog(&dialog, caption_.c_str(), IDC_ABOUT_URL));
    script.Add(Do([&] {
        link = GetDlgItem(dialog, IDC_ABOUT_URL);
        RECT r;
        GetWindowRect(link, &r);
        onLink = POINT{r.left + 10, (r.top + r.bottom) / 2};
        onButton = CentreOf(GetDlgItem(dialog, IDOK));
        SendMouseTo(onButton);
    }));
    script.Add([&] { return CursorIsAt(onButton) && LinkLabel_GetState(link) == LINKLABEL_NORMAL; });
    script.Add(Settled());
    script.Add(Do([&] {
        before = Pixels(link);
        cursorBefore = GetCursor();
        codesBefore = g_hook.linkCodes.size();
        SendMouseTo(onLink);
    }));
    script.Add([&] { return CursorIsAt(onLink) && LinkLabel_GetState(link) == LINKLABEL_HOT; });
    script.Add(Settled());
    script.Add(Do([&] {
        stateOnLink = LinkLabel_GetState(link);
        cursorOnLink = GetCursor();
        hot = Pixels(link);
        SendMouseTo(onButton);
    }));
    script.Add([&] { return CursorIsAt(onButton) && LinkLabel_GetState(link) == LINKLABEL_NORMAL; });
    script.Add(Settled());
    script.Add(Do([&] {
        cursorOnButton = GetCursor();
        after = Pixels(link);
    }));
    script.Add(Do([&] { PostButton(dialog, IDOK); }));
    RunDialogScript(&script, [&] { return Open(); });

    EXPECT_GT(Count(before, LINK_BLUE), 0);
    EXPECT_EQ(Count(before, LINK_RED), 0);
    EXPECT_NE(cursorBefore, params_.linkCursor);
    g_hook.linkCodes.erase(g_hook.linkCodes.begin(), g_hook.linkCodes.begin() + static_cast<long>(codesBefore));
    EXPECT_EQ(stateOnLink, LINKLABEL_HOT);
    EXPECT_GT(Count(hot, LINK_RED), 0);
    EXPECT_EQ(Count(hot, LINK_BLUE), 0);
    EXPECT_GT(Count(after, LINK_BLUE), 0);
    EXPECT_EQ(Count(after, LINK_RED), 0);
    EXPECT_GT(CountOf(g_hook.linkCodes, LLN_MOUSEOVER), 0);
    EXPECT_GT(CountOf(g_hook.linkCodes, LLN_MOUSELEAVE), 0);
    EXPECT_EQ(CountOf(g_hook.linkCodes, LLN_CLICK), 0);
    ASSERT_NE(params_.linkCursor, nullptr);
    EXPECT_EQ(cursorOnLink, params_.linkCursor);
    EXPECT_EQ(cursorOnButton, LoadCursor(nullptr, IDC_ARROW));
    EXPECT_TRUE(g_opened.addresses.empty());
}

// The box's own answer to WM_SETCURSOR: the hand over a link, nothing said
// elsewhere, so the usual cursor comes.
TEST_F(AboutBox, SetCursorAnswersOnlyForTheLink)
{
    HWND dialog = nullptr;
    LRESULT overLink = 0, overText = 1;
    LONG_PTR linkResult = 0;
    HCURSOR afterLink = nullptr, afterText = nullptr;
    DialogScript script;
    script.Add(WaitForDialog(&dialog, caption_.c_str(), IDC_ABOUT_URL));
    script.Add(Do([&] {
        HWND link = GetDlgItem(dialog, IDC_ABOUT_URL);
        HWND text = GetDlgItem(dialog, IDC_ABOUT_VERSION);
        SetCursor(LoadCursor(nullptr, IDC_WAIT));
        overLink = SendMessageA(dialog, WM_SETCURSOR, reinterpret_cast<WPARAM>(link), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        linkResult = GetWindowLongPtrA(dialog, DWLP_MSGRESULT);
        afterLink = GetCursor();
        SetCursor(LoadCursor(nullptr, IDC_WAIT));
        overText = SendMessageA(dialog, WM_SETCURSOR, reinterpret_cast<WPARAM>(text), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        afterText = GetCursor();
    }));
    script.Add(Do([&] { PostButton(dialog, IDOK); }));
    RunDialogScript(&script, [&] { return Open(); });
    EXPECT_EQ(overLink, TRUE);
    EXPECT_EQ(linkResult, TRUE);
    EXPECT_EQ(afterLink, params_.linkCursor);
    EXPECT_EQ(overText, FALSE);
    EXPECT_NE(afterText, params_.linkCursor);
}

// A real click on the site link opens the site through the opener and ends
// the box with 1.
TEST_F(AboutBox, ClickOnTheSiteLinkOpensItAndCloses)
{
    params_.hook = RecordingHook;
    HWND dialog = nullptr;
    POINT onLink = {0, 0};
    DialogScript script;
    script.Add(WaitForDialog(&dialog, caption_.c_str(), IDC_ABOUT_URL));
    script.Add(Do([&] {
        RECT r;
        GetWindowRect(GetDlgItem(dialog, IDC_ABOUT_URL), &r);
        onLink = POINT{r.left + 10, (r.top + r.bottom) / 2};
        SendMouseTo(onLink);
    }));
    script.Add([&] { return CursorIsAt(onLink); });
    script.Add(Settled());
    script.Add(Do([&] {
        SendMouse(MOUSEEVENTF_LEFTDOWN);
        SendMouse(MOUSEEVENTF_LEFTUP);
    }));
    EXPECT_EQ(RunDialogScript(&script, [&] { return Open(); }), IDOK);
    ASSERT_EQ(g_opened.addresses.size(), 1u);
    EXPECT_EQ(g_opened.addresses[0], ABOUT_SITE_URL);
    EXPECT_EQ(g_opened.dialogs[0], dialog);
    EXPECT_EQ(CountOf(g_hook.linkCodes, LLN_CLICK), 1);
    EXPECT_FALSE(IsWindow(dialog));
}

// The mail link, switched on in place of the resources line: its own font
// and tip, the hand over it, and a click that opens the mail target and
// leaves the box open.
TEST_F(AboutBox, MailLinkOpensItsTargetAndKeepsTheBoxOpen)
{
    const char mail[] = "mailto:author@tamarin-clipboard.example";
    params_.flags = (params_.flags & ~ABF_RESOURCES) | ABF_MAIL;
    params_.mailId = IDC_ABOUT_RESOURCES;
    params_.mail = mail;
    params_.hook = RecordingHook;
    HWND dialog = nullptr, mailLink = nullptr, siteLink = nullptr;
    POINT onMail = {0, 0};
    std::string mailText;
    std::map<HWND, std::string> tips;
    HFONT mailFont = nullptr;
    bool underlined = false, openAfterClick = false;
    LRESULT cursorAnswer = 0;
    HCURSOR cursorOnMail = nullptr;

    DialogScript script;
    script.Add(WaitForDialog(&dialog, caption_.c_str(), IDC_ABOUT_URL));
    script.Add(Do([&] {
        mailLink = GetDlgItem(dialog, IDC_ABOUT_RESOURCES);
        siteLink = GetDlgItem(dialog, IDC_ABOUT_URL);
        mailText = WindowText(mailLink);
        tips = ToolTips(dialog, nullptr);
        mailFont = static_cast<HFONT>(GetPropA(dialog, ABPROP_FONTMAIL));
        LOGFONTA font;
        underlined = mailFont && reinterpret_cast<HFONT>(SendMessageA(mailLink, WM_GETFONT, 0, 0)) == mailFont &&
                     GetObjectA(mailFont, sizeof font, &font) && font.lfUnderline;
        SetCursor(LoadCursor(nullptr, IDC_WAIT));
        cursorAnswer = SendMessageA(mailLink, WM_SETCURSOR, reinterpret_cast<WPARAM>(mailLink),
                                    MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        cursorOnMail = GetCursor();
        RECT r;
        GetWindowRect(mailLink, &r);
        onMail = POINT{r.left + 10, (r.top + r.bottom) / 2};
        SendMouseTo(onMail);
    }));
    script.Add([&] { return CursorIsAt(onMail); });
    script.Add(Settled());
    script.Add(Do([&] {
        SendMouse(MOUSEEVENTF_LEFTDOWN);
        SendMouse(MOUSEEVENTF_LEFTUP);
    }));
    script.Add([&] { return !g_opened.addresses.empty(); });
    script.Add(Settled());
    script.Add(Do([&] {
        openAfterClick = IsWindow(dialog) && IsWindowVisible(dialog);
        PostButton(dialog, IDOK);
    }));
    EXPECT_EQ(RunDialogScript(&script, [&] { return Open(); }), IDOK);

    EXPECT_EQ(mailText, mail);
    ASSERT_EQ(tips.size(), 2u);
    EXPECT_EQ(tips[siteLink], TIP_SITE);
    EXPECT_EQ(tips[mailLink], TIP_MAIL);
    EXPECT_TRUE(underlined);
    EXPECT_TRUE(cursorAnswer);
    EXPECT_EQ(cursorOnMail, params_.linkCursor);
    ASSERT_EQ(g_opened.addresses.size(), 1u);
    EXPECT_EQ(g_opened.addresses[0], mail);
    EXPECT_TRUE(openAfterClick);
    EXPECT_FALSE(g_hook.fontPropsAtNcDestroy);
    EXPECT_EQ(GetObjectType(mailFont), 0u);
}

// ---------------------------------------------------------------- ways out

TEST_F(AboutBox, EscapeAndTheCloseBoxEndWithTwo)
{
    HWND dialog = nullptr;
    DialogScript escape;
    escape.Add(WaitForDialog(&dialog, caption_.c_str(), IDC_ABOUT_URL));
    escape.Add(Do([&] { PostMessageA(GetDlgItem(dialog, IDOK), WM_KEYDOWN, VK_ESCAPE, 0); }));
    EXPECT_EQ(RunDialogScript(&escape, [&] { return Open(); }), IDCANCEL);

    DialogScript close;
    close.Add(WaitForDialog(&dialog, caption_.c_str(), IDC_ABOUT_URL));
    close.Add(Do([&] { PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); }));
    EXPECT_EQ(RunDialogScript(&close, [&] { return Open(); }), IDCANCEL);
    EXPECT_TRUE(g_opened.addresses.empty());
}

// A hook that claims OK keeps the box open; the box goes on Cancel.
TEST_F(AboutBox, HookSeesEveryMessageFirst)
{
    params_.hook = RecordingHook;
    g_hook.swallowOk = true;
    HWND dialog = nullptr;
    bool openAfterOk = false;
    DialogScript script;
    script.Add(WaitForDialog(&dialog, caption_.c_str(), IDC_ABOUT_URL));
    script.Add(Do([&] { PostButton(dialog, IDOK); }));
    script.Add(Settled());
    script.Add(Do([&] {
        openAfterOk = IsWindow(dialog) != FALSE;
        PostButton(dialog, IDCANCEL);
    }));
    EXPECT_EQ(RunDialogScript(&script, [&] { return Open(); }), IDCANCEL);
    EXPECT_TRUE(g_hook.initSeen);
    EXPECT_EQ(g_hook.dialog, dialog);
    EXPECT_TRUE(openAfterOk);
}

// ---------------------------------------------------------------- one at a time

BOOL CALLBACK CountAboutBoxes(HWND window, LPARAM data)
{
    if (IsDialogClass(window) && GetDlgItem(window, IDC_ABOUT_URL) && IsWindowVisible(window))
        ++*reinterpret_cast<int*>(data);
    return TRUE;
}

int AboutBoxCount()
{
    int n = 0;
    EnumThreadWindows(GetCurrentThreadId(), CountAboutBoxes, reinterpret_cast<LPARAM>(&n));
    return n;
}

TEST_F(AboutBox, SecondOpeningBringsTheFirstForward)
{
    HWND dialog = nullptr, other = nullptr;
    HWND foregroundBefore = nullptr, foregroundAfter = nullptr;
    INT_PTR second = -5;
    int boxes = 0;
    DialogScript script;
    script.Add(WaitForDialog(&dialog, caption_.c_str(), IDC_ABOUT_URL));
    script.Add(Do([&] {
        other = CreateWindowExA(0, "STATIC", "other", WS_POPUP | WS_VISIBLE | WS_CAPTION, 10, 10, 200, 100, nullptr,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
        SetForegroundWindow(other);
    }));
    script.Add([&] { return GetForegroundWindow() == other; });
    script.Add(Do([&] {
        foregroundBefore = GetForegroundWindow();
        second = Open();
        boxes = AboutBoxCount();
    }));
    script.Add([&] { return GetForegroundWindow() == dialog; });
    script.Add(Do([&] {
        foregroundAfter = GetForegroundWindow();
        DestroyWindow(other);
        PostButton(dialog, IDOK);
    }));
    EXPECT_EQ(RunDialogScript(&script, [&] { return Open(); }), IDOK);
    EXPECT_EQ(second, 0);
    EXPECT_EQ(boxes, 1);
    EXPECT_EQ(foregroundBefore, other);
    EXPECT_EQ(foregroundAfter, dialog);

    // Closed, the box can be opened again.
    HWND again = nullptr;
    DialogScript reopen;
    reopen.Add(WaitForDialog(&again, caption_.c_str(), IDC_ABOUT_URL));
    reopen.Add(Do([&] { PostButton(again, IDOK); }));
    EXPECT_EQ(RunDialogScript(&reopen, [&] { return Open(); }), IDOK);
    EXPECT_NE(again, nullptr);
}

}  // namespace
