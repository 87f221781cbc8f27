// Where a long text is cut into the pieces the edit pad takes one at a time.
#pragma once

#include <stddef.h>

// The end of the piece of text[start, length) that holds about wanted bytes:
// just after the last line end within them, so that no line is extended by a
// later piece; a text with no line end there is cut before wanted bytes,
// never inside a double-byte character or between CR and LF. Gives length
// when the rest fits, and always more than start while start < length.
size_t PadPiece_End(const char* text, size_t start, size_t length, size_t wanted);
