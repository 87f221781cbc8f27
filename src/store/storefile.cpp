// The store files: the history (".hst") and the registered texts (".use")
// beside the executable. Each text is one record ended by a NUL byte, the
// list's tail first; LF is stored as CR LF, the way a Windows text-mode
// stream writes it. The streams here are binary and the translation is done
// by hand, so every build reads and writes the same bytes (0x1A included,
// which a Windows text-mode reader would take for the end of the file).
//
// A file is never rewritten in place: the new contents go to a temporary
// file beside it (filereplace.h), reach the disk, and then replace the old
// file in one step, so a crash or a full disk leaves either the old or the
// new file, never a torn one.
//
// Beside each store file, its side file (originals.h) keeps the Unicode
// originals of the texts code page 932 cannot hold; it is read with the
// store file and written after it, only when its contents change.
#include "store/storefile.h"

#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "settings/appinfo.h"
#include "settings/apppath.h"
#include "store/appdata.h"
#include "settings/filereplace.h"
#include "store/cliptext.h"
#include "store/originals.h"
#include "store/savereport.h"
#include "text/text.h"
#include "text/texthash.h"

enum {
    READ_BLOCK_SIZE = 65536,     // block of raw bytes taken at a time when loading
    WRITE_STAGE_SIZE = 8192,     // translated bytes gathered before an fwrite
};


static PtrList* ListOf(AppData* data, int list)
{
    if (list == LIST_HISTORY)
        return data->history;
    if (list == LIST_REGISTERED)
        return data->registered;
    return nullptr;
}

static OriginalsSaved* SideOf(AppData* data, int list)
{
    if (list == LIST_HISTORY)
        return &data->historySide;
    if (list == LIST_REGISTERED)
        return &data->registeredSide;
    return nullptr;
}

void* AllocShrinking(size_t firstSize, size_t smallestSize, size_t* obtained)
{
    size_t size = firstSize;
    for (;;) {
        if (obtained)
            *obtained = size;
        void* block = malloc(size);
        if (block)
            return block;
        size /= 2;
        if (size < smallestSize || size == 0)
            return nullptr;
    }
}

// ---------------------------------------------------------------------------
// Reading

// One record in text-mode terms: a CR LF pair reads as one LF and counts as
// one byte toward the limit. A record of limit - 1 bytes ends there; the byte
// after it is consumed only when it is the record's NUL, so the rest of an
// over-long record comes back as the next one. A raw byte pushed back (rather
// than a translated one) keeps a CR LF pair at the cut whole for the next read.
bool StoreFile_ReadRecord(char* buffer, size_t limit, FILE* file)
{
    if (limit < 2)
        return false; // no room for even one byte: nothing could ever be read
    size_t room = limit - 1;
    size_t n = 0;
    while (n < room) {
        int c = getc(file);
        if (c == EOF) {
            if (n == 0)
                return false;
            buffer[n] = 0;
            return true;
        }
        if (c == 0) {
            buffer[n] = 0;
            return true;
        }
        if (c == '\r') {
            int next = getc(file);
            if (next == '\n')
                c = '\n';
            else if (next != EOF)
                ungetc(next, file);
        }
        buffer[n++] = static_cast<char>(c);
    }
    int c = getc(file);
    if (c != 0 && c != EOF)
        ungetc(c, file);
    buffer[n] = 0;
    return true;
}

// The raw bytes of a file taken a block at a time. Only the byte just looked
// at is ever "pushed back" (by not advancing), so a refill never loses one.
struct BlockReader {
    FILE* file;
    unsigned char* block;
    size_t pos;
    size_t end;
};

static bool Refill(BlockReader* r)
{
    r->pos = 0;
    r->end = fread(r->block, 1, READ_BLOCK_SIZE, r->file);
    return r->end > 0;
}

static int PeekByte(BlockReader* r)
{
    if (r->pos == r->end && !Refill(r))
        return EOF;
    return r->block[r->pos];
}

// First byte in [p, end) that is NUL or CR: the two bytes a record's text is
// cut or translated at.
static const unsigned char* FindNulOrCr(const unsigned char* p, const unsigned char* end)
{
    while (p < end && *p != 0 && *p != '\r')
        p++;
    return p;
}

// Where the first NUL or CR is among the 16 bytes at p (0 to 15), or 16.
static int FirstNulOrCrOf16(const unsigned char* p)
{
#if defined(__SSE2__)
    __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    __m128i hits = _mm_or_si128(_mm_cmpeq_epi8(v, _mm_setzero_si128()), _mm_cmpeq_epi8(v, _mm_set1_epi8('\r')));
    int mask = _mm_movemask_epi8(hits);
    return mask ? __builtin_ctz(static_cast<unsigned>(mask)) : 16;
#else
    return static_cast<int>(FindNulOrCr(p, p + 16) - p);
#endif
}

