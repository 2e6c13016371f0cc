// The placeholder passes as plainly as they can be written, for tests and
// fuzz targets to check the real substitution against: one search and
// replace per placeholder, in pass order, each resuming after what it put in.
//
// Nothing here needs GoogleTest: the fuzz targets build without it.
#pragma once

#include <cstddef>

#include "generate/request.h"
#include "platform/text.h"

namespace testsupport {

// One pass: the placeholder and the request's value that replaces it.
struct ReferencePass {
    const char16_t* token;
    WString SwitchConfigRequest::*value;
};

// The nine passes, in the order they run.
inline const ReferencePass kReferencePasses[9] = {
    {u"<%SERVER_IP%>", &SwitchConfigRequest::serverIp},
    {u"<%AUTH_PORT%>", &SwitchConfigRequest::authPort},
    {u"<%ACCOUNT_PORT%>", &SwitchConfigRequest::accountPort},
    {u"<%SECRET_KEY%>", &SwitchConfigRequest::secretKey},
    {u"<%INTERFACE%>", &SwitchConfigRequest::interfaceName},
    {u"<%MAB_DELAY%>", &SwitchConfigRequest::mabDelay},
    {u"<%HOST_MODE%>", &SwitchConfigRequest::hostMode},
    {u"<%ESCAPEVLANID%>", &SwitchConfigRequest::escapeVlanId},
    {u"<%GUESTVLANID%>", &SwitchConfigRequest::guestVlanId},
};

// Replaces every token, left to right, never searching what it put in;
// gives how many it replaced. An empty token changes nothing.
inline size_t ReferenceReplaceAll(WString& text, const WString& token, const WString& value) {
    if (token.empty()) return 0;
    WString out;
    size_t count = 0, from = 0;
    for (size_t at = text.find(token); at != WString::npos; at = text.find(token, from)) {
        out.append(text, from, at - from).append(value);
        from = at + token.size();
        ++count;
    }
    text = out.append(text, from, WString::npos);
    return count;
}

// The nine passes over the text with the request's values.
inline void ReferenceSubstitute(WString& text, const SwitchConfigRequest& request) {
    for (const ReferencePass& pass : kReferencePasses) ReferenceReplaceAll(text, pass.token, request.*pass.value);
}

}  // namespace testsupport
