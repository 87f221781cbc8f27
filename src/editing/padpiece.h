// Where a long text is cut into the pieces the edit pad takes one at a time.
#pragma once

#include <stddef.h>

// The end of the piece of text[start, length) (UTF-16 units) that holds
// about wanted units: just after the last line end within them, so that no
// line is extended by a later piece; a text with no line end there is cut
// before wanted units, never between the halves of a surrogate pair or
// between CR and LF. Gives length when the rest fits, and always more than
// start while start < length.
size_t PadPiece_End(const char16_t* text, size_t start, size_t length, size_t wanted);
