// The background save of the history file: the snapshot, the one-at-a-time
// rule and the texts held while a save reads them. Everything here but
// RunSave runs on the thread that owns the clip store.
#include "store/historysave.h"

#include <stdlib.h>

#include <atomic>
#include <new>

#include "settings/appinfo.h"
#include "store/appdata.h"
#include "store/savereport.h"
#include "store/storefile.h"

struct HistorySaver {
    HistorySavedFn notify;
    void* context;
    SaveThread* thread;  // set from the start of a save until it is finished
    bool pending;        // the history changed during the save in progress
    AppData* data;       // of the last request
    const AppInfo* info;
    TextPile held;       // texts that left the history during the save
    // The snapshot the saving thread writes; it only reads these.
    const char** texts;
    size_t count;
    char path[APP_FILE_PATH_SIZE];
    bool patient;        // replace retries, unless the last save of the file failed
    bool written;        // the saving thread's result
    std::atomic<bool> ended;  // the saving thread is done with the snapshot
    int failures;
    // The wait for a pause in the changes (no schedule: none).
    HistoryScheduleFn schedule;
    unsigned quietMs;
    int maxWaits;
    bool waiting;          // a Tick has been asked for
    bool changedInWait;    // a change came since it was asked for
    int waits;             // waits so far for this save
};

HistorySaver* HistorySaver_New(HistorySavedFn notify, void* context)
{
    HistorySaver* saver = new (std::nothrow) HistorySaver();
    if (!saver)
        return nullptr;
    saver->notify = notify;
    saver->context = context;
    return saver;
}

static void RunSave(void* arg)
{
    HistorySaver* saver = static_cast<HistorySaver*>(arg);
    saver->written =
        StoreFile_SaveTexts(saver->texts, saver->count, saver->path, saver->patient, &saver->data->historySide);
    saver->ended = true;
    if (saver->notify)
        saver->notify(saver->context);
}

// The list's text pointers, head first. The texts themselves are not copied:
// a text stays where it is until the save has ended, because texts that leave
// the history meanwhile go to the held pile instead of being freed.
static bool TakeSnapshot(HistorySaver* saver)
{
    const PtrList* history = saver->data->history;
    size_t count = static_cast<size_t>(PtrList_GetCount(history));
    const char** texts = static_cast<const char**>(malloc((count ? count : 1) * sizeof(const char*)));
    if (!texts)
        return false;
    size_t i = 0;
    for (const PtrListNode* node = history->head; node && i < count; node = node->next)
        texts[i++] = static_cast<const char*>(node->item);
    saver->texts = texts;
    saver->count = i;
    return true;
}

// Without a thread or the memory for a snapshot the history is written at
// once, as it always was: slower, never lost.
static void StartSave(HistorySaver* saver)
{
    if (!AppData_HistoryFilePath(saver->path, sizeof(saver->path)))
        return;
    if (!TakeSnapshot(saver)) {
        AppData_SaveHistory(saver->data, saver->info);
        return;
    }
    saver->data->heldHistoryTexts = &saver->held;
    saver->patient = !SaveReport_IsFailing(saver->path);
    saver->ended = false;
    saver->thread = SaveThread_Start(RunSave, saver);
    if (!saver->thread) {
        saver->data->heldHistoryTexts = nullptr;
        free(saver->texts);
        saver->texts = nullptr;
        AppData_SaveHistory(saver->data, saver->info);
    }
}

static void EndSave(HistorySaver* saver)
{
    SaveThread_Join(saver->thread);
    saver->thread = nullptr;
    if (!saver->written)
        saver->failures++;
    SaveReport_Note(saver->path, saver->written);
    saver->data->heldHistoryTexts = nullptr;
    for (size_t i = 0; i < saver->held.count; i++)
        free(saver->held.texts[i]);
    saver->held.count = 0;
    free(saver->texts);
    saver->texts = nullptr;
    saver->count = 0;
}

static void Wait(HistorySaver* saver)
{
    saver->waiting = true;
    saver->changedInWait = false;
    saver->schedule(saver->quietMs, saver->context);
}

// Without a schedule the save starts at once; with one, after a pause.
static void StartSaveSoon(HistorySaver* saver)
{
    if (!saver->schedule) {
        StartSave(saver);
        return;
    }
    if (saver->waiting) {
        saver->changedInWait = true;
        return;
    }
    saver->waits = 0;
    Wait(saver);
}

// A save whose end was never announced (its notice lost) is finished here,
// so that the history file does not stop following the history.
void HistorySaver_Request(HistorySaver* saver, AppData* data, const AppInfo* info)
{
    saver->data = data;
    saver->info = info;
    if (saver->thread && saver->ended)
        EndSave(saver);
    if (saver->thread) {
        saver->pending = true;
        return;
    }
    StartSaveSoon(saver);
}

void HistorySaver_SetSchedule(HistorySaver* saver, HistoryScheduleFn schedule, unsigned quietMs, int maxWaits)
{
    saver->schedule = schedule;
    saver->quietMs = quietMs;
    saver->maxWaits = maxWaits;
}

void HistorySaver_Tick(HistorySaver* saver)
{
    if (!saver->waiting)
        return;
    saver->waiting = false;
    if (saver->thread || !saver->data)
        return;
    if (saver->changedInWait && ++saver->waits < saver->maxWaits) {
        Wait(saver);
        return;
    }
    if (saver->info->useHistoryFile && !(saver->data->partialLists & LIST_HISTORY))
        StartSave(saver);
}

void HistorySaver_Finished(HistorySaver* saver)
{
    if (!saver->thread)
        return;
    EndSave(saver);
    if (!saver->pending)
        return;
    saver->pending = false;
    if (saver->info->useHistoryFile && !(saver->data->partialLists & LIST_HISTORY))
        StartSaveSoon(saver);
}

// The caller writes the history itself right after: a save that was waiting
// for a pause is dropped with the rest.
void HistorySaver_Wait(HistorySaver* saver)
{
    if (saver->thread)
        EndSave(saver);
    saver->pending = false;
    saver->waiting = false;
}

void HistorySaver_Delete(HistorySaver* saver)
{
    if (!saver)
        return;
    HistorySaver_Wait(saver);
    free(saver->held.texts);
    delete saver;
}

int HistorySaver_FailedSaves(const HistorySaver* saver)
{
    return saver->failures;
}

bool HistorySaver_IsSaving(const HistorySaver* saver)
{
    return saver->thread != nullptr;
}
