// perf_harness: measures the real tamarin.exe under Wine.
//   start-up with a full history (4095 texts of 1 KiB) against an empty Win32 program;
//   one clipboard change with that history, from CloseClipboard until the new
//   history file is in place, against the bare history-file write;
//   a soak of 5000 changes: none lost, and the program's private memory;
//   the search window over 4095 + 4095 texts of 1 KiB: each keystroke (the
//   edit box's text set, filtered and shown before the call returns) against
//   the same keystroke over an empty store, the matching alone run in this
//   process over the same texts, and the time until the window has opened.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <string>
#include <vector>

#include "harness.h"
#include "menu/searchlist.h"
#include "store/appdata.h"
#include "store/storefile.h"
#include "text/textmatch.h"

namespace {

double Now()
{
    static LARGE_INTEGER frequency;
    if (!frequency.QuadPart)
        QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

std::string Text1K(int i)
{
    char head[32];
    snprintf(head, sizeof head, "entry %05d\n", i);
    std::string text = head;
    while (text.size() < 1024)
        text += (text.size() % 64 == 63) ? '\n' : static_cast<char>('a' + (i + text.size()) % 26);
    return text;
}

std::string FullHistoryFile()
{
    std::string bytes;
    for (int i = 0; i < 4095; i++) {
        std::string t = Text1K(i);
        for (char c : t) {
            if (c == '\n')
                bytes += '\r';
            bytes += c;
        }
        bytes += '\0';
    }
    return bytes;
}

double Percentile(std::vector<double> v, double p)
{
    std::sort(v.begin(), v.end());
    size_t i = static_cast<size_t>(p * static_cast<double>(v.size() - 1) + 0.5);
    return v[i];
}

std::string ModuleFolder()
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string s(path);
    return s.substr(0, s.find_last_of('\\'));
}

// Time from CreateProcess until a window of the class exists.
double TimeUntilWindow(const std::string& exe, const char* cls, const std::string& folder)
{
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    std::string line = "\"" + exe + "\"";
    double start = Now();
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &si, &pi))
        return -1;
    HWND w = nullptr;
    while (!(w = FindWindowA(cls, nullptr)) && Now() - start < 30000)
        Sleep(0);
    double elapsed = Now() - start;
    WaitForInputIdle(pi.hProcess, 30000);
    if (w)
        PostMessageA(w, strcmp(cls, "Kinkajou") == 0 ? WM_COMMAND : WM_QUIT, strcmp(cls, "Kinkajou") == 0 ? 40001 : 0, 0);
    if (WaitForSingleObject(pi.hProcess, 30000) != WAIT_OBJECT_0)
        TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    return w ? elapsed : -1;
}

void MeasureStartup(Tamarin* t, const std::string& history)
{
    std::string empty = ModuleFolder() + "\\empty_app.exe";
    std::vector<double> app, base;
    for (int round = 0; round < 5; round++) {
        WriteFileBytes(Tamarin_File(t, ".hst"), history);
        base.push_back(TimeUntilWindow(empty, "TamarinEmptyApp", t->folder));
        app.push_back(TimeUntilWindow(t->folder + "\\tamarin.exe", "Kinkajou", t->folder));
    }
    double a = Percentile(app, 0.5), b = Percentile(base, 0.5);
    printf("start-up with 4095 x 1 KiB history: median %.1f ms; empty Win32 program %.1f ms; ratio %.2f\n", a, b,
           a / b);
}

FILETIME WriteTime(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
    return data.ftLastWriteTime;
}

bool SameTime(FILETIME a, FILETIME b)
{
    return a.dwLowDateTime == b.dwLowDateTime && a.dwHighDateTime == b.dwHighDateTime;
}

// Puts a text on the clipboard and gives the time from CloseClipboard until
// the history file has been replaced.
double TimedChange(const std::string& hst, const std::string& text)
{
    FILETIME before = WriteTime(hst);
    if (!OpenClipboard(nullptr))
        return -1;
    EmptyClipboard();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    memcpy(GlobalLock(block), text.c_str(), text.size() + 1);
    GlobalUnlock(block);
    SetClipboardData(CF_TEXT, block);
    double start = Now();
    CloseClipboard();
    while (SameTime(WriteTime(hst), before)) {
        if (Now() - start > 10000)
            return -1;
    }
    return Now() - start;
}

