#include "generate/substitute.h"

#include <cstring>

const HostModePair HostModeTable[4] = {
    {u"single-terminal", u"multi-authen"},  // Huawei, model 1
    {u"port", u"mac"},                      // Huawei, other models
    {u"portbased", u"macbased"},            // H3C
    {u"single-host", u"multi-auth"},        // Cisco
};

void ChooseHostMode(SwitchConfigRequest& request) {
    int row;
    switch (request.vendorIndex) {
        case 0: row = request.modelIndex == 1 ? 0 : 1; break;
        case 1: row = 2; break;
        case 2: row = 3; break;
        default: return;  // no vendor: keep the keyword of an earlier press
    }
    const HostModePair& pair = HostModeTable[row];
    request.hostMode = request.multiTerminal != 0 ? pair.multi : pair.single;
}

namespace {

// Position of the first occurrence of token in text at or after from, or
// npos. Finds candidates for the token's first code unit with memchr over
// the bytes (much faster than a loop over code units), then compares.
size_t Find(WStringView text, WStringView token, size_t from) {
    if (token.size() > text.size()) return WStringView::npos;
    const size_t lastStart = text.size() - token.size();
    const char16_t first = token[0];
    // Search for a non-zero byte of the first code unit; ASCII text is full
    // of zero bytes.
    unsigned char firstBytes[2];
    std::memcpy(firstBytes, &first, 2);
    const int which = firstBytes[0] != 0 ? 0 : 1;
    const unsigned char probe = firstBytes[which];

    const unsigned char* const base = reinterpret_cast<const unsigned char*>(text.data());
    const unsigned char* at = base + 2 * from + which;
    const unsigned char* const end = base + 2 * lastStart + which + 1;
    while (at < end) {
        const void* hit = std::memchr(at, probe, end - at);
        if (!hit) break;
        const size_t offset = static_cast<const unsigned char*>(hit) - base - which;
        if (offset % 2 == 0) {
            const size_t position = offset / 2;
            if (text[position] == first &&
                std::char_traits<char16_t>::compare(text.data() + position + 1, token.data() + 1,
                                                    token.size() - 1) == 0)
                return position;
            at = base + offset + 2 + which;
        } else {
            at = static_cast<const unsigned char*>(hit) + 1;
        }
    }
    return WStringView::npos;
}

// One pass from source into target (emptied first, its capacity kept).
// Returns the count replaced; target is left untouched when it is 0.
size_t ReplaceInto(WStringView source, WString& target, WStringView token, WStringView value) {
    if (token.empty()) return 0;
    size_t hit = Find(source, token, 0);
    if (hit == WStringView::npos) return 0;
    target.clear();
    size_t count = 0;
    size_t copied = 0;
    do {
        target.append(source.data() + copied, hit - copied);
        target.append(value.data(), value.size());
        copied = hit + token.size();
        ++count;
        hit = Find(source, token, copied);
    } while (hit != WStringView::npos);
    target.append(source.data() + copied, source.size() - copied);
    return count;
}

}  // namespace

size_t ReplaceAll(WString& text, WStringView token, WStringView value) {
    WString result;
    const size_t count = ReplaceInto(text, result, token, value);
    if (count > 0) text.swap(result);
    return count;
}

void SubstitutePlaceholders(WString& text, const SwitchConfigRequest& request) {
    // The order matters: text a value brings in is seen by the later passes
    // only.
    const struct {
        const char16_t* token;
        const WString& value;
    } passes[] = {
        {u"<%SERVER_IP%>", request.serverIp},
        {u"<%AUTH_PORT%>", request.authPort},
        {u"<%ACCOUNT_PORT%>", request.accountPort},
        {u"<%SECRET_KEY%>", request.secretKey},
        {u"<%INTERFACE%>", request.interfaceName},
        {u"<%MAB_DELAY%>", request.mabDelay},
        {u"<%HOST_MODE%>", request.hostMode},
        {u"<%ESCAPEVLANID%>", request.escapeVlanId},
        {u"<%GUESTVLANID%>", request.guestVlanId},
    };
    // Each pass writes into the other buffer and the two swap, so a large
    // text costs one extra allocation for all nine passes, not one per pass.
    WString spare;
    for (const auto& pass : passes) {
        if (ReplaceInto(text, spare, pass.token, pass.value) > 0) text.swap(spare);
    }
}
