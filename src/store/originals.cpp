// The side files of the store files. The ".hst" and ".use" files stay what
// they always were, code-page-932 records that older builds and hand edits
// read as before; the originals of the texts that code page 932 cannot hold
// go beside them, in "<store file>.utf8":
//
//     Tamarin originals 1 LF
//     @ <occurrence> <count> <text length> <text hash> <original length> <original hash> LF
//     <original: UTF-8 bytes> LF
//     ... one such record per text that has an original
//
// Numbers are decimal, hashes 16 lower-case hex digits of the 64-bit FNV-1a
// hash. A record belongs to the occurrence-th (from 0, in file order) of the
// count store records whose code-page-932 bytes have that length and hash,
// and an original is given to a record only when it turns into exactly that
// record's bytes through code page 932. So an entry that a hand edit removed,
// changed or duplicated simply loses its original, an entry left alone keeps
// it, and a text is never paired with the original of another text. A missing
// side file, a damaged one or one of another version gives no originals; a
// damaged record gives none for its entry.
#include "store/originals.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "store/cliptext.h"
#include "settings/filereplace.h"
#include "text/cp932.h"
#include "text/utf.h"


static const char MAGIC[] = "Tamarin originals 1\n";

enum {
    HASH_DIGITS = 16,
    DECIMAL_DIGITS_MAX = 19,  // every such number fits in 64 bits
};

static const uint64_t FNV_OFFSET = 0xCBF29CE484222325ull;
static const uint64_t FNV_PRIME = 0x100000001B3ull;

static uint64_t HashBytes(uint64_t h, const char* bytes, size_t length)
{
    for (size_t i = 0; i < length; i++)
        h = (h ^ static_cast<unsigned char>(bytes[i])) * FNV_PRIME;
    return h;
}

uint64_t Originals_Hash(const char* bytes, size_t length)
{
    return HashBytes(FNV_OFFSET, bytes, length);
}

// Length and hash of the code-page-932 form of a UTF-8 original, without
// building it.
static void HashCp932Form(const char* original, size_t length, uint64_t* formLength, uint64_t* formHash)
{
    uint64_t h = FNV_OFFSET;
    uint64_t n = 0;
    for (size_t i = 0; i < length;) {
        size_t used;
        uint32_t cp = Utf_DecodeUtf8(original + i, length - i, &used);
        i += used;
        char bytes[2];
        size_t k = Cp932_EncodeCharOrMissing(cp, bytes);
        h = HashBytes(h, bytes, k);
        n += k;
    }
    *formLength = n;
    *formHash = h;
}

// Whether the code-page-932 form of original is exactly text.
static bool IsCp932FormOf(const char* original, size_t originalLength, const char* text, size_t textLength)
{
    size_t t = 0;
    for (size_t i = 0; i < originalLength;) {
        size_t used;
        uint32_t cp = Utf_DecodeUtf8(original + i, originalLength - i, &used);
        i += used;
        char bytes[2];
        size_t k = Cp932_EncodeCharOrMissing(cp, bytes);
        if (textLength - t < k || memcmp(text + t, bytes, k) != 0)
            return false;
        t += k;
    }
    return t == textLength;
}

// ---------------------------------------------------------------------------
// Keys: which store record an original belongs to

struct RecordKey {
    uint64_t textLength;
    uint64_t textHash;
    uint64_t occurrence;
    uint64_t count;
};

static int CompareU64(uint64_t a, uint64_t b)
{
    return a < b ? -1 : a > b ? 1 : 0;
}

static int CompareKeys(const RecordKey* a, const RecordKey* b)
{
    int c = CompareU64(a->textLength, b->textLength);
    if (!c)
        c = CompareU64(a->textHash, b->textHash);
    if (!c)
        c = CompareU64(a->occurrence, b->occurrence);
    if (!c)
        c = CompareU64(a->count, b->count);
    return c;
}

static RecordKey KeyOf(const OriginalsRecord* r)
{
    RecordKey key = {r->textLength, r->textHash, r->occurrence, r->count};
    return key;
}

static int CompareRecords(const void* a, const void* b)
{
    const OriginalsRecord* ra = static_cast<const OriginalsRecord*>(a);
    const OriginalsRecord* rb = static_cast<const OriginalsRecord*>(b);
    RecordKey ka = KeyOf(ra);
    RecordKey kb = KeyOf(rb);
    int c = CompareKeys(&ka, &kb);
    return c ? c : CompareU64(ra->position, rb->position);
}

