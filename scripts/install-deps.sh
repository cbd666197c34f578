#!/usr/bin/env bash
# Installs what a stage needs on a fresh Debian 12 machine and says what it installs; as
# another user, prints the apt-get line and stops.
#   install-deps.sh native           the qelv tool (what the main job needs)
#   install-deps.sh tests win32      the native tool, every test (the web page's too), and the 32-bit Wine
#   install-deps.sh tests win64      the same with the 64-bit Wine instead
set -euo pipefail
native=(cmake g++ pkg-config libsdl2-dev libsndfile1-dev libkissfft-dev libstb-dev libimgui-dev
  nlohmann-json3-dev libpulse-dev libx11-dev libavformat-dev libavcodec-dev libswresample-dev libavutil-dev ffmpeg)
tests=(clang libclang-rt-14-dev libgtest-dev libgmock-dev googletest libbenchmark-dev
  mingw-w64 g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix xvfb x11-apps imagemagick xdotool twm openbox
  pulseaudio pulseaudio-utils help2man desktop-file-utils appstream
  libgstreamer1.0-dev libgstreamer-plugins-base1.0-dev gstreamer1.0-tools gstreamer1.0-plugins-base
  gstreamer1.0-plugins-good gstreamer1.0-plugins-ugly python3-gi gir1.2-gstreamer-1.0 gir1.2-gst-plugins-base-1.0)
# The web page: emscripten (whose optimiser needs node and acorn), the headless browser
# its tests drive, patch for kissfft's Debian sources, and npm for the test driver (any node that comes with its own npm will do).
web=(emscripten node-acorn nodejs chromium python3 patch)
command -v npm >/dev/null || web+=(npm)
wine32=(wine wine32:i386)
wine64=(wine wine64)

packages=("${native[@]}")
need_i386=0
case "${1:-native}" in
  native) ;;
  tests)
    packages+=("${tests[@]}" "${web[@]}")
    case "${2:-}" in
      win32) packages+=("${wine32[@]}"); need_i386=1 ;;
      win64) packages+=("${wine64[@]}") ;;
      *) echo "install-deps.sh tests needs win32 or win64" >&2; exit 2 ;;
    esac ;;
  *) echo "usage: install-deps.sh native | tests win32|win64" >&2; exit 2 ;;
esac

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
add_i386=0
[ $need_i386 -eq 1 ] && ! dpkg --print-foreign-architectures | grep -qx i386 && add_i386=1
if [ "$(id -u)" -ne 0 ]; then
  echo "Missing packages. As root, run:" >&2
  [ $add_i386 -eq 1 ] && echo "  dpkg --add-architecture i386 && apt-get update" >&2
  echo "  apt-get install -y ${missing[*]}" >&2
  exit 1
fi
echo "== installing: ${missing[*]}"
[ $add_i386 -eq 1 ] && dpkg --add-architecture i386
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq "${missing[@]}" >/dev/null
