// Started with file names, Tamarin puts their quoted full paths on the
// clipboard and exits, whether or not the resident program runs.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "clipunicode.h"
#include "harness.h"

namespace {

// Wine's own mapping between Unix and Windows names (kernel32 exports).
typedef char*(CDECL* UnixNameFn)(const WCHAR* dosPath);
typedef WCHAR*(CDECL* DosNameFn)(const char* unixPath);

template <typename Fn>
Fn WineExport(const char* name)
{
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), name)));
}

std::string UnixPathOf(const std::wstring& dosPath)
{
    UnixNameFn unixName = WineExport<UnixNameFn>("wine_get_unix_file_name");
    if (!unixName)
        return "";
    char* name = unixName(dosPath.c_str());
    if (!name)
        return "";
    std::string result = name;
    HeapFree(GetProcessHeap(), 0, name);
    return result;
}

std::wstring DosPathOf(const char* unixPath)
{
    DosNameFn dosName = WineExport<DosNameFn>("wine_get_dos_file_name");
    if (!dosName)
        return L"";
    WCHAR* name = dosName(unixPath);
    if (!name)
        return L"";
    std::wstring result = name;
    HeapFree(GetProcessHeap(), 0, name);
    return result;
}

std::wstring Wide(const std::string& ansi)
{
    std::wstring wide(ansi.size() + 1, L'\0');
    int n = MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, &wide[0], static_cast<int>(wide.size()));
    wide.resize(n > 0 ? n - 1 : 0);
    return wide;
}

std::wstring FromUtf8(const std::string& utf8)
{
    std::wstring wide(utf8.size() + 1, L'\0');
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, &wide[0], static_cast<int>(wide.size()));
    wide.resize(n > 0 ? n - 1 : 0);
    return wide;
}

// Whether two names reach the same file: same volume and file index.
bool SameFile(const std::wstring& a, const std::wstring& b)
{
    BY_HANDLE_FILE_INFORMATION ia = {}, ib = {};
    HANDLE ha = CreateFileW(a.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    HANDLE hb = CreateFileW(b.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    bool same = ha != INVALID_HANDLE_VALUE && hb != INVALID_HANDLE_VALUE && GetFileInformationByHandle(ha, &ia) &&
                GetFileInformationByHandle(hb, &ib) && ia.dwVolumeSerialNumber == ib.dwVolumeSerialNumber &&
                ia.nFileIndexHigh == ib.nFileIndexHigh && ia.nFileIndexLow == ib.nFileIndexLow;
    if (ha != INVALID_HANDLE_VALUE)
        CloseHandle(ha);
    if (hb != INVALID_HANDLE_VALUE)
        CloseHandle(hb);
    return same;
}

// The quoted paths of the clipboard text, in order.
std::vector<std::wstring> QuotedPaths(const std::wstring& text)
{
    std::vector<std::wstring> paths;
    size_t at = 0;
    while (at < text.size()) {
        if (text[at] != L'"')
            return {};
        size_t end = text.find(L'"', at + 1);
        if (end == std::wstring::npos)
            return {};
        paths.push_back(text.substr(at + 1, end - at - 1));
        at = end + 1;
        if (at < text.size() && text[at++] != L' ')
            return {};
    }
    return paths;
}

// A file in a folder of its own under base, its full path longer than 300
// characters; made through the "\\?\" form, which has no length limit.
std::wstring MakeLongPathFile(const std::wstring& base)
{
    std::wstring folder = base;
    while (folder.size() < 300) {
        folder += L"\\" + std::wstring(60, L'd');
        if (!CreateDirectoryW((L"\\\\?\\" + folder).c_str(), nullptr))
            return L"";
    }
    std::wstring file = folder + L"\\long.txt";
    HANDLE h = CreateFileW((L"\\\\?\\" + file).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return L"";
    CloseHandle(h);
    return file;
}

struct CommandLine : testing::Test {
    Tamarin t;
    std::wstring longFile;
    void SetUp() override { ASSERT_TRUE(Tamarin_Prepare(&t)); }
    void TearDown() override
    {
        if (!longFile.empty())
            RemoveLongTree(Wide(t.folder) + L"\\" + std::wstring(60, L'd'));
        Tamarin_Cleanup(&t);
    }

    static void RemoveLongTree(const std::wstring& folder)
    {
        std::wstring prefixed = L"\\\\?\\" + folder;
        WIN32_FIND_DATAW fd;
        HANDLE find = FindFirstFileW((prefixed + L"\\*").c_str(), &fd);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                std::wstring name = fd.cFileName;
                if (name == L"." || name == L"..")
                    continue;
                if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    RemoveLongTree(folder + L"\\" + name);
                else
                    DeleteFileW((prefixed + L"\\" + name).c_str());
            } while (FindNextFileW(find, &fd));
            FindClose(find);
        }
        RemoveDirectoryW(prefixed.c_str());
    }

    int Run(const std::string& args)
    {
        Tamarin run;
        run.folder = t.folder;
        if (!Tamarin_Start(&run, args))
            return -1;
        return Tamarin_Wait(&run, E2E_TIMEOUT_MS);
    }

    // Started with a Unicode command line, as a shell or file manager does.
    int RunWide(const std::wstring& args, PROCESS_INFORMATION* started = nullptr)
    {
        std::wstring line = L"\"" + Wide(t.folder) + L"\\tamarin.exe\" " + args;
        STARTUPINFOW si = {};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi = {};
        if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, Wide(t.folder).c_str(), &si, &pi))
            return -1;
        if (started) {
            *started = pi;
            return 0;
        }
        return WaitExit(pi);
    }

    static int WaitExit(PROCESS_INFORMATION pi)
    {
        int code = -1;
        if (WaitForSingleObject(pi.hProcess, 20000) == WAIT_OBJECT_0) {
            DWORD exit = 0;
            GetExitCodeProcess(pi.hProcess, &exit);
            code = static_cast<int>(exit);
        } else {
            TerminateProcess(pi.hProcess, 99);
        }
        CloseHandle(pi.hProcess);
        CloseHandle(pi.hThread);
        return code;
    }
};

