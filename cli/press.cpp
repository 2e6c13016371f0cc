#include "cli/press.h"

#include "cli/console.h"
#include "generate/messages.h"
#include "generate/sequence.h"
#include "platform/file.h"
#include "platform/file_exception.h"

namespace cli {
namespace {

// The dialog's boxes become lines on standard error; the Save As dialog
// becomes the path given on the command line.
class CommandLineUi : public GenerateUi {
public:
    CommandLineUi(const PressTarget& target, const SwitchConfigRequest& request)
        : target_(target), request_(request) {}

    void ShowMessage(const WString& text, MessageKind) override {
        if (text == msg::kSaved) {
            saved_ = true;
        } else {
            failed_ = true;
        }
        Say(text);
    }

    bool AskSavePath(const SaveAsRequest&, WString& chosenPath) override {
        // The sequence asks only once the output file is complete.
        written_ = true;
        if (target_.toStdout) ReadOutputFile();
        if (!target_.copyTo) return false;
        chosenPath = *target_.copyTo;
        return true;
    }

    void ReportFileException(const CFileException& error) override {
        failed_ = true;
        Say(FileErrorMessage(error));
    }

    bool Succeeded() const {
        return written_ && !failed_ && (!target_.copyTo || saved_);
    }
    bool Written() const { return written_; }
    const std::string& OutputBytes() const { return outputBytes_; }

private:
    void Say(const WString& text) {
        WriteLine(Stream::Err, target_.messagePrefix + WideToUtf8(text));
    }

    void ReadOutputFile() {
        if (int error = platform::ReadWholeFile(request_.outputPath, outputBytes_)) {
            failed_ = true;
            Say(FileErrorMessage(platform::FileCauseFromOsError(error), request_.outputPath));
        }
    }

    const PressTarget& target_;
    const SwitchConfigRequest& request_;
    bool written_ = false;
    bool saved_ = false;
    bool failed_ = false;
    std::string outputBytes_;
};

}  // namespace

PressOutcome RunPress(const FormSnapshot& form, const PressTarget& target) {
    // A fresh request for every press: rows of a batch must not inherit a
    // VLAN id from the row before, as successive presses in one dialog do.
    SwitchConfigRequest request;
    ApplyCapture(request, form);
    CommandLineUi ui(target, request);
    GenerateConfiguration(request, form.vendorName, form.modelName, ui);
    if (target.toStdout && ui.Written() && !WriteBytes(ui.OutputBytes())) return PressOutcome::Failed;
    return ui.Succeeded() ? PressOutcome::Done : PressOutcome::Failed;
}

}  // namespace cli
