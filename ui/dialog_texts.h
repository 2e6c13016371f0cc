// Texts and defaults the main dialog puts into its form, in one place.
#pragma once

namespace ui_text {

// The vendor list, at the positions the catalogue and the host modes number
// them: 0, 1, 2.
inline constexpr const char16_t* kVendors[] = {u"华为", u"华三", u"思科"};

inline constexpr char16_t kDefaultAuthPort[] = u"1812";
inline constexpr char16_t kDefaultAccountPort[] = u"1813";
inline constexpr char16_t kDefaultMabDelay[] = u"30";

// Tooltips (the comma of the escape VLAN tip is ASCII).
inline constexpr char16_t kTipMultiTerminal[] = u"hub接入场景需要开启允许多终端接入";
inline constexpr char16_t kTipMabDelay[] = u"MAB认证延迟时间指的是802.1x认证失败后执行MAB认证的时间间隔";
inline constexpr char16_t kTipServerIp[] = u"radius服务器一般为AC设备ip";
inline constexpr char16_t kTipInterface[] = u"选择交换机开启802.1x认证的端口";
inline constexpr char16_t kTipEscapeVlan[] = u"当radius服务器故障时,划分到对应的逃生vlan";
inline constexpr char16_t kTipGuestVlan[] = u"配置认证前划分到Guest vlan";

}  // namespace ui_text
