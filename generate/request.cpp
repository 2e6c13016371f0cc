#include "generate/request.h"

#include "generate/messages.h"

WString FormatServerIp(const uint8_t fields[4]) {
    WString text;
    for (int i = 0; i < 4; ++i) {
        if (i > 0) text += u'.';
        unsigned value = fields[i];
        // Decimal without leading zeros: at most three digits.
        if (value >= 100) text += static_cast<char16_t>(u'0' + value / 100);
        if (value >= 10) text += static_cast<char16_t>(u'0' + value / 10 % 10);
        text += static_cast<char16_t>(u'0' + value % 10);
    }
    return text;
}

void ApplyCapture(SwitchConfigRequest& request, const FormSnapshot& form) {
    request.vendorIndex = form.vendorIndex;
    request.modelIndex = form.modelIndex;
    request.serverIp = FormatServerIp(form.serverAddress);
    request.authPort = form.authPort;
    request.accountPort = form.accountPort;
    request.secretKey = form.secretKey;
    request.interfaceName = form.interfaceName;
    request.mabEnabled = form.mabEnabled;
    request.mabDelay = form.mabDelay;  // taken even while MAB is off
    request.multiTerminal = form.multiTerminal;
    // A VLAN id is taken only while its box is ticked, so unticking a box
    // keeps the id of the last press that used it.
    request.escapeVlanEnabled = form.escapeVlanEnabled;
    if (form.escapeVlanEnabled != 0) request.escapeVlanId = form.escapeVlanId;
    request.guestVlanEnabled = form.guestVlanEnabled;
    if (form.guestVlanEnabled != 0) request.guestVlanId = form.guestVlanId;
}

const char16_t* ValidateRequest(const SwitchConfigRequest& request) {
    // The switch port comes first although the form shows it lower down.
    if (request.interfaceName.empty()) return msg::kNoInterface;
    if (request.serverIp.empty() || request.serverIp == u"0.0.0.0") return msg::kNoServerIp;
    if (request.authPort.empty()) return msg::kNoAuthPort;
    if (request.accountPort.empty()) return msg::kNoAccountPort;
    if (request.secretKey.empty()) return msg::kNoSecretKey;
    if (request.mabEnabled != 0 && request.mabDelay.empty()) return msg::kNoMabDelay;
    if (request.escapeVlanEnabled != 0 && request.escapeVlanId.empty()) return msg::kNoEscapeVlanId;
    if (request.guestVlanEnabled != 0 && request.guestVlanId.empty()) return msg::kNoGuestVlanId;
    return nullptr;
}
