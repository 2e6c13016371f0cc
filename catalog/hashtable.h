// A chained hash table from byte-string keys to caller-owned value pointers.
//
// Bucket counts come from HashPrimes; the table grows when its nodes
// outnumber its buckets, keeps its nodes on a list in insertion order and
// reports every outcome as a signed result. The record is embedded in its
// owner; only the bucket array and the nodes are allocated. An owner disposes
// of a table with Clear, then frees the bucket array and sets it to none.
#pragma once

#include <cstdint>

#include "catalog/blockalloc.h"

namespace catalog {

constexpr int32_t kHashPrimeCount = 29;
extern const uint32_t HashPrimes[kHashPrimeCount];

using HashFunction = uint32_t (*)(const void* key, uint32_t keyLength);
// Non-zero lets a node with an equal key stand beside the stored one.
using DuplicateFilter = int32_t (*)(const void* key, void* storedValue, void* newValue);
using ValueRelease = void (*)(void* value);

// One allocation per key: these fields, then the key bytes (not terminated).
struct HashNode {
    uint32_t hash;
    uint32_t keyLength;
    void* value;
    HashNode* newer;      // insertion list, towards newest
    HashNode* older;
    HashNode* chainPrev;  // bucket chain, newest first
    HashNode* chainNext;
};

inline const unsigned char* NodeKey(const HashNode* node) {
    return reinterpret_cast<const unsigned char*>(node + 1);
}

struct ChainedHashTable {
    uint32_t bucketCount = 0;
    int32_t primeIndex = 0;
    uint32_t nodeCount = 0;
    HashFunction hashFn = nullptr;
    DuplicateFilter duplicateFilter = nullptr;
    HashNode* oldest = nullptr;
    HashNode* newest = nullptr;
    HashNode** buckets = nullptr;  // none: the table is not created
    BlockAlloc* pool = nullptr;    // none: nodes come from the heap
};

// The ELF symbol-table hash, each byte read as a signed 8-bit value.
uint32_t HashKey(const void* key, uint32_t keyLength);

// 0; -1 the bucket array cannot be allocated (the table stays not created).
int32_t Create(ChainedHashTable* table, uint32_t requestedSize);
// 0; -137 not created; -153 an equal key is present; -161 no memory for the node.
int32_t Insert(ChainedHashTable* table, const void* key, uint32_t keyLength, void* value);
// 0 and *value set; -1 no such key (*value untouched); -201 not created.
int32_t Find(const ChainedHashTable* table, const void* key, uint32_t keyLength, void** value);
// 0; -1 not created.
int32_t Rehash(ChainedHashTable* table);
// Empties the table, keeping its bucket array. 0; -1 not created.
int32_t Clear(ChainedHashTable* table, ValueRelease valueRelease);

}  // namespace catalog
