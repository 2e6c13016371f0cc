#include "platform/winui/dialog.h"

#include <new>

#include "platform/winui/application.h"
// The program shows each of its texts from one place, the generation's list.
#include "generate/messages.h"

namespace winui {
namespace {

const wchar_t* AppCaption() {
    CWinAppEx* app = AfxGetApp();
    return app ? WinStr(app->AppName()) : L"";
}

// Messages whose result a dialog procedure returns itself instead of
// through DWLP_MSGRESULT.
bool ReturnsResultDirectly(UINT message) {
    switch (message) {
    case WM_INITDIALOG:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
        return true;
    default:
        return false;
    }
}

}  // namespace

void ReportUnhandled(HWND owner, std::exception_ptr error) {
    try {
        std::rethrow_exception(error);
    } catch (const std::bad_alloc&) {
        ::MessageBoxW(owner, reinterpret_cast<const wchar_t*>(msg::kOutOfMemory), AppCaption(), MB_OK | MB_ICONEXCLAMATION | MB_SYSTEMMODAL);
    } catch (...) {
        ::MessageBoxW(owner, reinterpret_cast<const wchar_t*>(msg::kUnexpectedError), AppCaption(), MB_OK | MB_ICONSTOP);
    }
}

void DDX_Control(CDataExchange* dx, int id, CWnd& control) {
    if (control.m_hWnd) return;
    control.Attach(dx->m_pDlgWnd->GetDlgItem(id));
    dx->m_pDlgWnd->bound_.push_back(&control);
}

CDialog::CDialog(UINT templateId, CWnd* parent) : templateId_(templateId), parent_(parent) {}

CDialog::~CDialog() = default;

const MessageMap* CDialog::GetMessageMap() const {
    static const MessageMapEntry entries[] = {
        OnCommandEntry<&CDialog::OnOK>(BN_CLICKED, IDOK),
        OnCommandEntry<&CDialog::OnCancel>(BN_CLICKED, IDCANCEL),
    };
    static const MessageMap map = MakeMessageMap(nullptr, entries);
    return &map;
}

HWND CDialog::OwnerWindow() const {
    if (parent_ && parent_->m_hWnd) return parent_->m_hWnd;
    CWinAppEx* app = AfxGetApp();
    if (app && app->m_pMainWnd && app->m_pMainWnd != this) return app->m_pMainWnd->m_hWnd;
    return nullptr;
}

INT_PTR CDialog::DoModal() {
    const HWND owner = OwnerWindow();
    const bool disableOwner = owner && ::IsWindowEnabled(owner);
    if (disableOwner) ::EnableWindow(owner, FALSE);
    ended_ = false;
    result_ = -1;
    CWinAppEx* app = AfxGetApp();
    const HINSTANCE instance = app && app->m_hInstance ? app->m_hInstance : ::GetModuleHandleW(nullptr);
    const HWND window = ::CreateDialogParamW(instance, MAKEINTRESOURCEW(templateId_), owner, &CDialog::DialogProc,
                                             reinterpret_cast<LPARAM>(this));
    if (!window) {
        if (disableOwner) ::EnableWindow(owner, TRUE);
        return -1;
    }
    // A template placed at 0, 0 would open on its owner's corner: centre it
    // on the owner instead, before it shows.
    if (owner && !ended_) CenterWindow();
    if (!ended_ && !::IsWindowVisible(window)) ::ShowWindow(window, SW_SHOWNORMAL);

    MSG message;
    while (!ended_) {
        const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
        if (got == -1) break;
        if (got == 0) {
            // WM_QUIT belongs to the outermost loop: leave it there.
            ::PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        const bool forDialog = message.hwnd == window || ::IsChild(window, message.hwnd);
        bool translated = false;
        if (forDialog) {
            try {
                translated = PreTranslateMessage(&message);
            } catch (...) {
                ReportException(std::current_exception());
                translated = true;
            }
        }
        if (!translated) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }

    // The owner is enabled before the dialog goes, so that it, and not some
    // other program, becomes the active window again.
    if (disableOwner) ::EnableWindow(owner, TRUE);
    if (owner && ::GetActiveWindow() == window) ::SetActiveWindow(owner);
    ::DestroyWindow(window);
    return result_;
}

void CDialog::EndDialog(int result) {
    result_ = result;
    ended_ = true;
    // Wake the loop in case this ran outside its dispatch.
    if (m_hWnd) ::PostMessageW(m_hWnd, WM_NULL, 0, 0);
}

BOOL CDialog::UpdateData(BOOL saveAndValidate) {
    CDataExchange dx{this, saveAndValidate};
    DoDataExchange(&dx);
    return TRUE;
}

int CDialog::MessageBox(const WString& text, UINT type) const {
    return ::MessageBoxW(m_hWnd, WinStr(text), AppCaption(), type);
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::DoDataExchange(CDataExchange*) {}

BOOL CDialog::PreTranslateMessage(MSG* message) { return ::IsDialogMessageW(m_hWnd, message); }

void CDialog::OnOK() {
    if (!UpdateData(TRUE)) return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

void CDialog::OnSysCommand(UINT, LPARAM) { Default(); }

void CDialog::ReportException(std::exception_ptr error) { ReportUnhandled(m_hWnd, error); }

bool CDialog::Dispatch(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    const MessageMapEntry* entry = nullptr;
    CCmdTarget* target = this;
    if (message != WM_INITDIALOG) {
        entry = FindMessageEntry(GetMessageMap(), message, wParam);
        // Commands the dialog does not handle go on to the application.
        if (!entry && message == WM_COMMAND) {
            if (CWinAppEx* app = AfxGetApp()) {
                entry = FindMessageEntry(app->GetMessageMap(), message, wParam);
                target = app;
            }
        }
        if (!entry) return false;
    }
    const bool outerDefault = defaultRequested_;
    defaultRequested_ = false;
    try {
        result = entry ? static_cast<LRESULT>(entry->thunk(*target, wParam, lParam)) : OnInitDialog();
    } catch (...) {
        // Nothing may unwind through the system's code that called us.
        result = message == WM_INITDIALOG ? TRUE : 0;
        ReportException(std::current_exception());
    }
    const bool useDefault = defaultRequested_;
    defaultRequested_ = outerDefault;
    return !useDefault;
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CDialog* self = nullptr;
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<CDialog*>(lParam);
        ::SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
        self->m_hWnd = hwnd;
    } else {
        self = reinterpret_cast<CDialog*>(::GetWindowLongPtrW(hwnd, DWLP_USER));
    }
    if (!self) return FALSE;

    LRESULT result = 0;
    const bool handled = self->Dispatch(message, wParam, lParam, result);

    if (message == WM_NCDESTROY) {
        for (CWnd* control : self->bound_) control->Detach();
        self->bound_.clear();
        self->m_hWnd = nullptr;
        ::SetWindowLongPtrW(hwnd, DWLP_USER, 0);
    }
    if (!handled) return FALSE;
    if (ReturnsResultDirectly(message)) return static_cast<INT_PTR>(result);
    ::SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, result);
    return TRUE;
}

}  // namespace winui
