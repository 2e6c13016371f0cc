#include "generate/sequence.h"

#include <cstdint>
#include <new>
#include <string>

#include "generate/messages.h"
#include "generate/substitute.h"
#include "generate/template_set.h"
#include "platform/codepage.h"
#include "platform/file.h"

namespace {

// The Save As dialog's options: hide the read-only box (4) and ask before
// overwriting (2).
constexpr unsigned kSaveAsOptions = 6;

// The output stage reads the merge file with a 32-bit count.
constexpr uint64_t kMaxMergeFileLength = 0xFFFFFFFFu;

// A vendor or model name becomes part of file names in config: a separator,
// a drive colon, a wildcard or a control character in it would reach another
// folder or no valid file at all.
bool IsFileNameSafe(const WString& name) {
    for (char16_t c : name)
        if (platform::IsForbiddenInFileName(c)) return false;
    return true;
}

WString Number(int value) {
    const std::string digits = std::to_string(value);
    return WString(digits.begin(), digits.end());
}

// Tells the user why the merge stopped; gives false when it did.
bool MergeSucceeded(const MergeResult& result, GenerateUi& ui) {
    switch (result.kind) {
    case MergeResult::Kind::Ok:
        return true;
    case MergeResult::Kind::TemplateMissing:
        ui.ShowMessage(msg::kTemplateMissing + result.file, MessageKind::Plain);
        return false;
    case MergeResult::Kind::LineTooLong: {
        WString text = msg::kLineTooLong;
        ReplaceAll(text, u"%1", result.file);
        ReplaceAll(text, u"%2", Number(result.line));
        ui.ShowMessage(text, MessageKind::Plain);
        return false;
    }
    case MergeResult::Kind::MergeFileFailed:
        if (!result.osError) throw CFileException(FileCause::Generic, result.file);
        throw CFileException::FromOsError(result.osError, result.file);
    }
    return false;
}

void RunSequence(SwitchConfigRequest& request, const WString& vendorName, const WString& modelName,
                 GenerateUi& ui) {
    if (const char16_t* message = ValidateRequest(request)) {
        ui.ShowMessage(message, MessageKind::Plain);
        return;
    }
    if (!IsFileNameSafe(vendorName) || !IsFileNameSafe(modelName)) {
        ui.ShowMessage(msg::kBadName, MessageKind::Plain);
        return;
    }

    const TemplateSet set = MakeTemplateSet(vendorName, modelName);
    request.mergePath = set.mergePath;
    request.mabTemplatePath = set.mabTemplatePath;
    if (!MergeSucceeded(MergeTemplates(request, set), ui)) return;
    request.outputFileName = set.outputFileName;
    request.outputPath = set.outputPath;

    EnsureOutputFile(request);
    ChooseHostMode(request);
    if (!WriteOutputFile(request, ui)) return;
    ExportOutputFile(request, ui);
}

}  // namespace

void GenerateConfiguration(SwitchConfigRequest& request, const WString& vendorName,
                           const WString& modelName, GenerateUi& ui) {
    ReportFailures(ui, [&] { RunSequence(request, vendorName, modelName, ui); });
}

void EnsureOutputFile(const SwitchConfigRequest& request) {
    using namespace platform;
    if (PathExists(request.outputPath)) return;
    // An output file that cannot be created is an error the user must see:
    // a press that ends without a word looks like a broken button.
    FileHandle file;
    if (int error = file.Open(request.outputPath, Access::Read, Share::Read, Disposition::CreateAlways))
        throw CFileException::FromOsError(error, request.outputPath);
}

bool WriteOutputFile(const SwitchConfigRequest& request, GenerateUi& ui) {
    using namespace platform;
    CFile merge;
    merge.OpenReadWrite(request.mergePath);
    CFile output;
    output.OpenReadWrite(request.outputPath);

    const uint64_t length = merge.GetLength();
    if (length > kMaxMergeFileLength) {
        WString text = msg::kMergeFileTooLarge;
        ReplaceAll(text, u"%1", merge.FullPath());
        ui.ShowMessage(text, MessageKind::Stop);
        return false;
    }
    std::string bytes;
    if (length > bytes.max_size()) throw std::bad_alloc();
    bytes.resize(static_cast<size_t>(length));
    bytes.resize(merge.Read(&bytes[0], bytes.size()));
    // The text ends at the first NUL byte.
    const size_t nul = bytes.find('\0');
    if (nul != std::string::npos) bytes.resize(nul);

    WString text;
    if (!DecodeMultiByte(CodePage::ThreadAnsi, bytes, text)) text.clear();
    std::string().swap(bytes);
    SubstitutePlaceholders(text, request);
    std::string encoded;
    if (!EncodeMultiByte(CodePage::SystemAnsi, text, encoded)) encoded.clear();
    WString().swap(text);

    output.Seek(0);
    output.SetLength(0);
    if (!encoded.empty()) output.Write(encoded.data(), encoded.size());
    output.Close();
    merge.Close();
    return true;
}

void ExportOutputFile(const SwitchConfigRequest& request, GenerateUi& ui) {
    SaveAsRequest save;
    save.initialFileName = request.outputFileName;
    save.initialFolder = request.outputPath;
    save.filter = msg::kSaveFilter;
    save.options = kSaveAsOptions;
    WString chosen;
    if (!ui.AskSavePath(save, chosen)) return;
    // The copy onto the output file itself is refused here too, and the
    // output file stays as it is.
    if (int error = platform::CopyFileReplacing(request.outputPath, chosen)) {
        ui.ShowMessage(msg::kSaveFailed + FileErrorMessage(platform::FileCauseFromOsError(error), chosen),
                       MessageKind::Stop);
        return;
    }
    ui.ShowMessage(msg::kSaved, MessageKind::Plain);
}

void ReportFailure(GenerateUi& ui, std::exception_ptr error) noexcept {
    try {
        try {
            std::rethrow_exception(error);
        } catch (const CFileException& fileError) {
            ui.ReportFileException(fileError);
        } catch (const std::bad_alloc&) {
            ui.ShowMessage(msg::kOutOfMemory, MessageKind::OutOfMemory);
        } catch (...) {
            ui.ShowMessage(msg::kUnexpectedError, MessageKind::Stop);
        }
    } catch (const std::bad_alloc&) {
        // Reporting ran out of memory itself: say only that.
        try {
            ui.ShowMessage(msg::kOutOfMemory, MessageKind::OutOfMemory);
        } catch (...) {
        }
    } catch (...) {
    }
}
