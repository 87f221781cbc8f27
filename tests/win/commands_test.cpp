// The main window's pick command: a text chosen from the text-list popup goes
// onto the clipboard, the viewer chain is checked soon after, and a history
// entry chosen with Shift held is registered too.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "app/commands.h"
#include "settings/apppath.h"
#include "store/appdata.h"

namespace {

void Fill(AppData* data, int list, const char* prefix, int count)
{
    for (int i = count - 1; i >= 0; i--)
        AppData_Add(data, list, (prefix + std::to_string(i)).c_str());
}

std::string ClipboardText()
{
    std::string text;
    if (!OpenClipboard(nullptr))
        return "<no clipboard>";
    HANDLE handle = GetClipboardData(CF_TEXT);
    const char* p = handle ? static_cast<const char*>(GlobalLock(handle)) : nullptr;
    if (p) {
        text = p;
        GlobalUnlock(handle);
    } else {
        text = "<no text>";
    }
    CloseClipboard();
    return text;
}

void SetShift(bool down)
{
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_SHIFT] = down ? 0x80 : 0;
    SetKeyboardState(keys);
}

struct SelectText : testing::Test {
    HWND window = nullptr;
    AppData* data = nullptr;
    char usePath[MAX_PATH] = "";
    bool useFileExisted = false;

    void SetUp() override
    {
        // Registering writes the registered-text file beside the test program.
        ASSERT_TRUE(GetAppFilePath(usePath, sizeof(usePath), ".use"));
        useFileExisted = GetFileAttributesA(usePath) != INVALID_FILE_ATTRIBUTES;
        window = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(window, nullptr);
        data = AppData_New();
        Fill(data, LIST_HISTORY, "h", 2);
        Fill(data, LIST_REGISTERED, "r", 1);
    }
    void TearDown() override
    {
        SetShift(false);
        DestroyWindow(window);
        AppData_Delete(data);
        if (!useFileExisted)
            DeleteFileA(usePath);
    }
};

TEST_F(SelectText, PutsTheTextOnTheClipboardAndRestartsTheRepairTimer)
{
    SetShift(false);
    EXPECT_TRUE(OnPickText(window, data, 4097));
    EXPECT_EQ(ClipboardText(), "h1");
    EXPECT_TRUE(KillTimer(window, 3));
    EXPECT_TRUE(OnPickText(window, data, 8192));
    EXPECT_EQ(ClipboardText(), "r0");
    EXPECT_TRUE(KillTimer(window, 3));
    EXPECT_EQ(AppData_GetCount(data, LIST_REGISTERED), 1);
}

TEST_F(SelectText, IdWithoutTextDoesNothing)
{
    EXPECT_TRUE(OnPickText(window, data, 4096));
    KillTimer(window, 3);
    for (int id : {4098, 8191, 8193, 4095, 40054}) {
        EXPECT_FALSE(OnPickText(window, data, id)) << id;
        EXPECT_FALSE(KillTimer(window, 3)) << id;
    }
    EXPECT_EQ(ClipboardText(), "h0");
}

TEST_F(SelectText, ShiftRegistersAHistoryEntryOnly)
{
    SetShift(true);
    ASSERT_LT(GetKeyState(VK_SHIFT), 0);
    EXPECT_TRUE(OnPickText(window, data, 4097));
    EXPECT_EQ(ClipboardText(), "h1");
    ASSERT_EQ(AppData_GetCount(data, LIST_REGISTERED), 2);
    EXPECT_STREQ(AppData_GetAt(data, LIST_REGISTERED, 0), "h1");
    EXPECT_EQ(AppData_GetCount(data, LIST_HISTORY), 2);

    EXPECT_TRUE(OnPickText(window, data, 8193));
    EXPECT_EQ(ClipboardText(), "r0");
    EXPECT_EQ(AppData_GetCount(data, LIST_REGISTERED), 2);
}

}  // namespace
