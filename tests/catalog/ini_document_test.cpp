#include "catalog/ini_document.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "catalog_test_support.h"
#include "tests/support/gtest_files.h"

using namespace catalog;
using catalog_test::HeapCall;
using catalog_test::TestHeap;
using testsupport::SetModifiedTime;
using testsupport::TestFolder;
using testsupport::Write;

namespace {

// Every test ends with the document reset and every block given back.
class IniDocumentTest : public testing::Test {
protected:
    void TearDown() override {
        Reset(&doc);
        EXPECT_EQ(heap.live(), 0) << "blocks still held after Reset";
    }

    int32_t LoadText(const std::string& text, const char* name = "t.ini") {
        Write(name, text);
        Reset(&doc);
        return Load(&doc, name);
    }

    // The value of key in section, or "<none>".
    std::string Value(const char* section, const char* key) const {
        const IniEntry* entry = FindEntry(FindSection(&doc, section), key);
        return entry ? entry->value : "<none>";
    }

    std::vector<std::string> SectionNames() const {
        std::vector<std::string> names;
        for (const HashNode* n = doc.sections.oldest; n; n = n->newer) {
            names.push_back(static_cast<IniSection*>(n->value)->name);
        }
        return names;
    }

    TestFolder folder;
    TestHeap heap;
    BlockAlloc pool;  // outlives the document that may point to it
    IniDocument doc;
};

}  // namespace

TEST(LowerKey, LowersAsciiLettersByteByByteUpTo96Bytes) {
    const struct { std::string in, out; } cases[] = {
        {"TYPE0", "type0"},
        {"MiXeD_[@Z]", "mixed_[@z]"},
        {"\xC0\xC1\xDA", "\xC0\xC1\xDA"},  // bytes above 0x7F never change
        {"\xB0\x41\xB0\x5A", "\xB0\x61\xB0\x7A"},  // a GBK trail byte in A-Z is lowered too
        {std::string(100, 'K'), std::string(96, 'k')},
        {"", ""},
    };
    for (const auto& c : cases) {
        const LowerKeyText key = LowerKey(c.in.c_str());
        EXPECT_EQ(std::string(key.bytes), c.out) << c.in;
        EXPECT_EQ(key.length, c.out.size());
    }
}

TEST_F(IniDocumentTest, KeyLineForms) {
    const struct { const char* line; const char* key; const char* value; const char* text; } cases[] = {
        {"TYPE0 = abc", "TYPE0", "abc", "TYPE0 = abc"},
        {"TYPE0=abc", "TYPE0", "abc", "TYPE0 = abc"},
        {"TYPE0 =abc", "TYPE0", "abc", "TYPE0 = abc"},
        {"TYPE0= abc", "TYPE0", "abc", "TYPE0 = abc"},
        {"  \t TYPE0 = abc", "TYPE0", "abc", "TYPE0 = abc"},
        {"TYPE0  =  abc", "TYPE0 ", " abc", "TYPE0  =  abc"},
        {"TYPE0\t= abc", "TYPE0\t", "abc", "TYPE0\t = abc"},
        {"name = abc  ", "name", "abc  ", "name = abc  "},
        {"name = a\t", "name", "a\t", "name = a\t"},
        {"name = a=b", "name", "a=b", "name = a=b"},
        {"name = =", "name", "=", "name = ="},
        {"name =", "name", "", "name = "},
        {"name = ", "name", "", "name = "},
        {"Name = Mixed Case", "nAME", "Mixed Case", "Name = Mixed Case"},
    };
    for (const char* ending : {"\n", "\r\n", ""}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.line) + (ending[0] == '\r' ? " CRLF" : ending[0] ? " LF" : " EOF"));
            ASSERT_EQ(LoadText(std::string("[s]\n") + c.line + ending), 0);
            const IniEntry* entry = FindEntry(FindSection(&doc, "s"), c.key);
            ASSERT_NE(entry, nullptr);
            EXPECT_STREQ(entry->value, c.value);
            EXPECT_STREQ(EntryText(entry), c.text);
        }
    }
}

TEST_F(IniDocumentTest, TwoBlanksAroundTheEqualsSignKeepTheKeyFromBeingFound) {
    ASSERT_EQ(LoadText("[TYPE]\r\nTYPE0  =  abc\r\n"), 0);
    EXPECT_EQ(Value("TYPE", "TYPE0"), "<none>");
    EXPECT_EQ(Value("TYPE", "TYPE0 "), " abc");
}

