// FillModelCombo over arbitrary model-list files and vendor positions, with a
// list that records every call. Checked: the list is emptied first; a vendor
// without a file or a file that is missing leaves it empty with nothing
// selected; otherwise the names arrive at positions 0, 1, 2 ... in order, as
// many as the count says as atol reads it (capped at kMaxModelCount, nothing
// for zero or less), each the TYPE key's value decoded from the ANSI code
// page, and position 0 is selected last. The leak checker watches the
// document's release on every path.
#include <cstdint>
#include <climits>
#include <filesystem>
#include <string>
#include <vector>

#include "catalog/ini_document.h"
#include "catalog/model_list.h"
#include "tests/fuzz/fuzz_support.h"
#include "tests/support/test_files.h"

using namespace catalog;

namespace {

struct Call {
    enum Kind { Reset, Insert, Select } kind;
    int index;
    WString text;
};

class RecordingList : public ModelList {
public:
    std::vector<Call> calls;
    void ResetContent() override { calls.push_back({Call::Reset, 0, {}}); }
    void InsertString(int index, const WString& text) override { calls.push_back({Call::Insert, index, text}); }
    void SetCurSel(int index) override { calls.push_back({Call::Select, index, {}}); }
};

// atol by hand: blanks, a sign, digits; saturated instead of undefined.
long long ReadCount(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    long long n = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        if (n < LLONG_MAX / 100) n = n * 10 + (text[i] - '0');
    return negative ? -n : n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::EnterScratchFolder();
    fuzz::Reader in(data, size);
    const uint8_t setup = in.Byte();
    const int vendor = static_cast<int>(setup % 5) - 1;  // -1 to 3
    const bool fileMissing = setup & 0x80;
    const std::string bytes(in.Rest());

    const char* const files[] = {"config/hw_switch_model.ini", "config/h3c_switch_model.ini",
                                 "config/cisco_switch_model.ini"};
    for (const char* file : files) {
        std::error_code ignored;
        std::filesystem::remove(file, ignored);
    }
    if (vendor >= 0 && vendor <= 2 && !fileMissing) testsupport::Write(files[vendor], bytes);

    RecordingList list;
    FillModelCombo(list, vendor);
    FUZZ_CHECK(!list.calls.empty() && list.calls[0].kind == Call::Reset);
    if (vendor < 0 || vendor > 2 || fileMissing) {
        FUZZ_CHECK(ModelListFile(vendor) == nullptr || fileMissing);
        FUZZ_CHECK(list.calls.size() == 1);
        return 0;
    }

    // What the names should be, read with a document of our own.
    IniDocument doc;
    FUZZ_CHECK(LoadIfChanged(&doc, ModelListFile(vendor)) == 0);
    const IniEntry* countEntry = FindEntry(FindSection(&doc, "CONFIG"), "COUNT");
    long long count = countEntry ? ReadCount(countEntry->value) : 0;
    if (count < 0) count = 0;
    if (count > kMaxModelCount) count = kMaxModelCount;

    FUZZ_CHECK(list.calls.size() == static_cast<size_t>(count) + 2);
    for (int i = 0; i < count; ++i) {
        const Call& call = list.calls[1 + i];
        FUZZ_CHECK(call.kind == Call::Insert && call.index == i);
        const std::string key = "type" + std::to_string(i);
        FUZZ_CHECK(call.text == AnsiToWide(GetTypeValue(&doc, key.c_str()).c_str()));
    }
    FUZZ_CHECK(list.calls.back().kind == Call::Select && list.calls.back().index == 0);
    Release(&doc);
    return 0;
}
