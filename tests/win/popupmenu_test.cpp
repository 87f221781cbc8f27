// The text-list popup built into real menus (order, ids, flags, labels and
// column breaks), the command menu's check and grey states, the small menu
// helpers and the pick of a text, all through the menu API under Wine.
#include <windows.h>

#include <gtest/gtest.h>

#include <stdio.h>

#include <string>
#include <vector>

#include "app/mainwnd.h"
#include "menu/popupmenu.h"
#include "resources/resource.h"
#include "settings/appinfo.h"
#include "settings/settings.h"
#include "settings/apppath.h"
#include "store/appdata.h"
#include "win/dialogdriver.h"

namespace {

const std::string NONE_LABEL = "\x81\x69\x82\xc8\x82\xb5\x81\x6a";  // （なし）

struct Item {
    UINT id;
    UINT type;   // MFT_* bits
    UINT state;  // MFS_* bits
    std::string text;
};

std::vector<Item> ReadMenu(HMENU menu)
{
    std::vector<Item> items;
    int count = GetMenuItemCount(menu);
    for (int pos = 0; pos < count; pos++) {
        char text[300] = "";
        MENUITEMINFOA mii = {};
        mii.cbSize = sizeof(mii);
        mii.fMask = MIIM_ID | MIIM_FTYPE | MIIM_STATE | MIIM_STRING;
        mii.dwTypeData = text;
        mii.cch = sizeof(text);
        EXPECT_TRUE(GetMenuItemInfoA(menu, static_cast<UINT>(pos), TRUE, &mii)) << "position " << pos;
        items.push_back({mii.wID, mii.fType, mii.fState, (mii.fType & MFT_SEPARATOR) ? "" : text});
    }
    return items;
}

// Entry i of a list gets the text prefix + i + tail; index 0 is added last so
// that it ends up at the head.
void Fill(AppData* data, int list, const char* prefix, int count, const std::string& tail = "")
{
    for (int i = count - 1; i >= 0; i--)
        AppData_Add(data, list, (prefix + std::to_string(i) + tail).c_str());
}

// The label expected for an entry id of a store filled by Fill without tail.
std::string ShortLabelOf(UINT id)
{
    if (id >= IDM_REGISTERED_FIRST)
        return "r" + std::to_string(id - IDM_REGISTERED_FIRST);
    return "h" + std::to_string(id - IDM_HISTORY_FIRST);
}

// Rows of one column of the text list: the screen height over the height of a
// menu row plus 2.
int RowsPerColumn() { return GetSystemMetrics(SM_CYSCREEN) / (GetSystemMetrics(SM_CYMENU) + 2); }

bool HasBreak(const Item& item) { return (item.type & MFT_MENUBARBREAK) != 0; }
bool IsSeparator(const Item& item) { return (item.type & MFT_SEPARATOR) != 0; }
bool IsGrayed(const Item& item) { return (item.state & MF_GRAYED) != 0; }

void ExpectPlaceholder(const Item& item)
{
    EXPECT_EQ(item.id, 0u);
    EXPECT_FALSE(IsSeparator(item));
    EXPECT_EQ(item.state & (MF_DISABLED | MF_GRAYED), static_cast<UINT>(MF_DISABLED | MF_GRAYED));
    EXPECT_EQ(item.text, NONE_LABEL);
}

struct TextMenu : testing::Test {
    AppData* data = nullptr;
    HMENU menu = nullptr;

