// Shared by the catalogue's tests: a heap that counts and fails requests on
// demand. The file helpers are the ones of every suite, tests/support.
#pragma once

#include <cstddef>

#include "catalog/heap.h"

namespace catalog_test {

enum class HeapCall { Any, Malloc, Calloc, Realloc };

// Installs itself as the catalogue's heap for its lifetime. Counts the blocks
// still held (a leak shows as live() > 0) and fails one chosen request.
class TestHeap {
public:
    TestHeap();
    ~TestHeap();
    TestHeap(const TestHeap&) = delete;
    TestHeap& operator=(const TestHeap&) = delete;

    // Fails the ordinal-th request (1-based) of that kind from now on.
    void FailCall(HeapCall kind, int ordinal);
    // Fails every request of that kind from now on.
    void FailAll(HeapCall kind);
    void FailNone();

    long live() const;         // blocks handed out and not yet freed
    int calls(HeapCall kind) const;  // requests of that kind so far
    int frees() const;
    bool failed() const;       // whether a planned failure has happened
    size_t lastCallocCount() const;
};

}  // namespace catalog_test