// A store record as the side file sees it: its text, its original (null:
// none), and the hashes of both when the clip store already knows them.
struct Entry {
    const char* text;
    size_t length;
    const char* original;
    size_t originalLength;
    bool hashed;
    uint64_t textHash;
    uint64_t originalHash;
};

// A store record whose bytes have a length that some original's text has.
struct Candidate {
    size_t index;
    uint64_t length;
    uint64_t hash;
    uint64_t occurrence;
    uint64_t count;
};

static int CompareCandidates(const void* a, const void* b)
{
    const Candidate* ca = static_cast<const Candidate*>(a);
    const Candidate* cb = static_cast<const Candidate*>(b);
    int c = CompareU64(ca->length, cb->length);
    if (!c)
        c = CompareU64(ca->hash, cb->hash);
    return c ? c : CompareU64(ca->index, cb->index);
}

static int CompareLengths(const void* a, const void* b)
{
    return CompareU64(*static_cast<const uint64_t*>(a), *static_cast<const uint64_t*>(b));
}

static bool HasLength(const uint64_t* lengths, size_t count, uint64_t length)
{
    return bsearch(&length, lengths, count, sizeof(uint64_t), CompareLengths) != nullptr;
}

// The store records that could have an original (their length is among
// wanted, a sorted array), with their occurrence among the records of equal
// bytes and the number of those. Only these records are hashed, and only
// when the store does not know the hash yet, so a long history whose texts
// all fit code page 932 costs one length test per record. null when memory
// ran out.
static Candidate* FindCandidates(const Entry* entries, size_t count, const uint64_t* wanted, size_t wantedCount,
                                 size_t* candidateCount)
{
    *candidateCount = 0;
    Candidate* candidates = static_cast<Candidate*>(malloc((count ? count : 1) * sizeof(Candidate)));
    if (!candidates)
        return nullptr;
    size_t n = 0;
    for (size_t i = 0; i < count; i++) {
        const Entry* e = &entries[i];
        if (!HasLength(wanted, wantedCount, e->length))
            continue;
        Candidate c = {i, e->length, e->hashed ? e->textHash : Originals_Hash(e->text, e->length), 0, 0};
        candidates[n++] = c;
    }
    qsort(candidates, n, sizeof(Candidate), CompareCandidates);
    for (size_t first = 0; first < n;) {
        size_t last = first + 1;
        while (last < n && candidates[last].length == candidates[first].length &&
               candidates[last].hash == candidates[first].hash)
            last++;
        for (size_t k = first; k < last; k++) {
            candidates[k].occurrence = k - first;
            candidates[k].count = last - first;
        }
        first = last;
    }
    *candidateCount = n;
    return candidates;
}

// Sorted, without repeats.
static size_t SortUnique(uint64_t* values, size_t count)
{
    qsort(values, count, sizeof(uint64_t), CompareLengths);
    size_t n = 0;
    for (size_t i = 0; i < count; i++) {
        if (n == 0 || values[n - 1] != values[i])
            values[n++] = values[i];
    }
    return n;
}

// ---------------------------------------------------------------------------
// Reading

void Originals_Init(OriginalsTable* table)
{
    table->bytes = nullptr;
    table->records = nullptr;
    table->count = 0;
}

void Originals_Free(OriginalsTable* table)
{
    free(table->bytes);
    free(table->records);
    Originals_Init(table);
}

struct Cursor {
    char* p;
    char* end;
};

static bool Expect(Cursor* c, char ch)
{
    if (c->p == c->end || *c->p != ch)
        return false;
    c->p++;
    return true;
}

static bool ReadDecimal(Cursor* c, uint64_t* value)
{
    uint64_t v = 0;
    int digits = 0;
    while (c->p < c->end && *c->p >= '0' && *c->p <= '9') {
        if (++digits > DECIMAL_DIGITS_MAX)
            return false;
        v = v * 10 + static_cast<uint64_t>(*c->p - '0');
        c->p++;
    }
    *value = v;
    return digits > 0;
}

