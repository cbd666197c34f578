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
  echo "== fuzzers: every reader, a fixed number of runs each"
  cmake -S fuzz -B build/fuzz -DCMAKE_CXX_COMPILER=clang++ >/dev/null
  cmake --build build/fuzz -j"$jobs"
  # target, seed corpus in tests/data, runs
  while read -r target seeds runs; do
    mkdir -p "build/fuzz/corpus-$target"
    log="build/fuzz/$target.log"
    if ! build/fuzz/"$target" -seed=1 -runs="$runs" -max_len=4096 -artifact_prefix=build/fuzz/ \
        "build/fuzz/corpus-$target" "tests/data/$seeds" >"$log" 2>&1; then
      tail -40 "$log"
      echo "$target found a fault; the input is in build/fuzz/"
      exit 1
    fi
    echo "$target: $(grep '^Done' "$log")"
  done <<'TARGETS'
preset_fuzzer presets 20000
json_preset_fuzzer json 20000
settings_fuzzer settings 5000
sample_stream_fuzzer streams 5000
options_fuzzer options 50000
TARGETS
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
