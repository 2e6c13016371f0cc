// brenvik-cli through the real binary: exit codes, the lines on standard
// error and the bytes written, against a small config folder of its own.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/codepage.h"
#include "platform/text.h"
#include "run_cli.h"
#include "tests/support/test_files.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace fs = std::filesystem;

namespace {

// GBK bytes, from iconv: 型号丙, 华为, 中文, 端口.
const std::string kGbkModel = "\xD0\xCD\xBA\xC5\xB1\xFB";
const std::string kGbkHuawei = "\xBB\xAA\xCE\xAA";
const std::string kGbkChinese = "\xD6\xD0\xCE\xC4";
const std::string kGbkPort = "\xB6\xCB\xBF\xDA";

const std::string kSaved = "保存成功,请查看配置文件\n";

using testsupport::Read;
using testsupport::SourceDir;
using testsupport::Write;

std::vector<std::string> Names(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(fs::u8path(folder)))
        names.push_back(entry.path().filename().u8string());
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> Join(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// A deployment of its own per test: Huawei lists S1, S2 and a Chinese name;
// each template shows which values and which host mode reached it.
class CliTest : public ::testing::Test {
protected:
    void SetUp() override {
#ifdef _WIN32
        // The expected bytes are GBK: a wrong locale must fail here, plainly.
        ASSERT_EQ(936u, GetACP()) << "wine must run with a zh_CN locale (see tools/wine-env.sh)";
#endif
        dir_ = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::replace(dir_.begin(), dir_.end(), '/', '_');
        testsupport::RemoveTree(dir_);
        Write(C("hw_switch_model.ini"),
            "[config]\r\ncount = 3\r\n[TYPE]\r\nTYPE0 = S1\r\nTYPE1 = S2\r\nTYPE2 = " + kGbkModel + "\r\n");
        Write(C("华为_S1_tp.ini"),
            "ip <%SERVER_IP%> <%AUTH_PORT%> <%ACCOUNT_PORT%>\n"
            "key <%SECRET_KEY%>\n"
            "if <%INTERFACE%> <%HOST_MODE%>\n");
        Write(C("华为_S1_mab_tp.ini"), "mab <%MAB_DELAY%>\n");
        Write(C("华为_S1_DeadVlan_tp.ini"), "dead <%ESCAPEVLANID%>\n");
        Write(C("华为_S1_GeustVlan_tp.ini"), "guest <%GUESTVLANID%>\n");
        Write(C("华为_S2_tp.ini"), "mode <%HOST_MODE%>");
        Write(C("华为_Typed_tp.ini"), "typed <%HOST_MODE%>");
        Write(C("华为_型号丙_tp.ini"), kGbkChinese + " <%INTERFACE%>");
        Write(C("华三_V7_tp.ini"), "h3c <%HOST_MODE%>");
    }

    // A path inside this test's config folder, and inside its folder.
    std::string C(const std::string& name) const { return dir_ + "/config/" + name; }
    std::string D(const std::string& name) const { return dir_ + "/" + name; }

    // The program as a user runs it on this test's folder.
    CliRun Cli(const std::vector<std::string>& arguments) const {
        return RunCli(Join({"-C", dir_}, arguments));
    }

    std::string dir_;
};

// Every field filled, as a user generating for S1 would.
const std::vector<std::string> kFilled = {"generate", "--vendor", "huawei", "--model", "S1",
                                          "--server-ip", "10.1.2.3", "--secret-key", "Sekr1t",
                                          "--interface", "G0/1"};

TEST_F(CliTest, GenerateWritesTheConfigurationAndCopiesIt) {
    CliRun run = Cli(Join(kFilled, {"--out", "copy.ini"}));
    EXPECT_EQ(0, run.exitCode);
    EXPECT_EQ(kSaved, run.err);
    EXPECT_EQ("", run.out);
    // LF-ended template lines come out CR LF, with the merge's empty last line;
    // 华为 with the first model and the multi-terminal default is "mac".
    const std::string expected = "ip 10.1.2.3 1812 1813\r\nkey Sekr1t\r\nif G0/1 mac\r\n\r\n";
    EXPECT_EQ(expected, Read(D("copy.ini")));
    EXPECT_EQ(expected, Read(C("华为_S1.ini")));
}

TEST_F(CliTest, WithoutOutThePressEndsLikeACancelledSaveAs) {
    CliRun run = Cli(kFilled);
    EXPECT_EQ(0, run.exitCode);
    EXPECT_EQ("", run.err);
    EXPECT_EQ("ip 10.1.2.3 1812 1813\r\nkey Sekr1t\r\nif G0/1 mac\r\n\r\n", Read(C("华为_S1.ini")));
}

TEST_F(CliTest, StdoutGetsTheOutputFileBytes) {
    CliRun run = Cli({"generate", "--model", "型号丙", "--server-ip", "1.2.3.4",
                      "--secret-key", "k", "--interface", "端口1", "--stdout"});
    EXPECT_EQ(0, run.exitCode);
    EXPECT_EQ("", run.err);
    // The output file is in the ANSI code page, GBK, with no BOM.
    EXPECT_EQ(kGbkChinese + " " + kGbkPort + "1\r\n", run.out);
    EXPECT_EQ(run.out, Read(C("华为_型号丙.ini")));
}

TEST_F(CliTest, OptionsReachTheirPlaceholders) {
    struct Case {
        std::vector<std::string> arguments;
        std::string expected;
    } cases[] = {
        {Join(kFilled, {"--auth-port", "11812", "--acct-port", "11813"}),
         "ip 10.1.2.3 11812 11813\r\nkey Sekr1t\r\nif G0/1 mac\r\n\r\n"},
        {Join(kFilled, {"--mab"}),
         "ip 10.1.2.3 1812 1813\r\nkey Sekr1t\r\nif G0/1 mac\r\n\r\nmab 30\r\n\r\n"},
        {Join(kFilled, {"--mab", "--mab-delay", "45", "--single-terminal"}),
         "ip 10.1.2.3 1812 1813\r\nkey Sekr1t\r\nif G0/1 port\r\n\r\nmab 45\r\n\r\n"},
        // The fragments always in the order base, MAB, escape, guest.
        {Join(kFilled, {"--guest-vlan", "20", "--escape-vlan", "10"}),
         "ip 10.1.2.3 1812 1813\r\nkey Sekr1t\r\nif G0/1 mac\r\n\r\ndead 10\r\n\r\nguest 20\r\n\r\n"},
        // The model's list position picks the host mode: S2 is position 1.
        {{"generate", "--model", "S2", "--server-ip", "1.1.1.1", "--secret-key", "k", "--interface", "i"},
         "mode multi-authen\r\n"},
        {{"generate", "--model", "S2", "--server-ip", "1.1.1.1", "--secret-key", "k", "--interface", "i",
          "--single-terminal"},
         "mode single-terminal\r\n"},
        // A name not in the list has no position, as typed into the dialog.
        {{"generate", "--model", "Typed", "--server-ip", "1.1.1.1", "--secret-key", "k", "--interface", "i",
          "--single-terminal"},
         "typed port\r\n"},
        {{"generate", "--vendor", "H3C", "--model", "V7", "--server-ip", "1.1.1.1", "--secret-key", "k",
          "--interface", "i"},
         "h3c macbased\r\n"},
        {{"generate", "--vendor", "华三", "--model", "V7", "--server-ip", "1.1.1.1", "--secret-key", "k",
          "--interface", "i", "--single-terminal"},
         "h3c portbased\r\n"},
        // Without --model the list's first entry, as selected on opening.
        {{"generate", "--server-ip", "0.0.0.1", "--secret-key", " ", "--interface", "x"},
         "ip 0.0.0.1 1812 1813\r\nkey  \r\nif x mac\r\n\r\n"},
    };
    for (const Case& c : cases) {
        CliRun run = Cli(Join(c.arguments, {"--stdout"}));
        std::string shown;
        for (const std::string& a : c.arguments) shown += a + " ";
        EXPECT_EQ(0, run.exitCode) << shown << run.err;
        EXPECT_EQ(c.expected, run.out) << shown;
    }
}

TEST_F(CliTest, ArgumentsKeepEveryCharacter) {
    // Blanks, quotes, backslashes and Chinese pass through the command line
    // unchanged; on Windows this is the wide command line at work.
    const std::string key = "a \"b\" c\\ d\\\\";
    CliRun run = Cli({"generate", "--vendor", "华为", "--model", "S1", "--server-ip", "10.0.0.1",
                      "--secret-key", key, "--interface", "端口 1\\", "--stdout"});
    EXPECT_EQ(0, run.exitCode) << run.err;
    EXPECT_EQ("ip 10.0.0.1 1812 1813\r\nkey " + key + "\r\nif " + kGbkPort + " 1\\ mac\r\n\r\n", run.out);
}

TEST_F(CliTest, ValidationStopsAtTheFirstFailingCheckInTheDialogsOrder) {
    struct Case {
        std::vector<std::string> arguments;
        std::string message;
    } cases[] = {
        {{"generate"}, "请输入需要开启802.1x认证的接口"},
        {{"generate", "--auth-port", "", "--acct-port", "", "--mab", "--mab-delay", ""},
         "请输入需要开启802.1x认证的接口"},
        {{"generate", "--interface", "i"}, "请输入radius服务器IP"},
        {{"generate", "--interface", "i", "--server-ip", "0.0.0.0", "--secret-key", "k"}, "请输入radius服务器IP"},
        {{"generate", "--interface", "i", "--server-ip", "", "--secret-key", "k"}, "请输入radius服务器IP"},
        {{"generate", "--interface", "i", "--server-ip", "1.0.0.0", "--auth-port", "", "--acct-port", ""},
         "请输入radius 认证端口"},
        {{"generate", "--interface", "i", "--server-ip", "1.0.0.0", "--acct-port", ""}, "请输入radius 计费端口"},
        {{"generate", "--interface", "i", "--server-ip", "1.0.0.0", "--mab", "--mab-delay", ""},
         "请输入加密密钥"},
        {{"generate", "--interface", "i", "--server-ip", "1.0.0.0", "--secret-key", "Sekr1t", "--mab",
          "--mab-delay", "", "--escape-vlan", ""},
         "请输入mab认证延迟时间"},
        {{"generate", "--interface", "i", "--server-ip", "1.0.0.0", "--secret-key", "Sekr1t", "--escape-vlan",
          "", "--guest-vlan", ""},
         "请输入逃生vlanID"},
        {{"generate", "--interface", "i", "--server-ip", "1.0.0.0", "--secret-key", "Sekr1t", "--escape-vlan",
          "100", "--guest-vlan", ""},
         "请输入Guest vlanID"},
    };
    for (const Case& c : cases) {
        CliRun run = Cli(Join(c.arguments, {"--out", "never.ini"}));
        std::string shown;
        for (const std::string& a : c.arguments) shown += "[" + a + "] ";
        EXPECT_EQ(1, run.exitCode) << shown;
        EXPECT_EQ(c.message + "\n", run.err) << shown;
        EXPECT_EQ(std::nullopt, Read(D("never.ini"))) << shown;
    }
    // A delay left empty while MAB is off is no failure.
    CliRun run = Cli(Join(kFilled, {"--mab-delay", ""}));
    EXPECT_EQ(0, run.exitCode) << run.err;
}

TEST_F(CliTest, FailedPressesSayWhyAndExitOne) {
    struct Case {
        std::vector<std::string> arguments;
        std::string errStart;
    } cases[] = {
        {{"generate", "--model", "Missing"}, "找不到模板文件 config\\华为_Missing_tp.ini"},
        {{"generate", "--model", "a/b"}, "厂商或型号名称含有文件名不允许的字符"},
        {{"generate", "--model", "S1", "--out", "no-such-folder/x.ini"}, "保存失败: "},
    };
    for (const Case& c : cases) {
        std::vector<std::string> arguments = c.arguments;
        for (const char* field : {"--server-ip", "10.0.0.9", "--secret-key", "Sekr1t", "--interface", "i"})
            arguments.push_back(field);
        CliRun run = Cli(arguments);
        EXPECT_EQ(1, run.exitCode) << c.errStart;
        EXPECT_EQ(0u, run.err.rfind(c.errStart, 0)) << run.err;
        EXPECT_EQ(1, std::count(run.err.begin(), run.err.end(), '\n')) << run.err;
        EXPECT_EQ(std::string::npos, run.err.find("Sekr1t"));
    }
}

TEST_F(CliTest, UsageErrorsExitTwoWithAClearLine) {
    struct Case {
        std::vector<std::string> arguments;
        std::string errHas;
    } cases[] = {
        {{}, "subcommand"},
        {{"frobnicate"}, "unknown subcommand 'frobnicate'"},
        {{"generate", "--bogus"}, "--bogus"},
        {{"generate", "--interface", "G0/1", "stray"}, "1 word that belongs to no option"},
        {{"generate", "--server-ip", "1.2.3"}, "--server-ip"},
        {{"generate", "--server-ip", "256.0.0.1"}, "256.0.0.1"},
        {{"generate", "--server-ip", "1.2.3.4.5"}, "--server-ip"},
        {{"generate", "--server-ip", " 1.2.3.4"}, "--server-ip"},
        {{"generate", "--vendor", "juniper"}, "juniper"},
        {{"generate", "--interface"}, "--interface"},
        {{"generate", "--out", ""}, "--out"},
        {{"models"}, "VENDOR"},
        {{"models", "juniper"}, "juniper"},
        {{"batch", "rows.csv"}, "--out-dir"},
        {{"-C", "no-such-folder", "models", "h3c"}, "no-such-folder"},
    };
    for (const Case& c : cases) {
        CliRun run = c.arguments.empty() || c.arguments[0] != "-C" ? Cli(c.arguments) : RunCli(c.arguments);
        std::string shown;
        for (const std::string& a : c.arguments) shown += "[" + a + "] ";
        EXPECT_EQ(2, run.exitCode) << shown;
        EXPECT_NE(std::string::npos, run.err.find(c.errHas)) << shown << run.err;
        EXPECT_EQ("", run.out) << shown;
    }
}

TEST_F(CliTest, HelpForTheCommandAndEachSubcommand) {
    struct Case {
        std::vector<std::string> arguments;
        std::vector<std::string> mentions;
    } cases[] = {
        {{"--help"}, {"models", "generate", "batch", "-C", "Exit codes"}},
        {{"generate", "--help"},
         {"--vendor", "--model", "--server-ip", "--auth-port", "--acct-port", "--secret-key", "--interface",
          "--mab", "--mab-delay", "--escape-vlan", "--guest-vlan", "--single-terminal", "--out", "--stdout",
          "1812", "1813", "Exit codes"}},
        {{"models", "--help"}, {"VENDOR", "华为"}},
        {{"batch", "--help"}, {"FILE", "--out-dir"}},
    };
    for (const Case& c : cases) {
        CliRun run = Cli(c.arguments);
        EXPECT_EQ(0, run.exitCode) << c.arguments[0];
        for (const std::string& word : c.mentions)
            EXPECT_NE(std::string::npos, run.out.find(word)) << word << " in\n" << run.out;
    }
}

TEST_F(CliTest, ModelsPrintsTheListInItsOrderByTheListRules) {
    struct Case {
        std::string file;
        std::string printed;
    } cases[] = {
        {"[config]\ncount = 3\n[TYPE]\nTYPE0 = A\nTYPE1 = B\nTYPE2 = C\n", "A\nB\nC\n"},
        // A missing key is an empty entry: the positions after it stay.
        {"[config]\ncount = 3\n[TYPE]\nTYPE0 = A\nTYPE2 = C\n", "A\n\nC\n"},
        {"[config]\ncount = 2\n[TYPE]\nTYPE0 = A\nTYPE1 = B\nTYPE2 = C\n", "A\nB\n"},
        {"[config]\ncount = 0\n[TYPE]\nTYPE0 = A\n", ""},
        {"[config]\ncount = -1\n[TYPE]\nTYPE0 = A\n", ""},
        {"[config]\ncount = abc\n[TYPE]\nTYPE0 = A\n", ""},
        {"[config]\ncount =\n[TYPE]\nTYPE0 = A\n", ""},
        {"[config]\n[TYPE]\nTYPE0 = A\n", ""},
        {"[config]\ncount = 2x\n[TYPE]\nTYPE0 = A\nTYPE1 = B\n", "A\nB\n"},
        {"[config]\ncount =  2\n[TYPE]\nTYPE0 = A\nTYPE1 = B\n", "A\nB\n"},
        {"[CONFIG]\nCOUNT = 1\n[type]\ntype0 = A\n", "A\n"},
        // Trailing blanks are part of a name; GBK names print as UTF-8.
        {"[config]\ncount = 2\n[TYPE]\nTYPE0 = A  \nTYPE1 = " + kGbkModel + "\r\n", "A  \n型号丙\n"},
    };
    for (const Case& c : cases) {
        Write(C("h3c_switch_model.ini"), c.file);
        for (const char* vendor : {"h3c", "华三"}) {
            CliRun run = Cli({"models", vendor});
            EXPECT_EQ(0, run.exitCode) << c.file;
            EXPECT_EQ(c.printed, run.out) << c.file;
            EXPECT_EQ("", run.err);
        }
    }
    // A vendor without a list file prints nothing, and that is no failure.
    CliRun run = Cli({"models", "cisco"});
    EXPECT_EQ(0, run.exitCode);
    EXPECT_EQ("", run.out);
}

#ifdef _WIN32
// On a console the names go out as wide text, so they read right whatever the
// console's code page; UTF-8 bytes would come out garbled under code page 936.
HANDLE NewConsoleBuffer() {
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE buffer = CreateConsoleScreenBuffer(GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                              &inherit, CONSOLE_TEXTMODE_BUFFER, nullptr);
    DWORD mode = 0;
    if (buffer != INVALID_HANDLE_VALUE && !GetConsoleMode(buffer, &mode)) {
        CloseHandle(buffer);
        buffer = INVALID_HANDLE_VALUE;
    }
    return buffer;
}

TEST_F(CliTest, ModelsOnAWindowsConsoleAreWideText) {
    HANDLE buffer = NewConsoleBuffer();
    if (buffer == INVALID_HANDLE_VALUE) {
        // Started without a usable console (under wine: from a pipe); get one.
        FreeConsole();
        AllocConsole();
        buffer = NewConsoleBuffer();
    }
    // Wine's console host needs a display; CTest runs this case once more on
    // the window tests' display (cli_display_tests).
    if (buffer == INVALID_HANDLE_VALUE) {
        ASSERT_EQ(nullptr, std::getenv("BRENVIK_NO_SKIP")) << "no console could be made";
        GTEST_SKIP() << "no console can be made here (no display for wine's console)";
    }
    // A Chinese Windows console: code page 936, where UTF-8 bytes would garble.
    ASSERT_TRUE(SetConsoleOutputCP(936));
    CONSOLE_SCREEN_BUFFER_INFO info;
    ASSERT_TRUE(GetConsoleScreenBufferInfo(buffer, &info));
    const DWORD width = static_cast<DWORD>(info.dwSize.X);

    CliRun run = RunCliOnConsole({"-C", dir_, "models", "华为"}, buffer);
    EXPECT_EQ(0, run.exitCode);
    EXPECT_EQ("", run.err);
    std::vector<std::u16string> lines;
    for (SHORT y = 0; y < 4; ++y) {
        std::u16string line(width, u' ');
        DWORD read = 0;
        ReadConsoleOutputCharacterW(buffer, reinterpret_cast<wchar_t*>(&line[0]), width, COORD{0, y}, &read);
        line.resize(read);
        while (!line.empty() && line.back() == u' ') line.pop_back();
        lines.push_back(line);
    }
    CloseHandle(buffer);
    EXPECT_EQ((std::vector<std::u16string>{u"S1", u"S2", u"型号丙", u""}), lines);
}
#endif

TEST_F(CliTest, DashCChangesFolderFirstAndRelativePathsFollow) {
    // From the test's folder, without -C, the program works on ./config there.
    CliRun here = RunCli(Join(kFilled, {"--out", "here.ini"}), dir_);
    EXPECT_EQ(0, here.exitCode) << here.err;
    EXPECT_TRUE(Read(D("here.ini")));

    // From elsewhere, -C makes --out relative to the folder changed to.
    CliRun there = RunCli(Join({"-C", dir_}, Join(kFilled, {"--out", "there.ini"})));
    EXPECT_EQ(0, there.exitCode) << there.err;
    EXPECT_TRUE(Read(D("there.ini")));
    EXPECT_EQ(std::nullopt, Read("there.ini"));

    // And without either there is no config folder: the template is missing.
    CliRun nowhere = RunCli(kFilled);
    EXPECT_EQ(1, nowhere.exitCode);
    EXPECT_EQ(0u, nowhere.err.rfind("找不到模板文件", 0)) << nowhere.err;
}

// The one-line example of docs/cli.md, which the README shows, run as written
// on a copy of the example deployment.
TEST_F(CliTest, TheDocumentedExampleWorksOnTheExampleDeployment) {
    std::optional<std::string> doc = Read(SourceDir() / "docs" / "cli.md");
    ASSERT_TRUE(doc) << "BRENVIK_SOURCE_DIR not set?";
    const std::string marker = "    build/native/bin/brenvik-cli generate ";
    size_t at = doc->find(marker);
    ASSERT_NE(std::string::npos, at);
    std::string line = doc->substr(at + 4, doc->find('\n', at) - at - 4);
    std::vector<std::string> arguments;
    for (size_t start = 0; start < line.size();) {
        size_t end = std::min(line.find(' ', start), line.size());
        if (end > start) arguments.push_back(line.substr(start, end - start));
        start = end + 1;
    }
    arguments.erase(arguments.begin());  // the program's path

    // Only what the deployment ships: model lists and templates.
    fs::create_directories(fs::u8path(D("example/config")));
    for (const auto& entry : fs::directory_iterator(SourceDir() / "config")) {
        std::string name = entry.path().filename().u8string();
        auto endsWith = [&](const std::string& tail) {
            return name.size() >= tail.size() && name.compare(name.size() - tail.size(), tail.size(), tail) == 0;
        };
        if ((endsWith("_tp.ini") && !endsWith("_merge_tp.ini")) || endsWith("_switch_model.ini"))
            fs::copy_file(entry.path(), fs::u8path(D("example/config/" + name)));
    }

    CliRun run = RunCli(Join({"-C", D("example")}, arguments));
    EXPECT_EQ(0, run.exitCode) << line;
    EXPECT_EQ(kSaved, run.err);
    auto out = std::find(arguments.begin(), arguments.end(), "--out");
    ASSERT_NE(arguments.end(), out);
    std::optional<std::string> written = Read(D("example/" + *(out + 1)));
    ASSERT_TRUE(written);
    for (const char* option : {"--server-ip", "--secret-key", "--interface"}) {
        auto value = std::find(arguments.begin(), arguments.end(), option);
        ASSERT_NE(arguments.end(), value) << option;
        EXPECT_NE(std::string::npos, written->find(*(value + 1))) << option;
    }
    EXPECT_EQ(std::string::npos, written->find("<%")) << "a placeholder left over";
}

TEST_F(CliTest, TheSecretKeyIsNeverEchoed) {
    const std::vector<std::vector<std::string>> runs = {
        Join(kFilled, {"--out", "k.ini"}),
        Join(kFilled, {"--mab", "--mab-delay", ""}),
        Join(kFilled, {"--out", "no-such-folder/k.ini"}),
        Join(kFilled, {"--server-ip", "300.1.1.1"}),
        Join(kFilled, {"--bogus"}),
        // A key typed with a blank and no quotes: its second word is stray.
        {"generate", "--secret-key", "Open", "Sekr1t", "--interface", "x"},
        {"generate", "--secret-key", "Open", "Sekr1t", "--bogus"},
        {"generate", "--secret-ky=Sekr1t", "--interface", "x"},
        {"--secret-key", "Sekr1t", "generate"},
        Join(kFilled, {"--help"}),
    };
    for (const auto& arguments : runs) {
        CliRun run = Cli(arguments);
        EXPECT_EQ(std::string::npos, run.err.find("Sekr1t")) << run.err;
        EXPECT_EQ(std::string::npos, run.out.find("Sekr1t")) << run.out;
    }
}

// Three rows, the middle one without a switch port; one row's key holds a
// comma and quotes, another's a line break, so the row numbers count records.
const std::string kBatchRows =
    "vendor,model,server-ip,secret-key,interface,mab,out\r\n"
    "huawei,S1,10.0.0.1,\"k,\"\"q\"\"\",G0/1,yes,\r\n"
    "华为,S1,10.0.0.2,k2,,no,\r\n"
    "huawei,S2,10.0.0.3,\"two\r\nlines\",G0/2,0,custom.ini\r\n";

std::string Gbk(const std::string& utf8) {
    std::string bytes;
    EXPECT_TRUE(platform::EncodeMultiByte(platform::CodePage::SystemAnsi, Utf8ToWide(utf8), bytes));
    return bytes;
}

TEST_F(CliTest, BatchGoesOnPastAFailingRowAndSaysWhichFailed) {
    for (const std::string& file : {"\xEF\xBB\xBF" + kBatchRows, Gbk(kBatchRows)}) {
        Write(D("rows.csv"), file);
        testsupport::RemoveTree(D("out"));
        CliRun run = Cli({"batch", "rows.csv", "--out-dir", "out"});
        EXPECT_EQ(1, run.exitCode);
        EXPECT_EQ("row 2: " + kSaved + "row 3: 请输入需要开启802.1x认证的接口\nrow 4: " + kSaved +
                      "batch: 2 of 3 rows generated, 1 failed\n",
                  run.err);
        EXPECT_EQ((std::vector<std::string>{"custom.ini", "华为_S1_G0_1.ini"}), Names(D("out")));
        EXPECT_EQ("ip 10.0.0.1 1812 1813\r\nkey k,\"q\"\r\nif G0/1 mac\r\n\r\nmab 30\r\n\r\n",
                  Read(D("out/华为_S1_G0_1.ini")));
        EXPECT_EQ("mode multi-authen\r\n", Read(D("out/custom.ini")));
    }
}

TEST_F(CliTest, BatchRowsAreIndependentAndNamesStayInTheFolder) {
    Write(D("rows.csv"),
        "\xEF\xBB\xBF" "interface,server-ip,secret-key,escape-vlan,out\n"
        "G1,1.1.1.1,k,77,../up.ini\n"
        "G2,1.1.1.1,k,,a:b*c?.ini\n"
        "\n"
        "G3,1.1.1.1,k,,A:B*C?.INI\n"
        "G4,1.1.1.1,k,,con.ini\n");
    // Row 2's escape VLAN must not reach row 3 through the template.
    Write(C("华为_S1_tp.ini"), "<%INTERFACE%> <%ESCAPEVLANID%>");
    CliRun run = Cli({"batch", "rows.csv", "--out-dir", "out"});
    EXPECT_EQ(1, run.exitCode);
    EXPECT_NE(std::string::npos, run.err.find("row 5: the output file A_B_C_.INI is also row 3's")) << run.err;
    EXPECT_EQ((std::vector<std::string>{".._up.ini", "_con.ini", "a_b_c_.ini"}), Names(D("out")));
    EXPECT_EQ("G1 77\r\ndead 77\r\n\r\n", Read(D("out/.._up.ini")));
    EXPECT_EQ("G2 \r\n", Read(D("out/a_b_c_.ini")));
    EXPECT_EQ(std::nullopt, Read(D("up.ini")));
}

TEST_F(CliTest, BatchFilesThatCannotBeUsedGenerateNothing) {
    struct Case {
        std::string file;
        std::string errHas;
    } cases[] = {
        {"interface,colour\nG1,red\n", "unknown column 'colour'"},
        {"interface,Interface\nG1,G2\n", "appears twice"},
        {"interface,secret-key\nG1,\"open\n", "row 2: a quoted field is not closed"},
        {"interface,secret-key\nG1,\"k\"x\n", "row 2: text after the closing quote"},
        {"", "no header row"},
        {std::string("\xFF\xFEi\0n\0", 6), "UTF-16"},
    };
    for (const Case& c : cases) {
        Write(D("rows.csv"), c.file);
        testsupport::RemoveTree(D("out"));
        CliRun run = Cli({"batch", "rows.csv", "--out-dir", "out"});
        EXPECT_EQ(2, run.exitCode) << c.file;
        EXPECT_NE(std::string::npos, run.err.find(c.errHas)) << run.err;
        EXPECT_FALSE(fs::exists(fs::u8path(D("out/G1.ini"))));
    }
    CliRun missing = Cli({"batch", "absent.csv", "--out-dir", "out"});
    EXPECT_EQ(2, missing.exitCode);
    EXPECT_NE(std::string::npos, missing.err.find("absent.csv")) << missing.err;
}

// Under wine this needs the unprivileged user (cli_display_tests): run as
// root, wine lets writes through to read-only files.
TEST_F(CliTest, BatchCopyThatFailsLeavesTheOldFileAndNoTrace) {
    if (!testsupport::ReadOnlyIsEnforced()) {
        ASSERT_EQ(nullptr, std::getenv("BRENVIK_NO_SKIP")) << "a read-only file took a write";
        GTEST_SKIP() << "read-only files are writable here (wine run as root ignores the attribute)";
    }
    const std::string readOnly = D("out/b.ini");
    Write(readOnly, "old");
    testsupport::SetReadOnly(readOnly, true);
    Write(D("rows.csv"),
        "interface,server-ip,secret-key,out\n"
        "G1,1.1.1.1,k,a.ini\n"
        "G2,1.1.1.1,k,b.ini\n");
    CliRun run = Cli({"batch", "rows.csv", "--out-dir", "out"});
    testsupport::SetReadOnly(readOnly, false);
    EXPECT_EQ(1, run.exitCode);
    EXPECT_NE(std::string::npos, run.err.find("row 3: 保存失败: 对 ")) << run.err;
    EXPECT_NE(std::string::npos, run.err.find("b.ini 的访问被拒绝。")) << run.err;
    EXPECT_EQ((std::vector<std::string>{"a.ini", "b.ini"}), Names(D("out")));
    EXPECT_EQ("old", Read(D("out/b.ini")));
}

TEST_F(CliTest, BatchCellsThatCannotBeUsedFailTheirRowOnly) {
    Write(D("rows.csv"),
        "interface,server-ip,secret-key,vendor,mab,out\n"
        "G1,1.1.1.1,k,juniper,,a.ini\n"
        "G2,1.1.1.300,k,,,b.ini\n"
        "G3,1.1.1.1,k,,maybe,c.ini\n"
        "G4,1.1.1.1,k,,,d.ini,extra\n"
        "G5,1.1.1.1,k,,,e.ini\n");
    CliRun run = Cli({"batch", "rows.csv", "--out-dir", "out"});
    EXPECT_EQ(1, run.exitCode);
    for (const char* row : {"row 2: unknown vendor 'juniper'", "row 3: server address '1.1.1.300'",
                            "row 4: 'maybe' in column mab", "row 5: 7 fields", "row 6: 保存成功"})
        EXPECT_NE(std::string::npos, run.err.find(row)) << row << " in\n" << run.err;
    EXPECT_EQ((std::vector<std::string>{"e.ini"}), Names(D("out")));
}

}  // namespace
