// The form as captured by one press of the generate button, and its checks.
#pragma once

#include <cstdint>

#include "platform/text.h"

// Held by the front end for its whole life and never reset: each press
// overwrites what it captures or derives, everything else keeps its value.
struct SwitchConfigRequest {
    WString mergePath;
    WString mabTemplatePath;
    WString outputPath;
    WString outputFileName;
    WString serverIp;
    WString authPort;
    WString accountPort;
    WString interfaceName;
    WString secretKey;
    WString mabDelay;
    WString hostMode;
    int32_t mabEnabled = 0;
    int32_t multiTerminal = 0;
    int32_t vendorIndex = -1;
    int32_t modelIndex = -1;
    int32_t escapeVlanEnabled = 0;
    WString escapeVlanId;
    int32_t guestVlanEnabled = 0;
    WString guestVlanId;
};

// What a front end reads off its form, in the order the dialog reads its
// controls. ApplyCapture moves it into the request by the capture rules.
struct FormSnapshot {
    int32_t vendorIndex = -1;          // -1: no selection
    int32_t modelIndex = -1;
    uint8_t serverAddress[4] = {};     // left to right as shown; blank field = 0
    WString authPort;
    WString accountPort;
    WString secretKey;
    WString interfaceName;
    int32_t mabEnabled = 0;
    WString mabDelay;
    int32_t multiTerminal = 0;
    int32_t escapeVlanEnabled = 0;
    WString escapeVlanId;
    int32_t guestVlanEnabled = 0;
    WString guestVlanId;
    WString vendorName;                // the text shown in the vendor list
    WString modelName;                 // the text shown in the model list
};

// "%d.%d.%d.%d" of the four fields, left to right.
WString FormatServerIp(const uint8_t fields[4]);

// Writes the captured fields of the request. The VLAN ids are taken only
// when their box is ticked; otherwise they keep the last ticked press's text.
void ApplyCapture(SwitchConfigRequest& request, const FormSnapshot& form);

// The first failing check's message, or nullptr when every check passes.
const char16_t* ValidateRequest(const SwitchConfigRequest& request);
