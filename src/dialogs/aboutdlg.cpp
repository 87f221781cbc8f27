// The about box: fills its caption and version line from the program file's
// version block, shows the file's icon and the free-resources line, turns
// the site (and mail) static into a link label with an underlined font, a
// tip and the hand cursor, and opens the address when the link is clicked.
#include "dialogs/aboutdlg.h"

#include <commctrl.h>
#include <shellapi.h>

#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>

#include "controls/linklabel.h"
#include "resources/dialogs_about.h"
#include "resources/resource.h"
#include "text/codepage.h"
#include "text/text.h"
#include "ui/dialogguard.h"
#include "ui/dialogstate.h"
#include "ui/latelib.h"
#include "ui/placement.h"
#include "ui/shellcom.h"
#include "ui/systemlib.h"

// "%s について"
#define ABOUT_CAPTION_FORMAT "%s \x82\xc9\x82\xc2\x82\xa2\x82\xc4"
#define ABOUT_VERSION_FORMAT "%s ver. %s"
// -時には、翼のない天使のように-
#define ABOUT_RARE_CAPTION                                                                                   \
    "-\x8e\x9e\x82\xc9\x82\xcd\x81\x41\x97\x83\x82\xcc\x82\xc8\x82\xa2\x93\x56\x8e\x67\x82\xcc\x82\xe6\x82\xa4" \
    "\x82\xc9-"
// システムリソース： %d ％使用可能
#define ABOUT_RESOURCES_FORMAT                                                                                 \
    "\x83\x56\x83\x58\x83\x65\x83\x80\x83\x8a\x83\x5c\x81\x5b\x83\x58\x81\x46 %d \x81\x93\x8e\x67\x97\x70\x89\xc2" \
    "\x94\x5c"
// サポートサイトへ
#define TIP_SITE_LINK "\x83\x54\x83\x7c\x81\x5b\x83\x67\x83\x54\x83\x43\x83\x67\x82\xd6"
// 作者へメールを送る
#define TIP_MAIL_LINK "\x8d\xec\x8e\xd2\x82\xd6\x83\x81\x81\x5b\x83\x8b\x82\xf0\x91\x97\x82\xe9"

// The optional library of older Windows that reports free system resources.
#define RESOURCES_LIBRARY "rsrc32.dll"
#define RESOURCES_EXPORT "_MyGetFreeSystemResources32@4"
typedef int(WINAPI* FreeResourcesProc)(int kind);

enum {
    FREE_RESOURCES_SYSTEM = 0,  // the kind the about box asks for
    NOTICE_LEFT = 7,            // dialog units: the notice runs under the whole box
    NOTICE_RIGHT = 132,
    NOTICE_SIZE = 128,
    // A formatted text before its cut: two texts from the version block and
    // a little format around them.
    ABOUT_FORMAT_SIZE = 2 * ABOUT_TEXT_SIZE + 64,
};

// What one opening runs with, hung on the box as ABPROP_STATE from its
// WM_INITDIALOG. The parameter block comes first: the box's creation
// parameter is its address, as a hook sees it.
#define ABPROP_STATE "ABPROP_STATE"
struct AboutBoxState {
    AboutBoxParams params;  // the caller's block, copied
    char programFile[MAX_PATH];
    OpenAddressProc openAddress;
    HICON largeIcon;  // from the shell, destroyed when the box has ended
    HICON smallIcon;
};

// Only one about box at a time: a second request brings this one forward.
static DialogGuard g_guard;

static AboutBoxState* GetState(HWND dialog)
{
    return DialogState_Get<AboutBoxState>(dialog, ABPROP_STATE);
}

// ---------------------------------------------------------------- texts

// Formats into a scratch buffer and cuts the result to size bytes without
// splitting a double-byte character, which a plain snprintf into out would.
static void FormatCut(char* out, size_t size, const char* format, ...)
{
    char whole[ABOUT_FORMAT_SIZE];
    va_list args;
    va_start(args, format);
    int n = vsnprintf(whole, sizeof(whole), format, args);
    va_end(args);
    if (n < 0)
        whole[0] = 0;
    StrCopyN(out, size, whole);
}