TEST_F(IniDocumentTest, LinesThatAreNoKeyLinesAreDropped) {
    ASSERT_EQ(LoadText("before = header\n[s]\n=abc\n = abc\nno equals sign\n\n   \r\nkept = 1\n"), 0);
    const IniSection* s = FindSection(&doc, "s");
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->entries.nodeCount, 1u);
    EXPECT_EQ(Value("s", "kept"), "1");
    EXPECT_EQ(Value("s", "before"), "<none>");
    EXPECT_EQ(doc.sections.nodeCount, 1u);
}

TEST_F(IniDocumentTest, ALoneCarriageReturnRightAfterTheEqualsSignEndsTheValue) {
    ASSERT_EQ(LoadText("[s]\na =\rrest\nb = x\ry\n"), 0);
    EXPECT_EQ(Value("s", "a"), "");
    EXPECT_EQ(Value("s", "b"), "x\ry");
}

TEST_F(IniDocumentTest, HeaderForms) {
    const struct { const char* file; const char* name; } cases[] = {
        {"[TYPE]\n", "TYPE"},
        {"[TYPE]\r\n", "TYPE"},
        {"   [TYPE]\n", "TYPE"},
        {"[ TYPE]\n", " TYPE"},
        {"[TYPE ]\n", "TYPE "},
        {"[a]b]\n", "a]b"},
        {"[]\n", ""},
        {"[TYPE] ; comment\n", "TYPE] ; comment\n"},
        {"[TYPE]\t\r\n", "TYPE]\t\r\n"},
        {"[TYPE", "TYPE"},
        {"[TYPE]", "TYPE]"},  // the last line, without a line ending
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        ASSERT_EQ(LoadText(c.file), 0);
        EXPECT_EQ(SectionNames(), std::vector<std::string>{c.name});
    }
}

TEST_F(IniDocumentTest, SectionsAndKeysAreFoundWithoutRegardToCase) {
    ASSERT_EQ(LoadText("[TYPE]\nTYPE0 = a\n[ TYPE]\nx = b\n"), 0);
    for (const char* name : {"TYPE", "Type", "type", "tYPE"}) {
        const IniSection* s = FindSection(&doc, name);
        ASSERT_NE(s, nullptr) << name;
        EXPECT_STREQ(s->name, "TYPE");
    }
    EXPECT_EQ(Value("type", "type0"), "a");
    EXPECT_EQ(Value("TYPE", "x"), "<none>");  // [ TYPE] is another section
    EXPECT_EQ(Value(" type", "X"), "b");
    EXPECT_EQ(FindSection(&doc, "TYPE0"), nullptr);
    EXPECT_EQ(FindSection(&doc, nullptr), nullptr);
    EXPECT_EQ(FindEntry(nullptr, "TYPE0"), nullptr);
}

TEST_F(IniDocumentTest, GetTypeValueGivesACopyOrTheDefault) {
    ASSERT_EQ(LoadText("[type]\nTYPE0 = S5700\nTYPE1 =\n[other]\nTYPE2 = no\n"), 0);
    EXPECT_EQ(GetTypeValue(&doc, "type0"), "S5700");
    EXPECT_EQ(GetTypeValue(&doc, "TYPE1", "dflt"), "");
    EXPECT_EQ(GetTypeValue(&doc, "TYPE2", "dflt"), "dflt");
    EXPECT_EQ(GetTypeValue(&doc, "TYPE2"), "");

    IniDocument empty;
    EXPECT_EQ(GetTypeValue(&empty, "TYPE0", "dflt"), "dflt");
}

