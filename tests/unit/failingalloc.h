// Allocation failures injected through the seams of the clip store's lists
// (PtrList_AllocateMemory) and text copies (MemDup_AllocateMemory): while a
// FailingAllocations lives, the allocation numbered failAt (counted from 0
// over both seams) answers null and every other one is a plain malloc.
#pragma once

#include <stdlib.h>

#include "store/ptrlist.h"
#include "text/text.h"

struct FailingAllocations {
    static int& FailAt()
    {
        static int failAt = -1;
        return failAt;
    }
    static int& Seen()
    {
        static int seen = 0;
        return seen;
    }
    static void* Allocate(size_t size)
    {
        if (Seen()++ == FailAt())
            return nullptr;
        return malloc(size);
    }

    void* (*savedList)(size_t);
    void* (*savedText)(size_t);

    explicit FailingAllocations(int failAt)
    {
        FailAt() = failAt;
        Seen() = 0;
        savedList = PtrList_AllocateMemory;
        savedText = MemDup_AllocateMemory;
        PtrList_AllocateMemory = Allocate;
        MemDup_AllocateMemory = Allocate;
    }
    ~FailingAllocations()
    {
        PtrList_AllocateMemory = savedList;
        MemDup_AllocateMemory = savedText;
        FailAt() = -1;
    }
    // Whether the failure was met: the operation asked for that many allocations.
    bool Met() const { return Seen() > FailAt(); }
};
