#!/usr/bin/env bash
# Installs what the builds and tests need on a fresh Debian 12 machine; as another user,
# prints the apt-get line and stops.
set -euo pipefail
packages=(cmake g++ clang libclang-rt-14-dev pkg-config libgtest-dev libgmock-dev googletest
  libbenchmark-dev libsdl2-dev libsndfile1-dev libkissfft-dev libstb-dev libimgui-dev
  nlohmann-json3-dev ffmpeg mingw-w64 g++-mingw-w64-i686-posix wine wine32:i386 xvfb
  x11-apps imagemagick)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
need_i386=0
dpkg --print-foreign-architectures | grep -qx i386 || need_i386=1
if [ "$(id -u)" -ne 0 ]; then
  echo "Missing packages. As root, run:" >&2
  [ $need_i386 -eq 1 ] && echo "  dpkg --add-architecture i386 && apt-get update" >&2
  echo "  apt-get install -y ${missing[*]}" >&2
  exit 1
fi
echo "== installing: ${missing[*]}"
[ $need_i386 -eq 1 ] && dpkg --add-architecture i386
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq "${missing[@]}" >/dev/null