static void CopyVersionString(VersionStringProc lookup, void* context, const char* name, char* out)
{
    const char* value = lookup(context, name);
    StrCopyN(out, ABOUT_TEXT_SIZE, value ? value : "");
}

// The strings are asked for in a fixed order; FileDescription only when the
// product has no name, so that caption and version line still name it.
void AboutDlg_BuildTexts(VersionStringProc lookup, void* context, AboutTexts* texts)
{
    CopyVersionString(lookup, context, "CompanyName", texts->company);
    CopyVersionString(lookup, context, "LegalCopyright", texts->copyright);
    CopyVersionString(lookup, context, "ProductVersion", texts->productVersion);
    CopyVersionString(lookup, context, "ProductName", texts->productName);
    if (!texts->productName[0])
        CopyVersionString(lookup, context, "FileDescription", texts->productName);
    FormatCut(texts->caption, sizeof(texts->caption), ABOUT_CAPTION_FORMAT, texts->productName);
    FormatCut(texts->versionLine, sizeof(texts->versionLine), ABOUT_VERSION_FORMAT, texts->productName,
              texts->productVersion);
}

bool AboutDlg_FormatVersionQuery(char* out, size_t size, unsigned language, unsigned codePage, const char* name)
{
    int n = snprintf(out, size, "\\StringFileInfo\\%04x%04x\\%s", language & 0xFFFF, codePage & 0xFFFF, name);
    return n >= 0 && static_cast<size_t>(n) < size;
}

void AboutDlg_FormatResourcesLine(char* out, size_t size, int percent)
{
    FormatCut(out, size, ABOUT_RESOURCES_FORMAT, percent);
}

// ---------------------------------------------------------------- version block

// The version library, loaded when the first about box opens.
static LateLib g_versionLib = {"version.dll", nullptr};

static BOOL QueryVersionValue(void* block, const char* path, void** value, UINT* length)
{
    auto query = LateLib_Get<decltype(&VerQueryValueA)>(&g_versionLib, "VerQueryValueA");
    return query ? query(block, path, value, length) : FALSE;
}

struct VersionBlock {
    void* data;
    unsigned language;
    unsigned codePage;
};

static const char* QueryVersionString(void* context, const char* name)
{
    const VersionBlock* block = static_cast<const VersionBlock*>(context);
    char query[ABOUT_QUERY_SIZE];
    if (!AboutDlg_FormatVersionQuery(query, sizeof(query), block->language, block->codePage, name))
        return nullptr;
    char* value = nullptr;
    UINT length = 0;
    if (!QueryVersionValue(block->data, query, reinterpret_cast<void**>(&value), &length) || !value)
        return nullptr;
    return value;
}

