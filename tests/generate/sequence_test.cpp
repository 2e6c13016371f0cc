// The generate sequence against the real file system, with a scripted user:
// what lands in the output file, what the user is told, and in which order.
#include <gtest/gtest.h>

#include <new>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "generate/messages.h"
#include "generate/sequence.h"
#include "platform/file.h"
#include "platform/file_exception.h"
#include "tests/support/gtest_files.h"
#include "tests/support/scripted_ui.h"

namespace {

const WString kBase = u"config\\华为_S5700_tp.ini";
const WString kMab = u"config\\华为_S5700_mab_tp.ini";
const WString kMerge = u"config\\华为_S5700_merge_tp.ini";
const WString kOutput = u"config\\华为_S5700.ini";

std::string Utf8(WStringView text) { return WideToUtf8(text); }

using testsupport::Events;
using testsupport::ScriptedUi;

class Sequence : public testing::Test {
protected:
    SwitchConfigRequest request;
    ScriptedUi ui;

    void SetUp() override {
        Clean();
        testsupport::MakeFolder(u"config");
        testsupport::MakeFolder(u"saved");
        request.interfaceName = u"GigabitEthernet0/0/1";
        request.serverIp = u"10.1.1.10";
        request.authPort = u"1812";
        request.accountPort = u"1813";
        request.secretKey = u"key";
        request.vendorIndex = 0;
        request.modelIndex = 1;
    }
    void TearDown() override { Clean(); }

    static void Clean() {
        testsupport::RemoveTree(u"config");
        testsupport::RemoveTree(u"saved");
    }

