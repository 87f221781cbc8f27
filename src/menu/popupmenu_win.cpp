// The two popups of the tray icon. The text list is built afresh from the clip
// store at every showing; the command menu comes from a resource and only gets
// its check mark and grey states. Neither returns the choice: it reaches the
// main window as an ordinary WM_COMMAND.
#include "menu/popupmenu.h"

#include "menu/menulabel.h"
#include "menu/menusnapshot.h"
#include "resources/resource.h"
#include "settings/appinfo.h"
#include "store/appdata.h"
#include "ui/dialogguard.h"
#include "ui/dpi.h"
#include "ui/placement.h"

namespace {

// Both popups open with their bottom-left corner at the point, and either
// mouse button picks an item.
const UINT POPUP_TRACK_FLAGS = TPM_RIGHTBUTTON | TPM_BOTTOMALIGN;

// Placeholder of an empty section: "（なし）" (none).
const char NONE_LABEL[] = "\x81\x69\x82\xc8\x82\xb5\x81\x6a";

// Each id range covers this many indexes; entries beyond it could not be
// picked, so they are not shown.
const int ENTRY_IDS = IDM_HISTORY_LAST - IDM_HISTORY_FIRST + 1;

struct MenuFill {
    HMENU menu;
    int labelSize;
    int rowsPerColumn;
    int pos;
};

int ListCount(const PtrList* list) { return list ? list->count : 0; }

int Min(int a, int b) { return a < b ? a : b; }

// Counts the snapshot of each showing, so that the close message of a popup
// never releases the snapshot of a later one.
WPARAM g_snapshotGeneration;

int ShownHistory(const AppData* data, int historyMax)
{
    int shown = Min(Min(historyMax, ListCount(data ? data->history : nullptr)), ENTRY_IDS);
    return shown < 0 ? 0 : shown;
}

int ShownRegistered(const AppData* data) { return Min(ListCount(data ? data->registered : nullptr), ENTRY_IDS); }

void ReleaseSnapshot(HWND mainWindow)
{
    MenuSnapshot_Free(static_cast<MenuSnapshot*>(RemovePropA(mainWindow, PROP_MENUSNAPSHOT)));
}

// Without memory for a snapshot the popup still opens; its picks then take
// the texts at their places when the pick is handled.
WPARAM KeepSnapshot(HWND mainWindow, const AppData* data, int historyMax)
{
    ReleaseSnapshot(mainWindow);
    MenuSnapshot* snapshot = MenuSnapshot_Take(data, ShownHistory(data, historyMax), ShownRegistered(data));
    if (snapshot)
        SetPropA(mainWindow, PROP_MENUSNAPSHOT, snapshot);
    return ++g_snapshotGeneration;
}

// An item at a multiple of the column height starts a new column, divided
// from the previous one by a bar; separators and placeholders included.
void AppendItem(MenuFill* fill, UINT flags, UINT id, const char* text)
{
    if (fill->pos > 0 && fill->pos % fill->rowsPerColumn == 0)
        flags |= MF_MENUBARBREAK;
    AppendMenuA(fill->menu, flags, id, text);
    fill->pos++;
}

void AppendPlaceholder(MenuFill* fill) { AppendItem(fill, MF_STRING | MF_DISABLED | MF_GRAYED, 0, NONE_LABEL); }

void AppendEntry(MenuFill* fill, int id, const void* text)
{
    char label[MENU_LABEL_BUFFER];
    MakeMenuLabel(label, static_cast<const char*>(text), fill->labelSize);
    AppendItem(fill, MF_STRING, static_cast<UINT>(id), label);
}

void AppendRegistered(MenuFill* fill, const PtrList* list, int shown)
{
    if (shown <= 0) {
        AppendPlaceholder(fill);
        return;
    }
    const PtrListNode* node = list->head;
    for (int i = 0; i < shown && node; i++, node = node->next)
        AppendEntry(fill, IDM_REGISTERED_FIRST + i, node->item);
}

// The node at the given index, walked to from whichever end is nearer.
const PtrListNode* NodeAt(const PtrList* list, int index)
{
    if (index < list->count - 1 - index) {
        const PtrListNode* node = list->head;
        for (int i = 0; i < index && node; i++)
            node = node->next;
        return node;
    }
    const PtrListNode* node = list->tail;
    for (int i = list->count - 1; i > index && node; i--)
        node = node->prev;
    return node;
}

// Ids follow the history index, whatever the order on screen.
void AppendHistory(MenuFill* fill, const PtrList* list, int shown, bool newestFirst)
{
    if (shown <= 0) {
        AppendPlaceholder(fill);
        return;
    }
    if (newestFirst) {
        const PtrListNode* node = list->head;
        for (int i = 0; i < shown && node; i++, node = node->next)
            AppendEntry(fill, IDM_HISTORY_FIRST + i, node->item);
        return;
    }
    const PtrListNode* node = NodeAt(list, shown - 1);
    for (int i = shown - 1; i >= 0 && node; i--, node = node->prev)
        AppendEntry(fill, IDM_HISTORY_FIRST + i, node->item);
}

}  // namespace

