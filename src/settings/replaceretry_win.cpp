// The Win32 half of the file replace retry. A file that another
// program has open without delete sharing cannot be replaced until it is
// closed; scanners and indexers open every file that changes, for a moment.
#include <windows.h>

#include "settings/filereplace.h"

namespace {

// ms before each further try: about 0.6 s in all, the longest a scanner
// usually holds a small file.
const DWORD BACKOFF_MS[] = {10, 20, 40, 80, 160, 320};

// Held by another program: the rename is refused with a sharing or lock
// violation, or (the usual answer for an open destination) access denied.
bool IsHeldByAnother(DWORD error)
{
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION || error == ERROR_ACCESS_DENIED;
}

}  // namespace

bool FileReplace_ReplaceRetrying(const char* tmpPath, const char* path, bool patient)
{
    if (FileReplace_Replace(tmpPath, path))
        return true;
    if (!patient)
        return false;
    for (DWORD pause : BACKOFF_MS) {
        if (!IsHeldByAnother(GetLastError()))
            return false;
        Sleep(pause);
        if (FileReplace_Replace(tmpPath, path))
            return true;
    }
    return false;
}
