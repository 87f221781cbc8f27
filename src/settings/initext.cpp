// In-memory INI text: the line scanner, name matching, look-up and editing
// shared by the profile functions of both builds, and the crash-safe save.
// Names compare without regard to the case of single-byte ASCII letters;
// the bytes of double-byte characters must match exactly.
#include "settings/initext.h"

#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "settings/filereplace.h"
#include "text/text.h"

// An INI file larger than this is treated as unreadable: reads give the
// default, writes fail and leave the file alone.
enum { INI_FILE_LIMIT = 16 * 1024 * 1024 };

enum IniLineKind {
    LINE_BLANK,
    LINE_SECTION,
    LINE_KEY,
    LINE_OTHER,
};

// One line of the text, as byte offsets into it.
struct IniLine {
    size_t start;
    size_t end;   // the line's '\n', or the end of the text
    size_t next;  // first byte of the following line
    IniLineKind kind;
    size_t nameStart, nameEnd;    // section name or key name
    size_t valueStart, valueEnd;  // value of a key
};

struct IniSearch {
    bool sectionFound;
    size_t insertAt;        // just after the section's last non-blank line
    bool insertNeedsBreak;  // that line is the last of the file and has no line end
    bool keyFound;
    IniLine keyLine;
};

IniFileState IniText_Load(const char* path, IniText* text)
{
    text->data = nullptr;
    text->size = 0;
    FILE* file = fopen(path, "rb");
    if (!file)
        return errno == ENOENT ? INI_FILE_MISSING : INI_FILE_BAD;
    char chunk[16384];
    char* data = nullptr;
    size_t size = 0;
    IniFileState state = INI_FILE_OK;
    for (;;) {
        size_t got = fread(chunk, 1, sizeof(chunk), file);
        if (got > 0) {
            if (size + got > INI_FILE_LIMIT) {
                state = INI_FILE_BAD;
                break;
            }
            char* grown = static_cast<char*>(realloc(data, size + got + 1));
            if (!grown) {
                state = INI_FILE_BAD;
                break;
            }
            data = grown;
            memcpy(data + size, chunk, got);
            size += got;
        }
        if (got < sizeof(chunk)) {
            // A folder opens but does not read: its ferror makes it unreadable.
            if (ferror(file))
                state = INI_FILE_BAD;
            break;
        }
    }
    fclose(file);
    if (state == INI_FILE_OK && !data) {
        data = static_cast<char*>(malloc(1));
        if (!data)
            state = INI_FILE_BAD;
    }
    if (state != INI_FILE_OK) {
        free(data);
        return state;
    }
    data[size] = 0;
    text->data = data;
    text->size = size;
    return INI_FILE_OK;
}

static bool IsIniBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

static void TrimSpan(const char* data, size_t* start, size_t* end)
{
    while (*start < *end && IsIniBlank(data[*start]))
        (*start)++;
    while (*end > *start && IsIniBlank(data[*end - 1]))
        (*end)--;
}

// The last "]" of the span that is a character of its own and not the trail
// byte of a double-byte character (as in "ゾ", 0x83 0x5D); end when none.
static size_t FindClosingBracket(const char* data, size_t start, size_t end)
{
    size_t found = end;
    int kind = MBCS_SINGLE;
    for (size_t i = start; i < end; i++) {
        unsigned char c = static_cast<unsigned char>(data[i]);
        if (kind == MBCS_LEAD)
            kind = Text_IsMbcsTrailByte(c) ? MBCS_TRAIL : MBCS_SINGLE;
        else
            kind = Text_IsMbcsLeadByte(c) ? MBCS_LEAD : MBCS_SINGLE;
        if (kind == MBCS_SINGLE && c == ']')
            found = i;
    }
    return found;
}

// Reads the line beginning at pos; false at the end of the text.
static bool NextLine(const IniText* text, size_t pos, IniLine* line)
{
    if (pos >= text->size)
        return false;
    const char* data = text->data;
    size_t end = pos;
    while (end < text->size && data[end] != '\n')
        end++;
    line->start = pos;
    line->end = end;
    line->next = end < text->size ? end + 1 : end;
    line->nameStart = line->nameEnd = line->valueStart = line->valueEnd = pos;

    size_t a = pos;
    size_t b = end;
    TrimSpan(data, &a, &b);
    if (a == b) {
        line->kind = LINE_BLANK;
        return true;
    }
    if (data[a] == '[') {
        size_t close = FindClosingBracket(data, a + 1, b);
        if (close < b) {
            line->kind = LINE_SECTION;
            line->nameStart = a + 1;
            line->nameEnd = close;
            return true;
        }
        line->kind = LINE_OTHER;
        return true;
    }
    // '=' (0x3D) is never the trail byte of a double-byte character.
    const char* eq = static_cast<const char*>(memchr(data + a, '=', b - a));
    if (!eq) {
        line->kind = LINE_OTHER;
        return true;
    }
    line->kind = LINE_KEY;
    line->nameStart = a;
    line->nameEnd = static_cast<size_t>(eq - data);
    TrimSpan(data, &line->nameStart, &line->nameEnd);
    line->valueStart = static_cast<size_t>(eq - data) + 1;
    line->valueEnd = b;
    TrimSpan(data, &line->valueStart, &line->valueEnd);
    return true;
}

static unsigned char FoldAscii(unsigned char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}

