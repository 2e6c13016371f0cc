#include "platform/text.h"

std::string WideToUtf8(WStringView text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() &&
            text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

WString Utf8ToWide(std::string_view text) {
    WString out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        unsigned char b = static_cast<unsigned char>(text[i]);
        char32_t c;
        size_t len;
        if (b < 0x80) { c = b; len = 1; }
        else if (b >= 0xC2 && b <= 0xDF) { c = b & 0x1F; len = 2; }
        else if (b >= 0xE0 && b <= 0xEF) { c = b & 0x0F; len = 3; }
        else if (b >= 0xF0 && b <= 0xF4) { c = b & 0x07; len = 4; }
        else { out += u'\uFFFD'; ++i; continue; }
        bool ok = i + len <= text.size();
        for (size_t k = 1; ok && k < len; ++k) {
            unsigned char t = static_cast<unsigned char>(text[i + k]);
            if ((t & 0xC0) != 0x80) ok = false;
            else c = (c << 6) | (t & 0x3F);
        }
        if (ok && ((len == 3 && (c < 0x800 || (c >= 0xD800 && c <= 0xDFFF))) ||
                   (len == 4 && (c < 0x10000 || c > 0x10FFFF)))) {
            ok = false;
        }
        if (!ok) { out += u'\uFFFD'; ++i; continue; }
        if (c >= 0x10000) {
            c -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (c >> 10));
            out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
        } else {
            out += static_cast<char16_t>(c);
        }
        i += len;
    }
    return out;
}
