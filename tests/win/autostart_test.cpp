// Start with Windows on a Run key of the test's own under HKEY_CURRENT_USER:
// the command written, the value read back and compared as Windows compares
// names, its deletion, and the value repointed only when its program is gone.
// Also the pure rules: quoting a path and finding the program of a command.
#include <windows.h>

#include <gtest/gtest.h>

#include <stdio.h>

#include <string>

#include "shell/autostart.h"
#include "win/dialogdriver.h"

namespace {

struct CommandCase {
    const char* command;
    const char* program;  // null: none
};

TEST(AutostartRules, ProgramOfACommand)
{
    const CommandCase cases[] = {
        {"\"C:\\Tools\\Tamarin\\tamarin.exe\"", "C:\\Tools\\Tamarin\\tamarin.exe"},
        {"\"C:\\Program Files\\Tamarin\\tamarin.exe\" /min", "C:\\Program Files\\Tamarin\\tamarin.exe"},
        {"  C:\\Tools\\tamarin.exe /min", "C:\\Tools\\tamarin.exe"},
        {"C:\\Tools\\tamarin.exe", "C:\\Tools\\tamarin.exe"},
        {"\"C:\\unterminated\\tamarin.exe", "C:\\unterminated\\tamarin.exe"},
        // 表 and ソ end in the backslash byte and stay whole
        {"\"C:\\\x95\x5c\\\x83\x5c\\tamarin.exe\"", "C:\\\x95\x5c\\\x83\x5c\\tamarin.exe"},
        {"\"\"", nullptr},
        {"", nullptr},
        {"   ", nullptr},
    };
    for (const CommandCase& c : cases) {
        char program[AUTOSTART_VALUE_READ_SIZE];
        bool found = Autostart_CommandProgram(program, sizeof program, c.command);
        EXPECT_EQ(found, c.program != nullptr) << c.command;
        if (c.program) {
            EXPECT_STREQ(program, c.program) << c.command;
        }
    }
}

TEST(AutostartRules, CommandIsTheQuotedPathAndMustFit)
{
    char command[16];
    EXPECT_TRUE(Autostart_MakeCommand(command, sizeof command, "C:\\a b\\t.exe"));
    EXPECT_STREQ(command, "\"C:\\a b\\t.exe\"");
    EXPECT_TRUE(Autostart_MakeCommand(command, 15, "C:\\a b\\t.exe"));
    EXPECT_FALSE(Autostart_MakeCommand(command, 14, "C:\\a b\\t.exe"));
    EXPECT_STREQ(command, "");
    char program[16];
    EXPECT_FALSE(Autostart_CommandProgram(program, 5, "\"C:\\long.exe\""));
}

TEST(AutostartRules, PathsCompareWithoutAsciiCase)
{
    EXPECT_TRUE(Autostart_SamePath("C:\\Tools\\Tamarin.EXE", "c:\\tools\\tamarin.exe"));
    EXPECT_FALSE(Autostart_SamePath("C:\\Tools\\a.exe", "C:\\Tools\\b.exe"));
    // Trail bytes are not letters: ソ (0x83 0x5C) and 連 (0x98 0x41) against 0x98 0x61
    EXPECT_TRUE(Autostart_SamePath("C:\\\x83\x5c\\\x98\x41.exe", "c:\\\x83\x5c\\\x98\x41.EXE"));
    EXPECT_FALSE(Autostart_SamePath("C:\\\x98\x41.exe", "C:\\\x98\x61.exe"));
}

class AutostartKey : public testing::Test {
protected:
    void SetUp() override
    {
        snprintf(subkey, sizeof subkey, "Software\\TamarinTest\\Run_%lu", GetCurrentProcessId());
        MakeTempName(program, sizeof program, "tamarin_autostart", ".exe");
        HANDLE file = CreateFileA(program, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        CloseHandle(file);
        MakeTempName(other, sizeof other, "tamarin_other", ".exe");
    }
    void TearDown() override
    {
        RegDeleteKeyA(HKEY_CURRENT_USER, subkey);
        DeleteFileA(program);
        DeleteFileA(other);
    }
    // The value as stored, or "<absent>".
    std::string Value(DWORD* type = nullptr)
    {
        char data[1024] = {};
        DWORD size = sizeof data - 1, kind = 0;
        HKEY key;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, subkey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
            return "<absent>";
        LONG result = RegQueryValueExA(key, "Tamarin", nullptr, &kind, reinterpret_cast<BYTE*>(data), &size);
        RegCloseKey(key);
        if (type)
            *type = kind;
        return result == ERROR_SUCCESS ? std::string(data) : "<absent>";
    }
    void SetValue(const char* text, DWORD type = REG_SZ)
    {
        HKEY key;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, subkey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExA(key, "Tamarin", 0, type, reinterpret_cast<const BYTE*>(text),
                       static_cast<DWORD>(strlen(text) + 1));
        RegCloseKey(key);
    }

    char subkey[128];
    char program[MAX_PATH];
    char other[MAX_PATH];
};

TEST_F(AutostartKey, OnWritesTheQuotedPathAndOffDeletesIt)
{
    EXPECT_FALSE(Autostart_IsOnAt(HKEY_CURRENT_USER, subkey, program));
    EXPECT_TRUE(Autostart_SetAt(HKEY_CURRENT_USER, subkey, program, true));
    DWORD type = 0;
    EXPECT_EQ(Value(&type), std::string("\"") + program + "\"");
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_TRUE(Autostart_IsOnAt(HKEY_CURRENT_USER, subkey, program));
    EXPECT_FALSE(Autostart_IsOnAt(HKEY_CURRENT_USER, subkey, other));
    EXPECT_TRUE(Autostart_SetAt(HKEY_CURRENT_USER, subkey, program, false));
    EXPECT_EQ(Value(), "<absent>");
    EXPECT_FALSE(Autostart_IsOnAt(HKEY_CURRENT_USER, subkey, program));
    EXPECT_TRUE(Autostart_SetAt(HKEY_CURRENT_USER, subkey, program, false));  // nothing left to delete
}

TEST_F(AutostartKey, AValueWrittenByHandCountsWhenItNamesTheProgram)
{
    std::string upper = program;
    for (char& c : upper)
        c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    SetValue((upper + " /tray").c_str());  // unquoted, upper case, with an argument
    EXPECT_TRUE(Autostart_IsOnAt(HKEY_CURRENT_USER, subkey, program));
    SetValue("notepad.exe");
    EXPECT_FALSE(Autostart_IsOnAt(HKEY_CURRENT_USER, subkey, program));
}

TEST_F(AutostartKey, ExpandableValueIsExpanded)
{
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    std::string name = std::string(program).substr(strlen(temp));
    SetEnvironmentVariableA("TAMARIN_TEST_FOLDER", temp);
    SetValue(("\"%TAMARIN_TEST_FOLDER%" + name + "\"").c_str(), REG_EXPAND_SZ);
    EXPECT_TRUE(Autostart_IsOnAt(HKEY_CURRENT_USER, subkey, program));
    SetEnvironmentVariableA("TAMARIN_TEST_FOLDER", nullptr);
}

TEST_F(AutostartKey, FollowRepointsAValueWhoseProgramIsGone)
{
    // No value: nothing to follow, and none is written.
    EXPECT_FALSE(Autostart_FollowAt(HKEY_CURRENT_USER, subkey, program));
    EXPECT_EQ(Value(), "<absent>");
    // The value names this program: left as it is.
    ASSERT_TRUE(Autostart_SetAt(HKEY_CURRENT_USER, subkey, program, true));
    EXPECT_FALSE(Autostart_FollowAt(HKEY_CURRENT_USER, subkey, program));
    // Another copy that exists keeps the value.
    HANDLE file = CreateFileA(other, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
    ASSERT_TRUE(Autostart_SetAt(HKEY_CURRENT_USER, subkey, other, true));
    EXPECT_FALSE(Autostart_FollowAt(HKEY_CURRENT_USER, subkey, program));
    EXPECT_EQ(Value(), std::string("\"") + other + "\"");
    // Gone (moved away): the value follows to this program.
    DeleteFileA(other);
    EXPECT_TRUE(Autostart_FollowAt(HKEY_CURRENT_USER, subkey, program));
    EXPECT_EQ(Value(), std::string("\"") + program + "\"");
}

}  // namespace
