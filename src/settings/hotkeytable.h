// The table of Tamarin's nine global hotkeys. Its row order is the order in
// which the hotkeys are read from and written to the INI file, registered and
// checked for duplicates when loaded; note that rows 7 and 8 swap slots 8 and
// 7 (history on/off comes before clear clipboard). The hotkey dialog finds its
// controls and labels here too, but walks them in slot order.
#pragma once

#include "resources/dialogs_settings.h"
#include "settings/appinfo.h"

// The two hotkeys that open a popup are registered under the numbers of the
// main window's messages for the popups; every other id is a command.
enum {
    HOTKEY_ID_TEXT_MENU = 32770,     // the text-list popup's message
    HOTKEY_ID_COMMAND_MENU = 32771,  // the command popup's message
};

inline bool HotkeyTable_IsPopupId(unsigned int id) { return id == HOTKEY_ID_TEXT_MENU || id == HOTKEY_ID_COMMAND_MENU; }

struct HotkeyTableRow {
    int slot;            // index into HotkeySet::slots (0 is slot 1)
    const char* iniKey;  // key in the INI section "ホットキー"
    unsigned int id;     // id given to RegisterHotKey: the command or private message it triggers
    int controlId;       // hotkey control of the hotkey dialog
    const char* label;   // its label in the dialog
};

inline constexpr HotkeyTableRow HOTKEY_TABLE[HOTKEY_COUNT] = {
    // 履歴を表示: text-list popup; label ﾃｷｽﾄ一覧の表示
    {0, "\x97\x9a\x97\xf0\x82\xf0\x95\x5c\x8e\xa6", HOTKEY_ID_TEXT_MENU, IDC_HK_TEXTMENU,
     "\xc3\xb7\xbd\xc4\x88\xea\x97\x97\x82\xcc\x95\x5c\x8e\xa6"},
    // メニューを表示: command popup; label メニューの表示
    {1, "\x83\x81\x83\x6a\x83\x85\x81\x5b\x82\xf0\x95\x5c\x8e\xa6", HOTKEY_ID_COMMAND_MENU, IDC_HK_COMMANDMENU,
     "\x83\x81\x83\x6a\x83\x85\x81\x5b\x82\xcc\x95\x5c\x8e\xa6"},
    // 「登録テキストの編集」を表示: edit registered texts; label 登録ﾃｷｽﾄの編集
    {2,
     "\x81\x75\x93\x6f\x98\x5e\x83\x65\x83\x4c\x83\x58\x83\x67\x82\xcc\x95\xd2\x8f\x57\x81\x76\x82\xf0\x95\x5c\x8e\xa6",
     40049, IDC_HK_EDITREGISTERED, "\x93\x6f\x98\x5e\xc3\xb7\xbd\xc4\x82\xcc\x95\xd2\x8f\x57"},
    // テキストの登録: register a text; label ﾃｷｽﾄの登録
    {3, "\x83\x65\x83\x4c\x83\x58\x83\x67\x82\xcc\x93\x6f\x98\x5e", 40031, IDC_HK_REGISTERTEXT,
     "\xc3\xb7\xbd\xc4\x82\xcc\x93\x6f\x98\x5e"},
    // 日時の取得: date and time; label 日時の取得
    {4, "\x93\xfa\x8e\x9e\x82\xcc\x8e\xe6\x93\xbe", 40045, IDC_HK_DATETIME, "\x93\xfa\x8e\x9e\x82\xcc\x8e\xe6\x93\xbe"},
    // IPアドレスの取得: IP address; label IPアドレスの取得
    {5, "IP\x83\x41\x83\x68\x83\x8c\x83\x58\x82\xcc\x8e\xe6\x93\xbe", 40034, IDC_HK_IPADDRESS,
     "IP\x83\x41\x83\x68\x83\x8c\x83\x58\x82\xcc\x8e\xe6\x93\xbe"},
    // 履歴機能のオン・オフ: history on/off; label 履歴機能のｵﾝ/ｵﾌ
    {7, "\x97\x9a\x97\xf0\x8b\x40\x94\x5c\x82\xcc\x83\x49\x83\x93\x81\x45\x83\x49\x83\x74", 40054,
     IDC_HK_HISTORYONOFF, "\x97\x9a\x97\xf0\x8b\x40\x94\x5c\x82\xcc\xb5\xdd/\xb5\xcc"},
    // クリップボードのクリア: clear the clipboard; label ｸﾘｯﾌﾟﾎﾞｰﾄﾞのｸﾘｱ
    {6, "\x83\x4e\x83\x8a\x83\x62\x83\x76\x83\x7b\x81\x5b\x83\x68\x82\xcc\x83\x4e\x83\x8a\x83\x41", 40055,
     IDC_HK_CLEARCLIPBOARD, "\xb8\xd8\xaf\xcc\xdf\xce\xde\xb0\xc4\xde\x82\xcc\xb8\xd8\xb1"},
    // 履歴のクリア: clear the history; label 履歴のクリア
    {8, "\x97\x9a\x97\xf0\x82\xcc\x83\x4e\x83\x8a\x83\x41", 40050, IDC_HK_CLEARHISTORY,
     "\x97\x9a\x97\xf0\x82\xcc\x83\x4e\x83\x8a\x83\x41"},
};
