// The whole generate sequence, GenerateConfiguration with a scripted user,
// over arbitrary templates, option flags and typed values, checked end to end
// against the plain models of the other targets put together: the merge's
// line rules, then the nine passes, on text of ASCII and GBK characters
// (which pass through the code pages unchanged). Checked as well: the output
// file replaces a longer old one completely, the copy the user saved equals
// it, and a press that stops at a long line says so and touches neither the
// old output nor the user's file.
#include <cstdint>
#include <filesystem>
#include <string>

#include "generate/request.h"
#include "generate/sequence.h"
#include "tests/fuzz/fuzz_support.h"
#include "tests/support/reference_substitution.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/test_files.h"

namespace {

const char* const kPieces[] = {"\n", "\r\n", "\r", "<%", "%>", "HOST_MODE", "\xd6\xd0"};

// Template bytes from pieces: whole placeholders, their parts, line ends,
// a GBK character, NUL, or a printable ASCII byte.
std::string TemplateBytes(fuzz::Reader& in, size_t count) {
    std::string out;
    for (size_t i = 0; i < count && !in.Empty(); ++i) {
        const uint8_t b = in.Byte();
        if (b < 9) {
            for (const char16_t* c = testsupport::kReferencePasses[b].token; *c; ++c) out += static_cast<char>(*c);
        } else if (b < 16) {
            out += kPieces[b - 9];
        } else if (b == 16) {
            out += '\0';
        } else {
            out += static_cast<char>(0x20 + b % 0x5F);
        }
    }
    return out;
}

// A typed value: printable ASCII, the GBK character's UTF-16 form, or a
// placeholder (later passes see it); never empty, so the press validates.
WString Value(fuzz::Reader& in) {
    WString out;
    const size_t count = in.Byte() % 6;
    for (size_t i = 0; i < count && !in.Empty(); ++i) {
        const uint8_t b = in.Byte();
        if (b < 9) {
            out += testsupport::kReferencePasses[b].token;
        } else if (b < 12) {
            out += u'中';
        } else {
            out += static_cast<char16_t>(0x20 + b % 0x5F);
        }
    }
    return out.empty() ? u"v" : out;
}

WString Decode(const std::string& bytes) {
    WString out;
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (static_cast<unsigned char>(bytes[i]) == 0xD6 && i + 1 < bytes.size() &&
            static_cast<unsigned char>(bytes[i + 1]) == 0xD0) {
            out += u'中';
            ++i;
        } else {
            out += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]));
        }
    }
    return out;
}

std::string Encode(const WString& text) {
    std::string out;
    for (char16_t c : text) out += c == u'中' ? std::string("\xd6\xd0") : std::string(1, static_cast<char>(c));
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    namespace fs = std::filesystem;
    fuzz::EnterScratchFolder();
    fuzz::Reader in(data, size);
    const uint8_t flags = in.Byte();

    SwitchConfigRequest request;
    request.vendorIndex = flags % 4 == 3 ? -1 : flags % 4;
    request.modelIndex = (flags >> 2) & 1;
    request.multiTerminal = (flags >> 3) & 1;
    request.mabEnabled = (flags >> 4) & 1;
    request.escapeVlanEnabled = (flags >> 5) & 1;
    request.guestVlanEnabled = (flags >> 6) & 1;
    for (const auto& pass : testsupport::kReferencePasses)
        if (pass.value != &SwitchConfigRequest::hostMode) request.*pass.value = Value(in);
    request.hostMode = u"kept";  // what an earlier press chose

    const bool selected[4] = {true, request.mabEnabled != 0, request.escapeVlanEnabled != 0,
                              request.guestVlanEnabled != 0};
    const char* const files[4] = {"config/V_M_tp.ini", "config/V_M_mab_tp.ini", "config/V_M_DeadVlan_tp.ini",
                                  "config/V_M_GeustVlan_tp.ini"};
    std::string merge;
    bool lineTooLong = false;
    int badLine = 0;
    for (int i = 0; i < 4; ++i) {
        const std::string bytes = TemplateBytes(in, in.Unit() % 1200);
        testsupport::Write(files[i], bytes);
        if (selected[i] && !lineTooLong) lineTooLong = !fuzz::ModelMergeCopy(bytes, merge, badLine);
    }
    const std::string oldOutput(5000, 'o');  // longer than most new outputs
    testsupport::Write("config/V_M.ini", oldOutput);
    const std::string oldTarget = "the user's old file";
    testsupport::Write("saved.ini", oldTarget);

    // The model's host mode, and the nine passes.
    const char16_t* const modes[4][2] = {{u"single-terminal", u"multi-authen"}, {u"port", u"mac"},
                                         {u"portbased", u"macbased"}, {u"single-host", u"multi-auth"}};
    WString hostMode = request.hostMode;
    if (request.vendorIndex == 0) hostMode = modes[request.modelIndex == 1 ? 0 : 1][request.multiTerminal];
    if (request.vendorIndex == 1) hostMode = modes[2][request.multiTerminal];
    if (request.vendorIndex == 2) hostMode = modes[3][request.multiTerminal];
    SwitchConfigRequest passed = request;
    passed.hostMode = hostMode;
    WString text = Decode(merge);
    for (const auto& pass : testsupport::kReferencePasses) {
        testsupport::ReferenceReplaceAll(text, pass.token, passed.*pass.value);
        if (text.size() > (1u << 20)) return 0;  // values multiplying the text: not what this checks
    }
    const std::string expected = Encode(text);

    testsupport::ScriptedUi ui;
    ui.savePath = Utf8ToWide((fs::current_path() / "saved.ini").u8string());
    GenerateConfiguration(request, u"V", u"M", ui);

    // Read gives none for a missing file, so each comparison below also
    // checks that the file is there.
    if (lineTooLong) {
        FUZZ_CHECK(ui.events.size() == 1 && ui.events[0].find("plain: 模板文件 config\\V_M_") == 0);
        FUZZ_CHECK(testsupport::Read("config/V_M.ini") == oldOutput);
        FUZZ_CHECK(testsupport::Read("saved.ini") == oldTarget);
        return 0;
    }
    FUZZ_CHECK(ui.events.size() == 2 && ui.events[0] == "save as" &&
               ui.events[1] == testsupport::kSavedEvent);
    FUZZ_CHECK(request.hostMode == hostMode);
    FUZZ_CHECK(testsupport::Read("config/V_M_merge_tp.ini") == merge);
    FUZZ_CHECK(testsupport::Read("config/V_M.ini") == expected);
    FUZZ_CHECK(testsupport::Read("saved.ini") == expected);
    return 0;
}
