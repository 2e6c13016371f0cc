#include "cli/batch.h"

#include <algorithm>
#include <filesystem>
#include <optional>

#include "cli/app.h"
#include "cli/console.h"
#include "cli/csv.h"
#include "cli/form.h"
#include "cli/press.h"
#include "platform/file.h"
#include "platform/file_exception.h"

namespace cli {
namespace {

enum class Column {
    Vendor, Model, ServerIp, AuthPort, AcctPort, SecretKey, Interface,
    Mab, MabDelay, EscapeVlan, GuestVlan, SingleTerminal, Out,
};

struct ColumnName {
    const char16_t* name;
    Column column;
};

// The columns are named after generate's long options.
const ColumnName kColumns[] = {
    {u"vendor", Column::Vendor},         {u"model", Column::Model},
    {u"server-ip", Column::ServerIp},    {u"auth-port", Column::AuthPort},
    {u"acct-port", Column::AcctPort},    {u"secret-key", Column::SecretKey},
    {u"interface", Column::Interface},   {u"mab", Column::Mab},
    {u"mab-delay", Column::MabDelay},    {u"escape-vlan", Column::EscapeVlan},
    {u"guest-vlan", Column::GuestVlan},  {u"single-terminal", Column::SingleTerminal},
    {u"out", Column::Out},
};

char16_t LowerAscii(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c; }

WString Lower(WStringView text) {
    WString lower(text);
    for (char16_t& c : lower) c = LowerAscii(c);
    return lower;
}

WString Trim(WStringView text) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && (text[begin] == u' ' || text[begin] == u'\t')) ++begin;
    while (end > begin && (text[end - 1] == u' ' || text[end - 1] == u'\t')) --end;
    return WString(text.substr(begin, end - begin));
}

std::optional<bool> ParseSwitch(WStringView cell) {
    WString value = Lower(Trim(cell));
    for (const char16_t* on : {u"1", u"yes", u"y", u"true", u"on", u"x"})
        if (value == on) return true;
    for (const char16_t* off : {u"0", u"no", u"n", u"false", u"off"})
        if (value == off) return false;
    return std::nullopt;
}

bool IsReservedDeviceName(WStringView name) {
    WString stem = Lower(name.substr(0, name.find(u'.')));
    for (const char16_t* device : {u"con", u"prn", u"aux", u"nul"})
        if (stem == device) return true;
    return stem.size() == 4 && (stem.compare(0, 3, u"com") == 0 || stem.compare(0, 3, u"lpt") == 0) &&
           stem[3] >= u'1' && stem[3] <= u'9';
}

// A name that stays inside the output folder and that Windows accepts: no
// path separators, none of the characters Windows forbids, no trailing
// blanks or dots, no device name.
WString SanitiseFileName(WStringView name) {
    WString safe;
    for (char16_t c : name) safe += platform::IsForbiddenInFileName(c) ? u'_' : c;
    while (!safe.empty() && (safe.back() == u' ' || safe.back() == u'.')) safe.pop_back();
    if (!safe.empty() && IsReservedDeviceName(safe)) safe.insert(safe.begin(), u'_');
    return safe;
}

int FileUnusable(const std::string& path, const std::string& why) {
    WriteLine(Stream::Err, "brenvik-cli: " + path + ": " + why);
    return kExitUsage;
}

struct RowPlan {
    PressOptions options;
    WString outName;  // as the row gives it; empty: made from the form
};

// The row's cells onto a press; false with a reason when a cell cannot be used.
bool PlanRow(const std::vector<Column>& columns, const CsvRecord& record, RowPlan& plan,
             std::string& problem) {
    if (record.fields.size() > columns.size()) {
        problem = std::to_string(record.fields.size()) + " fields, but the header names " +
                  std::to_string(columns.size()) + " columns";
        return false;
    }
    PressOptions& o = plan.options;
    for (size_t i = 0; i < record.fields.size(); ++i) {
        const WString& cell = record.fields[i];
        // An empty cell is an option left out: its default applies.
        if (cell.empty()) continue;
        std::string text = WideToUtf8(cell);
        switch (columns[i]) {
            case Column::Vendor: o.vendor = text; break;
            case Column::Model: o.model = text; break;
            case Column::ServerIp: o.serverIp = text; break;
            case Column::AuthPort: o.authPort = text; break;
            case Column::AcctPort: o.accountPort = text; break;
            case Column::SecretKey: o.secretKey = text; break;
            case Column::Interface: o.interfaceName = text; break;
            case Column::MabDelay: o.mabDelay = text; break;
            case Column::EscapeVlan: o.escapeVlanId = text; break;
            case Column::GuestVlan: o.guestVlanId = text; break;
            case Column::Out: plan.outName = cell; break;
            case Column::Mab:
            case Column::SingleTerminal: {
                std::optional<bool> on = ParseSwitch(cell);
                if (!on) {
                    problem = "'" + text + "' in column " +
                              (columns[i] == Column::Mab ? "mab" : "single-terminal") +
                              " is neither yes nor no (1/0, yes/no, true/false, on/off)";
                    return false;
                }
                (columns[i] == Column::Mab ? o.mab : o.singleTerminal) = *on;
                break;
            }
        }
    }
    return true;
}

}  // namespace

