#include "catalog/model_list.h"

#include <cstdio>
#include <cstdlib>
#include <new>

#include "catalog/ini_document.h"
#include "platform/codepage.h"

namespace catalog {

namespace {

constexpr uint32_t kKeyTableSizeHint = 10;

// The document lives for one fill and is released however the fill ends.
struct DocumentGuard {
    IniDocument doc;
    ~DocumentGuard() { Release(&doc); }
};

// The count as atol reads it (leading blanks, a sign, digits up to the first
// other character), limited to what a list holds.
int ModelCount(const IniDocument* doc) {
    const IniEntry* count = FindEntry(FindSection(doc, "config"), "count");
    if (!count || count->value[0] == '\0') {
        return 0;
    }
    const long n = std::strtol(count->value, nullptr, 10);
    if (n <= 0) {
        return 0;
    }
    return n > kMaxModelCount ? kMaxModelCount : static_cast<int>(n);
}

}  // namespace

const char* ModelListFile(int vendor) {
    switch (vendor) {
    case 0:
        return "config\\hw_switch_model.ini";
    case 1:
        return "config\\h3c_switch_model.ini";
    case 2:
        return "config\\cisco_switch_model.ini";
    default:
        return nullptr;
    }
}

WString AnsiToWide(const char* text) {
    WString wide;
    try {
        if (!text || !platform::DecodeMultiByte(platform::CodePage::SystemAnsi, text, wide)) {
            return WString();
        }
    } catch (const std::bad_alloc&) {
        return WString();
    }
    return wide;
}

void FillModelCombo(ModelList& list, int vendor) {
    list.ResetContent();
    DocumentGuard guard;
    guard.doc.keyTableSizeHint = kKeyTableSizeHint;
    const char* file = ModelListFile(vendor);
    if (!file) {
        return;
    }
    if (LoadIfChanged(&guard.doc, file) != 0) {
        Reset(&guard.doc);
        return;
    }
    const int count = ModelCount(&guard.doc);
    for (int i = 0; i < count; ++i) {
        char key[16];
        std::snprintf(key, sizeof key, "TYPE%d", i);
        list.InsertString(i, AnsiToWide(GetTypeValue(&guard.doc, key).c_str()));
    }
    list.SetCurSel(0);
}

}  // namespace catalog
