#!/usr/bin/env bash
# Builds every tree and runs every test: native unit tests, an address/undefined-behaviour
# build, a thread-sanitizer build of the threaded parts, the preset fuzzer, the 32-bit
# Windows plug-in with its static checks, and the Windows tests under Wine inside an Xvfb
# display of their own. Where this machine runs no 32-bit programs, the Windows tests run
# from a 64-bit Windows tree of the same sources under the 64-bit Wine (see
# scripts/windows-mode.sh; QELV_WINE_ARCH=win32|win64 chooses by hand).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=$(nproc)
started=$SECONDS
stage() { echo "== $* ($((SECONDS - started)) s)"; }

source "$root/scripts/windows-mode.sh"
windows_mode=$(windows_mode)
if [ "$windows_mode" = win32 ]; then
  echo "== Windows mode win32: this machine runs 32-bit programs; the 32-bit plug-in's tests run under the 32-bit Wine"
else
  echo "== Windows mode win64: this machine runs no 32-bit programs (or QELV_WINE_ARCH=win64); the 32-bit plug-in is built and checked statically, and the Windows tests run from a 64-bit tree of the same sources under the 64-bit Wine"
fi
"$root/scripts/install-deps.sh" tests "$windows_mode"

# Neither mode passes by skipping: the chosen Wine must start.
if [ "$windows_mode" = win32 ]; then wine_loader=/usr/lib/wine/wine; wine_package=wine32:i386
else wine_loader=/usr/lib/wine/wine64; wine_package=wine64; fi
if ! "$wine_loader" --version >/dev/null 2>&1; then
  echo "FAIL: $wine_loader does not run here; install $wine_package (apt-get install -y $wine_package), or choose the other mode with QELV_WINE_ARCH" >&2
  exit 1
fi

stage "native build"
cmake -S . -B build/native -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQELV_BUILD_TESTS=ON >/dev/null
cmake --build build/native -j"$jobs"
(cd build/native && ctest --output-on-failure -j"$jobs")

stage "web page: the engine in WebAssembly, driven in headless chromium against the native tool"
QELV_NATIVE_TOOL="$root/build/native/qelv" "$root/scripts/test-web.sh"

stage "sanitizer build (address, undefined behaviour)"
cmake -S . -B build/sanitize -DCMAKE_BUILD_TYPE=Debug -DQELV_SANITIZE=ON >/dev/null
cmake --build build/sanitize -j"$jobs"
(cd build/sanitize && ctest --output-on-failure -j"$jobs")

stage "thread sanitizer: the render thread and the chain's workers against the window thread, the decoder and the track finder against the player, the library's feeding against its drawing"
cmake -S . -B build/tsan -DCMAKE_BUILD_TYPE=Debug -DQELV_TSAN=ON >/dev/null
cmake --build build/tsan -j"$jobs" --target engine_tests plugin_tests output_tests ui_tests player_tests apps_tests capi_tests
for t in engine_tests plugin_tests output_tests ui_tests; do build/tsan/$t --gtest_brief=1; done
# The player's decoding thread against the one playing what it decodes.
build/tsan/player_tests --gtest_brief=1 --gtest_filter='TrackStream.*'
# The thread looking for a list's next track, and the one capturing live sound, against
# the window's.
build/tsan/apps_tests --gtest_brief=1 --gtest_filter='PlaylistSource.*:CaptureSource.*'
# A player's audio thread feeding libqelv while another thread draws.
build/tsan/capi_tests --gtest_brief=1 --gtest_filter='CapiThreads.*'

if [ -f fuzz/CMakeLists.txt ]; then
  stage "fuzzers: every reader, a fixed number of runs each"
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
media_decoder_fuzzer media 10000
TARGETS
fi

stage "win32 build: the shipped qelv.dll, and its static checks"
cmake -S . -B build/win32 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-i686.cmake" \
  -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/win32 -j"$jobs"
(cd build/win32 && ctest --output-on-failure -L static)

windows_tree=build/$windows_mode
if [ "$windows_mode" = win64 ]; then
  stage "win64 build: the same sources for the 64-bit Wine"
  cmake -S . -B build/win64 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build build/win64 -j"$jobs"
fi

stage "Windows tests from $windows_tree under the $windows_mode Wine"
source "$root/scripts/wine-env.sh"
# The window test compares the plug-in's window with the native tool's frames.
export QELV_NATIVE_TOOL="$root/build/native/qelv"
wine_display_start
trap wine_display_stop EXIT
(cd "$windows_tree" && ctest --output-on-failure)
# A test that passed on its second try says so here, where ctest would hide it.
grep -h '^HANG:\|^RETRY:' "$windows_tree/Testing/Temporary/LastTest.log" || true
stage "all tests passed in Windows mode $windows_mode"
