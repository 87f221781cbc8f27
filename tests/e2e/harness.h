// Test harness for driving the real tamarin.exe from another process: a test
// folder with a copy of the program, its start and end, the clipboard as an
// outside program uses it, and the files it leaves beside itself.
#pragma once

#include <winsock.h>
#include <windows.h>

#include <string>
#include <vector>

struct Tamarin {
    std::string folder;   // holds tamarin.exe, .ini, .hst, .use
    PROCESS_INFORMATION process = {};
    HWND window = nullptr;
};

// A fresh folder with a copy of tamarin.exe; ini, when not empty, is written
// as tamarin.ini first (bytes as given).
bool Tamarin_Prepare(Tamarin* t, const std::string& ini = "");
// The same in a fresh folder under parent (a file system of the test's own).
bool Tamarin_PrepareIn(Tamarin* t, const std::string& parent);
// Starts the program (with arguments, for the command-line mode) and, for the
// resident mode, waits for its main window.
bool Tamarin_Start(Tamarin* t, const std::string& args = "");
// Command 40001, then waits for the process; gives its exit code or -1.
int Tamarin_Quit(Tamarin* t);
// Waits for the process to end by itself; gives its exit code or -1.
int Tamarin_Wait(Tamarin* t, DWORD ms);
void Tamarin_Kill(Tamarin* t);
void Tamarin_Cleanup(Tamarin* t);
std::string Tamarin_File(const Tamarin* t, const char* ext);

bool ReadFileBytes(const std::string& path, std::string* bytes);
bool WriteFileBytes(const std::string& path, const std::string& bytes);
bool FileExists(const std::string& path);
// Records of a store file: NUL-ended, CR LF back to LF, oldest first.
std::vector<std::string> ReadStoreRecords(const std::string& path);

// Clipboard as another program uses it.
bool PutClipboardText(const std::string& bytes);
bool PutClipboardFormats(const std::vector<std::pair<UINT, std::string>>& formats);
bool GetClipboardText(std::string* text);
bool IsClipboardEmpty();

// Polls cond every 20 ms until it holds or ms have passed.
template <typename F>
bool WaitFor(F cond, DWORD ms)
{
    DWORD start = GetTickCount();
    for (;;) {
        if (cond())
            return true;
        if (GetTickCount() - start > ms)
            return false;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        Sleep(20);
    }
}

std::string MakeDib24(int width, int height, unsigned char seed);
