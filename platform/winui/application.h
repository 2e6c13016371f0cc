// The application object: one static instance per program.
//
// The program's wWinMain hands control to AfxWinMain, which derives the
// application name from the executable's file name and runs InitInstance.
// An InitInstance that returns false ends the program after ExitInstance,
// without a message loop of the application's own.
#pragma once

#include <windows.h>

#include "platform/text.h"
#include "platform/winui/controls.h"
#include "platform/winui/message_map.h"

namespace winui {

// The framework's help command.
inline constexpr UINT ID_HELP = 0xE146;  // 57670

class CWinAppEx : public CCmdTarget {
public:
    // resourceSmartUpdate has no effect in this framework: it keeps no
    // visual-manager resources that could need updating.
    explicit CWinAppEx(bool resourceSmartUpdate = false);
    ~CWinAppEx() override;
    CWinAppEx(const CWinAppEx&) = delete;
    CWinAppEx& operator=(const CWinAppEx&) = delete;

    virtual BOOL InitInstance();
    virtual int Run();
    virtual int ExitInstance();

    // Names the key under which per-user profile settings would be kept:
    // HKCU\Software\<key>\<application name>. Nothing is read or written.
    void SetRegistryKey(const WString& key);

    const WString& AppName() const { return appName_; }
    const WString& RegistryKey() const { return registryKey_; }
    const WString& ProfileName() const { return profileName_; }

    HINSTANCE m_hInstance = nullptr;
    int m_nCmdShow = SW_SHOWDEFAULT;
    CWnd* m_pMainWnd = nullptr;

protected:
    // The help command: the program has no help file, so nothing is shown.
    void OnHelp();

private:
    friend int AfxWinMain(HINSTANCE instance, int showCommand);
    bool resourceSmartUpdate_;
    WString appName_;
    WString registryKey_;
    WString profileName_;
};

// The one application object, or nullptr before it is constructed.
CWinAppEx* AfxGetApp();

// Lets dialogs host ActiveX controls such as the web browser: initialises
// OLE on this thread until the application exits.
void AfxEnableControlContainer();

// Runs the application object; the program's wWinMain returns its result.
int AfxWinMain(HINSTANCE instance, int showCommand);

// The full path of the running executable.
WString ModuleFileName();

}  // namespace winui
