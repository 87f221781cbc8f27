// Hotkeys that could not be registered (another program holds the
// combination): which slots they are, and the texts that name them in the
// hotkey dialog and in the tray balloon.
#pragma once

#include <stddef.h>

// Texts here fit a tray balloon: 256 bytes with the NUL.
enum { HOTKEY_REPORT_SIZE = 256 };

// Title of the balloon: "ホットキーを登録できませんでした".
extern const char HOTKEY_REPORT_TITLE[];

// failedSlots holds one bit per HotkeySet slot, bit 0 for slot 1. Notes the
// outcome of one slot's registration: a slot counts as failed only when a
// combination is assigned to it and registering it failed.
unsigned HotkeyReport_Note(unsigned failedSlots, int slot, bool assigned, bool registered);
bool HotkeyReport_HasSlot(unsigned failedSlots, int slot);

// The dialog labels of the failed slots, top to bottom as the hotkey dialog
// shows its rows, joined by "、". Only whole labels are written; gives the
// number of slots named.
int HotkeyReport_ListSlots(char* out, size_t size, unsigned failedSlots);

// The line under the hotkey dialog's buttons: "他のプログラムが使用中のため
// 登録できなかったホットキー：" and the list. Empty when nothing failed.
void HotkeyReport_FormatDialogLine(char* out, size_t size, unsigned failedSlots);

// The balloon's text: "他のプログラムが使用中です：" and the list, then on a
// line of its own "「ホットキーの設定」で別のキーを割り当ててください。".
// Empty when nothing failed.
void HotkeyReport_FormatBalloon(char* out, size_t size, unsigned failedSlots);
