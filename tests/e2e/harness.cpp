// Driving tamarin.exe from outside: folders, processes, clipboard and files.
#include "harness.h"

#include <stdio.h>

static std::string ModuleFolder()
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string s(path);
    return s.substr(0, s.find_last_of('\\'));
}

static std::string NewTestFolder()
{
    static int counter;
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    char name[MAX_PATH];
    snprintf(name, sizeof name, "%stamarin-e2e-%lu-%d", temp, GetCurrentProcessId(), ++counter);
    CreateDirectoryA(name, nullptr);
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
    if (!CopyFileA((ModuleFolder() + "\\tamarin.exe").c_str(), exe.c_str(), FALSE))
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
    std::string cmd = "\"" + t->folder + "\\tamarin.exe\"";
    if (!args.empty())
        cmd += " " + args;
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    std::vector<char> line(cmd.begin(), cmd.end());
    line.push_back(0);
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, t->folder.c_str(), &si,
                        &t->process))
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
            20000))
        return false;
    return WaitForInputIdle(t->process.hProcess, 20000) == 0;
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
    return Tamarin_Wait(t, 20000);
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

static bool OpenClipboardRetrying()
{
    for (int i = 0; i < 100; i++) {
        if (OpenClipboard(nullptr))
            return true;
        Sleep(10);
    }
    return false;
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
