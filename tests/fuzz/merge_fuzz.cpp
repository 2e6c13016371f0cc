// MergeTemplates over arbitrary template bytes, option flags and missing
// files, checked against a plain model of the line rules: LF ends a line, a
// CR right before it goes with it, the piece after the last LF is a line too,
// each line is written up to its first zero byte and ended by CR LF, the
// templates in the order base, MAB, escape VLAN, guest VLAN. A selected
// template that is missing, or a line over 998 bytes, stops the merge with
// that file (and line); a missing template leaves the old merge file as it was.
#include <cstdint>
#include <filesystem>
#include <string>

#include "generate/request.h"
#include "generate/template_set.h"
#include "tests/fuzz/fuzz_support.h"
#include "tests/support/test_files.h"

namespace {

struct Expected {
    MergeResult::Kind kind = MergeResult::Kind::Ok;
    int template_ = -1;  // which template the failure names
    int line = 0;
    std::string merge;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    namespace fs = std::filesystem;
    fuzz::EnterScratchFolder();
    fuzz::Reader in(data, size);
    const uint8_t flags = in.Byte();

    SwitchConfigRequest request;
    request.mabEnabled = flags & 1;
    request.escapeVlanEnabled = (flags >> 1) & 1;
    request.guestVlanEnabled = (flags >> 2) & 1;
    const bool selected[4] = {true, request.mabEnabled != 0, request.escapeVlanEnabled != 0,
                              request.guestVlanEnabled != 0};
    // Bits 3 to 6: the base template and each fragment are missing.
    bool present[4];
    for (int i = 0; i < 4; ++i) present[i] = !((flags >> (3 + i)) & 1);
    const bool mergeIsFolder = (flags >> 7) & 1;

    const TemplateSet set = MakeTemplateSet(u"V", u"M");
    const std::string files[4] = {"config/V_M_tp.ini", "config/V_M_mab_tp.ini", "config/V_M_DeadVlan_tp.ini",
                                  "config/V_M_GeustVlan_tp.ini"};
    const WString paths[4] = {set.baseTemplatePath, set.mabTemplatePath, set.escapeVlanTemplatePath,
                              set.guestVlanTemplatePath};
    const std::string mergeFile = "config/V_M_merge_tp.ini";

    std::string contents[4];
    for (int i = 0; i < 4; ++i) {
        const size_t length = in.Unit() % 2200;
        std::string_view rest = in.Rest();
        contents[i] = std::string(rest.substr(0, length));
        // Give back what this template did not take.
        in = fuzz::Reader(reinterpret_cast<const uint8_t*>(rest.data()) + contents[i].size(),
                          rest.size() - contents[i].size());
        std::error_code ignored;
        fs::remove(files[i], ignored);
        if (present[i]) testsupport::Write(files[i], contents[i]);
    }
    std::error_code ignored;
    fs::remove_all(mergeFile, ignored);
    const std::string oldMerge = "the last press's merge file\r\n";
    if (mergeIsFolder) {
        fs::create_directory(mergeFile);
    } else {
        testsupport::Write(mergeFile, oldMerge);
    }

    Expected expected;
    for (int i = 0; i < 4 && expected.kind == MergeResult::Kind::Ok; ++i)
        if (selected[i] && !present[i]) {
            expected.kind = MergeResult::Kind::TemplateMissing;
            expected.template_ = i;
        }
    if (expected.kind == MergeResult::Kind::Ok && mergeIsFolder) expected.kind = MergeResult::Kind::MergeFileFailed;
    for (int i = 0; i < 4 && expected.kind == MergeResult::Kind::Ok; ++i) {
        if (!selected[i]) continue;
        if (!fuzz::ModelMergeCopy(contents[i], expected.merge, expected.line)) {
            expected.kind = MergeResult::Kind::LineTooLong;
            expected.template_ = i;
        }
    }

    const MergeResult result = MergeTemplates(request, set);
    FUZZ_CHECK(result.kind == expected.kind);
    switch (expected.kind) {
    case MergeResult::Kind::Ok:
        FUZZ_CHECK(testsupport::Read(mergeFile) == expected.merge);
        break;
    case MergeResult::Kind::TemplateMissing:
        FUZZ_CHECK(result.file == paths[expected.template_]);
        // Nothing of the last press is lost.
        if (mergeIsFolder) {
            FUZZ_CHECK(fs::is_directory(mergeFile));
        } else {
            FUZZ_CHECK(testsupport::Read(mergeFile) == oldMerge);
        }
        break;
    case MergeResult::Kind::LineTooLong:
        FUZZ_CHECK(result.file == paths[expected.template_]);
        FUZZ_CHECK(result.line == expected.line);
        break;
    case MergeResult::Kind::MergeFileFailed:
        FUZZ_CHECK(result.file == set.mergePath);
        FUZZ_CHECK(result.osError != 0);
        break;
    }
    return 0;
}
