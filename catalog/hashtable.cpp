#include "catalog/hashtable.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "catalog/heap.h"

namespace catalog {

const uint32_t HashPrimes[kHashPrimeCount] = {
    5,         11,        19,        53,        107,       223,        463,        983,
    1979,      3907,      7963,      16229,     32531,     65407,      130987,     262237,
    524521,    1048793,   2097397,   4194103,   8388857,   16777447,   33554201,   67108961,
    134217487, 268435697, 536870683, 1073741621, 2147483399,
};

namespace {

constexpr int32_t kLastPrime = kHashPrimeCount - 1;

bool KeyMatches(const HashNode* node, uint32_t hash, const void* key, uint32_t keyLength) {
    return node->hash == hash && node->keyLength == keyLength &&
           (keyLength == 0 || std::memcmp(NodeKey(node), key, keyLength) == 0);
}

// The size of an array of count buckets; false when it could not fit in
// memory at all (a 32-bit build near the last prime).
bool BucketBytes(uint32_t count, size_t& bytes) {
    if (count > SIZE_MAX / sizeof(HashNode*)) {
        return false;
    }
    bytes = count * sizeof(HashNode*);
    return true;
}

void PushOnChain(ChainedHashTable* table, HashNode* node) {
    HashNode*& head = table->buckets[node->hash % table->bucketCount];
    node->chainPrev = nullptr;
    node->chainNext = head;
    if (head) {
        head->chainPrev = node;
    }
    head = node;
}

void Grow(ChainedHashTable* table) {
    const uint32_t nextCount = HashPrimes[table->primeIndex + 1];
    size_t bytes;
    if (!BucketBytes(nextCount, bytes)) {
        return;
    }
    void* grown = HeapRealloc(table->buckets, bytes);
    if (!grown) {
        return;  // keep working at the old size, with longer chains
    }
    table->buckets = static_cast<HashNode**>(grown);
    table->primeIndex += 1;
    table->bucketCount = nextCount;
    Rehash(table);
}

}  // namespace

uint32_t HashKey(const void* key, uint32_t keyLength) {
    const auto* bytes = static_cast<const signed char*>(key);
    uint32_t h = 0;
    for (uint32_t i = 0; i < keyLength; ++i) {
        h = (h << 4) + static_cast<uint32_t>(static_cast<int32_t>(bytes[i]));
        const uint32_t g = h & 0xF0000000u;
        if (g != 0) {
            h ^= g >> 24;
            h ^= g;
        }
    }
    return h;
}

int32_t Create(ChainedHashTable* table, uint32_t requestedSize) {
    int32_t index = 0;
    while (index < kLastPrime && HashPrimes[index] < requestedSize) {
        ++index;
    }
    // calloc itself refuses a count whose size does not fit in memory.
    void* buckets = HeapCalloc(HashPrimes[index], sizeof(HashNode*));
    if (!buckets) {
        return -1;
    }
    table->buckets = static_cast<HashNode**>(buckets);
    table->bucketCount = HashPrimes[index];
    table->primeIndex = index;
    table->nodeCount = 0;
    table->oldest = nullptr;
    table->newest = nullptr;
    table->duplicateFilter = nullptr;
    table->pool = nullptr;
    table->hashFn = HashKey;
    return 0;
}

int32_t Insert(ChainedHashTable* table, const void* key, uint32_t keyLength, void* value) {
    if (!table->buckets) {
        return -137;
    }
    const uint32_t hash = table->hashFn(key, keyLength);
    for (HashNode* node = table->buckets[hash % table->bucketCount]; node; node = node->chainNext) {
        if (KeyMatches(node, hash, key, keyLength)) {
            if (!table->duplicateFilter || table->duplicateFilter(key, node->value, value) == 0) {
                return -153;
            }
        }
    }

    HashNode* node = nullptr;
    if (keyLength <= SIZE_MAX - sizeof(HashNode)) {
        const size_t size = sizeof(HashNode) + keyLength;
        if (!table->pool) {
            node = static_cast<HashNode*>(HeapMalloc(size));
        } else if (size <= kBlockPayload) {
            node = static_cast<HashNode*>(Alloc(table->pool, size));
        }
    }
    if (!node) {
        return -161;
    }

    node->hash = hash;
    node->keyLength = keyLength;
    node->value = value;
    if (keyLength != 0) {
        std::memcpy(node + 1, key, keyLength);
    }
    PushOnChain(table, node);
    node->newer = nullptr;
    node->older = table->newest;
    if (table->newest) {
        table->newest->newer = node;
    } else {
        table->oldest = node;
    }
    table->newest = node;

    table->nodeCount += 1;
    if (table->nodeCount > table->bucketCount && table->primeIndex < kLastPrime) {
        Grow(table);
    }
    return 0;
}

int32_t Find(const ChainedHashTable* table, const void* key, uint32_t keyLength, void** value) {
    if (!table->buckets) {
        return -201;
    }
    const uint32_t hash = table->hashFn(key, keyLength);
    for (const HashNode* node = table->buckets[hash % table->bucketCount]; node; node = node->chainNext) {
        if (KeyMatches(node, hash, key, keyLength)) {
            *value = node->value;
            return 0;
        }
    }
    return -1;
}

int32_t Rehash(ChainedHashTable* table) {
    if (!table->buckets) {
        return -1;
    }
    std::memset(table->buckets, 0, table->bucketCount * sizeof(HashNode*));
    for (HashNode* node = table->oldest; node; node = node->newer) {
        PushOnChain(table, node);
    }
    return 0;
}

int32_t Clear(ChainedHashTable* table, ValueRelease valueRelease) {
    if (!table->buckets) {
        return -1;
    }
    HashNode* node = table->oldest;
    while (node) {
        HashNode* newer = node->newer;
        if (valueRelease) {
            valueRelease(node->value);
        }
        if (!table->pool) {
            HeapFree(node);
        }
        node = newer;
    }
    table->nodeCount = 0;
    std::memset(table->buckets, 0, table->bucketCount * sizeof(HashNode*));
    table->oldest = nullptr;
    table->newest = nullptr;
    return 0;
}

}  // namespace catalog
