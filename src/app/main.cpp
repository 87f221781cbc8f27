// Tamarin's entry point: with file names, put their paths on the clipboard and
// exit; without, run the resident clipboard-history program.
#include <windows.h>
#include <commctrl.h>
#include <stdlib.h>

#include "app/mainwnd.h"
#include "app/startup.h"
#include "settings/appinfo.h"
#include "shell/shellcom.h"

static AppInfo g_appInfo;

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    if (__argc > 1) {
        bool copied = CopyArgumentPaths(__argc, __argv);
        ShellCom_Leave();
        return copied ? 1 : 0;
    }

    LoadSettings(&g_appInfo);
    InitCommonControls();
    HANDLE mutex = CreateMainWindow(instance, MainWindowProc, SINGLE_INSTANCE_MUTEX, MAIN_WINDOW_CLASS,
                                    MAIN_WINDOW_TITLE, &g_appInfo);
    if (!mutex)
        return 0;

    MSG msg = {};
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    CloseHandle(mutex);
    ShellCom_Leave();
    SaveSettings(&g_appInfo);
    return static_cast<int>(msg.wParam);
}
