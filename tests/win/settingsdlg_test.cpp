// The settings dialog, run for real from tamarin.exe's template: its layout,
// loading and storing every control, the history-count refusals, the ways
// out that store nothing, the date-format preview tip, the deletion of the
// history file and the guard against a second opening. Also the pure rules
// behind it: the reading of the count field and the cut of the preview.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <stdio.h>
#include <string.h>

#include <string>

#include "app/mainwnd.h"
#include "dialogs/settingsdlg.h"
#include "resources/dialogs_settings.h"
#include "resources/resource.h"
#include "settings/appinfo.h"
#include "ui/dialogstate.h"
#include "win/dialogdriver.h"

namespace {

// 設定の変更
const char CAPTION[] = "\x90\xdd\x92\xe8\x82\xcc\x95\xcf\x8d\x58";
// 履歴の記憶数が少なすぎます。\n1 以上の値を設定してください。
const char MSG_TOO_FEW_1[] =
    "\x97\x9a\x97\xf0\x82\xcc\x8b\x4c\x89\xaf\x90\x94\x82\xaa\x8f\xad\x82\xc8\x82\xb7\x82\xac\x82\xdc\x82\xb7"
    "\x81\x42\n1 \x88\xc8\x8f\xe3\x82\xcc\x92\x6c\x82\xf0\x90\xdd\x92\xe8\x82\xb5\x82\xc4\x82\xad\x82\xbe\x82\xb3"
    "\x82\xa2\x81\x42";
// 履歴の記憶数が多すぎます。\n4095 以下の値を設定してください。
const char MSG_TOO_MANY_4095[] =
    "\x97\x9a\x97\xf0\x82\xcc\x8b\x4c\x89\xaf\x90\x94\x82\xaa\x91\xbd\x82\xb7\x82\xac\x82\xdc\x82\xb7"
    "\x81\x42\n4095 \x88\xc8\x89\xba\x82\xcc\x92\x6c\x82\xf0\x90\xdd\x92\xe8\x82\xb5\x82\xc4\x82\xad\x82\xbe\x82\xb3"
    "\x82\xa2\x81\x42";
// 保存しますか？
const char MSG_SAVE[] = "\x95\xdb\x91\xb6\x82\xb5\x82\xdc\x82\xb7\x82\xa9\x81\x48";
// 履歴ファイルを削除しますか？
const char MSG_DELETE[] =
    "\x97\x9a\x97\xf0\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xf0\x8d\xed\x8f\x9c\x82\xb5\x82\xdc\x82\xb7\x82\xa9\x81\x48";

// ---------------------------------------------------------------- pure rules

struct CountCase {
    const char* text;
    HistoryCountCheck check;
    int value;  // the count, or the limit the field is corrected to
};

TEST(SettingsDlgRules, HistoryCountText)
{
    const CountCase cases[] = {
        {"1", HISTORY_COUNT_OK, 1},
        {"4095", HISTORY_COUNT_OK, 4095},
        {"30", HISTORY_COUNT_OK, 30},
        {"  12", HISTORY_COUNT_OK, 12},
        {"+7", HISTORY_COUNT_OK, 7},
        {"12abc", HISTORY_COUNT_OK, 12},
        {"0", HISTORY_COUNT_TOO_FEW, 1},
        {"-5", HISTORY_COUNT_TOO_FEW, 1},
        {"", HISTORY_COUNT_TOO_FEW, 1},
        {"abc", HISTORY_COUNT_TOO_FEW, 1},
        {"-", HISTORY_COUNT_TOO_FEW, 1},
        {"4096", HISTORY_COUNT_TOO_MANY, 4095},
        {"99999999999999999999", HISTORY_COUNT_TOO_MANY, 4095},
        {"-99999999999999999999", HISTORY_COUNT_TOO_FEW, 1},
    };
    for (const CountCase& c : cases) {
        int value = -12345;
        EXPECT_EQ(SettingsDlg_CheckHistoryCountText(c.text, &value), c.check) << '"' << c.text << '"';
        EXPECT_EQ(value, c.value) << '"' << c.text << '"';
    }
}

struct PreviewCase {
    std::string format;
    std::string expected;
};

TEST(SettingsDlgRules, DatePreviewIsCutTo79Bytes)
{
    SYSTEMTIME t = {};
    t.wYear = 2004;
    t.wMonth = 3;
    t.wDay = 1;
    t.wHour = 9;
    t.wMinute = 5;
    t.wSecond = 7;
    const PreviewCase cases[] = {
        {"%02H:%02M:%02S %04Y/%02m/%02d", "09:05:07 2004/03/01"},
        {"", ""},
        {std::string(79, 'a'), std::string(79, 'a')},
        {std::string(79, 'a') + "b", std::string(79, 'a')},
        {std::string(78, 'a') + "b", std::string(78, 'a') + "b"},
        // 表 would need bytes 79 and 80: it is left out whole.
        {std::string(78, 'a') + "\x95\x5c", std::string(78, 'a')},
        {std::string(77, 'a') + "\x95\x5c", std::string(77, 'a') + "\x95\x5c"},
        {std::string(75, 'a') + "%04Y", std::string(75, 'a') + "2004"},
        {std::string(76, 'a') + "%04Y", std::string(76, 'a') + "200"},
    };
    for (const PreviewCase& c : cases) {
        char out[80];
        memset(out, 'X', sizeof out);
        SettingsDlg_FormatDatePreview(out, sizeof out, c.format.c_str(), &t);
        EXPECT_EQ(std::string(out), c.expected) << c.format;
    }
}

// ---------------------------------------------------------------- layout

const ExpectedItem SETTINGS_ITEMS[] = {
    // 履歴の記憶数
    {-1, "Static", "\x97\x9a\x97\xf0\x82\xcc\x8b\x4c\x89\xaf\x90\x94", 7, 10, 42, 8, SS_RIGHT, 0, 0},
    {1022, "Edit", "", 53, 7, 50, 14, NO_TYPE, ES_NUMBER | ES_RIGHT | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 0},
    {1025, "msctls_updown32", nullptr, 103, 7, 6, 14, NO_TYPE,
     UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS | UDS_NOTHOUSANDS, 0},
    // 日時の書式
    {-1, "Static", "\x93\xfa\x8e\x9e\x82\xcc\x8f\x91\x8e\xae", 7, 27, 42, 8, SS_RIGHT, 0, 0},
    {1035, "Edit", "", 53, 24, 130, 14, NO_TYPE, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, ES_NUMBER},
    // メニューの配置
    {-1, "Button", "\x83\x81\x83\x6a\x83\x85\x81\x5b\x82\xcc\x94\x7a\x92\x75", 7, 43, 87, 62, BS_GROUPBOX, 0, 0},
    // 登録テキストを上に\n履歴を下に
    {1027, "Button",
     "\x93\x6f\x98\x5e\x83\x65\x83\x4c\x83\x58\x83\x67\x82\xf0\x8f\xe3\x82\xc9\n\x97\x9a\x97\xf0\x82\xf0\x89\xba"
     "\x82\xc9",
     14, 57, 73, 20, BS_AUTORADIOBUTTON, BS_MULTILINE | WS_GROUP, 0},
    // 履歴を上に\n登録テキストを下に
    {1031, "Button",
     "\x97\x9a\x97\xf0\x82\xf0\x8f\xe3\x82\xc9\n\x93\x6f\x98\x5e\x83\x65\x83\x4c\x83\x58\x83\x67\x82\xf0\x89\xba"
     "\x82\xc9",
     14, 77, 73, 20, BS_AUTORADIOBUTTON, BS_MULTILINE, WS_GROUP},
    // 履歴の表示順序
    {-1, "Button", "\x97\x9a\x97\xf0\x82\xcc\x95\x5c\x8e\xa6\x8f\x87\x8f\x98", 102, 43, 81, 62, BS_GROUPBOX, 0, 0},
    // 新しい履歴を上に\n古い履歴を下に
    {1032, "Button",
     "\x90\x56\x82\xb5\x82\xa2\x97\x9a\x97\xf0\x82\xf0\x8f\xe3\x82\xc9\n\x8c\xc3\x82\xa2\x97\x9a\x97\xf0\x82\xf0"
     "\x89\xba\x82\xc9",
     109, 57, 67, 20, BS_AUTORADIOBUTTON, BS_MULTILINE | WS_GROUP, 0},
    // 古い履歴を上に\n新しい履歴を下に
    {1033, "Button",
     "\x8c\xc3\x82\xa2\x97\x9a\x97\xf0\x82\xf0\x8f\xe3\x82\xc9\n\x90\x56\x82\xb5\x82\xa2\x97\x9a\x97\xf0\x82\xf0"
     "\x89\xba\x82\xc9",
     109, 77, 67, 20, BS_AUTORADIOBUTTON, BS_MULTILINE, WS_GROUP},
    // クリップボードの変更をログへ書き出す
    {-1, "Button",
     "\x83\x4e\x83\x8a\x83\x62\x83\x76\x83\x7b\x81\x5b\x83\x68\x82\xcc\x95\xcf\x8d\x58\x82\xf0\x83\x8d\x83\x4f\x82"
     "\xd6\x8f\x91\x82\xab\x8f\x6f\x82\xb7",
     7, 109, 176, 50, BS_GROUPBOX, 0, 0},
    // テキスト (.txt)
    {1042, "Button", "\x83\x65\x83\x4c\x83\x58\x83\x67 (.txt)", 14, 122, 56, 10, BS_AUTOCHECKBOX, 0, 0},
    // イメージ (.bmp)
    {1041, "Button", "\x83\x43\x83\x81\x81\x5b\x83\x57 (.bmp)", 74, 122, 60, 10, BS_AUTOCHECKBOX, 0, 0},
    {1037, "Edit", "", 14, 136, 137, 14, NO_TYPE, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 0},
    // 参照...
    {1039, "Button", "\x8e\x51\x8f\xc6...", 154, 136, 22, 14, BS_PUSHBUTTON, 0, 0},
    {-1, "Button", "Static", 84, 223, 99, 14, BS_GROUPBOX, 0, WS_VISIBLE},
    // 履歴ファイルを利用する
    {1045, "Button", "\x97\x9a\x97\xf0\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xf0\x97\x98\x97\x70\x82\xb7\x82\xe9", 7,
     165, 85, 10, BS_AUTOCHECKBOX, 0, 0},
    // 履歴ファイルの削除
    {1046, "Button", "\x97\x9a\x97\xf0\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xcc\x8d\xed\x8f\x9c", 120, 165, 63, 14,
     BS_PUSHBUTTON, 0, 0},
    // メニューチップを表示する
    {1047, "Button", "\x83\x81\x83\x6a\x83\x85\x81\x5b\x83\x60\x83\x62\x83\x76\x82\xf0\x95\x5c\x8e\xa6\x82\xb7\x82\xe9",
     7, 179, 90, 10, BS_AUTOCHECKBOX, 0, 0},
    // タスクトレイのアイコンをアニメーションさせる
    {1044, "Button",
     "\x83\x5e\x83\x58\x83\x4e\x83\x67\x83\x8c\x83\x43\x82\xcc\x83\x41\x83\x43\x83\x52\x83\x93\x82\xf0\x83\x41\x83"
     "\x6a\x83\x81\x81\x5b\x83\x56\x83\x87\x83\x93\x82\xb3\x82\xb9\x82\xe9",
     7, 193, 144, 10, BS_AUTOCHECKBOX, 0, 0},
    // 定期的にクリップボード監視チェインの修正を試みる
    {1043, "Button",
     "\x92\xe8\x8a\xfa\x93\x49\x82\xc9\x83\x4e\x83\x8a\x83\x62\x83\x76\x83\x7b\x81\x5b\x83\x68\x8a\xc4\x8e\x8b\x83"
     "\x60\x83\x46\x83\x43\x83\x93\x82\xcc\x8f\x43\x90\xb3\x82\xf0\x8e\x8e\x82\xdd\x82\xe9",
     7, 207, 176, 10, BS_AUTOCHECKBOX, 0, 0},
    {1, "Button", "OK", 79, 223, 50, 14, BS_DEFPUSHBUTTON, 0, 0},
    // ｷｬﾝｾﾙ
    {2, "Button", "\xb7\xac\xdd\xbe\xd9", 133, 223, 50, 14, BS_PUSHBUTTON, 0, 0},
};

class SettingsDlg : public TamarinDialogTest {
protected:
    void SetUp() override
    {
        TamarinDialogTest::SetUp();
        if (IsSkipped())
            return;
        MakeTempName(folder_, sizeof folder_, "tamarin_settingsdlg", "");
        CreateDirectoryA(folder_, nullptr);
        snprintf(historyPath_, sizeof historyPath_, "%s\\tamarin.hst", folder_);
    }
    void TearDown() override
    {
        if (!module_)
            return;
        DeleteFileA(historyPath_);
        DeleteFileA(SidePath().c_str());
        RemoveDirectoryA(historyPath_);
        RemoveDirectoryA(folder_);
    }
    bool Open(AppInfo* info) { return SettingsDlg_ShowFrom(module_, nullptr, info, historyPath_); }
    // The side file with the originals of the history's texts.
    std::string SidePath() const { return std::string(historyPath_) + ".utf8"; }

