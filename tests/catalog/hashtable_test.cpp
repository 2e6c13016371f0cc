#include "catalog/hashtable.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "catalog_test_support.h"

using namespace catalog;
using catalog_test::HeapCall;
using catalog_test::TestHeap;

namespace {

// A created table that frees itself the way an owner does.
struct Table {
    ChainedHashTable t;
    explicit Table(uint32_t requestedSize) { EXPECT_EQ(Create(&t, requestedSize), 0); }
    ~Table() {
        if (t.buckets) {
            Clear(&t, nullptr);
            HeapFree(t.buckets);
        }
    }
    int32_t Put(const std::string& key, void* value = nullptr) {
        return Insert(&t, key.data(), static_cast<uint32_t>(key.size()), value);
    }
    int32_t Get(const std::string& key, void** value) const {
        return Find(&t, key.data(), static_cast<uint32_t>(key.size()), value);
    }
};

std::vector<std::string> KeysOldestFirst(const ChainedHashTable& t) {
    std::vector<std::string> keys;
    for (const HashNode* n = t.oldest; n; n = n->newer) {
        keys.emplace_back(reinterpret_cast<const char*>(NodeKey(n)), n->keyLength);
    }
    return keys;
}

// Every node on the chain of its hash, chains newest first, the list linked
// both ways and nodeCount long.
void ExpectSound(const ChainedHashTable& t) {
    uint32_t onChains = 0;
    for (uint32_t b = 0; b < t.bucketCount; ++b) {
        const HashNode* prev = nullptr;
        for (const HashNode* n = t.buckets[b]; n; n = n->chainNext) {
            EXPECT_EQ(n->hash % t.bucketCount, b);
            EXPECT_EQ(n->chainPrev, prev);
            if (prev) {
                // newer nodes stand first: prev must come later in the list
                bool prevIsNewer = false;
                for (const HashNode* m = n->newer; m; m = m->newer) prevIsNewer |= (m == prev);
                EXPECT_TRUE(prevIsNewer);
            }
            prev = n;
            ++onChains;
        }
    }
    EXPECT_EQ(onChains, t.nodeCount);
    uint32_t listed = 0;
    const HashNode* older = nullptr;
    for (const HashNode* n = t.oldest; n; n = n->newer) {
        EXPECT_EQ(n->older, older);
        older = n;
        ++listed;
    }
    EXPECT_EQ(older, t.newest);
    EXPECT_EQ(listed, t.nodeCount);
}

}  // namespace

TEST(HashPrimes, AscendingAndEndingBelowTheLargestInt) {
    for (int i = 1; i < kHashPrimeCount; ++i) EXPECT_LT(HashPrimes[i - 1], HashPrimes[i]);
    EXPECT_EQ(HashPrimes[0], 5u);
    EXPECT_EQ(HashPrimes[kHashPrimeCount - 1], 2147483399u);
}

TEST(HashKey, ElfHashOfSignedBytes) {
    EXPECT_EQ(HashKey("abc", 3), 0x6783u);
    EXPECT_EQ(HashKey("", 0), 0u);
    EXPECT_EQ(HashKey(nullptr, 0), 0u);
    const unsigned char gbk[] = {0xB0, 0xA1};
    EXPECT_EQ(HashKey(gbk, 2), 0x0FFFF351u);  // an unsigned reading gives 0xBA1
}

TEST(HashKey, FoldsTheTopBitsOfLongKeys) {
    // Eight 'a's push bits into the top nibble; the fold must keep the hash
    // below 2^28 whatever the length.
    const std::string key(200, 'a');
    for (size_t n = 0; n <= key.size(); ++n) {
        EXPECT_EQ(HashKey(key.data(), static_cast<uint32_t>(n)) & 0xF0000000u, 0u) << n;
    }
}

TEST(ChainedHashTable, CreateTakesTheFirstPrimeAtLeastTheRequest) {
    const struct { uint32_t requested, buckets; int32_t index; } cases[] = {
        {0, 5, 0}, {1, 5, 0}, {5, 5, 0}, {6, 11, 1}, {10, 11, 1}, {11, 11, 1},
        {12, 19, 2}, {50, 53, 3}, {53, 53, 3}, {54, 107, 4}, {1000, 1979, 8},
    };
    for (const auto& c : cases) {
        Table table(c.requested);
        EXPECT_EQ(table.t.bucketCount, c.buckets) << c.requested;
        EXPECT_EQ(table.t.primeIndex, c.index) << c.requested;
        EXPECT_EQ(table.t.nodeCount, 0u);
        EXPECT_EQ(table.t.hashFn, &HashKey);
        EXPECT_EQ(table.t.pool, nullptr);
        EXPECT_EQ(table.t.duplicateFilter, nullptr);
        for (uint32_t b = 0; b < table.t.bucketCount; ++b) EXPECT_EQ(table.t.buckets[b], nullptr);
    }
}

