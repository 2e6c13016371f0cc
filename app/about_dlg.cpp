#include "app/about_dlg.h"

#include "app/resource.h"

// No parent given: the framework makes the main dialog its owner.
CAboutDlg::CAboutDlg() : CDialog(IDD_ABOUTBOX) {}

CAboutDlg::~CAboutDlg() = default;

// Empty: OK, Esc and the close box end it through the dialog's defaults.
const winui::MessageMap* CAboutDlg::GetMessageMap() const {
    static const winui::MessageMap map = {CDialog::GetMessageMap(), nullptr, 0};
    return &map;
}