int RunBatch(const std::string& csvPath, const std::string& outDir) {
    std::string bytes;
    if (int error = platform::ReadWholeFile(Utf8ToWide(csvPath), bytes); error != 0)
        return FileUnusable(csvPath, WideToUtf8(FileErrorMessage(platform::FileCauseFromOsError(error), Utf8ToWide(csvPath))));
    // Spreadsheets also offer "Unicode text", UTF-16 with tabs: not CSV.
    if (bytes.compare(0, 2, "\xFF\xFE") == 0 || bytes.compare(0, 2, "\xFE\xFF") == 0)
        return FileUnusable(csvPath, "is UTF-16 text; save it as CSV UTF-8 or as CSV");
    WString text;
    if (!DecodeCsvBytes(bytes, text)) return FileUnusable(csvPath, "not text in UTF-8 or in the ANSI code page");
    CsvTable table = ParseCsv(text);
    if (!table.error.empty())
        return FileUnusable(csvPath, "row " + std::to_string(table.errorRow) + ": " + WideToUtf8(table.error));
    if (table.records.empty()) return FileUnusable(csvPath, "no header row");

    std::vector<Column> columns;
    for (const WString& heading : table.records.front().fields) {
        WString name = Lower(Trim(heading));
        std::optional<Column> found;
        for (const ColumnName& known : kColumns)
            if (name == known.name) found = known.column;
        if (!found)
            return FileUnusable(csvPath, "unknown column '" + WideToUtf8(heading) +
                                             "' (columns are named after generate's long options)");
        if (std::find(columns.begin(), columns.end(), *found) != columns.end())
            return FileUnusable(csvPath, "column '" + WideToUtf8(heading) + "' appears twice");
        columns.push_back(*found);
    }

    std::error_code error;
    std::filesystem::path folder = std::filesystem::u8path(outDir);
    std::filesystem::create_directories(folder, error);
    if (!std::filesystem::is_directory(folder, error))
        return FileUnusable(outDir, "not a folder, and one cannot be made there");
#ifdef _WIN32
    const WString folderPrefix = platform::FullPath(Utf8ToWide(outDir)) + u"\\";
#else
    const WString folderPrefix = platform::FullPath(Utf8ToWide(outDir)) + u"/";
#endif

    // Names are compared without letter case: Windows would write two rows
    // that differ only in case into one file.
    std::vector<std::pair<WString, int>> namesTaken;
    int rows = 0;
    int failed = 0;
    for (size_t r = 1; r < table.records.size(); ++r) {
        const CsvRecord& record = table.records[r];
        const std::string prefix = "row " + std::to_string(record.number) + ": ";
        ++rows;
        auto fail = [&](const std::string& problem) {
            WriteLine(Stream::Err, prefix + problem);
            ++failed;
        };

        RowPlan plan;
        std::string problem;
        FormSnapshot form;
        if (!PlanRow(columns, record, plan, problem) || !MakeForm(plan.options, form, problem)) {
            fail(problem);
            continue;
        }
        WString name = SanitiseFileName(
            plan.outName.empty()
                ? form.vendorName + u"_" + form.modelName + u"_" + form.interfaceName + u".ini"
                : plan.outName);
        if (name.empty()) {
            fail("no usable output file name");
            continue;
        }
        WString key = Lower(name);
        auto taken = std::find_if(namesTaken.begin(), namesTaken.end(),
                                  [&](const auto& entry) { return entry.first == key; });
        if (taken != namesTaken.end()) {
            fail("the output file " + WideToUtf8(name) + " is also row " + std::to_string(taken->second) +
                 "'s; give the row a name of its own in column out");
            continue;
        }
        namesTaken.emplace_back(key, record.number);

        PressTarget target;
        target.copyTo = folderPrefix + name;
        target.messagePrefix = prefix;
        if (RunPress(form, target) != PressOutcome::Done) ++failed;
    }
    WriteLine(Stream::Err, "batch: " + std::to_string(rows - failed) + " of " + std::to_string(rows) +
                               " rows generated" +
                               (failed > 0 ? ", " + std::to_string(failed) + " failed" : std::string()));
    return failed > 0 ? kExitFailed : kExitOk;
}

}  // namespace cli
