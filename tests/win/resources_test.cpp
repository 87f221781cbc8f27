// Checks the resources compiled into tamarin.exe: the two tray popup menus
// item by item and byte for byte, the icons in their tray roles, and the
// version block that the about box reads. The resources exist only in
// tamarin.exe, so the tests load that file as data, and skip when it has not
// been built.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

#include "resources/resource.h"
#include "win/dialogdriver.h"

namespace {

typedef TamarinDialogTest Resources;

// ---------------------------------------------------------------- menus

struct MenuRow {
    UINT id;           // 0 for a separator
    const char* text;  // null for a separator
    bool grayed;
};

struct ReadItem {
    UINT type;
    UINT id;
    UINT state;
    char text[260];
    UINT textLen;
};

ReadItem ReadMenuItem(HMENU menu, int pos)
{
    ReadItem item = {};
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STATE | MIIM_STRING;
    info.dwTypeData = item.text;
    info.cch = sizeof item.text;
    EXPECT_TRUE(GetMenuItemInfoA(menu, pos, TRUE, &info)) << "position " << pos;
    item.type = info.fType;
    item.id = info.wID;
    item.state = info.fState;
    item.textLen = info.cch;
    return item;
}

void ExpectMenuItems(HMENU popup, const MenuRow* rows, int count)
{
    ASSERT_EQ(GetMenuItemCount(popup), count);
    for (int pos = 0; pos < count; pos++) {
        ReadItem item = ReadMenuItem(popup, pos);
        const MenuRow& row = rows[pos];
        if (!row.text) {
            EXPECT_TRUE(item.type & MFT_SEPARATOR) << "position " << pos;
            continue;
        }
        EXPECT_FALSE(item.type & MFT_SEPARATOR) << "position " << pos;
        EXPECT_EQ(item.id, row.id) << "position " << pos;
        EXPECT_EQ((item.state & MF_GRAYED) != 0, row.grayed) << "position " << pos;
        EXPECT_EQ(item.state & ~static_cast<UINT>(MF_GRAYED | MF_DISABLED), 0u) << "position " << pos;
        EXPECT_EQ(item.textLen, strlen(row.text)) << "position " << pos;
        EXPECT_STREQ(item.text, row.text) << "position " << pos;
    }
}

// The menu bar item that holds the popup: its text, and the popup.
HMENU ExpectSinglePopup(HMENU menu, const char* text)
{
    EXPECT_EQ(GetMenuItemCount(menu), 1);
    char got[260] = "";
    GetMenuStringA(menu, 0, got, sizeof got, MF_BYPOSITION);
    EXPECT_STREQ(got, text);
    return GetSubMenu(menu, 0);
}

TEST_F(Resources, TextMenuIsAPopupWithOneGrayedPlaceholder)
{
    static const MenuRow rows[] = {
        {40007, "\x81\x69\x82\xc8\x82\xb5\x81\x6a", true},  // （なし）
    };
    HMENU menu = LoadMenuA(module_, MAKEINTRESOURCEA(147));
    ASSERT_NE(menu, nullptr);
    HMENU popup = ExpectSinglePopup(menu, "\x83\x65\x83\x4c\x83\x58\x83\x67\x88\xea\x97\x97");  // テキスト一覧
    ASSERT_NE(popup, nullptr);
    ExpectMenuItems(popup, rows, sizeof rows / sizeof rows[0]);
    DestroyMenu(menu);
}

TEST_F(Resources, CommandMenuHoldsTheCommandsInOrder)
{
    static const MenuRow rows[] = {
        {40054, "\x97\x9a\x97\xf0\x8b\x40\x94\x5c\x82\xcc\x97\x98\x97\x70(&Y)", false},  // 履歴機能の利用(&Y)
        {0, nullptr, false},
        {40050, "\x97\x9a\x97\xf0\x82\xcc\x83\x4e\x83\x8a\x83\x41(&C)", false},  // 履歴のクリア(&C)
        {40055, "\xb8\xd8\xaf\xcc\xdf\xce\xde\xb0\xc4\xde\x82\xcc\xb8\xd8\xb1(&L)", false},  // ｸﾘｯﾌﾟﾎﾞｰﾄﾞのｸﾘｱ(&L)
        {40045, "\x93\xfa\x8e\x9e\x82\xcc\x8e\xe6\x93\xbe(&D)", false},  // 日時の取得(&D)
        {40034, "\x82\x68\x82\x6f\x83\x41\x83\x68\x83\x8c\x83\x58\x82\xcc\x8e\xe6\x93\xbe(&I)", false},  // ＩＰアドレスの取得(&I)
        {0, nullptr, false},
        {40031, "\xc3\xb7\xbd\xc4\x82\xcc\x93\x6f\x98\x5e(&T)...", false},  // ﾃｷｽﾄの登録(&T)...
        {40049, "\x93\x6f\x98\x5e\xc3\xb7\xbd\xc4\x82\xcc\x95\xd2\x8f\x57(&R)...", false},  // 登録ﾃｷｽﾄの編集(&R)...
        {40004, "\x83\x7a\x83\x62\x83\x67\x83\x4c\x81\x5b\x82\xcc\x90\xdd\x92\xe8(&H)", false},  // ホットキーの設定(&H)
        {40003, "\x90\xdd\x92\xe8\x82\xcc\x95\xcf\x8d\x58(&S)...", false},  // 設定の変更(&S)...
        {0, nullptr, false},
        {40070, "\x83\x65\x83\x4c\x83\x58\x83\x67\x82\xcc\x8c\x9f\x8d\xf5(&F)...", false},  // テキストの検索(&F)...
        {40071, "\x8a\x67\x92\xa3\x90\xdd\x92\xe8(&X)...", false},  // 拡張設定(&X)...
        {0, nullptr, false},
        {40002, "About(&A)", false},
        {40001, "\x8f\x49\x97\xb9(&Q)", false},  // 終了(&Q)
    };
    HMENU menu = LoadMenuA(module_, MAKEINTRESOURCEA(131));
    ASSERT_NE(menu, nullptr);
    HMENU popup = ExpectSinglePopup(menu, "\x83\x52\x83\x7d\x83\x93\x83\x68\x88\xea\x97\x97");  // コマンド一覧
    ASSERT_NE(popup, nullptr);
    ExpectMenuItems(popup, rows, sizeof rows / sizeof rows[0]);
    DestroyMenu(menu);
}

// ---------------------------------------------------------------- icons

#pragma pack(push, 2)
struct GroupIconEntry {
    BYTE width;
    BYTE height;
    BYTE colorCount;
    BYTE reserved;
    WORD planes;
    WORD bitCount;
    DWORD bytesInRes;
    WORD id;
};
struct GroupIconDir {
    WORD reserved;
    WORD type;
    WORD count;
    GroupIconEntry entries[1];
};
#pragma pack(pop)

const GroupIconDir* LoadGroup(HMODULE module, int id)
{
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(14));  // RT_GROUP_ICON
    if (!found)
        return nullptr;
    HGLOBAL data = LoadResource(module, found);
    return data ? static_cast<const GroupIconDir*>(LockResource(data)) : nullptr;
}

