// The folding and word matching of the text search, on code page 932 bytes.
// Folding works one character at a time and gives one or two bytes for it:
// ASCII letters lower-cased; the full-width forms of ASCII (Ａ, ｂ, ０, ！ and
// the full-width space) as their ASCII bytes; half-width katakana as
// full-width, a following half-width (semi-)voiced mark joined to its kana
// (ｶﾞ as ガ); hiragana as katakana. Trail bytes are never taken for letters.
#include "text/textmatch.h"

#include <string.h>

#include "text/text.h"

namespace {

// Full-width forms of half-width katakana 0xA1 to 0xDF (｡ to ﾟ), as the two
// bytes of each.
const unsigned char HALF_KANA[0x3F][2] = {
    {0x81, 0x42}, {0x81, 0x75}, {0x81, 0x76}, {0x81, 0x41}, {0x81, 0x45}, {0x83, 0x92},  // ｡｢｣､･ｦ
    {0x83, 0x40}, {0x83, 0x42}, {0x83, 0x44}, {0x83, 0x46}, {0x83, 0x48},                // ｧｨｩｪｫ
    {0x83, 0x83}, {0x83, 0x85}, {0x83, 0x87}, {0x83, 0x62}, {0x81, 0x5b},                // ｬｭｮｯｰ
    {0x83, 0x41}, {0x83, 0x43}, {0x83, 0x45}, {0x83, 0x47}, {0x83, 0x49},                // ｱｲｳｴｵ
    {0x83, 0x4a}, {0x83, 0x4c}, {0x83, 0x4e}, {0x83, 0x50}, {0x83, 0x52},                // ｶｷｸｹｺ
    {0x83, 0x54}, {0x83, 0x56}, {0x83, 0x58}, {0x83, 0x5a}, {0x83, 0x5c},                // ｻｼｽｾｿ
    {0x83, 0x5e}, {0x83, 0x60}, {0x83, 0x63}, {0x83, 0x65}, {0x83, 0x67},                // ﾀﾁﾂﾃﾄ
    {0x83, 0x69}, {0x83, 0x6a}, {0x83, 0x6b}, {0x83, 0x6c}, {0x83, 0x6d},                // ﾅﾆﾇﾈﾉ
    {0x83, 0x6e}, {0x83, 0x71}, {0x83, 0x74}, {0x83, 0x77}, {0x83, 0x7a},                // ﾊﾋﾌﾍﾎ
    {0x83, 0x7d}, {0x83, 0x7e}, {0x83, 0x80}, {0x83, 0x81}, {0x83, 0x82},                // ﾏﾐﾑﾒﾓ
    {0x83, 0x84}, {0x83, 0x86}, {0x83, 0x88},                                            // ﾔﾕﾖ
    {0x83, 0x89}, {0x83, 0x8a}, {0x83, 0x8b}, {0x83, 0x8c}, {0x83, 0x8d},                // ﾗﾘﾙﾚﾛ
    {0x83, 0x8f}, {0x83, 0x93}, {0x81, 0x4a}, {0x81, 0x4b},                              // ﾜﾝﾞﾟ
};

const unsigned char HALF_VOICED_MARK = 0xDE;      // ﾞ
const unsigned char HALF_SEMIVOICED_MARK = 0xDF;  // ﾟ

// The ASCII byte of a full-width sign whose lead byte is 0x81, or 0.
char AsciiOfSign81(unsigned char trail)
{
    switch (trail) {
    case 0x40: return ' ';  // the full-width space
    case 0x43: return ',';
    case 0x44: return '.';
    case 0x46: return ':';
    case 0x47: return ';';
    case 0x48: return '?';
    case 0x49: return '!';
    case 0x4D: return '`';
    case 0x4F: return '^';
    case 0x51: return '_';
    case 0x5E: return '/';
    case 0x5F: return '\\';
    case 0x60: return '~';
    case 0x62: return '|';
    case 0x69: return '(';
    case 0x6A: return ')';
    case 0x6D: return '[';
    case 0x6E: return ']';
    case 0x6F: return '{';
    case 0x70: return '}';
    case 0x7B: return '+';
    case 0x7C: return '-';
    case 0x81: return '=';
    case 0x83: return '<';
    case 0x84: return '>';
    case 0x90: return '$';
    case 0x93: return '%';
    case 0x94: return '#';
    case 0x95: return '&';
    case 0x96: return '*';
    case 0x97: return '@';
    }
    return 0;
}

// One folded character: its bytes and how many bytes of the text it took.
struct FoldedChar {
    unsigned char bytes[2];
    int count;
    int consumed;
};

FoldedChar One(unsigned char b, int consumed)
{
    FoldedChar c = {{b, 0}, 1, consumed};
    return c;
}

FoldedChar Two(unsigned char lead, unsigned char trail, int consumed)
{
    FoldedChar c = {{lead, trail}, 2, consumed};
    return c;
}

// ｳ, ｶ to ﾄ and ﾊ to ﾎ take the voiced mark; ﾊ to ﾎ the semi-voiced one
// too. The marked kana follow their plain one in the katakana block.
FoldedChar FoldHalfKana(unsigned char b, unsigned char next)
{
    const unsigned char* full = HALF_KANA[b - 0xA1];
    if (next == HALF_VOICED_MARK) {
        if (b == 0xB3)
            return Two(0x83, 0x94, 2);  // ｳﾞ: ヴ
        if ((b >= 0xB6 && b <= 0xC4) || (b >= 0xCA && b <= 0xCE))
            return Two(full[0], static_cast<unsigned char>(full[1] + 1), 2);
    }
    if (next == HALF_SEMIVOICED_MARK && b >= 0xCA && b <= 0xCE)
        return Two(full[0], static_cast<unsigned char>(full[1] + 2), 2);
    return Two(full[0], full[1], 1);
}

// Hiragana ぁ (0x829F) to ん (0x82F1) become katakana ァ (0x8340) to ン
// (0x8393); the katakana block skips 0x7F, which is no trail byte.
FoldedChar FoldDouble(unsigned char lead, unsigned char trail)
{
    if (lead == 0x81) {
        char ascii = AsciiOfSign81(trail);
        if (ascii)
            return One(static_cast<unsigned char>(ascii), 2);
        if (trail == 0x54 || trail == 0x55)  // ゝゞ: ヽヾ
            return Two(0x81, static_cast<unsigned char>(trail - 2), 2);
    } else if (lead == 0x82) {
        if (trail >= 0x4F && trail <= 0x58)
            return One(static_cast<unsigned char>('0' + (trail - 0x4F)), 2);
        if (trail >= 0x60 && trail <= 0x79)
            return One(static_cast<unsigned char>('a' + (trail - 0x60)), 2);
        if (trail >= 0x81 && trail <= 0x9A)
            return One(static_cast<unsigned char>('a' + (trail - 0x81)), 2);
        if (trail >= 0x9F && trail <= 0xF1) {
            int k = trail - 0x9F;
            return Two(0x83, static_cast<unsigned char>(k < 0x3F ? 0x40 + k : 0x80 + (k - 0x3F)), 2);
        }
    } else if ((lead == 0xEE && (trail == 0xFB || trail == 0xFC)) || (lead == 0xFA && (trail == 0x56 || trail == 0x57))) {
        // The full-width apostrophe and quotation mark of the extension rows.
        bool apostrophe = trail == 0xFB || trail == 0x56;
        return One(apostrophe ? '\'' : '"', 2);
    }
    return Two(lead, trail, 2);
}

FoldedChar FoldChar(const unsigned char* p)
{
    unsigned char b = p[0];
    if (Text_IsMbcsLeadByte(b) && p[1] != 0 && Text_IsMbcsTrailByte(p[1]))
        return FoldDouble(b, p[1]);
    if (b >= 'A' && b <= 'Z')
        return One(static_cast<unsigned char>(b - 'A' + 'a'), 1);
    if (b >= 0xA1 && b <= 0xDF)
        return FoldHalfKana(b, p[1]);
    return One(b, 1);
}

// A lead byte counts as the start of a two-byte character only with a trail
// byte after it, as MbcsByteKind has it.
size_t CharLength(const char* text, size_t pos, size_t length)
{
    if (pos + 1 < length && Text_IsMbcsLeadByte(static_cast<unsigned char>(text[pos])) &&
        Text_IsMbcsTrailByte(static_cast<unsigned char>(text[pos + 1])))
        return 2;
    return 1;
}

bool IsQueryBlank(char c)
{
    return c == ' ' || (c >= 0x01 && c <= 0x1F);
}

bool StartsCharacter(const char* text, size_t pos)
{
    size_t run = pos;
    while (run > 0 && Text_IsMbcsLeadByte(static_cast<unsigned char>(text[run - 1])))
        run--;
    if ((pos - run) % 2 == 0)
        return true;
    // The byte before would be a lead byte: it stands alone when this one
    // cannot be its trail.
    return !Text_IsMbcsTrailByte(static_cast<unsigned char>(text[pos]));
}

// Whether the word's last byte is a lead byte its own characters leave alone.
bool EndsInLoneLead(const char* word, size_t length)
{
    size_t pos = 0;
    size_t last = 0;
    while (pos < length) {
        last = pos;
        pos += CharLength(word, pos, length);
    }
    return length > 0 && last == length - 1 && Text_IsMbcsLeadByte(static_cast<unsigned char>(word[last]));
}

bool IsWholeMatch(const char* text, size_t length, size_t pos, const char* word, size_t wordLength)
{
    if (!StartsCharacter(text, pos))
        return false;
    size_t end = pos + wordLength;
    return !(end < length && EndsInLoneLead(word, wordLength) &&
             Text_IsMbcsTrailByte(static_cast<unsigned char>(text[end])));
}

void MakeShifts(TextWordShifts* shifts, const char* word, size_t length)
{
    size_t most = length < 255 ? length : 255;
    memset(shifts->shift, static_cast<int>(most), sizeof(shifts->shift));
    for (size_t i = 0; i + 1 < length; i++) {
        size_t distance = length - 1 - i;
        shifts->shift[static_cast<unsigned char>(word[i])] =
            static_cast<unsigned char>(distance < most ? distance : most);
    }
}

// Short words: candidates from memchr on the first byte. Longer ones: the
// Horspool search, which looks at the byte under the word's last one and
// moves on by the table.
bool ContainsWord(const char* text, size_t length, const char* word, size_t wordLength, const TextWordShifts* shifts)
{
    if (wordLength == 0)
        return true;
    if (wordLength > length)
        return false;
    size_t lastStart = length - wordLength;
    if (wordLength <= 2) {
        for (size_t pos = 0; pos <= lastStart;) {
            const void* hit = memchr(text + pos, word[0], lastStart - pos + 1);
            if (!hit)
                return false;
            size_t at = static_cast<size_t>(static_cast<const char*>(hit) - text);
            if ((wordLength == 1 || text[at + 1] == word[1]) && IsWholeMatch(text, length, at, word, wordLength))
                return true;
            pos = at + 1;
        }
        return false;
    }
    // The first and the last byte are compared here before the rest, which
    // keeps the library's memcmp out of most steps.
    unsigned char first = static_cast<unsigned char>(word[0]);
    unsigned char last = static_cast<unsigned char>(word[wordLength - 1]);
    for (size_t pos = 0; pos <= lastStart;) {
        unsigned char c = static_cast<unsigned char>(text[pos + wordLength - 1]);
        if (c == last && static_cast<unsigned char>(text[pos]) == first &&
            memcmp(text + pos + 1, word + 1, wordLength - 2) == 0 && IsWholeMatch(text, length, pos, word, wordLength))
            return true;
        pos += shifts->shift[c];
    }
    return false;
}

}  // namespace

