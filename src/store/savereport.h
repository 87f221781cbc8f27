// Saves that fail are told to the user, once per file: the observer hears
// the first failure of a path, and again only after a save of that path has
// succeeded in between.
#pragma once

typedef void (*SaveFailureObserver)(const char* path, void* context);

// null observer: failures are only remembered.
void SaveReport_SetObserver(SaveFailureObserver observer, void* context);
// Every rewrite of a program file ends here with whether it reached the disk.
void SaveReport_Note(const char* path, bool saved);
// true while the last save of path failed.
bool SaveReport_IsFailing(const char* path);
