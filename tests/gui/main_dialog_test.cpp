// The main dialog in a real window: what it opens with, how the model list
// follows the vendor, the enable rules, the order of the validation messages
// and the tooltips.
#include "tests/gui/scenario.h"

#include <commctrl.h>

#include <algorithm>

namespace gui {
namespace {

std::vector<std::string> Utf8All(const std::vector<WString>& texts) {
    std::vector<std::string> out;
    for (const auto& t : texts) out.push_back(Utf8(t));
    return out;
}

class MainDialog : public Scenario {};

TEST_F(MainDialog, OpensWithEveryDefault) {
    ASSERT_NO_FATAL_FAILURE(Start());
    EXPECT_EQ(Utf8(Text(dialog_)), "KelvoroBrenvikv1.0");

    EXPECT_EQ(Utf8All(ComboItems(dialog_, IDC_COMBO_VENDOR)), Utf8All({u"华为", u"华三", u"思科"}))
        << "entries keep their insertion order although the list has the sort style";
    EXPECT_EQ(ComboSelection(dialog_, IDC_COMBO_VENDOR), 0);
    EXPECT_EQ(Utf8(ItemText(dialog_, IDC_COMBO_VENDOR)), "华为");
    EXPECT_EQ(Utf8All(ComboItems(dialog_, IDC_COMBO_MODEL)), Utf8All(kHuaweiModels));
    EXPECT_EQ(ComboSelection(dialog_, IDC_COMBO_MODEL), 0);
    EXPECT_EQ(Utf8(ItemText(dialog_, IDC_COMBO_MODEL)), Utf8(kHuaweiModels[0]));

    EXPECT_EQ(Utf8(ItemText(dialog_, IDC_EDIT_AUTH_PORT)), "1812");
    EXPECT_EQ(Utf8(ItemText(dialog_, IDC_EDIT_ACCT_PORT)), "1813");
    EXPECT_EQ(Utf8(ItemText(dialog_, IDC_EDIT_MAB_DELAY)), "30");
    EXPECT_FALSE(Enabled(dialog_, IDC_EDIT_MAB_DELAY));
    EXPECT_TRUE(Checked(dialog_, IDC_CHECK_MULTI_TERMINAL));

    struct Option { const char* what; int check, field; };
    for (const Option& o : {Option{"MAB", IDC_CHECK_MAB, IDC_EDIT_MAB_DELAY},
                            Option{"escape VLAN", IDC_CHECK_ESCAPE_VLAN, IDC_EDIT_ESCAPE_VLAN_ID},
                            Option{"guest VLAN", IDC_CHECK_GUEST_VLAN, IDC_EDIT_GUEST_VLAN_ID}}) {
        EXPECT_FALSE(Checked(dialog_, o.check)) << o.what;
        EXPECT_FALSE(Enabled(dialog_, o.field)) << o.what;
    }
    EXPECT_NE(Send(Child(dialog_, IDC_IPADDRESS_SERVER), IPM_ISBLANK), 0) << "the server address opens blank";
    for (int empty : {IDC_EDIT_SECRET_KEY, IDC_EDIT_INTERFACE, IDC_EDIT_ESCAPE_VLAN_ID, IDC_EDIT_GUEST_VLAN_ID})
        EXPECT_EQ(Utf8(ItemText(dialog_, empty)), "") << "control " << empty;
    EXPECT_TRUE(NoOwnedWindow());
}

TEST_F(MainDialog, ModelListFollowsTheVendor) {
    ASSERT_NO_FATAL_FAILURE(Start());
    struct Step { int vendor; const std::vector<WString>* models; };
    for (const Step& step : {Step{2, &kCiscoModels}, Step{1, &kH3cModels}, Step{0, &kHuaweiModels},
                             Step{2, &kCiscoModels}}) {
        SelectComboItem(dialog_, IDC_COMBO_VENDOR, step.vendor);
        EXPECT_EQ(Utf8All(ComboItems(dialog_, IDC_COMBO_MODEL)), Utf8All(*step.models)) << "vendor " << step.vendor;
        EXPECT_EQ(ComboSelection(dialog_, IDC_COMBO_MODEL), 0) << "vendor " << step.vendor;
        EXPECT_EQ(Utf8(ItemText(dialog_, IDC_COMBO_MODEL)), Utf8(step.models->front()));
    }
    // Choosing an entry of a short list and going back refills, not appends.
    SelectComboItem(dialog_, IDC_COMBO_MODEL, 2);
    SelectComboItem(dialog_, IDC_COMBO_VENDOR, 1);
    EXPECT_EQ(Utf8All(ComboItems(dialog_, IDC_COMBO_MODEL)), Utf8All(kH3cModels));
}

TEST_F(MainDialog, CheckBoxesEnableTheirFieldsAndKeepTheTexts) {
    ASSERT_NO_FATAL_FAILURE(Start());
    struct Rule { int check, field; const char16_t* typed; const char16_t* expected; };
    // The delay keeps its default; the VLAN ids keep what the user typed,
    // typed here while the field was enabled.
    for (const Rule& r : {Rule{IDC_CHECK_MAB, IDC_EDIT_MAB_DELAY, nullptr, u"30"},
                          Rule{IDC_CHECK_ESCAPE_VLAN, IDC_EDIT_ESCAPE_VLAN_ID, u"100", u"100"},
                          Rule{IDC_CHECK_GUEST_VLAN, IDC_EDIT_GUEST_VLAN_ID, u"200", u"200"}}) {
        SCOPED_TRACE(r.check);
        ClickCheckBox(dialog_, r.check);
        EXPECT_TRUE(Checked(dialog_, r.check));
        EXPECT_TRUE(Enabled(dialog_, r.field));
        if (r.typed) SetText(dialog_, r.field, r.typed);
        ClickCheckBox(dialog_, r.check);
        EXPECT_FALSE(Checked(dialog_, r.check));
        EXPECT_FALSE(Enabled(dialog_, r.field));
        EXPECT_EQ(Utf8(ItemText(dialog_, r.field)), Utf8(r.expected));
        ClickCheckBox(dialog_, r.check);
        EXPECT_TRUE(Enabled(dialog_, r.field));
        EXPECT_EQ(Utf8(ItemText(dialog_, r.field)), Utf8(r.expected));
    }
    // The multi-terminal box enables nothing.
    ClickCheckBox(dialog_, IDC_CHECK_MULTI_TERMINAL);
    EXPECT_FALSE(Checked(dialog_, IDC_CHECK_MULTI_TERMINAL));
    EXPECT_TRUE(Enabled(dialog_, IDC_EDIT_MAB_DELAY));
    EXPECT_TRUE(Enabled(dialog_, IDC_EDIT_ESCAPE_VLAN_ID));
    ClickCheckBox(dialog_, IDC_CHECK_MULTI_TERMINAL);
    EXPECT_TRUE(Checked(dialog_, IDC_CHECK_MULTI_TERMINAL));
}

// One press per step, each step mending the previous fault: the messages come
// one at a time, in the order of the checks, not in the order of the form.
TEST_F(MainDialog, ValidationMessagesComeInTheirOrder) {
    ASSERT_NO_FATAL_FAILURE(Start());
    struct Step {
        std::function<void(HWND)> change;
        const char16_t* message;
    };
    const Step steps[] = {
        {[](HWND) {}, u"请输入需要开启802.1x认证的接口"},
        {[](HWND d) { SetText(d, IDC_EDIT_INTERFACE, u"1"); }, u"请输入radius服务器IP"},
        // Only the first field filled: 10.0.0.0 passes; an emptied port is next.
        {[](HWND d) {
             SetAddress(d, IDC_IPADDRESS_SERVER, MAKEIPADDRESS(10, 0, 0, 0));
             SetText(d, IDC_EDIT_AUTH_PORT, u"");
         },
         u"请输入radius 认证端口"},
        {[](HWND d) {
             SetText(d, IDC_EDIT_AUTH_PORT, u"1812");
             SetText(d, IDC_EDIT_ACCT_PORT, u"");
         },
         u"请输入radius 计费端口"},
        {[](HWND d) { SetText(d, IDC_EDIT_ACCT_PORT, u"1813"); }, u"请输入加密密钥"},
        // A single blank is a key; an empty delay counts once MAB is on.
        {[](HWND d) {
             SetText(d, IDC_EDIT_SECRET_KEY, u" ");
             SetText(d, IDC_EDIT_MAB_DELAY, u"");
             ClickCheckBox(d, IDC_CHECK_MAB);
         },
         u"请输入mab认证延迟时间"},
        {[](HWND d) {
             SetText(d, IDC_EDIT_MAB_DELAY, u"30");
             ClickCheckBox(d, IDC_CHECK_GUEST_VLAN);
             ClickCheckBox(d, IDC_CHECK_ESCAPE_VLAN);
         },
         u"请输入逃生vlanID"},
        {[](HWND d) { SetText(d, IDC_EDIT_ESCAPE_VLAN_ID, u"100"); }, u"请输入Guest vlanID"},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(Utf8(step.message));
        step.change(dialog_);
        PostClick(dialog_, IDC_BUTTON_GENERATE);
        ASSERT_NO_FATAL_FAILURE(ExpectPlainMessage(step.message));
        EXPECT_TRUE(NoOwnedWindow()) << "one message per press";
    }
    // A failed press touches no file.
    EXPECT_FALSE(Exists(Path(u"config\\华为_甲型-A100_merge_tp.ini")));
    // With the last id entered the press gets through to the Save As dialog.
    SetText(dialog_, IDC_EDIT_GUEST_VLAN_ID, u"200");
    PostClick(dialog_, IDC_BUTTON_GENERATE);
    HWND fileDialog = WaitForFileDialog();
    ASSERT_NE(fileDialog, nullptr);
    EXPECT_TRUE(Dismiss(fileDialog, IDCANCEL));
}

// A vendor whose list names no model leaves the model list empty and its
// text blank; the press goes on with an empty model name.
TEST_F(MainDialog, EmptyModelListStillGeneratesWithAnEmptyModelName) {
    ASSERT_TRUE(WriteBytes(Path(u"config\\h3c_switch_model.ini"), "[config]\r\ncount = 0\r\n[TYPE]\r\n"));
    ASSERT_TRUE(WriteBytes(Path(u"config\\华三__tp.ini"), "mode <%HOST_MODE%>\n"));
    ASSERT_NO_FATAL_FAILURE(Start());
    SelectComboItem(dialog_, IDC_COMBO_VENDOR, 1);
    EXPECT_TRUE(ComboItems(dialog_, IDC_COMBO_MODEL).empty());
    EXPECT_EQ(ComboSelection(dialog_, IDC_COMBO_MODEL), CB_ERR);
    EXPECT_EQ(Utf8(ItemText(dialog_, IDC_COMBO_MODEL)), "");
    FillValidForm(dialog_);
    PostClick(dialog_, IDC_BUTTON_GENERATE);
    HWND fileDialog = WaitForFileDialog();
    ASSERT_NE(fileDialog, nullptr) << "validation lets an empty model name through";
    EXPECT_EQ(Utf8(Text(FileNameField(fileDialog))), Utf8(u"华三_.ini"));
    ASSERT_TRUE(Dismiss(fileDialog, IDCANCEL));
    EXPECT_EQ(ReadBytes(Path(u"config\\华三_.ini")).value_or("<missing>"), "mode macbased\r\n\r\n");
}

TEST_F(MainDialog, AddressLeftBlankIsRefusedWhateverElseIsFilled) {
    ASSERT_NO_FATAL_FAILURE(Start());
    FillValidForm(dialog_);
    ClearAddress(dialog_, IDC_IPADDRESS_SERVER);
    PostClick(dialog_, IDC_BUTTON_GENERATE);
    ExpectPlainMessage(u"请输入radius服务器IP");
}

// The dialog has a maximize box but lays nothing out anew: every control
// stays where the template puts it, maximized or restored.
TEST_F(MainDialog, MaximizingMovesNoControl) {
    ASSERT_NO_FATAL_FAILURE(Start());
    auto layout = [&] {
        std::vector<RECT> rects;
        for (HWND c = GetWindow(dialog_, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
            if (GetDlgCtrlID(c) == 0) continue;  // the page's host window, which fills the client area
            RECT r{};
            GetWindowRect(c, &r);
            MapWindowPoints(HWND_DESKTOP, dialog_, reinterpret_cast<POINT*>(&r), 2);
            rects.push_back(r);
        }
        return rects;
    };
    auto same = [](const std::vector<RECT>& a, const std::vector<RECT>& b) {
        return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](const RECT& x, const RECT& y) {
                   return EqualRect(&x, &y) != FALSE;
               });
    };
    const auto opened = layout();
    ASSERT_GE(opened.size(), 31u);
    PostMessageW(dialog_, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    ASSERT_TRUE(WaitUntil([&] { return IsZoomed(dialog_) != FALSE; }));
    Send(dialog_, WM_NULL);
    EXPECT_TRUE(same(layout(), opened)) << "maximized";
    PostMessageW(dialog_, WM_SYSCOMMAND, SC_RESTORE, 0);
    ASSERT_TRUE(WaitUntil([&] { return IsZoomed(dialog_) == FALSE; }));
    Send(dialog_, WM_NULL);
    EXPECT_TRUE(same(layout(), opened)) << "restored";
}

// Wine shows a tip only for real pointer moves that the dialog relays: the
// pointer is moved with SetCursorPos and rests on the control.
TEST_F(MainDialog, TooltipsShowWhereThePointerRests) {
    ASSERT_NO_FATAL_FAILURE(Start());
    auto restOn = [&](int control) {
        RECT r{};
        GetWindowRect(Child(dialog_, control), &r);
        SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    };
    // A move over a part of the dialog that is no tool hides the tip.
    auto tipAway = [&] {
        RECT r{};
        GetWindowRect(dialog_, &r);
        SetCursorPos(r.right - 8, r.bottom - 40);
        WaitUntil([&] { return FindVisibleTooltip(program_.Pid()) == nullptr; }, Millis(3000));
    };
    struct Tip { int control; const char16_t* text; };
    for (const Tip& tip : {Tip{IDC_CHECK_ESCAPE_VLAN, u"当radius服务器故障时,划分到对应的逃生vlan"},
                           Tip{IDC_EDIT_INTERFACE, u"选择交换机开启802.1x认证的端口"}}) {
        SCOPED_TRACE(Utf8(tip.text));
        restOn(tip.control);
        HWND shown = WaitFor([&]() -> HWND {
            HWND t = FindVisibleTooltip(program_.Pid());
            return t && Text(t) == tip.text ? t : nullptr;
        }, Millis(8000));
        EXPECT_NE(shown, nullptr) << "no tip within 8 s";
        tipAway();
    }
    // The port fields have no tip: nothing shows well after the 2 s delay.
    restOn(IDC_EDIT_AUTH_PORT);
    EXPECT_EQ(WaitFor([&] { return FindVisibleTooltip(program_.Pid()); }, Millis(3500)), nullptr);
    SetCursorPos(0, 0);
}

// Characters typed into the fields, one WM_CHAR each as the keyboard gives
// them: the number fields refuse letters, the key field takes anything and
// shows it masked.
TEST_F(MainDialog, FieldsTakeWhatTheirStylesAllow) {
    ASSERT_NO_FATAL_FAILURE(Start());
    ClickCheckBox(dialog_, IDC_CHECK_MAB);
    ClickCheckBox(dialog_, IDC_CHECK_ESCAPE_VLAN);
    ClickCheckBox(dialog_, IDC_CHECK_GUEST_VLAN);
    struct Typing { int id; const char16_t* typed; const char16_t* expected; };
    for (const Typing& t : {Typing{IDC_EDIT_INTERFACE, u"1a/2", u"12"}, Typing{IDC_EDIT_AUTH_PORT, u"x18-12", u"1812"},
                            Typing{IDC_EDIT_ACCT_PORT, u"18 13", u"1813"}, Typing{IDC_EDIT_MAB_DELAY, u"3s0", u"30"},
                            Typing{IDC_EDIT_ESCAPE_VLAN_ID, u"v100", u"100"}, Typing{IDC_EDIT_GUEST_VLAN_ID, u"2.0", u"20"},
                            Typing{IDC_EDIT_SECRET_KEY, u"k y!", u"k y!"}}) {
        SCOPED_TRACE(t.id);
        SetText(dialog_, t.id, u"");
        HWND field = Child(dialog_, t.id);
        for (const char16_t* c = t.typed; *c; ++c) PostMessageW(field, WM_CHAR, *c, 1);
        // Posted characters are handled after anything sent; wait for the last.
        WaitUntil([&] { return ItemText(dialog_, t.id) == t.expected; }, Millis(3000));
        EXPECT_EQ(Utf8(ItemText(dialog_, t.id)), Utf8(t.expected));
    }
    EXPECT_NE(Send(Child(dialog_, IDC_EDIT_SECRET_KEY), EM_GETPASSWORDCHAR), 0) << "the key is shown masked";
    EXPECT_EQ(Send(Child(dialog_, IDC_EDIT_INTERFACE), EM_GETPASSWORDCHAR), 0);
}

}  // namespace
}  // namespace gui
