// Reporting hotkeys that could not be registered: which slots count as
// failed, and the lists and texts that name them in the order of the hotkey
// dialog's rows, cut only between whole labels.
#include <gtest/gtest.h>

#include <string>

#include "settings/hotkeyreport.h"

namespace {

// Dialog labels by HotkeySet slot, as Shift-JIS bytes.
const std::string LABEL[9] = {
    "\xc3\xb7\xbd\xc4\x88\xea\x97\x97\x82\xcc\x95\x5c\x8e\xa6",          // ﾃｷｽﾄ一覧の表示 (slot 1)
    "\x83\x81\x83\x6a\x83\x85\x81\x5b\x82\xcc\x95\x5c\x8e\xa6",          // メニューの表示 (slot 2)
    "\x93\x6f\x98\x5e\xc3\xb7\xbd\xc4\x82\xcc\x95\xd2\x8f\x57",          // 登録ﾃｷｽﾄの編集 (slot 3)
    "\xc3\xb7\xbd\xc4\x82\xcc\x93\x6f\x98\x5e",                          // ﾃｷｽﾄの登録 (slot 4)
    "\x93\xfa\x8e\x9e\x82\xcc\x8e\xe6\x93\xbe",                          // 日時の取得 (slot 5)
    "IP\x83\x41\x83\x68\x83\x8c\x83\x58\x82\xcc\x8e\xe6\x93\xbe",        // IPアドレスの取得 (slot 6)
    "\xb8\xd8\xaf\xcc\xdf\xce\xde\xb0\xc4\xde\x82\xcc\xb8\xd8\xb1",      // ｸﾘｯﾌﾟﾎﾞｰﾄﾞのｸﾘｱ (slot 7)
    "\x97\x9a\x97\xf0\x8b\x40\x94\x5c\x82\xcc\xb5\xdd/\xb5\xcc",         // 履歴機能のｵﾝ/ｵﾌ (slot 8)
    "\x97\x9a\x97\xf0\x82\xcc\x83\x4e\x83\x8a\x83\x41",                  // 履歴のクリア (slot 9)
};
const std::string SEP = "\x81\x41";  // 、
// 他のプログラムが使用中のため登録できなかったホットキー：
const std::string DIALOG_PREFIX =
    "\x91\xbc\x82\xcc\x83\x76\x83\x8d\x83\x4f\x83\x89\x83\x80\x82\xaa\x8e\x67\x97\x70\x92\x86\x82\xcc\x82\xbd"
    "\x82\xdf\x93\x6f\x98\x5e\x82\xc5\x82\xab\x82\xc8\x82\xa9\x82\xc1\x82\xbd\x83\x7a\x83\x62\x83\x67\x83\x4c"
    "\x81\x5b\x81\x46";
// 他のプログラムが使用中です：
const std::string BALLOON_PREFIX =
    "\x91\xbc\x82\xcc\x83\x76\x83\x8d\x83\x4f\x83\x89\x83\x80\x82\xaa\x8e\x67\x97\x70\x92\x86\x82\xc5\x82\xb7"
    "\x81\x46";
// 「ホットキーの設定」で別のキーを割り当ててください。
const std::string BALLOON_ADVICE =
    "\x81\x75\x83\x7a\x83\x62\x83\x67\x83\x4c\x81\x5b\x82\xcc\x90\xdd\x92\xe8\x81\x76\x82\xc5\x95\xca\x82\xcc"
    "\x83\x4c\x81\x5b\x82\xf0\x8a\x84\x82\xe8\x93\x96\x82\xc4\x82\xc4\x82\xad\x82\xbe\x82\xb3\x82\xa2\x81\x42";

unsigned Slots(std::initializer_list<int> slots)
{
    unsigned mask = 0;
    for (int s : slots)
        mask |= 1u << s;
    return mask;
}

// Calls f on a buffer of size bytes followed by guard bytes, checks the
// guard and gives the text written.
template <typename F>
std::string Written(size_t size, F f)
{
    std::string buf(size + 8, 'X');
    f(&buf[0], size);
    EXPECT_EQ(buf.substr(size), std::string(8, 'X')) << "wrote past the buffer";
    return size ? std::string(buf.c_str()) : std::string();
}

struct NoteCase {
    unsigned before;
    int slot;
    bool assigned;
    bool registered;
    unsigned after;
};

TEST(HotkeyReport, OnlyAnAssignedSlotThatFailedCounts)
{
    const NoteCase cases[] = {
        {0, 4, true, false, Slots({4})},           // taken by another program
        {0, 4, true, true, 0},                     // registered
        {0, 4, false, false, 0},                   // empty slot: nothing to register
        {Slots({4}), 4, true, true, 0},            // registered at the next try
        {Slots({4}), 4, false, false, 0},          // cleared in the dialog
        {Slots({0, 8}), 5, true, false, Slots({0, 5, 8})},
        {Slots({0}), 9, true, false, Slots({0})},  // no such slot
        {Slots({0}), -1, true, false, Slots({0})},
    };
    for (const NoteCase& c : cases) {
        EXPECT_EQ(HotkeyReport_Note(c.before, c.slot, c.assigned, c.registered), c.after)
            << "slot " << c.slot << " assigned " << c.assigned << " registered " << c.registered;
    }
    EXPECT_TRUE(HotkeyReport_HasSlot(Slots({3}), 3));
    EXPECT_FALSE(HotkeyReport_HasSlot(Slots({3}), 2));
    EXPECT_FALSE(HotkeyReport_HasSlot(~0u, 9));
}

struct ListCase {
    unsigned failed;
    std::string list;
    int named;
};

TEST(HotkeyReport, ListsFailedSlotsInTheDialogsRowOrder)
{
    const ListCase cases[] = {
        {0, "", 0},
        {Slots({4}), LABEL[4], 1},
        {Slots({0, 4}), LABEL[0] + SEP + LABEL[4], 2},
        // Row order: history on/off (slot 8) comes before register a text (slot 4).
        {Slots({3, 7}), LABEL[7] + SEP + LABEL[3], 2},
        {Slots({5, 4, 8}), LABEL[8] + SEP + LABEL[4] + SEP + LABEL[5], 3},
        {Slots({0, 1, 2, 3, 4, 5, 6, 7, 8}),
         LABEL[0] + SEP + LABEL[1] + SEP + LABEL[7] + SEP + LABEL[3] + SEP + LABEL[2] + SEP + LABEL[6] + SEP +
             LABEL[8] + SEP + LABEL[4] + SEP + LABEL[5],
         9},
        {Slots({9, 20}), "", 0},  // bits beyond the nine slots name nothing
    };
    for (const ListCase& c : cases) {
        int named = -1;
        std::string list = Written(HOTKEY_REPORT_SIZE, [&](char* out, size_t size) {
            named = HotkeyReport_ListSlots(out, size, c.failed);
        });
        EXPECT_EQ(list, c.list) << std::hex << c.failed;
        EXPECT_EQ(named, c.named) << std::hex << c.failed;
    }
}

TEST(HotkeyReport, AListTooLongEndsAfterTheLastWholeLabel)
{
    const unsigned failed = Slots({0, 4});  // ﾃｷｽﾄ一覧の表示、日時の取得
    const std::string whole = LABEL[0] + SEP + LABEL[4];
    const struct {
        size_t size;
        std::string list;
        int named;
    } cases[] = {
        {whole.size() + 1, whole, 2},
        {whole.size(), LABEL[0], 1},       // the second label would lose its last byte
        {LABEL[0].size() + 3, LABEL[0], 1},  // room for the separator but not the label
        {LABEL[0].size() + 1, LABEL[0], 1},
        {LABEL[0].size(), "", 0},
        {1, "", 0},
        {0, "", 0},
    };
    for (const auto& c : cases) {
        int named = -1;
        std::string list =
            Written(c.size, [&](char* out, size_t size) { named = HotkeyReport_ListSlots(out, size, failed); });
        EXPECT_EQ(list, c.list) << "size " << c.size;
        EXPECT_EQ(named, c.named) << "size " << c.size;
    }
}

TEST(HotkeyReport, DialogLineNamesTheSlotsAfterItsPrefix)
{
    auto line = [](unsigned failed) {
        return Written(HOTKEY_REPORT_SIZE,
                       [&](char* out, size_t size) { HotkeyReport_FormatDialogLine(out, size, failed); });
    };
    EXPECT_EQ(line(0), "");
    EXPECT_EQ(line(Slots({9})), "");
    EXPECT_EQ(line(Slots({4})), DIALOG_PREFIX + LABEL[4]);
    EXPECT_EQ(line(Slots({5, 0})), DIALOG_PREFIX + LABEL[0] + SEP + LABEL[5]);
}

TEST(HotkeyReport, BalloonNamesTheSlotsAndSaysWhatToDo)
{
    auto balloon = [](unsigned failed, size_t bufferSize) {
        return Written(bufferSize,
                       [&](char* out, size_t size) { HotkeyReport_FormatBalloon(out, size, failed); });
    };
    EXPECT_EQ(balloon(0, HOTKEY_REPORT_SIZE), "");
    EXPECT_EQ(balloon(Slots({4}), HOTKEY_REPORT_SIZE), BALLOON_PREFIX + LABEL[4] + "\n" + BALLOON_ADVICE);
    // All nine fit a balloon's 256 bytes with the advice.
    std::string all = balloon(Slots({0, 1, 2, 3, 4, 5, 6, 7, 8}), HOTKEY_REPORT_SIZE);
    EXPECT_LT(all.size(), static_cast<size_t>(HOTKEY_REPORT_SIZE));
    EXPECT_EQ(all.substr(all.size() - BALLOON_ADVICE.size()), BALLOON_ADVICE);
    // Too small for the advice: the prefix and the list stay, the advice goes.
    size_t small = BALLOON_PREFIX.size() + LABEL[4].size() + 1;
    EXPECT_EQ(balloon(Slots({4}), small), BALLOON_PREFIX + LABEL[4]);
    // Too small for the prefix: it is cut without splitting a character.
    EXPECT_EQ(balloon(Slots({4}), 6), BALLOON_PREFIX.substr(0, 4));
}

}  // namespace