TEST(ChainedHashTable, RequestsBeyondTheLastPrimeAreCapped) {
    // The array itself would not fit; the heap is asked for the capped count
    // and refuses, which leaves the table not created.
    for (uint32_t requested : {1073741622u, 2147483399u, 2147483400u, 0xFFFFFFFFu}) {
        TestHeap heap;
        heap.FailAll(HeapCall::Calloc);
        ChainedHashTable t;
        EXPECT_EQ(Create(&t, requested), -1);
        EXPECT_EQ(heap.lastCallocCount(), 2147483399u) << requested;
        EXPECT_EQ(t.buckets, nullptr);
        EXPECT_EQ(Insert(&t, "a", 1, nullptr), -137);
    }
}

TEST(ChainedHashTable, GrowsWhenNodesOutnumberBuckets) {
    Table table(10);
    std::vector<uint32_t> bucketsAfter;  // bucket count after the n-th key
    for (int i = 1; i <= 60; ++i) {
        ASSERT_EQ(table.Put("key" + std::to_string(i)), 0);
        bucketsAfter.push_back(table.t.bucketCount);
    }
    EXPECT_EQ(bucketsAfter[10], 11u);   // 11th
    EXPECT_EQ(bucketsAfter[11], 19u);   // 12th
    EXPECT_EQ(bucketsAfter[18], 19u);   // 19th
    EXPECT_EQ(bucketsAfter[19], 53u);   // 20th
    EXPECT_EQ(bucketsAfter[52], 53u);   // 53rd
    EXPECT_EQ(bucketsAfter[53], 107u);  // 54th
    EXPECT_EQ(table.t.primeIndex, 4);
    ExpectSound(table.t);
}

TEST(ChainedHashTable, InsertionOrderAndLookupsSurviveGrowth) {
    Table table(0);
    std::vector<std::string> keys;
    std::vector<int> values(500);
    for (int i = 0; i < 500; ++i) {
        keys.push_back(std::to_string(i * 7919) + "#");
        ASSERT_EQ(table.Put(keys.back(), &values[i]), 0);
    }
    EXPECT_EQ(table.t.bucketCount, 983u);
    EXPECT_EQ(KeysOldestFirst(table.t), keys);
    for (int i = 0; i < 500; ++i) {
        void* value = nullptr;
        ASSERT_EQ(table.Get(keys[i], &value), 0);
        EXPECT_EQ(value, &values[i]);
    }
    ExpectSound(table.t);
}

TEST(ChainedHashTable, EqualKeyIsRefusedAndTheFirstValueStays) {
    Table table(10);
    int first = 1, second = 2;
    ASSERT_EQ(table.Put("TYPE0", &first), 0);
    EXPECT_EQ(table.Put("TYPE0", &second), -153);
    EXPECT_EQ(table.t.nodeCount, 1u);
    void* value = nullptr;
    ASSERT_EQ(table.Get("TYPE0", &value), 0);
    EXPECT_EQ(value, &first);
}

TEST(ChainedHashTable, KeysAreRawBytes) {
    Table table(10);
    int upper = 1, lower = 2, empty = 3, padded = 4;
    ASSERT_EQ(table.Put("Key", &upper), 0);
    ASSERT_EQ(table.Put("key", &lower), 0);
    ASSERT_EQ(table.Put("", &empty), 0);
    ASSERT_EQ(table.Put(std::string("key\0", 4), &padded), 0);
    void* value = nullptr;
    ASSERT_EQ(table.Get("Key", &value), 0);
    EXPECT_EQ(value, &upper);
    ASSERT_EQ(table.Get("key", &value), 0);
    EXPECT_EQ(value, &lower);
    ASSERT_EQ(table.Get("", &value), 0);
    EXPECT_EQ(value, &empty);
    ASSERT_EQ(table.Get(std::string("key\0", 4), &value), 0);
    EXPECT_EQ(value, &padded);
    EXPECT_EQ(table.Put("", &lower), -153);
    EXPECT_EQ(table.Get("KEY", &value), -1);
}