size_t TextMatch_FoldedLength(const char* text)
{
    size_t length = 0;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    while (*p) {
        if (*p < 0x80) {  // ASCII, by far the most common: one byte each
            length++;
            p++;
            continue;
        }
        FoldedChar c = FoldChar(p);
        length += static_cast<size_t>(c.count);
        p += c.consumed;
    }
    return length;
}

size_t TextMatch_Fold(char* out, size_t size, const char* text)
{
    if (size == 0)
        return 0;
    size_t used = 0;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    while (*p) {
        if (*p < 0x80) {
            if (used + 2 > size)
                break;
            out[used++] = static_cast<char>(*p >= 'A' && *p <= 'Z' ? *p - 'A' + 'a' : *p);
            p++;
            continue;
        }
        FoldedChar c = FoldChar(p);
        if (used + static_cast<size_t>(c.count) + 1 > size)
            break;
        for (int i = 0; i < c.count; i++)
            out[used++] = static_cast<char>(c.bytes[i]);
        p += c.consumed;
    }
    out[used] = 0;
    return used;
}

// Blanks turn into NULs in place, so each word ends where it stands.
void TextMatch_ParseQuery(TextQuery* query, const char* text)
{
    size_t length = TextMatch_Fold(query->folded, sizeof(query->folded), text);
    query->wordCount = 0;
    size_t pos = 0;
    while (pos < length) {
        while (pos < length && IsQueryBlank(query->folded[pos]))
            query->folded[pos++] = 0;
        if (pos >= length)
            break;
        size_t start = pos;
        while (pos < length && !IsQueryBlank(query->folded[pos]))
            pos += CharLength(query->folded, pos, length);
        if (query->wordCount < TEXT_QUERY_MAX_WORDS) {
            int n = query->wordCount++;
            query->words[n] = query->folded + start;
            query->lengths[n] = pos - start;
            MakeShifts(&query->shifts[n], query->words[n], query->lengths[n]);
        }
    }
}

