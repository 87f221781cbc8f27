// A long text shown in the edit pad a piece at a time: the pad opens at once
// with the first piece and stays responsive while the rest follows, one piece
// per timer tick. Everything not yet in the edit control is still part of
// the pad's text: OK and the export take it too.
#pragma once

#include <windows.h>

#include <stddef.h>

enum {
    TIMER_PAD_FILL = 1,         // timer of the pad that brings the next piece
    PAD_FILL_WHOLE = 65536,     // a text up to this many UTF-16 units goes in at once
};

// The pad's edit control is a Unicode window: the text is UTF-16 throughout.
struct PadFill {
    const char16_t* text;  // the whole text, or null when no fill runs
    char16_t* owned;       // the same block when the fill frees it, else null
    size_t length;         // units
    size_t shown;          // units of text already in the edit control
    size_t pieceSize;      // the next piece's size
    double msPerUnit;      // the lowest cost per unit a piece has shown
};

// Sets text (length units) as the edit control's text: at once when it is
// short, otherwise its first piece, the rest following. owned, when not
// null, is text's block and is freed by the fill.
void PadFill_Start(PadFill* fill, HWND pad, HWND edit, const char16_t* text, size_t length, char16_t* owned);
// The pad's WM_TIMER with TIMER_PAD_FILL: appends the next piece.
void PadFill_Step(PadFill* fill, HWND pad, HWND edit);
// The part of the text not yet in the edit control (length 0 when none).
const char16_t* PadFill_Rest(const PadFill* fill, size_t* length);
// Ends the fill where it is and frees what it owns.
void PadFill_Stop(PadFill* fill, HWND pad);
