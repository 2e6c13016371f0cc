// The stdio platform layer: narrow ANSI names, a byte stream, file times.
#include "platform/stdio.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "tests/support/gtest_files.h"

using testsupport::SetModifiedTime;
using testsupport::TestFolder;
using testsupport::Write;

namespace {

struct Closer {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, Closer>;

std::string ReadAll(std::FILE* file) {
    std::string bytes;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, file)) bytes += buffer;
    return bytes;
}

}  // namespace

TEST(PlatformStdio, OpensBackslashPathsAndGbkNames) {
    TestFolder folder;
    Write("config/plain.ini", "plain");
    Write("config/华为_型号.ini", "gbk");
    Write("乗/x.ini", "trail 5C");  // 乗 is 81 5C in GBK: its 0x5C is no separator

    const struct { const char* ansi; const char* content; } cases[] = {
        {"config\\plain.ini", "plain"},
        {"config\\\xBB\xAA\xCE\xAA_\xD0\xCD\xBA\xC5.ini", "gbk"},
        {"\x81\x5C\\x.ini", "trail 5C"},
    };
    for (const auto& c : cases) {
        File file(platform::OpenForRead(c.ansi));
        ASSERT_NE(file, nullptr) << c.content;
        EXPECT_EQ(ReadAll(file.get()), c.content);
        EXPECT_NE(platform::FileModifiedTime(c.ansi), 0u) << c.content;
    }
    EXPECT_EQ(platform::OpenForRead("config\\missing.ini"), nullptr);
    EXPECT_EQ(platform::OpenForRead("config"), nullptr);  // a folder is no file to read
    EXPECT_EQ(platform::OpenForRead(nullptr), nullptr);
}

TEST(PlatformStdio, ReadsEveryByteAsItIs) {
    TestFolder folder;
    const std::string bytes = "a = 1\r\n\x1A\r\nb = 2\r\n\rc\n";
    Write("bytes.ini", bytes);
    File file(platform::OpenForRead("bytes.ini"));
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(ReadAll(file.get()), bytes);
}

TEST(PlatformStdio, ModificationTimeInSecondsSince1970) {
    TestFolder folder;
    Write("t.ini", "x");
    for (int64_t seconds : {int64_t{1}, int64_t{1600000000}, int64_t{2147483647}, int64_t{4000000000}}) {
        SetModifiedTime("t.ini", seconds);
        EXPECT_EQ(platform::FileModifiedTime("t.ini"), static_cast<uint32_t>(seconds)) << seconds;
    }
    SetModifiedTime("t.ini", int64_t{1} << 32 | 5);  // only the low 32 bits are kept
    EXPECT_EQ(platform::FileModifiedTime("t.ini"), 5u);
    EXPECT_EQ(platform::FileModifiedTime("missing.ini"), 0u);
    EXPECT_EQ(platform::FileModifiedTime(nullptr), 0u);
}