// Where the first LF is among the 16 bytes at p (0 to 15), or 16.
static int FirstLfOf16(const char* p)
{
#if defined(__SSE2__)
    __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    int mask = _mm_movemask_epi8(_mm_cmpeq_epi8(v, _mm_set1_epi8('\n')));
    return mask ? __builtin_ctz(static_cast<unsigned>(mask)) : 16;
#else
    const void* lf = memchr(p, '\n', 16);
    return lf ? static_cast<int>(static_cast<const char*>(lf) - p) : 16;
#endif
}

// The bulk of a record, 16 bytes at a time while the block has 17 left (so
// the byte after a CR is there to look at) and the buffer 16. Each group is
// stored whole; only the bytes before its first NUL or CR count. true when a
// NUL ended the record. A history of short CR LF lines stops here at every
// line, so a stop costs only a few instructions.
static bool TranslateBulk(BlockReader* r, char* buffer, size_t* length, size_t room)
{
    const unsigned char* in = r->block + r->pos;
    const unsigned char* inEnd = r->block + r->end;
    char* out = buffer + *length;
    char* outEnd = buffer + room;
    bool ended = false;
    while (inEnd - in >= 17 && outEnd - out >= 16) {
        int skip = FirstNulOrCrOf16(in);
        memcpy(out, in, 16);
        in += skip;
        out += skip;
        if (skip == 16)
            continue;
        if (*in == 0) {
            in++;
            ended = true;
            break;
        }
        if (in[1] == '\n') {
            *out++ = '\n';
            in += 2;
        } else {
            *out++ = '\r';
            in++;
        }
    }
    r->pos = static_cast<size_t>(in - r->block);
    *length = static_cast<size_t>(out - buffer);
    return ended;
}

enum RecordFill {
    RECORD_NONE,   // the file ended before a byte of a new record
    RECORD_ENDED,  // a NUL or the end of the file ended the record
    RECORD_FULL,   // the buffer's room is used up; the record may go on
};

// Adds the bytes of the current record to buffer[*length, room), translated
// as StoreFile_ReadRecord translates them.
static RecordFill FillBlockRecord(BlockReader* r, char* buffer, size_t room, size_t* length)
{
    size_t n = *length;
    RecordFill result = RECORD_ENDED;
    for (;;) {
        if (n == room) {
            result = RECORD_FULL;
            break;
        }
        if (r->pos == r->end && !Refill(r)) {
            if (n == 0)
                result = RECORD_NONE;
            break;
        }
        if (TranslateBulk(r, buffer, &n, room))
            break;
        if (n == room || r->pos == r->end)
            continue;
        const unsigned char* p = r->block + r->pos;
        size_t avail = r->end - r->pos;
        if (avail > room - n)
            avail = room - n;
        const unsigned char* stop = FindNulOrCr(p, p + avail);
        size_t run = static_cast<size_t>(stop - p);
        memcpy(buffer + n, p, run);
        n += run;
        r->pos += run;
        if (run == avail)
            continue;
        unsigned char c = *stop;
        r->pos++;
        if (c == 0)
            break;
        if (PeekByte(r) == '\n') {
            r->pos++;
            buffer[n++] = '\n';
        } else {
            buffer[n++] = '\r';
        }
    }
    *length = n;
    return result;
}

// StoreFile_ReadRecord's rule over a BlockReader; false at the end of the file.
static bool ReadBlockRecord(BlockReader* r, char* buffer, size_t limit, size_t* length)
{
    size_t n = 0;
    RecordFill fill = FillBlockRecord(r, buffer, limit - 1, &n);
    if (fill == RECORD_NONE)
        return false;
    if (fill == RECORD_FULL && PeekByte(r) == 0)
        r->pos++;
    buffer[n] = 0;
    *length = n;
    return true;
}

void StoreFile_ScanRecords(FILE* file, char* buffer, size_t limit, StoreRecordFn fn, void* context)
{
    if (limit < 2)
        return;
    BlockReader reader = {file, static_cast<unsigned char*>(malloc(READ_BLOCK_SIZE)), 0, 0};
    if (!reader.block) {
        while (StoreFile_ReadRecord(buffer, limit, file))
            fn(buffer, strlen(buffer), context);
        return;
    }
    size_t length;
    while (ReadBlockRecord(&reader, buffer, limit, &length))
        fn(buffer, length, context);
    free(reader.block);
}

