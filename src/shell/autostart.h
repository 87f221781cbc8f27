// Start with Windows: the value "Tamarin" under the current user's Run key,
// holding the quoted path of the program. The key itself is the setting: the
// extended settings dialog shows whether the value names this program, and
// a value left naming a program file that is gone (the program was moved)
// is pointed at this one when it starts.
#pragma once

#include <windows.h>

#include <stddef.h>

extern const char AUTOSTART_RUN_KEY[];  // Software\Microsoft\Windows\CurrentVersion\Run
extern const char AUTOSTART_VALUE[];    // Tamarin

enum {
    AUTOSTART_PATH_SIZE = MAX_PATH,             // a program path, NUL included
    AUTOSTART_COMMAND_SIZE = MAX_PATH + 2,      // that path in double quotes
    AUTOSTART_VALUE_READ_SIZE = 2 * MAX_PATH,   // a value read back, NUL included
};

// The command a Run value holds for programPath: the path in double quotes.
// false when it does not fit in size bytes.
bool Autostart_MakeCommand(char* out, size_t size, const char* programPath);
// The program path of a Run command: the text inside its leading double
// quotes, or else everything up to its first blank. false when it is empty or
// does not fit.
bool Autostart_CommandProgram(char* out, size_t size, const char* command);
// Whether two program paths name the same file as Windows compares names
// (ASCII letters in either case; double-byte characters byte for byte).
bool Autostart_SamePath(const char* a, const char* b);

// On the Run key given by root and subkey, for the program at programPath:
// whether the value names it; write (on) or delete (off) the value; and at
// start-up repoint a value whose program file no longer exists. Results are
// those of the registry calls.
bool Autostart_IsOnAt(HKEY root, const char* subkey, const char* programPath);
bool Autostart_SetAt(HKEY root, const char* subkey, const char* programPath, bool on);
// true when the value was repointed.
bool Autostart_FollowAt(HKEY root, const char* subkey, const char* programPath);

// The same on the current user's Run key for this program.
bool Autostart_IsOn();
bool Autostart_Set(bool on);
bool Autostart_FollowMove();