// The strings of the first translation of path's version block; false when
// the file has no readable block.
static bool ReadVersionTexts(const char* path, AboutTexts* texts)
{
    auto getSize = LateLib_Get<decltype(&GetFileVersionInfoSizeA)>(&g_versionLib, "GetFileVersionInfoSizeA");
    auto getInfo = LateLib_Get<decltype(&GetFileVersionInfoA)>(&g_versionLib, "GetFileVersionInfoA");
    if (!getSize || !getInfo)
        return false;
    DWORD handle = 0;
    DWORD size = getSize(path, &handle);
    if (size == 0)
        return false;
    void* data = malloc(size);
    if (!data)
        return false;
    bool read = false;
    DWORD* translation = nullptr;
    UINT length = 0;
    if (getInfo(path, 0, size, data) &&
        QueryVersionValue(data, "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length) &&
        translation && length >= sizeof(DWORD)) {
        VersionBlock block = {data, LOWORD(*translation), HIWORD(*translation)};
        AboutDlg_BuildTexts(QueryVersionString, &block, texts);
        read = true;
    }
    free(data);
    return read;
}

// ---------------------------------------------------------------- opening

static void SetItemText(HWND dialog, int id, const char* text)
{
    if (id)
        SetDlgItemTextA(dialog, id, text);
}

static void TakeProgramFile(AboutBoxState* state)
{
    if (!state->programFile[0]) {
        DWORD n = GetModuleFileNameA(nullptr, state->programFile, sizeof(state->programFile));
        if (n == 0 || n >= sizeof(state->programFile))
            state->programFile[0] = 0;
    }
    StrLowerSingleByte(state->programFile);
}

static HICON GetPathIcon(const char* path, UINT size)
{
    SHFILEINFOA info;
    ZeroMemory(&info, sizeof(info));
    ShellCom_Ensure();
    if (!SHGetFileInfoA(path, 0, &info, sizeof(info), SHGFI_ICON | size))
        return nullptr;
    return info.hIcon;
}

static void SetProgramIcons(HWND dialog, AboutBoxState* state)
{
    state->largeIcon = GetPathIcon(state->programFile, SHGFI_LARGEICON);
    state->smallIcon = GetPathIcon(state->programFile, SHGFI_SMALLICON);
    SendMessageA(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(state->largeIcon));
    SendMessageA(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(state->smallIcon));
}

// Without a version block the template's own texts stay.
static void ShowVersionTexts(HWND dialog, const AboutBoxState* state)
{
    const AboutBoxParams* p = &state->params;
    AboutTexts texts;
    if (!ReadVersionTexts(state->programFile, &texts))
        return;
    if (p->flags & ABF_CAPTION)
        SetWindowTextA(dialog, texts.caption);
    if (p->flags & ABF_COMPANY)
        SetItemText(dialog, p->companyId, texts.company);
    if (p->flags & ABF_COPYRIGHT)
        SetItemText(dialog, p->copyrightId, texts.copyright);
    if (p->flags & ABF_VERSION)
        SetItemText(dialog, p->versionId, texts.versionLine);
}

// rsrc32.dll belongs to Windows 95, 98 and Me, in their system folder. On
// NT-based Windows it does not exist, so a copy that a search by bare name
// would find (the program's folder, the current folder) could only have been
// planted there: it is not looked for at all.
static HMODULE LoadResourcesLibrary()
{
    if (SystemLib_IsNtPlatform())
        return nullptr;
    return SystemLib_Load(RESOURCES_LIBRARY);
}

// Only the library of older Windows knows the figure; elsewhere the line
// stays empty.
static void ShowFreeResources(HWND dialog, const AboutBoxState* state)
{
    int id = state->params.resourcesId;
    SetItemText(dialog, id, "");
    HMODULE library = LoadResourcesLibrary();
    if (!library)
        return;
    FreeResourcesProc freeResources =
        reinterpret_cast<FreeResourcesProc>(reinterpret_cast<void*>(GetProcAddress(library, RESOURCES_EXPORT)));
    if (!freeResources) {
        FreeLibrary(library);
        return;
    }
    int percent = freeResources(FREE_RESOURCES_SYSTEM);
    FreeLibrary(library);
    char line[ABOUT_RESOURCES_LINE_SIZE];
    AboutDlg_FormatResourcesLine(line, sizeof(line), percent);
    SetItemText(dialog, id, line);
}

// The tooltip is owned by the dialog and goes with it.
static HWND CreateLinkTips(HWND dialog)
{
    return CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                           CW_USEDEFAULT, dialog, nullptr, GetModuleHandleA(nullptr), nullptr);
}

