// The file class's failures: which cause, which name, which text.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "platform/file_exception.h"
#include "tests/support/gtest_files.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#endif

namespace {

TEST(FileErrorMessage, PutsTheNameInTheCauseText) {
    struct Case {
        FileCause cause;
        const char16_t* text;
    };
    const Case cases[] = {
        {FileCause::None, u"未发生错误。"},
        {FileCause::Generic, u"访问 config\\华为_a.ini 时发生未知错误。"},
        {FileCause::FileNotFound, u"没有找到 config\\华为_a.ini。"},
        {FileCause::BadPath, u"config\\华为_a.ini 包含错误的路径。"},
        {FileCause::TooManyOpenFiles, u"无法打开 config\\华为_a.ini，因为打开的文件太多。"},
        {FileCause::AccessDenied, u"对 config\\华为_a.ini 的访问被拒绝。"},
        {FileCause::InvalidFile, u"与 config\\华为_a.ini 相关联的文件句柄不正确。"},
        {FileCause::RemoveCurrentDir, u"无法删除 config\\华为_a.ini，因为它是当前目录。"},
        {FileCause::DirectoryFull, u"该目录已满，无法创建 config\\华为_a.ini。"},
        {FileCause::BadSeek, u"对 config\\华为_a.ini 进行查找失败。"},
        {FileCause::HardIo, u"访问 config\\华为_a.ini 时遇到硬件 I/O 错误。"},
        {FileCause::SharingViolation, u"访问 config\\华为_a.ini 时遇到共享冲突。"},
        {FileCause::LockViolation, u"访问 config\\华为_a.ini 时遇到锁定冲突。"},
        {FileCause::DiskFull, u"访问 config\\华为_a.ini 时磁盘已满。"},
        {FileCause::EndOfFile, u"试图访问 config\\华为_a.ini 时超过它的结尾。"},
        {static_cast<FileCause>(15), u"访问 config\\华为_a.ini 时发生未知错误。"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(WideToUtf8(FileErrorMessage(c.cause, u"config\\华为_a.ini")), WideToUtf8(c.text));
}

TEST(FileErrorMessage, IsCutTo511Characters) {
    const WString longName = u"config\\" + WString(600, u'长') + u".ini";
    const WString message = FileErrorMessage(FileCause::AccessDenied, longName);
    EXPECT_EQ(message.size(), 511u);
    EXPECT_EQ(message.substr(0, 9), u"对 config\\");
    // A cut inside a surrogate pair drops the half.
    WString emoji;
    for (int i = 0; i < 300; ++i) emoji += u"\U0001F600";
    const WString cut = FileErrorMessage(FileCause::AccessDenied, emoji);
    EXPECT_EQ(cut.size(), 510u);
    EXPECT_TRUE(cut.back() >= 0xDC00 && cut.back() <= 0xDFFF) << "ends on a whole pair";
}

TEST(FileCause, FromTheSystemsErrorCodes) {
    struct Case {
        int osError;
        FileCause cause;
    };
#ifdef _WIN32
    const Case cases[] = {
        {0, FileCause::None},
        {ERROR_FILE_NOT_FOUND, FileCause::FileNotFound},
        {ERROR_INVALID_HANDLE, FileCause::FileNotFound},
        {ERROR_PATH_NOT_FOUND, FileCause::BadPath},
        {ERROR_INVALID_NAME, FileCause::BadPath},
        {ERROR_FILENAME_EXCED_RANGE, FileCause::BadPath},
        {ERROR_TOO_MANY_OPEN_FILES, FileCause::TooManyOpenFiles},
        {ERROR_ACCESS_DENIED, FileCause::AccessDenied},
        {ERROR_WRITE_PROTECT, FileCause::AccessDenied},
        {ERROR_FILE_EXISTS, FileCause::AccessDenied},
        {ERROR_BAD_FORMAT, FileCause::InvalidFile},
        {ERROR_CURRENT_DIRECTORY, FileCause::RemoveCurrentDir},
        {ERROR_CANNOT_MAKE, FileCause::DirectoryFull},
        {ERROR_NEGATIVE_SEEK, FileCause::BadSeek},
        {ERROR_CRC, FileCause::HardIo},
        {ERROR_SHARING_VIOLATION, FileCause::SharingViolation},
        {ERROR_LOCK_VIOLATION, FileCause::LockViolation},
        {ERROR_DISK_FULL, FileCause::DiskFull},
        {ERROR_HANDLE_DISK_FULL, FileCause::DiskFull},
        {ERROR_HANDLE_EOF, FileCause::EndOfFile},
        {ERROR_NOT_ENOUGH_MEMORY, FileCause::Generic},
    };
#else
    const Case cases[] = {
        {0, FileCause::None},
        {ENOENT, FileCause::FileNotFound},
        {EBADF, FileCause::FileNotFound},
        {ENOTDIR, FileCause::BadPath},
        {ENAMETOOLONG, FileCause::BadPath},
        {EINVAL, FileCause::BadPath},
        {EMFILE, FileCause::TooManyOpenFiles},
        {ENFILE, FileCause::TooManyOpenFiles},
        {EACCES, FileCause::AccessDenied},
        {EPERM, FileCause::AccessDenied},
        {EROFS, FileCause::AccessDenied},
        {EEXIST, FileCause::AccessDenied},
        {EISDIR, FileCause::AccessDenied},
        {ESPIPE, FileCause::BadSeek},
        {EIO, FileCause::HardIo},
        {EWOULDBLOCK, FileCause::SharingViolation},
        {ENOLCK, FileCause::LockViolation},
        {ENOSPC, FileCause::DiskFull},
        {EDQUOT, FileCause::DiskFull},
        {ENOMEM, FileCause::Generic},
    };
#endif
    for (const Case& c : cases)
        EXPECT_EQ(platform::FileCauseFromOsError(c.osError), c.cause) << c.osError;
}

class CFileTest : public testing::Test {
protected:
    const WString dir = u"cfile_test";
    const WString path = dir + u"\\合并.ini";
    const WString copy = dir + u"\\副本.ini";

    void SetUp() override {
        TearDown();
        testsupport::MakeFolder(dir);
    }
    void TearDown() override { testsupport::RemoveTree(dir); }

    // Runs op, which must throw; gives the exception.
    template <class Op>
    CFileException Thrown(Op op) {
        try {
            op();
        } catch (const CFileException& e) {
            return e;
        }
        ADD_FAILURE() << "no CFileException";
        return CFileException(FileCause::None, u"");
    }
};

TEST_F(CFileTest, ReadsSeeksCutsAndWrites) {
    testsupport::Write(path, "0123456789");
    CFile file;
    file.OpenReadWrite(path);
    EXPECT_EQ(file.GetLength(), 10u);
    char buf[16];
    EXPECT_EQ(file.Read(buf, sizeof buf), 10u);
    EXPECT_EQ(std::string(buf, 10), "0123456789");
    file.Seek(0);
    file.SetLength(0);
    file.Write("ab", 2);
    file.Close();
    EXPECT_EQ(testsupport::Read(path), "ab");
}

TEST_F(CFileTest, AFailedOpenNamesThePathAsGiven) {
    struct Case {
        const char* what;
        WString path;
        FileCause cause;
    };
    testsupport::MakeFolder(dir + u"\\sub");
    const Case cases[] = {
        {"missing file", path, FileCause::FileNotFound},
        {"missing folder", dir + u"\\none\\x.ini", FileCause::BadPath},
        {"a folder", dir + u"\\sub", FileCause::AccessDenied},
    };
    for (const Case& c : cases) {
        CFile file;
        const CFileException e = Thrown([&] { file.OpenReadWrite(c.path); });
        EXPECT_EQ(e.Cause(), c.cause) << c.what;
        EXPECT_EQ(WideToUtf8(e.FileName()), WideToUtf8(c.path)) << c.what;
    }
}

TEST_F(CFileTest, AFileHeldWithoutSharingIsASharingViolation) {
    testsupport::Write(path, "x");
    CFile holder;
    holder.OpenReadWrite(path);
    CFile other;
    const CFileException e = Thrown([&] { other.OpenReadWrite(path); });
    EXPECT_EQ(e.Cause(), FileCause::SharingViolation);
    EXPECT_EQ(WideToUtf8(FileErrorMessage(e)), "访问 cfile_test\\合并.ini 时遇到共享冲突。");
}

TEST_F(CFileTest, AReadOnlyFileIsRefused) {
    REQUIRE_READ_ONLY_ENFORCED();
    testsupport::Write(path, "x");
    testsupport::SetReadOnly(path, true);
    CFile file;
    const CFileException e = Thrown([&] { file.OpenReadWrite(path); });
    EXPECT_EQ(e.Cause(), FileCause::AccessDenied);
}

TEST_F(CFileTest, ALaterFailureNamesTheFullPath) {
    testsupport::Write(path, "x");
    CFile file;
    file.OpenReadWrite(path);
    EXPECT_EQ(file.FullPath(), platform::FullPath(path));
    EXPECT_NE(file.FullPath(), path);
    const CFileException e = Thrown([&] { file.Seek(~uint64_t{0}); });
    EXPECT_EQ(e.Cause(), FileCause::BadSeek);
    EXPECT_EQ(WideToUtf8(e.FileName()), WideToUtf8(platform::FullPath(path)));
}

class CopyTest : public CFileTest {};

TEST_F(CopyTest, ReplacesAnExistingFile) {
    testsupport::Write(path, "new content");
    testsupport::Write(copy, "an old and longer content");
    EXPECT_EQ(platform::CopyFileReplacing(path, copy), 0);
    EXPECT_EQ(testsupport::Read(copy), "new content");
    EXPECT_EQ(testsupport::Read(path), "new content");
    std::string names;
    for (const auto& entry : std::filesystem::directory_iterator(testsupport::FilePath(dir).path()))
        names += " " + entry.path().filename().u8string();
    EXPECT_EQ(names.size(), std::string(" 合并.ini 副本.ini").size()) << "only the source and the copy:" << names;
}

TEST_F(CopyTest, FailuresLeaveTheTargetAsItWas) {
    testsupport::Write(path, "new");
    testsupport::MakeFolder(dir + u"\\sub");
    struct Case {
        const char* what;
        WString from, to;
        FileCause cause;
    };
    const Case cases[] = {
        {"onto itself", path, path, FileCause::SharingViolation},
        {"onto itself by another name", path, dir + u"\\.\\合并.ini", FileCause::SharingViolation},
        {"onto a folder", path, dir + u"\\sub", FileCause::AccessDenied},
        {"into a missing folder", path, dir + u"\\none\\x.ini", FileCause::BadPath},
        {"from a missing file", dir + u"\\none.ini", copy, FileCause::FileNotFound},
    };
    for (const Case& c : cases) {
        const int error = platform::CopyFileReplacing(c.from, c.to);
        EXPECT_EQ(platform::FileCauseFromOsError(error), c.cause) << c.what << ": " << error;
    }
    EXPECT_EQ(testsupport::Read(path), "new");
    EXPECT_EQ(testsupport::Read(copy), std::nullopt);
}

TEST_F(CopyTest, AReadOnlyTargetIsRefusedAndKept) {
    REQUIRE_READ_ONLY_ENFORCED();
    testsupport::Write(path, "new");
    testsupport::Write(copy, "old");
    testsupport::SetReadOnly(copy, true);
    EXPECT_EQ(platform::FileCauseFromOsError(platform::CopyFileReplacing(path, copy)),
              FileCause::AccessDenied);
    EXPECT_EQ(testsupport::Read(copy), "old");
}


}  // namespace