static bool ReadHash(Cursor* c, uint64_t* value)
{
    if (c->end - c->p < HASH_DIGITS)
        return false;
    uint64_t v = 0;
    for (int i = 0; i < HASH_DIGITS; i++) {
        char ch = *c->p++;
        int digit = ch >= '0' && ch <= '9' ? ch - '0' : ch >= 'a' && ch <= 'f' ? ch - 'a' + 10 : -1;
        if (digit < 0)
            return false;
        v = v << 4 | static_cast<uint64_t>(digit);
    }
    *value = v;
    return true;
}

// One record's header and original; false when the bytes do not have the
// record's form (reading stops there).
static bool ReadRecord(Cursor* c, OriginalsRecord* r, uint64_t* originalHash)
{
    uint64_t originalLength;
    bool ok = Expect(c, '@') && Expect(c, ' ') && ReadDecimal(c, &r->occurrence) && Expect(c, ' ') &&
              ReadDecimal(c, &r->count) && Expect(c, ' ') && ReadDecimal(c, &r->textLength) && Expect(c, ' ') &&
              ReadHash(c, &r->textHash) && Expect(c, ' ') && ReadDecimal(c, &originalLength) && Expect(c, ' ') &&
              ReadHash(c, originalHash) && Expect(c, '\n');
    if (!ok || originalLength >= static_cast<uint64_t>(c->end - c->p))
        return false;
    char* original = c->p;
    c->p += originalLength;
    if (*c->p != '\n')
        return false;
    *c->p++ = 0;  // the original becomes a string in place
    r->original = original;
    r->originalLength = static_cast<size_t>(originalLength);
    return true;
}

// Whether a record read whole is one that can belong to a text.
static bool ChecksOut(const OriginalsRecord* r, uint64_t originalHash)
{
    if (r->count == 0 || r->occurrence >= r->count || r->originalLength == 0)
        return false;
    if (Originals_Hash(r->original, r->originalLength) != originalHash)
        return false;
    if (!Utf_IsCanonicalUtf8(r->original, r->originalLength) || Cp932_FitsUtf8(r->original, r->originalLength))
        return false;
    uint64_t formLength, formHash;
    HashCp932Form(r->original, r->originalLength, &formLength, &formHash);
    return formLength == r->textLength && formHash == r->textHash;
}

bool Originals_Parse(OriginalsTable* table, const char* bytes, size_t size)
{
    Originals_Init(table);
    size_t magicLength = sizeof(MAGIC) - 1;
    if (size < magicLength || memcmp(bytes, MAGIC, magicLength) != 0)
        return true;
    // Each record takes more than 40 bytes, which bounds the record count.
    size_t capacity = size / 40 + 1;
    table->bytes = static_cast<char*>(malloc(size));
    table->records = static_cast<OriginalsRecord*>(malloc(capacity * sizeof(OriginalsRecord)));
    if (!table->bytes || !table->records) {
        Originals_Free(table);
        return false;
    }
    memcpy(table->bytes, bytes, size);
    Cursor c = {table->bytes + magicLength, table->bytes + size};
    size_t n = 0;
    while (c.p < c.end && n < capacity) {
        OriginalsRecord r;
        uint64_t originalHash;
        if (!ReadRecord(&c, &r, &originalHash))
            break;
        r.position = n;
        if (ChecksOut(&r, originalHash))
            table->records[n++] = r;
    }
    table->count = n;
    qsort(table->records, n, sizeof(OriginalsRecord), CompareRecords);
    return true;
}

// The whole file in a heap block; a missing file is an empty block and
// *exists false. false when it could not be read.
static bool ReadFileBytes(const char* path, char** bytes, size_t* size, bool* exists)
{
    *bytes = nullptr;
    *size = 0;
    FILE* file = fopen(path, "rb");
    *exists = file != nullptr;
    if (!file)
        return true;
    size_t capacity = 0;
    bool ok = true;
    for (;;) {
        if (*size == capacity) {
            size_t grown = capacity ? capacity * 2 : 65536;
            char* more = static_cast<char*>(realloc(*bytes, grown));
            if (!more) {
                ok = false;
                break;
            }
            *bytes = more;
            capacity = grown;
        }
        size_t got = fread(*bytes + *size, 1, capacity - *size, file);
        *size += got;
        if (got == 0)
            break;
    }
    if (ferror(file))
        ok = false;
    fclose(file);
    if (!ok) {
        free(*bytes);
        *bytes = nullptr;
        *size = 0;
    }
    return ok;
}

