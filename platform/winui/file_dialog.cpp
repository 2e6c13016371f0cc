#include "platform/winui/file_dialog.h"

#include <commdlg.h>

#include <algorithm>
#include <vector>

#include "platform/winui/application.h"
#include "platform/winui/forms.h"

namespace winui {
namespace {

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
    return Run(Owner()) ? IDOK : IDCANCEL;
}

bool CFileDialog::Run(HWND owner) {
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
