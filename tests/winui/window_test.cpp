// The dialog layer in real windows: modal loop, message-map dispatch,
// default processing, data exchange, failure reports and the page that never
// arrives. Each dialog drives itself with messages it posts from its own
// initialisation, so nothing waits on another process.
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>
#include <vector>

#include "app/resource.h"
#include "platform/winui/dhtml_dialog.h"
#include "platform/winui/dialog.h"

namespace winui {
namespace {

constexpr UINT kProbeTimer = 7;
constexpr int kFallback = 99;

class Environment : public ::testing::Environment {
public:
    void SetUp() override {
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
        InitCommonControlsEx(&controls);
        OleInitialize(nullptr);
    }
    void TearDown() override { OleUninitialize(); }
};
const auto* const environment = ::testing::AddGlobalTestEnvironment(new Environment);

// The About box's template: an icon, a label and the OK button (IDOK).
class ProbeDialog : public CDialog {
public:
    explicit ProbeDialog(CWnd* parent = nullptr) : CDialog(IDD_ABOUTBOX, parent) {}

    const MessageMap* GetMessageMap() const override {
        static const MessageMapEntry entries[] = {
            OnMessageEntry<&ProbeDialog::OnSysCommandProbe>(WM_SYSCOMMAND),
            OnMessageEntry<&ProbeDialog::OnFallbackTimer>(WM_TIMER),
            OnCommandEntry<&ProbeDialog::OnThrowRuntime>(BN_CLICKED, 500),
            OnCommandEntry<&ProbeDialog::OnThrowBadAlloc>(BN_CLICKED, 501),
        };
        static const MessageMap map = MakeMessageMap(CDialog::GetMessageMap(), entries);
        return &map;
    }

    std::vector<UINT> toPost;            // WM_COMMAND ids posted from OnInitDialog, in order
    std::vector<std::pair<UINT, WPARAM>> messagesToPost;
    bool passSysCommandsOn = true;
    UINT fallbackMs = 0;  // ends the dialog with kFallback if nothing else did
    bool postQuit = false;
    CButton ok;
    HWND okAtInit = nullptr;
    HWND ownerAtInit = nullptr;
    bool ownerEnabledAtInit = true;
    std::vector<BOOL> exchanges;
    int reports = 0;
    std::vector<MSG> preTranslated;

protected:
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        okAtInit = ok.m_hWnd;
        ownerAtInit = ::GetWindow(m_hWnd, GW_OWNER);
        if (ownerAtInit) ownerEnabledAtInit = ::IsWindowEnabled(ownerAtInit) != FALSE;
        for (const auto& m : messagesToPost) ::PostMessageW(m_hWnd, m.first, m.second, 0);
        for (UINT id : toPost) ::PostMessageW(m_hWnd, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
        if (fallbackMs) ::SetTimer(m_hWnd, kProbeTimer, fallbackMs, nullptr);
        if (postQuit) ::PostQuitMessage(3);
        return TRUE;
    }
    void DoDataExchange(CDataExchange* dx) override {
        exchanges.push_back(dx->m_bSaveAndValidate);
        DDX_Control(dx, IDOK, ok);
    }
    BOOL PreTranslateMessage(MSG* message) override {
        preTranslated.push_back(*message);
        return CDialog::PreTranslateMessage(message);
    }
    void ReportException(std::exception_ptr) override { ++reports; }
    void OnOK() override {
        ::GetWindowRect(m_hWnd, &rectAtOk);
        CDialog::OnOK();
    }

public:
    RECT rectAtOk = {};

private:
    void OnSysCommandProbe(UINT id, LPARAM lParam) {
        if (passSysCommandsOn) CDialog::OnSysCommand(id, lParam);
    }
    void OnFallbackTimer(UINT_PTR) { EndDialog(kFallback); }
    void OnThrowRuntime() { throw std::runtime_error("handler failed"); }
    void OnThrowBadAlloc() { throw std::bad_alloc(); }
};

TEST(Dialog, DoModalGivesMinusOneWhenTheTemplateIsMissing) {
    CDialog dialog(4321);
    EXPECT_EQ(dialog.DoModal(), -1);
}

TEST(Dialog, OkRunsTheSavingExchangeAndCancelDoesNot) {
    ProbeDialog ok;
    ok.toPost = {IDOK};
    EXPECT_EQ(ok.DoModal(), IDOK);
    EXPECT_EQ(ok.exchanges, (std::vector<BOOL>{FALSE, TRUE}));

    ProbeDialog cancel;
    cancel.toPost = {IDCANCEL};
    EXPECT_EQ(cancel.DoModal(), IDCANCEL);
    EXPECT_EQ(cancel.exchanges, (std::vector<BOOL>{FALSE}));
}

TEST(Dialog, AQuitMessageEndsTheLoopAndIsLeftForTheOuterOne) {
    ProbeDialog dialog;
    dialog.postQuit = true;
    dialog.fallbackMs = 3000;
    EXPECT_EQ(dialog.DoModal(), -1) << "not ended by the dialog itself";
    MSG message;
    ASSERT_TRUE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "the quit message is posted again";
    EXPECT_EQ(message.wParam, 3u);
}

TEST(Dialog, DataExchangeAttachesTheControlAndDestructionDetachesIt) {
    ProbeDialog dialog;
    dialog.toPost = {IDOK};
    ASSERT_EQ(dialog.DoModal(), IDOK);
    EXPECT_NE(dialog.okAtInit, nullptr) << "attached during the initial exchange";
    EXPECT_EQ(dialog.ok.m_hWnd, nullptr) << "detached with its window";
    EXPECT_EQ(dialog.m_hWnd, nullptr);
}

TEST(Dialog, AnExceptionFromAHandlerIsReportedOnceAndTheDialogGoesOn) {
    ProbeDialog dialog;
    dialog.toPost = {500, 501, IDOK};
    EXPECT_EQ(dialog.DoModal(), IDOK) << "the dialog kept running after both failures";
    EXPECT_EQ(dialog.reports, 2) << "one report per failed handler";
}

TEST(Dialog, SystemCommandsReachTheDefaultProcessingOnlyWhenTheHandlerAsks) {
    // Passed on, the close command becomes IDCANCEL.
    ProbeDialog passing;
    passing.messagesToPost = {{WM_SYSCOMMAND, SC_CLOSE}};
    passing.fallbackMs = 3000;
    EXPECT_EQ(passing.DoModal(), IDCANCEL);

    // Swallowed, it does nothing: the dialog is still open when the
    // fallback ends it.
    ProbeDialog swallowing;
    swallowing.passSysCommandsOn = false;
    swallowing.messagesToPost = {{WM_SYSCOMMAND, SC_CLOSE}};
    swallowing.fallbackMs = 500;
    EXPECT_EQ(swallowing.DoModal(), kFallback);
}

TEST(Dialog, PreTranslationSeesTheDialogsMessagesBeforeTheDialogManager) {
    ProbeDialog dialog;
    dialog.messagesToPost = {{WM_MOUSEMOVE, 0}};
    dialog.toPost = {IDOK};
    ASSERT_EQ(dialog.DoModal(), IDOK);
    bool sawMouseMove = false;
    for (const MSG& m : dialog.preTranslated) sawMouseMove |= m.message == WM_MOUSEMOVE;
    EXPECT_TRUE(sawMouseMove);
}

TEST(Dialog, TheOwnerIsDisabledWhileTheDialogRunsAndTheDialogIsCentredOnIt) {
    HWND ownerWindow = CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP | WS_VISIBLE | WS_CAPTION, 100, 80, 600, 500,
                                       nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(ownerWindow, nullptr);
    CWnd owner;
    owner.Attach(ownerWindow);
    ProbeDialog dialog(&owner);
    dialog.toPost = {IDOK};

    ASSERT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.ownerAtInit, ownerWindow);
    EXPECT_FALSE(dialog.ownerEnabledAtInit) << "modal: the owner takes no input";
    EXPECT_TRUE(IsWindowEnabled(ownerWindow)) << "enabled again afterwards";
    RECT around;
    GetWindowRect(ownerWindow, &around);
    const RECT& r = dialog.rectAtOk;
    EXPECT_NEAR((r.left + r.right) / 2, (around.left + around.right) / 2, 1);
    EXPECT_NEAR((r.top + r.bottom) / 2, (around.top + around.bottom) / 2, 1);
    DestroyWindow(ownerWindow);
}

// The main dialog's template and page, with a probe a little after the time
// the page may take: by then the page is given up and the dialog paints the
// page's background itself.
class PageProbe : public CDHtmlDialog {
public:
    PageProbe() : CDHtmlDialog(IDD_MAIN_DIALOG, IDR_HTML_MAIN) {}

