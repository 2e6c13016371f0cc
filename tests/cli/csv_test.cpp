// The batch file reader: RFC 4180 fields and records, and the two encodings.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/csv.h"

namespace {

using Fields = std::vector<std::u16string>;

struct Row {
    int number;
    Fields fields;
};

TEST(CsvTest, FieldsAndRecordsAsRfc4180WritesThem) {
    struct Case {
        std::u16string text;
        std::vector<Row> rows;
    } cases[] = {
        {u"a,b\r\nc,d\r\n", {{1, {u"a", u"b"}}, {2, {u"c", u"d"}}}},
        {u"a,b\nc,d", {{1, {u"a", u"b"}}, {2, {u"c", u"d"}}}},
        {u"a,b\rc,d\r", {{1, {u"a", u"b"}}, {2, {u"c", u"d"}}}},
        // Quoted: commas, doubled quotes and line breaks are field text.
        {u"\"a,b\",\"say \"\"hi\"\"\"\n", {{1, {u"a,b", u"say \"hi\""}}}},
        {u"\"two\r\nlines\",x\ny\n", {{1, {u"two\r\nlines", u"x"}}, {2, {u"y"}}}},
        {u"\"\",\"\"\n", {{1, {u"", u""}}}},
        // Empty fields, at either end.
        {u",a,\n", {{1, {u"", u"a", u""}}}},
        // Blanks are field text; a quote inside an unquoted field is kept.
        {u" a , b\"c\n", {{1, {u" a ", u" b\"c"}}}},
        // Empty lines are no records but count as rows, as a spreadsheet shows them.
        {u"h\n\n\nr\n", {{1, {u"h"}}, {4, {u"r"}}}},
        {u"", {}},
    };
    for (const Case& c : cases) {
        cli::CsvTable table = cli::ParseCsv(c.text);
        EXPECT_TRUE(table.error.empty());
        ASSERT_EQ(c.rows.size(), table.records.size());
        for (size_t i = 0; i < c.rows.size(); ++i) {
            EXPECT_EQ(c.rows[i].number, table.records[i].number);
            EXPECT_EQ(c.rows[i].fields, table.records[i].fields);
        }
    }
}

TEST(CsvTest, MalformedQuotingNamesTheRowItStartsIn) {
    struct Case {
        std::u16string text;
        int row;
    } cases[] = {
        {u"h\n\"never closed,\nmore\n", 2},
        {u"h\nx\n\"a\"b,c\n", 3},
    };
    for (const Case& c : cases) {
        cli::CsvTable table = cli::ParseCsv(c.text);
        EXPECT_FALSE(table.error.empty());
        EXPECT_EQ(c.row, table.errorRow);
    }
}

TEST(CsvTest, Utf8AfterAByteOrderMarkAnsiOtherwise) {
    std::u16string text;
    ASSERT_TRUE(cli::DecodeCsvBytes("\xEF\xBB\xBF\xE5\x8D\x8E\xE4\xB8\xBA,a", text));
    EXPECT_EQ(u"华为,a", text);
    // The same name in GBK, as a spreadsheet on a Chinese Windows saves it.
    ASSERT_TRUE(cli::DecodeCsvBytes("\xBB\xAA\xCE\xAA,a", text));
    EXPECT_EQ(u"华为,a", text);
    ASSERT_TRUE(cli::DecodeCsvBytes("", text));
    EXPECT_EQ(u"", text);
}

}  // namespace
