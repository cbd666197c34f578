#!/usr/bin/env bash
# The main job: builds the plug-in and starts it in the stand-in host under Wine for a
# few seconds, then reports what it reached.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
"$root/scripts/install-deps.sh"
cmake -S . -B build/win32 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-i686.cmake" \
  -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/win32 -j"$(nproc)" --target qelv testhost
source "$root/scripts/wine-env.sh"
wine_display_start
trap wine_display_stop EXIT
wine build/win32/testhost.exe --dll build/win32/qelv.dll --seconds 5
