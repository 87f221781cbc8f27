// perf_harness: measures the real tamarin.exe under Wine.
//   start-up with a full history (4095 texts of 1 KiB) against an empty Win32
//   program and a minimal resident tray program;
//   anonymous memory with an empty and with a full history against the tray
//   program (goals: within 1 MiB of it, and within 2 MiB plus the history's
//   bytes);
//   one clipboard change with that history, from CloseClipboard until the new
//   history file is in place, against the bare history-file write;
//   the clipboard handler with a 30 MB history: how soon the main window
//   answers again after a change, against an empty history, and how far the
//   file written in the background lags behind;
//   the edit pad opened on a 50 MB clipboard text, against a 1 KiB one and
//   against an edit control taking the whole text at once;
//   the registered-text dialog with 10,000 and 30,000 texts, against 100;
//   a soak of 5000 changes: none lost, and the program's private memory;
//   the search window over 4095 + 4095 texts of 1 KiB: each keystroke (the
//   edit box's text set, filtered and shown before the call returns) against
//   the same keystroke over an empty store, the matching alone run in this
//   process over the same texts, and the time until the window has opened.
// PERF_ONLY=startup|change|popup|search|handler|editpad|registered|soak runs
// one part (start-up includes the memory figures).
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

// Ends a program of the harness: Tamarin through its Quit command, the
// others by closing their window.
void EndProgram(HWND w, const char* cls)
{
    if (strcmp(cls, "Kinkajou") == 0)
        PostMessageA(w, WM_COMMAND, 40001, 0);
    else if (strcmp(cls, "TamarinEmptyApp") == 0)
        PostMessageA(w, WM_QUIT, 0, 0);
    else
        PostMessageA(w, WM_CLOSE, 0, 0);
}

// When the Linux process behind a Windows program started, in clock ticks
// since boot (field 22 of /proc/<pid>/stat); 0 when it cannot be read.
unsigned long long StartTicks(const std::string& dir)
{
    std::string stat;
    if (!ReadFileBytes(dir + "\\stat", &stat))
        return 0;
    size_t close = stat.rfind(')');
    if (close == std::string::npos)
        return 0;
    const char* p = stat.c_str() + close + 1;
    for (int field = 3; field < 22 && *p; field++) {
        while (*p == ' ')
            p++;
        while (*p && *p != ' ')
            p++;
    }
    return strtoull(p, nullptr, 10);
}

// Resident anonymous memory of the Linux process behind a Windows program,
// from /proc (drive Z: of Wine). Wine names each process by its Windows
// path in /proc/<pid>/cmdline; exe is matched there, and of several matches
// (an earlier run may still be on its way out) the youngest counts. 0 when
// none is found.
unsigned long AnonymousKiB(const std::string& exe)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA("Z:\\proc\\*", &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    unsigned long kib = 0;
    unsigned long long youngest = 0;
    do {
        if (found.cFileName[0] < '1' || found.cFileName[0] > '9')
            continue;
        std::string dir = std::string("Z:\\proc\\") + found.cFileName;
        std::string cmdline;
        if (!ReadFileBytes(dir + "\\cmdline", &cmdline) || cmdline.empty())
            continue;
        cmdline = cmdline.c_str();  // argv[0]
        if (_stricmp(cmdline.c_str(), exe.c_str()) != 0)
            continue;
        unsigned long long started = StartTicks(dir);
        std::string status;
        if (started < youngest || !ReadFileBytes(dir + "\\status", &status))
            continue;
        size_t at = status.find("RssAnon:");
        if (at == std::string::npos)
            continue;
        youngest = started;
        kib = strtoul(status.c_str() + at + 8, nullptr, 10);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return kib;
}

struct Run {
    double msUntilReady = -1;   // from CreateProcess until its window exists and its loop waits for input
    double cpuMs = -1;          // processor time the process had used by then (user and kernel)
    unsigned long anonKiB = 0;  // at that moment
};

// User and kernel time of a process so far, in milliseconds. Unlike the
// time until ready it does not grow when other work on the machine delays
// the program.
double ProcessorMs(HANDLE process)
{
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user))
        return -1;
    ULARGE_INTEGER k, u;
    k.LowPart = kernel.dwLowDateTime;
    k.HighPart = kernel.dwHighDateTime;
    u.LowPart = user.dwLowDateTime;
    u.HighPart = user.dwHighDateTime;
    return static_cast<double>(k.QuadPart + u.QuadPart) / 10000.0;
}