BOOL TrackMenuAt(HWND owner, HMENU menu, POINT pt, UINT flags, const RECT* exclude)
{
    // Without the owner in the foreground the menu would not close when the
    // user clicks elsewhere.
    SetForegroundWindow(owner);
    TPMPARAMS params = {};
    params.cbSize = sizeof(params);
    if (exclude)
        params.rcExclude = *exclude;
    BOOL result = TrackPopupMenuEx(menu, flags, pt.x, pt.y, owner, exclude ? &params : nullptr);
    // The task switch the menu caused is completed by a message to the owner;
    // without it the next popup may close as soon as it opens (the harmless
    // message TrackPopupMenu's documentation asks for).
    PostMessageA(owner, WM_NULL, 0, 0);
    return result;
}

BOOL ShowResourceMenuAtCursor(HINSTANCE instance, LPCSTR name, int subMenuPos, HWND owner, UINT flags,
                              const RECT* exclude)
{
    HMENU loaded = LoadMenuA(instance, name);
    if (!loaded)
        return FALSE;
    BOOL result = FALSE;
    HMENU popup = GetSubMenu(loaded, subMenuPos);
    if (popup) {
        POINT pt = {};
        GetCursorPos(&pt);
        result = TrackMenuAt(owner, popup, pt, flags, exclude);
    }
    DestroyMenu(loaded);
    return result;
}

int BuildTextMenu(HMENU menu, const AppData* data, int historyMax, int labelSize, bool registeredFirst,
                  bool newestFirst)
{
    int rowHeight = GetSystemMetrics(SM_CYMENU) + 2;
    int rows = rowHeight > 0 ? GetSystemMetrics(SM_CYSCREEN) / rowHeight : 0;
    return PopupMenu_BuildTextMenuInRows(menu, data, historyMax, labelSize, registeredFirst, newestFirst, rows);
}

// A menu's items are as high as the monitor's scaling makes them.
int PopupMenu_TextMenuRowsAt(POINT pt)
{
    RECT monitor;
    Placement_GetMonitorAreasAt(pt, nullptr, &monitor);
    UINT dpi = Dpi_OfMonitorAt(pt);
    int rowHeight = Dpi_Metric(SM_CYMENU, dpi) + Dpi_Scale(2, dpi);
    return rowHeight > 0 ? (monitor.bottom - monitor.top) / rowHeight : 0;
}

// The labels shrink with the number of columns, so that a long list still
// fits the screen's width; never below 3 bytes.
int PopupMenu_BuildTextMenuInRows(HMENU menu, const AppData* data, int historyMax, int labelSize, bool registeredFirst,
                        bool newestFirst, int rowsPerColumn)
{
    const PtrList* history = data ? data->history : nullptr;
    const PtrList* registered = data ? data->registered : nullptr;
    int shownHistory = ShownHistory(data, historyMax);
    int shownRegistered = ShownRegistered(data);

    int total = (shownHistory > 0 ? shownHistory + 1 : 2) + (shownRegistered > 0 ? shownRegistered : 1);
    int rows = rowsPerColumn;
    if (rows < 1)
        rows = 1;
    int columns = (total - 1) / rows + 1;
    int size = labelSize / columns;
    if (size <= 3)
        size = 3;
    if (size > MENU_LABEL_BUFFER)
        size = MENU_LABEL_BUFFER;

    MenuFill fill = {menu, size, rows, 0};
    if (registeredFirst) {
        AppendRegistered(&fill, registered, shownRegistered);
        AppendItem(&fill, MF_SEPARATOR, 0, nullptr);
        AppendHistory(&fill, history, shownHistory, newestFirst);
    } else {
        AppendHistory(&fill, history, shownHistory, newestFirst);
        AppendItem(&fill, MF_SEPARATOR, 0, nullptr);
        AppendRegistered(&fill, registered, shownRegistered);
    }
    return 1;
}

