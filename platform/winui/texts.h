// Texts the framework itself shows.
#pragma once

namespace winui::text {

inline constexpr char16_t kOutOfMemory[] = u"内存不足。";
// An exception of no kind the program knows escaped a handler.
inline constexpr char16_t kInternalError[] = u"程序内部错误，当前操作已取消。";

}  // namespace winui::text