Run StartAndEnd(const std::string& exe, const char* cls, const std::string& folder, bool measureMemory)
{
    Run run;
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    std::string line = "\"" + exe + "\"";
    double start = Now();
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &si, &pi))
        return run;
    HWND w = nullptr;
    while (!(w = FindWindowA(cls, nullptr)) && Now() - start < 30000)
        Sleep(0);
    bool idle = WaitForInputIdle(pi.hProcess, 30000) == 0;
    double elapsed = Now() - start;
    double cpu = ProcessorMs(pi.hProcess);
    if (measureMemory)
        run.anonKiB = AnonymousKiB(exe);
    if (w)
        EndProgram(w, cls);
    if (WaitForSingleObject(pi.hProcess, 30000) != WAIT_OBJECT_0)
        TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    if (w && idle) {
        run.msUntilReady = elapsed;
        run.cpuMs = cpu;
    }
    return run;
}

// The window of a resident program exists from the start of its WM_CREATE;
// it is ready when its message loop first waits for input, after all its
// set-up (Tamarin's history included).
Run StartUntilReady(const std::string& exe, const char* cls, const std::string& folder)
{
    return StartAndEnd(exe, cls, folder, false);
}

std::string CopyBeside(Tamarin* t, const char* name)
{
    std::string copy = t->folder + "\\" + name;
    CopyFileA((ModuleFolder() + "\\" + name).c_str(), copy.c_str(), FALSE);
    return copy;
}

void MeasureStartup(Tamarin* t, const std::string& history)
{
    std::string empty = CopyBeside(t, "empty_app.exe");
    std::string tray = CopyBeside(t, "tray_app.exe");
    std::vector<double> app, base, trayBase, appCpu, baseCpu, trayCpu;
    for (int round = 0; round < 11; round++) {
        WriteFileBytes(Tamarin_File(t, ".hst"), history);
        Run e = StartUntilReady(empty, "TamarinEmptyApp", t->folder);
        Run r = StartUntilReady(tray, "TamarinTrayApp", t->folder);
        Run a = StartUntilReady(t->folder + "\\tamarin.exe", "Kinkajou", t->folder);
        base.push_back(e.msUntilReady);
        trayBase.push_back(r.msUntilReady);
        app.push_back(a.msUntilReady);
        baseCpu.push_back(e.cpuMs);
        trayCpu.push_back(r.cpuMs);
        appCpu.push_back(a.cpuMs);
    }
    // The fastest round shows the cost with the least interference from
    // other work on the machine; the median is given beside it.
    double a = Percentile(app, 0.5), b = Percentile(base, 0.5), r = Percentile(trayBase, 0.5);
    double aMin = Percentile(app, 0), bMin = Percentile(base, 0), rMin = Percentile(trayBase, 0);
    printf("start-up until ready, 4095 x 1 KiB history: Tamarin median %.1f ms (fastest %.1f); minimal tray "
           "program %.1f ms (%.1f), ratio %.2f (fastest %.2f, goal 1.20); empty Win32 program %.1f ms (%.1f), "
           "ratio %.2f (%.2f)\n",
           a, aMin, r, rMin, a / r, aMin / rMin, b, bMin, a / b, aMin / bMin);
    double ac = Percentile(appCpu, 0.5), rc = Percentile(trayCpu, 0.5), bc = Percentile(baseCpu, 0.5);
    printf("processor time until ready (median): Tamarin %.1f ms; minimal tray program %.1f ms, ratio %.2f; empty "
           "Win32 program %.1f ms, ratio %.2f\n",
           ac, rc, ac / rc, bc, ac / bc);
}

