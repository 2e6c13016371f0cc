// What the fuzz targets share: a check that stops the run, a byte reader over
// the fuzzer's input, and a private working folder for targets that need files.
// Files themselves are written and read with tests/support/test_files.h.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

// Unlike assert, kept in every build type, and it says what failed.
#define FUZZ_CHECK(condition)                                                        \
    do {                                                                             \
        if (!(condition)) {                                                          \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__,    \
                         #condition);                                                \
            std::abort();                                                            \
        }                                                                            \
    } while (0)

namespace fuzz {

// Takes values off the front of the input; past its end everything is zero.
class Reader {
public:
    Reader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool Empty() const { return pos_ >= size_; }
    uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    uint16_t Unit() { return static_cast<uint16_t>(Byte() | Byte() << 8); }
    // Up to maxLength bytes, the length taken from the input first.
    std::string Bytes(size_t maxLength) {
        size_t length = Byte() % (maxLength + 1);
        length = std::min(length, size_ - std::min(pos_, size_));
        std::string out(reinterpret_cast<const char*>(data_ + pos_), length);
        pos_ += length;
        return out;
    }
    // Everything not yet taken.
    std::string_view Rest() {
        if (pos_ >= size_) return {};
        std::string_view out(reinterpret_cast<const char*>(data_ + pos_), size_ - pos_);
        pos_ = size_;
        return out;
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

// Makes a fresh folder with a config folder inside and makes it the current
// directory, once per process: the core's paths are relative to it.
inline void EnterScratchFolder() {
    static bool entered = false;
    if (entered) return;
    namespace fs = std::filesystem;
    std::error_code error;
    fs::path base = fs::temp_directory_path(error);
    if (error) base = fs::current_path();
    for (unsigned n = 0;; ++n) {
        fs::path dir = base / ("brenvik-fuzz-" + std::to_string(std::rand()) + "-" + std::to_string(n));
        if (fs::create_directory(dir, error)) {
            fs::create_directory(dir / "config");
            fs::current_path(dir);
            static fs::path made = dir;
            std::atexit([] {
                std::error_code ignored;
                fs::current_path(made.parent_path(), ignored);
                fs::remove_all(made, ignored);
            });
            break;
        }
        FUZZ_CHECK(n < 100);
    }
    entered = true;
}

// The merge's line rules written out plainly: one template's bytes appended
// to merge as its lines, each cut at its first zero byte and ended by CR LF.
// False with the 1-based number of the first line over 998 bytes.
inline bool ModelMergeCopy(const std::string& bytes, std::string& merge, int& badLine) {
    size_t start = 0;
    for (int number = 1;; ++number) {
        const size_t lf = bytes.find('\n', start);
        std::string line = bytes.substr(start, lf == std::string::npos ? std::string::npos : lf - start);
        if (lf != std::string::npos && !line.empty() && line.back() == '\r') line.pop_back();
        if (line.size() > 998) {
            badLine = number;
            return false;
        }
        merge += line.substr(0, line.find('\0'));
        merge += "\r\n";
        if (lf == std::string::npos) return true;
        start = lf + 1;
    }
}

}  // namespace fuzz
