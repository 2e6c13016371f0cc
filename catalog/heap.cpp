#include "catalog/heap.h"

#include <cstdlib>
#include <cstring>

namespace catalog {

namespace {
HeapHooks g_hooks{};
}

void SetHeapHooks(const HeapHooks* hooks) {
    g_hooks = hooks ? *hooks : HeapHooks{};
}

void* HeapMalloc(size_t size) {
    return g_hooks.malloc ? g_hooks.malloc(size) : std::malloc(size);
}

void* HeapCalloc(size_t count, size_t size) {
    return g_hooks.calloc ? g_hooks.calloc(count, size) : std::calloc(count, size);
}

void* HeapRealloc(void* block, size_t size) {
    return g_hooks.realloc ? g_hooks.realloc(block, size) : std::realloc(block, size);
}

void HeapFree(void* block) {
    if (g_hooks.free) {
        g_hooks.free(block);
    } else {
        std::free(block);
    }
}

char* HeapCopy(const char* text, size_t length) {
    char* copy = static_cast<char*>(HeapMalloc(length + 1));
    if (copy) {
        std::memcpy(copy, text, length);
        copy[length] = '\0';
    }
    return copy;
}

char* HeapCopy(const char* text) {
    return HeapCopy(text, std::strlen(text));
}

}  // namespace catalog
