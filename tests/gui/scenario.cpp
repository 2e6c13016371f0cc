#include "tests/gui/scenario.h"

#include <cstdlib>
#include <filesystem>

namespace gui {

namespace fs = std::filesystem;

const std::vector<WString> kHuaweiModels = {u"甲型-A100", u"B200"};
const std::vector<WString> kH3cModels = {u"H3C-7"};
const std::vector<WString> kCiscoModels = {u"C-1", u"C-2", u"C-3"};

std::string Gbk(const WString& text) {
    if (text.empty()) return {};
    const int n = WideCharToMultiByte(936, 0, WinStr(text), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(936, 0, WinStr(text), static_cast<int>(text.size()), bytes.data(), n, nullptr, nullptr);
    return bytes;
}

std::string Gbk(const char* utf8) { return Gbk(Utf8ToWide(utf8)); }

bool WriteBytes(const WString& path, const std::string& bytes) {
    Handle file(CreateFileW(WinStr(path), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file && WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

std::optional<std::string> ReadBytes(const WString& path) {
    Handle file(CreateFileW(WinStr(path), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return std::nullopt;
    std::string bytes;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
    return bytes;
}

bool Exists(const WString& path) { return GetFileAttributesW(WinStr(path)) != INVALID_FILE_ATTRIBUTES; }

WString ProgramPath() {
    const char* exe = std::getenv("BRENVIK_EXE");
    return exe ? WindowsPath(exe) : WString();
}

namespace {

// A folder left by an earlier run may hold read-only files, which Windows
// refuses to delete until the attribute is cleared.
void RemoveTree(const fs::path& root) {
    std::error_code ec;
    if (!fs::exists(root, ec)) return;
    for (auto it = fs::recursive_directory_iterator(root, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec))
        SetFileAttributesW(it->path().c_str(), FILE_ATTRIBUTE_NORMAL);
    fs::remove_all(root, ec);
}

// The config folder of every scenario: three model lists in GBK with CR LF
// line ends, as a Chinese deployment stores them, and templates for a few
// models. The first Huawei model has a Chinese name, so the list's bytes must
// be decoded as GBK for the file names to be found.
struct FixtureFile {
    const char16_t* name;
    const char* text;  // UTF-8 here, written as GBK
};

const FixtureFile kConfig[] = {
    {u"hw_switch_model.ini",
     "; 测试用华为型号\r\n[config]\r\ncount = 2\r\n[TYPE]\r\nTYPE0 = 甲型-A100\r\nTYPE1 = B200\r\n"},
    {u"h3c_switch_model.ini", "[config]\r\ncount = 1\r\n[TYPE]\r\nTYPE0 = H3C-7\r\n"},
    {u"cisco_switch_model.ini", "[config]\r\ncount = 3\r\n[TYPE]\r\nTYPE0 = C-1\r\nTYPE1 = C-2\r\nTYPE2 = C-3\r\n"},
    {u"华为_甲型-A100_tp.ini",
     "! 华为 <%INTERFACE%> 配置\n"
     "radius-server <%SERVER_IP%> auth <%AUTH_PORT%> acct <%ACCOUNT_PORT%> key <%SECRET_KEY%>\n"
     "interface <%INTERFACE%>\n"
     " host-mode <%HOST_MODE%>\n"},
    {u"华为_甲型-A100_mab_tp.ini", " mab delay <%MAB_DELAY%>\n"},
    {u"华为_甲型-A100_DeadVlan_tp.ini", " escape vlan <%ESCAPEVLANID%>\n"},
    {u"华为_甲型-A100_GeustVlan_tp.ini", " guest vlan <%GUESTVLANID%>\n"},
    {u"华为_B200_tp.ini", "mode <%HOST_MODE%>\n"},
    {u"华三_H3C-7_tp.ini", "mode <%HOST_MODE%>\n"},
    {u"思科_C-1_tp.ini", "mode <%HOST_MODE%>\n"},
    {u"思科_C-2_tp.ini", "interface <%INTERFACE%>\n authentication host-mode <%HOST_MODE%>\n radius <%SERVER_IP%>"},
};

}  // namespace

void Scenario::SetUp() {
    ASSERT_EQ(GetACP(), 936u) << "wine must run with a zh_CN locale (see tools/wine-env.sh)";
    ASSERT_FALSE(ProgramPath().empty()) << "BRENVIK_EXE is not set";
    ASSERT_TRUE(Exists(ProgramPath())) << Utf8(ProgramPath());

    const auto* info = testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "." + info->name();
    for (char& c : name)
        if (c == '/') c = '_';
    const fs::path folder = fs::current_path() / name;
    RemoveTree(folder);
    ASSERT_TRUE(fs::create_directories(folder / "config"));
    work_ = FromWin(folder.wstring().c_str());
    for (const auto& file : kConfig)
        ASSERT_TRUE(WriteBytes(Path(u"config\\" + WString(file.name)), Gbk(file.text))) << Utf8(file.name);
}

void Scenario::TearDown() {
    program_.Kill();
}

void Scenario::Start(const WString& exe) {
    std::string error;
    ASSERT_TRUE(program_.Start(exe, work_, &error)) << error;
    dialog_ = WaitForReadyDialog(program_);
    ASSERT_NE(dialog_, nullptr) << "the main dialog did not show";
}

HWND Scenario::WaitForMessageBox(Millis timeout) const {
    return WaitFor([&] { return FindOwnedDialog(program_.Pid(), dialog_, IsMessageBox); }, timeout);
}

HWND Scenario::WaitForFileDialog(Millis timeout) const {
    return WaitFor([&] { return FindOwnedDialog(program_.Pid(), dialog_, IsFileDialog); }, timeout);
}

void Scenario::ExpectPlainMessage(const WString& text, const WString& caption) {
    HWND box = WaitForMessageBox();
    ASSERT_NE(box, nullptr) << "no message box; expected \"" << Utf8(text) << "\"";
    const MessageBoxView view = ReadMessageBox(box);
    EXPECT_EQ(Utf8(view.text), Utf8(text));
    EXPECT_EQ(Utf8(view.caption), Utf8(caption));
    EXPECT_FALSE(view.hasIcon) << "a plain message shows no icon\n" << Describe(box);
    EXPECT_FALSE(IsWindowEnabled(dialog_)) << "the box is modal to the main dialog";
    ASSERT_TRUE(Dismiss(box)) << Describe(box);
}

bool Scenario::NoOwnedWindow() const {
    // A sent message is handled only when the dialog's thread pumps again: by
    // then the handler has ended or has opened its next window.
    Send(dialog_, WM_NULL);
    return FindOwnedDialog(program_.Pid(), dialog_) == nullptr;
}

void Scenario::PressAndSaveAs(const WString& proposedName, const WString& target) {
    PostClick(dialog_, IDC_BUTTON_GENERATE);
    HWND fileDialog = WaitForFileDialog();
    ASSERT_NE(fileDialog, nullptr) << "no Save As dialog after the press";
    HWND nameField = FileNameField(fileDialog);
    EXPECT_EQ(Utf8(Text(nameField)), Utf8(proposedName));
    EnterFileName(fileDialog, target);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(fileDialog); })) << Describe(fileDialog);
}

void Scenario::EnterFileName(HWND fileDialog, const WString& path) {
    Send(FileNameField(fileDialog), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(WinStr(path)));
    PostClick(fileDialog, IDOK);
}

}  // namespace gui
