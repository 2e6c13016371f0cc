#include "platform/stdio.h"

#include <windows.h>

#include "platform/codepage.h"
#include "platform/text.h"

namespace platform {

namespace {

bool WidePath(const char* ansiPath, WString& out) {
    return ansiPath && DecodeMultiByte(CodePage::SystemAnsi, ansiPath, out) && !out.empty();
}

// FILETIME counts 100 ns steps from 1601; the C runtime's status counts
// seconds from 1970.
constexpr uint64_t kFileTimeTo1970 = 116444736000000000ull;
constexpr uint64_t kFileTimeTicksPerSecond = 10000000ull;

}  // namespace

std::FILE* OpenForRead(const char* ansiPath) {
    WString path;
    if (!WidePath(ansiPath, path)) {
        return nullptr;
    }
    return _wfopen(WinStr(path), L"rb");
}

uint32_t FileModifiedTime(const char* ansiPath) {
    WString path;
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!WidePath(ansiPath, path) || !GetFileAttributesExW(WinStr(path), GetFileExInfoStandard, &data)) {
        return 0;
    }
    const uint64_t ticks = (static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                           data.ftLastWriteTime.dwLowDateTime;
    if (ticks < kFileTimeTo1970) {
        return 0;
    }
    return static_cast<uint32_t>((ticks - kFileTimeTo1970) / kFileTimeTicksPerSecond);
}

}  // namespace platform
