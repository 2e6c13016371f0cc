// Presses of the generate button in a real window, through the platform's
// Save As dialog, with the files checked byte for byte.
#include "tests/gui/scenario.h"

namespace gui {
namespace {

const char16_t kSaved[] = u"保存成功,请查看配置文件";
const char16_t kHuaweiOutput[] = u"config\\华为_甲型-A100.ini";

// What the Huawei templates give for FillValidForm's values: each template
// line ended by CR LF, and one empty line after each template that ends in a
// line feed; GBK, no byte-order mark.
std::string HuaweiBase(const char* key = "k") {
    return Gbk((std::string("! 华为 1 配置\r\n") + "radius-server 10.1.2.3 auth 1812 acct 1813 key " + key +
                "\r\ninterface 1\r\n host-mode mac\r\n\r\n")
                   .c_str());
}

class Generate : public Scenario {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(Scenario::SetUp());
        ASSERT_NO_FATAL_FAILURE(Start());
        FillValidForm(dialog_);
    }

    // The names in a folder, for failure messages.
    static std::string Listing(const WString& folder) {
        std::string names;
        WIN32_FIND_DATAW found{};
        HANDLE search = FindFirstFileW(WinStr(folder + u"\\*"), &found);
        if (search == INVALID_HANDLE_VALUE) return "<no folder " + Utf8(folder) + ">";
        do {
            const WString name = FromWin(found.cFileName);
            if (name != u"." && name != u"..") names += (names.empty() ? "" : ", ") + Utf8(name);
        } while (FindNextFileW(search, &found));
        FindClose(search);
        return Utf8(folder) + " holds: " + names;
    }

    // The file's bytes, or a note naming what its folder holds instead.
    static std::string FileOrMissing(const WString& path) {
        if (auto bytes = ReadBytes(path)) return *bytes;
        return "<missing; " + Listing(path.substr(0, path.rfind(u'\\'))) + ">";
    }

    // After OK in the file dialog: the question it asks before replacing a
    // file, or nullptr once the dialog has closed without asking.
    HWND WaitForOverwriteQuestion(HWND fileDialog) const {
        HWND question = nullptr;
        WaitUntil([&] {
            question = FindOwnedDialog(program_.Pid(), fileDialog, IsMessageBox);
            return question || !IsWindow(fileDialog);
        });
        return question;
    }
};

// The expected files are built with this helper; pin it to known bytes.
TEST(GbkHelper, GivesTheBytesOfAChineseSystem) {
    EXPECT_EQ(Gbk(u"华为"), "\xBB\xAA\xCE\xAA");
    EXPECT_EQ(Gbk("密钥 k"), "\xC3\xDC\xD4\xBF k");
}

TEST_F(Generate, SaveAsCopiesTheOutputToTheChosenPath) {
    // Options ticked in the order guest, escape, MAB: the fragments still
    // follow in the fixed order. A key outside ASCII goes out in GBK.
    SetText(dialog_, IDC_EDIT_SECRET_KEY, u"密钥 k");
    ClickCheckBox(dialog_, IDC_CHECK_GUEST_VLAN);
    SetText(dialog_, IDC_EDIT_GUEST_VLAN_ID, u"200");
    ClickCheckBox(dialog_, IDC_CHECK_ESCAPE_VLAN);
    SetText(dialog_, IDC_EDIT_ESCAPE_VLAN_ID, u"100");
    ClickCheckBox(dialog_, IDC_CHECK_MAB);
    ASSERT_TRUE(CreateDirectoryW(WinStr(Path(u"saved")), nullptr));
    const WString target = Path(u"saved\\交换机.ini");

    ASSERT_NO_FATAL_FAILURE(PressAndSaveAs(u"华为_甲型-A100.ini", target));
    ASSERT_NO_FATAL_FAILURE(ExpectPlainMessage(kSaved));

    const std::string expected =
        HuaweiBase("密钥 k") + Gbk(" mab delay 30\r\n\r\n escape vlan 100\r\n\r\n guest vlan 200\r\n\r\n");
    EXPECT_EQ(FileOrMissing(target), expected);
    EXPECT_EQ(FileOrMissing(Path(kHuaweiOutput)), expected) << "the output file stays in config";
}

TEST_F(Generate, CancelledSaveAsLeavesTheCompleteOutputFileAndSaysNothing) {
    PostClick(dialog_, IDC_BUTTON_GENERATE);
    HWND fileDialog = WaitForFileDialog();
    ASSERT_NE(fileDialog, nullptr);
    ASSERT_TRUE(Dismiss(fileDialog, IDCANCEL));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(fileDialog); }));
    EXPECT_TRUE(NoOwnedWindow()) << "no message after a cancelled Save As";
    EXPECT_TRUE(IsWindowEnabled(dialog_));
    EXPECT_EQ(FileOrMissing(Path(kHuaweiOutput)), HuaweiBase());
}

