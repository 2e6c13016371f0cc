// Files on POSIX, behaving as the Win32 side does where the program relies
// on it: exclusive opens exclude each other (flock), a file without any write
// permission bit is read-only even for root (as the read-only attribute is
// for an administrator on Windows), and a folder cannot be opened as a file.
#include "platform/file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

#include "platform/file_exception.h"
#include "platform/posix/native_path.h"

namespace platform {
namespace {

// Windows tells a missing file (ERROR_FILE_NOT_FOUND) from a missing folder on
// the way to it (ERROR_PATH_NOT_FOUND), and so do the messages; ENOENT does
// not, so look at the folder.
int MissingFileOrFolder(const std::string& native) {
    const size_t slash = native.rfind('/');
    if (slash == std::string::npos || slash == 0) return ENOENT;
    struct stat st;
    const std::string folder = native.substr(0, slash);
    return ::stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) ? ENOENT : ENOTDIR;
}

}  // namespace

std::string NativePath(const WString& path) {
    WString slashed = path;
    for (char16_t& c : slashed)
        if (c == u'\\') c = u'/';
    return WideToUtf8(slashed);
}

FileHandle::~FileHandle() { Close(); }

FileHandle::FileHandle(FileHandle&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }

FileHandle& FileHandle::operator=(FileHandle&& other) noexcept {
    if (this != &other) {
        Close();
        fd_ = other.fd_;
        other.fd_ = -1;
    }
    return *this;
}

int FileHandle::Open(const WString& path, Access access, Share share, Disposition disposition) {
    Close();
    const bool create = disposition == Disposition::CreateAlways;
    // Creating always empties the file, which needs write access; the cut is
    // made only once the lock is held, so a file another handle holds
    // exclusively is never touched.
    int flags = O_CLOEXEC;
    if (access == Access::ReadWrite || (create && access == Access::Read)) flags |= O_RDWR;
    else if (access == Access::Write) flags |= O_WRONLY;
    else flags |= O_RDONLY;
    if (create) flags |= O_CREAT;

    const std::string native = NativePath(path);
    int fd;
    do fd = ::open(native.c_str(), flags, 0666);
    while (fd < 0 && errno == EINTR);
    if (fd < 0) return errno == ENOENT ? MissingFileOrFolder(native) : errno;

    struct stat st;
    if (::fstat(fd, &st) != 0) {
        const int error = errno;
        ::close(fd);
        return error;
    }
    const bool writes = access != Access::Read || create;
    if (S_ISDIR(st.st_mode) || (writes && (st.st_mode & 0222) == 0)) {
        ::close(fd);
        return S_ISDIR(st.st_mode) ? EISDIR : EACCES;
    }
    const int lock = share == Share::None ? LOCK_EX : LOCK_SH;
    int locked;
    do locked = ::flock(fd, lock | LOCK_NB);
    while (locked != 0 && errno == EINTR);
    if (locked != 0) {
        const int error = errno;
        ::close(fd);
        return error;  // EWOULDBLOCK: held by another handle, a sharing violation
    }
    if (create && ::ftruncate(fd, 0) != 0) {
        const int error = errno;
        ::close(fd);
        return error;
    }
    fd_ = fd;
    return 0;
}

bool FileHandle::IsOpen() const { return fd_ >= 0; }

int FileHandle::Read(void* buffer, size_t size, size_t& got) {
    got = 0;
    if (fd_ < 0) return EBADF;
    char* at = static_cast<char*>(buffer);
    while (got < size) {
        const ssize_t n = ::read(fd_, at + got, size - got);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (n == 0) break;
        got += static_cast<size_t>(n);
    }
    return 0;
}

int FileHandle::Write(const void* buffer, size_t size) {
    if (fd_ < 0) return EBADF;
    const char* at = static_cast<const char*>(buffer);
    size_t done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd_, at + done, size - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (n == 0) return ENOSPC;  // nothing written: the disk is full
        done += static_cast<size_t>(n);
    }
    return 0;
}

int FileHandle::Seek(uint64_t offset) {
    if (fd_ < 0) return EBADF;
    if (offset > static_cast<uint64_t>(INT64_MAX)) return ESPIPE;  // a seek out of range
    return ::lseek(fd_, static_cast<off_t>(offset), SEEK_SET) < 0 ? errno : 0;
}

