// One press of the generate button, after the form has been read.
//
// The sequence talks to the user only through GenerateUi, which each front
// end implements: the dialog with message boxes and the Save As dialog, the
// command line with standard error and a path argument, the tests with a
// scripted fake.
#pragma once

#include "generate/request.h"
#include "platform/text.h"

class CFileException;

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
    virtual void ReportFileException(const CFileException& error) = 0;
};

// Steps from validation to the success message, in order. Failures are
// reported through ui; nothing escapes.
void GenerateConfiguration(SwitchConfigRequest& request, const WString& vendorName,
                           const WString& modelName, GenerateUi& ui);