// Every path of the program is relative to its working directory, so saving
// into another folder must not move it: the second press finds its templates.
TEST_F(Generate, SecondPressAfterSavingElsewhereStillFindsItsTemplates) {
    ASSERT_TRUE(CreateDirectoryW(WinStr(Path(u"elsewhere")), nullptr));
    ASSERT_NO_FATAL_FAILURE(PressAndSaveAs(u"华为_甲型-A100.ini", Path(u"elsewhere\\first.ini")));
    ASSERT_NO_FATAL_FAILURE(ExpectPlainMessage(kSaved));

    SelectComboItem(dialog_, IDC_COMBO_VENDOR, 2);
    SelectComboItem(dialog_, IDC_COMBO_MODEL, 1);
    ASSERT_NO_FATAL_FAILURE(PressAndSaveAs(u"思科_C-2.ini", Path(u"second.ini")));
    ASSERT_NO_FATAL_FAILURE(ExpectPlainMessage(kSaved));

    EXPECT_EQ(FileOrMissing(Path(u"elsewhere\\first.ini")), HuaweiBase());
    // A template without a final line feed gets no extra empty line.
    EXPECT_EQ(FileOrMissing(Path(u"second.ini")),
              Gbk("interface 1\r\n authentication host-mode multi-auth\r\n radius 10.1.2.3\r\n"));
    EXPECT_FALSE(Exists(Path(u"elsewhere\\config"))) << "nothing was written relative to the other folder";

    // Back to the first model: the same name is proposed again, and the
    // files are written anew, not appended to.
    SelectComboItem(dialog_, IDC_COMBO_VENDOR, 0);
    PostClick(dialog_, IDC_BUTTON_GENERATE);
    HWND fileDialog = WaitForFileDialog();
    ASSERT_NE(fileDialog, nullptr);
    EXPECT_EQ(Utf8(Text(FileNameField(fileDialog))), Utf8(u"华为_甲型-A100.ini"));
    ASSERT_TRUE(Dismiss(fileDialog, IDCANCEL));
    EXPECT_EQ(FileOrMissing(Path(kHuaweiOutput)), HuaweiBase());
}

