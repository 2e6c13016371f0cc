#include "catalog_test_support.h"

#include <cstdio>
#include <cstdlib>
#include <system_error>

#ifdef _WIN32
#include <sys/utime.h>
#include <windows.h>
#else
#include <utime.h>
#endif

#include "platform/text.h"

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

#ifdef _WIN32
std::wstring Wide(const std::string& utf8) {
    const WString wide = Utf8ToWide(utf8);
    return std::wstring(wide.begin(), wide.end());
}
#endif

std::filesystem::path PathOf(const std::string& utf8Name) {
#ifdef _WIN32
    return std::filesystem::path(Wide(utf8Name));
#else
    return std::filesystem::path(utf8Name);
#endif
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

ScratchFolder::ScratchFolder() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string("scratch_") + info->test_suite_name() + "_" + info->name();
    for (char& c : name) {
        if (c == '/') c = '_';
    }
    previous_ = std::filesystem::current_path();
    folder_ = previous_ / name;
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
    std::filesystem::current_path(folder_);
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::current_path(previous_, ignored);
    std::filesystem::remove_all(folder_, ignored);
}

void WriteFile(const std::string& utf8Name, const std::string& bytes) {
    const std::filesystem::path path = PathOf(utf8Name);
    if (path.has_parent_path()) {
        std::filesystem::create_directories(path.parent_path());
    }
#ifdef _WIN32
    std::FILE* file = _wfopen(path.c_str(), L"wb");
#else
    std::FILE* file = std::fopen(path.c_str(), "wb");
#endif
    ASSERT_NE(file, nullptr) << utf8Name;
    ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), file), bytes.size());
    ASSERT_EQ(std::fclose(file), 0);
}

bool RemoveFile(const std::string& utf8Name) {
    std::error_code error;
    return std::filesystem::remove(PathOf(utf8Name), error);
}

void SetModifiedTime(const std::string& utf8Name, int64_t seconds) {
#ifdef _WIN32
    struct __utimbuf64 times{seconds, seconds};
    ASSERT_EQ(_wutime64(PathOf(utf8Name).c_str(), &times), 0) << utf8Name;
#else
    struct utimbuf times{static_cast<time_t>(seconds), static_cast<time_t>(seconds)};
    ASSERT_EQ(utime(utf8Name.c_str(), &times), 0) << utf8Name;
#endif
}

}  // namespace catalog_test
