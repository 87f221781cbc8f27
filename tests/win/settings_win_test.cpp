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
#include "settings/apppath.h"
#include "settings/profile.h"
#include "text/text.h"

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

const char S_MENU_POS[] = "\x83\x81\x83\x6a\x83\x85\x81\x5b\x82\xcc\x95\x5c\x8e\xa6\x88\xca\x92\x75";  // メニューの表示位置
const char S_DATE_FORMAT[] = "\x93\xfa\x8e\x9e\x82\xcc\x8f\x91\x8e\xae";  // 日時の書式
const char S_HOTKEYS[] = "\x83\x7a\x83\x62\x83\x67\x83\x4c\x81\x5b";      // ホットキー

const char K_HISTORY_MAX[] = "\x97\x9a\x97\xf0\x82\xcc\x8b\x4c\x89\xaf\x90\x94";  // 履歴の記憶数
const char K_MENU_TEXT_CHARS[] =
    "\x83\x65\x83\x4c\x83\x58\x83\x67\x88\xea\x97\x97\x82\xcc\x95\xb6\x8e\x9a\x90\x94";  // テキスト一覧の文字数
const char K_NEWEST_FIRST[] =
    "\x90\x56\x82\xb5\x82\xa2\x97\x9a\x97\xf0\x82\xf0\x8f\xe3\x91\xa4\x82\xc9\x94\x7a\x92\x75";  // 新しい履歴を上側に配置
const char K_REGISTERED_FIRST[] =
    "\x93\x6f\x98\x5e\x83\x65\x83\x4c\x83\x58\x83\x67\x82\xf0\x8f\xe3\x91\xa4\x82\xc9\x94\x7a\x92\x75";  // 登録テキストを上側に配置
const char K_SHOW_MENU_TIPS[] =
    "\x83\x81\x83\x6a\x83\x85\x81\x5b\x83\x60\x83\x62\x83\x76\x82\xf0\x95\x5c\x8e\xa6\x82\xb7\x82\xe9";  // メニューチップを表示する
const char K_MENU_TIP_CHARS[] =
    "\x83\x81\x83\x6a\x83\x85\x81\x5b\x83\x60\x83\x62\x83\x76\x82\xcc\x95\xb6\x8e\x9a\x90\x94";  // メニューチップの文字数
const char K_HISTORY_ENABLED[] =
    "\x97\x9a\x97\xf0\x8b\x40\x94\x5c\x82\xf0\x97\x98\x97\x70\x82\xb7\x82\xe9";  // 履歴機能を利用する
const char K_USE_HISTORY_FILE[] =
    "\x97\x9a\x97\xf0\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xf0\x97\x98\x97\x70\x82\xb7\x82\xe9";  // 履歴ファイルを利用する
const char K_ANIMATE_ICON[] = "\x83\x41\x83\x43\x83\x52\x83\x93\x82\xf0\x83\x41\x83\x6a\x83\x81\x81\x5b"
                              "\x83\x56\x83\x87\x83\x93\x82\xb3\x82\xb9\x82\xe9";  // アイコンをアニメーションさせる
const char K_AUTO_REPAIR[] =
    "\x8a\xc4\x8e\x8b\x83\x60\x83\x46\x83\x43\x83\x93\x82\xcc\x8e\xa9\x93\xae\x8f\x43\x95\x9c";  // 監視チェインの自動修復
const char K_REPAIR_INTERVAL[] =
    "\x8a\xc4\x8e\x8b\x83\x60\x83\x46\x83\x43\x83\x93\x82\xcc\x8f\x43\x95\x9c\x8a\xd4\x8a\x75";  // 監視チェインの修復間隔
const char K_LOG_FOLDER[] = "\x83\x8d\x83\x4f\x83\x74\x83\x48\x83\x8b\x83\x5f";  // ログフォルダ
const char K_LOG_TEXT[] =
    "\x83\x65\x83\x4c\x83\x58\x83\x67\x82\xf0\x83\x8d\x83\x4f\x82\xd6\x8f\x91\x82\xab\x8f\x6f\x82\xb7";  // テキストをログへ書き出す
const char K_LOG_IMAGE[] =
    "\x83\x43\x83\x81\x81\x5b\x83\x57\x82\xf0\x83\x8d\x83\x4f\x82\xd6\x8f\x91\x82\xab\x8f\x6f\x82\xb7";  // イメージをログへ書き出す
const char K_FORMAT_COUNT[] = "\x8f\x91\x8e\xae\x90\x94";  // 書式数

