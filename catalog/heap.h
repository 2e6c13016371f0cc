// The heap behind every allocation of the catalogue.
//
// The catalogue reports exhausted memory through its result codes, and those
// paths must be testable: tests install hooks that fail chosen requests.
// Without hooks the C runtime's functions are used.
#pragma once

#include <cstddef>

namespace catalog {

struct HeapHooks {
    void* (*malloc)(size_t size);
    void* (*calloc)(size_t count, size_t size);
    void* (*realloc)(void* block, size_t size);
    void (*free)(void* block);
};

// Installs hooks (copied); nullptr goes back to the C runtime. Any hook left
// empty falls back to the C runtime's function.
void SetHeapHooks(const HeapHooks* hooks);

void* HeapMalloc(size_t size);
void* HeapCalloc(size_t count, size_t size);
void* HeapRealloc(void* block, size_t size);
void HeapFree(void* block);

// A terminated heap copy of text (length bytes), or nullptr.
char* HeapCopy(const char* text, size_t length);
char* HeapCopy(const char* text);

}  // namespace catalog
