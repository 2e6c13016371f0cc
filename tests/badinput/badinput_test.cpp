// Bad input, through the two ways the program meets files: FillModelCombo
// with a list that records every call, and the whole generate sequence with a
// scripted user. For every case: what the user is told, and that nothing the
// user had is lost: no success message unless the output file is complete
// and the copy is exact, and a Save As target that keeps its old content
// when the copy fails.
//
// Each case runs in a fresh folder of its own below the test's working folder.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "catalog/model_list.h"
#include "generate/request.h"
#include "generate/sequence.h"
#include "platform/text.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/test_files.h"

namespace fs = std::filesystem;

namespace {

using testsupport::kSavedEvent;
using testsupport::Read;
using testsupport::ScratchFolder;
using testsupport::ScriptedUi;
using testsupport::Write;

// ---------------------------------------------------------------- helpers

// Bytes that follow no rule, the same on every run.
std::string Garbage(size_t size, uint32_t seed, bool withLineFeeds) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i) {
        seed = seed * 1664525u + 1013904223u;
        char c = static_cast<char>(seed >> 24);
        if (withLineFeeds) {
            if (i % 61 == 60) c = '\n';
            else if (c == '\n') c = 'x';
        } else if (c == '\n') {
            c = 'x';
        }
        bytes[i] = c;
    }
    return bytes;
}

std::string Utf8(const WString& text) { return WideToUtf8(text); }

fs::path CaseDir(const std::string& name) { return fs::current_path() / ("case-" + name); }

// ------------------------------------------------------------ model lists

struct RecordingList : catalog::ModelList {
    std::vector<std::string> calls;
    std::vector<WString> names;
    void ResetContent() override {
        calls.push_back("reset");
        names.clear();
    }
    void InsertString(int index, const WString& text) override {
        // Only the first few calls are kept word for word: a list of
        // thousands would make failures unreadable.
        if (calls.size() < 8) calls.push_back("insert " + std::to_string(index));
        names.push_back(text);
    }
    void SetCurSel(int index) override { calls.push_back("select " + std::to_string(index)); }
};

struct ModelListCase {
    const char* name;
    std::function<std::string()> file;  // the bytes of config\hw_switch_model.ini
    size_t expectedCount;
    std::vector<WString> expectedFirst;  // the first names, as the list shows them
};

std::string ListFile(const std::string& count, const std::string& typeLines) {
    return "[config]\r\ncount = " + count + "\r\n[TYPE]\r\n" + typeLines;
}

const ModelListCase kModelListCases[] = {
    {"binary_garbage", [] { return Garbage(64 * 1024, 7, false); }, 0, {}},
    {"binary_garbage_lines", [] { return Garbage(64 * 1024, 8, true); }, 0, {}},
    // The line arrives in pieces of 65534 bytes: the first is the name, cut
    // there; the rest are lines without "=" and are dropped.
    {"single_line_100MB",
     [] { return ListFile("2", "TYPE0 = " + std::string(100u << 20, 'n') + "\r\nTYPE1 = B\r\n"); },
     2,
     {WString(65534 - 8, u'n'), u"B"}},
    {"nul_bytes", [] { return ListFile(std::string("2\0" "9", 3), std::string("TYPE0 = A\0B\r\nTYPE1 = C\r\n", 23)); },
     2,
     {u"A", u"C"}},
    {"nul_bytes_in_header", [] { return std::string("[con\0fig]\r\ncount = 1\r\n[TYPE]\r\nTYPE0 = A\r\n", 41); }, 0, {}},
    // A list never holds more than kMaxModelCount names, whatever the count.
    {"count_2147483647", [] { return ListFile("2147483647", "TYPE0 = A\r\n"); }, catalog::kMaxModelCount,
     {u"A", u"", u""}},
    {"count_past_32_bits", [] { return ListFile("99999999999999999999", "TYPE0 = A\r\n"); },
     catalog::kMaxModelCount,
     {u"A"}},
    {"count_negative_2147483648", [] { return ListFile("-2147483648", "TYPE0 = A\r\n"); }, 0, {}},
    // Around the broken sequences the good GBK names stay intact.
    {"invalid_gbk",
     [] {
         return ListFile("4", "TYPE0 = \xd6\xd0\xce\xc4\r\nTYPE1 = \x81\x20\xff\x80\r\nTYPE2 = a\xb0\r\n"
                              "TYPE3 = \xbb\xaa\xce\xaa\r\n");
     },
     4,
     {u"中文"}},
};

