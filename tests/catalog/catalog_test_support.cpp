#include "catalog_test_support.h"

#include <cstdlib>

namespace catalog_test {

namespace {

struct HeapState {
    long live = 0;
    int calls[4] = {};
    int frees = 0;
    HeapCall failKind = HeapCall::Any;
    int failOrdinal = 0;  // 0: none; -1: every request of failKind
    int failFrom = 0;     // calls of failKind when the plan was made
    bool failed = false;
    size_t lastCallocCount = 0;
};
HeapState g_state;

bool ShouldFail(HeapCall kind) {
    const int index = static_cast<int>(kind);
    g_state.calls[0] += 1;
    g_state.calls[index] += 1;
    if (g_state.failOrdinal == 0 || (g_state.failKind != HeapCall::Any && g_state.failKind != kind)) {
        return false;
    }
    const int seen = g_state.calls[static_cast<int>(g_state.failKind)] - g_state.failFrom;
    if (g_state.failOrdinal == -1 || seen == g_state.failOrdinal) {
        g_state.failed = true;
        return true;
    }
    return false;
}

void* TestMalloc(size_t size) {
    if (ShouldFail(HeapCall::Malloc)) return nullptr;
    void* block = std::malloc(size);
    if (block) g_state.live += 1;
    return block;
}

void* TestCalloc(size_t count, size_t size) {
    g_state.lastCallocCount = count;
    if (ShouldFail(HeapCall::Calloc)) return nullptr;
    void* block = std::calloc(count, size);
    if (block) g_state.live += 1;
    return block;
}

void* TestRealloc(void* old, size_t size) {
    if (ShouldFail(HeapCall::Realloc)) return nullptr;
    void* block = std::realloc(old, size);
    if (block && !old) g_state.live += 1;
    return block;
}

void TestFree(void* block) {
    if (block) {
        g_state.live -= 1;
        g_state.frees += 1;
    }
    std::free(block);
}

}  // namespace

TestHeap::TestHeap() {
    g_state = HeapState{};
    const catalog::HeapHooks hooks{TestMalloc, TestCalloc, TestRealloc, TestFree};
    catalog::SetHeapHooks(&hooks);
}

TestHeap::~TestHeap() { catalog::SetHeapHooks(nullptr); }

void TestHeap::FailCall(HeapCall kind, int ordinal) {
    g_state.failKind = kind;
    g_state.failOrdinal = ordinal;
    g_state.failFrom = g_state.calls[static_cast<int>(kind)];
    g_state.failed = false;
}

void TestHeap::FailAll(HeapCall kind) { FailCall(kind, -1); }
void TestHeap::FailNone() { g_state.failOrdinal = 0; }
long TestHeap::live() const { return g_state.live; }
int TestHeap::calls(HeapCall kind) const { return g_state.calls[static_cast<int>(kind)]; }
int TestHeap::frees() const { return g_state.frees; }
bool TestHeap::failed() const { return g_state.failed; }
size_t TestHeap::lastCallocCount() const { return g_state.lastCallocCount; }

}  // namespace catalog_test
