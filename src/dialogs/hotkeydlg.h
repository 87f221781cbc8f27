// The hotkey dialog "ホットキーの設定": the nine hotkey assignments of the
// HotkeySet, one hotkey control each, stored only on OK and never twice the
// same combination.
#pragma once

#include <windows.h>

#include "settings/appinfo.h"

// One pair of the translation between a hotkey control's HOTKEYF_ flag and
// the flag as HotkeyDef stores it; the one table serves both directions.
struct HotkeyFlagPair {
    unsigned int controlFlag;  // HOTKEYF_ flag, high byte of the control's value
    int storedFlag;            // HOTKEY_MOD_ flag of HotkeyDef::modifiers
};

enum { HOTKEY_FLAG_PAIR_COUNT = 4 };
extern const HotkeyFlagPair HOTKEY_FLAG_PAIRS[HOTKEY_FLAG_PAIR_COUNT];

int HotkeyDlg_FlagsToModifiers(unsigned int controlFlags);
unsigned int HotkeyDlg_ModifiersToFlags(int modifiers);
// A hotkey control's value (HKM_GETHOTKEY) as a stored hotkey, and back
// (HKM_SETHOTKEY). A control without a key is the empty hotkey.
HotkeyDef HotkeyDlg_DefFromControlValue(WORD value);
WORD HotkeyDlg_ControlValueFromDef(const HotkeyDef* def);

// Looks for two equal non-empty hotkeys among defs[0 .. count - 1], pairs
// taken in order (i, then each later j); gives the index i of the first pair
// found, or -1 when there is none.
int HotkeyDlg_FindDuplicate(const HotkeyDef* defs, int count);

// Hotkey control of the dialog for a HotkeySet slot (0 is slot 1), or 0.
int HotkeyDlg_ControlIdOfSlot(int slot);

// Runs the hotkey dialog modally over owner on the caller's set, which stays
// the caller's: the dialog writes into it only when it ends with OK, and only
// then returns true. While the dialog is open, a second call brings it to the
// front and returns false. The caller unregisters the system's hotkeys before
// and registers them again afterwards; it should leave them alone while
// HotkeyDlg_IsOpen() says that an earlier call is still running.
// failedSlots (one bit per slot, see settings/hotkeyreport.h) names the
// hotkeys that could not be registered; the dialog lists them on a line of
// its own under its buttons (IDC_HK_FAILED), growing to make room.
// taken, when not null and not empty, is a hotkey of Tamarin's outside the
// set (the search window's): OK refuses it as it refuses a duplicate.
bool ShowHotkeyDialog(HWND owner, HotkeySet* set, unsigned failedSlots = 0, const HotkeyDef* taken = nullptr);

// The same with the dialog template taken from the module templates.
bool HotkeyDlg_ShowFrom(HINSTANCE templates, HWND owner, HotkeySet* set, unsigned failedSlots = 0,
                        const HotkeyDef* taken = nullptr);

bool HotkeyDlg_IsOpen();
