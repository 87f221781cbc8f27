// The edit pad's piecewise fill. An edit control takes a very long text only
// slowly (it measures every line when the text is set: tens of seconds for
// tens of megabytes), and the pad, being modal on the main thread, would not
// answer meanwhile, nor would Tamarin see the clipboard. Pieces keep each
// step short: each is sized so that its own work stays at about the
// control's fixed cost per append (which grows with the text), and at least
// a tenth of a second.
#include "editing/padfill.h"

#include <stdlib.h>
#include <string.h>

#include "editing/editpad.h"
#include "editing/padpiece.h"

enum {
    PIECE_MIN = 65536,
    PIECE_MAX = 8 * 1048576,
    TICK_TARGET_MS = 100,
    APPEND_LIMIT = 0x7FFFFFFE,  // the control's limit while a piece goes in
};

static double NowMs()
{
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

static_assert(sizeof(WCHAR) == sizeof(char16_t), "the pad's text is UTF-16");

// A NUL-terminated copy of text[start, end), for the control.
static WCHAR* PieceCopy(const char16_t* text, size_t start, size_t end)
{
    WCHAR* piece = static_cast<WCHAR*>(malloc((end - start + 1) * sizeof(WCHAR)));
    if (!piece)
        return nullptr;
    memcpy(piece, text + start, (end - start) * sizeof(WCHAR));
    piece[end - start] = 0;
    return piece;
}

static void SetWholeText(HWND edit, const char16_t* text)
{
    SetWindowTextW(edit, reinterpret_cast<const WCHAR*>(text));
}

// The piece goes in at the end; where the user has the caret, the selection
// and the view stays as it was. The typing limit is lifted for the append
// only: a text set this way is not bound by it.
static void AppendPiece(HWND edit, const WCHAR* piece)
{
    DWORD selStart = 0, selEnd = 0;
    SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&selStart), reinterpret_cast<LPARAM>(&selEnd));
    LRESULT firstLine = SendMessageA(edit, EM_GETFIRSTVISIBLELINE, 0, 0);
    int column = GetScrollPos(edit, SB_HORZ);
    SendMessageA(edit, WM_SETREDRAW, FALSE, 0);
    SendMessageA(edit, EM_LIMITTEXT, APPEND_LIMIT, 0);
    SendMessageA(edit, EM_SETSEL, APPEND_LIMIT, APPEND_LIMIT);
    SendMessageW(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(piece));
    SendMessageA(edit, EM_LIMITTEXT, EDITPAD_TEXT_LIMIT, 0);
    SendMessageA(edit, EM_SETSEL, selStart, selEnd);
    LRESULT nowLine = SendMessageA(edit, EM_GETFIRSTVISIBLELINE, 0, 0);
    SendMessageA(edit, EM_LINESCROLL, 0, firstLine - nowLine);
    SendMessageA(edit, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, column), 0);
    SendMessageA(edit, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(edit, nullptr, TRUE);
}

static void NextPieceSize(PadFill* fill, size_t size, double elapsed)
{
    double perUnit = elapsed / static_cast<double>(size);
    if (fill->msPerUnit == 0 || perUnit < fill->msPerUnit)
        fill->msPerUnit = perUnit;
    double fixed = elapsed - fill->msPerUnit * static_cast<double>(size);
    if (fixed < 0)
        fixed = 0;
    double target = TICK_TARGET_MS;
    double budget = fixed > target ? fixed : target;
    double next = budget / fill->msPerUnit;
    if (next < PIECE_MIN)
        fill->pieceSize = PIECE_MIN;
    else if (next > PIECE_MAX)
        fill->pieceSize = PIECE_MAX;
    else
        fill->pieceSize = static_cast<size_t>(next);
}

void PadFill_Start(PadFill* fill, HWND pad, HWND edit, const char16_t* text, size_t length, char16_t* owned)
{
    PadFill_Stop(fill, pad);
    if (length <= PAD_FILL_WHOLE) {
        SetWholeText(edit, text);
        free(owned);
        return;
    }
    size_t end = PadPiece_End(text, 0, length, PIECE_MIN);
    WCHAR* first = PieceCopy(text, 0, end);
    if (!first) {
        // Without room for a piece, the whole text at once, as it always was.
        SetWholeText(edit, text);
        free(owned);
        return;
    }
    SetWindowTextW(edit, first);
    free(first);
    fill->text = text;
    fill->owned = owned;
    fill->length = length;
    fill->shown = end;
    fill->pieceSize = PIECE_MIN;
    fill->msPerUnit = 0;
    SetTimer(pad, TIMER_PAD_FILL, USER_TIMER_MINIMUM, nullptr);
}

void PadFill_Step(PadFill* fill, HWND pad, HWND edit)
{
    if (!fill->text) {
        KillTimer(pad, TIMER_PAD_FILL);
        return;
    }
    size_t end = PadPiece_End(fill->text, fill->shown, fill->length, fill->pieceSize);
    WCHAR* piece = PieceCopy(fill->text, fill->shown, end);
    if (!piece)
        return;  // tried again at the next tick
    double start = NowMs();
    AppendPiece(edit, piece);
    free(piece);
    NextPieceSize(fill, end - fill->shown, NowMs() - start);
    fill->shown = end;
    if (fill->shown >= fill->length)
        PadFill_Stop(fill, pad);
}

const char16_t* PadFill_Rest(const PadFill* fill, size_t* length)
{
    if (!fill->text) {
        *length = 0;
        return u"";
    }
    *length = fill->length - fill->shown;
    return fill->text + fill->shown;
}

void PadFill_Stop(PadFill* fill, HWND pad)
{
    KillTimer(pad, TIMER_PAD_FILL);
    free(fill->owned);
    fill->text = nullptr;
    fill->owned = nullptr;
    fill->length = 0;
    fill->shown = 0;
}
