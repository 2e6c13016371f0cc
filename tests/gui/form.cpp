#include "tests/gui/form.h"

#include <commctrl.h>

namespace gui {

HWND WaitForReadyDialog(const Program& program, Millis timeout) {
    HWND dialog = WaitFor([&] { return FindMainDialog(program.Pid()); }, timeout);
    if (!dialog) return nullptr;
    if (WaitForInputIdle(program.Process(), static_cast<DWORD>(timeout.count())) != 0) return nullptr;
    Send(dialog, WM_NULL);  // and it answers
    return dialog;
}

void FillValidForm(HWND dialog) {
    SetText(dialog, IDC_EDIT_INTERFACE, u"1");
    SetAddress(dialog, IDC_IPADDRESS_SERVER, MAKEIPADDRESS(10, 1, 2, 3));
    SetText(dialog, IDC_EDIT_SECRET_KEY, u"k");
}

}  // namespace gui
