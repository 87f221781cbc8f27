// The hotkey dialog, run for real from tamarin.exe's template: its layout,
// the nine controls loaded from and stored into the HotkeySet, the refusal
// of duplicates with the focus on the earlier control, the rule that turns a
// bare key into Ctrl+Alt plus that key, the ways out that store nothing and
// the guard against a second opening. Also the pure rules behind it: the
// translation of the modifier flags and the duplicate search.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

#include "app/mainwnd.h"
#include "dialogs/hotkeydlg.h"
#include "resources/resource.h"
#include "settings/appinfo.h"
#include "ui/dialogstate.h"
#include "win/dialogdriver.h"

namespace {

// ホットキーの設定
const char CAPTION[] = "\x83\x7a\x83\x62\x83\x67\x83\x4c\x81\x5b\x82\xcc\x90\xdd\x92\xe8";
// ホットキーが重複しています。\n異なるホットキーを割り当ててください。
const char MSG_DUPLICATE[] =
    "\x83\x7a\x83\x62\x83\x67\x83\x4c\x81\x5b\x82\xaa\x8f\x64\x95\xa1\x82\xb5\x82\xc4\x82\xa2\x82\xdc\x82\xb7"
    "\x81\x42\n\x88\xd9\x82\xc8\x82\xe9\x83\x7a\x83\x62\x83\x67\x83\x4c\x81\x5b\x82\xf0\x8a\x84\x82\xe8\x93\x96"
    "\x82\xc4\x82\xc4\x82\xad\x82\xbe\x82\xb3\x82\xa2\x81\x42";
// 保存しますか？
const char MSG_SAVE[] = "\x95\xdb\x91\xb6\x82\xb5\x82\xdc\x82\xb7\x82\xa9\x81\x48";

// The hotkey control of each slot, slot 1 first.
const int CONTROL_OF_SLOT[HOTKEY_COUNT] = {1021, 1020, 1026, 1029, 1028, 1027, 1048, 1049, 1030};

// ---------------------------------------------------------------- pure rules

struct FlagCase {
    unsigned int control;  // HOTKEYF_ flags
    int stored;            // RegisterHotKey flags plus 8 for an extended key
};

const FlagCase FLAG_CASES[] = {
    {0, 0},
    {HOTKEYF_SHIFT, MOD_SHIFT},
    {HOTKEYF_CONTROL, MOD_CONTROL},
    {HOTKEYF_ALT, MOD_ALT},
    {HOTKEYF_EXT, 8},
    {HOTKEYF_CONTROL | HOTKEYF_SHIFT, MOD_CONTROL | MOD_SHIFT},
    {HOTKEYF_ALT | HOTKEYF_SHIFT, MOD_ALT | MOD_SHIFT},
    {HOTKEYF_CONTROL | HOTKEYF_ALT, MOD_CONTROL | MOD_ALT},
    {HOTKEYF_CONTROL | HOTKEYF_EXT, MOD_CONTROL | 8},
    {HOTKEYF_ALT | HOTKEYF_CONTROL | HOTKEYF_SHIFT | HOTKEYF_EXT, MOD_ALT | MOD_CONTROL | MOD_SHIFT | 8},
};

TEST(HotkeyDlgRules, ModifierFlagsTranslateBothWays)
{
    for (const FlagCase& c : FLAG_CASES) {
        EXPECT_EQ(HotkeyDlg_FlagsToModifiers(c.control), c.stored) << "control flags " << c.control;
        EXPECT_EQ(HotkeyDlg_ModifiersToFlags(c.stored), c.control) << "stored flags " << c.stored;
    }
}

struct ValueCase {
    WORD control;  // HKM_GETHOTKEY / HKM_SETHOTKEY value
    HotkeyDef def;
};

TEST(HotkeyDlgRules, ControlValuesTranslateBothWays)
{
    const ValueCase cases[] = {
        {0, {0, 0}},
        {MAKEWORD('V', HOTKEYF_CONTROL | HOTKEYF_SHIFT), {6, 86}},        // Ctrl+Shift+V
        {MAKEWORD(VK_INSERT, HOTKEYF_CONTROL | HOTKEYF_EXT), {10, 0x2D}},  // Ctrl+Insert, extended
        {MAKEWORD(VK_F5, HOTKEYF_CONTROL | HOTKEYF_ALT), {3, 0x74}},       // Ctrl+Alt+F5
        {MAKEWORD(0xFF, HOTKEYF_ALT), {1, 255}},
    };
    for (const ValueCase& c : cases) {
        HotkeyDef def = HotkeyDlg_DefFromControlValue(c.control);
        EXPECT_EQ(def.modifiers, c.def.modifiers) << "value " << c.control;
        EXPECT_EQ(def.vk, c.def.vk) << "value " << c.control;
        EXPECT_EQ(HotkeyDlg_ControlValueFromDef(&c.def), c.control) << "value " << c.control;
    }
}

struct DuplicateCase {
    const char* name;
    std::vector<HotkeyDef> defs;
    int expected;
};

TEST(HotkeyDlgRules, DuplicateSearchGivesTheEarlierOfTheFirstPair)
{
    const HotkeyDef E = {0, 0};
    const HotkeyDef A = {2, 'A'};
    const HotkeyDef B = {2, 'B'};
    const HotkeyDef C = {6, 'A'};
    const HotkeyDef INS = {2, VK_INSERT};
    const HotkeyDef INS_EXT = {10, VK_INSERT};
    const DuplicateCase cases[] = {
        {"all empty", {E, E, E, E, E, E, E, E, E}, -1},
        {"all different", {A, B, C, INS, INS_EXT, E, E, E, E}, -1},
        {"first and last", {A, B, E, E, E, E, E, E, A}, 0},
        {"neighbours at the end", {E, E, E, E, E, E, E, B, B}, 7},
        {"the pair that starts first wins", {E, C, A, E, E, A, E, C, E}, 1},
        {"three equal", {E, E, B, E, B, E, B, E, E}, 2},
        {"same key, other modifiers", {A, C, E, E, E, E, E, E, E}, -1},
        {"extended mark counts", {INS, INS_EXT, E, E, E, E, E, E, E}, -1},
    };
    for (const DuplicateCase& c : cases)
        EXPECT_EQ(HotkeyDlg_FindDuplicate(c.defs.data(), static_cast<int>(c.defs.size())), c.expected) << c.name;
}

TEST(HotkeyDlgRules, ControlsAreWalkedBySlot)
{
    for (int slot = 0; slot < HOTKEY_COUNT; slot++)
        EXPECT_EQ(HotkeyDlg_ControlIdOfSlot(slot), CONTROL_OF_SLOT[slot]) << "slot " << slot + 1;
    EXPECT_EQ(HotkeyDlg_ControlIdOfSlot(HOTKEY_COUNT), 0);
}

// ---------------------------------------------------------------- layout

struct ExpectedRow {
    const char* label;
    int id;
    short y;
    bool border;
};

// Top to bottom.
const ExpectedRow ROWS[] = {
    {"\xc3\xb7\xbd\xc4\x88\xea\x97\x97\x82\xcc\x95\x5c\x8e\xa6", 1021, 7, true},                  // ﾃｷｽﾄ一覧の表示
    {"\x83\x81\x83\x6a\x83\x85\x81\x5b\x82\xcc\x95\x5c\x8e\xa6", 1020, 25, true},                 // メニューの表示
    {"\x97\x9a\x97\xf0\x8b\x40\x94\x5c\x82\xcc\xb5\xdd/\xb5\xcc", 1049, 43, true},                // 履歴機能のｵﾝ/ｵﾌ
    {"\xc3\xb7\xbd\xc4\x82\xcc\x93\x6f\x98\x5e", 1029, 61, true},                                 // ﾃｷｽﾄの登録
    {"\x93\x6f\x98\x5e\xc3\xb7\xbd\xc4\x82\xcc\x95\xd2\x8f\x57", 1026, 79, true},                 // 登録ﾃｷｽﾄの編集
    {"\xb8\xd8\xaf\xcc\xdf\xce\xde\xb0\xc4\xde\x82\xcc\xb8\xd8\xb1", 1048, 97, true},             // ｸﾘｯﾌﾟﾎﾞｰﾄﾞのｸﾘｱ
    {"\x97\x9a\x97\xf0\x82\xcc\x83\x4e\x83\x8a\x83\x41", 1030, 115, false},                       // 履歴のクリア
    {"\x93\xfa\x8e\x9e\x82\xcc\x8e\xe6\x93\xbe", 1028, 133, true},                                // 日時の取得
    {"IP\x83\x41\x83\x68\x83\x8c\x83\x58\x82\xcc\x8e\xe6\x93\xbe", 1027, 151, true},              // IPアドレスの取得
};

class HotkeyDlg : public TamarinDialogTest {
protected:
    bool Open(HotkeySet* set) { return HotkeyDlg_ShowFrom(module_, nullptr, set); }
};

TEST_F(HotkeyDlg, TemplateMatchesTheLayout)
{
    TemplateDialog dialog;
    ASSERT_TRUE(ReadDialogTemplate(module_, IDD_HOTKEYS, &dialog));
    EXPECT_EQ(dialog.caption, CAPTION);
    EXPECT_EQ(dialog.font, TEMPLATE_FONT);
    EXPECT_EQ(dialog.pointSize, 9);
    EXPECT_EQ(dialog.cx, 179);
    EXPECT_EQ(dialog.cy, 193);
    DWORD frame = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    EXPECT_EQ(dialog.style & frame, frame);
    const size_t rows = sizeof(ROWS) / sizeof(ROWS[0]);
    ASSERT_EQ(dialog.items.size(), rows * 2 + 3);
    for (size_t i = 0; i < rows; i++) {
        const ExpectedRow& e = ROWS[i];
        const TemplateItem& label = dialog.items[2 * i];
        const TemplateItem& control = dialog.items[2 * i + 1];
        SCOPED_TRACE(testing::Message() << "row " << i + 1 << " id " << e.id);
        EXPECT_TRUE(SameClass(label.klass, "Static"));
        EXPECT_EQ(label.text, e.label);
        EXPECT_EQ(label.style & SS_TYPEMASK, static_cast<DWORD>(SS_RIGHT));
        EXPECT_EQ(label.x, 7);
        EXPECT_EQ(label.cx, 56);
        EXPECT_EQ(label.y, e.y + 4);
        EXPECT_EQ(control.id, e.id);
        EXPECT_TRUE(SameClass(control.klass, HOTKEY_CLASSA)) << control.klass;
        EXPECT_EQ(control.x, 67);
        EXPECT_EQ(control.y, e.y);
        EXPECT_EQ(control.cx, 106);
        EXPECT_EQ(control.cy, 14);
        EXPECT_EQ((control.style & WS_BORDER) != 0, e.border);
        EXPECT_TRUE(control.style & WS_TABSTOP);
    }
    const TemplateItem& group = dialog.items[rows * 2];
    EXPECT_TRUE(SameClass(group.klass, "Button"));
    EXPECT_EQ(group.style & BS_TYPEMASK, static_cast<DWORD>(BS_GROUPBOX));
    EXPECT_EQ(group.text, "Static");
    EXPECT_FALSE(group.style & WS_VISIBLE);
    EXPECT_EQ(group.x, 65);
    EXPECT_EQ(group.y, 172);
    EXPECT_EQ(group.cx, 99);
    EXPECT_EQ(group.cy, 14);
    const TemplateItem& ok = dialog.items[rows * 2 + 1];
    EXPECT_EQ(ok.id, IDOK);
    EXPECT_EQ(ok.text, "OK");
    EXPECT_EQ(ok.style & BS_TYPEMASK, static_cast<DWORD>(BS_DEFPUSHBUTTON));
    EXPECT_EQ(ok.x, 68);
    EXPECT_EQ(ok.y, 172);
    EXPECT_EQ(ok.cx, 50);
    EXPECT_EQ(ok.cy, 14);
    const TemplateItem& cancel = dialog.items[rows * 2 + 2];
    EXPECT_EQ(cancel.id, IDCANCEL);
    EXPECT_EQ(cancel.text, "\xb7\xac\xdd\xbe\xd9");  // ｷｬﾝｾﾙ
    EXPECT_EQ(cancel.style & BS_TYPEMASK, static_cast<DWORD>(BS_PUSHBUTTON));
    EXPECT_EQ(cancel.x, 122);
    EXPECT_EQ(cancel.y, 172);
    EXPECT_EQ(cancel.cx, 50);
    EXPECT_EQ(cancel.cy, 14);
}

// ---------------------------------------------------------------- the set

// A set with a different combination in every slot but the fourth, and the
// value each hotkey control should show for it.
struct SlotCase {
    HotkeyDef def;
    WORD shown;
};

const SlotCase FILLED[HOTKEY_COUNT] = {
    {{MOD_CONTROL | MOD_SHIFT, 'A'}, MAKEWORD('A', HOTKEYF_CONTROL | HOTKEYF_SHIFT)},
    {{MOD_ALT, 'B'}, MAKEWORD('B', HOTKEYF_ALT)},
    {{MOD_CONTROL | 8, VK_INSERT}, MAKEWORD(VK_INSERT, HOTKEYF_CONTROL | HOTKEYF_EXT)},
    {{0, 0}, 0},
    {{MOD_SHIFT | MOD_ALT, VK_F5}, MAKEWORD(VK_F5, HOTKEYF_SHIFT | HOTKEYF_ALT)},
    {{MOD_CONTROL, '1'}, MAKEWORD('1', HOTKEYF_CONTROL)},
    {{MOD_CONTROL | MOD_ALT | MOD_SHIFT, 'Z'}, MAKEWORD('Z', HOTKEYF_CONTROL | HOTKEYF_ALT | HOTKEYF_SHIFT)},
    {{MOD_CONTROL | MOD_ALT, 'Y'}, MAKEWORD('Y', HOTKEYF_CONTROL | HOTKEYF_ALT)},
    {{MOD_SHIFT, VK_F12}, MAKEWORD(VK_F12, HOTKEYF_SHIFT)},
};

HotkeySet FilledSet()
{
    HotkeySet set;
    for (int i = 0; i < HOTKEY_COUNT; i++)
        set.slots[i] = FILLED[i].def;
    return set;
}

HotkeySet EmptySet()
{
    HotkeySet set;
    memset(&set, 0, sizeof set);
    return set;
}

void ExpectSameSet(const HotkeySet& a, const HotkeySet& b)
{
    for (int i = 0; i < HOTKEY_COUNT; i++) {
        EXPECT_EQ(a.slots[i].modifiers, b.slots[i].modifiers) << "slot " << i + 1;
        EXPECT_EQ(a.slots[i].vk, b.slots[i].vk) << "slot " << i + 1;
    }
}

WORD ControlValue(HWND dialog, int id)
{
    return LOWORD(SendDlgItemMessageA(dialog, id, HKM_GETHOTKEY, 0, 0));
}

void SetControl(HWND dialog, int id, WORD value)
{
    SendDlgItemMessageA(dialog, id, HKM_SETHOTKEY, value, 0);
}

TEST_F(HotkeyDlg, ControlsLoadFromTheSet)
{
    HotkeySet set = FilledSet();
    HWND dialog = nullptr;
    WORD shown[HOTKEY_COUNT] = {};
    void* param = nullptr;
    DialogScript script;
    script.Add(WaitForDialog(&dialog, CAPTION, 1021));
    script.Add(Do([&]() {
        for (int i = 0; i < HOTKEY_COUNT; i++)
            shown[i] = ControlValue(dialog, CONTROL_OF_SLOT[i]);
        param = GetPropA(dialog, PROP_DIALOGPARAM);
        PostButton(dialog, IDCANCEL);
    }));
    EXPECT_FALSE(RunDialogScript(&script, [&]() { return Open(&set); }));
    EXPECT_EQ(param, &set);
    for (int i = 0; i < HOTKEY_COUNT; i++)
        EXPECT_EQ(shown[i], FILLED[i].shown) << "slot " << i + 1 << ", control " << CONTROL_OF_SLOT[i];
    ExpectSameSet(set, FilledSet());
}

TEST_F(HotkeyDlg, OkStoresTheControls)
{
    HotkeySet set = EmptySet();
    HWND dialog = nullptr;
    DialogScript script;
    script.Add(WaitForDialog(&dialog, CAPTION, 1021));
    script.Add(Do([&]() {
        for (int i = 0; i < HOTKEY_COUNT; i++)
            SetControl(dialog, CONTROL_OF_SLOT[i], FILLED[i].shown);
        PostButton(dialog, IDOK);
    }));
    EXPECT_TRUE(RunDialogScript(&script, [&]() { return Open(&set); }));
    ExpectSameSet(set, FilledSet());
}

TEST_F(HotkeyDlg, AllControlsEmptyIsAccepted)
{
    HotkeySet set = FilledSet();
    HWND dialog = nullptr;
    DialogScript script;
    script.Add(WaitForDialog(&dialog, CAPTION, 1021));
    script.Add(Do([&]() {
        for (int id : CONTROL_OF_SLOT)
            SetControl(dialog, id, 0);
        PostButton(dialog, IDOK);
    }));
    EXPECT_TRUE(RunDialogScript(&script, [&]() { return Open(&set); }));
    ExpectSameSet(set, EmptySet());
}

TEST_F(HotkeyDlg, BareKeyBecomesCtrlAltPlusTheKey)
{
    HotkeySet set = EmptySet();
    HWND dialog = nullptr;
    WORD bare = 0, shifted = 0;
    DialogScript script;
    script.Add(WaitForDialog(&dialog, CAPTION, 1021));
    script.Add(Do([&]() {
        HWND date = GetDlgItem(dialog, 1028);
        SetFocus(date);
        SendMessageA(date, WM_KEYDOWN, VK_F5, 0x003F0001);
        SendMessageA(date, WM_KEYUP, VK_F5, 0xC03F0001);
        bare = ControlValue(dialog, 1028);
        // A key with a modifier keeps it.
        HWND ip = GetDlgItem(dialog, 1027);
        SetFocus(ip);
        SendMessageA(ip, WM_KEYDOWN, VK_SHIFT, 0x002A0001);
        SendMessageA(ip, WM_KEYDOWN, VK_F6, 0x00400001);
        SendMessageA(ip, WM_KEYUP, VK_F6, 0xC0400001);
        SendMessageA(ip, WM_KEYUP, VK_SHIFT, 0xC02A0001);
        shifted = ControlValue(dialog, 1027);
        PostButton(dialog, IDOK);
    }));
    EXPECT_TRUE(RunDialogScript(&script, [&]() { return Open(&set); }));
    EXPECT_EQ(bare, MAKEWORD(VK_F5, HOTKEYF_CONTROL | HOTKEYF_ALT));
    EXPECT_EQ(shifted, MAKEWORD(VK_F6, HOTKEYF_SHIFT));
    EXPECT_EQ(set.slots[4].modifiers, MOD_CONTROL | MOD_ALT);
    EXPECT_EQ(set.slots[4].vk, VK_F5);
    EXPECT_EQ(set.slots[5].modifiers, MOD_SHIFT);
    EXPECT_EQ(set.slots[5].vk, VK_F6);
}

struct DuplicatePair {
    int first, second;  // controls given the same combination
    int focused;        // the earlier of the two in slot order
};

TEST_F(HotkeyDlg, DuplicateIsRefusedWithTheFocusOnTheEarlierControl)
{
    const DuplicatePair pairs[] = {
        {1021, 1030, 1021},  // slots 1 and 9
        {1030, 1021, 1021},
        {1049, 1048, 1048},  // slots 8 and 7: the slot order decides, not the rows
        {1027, 1020, 1020},  // slots 6 and 2
    };
    for (const DuplicatePair& p : pairs) {
        SCOPED_TRACE(testing::Message() << p.first << " and " << p.second);
        HotkeySet set = FilledSet();
        HWND dialog = nullptr;
        SeenMessageBox seen;
        bool stillOpen = false;
        int focusedId = 0;
        DialogScript script;
        script.Add(WaitForDialog(&dialog, CAPTION, 1021));
        script.Add(Do([&]() {
            for (int i = 0; i < HOTKEY_COUNT; i++)
                SetControl(dialog, CONTROL_OF_SLOT[i], 0);
            SetControl(dialog, p.first, MAKEWORD('Q', HOTKEYF_CONTROL));
            SetControl(dialog, p.second, MAKEWORD('Q', HOTKEYF_CONTROL));
            SetFocus(GetDlgItem(dialog, IDOK));
            PostButton(dialog, IDOK);
        }));
        script.Add(AnswerMessageBox(&script, &dialog, &seen, IDOK));
        script.Add(WaitNoMessageBox(&dialog));
        script.Add(Do([&]() {
            stillOpen = IsWindow(dialog) && IsWindowVisible(dialog);
            focusedId = GetDlgCtrlID(GetFocus());
            PostButton(dialog, IDCANCEL);
        }));
        EXPECT_FALSE(RunDialogScript(&script, [&]() { return Open(&set); }));
        EXPECT_EQ(seen.caption, CAPTION);
        EXPECT_EQ(seen.text, MSG_DUPLICATE);
        EXPECT_EQ(seen.buttons, std::vector<int>{IDOK});
        EXPECT_TRUE(stillOpen);
        EXPECT_EQ(focusedId, p.focused);
        ExpectSameSet(set, FilledSet());
    }
}

// The search window's hotkey is Tamarin's too: a slot given it is refused
// as a duplicate is, with the focus on that slot's control.
TEST_F(HotkeyDlg, TheSearchWindowsHotkeyIsRefusedAsADuplicate)
{
    const HotkeyDef search = {MOD_CONTROL | MOD_SHIFT, 'F'};
    HotkeySet set = FilledSet();
    HWND dialog = nullptr;
    SeenMessageBox seen;
    bool stillOpen = false;
    int focusedId = 0;
    DialogScript script;
    script.Add(WaitForDialog(&dialog, CAPTION, 1021));
    script.Add(Do([&]() {
        for (int i = 0; i < HOTKEY_COUNT; i++)
            SetControl(dialog, CONTROL_OF_SLOT[i], 0);
        SetControl(dialog, 1027, MAKEWORD('F', HOTKEYF_CONTROL | HOTKEYF_SHIFT));
        SetFocus(GetDlgItem(dialog, IDOK));
        PostButton(dialog, IDOK);
    }));
    script.Add(AnswerMessageBox(&script, &dialog, &seen, IDOK));
    script.Add(WaitNoMessageBox(&dialog));
    script.Add(Do([&]() {
        stillOpen = IsWindow(dialog) && IsWindowVisible(dialog);
        focusedId = GetDlgCtrlID(GetFocus());
        // Another combination goes through.
        SetControl(dialog, 1027, MAKEWORD('G', HOTKEYF_CONTROL | HOTKEYF_SHIFT));
        PostButton(dialog, IDOK);
    }));
    EXPECT_TRUE(RunDialogScript(&script, [&]() { return HotkeyDlg_ShowFrom(module_, nullptr, &set, 0, &search); }));
    EXPECT_EQ(seen.text, MSG_DUPLICATE);
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(focusedId, 1027);
    EXPECT_EQ(set.slots[5].modifiers, MOD_CONTROL | MOD_SHIFT);
    EXPECT_EQ(set.slots[5].vk, 'G');
}

TEST_F(HotkeyDlg, ExtendedMarkMakesADifferentHotkey)
{
    HotkeySet set = EmptySet();
    HWND dialog = nullptr;
    DialogScript script;
    script.Add(WaitForDialog(&dialog, CAPTION, 1021));
    script.Add(Do([&]() {
        SetControl(dialog, 1021, MAKEWORD(VK_INSERT, HOTKEYF_CONTROL));
        SetControl(dialog, 1020, MAKEWORD(VK_INSERT, HOTKEYF_CONTROL | HOTKEYF_EXT));
        PostButton(dialog, IDOK);
    }));
    EXPECT_TRUE(RunDialogScript(&script, [&]() { return Open(&set); }));
    EXPECT_EQ(set.slots[0].modifiers, MOD_CONTROL);
    EXPECT_EQ(set.slots[1].modifiers, MOD_CONTROL | 8);
    EXPECT_EQ(set.slots[0].vk, VK_INSERT);
    EXPECT_EQ(set.slots[1].vk, VK_INSERT);
}

// ---------------------------------------------------------------- ways out

enum WayOut { BY_CANCEL, BY_ESCAPE, BY_CLOSE_NO };

TEST_F(HotkeyDlg, CancelEscapeAndNoStoreNothing)
{
    for (WayOut way : {BY_CANCEL, BY_ESCAPE, BY_CLOSE_NO}) {
        SCOPED_TRACE(testing::Message() << "way " << way);
        HotkeySet set = FilledSet();
        HWND dialog = nullptr;
        SeenMessageBox seen;
        DialogScript script;
        script.Add(WaitForDialog(&dialog, CAPTION, 1021));
        script.Add(Do([&]() {
            for (int id : CONTROL_OF_SLOT)
                SetControl(dialog, id, 0);
            SetControl(dialog, 1030, MAKEWORD('K', HOTKEYF_ALT));
            switch (way) {
            case BY_CANCEL: PostButton(dialog, IDCANCEL); break;
            case BY_ESCAPE: PostMessageA(GetDlgItem(dialog, 1021), WM_KEYDOWN, VK_ESCAPE, 0x00010001); break;
            case BY_CLOSE_NO: PostMessageA(dialog, WM_CLOSE, 0, 0); break;
            }
        }));
        if (way == BY_CLOSE_NO)
            script.Add(AnswerMessageBox(&script, &dialog, &seen, IDNO));
        EXPECT_FALSE(RunDialogScript(&script, [&]() { return Open(&set); }));
        ExpectSameSet(set, FilledSet());
        if (way == BY_CLOSE_NO) {
            EXPECT_EQ(seen.caption, CAPTION);
            EXPECT_EQ(seen.text, MSG_SAVE);
            EXPECT_EQ(seen.buttons, (std::vector<int>{IDCANCEL, IDYES, IDNO}));
        }
    }
}

TEST_F(HotkeyDlg, CloseQuestionCancelKeepsTheDialogAndYesActsAsOk)
{
    HotkeySet set = EmptySet();
    HWND dialog = nullptr;
    CloseTwiceSeen seen;
    DialogScript script;
    script.Add(WaitForDialog(&dialog, CAPTION, 1021));
    script.Add(Do([&]() { SetControl(dialog, 1049, MAKEWORD('H', HOTKEYF_CONTROL | HOTKEYF_SHIFT)); }));
    AddCloseCancelThenYes(&script, &dialog, &seen);
    EXPECT_TRUE(RunDialogScript(&script, [&]() { return Open(&set); }));
    EXPECT_EQ(seen.first.text, MSG_SAVE);
    EXPECT_TRUE(seen.openAfterCancel);
    EXPECT_EQ(seen.second.text, MSG_SAVE);
    HotkeySet expected = EmptySet();
    expected.slots[7] = HotkeyDef{MOD_CONTROL | MOD_SHIFT, 'H'};
    ExpectSameSet(set, expected);
}

TEST_F(HotkeyDlg, YesWithADuplicateKeepsTheDialogOpen)
{
    HotkeySet set = EmptySet();
    HWND dialog = nullptr;
    SeenMessageBox question, refusal;
    bool stillOpen = false;
    DialogScript script;
    script.Add(WaitForDialog(&dialog, CAPTION, 1021));
    script.Add(Do([&]() {
        SetControl(dialog, 1029, MAKEWORD('R', HOTKEYF_CONTROL));
        SetControl(dialog, 1026, MAKEWORD('R', HOTKEYF_CONTROL));
        PostMessageA(dialog, WM_CLOSE, 0, 0);
    }));
    script.Add(AnswerMessageBox(&script, &dialog, &question, IDYES));
    script.Add(AnswerMessageBox(&script, &dialog, &refusal, IDOK));
    script.Add(WaitNoMessageBox(&dialog));
    script.Add(Do([&]() {
        stillOpen = IsWindow(dialog) && IsWindowVisible(dialog);
        PostButton(dialog, IDCANCEL);
    }));
    EXPECT_FALSE(RunDialogScript(&script, [&]() { return Open(&set); }));
    EXPECT_EQ(question.text, MSG_SAVE);
    EXPECT_EQ(refusal.text, MSG_DUPLICATE);
    EXPECT_TRUE(stillOpen);
    ExpectSameSet(set, EmptySet());
}

// ---------------------------------------------------------------- one at a time

TEST_F(HotkeyDlg, SecondOpeningBringsTheFirstToTheFront)
{
    HotkeySet set = FilledSet();
    HotkeySet other = EmptySet();
    HWND dialog = nullptr;
    bool openDuring = false;
    SecondOpening second;
    DialogScript script;
    script.Add(WaitForDialog(&dialog, CAPTION, 1021));
    script.Add(Do([&]() { openDuring = HotkeyDlg_IsOpen(); }));
    AddSecondOpening(&script, CAPTION, [&]() { return Open(&other); }, &second);
    script.Add(Do([&]() { PostButton(dialog, IDCANCEL); }));
    EXPECT_FALSE(RunDialogScript(&script, [&]() { return Open(&set); }));
    EXPECT_TRUE(openDuring);
    ExpectBroughtToFront(second, dialog);
    EXPECT_FALSE(HotkeyDlg_IsOpen());
    ExpectSameSet(other, EmptySet());
    ExpectSameSet(set, FilledSet());
}

}  // namespace