    void SetUp() override
    {
        data = AppData_New();
        ASSERT_NE(data, nullptr);
    }
    void TearDown() override
    {
        if (menu)
            DestroyMenu(menu);
        AppData_Delete(data);
    }
    std::vector<Item> Build(int historyMax, int labelSize, bool registeredFirst, bool newestFirst)
    {
        if (menu)
            DestroyMenu(menu);
        menu = CreatePopupMenu();
        EXPECT_NE(menu, nullptr);
        EXPECT_EQ(BuildTextMenu(menu, data, historyMax, labelSize, registeredFirst, newestFirst), 1);
        return ReadMenu(menu);
    }
};

TEST_F(TextMenu, EmptyStoreShowsTwoPlaceholders)
{
    for (bool registeredFirst : {true, false}) {
        std::vector<Item> items = Build(30, 64, registeredFirst, true);
        ASSERT_EQ(items.size(), 3u);
        ExpectPlaceholder(items[0]);
        EXPECT_TRUE(IsSeparator(items[1]));
        EXPECT_EQ(items[1].id, 0u);
        ExpectPlaceholder(items[2]);
    }
}

TEST_F(TextMenu, SectionOrderAndIdsFollowTheSettings)
{
    Fill(data, LIST_HISTORY, "h", 3);
    Fill(data, LIST_REGISTERED, "r", 2);
    struct Case {
        bool registeredFirst;
        bool newestFirst;
        std::vector<UINT> ids;  // 0 is the separator
    };
    const Case cases[] = {
        {true, true, {8192, 8193, 0, 4096, 4097, 4098}},
        {true, false, {8192, 8193, 0, 4098, 4097, 4096}},
        {false, true, {4096, 4097, 4098, 0, 8192, 8193}},
        {false, false, {4098, 4097, 4096, 0, 8192, 8193}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "registeredFirst=" << c.registeredFirst << " newestFirst=" << c.newestFirst);
        std::vector<Item> items = Build(30, 64, c.registeredFirst, c.newestFirst);
        ASSERT_EQ(items.size(), c.ids.size());
        for (size_t pos = 0; pos < items.size(); pos++) {
            EXPECT_EQ(items[pos].id, c.ids[pos]) << "position " << pos;
            EXPECT_FALSE(HasBreak(items[pos]));
            if (c.ids[pos] == 0) {
                EXPECT_TRUE(IsSeparator(items[pos]));
                continue;
            }
            EXPECT_FALSE(IsSeparator(items[pos]));
            EXPECT_EQ(items[pos].state, static_cast<UINT>(MFS_ENABLED));
            EXPECT_EQ(items[pos].text, ShortLabelOf(c.ids[pos]));
        }
    }
}

TEST_F(TextMenu, EmptySectionGetsAPlaceholder)
{
    Fill(data, LIST_HISTORY, "h", 2);
    std::vector<Item> items = Build(30, 64, true, true);
    ASSERT_EQ(items.size(), 4u);
    ExpectPlaceholder(items[0]);
    EXPECT_TRUE(IsSeparator(items[1]));
    EXPECT_EQ(items[2].id, 4096u);
    EXPECT_EQ(items[3].id, 4097u);

    AppData_Clear(data, LIST_HISTORY);
    Fill(data, LIST_REGISTERED, "r", 1);
    items = Build(30, 64, true, true);
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0].id, 8192u);
    EXPECT_TRUE(IsSeparator(items[1]));
    ExpectPlaceholder(items[2]);
}

TEST_F(TextMenu, HistoryLongerThanItsCapShowsTheCapNewest)
{
    Fill(data, LIST_HISTORY, "h", 10);
    std::vector<Item> items = Build(4, 64, false, true);
    ASSERT_EQ(items.size(), 6u);
    for (UINT i = 0; i < 4; i++) {
        EXPECT_EQ(items[i].id, 4096 + i);
        EXPECT_EQ(items[i].text, "h" + std::to_string(i));
    }
    EXPECT_TRUE(IsSeparator(items[4]));
    ExpectPlaceholder(items[5]);

    // Oldest first starts at the oldest entry within the cap, not the list's tail.
    items = Build(4, 64, false, false);
    ASSERT_EQ(items.size(), 6u);
    for (UINT i = 0; i < 4; i++) {
        EXPECT_EQ(items[i].id, 4099 - i);
        EXPECT_EQ(items[i].text, "h" + std::to_string(3 - i));
    }

    // A cap above the count shows every entry.
    items = Build(30, 64, false, false);
    ASSERT_EQ(items.size(), 12u);
    EXPECT_EQ(items[0].id, 4105u);
    EXPECT_EQ(items[9].id, 4096u);
}

