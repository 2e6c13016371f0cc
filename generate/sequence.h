// One press of the generate button, after the form has been read.
//
// The sequence talks to the user only through GenerateUi, which each front
// end implements: the dialog with message boxes and the Save As dialog, the
// command line with standard error and a path argument, the tests with a
// scripted fake.
#pragma once

#include <exception>

#include "generate/request.h"
#include "platform/file_exception.h"
#include "platform/text.h"

enum class MessageKind {
    Plain,        // OK button, no icon (validation, template, success)
    Stop,         // OK button, stop icon (file errors, failed copy)
    OutOfMemory,  // "内存不足。": exclamation icon, system-modal
};

// The settings the Save As dialog is shown with.
struct SaveAsRequest {
    WString initialFileName;   // the bare output file name
    WString initialFolder;     // the output file's relative path
    WString filter;            // "label|patterns||"
    WString defaultExtension;  // given, and empty
    unsigned options = 0;      // 6: hide read-only, ask before overwriting
};

class GenerateUi {
public:
    virtual ~GenerateUi() = default;
    virtual void ShowMessage(const WString& text, MessageKind kind) = 0;
    // True with the full chosen path when the user confirmed.
    virtual bool AskSavePath(const SaveAsRequest& request, WString& chosenPath) = 0;
    // A stop box with FileErrorMessage(error).
    virtual void ReportFileException(const CFileException& error) = 0;
};

// Steps from validation to the success message, in order. Failures are
// reported through ui; nothing escapes.
void GenerateConfiguration(SwitchConfigRequest& request, const WString& vendorName,
                           const WString& modelName, GenerateUi& ui);

// The steps of the output stage, for GenerateConfiguration and for tests.
// Each throws CFileException when a file operation fails, and std::bad_alloc
// when memory runs out.
//
// Creates the empty output file when no file or folder of that name exists.
void EnsureOutputFile(const SwitchConfigRequest& request);
// Rewrites the output file from the merge file, substituted. Gives false,
// having told the user, for a merge file too large to be read.
bool WriteOutputFile(const SwitchConfigRequest& request, GenerateUi& ui);
// The Save As dialog, the copy and its confirmation or failure message.
void ExportOutputFile(const SwitchConfigRequest& request, GenerateUi& ui);

// Reports a failure that stopped an action: a CFileException through
// ui.ReportFileException, exhausted memory with "内存不足。" alone, anything
// else with a stop box of its own. Never throws.
void ReportFailure(GenerateUi& ui, std::exception_ptr error) noexcept;

// Runs action and reports whatever escapes it, so that no exception leaves a
// handler (and none unwinds through a Win32 callback). Gives true when action
// ran to its end.
template <class Action>
bool ReportFailures(GenerateUi& ui, Action&& action) noexcept {
    try {
        action();
        return true;
    } catch (...) {
        ReportFailure(ui, std::current_exception());
        return false;
    }
}