void MeasureChanges(Tamarin* t, const std::string& history)
{
    WriteFileBytes(Tamarin_File(t, ".hst"), history);
    Tamarin_Start(t);
    std::string hst = Tamarin_File(t, ".hst");
    std::vector<double> change;
    for (int i = 0; i < 200; i++)
        change.push_back(TimedChange(hst, Text1K(100000 + i)));
    Tamarin_Quit(t);

    // The same file written by the store code in this process: the floor.
    AppData* data = AppData_New();
    for (int i = 4094; i >= 0; i--)
        AppData_Add(data, LIST_HISTORY, Text1K(i).c_str());
    std::string path = t->folder + "\\baseline.hst";
    std::vector<double> bare;
    for (int i = 0; i < 200; i++) {
        double start = Now();
        StoreFile_WritePath(data, LIST_HISTORY, path.c_str());
        bare.push_back(Now() - start);
    }
    AppData_Delete(data);
    double m = Percentile(change, 0.5), p99 = Percentile(change, 0.99), b = Percentile(bare, 0.5);
    printf("one change with a full history: median %.2f ms, p99 %.2f ms; bare history-file write median %.2f ms; "
           "median ratio %.2f\n",
           m, p99, b, m / b);
}

// Private (pagefile-backed) bytes of the process; the working set where the
// platform does not report them.
// Time from the tray click (the callback message) until the text popup is
// on screen, with 4095 history entries and 4095 registered texts.
void MeasurePopup(Tamarin* t, const std::string& history)
{
    std::string registered;
    for (int i = 0; i < 4095; i++)
        registered += "registered " + std::to_string(i) + std::string(1, '\0');
    WriteFileBytes(Tamarin_File(t, ".hst"), history);
    WriteFileBytes(Tamarin_File(t, ".use"), registered);
    Tamarin_Start(t);
    std::vector<double> shown;
    for (int round = 0; round < 5; round++) {
        SetCursorPos(300, 200);
        double start = Now();
        PostMessageA(t->window, WM_APP + 1, 1, WM_LBUTTONUP);
        HWND popup = nullptr;
        while (!(popup = FindWindowA("#32768", nullptr)) || !IsWindowVisible(popup)) {
            if (Now() - start > 30000)
                break;
        }
        shown.push_back(Now() - start);
        INPUT escape[2] = {};
        escape[0].type = escape[1].type = INPUT_KEYBOARD;
        escape[0].ki.wVk = escape[1].ki.wVk = VK_ESCAPE;
        escape[1].ki.dwFlags = KEYEVENTF_KEYUP;
        SendInput(2, escape, sizeof escape[0]);
        while (IsWindowVisible(popup) && Now() - start < 30000)
            Sleep(10);
        Sleep(100);
    }
    Tamarin_Quit(t);
    DeleteFileA(Tamarin_File(t, ".use").c_str());
    printf("text popup with 4095 + 4095 entries: shown %.1f ms after the tray click (median of 5)\n",
           Percentile(shown, 0.5));
}

// A registered text of 1 KiB, Japanese and English mixed: 登録 n, かな and カナ.
std::string Registered1K(int i)
{
    char head[48];
    snprintf(head, sizeof head, "\x93\x6f\x98\x5e %05d ", i);  // 登録
    std::string text = head;
    const char* pieces[] = {"\x82\xc4\x82\xab\x82\xb7\x82\xc6 ", "\x83\x4e\x83\x8a\x83\x62\x83\x76 ",
                            "meeting at 3 pm ", "\r\n"};  // てきすと クリップ
    for (int k = i; text.size() < 1000; k = k * 7 + 3)
        text += pieces[(k >> 2) % 4];
    return text;
}

HWND WaitForSearchWindow(double start)
{
    HWND w = nullptr;
    while (!(w = FindWindowA("TamarinSearch", nullptr)) || !IsWindowVisible(w)) {
        if (Now() - start > 30000)
            return nullptr;
        Sleep(0);
    }
    return w;
}

struct SearchTiming {
    std::vector<double> keystrokes;
    double opened = -1;  // ms from the command until the list was filled
};

// What the user types, one keystroke after the other: each query grows by
// a character (a double-byte character is one keystroke).
std::vector<std::string> Keystrokes()
{
    const char* queries[] = {"entry 04", "registered", "\x83\x4e\x83\x8a\x83\x62\x83\x76 mee", "zzqx"};  // クリップ
    std::vector<std::string> typed;
    for (const char* query : queries) {
        std::string text;
        for (const char* p = query; *p; p++) {
            text += *p;
            if (static_cast<unsigned char>(*p) >= 0x81 && p[1])
                text += *++p;
            typed.push_back(text);
        }
    }
    return typed;
}

