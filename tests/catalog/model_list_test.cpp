#include "catalog/model_list.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "catalog_test_support.h"
#include "tests/support/gtest_files.h"

using namespace catalog;
using catalog_test::TestHeap;
using testsupport::TestFolder;
using testsupport::Write;

namespace {

// Records what the fill does to the list, in order.
class RecordingList : public ModelList {
public:
    void ResetContent() override {
        calls.push_back("reset");
        items.clear();
        selection = -1;
    }
    void InsertString(int index, const WString& text) override {
        calls.push_back("insert " + std::to_string(index));
        ASSERT_GE(index, 0);
        ASSERT_LE(static_cast<size_t>(index), items.size());
        items.insert(items.begin() + index, text);
    }
    void SetCurSel(int index) override {
        calls.push_back("select " + std::to_string(index));
        selection = index < static_cast<int>(items.size()) ? index : -1;
    }

    std::vector<std::string> calls;
    std::vector<WString> items;
    int selection = -1;
};

// The list file of the Huawei position, in GBK with CR LF line ends.
void WriteHwList(const std::string& text) { Write("config/hw_switch_model.ini", text); }

class ModelListTest : public testing::Test {
protected:
    void TearDown() override { EXPECT_EQ(heap.live(), 0) << "the fill kept blocks"; }

    RecordingList Fill(int vendor) {
        RecordingList list;
        list.items = {u"stale"};
        FillModelCombo(list, vendor);
        return list;
    }

    TestFolder folder;
    TestHeap heap;
};

const std::string kFiveNames = "[TYPE]\r\nTYPE0 = A0\r\nTYPE1 = A1\r\nTYPE2 = A2\r\nTYPE3 = A3\r\nTYPE4 = A4\r\n";

}  // namespace

TEST(ModelListFile, OnePathPerVendorPosition) {
    EXPECT_STREQ(ModelListFile(0), "config\\hw_switch_model.ini");
    EXPECT_STREQ(ModelListFile(1), "config\\h3c_switch_model.ini");
    EXPECT_STREQ(ModelListFile(2), "config\\cisco_switch_model.ini");
    for (int vendor : {-1, 3, 100, -2147483647 - 1}) EXPECT_EQ(ModelListFile(vendor), nullptr);
}

TEST_F(ModelListTest, NamesInFileOrderFirstSelected) {
    WriteHwList("; comment\r\n[config]\r\ncount = 3\r\n[TYPE]\r\nTYPE2 = third\r\nTYPE0 = first\r\nTYPE1 = second\r\n");
    const RecordingList list = Fill(0);
    EXPECT_EQ(list.calls, (std::vector<std::string>{"reset", "insert 0", "insert 1", "insert 2", "select 0"}));
    EXPECT_EQ(list.items, (std::vector<WString>{u"first", u"second", u"third"}));
    EXPECT_EQ(list.selection, 0);
}

