// Dialogs from templates in the resources, with message maps.
//
// The dialog object is bound to its window through the window's user data
// (DWLP_USER), set at WM_INITDIALOG; every later message finds it there and
// goes through the class's message map. DoModal runs a loop of its own so
// that PreTranslateMessage sees each message for the dialog and its
// controls before the dialog manager's keyboard handling does.
#pragma once

#include <windows.h>

#include <exception>
#include <type_traits>
#include <vector>

#include "platform/text.h"
#include "platform/winui/controls.h"
#include "platform/winui/message_map.h"

namespace winui {

class CDialog;

// Which direction data exchange runs in. Binding controls moves no values
// in either direction.
struct CDataExchange {
    CDialog* m_pDlgWnd;
    BOOL m_bSaveAndValidate;
};

// Attaches the wrapper to the dialog's control with that id.
void DDX_Control(CDataExchange* dx, int id, CWnd& control);

// The class that declares the handler F.
template <class> struct HandlerClass;
template <class T, class R, class... A> struct HandlerClass<R (T::*)(A...)> { using type = T; };

// Calls the handler F with the message's parameters in the form its
// signature asks for.
template <auto F>
intptr_t MessageThunk(CCmdTarget& target, uintptr_t wParam, intptr_t lParam) {
    using T = typename HandlerClass<decltype(F)>::type;
    using Signature = decltype(F);
    T& self = static_cast<T&>(target);
    const auto w = static_cast<WPARAM>(wParam);
    const auto l = static_cast<LPARAM>(lParam);
    if constexpr (std::is_same_v<Signature, void (T::*)()>) {
        (self.*F)();
        return 0;
    } else if constexpr (std::is_same_v<Signature, void (T::*)(UINT, LPARAM)>) {  // WM_SYSCOMMAND
        (self.*F)(static_cast<UINT>(w), l);
        return 0;
    } else if constexpr (std::is_same_v<Signature, void (T::*)(UINT, int, int)>) {  // WM_SIZE
        (self.*F)(static_cast<UINT>(w), static_cast<short>(LOWORD(l)), static_cast<short>(HIWORD(l)));
        return 0;
    } else if constexpr (std::is_same_v<Signature, void (T::*)(UINT_PTR)>) {  // WM_TIMER
        (self.*F)(static_cast<UINT_PTR>(w));
        return 0;
    } else if constexpr (std::is_same_v<Signature, LRESULT (T::*)(WPARAM, LPARAM)>) {
        return static_cast<intptr_t>((self.*F)(w, l));
    } else {
        static_assert(sizeof(Signature) == 0, "no thunk for this handler signature");
    }
}

// A control's notification (WM_COMMAND with code and id) to a handler.
template <auto F>
constexpr MessageMapEntry OnCommandEntry(uint32_t code, uint32_t id) {
    return {kWmCommand, code, id, &MessageThunk<F>};
}
// A window message to a handler.
template <auto F>
constexpr MessageMapEntry OnMessageEntry(uint32_t message) {
    return {message, 0, 0, &MessageThunk<F>};
}

template <size_t N>
constexpr MessageMap MakeMessageMap(const MessageMap* base, const MessageMapEntry (&entries)[N]) {
    return {base, entries, N};
}

// Reports an exception that escaped the program's code: exhausted memory in
// the system-modal exclamation box, anything else in a stop box. owner may
// be nullptr.
void ReportUnhandled(HWND owner, std::exception_ptr error);

class CDialog : public CWnd, public CCmdTarget {
public:
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);
    ~CDialog() override;
    CDialog(const CDialog&) = delete;
    CDialog& operator=(const CDialog&) = delete;

    // Creates the window, runs it until EndDialog and destroys it. Returns
    // the value given to EndDialog, or -1 when the window cannot be created.
    virtual INT_PTR DoModal();
    void EndDialog(int result);
    // Runs the data exchange; true when it completed.
    BOOL UpdateData(BOOL saveAndValidate = TRUE);

    // A message box owned by the dialog, the application's name as caption.
    int MessageBox(const WString& text, UINT type = MB_OK) const;

    const MessageMap* GetMessageMap() const override;

protected:
    virtual BOOL OnInitDialog();
    virtual void DoDataExchange(CDataExchange* dx);
    virtual BOOL PreTranslateMessage(MSG* message);
    virtual void OnOK();
    virtual void OnCancel();
    // The default processing of a system command.
    void OnSysCommand(UINT id, LPARAM lParam);
    // Called by a handler: the message goes on to the default processing
    // after the handler returns.
    void Default() { defaultRequested_ = true; }
    // An exception escaped a handler: the one place where it is reported.
    // This default reports exhausted memory and any other failure in boxes.
    virtual void ReportException(std::exception_ptr error);

private:
    friend void DDX_Control(CDataExchange* dx, int id, CWnd& control);
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    bool Dispatch(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    HWND OwnerWindow() const;

    UINT templateId_;
    CWnd* parent_;
    std::vector<CWnd*> bound_;
    bool ended_ = false;
    bool defaultRequested_ = false;
    INT_PTR result_ = -1;
};

}  // namespace winui
