// Grapheme cluster boundaries, a subset of Unicode's rules (UAX #29) that
// covers what texts on a Japanese desktop hold: CR LF stays together;
// controls stand alone; a character keeps every mark, joiner, variation
// selector, skin-tone modifier, tag and conjoining Hangul vowel or final that
// follows it (grapheme_table.inc, made by scripts/make-unicode-tables.py);
// after a zero-width joiner the next character joins too (emoji sequences);
// regional indicators pair up into flags.
#include "text/grapheme.h"

#include "text/utf.h"

#include "text/grapheme_table.inc"

enum {
    ZERO_WIDTH_JOINER = 0x200D,
    REGIONAL_FIRST = 0x1F1E6,
    REGIONAL_LAST = 0x1F1FF,
};

bool Grapheme_IsExtend(uint32_t cp)
{
    size_t lo = 0;
    size_t hi = sizeof(GRAPHEME_EXTEND) / sizeof(GRAPHEME_EXTEND[0]);
    while (lo < hi) {
        size_t mid = (lo + hi) / 2;
        if (cp < GRAPHEME_EXTEND[mid][0])
            hi = mid;
        else if (cp > GRAPHEME_EXTEND[mid][1])
            lo = mid + 1;
        else
            return true;
    }
    return false;
}

bool Grapheme_IsControl(uint32_t cp)
{
    return cp < 0x20 || (cp >= 0x7F && cp <= 0x9F) || cp == 0x2028 || cp == 0x2029;
}

static bool IsRegionalIndicator(uint32_t cp)
{
    return cp >= REGIONAL_FIRST && cp <= REGIONAL_LAST;
}

size_t Grapheme_NextUtf8(const char* s, size_t length, size_t pos)
{
    size_t used;
    uint32_t first = Utf_DecodeUtf8(s + pos, length - pos, &used);
    size_t end = pos + used;
    if (first == '\r') {
        if (end < length && s[end] == '\n')
            end++;
        return end;
    }
    if (Grapheme_IsControl(first))
        return end;
    uint32_t previous = first;
    bool flagOpen = IsRegionalIndicator(first);  // a first regional indicator waits for its partner
    while (end < length) {
        uint32_t cp = Utf_DecodeUtf8(s + end, length - end, &used);
        bool joins = Grapheme_IsExtend(cp) || (previous == ZERO_WIDTH_JOINER && !Grapheme_IsControl(cp)) ||
                     (flagOpen && IsRegionalIndicator(cp));
        if (!joins)
            break;
        flagOpen = false;
        previous = cp;
        end += used;
    }
    return end;
}
