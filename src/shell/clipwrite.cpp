// Clipboard writes of the resident program with their retry. At most one
// write waits at a time: the text (a copy owned here) or the emptying, the
// clipboard's sequence number when it was asked for, and the tries left.
#include "shell/clipwrite.h"

#include <stdlib.h>
#include <string.h>

#include "resources/notices.h"
#include "shell/clipwatch.h"
#include "shell/traynotice.h"
#include "store/clipboard.h"
#include "text/text.h"

namespace {

struct PendingWrite {
    bool waiting;
    char* text;  // null: empty the clipboard
    char* original;
    DWORD sequence;
    int triesLeft;
    bool reportedGiveUp;  // one notice per run of failures
};

PendingWrite g_write;

bool WriteNow(HWND mainWindow, const char* text, const char* original)
{
    return text ? Clip_SetTextWithOriginal(mainWindow, text, original) : Clip_Empty(mainWindow);
}

void Drop(HWND mainWindow)
{
    KillTimer(mainWindow, TIMER_CLIP_WRITE_RETRY);
    free(g_write.text);
    free(g_write.original);
    g_write.text = nullptr;
    g_write.original = nullptr;
    g_write.waiting = false;
}

// Opening the clipboard does not move its sequence number; only a change does.
bool ChangedSinceAsked()
{
    DWORD now = GetClipboardSequenceNumber();
    return now != 0 && g_write.sequence != 0 && now != g_write.sequence;
}

void CALLBACK OnWriteRetry(HWND mainWindow, UINT, UINT_PTR, DWORD)
{
    if (!g_write.waiting || ChangedSinceAsked()) {
        Drop(mainWindow);
        return;
    }
    if (WriteNow(mainWindow, g_write.text, g_write.original)) {
        g_write.reportedGiveUp = false;
        Drop(mainWindow);
        return;
    }
    if (--g_write.triesLeft > 0)
        return;
    Drop(mainWindow);
    if (!g_write.reportedGiveUp)
        TrayNotice_Show(IDS_NOTICE_CLIPBOARD_WRITE, nullptr);
    g_write.reportedGiveUp = true;
}

bool Write(HWND mainWindow, const char* text, const char* original)
{
    Drop(mainWindow);
    if (WriteNow(mainWindow, text, original)) {
        g_write.reportedGiveUp = false;
        return true;
    }
    if (text) {
        g_write.text = static_cast<char*>(MemDup(text, strlen(text) + 1));
        if (original)
            g_write.original = static_cast<char*>(MemDup(original, strlen(original) + 1));
        if (!g_write.text || (original && !g_write.original)) {
            Drop(mainWindow);
            return false;
        }
    }
    g_write.waiting = true;
    g_write.sequence = GetClipboardSequenceNumber();
    g_write.triesLeft = CLIP_RETRY_TRIES;
    SetTimer(mainWindow, TIMER_CLIP_WRITE_RETRY, CLIP_RETRY_INTERVAL, OnWriteRetry);
    return true;
}

}  // namespace

bool ClipWrite_SetText(HWND mainWindow, const char* text)
{
    return text && Write(mainWindow, text, nullptr);
}

bool ClipWrite_SetTextWithOriginal(HWND mainWindow, const char* text, const char* original)
{
    return text && Write(mainWindow, text, original);
}

bool ClipWrite_Empty(HWND mainWindow)
{
    return Write(mainWindow, nullptr, nullptr);
}

void ClipWrite_Cancel(HWND mainWindow)
{
    Drop(mainWindow);
}
