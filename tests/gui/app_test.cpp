// The application around the dialog: the About box from the system menu, the
// ways the program ends, and the caption that follows the executable's name.
#include "tests/gui/scenario.h"

namespace gui {
namespace {

class App : public Scenario {};

// Every static text of a dialog, in child order; an icon control's "text" is
// its resource reference, not something shown.
std::vector<std::string> StaticTexts(HWND dialog) {
    std::vector<std::string> texts;
    for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        if (ClassOf(c) != u"Static" || (GetWindowLongW(c, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) continue;
        if (!Text(c).empty()) texts.push_back(Utf8(Text(c)));
    }
    return texts;
}

// The command is masked with 0xFFF0, so 17 opens the box as 16 does.
TEST_F(App, SystemMenuCommandsOpenTheAboutBox) {
    ASSERT_NO_FATAL_FAILURE(Start());
    SetText(dialog_, IDC_EDIT_INTERFACE, u"7");
    for (WPARAM command : {WPARAM{16}, WPARAM{17}, WPARAM{31}}) {
        SCOPED_TRACE(command);
        PostMessageW(dialog_, WM_SYSCOMMAND, command, 0);
        HWND about = WaitFor([&] { return FindOwnedDialog(program_.Pid(), dialog_); });
        ASSERT_NE(about, nullptr) << "no About box";
        EXPECT_EQ(Utf8(Text(about)), "关于 KelvoroBrenvik");
        EXPECT_EQ(StaticTexts(about), std::vector<std::string>{"KelvoroBrenvik，1.0 版"});
        EXPECT_EQ(Utf8(ItemText(about, IDOK)), "确定");
        EXPECT_TRUE(ShowsIcon(about));
        EXPECT_FALSE(IsWindowEnabled(dialog_)) << "the About box is modal";
        ASSERT_TRUE(Dismiss(about, IDOK));
        ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(dialog_) != FALSE; }));
    }
    // Esc closes the box as well, and the form keeps what was typed.
    PostMessageW(dialog_, WM_SYSCOMMAND, 16, 0);
    HWND about = WaitFor([&] { return FindOwnedDialog(program_.Pid(), dialog_); });
    ASSERT_NE(about, nullptr);
    PostKey(GetDlgItem(about, IDOK), VK_ESCAPE);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(about); }));
    EXPECT_EQ(Utf8(ItemText(dialog_, IDC_EDIT_INTERFACE)), "7");
    EXPECT_TRUE(program_.Running());
}

// Enter in a field, Esc and the close command end the dialog, and with it
// the process, without generating anything.
TEST_F(App, TheProgramEndsWithItsDialog) {
    struct Way {
        const char* what;
        std::function<void(HWND)> act;
    };
    const Way ways[] = {
        {"Enter in the switch-port field",
         [](HWND d) {
             FocusControl(d, IDC_EDIT_INTERFACE);
             PostKey(Child(d, IDC_EDIT_INTERFACE), VK_RETURN);
         }},
        {"Esc in the key field",
         [](HWND d) {
             FocusControl(d, IDC_EDIT_SECRET_KEY);
             PostKey(Child(d, IDC_EDIT_SECRET_KEY), VK_ESCAPE);
         }},
        {"the close command", [](HWND d) { PostMessageW(d, WM_SYSCOMMAND, SC_CLOSE, 0); }},
    };
    for (const Way& way : ways) {
        SCOPED_TRACE(way.what);
        ASSERT_NO_FATAL_FAILURE(Start());
        FillValidForm(dialog_);
        way.act(dialog_);
        EXPECT_TRUE(program_.WaitForExit(Millis(10000))) << "the process did not end";
        EXPECT_TRUE(TopWindows(program_.Pid()).empty());
        EXPECT_FALSE(Exists(Path(u"config\\华为_甲型-A100_merge_tp.ini"))) << "nothing generated";
        program_.Kill();
    }
}

// While the generate button has the focus, Enter presses it.
TEST_F(App, EnterOnTheGenerateButtonGenerates) {
    ASSERT_NO_FATAL_FAILURE(Start());
    FocusControl(dialog_, IDC_BUTTON_GENERATE);
    PostKey(Child(dialog_, IDC_BUTTON_GENERATE), VK_RETURN);
    ASSERT_NO_FATAL_FAILURE(ExpectPlainMessage(u"请输入需要开启802.1x认证的接口"));
    EXPECT_TRUE(program_.Running());
}

// The application's name is the executable's file name without extension.
TEST_F(App, MessageCaptionFollowsTheExecutableName) {
    for (const char16_t* name : {u"SwitchTool", u"配置助手"}) {
        SCOPED_TRACE(Utf8(name));
        const WString copy = Path(WString(name) + u".exe");
        ASSERT_TRUE(CopyFileW(WinStr(ProgramPath()), WinStr(copy), FALSE));
        ASSERT_NO_FATAL_FAILURE(Start(copy));
        PostClick(dialog_, IDC_BUTTON_GENERATE);
        ASSERT_NO_FATAL_FAILURE(ExpectPlainMessage(u"请输入需要开启802.1x认证的接口", name));
        program_.Kill();
    }
}

}  // namespace
}  // namespace gui
