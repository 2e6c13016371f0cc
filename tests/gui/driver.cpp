#include "tests/gui/driver.h"

#include <commctrl.h>

#include <sstream>
#include <thread>

namespace gui {

namespace {

// Long enough for a busy machine; a control that does not answer within it is hung.
constexpr UINT kSendTimeoutMs = 5000;

std::string ErrorText(const char* what) {
    const DWORD code = GetLastError();
    return std::string(what) + " failed, error " + std::to_string(code);
}

}  // namespace

std::string Utf8(const WString& text) { return WideToUtf8(text); }

WString WindowsPath(const std::string& path) {
    std::string p = path;
    if (!p.empty() && p[0] == '/') p = "Z:" + p;
    for (char& c : p)
        if (c == '/') c = '\\';
    return Utf8ToWide(p);
}

// ---- Program ---------------------------------------------------------------

bool Program::Start(const WString& exe, const WString& workDir, std::string* error, const WString& arguments) {
    Kill();
    job_ = Handle(CreateJobObjectW(nullptr, nullptr));
    if (!job_) { *error = ErrorText("CreateJobObjectW"); return false; }
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (!SetInformationJobObject(job_.get(), JobObjectExtendedLimitInformation, &limits, sizeof limits)) {
        *error = ErrorText("SetInformationJobObject");
        return false;
    }
    // CreateProcessW may write into the command line.
    std::wstring commandLine = L"\"" + std::wstring(WinStr(exe)) + L"\"";
    if (!arguments.empty()) commandLine += L" " + std::wstring(WinStr(arguments));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(WinStr(exe), commandLine.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED,
                        nullptr, WinStr(workDir), &startup, &info)) {
        *error = ErrorText("CreateProcessW") + " for " + Utf8(exe);
        return false;
    }
    process_ = Handle(info.hProcess);
    Handle thread(info.hThread);
    pid_ = info.dwProcessId;
    if (!AssignProcessToJobObject(job_.get(), process_.get())) {
        *error = ErrorText("AssignProcessToJobObject");
        Kill();
        return false;
    }
    ResumeThread(thread.get());
    return true;
}

bool Program::Running() const {
    return process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
}

bool Program::WaitForExit(Millis timeout) const {
    return !process_ || WaitForSingleObject(process_.get(), static_cast<DWORD>(timeout.count())) == WAIT_OBJECT_0;
}

void Program::Kill() {
    if (process_ && Running()) {
        TerminateProcess(process_.get(), 1);
        WaitForSingleObject(process_.get(), 5000);
    }
    process_.Reset();
    job_.Reset();  // kill-on-close: takes anything the program started with it
    pid_ = 0;
}

// ---- Waiting ---------------------------------------------------------------

bool WaitUntil(const std::function<bool()>& cond, Millis timeout, Millis interval) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (cond()) return true;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(interval);
    }
}

HWND WaitFor(const std::function<HWND()>& find, Millis timeout, Millis interval) {
    HWND found = nullptr;
    WaitUntil([&] { return (found = find()) != nullptr; }, timeout, interval);
    return found;
}

// ---- Finding windows -------------------------------------------------------

namespace {

struct WindowSearch {
    DWORD pid;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND w, LPARAM lp) {
    auto* search = reinterpret_cast<WindowSearch*>(lp);
    DWORD owner = 0;
    GetWindowThreadProcessId(w, &owner);
    if (owner == search->pid && IsWindowVisible(w)) search->found.push_back(w);
    return TRUE;
}

}  // namespace

std::vector<HWND> TopWindows(DWORD pid) {
    WindowSearch search{pid, {}};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

WString ClassOf(HWND w) {
    wchar_t name[256] = {};
    GetClassNameW(w, name, 256);
    return FromWin(name);
}

bool IsDialogClass(HWND w) { return ClassOf(w) == u"#32770"; }

HWND FindMainDialog(DWORD pid) {
    for (HWND w : TopWindows(pid))
        if (IsDialogClass(w) && !GetWindow(w, GW_OWNER)) return w;
    return nullptr;
}

HWND FindOwnedDialog(DWORD pid, HWND owner, const std::function<bool(HWND)>& accept) {
    for (HWND w : TopWindows(pid))
        if (IsDialogClass(w) && GetWindow(w, GW_OWNER) == owner && (!accept || accept(w))) return w;
    return nullptr;
}

HWND FindVisibleTooltip(DWORD pid) {
    for (HWND w : TopWindows(pid))
        if (ClassOf(w) == u"tooltips_class32") return w;
    return nullptr;
}

bool IsMessageBox(HWND w) {
    HWND text = GetDlgItem(w, 0xFFFF);
    return text && ClassOf(text) == u"Static" && !IsFileDialog(w);
}

bool IsFileDialog(HWND w) { return FileNameField(w) != nullptr; }

HWND FileNameField(HWND dialog) {
    // Classic dialog: a plain edit, id edt1.
    if (HWND edit = GetDlgItem(dialog, 0x480); edit && ClassOf(edit) == u"Edit") return edit;
    // Explorer style: a ComboBoxEx32, id cmb13, with the edit a few levels down.
    HWND combo = GetDlgItem(dialog, 0x47C);
    for (int depth = 0; combo && depth < 3; ++depth) {
        HWND edit = FindWindowExW(combo, nullptr, L"Edit", nullptr);
        if (edit) return edit;
        combo = FindWindowExW(combo, nullptr, nullptr, nullptr);
    }
    return nullptr;
}

// ---- Reading ---------------------------------------------------------------

LRESULT Send(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(w, msg, wp, lp, SMTO_ABORTIFHUNG, kSendTimeoutMs, &result)) return 0;
    return static_cast<LRESULT>(result);
}

