// Thin wrappers of windows and common controls: a handle and one-line
// message calls. A wrapper owns nothing: the dialog attaches it to its
// control's window and detaches it when that window goes away.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "platform/text.h"

namespace winui {

class CWnd {
public:
    HWND m_hWnd = nullptr;

    void Attach(HWND hwnd) { m_hWnd = hwnd; }
    HWND Detach() { HWND h = m_hWnd; m_hWnd = nullptr; return h; }

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::SendMessageW(m_hWnd, message, wParam, lParam);
    }
    WString GetWindowText() const;
    void SetWindowText(const WString& text) const { ::SetWindowTextW(m_hWnd, WinStr(text)); }
    BOOL EnableWindow(BOOL enable) const { return ::EnableWindow(m_hWnd, enable); }
    BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
    BOOL ShowWindow(int show) const { return ::ShowWindow(m_hWnd, show); }
    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
    HMENU GetSystemMenu(BOOL revert) const { return ::GetSystemMenu(m_hWnd, revert); }
    HICON SetIcon(HICON icon, BOOL big) const {
        return reinterpret_cast<HICON>(SendMessage(WM_SETICON, big ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(icon)));
    }
    // Centres the window on its owner, or on the work area of its monitor
    // when it has none.
    void CenterWindow() const;
};

class CComboBox : public CWnd {
public:
    int ResetContent() const { return static_cast<int>(SendMessage(CB_RESETCONTENT)); }
    int InsertString(int index, const WString& text) const {
        return static_cast<int>(SendMessage(CB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(WinStr(text))));
    }
    int SetCurSel(int index) const { return static_cast<int>(SendMessage(CB_SETCURSEL, static_cast<WPARAM>(index))); }
    int GetCurSel() const { return static_cast<int>(SendMessage(CB_GETCURSEL)); }
    int GetCount() const { return static_cast<int>(SendMessage(CB_GETCOUNT)); }
};

class CEdit : public CWnd {};

class CButton : public CWnd {
public:
    int GetCheck() const { return static_cast<int>(SendMessage(BM_GETCHECK)); }
    void SetCheck(int state) const { SendMessage(BM_SETCHECK, static_cast<WPARAM>(state)); }
};

class CIPAddressCtrl : public CWnd {
public:
    // The four fields, left to right, from the address the control packs with
    // the first field in the high byte. Returns how many fields are filled.
    int GetAddress(BYTE& field0, BYTE& field1, BYTE& field2, BYTE& field3) const {
        DWORD address = 0;
        const int filled = static_cast<int>(SendMessage(IPM_GETADDRESS, 0, reinterpret_cast<LPARAM>(&address)));
        field0 = FIRST_IPADDRESS(address);
        field1 = SECOND_IPADDRESS(address);
        field2 = THIRD_IPADDRESS(address);
        field3 = FOURTH_IPADDRESS(address);
        return filled;
    }
};

class CToolTipCtrl : public CWnd {
public:
    // A pop-up tooltip window owned by parent, with the given tooltip styles.
    // The owner's destruction destroys it.
    BOOL Create(const CWnd* parent, DWORD style = 0);
    // The tool is the window itself, identified by its handle, without
    // subclassing it: its mouse messages reach the tip only through RelayEvent.
    BOOL AddTool(const CWnd* tool, const WString& text);
    void SetDelayTime(DWORD which, int milliseconds) const {
        SendMessage(TTM_SETDELAYTIME, which, MAKELPARAM(milliseconds, 0));
    }
    // Visual styles draw a tip in the theme's colours and ignore these, so a
    // tip given colours of its own is drawn without the theme.
    void SetTipTextColor(COLORREF colour) const;
    void SetTipBkColor(COLORREF colour) const;
    void Activate(BOOL active) const { SendMessage(TTM_ACTIVATE, active); }
    void RelayEvent(MSG* message) const {
        if (m_hWnd) SendMessage(TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(message));
    }

private:
    void DropTheme() const;
    HWND parent_ = nullptr;
};

}  // namespace winui