bool Originals_ReadPath(OriginalsTable* table, const char* path)
{
    Originals_Init(table);
    char* bytes;
    size_t size;
    bool exists;
    if (!ReadFileBytes(path, &bytes, &size, &exists))
        return false;
    bool ok = Originals_Parse(table, bytes, size);
    free(bytes);
    return ok;
}

// ---------------------------------------------------------------------------
// Pairing originals with the records of a store file

static const OriginalsRecord* FindRecord(const OriginalsTable* table, const RecordKey* key)
{
    size_t lo = 0;
    size_t hi = table->count;
    while (lo < hi) {  // the first record not below key
        size_t mid = (lo + hi) / 2;
        RecordKey k = KeyOf(&table->records[mid]);
        if (CompareKeys(&k, key) < 0)
            lo = mid + 1;
        else
            hi = mid;
    }
    if (lo == table->count)
        return nullptr;
    RecordKey k = KeyOf(&table->records[lo]);
    return CompareKeys(&k, key) == 0 ? &table->records[lo] : nullptr;
}

// Entries of plain texts, with nothing known of them yet.
static Entry* EntriesOf(const char* const* texts, const size_t* lengths, size_t count)
{
    Entry* entries = static_cast<Entry*>(malloc((count ? count : 1) * sizeof(Entry)));
    if (!entries)
        return nullptr;
    for (size_t i = 0; i < count; i++) {
        Entry e = {texts[i], lengths[i], nullptr, 0, false, 0, 0};
        entries[i] = e;
    }
    return entries;
}

void Originals_Match(const OriginalsTable* table, const char* const* texts, const size_t* lengths, size_t count,
                     const char** originals)
{
    for (size_t i = 0; i < count; i++)
        originals[i] = nullptr;
    if (table->count == 0 || count == 0)
        return;
    uint64_t* wanted = static_cast<uint64_t*>(malloc(table->count * sizeof(uint64_t)));
    Entry* entries = EntriesOf(texts, lengths, count);
    if (!wanted || !entries) {
        free(wanted);
        free(entries);
        return;
    }
    for (size_t i = 0; i < table->count; i++)
        wanted[i] = table->records[i].textLength;
    size_t wantedCount = SortUnique(wanted, table->count);
    size_t candidateCount;
    Candidate* candidates = FindCandidates(entries, count, wanted, wantedCount, &candidateCount);
    free(wanted);
    free(entries);
    if (!candidates)
        return;
    for (size_t k = 0; k < candidateCount; k++) {
        const Candidate* c = &candidates[k];
        RecordKey key = {c->length, c->hash, c->occurrence, c->count};
        const OriginalsRecord* r = FindRecord(table, &key);
        if (r && IsCp932FormOf(r->original, r->originalLength, texts[c->index], lengths[c->index]))
            originals[c->index] = r->original;
    }
    free(candidates);
}

// ---------------------------------------------------------------------------
// Writing

struct ByteBuffer {
    char* bytes;
    size_t size;
    size_t capacity;
    bool ok;
};

static void Append(ByteBuffer* b, const char* bytes, size_t length)
{
    if (!b->ok)
        return;
    if (b->capacity - b->size < length) {
        size_t grown = b->capacity ? b->capacity : 256;
        while (grown - b->size < length)
            grown *= 2;
        char* more = static_cast<char*>(realloc(b->bytes, grown));
        if (!more) {
            b->ok = false;
            return;
        }
        b->bytes = more;
        b->capacity = grown;
    }
    memcpy(b->bytes + b->size, bytes, length);
    b->size += length;
}

static int CompareCandidateIndexes(const void* a, const void* b)
{
    return CompareU64(static_cast<const Candidate*>(a)->index, static_cast<const Candidate*>(b)->index);
}

