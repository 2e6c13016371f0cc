// The program's main dialog as the tests see it: its control ids and the few
// steps that many scenarios share.
#pragma once

#include "tests/gui/driver.h"

namespace gui {

enum ControlId : int {
    IDC_COMBO_VENDOR = 1000,
    IDC_COMBO_MODEL = 1002,
    IDC_EDIT_MAB_DELAY = 1004,
    IDC_EDIT_AUTH_PORT = 1006,
    IDC_EDIT_SECRET_KEY = 1007,
    IDC_EDIT_ACCT_PORT = 1008,
    IDC_BUTTON_GENERATE = 1011,
    IDC_IPADDRESS_SERVER = 1015,
    IDC_CHECK_MAB = 1016,
    IDC_EDIT_INTERFACE = 1017,
    IDC_CHECK_MULTI_TERMINAL = 1018,
    IDC_CHECK_ESCAPE_VLAN = 1021,
    IDC_EDIT_ESCAPE_VLAN_ID = 1022,
    IDC_CHECK_GUEST_VLAN = 1023,
    IDC_EDIT_GUEST_VLAN_ID = 1024,
};

// The system-menu command of the About item.
constexpr WPARAM kAboutCommand = 16;

// Waits for the program's main dialog and for its opening to finish: the
// window shows in the middle of the opening sequence, so being visible is not
// enough; the dialog is ready once its thread waits for input again.
HWND WaitForReadyDialog(const Program& program, Millis timeout = kWait);

// Fills every field that validation asks for: switch port 1, server
// 10.1.2.3, key "k", with the default ports and options.
void FillValidForm(HWND dialog);

}  // namespace gui
