// The file primitives against the real file system, in a folder of the
// test's own. The error codes differ by side; what they mean must not.
#include <gtest/gtest.h>

#include <string>

#include "platform/file.h"
#include "tests/support/gtest_files.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

using platform::Access;
using platform::Disposition;
using platform::FileHandle;
using platform::Share;

#ifdef _WIN32
constexpr int kNotFound = ERROR_FILE_NOT_FOUND;
constexpr int kPathNotFound = ERROR_PATH_NOT_FOUND;
constexpr int kSharing = ERROR_SHARING_VIOLATION;
constexpr int kDenied = ERROR_ACCESS_DENIED;
constexpr int kReadOnly = ERROR_ACCESS_DENIED;
#else
constexpr int kNotFound = ENOENT;
constexpr int kPathNotFound = ENOTDIR;  // a folder on the way is missing
constexpr int kSharing = EWOULDBLOCK;
constexpr int kDenied = EISDIR;  // a folder
constexpr int kReadOnly = EACCES;
#endif

std::string ReadAll(const WString& path) {
    FileHandle file;
    EXPECT_EQ(file.Open(path, Access::Read, Share::ReadWrite, Disposition::OpenExisting), 0);
    std::string bytes(4096, '\0');
    size_t got = 0;
    EXPECT_EQ(file.Read(&bytes[0], bytes.size(), got), 0);
    bytes.resize(got);
    return bytes;
}

class FileTest : public testing::Test {
protected:
    // A folder with a Chinese name, reached through the program's own
    // backslash form.
    const WString dir = u"file_test_华为";
    const WString path = dir + u"\\输出.ini";

    void SetUp() override {
        TearDown();
        testsupport::MakeFolder(dir);
    }
    void TearDown() override { testsupport::RemoveTree(dir); }
};

TEST_F(FileTest, CreateWriteReadSeekAndCut) {
    EXPECT_FALSE(platform::PathExists(path));
    FileHandle file;
    ASSERT_EQ(file.Open(path, Access::ReadWrite, Share::None, Disposition::CreateAlways), 0);
    EXPECT_TRUE(file.IsOpen());
    EXPECT_TRUE(platform::PathExists(path));
    ASSERT_EQ(file.Write("hello world", 11), 0);
    uint64_t length = 0;
    ASSERT_EQ(file.Length(length), 0);
    EXPECT_EQ(length, 11u);
    ASSERT_EQ(file.Seek(6), 0);
    char buf[16] = {};
    size_t got = 0;
    ASSERT_EQ(file.Read(buf, sizeof buf, got), 0);
    EXPECT_EQ(std::string(buf, got), "world");
    ASSERT_EQ(file.Read(buf, sizeof buf, got), 0);
    EXPECT_EQ(got, 0u) << "at the end";
    // Cutting keeps the position; writing from 0 after cutting to 0 leaves
    // exactly the new bytes.
    ASSERT_EQ(file.Seek(0), 0);
    ASSERT_EQ(file.SetLength(0), 0);
    ASSERT_EQ(file.Write("hi", 2), 0);
    ASSERT_EQ(file.Length(length), 0);
    EXPECT_EQ(length, 2u);
    EXPECT_EQ(file.Close(), 0);
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(ReadAll(path), "hi");
}

TEST_F(FileTest, CreateAlwaysEmptiesAnExistingFile) {
    {
        FileHandle file;
        ASSERT_EQ(file.Open(path, Access::Write, Share::None, Disposition::CreateAlways), 0);
        ASSERT_EQ(file.Write("old content", 11), 0);
    }
    FileHandle file;
    ASSERT_EQ(file.Open(path, Access::Read, Share::Read, Disposition::CreateAlways), 0);
    uint64_t length = 99;
    ASSERT_EQ(file.Length(length), 0);
    EXPECT_EQ(length, 0u);
}

