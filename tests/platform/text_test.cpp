#include <gtest/gtest.h>

#include "platform/text.h"

namespace {

struct Utf8Case {
    const char* utf8;
    WString wide;
};

TEST(Text, Utf8AndUtf16RoundTrip) {
    const Utf8Case cases[] = {
        {"", u""},
        {"config\\hw_switch_model.ini", u"config\\hw_switch_model.ini"},
        {"\xE5\x8D\x8E\xE4\xB8\xBA", u"华为"},
        {"\xF0\x9F\x98\x80", u"\U0001F600"},  // outside the BMP: a surrogate pair
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Utf8ToWide(c.utf8), c.wide) << c.utf8;
        EXPECT_EQ(WideToUtf8(c.wide), c.utf8) << c.utf8;
    }
}

TEST(Text, IllFormedInputBecomesReplacementCharacter) {
    EXPECT_EQ(Utf8ToWide("a\xFF" "b"), u"a\uFFFDb");
    EXPECT_EQ(Utf8ToWide("\xE5\x8D"), u"\uFFFD\uFFFD");       // cut short
    EXPECT_EQ(Utf8ToWide("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");  // encoded surrogate
    const char16_t lone[] = {u'x', 0xD800, u'y', 0};
    EXPECT_EQ(WideToUtf8(lone), "x\xEF\xBF\xBDy");
}

}  // namespace
