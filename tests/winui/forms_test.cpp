// The Win32 layer's pure rules: the application name, the file dialog's
// filter forms, and the message-map lookup.
#include <gtest/gtest.h>

#include "platform/text.h"
#include "platform/winui/forms.h"
#include "platform/winui/message_map.h"

namespace winui {
namespace {

std::string Utf8(const WString& text) { return WideToUtf8(text); }

TEST(AppName, IsTheFileNameWithoutFolderAndLastExtension) {
    const struct {
        const char16_t* path;
        const char* name;
    } cases[] = {
        {u"C:\\Tools\\Brenvik.exe", "Brenvik"},
        {u"C:\\Tools\\配置助手.exe", "配置助手"},
        {u"\\\\server\\share\\Brenvik.copy.exe", "Brenvik.copy"},  // only the last extension goes
        {u"C:\\v1.0\\Brenvik", "Brenvik"},                          // a dot in a folder is no extension
        {u"Brenvik.EXE", "Brenvik"},
        {u"/opt/wine/Brenvik.exe", "Brenvik"},
        {u"C:\\Tools\\.exe", ".exe"},                               // a leading dot names the file
        {u"", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Utf8(c.path));
        EXPECT_EQ(Utf8(AppNameFromModulePath(c.path)), c.name);
    }
}

TEST(Filter, BarsBecomeNulsAndTheListEndsWithTwo) {
    const WString api = FilterToApi(u"文件 (*.txt; *.ini; *.conf)|*.txt;*.ini;*.conf||");
    const char16_t raw[] = u"文件 (*.txt; *.ini; *.conf)\0*.txt;*.ini;*.conf\0\0";
    const WString expected(raw, sizeof raw / sizeof raw[0] - 1);
    EXPECT_EQ(api, expected);
    // Read as the API reads it: a list of NUL-terminated strings up to an empty one.
    const char16_t* p = api.c_str();
    std::vector<WString> parts;
    while (*p) {
        parts.emplace_back(p);
        p += parts.back().size() + 1;
    }
    EXPECT_EQ(parts, (std::vector<WString>{u"文件 (*.txt; *.ini; *.conf)", u"*.txt;*.ini;*.conf"}));
}

TEST(Filter, AnUnterminatedOrEmptyFilterStillEndsWithTwoNuls) {
    EXPECT_EQ(FilterToApi(u"A|*.a"), WString(u"A\0*.a\0", 6));
    EXPECT_EQ(FilterToApi(u""), WString(u"\0", 1));
    for (const WString& api : {FilterToApi(u"A|*.a"), FilterToApi(u"")}) {
        ASSERT_GE(api.size(), 1u);
        EXPECT_EQ(api.back(), u'\0');
        EXPECT_EQ(api.c_str()[api.size()], u'\0');
    }
}

// Handlers that record which of them ran.
struct Recorder : CCmdTarget {
    std::vector<int> ran;
};
template <int N>
intptr_t Record(CCmdTarget& target, uintptr_t, intptr_t) {
    static_cast<Recorder&>(target).ran.push_back(N);
    return N;
}

constexpr uint32_t kSysCommand = 0x0112;
constexpr uint32_t kSize = 0x0005;
constexpr uintptr_t Command(uint32_t code, uint32_t id) { return (uintptr_t{code} << 16) | id; }

const MessageMapEntry kBaseEntries[] = {
    {kWmCommand, 0, 1, &Record<1>},   // IDOK
    {kWmCommand, 0, 2, &Record<2>},   // IDCANCEL
    {kSize, 0, 0, &Record<3>},
};
const MessageMap kBase = {nullptr, kBaseEntries, 3};
const MessageMapEntry kDerivedEntries[] = {
    {kSysCommand, 0, 0, &Record<10>},
    {kWmCommand, 7, 1000, &Record<11>},   // CBN_SETFOCUS of 1000
    {kWmCommand, 1, 1000, &Record<12>},   // CBN_SELCHANGE of 1000
    {kWmCommand, 0, 1016, &Record<13>},
    {kWmCommand, 0, 2, &Record<14>},      // overrides the base's IDCANCEL
};
const MessageMap kDerived = {&kBase, kDerivedEntries, 5};

int HandlerFor(uint32_t message, uintptr_t wParam) {
    const MessageMapEntry* entry = FindMessageEntry(&kDerived, message, wParam);
    if (!entry) return 0;
    Recorder target;
    return static_cast<int>(entry->thunk(target, wParam, 0));
}

TEST(MessageMap, CommandsMatchOnCodeAndIdAndTheFirstMapWins) {
    const struct {
        const char* what;
        uint32_t message;
        uintptr_t wParam;
        int handler;
    } cases[] = {
        {"selection change of the vendor list", kWmCommand, Command(1, 1000), 12},
        {"focus of the vendor list", kWmCommand, Command(7, 1000), 11},
        {"another notification of the same list", kWmCommand, Command(3, 1000), 0},
        {"the same code from another control", kWmCommand, Command(1, 1002), 0},
        {"a click of the MAB box", kWmCommand, Command(0, 1016), 13},
        {"OK from the base map", kWmCommand, Command(0, 1), 1},
        {"Cancel, overridden by the derived map", kWmCommand, Command(0, 2), 14},
        {"any system command, whatever its parameter", kSysCommand, 0xF060, 10},
        {"a system command of 17", kSysCommand, 17, 10},
        {"a window message of the base map", kSize, 0x00010002, 3},
        {"a message no map names", 0x0200, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(HandlerFor(c.message, c.wParam), c.handler);
    }
}

TEST(MessageMap, AnEmptyMapDefersToItsBase) {
    const MessageMap empty = {&kBase, nullptr, 0};
    const MessageMapEntry* entry = FindMessageEntry(&empty, kWmCommand, Command(0, 1));
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->thunk, &Record<1>);
    EXPECT_EQ(FindMessageEntry(nullptr, kWmCommand, Command(0, 1)), nullptr);
}

}  // namespace
}  // namespace winui
