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

// On a clipboard the caller holds open: the text as the clip store keeps it
// (ClipText_FromClipboard), heap copies of its code-page-932 form and of its
// UTF-8 original (null when the text is its own). false when there is no
// text; *failed then tells a text that is offered but could not be read.
bool Clip_CopyOpenText(char** text, char** original, bool* failed);
// The same in an opening of its own; false also when the clipboard is held.
bool Clip_GetText(HWND owner, char** text, char** original);

// Both place the text as CF_UNICODETEXT, CF_TEXT and CF_LOCALE (Japanese):
// the code-page-932 text exactly as CF_TEXT, and as CF_UNICODETEXT its
// original (UTF-8, null: none) or else the text read in code page 932.
bool Clip_SetText(HWND owner, const char* text);
bool Clip_SetTextWithOriginal(HWND owner, const char* text, const char* original);
bool Clip_Empty(HWND owner);

bool Clip_IsConfidential(HWND owner);
// The same on a clipboard the caller holds open.
bool Clip_IsConfidentialOpen();
