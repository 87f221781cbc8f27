// Grapheme clusters: the stretches of a text that a reader sees as one
// character (a base with its marks, a surrogate pair, an emoji sequence),
// which a cut must keep or drop whole.
#pragma once

#include <stddef.h>
#include <stdint.h>

bool Grapheme_IsExtend(uint32_t cp);
// true for the code points that stand in a cluster of their own: C0 and C1
// controls, DEL, the line and paragraph separators (CR LF excepted).
bool Grapheme_IsControl(uint32_t cp);
// Where the cluster that starts at pos (below length) of a UTF-8 text ends.
size_t Grapheme_NextUtf8(const char* s, size_t length, size_t pos);
