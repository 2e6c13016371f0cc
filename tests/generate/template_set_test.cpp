// The file names of a press and the merge of the templates, byte for byte.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "generate/template_set.h"

namespace fs = std::filesystem;

namespace {

std::string Utf8(WStringView text) { return WideToUtf8(text); }

TEST(MakeTemplateSet, NamesByPlainConcatenation) {
    const TemplateSet set = MakeTemplateSet(u"华为", u"S5700-V200R009C00");
    EXPECT_EQ(Utf8(set.baseTemplatePath), "config\\华为_S5700-V200R009C00_tp.ini");
    EXPECT_EQ(Utf8(set.mabTemplatePath), "config\\华为_S5700-V200R009C00_mab_tp.ini");
    EXPECT_EQ(Utf8(set.escapeVlanTemplatePath), "config\\华为_S5700-V200R009C00_DeadVlan_tp.ini");
    EXPECT_EQ(Utf8(set.guestVlanTemplatePath), "config\\华为_S5700-V200R009C00_GeustVlan_tp.ini");
    EXPECT_EQ(Utf8(set.mergePath), "config\\华为_S5700-V200R009C00_merge_tp.ini");
    EXPECT_EQ(Utf8(set.outputFileName), "华为_S5700-V200R009C00.ini");
    EXPECT_EQ(Utf8(set.outputPath), "config\\华为_S5700-V200R009C00.ini");
}

TEST(MakeTemplateSet, NamesTakenAsTheyStand) {
    const struct {
        const char16_t* vendor;
        const char16_t* model;
        const char* base;
        const char* outputFileName;
    } cases[] = {
        {u"华为", u"", "config\\华为__tp.ini", "华为_.ini"},  // an empty model list
        {u"", u"", "config\\__tp.ini", "_.ini"},
        {u" 思科 ", u"IOS XE", "config\\ 思科 _IOS XE_tp.ini", " 思科 _IOS XE.ini"},
    };
    for (const auto& c : cases) {
        const TemplateSet set = MakeTemplateSet(c.vendor, c.model);
        EXPECT_EQ(Utf8(set.baseTemplatePath), c.base);
        EXPECT_EQ(Utf8(set.outputFileName), c.outputFileName);
    }
    EXPECT_EQ(Utf8(MakeTemplateSet(u"华为", u"").mergePath), "config\\华为__merge_tp.ini");
}

// The program's "config\name" form as a path of this system.
fs::path PathOf(WString text) {
    for (char16_t& c : text)
        if (c == u'\\') c = u'/';
    return fs::u8path(Utf8(text));
}

void WriteBytes(const WString& path, const std::string& bytes) {
    std::ofstream out(PathOf(path), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out) << Utf8(path);
}

std::optional<std::string> ReadBytes(const WString& path) {
    std::ifstream in(PathOf(path), std::ios::binary);
    if (!in) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Bytes shown with their control characters spelled out, for failures.
std::string Visible(const std::string& bytes) {
    std::string out;
    for (unsigned char c : bytes) {
        if (c == '\r') out += "<CR>";
        else if (c == '\n') out += "<LF>\n";
        else if (c < 0x20) out += "<" + std::to_string(c) + ">";
        else out += static_cast<char>(c);
    }
    return out;
}

const char* KindName(MergeResult::Kind kind) {
    switch (kind) {
        case MergeResult::Kind::Ok: return "Ok";
        case MergeResult::Kind::TemplateMissing: return "TemplateMissing";
        case MergeResult::Kind::LineTooLong: return "LineTooLong";
        case MergeResult::Kind::MergeFileFailed: return "MergeFileFailed";
    }
    return "?";
}

// Each test starts with an empty config folder of its own in the test's
// working directory.
class Merge : public ::testing::Test {
protected:
    void SetUp() override {
        std::error_code ignored;
        fs::remove_all("config", ignored);
        ASSERT_TRUE(fs::create_directory("config"));
        set = MakeTemplateSet(u"华为", u"S5700");
    }

    SwitchConfigRequest Options(int mab, int escape, int guest) {
        SwitchConfigRequest request;
        request.mabEnabled = mab;
        request.escapeVlanEnabled = escape;
        request.guestVlanEnabled = guest;
        return request;
    }

    TemplateSet set;
};

const std::string k998(998, 'x');
const std::string k999(999, 'x');

TEST_F(Merge, LineRulesOfTheBaseTemplate) {
    const struct {
        const char* name;
        std::string base;
        std::string merged;
    } cases[] = {
        {"LF ends", "a\nb\n", "a\r\nb\r\n\r\n"},
        {"no final LF", "a\nb", "a\r\nb\r\n"},
        {"CR LF ends", "a\r\n", "a\r\n\r\n"},
        {"mixed ends", "a\r\nb\nc", "a\r\nb\r\nc\r\n"},
        {"empty template", "", "\r\n"},
        {"only LF", "\n", "\r\n\r\n"},
        {"empty lines kept", "\n\n\r\n", "\r\n\r\n\r\n\r\n"},
        {"CR inside a line kept", "a\rb\n", "a\rb\r\n\r\n"},
        {"CR before CR LF kept", "a\r\r\n", "a\r\r\n\r\n"},
        {"CR at the end of the file kept", "a\r", "a\r\r\n"},
        {"zero byte cuts the line", std::string("ab\0cd\nef", 8), "ab\r\nef\r\n"},
        {"zero byte first", std::string("\0z\n", 3), "\r\n\r\n"},
        // Windows' text mode would end the file here.
        {"0x1A is an ordinary byte", "a\x1a" "b\nc", "a\x1a" "b\r\nc\r\n"},
        {"high bytes (GBK) unchanged", "\xbb\xaa\xce\xaa\n", "\xbb\xaa\xce\xaa\r\n\r\n"},
        {"998 bytes and LF", k998 + "\n", k998 + "\r\n\r\n"},
        {"998 bytes and CR LF", k998 + "\r\n", k998 + "\r\n\r\n"},
        {"998 bytes at the end", "a\n" + k998, "a\r\n" + k998 + "\r\n"},
        {"997 bytes and a CR at the end", std::string(997, 'x') + "\r", std::string(997, 'x') + "\r\r\n"},
    };
    for (const auto& c : cases) {
        WriteBytes(set.baseTemplatePath, c.base);
        const MergeResult result = MergeTemplates(Options(0, 0, 0), set);
        EXPECT_STREQ(KindName(result.kind), "Ok") << c.name;
        EXPECT_EQ(Visible(ReadBytes(set.mergePath).value_or("(none)")), Visible(c.merged)) << c.name;
    }
}

TEST_F(Merge, LineOver998BytesStopsWithFileAndLine) {
    const struct {
        const char* name;
        std::string base;
        int line;
    } cases[] = {
        {"999 bytes", k999 + "\n", 1},
        {"999 bytes at the end", k999, 1},
        {"999 bytes on line 3", "a\r\nb\n" + k999 + "\r\nc\n", 3},
        {"998 bytes, CR, CR LF", k998 + "\r\r\n", 1},
        {"998 bytes and a CR at the end", k998 + "\r", 1},
        {"a very long line", "a\n" + std::string(300000, 'y') + "\n", 2},
    };
    for (const auto& c : cases) {
        WriteBytes(set.baseTemplatePath, c.base);
        const MergeResult result = MergeTemplates(Options(0, 0, 0), set);
        EXPECT_STREQ(KindName(result.kind), "LineTooLong") << c.name;
        EXPECT_EQ(result.line, c.line) << c.name;
        EXPECT_EQ(Utf8(result.file), Utf8(set.baseTemplatePath)) << c.name;
    }
}

TEST_F(Merge, LongLineInAFragmentNamesTheFragment) {
    WriteBytes(set.baseTemplatePath, "base\n");
    WriteBytes(set.guestVlanTemplatePath, "g1\ng2\n" + k999);
    const MergeResult result = MergeTemplates(Options(0, 0, 1), set);
    EXPECT_STREQ(KindName(result.kind), "LineTooLong");
    EXPECT_EQ(Utf8(result.file), Utf8(set.guestVlanTemplatePath));
    EXPECT_EQ(result.line, 3);  // counted within the fragment
}

// Templates much larger than any read buffer: lines and CR LF pairs that
// straddle reads must come out as from a small file.
TEST_F(Merge, LargeTemplateAcrossReads) {
    std::string base, merged;
    for (int i = 0; i < 65; ++i) {  // 65 000 bytes
        base += std::string(998, char('a' + i % 26)) + "\r\n";
        merged += std::string(998, char('a' + i % 26)) + "\r\n";
    }
    // A CR at 65 535 and its LF at 65 536.
    base += std::string(535, 'y') + "\r\n";
    merged += std::string(535, 'y') + "\r\n";
    for (int i = 0; i < 3000; ++i) {  // every length from 0 to 998, both line ends
        const std::string line(i % 999, char('0' + i % 10));
        base += line + (i % 3 == 0 ? "\r\n" : "\n");
        merged += line + "\r\n";
    }
    base += "end";
    merged += "end\r\n";
    WriteBytes(set.baseTemplatePath, base);
    const MergeResult result = MergeTemplates(Options(0, 0, 0), set);
    ASSERT_STREQ(KindName(result.kind), "Ok");
    const std::string actual = ReadBytes(set.mergePath).value_or("");
    EXPECT_EQ(actual.size(), merged.size());
    EXPECT_TRUE(actual == merged);
}

TEST_F(Merge, FragmentsInFixedOrderWhenSelected) {
    WriteBytes(set.baseTemplatePath, "B\n");
    WriteBytes(set.mabTemplatePath, "M\n");
    WriteBytes(set.escapeVlanTemplatePath, "E");
    WriteBytes(set.guestVlanTemplatePath, "G\r\n");
    const struct {
        int mab, escape, guest;
        const char* merged;
    } cases[] = {
        {0, 0, 0, "B\r\n\r\n"},
        {1, 0, 0, "B\r\n\r\nM\r\n\r\n"},
        {0, 1, 0, "B\r\n\r\nE\r\n"},
        {0, 0, 1, "B\r\n\r\nG\r\n\r\n"},
        {1, 0, 1, "B\r\n\r\nM\r\n\r\nG\r\n\r\n"},
        {1, 1, 1, "B\r\n\r\nM\r\n\r\nE\r\nG\r\n\r\n"},
    };
    for (const auto& c : cases) {
        const MergeResult result = MergeTemplates(Options(c.mab, c.escape, c.guest), set);
        EXPECT_STREQ(KindName(result.kind), "Ok");
        EXPECT_EQ(Visible(ReadBytes(set.mergePath).value_or("(none)")), Visible(c.merged))
            << "mab " << c.mab << " escape " << c.escape << " guest " << c.guest;
    }
}

TEST_F(Merge, EmptyBaseThenFragment) {
    WriteBytes(set.baseTemplatePath, "");
    WriteBytes(set.mabTemplatePath, "m\n");
    EXPECT_STREQ(KindName(MergeTemplates(Options(1, 0, 0), set).kind), "Ok");
    EXPECT_EQ(Visible(ReadBytes(set.mergePath).value_or("(none)")), Visible("\r\nm\r\n\r\n"));
}

TEST_F(Merge, UnselectedFragmentsMayBeMissing) {
    WriteBytes(set.baseTemplatePath, "only\n");
    const MergeResult result = MergeTemplates(Options(0, 0, 0), set);
    EXPECT_STREQ(KindName(result.kind), "Ok");
    EXPECT_EQ(Visible(ReadBytes(set.mergePath).value_or("(none)")), Visible("only\r\n\r\n"));
}

TEST_F(Merge, MissingSelectedTemplateIsNamed) {
    const struct {
        const char* name;
        bool base, mab, escape, guest;  // on disk
        int optMab, optEscape, optGuest;
        WString TemplateSet::*missing;
    } cases[] = {
        {"base", false, true, true, true, 1, 1, 1, &TemplateSet::baseTemplatePath},
        {"base, no options", false, true, true, true, 0, 0, 0, &TemplateSet::baseTemplatePath},
        {"MAB", true, false, true, true, 1, 1, 1, &TemplateSet::mabTemplatePath},
        {"escape VLAN", true, true, false, true, 1, 1, 1, &TemplateSet::escapeVlanTemplatePath},
        {"guest VLAN", true, true, true, false, 0, 0, 1, &TemplateSet::guestVlanTemplatePath},
        {"first of two missing", true, false, true, false, 1, 0, 1, &TemplateSet::mabTemplatePath},
    };
    for (const auto& c : cases) {
        SetUp();
        if (c.base) WriteBytes(set.baseTemplatePath, "b\n");
        if (c.mab) WriteBytes(set.mabTemplatePath, "m\n");
        if (c.escape) WriteBytes(set.escapeVlanTemplatePath, "e\n");
        if (c.guest) WriteBytes(set.guestVlanTemplatePath, "g\n");
        WriteBytes(set.mergePath, "last press");
        const MergeResult result = MergeTemplates(Options(c.optMab, c.optEscape, c.optGuest), set);
        EXPECT_STREQ(KindName(result.kind), "TemplateMissing") << c.name;
        EXPECT_EQ(Utf8(result.file), Utf8(set.*c.missing)) << c.name;
        // Found before the merge file is touched.
        EXPECT_EQ(ReadBytes(set.mergePath).value_or("(none)"), "last press") << c.name;
    }
}

TEST_F(Merge, UnreadableTemplateIsMissing) {
    // A folder where the template should be: POSIX opens it and fails the
    // read, Windows fails the open; the user sees the same message.
    WriteBytes(set.baseTemplatePath, "b\n");
    ASSERT_TRUE(fs::create_directory(PathOf(set.mabTemplatePath)));
    const MergeResult result = MergeTemplates(Options(1, 0, 0), set);
    EXPECT_STREQ(KindName(result.kind), "TemplateMissing");
    EXPECT_EQ(Utf8(result.file), Utf8(set.mabTemplatePath));
}

TEST_F(Merge, MergeFileThatCannotBeCreatedIsReported) {
    WriteBytes(set.baseTemplatePath, "b\n");
    ASSERT_TRUE(fs::create_directory(PathOf(set.mergePath)));
    const MergeResult result = MergeTemplates(Options(0, 0, 0), set);
    EXPECT_STREQ(KindName(result.kind), "MergeFileFailed");
    EXPECT_EQ(Utf8(result.file), Utf8(set.mergePath));
    EXPECT_NE(result.osError, 0);
}

TEST_F(Merge, SecondPressRewritesTheMergeFile) {
    WriteBytes(set.baseTemplatePath, "a\nb\n");
    WriteBytes(set.mergePath, std::string(5000, 'o'));  // an older, longer merge file
    for (int press = 0; press < 2; ++press) {
        EXPECT_STREQ(KindName(MergeTemplates(Options(0, 0, 0), set).kind), "Ok");
        EXPECT_EQ(Visible(ReadBytes(set.mergePath).value_or("(none)")), Visible("a\r\nb\r\n\r\n"))
            << "press " << press;
    }
}

TEST_F(Merge, VendorAndModelNamesInChinese) {
    set = MakeTemplateSet(u"华三", u"交换机-甲");
    WriteBytes(set.baseTemplatePath, "h3c\n");
    WriteBytes(set.mabTemplatePath, "mab\n");
    EXPECT_STREQ(KindName(MergeTemplates(Options(1, 0, 0), set).kind), "Ok");
    EXPECT_TRUE(fs::exists(fs::u8path("config/华三_交换机-甲_merge_tp.ini")));
    EXPECT_EQ(Visible(ReadBytes(set.mergePath).value_or("(none)")), Visible("h3c\r\n\r\nmab\r\n\r\n"));
}

}  // namespace
