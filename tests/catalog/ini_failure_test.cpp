// Exhausted memory at each allocation of the INI document: the right result,
// and nothing kept when the document is released.
#include <gtest/gtest.h>

#include <string>

#include "catalog/ini_document.h"
#include "catalog/model_list.h"
#include "catalog_test_support.h"
#include "tests/support/gtest_files.h"

using namespace catalog;
using catalog_test::HeapCall;
using catalog_test::TestHeap;
using testsupport::TestFolder;
using testsupport::Write;

namespace {

class IniFailureTest : public testing::Test {
protected:
    void TearDown() override {
        heap.FailNone();
        Reset(&doc);
        EXPECT_EQ(heap.live(), 0) << "blocks still held after Reset";
    }

    IniSection* NewSection(const char* name) {
        IniSection* section = GetOrCreateSection(&doc, name);
        EXPECT_NE(section, nullptr);
        return section;
    }

    TestFolder folder;
    TestHeap heap;
    BlockAlloc pool;  // outlives the document that may point to it
    IniDocument doc;
};

}  // namespace

TEST_F(IniFailureTest, KeyTableThatCannotBeCreated) {
    IniSection* s = NewSection("s");
    heap.FailCall(HeapCall::Calloc, 1);
    EXPECT_EQ(AddEntry(&doc, s, "k", "v", &doc.keyTableSizeHint), -2);
    EXPECT_EQ(s->entries.buckets, nullptr);
    EXPECT_EQ(AddEntry(&doc, s, "k", "v", &doc.keyTableSizeHint), 0);
    EXPECT_STREQ(FindEntry(s, "K")->value, "v");
}

TEST_F(IniFailureTest, EntryThatCannotBeAllocated) {
    IniSection* s = NewSection("s");
    ASSERT_EQ(AddEntry(&doc, s, "first", "1", &doc.keyTableSizeHint), 0);
    heap.FailCall(HeapCall::Malloc, 1);
    EXPECT_EQ(AddEntry(&doc, s, "k", "v", &doc.keyTableSizeHint), -3);
    EXPECT_EQ(FindEntry(s, "k"), nullptr);
    EXPECT_EQ(s->entries.nodeCount, 1u);
}

TEST_F(IniFailureTest, KeyTableRefusingTheKey) {
    IniSection* s = NewSection("s");
    ASSERT_EQ(AddEntry(&doc, s, "Key", "first", &doc.keyTableSizeHint), 0);
    EXPECT_EQ(AddEntry(&doc, s, "KEY", "second", &doc.keyTableSizeHint), -4);  // equal after lowering
    heap.FailCall(HeapCall::Malloc, 2);  // the entry is granted, its node is not
    EXPECT_EQ(AddEntry(&doc, s, "other", "x", &doc.keyTableSizeHint), -4);
    EXPECT_TRUE(heap.failed());
    EXPECT_STREQ(FindEntry(s, "key")->value, "first");
    EXPECT_EQ(FindEntry(s, "other"), nullptr);
}

TEST_F(IniFailureTest, ParseKeyLineResults) {
    IniSection* s = NewSection("s");
    char noEquals[] = "no equals";
    char leadingEquals[] = "=x";
    char good[] = "k = v\r\n";
    char again[] = "K=w";
    EXPECT_EQ(ParseKeyLine(&doc, s, noEquals, &doc.keyTableSizeHint), -1);
    EXPECT_EQ(ParseKeyLine(&doc, s, leadingEquals, &doc.keyTableSizeHint), -1);
    EXPECT_EQ(ParseKeyLine(&doc, s, good, &doc.keyTableSizeHint), 0);
    EXPECT_EQ(ParseKeyLine(&doc, s, again, &doc.keyTableSizeHint), -4);
    heap.FailCall(HeapCall::Malloc, 1);
    char other[] = "o = 1";
    EXPECT_EQ(ParseKeyLine(&doc, s, other, &doc.keyTableSizeHint), -3);
}

TEST_F(IniFailureTest, SectionsThatCannotBeCreated) {
    heap.FailCall(HeapCall::Calloc, 1);  // the section table
    EXPECT_EQ(GetOrCreateSection(&doc, "a"), nullptr);
    EXPECT_EQ(doc.sections.buckets, nullptr);

    NewSection("a");
    heap.FailCall(HeapCall::Malloc, 1);  // the record
    EXPECT_EQ(GetOrCreateSection(&doc, "b"), nullptr);
    heap.FailCall(HeapCall::Malloc, 2);  // its name
    EXPECT_EQ(GetOrCreateSection(&doc, "b"), nullptr);
    heap.FailCall(HeapCall::Malloc, 3);  // its table node
    EXPECT_EQ(GetOrCreateSection(&doc, "b"), nullptr);
    EXPECT_EQ(doc.sections.nodeCount, 1u);
    heap.FailAll(HeapCall::Malloc);
    EXPECT_NE(GetOrCreateSection(&doc, "A"), nullptr);  // an existing one costs nothing
}

