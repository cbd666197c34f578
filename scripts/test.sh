#!/usr/bin/env bash
# Builds both trees (native x86-64 and the 32-bit Windows plug-in) and runs every test:
# native unit tests, an address/undefined-behaviour build, a thread-sanitizer build of the
# threaded parts, the preset fuzzer, and the win32 tests under Wine inside an Xvfb display
# of their own.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=$(nproc)

"$root/scripts/install-deps.sh"

echo "== native build"
cmake -S . -B build/native -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/native -j"$jobs"
(cd build/native && ctest --output-on-failure -j"$jobs")

echo "== sanitizer build (address, undefined behaviour)"
cmake -S . -B build/sanitize -DCMAKE_BUILD_TYPE=Debug -DQELV_SANITIZE=ON >/dev/null
cmake --build build/sanitize -j"$jobs"
(cd build/sanitize && ctest --output-on-failure -j"$jobs")

echo "== thread sanitizer: the render thread against the window thread"
cmake -S . -B build/tsan -DCMAKE_BUILD_TYPE=Debug -DQELV_TSAN=ON >/dev/null
cmake --build build/tsan -j"$jobs" --target host_tests output_tests ui_tests
for t in host_tests output_tests ui_tests; do build/tsan/$t --gtest_brief=1; done

if [ -f fuzz/CMakeLists.txt ]; then
  echo "== preset fuzzer"
  cmake -S fuzz -B build/fuzz -DCMAKE_CXX_COMPILER=clang++ >/dev/null
  cmake --build build/fuzz -j"$jobs"
  mkdir -p build/fuzz/corpus
  build/fuzz/preset_fuzzer -seed=1 -runs=20000 -max_len=4096 build/fuzz/corpus tests/data/presets
fi

echo "== win32 build"
cmake -S . -B build/win32 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-i686.cmake" \
  -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/win32 -j"$jobs"

echo "== win32 tests under Wine"
source "$root/scripts/wine-env.sh"
# The window test compares the plug-in's window with the native tool's frames.
export QELV_NATIVE_TOOL="$root/build/native/qelv"
wine_display_start
trap wine_display_stop EXIT
(cd build/win32 && ctest --output-on-failure)