TEST_F(CommandLine, QuotesEachResolvedPathAndSkipsTheRest)
{
    std::string file = t.folder + "\\a file.txt";
    ASSERT_TRUE(WriteFileBytes(file, "x"));
    ASSERT_TRUE(PutClipboardText("before"));
    EXPECT_EQ(Run("\"" + file + "\" \"" + t.folder + "\\missing.txt\""), 1);
    std::string text;
    ASSERT_TRUE(GetClipboardText(&text));
    EXPECT_EQ(text, "\"" + file + "\"");
}

TEST_F(CommandLine, SeparatesPathsWithOneBlank)
{
    std::string a = t.folder + "\\one.txt", b = t.folder + "\\two.txt";
    ASSERT_TRUE(WriteFileBytes(a, "1"));
    ASSERT_TRUE(WriteFileBytes(b, "2"));
    EXPECT_EQ(Run("\"" + a + "\" \"" + b + "\""), 1);
    std::string text;
    ASSERT_TRUE(GetClipboardText(&text));
    EXPECT_EQ(text, "\"" + a + "\" \"" + b + "\"");
}

// Another program holds the clipboard when the paths are to be put there:
// the one-shot mode tries again until it is free.
TEST_F(CommandLine, WaitsForAClipboardThatAnotherProgramHolds)
{
    std::string file = t.folder + "\\held.txt";
    ASSERT_TRUE(WriteFileBytes(file, "x"));
    ClipHolder holder;
    ASSERT_TRUE(ClipHolder_Start(&holder, 1500));
    ASSERT_TRUE(PutClipboardText("before"));
    ASSERT_TRUE(WaitFor([&] { return GetOpenClipboardWindow() == holder.window; }, E2E_TIMEOUT_MS));
    EXPECT_EQ(Run("\"" + file + "\""), 1);
    ClipHolder_Stop(&holder);
    std::string text;
    ASSERT_TRUE(GetClipboardText(&text));
    EXPECT_EQ(text, "\"" + file + "\"");
}

