// Global hotkeys: what is registered is seen from a second window, which can
// take a key combination only while the main window does not hold it; a
// pressed hotkey becomes a message or command to a window that records them.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "app/mainwnd.h"
#include "settings/appinfo.h"
#include "shell/hotkeys.h"

namespace {

struct Received {
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
};

std::vector<Received> g_received;
HWND g_thief = nullptr;  // takes the foreground in every command, as a popup or dialog would
HWND g_foregroundDuring = nullptr;

LRESULT CALLBACK RecordingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_SHOWTEXTMENU || msg == WM_SHOWCOMMANDMENU || msg == WM_COMMAND) {
        g_received.push_back({msg, wParam, lParam});
        if (g_thief)
            SetForegroundWindow(g_thief);
        g_foregroundDuring = GetForegroundWindow();
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

const char TEST_CLASS[] = "TamarinHotkeyTest";

HWND MakeWindow()
{
    static bool registered = false;
    if (!registered) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = RecordingProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = TEST_CLASS;
        registered = RegisterClassA(&wc) != 0;
    }
    return CreateWindowExA(0, TEST_CLASS, "", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

// Ctrl+Alt+Shift with the function keys F13 and up: nothing else on the test
// desktop wants them.
const UINT ALL_MODS = MOD_CONTROL | MOD_ALT | MOD_SHIFT;

// Ids of the nine hotkeys by HotkeySet slot (slot 7 clears the clipboard,
// slot 8 switches the history).
const int IDS_BY_SLOT[HOTKEY_COUNT] = {32770, 32771, 40049, 40031, 40045, 40034, 40055, 40054, 40050};

struct Hotkeys : testing::Test {
    HWND main = nullptr;
    HWND other = nullptr;

    void SetUp() override
    {
        main = MakeWindow();
        other = MakeWindow();
        ASSERT_NE(main, nullptr);
        ASSERT_NE(other, nullptr);
        g_received.clear();
    }
    void TearDown() override
    {
        UnregisterAllHotkeys(main);
        DestroyWindow(main);
        DestroyWindow(other);
        g_thief = nullptr;
    }
    // Whether the second window can take the combination; it gives it back at once.
    bool IsFree(UINT modifiers, UINT vk)
    {
        if (!RegisterHotKey(other, 1, modifiers, vk))
            return false;
        UnregisterHotKey(other, 1);
        return true;
    }
};

TEST_F(Hotkeys, ExtendedFlagIsDroppedAtRegistration)
{
    HotkeyDef def = {HOTKEY_MOD_CONTROL | HOTKEY_MOD_SHIFT | HOTKEY_MOD_EXT, VK_F13};
    ASSERT_TRUE(IsFree(MOD_CONTROL | MOD_SHIFT, VK_F13));
    EXPECT_TRUE(RegisterOneHotkey(main, 32770, &def));
    EXPECT_FALSE(IsFree(MOD_CONTROL | MOD_SHIFT, VK_F13));
    // 8 is MOD_WIN to RegisterHotKey: that combination was not taken.
    EXPECT_TRUE(IsFree(MOD_CONTROL | MOD_SHIFT | MOD_WIN, VK_F13));
    UnregisterAllHotkeys(main);
    EXPECT_TRUE(IsFree(MOD_CONTROL | MOD_SHIFT, VK_F13));
}

TEST_F(Hotkeys, EmptySlotUnregistersItsId)
{
    HotkeyDef def = {HOTKEY_MOD_ALT | HOTKEY_MOD_CONTROL | HOTKEY_MOD_SHIFT, VK_F14};
    ASSERT_TRUE(RegisterOneHotkey(main, 40045, &def));
    EXPECT_FALSE(IsFree(ALL_MODS, VK_F14));
    HotkeyDef empty = {0, 0};
    RegisterOneHotkey(main, 40045, &empty);
    EXPECT_TRUE(IsFree(ALL_MODS, VK_F14));
}

// Each slot is registered under the id of its command: unregistering exactly
// that id frees exactly that slot's combination.
TEST_F(Hotkeys, RegisterAllUsesTheIdOfEachSlot)
{
    HotkeySet set = {};
    for (int slot = 0; slot < HOTKEY_COUNT; slot++)
        set.slots[slot] = {HOTKEY_MOD_ALT | HOTKEY_MOD_CONTROL | HOTKEY_MOD_SHIFT, VK_F13 + slot};
    RegisterAllHotkeys(main, &set);
    for (int slot = 0; slot < HOTKEY_COUNT; slot++)
        EXPECT_FALSE(IsFree(ALL_MODS, VK_F13 + slot)) << "slot " << slot + 1;
    for (int slot = 0; slot < HOTKEY_COUNT; slot++) {
        ASSERT_TRUE(UnregisterHotKey(main, IDS_BY_SLOT[slot])) << "slot " << slot + 1;
        for (int s = 0; s < HOTKEY_COUNT; s++)
            EXPECT_EQ(IsFree(ALL_MODS, VK_F13 + s), s <= slot) << "slot " << slot + 1 << " key of slot " << s + 1;
    }
}

TEST_F(Hotkeys, UnregisterAllFreesEverything)
{
    HotkeySet set = {};
    for (int slot = 0; slot < HOTKEY_COUNT; slot++)
        set.slots[slot] = {HOTKEY_MOD_ALT | HOTKEY_MOD_CONTROL | HOTKEY_MOD_SHIFT, VK_F13 + slot};
    set.slots[4] = {0, 0};
    RegisterAllHotkeys(main, &set);
    UnregisterAllHotkeys(main);
    for (int slot = 0; slot < HOTKEY_COUNT; slot++)
        EXPECT_TRUE(IsFree(ALL_MODS, VK_F13 + slot)) << "slot " << slot + 1;
    // Twice is harmless.
    UnregisterAllHotkeys(main);
}

TEST_F(Hotkeys, PopupIdsAreSentAsMessagesOthersAsCommands)
{
    for (WPARAM id : {32770, 32771, 40049, 40031, 40045, 40034, 40054, 40055, 40050}) {
        g_received.clear();
        EXPECT_EQ(OnHotkey(main, id), 0);
        ASSERT_EQ(g_received.size(), 1u) << id;
        const Received& r = g_received[0];
        if (id == 32770 || id == 32771) {
            EXPECT_EQ(r.msg, static_cast<UINT>(id));
            EXPECT_EQ(r.wParam, 0u);
        } else {
            EXPECT_EQ(r.msg, static_cast<UINT>(WM_COMMAND));
            EXPECT_EQ(r.wParam, id);
        }
        EXPECT_EQ(r.lParam, 0);
    }
}

// The window that had the foreground when the hotkey came (the user's, as
// a rule of another program) has it again when the command is done.
TEST_F(Hotkeys, ForegroundWindowIsGivenBackAfterTheCommand)
{
    HWND before = MakeWindow();
    ASSERT_NE(before, nullptr);
    ShowWindow(before, SW_SHOW);
    ShowWindow(other, SW_SHOW);
    SetForegroundWindow(before);
    ASSERT_EQ(GetForegroundWindow(), before);
    g_thief = other;
    for (WPARAM id : {32770, 40045}) {
        g_foregroundDuring = nullptr;
        OnHotkey(main, id);
        ASSERT_EQ(g_foregroundDuring, other) << id;
        EXPECT_EQ(GetForegroundWindow(), before) << id;
    }
    g_thief = nullptr;
    DestroyWindow(before);
}

// A combination held by another window is reported by slot; when it is
// free again, the next registration reports nothing.
TEST_F(Hotkeys, RegisterAllReportsTheSlotsHeldElsewhere)
{
    HotkeySet set = {};
    set.slots[0] = {HOTKEY_MOD_ALT | HOTKEY_MOD_CONTROL | HOTKEY_MOD_SHIFT, VK_F13};
    set.slots[4] = {HOTKEY_MOD_ALT | HOTKEY_MOD_CONTROL | HOTKEY_MOD_SHIFT, VK_F14};
    set.slots[7] = {HOTKEY_MOD_ALT | HOTKEY_MOD_CONTROL | HOTKEY_MOD_SHIFT, VK_F15};
    ASSERT_TRUE(RegisterHotKey(other, 1, ALL_MODS, VK_F14));
    ASSERT_TRUE(RegisterHotKey(other, 2, ALL_MODS, VK_F15));
    EXPECT_EQ(RegisterAllHotkeys(main, &set), (1u << 4) | (1u << 7));
    EXPECT_EQ(Hotkeys_GetFailedSlots(), (1u << 4) | (1u << 7));
    EXPECT_FALSE(IsFree(ALL_MODS, VK_F13));  // the free one is registered all the same
    UnregisterHotKey(other, 1);
    UnregisterHotKey(other, 2);
    UnregisterAllHotkeys(main);  // as the program does before registering again
    EXPECT_EQ(RegisterAllHotkeys(main, &set), 0u);
    EXPECT_EQ(Hotkeys_GetFailedSlots(), 0u);
}

TEST(HotkeyModifiers, RegisteredWithoutRepeatAndWithoutTheExtendedMark)
{
    const struct {
        int stored;
        UINT registered;
    } cases[] = {
        {HOTKEY_MOD_CONTROL, MOD_CONTROL | MOD_NOREPEAT},
        {HOTKEY_MOD_ALT | HOTKEY_MOD_SHIFT, MOD_ALT | MOD_SHIFT | MOD_NOREPEAT},
        {HOTKEY_MOD_CONTROL | HOTKEY_MOD_EXT, MOD_CONTROL | MOD_NOREPEAT},
        {HOTKEY_MOD_EXT, MOD_NOREPEAT},
    };
    for (const auto& c : cases) {
        HotkeyDef def = {c.stored, 'V'};
        EXPECT_EQ(Hotkeys_RegistrationModifiers(&def), c.registered) << c.stored;
    }
}

}  // namespace
