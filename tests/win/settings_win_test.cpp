// Tests of the settings against the real system: the INI file's bytes as the
// Win32 profile functions leave them after a save, and the INI path of an
// executable that lives in a folder with upper-case letters, a dot and
// double-byte characters whose trail byte is 0x5C.
#include <windows.h>

#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "settings/appinfo.h"
#include "settings/settings.h"
#include "settings/apppath.h"
#include "settings/profile.h"
#include "text/text.h"
#include "unit/settings_keys.h"

namespace {

const char PROBE_VARIABLE[] = "TAMARIN_APPPATH_PROBE";

// Started by AppPathWin below with the variable set, this program writes the
// INI path it would use to the file the variable names and ends before any
// test runs.
bool RunAppPathProbe()
{
    char out[MAX_PATH];
    DWORD len = GetEnvironmentVariableA(PROBE_VARIABLE, out, sizeof(out));
    if (len == 0 || len >= sizeof(out))
        return false;
    char ini[261];
    if (!GetAppFilePath(ini, sizeof(ini), ".ini"))
        StrCopyN(ini, sizeof(ini), "<failed>");
    HANDLE file = CreateFileA(out, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        WriteFile(file, ini, static_cast<DWORD>(strlen(ini)), &written, nullptr);
        CloseHandle(file);
    }
    ExitProcess(0);
    return true;
}

[[maybe_unused]] const bool probeRan = RunAppPathProbe();

std::string TempFolder()
{
    char temp[MAX_PATH];
    DWORD len = GetTempPathA(sizeof(temp), temp);
    if (len == 0 || len >= sizeof(temp))
        return "C:\\";
    return temp;
}

std::string UniqueTempPath(const char* stem, const char* ext)
{
    static int counter = 0;
    char name[96];
    snprintf(name, sizeof(name), "%s_%lu_%d%s", stem, GetCurrentProcessId(), ++counter, ext);
    return TempFolder() + name;
}

// The non-blank lines of an INI text; every line must end in CR LF.
std::vector<std::string> IniLines(const std::string& bytes)
{
    std::vector<std::string> lines;
    size_t pos = 0;
    while (pos < bytes.size()) {
        size_t end = bytes.find("\r\n", pos);
        EXPECT_NE(end, std::string::npos) << "line without CR LF at byte " << pos;
        if (end == std::string::npos)
            end = bytes.size();
        std::string line = bytes.substr(pos, end - pos);
        EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << "stray line break in " << line;
        if (!line.empty())
            lines.push_back(line);
        pos = end + 2;
    }
    return lines;
}

// The four sections of the original layout, then the extended one.
TEST(SettingsWin, SaveWritesTheFourSectionsAndTheExtendedOneInCodePage932)
{
    std::string path = UniqueTempPath("tamarin_save", ".ini");
    AppInfo info;
    SetDefaultSettings(&info);
    info.historyMax = 100;
    info.historyEnabled = false;
    info.menuPos.x = -5;
    info.menuPos.y = 7;
    info.logImage = true;
    StrCopyN(info.logFolder, sizeof(info.logFolder), "C:\\\x95\x5c\\\x83\x8d\x83\x4f");  // C:\表\ログ
    StrCopyN(info.dateFormat, sizeof(info.dateFormat), "%Y\x94\x4e");                     // %Y年
    info.hotkeys.slots[0] = HotkeyDef{6, 86};
    info.hotkeys.slots[7] = HotkeyDef{8 | 2, 45};
    Settings_SaveTo(&info, path.c_str());

    const std::vector<std::string> expected = {
        Section("Tamarin"),
        Entry(K_USE_HISTORY_FILE, "1"),
        Entry(K_ANIMATE_ICON, "1"),
        Entry(K_HISTORY_MAX, "100"),
        Entry(K_MENU_TEXT_CHARS, "64"),
        Entry(K_NEWEST_FIRST, "1"),
        Entry(K_REGISTERED_FIRST, "1"),
        Entry(K_SHOW_MENU_TIPS, "1"),
        Entry(K_MENU_TIP_CHARS, "1024"),
        Entry(K_AUTO_REPAIR, "1"),
        Entry(K_REPAIR_INTERVAL, "300000"),
        Entry(K_LOG_TEXT, "0"),
        Entry(K_LOG_IMAGE, "1"),
        Entry(K_LOG_FOLDER, "C:\\\x95\x5c\\\x83\x8d\x83\x4f"),
        Section(S_MENU_POS),
        Entry("x", "-5"),
        Entry("y", "7"),
        Section(S_HOTKEYS),
        Entry(H_SHOW_HISTORY, "1622"),
        Entry(H_SHOW_MENU, "0"),
        Entry(H_SHOW_EDITOR, "0"),
        Entry(H_REGISTER, "0"),
        Entry(H_DATE, "0"),
        Entry(H_IP, "0"),
        Entry(H_HISTORY_ON_OFF, "2605"),
        Entry(H_CLEAR_CLIPBOARD, "0"),
        Entry(H_CLEAR_HISTORY, "0"),
        Section(S_DATE_FORMAT),
        Entry(K_FORMAT_COUNT, "1"),
        Entry("0", "%Y\x94\x4e"),
        Section(S_EXT),
        Entry(E_PASTE, "0"),
        Entry(E_SEARCH_HOTKEY, "0"),
    };
    // The four sections come first; the extended settings' own section
    // "拡張" follows them, and nothing else.
    EXPECT_EQ(IniLines(ReadFileBytes(path)), expected);
    DeleteFileA(path.c_str());
}

TEST(SettingsWin, SaveDeletesTheOldKeysAndKeepsTheRest)
{
    std::string path = UniqueTempPath("tamarin_old", ".ini");
    WriteFileBytes(path, Section("Tamarin") + "\r\n" + Entry(K_OLD_SAVE_HISTORY, "0") + "\r\n" +
                             Entry("Other", "keep") + "\r\n" + Entry(H_SHOW_HISTORY, "1601") + "\r\n" +
                             Entry(K_OLD_SHOW_FREQUENT, "1602") + "\r\n" + Entry(K_OLD_TEXT_TO_FILE, "1") + "\r\n" +
                             Entry(K_OLD_IMAGE_TO_FILE, "0") + "\r\n" + Entry(H_SHOW_MENU, "0") + "\r\n" +
                             Entry(H_SHOW_EDITOR, "1603") + "\r\n" + Entry(K_HISTORY_ENABLED, "0") + "\r\n");
    AppInfo info;
    Settings_LoadFrom(&info, path.c_str());
    EXPECT_FALSE(info.useHistoryFile);
    EXPECT_FALSE(info.historyEnabled);
    EXPECT_TRUE(info.logText);
    Settings_SaveTo(&info, path.c_str());

    std::vector<std::string> lines = IniLines(ReadFileBytes(path));
    auto has = [&lines](const std::string& line) {
        for (const std::string& l : lines) {
            if (l == line)
                return true;
        }
        return false;
    };
    auto section = [&lines](const std::string& line) {
        std::string current;
        for (const std::string& l : lines) {
            if (!l.empty() && l[0] == '[')
                current = l;
            else if (l == line)
                return current;
        }
        return std::string("<none>");
    };
    const char* oldKeys[] = {H_SHOW_HISTORY,      H_SHOW_MENU,        H_SHOW_EDITOR,      K_OLD_SHOW_FREQUENT,
                             K_OLD_SAVE_HISTORY, K_OLD_TEXT_TO_FILE, K_OLD_IMAGE_TO_FILE};
    for (const char* key : oldKeys) {
        for (const std::string& l : lines) {
            if (l.compare(0, strlen(key) + 1, std::string(key) + "=") == 0) {
                EXPECT_EQ(section(l), Section(S_HOTKEYS)) << l;
            }
        }
    }
    EXPECT_EQ(section(Entry("Other", "keep")), Section("Tamarin"));
    EXPECT_EQ(section(Entry(K_HISTORY_ENABLED, "0")), Section("Tamarin"));
    EXPECT_EQ(section(Entry(K_USE_HISTORY_FILE, "0")), Section("Tamarin"));
    EXPECT_EQ(section(Entry(K_LOG_TEXT, "1")), Section("Tamarin"));
    EXPECT_TRUE(has(Entry(H_SHOW_HISTORY, "1601")));
    // Of the two older keys of slot 3 the editor's wins.
    EXPECT_TRUE(has(Entry(H_SHOW_EDITOR, "1603")));
    DeleteFileA(path.c_str());
}

TEST(AppPathWin, ModulePathAndFolderComeFromTheSystem)
{
    char expected[MAX_PATH];
    ASSERT_GT(GetModuleFileNameA(nullptr, expected, sizeof(expected)), 0u);
    char path[MAX_PATH];
    ASSERT_TRUE(AppPath_GetModulePath(path, sizeof(path)));
    EXPECT_STREQ(path, expected);
    EXPECT_FALSE(AppPath_GetModulePath(path, strlen(expected)));
    EXPECT_TRUE(AppPath_GetModulePath(path, strlen(expected) + 1));

    char folder[MAX_PATH];
    ASSERT_TRUE(AppPath_GetModuleFolder(folder, sizeof(folder)));
    std::string cut = expected;
    cut.erase(cut.rfind('\\'));
    EXPECT_EQ(folder, cut);
}

std::string LowerAscii(std::string s)
{
    for (char& c : s) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return s;
}

TEST(AppPathWin, IniPathOfAnExecutableInADoubleByteFolder)
{
    std::string temp = TempFolder();
    for (char c : temp)
        ASSERT_TRUE(static_cast<unsigned char>(c) < 0x80) << "the test needs an ASCII temp folder";
    char unique[32];
    snprintf(unique, sizeof(unique), "%lu", GetCurrentProcessId());
    // "Tamarin<pid>.V2表ソ": both 表 and ソ end in 0x5C, ソ right before the separator.
    std::string folderName = std::string("Tamarin") + unique + ".V2\x95\x5c\x83\x5c";
    std::string folder = temp + folderName;
    std::string exe = folder + "\\TEST.EXE";
    std::string out = UniqueTempPath("tamarin_probe", ".txt");

    char self[MAX_PATH];
    ASSERT_GT(GetModuleFileNameA(nullptr, self, sizeof(self)), 0u);
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    ASSERT_TRUE(CopyFileA(self, exe.c_str(), FALSE));

    ASSERT_TRUE(SetEnvironmentVariableA(PROBE_VARIABLE, out.c_str()));
    std::string commandLine = "\"" + exe + "\"";
    std::vector<char> command(commandLine.begin(), commandLine.end());
    command.push_back(0);
    STARTUPINFOA si;
    memset(&si, 0, sizeof(si));
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi;
    BOOL started = CreateProcessA(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi);
    SetEnvironmentVariableA(PROBE_VARIABLE, nullptr);
    EXPECT_TRUE(started);
    if (started) {
        EXPECT_EQ(WaitForSingleObject(pi.hProcess, 120000), WAIT_OBJECT_0);
        DWORD code = 1;
        GetExitCodeProcess(pi.hProcess, &code);
        EXPECT_EQ(code, 0u);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }

    std::string expected = LowerAscii(temp) + "tamarin" + unique + ".v2\x95\x5c\x83\x5c\\test.ini";
    EXPECT_EQ(ReadFileBytes(out), expected);

    DeleteFileA(out.c_str());
    DeleteFileA(exe.c_str());
    RemoveDirectoryA(folder.c_str());
}

}  // namespace
