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

namespace {

const char16_t* const kPlaceholders[9] = {
    u"<%SERVER_IP%>",  u"<%AUTH_PORT%>", u"<%ACCOUNT_PORT%>", u"<%SECRET_KEY%>",  u"<%INTERFACE%>",
    u"<%MAB_DELAY%>", u"<%HOST_MODE%>", u"<%ESCAPEVLANID%>", u"<%GUESTVLANID%>",
};

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
            out += kPlaceholders[b];
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

size_t ReferenceReplaceAll(WString& text, const WString& token, const WString& value) {
    if (token.empty()) return 0;
    WString out;
    size_t count = 0, from = 0;
    for (size_t at = text.find(token); at != WString::npos; at = text.find(token, from)) {
        out.append(text, from, at - from).append(value);
        from = at + token.size();
        ++count;
    }
    text = out.append(text, from, WString::npos);
    return count;
}

// Values that hold later placeholders multiply the text pass by pass, as
// they should; past this size an input only measures the machine.
constexpr size_t kMaxText = 1 << 20;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Reader in(data, size);
    const uint8_t mode = in.Byte();

    SwitchConfigRequest request;
    WString* const fields[9] = {
        &request.serverIp,  &request.authPort, &request.accountPort,  &request.secretKey,   &request.interfaceName,
        &request.mabDelay, &request.hostMode, &request.escapeVlanId, &request.guestVlanId,
    };
    for (WString* field : fields) *field = Pieces(in, in.Byte() % 8);
    const WString original = Pieces(in, SIZE_MAX);

    WString expected = original;
    for (int pass = 0; pass < 9; ++pass) {
        ReferenceReplaceAll(expected, kPlaceholders[pass], *fields[pass]);
        if (expected.size() > kMaxText) return 0;
    }
    WString actual = original;
    SubstitutePlaceholders(actual, request);
    FUZZ_CHECK(actual == expected);

    // One pass with a token and value of the input's choosing.
    if (mode & 1) {
        const WString& token = *fields[0];
        const WString& value = *fields[1];
        WString reference = original;
        const size_t expectedCount = ReferenceReplaceAll(reference, token, value);
        WString text = original;
        FUZZ_CHECK(ReplaceAll(text, token, value) == expectedCount);
        FUZZ_CHECK(text == reference);
    }
    return 0;
}
