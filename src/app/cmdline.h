// The one-shot path-copying mode: started with file names (from "Send to", a
// file manager, a shell), Tamarin puts their full paths, quoted, on the
// clipboard and exits.
#pragma once

#include <windows.h>

// The whole mode, from the process's Unicode command line: 1 when text was
// put on the clipboard, 0 otherwise (the process's exit code).
int RunCommandLineMode();

// The text for the arguments after the program name: each argument that
// resolves, as a quoted full path, separated by single blanks. A heap string
// the caller frees, or null when no argument resolves.
WCHAR* CopyArgumentPaths(int argc, WCHAR** argv);

// One argument as a full file-system path (a heap string the caller frees),
// or null when it names no existing file-system object.
WCHAR* ResolveShellPath(const WCHAR* arg);
