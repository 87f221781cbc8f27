// Optional libraries come from the system folder only: a copy planted in the
// program's folder or the current folder is not loaded.
#include <gtest/gtest.h>

#include <string>

#include "ui/systemlib.h"

namespace {

std::string ProgramFolder()
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string s(path);
    return s.substr(0, s.find_last_of('\\'));
}

TEST(SystemLibrary, LoadsFromTheSystemFolder)
{
    HMODULE library = SystemLib_Load("iphlpapi.dll");
    ASSERT_NE(library, nullptr);
    char path[MAX_PATH];
    GetModuleFileNameA(library, path, sizeof path);
    char system[MAX_PATH];
    GetSystemDirectoryA(system, sizeof system);
    EXPECT_EQ(_strnicmp(path, system, strlen(system)), 0) << path;
    FreeLibrary(library);
}

// The planted library sits both beside this program and in the current
// folder; LoadLibraryA by bare name finds it there, SystemLib_Load not.
TEST(SystemLibrary, APlantedCopyBesideTheProgramIsNotLoaded)
{
    const std::string planted = ProgramFolder() + "\\planted\\rsrc32.dll";
    const std::string name = "tamarin_planted_probe.dll";
    const std::string beside = ProgramFolder() + "\\" + name;
    ASSERT_TRUE(CopyFileA(planted.c_str(), beside.c_str(), FALSE));
    char current[MAX_PATH];
    GetCurrentDirectoryA(sizeof current, current);
    SetCurrentDirectoryA(ProgramFolder().c_str());

    HMODULE bare = LoadLibraryA(name.c_str());
    EXPECT_NE(bare, nullptr);  // the test's own check that the copy is found by name
    if (bare)
        FreeLibrary(bare);
    EXPECT_EQ(SystemLib_Load(name.c_str()), nullptr);

    SetCurrentDirectoryA(current);
    DeleteFileA(beside.c_str());
}

TEST(SystemLibrary, ANameTooLongForAPathLoadsNothing)
{
    std::string name(MAX_PATH, 'a');
    EXPECT_EQ(SystemLib_Load(name.c_str()), nullptr);
}

TEST(SystemLibrary, ThisSystemIsNtBased)
{
    EXPECT_TRUE(SystemLib_IsNtPlatform());
}

}  // namespace
