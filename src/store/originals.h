// The side files of the store files: the Unicode originals of the texts that
// code page 932 cannot hold, beside the history (".hst.utf8") and the
// registered texts (".use.utf8"). The README describes the format.
#pragma once

#include <stddef.h>
#include <stdint.h>

// One original, tied to the store-file record it belongs to: the occurrence-th
// (from 0) of count records whose code-page-932 bytes have textLength and
// textHash (Originals_Hash).
struct OriginalsRecord {
    uint64_t occurrence;
    uint64_t count;
    uint64_t textLength;
    uint64_t textHash;
    const char* original;  // NUL-ended UTF-8 inside the table's bytes
    size_t originalLength;
    size_t position;       // order in the file
};

// A side file as read: the records that check out, sorted by their key.
struct OriginalsTable {
    char* bytes;
    OriginalsRecord* records;
    size_t count;
};

// The side file's name is the store file's with this added.
constexpr char ORIGINALS_SIDE_SUFFIX[] = ".utf8";

uint64_t Originals_Hash(const char* bytes, size_t length);

void Originals_Init(OriginalsTable* table);
void Originals_Free(OriginalsTable* table);
// Reads side-file bytes into an empty table. Records that are damaged, do not
// belong to any text or are not needed are left out; reading stops at the
// first record that cannot be parsed. false only when memory ran out (the
// table then stays empty).
bool Originals_Parse(OriginalsTable* table, const char* bytes, size_t size);
// The same from a file; a missing or unreadable file gives an empty table.
bool Originals_ReadPath(OriginalsTable* table, const char* path);

// originals[i] becomes the original of store record i, or null. texts holds
// the records of a store file in file order (as read, LF not CR LF).
void Originals_Match(const OriginalsTable* table, const char* const* texts, const size_t* lengths, size_t count,
                     const char** originals);

// The side file of a store file with these records (file order; originals[i]
// null when record i has none): a heap block in *bytes (the caller frees)
// and its size, or null and 0 when no record has an original. false when
// memory ran out.
bool Originals_Build(const char* const* texts, const size_t* lengths, const char* const* originals, size_t count,
                     char** bytes, size_t* size);
// What a side file held when it was last read or written, so that a save
// that would write the same records leaves it alone. Zeroed: not known.
struct OriginalsSaved {
    bool known;
    uint64_t signature;  // of its records' headers, which name each original by length and hash
};

// The side file of the store file at storePath gives its originals to the
// stored texts (ClipText blocks, file order, with their lengths) read from
// that store file: a block whose record has an original is replaced by one
// that holds it (or left as it was when memory runs out). saved may be null.
void Originals_LoadBeside(const char* storePath, char** stored, const size_t* lengths, size_t count,
                          OriginalsSaved* saved);
// Writes the side file of the store file at storePath for the stored texts
// (ClipText blocks, file order) unless saved says it holds those bytes
// already. false when it could not be written.
bool Originals_SaveBeside(const char* storePath, const char* const* stored, size_t count, OriginalsSaved* saved);

// Replaces the side file at path as the store files are replaced (a
// temporary file that reaches the disk first); size 0 removes it. false when
// the file could not be written (the old one then stays).
bool Originals_WritePath(const char* path, const char* bytes, size_t size);
