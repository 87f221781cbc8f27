// The Win32 half of the background history save: a thread of its own.
#include <windows.h>

#include <stdlib.h>

#include "store/historysave.h"

struct SaveThread {
    HANDLE handle;
    void (*run)(void*);
    void* arg;
};

static DWORD WINAPI SaveThreadMain(void* param)
{
    SaveThread* thread = static_cast<SaveThread*>(param);
    thread->run(thread->arg);
    return 0;
}

SaveThread* SaveThread_Start(void (*run)(void*), void* arg)
{
    SaveThread* thread = static_cast<SaveThread*>(malloc(sizeof(SaveThread)));
    if (!thread)
        return nullptr;
    thread->run = run;
    thread->arg = arg;
    thread->handle = CreateThread(nullptr, 0, SaveThreadMain, thread, 0, nullptr);
    if (!thread->handle) {
        free(thread);
        return nullptr;
    }
    return thread;
}

void SaveThread_Join(SaveThread* thread)
{
    WaitForSingleObject(thread->handle, INFINITE);
    CloseHandle(thread->handle);
    free(thread);
}