// The raw image (BITMAPINFOHEADER, pixels, mask) of one size of an icon group.
const BYTE* LoadIconImage(HMODULE module, int groupId, int size, DWORD* bytes)
{
    const GroupIconDir* dir = LoadGroup(module, groupId);
    if (!dir)
        return nullptr;
    for (int i = 0; i < dir->count; i++) {
        const GroupIconEntry& e = dir->entries[i];
        if (e.width != size || e.height != size)
            continue;
        HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(e.id), MAKEINTRESOURCEA(3));  // RT_ICON
        if (!found)
            return nullptr;
        *bytes = SizeofResource(module, found);
        return static_cast<const BYTE*>(LockResource(LoadResource(module, found)));
    }
    return nullptr;
}

// Base icon with the history on, animation frames 1 to 3, base icon with the
// history off: the ids the tray code loads.
const int kTrayIcons[] = {137, 138, 139, 140, 152};
const int kTrayOff = 152;

TEST_F(Resources, TrayIconsLoadAtSixteenPixels)
{
    for (int id : kTrayIcons) {
        HICON icon = static_cast<HICON>(LoadImageA(module_, MAKEINTRESOURCEA(id), IMAGE_ICON, 16, 16, 0));
        ASSERT_NE(icon, nullptr) << "icon " << id;
        ICONINFO info = {};
        ASSERT_TRUE(GetIconInfo(icon, &info)) << "icon " << id;
        BITMAP bm = {};
        ASSERT_TRUE(info.hbmColor != nullptr) << "icon " << id;
        GetObjectA(info.hbmColor, sizeof bm, &bm);
        EXPECT_EQ(bm.bmWidth, 16) << "icon " << id;
        EXPECT_EQ(bm.bmHeight, 16) << "icon " << id;
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        DestroyIcon(icon);
    }
}

TEST_F(Resources, EveryIconHasSixteenAndThirtyTwoPixelImagesWithAlpha)
{
    static const int ids[] = {IDI_PROGRAM, 137, 138, 139, 140, 152};
    for (int id : ids) {
        for (int size : {16, 32}) {
            DWORD bytes = 0;
            const BYTE* image = LoadIconImage(module_, id, size, &bytes);
            ASSERT_NE(image, nullptr) << "icon " << id << " size " << size;
            ASSERT_GE(bytes, sizeof(BITMAPINFOHEADER));
            BITMAPINFOHEADER header;
            memcpy(&header, image, sizeof header);
            EXPECT_EQ(header.biWidth, size);
            EXPECT_EQ(header.biHeight, size * 2);  // colour image plus mask
            EXPECT_EQ(header.biBitCount, 32);
            DWORD maskStride = ((size + 31) / 32) * 4;
            EXPECT_EQ(bytes, sizeof header + size * size * 4u + maskStride * size);
        }
    }
}

