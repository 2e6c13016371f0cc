// The system's own conversions. Without flags, MultiByteToWideChar decodes
// bytes the code page does not define to its default character, and
// WideCharToMultiByte writes a similar character or "?" for what it cannot
// represent, which is what the program's files have always held.
#include "platform/codepage.h"

#include <windows.h>

#include <climits>

namespace platform {
namespace {

UINT Win32CodePage(CodePage codePage) {
    return codePage == CodePage::SystemAnsi ? CP_ACP : CP_THREAD_ACP;
}

}  // namespace

bool DecodeMultiByte(CodePage codePage, std::string_view bytes, WString& out) {
    out.clear();
    if (bytes.empty()) return true;
    if (bytes.size() > INT_MAX) return false;
    const UINT cp = Win32CodePage(codePage);
    const int size = static_cast<int>(bytes.size());
    const int needed = MultiByteToWideChar(cp, 0, bytes.data(), size, nullptr, 0);
    if (needed <= 0) return false;
    out.resize(static_cast<size_t>(needed));
    const int got = MultiByteToWideChar(cp, 0, bytes.data(), size,
                                        reinterpret_cast<wchar_t*>(&out[0]), needed);
    if (got <= 0) {
        out.clear();
        return false;
    }
    out.resize(static_cast<size_t>(got));
    return true;
}

bool EncodeMultiByte(CodePage codePage, WStringView text, std::string& out) {
    out.clear();
    if (text.empty()) return true;
    if (text.size() > INT_MAX) return false;
    const UINT cp = Win32CodePage(codePage);
    const int size = static_cast<int>(text.size());
    const wchar_t* wide = reinterpret_cast<const wchar_t*>(text.data());
    const int needed = WideCharToMultiByte(cp, 0, wide, size, nullptr, 0, nullptr, nullptr);
    if (needed <= 0) return false;
    out.resize(static_cast<size_t>(needed));
    const int got = WideCharToMultiByte(cp, 0, wide, size, &out[0], needed, nullptr, nullptr);
    if (got <= 0) {
        out.clear();
        return false;
    }
    out.resize(static_cast<size_t>(got));
    return true;
}

}  // namespace platform
