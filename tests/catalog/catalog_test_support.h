// Shared by the catalogue's tests: a heap that counts and fails requests on
// demand, and a scratch folder per test.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>

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

// A fresh, empty folder for one test; the test runs with it as the current
// directory, and both are undone afterwards.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

private:
    std::filesystem::path previous_;
    std::filesystem::path folder_;
};

// Writes bytes to a file named in UTF-8 (slashes), creating its folders.
void WriteFile(const std::string& utf8Name, const std::string& bytes);
bool RemoveFile(const std::string& utf8Name);
// Sets the file's modification time (seconds since 1970).
void SetModifiedTime(const std::string& utf8Name, int64_t seconds);

}  // namespace catalog_test
