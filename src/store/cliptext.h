// A text as the clip store holds it: its code-page-932 bytes and, when the
// copied text does not survive code page 932, its Unicode original.
#pragma once

#include <stddef.h>
#include <stdint.h>

// A heap block (freed with free) that reads as the NUL-ended code-page-932
// text and holds the UTF-8 original after that NUL; original may be null.
char* ClipText_New(const char* text, size_t length, const char* original, size_t originalLength);
// The UTF-8 original of a stored text, or null when the text is its own.
const char* ClipText_Original(const char* stored);
// The hashes (Originals_Hash) of a stored text of length bytes and of its
// original, kept in the block; false when it has no original.
bool ClipText_Hashes(const char* stored, size_t length, uint64_t* textHash, uint64_t* originalHash);
// Whether original is worth keeping beside its code-page-932 form: true
// unless it is null, empty or comes back unchanged through code page 932.
bool ClipText_NeedsOriginal(const char* original);
// true when the stored text is text with that original (null: none).
bool ClipText_Equals(const char* stored, const char* text, const char* original);

// The text and original of a clipboard change, from its CF_UNICODETEXT block
// (units UTF-16 units, or null) and its CF_TEXT block (size bytes, or null);
// each ends at its first NUL or its size. ansiFirst: the source placed
// CF_TEXT before CF_UNICODETEXT. Both results are heap copies (the caller
// frees them); *original is null when the text is its own. false when there
// is no text or memory runs out.
bool ClipText_FromClipboard(const char16_t* unicode, size_t units, const char* ansi, size_t size, bool ansiFirst,
                            char** text, char** original);