static void AddLinkTip(HWND tooltip, HWND dialog, HWND control, const char* text)
{
    if (!tooltip)
        return;
    TTTOOLINFOA tool;
    ZeroMemory(&tool, sizeof(tool));
    tool.cbSize = TTTOOLINFOA_V1_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = dialog;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = const_cast<char*>(text);
    SendMessageA(tooltip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

// The one place where a link font is made and hung on the dialog; it is
// taken off and deleted again in DeleteLinkFont.
static void SetLinkFont(HWND dialog, HWND control, const char* prop)
{
    HFONT current = reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
    LOGFONTA font;
    if (!current || GetObjectA(current, sizeof(font), &font) == 0)
        return;
    font.lfUnderline = TRUE;
    HFONT underlined = CreateFontIndirectA(&font);
    if (!underlined)
        return;
    SetPropA(dialog, prop, underlined);
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(underlined), TRUE);
}

static void DeleteLinkFont(HWND dialog, const char* prop)
{
    HFONT font = static_cast<HFONT>(RemovePropA(dialog, prop));
    if (font)
        DeleteObject(font);
}

static void MakeLink(HWND dialog, HWND tooltip, int id, const char* address, const char* fontProp, const char* tip)
{
    HWND control = id ? GetDlgItem(dialog, id) : nullptr;
    if (!control)
        return;
    SetWindowTextA(control, address ? address : "");
    AttachLinkLabel(control);
    SetLinkFont(dialog, control, fontProp);
    AddLinkTip(tooltip, dialog, control, tip);
}

static BOOL OnInitDialog(HWND dialog, AboutBoxState* state)
{
    const AboutBoxParams* p = &state->params;
    DialogGuard_SetWindow(&g_guard, dialog);
    TakeProgramFile(state);
    SetProgramIcons(dialog, state);
    if (p->notice && p->notice[0])
        Placement_AddDialogFooter(dialog, IDC_ABOUT_NOTICE, p->notice, NOTICE_LEFT, NOTICE_RIGHT);
    PlaceWindowAtCursor(dialog);
    ShowVersionTexts(dialog, state);
    if (p->flags & ABF_RESOURCES)
        ShowFreeResources(dialog, state);
    HWND tooltip = CreateLinkTips(dialog);
    if (p->flags & ABF_URL)
        MakeLink(dialog, tooltip, p->urlId, p->url, ABPROP_FONTURL, TIP_SITE_LINK);
    if (p->flags & ABF_MAIL)
        MakeLink(dialog, tooltip, p->mailId, p->mail, ABPROP_FONTMAIL, TIP_MAIL_LINK);
    if ((p->flags & ABF_ICON) && p->iconId)
        SendDlgItemMessageA(dialog, p->iconId, STM_SETICON, reinterpret_cast<WPARAM>(state->largeIcon), 0);
    // The process's generator, never seeded: one opening in a thousand.
    if (rand() % ABOUT_RARE_CAPTION_ODDS == 0)
        SetWindowTextA(dialog, ABOUT_RARE_CAPTION);
    return TRUE;
}

// ---------------------------------------------------------------- messages

// The link control of the given id when its feature is on, else null.
static HWND LinkControl(HWND dialog, const AboutBoxState* state, DWORD flag, int id)
{
    if (!(state->params.flags & flag) || !id)
        return nullptr;
    return GetDlgItem(dialog, id);
}

void AboutDlg_OpenAddressWithShell(HWND dialog, const char* address)
{
    ShellCom_Ensure();
    ShellExecuteA(dialog, nullptr, address, nullptr, nullptr, SW_SHOWNORMAL);
}

static void OpenAddress(HWND dialog, const AboutBoxState* state, const char* address)
{
    if (state->openAddress && address)
        state->openAddress(dialog, address);
}

// A click on the site link opens the site and closes the box; one on the
// mail link leaves it open. Hovering goes back to the link, which shows it.
static BOOL OnNotify(HWND dialog, WPARAM wParam, NMHDR* header)
{
    const AboutBoxState* state = GetState(dialog);
    if (!state)
        return FALSE;
    const AboutBoxParams* p = &state->params;
    int id = static_cast<int>(wParam);
    HWND site = id == p->urlId ? LinkControl(dialog, state, ABF_URL, p->urlId) : nullptr;
    HWND mail = id == p->mailId ? LinkControl(dialog, state, ABF_MAIL, p->mailId) : nullptr;
    HWND link = site ? site : mail;
    if (!link || header->hwndFrom != link)
        return TRUE;
    if (header->code == LLN_CLICK) {
        OpenAddress(dialog, state, site ? p->url : p->mail);
        if (site)
            EndDialog(dialog, IDOK);
        return TRUE;
    }
    LRESULT answer = SendMessageA(header->hwndFrom, WM_NOTIFY, header->idFrom, reinterpret_cast<LPARAM>(header));
    SetWindowLongPtrA(dialog, DWLP_MSGRESULT, answer);
    return TRUE;
}

static BOOL OnSetCursor(HWND dialog, HWND under)
{
    const AboutBoxState* state = GetState(dialog);
    if (!state)
        return FALSE;
    const AboutBoxParams* p = &state->params;
    if (!under || (under != LinkControl(dialog, state, ABF_URL, p->urlId) && under != LinkControl(dialog, state, ABF_MAIL, p->mailId)))
        return FALSE;
    SetCursor(p->linkCursor);
    SetWindowLongPtrA(dialog, DWLP_MSGRESULT, TRUE);
    return TRUE;
}

static void OnDestroy(HWND dialog, const AboutBoxState* state)
{
    if (state->params.flags & ABF_URL)
        DeleteLinkFont(dialog, ABPROP_FONTURL);
    if (state->params.flags & ABF_MAIL)
        DeleteLinkFont(dialog, ABPROP_FONTMAIL);
}

// The record is hung on the box before the hook sees WM_INITDIALOG and taken
// off after the hook has seen WM_NCDESTROY; the messages before
// WM_INITDIALOG have no hook to go to.
static INT_PTR CALLBACK AboutBoxProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_INITDIALOG)
        DialogState_Attach(dialog, ABPROP_STATE, reinterpret_cast<AboutBoxState*>(lParam));
    AboutBoxState* state = GetState(dialog);
    if (!state)
        return FALSE;
    if (state->params.hook && state->params.hook(dialog, msg, wParam, lParam))
        return FALSE;
    switch (msg) {
    case WM_INITDIALOG:
        return OnInitDialog(dialog, state);
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)
            EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    case WM_NOTIFY:
        return OnNotify(dialog, wParam, reinterpret_cast<NMHDR*>(lParam));
    case WM_SETCURSOR:
        return OnSetCursor(dialog, reinterpret_cast<HWND>(wParam));
    case WM_NCHITTEST:
        return HitTestMoveByClient(dialog, wParam, lParam);
    case WM_DESTROY:
        OnDestroy(dialog, state);
        return FALSE;
    case WM_NCDESTROY:
        DialogState_Detach(dialog, ABPROP_STATE);
        return FALSE;
    }
    return FALSE;
}

