// The native half of the crash-safe file rewrite: fsync, rename, and
// the file a symbolic link leads to.
#include "settings/filereplace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

bool FileReplace_FlushToDisk(FILE* file)
{
    return fsync(fileno(file)) == 0;
}

// A rename is only durable once the folder that holds both names is synced;
// failing that still leaves a whole file under either name, so it is not an error.
static void SyncParentFolder(const char* path)
{
    const char* slash = strrchr(path, '/');
    char* folder = nullptr;
    if (slash) {
        size_t len = slash == path ? 1 : static_cast<size_t>(slash - path);
        folder = static_cast<char*>(malloc(len + 1));
        if (!folder)
            return;
        memcpy(folder, path, len);
        folder[len] = 0;
    }
    int fd = open(folder ? folder : ".", O_RDONLY | O_DIRECTORY);
    free(folder);
    if (fd < 0)
        return;
    fsync(fd);
    close(fd);
}

bool FileReplace_Replace(const char* tmpPath, const char* path)
{
    if (rename(tmpPath, path) != 0)
        return false;
    SyncParentFolder(path);
    return true;
}

char* FileReplace_ResolveLinkTarget(const char* path)
{
    struct stat info;
    if (lstat(path, &info) != 0 || !S_ISLNK(info.st_mode))
        return nullptr;
    return realpath(path, nullptr);
}