// ---------------------------------------------------------------------------
// Loading into the lists

void* (*StoreFile_Reallocate)(void* block, size_t size) = realloc;

// The records of one file in file order, each a heap copy, before they go
// into an empty list. complete turns false when a record could not be kept.
struct RecordSet {
    char** texts;
    size_t* lengths;
    size_t count;
    size_t capacity;
    bool complete;
};

static bool GrowRecordSet(RecordSet* set)
{
    size_t capacity = set->capacity ? set->capacity * 2 : 256;
    char** texts = static_cast<char**>(StoreFile_Reallocate(set->texts, capacity * sizeof(char*)));
    if (!texts)
        return false;
    set->texts = texts;
    size_t* lengths = static_cast<size_t*>(StoreFile_Reallocate(set->lengths, capacity * sizeof(size_t)));
    if (!lengths)
        return false;
    set->lengths = lengths;
    set->capacity = capacity;
    return true;
}

static bool KeepRecord(RecordSet* set, const char* text, size_t length)
{
    if (set->count == set->capacity && !GrowRecordSet(set))
        return false;
    // A stored text without an original (cliptext.h): the text, its NUL
    // and the empty original's NUL. The side file may give it one later.
    char* copy = static_cast<char*>(StoreFile_Reallocate(nullptr, length + 2));
    if (!copy)
        return false;
    memcpy(copy, text, length);
    copy[length] = 0;
    copy[length + 1] = 0;
    set->texts[set->count] = copy;
    set->lengths[set->count] = length;
    set->count++;
    return true;
}

// A text that cannot be copied is skipped, as AppData_Add skips it.
static void CollectRecord(const char* text, size_t length, void* context)
{
    RecordSet* set = static_cast<RecordSet*>(context);
    if (!KeepRecord(set, text, length))
        set->complete = false;
}

static bool SameOriginal(const char* a, const char* b)
{
    const char* oa = ClipText_Original(a);
    const char* ob = ClipText_Original(b);
    return oa == ob || (oa && ob && strcmp(oa, ob) == 0);
}

// Leaves the last occurrence of each text and frees the earlier ones, with a
// hash table instead of a list search per record. false (nothing changed)
// when the table cannot be allocated.
static bool DropEarlierRepeats(RecordSet* set)
{
    size_t slotCount = 16;
    while (slotCount < set->count * 2)
        slotCount *= 2;
    size_t* slots = static_cast<size_t*>(calloc(slotCount, sizeof(size_t))); // record index + 1
    uint64_t* hashes = static_cast<uint64_t*>(malloc(set->count * sizeof(uint64_t) + 1));
    if (!slots || !hashes) {
        free(slots);
        free(hashes);
        return false;
    }
    for (size_t i = set->count; i-- > 0;) {
        uint64_t h = TextHash(set->texts[i], set->lengths[i]);
        hashes[i] = h;
        size_t slot = static_cast<size_t>(h) & (slotCount - 1);
        for (;;) {
            if (slots[slot] == 0) {
                slots[slot] = i + 1;
                break;
            }
            size_t other = slots[slot] - 1;
            if (hashes[other] == h && set->lengths[other] == set->lengths[i] &&
                memcmp(set->texts[other], set->texts[i], set->lengths[i]) == 0 &&
                SameOriginal(set->texts[other], set->texts[i])) {
                free(set->texts[i]);
                set->texts[i] = nullptr;
                break;
            }
            slot = (slot + 1) & (slotCount - 1);
        }
    }
    free(slots);
    free(hashes);
    return true;
}

static void AddEachRecord(AppData* data, int mask, RecordSet* set)
{
    for (size_t i = 0; i < set->count; i++) {
        AppData_AddWithOriginal(data, mask, set->texts[i], ClipText_Original(set->texts[i]));
        free(set->texts[i]);
    }
}

// The same list as adding each record in turn with the add-or-move rule:
// the last record on top, and a repeated text only at its last position.
// false when a text could not go into the list.
static bool FillEmptyList(AppData* data, int list, RecordSet* set)
{
    PtrList* target = ListOf(data, list);
    if (!DropEarlierRepeats(set)) {
        AddEachRecord(data, list, set);
        return true;
    }
    bool all = true;
    for (size_t i = 0; i < set->count; i++) {
        if (set->texts[i] && PtrList_AddHead(target, set->texts[i]) < 0) {
            free(set->texts[i]);
            all = false;
        }
    }
    return all;
}

