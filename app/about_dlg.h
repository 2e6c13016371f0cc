// The About box, opened from the main dialog's system menu.
#pragma once

#include "platform/winui/dialog.h"

class CAboutDlg : public winui::CDialog {
public:
    CAboutDlg();
    ~CAboutDlg() override;
    const winui::MessageMap* GetMessageMap() const override;
};
