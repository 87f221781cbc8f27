// Reporting hotkeys that another program holds. Portable: the slots and
// labels come from the hotkey table, the texts are code page 932 bytes.
#include "settings/hotkeyreport.h"

#include <string.h>

#include "settings/hotkeytable.h"
#include "text/text.h"

// ホットキーを登録できませんでした
const char HOTKEY_REPORT_TITLE[] =
    "\x83\x7a\x83\x62\x83\x67\x83\x4c\x81\x5b\x82\xf0\x93\x6f\x98\x5e\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82\xf1"
    "\x82\xc5\x82\xb5\x82\xbd";

namespace {

// 他のプログラムが使用中のため登録できなかったホットキー：
const char DIALOG_LINE_PREFIX[] =
    "\x91\xbc\x82\xcc\x83\x76\x83\x8d\x83\x4f\x83\x89\x83\x80\x82\xaa\x8e\x67\x97\x70\x92\x86\x82\xcc\x82\xbd"
    "\x82\xdf\x93\x6f\x98\x5e\x82\xc5\x82\xab\x82\xc8\x82\xa9\x82\xc1\x82\xbd\x83\x7a\x83\x62\x83\x67\x83\x4c"
    "\x81\x5b\x81\x46";
// 他のプログラムが使用中です：
const char BALLOON_PREFIX[] =
    "\x91\xbc\x82\xcc\x83\x76\x83\x8d\x83\x4f\x83\x89\x83\x80\x82\xaa\x8e\x67\x97\x70\x92\x86\x82\xc5\x82\xb7"
    "\x81\x46";
// 「ホットキーの設定」で別のキーを割り当ててください。
const char BALLOON_ADVICE[] =
    "\x81\x75\x83\x7a\x83\x62\x83\x67\x83\x4c\x81\x5b\x82\xcc\x90\xdd\x92\xe8\x81\x76\x82\xc5\x95\xca\x82\xcc"
    "\x83\x4c\x81\x5b\x82\xf0\x8a\x84\x82\xe8\x93\x96\x82\xc4\x82\xc4\x82\xad\x82\xbe\x82\xb3\x82\xa2\x81\x42";
// 、
const char LIST_SEPARATOR[] = "\x81\x41";

// Slots in the order of the hotkey dialog's rows, top to bottom.
const int DIALOG_ROW_SLOTS[HOTKEY_COUNT] = {0, 1, 7, 3, 2, 6, 8, 4, 5};

const char* LabelOfSlot(int slot)
{
    for (const HotkeyTableRow& row : HOTKEY_TABLE) {
        if (row.slot == slot)
            return row.label;
    }
    return "";
}

// Appends text whole or not at all; false when it does not fit.
bool AppendWhole(char* out, size_t size, const char* text)
{
    size_t used = strlen(out);
    size_t length = strlen(text);
    if (used + length >= size)
        return false;
    memcpy(out + used, text, length + 1);
    return true;
}

}  // namespace

unsigned HotkeyReport_Note(unsigned failedSlots, int slot, bool assigned, bool registered)
{
    if (slot < 0 || slot >= HOTKEY_COUNT)
        return failedSlots;
    unsigned bit = 1u << slot;
    if (assigned && !registered)
        return failedSlots | bit;
    return failedSlots & ~bit;
}

bool HotkeyReport_HasSlot(unsigned failedSlots, int slot)
{
    return slot >= 0 && slot < HOTKEY_COUNT && (failedSlots & (1u << slot)) != 0;
}

int HotkeyReport_ListSlots(char* out, size_t size, unsigned failedSlots)
{
    if (size == 0)
        return 0;
    out[0] = 0;
    int named = 0;
    for (int slot : DIALOG_ROW_SLOTS) {
        if (!HotkeyReport_HasSlot(failedSlots, slot))
            continue;
        size_t before = strlen(out);
        if ((named > 0 && !AppendWhole(out, size, LIST_SEPARATOR)) || !AppendWhole(out, size, LabelOfSlot(slot))) {
            out[before] = 0;
            break;
        }
        named++;
    }
    return named;
}

// The prefix is written first and the list gets what room is left.
static void FormatWithList(char* out, size_t size, const char* prefix, const char* suffix, unsigned failedSlots)
{
    if (size == 0)
        return;
    out[0] = 0;
    if (!(failedSlots & ((1u << HOTKEY_COUNT) - 1)))
        return;
    StrCopyN(out, size, prefix);
    size_t used = strlen(out);
    if (used < size)
        HotkeyReport_ListSlots(out + used, size - used, failedSlots);
    if (suffix)
        AppendWhole(out, size, suffix);
}

void HotkeyReport_FormatDialogLine(char* out, size_t size, unsigned failedSlots)
{
    FormatWithList(out, size, DIALOG_LINE_PREFIX, nullptr, failedSlots);
}

void HotkeyReport_FormatBalloon(char* out, size_t size, unsigned failedSlots)
{
    char advice[sizeof BALLOON_ADVICE + 1] = "\n";
    StrCopyN(advice + 1, sizeof advice - 1, BALLOON_ADVICE);
    FormatWithList(out, size, BALLOON_PREFIX, advice, failedSlots);
}
