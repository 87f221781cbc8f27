// The manifest at work in the running program: Windows (here Wine) gives it
// common controls 6 from the side-by-side store. (Its scaling awareness is
// not checked here: Wine 8 reports every window as aware of each monitor's
// scaling, manifest or not; the manifest's text is checked in the Win32
// resource tests, and the screenshots at 150 and 200 % show the result.)
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "harness.h"

#include <psapi.h>

namespace {

std::string Lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(tolower(c)); });
    return s;
}

// The path of the common controls library loaded in the process.
std::string CommonControlsOf(HANDLE process)
{
    HMODULE modules[512];
    DWORD needed = 0;
    if (!EnumProcessModules(process, modules, sizeof modules, &needed))
        return "";
    for (DWORD i = 0; i < needed / sizeof(HMODULE) && i < 512; i++) {
        char path[MAX_PATH] = "";
        GetModuleFileNameExA(process, modules[i], path, sizeof path);
        std::string lower = Lower(path);
        if (lower.size() >= 12 && lower.compare(lower.size() - 12, 12, "comctl32.dll") == 0)
            return lower;
    }
    return "";
}

struct Manifest : testing::Test {
    Tamarin t;
    void SetUp() override
    {
        ASSERT_TRUE(Tamarin_Prepare(&t));
        ASSERT_TRUE(Tamarin_Start(&t));
    }
    void TearDown() override { Tamarin_Cleanup(&t); }
};

TEST_F(Manifest, TheProgramRunsWithCommonControlsSix)
{
    std::string comctl = CommonControlsOf(t.process.hProcess);
    EXPECT_NE(comctl.find("microsoft.windows.common-controls"), std::string::npos) << comctl;
    EXPECT_NE(comctl.find("_6.0."), std::string::npos) << comctl;
}

}  // namespace
