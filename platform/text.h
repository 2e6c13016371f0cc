// Wide text of the program: UTF-16 in both builds.
//
// Windows' wchar_t is 16 bits and Linux's is 32, so the portable code never
// uses wchar_t; it uses char16_t everywhere and the Win32 side bridges to
// wchar_t* at the API calls (the two have the same layout there).
#pragma once

#include <string>
#include <string_view>

using WString = std::u16string;
using WStringView = std::u16string_view;

// UTF-8 <-> UTF-16, for file names on POSIX, command-line text and tests.
// Ill-formed input becomes U+FFFD; a lone surrogate becomes U+FFFD in UTF-8.
std::string WideToUtf8(WStringView text);
WString Utf8ToWide(std::string_view text);

#ifdef _WIN32
inline const wchar_t* WinStr(const WString& s) {
    return reinterpret_cast<const wchar_t*>(s.c_str());
}
inline WString FromWin(const wchar_t* s) {
    return s ? WString(reinterpret_cast<const char16_t*>(s)) : WString();
}
inline WString FromWin(const wchar_t* s, size_t n) {
    return WString(reinterpret_cast<const char16_t*>(s), n);
}
#endif
