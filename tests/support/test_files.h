// File helpers for tests and benchmarks, straight on the C runtime, the
// standard library and the system, so that fixtures never depend on the code
// under test. A failure to set a fixture up throws std::runtime_error, which
// GoogleTest reports as the test's failure and a benchmark as its abort.
//
// Nothing here needs GoogleTest; its side is tests/support/gtest_files.h.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <system_error>

#include "platform/text.h"

#ifdef _WIN32
#include <sys/utime.h>
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>
#endif

namespace testsupport {

// A file's name in each form the tests hold one: the program's own (UTF-16,
// backslashes), UTF-8 with either separator, or a std::filesystem::path.
class FilePath {
public:
    FilePath(const WString& path) : path_(FromProgramForm(path)) {}
    FilePath(const char16_t* path) : FilePath(WString(path)) {}
    FilePath(const std::string& utf8) : FilePath(Utf8ToWide(utf8)) {}
    FilePath(const char* utf8) : FilePath(std::string(utf8)) {}
    FilePath(std::filesystem::path path) : path_(std::move(path)) {}

    const std::filesystem::path& path() const { return path_; }
    std::string Utf8() const { return path_.u8string(); }

private:
    static std::filesystem::path FromProgramForm(WString path) {
#ifdef _WIN32
        return std::filesystem::path(std::wstring(path.begin(), path.end()));
#else
        for (char16_t& c : path)
            if (c == u'\\') c = u'/';
        return std::filesystem::u8path(WideToUtf8(path));
#endif
    }

    std::filesystem::path path_;
};

namespace detail {

struct CloseFile {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, CloseFile>;

inline FilePtr Open(const std::filesystem::path& path, const char* mode) {
#ifdef _WIN32
    const std::wstring wideMode(mode, mode + std::char_traits<char>::length(mode));
    return FilePtr(_wfopen(path.c_str(), wideMode.c_str()));
#else
    return FilePtr(std::fopen(path.c_str(), mode));
#endif
}

[[noreturn]] inline void Fail(const std::string& what, const FilePath& path) {
    throw std::runtime_error(what + " " + path.Utf8());
}

}  // namespace detail

// Writes the bytes as the whole file, making the folders on the way.
inline void Write(const FilePath& path, const std::string& bytes) {
    std::error_code ignored;
    if (path.path().has_parent_path()) std::filesystem::create_directories(path.path().parent_path(), ignored);
    detail::FilePtr file = detail::Open(path.path(), "wb");
    if (!file) detail::Fail("cannot create", path);
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size();
    if (std::fclose(file.release()) != 0 || !written) detail::Fail("cannot write", path);
}

// The whole file; none when it cannot be opened.
inline std::optional<std::string> Read(const FilePath& path) {
    detail::FilePtr file = detail::Open(path.path(), "rb");
    if (!file) return std::nullopt;
    std::string bytes;
    char buffer[65536];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) bytes.append(buffer, got);
    if (std::ferror(file.get())) detail::Fail("cannot read", path);
    return bytes;
}

// A folder, unless one is there already.
inline void MakeFolder(const FilePath& path) {
    std::error_code error;
    std::filesystem::create_directory(path.path(), error);
    if (!std::filesystem::is_directory(path.path(), error)) detail::Fail("cannot make the folder", path);
}

// The Windows read-only attribute; its POSIX equivalent, no write bits.
inline void SetReadOnly(const FilePath& path, bool readOnly) {
#ifdef _WIN32
    SetFileAttributesW(path.path().c_str(), readOnly ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL);
#else
    chmod(path.path().c_str(), readOnly ? 0444 : 0644);
#endif
}

// The file's modification time, in seconds since 1970.
inline void SetModifiedTime(const FilePath& path, int64_t seconds) {
#ifdef _WIN32
    struct __utimbuf64 times{seconds, seconds};
    const bool set = _wutime64(path.path().c_str(), &times) == 0;
#else
    struct utimbuf times{static_cast<time_t>(seconds), static_cast<time_t>(seconds)};
    const bool set = utime(path.path().c_str(), &times) == 0;
#endif
    if (!set) detail::Fail("cannot set the time of", path);
}

// Removes a file or an empty folder, read-only or not. False when nothing
// was removed: none there, a folder not empty, or a file Windows keeps
// because it is open.
inline bool Remove(const FilePath& path) {
    SetReadOnly(path, false);
#ifdef _WIN32
    const wchar_t* name = path.path().c_str();
    return DeleteFileW(name) || RemoveDirectoryW(name);
#else
    const char* name = path.path().c_str();
    return unlink(name) == 0 || rmdir(name) == 0;
#endif
}

// Removes a folder with everything in it, read-only files and folders too,
// as far as it can; never throws, since scratch folders call it on their way
// out. (Under wine a path past MAX_PATH can stop the walk half way.)
inline void RemoveTree(const FilePath& path) noexcept {
    namespace fs = std::filesystem;
    std::error_code ignored, walk;
    if (!fs::exists(path.path(), ignored)) return;
    fs::permissions(path.path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::recursive_directory_iterator entry(path.path(), walk);
    for (const fs::recursive_directory_iterator end; !walk && entry != end; entry.increment(walk))
        fs::permissions(entry->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(path.path(), ignored);
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

// The repository, from BRENVIK_SOURCE_DIR (which CTest sets); empty without it.
inline std::filesystem::path SourceDir() {
    const char* dir = std::getenv("BRENVIK_SOURCE_DIR");
    std::string text = dir ? dir : "";
#ifdef _WIN32
    // CTest hands the Unix path through wine, where the root is drive Z:.
    if (!text.empty() && text[0] == '/') text = "Z:" + text;
#endif
    return std::filesystem::u8path(text);
}

// A fresh, empty folder that is the current directory for the object's
// lifetime; afterwards the previous one is current again and the folder is
// gone with everything in it.
class ScratchFolder {
public:
    explicit ScratchFolder(const FilePath& folder)
        : previous_(std::filesystem::current_path()), folder_(std::filesystem::absolute(folder.path())) {
        RemoveTree(folder_);
        std::filesystem::create_directories(folder_);
        std::filesystem::current_path(folder_);
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::current_path(previous_, ignored);
        RemoveTree(folder_);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& path() const { return folder_; }

private:
    std::filesystem::path previous_;
    std::filesystem::path folder_;
};

}  // namespace testsupport
