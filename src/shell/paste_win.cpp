// Pasting after a pick. The keystroke is synthesized with SendInput, which
// types into whatever window has the foreground, so it goes out only once the
// target has the foreground and no modifier key the user still holds (those
// of the hotkey, or Shift of a Shift+Enter) would change its meaning. The wait
// runs on a timer, so Tamarin keeps handling its messages meanwhile.
#include "shell/paste.h"

#include <stdlib.h>
#include <string.h>

namespace {

struct PasteJob {
    HWND target;
    DWORD started;
};

const char* const CONSOLE_CLASSES[] = {
    "ConsoleWindowClass",  // the console host of Windows
    "WineConsoleClass",    // and Wine's
};

const char* const SHELL_CLASSES[] = {
    "Shell_TrayWnd",  // the taskbar and its notification area
    "Shell_SecondaryTrayWnd",
    "NotifyIconOverflowWindow",
    "Progman",  // the desktop
    "WorkerW",
};

bool ClassIn(const char* className, const char* const* names, size_t count)
{
    for (size_t i = 0; i < count; i++) {
        if (strcmp(className, names[i]) == 0)
            return true;
    }
    return false;
}

bool IsOwnWindow(HWND window)
{
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    return process == GetCurrentProcessId();
}

bool HasShellClass(HWND window)
{
    char name[64];
    return GetClassNameA(window, name, sizeof name) > 0 && Paste_IsShellClass(name);
}

bool HasConsoleClass(HWND window)
{
    char name[64];
    return GetClassNameA(window, name, sizeof name) > 0 && Paste_IsConsoleClass(name);
}

// A window the user could have been typing in.
bool IsTypingWindow(HWND window)
{
    if (!IsWindowVisible(window) || IsIconic(window) || !IsWindowEnabled(window))
        return false;
    if (GetWindowLongA(window, GWL_EXSTYLE) & (WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE))
        return false;
    return !IsOwnWindow(window) && !HasShellClass(window);
}

// Below the taskbar in the z-order lies the window that was active before
// the click on it.
HWND WindowBelow(HWND window)
{
    for (HWND next = GetWindow(window, GW_HWNDNEXT); next; next = GetWindow(next, GW_HWNDNEXT)) {
        if (IsTypingWindow(next))
            return next;
    }
    return nullptr;
}

bool AnyModifierDown()
{
    const int keys[] = {VK_SHIFT, VK_CONTROL, VK_MENU, VK_LWIN, VK_RWIN};
    for (int key : keys) {
        if (GetAsyncKeyState(key) & 0x8000)
            return true;
    }
    return false;
}

INPUT KeyInput(WORD vk, bool up, bool extended)
{
    INPUT input;
    ZeroMemory(&input, sizeof(input));
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (extended ? KEYEVENTF_EXTENDEDKEY : 0);
    return input;
}

void SendPasteKeys(bool console)
{
    WORD modifier = console ? VK_SHIFT : VK_CONTROL;
    WORD key = console ? VK_INSERT : 'V';
    INPUT inputs[4] = {
        KeyInput(modifier, false, false),
        KeyInput(key, false, console),
        KeyInput(key, true, console),
        KeyInput(modifier, true, false),
    };
    SendInput(4, inputs, sizeof(INPUT));
}

void FinishJob(HWND timerWindow)
{
    KillTimer(timerWindow, PASTE_TIMER_ID);
    free(RemovePropA(timerWindow, PROP_PASTEJOB));
}

// One look at the state of a paste under way: it ends with the keystroke,
// or without one when the target is gone or the time is up.
void CALLBACK PasteTick(HWND timerWindow, UINT, UINT_PTR, DWORD)
{
    PasteJob* job = static_cast<PasteJob*>(GetPropA(timerWindow, PROP_PASTEJOB));
    if (!job) {
        KillTimer(timerWindow, PASTE_TIMER_ID);
        return;
    }
    if (!IsWindow(job->target) || IsOwnWindow(job->target)) {
        FinishJob(timerWindow);
        return;
    }
    HWND foreground = GetForegroundWindow();
    if (foreground != job->target) {
        SetForegroundWindow(job->target);
        foreground = GetForegroundWindow();
    }
    if (foreground == job->target && !AnyModifierDown()) {
        SendPasteKeys(HasConsoleClass(job->target));
        FinishJob(timerWindow);
        return;
    }
    if (GetTickCount() - job->started > PASTE_WAIT_LIMIT_MS)
        FinishJob(timerWindow);
}

void CALLBACK ForgetTargetTick(HWND holder, UINT, UINT_PTR, DWORD)
{
    KillTimer(holder, PASTE_FORGET_TIMER_ID);
    RemovePropA(holder, PROP_PASTETARGET);
}

}  // namespace

bool Paste_IsConsoleClass(const char* className)
{
    return ClassIn(className, CONSOLE_CLASSES, sizeof(CONSOLE_CLASSES) / sizeof(CONSOLE_CLASSES[0]));
}

bool Paste_IsShellClass(const char* className)
{
    return ClassIn(className, SHELL_CLASSES, sizeof(SHELL_CLASSES) / sizeof(SHELL_CLASSES[0]));
}

HWND Paste_ChooseTarget(HWND foreground)
{
    if (!foreground || !IsWindow(foreground))
        return nullptr;
    HWND root = GetAncestor(foreground, GA_ROOT);
    if (!root || IsOwnWindow(root))
        return nullptr;
    char name[64];
    if (GetClassNameA(root, name, sizeof name) > 0 && Paste_IsShellClass(name)) {
        bool taskbar = strncmp(name, "Shell_", 6) == 0 || strcmp(name, "NotifyIconOverflowWindow") == 0;
        return taskbar ? WindowBelow(root) : nullptr;
    }
    return root;
}

void Paste_KeepTarget(HWND holder, HWND target)
{
    KillTimer(holder, PASTE_FORGET_TIMER_ID);
    if (target)
        SetPropA(holder, PROP_PASTETARGET, target);
    else
        RemovePropA(holder, PROP_PASTETARGET);
}

HWND Paste_TakeTarget(HWND holder)
{
    KillTimer(holder, PASTE_FORGET_TIMER_ID);
    return static_cast<HWND>(RemovePropA(holder, PROP_PASTETARGET));
}

// WM_TIMER is made only when no posted message waits, so the pick a popup
// posted before it closed is handled first.
void Paste_ForgetTargetLater(HWND holder)
{
    SetTimer(holder, PASTE_FORGET_TIMER_ID, 0, ForgetTargetTick);
}

bool Paste_Start(HWND timerWindow, HWND target)
{
    Paste_Cancel(timerWindow);
    if (!target || !IsWindow(target) || IsOwnWindow(target))
        return false;
    PasteJob* job = static_cast<PasteJob*>(malloc(sizeof(PasteJob)));
    if (!job)
        return false;
    job->target = target;
    job->started = GetTickCount();
    if (!SetPropA(timerWindow, PROP_PASTEJOB, job)) {
        free(job);
        return false;
    }
    SetForegroundWindow(target);
    if (!SetTimer(timerWindow, PASTE_TIMER_ID, PASTE_TIMER_MS, PasteTick)) {
        FinishJob(timerWindow);
        return false;
    }
    return true;
}

void Paste_Cancel(HWND timerWindow)
{
    if (GetPropA(timerWindow, PROP_PASTEJOB))
        FinishJob(timerWindow);
}

bool Paste_IsPending(HWND timerWindow)
{
    return GetPropA(timerWindow, PROP_PASTEJOB) != nullptr;
}
