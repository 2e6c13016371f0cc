#include "platform/winui/application.h"

#include <objbase.h>
#include <ole2.h>

#include <new>
#include <vector>

#include "platform/winui/dialog.h"
#include "platform/winui/forms.h"

namespace winui {
namespace {

CWinAppEx* theApp = nullptr;
bool oleStarted = false;

}  // namespace

CWinAppEx::CWinAppEx(bool resourceSmartUpdate) : resourceSmartUpdate_(resourceSmartUpdate) {
    theApp = this;
}

CWinAppEx::~CWinAppEx() {
    if (theApp == this) theApp = nullptr;
}

BOOL CWinAppEx::InitInstance() { return TRUE; }

int CWinAppEx::Run() {
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return ExitInstance();
}

int CWinAppEx::ExitInstance() {
    if (oleStarted) {
        ::OleUninitialize();
        oleStarted = false;
    }
    return 0;
}

void CWinAppEx::SetRegistryKey(const WString& key) {
    registryKey_ = key;
    profileName_ = appName_;
}

void CWinAppEx::OnHelp() {}

CWinAppEx* AfxGetApp() { return theApp; }

void AfxEnableControlContainer() {
    if (!oleStarted) oleStarted = SUCCEEDED(::OleInitialize(nullptr));
}

WString ModuleFileName() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD got = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (got == 0) return WString();
        if (got < buffer.size()) return FromWin(buffer.data(), got);
        buffer.resize(buffer.size() * 2);
    }
}

int AfxWinMain(HINSTANCE instance, int showCommand) {
    CWinAppEx* app = AfxGetApp();
    if (!app) return -1;
    app->m_hInstance = instance;
    app->m_nCmdShow = showCommand;
    // No string resource names the application, so its file name does.
    app->appName_ = AppNameFromModulePath(ModuleFileName());
    try {
        if (!app->InitInstance()) return app->ExitInstance();
        return app->Run();
    } catch (...) {
        // Start-up runs outside any window procedure; what escapes it is
        // reported like a handler's failure, then the program ends.
        ReportUnhandled(nullptr, std::current_exception());
        return -1;
    }
}

}  // namespace winui
