// The extended settings dialog, run for real from tamarin.exe's template: its
// layout, the record loaded into the controls and stored back on OK, the
// refusal of a search hotkey that one of the nine holds, the hotkey rules of
// the hotkey dialog, the ways out that store nothing and the guard against a
// second opening.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialogs/extsettingsdlg.h"
#include "resources/dialogs_ext.h"
#include "resources/resource.h"
#include "settings/appinfo.h"
#include "win/dialogdriver.h"

namespace {

const char CAPTION[] = "\x8a\x67\x92\xa3\x90\xdd\x92\xe8";  // 拡張設定
// ホットキーが重複しています。\n異なるホットキーを割り当ててください。
const char MSG_DUPLICATE[] =
    "\x83\x7a\x83\x62\x83\x67\x83\x4c\x81\x5b\x82\xaa\x8f\x64\x95\xa1\x82\xb5\x82\xc4\x82\xa2\x82\xdc\x82\xb7"
    "\x81\x42\n\x88\xd9\x82\xc8\x82\xe9\x83\x7a\x83\x62\x83\x67\x83\x4c\x81\x5b\x82\xf0\x8a\x84\x82\xe8\x93\x96"
    "\x82\xc4\x82\xc4\x82\xad\x82\xbe\x82\xb3\x82\xa2\x81\x42";
const char MSG_SAVE[] = "\x95\xdb\x91\xb6\x82\xb5\x82\xdc\x82\xb7\x82\xa9\x81\x48";  // 保存しますか？

const int PASTE = 1101;
const int AUTOSTART = 1102;
const int HOTKEY = 1103;

const ExpectedItem ITEMS[] = {
    // 選んだテキストを元のウィンドウに貼り付ける(&P)
    {PASTE, "Button",
     "\x91\x49\x82\xf1\x82\xbe\x83\x65\x83\x4c\x83\x58\x83\x67\x82\xf0\x8c\xb3\x82\xcc\x83\x45\x83\x42\x83\x93\x83"
     "\x68\x83\x45\x82\xc9\x93\x5c\x82\xe8\x95\x74\x82\xaf\x82\xe9(&P)",
     7, 7, 218, 10, BS_AUTOCHECKBOX, WS_GROUP | WS_TABSTOP, 0},
    // Windowsの起動時に実行する(&W)
    {AUTOSTART, "Button", "Windows\x82\xcc\x8b\x4e\x93\xae\x8e\x9e\x82\xc9\x8e\xc0\x8d\x73\x82\xb7\x82\xe9(&W)", 7, 22,
     218, 10, BS_AUTOCHECKBOX, WS_TABSTOP, 0},
    // テキストの検索のホットキー(&K)
    {-1, "Static",
     "\x83\x65\x83\x4c\x83\x58\x83\x67\x82\xcc\x8c\x9f\x8d\xf5\x82\xcc\x83\x7a\x83\x62\x83\x67\x83\x4c\x81\x5b(&K)", 7,
     45, 100, 8, SS_LEFT, 0, 0},
    {HOTKEY, HOTKEY_CLASSA, "", 110, 42, 115, 14, NO_TYPE, WS_BORDER | WS_TABSTOP, 0},
    {IDOK, "Button", "OK", 121, 79, 50, 14, BS_DEFPUSHBUTTON, WS_TABSTOP, 0},
    {IDCANCEL, "Button", "\xb7\xac\xdd\xbe\xd9", 175, 79, 50, 14, BS_PUSHBUTTON, WS_TABSTOP, 0},  // ｷｬﾝｾﾙ
};

class ExtSettingsDlg : public TamarinDialogTest {
protected:
    bool Open(ExtSettingsRecord* record) { return ExtSettingsDlg_ShowFrom(module_, nullptr, record); }
};

HotkeySet NineWithDate()
{
    HotkeySet set = {};
    set.slots[4] = HotkeyDef{MOD_CONTROL | MOD_ALT, 'D'};  // 日時の取得
    set.slots[8] = HotkeyDef{MOD_SHIFT, VK_F12};           // 履歴のクリア
    return set;
}

WORD ControlValue(HWND dialog)
{
    return LOWORD(SendDlgItemMessageA(dialog, HOTKEY, HKM_GETHOTKEY, 0, 0));
}

void SetControl(HWND dialog, WORD value)
{
    SendDlgItemMessageA(dialog, HOTKEY, HKM_SETHOTKEY, value, 0);
}

bool Checked(HWND dialog, int id)
{
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

void ExpectRecord(const ExtSettingsRecord& r, bool paste, bool autostart, int modifiers, int vk)
{
    EXPECT_EQ(r.pasteAfterPick, paste);
    EXPECT_EQ(r.startWithWindows, autostart);
    EXPECT_EQ(r.searchHotkey.modifiers, modifiers);
    EXPECT_EQ(r.searchHotkey.vk, vk);
}

TEST_F(ExtSettingsDlg, TemplateMatchesTheLayout)
{
    TemplateDialog dialog;
    ASSERT_TRUE(ReadDialogTemplate(module_, IDD_EXTSETTINGS, &dialog));
    EXPECT_EQ(dialog.caption, CAPTION);
    EXPECT_EQ(dialog.font, TEMPLATE_FONT);
    EXPECT_EQ(dialog.pointSize, 9);
    EXPECT_EQ(dialog.cx, 232);
    EXPECT_EQ(dialog.cy, 100);
    DWORD frame = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    EXPECT_EQ(dialog.style & frame, frame);
    const size_t count = sizeof(ITEMS) / sizeof(ITEMS[0]);
    ASSERT_EQ(dialog.items.size(), count);
    ExpectTemplateItems(dialog, ITEMS, count);
}

TEST_F(ExtSettingsDlg, ControlsLoadFromTheRecord)
{
    HotkeySet nine = NineWithDate();
    for (bool on : {false, true}) {
        ExtSettingsRecord record = {on, !on, {on ? MOD_CONTROL | MOD_SHIFT : 0, on ? 'F' : 0}, &nine};
        HWND dialog = nullptr;
        bool paste = !on, autostart = on;
        WORD shown = 1;
        DialogScript script;
        script.Add(WaitForDialog(&dialog, CAPTION, HOTKEY));
        script.Add(Do([&]() {
            paste = Checked(dialog, PASTE);
            autostart = Checked(dialog, AUTOSTART);
            shown = ControlValue(dialog);
            PostButton(dialog, IDCANCEL);
        }));
        EXPECT_FALSE(RunDialogScript(&script, [&]() { return Open(&record); }));
        EXPECT_EQ(paste, on);
        EXPECT_EQ(autostart, !on);
        EXPECT_EQ(shown, on ? MAKEWORD('F', HOTKEYF_CONTROL | HOTKEYF_SHIFT) : 0);
    }
}

TEST_F(ExtSettingsDlg, OkStoresTheControls)
{
    HotkeySet nine = NineWithDate();
    ExtSettingsRecord record = {false, false, {0, 0}, &nine};
    HWND dialog = nullptr;
    DialogScript script;
    script.Add(WaitForDialog(&dialog, CAPTION, HOTKEY));
    script.Add(Do([&]() {
        CheckDlgButton(dialog, PASTE, BST_CHECKED);
        CheckDlgButton(dialog, AUTOSTART, BST_CHECKED);
        SetControl(dialog, MAKEWORD(VK_INSERT, HOTKEYF_CONTROL | HOTKEYF_EXT));
        PostButton(dialog, IDOK);
    }));
    EXPECT_TRUE(RunDialogScript(&script, [&]() { return Open(&record); }));
    ExpectRecord(record, true, true, MOD_CONTROL | 8, VK_INSERT);
    EXPECT_EQ(record.taken, &nine);
}

TEST_F(ExtSettingsDlg, EmptyHotkeyAndClearedBoxesAreStored)
{
    HotkeySet nine = NineWithDate();
    ExtSettingsRecord record = {true, true, {MOD_ALT, 'S'}, &nine};
    HWND dialog = nullptr;
    DialogScript script;
    script.Add(WaitForDialog(&dialog, CAPTION, HOTKEY));
    script.Add(Do([&]() {
        CheckDlgButton(dialog, PASTE, BST_UNCHECKED);
        CheckDlgButton(dialog, AUTOSTART, BST_UNCHECKED);
        SetControl(dialog, 0);
        PostButton(dialog, IDOK);
    }));
    EXPECT_TRUE(RunDialogScript(&script, [&]() { return Open(&record); }));
    ExpectRecord(record, false, false, 0, 0);
}

TEST_F(ExtSettingsDlg, BareKeyBecomesCtrlAltPlusTheKey)
{
    ExtSettingsRecord record = {false, false, {0, 0}, nullptr};
    HWND dialog = nullptr;
    WORD bare = 0;
    DialogScript script;
    script.Add(WaitForDialog(&dialog, CAPTION, HOTKEY));
    script.Add(Do([&]() {
        HWND control = GetDlgItem(dialog, HOTKEY);
        SetFocus(control);
        SendMessageA(control, WM_KEYDOWN, VK_F7, 0x00410001);
        SendMessageA(control, WM_KEYUP, VK_F7, 0xC0410001);
        bare = ControlValue(dialog);
        PostButton(dialog, IDOK);
    }));
    EXPECT_TRUE(RunDialogScript(&script, [&]() { return Open(&record); }));
    EXPECT_EQ(bare, MAKEWORD(VK_F7, HOTKEYF_CONTROL | HOTKEYF_ALT));
    ExpectRecord(record, false, false, MOD_CONTROL | MOD_ALT, VK_F7);
}

// One of the nine holds the combination: OK keeps the dialog open with the
// focus on the hotkey control, and nothing is stored.
TEST_F(ExtSettingsDlg, HotkeyOfTheNineIsRefused)
{
    const WORD taken[] = {MAKEWORD('D', HOTKEYF_CONTROL | HOTKEYF_ALT), MAKEWORD(VK_F12, HOTKEYF_SHIFT)};
    for (WORD value : taken) {
        HotkeySet nine = NineWithDate();
        ExtSettingsRecord record = {false, false, {MOD_ALT, 'S'}, &nine};
        HWND dialog = nullptr;
        SeenMessageBox seen;
        bool stillOpen = false;
        int focused = 0;
        DialogScript script;
        script.Add(WaitForDialog(&dialog, CAPTION, HOTKEY));
        script.Add(Do([&]() {
            CheckDlgButton(dialog, PASTE, BST_CHECKED);
            SetControl(dialog, value);
            SetFocus(GetDlgItem(dialog, IDOK));
            PostButton(dialog, IDOK);
        }));
        script.Add(AnswerMessageBox(&script, &dialog, &seen, IDOK));
        script.Add(WaitNoMessageBox(&dialog));
        script.Add(Do([&]() {
            stillOpen = IsWindow(dialog) && IsWindowVisible(dialog);
            focused = GetDlgCtrlID(GetFocus());
            PostButton(dialog, IDCANCEL);
        }));
        EXPECT_FALSE(RunDialogScript(&script, [&]() { return Open(&record); }));
        EXPECT_EQ(seen.caption, CAPTION);
        EXPECT_EQ(seen.text, MSG_DUPLICATE);
        EXPECT_EQ(seen.buttons, std::vector<int>{IDOK});
        EXPECT_TRUE(stillOpen);
        EXPECT_EQ(focused, HOTKEY);
        ExpectRecord(record, false, false, MOD_ALT, 'S');
    }
}

// The same key with another modifier, or with the extended mark, is free.
TEST_F(ExtSettingsDlg, HotkeyDifferingFromTheNineIsAccepted)
{
    HotkeySet nine = NineWithDate();
    ExtSettingsRecord record = {false, false, {0, 0}, &nine};
    HWND dialog = nullptr;
    DialogScript script;
    script.Add(WaitForDialog(&dialog, CAPTION, HOTKEY));
    script.Add(Do([&]() {
        SetControl(dialog, MAKEWORD('D', HOTKEYF_CONTROL | HOTKEYF_SHIFT));
        PostButton(dialog, IDOK);
    }));
    EXPECT_TRUE(RunDialogScript(&script, [&]() { return Open(&record); }));
    ExpectRecord(record, false, false, MOD_CONTROL | MOD_SHIFT, 'D');
}

enum WayOut { BY_CANCEL, BY_ESCAPE, BY_CLOSE_NO };

TEST_F(ExtSettingsDlg, CancelEscapeAndNoStoreNothing)
{
    for (WayOut way : {BY_CANCEL, BY_ESCAPE, BY_CLOSE_NO}) {
        SCOPED_TRACE(testing::Message() << "way " << way);
        ExtSettingsRecord record = {false, true, {MOD_ALT, 'S'}, nullptr};
        HWND dialog = nullptr;
        SeenMessageBox seen;
        DialogScript script;
        script.Add(WaitForDialog(&dialog, CAPTION, HOTKEY));
        script.Add(Do([&]() {
            CheckDlgButton(dialog, PASTE, BST_CHECKED);
            CheckDlgButton(dialog, AUTOSTART, BST_UNCHECKED);
            SetControl(dialog, MAKEWORD('Q', HOTKEYF_CONTROL));
            switch (way) {
            case BY_CANCEL: PostButton(dialog, IDCANCEL); break;
            case BY_ESCAPE: PostMessageA(GetDlgItem(dialog, PASTE), WM_KEYDOWN, VK_ESCAPE, 0x00010001); break;
            case BY_CLOSE_NO: PostMessageA(dialog, WM_CLOSE, 0, 0); break;
            }
        }));
        if (way == BY_CLOSE_NO)
            script.Add(AnswerMessageBox(&script, &dialog, &seen, IDNO));
        EXPECT_FALSE(RunDialogScript(&script, [&]() { return Open(&record); }));
        ExpectRecord(record, false, true, MOD_ALT, 'S');
        if (way == BY_CLOSE_NO) {
            EXPECT_EQ(seen.caption, CAPTION);
            EXPECT_EQ(seen.text, MSG_SAVE);
            EXPECT_EQ(seen.buttons, (std::vector<int>{IDCANCEL, IDYES, IDNO}));
        }
    }
}

TEST_F(ExtSettingsDlg, CloseQuestionCancelKeepsTheDialogAndYesActsAsOk)
{
    ExtSettingsRecord record = {false, false, {0, 0}, nullptr};
    HWND dialog = nullptr;
    CloseTwiceSeen seen;
    DialogScript script;
    script.Add(WaitForDialog(&dialog, CAPTION, HOTKEY));
    script.Add(Do([&]() { CheckDlgButton(dialog, PASTE, BST_CHECKED); }));
    AddCloseCancelThenYes(&script, &dialog, &seen);
    EXPECT_TRUE(RunDialogScript(&script, [&]() { return Open(&record); }));
    EXPECT_EQ(seen.first.caption, CAPTION);
    EXPECT_EQ(seen.first.text, MSG_SAVE);
    EXPECT_TRUE(seen.openAfterCancel);
    ExpectRecord(record, true, false, 0, 0);
}

TEST_F(ExtSettingsDlg, SecondOpeningBringsTheFirstToTheFront)
{
    ExtSettingsRecord record = {false, false, {0, 0}, nullptr};
    ExtSettingsRecord other = {true, true, {MOD_ALT, 'O'}, nullptr};
    HWND dialog = nullptr;
    bool openDuring = false;
    SecondOpening second;
    DialogScript script;
    script.Add(WaitForDialog(&dialog, CAPTION, HOTKEY));
    script.Add(Do([&]() { openDuring = ExtSettingsDlg_IsOpen(); }));
    AddSecondOpening(&script, CAPTION, [&]() { return Open(&other); }, &second);
    script.Add(Do([&]() { PostButton(dialog, IDCANCEL); }));
    EXPECT_FALSE(RunDialogScript(&script, [&]() { return Open(&record); }));
    EXPECT_TRUE(openDuring);
    ExpectBroughtToFront(second, dialog);
    EXPECT_FALSE(ExtSettingsDlg_IsOpen());
    ExpectRecord(other, true, true, MOD_ALT, 'O');
}

}  // namespace
