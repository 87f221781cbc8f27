// Driving tamarin.exe from outside: folders, processes, clipboard and files.
#include "harness.h"

#include <commctrl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>

static std::string ModuleFolder()
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string s(path);
    return s.substr(0, s.find_last_of('\\'));
}

// The program under test: TAMARIN_E2E_EXE when it is set (a Windows path, or
// a Unix path, which Wine shows on drive Z:), else the tamarin.exe built
// beside the test program.
std::string Tamarin_ProgramPath()
{
    const char* given = getenv("TAMARIN_E2E_EXE");
    if (!given || !given[0])
        return ModuleFolder() + "\\tamarin.exe";
    std::string path(given);
    if (path[0] == '/') {
        for (char& c : path) {
            if (c == '/')
                c = '\\';
        }
        path = "Z:" + path;
    }
    return path;
}

// A folder that did not exist before: process ids repeat from one Wine session
// to the next, and a folder a killed program still held may have survived.
static std::string NewTestFolder()
{
    static int counter;
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    char name[MAX_PATH];
    do {
        snprintf(name, sizeof name, "%stamarin-e2e-%lu-%d", temp, GetCurrentProcessId(), ++counter);
    } while (!CreateDirectoryA(name, nullptr) && GetLastError() == ERROR_ALREADY_EXISTS);
    return name;
}

bool Tamarin_Prepare(Tamarin* t, const std::string& ini)
{
    // Joining the viewer chain shows the program the clipboard as it is, so
    // every test starts from an empty one.
    if (OpenClipboard(nullptr)) {
        EmptyClipboard();
        CloseClipboard();
    }
    t->folder = NewTestFolder();
    std::string exe = t->folder + "\\tamarin.exe";
    if (!CopyFileA(Tamarin_ProgramPath().c_str(), exe.c_str(), FALSE))
        return false;
    if (!ini.empty() && !WriteFileBytes(Tamarin_File(t, ".ini"), ini))
        return false;
    return true;
}

bool Tamarin_PrepareIn(Tamarin* t, const std::string& parent)
{
    static int counter;
    char name[MAX_PATH];
    snprintf(name, sizeof name, "%s\\tamarin-e2e-%lu-%d", parent.c_str(), GetCurrentProcessId(), ++counter);
    if (!CreateDirectoryA(name, nullptr))
        return false;
    t->folder = name;
    return CopyFileA((ModuleFolder() + "\\tamarin.exe").c_str(), (t->folder + "\\tamarin.exe").c_str(), FALSE) != 0;
}

std::string Tamarin_File(const Tamarin* t, const char* ext)
{
    return t->folder + "\\tamarin" + ext;
}

bool Tamarin_Start(Tamarin* t, const std::string& args)
{
    TamarinLaunch launch;
    launch.args = args;
    return Tamarin_StartWith(t, launch);
}

// This process's environment block with the given entries added (an entry
// replaces one of the same name).
static std::vector<char> EnvironmentWith(const std::vector<std::string>& extra)
{
    std::vector<std::string> entries;
    char* block = GetEnvironmentStringsA();
    for (const char* p = block; p && *p; p += strlen(p) + 1)
        entries.push_back(p);
    FreeEnvironmentStringsA(block);
    for (const std::string& e : extra) {
        std::string name = e.substr(0, e.find('=') + 1);
        for (auto it = entries.begin(); it != entries.end();) {
            if (_strnicmp(it->c_str(), name.c_str(), name.size()) == 0)
                it = entries.erase(it);
            else
                ++it;
        }
        entries.push_back(e);
    }
    std::vector<char> env;
    for (const std::string& e : entries)
        env.insert(env.end(), e.c_str(), e.c_str() + e.size() + 1);
    env.push_back(0);
    return env;
}