const char K_OLD_SAVE_HISTORY[] = "\x97\x9a\x97\xf0\x82\xf0\x95\xdb\x91\xb6\x82\xb7\x82\xe9";  // 履歴を保存する
const char K_OLD_TEXT_TO_FILE[] =
    "\x83\x65\x83\x4c\x83\x58\x83\x67\x82\xf0\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xd6\x95\xdb\x91\xb6";  // テキストをファイルへ保存
const char K_OLD_IMAGE_TO_FILE[] =
    "\x83\x43\x83\x81\x81\x5b\x83\x57\x82\xf0\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xd6\x95\xdb\x91\xb6";  // イメージをファイルへ保存
const char K_OLD_SHOW_FREQUENT[] = "\x81\x75\x82\xe6\x82\xad\x8e\x67\x82\xa4\x83\x65\x83\x4c\x83\x58\x83\x67"
                                   "\x82\xcc\x93\x6f\x98\x5e\x81\x76\x82\xf0\x95\x5c\x8e\xa6";  // 「よく使うテキストの登録」を表示

const char H_SHOW_HISTORY[] = "\x97\x9a\x97\xf0\x82\xf0\x95\x5c\x8e\xa6";              // 履歴を表示
const char H_SHOW_MENU[] = "\x83\x81\x83\x6a\x83\x85\x81\x5b\x82\xf0\x95\x5c\x8e\xa6";  // メニューを表示
const char H_SHOW_EDITOR[] = "\x81\x75\x93\x6f\x98\x5e\x83\x65\x83\x4c\x83\x58\x83\x67\x82\xcc"
                             "\x95\xd2\x8f\x57\x81\x76\x82\xf0\x95\x5c\x8e\xa6";  // 「登録テキストの編集」を表示
const char H_REGISTER[] = "\x83\x65\x83\x4c\x83\x58\x83\x67\x82\xcc\x93\x6f\x98\x5e";  // テキストの登録
const char H_DATE[] = "\x93\xfa\x8e\x9e\x82\xcc\x8e\xe6\x93\xbe";                      // 日時の取得
const char H_IP[] = "IP\x83\x41\x83\x68\x83\x8c\x83\x58\x82\xcc\x8e\xe6\x93\xbe";      // IPアドレスの取得
const char H_CLEAR_CLIPBOARD[] =
    "\x83\x4e\x83\x8a\x83\x62\x83\x76\x83\x7b\x81\x5b\x83\x68\x82\xcc\x83\x4e\x83\x8a\x83\x41";  // クリップボードのクリア
const char H_HISTORY_ON_OFF[] =
    "\x97\x9a\x97\xf0\x8b\x40\x94\x5c\x82\xcc\x83\x49\x83\x93\x81\x45\x83\x49\x83\x74";  // 履歴機能のオン・オフ
const char H_CLEAR_HISTORY[] = "\x97\x9a\x97\xf0\x82\xcc\x83\x4e\x83\x8a\x83\x41";  // 履歴のクリア

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

std::string ReadFileBytes(const std::string& path)
{
    std::string bytes;
    FILE* f = fopen(path.c_str(), "rb");
    if (!f)
        return bytes;
    char chunk[4096];
    size_t got;
    while ((got = fread(chunk, 1, sizeof(chunk), f)) > 0)
        bytes.append(chunk, got);
    fclose(f);
    return bytes;
}

void WriteFileBytes(const std::string& path, const std::string& bytes)
{
    FILE* f = fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    ASSERT_EQ(fwrite(bytes.data(), 1, bytes.size(), f), bytes.size());
    fclose(f);
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

std::string Section(const char* name) { return std::string("[") + name + "]"; }
std::string Entry(const char* key, const char* value) { return std::string(key) + "=" + value; }

TEST(SettingsWin, SaveWritesTheFourSectionsInCodePage932)
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
    SaveSettingsTo(&info, path.c_str());

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
    };
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
    LoadSettingsFrom(&info, path.c_str());
    EXPECT_FALSE(info.useHistoryFile);
    EXPECT_FALSE(info.historyEnabled);
    EXPECT_TRUE(info.logText);
    SaveSettingsTo(&info, path.c_str());

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
    ASSERT_TRUE(GetModulePath(path, sizeof(path)));
    EXPECT_STREQ(path, expected);
    EXPECT_FALSE(GetModulePath(path, strlen(expected)));
    EXPECT_TRUE(GetModulePath(path, strlen(expected) + 1));

    char folder[MAX_PATH];
    ASSERT_TRUE(GetModuleFolder(folder, sizeof(folder)));
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
