// gui_drive: the window driver as a command-line tool, for what is not a test.
//
//   gui_drive dump EXE [WORKDIR [ARGS]]
//                                   start EXE, print its windows and the controls in them
//   gui_drive show EXE WORKDIR [about]
//                                   start EXE, open the About box if asked, print "ready",
//                                   and keep it open until a line (or end of file) on stdin
//   gui_drive bench EXE WORKDIR RUNS
//                                   time start -> dialog shown and press -> Save As shown,
//                                   print each run and the medians
//
// tools/screenshots.sh uses `show`; the figures of `bench` are measurements,
// never pass/fail.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "tests/gui/driver.h"
#include "tests/gui/form.h"

using namespace gui;
using Clock = std::chrono::steady_clock;

namespace {

int Fail(const std::string& what) {
    std::fprintf(stderr, "gui_drive: %s\n", what.c_str());
    return 1;
}

WString Arg(const char* text) { return WindowsPath(text); }

int Dump(const WString& exe, const WString& workDir, const WString& arguments) {
    Program program;
    std::string error;
    if (!program.Start(exe, workDir, &error, arguments)) return Fail(error);
    // A dialog if one comes, otherwise whatever window shows first.
    HWND w = WaitFor([&]() -> HWND {
        for (HWND top : TopWindows(program.Pid()))
            if (IsDialogClass(top)) return top;
        return nullptr;
    });
    if (!w) {
        auto windows = TopWindows(program.Pid());
        if (windows.empty()) return Fail("no window within the time");
        w = windows.front();
    }
    WaitForInputIdle(program.Process(), 5000);
    for (HWND top : TopWindows(program.Pid())) std::cout << Describe(top) << "\n";
    return 0;
}

int Show(const WString& exe, const WString& workDir, bool about) {
    Program program;
    std::string error;
    if (!program.Start(exe, workDir, &error)) return Fail(error);
    HWND dialog = WaitForReadyDialog(program);
    if (!dialog) return Fail("the main dialog did not show");
    if (about) {
        PostMessageW(dialog, WM_SYSCOMMAND, kAboutCommand, 0);
        HWND box = WaitFor([&] { return FindOwnedDialog(program.Pid(), dialog); });
        if (!box) return Fail("the About box did not show");
    }
    std::cout << "ready" << std::endl;
    std::string line;
    std::getline(std::cin, line);
    return 0;  // the Program ends the process
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double MillisSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

int Bench(const WString& exe, const WString& workDir, int runs) {
    std::vector<double> shown, saveAs;
    for (int run = 0; run < runs; ++run) {
        Program program;
        std::string error;
        const auto start = Clock::now();
        if (!program.Start(exe, workDir, &error)) return Fail(error);
        // A finer poll than the tests use: this is a measurement.
        HWND dialog = WaitFor([&] { return FindMainDialog(program.Pid()); }, kWait, Millis(2));
        if (!dialog) return Fail("the main dialog did not show");
        shown.push_back(MillisSince(start));
        if (!WaitForReadyDialog(program)) return Fail("the main dialog did not get ready");
        FillValidForm(dialog);
        const auto press = Clock::now();
        PostClick(dialog, IDC_BUTTON_GENERATE);
        HWND fileDialog = WaitFor([&] { return FindOwnedDialog(program.Pid(), dialog, IsFileDialog); }, kWait, Millis(2));
        if (!fileDialog) return Fail("no Save As dialog after the press");
        saveAs.push_back(MillisSince(press));
        std::printf("run %d: dialog shown after %.0f ms, Save As after %.0f ms\n", run + 1, shown.back(), saveAs.back());
        Dismiss(fileDialog, IDCANCEL);
        PostKey(dialog, VK_ESCAPE);
        program.WaitForExit(Millis(5000));
    }
    std::printf("median of %d runs: start -> dialog shown %.0f ms; press -> Save As shown %.0f ms\n", runs,
                Median(shown), Median(saveAs));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "dump" && argc >= 3)
        return Dump(Arg(argv[2]), argc > 3 ? Arg(argv[3]) : WString(u"."), argc > 4 ? Utf8ToWide(argv[4]) : WString());
    if (command == "show" && argc >= 4) return Show(Arg(argv[2]), Arg(argv[3]), argc > 4 && std::string(argv[4]) == "about");
    if (command == "bench" && argc >= 5) return Bench(Arg(argv[2]), Arg(argv[3]), std::max(1, std::atoi(argv[4])));
    std::fprintf(stderr, "usage: gui_drive dump EXE [WORKDIR [ARGS]] | show EXE WORKDIR [about] | bench EXE WORKDIR RUNS\n");
    return 2;
}
