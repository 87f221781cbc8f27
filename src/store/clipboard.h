// Clipboard access: private copies of clipboard data, placing a text, emptying
// the clipboard, and recognising data that its source asks not to record.
#pragma once

#include <stddef.h>

#include <windows.h>

// Heap copies; the caller frees them with free(). A CF_TEXT copy always holds
// a NUL. Clip_GetDataEx also gives the copy's size in bytes.
void* Clip_GetData(HWND owner, UINT format);
void* Clip_GetDataEx(HWND owner, UINT format, size_t* size);

// The copy Clip_GetDataEx makes of a locked clipboard block of size bytes.
void* Clip_CopyBlock(const void* block, size_t size, bool isText, size_t* copySize);

// On a clipboard the caller holds open: a copy of the format's block, or null.
// *failed tells a format that is offered but could not be read (its owner
// did not render it, memory ran out) from one that is not there at all.
void* Clip_CopyOpenData(UINT format, size_t* size, bool* failed);

bool Clip_SetText(HWND owner, const char* text);
bool Clip_Empty(HWND owner);

bool Clip_IsConfidential(HWND owner);
// The same on a clipboard the caller holds open.
bool Clip_IsConfidentialOpen();
