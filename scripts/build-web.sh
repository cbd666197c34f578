#!/usr/bin/env bash
# Builds the web page: the engine compiled to WebAssembly with emscripten (cmake/web.cmake)
# and the page of web/, written as a static site to build/web/site (index.html, the
# script, the module, the shipped presets and the panels' dialog templates).
#   build-web.sh [SITE]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
site=${1:-$root/build/web/site}
tree=$root/build/web/cmake
# Debian's emscripten runs its optimiser with the installed node, which finds Debian's
# acorn only here.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}

"$root/scripts/fetch-kissfft-source.sh" "$root/build/web/kissfft"
emcmake cmake -S . -B "$tree" -DCMAKE_BUILD_TYPE=Release -DQELV_BUILD_TESTS=OFF \
  -DQELV_KISSFFT_SOURCE_DIR="$root/build/web/kissfft" >/dev/null
cmake --build "$tree" -j"$(nproc)" --target qelv_web

rm -rf "$site"
mkdir -p "$site/presets"
cp web/index.html web/*.js web/*.css "$tree/qelv.js" "$tree/qelv.wasm" ui/qelv.rc ui/resource_ids.h "$site/"
cp presets/*.qlp "$site/presets/"
# The page lists the shipped presets from this file; a static server lists no folders.
(cd presets && ls *.qlp | sed 's/\.qlp$//') | node -e '
  const names = require("fs").readFileSync(0, "utf8").split("\n").filter(Boolean);
  process.stdout.write(JSON.stringify(names) + "\n");' >"$site/presets/index.json"
echo "site written to $site"