// The host mode comes from the vendor's list position, the model's list
// position and the multi-terminal box, all read from the window at the press.
TEST_F(Generate, HostModeFollowsTheListPositionsAndTheMultiTerminalBox) {
    struct Case { int vendor, model; bool multiTerminal; const char16_t* output; const char* expected; };
    const Case cases[] = {
        {0, 1, true, u"config\\华为_B200.ini", "mode multi-authen\r\n\r\n"},
        {0, 1, false, u"config\\华为_B200.ini", "mode single-terminal\r\n\r\n"},
        {1, 0, true, u"config\\华三_H3C-7.ini", "mode macbased\r\n\r\n"},
        {1, 0, false, u"config\\华三_H3C-7.ini", "mode portbased\r\n\r\n"},
        {2, 0, true, u"config\\思科_C-1.ini", "mode multi-auth\r\n\r\n"},
        {2, 0, false, u"config\\思科_C-1.ini", "mode single-host\r\n\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Utf8(c.output) + (c.multiTerminal ? " multi" : " single"));
        SelectComboItem(dialog_, IDC_COMBO_VENDOR, c.vendor);
        SelectComboItem(dialog_, IDC_COMBO_MODEL, c.model);
        if (Checked(dialog_, IDC_CHECK_MULTI_TERMINAL) != c.multiTerminal) ClickCheckBox(dialog_, IDC_CHECK_MULTI_TERMINAL);
        PostClick(dialog_, IDC_BUTTON_GENERATE);
        HWND fileDialog = WaitForFileDialog();
        ASSERT_NE(fileDialog, nullptr);
        ASSERT_TRUE(Dismiss(fileDialog, IDCANCEL));
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(fileDialog); }));
        EXPECT_EQ(FileOrMissing(Path(c.output)), c.expected);
    }
    // The first Huawei model takes the other pair: "port" with the box clear.
    SelectComboItem(dialog_, IDC_COMBO_VENDOR, 0);
    PostClick(dialog_, IDC_BUTTON_GENERATE);
    HWND fileDialog = WaitForFileDialog();
    ASSERT_NE(fileDialog, nullptr);
    ASSERT_TRUE(Dismiss(fileDialog, IDCANCEL));
    std::string expected = HuaweiBase();
    expected.replace(expected.find("host-mode mac"), 13, "host-mode port");
    EXPECT_EQ(FileOrMissing(Path(kHuaweiOutput)), expected);
}

TEST_F(Generate, SavingOverAnExistingFileAsksFirstThenReplacesIt) {
    const WString target = Path(u"old.ini");
    ASSERT_TRUE(WriteBytes(target, std::string(5000, 'x')));
    PostClick(dialog_, IDC_BUTTON_GENERATE);
    HWND fileDialog = WaitForFileDialog();
    ASSERT_NE(fileDialog, nullptr);
    EnterFileName(fileDialog, target);
    HWND question = WaitForOverwriteQuestion(fileDialog);
    ASSERT_NE(question, nullptr) << "the dialog closed without asking; " << Listing(work_);
    EXPECT_EQ(FileOrMissing(target), std::string(5000, 'x')) << "nothing replaced before the answer";
    ASSERT_TRUE(Dismiss(question, IDYES));
    ASSERT_NO_FATAL_FAILURE(ExpectPlainMessage(kSaved));
    EXPECT_EQ(FileOrMissing(target), HuaweiBase()) << "replaced whole, not overwritten in part";
}

// Choosing the output file itself cannot be a copy; whatever the program says
// then, it must not claim success, and the file must stay whole.
TEST_F(Generate, SavingOntoTheOutputFileItselfIsNoSuccessAndLosesNothing) {
    PostClick(dialog_, IDC_BUTTON_GENERATE);
    HWND fileDialog = WaitForFileDialog();
    ASSERT_NE(fileDialog, nullptr);
    EnterFileName(fileDialog, Path(kHuaweiOutput));
    HWND question = WaitForOverwriteQuestion(fileDialog);
    ASSERT_NE(question, nullptr) << "the output file exists, so the dialog asks";
    ASSERT_TRUE(Dismiss(question, IDYES));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(fileDialog); }));
    if (!NoOwnedWindow()) {
        HWND box = WaitForMessageBox();
        ASSERT_NE(box, nullptr);
        EXPECT_NE(Utf8(ReadMessageBox(box).text), Utf8(kSaved));
        Dismiss(box);
    }
    EXPECT_EQ(FileOrMissing(Path(kHuaweiOutput)), HuaweiBase());
}

