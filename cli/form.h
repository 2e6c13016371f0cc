// The form's fields as the command line takes them, and how they map onto
// what the dialog would have read off its controls.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "generate/form_defaults.h"
#include "generate/request.h"
#include "platform/text.h"

namespace cli {

// One press. The defaults are those of the dialog when it opens.
struct PressOptions {
    std::string vendor = WideToUtf8(form_defaults::kVendorNames[0]);
    std::optional<std::string> model;  // none: the list's first entry, as selected on opening
    std::string serverIp;              // empty: the blank address control
    std::string authPort = WideToUtf8(form_defaults::kAuthPort);
    std::string accountPort = WideToUtf8(form_defaults::kAccountPort);
    std::string secretKey;
    std::string interfaceName;
    bool mab = false;
    std::string mabDelay = WideToUtf8(form_defaults::kMabDelay);
    std::optional<std::string> escapeVlanId;  // given: the box is ticked
    std::optional<std::string> guestVlanId;
    bool singleTerminal = false;  // clears the multi-terminal box, ticked by default
};

struct VendorChoice {
    int index = -1;  // position in the vendor list
    WString name;    // the list's text, which names the files
};

// 华为, 华三, 思科, or huawei, h3c, cisco in any letter case.
std::optional<VendorChoice> ParseVendor(std::string_view text);

// The vendor names accepted, for help and error texts.
extern const char kVendorChoices[];

// Four decimal fields 0 to 255, or the empty text for the blank control.
bool ParseServerAddress(std::string_view text, uint8_t fields[4]);

// The vendor's model list as the dialog's list would hold it.
struct ModelNames {
    std::vector<WString> names;
    int selected = -1;
};
ModelNames ReadModelNames(int vendor);

// What the dialog would have read off its controls. The vendor and the
// address must have been checked with the parsers above; error is set and
// false returned when they do not parse.
bool MakeForm(const PressOptions& options, FormSnapshot& form, std::string& error);

}  // namespace cli
