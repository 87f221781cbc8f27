// The portable steps of a crash-safe rewrite: where the temporary file goes,
// and the order of flush, close and replace.
#include "settings/filereplace.h"

#include <stdlib.h>
#include <string.h>

enum {
    STREAM_BUFFER_SIZE = 262144,  // stdio buffer of a file being written
    TEMP_NAME_TRIES = 100,        // "<name>.tmp", then "<name>.1.tmp" to "<name>.99.tmp"
};

static char* CopyString(const char* s)
{
    size_t size = strlen(s) + 1;
    char* copy = static_cast<char*>(malloc(size));
    if (copy)
        memcpy(copy, s, size);
    return copy;
}

// "<target>.tmp" for the first try; "<target>.<n>.tmp" for the later ones.
static char* TempName(const char* target, int attempt)
{
    size_t size = strlen(target) + 16;
    char* name = static_cast<char*>(malloc(size));
    if (!name)
        return nullptr;
    if (attempt == 0)
        snprintf(name, size, "%s.tmp", target);
    else
        snprintf(name, size, "%s.%d.tmp", target, attempt);
    return name;
}

// A name that cannot be opened for writing (a folder of that name, a
// read-only file, a file another program holds open) is passed over for the
// next one, so no leftover can block every save. A leftover file that opens
// is simply overwritten.
static FILE* OpenFreeTempFile(const char* target, char** tmpPath)
{
    for (int attempt = 0; attempt < TEMP_NAME_TRIES; attempt++) {
        char* name = TempName(target, attempt);
        if (!name)
            return nullptr;
        FILE* file = fopen(name, "wb");
        if (file) {
            *tmpPath = name;
            return file;
        }
        free(name);
    }
    return nullptr;
}

bool FileReplacement_Begin(FileReplacement* r, const char* path)
{
    r->file = nullptr;
    r->tmpPath = nullptr;
    r->streamBuffer = nullptr;
    r->target = FileReplace_ResolveLinkTarget(path);
    if (!r->target)
        r->target = CopyString(path);
    if (!r->target)
        return false;
    r->file = OpenFreeTempFile(r->target, &r->tmpPath);
    if (!r->file) {
        free(r->target);
        r->target = nullptr;
        return false;
    }
    // A large buffer: a history of many megabytes goes out in few writes.
    r->streamBuffer = static_cast<char*>(malloc(STREAM_BUFFER_SIZE));
    if (r->streamBuffer)
        setvbuf(r->file, r->streamBuffer, _IOFBF, STREAM_BUFFER_SIZE);
    return true;
}

bool FileReplacement_Commit(FileReplacement* r, bool written, bool patient)
{
    bool ok = written && fflush(r->file) == 0 && !ferror(r->file);
    ok = ok && FileReplace_FlushToDisk(r->file);
    if (fclose(r->file) != 0)
        ok = false;
    ok = ok && FileReplace_ReplaceRetrying(r->tmpPath, r->target, patient);
    if (!ok)
        remove(r->tmpPath);
    free(r->streamBuffer);
    free(r->tmpPath);
    free(r->target);
    r->streamBuffer = nullptr;
    r->file = nullptr;
    r->tmpPath = nullptr;
    r->target = nullptr;
    return ok;
}
