// Files through the operating system, one owner per handle.
//
// Paths are the program's own relative Windows form ("config\华为_S5700.ini"):
// the Win32 side hands them to the wide API unchanged; the POSIX side turns
// each backslash into a slash and the text into UTF-8.
//
// Every operation returns 0 or the operating system's error code of the
// failure (GetLastError() on Win32, errno on POSIX); nothing here throws.
// The file class with its exception (file_exception.h) is built on this.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/text.h"

namespace platform {

enum class Access { Read, Write, ReadWrite };
// Which other opens may run beside this one. None is exclusive: on POSIX an
// advisory lock, so two copies of the program still keep each other out.
enum class Share { None, Read, ReadWrite };
enum class Disposition { OpenExisting, CreateAlways };

int CopyFileReplacing(const WString& existing, const WString& target);

class FileHandle {
public:
    FileHandle() = default;
    ~FileHandle();
    FileHandle(FileHandle&& other) noexcept;
    FileHandle& operator=(FileHandle&& other) noexcept;
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    int Open(const WString& path, Access access, Share share, Disposition disposition);
    bool IsOpen() const;
    // Reads up to size bytes; got is the count read (0 at the end of the file).
    int Read(void* buffer, size_t size, size_t& got);
    // Writes all size bytes, or fails.
    int Write(const void* buffer, size_t size);
    int Seek(uint64_t offset);
    int SetLength(uint64_t length);
    int Length(uint64_t& length);
    int Close();

private:
    friend int CopyFileReplacing(const WString& existing, const WString& target);
#ifdef _WIN32
    void* handle_ = reinterpret_cast<void*>(static_cast<intptr_t>(-1));
#else
    int fd_ = -1;
#endif
};

// True when a file or folder of that name exists.
bool PathExists(const WString& path);

// Copies the file existing to target, replacing a file there, as CopyFileW
// does. A target that is the source itself is refused as a sharing violation
// and left as it is. On POSIX the bytes go to a temporary file beside the
// target that is then renamed over it, so a failed copy never leaves a
// half-written file where the old one was.
int CopyFileReplacing(const WString& existing, const WString& target);

// The path as the operating system sees it from the current directory, in the
// program's own form (backslashes on Windows; slashes on POSIX).
WString FullPath(const WString& path);

// Appends the whole file to bytes, opened for reading with shared reading.
int ReadWholeFile(const WString& path, std::string& bytes);

// A character no Windows file name may hold: a separator, the drive colon, a
// wildcard, a quote, a redirection, or a control character.
bool IsForbiddenInFileName(char16_t c);

}  // namespace platform
