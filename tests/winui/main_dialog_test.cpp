// The main dialog's opening sequence, read in its own process: the tooltip's
// tools, delays and colours, the system menu's About item and the icons.
// These answers come through pointers (TTM_ENUMTOOLS, TTM_GETTEXT), which do
// not cross processes, so the window tests of the running program cannot
// read them.
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/resource.h"
#include "ui/ctavrik_dlg.h"

namespace {

std::string Utf8(const WString& text) { return WideToUtf8(text); }

struct TooltipSearch {
    HWND owner;
    HWND found;
};

BOOL CALLBACK MatchTooltip(HWND w, LPARAM p) {
    auto* search = reinterpret_cast<TooltipSearch*>(p);
    wchar_t name[64] = {};
    GetClassNameW(w, name, 64);
    if (lstrcmpiW(name, TOOLTIPS_CLASSW) == 0 && GetWindow(w, GW_OWNER) == search->owner) {
        search->found = w;
        return FALSE;
    }
    return TRUE;
}

// The tooltip window the dialog owns.
HWND FindTooltipOf(HWND dialog) {
    TooltipSearch search{dialog, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), &MatchTooltip, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

struct Tool {
    UINT flags;
    HWND parent;
    HWND control;
    WString text;
};

struct Opening {
    std::vector<Tool> tools;
    DWORD tipStyle = 0;
    int initial = 0, autoPop = 0, reshow = 0;
    COLORREF text = 0, background = 0;
    std::vector<std::pair<UINT, WString>> lastMenuItems;  // (id or separator flag, text)
    HICON bigIcon = nullptr, smallIcon = nullptr;
    std::vector<int> controlIds;  // the tools' controls, by id
    HWND dialog = nullptr;
};

// The real dialog; once its opening sequence has run, it records what it
// set up and closes.
class OpeningProbe : public CtavrikDlg {
public:
    Opening seen;

protected:
    BOOL OnInitDialog() override {
        const BOOL result = CtavrikDlg::OnInitDialog();
        seen.dialog = m_hWnd;
        if (HWND tip = FindTooltipOf(m_hWnd)) Read(tip);
        HMENU menu = GetSystemMenu(FALSE);
        const int count = GetMenuItemCount(menu);
        for (int i = std::max(0, count - 2); i < count; ++i) {
            MENUITEMINFOW item = {};
            wchar_t text[128] = {};
            item.cbSize = sizeof item;
            item.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING;
            item.dwTypeData = text;
            item.cch = 128;
            GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &item);
            seen.lastMenuItems.emplace_back((item.fType & MFT_SEPARATOR) ? UINT(MFT_SEPARATOR) : item.wID, FromWin(text));
        }
        seen.bigIcon = reinterpret_cast<HICON>(SendMessage(WM_GETICON, ICON_BIG));
        seen.smallIcon = reinterpret_cast<HICON>(SendMessage(WM_GETICON, ICON_SMALL));
        ::PostMessageW(m_hWnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        return result;
    }

private:
    void Read(HWND tip) {
        seen.tipStyle = static_cast<DWORD>(GetWindowLongW(tip, GWL_STYLE));
        seen.initial = static_cast<int>(::SendMessageW(tip, TTM_GETDELAYTIME, TTDT_INITIAL, 0));
        seen.autoPop = static_cast<int>(::SendMessageW(tip, TTM_GETDELAYTIME, TTDT_AUTOPOP, 0));
        seen.reshow = static_cast<int>(::SendMessageW(tip, TTM_GETDELAYTIME, TTDT_RESHOW, 0));
        seen.text = static_cast<COLORREF>(::SendMessageW(tip, TTM_GETTIPTEXTCOLOR, 0, 0));
        seen.background = static_cast<COLORREF>(::SendMessageW(tip, TTM_GETTIPBKCOLOR, 0, 0));
        const int count = static_cast<int>(::SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            TOOLINFOW info = {};
            info.cbSize = sizeof info;
            wchar_t text[256] = {};
            info.lpszText = text;
            if (!::SendMessageW(tip, TTM_ENUMTOOLSW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&info))) continue;
            const HWND control = reinterpret_cast<HWND>(info.uId);
            seen.tools.push_back({info.uFlags, info.hwnd, control, FromWin(text)});
            seen.controlIds.push_back(GetDlgCtrlID(control));
        }
    }
};

class MainDialog : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
        InitCommonControlsEx(&controls);
        OleInitialize(nullptr);
    }
    static void TearDownTestSuite() { OleUninitialize(); }
};