// Whether the span of the file names the NUL-terminated name. Single-byte
// characters compare with ASCII letters folded; a double-byte character must
// match byte for byte, so a trail byte that happens to be a letter (0x83 0x41
// "ア") is never folded.
static bool SameName(const char* span, size_t len, const char* name)
{
    size_t i = 0;
    while (i < len) {
        unsigned char a = static_cast<unsigned char>(span[i]);
        unsigned char b = static_cast<unsigned char>(name[i]);
        if (b == 0)
            return false;
        if (Text_IsMbcsLeadByte(a) && i + 1 < len && Text_IsMbcsTrailByte(static_cast<unsigned char>(span[i + 1]))) {
            if (a != b || span[i + 1] != name[i + 1])
                return false;
            i += 2;
            continue;
        }
        if (FoldAscii(a) != FoldAscii(b))
            return false;
        i++;
    }
    return name[len] == 0;
}

// Finds the first section of that name and the first line of the key in it.
static void SearchIni(const IniText* text, const char* section, const char* key, IniSearch* search)
{
    memset(search, 0, sizeof(*search));
    bool inSection = false;
    size_t pos = 0;
    IniLine line;
    while (NextLine(text, pos, &line)) {
        pos = line.next;
        if (line.kind == LINE_SECTION) {
            if (inSection)
                break;
            if (SameName(text->data + line.nameStart, line.nameEnd - line.nameStart, section)) {
                inSection = true;
                search->sectionFound = true;
                search->insertAt = line.next;
                search->insertNeedsBreak = line.next == line.end;
            }
            continue;
        }
        if (!inSection)
            continue;
        if (line.kind != LINE_BLANK) {
            search->insertAt = line.next;
            search->insertNeedsBreak = line.next == line.end;
        }
        if (line.kind == LINE_KEY && SameName(text->data + line.nameStart, line.nameEnd - line.nameStart, key)) {
            search->keyFound = true;
            search->keyLine = line;
            return;
        }
    }
}

void IniText_Free(IniText* text)
{
    free(text->data);
    text->data = nullptr;
    text->size = 0;
}

bool IniText_Get(const IniText* text, const char* section, const char* key, char* buf, size_t size)
{
    if (!text->data)
        return false;
    IniSearch search;
    SearchIni(text, section, key, &search);
    if (!search.keyFound)
        return false;
    size_t start = search.keyLine.valueStart;
    size_t end = search.keyLine.valueEnd;
    // A value in matching quotes is given without them.
    char first = text->data[start];
    if (end - start >= 2 && (first == '"' || first == '\'') && text->data[end - 1] == first) {
        start++;
        end--;
    }
    size_t length = end - start;
    if (size > 0) {
        size_t kept = length < size - 1 ? length : size - 1;
        memcpy(buf, text->data + start, kept);
        buf[kept] = 0;
        // A cut that leaves a lead byte without its trail byte drops it.
        if (kept > 0 && MbcsByteKind(buf, kept - 1) == MBCS_LEAD)
            buf[kept - 1] = 0;
    }
    return true;
}

// Room for the pieces that replace [cutStart, cutEnd) of the old text.
struct IniBuilder {
    char* data;
    size_t used;
};

static void Append(IniBuilder* b, const char* bytes, size_t count)
{
    memcpy(b->data + b->used, bytes, count);
    b->used += count;
}

static void AppendString(IniBuilder* b, const char* s)
{
    Append(b, s, strlen(s));
}

// The new text is the old one with [cutStart, cutEnd) replaced by the key's
// new line (and, for a new section, its header before it).
bool IniText_Set(IniText* text, const char* section, const char* key, const char* value, bool* changed)
{
    *changed = false;
    IniSearch search;
    if (text->data)
        SearchIni(text, section, key, &search);
    else
        memset(&search, 0, sizeof(search));
    if (!value && !search.keyFound)
        return true;

    const char* data = text->data ? text->data : "";
    size_t cutStart = text->size;
    size_t cutEnd = text->size;
    if (search.keyFound) {
        cutStart = search.keyLine.start;
        cutEnd = search.keyLine.next;
    } else if (search.sectionFound) {
        cutStart = cutEnd = search.insertAt;
    }
    size_t extra = value ? strlen(section) + strlen(key) + strlen(value) + 16 : 0;
    IniBuilder b = {static_cast<char*>(malloc(text->size + extra + 1)), 0};
    if (!b.data)
        return false;
    Append(&b, data, cutStart);
    if (value) {
        if (search.keyFound) {
            // The key keeps the spelling it had in the file.
            Append(&b, data + search.keyLine.nameStart, search.keyLine.nameEnd - search.keyLine.nameStart);
        } else {
            if (search.sectionFound) {
                if (search.insertNeedsBreak)
                    AppendString(&b, "\r\n");
            } else {
                if (text->size > 0 && data[text->size - 1] != '\n')
                    AppendString(&b, "\r\n");
                AppendString(&b, "[");
                AppendString(&b, section);
                AppendString(&b, "]\r\n");
            }
            AppendString(&b, key);
        }
        AppendString(&b, "=");
        AppendString(&b, value);
        AppendString(&b, "\r\n");
    }
    Append(&b, data + cutEnd, text->size - cutEnd);
    b.data[b.used] = 0;
    free(text->data);
    text->data = b.data;
    text->size = b.used;
    *changed = true;
    return true;
}

bool IniText_Save(const IniText* text, const char* path)
{
    FileReplacement replacement;
    if (!FileReplacement_Begin(&replacement, path))
        return false;
    bool written = text->size == 0 || fwrite(text->data, 1, text->size, replacement.file) == text->size;
    return FileReplacement_Commit(&replacement, written, true);
}