TEST_F(IniDocumentTest, RepeatedKeysKeepTheFirstValueRepeatedHeadersContinue) {
    ASSERT_EQ(LoadText("[a]\nk = 1\nK = 2\n[b]\nk = 3\n[A]\nk = 4\nj = 5\n"), 0);
    EXPECT_EQ(SectionNames(), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(Value("a", "k"), "1");
    EXPECT_EQ(Value("a", "j"), "5");
    EXPECT_EQ(Value("b", "k"), "3");
    EXPECT_EQ(FindSection(&doc, "a")->entries.nodeCount, 2u);
}

TEST_F(IniDocumentTest, KeysAndNamesAreToldApartByTheirFirst96Bytes) {
    const std::string stem(96, 'k');
    ASSERT_EQ(LoadText("[s]\n" + stem + "A = first\n" + stem + "B = second\n" + stem.substr(0, 95) +
                       " = short\n"),
              0);
    const IniSection* s = FindSection(&doc, "s");
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->entries.nodeCount, 2u);
    EXPECT_EQ(Value("s", (stem + "whatever").c_str()), "first");
    EXPECT_EQ(Value("s", stem.substr(0, 95).c_str()), "short");

    const std::string name(96, 'N');
    ASSERT_EQ(LoadText("[" + name + "1]\na = 1\n[" + name + "2]\nb = 2\n"), 0);
    EXPECT_EQ(SectionNames(), std::vector<std::string>{name + "1"});
    EXPECT_EQ(Value(name.c_str(), "b"), "2");
}

TEST_F(IniDocumentTest, KeyTablesFollowTheHint) {
    std::string text = "[first]\na = 1\n[big]\n";
    for (int i = 0; i < 30; ++i) text += "k" + std::to_string(i) + " = v\n";
    text += "[next]\na = 1\n[twelve]\n";
    for (int i = 0; i < 12; ++i) text += "k" + std::to_string(i) + " = v\n";
    text += "[last]\na = 1\n[nokeys]\n";
    doc.keyTableSizeHint = 10;
    ASSERT_EQ(LoadText(text), 0);
    EXPECT_EQ(FindSection(&doc, "first")->entries.bucketCount, 11u);
    EXPECT_EQ(FindSection(&doc, "big")->entries.bucketCount, 53u);  // grew from 11 through 19
    EXPECT_EQ(FindSection(&doc, "next")->entries.bucketCount, 53u);
    // the hint is the count of the section that last grew past ten, not the largest
    EXPECT_EQ(FindSection(&doc, "last")->entries.bucketCount, 19u);
    EXPECT_EQ(doc.keyTableSizeHint, 12u);
    EXPECT_EQ(FindSection(&doc, "nokeys")->entries.buckets, nullptr);
    EXPECT_EQ(doc.sections.bucketCount, 53u);
}

TEST_F(IniDocumentTest, TheHintCarriesOverToTheNextLoad) {
    std::string text = "[big]\n";
    for (int i = 0; i < 30; ++i) text += "k" + std::to_string(i) + " = v\n";
    doc.keyTableSizeHint = 10;
    ASSERT_EQ(LoadText(text), 0);
    ASSERT_EQ(LoadText("[small]\na = 1\n"), 0);
    EXPECT_EQ(FindSection(&doc, "small")->entries.bucketCount, 53u);
}

TEST_F(IniDocumentTest, CommentLinesFormThePreambleAndSectionComments) {
    ASSERT_EQ(LoadText("; first\r\n  # second\r\n[a]\r\nk = 1\r\n; of a\r\n\t;also a\n[b]\r\n;of b\r\n[a]\r\n"
                       "; a again\r\n[c]\r\n; of c, at the end"),
              0);
    ASSERT_NE(doc.preamble, nullptr);
    EXPECT_STREQ(doc.preamble, "; first\r\n  # second\r\n");
    EXPECT_STREQ(FindSection(&doc, "b")->comment, ";of b\r\n");
    EXPECT_STREQ(FindSection(&doc, "a")->comment, "; a again\r\n");  // a later body replaces it
    EXPECT_STREQ(FindSection(&doc, "c")->comment, "; of c, at the end");
    EXPECT_EQ(Value("a", "k"), "1");
}

TEST_F(IniDocumentTest, CommentsOfAFileWithoutHeadersAreItsPreamble) {
    ASSERT_EQ(LoadText("; only\nkey = ignored\n# comments\n"), 0);
    EXPECT_STREQ(doc.preamble, "; only\n# comments\n");
    EXPECT_EQ(doc.sections.buckets, nullptr);
    EXPECT_EQ(FindSection(&doc, "config"), nullptr);
}

