// A stand-in for the taskbar's notification area, made by the test process:
// a window of the class "Shell_TrayWnd" that Shell_NotifyIcon talks to with
// WM_COPYDATA. Under Wine the record it sends begins with the icon owner's
// window, the icon id and its flags, and carries the texts as UTF-16; the
// message (NIM_ADD, NIM_MODIFY, ...) is the record's dwData. Made after
// Wine's own taskbar window, it is the one that Shell_NotifyIcon finds.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

struct TrayNotice {
    DWORD message;       // NIM_ADD, NIM_MODIFY, NIM_DELETE, ...
    HWND from;           // WM_COPYDATA's sender (the icon's owner)
    UINT flags;          // NIF_ flags of the record
    std::string record;  // the whole record as sent
};

// Creates the stand-in; refuseAdds is the number of NIM_ADD requests it
// refuses before it accepts them. Like a real notification area it changes
// (NIM_MODIFY) only icons it has accepted. It answers only while this thread
// handles messages (WaitFor does).
HWND FakeTray_Create(int refuseAdds = 0);
void FakeTray_Destroy(HWND tray);
// What the stand-in has received, oldest first.
const std::vector<TrayNotice>& FakeTray_Notices();
// The latest balloon (a record with NIF_INFO) that window has shown, or null.
const TrayNotice* FakeTray_LastBalloon(HWND window);
// Whether a record holds text (code page 932) as UTF-16.
bool TrayRecordHolds(const TrayNotice& notice, const std::string& text);
// Broadcasts "TaskbarCreated" as a starting taskbar does.
void BroadcastTaskbarCreated();
// Quits Tamarin (command 40001) while answering what it sends the stand-in
// on its way out; gives its exit code or -1.
struct Tamarin;
int QuitAnsweringTray(Tamarin* t);
