#!/bin/sh
# A third party's view: `cmake --install` into a fresh prefix, then the examples built
# against what was installed, once with pkg-config and a plain C compiler and once with
# find_package(Qelv) in their own CMake project, and each run on a small WAV: the frames
# come out as PNG files. The folder is removed however the test ends.
set -u
build=$1
source=$2
fail() { echo "FAIL: $*"; exit 1; }
command -v ffmpeg >/dev/null || { echo "ffmpeg makes the test's WAV and is not installed: skipped"; exit 77; }
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
trap 'exit 1' INT TERM
prefix=$dir/prefix

cmake --install "$build" --prefix "$prefix" >"$dir/install.log" 2>&1 || fail "cmake --install: $(tail -5 "$dir/install.log")"
for file in include/qelv/qelv.h; do [ -f "$prefix/$file" ] || fail "$file is not installed"; done
pc=$(find "$prefix" -name qelv.pc)
[ -n "$pc" ] || fail "no qelv.pc is installed"
export PKG_CONFIG_PATH="$(dirname "$pc")"
libdir=$(pkg-config --variable=libdir qelv)
[ "$(realpath "$libdir")" = "$(realpath "$(dirname "$(dirname "$pc")")")" ] || fail "qelv.pc names $libdir"
[ -e "$libdir/libqelv.so.1" ] || fail "no libqelv.so.1 in $libdir"
[ -f "$(dirname "$pc")/../cmake/Qelv/QelvConfig.cmake" ] || fail "no CMake package beside qelv.pc"

ffmpeg -hide_banner -loglevel error -f lavfi -i "sine=frequency=110:beep_factor=4:duration=2:sample_rate=22050" \
  -ac 2 -c:a pcm_s16le "$dir/tone.wav" || fail "ffmpeg made no WAV"

# Each build runs on the WAV: one second, 50 frames, with a shipped preset.
check_run() {
  program=$1 out=$2
  LD_LIBRARY_PATH="$libdir" "$program" "$dir/tone.wav" "$out" 1 aurora >"$dir/run.log" 2>&1 ||
    fail "$program: $(cat "$dir/run.log")"
  count=$(ls "$out" | grep -c '^frame-[0-9]*\.png$')
  [ "$count" -eq 50 ] || fail "$program wrote $count PNG files, not 50"
  # A PNG signature, then the header's width and height: 320 x 180.
  [ "$(od -An -tx1 -N24 "$out/frame-0049.png" | tr -d ' \n')" = 89504e470d0a1a0a0000000d4948445200000140000000b4 ] ||
    fail "$out/frame-0049.png is no 320 x 180 PNG"
  echo "$program: $(cat "$dir/run.log")"
}

cc -std=c99 -Wall -Wextra -Werror -o "$dir/render_wav" "$source/examples/render_wav.c" \
  $(pkg-config --cflags --libs qelv sndfile stb) 2>"$dir/cc.log" || fail "cc with pkg-config: $(cat "$dir/cc.log")"
check_run "$dir/render_wav" "$dir/png-pkg-config"

cmake -S "$source/examples" -B "$dir/examples" -DCMAKE_PREFIX_PATH="$prefix" >"$dir/cmake.log" 2>&1 &&
  cmake --build "$dir/examples" >>"$dir/cmake.log" 2>&1 || fail "the examples' CMake project: $(tail -15 "$dir/cmake.log")"
check_run "$dir/examples/render_wav" "$dir/png-cmake"
