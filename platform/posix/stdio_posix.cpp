#include "platform/stdio.h"

#include <sys/stat.h>

#include <string>

#include "platform/codepage.h"
#include "platform/posix/native_path.h"

namespace platform {

namespace {

// Decoded before the slashes go in: 0x5C can be the trail byte of a GBK
// character, which is no path separator.
bool PathOf(const char* ansiPath, std::string& out) {
    WString wide;
    if (!ansiPath || !DecodeMultiByte(CodePage::SystemAnsi, ansiPath, wide)) {
        return false;
    }
    out = NativePath(wide);
    return true;
}

}  // namespace

std::FILE* OpenForRead(const char* ansiPath) {
    std::string path;
    if (!PathOf(ansiPath, path)) {
        return nullptr;
    }
    std::FILE* file = std::fopen(path.c_str(), "rb");
    // POSIX opens a folder for reading and fails only at the first read;
    // Windows refuses it at once. Refuse it here too.
    struct stat status;
    if (file && (fstat(fileno(file), &status) != 0 || S_ISDIR(status.st_mode))) {
        std::fclose(file);
        return nullptr;
    }
    return file;
}

uint32_t FileModifiedTime(const char* ansiPath) {
    std::string path;
    struct stat status;
    if (!PathOf(ansiPath, path) || stat(path.c_str(), &status) != 0) {
        return 0;
    }
    return static_cast<uint32_t>(static_cast<uint64_t>(status.st_mtime));
}

}  // namespace platform
