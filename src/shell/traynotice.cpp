// Balloon notices of the tray icon: a string resource with an optional detail
// line, shown as the tray module's balloon.
#include "shell/traynotice.h"

#include <string.h>

#include "resources/notices.h"
#include "shell/tray.h"
#include "text/text.h"

namespace {

const char NOTICE_TITLE[] = "Tamarin";
const size_t NOTICE_BUFFER = 512;

}  // namespace

// The balloon goes through the tray module, which shows it once the icon is
// in the notification area.
bool TrayNotice_Show(UINT textId, const char* detail)
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
    Tray_ShowBalloon(NOTICE_TITLE, text);
    return true;
}

void TrayNotice_OnSaveFailure(const char* path, void*)
{
    TrayNotice_Show(IDS_NOTICE_SAVE_FAILED, path);
}