TEST(ChainedHashTable, FindLeavesThePlaceAloneWhenTheKeyIsMissing) {
    Table table(0);
    int sentinel = 0;
    void* value = &sentinel;
    EXPECT_EQ(table.Get("absent", &value), -1);
    EXPECT_EQ(value, &sentinel);
    ASSERT_EQ(table.Put("present"), 0);
    EXPECT_EQ(table.Get("absent", &value), -1);
    EXPECT_EQ(value, &sentinel);
}

TEST(ChainedHashTable, EveryOperationOnATableNeverCreated) {
    ChainedHashTable t;
    void* value = nullptr;
    EXPECT_EQ(Insert(&t, "a", 1, nullptr), -137);
    EXPECT_EQ(Find(&t, "a", 1, &value), -201);
    EXPECT_EQ(Rehash(&t), -1);
    EXPECT_EQ(Clear(&t, nullptr), -1);
}

TEST(ChainedHashTable, ADuplicateFilterLetsEqualKeysStandSideBySide) {
    Table table(10);
    int first = 1, second = 2, third = 3;
    table.t.duplicateFilter = [](const void*, void* stored, void* incoming) -> int32_t {
        return *static_cast<int*>(incoming) != 3 && stored != incoming;
    };
    ASSERT_EQ(table.Put("k", &first), 0);
    ASSERT_EQ(table.Put("k", &second), 0);
    EXPECT_EQ(table.Put("k", &third), -153);  // the filter says no
    EXPECT_EQ(table.t.nodeCount, 2u);
    void* value = nullptr;
    ASSERT_EQ(table.Get("k", &value), 0);
    EXPECT_EQ(value, &second);  // the newest of equal keys
}

TEST(ChainedHashTable, RehashKeepsTheListAndPutsChainsNewestFirst) {
    Table table(0);
    const std::vector<std::string> keys{"a", "f", "k", "p", "b"};  // a f k p share a bucket of 5
    for (const auto& k : keys) ASSERT_EQ(table.Put(k), 0);
    ASSERT_EQ(table.t.bucketCount, 5u);
    ASSERT_EQ(Rehash(&table.t), 0);
    EXPECT_EQ(KeysOldestFirst(table.t), keys);
    ExpectSound(table.t);
}

TEST(ChainedHashTable, ClearWithoutPoolFreesNodesAndKeepsTheArray) {
    TestHeap heap;
    std::vector<int> released;
    {
        Table table(10);
        int values[3] = {10, 20, 30};
        for (int i = 0; i < 3; ++i) ASSERT_EQ(table.Put("k" + std::to_string(i), &values[i]), 0);
        HashNode** buckets = table.t.buckets;
        static std::vector<int>* sink;
        sink = &released;
        ASSERT_EQ(Clear(&table.t, [](void* v) { sink->push_back(*static_cast<int*>(v)); }), 0);
        EXPECT_EQ(heap.live(), 1);  // only the bucket array
        EXPECT_EQ(table.t.buckets, buckets);
        EXPECT_EQ(table.t.nodeCount, 0u);
        EXPECT_EQ(table.t.oldest, nullptr);
        EXPECT_EQ(table.t.newest, nullptr);
        EXPECT_EQ(table.t.bucketCount, 11u);
        void* value = nullptr;
        EXPECT_EQ(table.Get("k1", &value), -1);
        EXPECT_EQ(table.Put("k1"), 0);
    }
    EXPECT_EQ(released, (std::vector<int>{10, 20, 30}));
    EXPECT_EQ(heap.live(), 0);
}

TEST(ChainedHashTable, ClearWithPoolReleasesValuesButFreesNoNode) {
    TestHeap heap;
    BlockAlloc pool;
    Table table(10);
    table.t.pool = &pool;
    static int releasedCount;
    releasedCount = 0;
    int values[12] = {};
    for (int i = 0; i < 12; ++i) ASSERT_EQ(table.Put("k" + std::to_string(i), &values[i]), 0);
    ASSERT_EQ(table.t.bucketCount, 19u);
    HashNode** buckets = table.t.buckets;
    const int freesBefore = heap.frees();
    ASSERT_EQ(Clear(&table.t, [](void*) { ++releasedCount; }), 0);
    EXPECT_EQ(releasedCount, 12);
    EXPECT_EQ(heap.frees(), freesBefore);
    EXPECT_EQ(table.t.nodeCount, 0u);
    EXPECT_EQ(table.t.buckets, buckets);
    EXPECT_EQ(table.t.bucketCount, 19u);
    for (uint32_t b = 0; b < table.t.bucketCount; ++b) EXPECT_EQ(table.t.buckets[b], nullptr);
    ASSERT_EQ(table.Put("again"), 0);
    EXPECT_EQ(table.t.buckets, buckets);
    EXPECT_EQ(KeysOldestFirst(table.t), std::vector<std::string>{"again"});
    Clear(&table.t, nullptr);
    ReleaseBlocks(&pool);
}