// Wine enforces the read-only attribute only for an unprivileged user; the
// fixture runs the window tests as one. Run by hand as root, this is skipped.
TEST_F(Generate, ReadOnlyOutputFileEndsThePressWithTheStopBox) {
    const WString output = Path(kHuaweiOutput);
    ASSERT_TRUE(WriteBytes(output, "old\r\n"));
    ASSERT_TRUE(SetFileAttributesW(WinStr(output), FILE_ATTRIBUTE_READONLY));
    {
        Handle probe(CreateFileW(WinStr(output), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        if (probe) GTEST_SKIP() << "read-only files are writable here (running as root?): nothing to test";
    }
    PostClick(dialog_, IDC_BUTTON_GENERATE);
    HWND box = WaitForMessageBox();
    ASSERT_NE(box, nullptr) << "no message for a read-only output file";
    const MessageBoxView view = ReadMessageBox(box);
    EXPECT_EQ(Utf8(view.text), Utf8(u"对 config\\华为_甲型-A100.ini 的访问被拒绝。"));
    EXPECT_EQ(Utf8(view.caption), "Brenvik");
    EXPECT_TRUE(view.hasIcon) << "a stop box";
    ASSERT_TRUE(Dismiss(box));
    EXPECT_TRUE(NoOwnedWindow()) << "no Save As dialog follows";
    EXPECT_EQ(FileOrMissing(output), "old\r\n");
    SetFileAttributesW(WinStr(output), FILE_ATTRIBUTE_NORMAL);
}

// File faults of the output stage, each set up in the way another program or
// the user would cause it, and undone before the next.
TEST_F(Generate, FileFaultsEndThePressWithTheStopBox) {
    const WString output = Path(kHuaweiOutput);
    const WString merge = Path(u"config\\华为_甲型-A100_merge_tp.ini");
    auto holdOpen = [](const WString& path) {
        return Handle(CreateFileW(WinStr(path), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, 0, nullptr));
    };
    struct Fault {
        const char* what;
        std::function<Handle()> cause;
        std::function<void()> undo;
        const char16_t* message;
    };
    const Fault faults[] = {
        {"a folder with the output file's name",
         [&] { CreateDirectoryW(WinStr(output), nullptr); return Handle(); },
         [&] { RemoveDirectoryW(WinStr(output)); }, u"对 config\\华为_甲型-A100.ini 的访问被拒绝。"},
        {"the output file held open by another program", [&] { return holdOpen(output); }, [] {},
         u"访问 config\\华为_甲型-A100.ini 时遇到共享冲突。"},
        {"the merge file held open by another program", [&] { return holdOpen(merge); }, [] {},
         u"访问 config\\华为_甲型-A100_merge_tp.ini 时遇到共享冲突。"},
    };
    for (const Fault& fault : faults) {
        SCOPED_TRACE(fault.what);
        Handle held = fault.cause();
        PostClick(dialog_, IDC_BUTTON_GENERATE);
        HWND box = WaitForMessageBox();
        ASSERT_NE(box, nullptr) << "no message";
        const MessageBoxView view = ReadMessageBox(box);
        EXPECT_EQ(Utf8(view.text), Utf8(fault.message));
        EXPECT_EQ(Utf8(view.caption), "Brenvik");
        EXPECT_TRUE(view.hasIcon) << "a stop box";
        ASSERT_TRUE(Dismiss(box));
        EXPECT_TRUE(NoOwnedWindow()) << "no Save As dialog follows";
        held.Reset();
        fault.undo();
    }
    // With every fault mended the same dialog generates again.
    PostClick(dialog_, IDC_BUTTON_GENERATE);
    HWND fileDialog = WaitForFileDialog();
    ASSERT_NE(fileDialog, nullptr);
    ASSERT_TRUE(Dismiss(fileDialog, IDCANCEL));
    EXPECT_EQ(FileOrMissing(output), HuaweiBase());
}

}  // namespace
}  // namespace gui
