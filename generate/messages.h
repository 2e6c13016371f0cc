// Every text the generation shows the user, in one place.
#pragma once

namespace msg {

// Validation, in the order of the checks.
inline constexpr char16_t kNoInterface[] = u"请输入需要开启802.1x认证的接口";
inline constexpr char16_t kNoServerIp[] = u"请输入radius服务器IP";
inline constexpr char16_t kNoAuthPort[] = u"请输入radius 认证端口";
inline constexpr char16_t kNoAccountPort[] = u"请输入radius 计费端口";
inline constexpr char16_t kNoSecretKey[] = u"请输入加密密钥";
inline constexpr char16_t kNoMabDelay[] = u"请输入mab认证延迟时间";
inline constexpr char16_t kNoEscapeVlanId[] = u"请输入逃生vlanID";
inline constexpr char16_t kNoGuestVlanId[] = u"请输入Guest vlanID";

// A vendor or model name that cannot be part of a file name in config.
inline constexpr char16_t kBadName[] = u"厂商或型号名称含有文件名不允许的字符";
// A selected template that cannot be opened or read; followed by its path.
inline constexpr char16_t kTemplateMissing[] = u"找不到模板文件 ";
// A template line over 998 bytes: "%1" the path, "%2" the line number.
inline constexpr char16_t kLineTooLong[] = u"模板文件 %1 的第 %2 行超过 998 字节";

// The copy to the chosen path succeeded (the comma is ASCII).
inline constexpr char16_t kSaved[] = u"保存成功,请查看配置文件";
// The copy failed; followed by the cause text naming the chosen path.
inline constexpr char16_t kSaveFailed[] = u"保存失败: ";

// A merge file of 4 GiB or more, which the output stage cannot hold; "%1" the
// merge file's full path.
inline constexpr char16_t kMergeFileTooLarge[] = u"合并文件 %1 达到或超过 4 GB，无法生成配置。";

inline constexpr char16_t kOutOfMemory[] = u"内存不足。";

// A failure of a kind the program does not know; the press stops there.
inline constexpr char16_t kUnexpectedError[] = u"发生意外错误，操作已停止。";

// The Save As dialog's filter: one entry, "|" between label and patterns.
inline constexpr char16_t kSaveFilter[] = u"文件 (*.txt; *.ini; *.conf)|*.txt;*.ini;*.conf||";

}  // namespace msg
