// PtrList: a doubly linked list of caller-owned item pointers, inserted at the head.
#pragma once

#include <stddef.h>

struct PtrListNode {
    void* item;
    PtrListNode* prev;
    PtrListNode* next;
};

struct PtrList {
    int count;
    PtrListNode* head;
    PtrListNode* tail;
};

typedef bool (*PtrListPredicate)(void* item, int index, void* context);

// Written over freed nodes and headers so that a stale pointer shows up at once.
extern const char PTRLIST_FREED_MARKER[];

// Releases the memory of a node or header after it was poisoned; tests swap
// it to look at a block just before it goes.
extern void (*PtrList_ReleaseMemory)(void* block, size_t size);
// Gets the memory of a node or header (malloc); tests swap it to make an
// allocation fail.
extern void* (*PtrList_AllocateMemory)(size_t size);

PtrList* PtrList_New();
bool PtrList_Delete(PtrList* list);
int PtrList_AddHead(PtrList* list, void* item);
int PtrList_GetCount(const PtrList* list);
void* PtrList_GetAt(const PtrList* list, int index);
void* PtrList_FindIf(const PtrList* list, bool fromHead, PtrListPredicate pred, void* context);
bool PtrList_RemoveIf(PtrList* list, PtrListPredicate pred, void* context);
int PtrList_KeepIf(PtrList* list, bool fromHead, PtrListPredicate pred, void* context);
