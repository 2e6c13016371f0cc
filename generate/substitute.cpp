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

// Position of the first code unit equal to unit in text at or after from,
// or npos. memchr over the bytes is many times faster than a loop over code
// units; it searches for a non-zero byte of the unit (ASCII text is full of
// zero bytes) and skips hits on the other byte of a unit.
size_t FindUnit(WStringView text, char16_t unit, size_t from) {
    unsigned char bytes[2];
    std::memcpy(bytes, &unit, 2);
    const int which = bytes[0] != 0 ? 0 : 1;
    const unsigned char* const base = reinterpret_cast<const unsigned char*>(text.data());
    const unsigned char* at = base + 2 * from + which;
    const unsigned char* const end = base + 2 * text.size();
    while (at < end) {
        const void* hit = std::memchr(at, bytes[which], end - at);
        if (!hit) break;
        const size_t offset = static_cast<const unsigned char*>(hit) - base - which;
        if (offset % 2 == 0 && text[offset / 2] == unit) return offset / 2;
        at = static_cast<const unsigned char*>(hit) + 1;
    }
    return WStringView::npos;
}

bool StartsWith(WStringView text, size_t at, WStringView token) {
    // memcmp compares a token in a few wide loads rather than unit by unit.
    return text.size() - at >= token.size() &&
           std::memcmp(text.data() + at, token.data(), token.size() * sizeof(char16_t)) == 0;
}

struct Pass {
    WStringView token;
    WStringView value;
};

// Calls found(position, pass) for each occurrence, left to right, of any of
// the tokens in text from from on, as one pass replaces them: the search
// goes on after each occurrence, so occurrences never overlap. All tokens
// begin with the same code unit; where two could match, the first listed
// wins. The units every token begins with are compared once per candidate,
// and the next unit decides quickly which tokens are worth comparing.
template <class Found>
void ForEachOccurrence(WStringView text, size_t from, const Pass* passes, size_t passCount, Found found) {
    WStringView common = passes[0].token;
    for (size_t i = 1; i < passCount; ++i) {
        const WStringView token = passes[i].token;
        size_t n = 0;
        while (n < common.size() && n < token.size() && common[n] == token[n]) ++n;
        common = common.substr(0, n);
    }
    const size_t skip = common.size();
    for (size_t at = FindUnit(text, common[0], from); at != WStringView::npos;
         at = FindUnit(text, common[0], at)) {
        const Pass* match = nullptr;
        if (StartsWith(text, at, common)) {
            const WStringView rest = text.substr(at + skip);
            for (size_t i = 0; i < passCount && !match; ++i) {
                const WStringView tail = passes[i].token.substr(skip);
                if (tail.empty() || (!rest.empty() && rest[0] == tail[0] && StartsWith(rest, 0, tail)))
                    match = &passes[i];
            }
        }
        if (match) {
            found(at, *match);
            at += match->token.size();
        } else {
            ++at;
        }
    }
}

// A code unit that a placeholder holds before its last unit: "<", "%", the
// upper-case letters and "_" of the nine names.
bool InsidePlaceholder(char16_t c) {
    return c == u'<' || c == u'%' || c == u'_' || (c >= u'A' && c <= u'Z');
}

struct Survey {
    size_t count = 0;
    // The most the text grows over any prefix: how far the text has to move
    // up so that writing the result from the start never overtakes reading.
    size_t headroom = 0;
    // An occurrence follows a unit that could be part of a placeholder.
    bool joined = false;
};

Survey SurveyOccurrences(WStringView text, const Pass* passes, size_t passCount) {
    Survey survey;
    ptrdiff_t growth = 0;
    ForEachOccurrence(text, 0, passes, passCount, [&](size_t at, const Pass& pass) {
        ++survey.count;
        growth += static_cast<ptrdiff_t>(pass.value.size()) - static_cast<ptrdiff_t>(pass.token.size());
        if (growth > static_cast<ptrdiff_t>(survey.headroom)) survey.headroom = static_cast<size_t>(growth);
        if (at > 0 && InsidePlaceholder(text[at - 1])) survey.joined = true;
    });
    return survey;
}

// Replaces the occurrences a survey counted, in place and in linear time:
// the text first moves up by the headroom (only when some prefix grows),
// then the result is written from the start while the rest is read ahead
// of it. No second buffer, so a large text costs no fresh pages.
void ReplaceSurveyed(WString& text, const Pass* passes, size_t passCount, const Survey& survey) {
    if (survey.count == 0) return;
    const size_t length = text.size();
    const size_t shift = survey.headroom;
    if (shift > 0) {
        text.resize(length + shift);
        std::char_traits<char16_t>::move(&text[shift], &text[0], length);
    }
    char16_t* const data = &text[0];
    const WStringView source(data, length + shift);
    size_t written = 0;
    size_t read = shift;
    ForEachOccurrence(source, shift, passes, passCount, [&](size_t at, const Pass& pass) {
        std::char_traits<char16_t>::move(data + written, data + read, at - read);
        written += at - read;
        std::char_traits<char16_t>::copy(data + written, pass.value.data(), pass.value.size());
        written += pass.value.size();
        read = at + pass.token.size();
    });
    std::char_traits<char16_t>::move(data + written, data + read, length + shift - read);
    written += length + shift - read;
    text.resize(written);
}

}  // namespace

size_t ReplaceAll(WString& text, WStringView token, WStringView value) {
    if (token.empty()) return 0;
    const Pass pass{token, value};
    const Survey survey = SurveyOccurrences(text, &pass, 1);
    ReplaceSurveyed(text, &pass, 1, survey);
    return survey.count;
}

void SubstitutePlaceholders(WString& text, const SwitchConfigRequest& request) {
    // The order matters: text a value brings in is seen by the later passes
    // only.
    const Pass passes[] = {
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
    constexpr size_t kPasses = sizeof passes / sizeof passes[0];

    // Usually the nine passes can run as one. A pass finds more than the
    // template's own placeholders only when text a value brought in, or the
    // joint where a value was put, becomes part of a placeholder. Every
    // placeholder begins with "<"; when no value holds one, such a
    // placeholder begins in the template's text before the first value it
    // touches and reaches into or across it, so the unit right before that
    // value, which stood right before a placeholder of the template, is a
    // unit of the new placeholder other than its closing ">". When no value
    // holds "<" and no placeholder of the template follows such a unit, the
    // nine passes replace exactly the template's placeholders, as one does.
    bool onePass = true;
    for (const Pass& pass : passes)
        if (pass.value.find(u'<') != WStringView::npos) onePass = false;
    if (onePass) {
        const Survey survey = SurveyOccurrences(text, passes, kPasses);
        if (!survey.joined) {
            ReplaceSurveyed(text, passes, kPasses, survey);
            return;
        }
    }
    for (const Pass& pass : passes) ReplaceAll(text, pass.token, pass.value);
}
