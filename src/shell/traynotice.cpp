// Balloon notices of the tray icon. A notice only adds a balloon to the icon
// that the tray module put there (same window, same id); it touches neither
// the icon nor its tip.
#include "shell/traynotice.h"

#include <shellapi.h>
#include <string.h>

#include "resources/notices.h"
#include "shell/tray.h"
#include "text/text.h"

namespace {

const char NOTICE_TITLE[] = "Tamarin";
const UINT NOTICE_TIMEOUT = 10000;  // ms; newer systems take their own accessibility setting
const size_t NOTICE_BUFFER = 512;

}  // namespace

bool TrayNotice_Show(HWND mainWindow, UINT textId, const char* detail)
{
    char text[NOTICE_BUFFER];
    if (LoadStringA(GetModuleHandleA(nullptr), textId, text, sizeof text) <= 0)
        return false;
    if (detail && detail[0]) {
        size_t used = strlen(text);
        StrCopyN(text + used, sizeof text - used, "\n");
        used = strlen(text);
        StrCopyN(text + used, sizeof text - used, detail);
    }
    // The version-2 record is the first with a balloon; the icon itself was
    // added with the first version, which the shell accepts side by side.
    NOTIFYICONDATAA notice;
    memset(&notice, 0, sizeof notice);
    notice.cbSize = NOTIFYICONDATAA_V2_SIZE;
    notice.hWnd = mainWindow;
    notice.uID = TRAY_ICON_ID;
    notice.uFlags = NIF_INFO;
    notice.uTimeout = NOTICE_TIMEOUT;
    notice.dwInfoFlags = NIIF_WARNING;
    StrCopyN(notice.szInfo, sizeof notice.szInfo, text);
    StrCopyN(notice.szInfoTitle, sizeof notice.szInfoTitle, NOTICE_TITLE);
    return Shell_NotifyIconA(NIM_MODIFY, &notice) != FALSE;
}

void TrayNotice_OnSaveFailure(const char* path, void* mainWindow)
{
    TrayNotice_Show(static_cast<HWND>(mainWindow), IDS_NOTICE_SAVE_FAILED, path);
}
