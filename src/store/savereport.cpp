// The memory of failing saves: a few heap copies of the paths whose last save
// failed. The program has three files, so a small table is enough; when it is
// full a failure is reported every time rather than never.
#include "store/savereport.h"

#include <stdlib.h>
#include <string.h>

#include "text/text.h"

enum { FAILING_PATHS = 8 };

static char* s_failing[FAILING_PATHS];
static SaveFailureObserver s_observer;
static void* s_context;

static int FindFailing(const char* path)
{
    for (int i = 0; i < FAILING_PATHS; i++) {
        if (s_failing[i] && strcmp(s_failing[i], path) == 0)
            return i;
    }
    return -1;
}

static void RememberFailing(const char* path)
{
    for (int i = 0; i < FAILING_PATHS; i++) {
        if (!s_failing[i]) {
            s_failing[i] = static_cast<char*>(MemDup(path, strlen(path) + 1));
            return;
        }
    }
}

void SaveReport_SetObserver(SaveFailureObserver observer, void* context)
{
    s_observer = observer;
    s_context = context;
}

void SaveReport_Note(const char* path, bool saved)
{
    int known = FindFailing(path);
    if (saved) {
        if (known >= 0) {
            free(s_failing[known]);
            s_failing[known] = nullptr;
        }
        return;
    }
    if (known >= 0)
        return;
    RememberFailing(path);
    if (s_observer)
        s_observer(path, s_context);
}

bool SaveReport_IsFailing(const char* path)
{
    return FindFailing(path) >= 0;
}