struct FirstName {
    bool seen;
    bool numeric;
    ULONG_PTR id;
};

BOOL CALLBACK TakeFirstName(HMODULE, LPCSTR, LPSTR name, LONG_PTR param)
{
    FirstName* first = reinterpret_cast<FirstName*>(param);
    first->seen = true;
    first->numeric = IS_INTRESOURCE(name);
    first->id = reinterpret_cast<ULONG_PTR>(name);
    return FALSE;
}

TEST_F(Resources, ProgramIconIsTheFirstIconGroup)
{
    // The shell and SHGetFileInfoA show the first icon group of the file.
    FirstName first = {};
    EnumResourceNamesA(module_, MAKEINTRESOURCEA(14), TakeFirstName, reinterpret_cast<LONG_PTR>(&first));
    ASSERT_TRUE(first.seen);
    EXPECT_TRUE(first.numeric);
    EXPECT_EQ(first.id, static_cast<ULONG_PTR>(IDI_PROGRAM));
    HICON icon = ExtractIconA(GetModuleHandleA(nullptr), exe_, 0);
    EXPECT_NE(icon, nullptr);
    if (icon)
        DestroyIcon(icon);
}

TEST_F(Resources, TrayIconsAreDistinctPictures)
{
    // Base, three frames and the history-off icon must all differ, or the
    // animation would stand still or the off state not show.
    const BYTE* images[5];
    DWORD sizes[5];
    for (int i = 0; i < 5; i++) {
        images[i] = LoadIconImage(module_, kTrayIcons[i], 16, &sizes[i]);
        ASSERT_NE(images[i], nullptr);
    }
    for (int i = 0; i < 5; i++) {
        for (int j = i + 1; j < 5; j++) {
            bool same = sizes[i] == sizes[j] && memcmp(images[i], images[j], sizes[i]) == 0;
            EXPECT_FALSE(same) << "icons " << kTrayIcons[i] << " and " << kTrayIcons[j];
        }
    }
}

// Pixels of a 32-bit icon image that are opaque and strongly red.
int CountRedPixels(const BYTE* image, int size)
{
    const BYTE* px = image + sizeof(BITMAPINFOHEADER);
    int count = 0;
    for (int i = 0; i < size * size; i++) {
        BYTE b = px[i * 4], g = px[i * 4 + 1], r = px[i * 4 + 2], a = px[i * 4 + 3];
        if (a > 200 && r > 180 && g < 80 && b < 80)
            count++;
    }
    return count;
}

TEST_F(Resources, HistoryOffIconCarriesARedBarTheOthersLack)
{
    for (int id : kTrayIcons) {
        DWORD bytes = 0;
        const BYTE* image = LoadIconImage(module_, id, 16, &bytes);
        ASSERT_NE(image, nullptr);
        if (id == kTrayOff)
            EXPECT_GE(CountRedPixels(image, 16), 12) << "icon " << id;
        else
            EXPECT_EQ(CountRedPixels(image, 16), 0) << "icon " << id;
    }
}

// ---------------------------------------------------------------- version

