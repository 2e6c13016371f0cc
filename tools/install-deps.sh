#!/usr/bin/env bash
# Installs what the builds and tests need on a fresh Debian 12 machine.
# Cheap when everything is already there: it only calls apt-get for what is missing.
set -euo pipefail

need=(
  cmake g++ make pkg-config
  googletest libgtest-dev libbenchmark-dev libcli11-dev
  g++-mingw-w64-i686 mingw-w64-i686-dev binutils-mingw-w64-i686
  wine wine64 wine32:i386
  xvfb x11-utils xdotool imagemagick fonts-wqy-microhei
  locales python3 clang lld libclang-rt-14-dev
  libinih-dev libsimpleini-dev
)

missing=()
for p in "${need[@]}"; do
  dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "install-deps: missing packages: ${missing[*]} (run as root to install them)" >&2
  exit 1
fi

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