TEST_F(IniDocumentTest, LongLinesArriveInPiecesOfAtMost65534Characters) {
    const std::string head = "long = ";
    const std::string filler(kIniLinePieceMax - head.size(), 'x');
    ASSERT_EQ(LoadText("[s]\n" + head + filler + "tail = 2\nnext = 3\n"), 0);
    EXPECT_EQ(Value("s", "long"), filler);
    EXPECT_EQ(Value("s", "tail"), "2");  // the second piece reads as a line of its own
    EXPECT_EQ(Value("s", "next"), "3");

    ASSERT_EQ(LoadText("[s]\n" + head + filler + "\nnext = 3\n"), 0);
    EXPECT_EQ(Value("s", "long"), filler);  // the line feed alone is the next piece
    EXPECT_EQ(Value("s", "next"), "3");
}

TEST_F(IniDocumentTest, ABytesTwentySixIsJustAByte) {
    // Windows' text mode would end the file here; both builds must read on.
    ASSERT_EQ(LoadText("; c\r\n[s]\r\na = x\x1Ay\r\n\x1A\r\nb = z\r\n"), 0);
    EXPECT_EQ(Value("s", "a"), "x\x1Ay");
    EXPECT_EQ(Value("s", "b"), "z");
    EXPECT_STREQ(doc.preamble, "; c\r\n");  // the line end as it is in the file
}

TEST_F(IniDocumentTest, GbkTextIsKeptAsBytes) {
    // 华为 in GBK; its second byte pair holds no ASCII, but 0x5C-style trail
    // bytes must pass untouched too.
    ASSERT_EQ(LoadText("[TYPE]\r\nTYPE0 = \xBB\xAA\xCE\xAA\x81\x5C\r\n"), 0);
    EXPECT_EQ(Value("TYPE", "TYPE0"), "\xBB\xAA\xCE\xAA\x81\x5C");
}

TEST_F(IniDocumentTest, LoadRecordsTheNameAndTheModificationTime) {
    Write("t.ini", "[s]\na = 1\n");
    SetModifiedTime("t.ini", 1600000000);
    ASSERT_EQ(Load(&doc, "t.ini"), 0);
    EXPECT_STREQ(doc.fileName, "t.ini");
    EXPECT_EQ(doc.modifiedTime, 1600000000u);
}

TEST_F(IniDocumentTest, AMissingFileGivesMinusOneAndAnEmptyDocument) {
    EXPECT_EQ(LoadIfChanged(&doc, "missing.ini"), -1);
    EXPECT_STREQ(doc.fileName, "missing.ini");
    EXPECT_EQ(doc.modifiedTime, 0u);
    EXPECT_EQ(doc.sections.buckets, nullptr);
    EXPECT_EQ(doc.preamble, nullptr);

    Write("missing.ini", "[s]\na = 1\n");
    EXPECT_EQ(LoadIfChanged(&doc, "missing.ini"), 0);  // tried again
    EXPECT_EQ(Value("s", "a"), "1");
}

TEST_F(IniDocumentTest, AFolderIsAFileThatCannotBeOpened) {
    Write("folder.ini/inside.ini", "[s]\na = 1\n");
    EXPECT_EQ(LoadIfChanged(&doc, "folder.ini"), -1);
    EXPECT_EQ(doc.sections.buckets, nullptr);
    EXPECT_EQ(doc.modifiedTime, 0u);
}

TEST_F(IniDocumentTest, LoadIfChangedReadsOnceUntilTheFileIsTouched) {
    Write("list.ini", "[s]\nv = old\n");
    SetModifiedTime("list.ini", 1500000000);
    ASSERT_EQ(LoadIfChanged(&doc, "list.ini"), 0);
    EXPECT_EQ(Value("s", "v"), "old");

    // New content, same modification time: the document is current.
    Write("list.ini", "[s]\nv = new\n");
    SetModifiedTime("list.ini", 1500000000);
    ASSERT_EQ(LoadIfChanged(&doc, "list.ini"), 0);
    EXPECT_EQ(Value("s", "v"), "old");
    ASSERT_EQ(LoadIfChanged(&doc, "LIST.INI"), 0);  // the same file to Windows
    EXPECT_EQ(Value("s", "v"), "old");

    SetModifiedTime("list.ini", 1500000001);
    ASSERT_EQ(LoadIfChanged(&doc, "list.ini"), 0);
    EXPECT_EQ(Value("s", "v"), "new");
    EXPECT_EQ(doc.modifiedTime, 1500000001u);

    Write("other.ini", "[s]\nv = other\n");
    SetModifiedTime("other.ini", 1500000001);
    ASSERT_EQ(LoadIfChanged(&doc, "other.ini"), 0);
    EXPECT_EQ(Value("s", "v"), "other");
    EXPECT_STREQ(doc.fileName, "other.ini");
}