// A match counts only as a run of whole characters of the text: it must
// start where a character starts, and the word must not end in a lead byte
// that the text pairs with the byte after the match. The start is found
// from the bytes before it alone: a run of bytes that can only be lead or
// trail bytes (0x81 to 0x9F, 0xE0 to 0xFC) pairs up from its first byte, so
// its parity tells whether the match starts on a character.
bool TextMatch_Contains(const char* folded, size_t length, const char* word, size_t wordLength)
{
    TextWordShifts shifts;
    MakeShifts(&shifts, word, wordLength);
    return ContainsWord(folded, length, word, wordLength, &shifts);
}

bool TextMatch_MatchesAll(const char* folded, size_t length, const TextQuery* query)
{
    for (int i = 0; i < query->wordCount; i++) {
        if (!ContainsWord(folded, length, query->words[i], query->lengths[i], &query->shifts[i]))
            return false;
    }
    return true;
}

bool TextMatch_Narrows(const char* before, const char* after)
{
    char foldedBefore[TEXT_QUERY_FOLDED_SIZE];
    char foldedAfter[TEXT_QUERY_FOLDED_SIZE];
    size_t lengthBefore = TextMatch_Fold(foldedBefore, sizeof(foldedBefore), before);
    size_t lengthAfter = TextMatch_Fold(foldedAfter, sizeof(foldedAfter), after);
    return lengthBefore <= lengthAfter && memcmp(foldedBefore, foldedAfter, lengthBefore) == 0 &&
           !EndsInLoneLead(foldedBefore, lengthBefore);
}
