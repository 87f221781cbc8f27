// perf_harness: measures the real tamarin.exe under Wine.
//   start-up with a full history (4095 texts of 1 KiB) against an empty Win32 program;
//   one clipboard change with that history, from CloseClipboard until the new
//   history file is in place, against the bare history-file write;
//   the clipboard handler with a 30 MB history: how soon the main window
//   answers again after a change, against an empty history, and how far the
//   file written in the background lags behind;
//   the edit pad opened on a 50 MB clipboard text, against a 1 KiB one and
//   against an edit control taking the whole text at once;
//   the registered-text dialog with 10,000 and 30,000 texts, against 100;
//   a soak of 5000 changes: none lost, and the program's private memory.
// PERF_ONLY=startup|change|popup|handler|editpad|registered|soak runs one part.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <string>
#include <vector>

#include "harness.h"
#include "store/appdata.h"
#include "store/storefile.h"

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

bool Runs(const char* part)
{
    const char* only = getenv("PERF_ONLY");
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
    if (Runs("startup") && !getenv("PERF_SOAK_ONLY"))
        MeasureStartup(&t, history);
    if (Runs("change") && !getenv("PERF_SOAK_ONLY"))
        MeasureChanges(&t, history);
    if (Runs("popup") && !getenv("PERF_SOAK_ONLY"))
        MeasurePopup(&t, history);
    if (Runs("handler") && !getenv("PERF_SOAK_ONLY"))
        MeasureHandler(&t);
    if (Runs("editpad") && !getenv("PERF_SOAK_ONLY"))
        MeasureEditPad(&t);
    if (Runs("registered") && !getenv("PERF_SOAK_ONLY"))
        MeasureRegisteredDialog(&t);
    if (Runs("soak"))
        Soak(&t);
    Tamarin_Cleanup(&t);
    return 0;
}