class ModelListInput : public testing::TestWithParam<ModelListCase> {};

TEST_P(ModelListInput, FillsOnlyWhatTheFileHolds) {
    const ModelListCase& c = GetParam();
    ScratchFolder folder(CaseDir(c.name));
    fs::create_directory("config");
    Write("config/hw_switch_model.ini", c.file());

    RecordingList list;
    catalog::FillModelCombo(list, 0);
    ASSERT_EQ(list.names.size(), c.expectedCount);
    ASSERT_FALSE(list.calls.empty());
    EXPECT_EQ(list.calls.front(), "reset");
    EXPECT_EQ(list.calls.back(), "select 0");
    for (size_t i = 0; i < c.expectedFirst.size(); ++i)
        EXPECT_EQ(Utf8(list.names[i]), Utf8(c.expectedFirst[i])) << "name " << i;
    for (const WString& name : list.names) EXPECT_EQ(name.find(u'\0'), WString::npos);
}

TEST(ModelListInput, InvalidGbkNamesShowAsReplacementCharacters) {
    ScratchFolder folder(CaseDir("invalid_gbk_names"));
    fs::create_directory("config");
    Write("config/hw_switch_model.ini",
               ListFile("3", "TYPE0 = \x81\x20\r\nTYPE1 = \xff\r\nTYPE2 = a\xb0\r\n"));
    RecordingList list;
    catalog::FillModelCombo(list, 0);
    ASSERT_EQ(list.names.size(), 3u);
    for (size_t i = 0; i < list.names.size(); ++i) {
        std::printf("    invalid GBK name %zu shows as:", i);
        for (char16_t c : list.names[i]) std::printf(" U+%04X", static_cast<unsigned>(c));
        std::printf("\n");
        // Never lost, never empty: the user sees that something is there.
        EXPECT_FALSE(list.names[i].empty()) << "name " << i;
    }
    EXPECT_EQ(list.names[2][0], u'a');
}

INSTANTIATE_TEST_SUITE_P(Table, ModelListInput, testing::ValuesIn(kModelListCases),
                         [](const testing::TestParamInfo<ModelListCase>& info) { return info.param.name; });

// ----------------------------------------------------- the generate sequence

const char kOldTarget[] = "the user's old file\r\n";
const char kOldOutput[] = "the last press's output\r\n";

SwitchConfigRequest ValidRequest() {
    SwitchConfigRequest request;
    request.vendorIndex = 0;
    request.modelIndex = 0;
    request.serverIp = u"10.1.1.1";
    request.authPort = u"1812";
    request.accountPort = u"1813";
    request.secretKey = u"key";
    request.interfaceName = u"GigabitEthernet0/0/1";
    request.mabDelay = u"30";
    request.multiTerminal = 1;
    return request;
}

// One press: vendor V, model M (or the case's own), the user saving onto
// target, which already holds kOldTarget.
struct Press {
    SwitchConfigRequest request = ValidRequest();
    WString vendor = u"V";
    WString model = u"M";
    fs::path target = "saved.ini";
    ScriptedUi ui;

    std::string OutputName() const { return "config/" + Utf8(vendor) + "_" + Utf8(model) + ".ini"; }

    void Run() {
        if (!target.empty()) {
            Write(target, kOldTarget);
            ui.savePath = Utf8ToWide(fs::absolute(target).u8string());
        }
        GenerateConfiguration(request, vendor, model, ui);
    }