TEST_F(TextMenu, LabelsAreOneLineWithAmpersandsDoubledAndCut)
{
    AppData_Add(data, LIST_HISTORY, std::string(100, 'x').c_str());
    AppData_Add(data, LIST_HISTORY, "line1\r\nline2");
    AppData_Add(data, LIST_HISTORY, "a&b");
    std::vector<Item> items = Build(30, 64, false, true);
    ASSERT_EQ(items.size(), 5u);
    EXPECT_EQ(items[0].text, "a&&b");
    EXPECT_EQ(items[1].text, "line1line2");
    EXPECT_EQ(items[2].text, std::string(63, 'x'));
    items = Build(30, 10, false, true);
    EXPECT_EQ(items[2].text, std::string(9, 'x'));
}

// With more items than one column holds, every g-th item starts a column and
// the label size is divided by the number of columns (never below 3).
TEST_F(TextMenu, LongListsBreakIntoColumns)
{
    const int g = RowsPerColumn();
    ASSERT_GT(g, 6);
    const std::string tail(100, 'x');

    struct Case {
        int history;    // history entries, no registered texts
        int labelSize;  // setting
        int columns;    // expected
    };
    const Case cases[] = {
        {g - 2, 64, 1},      // g items: one full column
        {g - 1, 64, 2},      // g + 1 items
        {2 * g + 5, 64, 3},  // 2g + 7 items
        {2 * g + 5, 8, 3},   // 8 / 3 is below 3: labels of 3 bytes
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "history=" << c.history << " labelSize=" << c.labelSize);
        AppData_Clear(data, LIST_HISTORY);
        Fill(data, LIST_HISTORY, "h", c.history, tail);
        std::vector<Item> items = Build(4095, c.labelSize, false, true);
        ASSERT_EQ(items.size(), static_cast<size_t>(c.history + 2));
        int breaks = 0;
        for (size_t pos = 0; pos < items.size(); pos++) {
            bool expected = pos > 0 && pos % static_cast<size_t>(g) == 0;
            EXPECT_EQ(HasBreak(items[pos]), expected) << "position " << pos;
            breaks += HasBreak(items[pos]) ? 1 : 0;
        }
        EXPECT_EQ(breaks + 1, c.columns);
        int size = c.labelSize / c.columns > 3 ? c.labelSize / c.columns : 3;
        for (int i = 0; i < c.history; i++) {
            std::string text = "h" + std::to_string(i) + tail;
            EXPECT_EQ(items[i].text, text.substr(0, static_cast<size_t>(size - 1))) << "entry " << i;
            EXPECT_EQ(items[i].id, static_cast<UINT>(4096 + i));
        }
    }
}

TEST_F(TextMenu, SeparatorAndPlaceholderKeepTheirKindAtAColumnBreak)
{
    const int g = RowsPerColumn();
    ASSERT_GT(g, 2);
    // Registered texts fill the first column; the separator starts the second.
    Fill(data, LIST_REGISTERED, "r", g);
    Fill(data, LIST_HISTORY, "h", 1);
    std::vector<Item> items = Build(30, 64, true, true);
    ASSERT_EQ(items.size(), static_cast<size_t>(g + 2));
    EXPECT_TRUE(IsSeparator(items[g]));
    EXPECT_TRUE(HasBreak(items[g]));

    // One registered text fewer: the history's placeholder starts the second.
    AppData_Clear(data, LIST_REGISTERED | LIST_HISTORY);
    Fill(data, LIST_REGISTERED, "r", g - 1);
    items = Build(30, 64, true, true);
    ASSERT_EQ(items.size(), static_cast<size_t>(g + 1));
    EXPECT_TRUE(IsSeparator(items[g - 1]));
    EXPECT_FALSE(HasBreak(items[g - 1]));
    ExpectPlaceholder(items[g]);
    EXPECT_TRUE(HasBreak(items[g]));
}

