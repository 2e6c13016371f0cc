// Small file helpers for tests, straight on the C runtime and the system, so
// that the fixtures do not depend on the code under test. Paths are in the
// program's own backslash form.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/text.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace testfiles {

inline std::string Native(WString path) {
    for (char16_t& c : path)
        if (c == u'\\') c = u'/';
    return WideToUtf8(path);
}

inline std::FILE* Open(const WString& path, const char* mode) {
#ifdef _WIN32
    return _wfopen(WinStr(path), WinStr(Utf8ToWide(mode)));
#else
    return std::fopen(Native(path).c_str(), mode);
#endif
}

inline void Write(const WString& path, const std::string& bytes) {
    std::FILE* f = Open(path, "wb");
    ASSERT_TRUE(f) << Native(path);
    ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), f), bytes.size());
    std::fclose(f);
}

// The whole file, or "<missing>".
inline std::string Read(const WString& path) {
    std::FILE* f = Open(path, "rb");
    if (!f) return "<missing>";
    std::string bytes;
    char buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) bytes.append(buf, n);
    std::fclose(f);
    return bytes;
}

inline void MakeFolder(const WString& path) {
#ifdef _WIN32
    CreateDirectoryW(WinStr(path), nullptr);
#else
    mkdir(Native(path).c_str(), 0777);
#endif
}

inline void SetReadOnly(const WString& path, bool readOnly) {
#ifdef _WIN32
    SetFileAttributesW(WinStr(path), readOnly ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL);
#else
    chmod(Native(path).c_str(), readOnly ? 0444 : 0644);
#endif
}

// Removes a file or an empty folder, read-only or not.
inline void Remove(const WString& path) {
    SetReadOnly(path, false);
#ifdef _WIN32
    if (!DeleteFileW(WinStr(path))) RemoveDirectoryW(WinStr(path));
#else
    if (unlink(Native(path).c_str()) != 0) rmdir(Native(path).c_str());
#endif
}

// Removes a folder with everything in it, read-only files too.
inline void RemoveTree(const WString& path) {
    namespace fs = std::filesystem;
    const fs::path root = fs::u8path(Native(path));
    std::error_code ignored;
    if (!fs::exists(root, ignored)) return;
    for (const auto& entry : fs::recursive_directory_iterator(root, ignored))
        fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(root, ignored);
}

// Whether writing to a read-only file is refused here. It is on Windows for
// an ordinary user and on the POSIX side always; under wine as root it is not
// (wine maps the attribute to permission bits, which root passes).
inline bool ReadOnlyIsEnforced() {
#ifdef _WIN32
    const WString probe = u"read_only_probe.tmp";
    Write(probe, "x");
    SetReadOnly(probe, true);
    HANDLE h = CreateFileW(WinStr(probe), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    const bool enforced = h == INVALID_HANDLE_VALUE;
    if (!enforced) CloseHandle(h);
    Remove(probe);
    return enforced;
#else
    return true;
#endif
}

}  // namespace testfiles

// Read-only files behave as on Windows only where ReadOnlyIsEnforced(); the
// run as root under wine skips, the run as the unprivileged user must not.
#define REQUIRE_READ_ONLY_ENFORCED()                                                        \
    do {                                                                                    \
        if (!testfiles::ReadOnlyIsEnforced()) {                                             \
            if (std::getenv("WINE_AS_NOBODY")) FAIL() << "read-only not enforced as nobody"; \
            GTEST_SKIP() << "wine as root writes to read-only files; the _nobody run tests this"; \
        }                                                                                   \
    } while (0)
