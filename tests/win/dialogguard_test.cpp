// The one-opening rule of the dialogs and windows: a second opening is
// refused and brings the open window forward; the editing dialogs mark their
// owner with PROP_DIALOG while they run and refuse to open over a marked one.
#include <windows.h>

#include <gtest/gtest.h>

#include "ui/dialogguard.h"
#include "ui/dialogstate.h"

namespace {

struct Guard : testing::Test {
    HWND owner = nullptr;
    HWND window = nullptr;
    DialogGuard guard = {};

    void SetUp() override
    {
        owner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        window = CreateWindowExA(0, "STATIC", "open", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(owner, nullptr);
        ASSERT_NE(window, nullptr);
        SetPropA(owner, PROP_DIALOG, nullptr);
    }
    void TearDown() override
    {
        RemovePropA(owner, PROP_DIALOG);
        DestroyWindow(window);
        DestroyWindow(owner);
    }
};

TEST_F(Guard, SecondOpeningIsRefusedAndShowsTheOpenWindow)
{
    ASSERT_TRUE(DialogGuard_Enter(&guard, owner, false));
    EXPECT_TRUE(DialogGuard_IsOpen(&guard));
    // Refused while the window is still being made, too.
    EXPECT_FALSE(DialogGuard_Enter(&guard, owner, false));
    DialogGuard_SetWindow(&guard, window);
    ASSERT_FALSE(IsWindowVisible(window));
    EXPECT_FALSE(DialogGuard_Enter(&guard, owner, false));
    EXPECT_TRUE(IsWindowVisible(window));
    DialogGuard_Leave(&guard);
    EXPECT_FALSE(DialogGuard_IsOpen(&guard));
    EXPECT_TRUE(DialogGuard_Enter(&guard, owner, false));
    DialogGuard_Leave(&guard);
}

TEST_F(Guard, EditingDialogMarksItsOwnerWhileItRuns)
{
    EXPECT_FALSE(DialogGuard_IsOwnerBusy(owner));
    ASSERT_TRUE(DialogGuard_Enter(&guard, owner, true));
    EXPECT_NE(GetPropA(owner, PROP_DIALOG), nullptr);
    EXPECT_TRUE(DialogGuard_IsOwnerBusy(owner));
    DialogGuard_Leave(&guard);
    EXPECT_EQ(GetPropA(owner, PROP_DIALOG), nullptr);
    EXPECT_FALSE(DialogGuard_IsOwnerBusy(owner));
}

TEST_F(Guard, EditingDialogDoesNotOpenOverAnotherOne)
{
    DialogGuard other = {};
    ASSERT_TRUE(DialogGuard_Enter(&other, owner, true));
    EXPECT_FALSE(DialogGuard_Enter(&guard, owner, true));
    EXPECT_FALSE(DialogGuard_IsOpen(&guard));
    // A dialog that does not edit (settings, hotkeys, about) opens all the same.
    EXPECT_TRUE(DialogGuard_Enter(&guard, owner, false));
    DialogGuard_Leave(&guard);
    DialogGuard_Leave(&other);
    EXPECT_FALSE(DialogGuard_IsOwnerBusy(owner));
}

TEST(DialogState, RecordHangsOnTheWindowUntilDetached)
{
    HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    int record = 7;
    EXPECT_EQ(DialogState_Get<int>(window, "PROP_TESTSTATE"), nullptr);
    DialogState_Attach(window, "PROP_TESTSTATE", &record);
    EXPECT_EQ(DialogState_Get<int>(window, "PROP_TESTSTATE"), &record);
    DialogState_Detach(window, "PROP_TESTSTATE");
    EXPECT_EQ(DialogState_Get<int>(window, "PROP_TESTSTATE"), nullptr);
    DestroyWindow(window);
}

}  // namespace
