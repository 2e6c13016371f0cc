// The vendor list and the form's opening values. The dialog and the command
// line both start from these, so a press from either front end with the
// same input writes the same configuration.
#pragma once

namespace form_defaults {

// At the positions that number the vendors everywhere: model lists, host modes.
inline constexpr int kVendorCount = 3;
inline constexpr const char16_t* kVendorNames[kVendorCount] = {u"华为", u"华三", u"思科"};

inline constexpr char16_t kAuthPort[] = u"1812";
inline constexpr char16_t kAccountPort[] = u"1813";
inline constexpr char16_t kMabDelay[] = u"30";
// The multi-terminal box opens ticked; the other boxes open clear.

}  // namespace form_defaults
