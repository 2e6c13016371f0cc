// The Save As (or Open) dialog, through GetSaveFileNameW/GetOpenFileNameW.
//
// Without hooks or templates, Windows from Vista on shows its modern item
// dialog through these calls, and older systems the classic one, so the
// program gets the modern dialog wherever the system has it. The item
// dialog's own interface is not used: wine's appends the file type's first
// extension to a typed name that already has another of the type's
// extensions ("x.ini" became "x.ini.txt") and then asks about replacing the
// wrong file.
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
    bool Run(HWND owner);

    bool open_;
    WString defaultExtension_;
    WString fileName_;
    DWORD flags_;
    WString filter_;
    CWnd* parent_;
    WString path_;
};

}  // namespace winui