static void AddRecordSet(AppData* data, int mask, RecordSet* set)
{
    bool oneList = mask == LIST_HISTORY || mask == LIST_REGISTERED;
    if (oneList && PtrList_GetCount(ListOf(data, mask)) == 0) {
        if (!FillEmptyList(data, mask, set))
            set->complete = false;
    } else {
        AddEachRecord(data, mask, set);
    }
    free(set->texts);
    free(set->lengths);
}

// Adding record by record searches the whole list for every record, which
// for a full history is millions of comparisons at start-up. Into an empty
// list (the case at start-up) the records are gathered first and repeats
// dropped through a hash table, with the same resulting list. The originals
// of the side file join the records before repeats are looked for, so two
// records of one code-page text with different originals stay two entries.
bool StoreFile_ReadPath(AppData* data, int mask, const char* path, char* buffer, size_t limit)
{
    FILE* file = fopen(path, "rb");
    if (!file)
        return true;
    bool oneList = mask == LIST_HISTORY || mask == LIST_REGISTERED;
    RecordSet set = {nullptr, nullptr, 0, 0, true};
    StoreFile_ScanRecords(file, buffer, limit, CollectRecord, &set);
    fclose(file);
    Originals_LoadBeside(path, set.texts, set.lengths, set.count, oneList ? SideOf(data, mask) : nullptr);
    AddRecordSet(data, mask, &set);
    return true;
}

// ---------------------------------------------------------------------------
// Reading records whole

enum { WHOLE_RECORD_FIRST_SIZE = 65536 };

// The record buffer doubles until the record fits, so a record is one text
// however long it is. false at the end of the file, or (with *outOfMemory
// set) when the buffer cannot grow.
static bool ReadWholeRecord(BlockReader* r, char** buffer, size_t* capacity, size_t* length, bool* outOfMemory)
{
    size_t n = 0;
    for (;;) {
        RecordFill fill = FillBlockRecord(r, *buffer, *capacity - 1, &n);
        if (fill == RECORD_NONE)
            return false;
        if (fill == RECORD_ENDED)
            break;
        size_t bigger = *capacity * 2;
        char* grown = bigger > *capacity ? static_cast<char*>(StoreFile_Reallocate(*buffer, bigger)) : nullptr;
        if (!grown) {
            *outOfMemory = true;
            return false;
        }
        *buffer = grown;
        *capacity = bigger;
    }
    (*buffer)[n] = 0;
    *length = n;
    return true;
}

// Stops at the first record that cannot be read or kept: the set then holds
// the records before it and complete is false.
static void CollectWholeRecords(FILE* file, RecordSet* set)
{
    size_t capacity = WHOLE_RECORD_FIRST_SIZE;
    char* buffer = static_cast<char*>(StoreFile_Reallocate(nullptr, capacity));
    unsigned char* block = static_cast<unsigned char*>(StoreFile_Reallocate(nullptr, READ_BLOCK_SIZE));
    if (!buffer || !block) {
        free(buffer);
        free(block);
        set->complete = false;
        return;
    }
    BlockReader reader = {file, block, 0, 0};
    size_t length = 0;
    bool outOfMemory = false;
    while (ReadWholeRecord(&reader, &buffer, &capacity, &length, &outOfMemory)) {
        if (!KeepRecord(set, buffer, length)) {
            outOfMemory = true;
            break;
        }
    }
    if (outOfMemory)
        set->complete = false;
    free(buffer);
    free(block);
}

bool StoreFile_ReadWholePath(AppData* data, int mask, const char* path)
{
    FILE* file = fopen(path, "rb");
    if (!file)
        return true;
    RecordSet set = {nullptr, nullptr, 0, 0, true};
    CollectWholeRecords(file, &set);
    if (ferror(file))
        set.complete = false;
    fclose(file);
    bool oneList = mask == LIST_HISTORY || mask == LIST_REGISTERED;
    Originals_LoadBeside(path, set.texts, set.lengths, set.count, oneList ? SideOf(data, mask) : nullptr);
    AddRecordSet(data, mask, &set);
    return set.complete;
}

// ---------------------------------------------------------------------------
// Writing

struct WriteStage {
    FILE* file;
    size_t used;
    bool ok;
    char bytes[WRITE_STAGE_SIZE];
};

static void StageFlush(WriteStage* stage)
{
    if (stage->used && fwrite(stage->bytes, 1, stage->used, stage->file) != stage->used)
        stage->ok = false;
    stage->used = 0;
}

static void StageByte(WriteStage* stage, char c)
{
    if (stage->used == WRITE_STAGE_SIZE)
        StageFlush(stage);
    stage->bytes[stage->used++] = c;
}

