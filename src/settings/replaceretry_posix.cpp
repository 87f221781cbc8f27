// The native half of the file replace retry: a POSIX rename replaces a
// file that others hold open, so there is nothing to wait for.
#include "settings/filereplace.h"

bool FileReplace_ReplaceRetrying(const char* tmpPath, const char* path, bool)
{
    return FileReplace_Replace(tmpPath, path);
}
