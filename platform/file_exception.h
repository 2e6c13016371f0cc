// The file class of the output stage and the exception its failures raise.
//
// Every failing operation throws CFileException with the cause (0..14, the
// same on both sides) and the file's name: the name as given when opening
// failed, the full absolute path when a later operation on the open file
// failed. FileErrorMessage turns it into the text the user sees.
#pragma once

#include <cstddef>
#include <cstdint>
#include <exception>
#include <utility>

#include "platform/file.h"
#include "platform/text.h"

enum class FileCause {
    None = 0,
    Generic = 1,
    FileNotFound = 2,
    BadPath = 3,
    TooManyOpenFiles = 4,
    AccessDenied = 5,
    InvalidFile = 6,
    RemoveCurrentDir = 7,
    DirectoryFull = 8,
    BadSeek = 9,
    HardIo = 10,
    SharingViolation = 11,
    LockViolation = 12,
    DiskFull = 13,
    EndOfFile = 14,
};

namespace platform {
// The cause of an operating-system error code (GetLastError() on Win32,
// errno on POSIX); 0 is None, a code without a closer cause is Generic.
FileCause FileCauseFromOsError(int osError);
}  // namespace platform

class CFileException : public std::exception {
public:
    CFileException(FileCause cause, WString fileName, int osError = 0)
        : cause_(cause), fileName_(std::move(fileName)), osError_(osError) {}
    // From the operating system's error code of the failure.
    static CFileException FromOsError(int osError, WString fileName) {
        return CFileException(platform::FileCauseFromOsError(osError), std::move(fileName), osError);
    }

    FileCause Cause() const { return cause_; }
    const WString& FileName() const { return fileName_; }
    int OsError() const { return osError_; }
    const char* what() const noexcept override { return "file operation failed"; }

private:
    FileCause cause_;
    WString fileName_;
    int osError_;
};

// The cause's text with "%1" replaced by fileName, cut to 511 characters.
WString FileErrorMessage(FileCause cause, const WString& fileName);
inline WString FileErrorMessage(const CFileException& error) {
    return FileErrorMessage(error.Cause(), error.FileName());
}

// A file opened as an existing file for reading and writing with no sharing.
// The destructor closes without reporting, for the paths that are already
// reporting another failure; Close() reports.
class CFile {
public:
    CFile() = default;
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    void OpenReadWrite(const WString& path);
    uint64_t GetLength();
    // Reads up to size bytes; gives the count read, less only at the end.
    size_t Read(void* buffer, size_t size);
    void Seek(uint64_t offset);
    void SetLength(uint64_t length);
    void Write(const void* buffer, size_t size);
    void Close();
    // The full path of the open file, as its later failures name it.
    const WString& FullPath() const { return fullPath_; }

private:
    [[noreturn]] void Fail(int osError) const;

    platform::FileHandle file_;
    WString fullPath_;
};
