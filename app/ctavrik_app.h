// The application object: prepares the common controls and the hosting of
// the web browser control, then runs the main dialog once.
#pragma once

#include "platform/winui/application.h"

class CtavrikApp : public winui::CWinAppEx {
public:
    CtavrikApp();
    ~CtavrikApp() override;
    const winui::MessageMap* GetMessageMap() const override;
    BOOL InitInstance() override;
};

extern CtavrikApp theApp;
