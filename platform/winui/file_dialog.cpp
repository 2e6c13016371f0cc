#include "platform/winui/file_dialog.h"

#include <commdlg.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <vector>

#include "platform/winui/application.h"
#include "platform/winui/forms.h"

namespace winui {
namespace {

const CLSID kClsidFileSaveDialog = {0xC0B4E2F3, 0xBA21, 0x4773, {0x8D, 0xBA, 0x33, 0x5E, 0xC9, 0x46, 0xEB, 0x8B}};
const CLSID kClsidFileOpenDialog = {0xDC1C5A9C, 0xE88A, 0x4DDE, {0xA5, 0xA1, 0x60, 0xF8, 0x2A, 0x20, 0xAE, 0xF7}};
const IID kIidFileDialog = {0x42F85136, 0xDB7E, 0x439C, {0x85, 0xF1, 0xE4, 0x07, 0x5D, 0x13, 0x5F, 0xC8}};
const IID kIidShellItem = {0x43826D1E, 0xE718, 0x42EE, {0xBC, 0x55, 0xA1, 0xE2, 0x61, 0xC3, 0x7B, 0xFE}};

WString CurrentDirectory() {
    const DWORD size = ::GetCurrentDirectoryW(0, nullptr);
    if (size == 0) return WString();
    std::vector<wchar_t> buffer(size);
    const DWORD got = ::GetCurrentDirectoryW(size, buffer.data());
    return got && got < size ? FromWin(buffer.data(), got) : WString();
}

// Puts the working directory back however the dialog left it.
class KeepWorkingDirectory {
public:
    KeepWorkingDirectory() : saved_(CurrentDirectory()) {}
    ~KeepWorkingDirectory() {
        if (!saved_.empty() && CurrentDirectory() != saved_) ::SetCurrentDirectoryW(WinStr(saved_));
    }
    KeepWorkingDirectory(const KeepWorkingDirectory&) = delete;
    KeepWorkingDirectory& operator=(const KeepWorkingDirectory&) = delete;

private:
    WString saved_;
};

template <class T>
struct ComPtr {
    T* p = nullptr;
    ~ComPtr() {
        if (p) p->Release();
    }
    void** Out() { return reinterpret_cast<void**>(&p); }
};

bool IsFolder(const WString& path) {
    const DWORD attributes = ::GetFileAttributesW(WinStr(path));
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

WString FullPathOf(const WString& path) {
    const DWORD size = ::GetFullPathNameW(WinStr(path), 0, nullptr, nullptr);
    if (size == 0) return WString();
    std::vector<wchar_t> buffer(size);
    const DWORD got = ::GetFullPathNameW(WinStr(path), size, buffer.data(), nullptr);
    return got && got < size ? FromWin(buffer.data(), got) : WString();
}

}  // namespace

CFileDialog::CFileDialog(BOOL openFileDialog, const WString& defaultExtension, const WString& fileName, DWORD flags,
                         const WString& filter, CWnd* parent)
    : open_(openFileDialog), defaultExtension_(defaultExtension), fileName_(fileName), flags_(flags),
      filter_(filter), parent_(parent) {}

HWND CFileDialog::Owner() const {
    if (parent_ && parent_->m_hWnd) return parent_->m_hWnd;
    CWinAppEx* app = AfxGetApp();
    return app && app->m_pMainWnd ? app->m_pMainWnd->m_hWnd : nullptr;
}

WString CFileDialog::FolderToShow() const {
    if (m_initialFolder.empty()) return WString();
    WString full = FullPathOf(m_initialFolder);
    if (full.empty()) return WString();
    if (IsFolder(full)) return full;
    const size_t slash = full.find_last_of(u"\\/");
    if (slash == WString::npos) return WString();
    full.erase(slash == 2 && full[1] == u':' ? slash + 1 : slash);
    return IsFolder(full) ? full : WString();
}

INT_PTR CFileDialog::DoModal() {
    KeepWorkingDirectory keep;
    path_.clear();
    const HWND owner = Owner();
    bool shown = false;
    const bool chosen = RunModern(owner, shown);
    if (shown) return chosen ? IDOK : IDCANCEL;
    return RunClassic(owner) ? IDOK : IDCANCEL;
}

bool CFileDialog::RunModern(HWND owner, bool& shown) {
    shown = false;
    ComPtr<IFileDialog> dialog;
    if (FAILED(::CoCreateInstance(open_ ? kClsidFileOpenDialog : kClsidFileSaveDialog, nullptr, CLSCTX_INPROC_SERVER,
                                  kIidFileDialog, dialog.Out())))
        return false;

    const auto types = ParseFilter(filter_);
    std::vector<COMDLG_FILTERSPEC> specs;
    for (const auto& type : types) specs.push_back({WinStr(type.first), WinStr(type.second)});
    if (!specs.empty()) {
        dialog.p->SetFileTypes(static_cast<UINT>(specs.size()), specs.data());
        dialog.p->SetFileTypeIndex(1);
    }
    dialog.p->SetDefaultExtension(WinStr(defaultExtension_));
    if (!fileName_.empty()) dialog.p->SetFileName(WinStr(fileName_));
    const WString folder = FolderToShow();
    if (!folder.empty()) {
        ComPtr<IShellItem> item;
        if (SUCCEEDED(::SHCreateItemFromParsingName(WinStr(folder), nullptr, kIidShellItem, item.Out())))
            dialog.p->SetFolder(item.p);
    }
    FILEOPENDIALOGOPTIONS options = 0;
    dialog.p->GetOptions(&options);
    options |= FOS_FORCEFILESYSTEM | FOS_NOCHANGEDIR;
    if (flags_ & OFN_OVERWRITEPROMPT) options |= FOS_OVERWRITEPROMPT;
    if (flags_ & OFN_FILEMUSTEXIST) options |= FOS_FILEMUSTEXIST;
    if (flags_ & OFN_PATHMUSTEXIST) options |= FOS_PATHMUSTEXIST;
    dialog.p->SetOptions(options);

    const HRESULT result = dialog.p->Show(owner);
    shown = true;
    if (FAILED(result)) {
        // A dialog that could not even be shown lets the classic one try.
        if (result != HRESULT_FROM_WIN32(ERROR_CANCELLED)) shown = false;
        return false;
    }
    ComPtr<IShellItem> item;
    if (FAILED(dialog.p->GetResult(&item.p)) || !item.p) return false;
    PWSTR name = nullptr;
    if (FAILED(item.p->GetDisplayName(SIGDN_FILESYSPATH, &name)) || !name) return false;
    path_ = FromWin(name);
    ::CoTaskMemFree(name);
    return !path_.empty();
}

bool CFileDialog::RunClassic(HWND owner) {
    const WString filter = FilterToApi(filter_);
    std::vector<wchar_t> file(32768, L'\0');
    fileName_.copy(reinterpret_cast<char16_t*>(file.data()), std::min(fileName_.size(), file.size() - 1));
    const WString folder = FolderToShow();

    OPENFILENAMEW ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filter_.empty() ? nullptr : WinStr(filter);
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.lpstrInitialDir = folder.empty() ? nullptr : WinStr(folder);
    ofn.lpstrDefExt = WinStr(defaultExtension_);
    ofn.Flags = flags_ | OFN_EXPLORER | OFN_ENABLESIZING | OFN_NOCHANGEDIR;
    const BOOL chosen = open_ ? ::GetOpenFileNameW(&ofn) : ::GetSaveFileNameW(&ofn);
    if (!chosen) return false;
    path_ = FromWin(file.data());
    return !path_.empty();
}

}  // namespace winui
