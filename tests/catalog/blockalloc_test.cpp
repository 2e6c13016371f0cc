#include "catalog/blockalloc.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "catalog_test_support.h"

using namespace catalog;
using catalog_test::HeapCall;
using catalog_test::TestHeap;

namespace {

size_t RoundUp(size_t size) {
    return (size + kPoolAlignment - 1) / kPoolAlignment * kPoolAlignment;
}

struct Pool {
    BlockAlloc pool;
    ~Pool() { ReleaseBlocks(&pool); }
};

}  // namespace

TEST(BlockAlloc, ConsecutiveRequestsArePackedAtTheAlignment) {
    Pool p;
    auto* a = static_cast<unsigned char*>(Alloc(&p.pool, 1));
    auto* b = static_cast<unsigned char*>(Alloc(&p.pool, 3));
    auto* c = static_cast<unsigned char*>(Alloc(&p.pool, 0));
    auto* d = static_cast<unsigned char*>(Alloc(&p.pool, kPoolAlignment));
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a, p.pool.head);  // the payload starts at the block's start
    EXPECT_EQ(b, a + kPoolAlignment);
    EXPECT_EQ(c, b + kPoolAlignment);
    EXPECT_EQ(d, c);  // an empty request takes no room
    EXPECT_EQ(p.pool.used, 3 * kPoolAlignment);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(a) % kPoolAlignment, 0u);
}

TEST(BlockAlloc, ExactFitIsServedFromTheBlockOneByteMoreOpensANewOne) {
    Pool p;
    unsigned char* first = static_cast<unsigned char*>(Alloc(&p.pool, 100));
    const size_t room = kBlockPayload - p.pool.used;

    unsigned char* fit = static_cast<unsigned char*>(Alloc(&p.pool, room));
    EXPECT_EQ(fit, first + RoundUp(100));
    EXPECT_EQ(p.pool.head, first);
    EXPECT_EQ(p.pool.used, kBlockPayload);

    Pool q;
    Alloc(&q.pool, 100);
    unsigned char* oldHead = q.pool.head;
    unsigned char* over = static_cast<unsigned char*>(Alloc(&q.pool, room + 1));
    ASSERT_NE(over, nullptr);
    EXPECT_NE(q.pool.head, oldHead);
    EXPECT_EQ(over, q.pool.head);
    EXPECT_EQ(q.pool.used, RoundUp(room + 1));
    // the rest of the old block is never handed out again
    unsigned char* next = static_cast<unsigned char*>(Alloc(&q.pool, 1));
    EXPECT_EQ(next, q.pool.head + RoundUp(room + 1));
}

TEST(BlockAlloc, AWholeBlockRequestAndALargerOne) {
    Pool p;
    EXPECT_EQ(Alloc(&p.pool, kBlockPayload), p.pool.head);
    EXPECT_EQ(p.pool.used, kBlockPayload);
    unsigned char* head = p.pool.head;
    EXPECT_EQ(Alloc(&p.pool, kBlockPayload + 1), nullptr);
    EXPECT_EQ(p.pool.head, head);
    EXPECT_EQ(p.pool.used, kBlockPayload);
}

TEST(BlockAlloc, ReleaseBlocksFreesEveryBlockAndThePoolWorksAgain) {
    TestHeap heap;
    BlockAlloc pool;
    for (int i = 0; i < 5; ++i) ASSERT_NE(Alloc(&pool, kBlockPayload / 2 + 1), nullptr);
    EXPECT_EQ(heap.live(), 5);
    ReleaseBlocks(&pool);
    EXPECT_EQ(pool.head, nullptr);
    EXPECT_EQ(heap.live(), 0);
    ReleaseBlocks(&pool);  // an empty pool is left as it is

    void* again = Alloc(&pool, 8);
    EXPECT_EQ(again, pool.head);
    EXPECT_EQ(pool.used, RoundUp(8));
    ReleaseBlocks(&pool);
    EXPECT_EQ(heap.live(), 0);
}

TEST(BlockAllocFailure, FirstBlockRefused) {
    TestHeap heap;
    BlockAlloc pool;
    heap.FailCall(HeapCall::Malloc, 1);
    testing::internal::CaptureStdout();
    EXPECT_EQ(Alloc(&pool, 16), nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "file:catalog/blockalloc.h, line:39, malloc failed !!!!!\n");
    EXPECT_EQ(pool.head, nullptr);
    EXPECT_NE(Alloc(&pool, 16), nullptr);  // the heap gives again
    ReleaseBlocks(&pool);
    EXPECT_EQ(heap.live(), 0);
}

TEST(BlockAllocFailure, LaterBlockRefusedLeavesThePoolUnchanged) {
    TestHeap heap;
    BlockAlloc pool;
    ASSERT_NE(Alloc(&pool, kBlockPayload - 64), nullptr);
    unsigned char* head = pool.head;
    const size_t used = pool.used;
    heap.FailCall(HeapCall::Malloc, 1);
    testing::internal::CaptureStdout();
    EXPECT_EQ(Alloc(&pool, 65), nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "file:catalog/blockalloc.h, line:53, malloc failed !!!!!\n");
    EXPECT_EQ(pool.head, head);
    EXPECT_EQ(pool.used, used);
    EXPECT_EQ(Alloc(&pool, 64), head + used);  // what is left still serves
    ReleaseBlocks(&pool);
    EXPECT_EQ(heap.live(), 0);
}