    const MessageMap* GetMessageMap() const override {
        static const MessageMapEntry entries[] = {
            OnMessageEntry<&PageProbe::OnProbeTimer>(WM_TIMER),
        };
        static const MessageMap map = MakeMessageMap(CDHtmlDialog::GetMessageMap(), entries);
        return &map;
    }

    bool unavailableLater = false;
    COLORREF brushColour = 0;
    bool brushSolid = false;

protected:
    BOOL OnInitDialog() override {
        CDHtmlDialog::OnInitDialog();
        ::SetTimer(m_hWnd, kProbeTimer, kPageWaitMs + 500, nullptr);
        return TRUE;
    }

private:
    void OnProbeTimer(UINT_PTR id) {
        if (id != kProbeTimer) {
            CDHtmlDialog::OnTimer(id);
            return;
        }
        ::KillTimer(m_hWnd, kProbeTimer);
        unavailableLater = PageUnavailable();
        HDC dc = ::GetDC(m_hWnd);
        const auto brush = reinterpret_cast<HBRUSH>(SendMessage(WM_CTLCOLORDLG, reinterpret_cast<WPARAM>(dc),
                                                                reinterpret_cast<LPARAM>(m_hWnd)));
        ::ReleaseDC(m_hWnd, dc);
        LOGBRUSH info = {};
        if (brush && ::GetObjectW(brush, sizeof info, &info) == sizeof info) {
            brushSolid = info.lbStyle == BS_SOLID;
            brushColour = info.lbColor;
        }
        EndDialog(IDOK);
    }
};

TEST(DHtmlDialog, WithoutADocumentThePageIsGivenUpAndItsBackgroundPainted) {
    PageProbe dialog;
    ASSERT_EQ(dialog.DoModal(), IDOK) << "the dialog works on without its page";
    // Under wine here no document ever arrives; a system that shows the page
    // keeps it, and the dialog then paints nothing itself.
    if (!dialog.unavailableLater) GTEST_SKIP() << "the browser control delivered the page on this system";
    EXPECT_TRUE(dialog.brushSolid);
    EXPECT_EQ(dialog.brushColour, RGB(245, 245, 245)) << "WhiteSmoke";
}

}  // namespace
}  // namespace winui
