// Native stand-in for the platform half of the clipboard change log, so the
// portable log code links and runs outside Windows. The log's names keep their
// backslashes here, so each level becomes one oddly named entry; only the
// Windows build lays out real month and day folders.
#include <sys/stat.h>
#include <sys/types.h>
#include <time.h>

#include "store/cliplog.h"

void ClipLog_GetLocalTime(SYSTEMTIME* out)
{
    struct timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    struct tm local;
    localtime_r(&now.tv_sec, &local);
    out->wYear = static_cast<uint16_t>(local.tm_year + 1900);
    out->wMonth = static_cast<uint16_t>(local.tm_mon + 1);
    out->wDayOfWeek = static_cast<uint16_t>(local.tm_wday);
    out->wDay = static_cast<uint16_t>(local.tm_mday);
    out->wHour = static_cast<uint16_t>(local.tm_hour);
    out->wMinute = static_cast<uint16_t>(local.tm_min);
    out->wSecond = static_cast<uint16_t>(local.tm_sec);
    out->wMilliseconds = static_cast<uint16_t>(now.tv_nsec / 1000000);
}

bool ClipLog_MakeFolder(const char* path)
{
    struct stat info;
    if (stat(path, &info) != 0)
        mkdir(path, 0777);
    return stat(path, &info) == 0;
}