TEST_F(CommandLine, NothingResolvableLeavesTheClipboard)
{
    ASSERT_TRUE(PutClipboardText("untouched"));
    EXPECT_EQ(Run("\"" + t.folder + "\\missing.txt\" \"::{not a path}\""), 0);
    std::string text;
    ASSERT_TRUE(GetClipboardText(&text));
    EXPECT_EQ(text, "untouched");
}

TEST_F(CommandLine, WorksBesideTheResidentProgram)
{
    ASSERT_TRUE(Tamarin_Start(&t));
    std::string file = t.folder + "\\seen.txt";
    ASSERT_TRUE(WriteFileBytes(file, "x"));
    EXPECT_EQ(Run("\"" + file + "\""), 1);
    std::string quoted = "\"" + file + "\"";
    EXPECT_TRUE(WaitFor(
        [&] {
            auto r = ReadStoreRecords(Tamarin_File(&t, ".hst"));
            return !r.empty() && r.back() == quoted;
        },
        E2E_TIMEOUT_MS));
}

// Under Wine, "/" and anything else beginning with it is a Unix path; the
// shell's parser faults on such names, so they are mapped to their Windows
// names first. The root is a folder that exists; a missing path is skipped.
TEST_F(CommandLine, UnixRootIsMappedAndAMissingUnixPathSkipped)
{
    ASSERT_TRUE(PutClipboardText("untouched"));
    EXPECT_EQ(RunWide(L"\"/nonexistent\" \"//nothing-here\""), 0);
    std::string ansi;
    ASSERT_TRUE(GetClipboardText(&ansi));
    EXPECT_EQ(ansi, "untouched");

    std::wstring root = DosPathOf("/");
    ASSERT_FALSE(root.empty()) << "not running under Wine";
    EXPECT_EQ(RunWide(L"/"), 1);
    std::wstring text;
    ASSERT_TRUE(WaitFor([&] { return ReadClipboardUnicode(&text); }, E2E_TIMEOUT_MS));
    EXPECT_EQ(text, L"\"" + root + L"\"");
}

// Every kind of argument at once, each in its place: the odd ones skipped,
// the rest quoted, in order, separated by one blank.
TEST_F(CommandLine, UnixPathsForeignNamesAndLongPathsBesideAWindowsPath)
{
    std::wstring folder = Wide(t.folder);
    std::wstring unixTarget = folder + L"\\seen from unix.txt";
    ASSERT_TRUE(WriteFileBytes(t.folder + "\\seen from unix.txt", "u"));
    std::string unixPath = UnixPathOf(unixTarget);
    ASSERT_FALSE(unixPath.empty());
    // "café 한글": code page 932 spells é as e and has no Korean at all
    std::wstring foreign = folder + L"\\caf\x00E9 \xD55C\xAE00.txt";
    HANDLE h = CreateFileW(foreign.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    CloseHandle(h);
    longFile = MakeLongPathFile(folder);
    ASSERT_FALSE(longFile.empty());
    ASSERT_GT(longFile.size(), 300u);
    std::wstring plain = folder + L"\\plain.txt";
    ASSERT_TRUE(WriteFileBytes(t.folder + "\\plain.txt", "p"));

    std::wstring args = L"\"/\" \"/nonexistent\" \"" + FromUtf8(unixPath) + L"\" \"" + foreign + L"\" \"" + longFile +
                        L"\" \"\" \"::{bad}\" \"" + plain + L"\"";
    EXPECT_EQ(RunWide(args), 1);
    std::wstring text;
    ASSERT_TRUE(WaitFor([&] { return ReadClipboardUnicode(&text); }, E2E_TIMEOUT_MS));
    std::vector<std::wstring> paths = QuotedPaths(text);
    ASSERT_EQ(paths.size(), 5u) << "clipboard: " << text.size() << " characters";
    EXPECT_EQ(paths[0], DosPathOf("/"));
    EXPECT_TRUE(SameFile(paths[1], unixTarget));
    EXPECT_EQ(paths[2], foreign);
    EXPECT_EQ(paths[3], longFile);
    EXPECT_EQ(paths[4], plain);
}

}  // namespace