bool Tamarin_StartWith(Tamarin* t, const TamarinLaunch& launch)
{
    const std::string& args = launch.args;
    std::string cmd = "\"" + t->folder + "\\tamarin.exe\"";
    if (!args.empty())
        cmd += " " + args;
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    if (launch.showCommand >= 0) {
        si.dwFlags = STARTF_USESHOWWINDOW;
        si.wShowWindow = static_cast<WORD>(launch.showCommand);
    }
    std::vector<char> env;
    if (!launch.environment.empty())
        env = EnvironmentWith(launch.environment);
    std::vector<char> line(cmd.begin(), cmd.end());
    line.push_back(0);
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, env.empty() ? nullptr : env.data(),
                        t->folder.c_str(), &si, &t->process))
        return false;
    if (!args.empty())
        return true;
    // The window exists from the start of its WM_CREATE; the program is ready
    // once its message loop first waits for input.
    if (!WaitFor(
            [t] {
                t->window = FindWindowA("Kinkajou", "Kinkajou");
                return t->window != nullptr;
            },
            E2E_TIMEOUT_MS))
        return false;
    return WaitForInputIdle(t->process.hProcess, E2E_TIMEOUT_MS) == 0;
}

int Tamarin_Wait(Tamarin* t, DWORD ms)
{
    if (!t->process.hProcess)
        return -1;
    if (WaitForSingleObject(t->process.hProcess, ms) != WAIT_OBJECT_0)
        return -1;
    DWORD code = 0;
    GetExitCodeProcess(t->process.hProcess, &code);
    CloseHandle(t->process.hProcess);
    CloseHandle(t->process.hThread);
    t->process = {};
    t->window = nullptr;
    return static_cast<int>(code);
}

int Tamarin_Quit(Tamarin* t)
{
    if (t->window)
        PostMessageA(t->window, WM_COMMAND, 40001, 0);
    return Tamarin_Wait(t, E2E_TIMEOUT_MS);
}

void Tamarin_Kill(Tamarin* t)
{
    if (t->process.hProcess) {
        TerminateProcess(t->process.hProcess, 99);
        Tamarin_Wait(t, 5000);
    }
}

static void RemoveTree(const std::string& folder)
{
    WIN32_FIND_DATAA fd;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &fd);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::string name = fd.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string path = folder + "\\" + name;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(path);
            else
                DeleteFileA(path.c_str());
        } while (FindNextFileA(find, &fd));
        FindClose(find);
    }
    RemoveDirectoryA(folder.c_str());
}

void Tamarin_Cleanup(Tamarin* t)
{
    Tamarin_Kill(t);
    if (!t->folder.empty())
        RemoveTree(t->folder);
}

bool ReadFileBytes(const std::string& path, std::string* bytes)
{
    FILE* f = fopen(path.c_str(), "rb");
    if (!f)
        return false;
    bytes->clear();
    char buf[65536];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0)
        bytes->append(buf, n);
    fclose(f);
    return true;
}

bool WriteFileBytes(const std::string& path, const std::string& bytes)
{
    FILE* f = fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return fclose(f) == 0 && ok;
}

bool CanOpenExclusively(const std::string& path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(file);
    return true;
}

bool FileExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::string> ReadStoreRecords(const std::string& path)
{
    std::vector<std::string> records;
    std::string bytes;
    if (!ReadFileBytes(path, &bytes))
        return records;
    std::string current;
    for (size_t i = 0; i < bytes.size(); i++) {
        char c = bytes[i];
        if (c == 0) {
            records.push_back(current);
            current.clear();
        } else if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
            current += '\n';
            i++;
        } else {
            current += c;
        }
    }
    if (!current.empty())
        records.push_back(current);
    return records;
}

// The program under test may hold the clipboard for a moment while it reads
// or writes it.
static bool OpenClipboardRetrying()
{
    return WaitFor([] { return OpenClipboard(nullptr) != FALSE; }, E2E_TIMEOUT_MS);
}

bool PutClipboardFormats(const std::vector<std::pair<UINT, std::string>>& formats)
{
    if (!OpenClipboardRetrying())
        return false;
    EmptyClipboard();
    bool ok = true;
    for (const auto& f : formats) {
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, f.second.size() ? f.second.size() : 1);
        if (!block) {
            ok = false;
            continue;
        }
        void* p = GlobalLock(block);
        memcpy(p, f.second.data(), f.second.size());
        GlobalUnlock(block);
        if (!SetClipboardData(f.first, block)) {
            GlobalFree(block);
            ok = false;
        }
    }
    CloseClipboard();
    return ok;
}

bool PutClipboardText(const std::string& bytes)
{
    return PutClipboardFormats({{CF_TEXT, bytes + std::string(1, '\0')}});
}