// Anonymous memory once each program waits for input: the minimal tray
// program, Tamarin with no history file and Tamarin with a full one. The
// median of five starts each.
void MeasureFootprint(Tamarin* t, const std::string& history)
{
    std::string tray = CopyBeside(t, "tray_app.exe");
    std::string exe = t->folder + "\\tamarin.exe";
    std::vector<double> trayKiB, emptyKiB, fullKiB;
    for (int round = 0; round < 5; round++) {
        trayKiB.push_back(StartAndEnd(tray, "TamarinTrayApp", t->folder, true).anonKiB);
        DeleteFileA(Tamarin_File(t, ".hst").c_str());
        emptyKiB.push_back(StartAndEnd(exe, "Kinkajou", t->folder, true).anonKiB);
        WriteFileBytes(Tamarin_File(t, ".hst"), history);
        fullKiB.push_back(StartAndEnd(exe, "Kinkajou", t->folder, true).anonKiB);
    }
    double r = Percentile(trayKiB, 0.5) / 1024, e = Percentile(emptyKiB, 0.5) / 1024,
           f = Percentile(fullKiB, 0.5) / 1024;
    double texts = 4095.0 * 1024 / 1048576;
    printf("anonymous memory: minimal tray program %.1f MiB; Tamarin, empty history %.1f MiB (%+.1f MiB, goal "
           "+1.0); full history %.1f MiB (%+.1f MiB beyond the tray program and the %.1f MiB of texts, goal "
           "+2.0)\n",
           r, e, e - r, f, f - r - texts, texts);
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

// Private (pagefile-backed) bytes of the process; the working set where the
// platform does not report them.
SIZE_T PrivateBytes(HANDLE process)
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(process, &counters, sizeof counters))
        return 0;
    return counters.PagefileUsage ? counters.PagefileUsage : counters.WorkingSetSize;
}

// As fast as the program takes them: each change waits until the main window
// has handled it (it answers a message sent after the change, or two seconds
// pass), then the next one follows. The history file, written in the
// background, is checked after the quit.
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
        if (!PutClipboardText(text)) {
            refused++;
            continue;
        }
        DWORD_PTR result = 0;
        if (!SendMessageTimeoutA(t->window, WM_NULL, 0, 0, SMTO_NORMAL, 2000, &result))
            unanswered++;
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
           "program (no answer within 2 s), %d could not be made (clipboard busy); %d of the last %zu texts missing; memory %.1f MiB at start, "
           "%.1f MiB when the history was full, %.1f MiB at the end\n",
           changes, elapsed / 1000, elapsed / changes, records.size(), unanswered, refused, missing, records.size(),
           start / 1048576.0, atFull / 1048576.0, end / 1048576.0);
}

// ---------------------------------------------------------------- big content

std::string History30MB(std::vector<std::string>* texts)
{
    std::string bytes;
    for (int i = 0; i < 3000; i++) {
        std::string t = "old entry " + std::to_string(i) + " ";
        while (t.size() < 10 * 1024)
            t += (t.size() % 80 == 79) ? '\n' : static_cast<char>('a' + (i + t.size()) % 26);
        for (char c : t) {
            if (c == '\n')
                bytes += '\r';
            bytes += c;
        }
        bytes += '\0';
        if (texts)
            texts->push_back(t);
    }
    return bytes;
}

// The main thread takes a message sent from another thread only between two
// of its own: the answer to WM_NULL right after a change comes when the
// change's handler has returned.
double AnswerAfterChange(HWND window, const std::string& text)
{
    if (!OpenClipboard(nullptr))
        return -1;
    EmptyClipboard();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    memcpy(GlobalLock(block), text.c_str(), text.size() + 1);
    GlobalUnlock(block);
    SetClipboardData(CF_TEXT, block);
    double start = Now();
    CloseClipboard();
    // Until the change's notification has reached the window.
    DWORD_PTR result = 0;
    SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &result);
    return Now() - start;
}