TEST_F(FileTest, OpeningFailsWithTheSystemsCause) {
    FileHandle file;
    EXPECT_EQ(file.Open(path, Access::ReadWrite, Share::None, Disposition::OpenExisting), kNotFound);
    EXPECT_EQ(file.Open(dir + u"\\none\\x.ini", Access::ReadWrite, Share::None,
                        Disposition::OpenExisting),
              kPathNotFound);
    testsupport::MakeFolder(dir + u"\\sub");
    EXPECT_TRUE(platform::PathExists(dir + u"\\sub")) << "a folder counts as existing";
    EXPECT_EQ(file.Open(dir + u"\\sub", Access::ReadWrite, Share::None, Disposition::OpenExisting),
              kDenied);
    EXPECT_FALSE(file.IsOpen());
}

TEST_F(FileTest, AReadOnlyFileIsReadButNeverWritten) {
    REQUIRE_READ_ONLY_ENFORCED();  // natively also as root
    testsupport::Write(path, "kept");
    testsupport::SetReadOnly(path, true);
    FileHandle file;
    EXPECT_EQ(file.Open(path, Access::ReadWrite, Share::None, Disposition::OpenExisting), kReadOnly);
    EXPECT_EQ(file.Open(path, Access::Write, Share::None, Disposition::OpenExisting), kReadOnly);
    EXPECT_EQ(file.Open(path, Access::Read, Share::Read, Disposition::CreateAlways), kReadOnly);
    EXPECT_EQ(testsupport::Read(path), "kept");
    EXPECT_EQ(file.Open(path, Access::Read, Share::None, Disposition::OpenExisting), 0);
}

TEST_F(FileTest, AnExclusiveOpenKeepsOthersOut) {
    FileHandle holder;
    ASSERT_EQ(holder.Open(path, Access::ReadWrite, Share::None, Disposition::CreateAlways), 0);
    ASSERT_EQ(holder.Write("kept", 4), 0);
    FileHandle other;
    EXPECT_EQ(other.Open(path, Access::ReadWrite, Share::None, Disposition::OpenExisting), kSharing);
    EXPECT_EQ(other.Open(path, Access::Read, Share::ReadWrite, Disposition::OpenExisting), kSharing);
    EXPECT_EQ(other.Open(path, Access::Read, Share::Read, Disposition::CreateAlways), kSharing);
    holder.Close();
    EXPECT_EQ(ReadAll(path), "kept") << "a refused create-always must not empty the file";
    EXPECT_EQ(other.Open(path, Access::ReadWrite, Share::None, Disposition::OpenExisting), 0);
}

TEST_F(FileTest, SharedReadersExcludeAnExclusiveOpen) {
    FileHandle reader;
    ASSERT_EQ(reader.Open(path, Access::Read, Share::Read, Disposition::CreateAlways), 0);
    FileHandle other;
    EXPECT_EQ(other.Open(path, Access::ReadWrite, Share::None, Disposition::OpenExisting), kSharing);
}

TEST_F(FileTest, HandlesMoveTheirOwnership) {
    FileHandle a;
    ASSERT_EQ(a.Open(path, Access::ReadWrite, Share::None, Disposition::CreateAlways), 0);
    FileHandle b(std::move(a));
    EXPECT_FALSE(a.IsOpen());
    EXPECT_TRUE(b.IsOpen());
    FileHandle c;
    c = std::move(b);
    EXPECT_TRUE(c.IsOpen());
    EXPECT_EQ(c.Write("x", 1), 0);
}

TEST(FullPath, AbsoluteFromTheCurrentFolder) {
    const WString full = platform::FullPath(u"config\\a\\..\\华为_x.ini");
#ifdef _WIN32
    wchar_t cwd[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, cwd);
    WString expected = FromWin(cwd);
    if (expected.back() != u'\\') expected += u'\\';
    EXPECT_EQ(WideToUtf8(full), WideToUtf8(expected + u"config\\华为_x.ini"));
#else
    char cwd[4096];
    ASSERT_TRUE(getcwd(cwd, sizeof cwd));
    EXPECT_EQ(WideToUtf8(full), std::string(cwd) + "/config/华为_x.ini");
    EXPECT_EQ(WideToUtf8(platform::FullPath(u"\\tmp\\.\\x")), "/tmp/x");
#endif
}

}  // namespace
