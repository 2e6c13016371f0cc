// The Save As (or Open) dialog: the modern file dialog where the system has
// one, the classic one otherwise.
//
// Whichever is shown, the process's working directory is the same after it
// as before: every path of the program is relative to it.
#pragma once

#include <windows.h>

#include "platform/text.h"
#include "platform/winui/controls.h"

namespace winui {

class CFileDialog {
public:
    // filter: "label|patterns||"; flags: OFN_* options of the classic dialog.
    // defaultExtension is given even when empty. initialFolder may name a
    // folder or a file; for a file, its folder is shown.
    CFileDialog(BOOL openFileDialog, const WString& defaultExtension, const WString& fileName, DWORD flags,
                const WString& filter, CWnd* parent = nullptr);

    WString m_initialFolder;

    // IDOK when the user chose a file, IDCANCEL otherwise (also when the
    // dialog could not be shown).
    INT_PTR DoModal();
    // The full path chosen.
    const WString& GetPathName() const { return path_; }

private:
    HWND Owner() const;
    WString FolderToShow() const;
    bool RunModern(HWND owner, bool& shown);
    bool RunClassic(HWND owner);

    bool open_;
    WString defaultExtension_;
    WString fileName_;
    DWORD flags_;
    WString filter_;
    CWnd* parent_;
    WString path_;
};

}  // namespace winui