// Ids cover 4095 registered indexes; texts beyond could not be picked.
TEST_F(TextMenu, RegisteredTextsBeyondTheIdRangeAreNotShown)
{
    Fill(data, LIST_REGISTERED, "r", 4097);
    std::vector<Item> items = Build(30, 64, true, true);
    ASSERT_EQ(items.size(), 4095u + 2u);
    EXPECT_EQ(items[4094].id, static_cast<UINT>(IDM_REGISTERED_LAST));
    EXPECT_TRUE(IsSeparator(items[4095]));
}

// Not run by default: BuildTextMenu with full lists against appending the
// same number of plain items. Run with --gtest_also_run_disabled_tests.
TEST_F(TextMenu, DISABLED_BuildTextMenuTiming)
{
    Fill(data, LIST_HISTORY, "h", 4095, std::string(60, 'x'));
    Fill(data, LIST_REGISTERED, "r", 4095, std::string(60, 'y'));
    LARGE_INTEGER freq;
    QueryPerformanceFrequency(&freq);
    auto elapsedMs = [&](const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
        return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(freq.QuadPart);
    };

    // The first menu of a run pays for warming up the menu heap, so there is
    // one untimed build first, and the two take turns at going first.
    HMENU warm = CreatePopupMenu();
    BuildTextMenu(warm, data, 4095, 64, true, false);
    std::vector<Item> items = ReadMenu(warm);
    int count = static_cast<int>(items.size());
    DestroyMenu(warm);

    double buildMs = 0;
    double plainMs = 0;
    const int rounds = 4;
    for (int round = 0; round < 2 * rounds; round++) {
        LARGE_INTEGER t0, t1;
        HMENU menu = CreatePopupMenu();
        bool build = (round % 4 == 0 || round % 4 == 3);
        QueryPerformanceCounter(&t0);
        if (build) {
            BuildTextMenu(menu, data, 4095, 64, true, false);
        } else {
            // The same items, labels and column breaks, appended directly.
            for (const Item& item : items)
                AppendMenuA(menu, item.type | item.state, item.id, IsSeparator(item) ? nullptr : item.text.c_str());
        }
        QueryPerformanceCounter(&t1);
        (build ? buildMs : plainMs) += elapsedMs(t0, t1);
        EXPECT_EQ(GetMenuItemCount(menu), count);
        DestroyMenu(menu);
    }
    buildMs /= rounds;
    plainMs /= rounds;
    printf("BuildTextMenu: %d items in %.2f ms; AppendMenuA alone: %.2f ms; ratio %.2f\n", count, buildMs, plainMs,
           plainMs > 0 ? buildMs / plainMs : 0.0);
    EXPECT_EQ(count, 4095 + 1 + 4095);
}

// ---- command menu -------------------------------------------------------

UINT StateOf(HMENU menu, UINT id) { return GetMenuState(menu, id, MF_BYCOMMAND); }

void ExpectCommandStates(HMENU menu, bool checked, bool grayed)
{
    EXPECT_EQ((StateOf(menu, IDM_USE_HISTORY) & MF_CHECKED) != 0, checked);
    EXPECT_EQ((StateOf(menu, IDM_USE_HISTORY) & MF_GRAYED) != 0, false);
    EXPECT_EQ((StateOf(menu, IDM_REGISTER_TEXT) & MF_GRAYED) != 0, grayed);
    EXPECT_EQ((StateOf(menu, IDM_EDIT_REGISTERED) & MF_GRAYED) != 0, grayed);
    for (UINT id : {IDM_REGISTER_TEXT, IDM_EDIT_REGISTERED, IDM_CLEAR_HISTORY, IDM_QUIT})
        EXPECT_EQ(StateOf(menu, id) & MF_CHECKED, 0u) << id;
    for (UINT id : {IDM_CLEAR_HISTORY, IDM_HOTKEYS, IDM_QUIT})
        EXPECT_EQ(StateOf(menu, id) & MF_GRAYED, 0u) << id;
}

