// post_command: talks to a running Tamarin from a script.
//   post_command 40001        posts that command (WM_COMMAND) to the main window
//   post_command --msg 32770  posts that message (wParam and lParam 0)
//   post_command --wait       waits up to 20 seconds for the main window
// Exit code 0 on success, 1 otherwise.
#include <windows.h>

#include <stdlib.h>
#include <string.h>

int main(int argc, char** argv)
{
    if (argc < 2)
        return 2;
    bool wait = strcmp(argv[1], "--wait") == 0;
    bool message = strcmp(argv[1], "--msg") == 0 && argc > 2;
    HWND window = nullptr;
    for (int i = 0; i < 400; i++) {
        window = FindWindowA("Kinkajou", "Kinkajou");
        if (window || !wait)
            break;
        Sleep(50);
    }
    if (!window)
        return 1;
    if (wait)
        return 0;
    if (message)
        return PostMessageA(window, static_cast<UINT>(atoi(argv[2])), 0, 0) ? 0 : 1;
    return PostMessageA(window, WM_COMMAND, static_cast<WPARAM>(atoi(argv[1])), 0) ? 0 : 1;
}
