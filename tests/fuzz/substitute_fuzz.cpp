// SubstitutePlaceholders and ReplaceAll on arbitrary text and values, checked
// against a plain reference of the nine passes: one std::u16string search and
// replace per placeholder, in pass order, each resuming after what it put in.
//
// The input is read as pieces rather than raw code units, so that whole and
// broken placeholders, their parts and the joints between values and text
// come up often; byte values past the piece list stand for raw code units.
#include <cstdint>
#include <string>

#include "generate/request.h"
#include "generate/substitute.h"
#include "tests/fuzz/fuzz_support.h"
#include "tests/support/reference_substitution.h"

namespace {

using testsupport::kReferencePasses;
using testsupport::ReferenceReplaceAll;

const char16_t* const kPieces[] = {
    u"<%",        u"%>",        u"SERVER_IP", u"HOST_MODE", u"SECRET_KEY", u"GUESTVLANID", u"INTERFACE",
    u"AUTH_PORT", u"MAB_DELAY", u"<",         u"%",         u">",          u"_",           u"A",
    u"x",         u"\r\n",      u"中",        u"\xD800",    u"\xDFFF",     u"\xFFFF",      u"%%>",
};
constexpr unsigned kPieceCount = sizeof kPieces / sizeof kPieces[0];

WString Pieces(fuzz::Reader& in, size_t count) {
    WString out;
    for (size_t i = 0; i < count && !in.Empty(); ++i) {
        const uint8_t b = in.Byte();
        if (b < 9) {
            out += kReferencePasses[b].token;
        } else if (b < 9 + kPieceCount) {
            out += kPieces[b - 9];
        } else if (b == 0xFF) {
            out += static_cast<char16_t>(in.Unit());  // any code unit at all
        } else {
            out += static_cast<char16_t>(b);
        }
    }
    return out;
}

// Values that hold later placeholders multiply the text pass by pass, as
// they should; past this size an input only measures the machine.
constexpr size_t kMaxText = 1 << 20;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Reader in(data, size);
    const uint8_t mode = in.Byte();

    SwitchConfigRequest request;
    for (const auto& pass : kReferencePasses) request.*pass.value = Pieces(in, in.Byte() % 8);
    const WString original = Pieces(in, SIZE_MAX);

    // Pass by pass, so that a text grown past the bound stops the run early.
    WString expected = original;
    for (const auto& pass : kReferencePasses) {
        ReferenceReplaceAll(expected, pass.token, request.*pass.value);
        if (expected.size() > kMaxText) return 0;
    }
    WString actual = original;
    SubstitutePlaceholders(actual, request);
    FUZZ_CHECK(actual == expected);

    // One pass with a token and value of the input's choosing.
    if (mode & 1) {
        const WString& token = request.serverIp;
        const WString& value = request.authPort;
        WString reference = original;
        const size_t expectedCount = ReferenceReplaceAll(reference, token, value);
        WString text = original;
        FUZZ_CHECK(ReplaceAll(text, token, value) == expectedCount);
        FUZZ_CHECK(text == reference);
    }
    return 0;
}