    char folder_[MAX_PATH];
    char historyPath_[MAX_PATH];
};

TEST_F(SettingsDlg, TemplateMatchesTheLayout)
{
    TemplateDialog dialog;
    ASSERT_TRUE(ReadDialogTemplate(module_, IDD_SETTINGS, &dialog));
    EXPECT_EQ(dialog.caption, CAPTION);
    EXPECT_EQ(dialog.font, TEMPLATE_FONT);
    EXPECT_EQ(dialog.pointSize, 9);
    EXPECT_EQ(dialog.cx, 190);
    EXPECT_EQ(dialog.cy, 244);
    DWORD frame = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    EXPECT_EQ(dialog.style & frame, frame);
    EXPECT_EQ(dialog.style & (WS_THICKFRAME | WS_MAXIMIZEBOX | WS_MINIMIZEBOX), 0u);
    const size_t expectedCount = sizeof(SETTINGS_ITEMS) / sizeof(SETTINGS_ITEMS[0]);
    ASSERT_EQ(dialog.items.size(), expectedCount);
    ExpectTemplateItems(dialog, SETTINGS_ITEMS, expectedCount);
}

// ---------------------------------------------------------------- the record

// Two records that differ in every field the dialog edits; the others carry
// values that the dialog must leave alone.
AppInfo MakeInfo(bool variant)
{
    AppInfo info;
    memset(&info, 0, sizeof info);
    info.historyMax = variant ? 4095 : 17;
    info.menuTextChars = 99;
    info.newestFirst = !variant;
    info.registeredFirst = variant;
    info.showMenuTips = !variant;
    info.menuTipChars = 777;
    info.menuPos.x = -5;
    info.menuPos.y = 321;
    info.historyEnabled = false;
    info.useHistoryFile = variant;
    info.animateIcon = !variant;
    info.autoRepairChain = variant;
    info.repairInterval = 45678;
    // C:\ログ\tamarin or D:\logs
    snprintf(info.logFolder, sizeof info.logFolder, "%s", variant ? "C:\\\x83\x8d\x83\x4f\\tamarin" : "D:\\logs");
    info.logText = !variant;
    info.logImage = variant;
    // 日付%04Y年 or the default format
    snprintf(info.dateFormat, sizeof info.dateFormat, "%s",
             variant ? "\x93\xfa\x95\x74%04Y\x94\x4e" : "%02H:%02M:%02S %04Y/%02m/%02d");
    for (int i = 0; i < HOTKEY_COUNT; i++)
        info.hotkeys.slots[i] = HotkeyDef{i % 4, 0x41 + i};
    return info;
}

void ExpectSameInfo(const AppInfo& a, const AppInfo& b)
{
    EXPECT_EQ(a.historyMax, b.historyMax);
    EXPECT_EQ(a.menuTextChars, b.menuTextChars);
    EXPECT_EQ(a.newestFirst, b.newestFirst);
    EXPECT_EQ(a.registeredFirst, b.registeredFirst);
    EXPECT_EQ(a.showMenuTips, b.showMenuTips);
    EXPECT_EQ(a.menuTipChars, b.menuTipChars);
    EXPECT_EQ(a.menuPos.x, b.menuPos.x);
    EXPECT_EQ(a.menuPos.y, b.menuPos.y);
    EXPECT_EQ(a.historyEnabled, b.historyEnabled);
    EXPECT_EQ(a.useHistoryFile, b.useHistoryFile);
    EXPECT_EQ(a.animateIcon, b.animateIcon);
    EXPECT_EQ(a.autoRepairChain, b.autoRepairChain);
    EXPECT_EQ(a.repairInterval, b.repairInterval);
    EXPECT_STREQ(a.logFolder, b.logFolder);
    EXPECT_EQ(a.logText, b.logText);
    EXPECT_EQ(a.logImage, b.logImage);
    EXPECT_STREQ(a.dateFormat, b.dateFormat);
    for (int i = 0; i < HOTKEY_COUNT; i++) {
        EXPECT_EQ(a.hotkeys.slots[i].modifiers, b.hotkeys.slots[i].modifiers);
        EXPECT_EQ(a.hotkeys.slots[i].vk, b.hotkeys.slots[i].vk);
    }
}

// What the dialog's controls show.
struct Shown {
    std::string count;
    int spin = -1;
    std::string dateFormat;
    std::string logFolder;
    bool registeredFirst = false, historyFirst = false, newestFirst = false, oldestFirst = false;
    bool logText = false, logImage = false, useHistoryFile = false, menuTips = false, animate = false, repair = false;
};

bool Checked(HWND dialog, int id)
{
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

Shown ReadShown(HWND dialog)
{
    Shown s;
    s.count = ItemText(dialog, IDC_SET_HISTORYMAX);
    s.spin = LOWORD(SendDlgItemMessageA(dialog, IDC_SET_HISTORYSPIN, UDM_GETPOS, 0, 0));
    s.dateFormat = ItemText(dialog, IDC_SET_DATEFORMAT);
    s.logFolder = ItemText(dialog, IDC_SET_LOGFOLDER);
    s.registeredFirst = Checked(dialog, IDC_SET_REGISTEREDFIRST);
    s.historyFirst = Checked(dialog, IDC_SET_HISTORYFIRST);
    s.newestFirst = Checked(dialog, IDC_SET_NEWESTFIRST);
    s.oldestFirst = Checked(dialog, IDC_SET_OLDESTFIRST);
    s.logText = Checked(dialog, IDC_SET_LOGTEXT);
    s.logImage = Checked(dialog, IDC_SET_LOGIMAGE);
    s.useHistoryFile = Checked(dialog, IDC_SET_USEHISTORYFILE);
    s.menuTips = Checked(dialog, IDC_SET_MENUTIPS);
    s.animate = Checked(dialog, IDC_SET_ANIMATEICON);
    s.repair = Checked(dialog, IDC_SET_REPAIRCHAIN);
    return s;
}

void SetCheck(HWND dialog, int id, bool on)
{
    CheckDlgButton(dialog, id, on ? BST_CHECKED : BST_UNCHECKED);
}

// Puts every edited setting of a record into the controls, as a user would
// leave them.
void Enter(HWND dialog, const AppInfo& info)
{
    char count[16];
    snprintf(count, sizeof count, "%d", info.historyMax);
    SetDlgItemTextA(dialog, IDC_SET_HISTORYMAX, count);
    SetDlgItemTextA(dialog, IDC_SET_DATEFORMAT, info.dateFormat);
    SetDlgItemTextA(dialog, IDC_SET_LOGFOLDER, info.logFolder);
    SetCheck(dialog, IDC_SET_REGISTEREDFIRST, info.registeredFirst);
    SetCheck(dialog, IDC_SET_HISTORYFIRST, !info.registeredFirst);
    SetCheck(dialog, IDC_SET_NEWESTFIRST, info.newestFirst);
    SetCheck(dialog, IDC_SET_OLDESTFIRST, !info.newestFirst);
    SetCheck(dialog, IDC_SET_LOGTEXT, info.logText);
    SetCheck(dialog, IDC_SET_LOGIMAGE, info.logImage);
    SetCheck(dialog, IDC_SET_USEHISTORYFILE, info.useHistoryFile);
    SetCheck(dialog, IDC_SET_MENUTIPS, info.showMenuTips);
    SetCheck(dialog, IDC_SET_ANIMATEICON, info.animateIcon);
    SetCheck(dialog, IDC_SET_REPAIRCHAIN, info.autoRepairChain);
}

// The record as OK should leave it: the edited fields from edited, the rest
// from original.
AppInfo Merge(const AppInfo& original, const AppInfo& edited)
{
    AppInfo out = original;
    out.historyMax = edited.historyMax;
    memcpy(out.dateFormat, edited.dateFormat, sizeof out.dateFormat);
    memcpy(out.logFolder, edited.logFolder, sizeof out.logFolder);
    out.registeredFirst = edited.registeredFirst;
    out.newestFirst = edited.newestFirst;
    out.logText = edited.logText;
    out.logImage = edited.logImage;
    out.useHistoryFile = edited.useHistoryFile;
    out.showMenuTips = edited.showMenuTips;
    out.animateIcon = edited.animateIcon;
    out.autoRepairChain = edited.autoRepairChain;
    return out;
}

TEST_F(SettingsDlg, EveryControlLoadsFromTheRecord)
{
    for (bool variant : {false, true}) {
        SCOPED_TRACE(variant ? "variant 1" : "variant 0");
        AppInfo info = MakeInfo(variant);
        HWND dialog = nullptr;
        Shown shown;
        void* param = nullptr;
        DialogScript script;
        script.Add(WaitForDialog(&dialog, CAPTION, IDC_SET_HISTORYMAX));
        script.Add(Do([&]() {
            shown = ReadShown(dialog);
            param = GetPropA(dialog, PROP_DIALOGPARAM);
            PostButton(dialog, IDCANCEL);
        }));
        EXPECT_FALSE(RunDialogScript(&script, [&]() { return Open(&info); }));
        EXPECT_EQ(param, &info);
        char count[16];
        snprintf(count, sizeof count, "%d", info.historyMax);
        EXPECT_EQ(shown.count, count);
        EXPECT_EQ(shown.spin, info.historyMax);
        EXPECT_EQ(shown.dateFormat, info.dateFormat);
        EXPECT_EQ(shown.logFolder, info.logFolder);
        EXPECT_EQ(shown.registeredFirst, info.registeredFirst);
        EXPECT_EQ(shown.historyFirst, !info.registeredFirst);
        EXPECT_EQ(shown.newestFirst, info.newestFirst);
        EXPECT_EQ(shown.oldestFirst, !info.newestFirst);
        EXPECT_EQ(shown.logText, info.logText);
        EXPECT_EQ(shown.logImage, info.logImage);
        EXPECT_EQ(shown.useHistoryFile, info.useHistoryFile);
        EXPECT_EQ(shown.menuTips, info.showMenuTips);
        EXPECT_EQ(shown.animate, info.animateIcon);
        EXPECT_EQ(shown.repair, info.autoRepairChain);
        ExpectSameInfo(info, MakeInfo(variant));
    }
}

TEST_F(SettingsDlg, OkStoresEveryControl)
{
    for (bool variant : {false, true}) {
        SCOPED_TRACE(variant ? "to variant 1" : "to variant 0");
        AppInfo info = MakeInfo(!variant);
        const AppInfo edited = MakeInfo(variant);
        HWND dialog = nullptr;
        DialogScript script;
        script.Add(WaitForDialog(&dialog, CAPTION, IDC_SET_HISTORYMAX));
        script.Add(Do([&]() {
            Enter(dialog, edited);
            PostButton(dialog, IDOK);
        }));
        EXPECT_TRUE(RunDialogScript(&script, [&]() { return Open(&info); }));
        ExpectSameInfo(info, Merge(MakeInfo(!variant), edited));
    }
}

TEST_F(SettingsDlg, LongTextsAreCutWithoutSplittingACharacter)
{
    AppInfo info = MakeInfo(false);
    // 表 would take bytes 1023 and 1024 of the format: it is left out whole.
    const std::string format = std::string(1022, 'f') + "\x95\x5c" + "tail";
    const std::string folder = std::string(300, 'd');
    HWND dialog = nullptr;
    DialogScript script;
    script.Add(WaitForDialog(&dialog, CAPTION, IDC_SET_HISTORYMAX));
    script.Add(Do([&]() {
        SetDlgItemTextA(dialog, IDC_SET_DATEFORMAT, format.c_str());
        SetDlgItemTextA(dialog, IDC_SET_LOGFOLDER, folder.c_str());
        PostButton(dialog, IDOK);
    }));
    EXPECT_TRUE(RunDialogScript(&script, [&]() { return Open(&info); }));
    EXPECT_EQ(std::string(info.dateFormat), std::string(1022, 'f'));
    EXPECT_EQ(std::string(info.logFolder), std::string(260, 'd'));
}

TEST_F(SettingsDlg, CountLimitsAreAccepted)
{
    for (int count : {1, 4095}) {
        AppInfo info = MakeInfo(false);
        HWND dialog = nullptr;
        DialogScript script;
        script.Add(WaitForDialog(&dialog, CAPTION, IDC_SET_HISTORYMAX));
        script.Add(Do([&]() {
            SetDlgItemInt(dialog, IDC_SET_HISTORYMAX, static_cast<UINT>(count), FALSE);
            PostButton(dialog, IDOK);
        }));
        EXPECT_TRUE(RunDialogScript(&script, [&]() { return Open(&info); }));
        EXPECT_EQ(info.historyMax, count);
    }
}

struct RefusedCount {
    const char* typed;
    const char* message;
    const char* corrected;
};

TEST_F(SettingsDlg, CountOutOfRangeIsRefusedAndCorrected)
{
    const RefusedCount cases[] = {
        {"4096", MSG_TOO_MANY_4095, "4095"},
        {"0", MSG_TOO_FEW_1, "1"},
        {"", MSG_TOO_FEW_1, "1"},
        {"70000", MSG_TOO_MANY_4095, "4095"},
    };
    for (const RefusedCount& c : cases) {
        SCOPED_TRACE(testing::Message() << "typed \"" << c.typed << '"');
        AppInfo info = MakeInfo(false);
        HWND dialog = nullptr;
        SeenMessageBox seen;
        std::string fieldAfter;
        bool focusOnField = false;
        bool stillOpen = false;
        DialogScript script;
        script.Add(WaitForDialog(&dialog, CAPTION, IDC_SET_HISTORYMAX));
        script.Add(Do([&]() {
            Enter(dialog, MakeInfo(true));
            SetDlgItemTextA(dialog, IDC_SET_HISTORYMAX, c.typed);
            PostButton(dialog, IDOK);
        }));
        script.Add(AnswerMessageBox(&script, &dialog, &seen, IDOK));
        script.Add(WaitNoMessageBox(&dialog));
        script.Add(Do([&]() {
            stillOpen = IsWindow(dialog) && IsWindowVisible(dialog);
            fieldAfter = ItemText(dialog, IDC_SET_HISTORYMAX);
            focusOnField = GetFocus() == GetDlgItem(dialog, IDC_SET_HISTORYMAX);
            PostButton(dialog, IDCANCEL);
        }));
        EXPECT_FALSE(RunDialogScript(&script, [&]() { return Open(&info); }));
        EXPECT_TRUE(seen.seen);
        EXPECT_EQ(seen.caption, CAPTION);
        EXPECT_EQ(seen.text, c.message);
        EXPECT_EQ(seen.buttons, std::vector<int>{IDOK});
        EXPECT_TRUE(stillOpen);
        EXPECT_EQ(fieldAfter, c.corrected);
        EXPECT_TRUE(focusOnField);
        ExpectSameInfo(info, MakeInfo(false));
    }
}

TEST_F(SettingsDlg, CorrectedCountIsStoredByTheNextOk)
{
    AppInfo info = MakeInfo(false);
    HWND dialog = nullptr;
    SeenMessageBox seen;
    DialogScript script;
    script.Add(WaitForDialog(&dialog, CAPTION, IDC_SET_HISTORYMAX));
    script.Add(Do([&]() {
        SetDlgItemTextA(dialog, IDC_SET_HISTORYMAX, "5000");
        PostButton(dialog, IDOK);
    }));
    script.Add(AnswerMessageBox(&script, &dialog, &seen, IDOK));
    script.Add(WaitNoMessageBox(&dialog));
    script.Add(Do([&]() { PostButton(dialog, IDOK); }));
    EXPECT_TRUE(RunDialogScript(&script, [&]() { return Open(&info); }));
    EXPECT_EQ(seen.text, MSG_TOO_MANY_4095);
    EXPECT_EQ(info.historyMax, 4095);
}

// ---------------------------------------------------------------- ways out

enum WayOut { BY_CANCEL, BY_ESCAPE, BY_CLOSE_NO };

TEST_F(SettingsDlg, CancelEscapeAndNoStoreNothing)
{
    for (WayOut way : {BY_CANCEL, BY_ESCAPE, BY_CLOSE_NO}) {
        SCOPED_TRACE(testing::Message() << "way " << way);
        AppInfo info = MakeInfo(false);
        HWND dialog = nullptr;
        SeenMessageBox seen;
        DialogScript script;
        script.Add(WaitForDialog(&dialog, CAPTION, IDC_SET_HISTORYMAX));
        script.Add(Do([&]() {
            Enter(dialog, MakeInfo(true));
            switch (way) {
            case BY_CANCEL: PostButton(dialog, IDCANCEL); break;
            case BY_ESCAPE:
                PostMessageA(GetDlgItem(dialog, IDC_SET_HISTORYMAX), WM_KEYDOWN, VK_ESCAPE, 0x00010001);
                break;
            case BY_CLOSE_NO: PostMessageA(dialog, WM_CLOSE, 0, 0); break;
            }
        }));
        if (way == BY_CLOSE_NO)
            script.Add(AnswerMessageBox(&script, &dialog, &seen, IDNO));
        EXPECT_FALSE(RunDialogScript(&script, [&]() { return Open(&info); }));
        ExpectSameInfo(info, MakeInfo(false));
        if (way == BY_CLOSE_NO) {
            EXPECT_EQ(seen.caption, CAPTION);
            EXPECT_EQ(seen.text, MSG_SAVE);
            EXPECT_EQ(seen.buttons, (std::vector<int>{IDCANCEL, IDYES, IDNO}));
        }
    }
}

TEST_F(SettingsDlg, CloseQuestionCancelKeepsTheDialogAndYesActsAsOk)
{
    AppInfo info = MakeInfo(false);
    const AppInfo edited = MakeInfo(true);
    HWND dialog = nullptr;
    CloseTwiceSeen seen;
    DialogScript script;
    script.Add(WaitForDialog(&dialog, CAPTION, IDC_SET_HISTORYMAX));
    script.Add(Do([&]() { Enter(dialog, edited); }));
    AddCloseCancelThenYes(&script, &dialog, &seen);
    EXPECT_TRUE(RunDialogScript(&script, [&]() { return Open(&info); }));
    EXPECT_EQ(seen.first.text, MSG_SAVE);
    EXPECT_TRUE(seen.openAfterCancel);
    EXPECT_EQ(seen.second.text, MSG_SAVE);
    ExpectSameInfo(info, Merge(MakeInfo(false), edited));
}

TEST_F(SettingsDlg, YesWithAnInvalidCountKeepsTheDialogOpen)
{
    AppInfo info = MakeInfo(false);
    HWND dialog = nullptr;
    SeenMessageBox question, refusal;
    bool stillOpen = false;
    std::string fieldAfter;
    DialogScript script;
    script.Add(WaitForDialog(&dialog, CAPTION, IDC_SET_HISTORYMAX));
    script.Add(Do([&]() {
        SetDlgItemTextA(dialog, IDC_SET_HISTORYMAX, "0");
        PostMessageA(dialog, WM_CLOSE, 0, 0);
    }));
    script.Add(AnswerMessageBox(&script, &dialog, &question, IDYES));
    script.Add(AnswerMessageBox(&script, &dialog, &refusal, IDOK));
    script.Add(WaitNoMessageBox(&dialog));
    script.Add(Do([&]() {
        stillOpen = IsWindow(dialog) && IsWindowVisible(dialog);
        fieldAfter = ItemText(dialog, IDC_SET_HISTORYMAX);
        PostButton(dialog, IDCANCEL);
    }));
    EXPECT_FALSE(RunDialogScript(&script, [&]() { return Open(&info); }));
    EXPECT_EQ(question.text, MSG_SAVE);
    EXPECT_EQ(refusal.text, MSG_TOO_FEW_1);
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(fieldAfter, "1");
    ExpectSameInfo(info, MakeInfo(false));
}

// ---------------------------------------------------------------- tips

HWND FindTooltipOf(HWND dialog)
{
    return FindOwnedWindow(dialog, TOOLTIPS_CLASSA);
}

std::string TipText(HWND tooltip, HWND dialog, int id)
{
    char text[256];
    memset(text, 0, sizeof text);
    TTTOOLINFOA tool;
    ZeroMemory(&tool, sizeof tool);
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.hwnd = dialog;
    tool.uId = reinterpret_cast<UINT_PTR>(GetDlgItem(dialog, id));
    tool.lpszText = text;
    SendMessageA(tooltip, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
    return text;
}

// The notification the tooltip sends before it shows the date format's tip.
std::string AskDateTip(HWND dialog, HWND tool, const char* before)
{
    NMTTDISPINFOA info;
    ZeroMemory(&info, sizeof info);
    info.hdr.hwndFrom = FindTooltipOf(dialog);
    info.hdr.idFrom = reinterpret_cast<UINT_PTR>(tool);
    info.hdr.code = TTN_NEEDTEXTA;
    info.uFlags = TTF_IDISHWND;
    snprintf(info.szText, sizeof info.szText, "%s", before);
    info.lpszText = info.szText;
    SendMessageA(dialog, WM_NOTIFY, info.hdr.idFrom, reinterpret_cast<LPARAM>(&info));
    return info.szText;
}

std::string YearText(const SYSTEMTIME& t)
{
    char year[8];
    snprintf(year, sizeof year, "%04d", t.wYear);
    return year;
}

TEST_F(SettingsDlg, HintTipsOfTheControls)
{
    AppInfo info = MakeInfo(false);
    HWND dialog = nullptr;
    int tools = -1;
    std::string countTip, fileTip, chainTip;
    DialogScript script;
    script.Add(WaitForDialog(&dialog, CAPTION, IDC_SET_HISTORYMAX));
    script.Add(Do([&]() {
        HWND tooltip = FindTooltipOf(dialog);
        if (tooltip) {
            tools = static_cast<int>(SendMessageA(tooltip, TTM_GETTOOLCOUNT, 0, 0));
            countTip = TipText(tooltip, dialog, IDC_SET_HISTORYMAX);
            fileTip = TipText(tooltip, dialog, IDC_SET_USEHISTORYFILE);
            chainTip = TipText(tooltip, dialog, IDC_SET_REPAIRCHAIN);
        }
        PostButton(dialog, IDCANCEL);
    }));
    RunDialogScript(&script, [&]() { return Open(&info); });
    EXPECT_EQ(tools, 4);
    EXPECT_EQ(countTip, "1 \x81\x60 4095");  // 1 ～ 4095
    // 履歴を保存して次回起動時に引き継ぎます
    EXPECT_EQ(fileTip,
              "\x97\x9a\x97\xf0\x82\xf0\x95\xdb\x91\xb6\x82\xb5\x82\xc4\x8e\x9f\x89\xf1\x8b\x4e\x93\xae\x8e\x9e\x82\xc9"
              "\x88\xf8\x82\xab\x8c\x70\x82\xac\x82\xdc\x82\xb7");
    // チェインの修復を利用すると不安定になる場合があります
    EXPECT_EQ(chainTip,
              "\x83\x60\x83\x46\x83\x43\x83\x93\x82\xcc\x8f\x43\x95\x9c\x82\xf0\x97\x98\x97\x70\x82\xb7\x82\xe9\x82\xc6"
              "\x95\x73\x88\xc0\x92\xe8\x82\xc9\x82\xc8\x82\xe9\x8f\xea\x8d\x87\x82\xaa\x82\xa0\x82\xe8\x82\xdc\x82\xb7");
}

TEST_F(SettingsDlg, DateFormatTipShowsTheCurrentTimeCutTo79Bytes)
{
    AppInfo info = MakeInfo(false);
    HWND dialog = nullptr;
    SYSTEMTIME before, after;
    std::string longTip, emptyTip, otherTool, shownTip;
    // 年 after the year, then more than the tip can hold.
    const std::string format = std::string("%04Y\x94\x4e") + std::string(100, 'x');
    DialogScript script;
    script.Add(WaitForDialog(&dialog, CAPTION, IDC_SET_HISTORYMAX));
    script.Add(Do([&]() {
        HWND edit = GetDlgItem(dialog, IDC_SET_DATEFORMAT);
        SetWindowTextA(edit, format.c_str());
        GetLocalTime(&before);
        longTip = AskDateTip(dialog, edit, "");
        shownTip = TipText(FindTooltipOf(dialog), dialog, IDC_SET_DATEFORMAT);
        GetLocalTime(&after);
        otherTool = AskDateTip(dialog, GetDlgItem(dialog, IDC_SET_HISTORYMAX), "kept");
        SetWindowTextA(edit, "");
        emptyTip = AskDateTip(dialog, edit, "old");
        PostButton(dialog, IDCANCEL);
    }));
    RunDialogScript(&script, [&]() { return Open(&info); });
    // The year and 年 take 6 bytes, so 73 of the x fit into 79 bytes.
    std::string tail = std::string("\x94\x4e") + std::string(73, 'x');
    std::string expectedBefore = YearText(before) + tail;
    std::string expectedAfter = YearText(after) + tail;
    EXPECT_TRUE(longTip == expectedBefore || longTip == expectedAfter) << longTip;
    EXPECT_EQ(longTip.size(), 79u);
    EXPECT_TRUE(shownTip == expectedBefore || shownTip == expectedAfter) << shownTip;
    EXPECT_EQ(otherTool, "kept");
    EXPECT_EQ(emptyTip, "");
    ExpectSameInfo(info, MakeInfo(false));
}

// ---------------------------------------------------------------- history file

bool WriteTextFile(const char* path, const char* text)
{
    FILE* f = fopen(path, "wb");
    if (!f)
        return false;
    fputs(text, f);
    fclose(f);
    return true;
}

bool FileExists(const char* path)
{
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

TEST_F(SettingsDlg, DeleteButtonSendsTheHistoryFileAway)
{
    ASSERT_TRUE(WriteTextFile(historyPath_, "history"));
    ASSERT_TRUE(WriteTextFile(SidePath().c_str(), "originals"));
    AppInfo info = MakeInfo(true);
    HWND dialog = nullptr;
    SeenMessageBox seen;
    bool existedWhileAsked = false;
    DialogScript script;
    script.Add(WaitForDialog(&dialog, CAPTION, IDC_SET_HISTORYMAX));
    script.Add(Do([&]() { PostButton(dialog, IDC_SET_DELETEHISTORY); }));
    script.Add([&]() {
        existedWhileAsked = FileExists(historyPath_);
        return AnswerMessageBox(&script, &dialog, &seen, IDOK)();
    });
    script.Add(WaitNoMessageBox(&dialog));
    script.Add(Do([&]() { PostButton(dialog, IDCANCEL); }));
    EXPECT_FALSE(RunDialogScript(&script, [&]() { return Open(&info); }));
    EXPECT_TRUE(existedWhileAsked);
    EXPECT_EQ(seen.caption, CAPTION);
    EXPECT_EQ(seen.text, MSG_DELETE);
    EXPECT_EQ(seen.buttons, (std::vector<int>{IDOK, IDCANCEL}));
    EXPECT_FALSE(FileExists(historyPath_));
    EXPECT_FALSE(FileExists(SidePath().c_str()));
    // The setting that keeps the history in the file stays as it was.
    ExpectSameInfo(info, MakeInfo(true));
}

TEST_F(SettingsDlg, DeleteQuestionCancelKeepsTheFile)
{
    ASSERT_TRUE(WriteTextFile(historyPath_, "history"));
    ASSERT_TRUE(WriteTextFile(SidePath().c_str(), "originals"));
    AppInfo info = MakeInfo(false);
    HWND dialog = nullptr;
    SeenMessageBox seen;
    DialogScript script;
    script.Add(WaitForDialog(&dialog, CAPTION, IDC_SET_HISTORYMAX));
    script.Add(Do([&]() { PostButton(dialog, IDC_SET_DELETEHISTORY); }));
    script.Add(AnswerMessageBox(&script, &dialog, &seen, IDCANCEL));
    script.Add(WaitNoMessageBox(&dialog));
    script.Add(Do([&]() { PostButton(dialog, IDCANCEL); }));
    EXPECT_FALSE(RunDialogScript(&script, [&]() { return Open(&info); }));
    EXPECT_EQ(seen.text, MSG_DELETE);
    EXPECT_TRUE(FileExists(historyPath_));
    EXPECT_TRUE(FileExists(SidePath().c_str()));
}

TEST_F(SettingsDlg, DeleteButtonWithoutAHistoryFileDoesNothing)
{
    for (bool folderInItsPlace : {false, true}) {
        SCOPED_TRACE(folderInItsPlace ? "a folder of that name" : "nothing of that name");
        if (folderInItsPlace) {
            ASSERT_TRUE(CreateDirectoryA(historyPath_, nullptr));
        }
        AppInfo info = MakeInfo(false);
        HWND dialog = nullptr;
        bool anyBox = false;
        DialogScript script;
        script.Add(WaitForDialog(&dialog, CAPTION, IDC_SET_HISTORYMAX));
        script.Add(Do([&]() { PostButton(dialog, IDC_SET_DELETEHISTORY); }));
        script.Add(Settled());
        script.Add(Do([&]() {
            anyBox = FindMessageBox(dialog) != nullptr;
            PostButton(dialog, IDCANCEL);
        }));
        EXPECT_FALSE(RunDialogScript(&script, [&]() { return Open(&info); }));
        EXPECT_FALSE(anyBox);
        if (folderInItsPlace) {
            EXPECT_NE(GetFileAttributesA(historyPath_), INVALID_FILE_ATTRIBUTES);
        }
    }
}

// ---------------------------------------------------------------- one at a time

TEST_F(SettingsDlg, SecondOpeningBringsTheFirstToTheFront)
{
    AppInfo info = MakeInfo(false);
    AppInfo other = MakeInfo(true);
    HWND dialog = nullptr;
    SecondOpening second;
    DialogScript script;
    script.Add(WaitForDialog(&dialog, CAPTION, IDC_SET_HISTORYMAX));
    AddSecondOpening(&script, CAPTION, [&]() { return Open(&other); }, &second);
    script.Add(Do([&]() {
        Enter(dialog, MakeInfo(true));
        PostButton(dialog, IDOK);
    }));
    EXPECT_TRUE(RunDialogScript(&script, [&]() { return Open(&info); }));
    ExpectBroughtToFront(second, dialog);
    ExpectSameInfo(other, MakeInfo(true));
    ExpectSameInfo(info, Merge(MakeInfo(false), MakeInfo(true)));

    // Once the first has ended, the dialog opens again.
    DialogScript again;
    again.Add(WaitForDialog(&dialog, CAPTION, IDC_SET_HISTORYMAX));
    again.Add(Do([&]() { PostButton(dialog, IDCANCEL); }));
    EXPECT_FALSE(RunDialogScript(&again, [&]() { return Open(&other); }));
}

// ---------------------------------------------------------------- log folder

std::string LastPathPart(const char* path)
{
    std::string s = path;
    size_t cut = s.find_last_of("\\/");
    return cut == std::string::npos ? s : s.substr(cut + 1);
}


TEST_F(SettingsDlg, BrowseButtonPutsTheChosenFolderIntoTheField)
{
    AppInfo info = MakeInfo(false);
    HWND dialog = nullptr;
    HWND chooser = nullptr;
    std::string fieldAfter;
    DialogScript script;
    script.Add(WaitForDialog(&dialog, CAPTION, IDC_SET_HISTORYMAX));
    script.Add(Do([&]() {
        SetDlgItemTextA(dialog, IDC_SET_LOGFOLDER, folder_);
        PostButton(dialog, IDC_SET_BROWSELOGFOLDER);
    }));
    // The chooser opens over the dialog at the folder of the field; its OK
    // takes that folder.
    script.Add([&]() {
        chooser = FindOwnedWindow(dialog, nullptr);
        return chooser != nullptr;
    });
    // The chooser fills its folder tree and selects the field's folder after
    // it has appeared; OK before that would take another folder.
    script.Add([&]() { return lstrcmpiA(SelectedTreeItemText(chooser).c_str(), LastPathPart(folder_).c_str()) == 0; });
    script.Add(Do([&]() { PostButton(chooser, IDOK); }));
    script.Add([&]() { return !IsWindow(chooser); });
    script.Add(Do([&]() {
        fieldAfter = ItemText(dialog, IDC_SET_LOGFOLDER);
        PostButton(dialog, IDCANCEL);
    }));
    EXPECT_FALSE(RunDialogScript(&script, [&]() { return Open(&info); }));
    EXPECT_EQ(lstrcmpiA(fieldAfter.c_str(), folder_), 0) << fieldAfter << " / " << folder_;
    ExpectSameInfo(info, MakeInfo(false));
}

}  // namespace
