// A 64-bit hash of a byte string, for finding equal texts among many.
#pragma once

#include <stddef.h>
#include <stdint.h>

uint64_t TextHash(const char* text, size_t length);