// The records a side file for these entries holds: one per entry with an
// original, in file order, each with its occurrence and count and with the
// hashes filled in. false when memory ran out.
static bool PlanRecords(Entry* entries, size_t count, Candidate** records, size_t* recordCount)
{
    *records = nullptr;
    *recordCount = 0;
    size_t withOriginal = 0;
    for (size_t i = 0; i < count; i++) {
        if (entries[i].original)
            withOriginal++;
    }
    if (withOriginal == 0)
        return true;
    uint64_t* wanted = static_cast<uint64_t*>(malloc(withOriginal * sizeof(uint64_t)));
    if (!wanted)
        return false;
    size_t w = 0;
    for (size_t i = 0; i < count; i++) {
        if (entries[i].original)
            wanted[w++] = entries[i].length;
    }
    size_t wantedCount = SortUnique(wanted, w);
    size_t candidateCount;
    Candidate* candidates = FindCandidates(entries, count, wanted, wantedCount, &candidateCount);
    free(wanted);
    if (!candidates)
        return false;
    qsort(candidates, candidateCount, sizeof(Candidate), CompareCandidateIndexes);  // back to file order
    size_t n = 0;
    for (size_t k = 0; k < candidateCount; k++) {
        Entry* e = &entries[candidates[k].index];
        if (!e->original)
            continue;
        if (!e->hashed) {
            e->textHash = candidates[k].hash;
            e->originalHash = Originals_Hash(e->original, e->originalLength);
            e->hashed = true;
        }
        candidates[n++] = candidates[k];
    }
    *records = candidates;
    *recordCount = n;
    return true;
}

// What a side file of these records holds, in 64 bits: the record headers,
// which name each original by its length and hash. A save whose signature is
// the one of the side file on disk leaves the file alone.
static uint64_t SignatureOf(const Entry* entries, const Candidate* records, size_t recordCount)
{
    uint64_t h = FNV_OFFSET;
    for (size_t k = 0; k < recordCount; k++) {
        const Candidate* c = &records[k];
        const Entry* e = &entries[c->index];
        const uint64_t fields[6] = {c->occurrence, c->count, c->length, e->textHash, e->originalLength,
                                    e->originalHash};
        h = HashBytes(h, reinterpret_cast<const char*>(fields), sizeof fields);
    }
    return h;
}

static void AppendRecordHeader(ByteBuffer* b, const Candidate* c, const Entry* e)
{
    char line[160];
    int n = snprintf(line, sizeof(line), "@ %llu %llu %llu %016llx %llu %016llx\n",
                     static_cast<unsigned long long>(c->occurrence), static_cast<unsigned long long>(c->count),
                     static_cast<unsigned long long>(c->length), static_cast<unsigned long long>(e->textHash),
                     static_cast<unsigned long long>(e->originalLength),
                     static_cast<unsigned long long>(e->originalHash));
    Append(b, line, static_cast<size_t>(n));
}

static bool Serialize(const Entry* entries, const Candidate* records, size_t recordCount, char** bytes, size_t* size)
{
    *bytes = nullptr;
    *size = 0;
    if (recordCount == 0)
        return true;
    ByteBuffer b = {nullptr, 0, 0, true};
    Append(&b, MAGIC, sizeof(MAGIC) - 1);
    for (size_t k = 0; k < recordCount; k++) {
        const Entry* e = &entries[records[k].index];
        AppendRecordHeader(&b, &records[k], e);
        Append(&b, e->original, e->originalLength);
        Append(&b, "\n", 1);
    }
    if (!b.ok) {
        free(b.bytes);
        return false;
    }
    *bytes = b.bytes;
    *size = b.size;
    return true;
}

bool Originals_Build(const char* const* texts, const size_t* lengths, const char* const* originals, size_t count,
                     char** bytes, size_t* size)
{
    *bytes = nullptr;
    *size = 0;
    Entry* entries = EntriesOf(texts, lengths, count);
    if (!entries)
        return false;
    for (size_t i = 0; i < count; i++) {
        entries[i].original = originals[i];
        entries[i].originalLength = originals[i] ? strlen(originals[i]) : 0;
    }
    Candidate* records;
    size_t recordCount;
    bool ok = PlanRecords(entries, count, &records, &recordCount) &&
              Serialize(entries, records, recordCount, bytes, size);
    free(records);
    free(entries);
    return ok;
}

bool Originals_WritePath(const char* path, const char* bytes, size_t size)
{
    if (size == 0) {
        FILE* existing = fopen(path, "rb");
        if (!existing)
            return true;
        fclose(existing);
        return remove(path) == 0;
    }
    FileReplacement replacement;
    if (!FileReplacement_Begin(&replacement, path))
        return false;
    return FileReplacement_Commit(&replacement, fwrite(bytes, 1, size, replacement.file) == size, true);
}

// ---------------------------------------------------------------------------
// The side file beside a store file

static char* SidePathOf(const char* storePath)
{
    size_t length = strlen(storePath);
    char* path = static_cast<char*>(malloc(length + sizeof(ORIGINALS_SIDE_SUFFIX)));
    if (!path)
        return nullptr;
    memcpy(path, storePath, length);
    memcpy(path + length, ORIGINALS_SIDE_SUFFIX, sizeof(ORIGINALS_SIDE_SUFFIX));
    return path;
}

