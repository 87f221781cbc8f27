// FormatDateTime: Tamarin's own date/time format language.
#pragma once

#include <stddef.h>

#include "datefmt/systime.h"

// Writes the text that format yields for time into out, never more than
// capacity bytes including the NUL.
void FormatDateTime(char* out, size_t capacity, const char* format, const SYSTEMTIME* time);
