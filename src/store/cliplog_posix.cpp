// Native stand-in for the platform half of the clipboard change log, so the
// portable log code links and runs outside Windows. A backslash of the log's
// names is taken for the separator it is on Windows, so the native build lays
// out the same month and day folders, one level at a time.
#include <stdio.h>
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

namespace {

void HostPath(char* out, const char* path)
{
    size_t n = 0;
    for (; path[n] && n < CLIPLOG_PATH_SIZE - 1; n++)
        out[n] = path[n] == '\\' ? '/' : path[n];
    out[n] = 0;
}

}  // namespace

bool ClipLog_MakeFolder(const char* path)
{
    char host[CLIPLOG_PATH_SIZE];
    HostPath(host, path);
    struct stat info;
    if (stat(host, &info) != 0)
        mkdir(host, 0777);
    return stat(host, &info) == 0;
}

FILE* ClipLog_CreateFile(const char* path)
{
    char host[CLIPLOG_PATH_SIZE];
    HostPath(host, path);
    return fopen(host, "wb");
}

void ClipLog_RemoveFile(const char* path)
{
    char host[CLIPLOG_PATH_SIZE];
    HostPath(host, path);
    remove(host);
}