bool GetClipboardText(std::string* text)
{
    if (!OpenClipboardRetrying())
        return false;
    bool ok = false;
    HANDLE h = GetClipboardData(CF_TEXT);
    if (h) {
        const char* p = static_cast<const char*>(GlobalLock(h));
        if (p) {
            *text = std::string(p, strnlen(p, GlobalSize(h)));
            GlobalUnlock(h);
            ok = true;
        }
    }
    CloseClipboard();
    return ok;
}

bool Tamarin_Settle(const Tamarin* t)
{
    DWORD_PTR result = 0;
    return t->window && SendMessageTimeoutA(t->window, WM_NULL, 0, 0, SMTO_NORMAL, E2E_TIMEOUT_MS, &result) != 0;
}

bool WaitForClipboardText(DWORD sequence, const std::string& expected, std::string* last)
{
    DWORD seen = sequence;
    std::string text;
    bool found = WaitFor(
        [&] {
            DWORD now = GetClipboardSequenceNumber();
            if (now == seen)
                return false;
            seen = now;
            text.clear();
            GetClipboardText(&text);
            return text == expected;
        },
        E2E_TIMEOUT_MS);
    if (last)
        *last = text;
    return found;
}

bool IsClipboardEmpty()
{
    return CountClipboardFormats() == 0;
}

std::string MakeDib24(int width, int height, unsigned char seed)
{
    int stride = ((width * 24 + 31) / 32) * 4;
    BITMAPINFOHEADER h = {};
    h.biSize = sizeof h;
    h.biWidth = width;
    h.biHeight = height;
    h.biPlanes = 1;
    h.biBitCount = 24;
    h.biCompression = BI_RGB;
    h.biSizeImage = stride * height;
    std::string dib(reinterpret_cast<const char*>(&h), sizeof h);
    for (int i = 0; i < stride * height; i++)
        dib += static_cast<char>(seed + i);
    return dib;
}

bool ClipHolder_Start(ClipHolder* holder, DWORD holdMs)
{
    std::string cmd = "\"" + ModuleFolder() + "\\clip_holder.exe\" " + std::to_string(holdMs);
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    std::vector<char> line(cmd.begin(), cmd.end());
    line.push_back(0);
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &holder->process))
        return false;
    return WaitFor(
        [holder] {
            holder->window = FindWindowA("TamarinTestClipHolder", "clip holder");
            return holder->window != nullptr && GetClipboardViewer() == holder->window;
        },
        20000);
}

void ClipHolder_Stop(ClipHolder* holder)
{
    if (!holder->process.hProcess)
        return;
    if (holder->window)
        PostMessageA(holder->window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(holder->process.hProcess, 10000) != WAIT_OBJECT_0) {
        TerminateProcess(holder->process.hProcess, 99);
        WaitForSingleObject(holder->process.hProcess, 5000);
    }
    CloseHandle(holder->process.hProcess);
    CloseHandle(holder->process.hThread);
    holder->process = {};
    holder->window = nullptr;
}

static BOOL CALLBACK CollectBalloon(HWND hwnd, LPARAM param)
{
    char cls[64];
    GetClassNameA(hwnd, cls, sizeof cls);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (strcmp(cls, TOOLTIPS_CLASSA) == 0 && pid != GetCurrentProcessId() && IsWindowVisible(hwnd) &&
        (GetWindowLongA(hwnd, GWL_STYLE) & TTS_BALLOON))
        reinterpret_cast<std::vector<HWND>*>(param)->push_back(hwnd);
    return TRUE;
}

std::vector<HWND> VisibleBalloons()
{
    std::vector<HWND> balloons;
    EnumWindows(CollectBalloon, reinterpret_cast<LPARAM>(&balloons));
    return balloons;
}

HWND NewBalloon(const std::vector<HWND>& before)
{
    for (HWND balloon : VisibleBalloons()) {
        if (std::find(before.begin(), before.end(), balloon) == before.end())
            return balloon;
    }
    return nullptr;
}

void SendKey(WORD vk, bool up)
{
    INPUT in = {};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &in, sizeof in);
}

void PressKey(WORD vk)
{
    SendKey(vk, false);
    SendKey(vk, true);
}

HWND FindPopup()
{
    HWND popup = FindWindowA("#32768", nullptr);
    return popup && IsWindowVisible(popup) ? popup : nullptr;
}
