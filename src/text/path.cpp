// Backslash paths in code page 932. A 0x5C that is the trail byte of a
// double-byte character (as in "表" or "ソ") is never a separator.
#include "text/path.h"

#include <string.h>

#include "text/text.h"

bool IsPathSeparator(const char* s, size_t pos)
{
    return s[pos] == '\\' && MbcsByteKind(s, pos) == MBCS_SINGLE;
}

// Position of the last separator, or -1; one forward walk keeps the byte
// kinds right without rescanning from the start for every byte.
static long LastSeparator(const char* s)
{
    long last = -1;
    for (const char* p = s; *p; p = MbcsCharNext(p)) {
        if (*p == '\\')
            last = p - s;
    }
    return last;
}

char* CutExtension(char* path)
{
    long sep = LastSeparator(path);
    char* dot = nullptr;
    for (char* p = path + sep + 1; *p; p = MbcsCharNext(p)) {
        if (*p == '.')
            dot = p;
    }
    if (dot)
        *dot = 0;
    return path;
}

char* CutFileName(char* path)
{
    long sep = LastSeparator(path);
    if (sep < 0)
        return path + strlen(path);
    path[sep] = 0;
    return path + sep + 1;
}

bool PathJoin(char* dst, size_t size, const char* folder, const char* name)
{
    if (size == 0)
        return true;
    if (folder[0] == 0) {
        StrCopyN(dst, size, name);
        return true;
    }
    StrCopyN(dst, size, folder);
    if (strcmp(name, ".") == 0)
        return true;
    if (strcmp(name, "..") == 0) {
        long sep = LastSeparator(dst);
        if (sep < 0)
            return true;
        dst[sep] = 0;
        if (LastSeparator(dst) < 0 && sep + 1 < static_cast<long>(size)) {
            // Keep the root's backslash: "C:\dir" + ".." is "C:\", not "C:".
            dst[sep] = '\\';
            dst[sep + 1] = 0;
        }
        return true;
    }
    size_t len = strlen(dst);
    if (len > 0 && !IsPathSeparator(dst, len - 1)) {
        if (len + 1 >= size)
            return true;
        dst[len++] = '\\';
        dst[len] = 0;
    }
    StrCopyN(dst + len, size - len, name);
    return true;
}
