// The about box: the program's icon, its name and version from the program
// file's version block, a link to the support site and, where the system
// tells it, the share of free system resources. The parameter block names
// the template, the controls and the features, so other dialogs of the same
// kind can use it.
#pragma once

#include <windows.h>

#include <stddef.h>

// Underlined fonts of the two links, on the about box.
#define ABPROP_FONTURL "ABPROP_FONTURL"
#define ABPROP_FONTMAIL "ABPROP_FONTMAIL"

// Feature bits of AboutBoxParams.flags.
enum {
    ABF_CAPTION = 0x0002,    // caption "%s について" with the product name
    ABF_ICON = 0x0008,       // the program file's large icon in iconId
    ABF_COMPANY = 0x0010,    // company name in companyId
    ABF_VERSION = 0x0020,    // "%s ver. %s" (product name, product version) in versionId
    ABF_COPYRIGHT = 0x0040,  // copyright in copyrightId
    ABF_URL = 0x0080,        // site link in urlId
    ABF_RESOURCES = 0x0100,  // free system resources line in resourcesId
    ABF_MAIL = 0x4000,       // mail link in mailId
};

enum {
    ABOUT_TEXT_SIZE = 260,            // each text read from the version block, and each built from them
    ABOUT_RESOURCES_LINE_SIZE = 33,   // the free-resources line
    ABOUT_QUERY_SIZE = 128,           // a VerQueryValueA path of a version string
    ABOUT_RARE_CAPTION_ODDS = 1000,   // one opening in this many shows the rare caption
};

// Sees every message of the dialog first; a non-zero answer ends the
// handling of that message.
typedef BOOL(CALLBACK* AboutBoxHook)(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);

// What an about box shows and where. A control id of 0 is not used.
struct AboutBoxParams {
    DWORD flags;  // ABF_ bits
    int iconId;
    int companyId;
    int versionId;
    int copyrightId;
    int urlId;
    int mailId;
    int resourcesId;
    const char* url;   // the site link's text and the address it opens
    const char* mail;  // the mail link's text and target
    int templateId;
    AboutBoxHook hook;    // may be null
    HCURSOR linkCursor;   // shown over the links
    HINSTANCE instance;   // module holding the template
    const char* notice;   // a line under the others (IDC_ABOUT_NOTICE), or null for none
};

// The about box's texts from the strings of a version block.
struct AboutTexts {
    char company[ABOUT_TEXT_SIZE];
    char copyright[ABOUT_TEXT_SIZE];
    char productVersion[ABOUT_TEXT_SIZE];
    char productName[ABOUT_TEXT_SIZE];  // FileDescription when ProductName is empty
    char caption[ABOUT_TEXT_SIZE];      // "%s について"
    char versionLine[ABOUT_TEXT_SIZE];  // "%s ver. %s"
};

// Gives the version string called name, or null when the block has none.
typedef const char* (*VersionStringProc)(void* context, const char* name);

// Asks lookup for the strings the about box shows and builds its texts.
void AboutDlg_BuildTexts(VersionStringProc lookup, void* context, AboutTexts* texts);
// The VerQueryValueA path of a version string: "\StringFileInfo\%04x%04x\%s".
bool AboutDlg_FormatVersionQuery(char* out, size_t size, unsigned language, unsigned codePage, const char* name);
// "システムリソース： %d ％使用可能" cut to size bytes (NUL included).
void AboutDlg_FormatResourcesLine(char* out, size_t size, int percent);

// Opens address on behalf of the dialog.
typedef void (*OpenAddressProc)(HWND dialog, const char* address);
// ShellExecuteA with the default verb; the result is not looked at.
void AboutDlg_OpenAddressWithShell(HWND dialog, const char* address);

// The block of Tamarin's own about box, with the template and the link
// cursor from instance. Its notice names the system's ANSI code page when
// that is not 932.
void AboutDlg_MakeProgramParams(AboutBoxParams* params, HINSTANCE instance);

// Runs the about box described by params modally over owner; the caller
// keeps params, which the box copies. While an about box is open, a second
// call only brings it to the front. Always true.
bool ShowAboutBox(HWND owner, const AboutBoxParams* params);

// Tamarin's own about box over owner (the about command).
bool AboutDlg_ShowProgram(HWND owner);

// ShowAboutBox with the program file whose icon and version block the box
// shows (null: the running program) and the way the links are opened. Gives
// the dialog's result: 1 for OK and for the site link, 2 for Escape and the
// close box, 0 when an open box was only brought forward, -1 when the box
// could not be made.
INT_PTR AboutDlg_ShowFrom(HWND owner, const AboutBoxParams* params, const char* programFile,
                         OpenAddressProc openAddress);