// Types into the open search window as a user does; a keystroke is the round
// trip of WM_SETTEXT, which returns once the window has filtered and set its
// list.
SearchTiming TimeSearch(Tamarin* t, int expectedEntries)
{
    SearchTiming timing;
    std::vector<std::string> keystrokes = Keystrokes();
    Tamarin_Start(t);
    for (int round = 0; round < 5; round++) {
        double start = Now();
        PostMessageA(t->window, WM_COMMAND, 40070, 0);
        HWND window = WaitForSearchWindow(start);
        if (!window)
            break;
        HWND edit = GetDlgItem(window, 1001);
        HWND list = GetDlgItem(window, 1002);
        while (SendMessageA(list, LB_GETCOUNT, 0, 0) != expectedEntries && Now() - start < 30000)
            Sleep(0);
        timing.opened = round == 0 ? Now() - start : std::min(timing.opened, Now() - start);
        for (const std::string& typed : keystrokes) {
            DWORD_PTR result = 0;
            double sent = Now();
            SendMessageTimeoutA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(typed.c_str()), SMTO_NORMAL, 30000,
                                &result);
            timing.keystrokes.push_back(Now() - sent);
            if (getenv("PERF_SEARCH_TRACE"))
                printf("  %-12s %.2f ms\n", typed.c_str(), Now() - sent);
        }
        PostMessageA(window, WM_CLOSE, 0, 0);
        while (IsWindow(window) && Now() - start < 60000)
            Sleep(1);
    }
    Tamarin_Quit(t);
    return timing;
}

// This thread's user and kernel time in ms; unlike the wall clock it does
// not grow while other programs keep the machine busy (counted in ticks of
// the system's clock, so only sums over many keystrokes tell).
double ThreadCpuMs()
{
    FILETIME created, exited, kernel, user;
    if (!GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user))
        return 0;
    ULARGE_INTEGER k, u;
    k.LowPart = kernel.dwLowDateTime;
    k.HighPart = kernel.dwHighDateTime;
    u.LowPart = user.dwLowDateTime;
    u.HighPart = user.dwHighDateTime;
    return static_cast<double>(k.QuadPart + u.QuadPart) / 10000.0;
}

// The matching alone, in this process, over the same texts and keystrokes:
// the part of a keystroke that the store's size decides. Each keystroke
// filters all the entries, as after a change that does not only add to the
// query's end. cpuPerKeystroke: the thread's CPU time, averaged.
std::vector<double> TimeFilterHere(const std::string& historyFile, const std::string& registeredFile,
                                   double* cpuPerKeystroke)
{
    AppData* data = AppData_New();
    for (const std::string* file : {&historyFile, &registeredFile}) {
        int list = file == &historyFile ? LIST_HISTORY : LIST_REGISTERED;
        std::string text;
        for (char c : *file) {
            if (c) {
                text += c;
                continue;
            }
            size_t at;
            while ((at = text.find("\r\n")) != std::string::npos)
                text.erase(at, 1);
            AppData_Add(data, list, text.c_str());
            text.clear();
        }
    }
    SearchOrder order = {4095, true, true};
    SearchList* list = SearchList_Build(data, &order);
    std::vector<double> times;
    TextQuery query;
    double cpuStart = ThreadCpuMs();
    for (int round = 0; round < 20 && list; round++) {
        for (const std::string& typed : Keystrokes()) {
            double start = Now();
            TextMatch_ParseQuery(&query, typed.c_str());
            SearchList_Filter(list, &query);
            times.push_back(Now() - start);
        }
    }
    *cpuPerKeystroke = times.empty() ? 0 : (ThreadCpuMs() - cpuStart) / static_cast<double>(times.size());
    SearchList_Free(list);
    AppData_Delete(data);
    return times;
}

