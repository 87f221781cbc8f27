// Pasting after a pick: the window the user was in when a popup or the search
// window was asked for gets the foreground back and, once the modifier keys
// are up, the paste keystroke (Ctrl+V, or Shift+Insert for a console).
#pragma once

#include <windows.h>

// Where the target waits between the request for a popup and the pick, on
// the window that handles both.
#define PROP_PASTETARGET "PROP_PASTETARGET"
// The paste under way, on the window whose timer drives it.
#define PROP_PASTEJOB "PROP_PASTEJOB"

enum {
    PASTE_TIMER_ID = 15,          // timer of the window that runs the paste
    PASTE_TIMER_MS = 15,          // how often the keys and the foreground are looked at
    PASTE_WAIT_LIMIT_MS = 2000,   // the longest wait for the keys and the foreground
    PASTE_FORGET_TIMER_ID = 16,   // timer that drops a target no pick has taken
};

// The window a paste would go to for a request made while foreground had the
// foreground: that window itself; for the taskbar (a click on the tray icon)
// the window it was in front of; null for none, for a window of this
// process, or for the desktop.
HWND Paste_ChooseTarget(HWND foreground);

// Keeps target on holder until Paste_TakeTarget takes it (null clears it).
void Paste_KeepTarget(HWND holder, HWND target);
HWND Paste_TakeTarget(HWND holder);
// Drops the target kept on holder once the messages posted to it so far have
// been handled: after a popup, whose pick comes as a posted WM_COMMAND.
void Paste_ForgetTargetLater(HWND holder);

// Starts a paste into target, run by a timer of timerWindow: the foreground
// goes back to target, and as soon as it has it and Ctrl, Alt, Shift and the
// Windows keys are up the keystroke is sent. Nothing is sent when target has
// gone, is a window of this process, or the keys or the foreground do not
// come within PASTE_WAIT_LIMIT_MS. A paste still under way is dropped first.
bool Paste_Start(HWND timerWindow, HWND target);
// Drops a paste under way (the window is going away).
void Paste_Cancel(HWND timerWindow);
bool Paste_IsPending(HWND timerWindow);

// Whether a window of this class is a console, which pastes with Shift+Insert.
bool Paste_IsConsoleClass(const char* className);
// Whether a window of this class is the taskbar or the desktop.
bool Paste_IsShellClass(const char* className);
