// Files through the wide Win32 API; paths go to the system unchanged.
#include "platform/file.h"

#include <windows.h>

#include <vector>

namespace platform {
namespace {

HANDLE AsHandle(void* h) { return static_cast<HANDLE>(h); }

int LastError() {
    const DWORD error = GetLastError();
    return error ? static_cast<int>(error) : ERROR_GEN_FAILURE;
}

}  // namespace

FileHandle::~FileHandle() { Close(); }

FileHandle::FileHandle(FileHandle&& other) noexcept : handle_(other.handle_) {
    other.handle_ = INVALID_HANDLE_VALUE;
}

FileHandle& FileHandle::operator=(FileHandle&& other) noexcept {
    if (this != &other) {
        Close();
        handle_ = other.handle_;
        other.handle_ = INVALID_HANDLE_VALUE;
    }
    return *this;
}

int FileHandle::Open(const WString& path, Access access, Share share, Disposition disposition) {
    Close();
    DWORD desired = 0;
    if (access != Access::Write) desired |= GENERIC_READ;
    if (access != Access::Read) desired |= GENERIC_WRITE;
    DWORD shareMode = 0;
    if (share != Share::None) shareMode |= FILE_SHARE_READ;
    if (share == Share::ReadWrite) shareMode |= FILE_SHARE_WRITE;
    const DWORD how = disposition == Disposition::CreateAlways ? CREATE_ALWAYS : OPEN_EXISTING;
    HANDLE h = CreateFileW(WinStr(path), desired, shareMode, nullptr, how, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE) return LastError();
    handle_ = h;
    return 0;
}

bool FileHandle::IsOpen() const { return AsHandle(handle_) != INVALID_HANDLE_VALUE; }

int FileHandle::Read(void* buffer, size_t size, size_t& got) {
    got = 0;
    if (!IsOpen()) return ERROR_INVALID_HANDLE;
    char* at = static_cast<char*>(buffer);
    while (got < size) {
        const size_t left = size - got;
        const DWORD chunk = left > 0x40000000u ? 0x40000000u : static_cast<DWORD>(left);
        DWORD n = 0;
        if (!ReadFile(AsHandle(handle_), at + got, chunk, &n, nullptr)) return LastError();
        if (n == 0) break;
        got += n;
    }
    return 0;
}

int FileHandle::Write(const void* buffer, size_t size) {
    if (!IsOpen()) return ERROR_INVALID_HANDLE;
    const char* at = static_cast<const char*>(buffer);
    size_t done = 0;
    while (done < size) {
        const size_t left = size - done;
        const DWORD chunk = left > 0x40000000u ? 0x40000000u : static_cast<DWORD>(left);
        DWORD n = 0;
        if (!WriteFile(AsHandle(handle_), at + done, chunk, &n, nullptr)) return LastError();
        if (n == 0) return ERROR_DISK_FULL;  // fewer bytes written than asked
        done += n;
    }
    return 0;
}

int FileHandle::Seek(uint64_t offset) {
    if (!IsOpen()) return ERROR_INVALID_HANDLE;
    LARGE_INTEGER to;
    to.QuadPart = static_cast<LONGLONG>(offset);
    return SetFilePointerEx(AsHandle(handle_), to, nullptr, FILE_BEGIN) ? 0 : LastError();
}

int FileHandle::SetLength(uint64_t length) {
    if (!IsOpen()) return ERROR_INVALID_HANDLE;
    // SetEndOfFile cuts at the position; put the position back afterwards, so
    // that it stays where it was, as ftruncate leaves it on POSIX.
    LARGE_INTEGER zero, was, to;
    zero.QuadPart = 0;
    to.QuadPart = static_cast<LONGLONG>(length);
    HANDLE h = AsHandle(handle_);
    if (!SetFilePointerEx(h, zero, &was, FILE_CURRENT)) return LastError();
    if (!SetFilePointerEx(h, to, nullptr, FILE_BEGIN) || !SetEndOfFile(h)) return LastError();
    return SetFilePointerEx(h, was, nullptr, FILE_BEGIN) ? 0 : LastError();
}

int FileHandle::Length(uint64_t& length) {
    length = 0;
    if (!IsOpen()) return ERROR_INVALID_HANDLE;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(AsHandle(handle_), &size)) return LastError();
    length = static_cast<uint64_t>(size.QuadPart);
    return 0;
}

int FileHandle::Close() {
    if (!IsOpen()) return 0;
    HANDLE h = AsHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
    return CloseHandle(h) ? 0 : LastError();
}

bool PathExists(const WString& path) {
    return GetFileAttributesW(WinStr(path)) != INVALID_FILE_ATTRIBUTES;
}

WString FullPath(const WString& path) {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD n = GetFullPathNameW(WinStr(path), static_cast<DWORD>(buffer.size()),
                                         buffer.data(), nullptr);
        if (n == 0) return path;
        if (n < buffer.size()) return FromWin(buffer.data(), n);
        buffer.resize(n);
    }
}

}  // namespace platform