TEST_F(ModelListTest, CountForms) {
    const struct { const char* config; std::vector<WString> names; } cases[] = {
        {"[config]\r\ncount = 2\r\n", {u"A0", u"A1"}},
        {"[config]\r\ncount = 0\r\n", {}},
        {"[config]\r\ncount = -1\r\n", {}},
        {"[config]\r\ncount = abc\r\n", {}},
        {"[config]\r\ncount = 2x\r\n", {u"A0", u"A1"}},
        {"[config]\r\ncount =  2\r\n", {u"A0", u"A1"}},
        {"[config]\r\ncount = \t+3\r\n", {u"A0", u"A1", u"A2"}},
        {"[config]\r\ncount = 07\r\n", {u"A0", u"A1", u"A2", u"A3", u"A4", u"", u""}},
        {"[config]\r\ncount =\r\n", {}},
        {"[config]\r\ncount = \r\n", {}},
        {"[config]\r\nother = 2\r\n", {}},
        {"[settings]\r\ncount = 2\r\n", {}},
        {"", {}},
        {"[config]\r\ncount  = 2\r\n", {}},  // the key is "count " then
        {"[CONFIG]\r\nCOUNT = 1\r\n", {u"A0"}},
        {"[Config]\r\nCount = 1\r\n", {u"A0"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.config);
        WriteHwList(std::string(c.config) + kFiveNames);
        const RecordingList list = Fill(0);
        EXPECT_EQ(list.items, c.names);
        EXPECT_EQ(list.calls.front(), "reset");
        EXPECT_EQ(list.calls.back(), "select 0");  // also when there is nothing to select
        EXPECT_EQ(list.selection, c.names.empty() ? -1 : 0);
    }
}

TEST_F(ModelListTest, MissingOrUnfindableKeysGiveEmptyEntries) {
    WriteHwList("[config]\r\ncount = 4\r\n[TYPE]\r\nTYPE0 = a\r\nTYPE1  = hidden\r\nTYPE3 = d\r\n");
    EXPECT_EQ(Fill(0).items, (std::vector<WString>{u"a", u"", u"", u"d"}));
}

TEST_F(ModelListTest, KeysFromTheCountOnAreIgnored) {
    WriteHwList("[config]\r\ncount = 2\r\n" + kFiveNames);
    EXPECT_EQ(Fill(0).items, (std::vector<WString>{u"A0", u"A1"}));
}

TEST_F(ModelListTest, HeadersAndKeysInAnyCase) {
    WriteHwList("[config]\r\ncount = 3\r\n[type]\r\ntype0 = lower\r\nTyPe1 = mixed\r\nTYPE2 = upper\r\n");
    EXPECT_EQ(Fill(0).items, (std::vector<WString>{u"lower", u"mixed", u"upper"}));
}

TEST_F(ModelListTest, NamesKeepTrailingBlanksAndLoseOnlyOneLeadingBlank) {
    WriteHwList("[config]\r\ncount = 3\r\n[TYPE]\r\nTYPE0 = S5700  \r\nTYPE1 =  S6700\r\nTYPE2 =S3700\t\n");
    EXPECT_EQ(Fill(0).items, (std::vector<WString>{u"S5700  ", u" S6700", u"S3700\t"}));
}

TEST_F(ModelListTest, GbkNamesShowAsChinese) {
    // iconv -f UTF-8 -t GBK: 华为 BB AA CE AA, 型号 D0 CD BA C5, 华三 BB AA C8 FD, 思科 CB BC BF C6
    WriteHwList("[config]\r\ncount = 3\r\n[TYPE]\r\nTYPE0 = \xBB\xAA\xCE\xAA-S5700\r\n"
                "TYPE1 = \xD0\xCD\xBA\xC5\r\nTYPE2 = \xBB\xAA\xC8\xFD \xCB\xBC\xBF\xC6\r\n");
    EXPECT_EQ(Fill(0).items, (std::vector<WString>{u"华为-S5700", u"型号", u"华三 思科"}));
}

TEST_F(ModelListTest, EachVendorReadsItsOwnFileOnly) {
    Write("config/h3c_switch_model.ini", "[config]\r\ncount = 1\r\n[TYPE]\r\nTYPE0 = h3c\r\n");
    EXPECT_TRUE(Fill(0).items.empty());
    EXPECT_EQ(Fill(1).items, std::vector<WString>{u"h3c"});
    EXPECT_TRUE(Fill(2).items.empty());

    Write("config/hw_switch_model.ini", "[config]\r\ncount = 1\r\n[TYPE]\r\nTYPE0 = hw\r\n");
    Write("config/cisco_switch_model.ini", "[config]\r\ncount = 1\r\n[TYPE]\r\nTYPE0 = cisco\r\n");
    EXPECT_EQ(Fill(0).items, std::vector<WString>{u"hw"});
    EXPECT_EQ(Fill(1).items, std::vector<WString>{u"h3c"});
    EXPECT_EQ(Fill(2).items, std::vector<WString>{u"cisco"});
}

TEST_F(ModelListTest, OtherVendorPositionsLeaveTheListEmptyWithoutSelection) {
    WriteHwList("[config]\r\ncount = 1\r\n[TYPE]\r\nTYPE0 = hw\r\n");
    for (int vendor : {3, -1, 1000}) {
        const RecordingList list = Fill(vendor);
        EXPECT_EQ(list.calls, std::vector<std::string>{"reset"}) << vendor;
        EXPECT_TRUE(list.items.empty());
    }
}

TEST_F(ModelListTest, AMissingFileLeavesTheListEmptyUntilItExists) {
    RecordingList list = Fill(0);
    EXPECT_EQ(list.calls, std::vector<std::string>{"reset"});
    EXPECT_TRUE(list.items.empty());

    WriteHwList("[config]\r\ncount = 1\r\n[TYPE]\r\nTYPE0 = now\r\n");
    EXPECT_EQ(Fill(0).items, std::vector<WString>{u"now"});
}

TEST_F(ModelListTest, EveryFillReadsTheFileAgain) {
    WriteHwList("[config]\r\ncount = 1\r\n[TYPE]\r\nTYPE0 = before\r\n");
    EXPECT_EQ(Fill(0).items, std::vector<WString>{u"before"});
    WriteHwList("[config]\r\ncount = 1\r\n[TYPE]\r\nTYPE0 = after\r\n");
    EXPECT_EQ(Fill(0).items, std::vector<WString>{u"after"});
}

TEST_F(ModelListTest, TheCountIsCappedAt4096) {
    const struct { const char* count; size_t entries; } cases[] = {
        {"4095", 4095}, {"4096", 4096}, {"4097", 4096}, {"2147483647", 4096}, {"99999999999999999999", 4096},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.count);
        WriteHwList(std::string("[config]\r\ncount = ") + c.count + "\r\n" + kFiveNames);
        const RecordingList list = Fill(0);
        ASSERT_EQ(list.items.size(), c.entries);
        EXPECT_EQ(list.items[4], u"A4");
        EXPECT_EQ(list.items[5], u"");
        EXPECT_EQ(list.calls.size(), c.entries + 2);
    }
}

TEST_F(ModelListTest, TheDocumentIsReleasedWhenTheListThrows) {
    class ThrowingList : public RecordingList {
    public:
        void InsertString(int index, const WString& text) override {
            if (index == 1) throw std::runtime_error("list full");
            RecordingList::InsertString(index, text);
        }
    };
    WriteHwList("[config]\r\ncount = 3\r\n" + kFiveNames);
    ThrowingList list;
    EXPECT_THROW(FillModelCombo(list, 0), std::runtime_error);
    EXPECT_EQ(list.items, std::vector<WString>{u"A0"});
    EXPECT_EQ(heap.live(), 0);
}

TEST(AnsiToWide, ConvertsFromTheAnsiCodePage) {
    EXPECT_EQ(AnsiToWide("S5700"), u"S5700");
    EXPECT_EQ(AnsiToWide(""), u"");
    EXPECT_EQ(AnsiToWide(nullptr), u"");
    EXPECT_EQ(AnsiToWide("\xBB\xAA\xCE\xAA"), u"华为");
    EXPECT_EQ(AnsiToWide("\x81\x5C"), u"乗");
}

#ifdef _WIN32
#include <windows.h>

// The GBK cases above mean something only under code page 936.
TEST(CatalogEnvironment, AnsiCodePageIsGbk) {
    ASSERT_EQ(GetACP(), 936u) << "wine must run with a zh_CN locale (see tools/wine-env.sh)";
}
#endif