TEST_F(IniDocumentTest, LoadIfChangedWithoutANameLeavesTheDocumentAlone) {
    ASSERT_EQ(LoadText("[s]\na = 1\n"), 0);
    const uint32_t time = doc.modifiedTime;
    EXPECT_EQ(LoadIfChanged(&doc, nullptr), -1);
    EXPECT_EQ(LoadIfChanged(&doc, ""), -1);
    EXPECT_STREQ(doc.fileName, "t.ini");
    EXPECT_EQ(doc.modifiedTime, time);
    EXPECT_EQ(Value("s", "a"), "1");
}

TEST_F(IniDocumentTest, NamesLongerThan254CharactersAreRefusedBeforeOpening) {
    const std::string fits(kIniFileNameMax, 'n');
    EXPECT_EQ(LoadIfChanged(&doc, fits.c_str()), -1);  // no such file, but the name is taken
    EXPECT_EQ(std::string(doc.fileName), fits);

    const std::string tooLong(kIniFileNameMax + 1, 'n');
    ASSERT_EQ(LoadText("[s]\na = 1\n"), 0);
    EXPECT_EQ(LoadIfChanged(&doc, tooLong.c_str()), -1);
    EXPECT_STREQ(doc.fileName, "");
    EXPECT_EQ(doc.sections.buckets, nullptr);
    Reset(&doc);
    EXPECT_EQ(Load(&doc, tooLong.c_str()), -1);
    EXPECT_STREQ(doc.fileName, "");
}

TEST_F(IniDocumentTest, ReleaseAndReset) {
    doc.pool = &pool;
    doc.keyTableSizeHint = 7;
    ASSERT_EQ(LoadText("; p\n[s]\na = 1\n"), 0);
    Release(&doc);
    EXPECT_EQ(doc.released, 1);
    EXPECT_EQ(doc.preamble, nullptr);
    EXPECT_EQ(doc.sections.buckets, nullptr);
    EXPECT_EQ(doc.sections.nodeCount, 0u);
    EXPECT_EQ(pool.head, nullptr);
    EXPECT_STREQ(doc.fileName, "t.ini");
    Release(&doc);  // a second release finds nothing to free

    Reset(&doc);
    EXPECT_EQ(doc.released, 0);
    EXPECT_STREQ(doc.fileName, "");
    EXPECT_EQ(doc.modifiedTime, 0u);
    EXPECT_EQ(doc.keyTableSizeHint, 7u);
    EXPECT_EQ(doc.pool, &pool);
}

TEST_F(IniDocumentTest, APoolHoldsRecordsAndNodesAndLoadsTheSameDocument) {
    std::string text = "; p\n";
    for (int s = 0; s < 200; ++s) {
        text += "[sec" + std::to_string(s) + "]\n; c\n";
        for (int k = 0; k < 20; ++k) text += "key" + std::to_string(k) + " = value " + std::to_string(s * k) + "\n";
    }
    doc.pool = &pool;
    ASSERT_EQ(LoadText(text), 0);
    EXPECT_NE(pool.head, nullptr);
    EXPECT_EQ(doc.sections.nodeCount, 200u);
    EXPECT_EQ(Value("SEC199", "KEY19"), "value " + std::to_string(199 * 19));
    EXPECT_EQ(FindSection(&doc, "sec7")->entries.pool, &pool);
    const long withPool = heap.live();

    IniDocument plain;
    Write("t.ini", text);
    ASSERT_EQ(Load(&plain, "t.ini"), 0);
    EXPECT_EQ(GetTypeValue(&plain, "x", "d"), "d");
    EXPECT_EQ(FindEntry(FindSection(&plain, "sec199"), "key19")->value, Value("sec199", "key19"));
    EXPECT_GT(heap.live() - withPool, 200 * 20);  // one block per entry and per node without a pool
    Release(&plain);
}
