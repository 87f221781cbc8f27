// The broken-down local time that the date format and the log names read.
// On Windows this is SYSTEMTIME itself; elsewhere a record of the same fields.
#pragma once

#ifdef _WIN32
#include <minwindef.h>
#include <minwinbase.h>
#else
#include <stdint.h>
struct SYSTEMTIME {
    uint16_t wYear;
    uint16_t wMonth;
    uint16_t wDayOfWeek;
    uint16_t wDay;
    uint16_t wHour;
    uint16_t wMinute;
    uint16_t wSecond;
    uint16_t wMilliseconds;
};
#endif