TEST(ChainedHashTable, NodesFromAPoolArePackedInOneBlock) {
    BlockAlloc pool;
    {
        Table table(10);
        table.t.pool = &pool;
        ASSERT_EQ(table.Put("a"), 0);
        ASSERT_EQ(table.Put("bb"), 0);
        const auto* first = reinterpret_cast<const unsigned char*>(table.t.oldest);
        const auto* second = reinterpret_cast<const unsigned char*>(table.t.newest);
        EXPECT_EQ(first, pool.head);
        EXPECT_EQ(static_cast<size_t>(second - first) % kPoolAlignment, 0u);
        EXPECT_GE(static_cast<size_t>(second - first), sizeof(HashNode) + 1);
        EXPECT_LT(static_cast<size_t>(second - first), sizeof(HashNode) + 1 + kPoolAlignment);
    }
    ReleaseBlocks(&pool);
}

TEST(ChainedHashTableFailure, NodeThatCannotBeAllocatedChangesNothing) {
    TestHeap heap;
    {
        Table table(10);
        ASSERT_EQ(table.Put("kept"), 0);
        heap.FailCall(HeapCall::Malloc, 1);
        EXPECT_EQ(table.Put("lost"), -161);
        EXPECT_TRUE(heap.failed());
        EXPECT_EQ(table.t.nodeCount, 1u);
        void* value = nullptr;
        EXPECT_EQ(table.Get("lost", &value), -1);
        EXPECT_EQ(table.Put("lost"), 0);  // the next request is granted again
        ExpectSound(table.t);
    }
    EXPECT_EQ(heap.live(), 0);
}

TEST(ChainedHashTableFailure, NodeLargerThanAPoolBlockIsRefused) {
    BlockAlloc pool;
    Table table(10);
    table.t.pool = &pool;
    const std::string huge(kBlockPayload, 'x');
    EXPECT_EQ(table.Put(huge), -161);
    EXPECT_EQ(table.t.nodeCount, 0u);
    EXPECT_EQ(pool.head, nullptr);  // refused before any block was taken
    ReleaseBlocks(&pool);
}

TEST(ChainedHashTableFailure, PoolThatCannotGetABlockGivesNodeFailure) {
    TestHeap heap;
    BlockAlloc pool;
    Table table(10);
    table.t.pool = &pool;
    heap.FailAll(HeapCall::Malloc);
    testing::internal::CaptureStdout();
    EXPECT_EQ(table.Put("a"), -161);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "file:catalog/blockalloc.h, line:39, malloc failed !!!!!\n");
    EXPECT_EQ(table.t.nodeCount, 0u);
}

TEST(ChainedHashTableFailure, FailedGrowthIsSilent) {
    TestHeap heap;
    {
        Table table(10);
        for (int i = 0; i < 11; ++i) ASSERT_EQ(table.Put("k" + std::to_string(i)), 0);
        heap.FailAll(HeapCall::Realloc);
        ASSERT_EQ(table.Put("k11"), 0);
        EXPECT_TRUE(heap.failed());
        EXPECT_EQ(table.t.bucketCount, 11u);
        EXPECT_EQ(table.t.primeIndex, 1);
        EXPECT_EQ(table.t.nodeCount, 12u);
        ExpectSound(table.t);
        heap.FailNone();
        ASSERT_EQ(table.Put("k12"), 0);  // the next insertion grows
        EXPECT_EQ(table.t.bucketCount, 19u);
        for (int i = 0; i <= 12; ++i) {
            void* value = nullptr;
            EXPECT_EQ(table.Get("k" + std::to_string(i), &value), 0) << i;
        }
        ExpectSound(table.t);
    }
    EXPECT_EQ(heap.live(), 0);
}

TEST(ChainedHashTableFailure, BucketArrayRefusedLeavesTableNotCreated) {
    TestHeap heap;
    heap.FailCall(HeapCall::Calloc, 1);
    ChainedHashTable t;
    EXPECT_EQ(Create(&t, 10), -1);
    EXPECT_EQ(t.buckets, nullptr);
    void* value = nullptr;
    EXPECT_EQ(Find(&t, "a", 1, &value), -201);
    EXPECT_EQ(heap.live(), 0);
}