// ---------------------------------------------------------------- openers

INT_PTR AboutDlg_ShowFrom(HWND owner, const AboutBoxParams* params, const char* programFile,
                         OpenAddressProc openAddress)
{
    if (!DialogGuard_Enter(&g_guard, owner, false))
        return 0;
    AboutBoxState state;
    ZeroMemory(&state, sizeof(state));
    state.params = *params;
    StrCopyN(state.programFile, sizeof(state.programFile), programFile ? programFile : "");
    state.openAddress = openAddress;
    INT_PTR result = DialogBoxParamA(params->instance, MAKEINTRESOURCEA(params->templateId), owner, AboutBoxProc,
                                     reinterpret_cast<LPARAM>(&state.params));
    DialogGuard_Leave(&g_guard);
    if (state.largeIcon)
        DestroyIcon(state.largeIcon);
    if (state.smallIcon)
        DestroyIcon(state.smallIcon);
    return result;
}

bool ShowAboutBox(HWND owner, const AboutBoxParams* params)
{
    AboutDlg_ShowFrom(owner, params, nullptr, AboutDlg_OpenAddressWithShell);
    return true;
}

void AboutDlg_MakeProgramParams(AboutBoxParams* params, HINSTANCE instance)
{
    ZeroMemory(params, sizeof(*params));
    params->flags = ABF_CAPTION | ABF_ICON | ABF_VERSION | ABF_URL | ABF_RESOURCES;
    params->iconId = IDC_ABOUT_ICON;
    params->versionId = IDC_ABOUT_VERSION;
    params->urlId = IDC_ABOUT_URL;
    params->resourcesId = IDC_ABOUT_RESOURCES;
    params->url = ABOUT_SITE_URL;
    params->templateId = IDD_ABOUT;
    params->linkCursor = LoadCursorA(instance, MAKEINTRESOURCEA(IDC_LINKHAND));
    params->instance = instance;
    static char notice[NOTICE_SIZE];
    unsigned codePage = CodePage_System();
    if (!CodePage_IsProgramOwn(codePage)) {
        CodePage_FormatAboutLine(notice, sizeof notice, codePage);
        params->notice = notice;
    }
}

bool AboutDlg_ShowProgram(HWND owner)
{
    AboutBoxParams params;
    AboutDlg_MakeProgramParams(&params, GetModuleHandleA(nullptr));
    return ShowAboutBox(owner, &params);
}
