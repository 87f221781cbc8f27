// Records hung on dialogs and windows as properties.
#include "ui/dialogstate.h"

void DialogState_Attach(HWND window, const char* prop, void* record)
{
    SetPropA(window, prop, record);
}

void* DialogState_Find(HWND window, const char* prop)
{
    return GetPropA(window, prop);
}

void DialogState_Detach(HWND window, const char* prop)
{
    RemovePropA(window, prop);
}
