// One table of bytes and characters, measured with Windows' code page 936
// (under wine with the zh_CN locale), that both sides must give alike.
#include <gtest/gtest.h>

#include <string>

#include "platform/codepage.h"

namespace {

using platform::CodePage;
using platform::DecodeMultiByte;
using platform::EncodeMultiByte;

std::string Hex(const std::string& bytes) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char b : bytes) {
        out += digits[b >> 4];
        out += digits[b & 15];
        out += ' ';
    }
    return out;
}

std::string HexWide(const WString& text) {
    char buf[8];
    std::string out;
    for (char16_t c : text) {
        snprintf(buf, sizeof buf, "%04X ", static_cast<unsigned>(c));
        out += buf;
    }
    return out;
}

struct DecodeCase {
    const char* what;
    std::string bytes;
    WString text;
};

TEST(CodePage, DecodesAsWindowsCodePage936) {
    const DecodeCase cases[] = {
        {"empty", "", u""},
        {"ASCII with CR LF", "a\r\nb\t~\x7F", u"a\r\nb\t~\x7F"},
        {"GBK", "\xC4\xE3\xBA\xC3 \xBB\xAA\xCE\xAA", u"你好 华为"},
        {"middle dot and em dash", "\xA1\xA4\xA1\xAA", u"\u00B7\u2014"},
        {"pinyin letter", "\xA8\xA6", u"\u00E9"},
        {"0x80 is the euro sign", "\x80", u"\u20AC"},
        {"0xFF alone", "\xFF" "A", u"\uF8F5A"},
        {"user-defined row AA", "\xAA\xA1", u"\uE000"},
        {"user-defined row F8", "\xF8\xA1", u"\uE234"},
        {"user-defined A140", "\xA1\x40", u"\uE4C6"},
        {"other undefined codes", "\xA2\xAB\xD7\xFA\xFE\xA0", u"\uE766\uE810\uE864"},
        {"lead byte at the end", "a\x81", u"a?"},
        {"lead byte takes an invalid trail with it", "\x81\x30" "1", u"?1"},
        {"lead byte before 0x7F", "\x81\x7F" "b", u"?b"},
        {"lead byte before 0xFF", "\x81\xFF", u"?"},
        {"lead byte before NUL", std::string("\x81\0b", 3), WString(u"?\0b", 3)},
    };
    for (CodePage cp : {CodePage::SystemAnsi, CodePage::ThreadAnsi}) {
        for (const auto& c : cases) {
            WString out = u"stale";
            EXPECT_TRUE(DecodeMultiByte(cp, c.bytes, out)) << c.what;
            EXPECT_EQ(HexWide(out), HexWide(c.text)) << c.what;
        }
    }
}

struct EncodeCase {
    const char* what;
    WString text;
    std::string bytes;
};

TEST(CodePage, EncodesAsWindowsCodePage936) {
    const EncodeCase cases[] = {
        {"empty", u"", ""},
        {"ASCII with CR LF", u"key\r\n", "key\r\n"},
        {"GBK", u"你好 华为", "\xC4\xE3\xBA\xC3 \xBB\xAA\xCE\xAA"},
        {"euro sign", u"\u20AC", "\x80"},
        {"U+F8F5", u"\uF8F5", "\xFF"},
        {"private use", u"\uE000\uE766", "\xAA\xA1\xA2\xAB"},
        {"best fit: A with grave", u"\u00C0", "\xA8\xA4"},
        {"best fit: yen sign", u"\u00A5", "\xA3\xA4"},
        {"best fit: superscript two", u"\u00B2", "2"},
        {"no byte: won sign", u"x\u20A9y", "x?y"},
        {"no byte: U+0080", u"\u0080", "?"},
        {"no byte: replacement character", u"\uFFFD", "?"},
        {"outside the BMP: one ? per unit", u"\U0001F600", "??"},
        {"NUL passes", WString(u"a\0b", 3), std::string("a\0b", 3)},
    };
    for (CodePage cp : {CodePage::SystemAnsi, CodePage::ThreadAnsi}) {
        for (const auto& c : cases) {
            std::string out = "stale";
            EXPECT_TRUE(EncodeMultiByte(cp, c.text, out)) << c.what;
            EXPECT_EQ(Hex(out), Hex(c.bytes)) << c.what;
        }
    }
}

TEST(CodePage, EveryGbkCodeRoundTrips) {
    // Every double-byte code that decodes to a character of its own encodes
    // back to the same two bytes.
    int failures = 0;
    for (unsigned lead = 0x81; lead <= 0xFE; ++lead) {
        for (unsigned trail = 0x40; trail <= 0xFE; ++trail) {
            if (trail == 0x7F) continue;
            const std::string bytes{static_cast<char>(lead), static_cast<char>(trail)};
            WString text;
            ASSERT_TRUE(DecodeMultiByte(CodePage::SystemAnsi, bytes, text));
            ASSERT_EQ(text.size(), 1u);
            std::string back;
            ASSERT_TRUE(EncodeMultiByte(CodePage::SystemAnsi, text, back));
            if (back != bytes && failures++ < 5)
                ADD_FAILURE() << Hex(bytes) << "-> " << HexWide(text) << "-> " << Hex(back);
        }
    }
    EXPECT_EQ(failures, 0);
}

}  // namespace
