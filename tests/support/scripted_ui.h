// A user at the generate sequence, from a script: every message, dialog and
// file error the sequence shows is recorded as one event line, and the Save
// As dialog is answered from the script.
#pragma once

#include <new>
#include <optional>
#include <string>
#include <vector>

#include "generate/sequence.h"
#include "platform/file_exception.h"
#include "platform/text.h"

namespace testsupport {

// "plain: <text>", "stop: <text>", "oom: <text>" for ShowMessage by kind;
// "save as" for the dialog; "file error: <FileErrorMessage>" for a report.
using Events = std::vector<std::string>;

// The event of a press that saved its copy.
inline const char kSavedEvent[] = "plain: 保存成功,请查看配置文件";

class ScriptedUi : public GenerateUi {
public:
    std::optional<WString> savePath;  // the path the user picks; none: the user cancels
    bool throwOnSaveAs = false;       // memory runs out while the dialog is up
    Events events;
    std::optional<SaveAsRequest> saveAs;      // the last dialog shown
    std::optional<CFileException> fileError;  // the last file error reported

    void ShowMessage(const WString& text, MessageKind kind) override {
        const char* names[] = {"plain", "stop", "oom"};
        events.push_back(std::string(names[static_cast<int>(kind)]) + ": " + WideToUtf8(text));
    }
    bool AskSavePath(const SaveAsRequest& request, WString& chosenPath) override {
        events.push_back("save as");
        saveAs = request;
        if (throwOnSaveAs) throw std::bad_alloc();
        if (!savePath) return false;
        chosenPath = *savePath;
        return true;
    }
    void ReportFileException(const CFileException& error) override {
        fileError = error;
        events.push_back("file error: " + WideToUtf8(FileErrorMessage(error)));
    }
};

}  // namespace testsupport
