// A block pool: memory handed out from 1 MiB blocks and freed all at once.
//
// A block is one heap allocation: the payload first, then one link word that
// points to the previous (older) block. The pool record belongs to whoever
// set it up; the pool never frees it.
#pragma once

#include <cstddef>

namespace catalog {

constexpr size_t kBlockPayload = 1024 * 1024;

// Every request is rounded up to this, so records from the pool are aligned
// for any field; the rounded size is what the request uses up in its block.
constexpr size_t kPoolAlignment = alignof(std::max_align_t);

struct BlockAlloc {
    unsigned char* head = nullptr;  // the newest block, or none
    size_t used = 0;                // bytes handed out from head
};

// size fresh bytes from the pool, or nullptr when the heap refuses a block.
// A request larger than a block's payload is refused (nullptr, no message).
void* Alloc(BlockAlloc* pool, size_t size);

// Frees every block, newest first; head becomes none. The pool can be used
// again afterwards.
void ReleaseBlocks(BlockAlloc* pool);

}  // namespace catalog
