// Start with Windows through the current user's Run key: the value "Tamarin"
// holds the program's path in double quotes, as Windows runs each value of
// the key as a command line at log-on.
#include "shell/autostart.h"

#include <string.h>

#include "settings/apppath.h"
#include "text/path.h"
#include "text/text.h"
#include "ui/latelib.h"

const char AUTOSTART_RUN_KEY[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char AUTOSTART_VALUE[] = "Tamarin";

bool Autostart_MakeCommand(char* out, size_t size, const char* programPath)
{
    size_t length = strlen(programPath);
    if (size < length + 3) {
        if (size > 0)
            out[0] = 0;
        return false;
    }
    out[0] = '"';
    memcpy(out + 1, programPath, length);
    out[length + 1] = '"';
    out[length + 2] = 0;
    return true;
}

// A quote or a blank is never the second byte of a double-byte character
// (trail bytes start at 0x40), so the bytes can be looked at one by one.
bool Autostart_CommandProgram(char* out, size_t size, const char* command)
{
    if (size > 0)
        out[0] = 0;
    while (*command == ' ' || *command == '\t')
        command++;
    const char* start = command;
    const char* end;
    if (*command == '"') {
        start = command + 1;
        end = strchr(start, '"');
        if (!end)
            end = start + strlen(start);
    } else {
        end = start;
        while (*end && *end != ' ' && *end != '\t')
            end++;
    }
    size_t length = static_cast<size_t>(end - start);
    if (length == 0 || length + 1 > size)
        return false;
    memcpy(out, start, length);
    out[length] = 0;
    return true;
}

bool Autostart_SamePath(const char* a, const char* b)
{
    char left[AUTOSTART_VALUE_READ_SIZE];
    char right[AUTOSTART_VALUE_READ_SIZE];
    if (strlen(a) + 1 > sizeof(left) || strlen(b) + 1 > sizeof(right))
        return false;
    StrCopyN(left, sizeof(left), a);
    StrCopyN(right, sizeof(right), b);
    StrLowerSingleByte(left);
    StrLowerSingleByte(right);
    return strcmp(left, right) == 0;
}

// The registry library, through LateLib like every library beyond those the
// main window needs to exist (kernel, user, graphics, shell, common
// controls): the Run key is read once at start-up and by the extended
// settings, and the import table stays the main window's.
static LateLib g_registry = {"advapi32.dll", nullptr};

struct RegistryCalls {
    decltype(&RegOpenKeyExA) openKey;
    decltype(&RegCreateKeyExA) createKey;
    decltype(&RegQueryValueExA) queryValue;
    decltype(&RegSetValueExA) setValue;
    decltype(&RegDeleteValueA) deleteValue;
    decltype(&RegCloseKey) closeKey;
};

static bool LoadRegistryCalls(RegistryCalls* calls)
{
    calls->openKey = LateLib_Get<decltype(&RegOpenKeyExA)>(&g_registry, "RegOpenKeyExA");
    calls->createKey = LateLib_Get<decltype(&RegCreateKeyExA)>(&g_registry, "RegCreateKeyExA");
    calls->queryValue = LateLib_Get<decltype(&RegQueryValueExA)>(&g_registry, "RegQueryValueExA");
    calls->setValue = LateLib_Get<decltype(&RegSetValueExA)>(&g_registry, "RegSetValueExA");
    calls->deleteValue = LateLib_Get<decltype(&RegDeleteValueA)>(&g_registry, "RegDeleteValueA");
    calls->closeKey = LateLib_Get<decltype(&RegCloseKey)>(&g_registry, "RegCloseKey");
    return calls->openKey && calls->createKey && calls->queryValue && calls->setValue && calls->deleteValue &&
           calls->closeKey;
}

// The program path the value names, or false when there is no value (or it
// is no text). An expandable value has its variables expanded first.
static bool ReadValueProgram(HKEY root, const char* subkey, char* program, size_t size)
{
    RegistryCalls reg;
    if (!LoadRegistryCalls(&reg))
        return false;
    HKEY key;
    if (reg.openKey(root, subkey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    char value[AUTOSTART_VALUE_READ_SIZE];
    DWORD type = 0;
    DWORD bytes = sizeof(value) - 1;
    LONG result = reg.queryValue(key, AUTOSTART_VALUE, nullptr, &type, reinterpret_cast<BYTE*>(value), &bytes);
    reg.closeKey(key);
    if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
        return false;
    value[bytes < sizeof(value) ? bytes : sizeof(value) - 1] = 0;
    if (type == REG_EXPAND_SZ) {
        char expanded[AUTOSTART_VALUE_READ_SIZE];
        DWORD n = ExpandEnvironmentStringsA(value, expanded, sizeof(expanded));
        if (n == 0 || n > sizeof(expanded))
            return false;
        StrCopyN(value, sizeof(value), expanded);
    }
    return Autostart_CommandProgram(program, size, value);
}

bool Autostart_IsOnAt(HKEY root, const char* subkey, const char* programPath)
{
    char program[AUTOSTART_VALUE_READ_SIZE];
    return ReadValueProgram(root, subkey, program, sizeof(program)) && Autostart_SamePath(program, programPath);
}

bool Autostart_SetAt(HKEY root, const char* subkey, const char* programPath, bool on)
{
    RegistryCalls reg;
    if (!LoadRegistryCalls(&reg))
        return false;
    HKEY key;
    if (!on) {
        if (reg.openKey(root, subkey, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
            return true;  // no key, no value
        LONG result = reg.deleteValue(key, AUTOSTART_VALUE);
        reg.closeKey(key);
        return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
    }
    char command[AUTOSTART_COMMAND_SIZE];
    if (!Autostart_MakeCommand(command, sizeof(command), programPath))
        return false;
    if (reg.createKey(root, subkey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    LONG result = reg.setValue(key, AUTOSTART_VALUE, 0, REG_SZ, reinterpret_cast<const BYTE*>(command),
                               static_cast<DWORD>(strlen(command) + 1));
    reg.closeKey(key);
    return result == ERROR_SUCCESS;
}

// Another copy of the program that still exists keeps the value: only a
// value left behind by a move (or a deletion) is taken over.
bool Autostart_FollowAt(HKEY root, const char* subkey, const char* programPath)
{
    char program[AUTOSTART_VALUE_READ_SIZE];
    if (!ReadValueProgram(root, subkey, program, sizeof(program)))
        return false;
    if (Autostart_SamePath(program, programPath) || PathExists(program))
        return false;
    return Autostart_SetAt(root, subkey, programPath, true);
}

bool Autostart_IsOn()
{
    char path[AUTOSTART_PATH_SIZE];
    return AppPath_GetModulePath(path, sizeof(path)) && Autostart_IsOnAt(HKEY_CURRENT_USER, AUTOSTART_RUN_KEY, path);
}

bool Autostart_Set(bool on)
{
    char path[AUTOSTART_PATH_SIZE];
    return AppPath_GetModulePath(path, sizeof(path)) && Autostart_SetAt(HKEY_CURRENT_USER, AUTOSTART_RUN_KEY, path, on);
}

bool Autostart_FollowMove()
{
    char path[AUTOSTART_PATH_SIZE];
    return AppPath_GetModulePath(path, sizeof(path)) && Autostart_FollowAt(HKEY_CURRENT_USER, AUTOSTART_RUN_KEY, path);
}
