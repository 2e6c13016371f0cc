// The tips the main dialog shows; its opening values are in
// generate/form_defaults.h, shared with the command line.
#pragma once

namespace ui_text {

// Tooltips (the comma of the escape VLAN tip is ASCII).
inline constexpr char16_t kTipMultiTerminal[] = u"hub接入场景需要开启允许多终端接入";
inline constexpr char16_t kTipMabDelay[] = u"MAB认证延迟时间指的是802.1x认证失败后执行MAB认证的时间间隔";
inline constexpr char16_t kTipServerIp[] = u"radius服务器一般为AC设备ip";
inline constexpr char16_t kTipInterface[] = u"选择交换机开启802.1x认证的端口";
inline constexpr char16_t kTipEscapeVlan[] = u"当radius服务器故障时,划分到对应的逃生vlan";
inline constexpr char16_t kTipGuestVlan[] = u"配置认证前划分到Guest vlan";

}  // namespace ui_text
