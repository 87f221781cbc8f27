// PtrList: order, index reporting during removal walks, and the poisoning of
// freed nodes and headers.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "store/ptrlist.h"

namespace {

char A[] = "A", B[] = "B", C[] = "C", D[] = "D", E[] = "E";

PtrList* MakeList(std::initializer_list<char*> items)
{
    PtrList* list = PtrList_New();
    for (char* item : items)
        PtrList_AddHead(list, item);
    return list;
}

void CheckLinks(const PtrList* list)
{
    int n = 0;
    const PtrListNode* prev = nullptr;
    for (const PtrListNode* node = list->head; node; node = node->next) {
        EXPECT_EQ(node->prev, prev);
        prev = node;
        n++;
    }
    EXPECT_EQ(list->tail, prev);
    EXPECT_EQ(n, list->count);
}

void EmptyAndDelete(PtrList* list)
{
    PtrList_RemoveIf(list, [](void*, int, void*) { return true; }, nullptr);
    PtrList_Delete(list);
}

TEST(PtrList, AddHeadMakesTheNewestIndexZero)
{
    PtrList* list = PtrList_New();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(PtrList_AddHead(list, A), 1);
    EXPECT_EQ(list->head, list->tail);
    PtrList_AddHead(list, B);
    EXPECT_EQ(PtrList_AddHead(list, C), 3);
    EXPECT_EQ(PtrList_GetAt(list, 0), C);
    EXPECT_EQ(PtrList_GetAt(list, 1), B);
    EXPECT_EQ(PtrList_GetAt(list, 2), A);
    EXPECT_EQ(PtrList_GetAt(list, 3), nullptr);
    EXPECT_EQ(PtrList_GetAt(list, -1), nullptr);
    CheckLinks(list);
    EmptyAndDelete(list);

    PtrList* empty = PtrList_New();
    EXPECT_EQ(PtrList_GetAt(empty, 0), nullptr);
    PtrList_Delete(empty);
}

struct Seen {
    std::vector<int> indexes;
    int target;
};

TEST(PtrList, FindIfReportsHeadIndexesInBothDirections)
{
    PtrList* list = MakeList({A, B, C});  // C B A
    Seen seen{{}, -1};
    auto record = [](void*, int index, void* ctx) {
        static_cast<Seen*>(ctx)->indexes.push_back(index);
        return false;
    };
    EXPECT_EQ(PtrList_FindIf(list, true, record, &seen), nullptr);
    EXPECT_EQ(seen.indexes, (std::vector<int>{0, 1, 2}));
    seen.indexes.clear();
    PtrList_FindIf(list, false, record, &seen);
    EXPECT_EQ(seen.indexes, (std::vector<int>{2, 1, 0}));
    auto isB = [](void* item, int, void*) { return item == B; };
    EXPECT_EQ(PtrList_FindIf(list, false, isB, nullptr), B);
    EmptyAndDelete(list);
}

TEST(PtrList, RemoveIfDoesNotAdvanceTheIndexAfterARemoval)
{
    PtrList* list = MakeList({A, B, C});  // C B A
    Seen seen{{}, 0};
    auto removeIndexZero = [](void*, int index, void* ctx) {
        static_cast<Seen*>(ctx)->indexes.push_back(index);
        return index == 0 && static_cast<Seen*>(ctx)->indexes.size() == 1;
    };
    EXPECT_FALSE(PtrList_RemoveIf(list, removeIndexZero, &seen));
    EXPECT_EQ(seen.indexes, (std::vector<int>{0, 0, 1}));
    EXPECT_EQ(list->count, 2);
    EXPECT_EQ(PtrList_GetAt(list, 0), B);
    CheckLinks(list);

    auto all = [](void*, int, void*) { return true; };
    EXPECT_TRUE(PtrList_RemoveIf(list, all, nullptr));
    EXPECT_EQ(list->head, nullptr);
    EXPECT_EQ(list->tail, nullptr);
    PtrList_Delete(list);
}

TEST(PtrList, KeepIfFromTheTailCountsDownForEveryNode)
{
    PtrList* list = MakeList({E, D, C, B, A});  // A B C D E
    Seen seen{{}, 3};
    auto keepBelow = [](void*, int index, void* ctx) {
        Seen* s = static_cast<Seen*>(ctx);
        s->indexes.push_back(index);
        return index < s->target;
    };
    EXPECT_EQ(PtrList_KeepIf(list, false, keepBelow, &seen), 3);
    EXPECT_EQ(seen.indexes, (std::vector<int>{4, 3, 2, 1, 0}));
    EXPECT_EQ(PtrList_GetAt(list, 2), C);
    CheckLinks(list);
    EmptyAndDelete(list);
}

TEST(PtrList, KeepIfFromTheHeadRemovesOnFalse)
{
    PtrList* list = MakeList({E, D, C, B, A});  // A B C D E
    Seen seen{{}, 0};
    auto keepVowels = [](void* item, int index, void* ctx) {
        static_cast<Seen*>(ctx)->indexes.push_back(index);
        return item == A || item == E;
    };
    EXPECT_EQ(PtrList_KeepIf(list, true, keepVowels, &seen), 2);
    EXPECT_EQ(seen.indexes, (std::vector<int>{0, 1, 1, 1, 1}));
    EXPECT_EQ(PtrList_GetAt(list, 0), A);
    EXPECT_EQ(PtrList_GetAt(list, 1), E);
    CheckLinks(list);
    EmptyAndDelete(list);
}

std::vector<std::vector<unsigned char>> g_released;

void RecordRelease(void* block, size_t size)
{
    const unsigned char* bytes = static_cast<const unsigned char*>(block);
    g_released.emplace_back(bytes, bytes + size);
    free(block);
}

TEST(PtrList, FreedNodesAndDeletedHeadersHoldTheMarker)
{
    g_released.clear();
    void (*saved)(void*, size_t) = PtrList_ReleaseMemory;
    PtrList_ReleaseMemory = RecordRelease;

    PtrList* list = MakeList({A, B});
    auto removeA = [](void* item, int, void*) { return item == A; };
    PtrList_RemoveIf(list, removeA, nullptr);
    ASSERT_EQ(g_released.size(), 1u);
    PtrListNode node;
    memcpy(&node, g_released[0].data(), sizeof node);
    const void* marker = PTRLIST_FREED_MARKER;
    EXPECT_EQ(static_cast<const void*>(node.item), marker);
    EXPECT_EQ(static_cast<const void*>(node.prev), marker);
    EXPECT_EQ(static_cast<const void*>(node.next), marker);

    EmptyAndDelete(list);
    ASSERT_EQ(g_released.size(), 3u);
    PtrList header;
    memcpy(&header, g_released[2].data(), sizeof header);
    EXPECT_EQ(static_cast<unsigned>(header.count), 0xDEADBEEFu);
    EXPECT_EQ(static_cast<const void*>(header.head), marker);
    EXPECT_EQ(static_cast<const void*>(header.tail), marker);

    PtrList_ReleaseMemory = saved;
}

}  // namespace
