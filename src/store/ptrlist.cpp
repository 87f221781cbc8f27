// PtrList: the doubly linked list behind the history and the registered texts.
// Freed nodes and headers are overwritten with a marker before release, so a
// dangling pointer into one reads as an obvious string in a debugger.
#include "store/ptrlist.h"

#include <stdint.h>
#include <stdlib.h>
#include <string.h>

// "こんな領域を指しちゃイカンにょ～"
const char PTRLIST_FREED_MARKER[] =
    "\x82\xb1\x82\xf1\x82\xc8\x97\xcc\x88\xe6\x82\xf0\x8e\x77\x82\xb5\x82\xbf\x82\xe1"
    "\x83\x43\x83\x4a\x83\x93\x82\xc9\x82\xe5\x81\x60";

static void ReleaseWithFree(void* block, size_t)
{
    free(block);
}

void (*PtrList_ReleaseMemory)(void* block, size_t size) = ReleaseWithFree;

static void* AllocateWithMalloc(size_t size)
{
    return malloc(size);
}

void* (*PtrList_AllocateMemory)(size_t size) = AllocateWithMalloc;

static PtrListNode* Poison()
{
    return reinterpret_cast<PtrListNode*>(const_cast<char*>(PTRLIST_FREED_MARKER));
}

static void FreeNode(PtrListNode* node)
{
    node->item = const_cast<char*>(PTRLIST_FREED_MARKER);
    node->prev = Poison();
    node->next = Poison();
    PtrList_ReleaseMemory(node, sizeof *node);
}

static void Unlink(PtrList* list, PtrListNode* node)
{
    list->count--;
    if (node->prev)
        node->prev->next = node->next;
    if (node->next)
        node->next->prev = node->prev;
    if (list->tail == node)
        list->tail = node->prev;
    if (list->head == node)
        list->head = node->next;
    node->prev = nullptr;
    node->next = nullptr;
}

PtrList* PtrList_New()
{
    PtrList* list = static_cast<PtrList*>(PtrList_AllocateMemory(sizeof(PtrList)));
    if (list)
        memset(list, 0, sizeof *list);
    return list;
}

bool PtrList_Delete(PtrList* list)
{
    if (!list)
        return true;
    list->count = static_cast<int>(0xDEADBEEFu);
    list->head = Poison();
    list->tail = Poison();
    PtrList_ReleaseMemory(list, sizeof *list);
    return true;
}

int PtrList_AddHead(PtrList* list, void* item)
{
    PtrListNode* node = static_cast<PtrListNode*>(PtrList_AllocateMemory(sizeof(PtrListNode)));
    if (!node)
        return -1;
    node->item = item;
    node->prev = nullptr;
    node->next = list->head;
    list->count++;
    list->head = node;
    if (!list->tail)
        list->tail = node;
    if (node->next)
        node->next->prev = node;
    return list->count;
}

int PtrList_GetCount(const PtrList* list)
{
    return list->count;
}

void* PtrList_GetAt(const PtrList* list, int index)
{
    if (index < 0 || index >= list->count)
        return nullptr;
    const PtrListNode* node = list->head;
    for (int i = 0; i < index; i++)
        node = node->next;
    return node->item;
}

void* PtrList_FindIf(const PtrList* list, bool fromHead, PtrListPredicate pred, void* context)
{
    if (fromHead) {
        int index = 0;
        for (const PtrListNode* node = list->head; node; node = node->next, index++) {
            if (pred(node->item, index, context))
                return node->item;
        }
    } else {
        int index = list->count - 1;
        for (const PtrListNode* node = list->tail; node; node = node->prev, index--) {
            if (pred(node->item, index, context))
                return node->item;
        }
    }
    return nullptr;
}

bool PtrList_RemoveIf(PtrList* list, PtrListPredicate pred, void* context)
{
    int index = 0;
    PtrListNode* node = list->head;
    while (node) {
        PtrListNode* next = node->next;
        if (pred(node->item, index, context)) {
            Unlink(list, node);
            FreeNode(node);
        } else {
            index++;
        }
        node = next;
    }
    return list->count == 0;
}

int PtrList_KeepIf(PtrList* list, bool fromHead, PtrListPredicate pred, void* context)
{
    if (fromHead) {
        int index = 0;
        PtrListNode* node = list->head;
        while (node) {
            PtrListNode* next = node->next;
            if (!pred(node->item, index, context)) {
                Unlink(list, node);
                FreeNode(node);
            } else {
                index++;
            }
            node = next;
        }
    } else {
        int index = list->count - 1;
        PtrListNode* node = list->tail;
        while (node) {
            PtrListNode* prev = node->prev;
            if (!pred(node->item, index, context)) {
                Unlink(list, node);
                FreeNode(node);
            }
            index--;
            node = prev;
        }
    }
    return list->count;
}
