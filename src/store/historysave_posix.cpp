// The native half of the background history save: a POSIX thread.
#include <pthread.h>
#include <stdlib.h>

#include "store/historysave.h"

struct SaveThread {
    pthread_t id;
    void (*run)(void*);
    void* arg;
};

static void* SaveThreadMain(void* param)
{
    SaveThread* thread = static_cast<SaveThread*>(param);
    thread->run(thread->arg);
    return nullptr;
}

SaveThread* SaveThread_Start(void (*run)(void*), void* arg)
{
    SaveThread* thread = static_cast<SaveThread*>(malloc(sizeof(SaveThread)));
    if (!thread)
        return nullptr;
    thread->run = run;
    thread->arg = arg;
    if (pthread_create(&thread->id, nullptr, SaveThreadMain, thread) != 0) {
        free(thread);
        return nullptr;
    }
    return thread;
}

void SaveThread_Join(SaveThread* thread)
{
    pthread_join(thread->id, nullptr);
    free(thread);
}