WString Text(HWND w) {
    if (!w) return u"<no window>";
    const LRESULT length = Send(w, WM_GETTEXTLENGTH);
    std::wstring buffer(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT got = Send(w, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()));
    return FromWin(buffer.data(), static_cast<size_t>(got));
}

HWND Child(HWND dialog, int id) { return GetDlgItem(dialog, id); }

WString ItemText(HWND dialog, int id) { return Text(Child(dialog, id)); }

bool Checked(HWND dialog, int id) { return Send(Child(dialog, id), BM_GETCHECK) == BST_CHECKED; }

bool Enabled(HWND dialog, int id) { return IsWindowEnabled(Child(dialog, id)) != FALSE; }

std::vector<WString> ComboItems(HWND dialog, int id) {
    HWND combo = Child(dialog, id);
    std::vector<WString> items;
    const LRESULT count = Send(combo, CB_GETCOUNT);
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = Send(combo, CB_GETLBTEXTLEN, i);
        if (length < 0) break;
        std::wstring buffer(static_cast<size_t>(length) + 1, L'\0');
        const LRESULT got = Send(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(buffer.data()));
        items.push_back(FromWin(buffer.data(), got < 0 ? 0 : static_cast<size_t>(got)));
    }
    return items;
}

int ComboSelection(HWND dialog, int id) { return static_cast<int>(Send(Child(dialog, id), CB_GETCURSEL)); }

// ---- Acting ----------------------------------------------------------------

void SetText(HWND dialog, int id, const WString& text) {
    Send(Child(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(WinStr(text)));
}

void SetAddress(HWND dialog, int id, DWORD address) { Send(Child(dialog, id), IPM_SETADDRESS, 0, address); }

void ClearAddress(HWND dialog, int id) { Send(Child(dialog, id), IPM_CLEARADDRESS); }

void ClickCheckBox(HWND dialog, int id) { Send(Child(dialog, id), BM_CLICK); }

void PostClick(HWND button) { PostMessageW(button, BM_CLICK, 0, 0); }

void PostClick(HWND dialog, int id) { PostClick(Child(dialog, id)); }

void SelectComboItem(HWND dialog, int id, int index) {
    HWND combo = Child(dialog, id);
    Send(combo, CB_SETCURSEL, static_cast<WPARAM>(index));
    Send(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
}

void FocusControl(HWND dialog, int id) {
    Send(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Child(dialog, id)), TRUE);
}

void PostKey(HWND target, UINT vk) {
    const UINT scan = MapVirtualKeyW(vk, MAPVK_VK_TO_VSC);
    PostMessageW(target, WM_KEYDOWN, vk, 1 | (scan << 16));
    PostMessageW(target, WM_KEYUP, vk, 1 | (scan << 16) | (1u << 30) | (1u << 31));
}

bool ShowsIcon(HWND dialog) {
    // The icon sits in a static control of its own, which under wine is there
    // in every message box and holds no icon when the box has none.
    for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        if (ClassOf(c) == u"Static" && (GetWindowLongW(c, GWL_STYLE) & SS_TYPEMASK) == SS_ICON &&
            IsWindowVisible(c) && Send(c, STM_GETICON) != 0)
            return true;
    return false;
}

MessageBoxView ReadMessageBox(HWND box) {
    return {Text(box), Text(GetDlgItem(box, 0xFFFF)), ShowsIcon(box)};
}

bool Dismiss(HWND dialog, int buttonId, Millis timeout) {
    if (HWND button = GetDlgItem(dialog, buttonId))
        PostClick(button);
    else
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED), 0);
    return WaitUntil([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }, timeout);
}

std::string Describe(HWND w) {
    std::ostringstream out;
    auto line = [&](HWND h, int depth) {
        out << std::string(static_cast<size_t>(depth) * 2, ' ') << Utf8(ClassOf(h)) << " id=" << GetDlgCtrlID(h)
            << " text=\"" << Utf8(Text(h)) << "\"" << (IsWindowVisible(h) ? "" : " hidden")
            << (IsWindowEnabled(h) ? "" : " disabled") << "\n";
    };
    std::function<void(HWND, int)> walk = [&](HWND h, int depth) {
        line(h, depth);
        if (depth > 4) return;
        for (HWND c = GetWindow(h, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) walk(c, depth + 1);
    };
    if (w) walk(w, 0); else out << "<no window>\n";
    return out.str();
}

}  // namespace gui
