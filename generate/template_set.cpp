#include "generate/template_set.h"

#include <cstring>
#include <memory>

#include "platform/file.h"

TemplateSet MakeTemplateSet(const WString& vendorName, const WString& modelName) {
    const WString stem = vendorName + u"_" + modelName;
    const WString folder = u"config\\";
    TemplateSet set;
    set.baseTemplatePath = folder + stem + u"_tp.ini";
    set.mabTemplatePath = folder + stem + u"_mab_tp.ini";
    set.escapeVlanTemplatePath = folder + stem + u"_DeadVlan_tp.ini";
    set.guestVlanTemplatePath = folder + stem + u"_GeustVlan_tp.ini";
    set.mergePath = folder + stem + u"_merge_tp.ini";
    set.outputFileName = stem + u".ini";
    set.outputPath = folder + stem + u".ini";
    return set;
}

namespace {

using platform::Access;
using platform::Disposition;
using platform::FileHandle;
using platform::Share;

constexpr size_t kMaxLineBytes = 998;
constexpr size_t kChunkBytes = 64 * 1024;

MergeResult Fail(MergeResult::Kind kind, const WString& file, int line = 0, int osError = 0) {
    MergeResult result;
    result.kind = kind;
    result.file = file;
    result.line = line;
    result.osError = osError;
    return result;
}

// Copies one template into the merge file line by line, on bytes, the same
// on every system: LF ends a line and a CR right before it belongs to the
// line end; any other CR is an ordinary byte. Each line is written up to its
// first zero byte and ended by CR LF, one write per line. The piece after the
// last LF is a line too, even when it is empty, so a template ending in LF
// gives one more empty line and an empty template gives one empty line.
//
// A line over 998 bytes stops the copy: a line split in two, or cut short,
// would be a wrong command on the switch. What the merge file holds by then
// does not matter, because the press stops with the message.
class TemplateCopier {
public:
    TemplateCopier(FileHandle& merge, const WString& mergePath)
        : merge_(merge), mergePath_(mergePath), chunk_(new char[kChunkBytes]) {}

    MergeResult Copy(FileHandle& source, const WString& sourcePath) {
        lineLength_ = 0;
        lineNumber_ = 1;
        for (;;) {
            size_t got = 0;
            if (source.Read(chunk_.get(), kChunkBytes, got) != 0)
                return Fail(MergeResult::Kind::TemplateMissing, sourcePath);
            if (got == 0) break;
            const char* at = chunk_.get();
            const char* const end = at + got;
            while (at < end) {
                const char* lf = static_cast<const char*>(std::memchr(at, '\n', end - at));
                const char* pieceEnd = lf ? lf : end;
                if (!Append(at, pieceEnd - at))
                    return Fail(MergeResult::Kind::LineTooLong, sourcePath, lineNumber_);
                if (!lf) break;
                // CR LF is one line end.
                if (lineLength_ > 0 && line_[lineLength_ - 1] == '\r') --lineLength_;
                if (lineLength_ > kMaxLineBytes)
                    return Fail(MergeResult::Kind::LineTooLong, sourcePath, lineNumber_);
                if (int error = WriteLine()) return Fail(MergeResult::Kind::MergeFileFailed, mergePath_, 0, error);
                ++lineNumber_;
                at = lf + 1;
            }
        }
        // The last line, ended by the end of the file; a CR there is kept.
        if (lineLength_ > kMaxLineBytes)
            return Fail(MergeResult::Kind::LineTooLong, sourcePath, lineNumber_);
        if (int error = WriteLine()) return Fail(MergeResult::Kind::MergeFileFailed, mergePath_, 0, error);
        return {};
    }

private:
    // Room for the longest line, a CR that may turn out to be part of its
    // line end, and the CR LF written after it.
    bool Append(const char* bytes, size_t count) {
        if (count > kMaxLineBytes + 1 - lineLength_) return false;
        std::memcpy(line_ + lineLength_, bytes, count);
        lineLength_ += count;
        return true;
    }

    int WriteLine() {
        const void* zero = std::memchr(line_, '\0', lineLength_);
        size_t length = zero ? static_cast<const char*>(zero) - line_ : lineLength_;
        line_[length] = '\r';
        line_[length + 1] = '\n';
        lineLength_ = 0;
        return merge_.Write(line_, length + 2);
    }

    FileHandle& merge_;
    const WString& mergePath_;
    std::unique_ptr<char[]> chunk_;
    char line_[kMaxLineBytes + 2];
    size_t lineLength_ = 0;
    int lineNumber_ = 1;
};

}  // namespace

MergeResult MergeTemplates(const SwitchConfigRequest& request, const TemplateSet& set) {
    struct Source {
        const WString& path;
        bool selected;
        FileHandle file;
    };
    // The order of the merge file, whatever order the boxes were ticked in.
    Source sources[] = {
        {set.baseTemplatePath, true, {}},
        {set.mabTemplatePath, request.mabEnabled != 0, {}},
        {set.escapeVlanTemplatePath, request.escapeVlanEnabled != 0, {}},
        {set.guestVlanTemplatePath, request.guestVlanEnabled != 0, {}},
    };

    // Every selected template is opened before the merge file is touched, so
    // a missing one leaves the last press's merge file as it was. A fragment
    // whose option is clear is never needed, so it is not even opened.
    for (Source& source : sources) {
        if (!source.selected) continue;
        if (source.file.Open(source.path, Access::Read, Share::ReadWrite, Disposition::OpenExisting) != 0)
            return Fail(MergeResult::Kind::TemplateMissing, source.path);
    }

    FileHandle merge;
    if (int error = merge.Open(set.mergePath, Access::Write, Share::ReadWrite, Disposition::CreateAlways))
        return Fail(MergeResult::Kind::MergeFileFailed, set.mergePath, 0, error);

    TemplateCopier copier(merge, set.mergePath);
    for (Source& source : sources) {
        if (!source.selected) continue;
        MergeResult result = copier.Copy(source.file, source.path);
        if (result.kind != MergeResult::Kind::Ok) return result;
    }

    for (Source& source : sources) source.file.Close();  // a template's close cannot lose data
    if (int error = merge.Close()) return Fail(MergeResult::Kind::MergeFileFailed, set.mergePath, 0, error);
    return {};
}