TEST(CommandMenu, PrepareSetsCheckAndGreyBothWays)
{
    HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING, IDM_USE_HISTORY, "history");
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu, MF_STRING, IDM_CLEAR_HISTORY, "clear");
    AppendMenuA(menu, MF_STRING, IDM_REGISTER_TEXT, "register");
    AppendMenuA(menu, MF_STRING, IDM_EDIT_REGISTERED, "edit");
    AppendMenuA(menu, MF_STRING, IDM_HOTKEYS, "hotkeys");
    AppendMenuA(menu, MF_STRING, IDM_QUIT, "quit");
    AppInfo info;
    SetDefaultSettings(&info);
    struct Case {
        bool historyEnabled;
        bool dialogOpen;
    };
    // Each case runs on the menu as the case before left it.
    const Case cases[] = {{true, false}, {false, true}, {true, true}, {false, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "historyEnabled=" << c.historyEnabled << " dialogOpen=" << c.dialogOpen);
        info.historyEnabled = c.historyEnabled;
        PopupMenu_PrepareCommandMenu(menu, &info, c.dialogOpen);
        ExpectCommandStates(menu, c.historyEnabled, c.dialogOpen);
    }
    DestroyMenu(menu);
}

TEST(CommandMenu, ResourceMenuStates)
{
    HMODULE module = LoadTamarinTemplates();
    if (!module)
        GTEST_SKIP() << "tamarin.exe not built";
    HMENU loaded = LoadMenuA(module, MAKEINTRESOURCEA(IDR_COMMAND_MENU));
    ASSERT_NE(loaded, nullptr);
    HMENU popup = GetSubMenu(loaded, 0);
    ASSERT_NE(popup, nullptr);
    const UINT ids[] = {IDM_USE_HISTORY, 0,           IDM_CLEAR_HISTORY, IDM_CLEAR_CLIPBOARD, IDM_GET_DATETIME,
                        IDM_GET_IPADDRESS, 0,         IDM_REGISTER_TEXT, IDM_EDIT_REGISTERED, IDM_HOTKEYS,
                        IDM_SETTINGS,      0,         IDM_SEARCH_TEXT,   IDM_EXT_SETTINGS,    0,
                        IDM_ABOUT,         IDM_QUIT};
    std::vector<Item> items = ReadMenu(popup);
    ASSERT_EQ(items.size(), sizeof(ids) / sizeof(ids[0]));
    for (size_t i = 0; i < items.size(); i++)
        EXPECT_EQ(items[i].id, ids[i]) << "position " << i;

    AppInfo info;
    SetDefaultSettings(&info);
    info.historyEnabled = true;
    PopupMenu_PrepareCommandMenu(popup, &info, true);
    items = ReadMenu(popup);
    for (const Item& item : items) {
        if (IsSeparator(item))
            continue;
        bool checked = (item.state & MFS_CHECKED) != 0;
        EXPECT_EQ(checked, item.id == IDM_USE_HISTORY) << item.id;
        EXPECT_EQ(IsGrayed(item), item.id == IDM_REGISTER_TEXT || item.id == IDM_EDIT_REGISTERED) << item.id;
    }
    info.historyEnabled = false;
    PopupMenu_PrepareCommandMenu(popup, &info, false);
    for (const Item& item : ReadMenu(popup)) {
        if (IsSeparator(item))
            continue;
        EXPECT_EQ(item.state & MFS_CHECKED, 0u) << item.id;
        EXPECT_FALSE(IsGrayed(item)) << item.id;
    }
    DestroyMenu(loaded);
    FreeLibrary(module);
}

