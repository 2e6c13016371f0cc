// Conversion between multibyte text in an ANSI code page and UTF-16.
//
// Files on disk are in the ANSI code page, GBK (936) on a Chinese Windows.
// The Win32 side asks the system; the POSIX side uses GBK through iconv, so
// a config folder made on Windows reads the same here.
#pragma once

#include <string>
#include <string_view>

#include "platform/text.h"

namespace platform {

enum class CodePage {
    SystemAnsi,  // CP_ACP: the system's ANSI code page
    ThreadAnsi,  // CP_THREAD_ACP: the ANSI code page of the thread's locale
};

// Like MultiByteToWideChar without flags: bytes the code page does not define
// decode to its replacement character. Returns false when the conversion is
// refused as a whole (out is then empty).
bool DecodeMultiByte(CodePage codePage, std::string_view bytes, WString& out);

// Like WideCharToMultiByte without flags: characters the code page cannot
// represent become its default character "?".
bool EncodeMultiByte(CodePage codePage, WStringView text, std::string& out);

}  // namespace platform
