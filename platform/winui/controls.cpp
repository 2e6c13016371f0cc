#include "platform/winui/controls.h"

#include <uxtheme.h>

#include <vector>

namespace winui {

WString CWnd::GetWindowText() const {
    const int length = ::GetWindowTextLengthW(m_hWnd);
    if (length <= 0) return WString();
    std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1);
    const int got = ::GetWindowTextW(m_hWnd, buffer.data(), length + 1);
    return FromWin(buffer.data(), got > 0 ? static_cast<size_t>(got) : 0);
}

void CWnd::CenterWindow() const {
    RECT window;
    if (!::GetWindowRect(m_hWnd, &window)) return;
    RECT area;
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    ::GetMonitorInfoW(::MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTONEAREST), &monitor);
    area = monitor.rcWork;
    const HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
    RECT around = area;
    if (owner && ::IsWindowVisible(owner) && !::IsIconic(owner)) ::GetWindowRect(owner, &around);
    const int width = window.right - window.left;
    const int height = window.bottom - window.top;
    int x = (around.left + around.right - width) / 2;
    int y = (around.top + around.bottom - height) / 2;
    // Keep the whole window, or at least its caption, on the work area.
    if (x + width > area.right) x = area.right - width;
    if (x < area.left) x = area.left;
    if (y + height > area.bottom) y = area.bottom - height;
    if (y < area.top) y = area.top;
    ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL CToolTipCtrl::Create(const CWnd* parent, DWORD style) {
    parent_ = parent->m_hWnd;
    m_hWnd = ::CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | style, CW_USEDEFAULT, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, parent_, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    return m_hWnd != nullptr;
}

BOOL CToolTipCtrl::AddTool(const CWnd* tool, const WString& text) {
    if (!m_hWnd) return FALSE;
    TOOLINFOW info = {};
    info.cbSize = sizeof info;
    info.uFlags = TTF_IDISHWND;
    info.hwnd = parent_;
    info.uId = reinterpret_cast<UINT_PTR>(tool->m_hWnd);
    info.lpszText = const_cast<wchar_t*>(WinStr(text));
    return static_cast<BOOL>(SendMessage(TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info)));
}

void CToolTipCtrl::DropTheme() const {
    if (m_hWnd) ::SetWindowTheme(m_hWnd, L"", L"");
}

void CToolTipCtrl::SetTipTextColor(COLORREF colour) const {
    DropTheme();
    SendMessage(TTM_SETTIPTEXTCOLOR, colour);
}

void CToolTipCtrl::SetTipBkColor(COLORREF colour) const {
    DropTheme();
    SendMessage(TTM_SETTIPBKCOLOR, colour);
}

}  // namespace winui