int FileHandle::SetLength(uint64_t length) {
    if (fd_ < 0) return EBADF;
    if (length > static_cast<uint64_t>(INT64_MAX)) return EINVAL;
    return ::ftruncate(fd_, static_cast<off_t>(length)) != 0 ? errno : 0;
}

int FileHandle::Length(uint64_t& length) {
    length = 0;
    if (fd_ < 0) return EBADF;
    struct stat st;
    if (::fstat(fd_, &st) != 0) return errno;
    length = static_cast<uint64_t>(st.st_size);
    return 0;
}

int FileHandle::Close() {
    if (fd_ < 0) return 0;
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) != 0 && errno != EINTR ? errno : 0;
}

int CopyFileReplacing(const WString& existing, const WString& target) {
    FileHandle source;
    if (int error = source.Open(existing, Access::Read, Share::Read, Disposition::OpenExisting))
        return error;
    const std::string to = NativePath(target);
    struct stat from, old;
    if (::fstat(source.fd_, &from) != 0) return errno;
    if (::stat(to.c_str(), &old) == 0) {
        if (old.st_dev == from.st_dev && old.st_ino == from.st_ino) return EWOULDBLOCK;
        if (S_ISDIR(old.st_mode) || (old.st_mode & 0222) == 0) return EACCES;
    } else if (errno != ENOENT) {
        return errno;
    } else if (int error = MissingFileOrFolder(to); error != ENOENT) {
        return error;
    }

    // A new name beside the target, created with the usual permissions.
    std::string temporary;
    int fd = -1;
    for (unsigned attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        temporary = to + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(attempt);
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) return errno;
    }
    if (fd < 0) return EEXIST;
    FileHandle copy;
    copy.fd_ = fd;
    int error = 0;
    std::vector<char> buffer(1 << 16);
    while (!error) {
        size_t got = 0;
        if ((error = source.Read(buffer.data(), buffer.size(), got)) || got == 0) break;
        error = copy.Write(buffer.data(), got);
    }
    if (!error) error = copy.Close();
    if (!error && ::rename(temporary.c_str(), to.c_str()) != 0) error = errno;
    if (error) ::unlink(temporary.c_str());
    return error;
}

FileCause FileCauseFromOsError(int osError) {
    switch (osError) {
    case 0: return FileCause::None;
    case ENOENT:
    case EBADF: return FileCause::FileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case EINVAL:
    case ELOOP: return FileCause::BadPath;
    case EMFILE:
    case ENFILE: return FileCause::TooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EROFS:
    case EEXIST:
    case EISDIR:
    case ETXTBSY: return FileCause::AccessDenied;
    case ENOEXEC: return FileCause::InvalidFile;
    case ESPIPE: return FileCause::BadSeek;
    case EIO:
    case ENXIO:
    case ENODEV: return FileCause::HardIo;
    case EWOULDBLOCK: return FileCause::SharingViolation;
    case EDEADLK:
    case ENOLCK: return FileCause::LockViolation;
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return FileCause::DiskFull;
    default: return FileCause::Generic;
    }
}

bool PathExists(const WString& path) {
    struct stat st;
    return ::stat(NativePath(path).c_str(), &st) == 0;
}

WString FullPath(const WString& path) {
    std::string native = NativePath(path);
    if (native.empty() || native[0] != '/') {
        std::vector<char> cwd(4096);
        while (!::getcwd(cwd.data(), cwd.size())) {
            if (errno != ERANGE) return Utf8ToWide(native);
            cwd.resize(cwd.size() * 2);
        }
        native = std::string(cwd.data()) + "/" + native;
    }
    // Resolve "." and ".." by the text alone, as GetFullPathNameW does.
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= native.size()) {
        size_t end = native.find('/', start);
        if (end == std::string::npos) end = native.size();
        const std::string part = native.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::string full;
    for (const std::string& part : parts) full += "/" + part;
    if (full.empty()) full = "/";
    if (full != "/" && native.back() == '/') full += "/";
    return Utf8ToWide(full);
}

}  // namespace platform