// Copies [p, end) into the stage with every LF widened to CR LF, 16 bytes
// at a time while the text has 16 bytes left and the stage room for 18. Each
// group is stored whole; only the bytes before its first LF count. Returns
// where it stopped.
static const char* StageBulk(WriteStage* stage, const char* p, const char* end)
{
    char* out = stage->bytes + stage->used;
    char* outEnd = stage->bytes + WRITE_STAGE_SIZE;
    while (end - p >= 16 && outEnd - out >= 18) {
        int skip = FirstLfOf16(p);
        memcpy(out, p, 16);
        p += skip;
        out += skip;
        if (skip == 16)
            continue;
        out[0] = '\r';
        out[1] = '\n';
        out += 2;
        p++;
    }
    stage->used = static_cast<size_t>(out - stage->bytes);
    return p;
}

// Each LF goes out as CR LF, every other byte as it is, then the NUL.
int StoreFile_WriteRecord(const char* text, FILE* file)
{
    WriteStage stage;
    stage.file = file;
    stage.used = 0;
    stage.ok = true;
    const char* end = text + strlen(text);
    for (const char* p = text;;) {
        p = StageBulk(&stage, p, end);
        if (p == end)
            break;
        if (*p == '\n')
            StageByte(&stage, '\r');
        StageByte(&stage, *p++);
    }
    StageByte(&stage, 0);
    StageFlush(&stage);
    return stage.ok ? 1 : 0;
}

// The side file follows the store file it belongs to, and only a store file
// that was written: a side file ahead of its store file would only lose
// originals at the next start, never pair them wrongly, but there is no
// reason to risk even that.
//
// A side file that cannot be written counts as a failed save of its store
// file: the user hears of it under the store file's name.
static bool SaveSideFileOf(const char* const* headFirst, size_t count, const char* path, OriginalsSaved* saved)
{
    const char** stored = static_cast<const char**>(malloc(count * sizeof(char*) + 1));
    if (!stored)
        return false;
    for (size_t i = 0; i < count; i++)
        stored[i] = headFirst[count - 1 - i];
    bool ok = Originals_SaveBeside(path, stored, count, saved);
    free(stored);
    return ok;
}

static bool SaveSideFile(const PtrList* list, const char* path, OriginalsSaved* saved)
{
    const char** headFirst = static_cast<const char**>(malloc(static_cast<size_t>(list->count) * sizeof(char*) + 1));
    if (!headFirst)
        return false;
    size_t n = 0;
    for (const PtrListNode* node = list->head; node; node = node->next)
        headFirst[n++] = static_cast<const char*>(node->item);
    bool ok = SaveSideFileOf(headFirst, n, path, saved);
    free(headFirst);
    return ok;
}

static bool WriteList(const PtrList* list, FILE* file)
{
    for (const PtrListNode* node = list->tail; node; node = node->prev) {
        if (!StoreFile_WriteRecord(static_cast<const char*>(node->item), file))
            return false;
    }
    return true;
}

// Any failure (no temporary file, a write, the flush, the rename) removes the
// temporary file and leaves the old file as it was; the lists are only read.
// A rename refused while another program briefly holds the file is tried
// again; every outcome goes to the save report, which tells the user.
bool StoreFile_WritePath(AppData* data, int list, const char* path)
{
    PtrList* source = ListOf(data, list);
    if (!source)
        return true;
    FileReplacement replacement;
    bool ok = FileReplacement_Begin(&replacement, path) &&
              FileReplacement_Commit(&replacement, WriteList(source, replacement.file), !SaveReport_IsFailing(path));
    ok = ok && SaveSideFile(source, path, SideOf(data, list));
    SaveReport_Note(path, ok);
    return true;
}

bool StoreFile_SaveTexts(const char* const* texts, size_t count, const char* path, bool patient,
                         OriginalsSaved* side)
{
    FileReplacement replacement;
    if (!FileReplacement_Begin(&replacement, path))
        return false;
    bool written = true;
    for (size_t i = count; written && i-- > 0;)
        written = StoreFile_WriteRecord(texts[i], replacement.file) == 1;
    return FileReplacement_Commit(&replacement, written, patient) && SaveSideFileOf(texts, count, path, side);
}

bool StoreFile_Write(AppData* data, int list, const char* ext)
{
    char path[APP_FILE_PATH_SIZE];
    if (!GetAppFilePath(path, sizeof(path), ext))
        return true;
    return StoreFile_WritePath(data, list, path);
}
