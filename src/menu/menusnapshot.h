// The texts a text-list popup shows, kept from its building until the pick
// has been handled: a pick yields the text whose label was chosen, even when
// a clipboard change moved the lists while the popup was open.
#pragma once

struct AppData;
struct MenuSnapshot;

// Copies of the history entries the popup shows (the first historyShown) and
// of the first registeredShown registered texts; null when memory runs out.
MenuSnapshot* MenuSnapshot_Take(const AppData* data, int historyShown, int registeredShown);
// The text behind a popup entry id (the ids of the clip store), or null.
const char* MenuSnapshot_GetTextById(const MenuSnapshot* snapshot, int id);
void MenuSnapshot_Free(MenuSnapshot* snapshot);
