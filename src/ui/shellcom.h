// COM for the shell calls that need it on the calling thread: the folder
// chooser, SHGetFileInfo, ShellExecute, the file operations.
#pragma once

// Enters a single-threaded apartment on the calling thread the first time it
// is called there; later calls do nothing. Call it right before a shell call
// that needs COM, so that a run that never makes one never loads COM. False
// when the thread is already in a multithreaded apartment of someone else's
// (the shell calls then still work) or COM cannot start.
bool ShellCom_Ensure();

// Leaves the apartment entered on this thread, if any. Called once, when the
// thread has made its last shell call.
void ShellCom_Leave();