    bool Succeeded() const { return !ui.events.empty() && ui.events.back() == kSavedEvent; }

    // The promises every press keeps, whatever the input.
    void CheckNothingLost(const std::string& expectedOutput) const {
        if (Succeeded()) {
            EXPECT_EQ(Read(OutputName()), expectedOutput) << "the output reported as saved is incomplete";
            EXPECT_EQ(Read(target), Read(OutputName())) << "the copy differs from the output";
        } else if (!target.empty()) {
            EXPECT_EQ(Read(target), kOldTarget) << "the user's file was changed by a press that failed";
        }
    }
};

struct TemplateCase {
    const char* name;
    std::function<std::string()> base;  // config\V_M_tp.ini
    std::vector<std::string> events;
    std::function<std::string()> output;  // the complete output, when the press succeeds
};

const TemplateCase kTemplateCases[] = {
    // Garbage with short lines is text like any other: it is written, and
    // the copy is exact (the check compares the copy with the output file).
    {"binary_garbage_short_lines", [] { return Garbage(64 * 1024, 3, true); }, {"save as", kSavedEvent}, nullptr},
    {"binary_garbage_long_line", [] { return Garbage(5000, 4, false); },
     {"plain: 模板文件 config\\V_M_tp.ini 的第 1 行超过 998 字节"}, nullptr},
    {"single_line_100MB", [] { return std::string(100u << 20, 'x') + "\n"; },
     {"plain: 模板文件 config\\V_M_tp.ini 的第 1 行超过 998 字节"}, nullptr},
    {"long_line_after_good_lines", [] { return "a\n" + std::string(999, 'y') + "\r\n"; },
     {"plain: 模板文件 config\\V_M_tp.ini 的第 2 行超过 998 字节"}, nullptr},
    // A line is written up to its first NUL; a NUL does not end the file.
    {"nul_bytes", [] { return std::string("a\0b\n<%SECRET_KEY%>\0tail\nc", 25); }, {"save as", kSavedEvent},
     [] { return std::string("a\r\nkey\r\nc\r\n"); }},
    // Bytes GBK does not define decode to replacement characters and come
    // back as the code page's default character; the good text around them
    // is kept.
    {"invalid_gbk", [] { return std::string("\xd6\xd0 \x81\x20 \xff \xd6\xd0\n<%AUTH_PORT%>\xb0"); },
     {"save as", kSavedEvent}, nullptr},
};

class TemplateInput : public testing::TestWithParam<TemplateCase> {};

