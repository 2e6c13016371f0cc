#include "platform/winui/forms.h"

namespace winui {

WString AppNameFromModulePath(WStringView path) {
    const size_t slash = path.find_last_of(u"\\/");
    WStringView name = slash == WStringView::npos ? path : path.substr(slash + 1);
    const size_t dot = name.rfind(u'.');
    if (dot != WStringView::npos && dot > 0) name = name.substr(0, dot);
    return WString(name);
}

WString FilterToApi(WStringView filter) {
    WString out(filter);
    for (char16_t& c : out) {
        if (c == u'|') c = u'\0';
    }
    // Two NULs end the list: the last character here, and the one c_str() adds.
    if (out.empty() || out.back() != u'\0') out.push_back(u'\0');
    return out;
}

std::vector<std::pair<WString, WString>> ParseFilter(WStringView filter) {
    std::vector<std::pair<WString, WString>> out;
    std::vector<WStringView> parts;
    size_t start = 0;
    while (start <= filter.size()) {
        const size_t bar = filter.find(u'|', start);
        const size_t end = bar == WStringView::npos ? filter.size() : bar;
        parts.push_back(filter.substr(start, end - start));
        if (bar == WStringView::npos) break;
        start = bar + 1;
    }
    for (size_t i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].empty() || parts[i + 1].empty()) break;  // "||" ends the list
        out.emplace_back(WString(parts[i]), WString(parts[i + 1]));
    }
    return out;
}

}  // namespace winui
