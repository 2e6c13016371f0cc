#!/usr/bin/env bash
# Writes the three model-list files of the example deployment in config/.
#
# The program reads these files as bytes in the ANSI code page, so they are
# stored in GBK (code page 936) with CR LF line ends. GBK does not diff well,
# which is why the readable UTF-8 source lives here; edit this script, run it
# and commit both. Model names stay ASCII: they become part of file names.
#
# Usage: tools/make-config-lists.sh [config-folder]   (default: config/ of the repo)
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$here/config}
mkdir -p "$out"

# write FILE: stdin (UTF-8, LF) -> FILE (GBK, CR LF)
write() {
  sed 's/$/\r/' | iconv -f UTF-8 -t GBK > "$out/$1"
}

write hw_switch_model.ini <<'EOF'
; 华为交换机型号列表（GBK 编码）
; TYPE0：V200R009 及更早版本，传统模式（dot1x enable、dot1x port-method）
; TYPE1：V200R010 及更新版本，统一模式（authentication-profile）
; 程序按位置选择终端模式关键字：第 1 项为 single-terminal/multi-authen，其余为 port/mac
[config]
count = 2
[TYPE]
TYPE0 = S5700-V200R009C00
TYPE1 = S5700-V200R010C00
EOF

write h3c_switch_model.ini <<'EOF'
; 华三交换机型号列表（GBK 编码）
; TYPE0：Comware V7（radius scheme、domain、dot1x port-method portbased/macbased）
[config]
count = 1
[TYPE]
TYPE0 = S5130-ComwareV7
EOF

write cisco_switch_model.ini <<'EOF'
; 思科交换机型号列表（GBK 编码）
; TYPE0：IOS 15.2(2)E 及以上、IOS XE 传统 authentication 命令（radius server 配置块）
; TYPE1：IOS 12.2(50)SE 至 15.x 传统 authentication 命令（radius-server host）
[config]
count = 2
[TYPE]
TYPE0 = IOS-XE-Classic
TYPE1 = IOS-15.0-Legacy
EOF