// The text-list resource is only an empty popup once its "(none)" item is gone.
TEST(TextMenuResource, BuildsIntoTheLoadedPopup)
{
    HMODULE module = LoadTamarinTemplates();
    if (!module)
        GTEST_SKIP() << "tamarin.exe not built";
    HMENU loaded = LoadMenuA(module, MAKEINTRESOURCEA(IDR_TEXT_MENU));
    ASSERT_NE(loaded, nullptr);
    HMENU popup = GetSubMenu(loaded, 0);
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(PopupMenu_FindItemPos(popup, IDM_NONE), 0);
    DeleteMenu(popup, IDM_NONE, MF_BYCOMMAND);
    AppData* data = AppData_New();
    Fill(data, LIST_HISTORY, "h", 2);
    BuildTextMenu(popup, data, 30, 64, true, true);
    std::vector<Item> items = ReadMenu(popup);
    ASSERT_EQ(items.size(), 4u);
    ExpectPlaceholder(items[0]);
    EXPECT_EQ(items[2].id, 4096u);
    AppData_Delete(data);
    DestroyMenu(loaded);
    FreeLibrary(module);
}

// ---- menu helpers -------------------------------------------------------

struct MenuHelpers : testing::Test {
    HMENU menu = nullptr;
    HMENU sub = nullptr;
    void SetUp() override
    {
        menu = CreatePopupMenu();
        sub = CreatePopupMenu();
        AppendMenuA(menu, MF_STRING, 10, "ten");
        AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(menu, MF_STRING, 20, "twenty");
        AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), "sub");
        AppendMenuA(menu, MF_STRING, 30, "thirty");
    }
    void TearDown() override { DestroyMenu(menu); }
    std::string TextAt(int pos)
    {
        char text[64] = "";
        GetMenuStringA(menu, static_cast<UINT>(pos), text, sizeof(text), MF_BYPOSITION);
        return text;
    }
};

TEST_F(MenuHelpers, PopupMenu_FindItemPos)
{
    EXPECT_EQ(PopupMenu_FindItemPos(menu, 10), 0);
    EXPECT_EQ(PopupMenu_FindItemPos(menu, 20), 2);
    EXPECT_EQ(PopupMenu_FindItemPos(menu, 30), 4);
    EXPECT_EQ(PopupMenu_FindItemPos(menu, 99), -1);
}

TEST_F(MenuHelpers, CheckAndEnableFollowTheFlag)
{
    PopupMenu_CheckItemIf(menu, 20, MF_BYCOMMAND, true);
    EXPECT_NE(GetMenuState(menu, 20, MF_BYCOMMAND) & MF_CHECKED, 0u);
    PopupMenu_CheckItemIf(menu, 2, MF_BYPOSITION, false);
    EXPECT_EQ(GetMenuState(menu, 20, MF_BYCOMMAND) & MF_CHECKED, 0u);
    PopupMenu_EnableItemIf(menu, 4, MF_BYPOSITION, false);
    EXPECT_EQ(GetMenuState(menu, 30, MF_BYCOMMAND) & MF_GRAYED, static_cast<UINT>(MF_GRAYED));
    PopupMenu_EnableItemIf(menu, 30, MF_BYCOMMAND, true);
    EXPECT_EQ(GetMenuState(menu, 30, MF_BYCOMMAND) & MF_GRAYED, 0u);
    EXPECT_EQ(GetMenuState(menu, 10, MF_BYCOMMAND), 0u);
}

TEST_F(MenuHelpers, SetMenuItemTextKeepsTheId)
{
    PopupMenu_SetItemText(menu, 20, MF_BYCOMMAND, "\x93\xfa\x96\x7b");  // 日本
    EXPECT_EQ(TextAt(2), "\x93\xfa\x96\x7b");
    EXPECT_EQ(GetMenuItemID(menu, 2), 20u);
    PopupMenu_SetItemText(menu, 4, MF_BYPOSITION, "last");
    EXPECT_EQ(TextAt(4), "last");
    EXPECT_EQ(GetMenuItemID(menu, 4), 30u);
    // A sub-menu has no id to keep: left alone.
    PopupMenu_SetItemText(menu, 3, MF_BYPOSITION, "changed");
    EXPECT_EQ(TextAt(3), "sub");
    EXPECT_EQ(GetSubMenu(menu, 3), sub);
    EXPECT_EQ(GetMenuItemCount(menu), 5);
}

}  // namespace
