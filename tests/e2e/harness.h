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

// The tamarin.exe the tests copy: TAMARIN_E2E_EXE, or the one of this build.
std::string Tamarin_ProgramPath();
// A fresh folder with a copy of tamarin.exe; ini, when not empty, is written
// as tamarin.ini first (bytes as given).
bool Tamarin_Prepare(Tamarin* t, const std::string& ini = "");
// The same in a fresh folder under parent (a file system of the test's own).
bool Tamarin_PrepareIn(Tamarin* t, const std::string& parent);
// Starts the program (with arguments, for the command-line mode) and, for the
// resident mode, waits for its main window.
bool Tamarin_Start(Tamarin* t, const std::string& args = "");
// How the program is started beyond its arguments.
struct TamarinLaunch {
    std::string args;
    int showCommand = -1;             // STARTUPINFO's wShowWindow, -1 for none
    std::vector<std::string> environment;  // NAME=value entries added to this process's
};
bool Tamarin_StartWith(Tamarin* t, const TamarinLaunch& launch);
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
// Nobody else has the file open (an open without sharing succeeds).
bool CanOpenExclusively(const std::string& path);
// Records of a store file: NUL-ended, CR LF back to LF, oldest first.
std::vector<std::string> ReadStoreRecords(const std::string& path);

// Clipboard as another program uses it.
bool PutClipboardText(const std::string& bytes);
bool PutClipboardFormats(const std::vector<std::pair<UINT, std::string>>& formats);
bool GetClipboardText(std::string* text);
bool IsClipboardEmpty();

// How long a test waits for a state before it fails: generous, since waits
// end as soon as the state is there.
const DWORD E2E_TIMEOUT_MS = 30000;

// Tamarin has finished whatever it was doing when this was called: a message
// sent to its window is handled only when its thread next looks for
// messages. A handler running a dialog looks for messages inside it, so call
// this when no dialog of Tamarin's is open. false if it did not answer.
bool Tamarin_Settle(const Tamarin* t);

// A key going down or up as input of this desktop (SendInput): it waits in
// the input queue of the thread that has the foreground, in order.
void SendKey(WORD vk, bool up);
// A key pressed and released.
void PressKey(WORD vk);
// The popup menu that is shown (window class #32768), or null.
HWND FindPopup();

// Waits until the clipboard has changed since sequence (its sequence number
// taken before the action that changes it) and holds text (CF_TEXT) equal to
// expected. It is opened only after each change, so that the test does not
// hold it while the program it watches wants to write. Gives what it last read.
bool WaitForClipboardText(DWORD sequence, const std::string& expected, std::string* last = nullptr);

// The second program of clip_holder.cpp, holding the clipboard holdMs after
// every change; started after Tamarin, it stands ahead of it in the chain.
struct ClipHolder {
    PROCESS_INFORMATION process = {};
    HWND window = nullptr;
};
bool ClipHolder_Start(ClipHolder* holder, DWORD holdMs);
void ClipHolder_Stop(ClipHolder* holder);

// Balloon tips shown now by other processes than this one (the shell's
// notification area shows the program's notices as balloons).
std::vector<HWND> VisibleBalloons();
// A balloon visible now that is not among before, or null.
HWND NewBalloon(const std::vector<HWND>& before);


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
