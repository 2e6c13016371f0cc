// One window scenario: a fresh working folder with a small `config` of our
// own, the program started in it, and the waits that every scenario needs.
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "tests/gui/driver.h"
#include "tests/gui/form.h"

namespace gui {

// The fixture's model lists, in file order, as the dialog must show them.
extern const std::vector<WString> kHuaweiModels;
extern const std::vector<WString> kH3cModels;
extern const std::vector<WString> kCiscoModels;

// Text in the program's files: GBK, the ANSI code page of a Chinese system.
std::string Gbk(const WString& text);
std::string Gbk(const char* utf8);

// Whole-file access through wide names (the fixture's names are Chinese).
bool WriteBytes(const WString& path, const std::string& bytes);
std::optional<std::string> ReadBytes(const WString& path);
bool Exists(const WString& path);

// The program under test: BRENVIK_EXE, a Unix path from CTest.
WString ProgramPath();

class Scenario : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts the program (by default Brenvik.exe) in the working folder and
    // waits until its dialog is ready; fails the test otherwise.
    void Start(const WString& exe = ProgramPath());

    // Paths inside the working folder.
    WString Path(const WString& relative) const { return work_ + u"\\" + relative; }

    // Windows of the program.
    HWND WaitForMessageBox(Millis timeout = kWait) const;
    HWND WaitForFileDialog(Millis timeout = kWait) const;
    // Fails the test unless the next window is a message box with this text,
    // the application's name as caption and no icon; dismisses it.
    void ExpectPlainMessage(const WString& text, const WString& caption = u"Brenvik");
    // True when no box or dialog of the program is open once the dialog's
    // thread has handled everything sent to it so far.
    bool NoOwnedWindow() const;

    // Types a path into a file dialog's name field and confirms it.
    void EnterFileName(HWND fileDialog, const WString& path);
    // A press of the generate button, answered in the Save As dialog with a
    // path of our own: waits for the dialog, checks the proposed name, fills
    // in `target` and confirms.
    void PressAndSaveAs(const WString& proposedName, const WString& target);

    Program program_;
    HWND dialog_ = nullptr;
    WString work_;
};

}  // namespace gui