TEST_F(MainDialog, TheNineToolsInOrderWithTheirTexts) {
    OpeningProbe dialog;
    ASSERT_EQ(dialog.DoModal(), IDCANCEL);
    const Opening& seen = dialog.seen;
    const std::vector<int> ids = {IDC_CHECK_MULTI_TERMINAL, IDC_EDIT_MAB_DELAY,      IDC_CHECK_MAB,
                                  IDC_IPADDRESS_SERVER,     IDC_EDIT_INTERFACE,      IDC_CHECK_ESCAPE_VLAN,
                                  IDC_EDIT_ESCAPE_VLAN_ID,  IDC_CHECK_GUEST_VLAN,    IDC_EDIT_GUEST_VLAN_ID};
    const char* mab = "MAB认证延迟时间指的是802.1x认证失败后执行MAB认证的时间间隔";
    const char* escape = "当radius服务器故障时,划分到对应的逃生vlan";
    const char* guest = "配置认证前划分到Guest vlan";
    const std::vector<std::string> texts = {"hub接入场景需要开启允许多终端接入", mab, mab,
                                            "radius服务器一般为AC设备ip", "选择交换机开启802.1x认证的端口",
                                            escape, escape, guest, guest};
    ASSERT_EQ(seen.controlIds, ids);
    for (size_t i = 0; i < seen.tools.size(); ++i) {
        SCOPED_TRACE(ids[i]);
        const Tool& tool = seen.tools[i];
        EXPECT_EQ(Utf8(tool.text), texts[i]);
        EXPECT_TRUE(tool.flags & TTF_IDISHWND) << "identified by the control's handle";
        EXPECT_FALSE(tool.flags & TTF_SUBCLASS) << "not subclassed: the dialog relays the mouse itself";
        EXPECT_EQ(tool.parent, seen.dialog);
    }
}

TEST_F(MainDialog, TheTipsDelaysColoursAndStyle) {
    OpeningProbe dialog;
    ASSERT_EQ(dialog.DoModal(), IDCANCEL);
    const Opening& seen = dialog.seen;
    EXPECT_EQ(seen.initial, 2000);
    EXPECT_EQ(seen.autoPop, 20000);
    EXPECT_EQ(seen.reshow, 400);
    EXPECT_EQ(seen.text, RGB(0, 0, 255));
    EXPECT_EQ(seen.background, RGB(255, 255, 255));
    EXPECT_EQ(seen.tipStyle & (TTS_ALWAYSTIP | TTS_BALLOON), 0u);
    EXPECT_TRUE(seen.tipStyle & WS_POPUP);
}

TEST_F(MainDialog, TheSystemMenuEndsWithASeparatorAndTheAboutItem) {
    OpeningProbe dialog;
    ASSERT_EQ(dialog.DoModal(), IDCANCEL);
    const auto& items = dialog.seen.lastMenuItems;
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].first, UINT(MFT_SEPARATOR));
    EXPECT_EQ(items[1].first, UINT(IDM_ABOUTBOX));
    EXPECT_EQ(Utf8(items[1].second), "关于 Brenvik(&A)...");
}

TEST_F(MainDialog, TheIconIsTheWindowsBigAndSmallIcon) {
    OpeningProbe dialog;
    ASSERT_EQ(dialog.DoModal(), IDCANCEL);
    const HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME));
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(dialog.seen.bigIcon, icon);
    EXPECT_EQ(dialog.seen.smallIcon, icon);
}

}  // namespace
