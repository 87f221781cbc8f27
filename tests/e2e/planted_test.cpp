// Libraries planted beside the program by someone else are not run: the
// about box's rsrc32.dll exists only on Windows 95, 98 and Me, so a copy in
// the program's folder (which is also the current folder here) stays unused.
#include <gtest/gtest.h>

#include <string>

#include "harness.h"

namespace {

const int COMMAND_ABOUT = 40002;
const int ID_RESOURCES_LINE = 1007;

std::string PlantedLibrary()
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string s(path);
    return s.substr(0, s.find_last_of('\\')) + "\\planted\\rsrc32.dll";
}

HWND FindDialogOf(DWORD processId)
{
    HWND w = nullptr;
    while ((w = FindWindowExA(nullptr, w, "#32770", nullptr)) != nullptr) {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner == processId && IsWindowVisible(w))
            return w;
    }
    return nullptr;
}

TEST(Planted, Rsrc32BesideTheProgramIsNotLoaded)
{
    Tamarin t;
    ASSERT_TRUE(Tamarin_Prepare(&t));
    ASSERT_TRUE(CopyFileA(PlantedLibrary().c_str(), (t.folder + "\\rsrc32.dll").c_str(), FALSE));
    ASSERT_TRUE(Tamarin_Start(&t));

    PostMessageA(t.window, WM_COMMAND, COMMAND_ABOUT, 0);
    HWND dialog = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (dialog = FindDialogOf(t.process.dwProcessId)) != nullptr; }, E2E_TIMEOUT_MS));
    char line[128] = "not read";
    GetDlgItemTextA(dialog, ID_RESOURCES_LINE, line, sizeof line);
    // The planted copy would have answered 42.
    EXPECT_STREQ(line, "");
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(dialog); }, E2E_TIMEOUT_MS));
    EXPECT_EQ(Tamarin_Quit(&t), 0);
    Tamarin_Cleanup(&t);
}

}  // namespace
