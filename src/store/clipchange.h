// One clipboard change as the resident program records it: the clipboard's
// sequence number, its confidentiality and its text (or, without text, its
// image), all read in a single opening of the clipboard.
#pragma once

#include <stddef.h>

#include <windows.h>

struct ClipChange {
    DWORD sequence;     // GetClipboardSequenceNumber while open; 0 when the system does not tell
    bool confidential;  // marked by its source as not to be recorded; nothing else is read
    char* text;         // CF_TEXT copy, null when the clipboard offers no text
    void* image;        // CF_DIB copy, read only when asked for and there is no text
    size_t imageSize;
};

// false when the clipboard could not be read now: another program holds it
// open, or it offers text that could not be had. The change is then empty.
// On true the change owns its copies; ClipChange_Free releases them.
bool ClipChange_Read(HWND owner, bool wantImage, ClipChange* change);
void ClipChange_Free(ClipChange* change);