    void Generate(const WString& vendor = u"华为", const WString& model = u"S5700") {
        GenerateConfiguration(request, vendor, model, ui);
    }
    // The paths a press derives, for the steps run on their own.
    void UseNames() {
        request.mergePath = kMerge;
        request.outputPath = kOutput;
        request.outputFileName = u"华为_S5700.ini";
    }
    static std::string FileError(FileCause cause, const WString& name) {
        return "file error: " + Utf8(FileErrorMessage(cause, name));
    }
};

TEST_F(Sequence, WritesTheSubstitutedTextAndCopiesIt) {
    testsupport::Write(kBase, "radius <%SERVER_IP%> <%AUTH_PORT%>\n\xC3\xDC\xD4\xBF <%SECRET_KEY%>\n");
    ui.savePath = u"saved\\copy.ini";
    Generate();
    // The merge's CR LF pass through, GBK stays GBK, no BOM, no NUL.
    const std::string expected = "radius 10.1.1.10 1812\r\n\xC3\xDC\xD4\xBF key\r\n\r\n";
    EXPECT_EQ(testsupport::Read(kOutput), expected);
    EXPECT_EQ(testsupport::Read(u"saved\\copy.ini"), expected);
    EXPECT_EQ(ui.events, (Events{"save as", "plain: 保存成功,请查看配置文件"}));
    EXPECT_EQ(Utf8(request.mergePath), Utf8(kMerge));
    EXPECT_EQ(Utf8(request.mabTemplatePath), Utf8(kMab));
    EXPECT_EQ(Utf8(request.outputPath), Utf8(kOutput));
    EXPECT_EQ(Utf8(request.outputFileName), "华为_S5700.ini");
    EXPECT_FALSE(request.hostMode.empty()) << "chosen before the output is written";
}

TEST_F(Sequence, OffersTheSaveAsSettings) {
    testsupport::Write(kBase, "x\n");
    Generate();
    ASSERT_TRUE(ui.saveAs);
    EXPECT_EQ(Utf8(ui.saveAs->initialFileName), "华为_S5700.ini");
    EXPECT_EQ(Utf8(ui.saveAs->initialFolder), Utf8(kOutput));
    EXPECT_EQ(Utf8(ui.saveAs->filter), "文件 (*.txt; *.ini; *.conf)|*.txt;*.ini;*.conf||");
    EXPECT_TRUE(ui.saveAs->defaultExtension.empty());
    EXPECT_EQ(ui.saveAs->options, 6u);
    // Cancelled: the output file is complete and nothing is said.
    EXPECT_EQ(ui.events, (Events{"save as"}));
    EXPECT_EQ(testsupport::Read(kOutput), "x\r\n\r\n");
}

TEST_F(Sequence, ReusesTheOutputFileAndCutsIt) {
    testsupport::Write(kOutput, std::string(5000, 'z'));
    testsupport::Write(kBase, "short");
    Generate();
    EXPECT_EQ(testsupport::Read(kOutput), "short\r\n");
    // A second press writes the same again; the merge never grows.
    Generate();
    EXPECT_EQ(testsupport::Read(kOutput), "short\r\n");
    EXPECT_EQ(testsupport::Read(kMerge), "short\r\n");
    EXPECT_EQ(ui.events, (Events{"save as", "save as"}));
}

TEST_F(Sequence, CharactersOutsideGbkBecomeTheDefaultCharacter) {
    testsupport::Write(kBase, "key <%SECRET_KEY%>");
    request.secretKey = u"k\u20A9y\U0001F600\u20AC\u00C0";  // won, emoji, euro, A grave
    Generate();
    // Windows' code page 936: "?" per unit it cannot write, the euro as 0x80
    // and a best-fit letter for the A with grave.
    EXPECT_EQ(testsupport::Read(kOutput), "key k?y??\x80\xA8\xA4\r\n");
}

TEST_F(Sequence, ValidationStopsBeforeAnyFile) {
    testsupport::Write(kBase, "x");
    request.secretKey.clear();
    Generate();
    EXPECT_EQ(ui.events, (Events{"plain: 请输入加密密钥"}));
    EXPECT_FALSE(platform::PathExists(kMerge));
    EXPECT_FALSE(platform::PathExists(kOutput));
}

TEST_F(Sequence, NamesThatAreNoFileNameAreRefusedBeforeAnyFile) {
    testsupport::Write(kBase, "x");
    const WString bad[] = {u"..\\..\\x", u"a/b", u"C:", u"a*", u"a?", u"a\"", u"a<", u"a>", u"a|",
                           u"a\tb", WString(u"a\0b", 3), u"\x1F"};
    for (const WString& name : bad) {
        for (bool inModel : {false, true}) {
            ui.events.clear();
            Generate(inModel ? u"华为" : name, inModel ? name : u"S5700");
            EXPECT_EQ(ui.events, (Events{"plain: 厂商或型号名称含有文件名不允许的字符"})) << Utf8(name);
        }
    }
    EXPECT_FALSE(platform::PathExists(kMerge));
    EXPECT_EQ(testsupport::Read(u"x_tp.ini"), std::nullopt);
    // Blanks, dots and an empty model are names like any other.
    ui.events.clear();
    testsupport::Write(u"config\\华为_ a.b _tp.ini", "y");
    Generate(u"华为", u" a.b ");
    EXPECT_EQ(ui.events, (Events{"save as"}));
}

TEST_F(Sequence, AMissingTemplateIsNamed) {
    Generate();
    EXPECT_EQ(ui.events, (Events{"plain: 找不到模板文件 " + Utf8(kBase)}));
    testsupport::Write(kBase, "x");
    request.mabEnabled = 1;
    request.mabDelay = u"30";
    ui.events.clear();
    Generate();
    EXPECT_EQ(ui.events, (Events{"plain: 找不到模板文件 " + Utf8(kMab)}));
    EXPECT_FALSE(platform::PathExists(kOutput));
}

TEST_F(Sequence, ATooLongTemplateLineIsNamed) {
    testsupport::Write(kBase, "ok\n" + std::string(999, 'x') + "\n");
    Generate();
    EXPECT_EQ(ui.events, (Events{"plain: 模板文件 " + Utf8(kBase) + " 的第 2 行超过 998 字节"}));
}

TEST_F(Sequence, AMergeFileHeldByAnotherHandleIsASharingViolation) {
    testsupport::Write(kBase, "x");
    testsupport::Write(kMerge, "");
    platform::FileHandle holder;
    ASSERT_EQ(holder.Open(kMerge, platform::Access::ReadWrite, platform::Share::None,
                          platform::Disposition::OpenExisting), 0);
    Generate();
    EXPECT_EQ(ui.events, (Events{FileError(FileCause::SharingViolation, kMerge)}));
}

TEST_F(Sequence, AnOutputFileHeldByAnotherHandleIsASharingViolation) {
    testsupport::Write(kBase, "x");
    testsupport::Write(kOutput, "old");
    platform::FileHandle holder;
    ASSERT_EQ(holder.Open(kOutput, platform::Access::ReadWrite, platform::Share::None,
                          platform::Disposition::OpenExisting), 0);
    Generate();
    EXPECT_EQ(ui.events, (Events{FileError(FileCause::SharingViolation, kOutput)}));
    holder.Close();
    EXPECT_EQ(testsupport::Read(kOutput), "old");
}

TEST_F(Sequence, AReadOnlyOutputFileIsRefused) {
    REQUIRE_READ_ONLY_ENFORCED();
    testsupport::Write(kBase, "x");
    testsupport::Write(kOutput, "old");
    testsupport::SetReadOnly(kOutput, true);
    Generate();
    EXPECT_EQ(ui.events, (Events{"file error: 对 config\\华为_S5700.ini 的访问被拒绝。"}));
    ASSERT_TRUE(ui.fileError);
    EXPECT_EQ(ui.fileError->Cause(), FileCause::AccessDenied);
    EXPECT_EQ(testsupport::Read(kOutput), "old");
}

TEST_F(Sequence, AFolderWithTheOutputFilesNameIsRefused) {
    testsupport::Write(kBase, "x");
    testsupport::MakeFolder(kOutput);
    Generate();
    EXPECT_EQ(ui.events, (Events{FileError(FileCause::AccessDenied, kOutput)}));
}

TEST_F(Sequence, CopiesOverAnExistingFile) {
    testsupport::Write(kBase, "new");
    testsupport::Write(u"saved\\old.ini", "an older and longer file");
    ui.savePath = u"saved\\old.ini";
    Generate();
    EXPECT_EQ(testsupport::Read(u"saved\\old.ini"), "new\r\n");
    EXPECT_EQ(ui.events, (Events{"save as", "plain: 保存成功,请查看配置文件"}));
}

TEST_F(Sequence, ACopyOntoTheOutputFileItselfIsRefused) {
    testsupport::Write(kBase, "content");
    const WString chosen = platform::FullPath(kOutput);
    ui.savePath = chosen;
    Generate();
    EXPECT_EQ(ui.events,
              (Events{"save as", "stop: 保存失败: " + Utf8(FileErrorMessage(FileCause::SharingViolation, chosen))}));
    EXPECT_EQ(testsupport::Read(kOutput), "content\r\n");
}

TEST_F(Sequence, AFailedCopyNamesTheCauseAndTheChosenPath) {
    testsupport::Write(kBase, "new");
    ui.savePath = u"saved\\none\\x.ini";
    Generate();
    EXPECT_EQ(ui.events, (Events{"save as", "stop: 保存失败: saved\\none\\x.ini 包含错误的路径。"}));
}

TEST_F(Sequence, AFailedCopyOntoAReadOnlyFileKeepsIt) {
    REQUIRE_READ_ONLY_ENFORCED();
    testsupport::Write(kBase, "new");
    testsupport::Write(u"saved\\x.ini", "old");
    testsupport::SetReadOnly(u"saved\\x.ini", true);
    ui.savePath = u"saved\\x.ini";
    Generate();
    EXPECT_EQ(ui.events, (Events{"save as", "stop: 保存失败: 对 saved\\x.ini 的访问被拒绝。"}));
    EXPECT_EQ(testsupport::Read(u"saved\\x.ini"), "old");
}

TEST_F(Sequence, OutOfMemoryIsAllThatIsSaid) {
    testsupport::Write(kBase, "x");
    ui.throwOnSaveAs = true;
    ui.savePath = u"saved\\x.ini";
    Generate();
    EXPECT_EQ(ui.events, (Events{"save as", "oom: 内存不足。"}));
    EXPECT_EQ(testsupport::Read(u"saved\\x.ini"), std::nullopt);
}

// The output stage's steps on their own, for what a whole press cannot set up.
class OutputStage : public Sequence {};

TEST_F(OutputStage, AnEmptyMergeFileGivesAnEmptyOutputFile) {
    UseNames();
    testsupport::Write(kMerge, "");
    testsupport::Write(kOutput, "old content");
    EXPECT_TRUE(WriteOutputFile(request, ui));
    EXPECT_EQ(testsupport::Read(kOutput), "");
    EXPECT_TRUE(ui.events.empty());
}

TEST_F(OutputStage, TheTextEndsAtTheFirstNul) {
    UseNames();
    testsupport::Write(kMerge, std::string("ab\r\n\0cd\r\n", 8));
    testsupport::Write(kOutput, "");
    EXPECT_TRUE(WriteOutputFile(request, ui));
    EXPECT_EQ(testsupport::Read(kOutput), "ab\r\n");
}

TEST_F(OutputStage, AMissingMergeFileIsNamed) {
    UseNames();
    testsupport::Write(kOutput, "");
    try {
        WriteOutputFile(request, ui);
        ADD_FAILURE() << "no exception";
    } catch (const CFileException& e) {
        EXPECT_EQ(Utf8(FileErrorMessage(e)), "没有找到 config\\华为_S5700_merge_tp.ini。");
    }
}

TEST_F(OutputStage, AnOutputFileThatCannotBeCreatedIsAnError) {
    UseNames();
    request.outputPath = u"config\\none\\华为_S5700.ini";
    try {
        EnsureOutputFile(request);
        ADD_FAILURE() << "no exception";
    } catch (const CFileException& e) {
        EXPECT_EQ(e.Cause(), FileCause::BadPath);
        EXPECT_EQ(Utf8(e.FileName()), "config\\none\\华为_S5700.ini");
    }
}

TEST_F(OutputStage, AMergeFileOf4GiBIsRefused) {
    UseNames();
    testsupport::Write(kOutput, "old");
    {
        platform::FileHandle merge;
        ASSERT_EQ(merge.Open(kMerge, platform::Access::Write, platform::Share::None,
                             platform::Disposition::CreateAlways), 0);
        if (merge.SetLength(uint64_t{1} << 32) != 0) GTEST_SKIP() << "no room for a sparse 4 GiB file";
    }
    EXPECT_FALSE(WriteOutputFile(request, ui));
    WString text = msg::kMergeFileTooLarge;
    text.replace(text.find(u"%1"), 2, platform::FullPath(kMerge));
    EXPECT_EQ(ui.events, (Events{"stop: " + Utf8(text)}));
    EXPECT_EQ(testsupport::Read(kOutput), "old");
    testsupport::Remove(kMerge);
}

TEST(ReportFailures, ReportsWhatEscapesAndNothingLeaves) {
    ScriptedUi ui;
    EXPECT_TRUE(ReportFailures(ui, [] {}));
    EXPECT_FALSE(ReportFailures(ui, [] { throw CFileException(FileCause::DiskFull, u"a.ini"); }));
    EXPECT_FALSE(ReportFailures(ui, [] { throw std::bad_alloc(); }));
    EXPECT_FALSE(ReportFailures(ui, [] { throw std::runtime_error("?"); }));
    EXPECT_EQ(ui.events, (Events{"file error: 访问 a.ini 时磁盘已满。", "oom: 内存不足。",
                                 "stop: " + Utf8(msg::kUnexpectedError)}));
}

TEST(ReportFailures, MemoryRunningOutWhileReportingIsSaidAlone) {
    struct Starved : ScriptedUi {
        void ReportFileException(const CFileException&) override { throw std::bad_alloc(); }
    } ui;
    ReportFailures(ui, [] { throw CFileException(FileCause::Generic, u"a.ini"); });
    EXPECT_EQ(ui.events, (Events{"oom: 内存不足。"}));
}

}  // namespace