TEST_P(TemplateInput, TellsTheUserAndLosesNothing) {
    const TemplateCase& c = GetParam();
    ScratchFolder folder(CaseDir(c.name));
    fs::create_directory("config");
    Write("config/V_M_tp.ini", c.base());
    Write("config/V_M.ini", kOldOutput);

    Press press;
    press.Run();
    EXPECT_EQ(press.ui.events, c.events);
    if (c.output) press.CheckNothingLost(c.output());
    else if (press.Succeeded()) press.CheckNothingLost(Read(press.OutputName()).value_or(""));
    else press.CheckNothingLost("");
    if (!press.Succeeded()) {
        EXPECT_EQ(Read("config/V_M.ini"), kOldOutput) << "the last output was lost";
    }
    if (std::string(c.name) == "invalid_gbk") {
        const std::string output = Read("config/V_M.ini").value_or("");
        std::printf("    invalid GBK template comes out as:");
        for (unsigned char b : output) std::printf(" %02X", b);
        std::printf("\n");
        EXPECT_EQ(output.substr(0, 3), "\xd6\xd0 ");
        EXPECT_NE(output.find("\xd6\xd0\r\n1812"), std::string::npos);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, TemplateInput, testing::ValuesIn(kTemplateCases),
                         [](const testing::TestParamInfo<TemplateCase>& info) { return info.param.name; });

// Typed text that UTF-16 allows but no code page can write: a lone surrogate
// comes out as the default character, and the press still succeeds.
struct TypedCase {
    const char* name;
    WString secretKey;
    WString interfaceName;
    std::string output;
};

const TypedCase kTypedCases[] = {
    {"lone_high_surrogate", WString(u"a") + char16_t(0xD800) + u"b", u"Gi0/1", "a?b|Gi0/1\r\n"},
    {"lone_low_surrogate", u"k", WString(u"x") + char16_t(0xDC00), "k|x?\r\n"},
    {"reversed_pair", WString(1, char16_t(0xDC00)) + char16_t(0xD800), u"i", "??|i\r\n"},
    {"surrogate_at_end", WString(u"k") + char16_t(0xDBFF), u"i", "k?|i\r\n"},
};

class TypedInput : public testing::TestWithParam<TypedCase> {};

TEST_P(TypedInput, UnwritableCharactersBecomeTheDefaultCharacter) {
    const TypedCase& c = GetParam();
    ScratchFolder folder(CaseDir(c.name));
    fs::create_directory("config");
    Write("config/V_M_tp.ini", "<%SECRET_KEY%>|<%INTERFACE%>");
    Press press;
    press.request.secretKey = c.secretKey;
    press.request.interfaceName = c.interfaceName;
    press.Run();
    EXPECT_EQ(press.ui.events, (std::vector<std::string>{"save as", kSavedEvent}));
    press.CheckNothingLost(c.output);
}

INSTANTIATE_TEST_SUITE_P(Table, TypedInput, testing::ValuesIn(kTypedCases),
                         [](const testing::TestParamInfo<TypedCase>& info) { return info.param.name; });

// ------------------------------------------------------------------ paths

// The longest name of a press is the merge file, config\V_<model>_merge_tp.ini.
WString ModelForMergePathLength(size_t length) {
    const size_t fixed = std::char_traits<char16_t>::length(u"config\\V__merge_tp.ini");
    return WString(length - fixed, u'm');
}

struct PathCase {
    const char* name;
    size_t mergePathLength;
};

const PathCase kPathCases[] = {{"merge_path_259", 259}, {"merge_path_260", 260}, {"merge_path_261", 261},
                               {"merge_path_300", 300}};

class LongPath : public testing::TestWithParam<PathCase> {};

// Either the press works completely, or the user is told which file failed
// and nothing is reported as saved. Which of the two depends on the system:
// the output shows what the user gets.
TEST_P(LongPath, WorksCompletelyOrSaysWhichFile) {
    const PathCase& c = GetParam();
    ScratchFolder folder(CaseDir(c.name));
    fs::create_directory("config");
    Press press;
    press.model = ModelForMergePathLength(c.mergePathLength);
    std::error_code error;
    const fs::path base = fs::u8path("config/V_" + Utf8(press.model) + "_tp.ini");
    {
        std::ofstream out(base, std::ios::binary);
        out << "interface <%INTERFACE%>\n";
    }
    const bool templateWritten = fs::exists(base, error);
    press.Run();
    std::printf("    %s: template %s; the user gets:", c.name, templateWritten ? "written" : "cannot be written");
    for (const std::string& event : press.ui.events) std::printf(" [%s]", event.c_str());
    std::printf("\n");
    ASSERT_FALSE(press.ui.events.empty());
    if (press.Succeeded()) {
        EXPECT_TRUE(templateWritten);
        press.CheckNothingLost("interface GigabitEthernet0/0/1\r\n\r\n");
    } else {
        const std::string& last = press.ui.events.back();
        EXPECT_TRUE(last.find("config\\V_mmm") != std::string::npos || last.find("config/V_mmm") != std::string::npos)
            << "the message does not name the file: " << last;
        press.CheckNothingLost("");
    }
}

INSTANTIATE_TEST_SUITE_P(Table, LongPath, testing::ValuesIn(kPathCases),
                         [](const testing::TestParamInfo<PathCase>& info) { return info.param.name; });

// A Save As target whose full path is at or over 260 characters.
TEST(LongPath, SaveAsTargetPastTheLimitIsCopiedWholeOrRefused) {
    ScratchFolder folder(CaseDir("long_target"));
    fs::create_directory("config");
    Write("config/V_M_tp.ini", "x\n");
    for (size_t length : {259u, 260u, 261u, 300u}) {
        const std::string prefix = fs::current_path().u8string() + "/";
        if (prefix.size() + 10 >= length) continue;
        // Folders of 100 characters, then the file: exactly length in all.
        std::string relative;
        size_t rest = length - prefix.size() - 4;
        for (; rest > 101; rest -= 101) relative += std::string(100, 'd') + "/";
        relative += std::string(rest, 't') + ".ini";
        const fs::path target = fs::u8path(relative);
        std::error_code error;
        fs::create_directories(target.parent_path(), error);
        Press press;
        press.target = "";
        press.ui.savePath = Utf8ToWide(prefix + relative);
        std::ofstream(target, std::ios::binary) << kOldTarget;
        const bool targetWritten = fs::exists(target, error);
        GenerateConfiguration(press.request, press.vendor, press.model, press.ui);
        std::printf("    target of %zu characters: %s; the user gets:", (prefix + relative).size(),
                    targetWritten ? "written beforehand" : "cannot be made");
        for (const std::string& event : press.ui.events) std::printf(" [%s]", event.c_str());
        std::printf("\n");
        ASSERT_GE(press.ui.events.size(), 2u);
        if (press.Succeeded()) {
            EXPECT_EQ(Read(target), Read("config/V_M.ini"));
        } else {
            EXPECT_EQ(press.ui.events.back().rfind("stop: 保存失败: ", 0), 0u) << press.ui.events.back();
            if (targetWritten) {
                EXPECT_EQ(Read(target), kOldTarget);
            }
        }
    }
}

// A file name component longer than any file system allows.
TEST(LongPath, NameComponentOver255Characters) {
    ScratchFolder folder(CaseDir("long_component"));
    fs::create_directory("config");
    Press press;
    press.model = WString(260, u'm');
    press.Run();
    EXPECT_EQ(press.ui.events,
              (std::vector<std::string>{"plain: 找不到模板文件 config\\V_" + std::string(260, 'm') + "_tp.ini"}));
    press.CheckNothingLost("");
}

// ------------------------------------------------------------ config folder

struct FolderCase {
    const char* name;
    std::function<void()> make;  // what stands where config should be
};

const FolderCase kFolderCases[] = {
    {"missing", [] {}},
    {"a_file", [] { Write("config", "not a folder\n"); }},
    {"empty", [] { fs::create_directory("config"); }},
};

class ConfigFolder : public testing::TestWithParam<FolderCase> {};

TEST_P(ConfigFolder, ModelListStaysEmptyAndThePressNamesTheTemplate) {
    const FolderCase& c = GetParam();
    ScratchFolder folder(CaseDir(std::string("config_") + c.name));
    c.make();
    const bool wasFolder = fs::is_directory("config");
    const bool wasFile = fs::is_regular_file("config");

    RecordingList list;
    catalog::FillModelCombo(list, 0);
    EXPECT_EQ(list.calls, (std::vector<std::string>{"reset"}));
    EXPECT_TRUE(list.names.empty());

    Press press;
    press.Run();
    EXPECT_EQ(press.ui.events, (std::vector<std::string>{"plain: 找不到模板文件 config\\V_M_tp.ini"}));
    press.CheckNothingLost("");
    // Nothing is made in its place, and a file there is left alone.
    EXPECT_EQ(fs::is_directory("config"), wasFolder);
    EXPECT_EQ(fs::is_regular_file("config"), wasFile);
    if (wasFile) {
        EXPECT_EQ(Read("config"), "not a folder\n");
    }
}

INSTANTIATE_TEST_SUITE_P(Table, ConfigFolder, testing::ValuesIn(kFolderCases),
                         [](const testing::TestParamInfo<FolderCase>& info) { return info.param.name; });

TEST(ConfigFolder, Unreadable) {
#ifdef _WIN32
    GTEST_SKIP() << "a Windows program cannot take the read right off a folder here (wine maps only the "
                    "read-only attribute, which folders ignore)";
#else
    ScratchFolder folder(CaseDir("config_unreadable"));
    fs::create_directory("config");
    Write("config/hw_switch_model.ini", ListFile("1", "TYPE0 = A\r\n"));
    Write("config/V_M_tp.ini", "x\n");
    fs::permissions("config", fs::perms::none);

    // What went wrong, or nothing; gtest's checks would not cross the fork.
    auto press = [] {
        std::string failures;
        RecordingList list;
        catalog::FillModelCombo(list, 0);
        if (list.calls != std::vector<std::string>{"reset"}) failures += "the model list was filled; ";
        Press press;
        press.Run();
        const std::vector<std::string> expected{"plain: 找不到模板文件 config\\V_M_tp.ini"};
        if (press.ui.events != expected)
            for (const std::string& event : press.ui.events) failures += "[" + event + "] ";
        if (Read("saved.ini") != kOldTarget) failures += "the target was changed; ";
        return failures;
    };
    std::string failures;
    if (geteuid() != 0) {
        failures = press();
    } else {
        // Root reads any folder whatever its mode: the press runs as the
        // unprivileged user nobody, in a child process.
        fs::permissions(".", fs::perms::all);
        int pipeEnds[2];
        ASSERT_EQ(pipe(pipeEnds), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            close(pipeEnds[0]);
            const std::string result =
                setgid(65534) == 0 && setuid(65534) == 0 ? press() : "cannot become the user nobody";
            const ssize_t written = write(pipeEnds[1], result.data(), result.size());
            _exit(written == static_cast<ssize_t>(result.size()) ? 0 : 1);
        }
        close(pipeEnds[1]);
        char buffer[4096];
        for (ssize_t n; (n = read(pipeEnds[0], buffer, sizeof buffer)) > 0;) failures.append(buffer, n);
        close(pipeEnds[0]);
        int status = 0;
        waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the press as nobody did not finish";
    }
    fs::permissions("config", fs::perms::owner_all);
    EXPECT_EQ(failures, "");
#endif
}

// --------------------------------------------------------------- full disk

// The 64 KiB file system the fixture mounted, in this program's own path form,
// or the reason there is none.
std::optional<fs::path> SmallDisk(std::string& why) {
    const char* dir = std::getenv("BRENVIK_SMALL_DISK");
    if (!dir) {
        why = "BRENVIK_SMALL_DISK is not set (run the suite through CTest)";
        return std::nullopt;
    }
    std::string path = dir;
#ifdef _WIN32
    path = "Z:" + path;  // wine's drive for the Linux root
#endif
    if (!fs::exists(fs::u8path(path + "/.small-disk"))) {
        const std::string note = Read(path + ".why").value_or("");
        why = note.empty() ? "no small file system was mounted" : note;
        return std::nullopt;
    }
    return fs::u8path(path);
}

// Fills the file system until a write fails, then gives back keepFree bytes.
void FillDisk(const fs::path& dir, size_t keepFree) {
    const fs::path filler = dir / "filler";
    {
        std::FILE* file = std::fopen(filler.u8string().c_str(), "wb");
        ASSERT_NE(file, nullptr);
        const std::string block(512, 'f');
        while (std::fwrite(block.data(), 1, block.size(), file) == block.size() && std::fflush(file) == 0) {
        }
        std::fclose(file);
    }
    if (keepFree == 0) return;
    const uintmax_t size = fs::file_size(filler);
    fs::resize_file(filler, size > keepFree ? size - keepFree : 0);
}

class FullDisk : public testing::Test {
protected:
    void SetUp() override {
        std::string why;
        disk_ = SmallDisk(why);
        if (!disk_) GTEST_SKIP() << "no small file system to fill: " << why;
        for (const auto& entry : fs::directory_iterator(*disk_))
            if (entry.path().filename() != ".small-disk") fs::remove_all(entry.path());
    }
    std::optional<fs::path> disk_;
};

// The output file does not fit: the user is told the disk is full, with the
// output file's name, and nothing is offered for saving.
TEST_F(FullDisk, OutputFileDoesNotFit) {
    ScratchFolder folder(*disk_ / "work");
    fs::create_directory("config");
    std::string base;
    for (int i = 0; i < 100; ++i) base += "<%SECRET_KEY%>\n";
    Write("config/V_M_tp.ini", base);
    FillDisk(*disk_, 8 * 1024);

    Press press;
    press.target = "";
    press.request.secretKey = std::u16string(400, u'k');
    press.ui.savePath = u"never-asked.ini";
    GenerateConfiguration(press.request, press.vendor, press.model, press.ui);
    ASSERT_EQ(press.ui.events.size(), 1u) << (press.ui.events.empty() ? "" : press.ui.events.back());
    const std::string& event = press.ui.events[0];
    EXPECT_EQ(event.rfind("file error: 访问 ", 0), 0u) << event;
    EXPECT_NE(event.find("时磁盘已满。"), std::string::npos) << event;
    EXPECT_NE(event.find("V_M"), std::string::npos) << event;
    std::printf("    the user gets: [%s]\n", event.c_str());
}

// The merge file does not fit: the user is told so with its name, and the
// last press's output file is left as it was.
TEST_F(FullDisk, MergeFileDoesNotFit) {
    ScratchFolder folder(*disk_ / "work");
    fs::create_directory("config");
    std::string base;
    for (int i = 0; i < 200; ++i) base += "interface <%INTERFACE%>\n";
    Write("config/V_M_tp.ini", base);
    Write("config/V_M.ini", kOldOutput);
    FillDisk(*disk_, 0);

    Press press;
    press.target = "";
    press.ui.savePath = u"never-asked.ini";
    GenerateConfiguration(press.request, press.vendor, press.model, press.ui);
    EXPECT_EQ(press.ui.events,
              (std::vector<std::string>{"file error: 访问 config\\V_M_merge_tp.ini 时磁盘已满。"}));
    EXPECT_EQ(Read("config/V_M.ini"), kOldOutput);
}

// The copy onto an existing file does not fit: the user is told, and the
// file keeps its old content.
TEST_F(FullDisk, SaveAsTargetKeepsItsOldContent) {
    ScratchFolder folder(CaseDir("full_disk_copy"));
    fs::create_directory("config");
    std::string base;
    for (int i = 0; i < 400; ++i) base += std::string(60, 'c') + "\n";
    Write("config/V_M_tp.ini", base);
    const fs::path target = *disk_ / "saved.ini";
    Write(target, kOldTarget);
    FillDisk(*disk_, 0);

    Press press;
    press.target = "";
    press.ui.savePath = Utf8ToWide(target.u8string());
    GenerateConfiguration(press.request, press.vendor, press.model, press.ui);
    ASSERT_EQ(press.ui.events.size(), 2u);
    EXPECT_EQ(press.ui.events[0], "save as");
    EXPECT_EQ(press.ui.events[1].rfind("stop: 保存失败: ", 0), 0u) << press.ui.events[1];
    EXPECT_NE(press.ui.events[1].find("磁盘已满"), std::string::npos) << press.ui.events[1];
    std::printf("    the user gets: [%s]\n", press.ui.events[1].c_str());
    EXPECT_EQ(Read(target), kOldTarget) << "the user's file lost its content";
    // The complete output stays in config for another try.
    EXPECT_EQ(Read("config/V_M.ini").value_or("").size(), 400u * 62 + 2);
}

}  // namespace
