// A driver for the program's windows, running as a Win32 program in the same
// wine prefix as the program. It starts the program, finds its windows by
// polling with a deadline, works the controls through the messages that a
// user's clicks and keys produce, and reads back what the windows show.
//
// Rules it keeps, learnt the hard way under wine:
// - a click whose handler opens a modal box is posted, never sent (a sent
//   message would block the driver until the box closes);
// - every read goes through SendMessageTimeoutW, so a hung program fails the
//   test instead of hanging it;
// - every process it starts sits in a kill-on-close job and is ended by its
//   handle when the Program object goes.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "platform/text.h"

namespace gui {

using Millis = std::chrono::milliseconds;
// Long enough for a cold wine start on a busy machine; a window that takes
// longer than this is a fault.
constexpr Millis kWait{15000};

// A kernel handle closed on every path.
class Handle {
public:
    Handle() = default;
    explicit Handle(HANDLE h) : h_(h == INVALID_HANDLE_VALUE ? nullptr : h) {}
    Handle(Handle&& o) noexcept : h_(o.h_) { o.h_ = nullptr; }
    Handle& operator=(Handle&& o) noexcept {
        if (this != &o) { Reset(); h_ = o.h_; o.h_ = nullptr; }
        return *this;
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle() { Reset(); }
    HANDLE get() const { return h_; }
    explicit operator bool() const { return h_ != nullptr; }
    void Reset() { if (h_) CloseHandle(h_); h_ = nullptr; }

private:
    HANDLE h_ = nullptr;
};

// One started program. It runs in a job object that kills it when the job
// handle closes, so a failing or crashing test never leaves a window behind
// for the next one.
class Program {
public:
    // Starts exe (a Windows path) with workDir as its working directory and
    // the given command-line arguments. Returns false and fills *error when it
    // cannot be started.
    bool Start(const WString& exe, const WString& workDir, std::string* error, const WString& arguments = {});
    ~Program() { Kill(); }

    DWORD Pid() const { return pid_; }
    HANDLE Process() const { return process_.get(); }
    bool Running() const;
    // True when the process ended within the time.
    bool WaitForExit(Millis timeout) const;
    // Ends the process by its handle (if still running) and waits for it.
    void Kill();

private:
    Handle job_, process_;
    DWORD pid_ = 0;
};

// Polls every `interval` until pred yields a window or the time is up.
HWND WaitFor(const std::function<HWND()>& find, Millis timeout = kWait, Millis interval = Millis(20));
// Polls until cond holds; false when the time ran out.
bool WaitUntil(const std::function<bool()>& cond, Millis timeout = kWait, Millis interval = Millis(20));

// Visible top-level windows of a process, in z-order.
std::vector<HWND> TopWindows(DWORD pid);
WString ClassOf(HWND w);
bool IsDialogClass(HWND w);  // "#32770"

// The program's unowned visible dialog (its main window); nullptr if none.
HWND FindMainDialog(DWORD pid);
// A visible dialog of the process owned by `owner`, matching `accept`.
HWND FindOwnedDialog(DWORD pid, HWND owner, const std::function<bool(HWND)>& accept = nullptr);
// A visible tooltip window (tooltips_class32) of the process.
HWND FindVisibleTooltip(DWORD pid);

// Message boxes carry their text in a static child with id 0xFFFF; file
// dialogs carry a file-name control. The two kinds are told apart by these.
bool IsMessageBox(HWND w);
bool IsFileDialog(HWND w);

// Reading, bounded in time. Text() answers WM_GETTEXT, which crosses processes
// (an IP address control answers it with its dotted text).
WString Text(HWND w);
LRESULT Send(HWND w, UINT msg, WPARAM wp = 0, LPARAM lp = 0);
HWND Child(HWND dialog, int id);
WString ItemText(HWND dialog, int id);
bool Checked(HWND dialog, int id);
bool Enabled(HWND dialog, int id);
std::vector<WString> ComboItems(HWND dialog, int id);
int ComboSelection(HWND dialog, int id);

// Acting as a user would.
void SetText(HWND dialog, int id, const WString& text);
void SetAddress(HWND dialog, int id, DWORD address);  // first field = high byte
void ClearAddress(HWND dialog, int id);
// A check box click: its handler opens nothing, so it is sent and done when
// this returns.
void ClickCheckBox(HWND dialog, int id);
// A button click that may open a modal window: posted.
void PostClick(HWND button);
void PostClick(HWND dialog, int id);
// What choosing an entry with the mouse produces: the selection, then the
// notification to the dialog.
void SelectComboItem(HWND dialog, int id, int index);
// Moves the keyboard focus to a control the way the dialog manager does.
void FocusControl(HWND dialog, int id);
// A key pressed while `target` has the focus (down and up, posted).
void PostKey(HWND target, UINT vk);

// What a message box shows.
struct MessageBoxView {
    WString caption;
    WString text;
    // Whether an icon shows; which one cannot be told from here: icon
    // handles of another process answer neither comparison nor GetIconInfo
    // under wine.
    bool hasIcon = false;
};
MessageBoxView ReadMessageBox(HWND box);
// Whether a dialog shows an icon control that holds an icon.
bool ShowsIcon(HWND dialog);
// Presses a button of a dialog (IDOK, IDYES, ...) and waits for it to close.
bool Dismiss(HWND dialog, int buttonId = IDOK, Millis timeout = kWait);

// The file-name field of a file dialog, whichever style it is.
HWND FileNameField(HWND fileDialog);

// Describes a window and its children (class, id, text, state), for failure
// messages and for finding out what a platform dialog is made of.
std::string Describe(HWND w);

// Windows path of a Unix path when running under wine (drive Z: is "/").
WString WindowsPath(const std::string& path);
std::string Utf8(const WString& text);

}  // namespace gui
