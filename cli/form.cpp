#include "cli/form.h"

#include <cctype>

#include "catalog/model_list.h"

namespace cli {

const char kVendorChoices[] = "华为, 华三, 思科, huawei, h3c or cisco";

namespace {

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

class CollectingList : public catalog::ModelList {
public:
    explicit CollectingList(ModelNames& names) : names_(names) {}
    void ResetContent() override {
        names_.names.clear();
        names_.selected = -1;
    }
    // Like CB_INSERTSTRING: -1 appends, a position past the end is refused.
    void InsertString(int index, const WString& text) override {
        auto& list = names_.names;
        if (index < 0) {
            list.push_back(text);
        } else if (static_cast<size_t>(index) <= list.size()) {
            list.insert(list.begin() + index, text);
        }
    }
    // Like CB_SETCURSEL: a position outside the list selects nothing.
    void SetCurSel(int index) override {
        names_.selected = index >= 0 && static_cast<size_t>(index) < names_.names.size() ? index : -1;
    }

private:
    ModelNames& names_;
};

}  // namespace

std::optional<VendorChoice> ParseVendor(std::string_view text) {
    // English names for scripts, at the positions of the vendor list.
    static const char* const kEnglish[form_defaults::kVendorCount] = {"huawei", "h3c", "cisco"};
    for (int i = 0; i < form_defaults::kVendorCount; ++i) {
        const WString name = form_defaults::kVendorNames[i];
        if (Utf8ToWide(text) == name || EqualsIgnoringCase(text, kEnglish[i])) return VendorChoice{i, name};
    }
    return std::nullopt;
}

bool ParseServerAddress(std::string_view text, uint8_t fields[4]) {
    uint8_t parsed[4] = {};
    if (!text.empty()) {
        size_t pos = 0;
        for (int f = 0; f < 4; ++f) {
            if (f > 0) {
                if (pos >= text.size() || text[pos] != '.') return false;
                ++pos;
            }
            size_t digits = 0;
            unsigned value = 0;
            while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9' && digits < 4) {
                value = value * 10 + static_cast<unsigned>(text[pos] - '0');
                ++pos;
                ++digits;
            }
            if (digits == 0 || digits > 3 || value > 255) return false;
            parsed[f] = static_cast<uint8_t>(value);
        }
        if (pos != text.size()) return false;
    }
    for (int f = 0; f < 4; ++f) fields[f] = parsed[f];
    return true;
}

ModelNames ReadModelNames(int vendor) {
    ModelNames names;
    CollectingList list(names);
    catalog::FillModelCombo(list, vendor);
    return names;
}

bool MakeForm(const PressOptions& options, FormSnapshot& form, std::string& error) {
    std::optional<VendorChoice> vendor = ParseVendor(options.vendor);
    if (!vendor) {
        error = "unknown vendor '" + options.vendor + "' (use " + kVendorChoices + ")";
        return false;
    }
    form = FormSnapshot();
    if (!ParseServerAddress(options.serverIp, form.serverAddress)) {
        error = "server address '" + options.serverIp + "' is not A.B.C.D with four fields 0 to 255";
        return false;
    }
    form.vendorIndex = vendor->index;
    form.vendorName = vendor->name;

    // The model's position in the list picks the host mode; a name that is
    // not in the list is a typed name, with no selection, as in the dialog.
    ModelNames models = ReadModelNames(vendor->index);
    if (options.model) {
        form.modelName = Utf8ToWide(*options.model);
        form.modelIndex = -1;
        for (size_t i = 0; i < models.names.size(); ++i) {
            if (models.names[i] == form.modelName) {
                form.modelIndex = static_cast<int32_t>(i);
                break;
            }
        }
    } else {
        form.modelIndex = models.selected;
        if (models.selected >= 0) form.modelName = models.names[models.selected];
    }

    form.authPort = Utf8ToWide(options.authPort);
    form.accountPort = Utf8ToWide(options.accountPort);
    form.secretKey = Utf8ToWide(options.secretKey);
    form.interfaceName = Utf8ToWide(options.interfaceName);
    form.mabEnabled = options.mab ? 1 : 0;
    form.mabDelay = Utf8ToWide(options.mabDelay);
    form.multiTerminal = options.singleTerminal ? 0 : 1;
    form.escapeVlanEnabled = options.escapeVlanId ? 1 : 0;
    if (options.escapeVlanId) form.escapeVlanId = Utf8ToWide(*options.escapeVlanId);
    form.guestVlanEnabled = options.guestVlanId ? 1 : 0;
    if (options.guestVlanId) form.guestVlanId = Utf8ToWide(*options.guestVlanId);
    return true;
}

}  // namespace cli