TEST_F(IniFailureTest, LoadStopsAtASectionThatCannotBeCreatedAndClosesTheFile) {
    Write("t.ini", "[a]\nk = 1\n[b]\nk = 2\n");
    // mallocs: line buffer, a's record, name, node, entry, node, b's record
    heap.FailCall(HeapCall::Malloc, 7);
    EXPECT_EQ(Load(&doc, "t.ini"), -2);
    EXPECT_TRUE(heap.failed());
    EXPECT_STREQ(FindEntry(FindSection(&doc, "a"), "k")->value, "1");  // what was read stays
    EXPECT_EQ(FindSection(&doc, "b"), nullptr);
    EXPECT_EQ(doc.modifiedTime, 0u);  // so the next LoadIfChanged reads it again
    EXPECT_TRUE(testsupport::Remove("t.ini"));  // Windows refuses while the file is open

    heap.FailNone();
    Write("t.ini", "[a]\nk = 1\n[b]\nk = 2\n");
    EXPECT_EQ(LoadIfChanged(&doc, "t.ini"), 0);
    EXPECT_STREQ(FindEntry(FindSection(&doc, "b"), "k")->value, "2");
}

TEST_F(IniFailureTest, LoadWithoutALineBuffer) {
    Write("t.ini", "[a]\nk = 1\n");
    heap.FailCall(HeapCall::Malloc, 1);
    EXPECT_EQ(Load(&doc, "t.ini"), -2);
    EXPECT_EQ(doc.sections.buckets, nullptr);
    EXPECT_TRUE(testsupport::Remove("t.ini"));
}

TEST_F(IniFailureTest, APoolThatCannotGetItsFirstBlock) {
    doc.pool = &pool;
    Write("t.ini", "[a]\nk = 1\n");
    heap.FailCall(HeapCall::Malloc, 2);  // after the line buffer: the pool's first block
    testing::internal::CaptureStdout();
    EXPECT_EQ(Load(&doc, "t.ini"), -2);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "file:catalog/blockalloc.h, line:39, malloc failed !!!!!\n");
}

// Every allocation of a load, refused in turn: each gives 0 (a dropped line
// or comment) or -2, and the document always releases cleanly.
TEST_F(IniFailureTest, EveryAllocationOfALoadRefusedInTurn) {
    std::string text = "; preamble\r\n[config]\r\ncount = 3\r\n; comment\r\n[TYPE]\r\n";
    for (int i = 0; i < 14; ++i) text += "TYPE" + std::to_string(i) + " = name " + std::to_string(i) + "\r\n";
    text += "[TYPE]\r\nextra = 1\r\n; end\r\n";
    Write("t.ini", text);
    for (bool withPool : {false, true}) {
        doc.pool = withPool ? &pool : nullptr;
        int refused = 0;
        for (int n = 1;; ++n) {
            SCOPED_TRACE("allocation " + std::to_string(n) + (withPool ? " with pool" : ""));
            heap.FailCall(HeapCall::Any, n);
            testing::internal::CaptureStdout();
            Reset(&doc);
            const int32_t result = Load(&doc, "t.ini");
            testing::internal::GetCapturedStdout();
            const bool failed = heap.failed();
            heap.FailNone();
            EXPECT_TRUE(result == 0 || result == -2) << result;
            Reset(&doc);
            EXPECT_EQ(heap.live(), 0);
            if (!failed) {
                EXPECT_EQ(result, 0);
                break;
            }
            ++refused;
        }
        EXPECT_GT(refused, withPool ? 5 : 40);
    }
}

TEST_F(IniFailureTest, AModelListFillWithoutMemoryGivesAnEmptyList) {
    struct List : ModelList {
        int inserted = 0;
        void ResetContent() override { inserted = 0; }
        void InsertString(int, const WString&) override { ++inserted; }
        void SetCurSel(int) override {}
    };
    Write("config/hw_switch_model.ini", "[config]\r\ncount = 1\r\n[TYPE]\r\nTYPE0 = a\r\n");
    heap.FailCall(HeapCall::Calloc, 1);
    List list;
    FillModelCombo(list, 0);
    EXPECT_EQ(list.inserted, 0);
    EXPECT_EQ(heap.live(), 0);
}