// Entries of stored texts (ClipText blocks), with the hashes their blocks
// keep. null when memory ran out.
static Entry* EntriesOfStored(const char* const* stored, size_t count)
{
    Entry* entries = static_cast<Entry*>(malloc((count ? count : 1) * sizeof(Entry)));
    if (!entries)
        return nullptr;
    for (size_t i = 0; i < count; i++) {
        Entry e = {stored[i], strlen(stored[i]), nullptr, 0, false, 0, 0};
        const char* original = stored[i] + e.length + 1;
        if (*original) {
            e.original = original;
            e.originalLength = strlen(original);
            e.hashed = ClipText_Hashes(stored[i], e.length, &e.textHash, &e.originalHash);
        }
        entries[i] = e;
    }
    return entries;
}

// The signature of what a side file for the stored texts would hold.
static bool StoredSignature(const char* const* stored, size_t count, uint64_t* signature)
{
    Entry* entries = EntriesOfStored(stored, count);
    if (!entries)
        return false;
    Candidate* records;
    size_t recordCount;
    bool ok = PlanRecords(entries, count, &records, &recordCount);
    if (ok)
        *signature = SignatureOf(entries, records, recordCount);
    free(records);
    free(entries);
    return ok;
}

static void Remember(OriginalsSaved* saved, bool known, uint64_t signature)
{
    if (!saved)
        return;
    saved->known = known;
    saved->signature = signature;
}

static size_t GiveOriginals(char** stored, const size_t* lengths, size_t count, const OriginalsTable* table)
{
    const char** originals = static_cast<const char**>(malloc(count * sizeof(const char*) + 1));
    if (!originals)
        return 0;
    size_t given = 0;
    Originals_Match(table, stored, lengths, count, originals);
    for (size_t i = 0; i < count; i++) {
        if (!originals[i])
            continue;
        char* block = ClipText_New(stored[i], lengths[i], originals[i], strlen(originals[i]));
        if (!block)
            continue;
        free(stored[i]);
        stored[i] = block;
        given++;
    }
    free(originals);
    return given;
}

// What the side file gave is remembered as what it holds, so the first save
// after a start rewrites it only when something changed; a side file that
// gave nothing is left to that save to remove, and a missing one stays
// missing for a store without originals.
void Originals_LoadBeside(const char* storePath, char** stored, const size_t* lengths, size_t count,
                          OriginalsSaved* saved)
{
    Remember(saved, false, 0);
    char* sidePath = SidePathOf(storePath);
    if (!sidePath)
        return;
    char* bytes;
    size_t size;
    bool exists;
    bool read = ReadFileBytes(sidePath, &bytes, &size, &exists);
    free(sidePath);
    if (!read)
        return;
    OriginalsTable table;
    bool parsed = Originals_Parse(&table, bytes, size);
    free(bytes);
    if (!parsed)
        return;
    size_t given = table.count > 0 ? GiveOriginals(stored, lengths, count, &table) : 0;
    Originals_Free(&table);
    // Without a side file no text has an original: the signature of no records.
    uint64_t signature = SignatureOf(nullptr, nullptr, 0);
    if (!exists || (given > 0 && StoredSignature(stored, count, &signature)))
        Remember(saved, true, signature);
}

bool Originals_SaveBeside(const char* storePath, const char* const* stored, size_t count, OriginalsSaved* saved)
{
    Entry* entries = EntriesOfStored(stored, count);
    if (!entries)
        return false;
    Candidate* records;
    size_t recordCount;
    if (!PlanRecords(entries, count, &records, &recordCount)) {
        free(entries);
        return false;
    }
    uint64_t signature = SignatureOf(entries, records, recordCount);
    bool ok = true;
    if (!saved || !saved->known || saved->signature != signature) {
        char* bytes;
        size_t size;
        char* sidePath = SidePathOf(storePath);
        ok = sidePath && Serialize(entries, records, recordCount, &bytes, &size);
        if (ok) {
            ok = Originals_WritePath(sidePath, bytes, size);
            free(bytes);
        }
        free(sidePath);
        Remember(saved, ok, signature);
    }
    free(records);
    free(entries);
    return ok;
}
