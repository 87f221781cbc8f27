// The history file written in the background. A clipboard change is recorded
// in memory at once; the file is then written on a thread of its own from a
// snapshot of the history (the list's text pointers), so the clipboard
// handler never waits on a file rewrite. One save at a time: changes that
// arrive during a save are written by the next one, which starts as soon as
// the current one has ended. Texts that leave the history during a save are
// kept until it has ended (AppData's heldHistoryTexts).
//
// With a schedule set, a save waits for a pause in the changes: it starts
// once quietMs have passed without one, or after at most maxWaits such waits
// when the changes never pause. A burst of copies then costs one save at its
// end instead of one after another all through it (a rewrite of a large
// history takes the disk, and under Wine the server, from the clipboard
// readers).
#pragma once

#include <stddef.h>

struct AppData;
struct AppInfo;
struct HistorySaver;

// Called on the saving thread when a save has ended. It must have the thread
// that owns the clip store call HistorySaver_Finished; the main window posts
// itself a message.
typedef void (*HistorySavedFn)(void* context);

HistorySaver* HistorySaver_New(HistorySavedFn notify, void* context);

// Asks the owner to call HistorySaver_Tick once after ms (one request at a
// time; a later request replaces an earlier one). The main window sets a
// timer.
typedef void (*HistoryScheduleFn)(unsigned ms, void* context);
void HistorySaver_SetSchedule(HistorySaver* saver, HistoryScheduleFn schedule, unsigned quietMs, int maxWaits);
// The scheduled wait has passed: starts the save when no change came during
// it (or the waits are used up), else waits again.
void HistorySaver_Tick(HistorySaver* saver);
// Waits for a save in progress and frees the saver.
void HistorySaver_Delete(HistorySaver* saver);

// A change of the history: starts a save, or marks one to follow the save in
// progress. data and info must live as long as the saver.
void HistorySaver_Request(HistorySaver* saver, AppData* data, const AppInfo* info);
// After notify: releases what the ended save held and starts the next one
// when changes came in meanwhile. Does nothing when no save has ended.
void HistorySaver_Finished(HistorySaver* saver);
// Waits until no save runs, and drops a save that was to follow: the caller
// writes the history itself right after (quitting, the end of the session).
void HistorySaver_Wait(HistorySaver* saver);

// Saves that could not write the file (the file then stays as it was; the
// history in memory is untouched and goes out with the next save).
int HistorySaver_FailedSaves(const HistorySaver* saver);
// Whether a save is in progress (started and not yet finished).
bool HistorySaver_IsSaving(const HistorySaver* saver);

// Platform half (historysave_win.cpp, historysave_posix.cpp): run(arg) on a
// thread of its own; Join waits for it to end and frees the record.
struct SaveThread;
SaveThread* SaveThread_Start(void (*run)(void* arg), void* arg);
void SaveThread_Join(SaveThread* thread);
