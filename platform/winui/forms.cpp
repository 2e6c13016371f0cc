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

}  // namespace winui
