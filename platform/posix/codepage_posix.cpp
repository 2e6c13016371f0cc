// GBK as Windows' code page 936 has it, on top of iconv's GBK.
//
// iconv's GBK leaves undefined what Windows maps to private-use characters
// (the user-defined rows and a few other codes), knows neither 0x80 (the euro
// sign) nor 0xFF, and writes "?" where Windows writes a similar character
// (its best-fit table). Two tables built once from iconv and mended with those
// rules make both directions give the bytes and characters Windows gives, so
// a config folder reads and writes the same on both systems.
#include "platform/codepage.h"

#include <iconv.h>

#include <cstdint>
#include <memory>
#include <vector>

namespace platform {
namespace {

constexpr char16_t kDefaultChar = u'?';
constexpr unsigned kLeadFirst = 0x81, kLeadLast = 0xFE;

bool IsTrail(unsigned b) { return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFE); }

struct BestFit {
    char16_t unit;
    uint16_t code;
};
constexpr BestFit kBestFit[] = {
#include "platform/posix/cp936_bestfit.inc"
};

// Windows gives the codes iconv does not define consecutive private-use
// characters from U+E000: first the rows AA-AF and F8-FE (trail A1-FE), then
// A1-A7 with trail 40-A0, then every other such code in order.
int PrivateUseGroup(unsigned lead, unsigned trail) {
    if (lead >= 0xAA && lead <= 0xAF && trail >= 0xA1) return 0;
    if (lead >= 0xF8 && trail >= 0xA1) return 1;
    if (lead >= 0xA1 && lead <= 0xA7 && trail <= 0xA0) return 2;
    return 3;
}

struct Gbk {
    // decode[(lead - 0x81) * 256 + trail]: the character of a double-byte code.
    char16_t decode[(kLeadLast - kLeadFirst + 1) * 256] = {};
    // encode[unit]: 0 when code page 936 has no byte for it; a value below
    // 0x100 is a single byte, otherwise lead << 8 | trail.
    uint16_t encode[0x10000] = {};
    // False when the C library has no GBK: every conversion is then refused
    // rather than guessed.
    bool available = false;

    Gbk() {
        iconv_t cd = iconv_open("UTF-16LE", "GBK");
        if (cd == reinterpret_cast<iconv_t>(-1)) return;
        available = true;
        std::vector<uint16_t> undefined[4];  // by PrivateUseGroup
        for (unsigned lead = kLeadFirst; lead <= kLeadLast; ++lead) {
            for (unsigned trail = 0x40; trail <= 0xFE; ++trail) {
                if (!IsTrail(trail)) continue;
                char in[2] = {static_cast<char>(lead), static_cast<char>(trail)};
                unsigned char out[4];
                char* inPtr = in;
                size_t inLeft = 2;
                char* outPtr = reinterpret_cast<char*>(out);
                size_t outLeft = sizeof out;
                iconv(cd, nullptr, nullptr, nullptr, nullptr);
                const uint16_t code = static_cast<uint16_t>(lead << 8 | trail);
                if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<size_t>(-1) &&
                    outPtr == reinterpret_cast<char*>(out) + 2) {
                    Set(code, static_cast<char16_t>(out[0] | out[1] << 8));
                } else {
                    undefined[PrivateUseGroup(lead, trail)].push_back(code);
                }
            }
        }
        iconv_close(cd);
        char16_t privateUse = 0xE000;
        for (const auto& group : undefined)
            for (uint16_t code : group) Set(code, privateUse++);
        for (unsigned b = 0; b < 0x80; ++b) encode[b] = static_cast<uint16_t>(b);
        encode[0x20AC] = 0x80;
        encode[0xF8F5] = 0xFF;
        for (const BestFit& f : kBestFit) encode[f.unit] = f.code;
    }

    void Set(uint16_t code, char16_t c) {
        decode[((code >> 8) - kLeadFirst) * 256 + (code & 0xFF)] = c;
        if (!encode[c]) encode[c] = code;
    }
};

const Gbk& Tables() {
    static const std::unique_ptr<Gbk> gbk(new Gbk);
    return *gbk;
}

}  // namespace

bool DecodeMultiByte(CodePage, std::string_view bytes, WString& out) {
    const Gbk& gbk = Tables();
    if (!gbk.available) {
        out.clear();
        return false;
    }
    out.resize(bytes.size());  // never more characters than bytes
    const unsigned char* in = reinterpret_cast<const unsigned char*>(bytes.data());
    const unsigned char* const end = in + bytes.size();
    char16_t* const first = out.empty() ? nullptr : &out[0];
    char16_t* to = first;
    while (in < end) {
        // Configuration text is mostly ASCII: copy such runs in a tight loop.
        while (in < end && *in < 0x80) *to++ = static_cast<char16_t>(*in++);
        if (in == end) break;
        const unsigned b = *in++;
        if (b == 0x80) {
            *to++ = u'\u20AC';
        } else if (b == 0xFF) {
            *to++ = u'\uF8F5';
        } else if (in < end && *in != 0) {
            // A lead byte takes the next byte with it, whatever it is, as
            // Windows does; a code it does not define reads as "?".
            const char16_t c = gbk.decode[(b - kLeadFirst) * 256 + *in++];
            *to++ = c ? c : kDefaultChar;
        } else {
            *to++ = kDefaultChar;  // a lead byte at the end or before NUL
        }
    }
    out.resize(static_cast<size_t>(to - first));
    return true;
}

bool EncodeMultiByte(CodePage, WStringView text, std::string& out) {
    const Gbk& gbk = Tables();
    if (!gbk.available) {
        out.clear();
        return false;
    }
    out.resize(text.size() * 2);  // at most two bytes a unit
    char* const first = out.empty() ? nullptr : &out[0];
    char* to = first;
    for (char16_t c : text) {
        if (c < 0x80) {
            *to++ = static_cast<char>(c);
            continue;
        }
        // Each UTF-16 unit on its own, so a character outside the BMP gives
        // two "?", as on Windows.
        const uint16_t code = gbk.encode[c];
        if (code >= 0x100) {
            *to++ = static_cast<char>(code >> 8);
            *to++ = static_cast<char>(code & 0xFF);
        } else if (code || c == 0) {
            *to++ = static_cast<char>(code);
        } else {
            *to++ = static_cast<char>(kDefaultChar);
        }
    }
    out.resize(static_cast<size_t>(to - first));
    return true;
}

}  // namespace platform