void MeasureSearch(Tamarin* t, const std::string& history)
{
    std::string registered;
    for (int i = 0; i < 4095; i++)
        registered += Registered1K(i) + std::string(1, '\0');
    WriteFileBytes(Tamarin_File(t, ".hst"), history);
    WriteFileBytes(Tamarin_File(t, ".use"), registered);
    SearchTiming full = TimeSearch(t, 2 * 4095);
    double hereCpu = 0;
    std::vector<double> here = TimeFilterHere(history, registered, &hereCpu);
    DeleteFileA(Tamarin_File(t, ".hst").c_str());
    DeleteFileA(Tamarin_File(t, ".use").c_str());
    SearchTiming empty = TimeSearch(t, 0);
    if (full.keystrokes.empty() || empty.keystrokes.empty()) {
        printf("search window: did not open\n");
        return;
    }
    double m = Percentile(full.keystrokes, 0.5), p99 = Percentile(full.keystrokes, 0.99);
    double worst = *std::max_element(full.keystrokes.begin(), full.keystrokes.end());
    double b = Percentile(empty.keystrokes, 0.5);
    printf("search window over 4095 + 4095 texts of 1 KiB: %zu keystrokes, median %.2f ms, p99 %.2f ms, slowest "
           "%.2f ms (goal 30 ms); the same keystrokes over an empty store median %.2f ms; median ratio %.2f; "
           "the whole filter alone in this process median %.2f ms, slowest %.2f ms, CPU time %.2f ms a "
           "keystroke; opened with its list filled in %.1f ms (empty store %.1f ms)\n",
           full.keystrokes.size(), m, p99, worst, b, m / b, Percentile(here, 0.5),
           *std::max_element(here.begin(), here.end()), hereCpu, full.opened, empty.opened);
}

SIZE_T PrivateBytes(HANDLE process)
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(process, &counters, sizeof counters))
        return 0;
    return counters.PagefileUsage ? counters.PagefileUsage : counters.WorkingSetSize;
}

// As fast as the program takes them: each change waits until the history
// file has been replaced (or two seconds), then the next one follows.
void Soak(Tamarin* t)
{
    DeleteFileA(Tamarin_File(t, ".hst").c_str());
    Tamarin_Start(t);
    std::string hst = Tamarin_File(t, ".hst");
    const int changes = getenv("PERF_SOAK_CHANGES") ? atoi(getenv("PERF_SOAK_CHANGES")) : 5000;
    SIZE_T start = PrivateBytes(t->process.hProcess), atFull = 0;
    int unanswered = 0, refused = 0;
    double begin = Now();
    for (int i = 0; i < changes; i++) {
        char text[64];
        snprintf(text, sizeof text, "soak %05d", i);
        FILETIME before = WriteTime(hst);
        if (!PutClipboardText(text)) {
            refused++;
            continue;
        }
        double sent = Now();
        while (SameTime(WriteTime(hst), before)) {
            if (Now() - sent > 2000) {
                unanswered++;
                break;
            }
        }
        if (i == 4095)
            atFull = PrivateBytes(t->process.hProcess);
    }
    double elapsed = Now() - begin;
    SIZE_T end = PrivateBytes(t->process.hProcess);
    Tamarin_Quit(t);
    std::vector<std::string> records = ReadStoreRecords(hst);
    std::vector<bool> seen(changes, false);
    for (const std::string& r : records) {
        int n = -1;
        if (sscanf(r.c_str(), "soak %d", &n) == 1 && n >= 0 && n < changes)
            seen[n] = true;
    }
    int missing = 0;
    for (int i = changes - static_cast<int>(records.size()); i < changes; i++)
        missing += i >= 0 && !seen[i];
    printf("soak: %d changes in %.1f s (%.2f ms each); history of %zu entries; %d changes never reached the "
           "program (no file update within 2 s), %d could not be made (clipboard busy); %d of the last %zu texts missing; memory %.1f MiB at start, "
           "%.1f MiB when the history was full, %.1f MiB at the end\n",
           changes, elapsed / 1000, elapsed / changes, records.size(), unanswered, refused, missing, records.size(),
           start / 1048576.0, atFull / 1048576.0, end / 1048576.0);
}

}  // namespace

int main()
{
    std::string history = FullHistoryFile();
    Tamarin t;
    std::string ini = "[Tamarin]\r\n\x97\x9a\x97\xf0\x82\xcc\x8b\x4c\x89\xaf\x90\x94=4095\r\n";  // 履歴の記憶数
    if (!Tamarin_Prepare(&t, ini)) {
        printf("cannot prepare the test folder\n");
        return 1;
    }
    if (getenv("PERF_SEARCH_ONLY")) {
        MeasureSearch(&t, history);
        Tamarin_Cleanup(&t);
        return 0;
    }
    if (!getenv("PERF_SOAK_ONLY")) {
        MeasureStartup(&t, history);
        MeasureChanges(&t, history);
        MeasurePopup(&t, history);
        MeasureSearch(&t, history);
    }
    Soak(&t);
    Tamarin_Cleanup(&t);
    return 0;
}