int ShowTextMenu(HWND mainWindow, POINT pt, AppData* data, AppInfo* info)
{
    if (!info)
        return 0;
    HMENU loaded = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_TEXT_MENU));
    if (!loaded)
        return 0;
    int result = 0;
    HMENU popup = GetSubMenu(loaded, 0);
    if (popup) {
        // The resource's own "(none)" item only makes the popup non-empty.
        DeleteMenu(popup, IDM_NONE, MF_BYCOMMAND);
        PopupMenu_BuildTextMenuInRows(popup, data, info->historyMax, info->menuTextChars, info->registeredFirst,
                            info->newestFirst, PopupMenu_TextMenuRowsAt(pt));
        WPARAM generation = KeepSnapshot(mainWindow, data, info->historyMax);
        result = TrackMenuAt(mainWindow, popup, pt, POPUP_TRACK_FLAGS, nullptr);
        // The menu has posted its pick already; this comes after it.
        PostMessageA(mainWindow, WM_TEXTMENUCLOSED, generation, 0);
    }
    DestroyMenu(loaded);
    return result;
}

void OnTextMenuClosed(HWND mainWindow, WPARAM generation)
{
    if (generation == g_snapshotGeneration)
        ReleaseSnapshot(mainWindow);
}

void PopupMenu_ReleaseSnapshot(HWND mainWindow)
{
    ReleaseSnapshot(mainWindow);
}

const char* PopupMenu_GetEntryText(HWND mainWindow, const AppData* data, int id)
{
    const MenuSnapshot* snapshot = static_cast<const MenuSnapshot*>(GetPropA(mainWindow, PROP_MENUSNAPSHOT));
    if (snapshot)
        return MenuSnapshot_GetTextById(snapshot, id);
    return data ? AppData_GetTextById(data, id) : nullptr;
}

void PopupMenu_PrepareCommandMenu(HMENU menu, const AppInfo* info, bool editingDialogOpen)
{
    PopupMenu_CheckItemIf(menu, IDM_USE_HISTORY, MF_BYCOMMAND, info && info->historyEnabled);
    // The registered-text dialog and the edit pad refuse a second opening.
    PopupMenu_EnableItemIf(menu, IDM_REGISTER_TEXT, MF_BYCOMMAND, !editingDialogOpen);
    PopupMenu_EnableItemIf(menu, IDM_EDIT_REGISTERED, MF_BYCOMMAND, !editingDialogOpen);
}

int ShowCommandMenu(HWND mainWindow, POINT pt, const AppInfo* info)
{
    HMENU loaded = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_COMMAND_MENU));
    if (!loaded)
        return 0;
    int result = 0;
    HMENU popup = GetSubMenu(loaded, 0);
    if (popup) {
        PopupMenu_PrepareCommandMenu(popup, info, DialogGuard_IsOwnerBusy(mainWindow));
        result = TrackMenuAt(mainWindow, popup, pt, POPUP_TRACK_FLAGS, nullptr);
    }
    DestroyMenu(loaded);
    return result;
}

int PopupMenu_FindItemPos(HMENU menu, UINT id)
{
    int count = GetMenuItemCount(menu);
    for (int pos = 0; pos < count; pos++) {
        if (GetMenuItemID(menu, pos) == id)
            return pos;
    }
    return -1;
}

void PopupMenu_CheckItemIf(HMENU menu, UINT item, UINT flags, bool checked)
{
    CheckMenuItem(menu, item, flags | (checked ? MF_CHECKED : MF_UNCHECKED));
}

void PopupMenu_EnableItemIf(HMENU menu, UINT item, UINT flags, bool enabled)
{
    EnableMenuItem(menu, item, flags | (enabled ? MF_ENABLED : MF_GRAYED));
}

// ModifyMenuA needs the id again; by position it is read from the item, and a
// sub-menu or a missing position (-1) is left alone.
void PopupMenu_SetItemText(HMENU menu, UINT item, UINT flags, const char* text)
{
    UINT id = item;
    if (flags & MF_BYPOSITION) {
        id = GetMenuItemID(menu, static_cast<int>(item));
        if (id == static_cast<UINT>(-1))
            return;
    }
    ModifyMenuA(menu, item, flags | MF_STRING, id, text);
}