void MeasureHandler(Tamarin* t)
{
    std::vector<double> empty, big, lag;
    for (int withHistory = 0; withHistory < 2; withHistory++) {
        if (withHistory)
            WriteFileBytes(Tamarin_File(t, ".hst"), History30MB(nullptr));
        else
            DeleteFileA(Tamarin_File(t, ".hst").c_str());
        Tamarin_Start(t);
        std::string hst = Tamarin_File(t, ".hst");
        for (int i = 0; i < 40; i++) {
            FILETIME before = WriteTime(hst);
            double start = Now();
            double answer = AnswerAfterChange(t->window, "handler " + std::to_string(i));
            (withHistory ? big : empty).push_back(answer);
            while (SameTime(WriteTime(hst), before) && Now() - start < 20000)
                Sleep(1);
            if (withHistory)
                lag.push_back(Now() - start);
        }
        Tamarin_Quit(t);
    }
    double e = Percentile(empty, 0.5), b = Percentile(big, 0.5), bMax = Percentile(big, 1.0);
    printf("clipboard handler with a 30 MB history: the main window answers %.2f ms after a change (median; max "
           "%.2f ms); with an empty history %.2f ms; ratio %.2f. The history file follows %.0f ms after the change "
           "(median; max %.0f ms)\n",
           b, bMax, e, b / e, Percentile(lag, 0.5), Percentile(lag, 1.0));
}

SIZE_T PeakPrivateBytes(HANDLE process)
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(process, &counters, sizeof counters))
        return 0;
    return counters.PeakPagefileUsage ? counters.PeakPagefileUsage : counters.PeakWorkingSetSize;
}

// テキストの編集
const char PAD_CAPTION[] = "\x83\x65\x83\x4c\x83\x58\x83\x67\x82\xcc\x95\xd2\x8f\x57";

struct PadRun {
    double shown;      // from the command until the pad is on screen with text in it
    double filled;     // until all of the text is in
    double slowest;    // the longest the pad took to answer while filling
    SIZE_T peakBytes;
};

PadRun OpenPadOn(Tamarin* t, const std::string& text)
{
    PadRun run = {-1, -1, 0, 0};
    PutClipboardText(text);
    Tamarin_Start(t);
    double start = Now();
    PostMessageA(t->window, WM_COMMAND, 40031, 0);
    HWND pad = nullptr;
    HWND edit = nullptr;
    while (Now() - start < 120000) {
        pad = FindWindowA("#32770", PAD_CAPTION);
        edit = pad ? GetDlgItem(pad, 1014) : nullptr;
        // The text's length is asked of the control itself: for a window of
        // another process GetWindowTextLength gives only the window's caption.
        if (edit && IsWindowVisible(pad) && SendMessageA(edit, WM_GETTEXTLENGTH, 0, 0) > 0)
            break;
        Sleep(1);
    }
    run.shown = Now() - start;
    // The pad answers while the rest comes in: each round trip of a message
    // sent to it is how long a user's input would wait.
    while (Now() - start < 600000) {
        double ask = Now();
        DWORD_PTR result = 0;
        SendMessageTimeoutA(pad, WM_NULL, 0, 0, SMTO_NORMAL, 120000, &result);
        double answered = Now() - ask;
        if (answered > run.slowest)
            run.slowest = answered;
        if (static_cast<size_t>(SendMessageA(edit, WM_GETTEXTLENGTH, 0, 0)) >= text.size())
            break;
        Sleep(20);
    }
    run.filled = Now() - start;
    run.peakBytes = PeakPrivateBytes(t->process.hProcess);
    PostMessageA(pad, WM_COMMAND, IDCANCEL, 0);
    Tamarin_Quit(t);
    return run;
}

// The edit control of the pad taking the whole text at once, as the pad did
// before it took long texts a piece at a time.
double WholeTextAtOnce(const std::string& text)
{
    DWORD style = WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL | ES_AUTOHSCROLL |
                  WS_VSCROLL | WS_HSCROLL | WS_BORDER;
    HWND top = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 640, 480, nullptr, nullptr, nullptr,
                               nullptr);
    HWND edit = CreateWindowExA(0, "EDIT", "", style, 0, 0, 600, 400, top, nullptr, nullptr, nullptr);
    double start = Now();
    SetWindowTextA(edit, text.c_str());
    double elapsed = Now() - start;
    DestroyWindow(top);
    return elapsed;
}

