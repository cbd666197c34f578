#!/usr/bin/env bash
# The main job: builds the native tool and renders the built-in demo track with the
# default chain to a video (PNG frames where ffmpeg is missing), then says where it is.
# It installs only what the native tool needs; the test command installs the rest.
set -euo pipefail
cd "$(dirname "$0")/.."
"$PWD/scripts/install-deps.sh" native
cmake -S . -B build/native -DCMAKE_BUILD_TYPE=Release -DQELV_BUILD_TESTS=OFF >/dev/null
cmake --build build/native -j"$(nproc)" --target qelv
mkdir -p out
if command -v ffmpeg >/dev/null 2>&1; then
  out=out/qelv-demo.mp4
else
  out=out/qelv-demo/
fi
build/native/qelv render --demo --out "$out"
echo "The demo render is in $PWD/${out%/}"
