// Files through the wide Win32 API; paths go to the system unchanged.
#include "platform/file.h"

#include <windows.h>

#include <vector>

#include "platform/file_exception.h"

namespace platform {
namespace {

HANDLE AsHandle(void* h) { return static_cast<HANDLE>(h); }

int LastError() {
    const DWORD error = GetLastError();
    return error ? static_cast<int>(error) : ERROR_INVALID_FUNCTION;  // failed without a cause
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

namespace {

// Both names reach one file: the same volume and file index.
WString Digits(unsigned long value) {
    WString text;
    do {
        text.insert(text.begin(), static_cast<char16_t>(u'0' + value % 10));
        value /= 10;
    } while (value);
    return text;
}

bool IsSameFile(const WString& a, const WString& b) {
    BY_HANDLE_FILE_INFORMATION info[2];
    const WString* names[2] = {&a, &b};
    for (int i = 0; i < 2; ++i) {
        HANDLE h = CreateFileW(WinStr(*names[i]), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (h == INVALID_HANDLE_VALUE) return false;
        const BOOL ok = GetFileInformationByHandle(h, &info[i]);
        CloseHandle(h);
        if (!ok) return false;
    }
    return info[0].dwVolumeSerialNumber == info[1].dwVolumeSerialNumber &&
           info[0].nFileIndexHigh == info[1].nFileIndexHigh &&
           info[0].nFileIndexLow == info[1].nFileIndexLow;
}

}  // namespace

int CopyFileReplacing(const WString& existing, const WString& target) {
    // CopyFileW refuses a copy onto the source itself with a sharing
    // violation; make sure of it rather than rely on it.
    if (IsSameFile(existing, target)) return ERROR_SHARING_VIOLATION;
    // Straight onto the target, CopyFileW empties it first, so a copy that
    // then fails (a full disk, a lost share) destroys the user's file. The
    // copy goes to a new file in the target's folder and replaces the target
    // only once it is complete.
    const DWORD attributes = GetFileAttributesW(WinStr(target));
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
        return ERROR_ACCESS_DENIED;  // what CopyFileW says for these
    const size_t slash = target.find_last_of(u"\\/");
    const WString folder = slash == WString::npos ? WString() : target.substr(0, slash + 1);
    // A name of our own rather than GetTempFileNameW, which cannot take the
    // long folders that CopyFileW can.
    WString temporary;
    for (unsigned n = 0;; ++n) {
        temporary = folder + u"~brenvik-" + Digits(GetCurrentProcessId()) + u"-" + Digits(n) + u".tmp";
        HANDLE h = CreateFileW(WinStr(temporary), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                               nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            CloseHandle(h);
            break;
        }
        const int error = LastError();
        if ((error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) || n == 100) return error;
    }
    int error = 0;
    if (!CopyFileW(WinStr(existing), WinStr(temporary), FALSE) ||
        !MoveFileExW(WinStr(temporary), WinStr(target), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        error = LastError();
    if (error) DeleteFileW(WinStr(temporary));
    return error;
}

FileCause FileCauseFromOsError(int osError) {
    switch (osError) {
    case NO_ERROR: return FileCause::None;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_INVALID_HANDLE: return FileCause::FileNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_DIRECTORY: return FileCause::BadPath;
    case ERROR_TOO_MANY_OPEN_FILES: return FileCause::TooManyOpenFiles;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
    case ERROR_NETWORK_ACCESS_DENIED: return FileCause::AccessDenied;
    case ERROR_BAD_FORMAT: return FileCause::InvalidFile;
    case ERROR_CURRENT_DIRECTORY: return FileCause::RemoveCurrentDir;
    case ERROR_CANNOT_MAKE: return FileCause::DirectoryFull;
    case ERROR_SEEK:
    case ERROR_NEGATIVE_SEEK:
    case ERROR_SEEK_ON_DEVICE: return FileCause::BadSeek;
    case ERROR_NOT_READY:
    case ERROR_CRC:
    case ERROR_SECTOR_NOT_FOUND:
    case ERROR_WRITE_FAULT:
    case ERROR_READ_FAULT:
    case ERROR_GEN_FAILURE:
    case ERROR_IO_DEVICE: return FileCause::HardIo;
    case ERROR_SHARING_VIOLATION: return FileCause::SharingViolation;
    case ERROR_LOCK_VIOLATION: return FileCause::LockViolation;
    case ERROR_HANDLE_DISK_FULL:
    case ERROR_DISK_FULL: return FileCause::DiskFull;
    case ERROR_HANDLE_EOF: return FileCause::EndOfFile;
    default: return FileCause::Generic;
    }
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
