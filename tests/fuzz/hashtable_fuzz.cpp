// ChainedHashTable under arbitrary sequences of operations, checked against
// std::unordered_map for the contents and a vector for the insertion order,
// and against the table's own invariants after every step: each node on the
// chain of its hash, chains newest first, the bucket count a prime of the
// table, growth as soon as nodes outnumber buckets. Allocation failures are
// injected to cover the paths that must leave the table unchanged.
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "catalog/blockalloc.h"
#include "catalog/hashtable.h"
#include "catalog/heap.h"
#include "tests/fuzz/fuzz_support.h"

using namespace catalog;

namespace {

// The ELF hash with signed bytes, written out independently of the table.
uint32_t ReferenceHash(const std::string& key) {
    uint32_t h = 0;
    for (char c : key) {
        h = (h << 4) + static_cast<uint32_t>(static_cast<int32_t>(static_cast<signed char>(c)));
        uint32_t g = h & 0xF0000000u;
        if (g) h = (h ^ (g >> 24)) & ~g;
    }
    return h;
}

// Fails the next allocations of the catalogue's heap while armed.
int g_failuresLeft = 0;
void* FailingMalloc(size_t size) { return g_failuresLeft-- > 0 ? nullptr : std::malloc(size); }
void* FailingCalloc(size_t n, size_t size) { return g_failuresLeft-- > 0 ? nullptr : std::calloc(n, size); }
void* FailingRealloc(void* p, size_t size) { return g_failuresLeft-- > 0 ? nullptr : std::realloc(p, size); }
const HeapHooks kFailingHooks = {FailingMalloc, FailingCalloc, FailingRealloc, nullptr};

struct Model {
    std::unordered_map<std::string, uintptr_t> values;
    std::vector<std::string> order;
};

void CheckInvariants(const ChainedHashTable& table, const Model& model) {
    FUZZ_CHECK(table.primeIndex >= 0 && table.primeIndex < kHashPrimeCount);
    FUZZ_CHECK(table.bucketCount == HashPrimes[table.primeIndex]);
    FUZZ_CHECK(table.nodeCount == model.order.size());

    // Insertion list, both directions, against the model's order.
    std::unordered_map<const HashNode*, size_t> position;
    size_t i = 0;
    const HashNode* previous = nullptr;
    for (const HashNode* node = table.oldest; node; node = node->newer, ++i) {
        FUZZ_CHECK(i < model.order.size());
        const std::string& key = model.order[i];
        FUZZ_CHECK(node->older == previous);
        FUZZ_CHECK(node->keyLength == key.size());
        FUZZ_CHECK(std::string(reinterpret_cast<const char*>(NodeKey(node)), node->keyLength) == key);
        FUZZ_CHECK(node->hash == ReferenceHash(key));
        FUZZ_CHECK(reinterpret_cast<uintptr_t>(node->value) == model.values.at(key));
        position[node] = i;
        previous = node;
    }
    FUZZ_CHECK(i == model.order.size());
    FUZZ_CHECK(table.newest == previous);

    // Chains: every node on the chain of its hash, newer before older.
    size_t onChains = 0;
    for (uint32_t b = 0; b < table.bucketCount; ++b) {
        const HashNode* chainPrevious = nullptr;
        for (const HashNode* node = table.buckets[b]; node; node = node->chainNext) {
            FUZZ_CHECK(node->hash % table.bucketCount == b);
            FUZZ_CHECK(node->chainPrev == chainPrevious);
            FUZZ_CHECK(position.count(node) == 1);
            FUZZ_CHECK(!chainPrevious || position[chainPrevious] > position[node]);
            chainPrevious = node;
            ++onChains;
        }
    }
    FUZZ_CHECK(onChains == table.nodeCount);
}

int g_released = 0;
void CountRelease(void*) { ++g_released; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Reader in(data, size);
    const uint8_t setup = in.Byte();
    const uint32_t requested = setup & 0x80 ? 0xFFFFFFF0u + (setup & 0x0F) : setup & 0x7F;
    const bool usePool = in.Byte() & 1;

    ChainedHashTable table{};
    // Operations on a table never created give their own codes.
    void* found = nullptr;
    FUZZ_CHECK(Insert(&table, "a", 1, nullptr) == -137);
    FUZZ_CHECK(Find(&table, "a", 1, &found) == -201);
    FUZZ_CHECK(Rehash(&table) == -1 && Clear(&table, nullptr) == -1);

    if (requested >= 0xFFFFFFF0u) {
        // A request above the last prime is capped at it; the array of two
        // thousand million buckets is not actually made here.
        FUZZ_CHECK(HashPrimes[kHashPrimeCount - 1] == 2147483399u);
        return 0;
    }
    FUZZ_CHECK(Create(&table, requested) == 0);
    uint32_t expectedBuckets = 0;
    for (uint32_t prime : HashPrimes)
        if (prime >= requested) { expectedBuckets = prime; break; }
    FUZZ_CHECK(table.bucketCount == expectedBuckets);
    BlockAlloc pool;
    if (usePool) table.pool = &pool;

    Model model;
    uintptr_t nextValue = 1;
    unsigned generated = 0;
    while (!in.Empty()) {
        const uint8_t op = in.Byte();
        switch (op % 6) {
        case 0:
        case 1: {  // insert one key from the input
            std::string key = in.Bytes(op & 0x40 ? 200 : 6);
            const uintptr_t value = nextValue++;
            const bool present = model.values.count(key) != 0;
            const int32_t result = Insert(&table, key.data(), static_cast<uint32_t>(key.size()),
                                          reinterpret_cast<void*>(value));
            FUZZ_CHECK(result == (present ? -153 : 0));
            if (!present) {
                model.values[key] = value;
                model.order.push_back(key);
            }
            break;
        }
        case 2: {  // look a key up
            std::string key = in.Bytes(6);
            void* value = reinterpret_cast<void*>(uintptr_t{0xDEAD});
            const int32_t result = Find(&table, key.data(), static_cast<uint32_t>(key.size()), &value);
            auto it = model.values.find(key);
            if (it == model.values.end()) {
                FUZZ_CHECK(result == -1 && value == reinterpret_cast<void*>(uintptr_t{0xDEAD}));
            } else {
                FUZZ_CHECK(result == 0 && reinterpret_cast<uintptr_t>(value) == it->second);
            }
            break;
        }
        case 3: {  // many fresh keys at once, to drive growth
            const unsigned count = generated < 4000 ? in.Byte() * 4u : 0;
            unsigned inserted = 0;
            for (unsigned i = 0; i < count; ++i) {
                std::string key = "g" + std::to_string(generated++);
                if (model.values.count(key)) continue;  // the input made it first
                const uintptr_t value = nextValue++;
                FUZZ_CHECK(Insert(&table, key.data(), static_cast<uint32_t>(key.size()),
                                  reinterpret_cast<void*>(value)) == 0);
                model.values[key] = value;
                model.order.push_back(key);
                ++inserted;
            }
            // A growth that failed earlier is made up by the next insert.
            const bool mayGrow = table.primeIndex < kHashPrimeCount - 1;
            FUZZ_CHECK(!mayGrow || inserted == 0 || table.nodeCount <= table.bucketCount);
            break;
        }
        case 4: {  // an insert whose first heap request fails
            std::string key = in.Bytes(6);
            const bool present = model.values.count(key) != 0;
            const uint32_t bucketsBefore = table.bucketCount;
            const uintptr_t value = nextValue++;
            g_failuresLeft = 1;
            SetHeapHooks(&kFailingHooks);
            const int32_t result = Insert(&table, key.data(), static_cast<uint32_t>(key.size()),
                                          reinterpret_cast<void*>(value));
            SetHeapHooks(nullptr);
            g_failuresLeft = 0;
            if (present) {
                FUZZ_CHECK(result == -153);
            } else if (!usePool) {
                FUZZ_CHECK(result == -161);  // the node itself: nothing may change
            } else if (result == 0) {
                // The node came from a block already there and the refusal hit
                // the growth, which is silent: the old size stays.
                model.values[key] = value;
                model.order.push_back(key);
                FUZZ_CHECK(table.bucketCount >= bucketsBefore);
            } else {
                FUZZ_CHECK(result == -161);
            }
            break;
        }
        case 5: {  // empty it, or rebuild the chains
            if (op & 0x10) {
                g_released = 0;
                FUZZ_CHECK(Clear(&table, CountRelease) == 0);
                FUZZ_CHECK(static_cast<size_t>(g_released) == model.order.size());
                model = Model{};
            } else {
                FUZZ_CHECK(Rehash(&table) == 0);
            }
            break;
        }
        }
        // Every step while the table is small; big ones are checked at the end.
        if (model.order.size() < 300) CheckInvariants(table, model);
    }
    CheckInvariants(table, model);

    FUZZ_CHECK(Clear(&table, nullptr) == 0);
    HeapFree(table.buckets);
    ReleaseBlocks(&pool);
    return 0;
}