class VersionInfo : public Resources {
protected:
    void SetUp() override
    {
        Resources::SetUp();
        if (IsSkipped())
            return;
        DWORD handle = 0;
        DWORD size = GetFileVersionInfoSizeA(exe_, &handle);
        ASSERT_GT(size, 0u);
        block_ = new char[size];
        ASSERT_TRUE(GetFileVersionInfoA(exe_, 0, size, block_));
        WORD* translation = nullptr;
        UINT len = 0;
        ASSERT_TRUE(VerQueryValueA(block_, "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &len));
        ASSERT_GE(len, 4u);
        language_ = translation[0];
        codePage_ = translation[1];
    }
    void TearDown() override { delete[] block_; }

    // A string as the about box asks for it: language and code page of the
    // first translation, in lower-case hexadecimal.
    const char* String(const char* name)
    {
        char query[128];
        snprintf(query, sizeof query, "\\StringFileInfo\\%04x%04x\\%s", language_, codePage_, name);
        char* value = nullptr;
        UINT len = 0;
        if (!VerQueryValueA(block_, query, reinterpret_cast<void**>(&value), &len) || !value)
            return nullptr;
        return value;
    }

    char* block_ = nullptr;
    WORD language_ = 0;
    WORD codePage_ = 0;
};

TEST_F(VersionInfo, FirstTranslationIsJapaneseInCodePage932)
{
    EXPECT_EQ(language_, 0x0411);
    EXPECT_EQ(codePage_, 932);
}

TEST_F(VersionInfo, AboutBoxStringsArePresent)
{
    ASSERT_NE(String("ProductName"), nullptr);
    EXPECT_STREQ(String("ProductName"), "Tamarin");
    ASSERT_NE(String("ProductVersion"), nullptr);
    EXPECT_STREQ(String("ProductVersion"), "1.0.0.0");
    for (const char* name : {"CompanyName", "LegalCopyright"}) {
        const char* value = String(name);
        ASSERT_NE(value, nullptr) << name;
        EXPECT_GT(strlen(value), 0u) << name;
    }
    ASSERT_NE(String("FileDescription"), nullptr);
    EXPECT_STREQ(String("FileDescription"),
                 "Tamarin \x83\x4e\x83\x8a\x83\x62\x83\x76\x83\x7b\x81\x5b\x83\x68"
                 "\x97\x9a\x97\xf0\x83\x63\x81\x5b\x83\x8b");  // Tamarin クリップボード履歴ツール
}

TEST_F(VersionInfo, FixedVersionMatchesTheProductVersionString)
{
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT len = 0;
    ASSERT_TRUE(VerQueryValueA(block_, "\\", reinterpret_cast<void**>(&fixed), &len));
    ASSERT_GE(len, sizeof *fixed);
    char text[64];
    snprintf(text, sizeof text, "%u.%u.%u.%u", HIWORD(fixed->dwProductVersionMS), LOWORD(fixed->dwProductVersionMS),
             HIWORD(fixed->dwProductVersionLS), LOWORD(fixed->dwProductVersionLS));
    ASSERT_NE(String("ProductVersion"), nullptr);
    EXPECT_STREQ(String("ProductVersion"), text);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
}

// ---------------------------------------------------------------- scaling

// The widths of the images in an icon group, from its directory.
std::vector<int> IconGroupWidths(HMODULE module, int id)
{
    std::vector<int> widths;
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(14));  // RT_GROUP_ICON
    const BYTE* dir = found ? static_cast<const BYTE*>(LockResource(LoadResource(module, found))) : nullptr;
    if (!dir)
        return widths;
    WORD count = static_cast<WORD>(dir[4] | (dir[5] << 8));
    for (WORD i = 0; i < count; i++) {
        int width = dir[6 + 14 * i];  // GRPICONDIRENTRY: bWidth first, 14 bytes each
        widths.push_back(width ? width : 256);
    }
    return widths;
}

bool Has(const std::vector<int>& widths, int width)
{
    for (int w : widths) {
        if (w == width)
            return true;
    }
    return false;
}

// The small icon is 16, 20, 24 or 32 pixels at 100, 125, 150 or 200 %; the
// large one 32, 40, 48 or 64: each is drawn, not stretched.
TEST_F(Resources, IconsHaveAnImageForEachDisplayScaling)
{
    for (int id : kTrayIcons) {
        std::vector<int> widths = IconGroupWidths(module_, id);
        for (int size : {16, 20, 24, 32})
            EXPECT_TRUE(Has(widths, size)) << "icon " << id << " at " << size;
    }
    std::vector<int> program = IconGroupWidths(module_, IDI_PROGRAM);
    for (int size : {16, 20, 24, 32, 40, 48, 64})
        EXPECT_TRUE(Has(program, size)) << "program icon at " << size;
}

// The manifest, read back from the file: the user's own rights, common
// controls 6, each monitor's own scaling with the system's as the fallback.
TEST_F(Resources, ManifestAsksForUserRightsCommonControlsAndMonitorScaling)
{
    HRSRC found = FindResourceA(module_, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));  // RT_MANIFEST
    ASSERT_NE(found, nullptr);
    const char* bytes = static_cast<const char*>(LockResource(LoadResource(module_, found)));
    ASSERT_NE(bytes, nullptr);
    std::string manifest(bytes, SizeofResource(module_, found));
    auto has = [&](const char* text) { return manifest.find(text) != std::string::npos; };
    EXPECT_TRUE(has("<requestedExecutionLevel level=\"asInvoker\" uiAccess=\"false\"/>"));
    EXPECT_TRUE(has("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""));
    EXPECT_TRUE(has("publicKeyToken=\"6595b64144ccf1df\""));
    EXPECT_TRUE(has(">PerMonitorV2, System</dpiAwareness>"));
    EXPECT_TRUE(has("<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true</dpiAware>"));
    EXPECT_TRUE(has("{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"));  // Windows 10 and 11
    EXPECT_EQ(manifest.find("<?xml"), 0u);
}

}  // namespace
