#include "cli/csv.h"

#include "platform/codepage.h"

namespace cli {

bool DecodeCsvBytes(std::string_view bytes, WString& text) {
    constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
    if (bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom) {
        text = Utf8ToWide(bytes.substr(kUtf8Bom.size()));
        return true;
    }
    text.clear();
    if (bytes.empty()) return true;
    return platform::DecodeMultiByte(platform::CodePage::SystemAnsi, bytes, text);
}

CsvTable ParseCsv(WStringView text) {
    CsvTable table;
    CsvRecord record;
    WString field;
    int row = 1;
    size_t i = 0;
    const size_t n = text.size();

    auto endRecord = [&] {
        record.fields.push_back(std::move(field));
        field.clear();
        bool blank = record.fields.size() == 1 && record.fields[0].empty();
        if (!blank) {
            record.number = row;
            table.records.push_back(std::move(record));
        }
        record = CsvRecord();
        ++row;
    };
    // Consumes a line end at i (CR LF, LF or CR); false when there is none.
    auto lineEnd = [&] {
        if (text[i] == u'\r') {
            ++i;
            if (i < n && text[i] == u'\n') ++i;
            return true;
        }
        if (text[i] == u'\n') {
            ++i;
            return true;
        }
        return false;
    };

    while (i < n) {
        if (text[i] == u'"' && field.empty()) {
            const int startRow = row;
            ++i;
            for (;;) {
                if (i >= n) {
                    table.error = u"a quoted field is not closed";
                    table.errorRow = startRow;
                    return table;
                }
                if (text[i] == u'"') {
                    if (i + 1 < n && text[i + 1] == u'"') {
                        field += u'"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                field += text[i++];
            }
            // After the closing quote only a separator or the end may follow.
            if (i < n && text[i] != u',' && text[i] != u'\r' && text[i] != u'\n') {
                table.error = u"text after the closing quote of a field";
                table.errorRow = startRow;
                return table;
            }
            // The record number counts records, not the line breaks inside
            // quoted fields.
            continue;
        }
        if (text[i] == u',') {
            record.fields.push_back(std::move(field));
            field.clear();
            ++i;
            continue;
        }
        if (lineEnd()) {
            endRecord();
            continue;
        }
        field += text[i++];
    }
    if (!field.empty() || !record.fields.empty()) endRecord();
    return table;
}

}  // namespace cli
