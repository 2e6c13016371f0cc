// Batch files: comma-separated records as RFC 4180 writes them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/text.h"

namespace cli {

struct CsvRecord {
    int number = 0;  // 1-based, the header being 1: the row a spreadsheet shows
    std::vector<WString> fields;
};

struct CsvTable {
    std::vector<CsvRecord> records;
    WString error;     // empty when the whole text parsed
    int errorRow = 0;  // the record the error is in
};

// The text of a batch file's bytes: UTF-8 after a byte-order mark (a
// spreadsheet's "CSV UTF-8"), the ANSI code page otherwise (what a
// spreadsheet on a Chinese Windows saves as plain CSV). False when the bytes
// cannot be decoded at all.
bool DecodeCsvBytes(std::string_view bytes, WString& text);

// Fields separated by commas, records by CR LF, LF or CR. A field that starts
// with a quote runs to the matching quote and may hold commas, line breaks
// and doubled quotes; a quote inside an unquoted field is kept as it is.
// Empty lines are no records, but they count in the row numbers.
CsvTable ParseCsv(WStringView text);

}  // namespace cli
