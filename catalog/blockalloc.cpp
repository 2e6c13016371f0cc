#include "catalog/blockalloc.h"

#include <cstdio>
#include <cstring>

#include "catalog/heap.h"

namespace catalog {

namespace {

// The failure line names the pool's header and tells a first block (39)
// from a later one (53).
constexpr const char* kHeaderPath = "catalog/blockalloc.h";
constexpr int kFirstBlockLine = 39;
constexpr int kLaterBlockLine = 53;

unsigned char* NewBlock(unsigned char* older) {
    auto* block = static_cast<unsigned char*>(HeapMalloc(kBlockPayload + sizeof(unsigned char*)));
    if (block) {
        std::memcpy(block + kBlockPayload, &older, sizeof older);
    }
    return block;
}

unsigned char* OlderBlock(const unsigned char* block) {
    unsigned char* older;
    std::memcpy(&older, block + kBlockPayload, sizeof older);
    return older;
}

void ReportFailure(int line) {
    std::printf("file:%s, line:%d, malloc failed !!!!!\n", kHeaderPath, line);
}

}  // namespace

void* Alloc(BlockAlloc* pool, size_t size) {
    if (size > kBlockPayload) {
        return nullptr;
    }
    size = (size + kPoolAlignment - 1) / kPoolAlignment * kPoolAlignment;

    if (!pool->head) {
        unsigned char* first = NewBlock(nullptr);
        if (!first) {
            ReportFailure(kFirstBlockLine);
            return nullptr;
        }
        pool->head = first;
        pool->used = 0;
    }
    if (kBlockPayload - pool->used < size) {
        unsigned char* block = NewBlock(pool->head);
        if (!block) {
            ReportFailure(kLaterBlockLine);
            return nullptr;
        }
        pool->head = block;
        pool->used = size;
        return block;
    }
    void* result = pool->head + pool->used;
    pool->used += size;
    return result;
}

void ReleaseBlocks(BlockAlloc* pool) {
    while (pool->head) {
        unsigned char* older = OlderBlock(pool->head);
        HeapFree(pool->head);
        pool->head = older;
    }
}

}  // namespace catalog
