// Snapshots of the text-list popup: one heap copy per shown text, so that
// nothing the clip store frees or moves meanwhile can change a pick.
#include "menu/menusnapshot.h"

#include <stdlib.h>
#include <string.h>

#include "store/appdata.h"
#include "text/text.h"

struct MenuSnapshot {
    char** history;
    int historyCount;
    char** registered;
    int registeredCount;
};

static void FreeTexts(char** texts, int count)
{
    if (!texts)
        return;
    for (int i = 0; i < count; i++)
        free(texts[i]);
    free(texts);
}

// The first count texts of the list, or false with nothing kept.
static bool CopyTexts(const PtrList* list, int count, char*** texts)
{
    *texts = nullptr;
    if (count <= 0)
        return true;
    char** copies = static_cast<char**>(calloc(static_cast<size_t>(count), sizeof(char*)));
    if (!copies)
        return false;
    const PtrListNode* node = list->head;
    for (int i = 0; i < count && node; i++, node = node->next) {
        const char* text = static_cast<const char*>(node->item);
        copies[i] = static_cast<char*>(MemDup(text, strlen(text) + 1));
        if (!copies[i]) {
            FreeTexts(copies, i);
            return false;
        }
    }
    *texts = copies;
    return true;
}

static int ClampCount(int shown, int count)
{
    if (shown > count)
        shown = count;
    return shown < 0 ? 0 : shown;
}

MenuSnapshot* MenuSnapshot_Take(const AppData* data, int historyShown, int registeredShown)
{
    MenuSnapshot* snapshot = static_cast<MenuSnapshot*>(calloc(1, sizeof(MenuSnapshot)));
    if (!snapshot || !data)
        return snapshot;
    snapshot->historyCount = ClampCount(historyShown, AppData_GetCount(data, LIST_HISTORY));
    snapshot->registeredCount = ClampCount(registeredShown, AppData_GetCount(data, LIST_REGISTERED));
    if (!CopyTexts(data->history, snapshot->historyCount, &snapshot->history) ||
        !CopyTexts(data->registered, snapshot->registeredCount, &snapshot->registered)) {
        MenuSnapshot_Free(snapshot);
        return nullptr;
    }
    return snapshot;
}

const char* MenuSnapshot_GetTextById(const MenuSnapshot* snapshot, int id)
{
    if (!snapshot)
        return nullptr;
    if (IsRegisteredId(id)) {
        int index = id - IDM_REGISTERED_FIRST;
        return index < snapshot->registeredCount ? snapshot->registered[index] : nullptr;
    }
    if (IsHistoryId(id)) {
        int index = id - IDM_HISTORY_FIRST;
        return index < snapshot->historyCount ? snapshot->history[index] : nullptr;
    }
    return nullptr;
}

void MenuSnapshot_Free(MenuSnapshot* snapshot)
{
    if (!snapshot)
        return;
    FreeTexts(snapshot->history, snapshot->historyCount);
    FreeTexts(snapshot->registered, snapshot->registeredCount);
    free(snapshot);
}
