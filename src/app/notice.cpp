// Notices about Tamarin's own files. Everything else fails quietly; these
// are the cases where keeping quiet would cost the user data or settings.
#include "app/notice.h"

#include "app/mainwnd.h"
#include "resources/strings_notices.h"
#include "store/appdata.h"

enum {
    NOTICE_TEXT_SIZE = 512,
    NOTICE_CAPTION_SIZE = 64,
};

static bool g_shown[NOTICE_KIND_COUNT];

static const UINT NOTICE_TEXT_IDS[NOTICE_KIND_COUNT] = {
    IDS_NOTICE_SETTINGS_NOT_SAVED,
    IDS_NOTICE_HISTORY_NOT_READ,
    IDS_NOTICE_REGISTERED_NOT_READ,
};

void Notice_ShowOnce(HWND owner, NoticeKind kind)
{
    if (kind < 0 || kind >= NOTICE_KIND_COUNT || g_shown[kind])
        return;
    g_shown[kind] = true;
    HINSTANCE instance = GetModuleHandleA(nullptr);
    char caption[NOTICE_CAPTION_SIZE];
    char text[NOTICE_TEXT_SIZE];
    if (LoadStringA(instance, IDS_NOTICE_CAPTION, caption, sizeof caption) <= 0 ||
        LoadStringA(instance, NOTICE_TEXT_IDS[kind], text, sizeof text) <= 0)
        return;
    MessageBoxA(owner, text, caption, MB_OK | MB_ICONWARNING | MB_SETFOREGROUND);
}

// Posted rather than shown: the main window is still being created.
void Notice_PostLoadProblems(HWND mainWindow, int partialLists)
{
    if (partialLists & LIST_HISTORY)
        PostMessageA(mainWindow, WM_SHOWNOTICE, NOTICE_HISTORY_NOT_READ, 0);
    if (partialLists & LIST_REGISTERED)
        PostMessageA(mainWindow, WM_SHOWNOTICE, NOTICE_REGISTERED_NOT_READ, 0);
}