std::string PadText(size_t size)
{
    std::string text;
    for (int line = 0; text.size() < size; line++) {
        text += "line " + std::to_string(line) + " \x95\x5c ";
        text += std::string(static_cast<size_t>(line % 90), static_cast<char>('a' + line % 26));
        text += "\r\n";
    }
    return text;
}

void MeasureEditPad(Tamarin* t)
{
    DeleteFileA(Tamarin_File(t, ".hst").c_str());
    PadRun small = OpenPadOn(t, PadText(1024));
    std::string big = PadText(50 * 1048576);
    PadRun large = OpenPadOn(t, big);
    size_t wholeSize = 5 * 1048576;
    double whole = WholeTextAtOnce(big.substr(0, wholeSize));
    printf("edit pad on a 50 MB clipboard text: shown %.0f ms after the command (1 KiB text: %.0f ms; ratio %.1f); "
           "answered within %.0f ms at worst while the rest came in; all of it in after %.1f s; peak %.0f MiB. An edit "
           "control taking 5 MB at once: %.0f ms (50 MB: about %.0f s)\n",
           large.shown, small.shown, large.shown / small.shown, large.slowest, large.filled / 1000,
           large.peakBytes / 1048576.0, whole, whole * 10 / 1000);
}

// 登録テキストの編集
const char REGISTERED_CAPTION[] = "\x93\x6f\x98\x5e\x83\x65\x83\x4c\x83\x58\x83\x67\x82\xcc\x95\xd2\x8f\x57";

double OpenRegisteredDialogWith(Tamarin* t, int count)
{
    std::string registered;
    for (int i = 0; i < count; i++)
        registered += "registered text " + std::to_string(i) + std::string(1, '\0');
    WriteFileBytes(Tamarin_File(t, ".use"), registered);
    Tamarin_Start(t);
    double start = Now();
    PostMessageA(t->window, WM_COMMAND, 40049, 0);
    HWND dialog = nullptr;
    while (Now() - start < 120000) {
        dialog = FindWindowA("#32770", REGISTERED_CAPTION);
        HWND list = dialog ? GetDlgItem(dialog, 1013) : nullptr;
        if (list && IsWindowVisible(dialog) && SendMessageA(list, LB_GETCOUNT, 0, 0) == count)
            break;
        Sleep(1);
    }
    double elapsed = Now() - start;
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    Tamarin_Quit(t);
    DeleteFileA(Tamarin_File(t, ".use").c_str());
    return elapsed;
}

void MeasureRegisteredDialog(Tamarin* t)
{
    double few = OpenRegisteredDialogWith(t, 100);
    double tenK = OpenRegisteredDialogWith(t, 10000);
    double thirtyK = OpenRegisteredDialogWith(t, 30000);
    printf("registered-text dialog: open and filled with 100 texts %.0f ms, 10,000 %.0f ms, 30,000 %.0f ms; 30,000 "
           "against 10,000: ratio %.2f (3 is linear)\n",
           few, tenK, thirtyK, thirtyK / tenK);
}

// PERF_ONLY names the one part to run; PERF_STARTUP_ONLY, PERF_SEARCH_ONLY
// and PERF_SOAK_ONLY are older spellings of it.
bool Runs(const char* part)
{
    const char* only = getenv("PERF_ONLY");
    if (!only && getenv("PERF_STARTUP_ONLY"))
        only = "startup";
    if (!only && getenv("PERF_SEARCH_ONLY"))
        only = "search";
    if (!only && getenv("PERF_SOAK_ONLY"))
        only = "soak";
    return !only || strcmp(only, part) == 0;
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
    if (Runs("startup")) {
        MeasureStartup(&t, history);
        MeasureFootprint(&t, history);
    }
    if (Runs("change"))
        MeasureChanges(&t, history);
    if (Runs("popup"))
        MeasurePopup(&t, history);
    if (Runs("search"))
        MeasureSearch(&t, history);
    if (Runs("handler"))
        MeasureHandler(&t);
    if (Runs("editpad"))
        MeasureEditPad(&t);
    if (Runs("registered"))
        MeasureRegisteredDialog(&t);
    if (Runs("soak"))
        Soak(&t);
    Tamarin_Cleanup(&t);
    return 0;
}
