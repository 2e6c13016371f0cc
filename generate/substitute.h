// Host-mode keywords and the nine placeholder passes.
#pragma once

#include <cstddef>

#include "generate/request.h"
#include "platform/text.h"

struct HostModePair {
    const char16_t* single;  // multi-terminal box clear
    const char16_t* multi;   // multi-terminal box ticked
};

// Rows: Huawei model 1, other Huawei models, H3C, Cisco.
extern const HostModePair HostModeTable[4];

// Sets request.hostMode from vendor, model and the multi-terminal box; leaves
// it as it was when no known vendor is selected.
void ChooseHostMode(SwitchConfigRequest& request);

// Replaces every occurrence of token, left to right, never searching what it
// inserted. Linear in the size of the text. Returns the count replaced.
size_t ReplaceAll(WString& text, WStringView token, WStringView value);

// The nine passes in their fixed order.
void SubstitutePlaceholders(WString& text, const SwitchConfigRequest& request);
