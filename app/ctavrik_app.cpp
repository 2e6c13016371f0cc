#include "app/ctavrik_app.h"

#include <windows.h>
#include <commctrl.h>

#include "ui/ctavrik_dlg.h"

CtavrikApp theApp;

// The program's entry point: the framework runs the one application object.
int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    return winui::AfxWinMain(instance, showCommand);
}

CtavrikApp::CtavrikApp() : CWinAppEx(true) {}

CtavrikApp::~CtavrikApp() = default;

const winui::MessageMap* CtavrikApp::GetMessageMap() const {
    static const winui::MessageMapEntry entries[] = {
        winui::OnCommandEntry<&CtavrikApp::OnHelp>(0, winui::ID_HELP),
    };
    static const winui::MessageMap map = winui::MakeMessageMap(nullptr, entries);
    return &map;
}

BOOL CtavrikApp::InitInstance() {
    INITCOMMONCONTROLSEX controls;
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_WIN95_CLASSES;
    ::InitCommonControlsEx(&controls);

    CWinAppEx::InitInstance();
    winui::AfxEnableControlContainer();
    SetRegistryKey(u"应用程序向导生成的本地应用程序");

    CtavrikDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;

    // No message loop of the application's own: the program ends here.
    return FALSE;
}
