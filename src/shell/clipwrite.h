// Putting a text on the clipboard, or emptying it, from the resident
// program: a clipboard that another program holds open is tried again from a
// short timer, a bounded number of times, instead of the command being lost.
#pragma once

#include <windows.h>

enum { TIMER_CLIP_WRITE_RETRY = 22 };

// true when done now or left to the retry timer. A later write replaces one
// still waiting; a copy that another program makes meanwhile wins over it.
bool ClipWrite_SetText(HWND mainWindow, const char* text);
bool ClipWrite_Empty(HWND mainWindow);
// Drops a write still waiting (the window is going away).
void ClipWrite_Cancel(HWND mainWindow);
