// Labels of the text-list popup: one line, ampersands doubled, cut to size.
#pragma once

#include <stddef.h>

int MakeMenuLabel(char* dst, const char* text, int labelSize);
