#!/bin/sh
# Turns every hand-written presets/NAME.json into the presets/NAME.qlp that ships beside it,
# with the qelv tool itself, so the two forms can never drift apart.
# Usage: scripts/make-presets.sh [PATH/TO/qelv]   (default: build/native/qelv, built if missing)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
qelv=${1:-$root/build/native/qelv}
if [ ! -x "$qelv" ]; then
    cmake -S "$root" -B "$root/build/native" >/dev/null
    cmake --build "$root/build/native" -j2 --target qelv >/dev/null
fi
count=0
for json in "$root"/presets/*.json; do
    "$qelv" preset from-json "$json" -o "${json%.json}.qlp"
    count=$((count + 1))
done
# A .qlp whose JSON has gone would ship a preset nobody can review.
for qlp in "$root"/presets/*.qlp; do
    [ -e "${qlp%.qlp}.json" ] || { echo "make-presets: $qlp has no JSON source" >&2; exit 1; }
done
echo "make-presets: $count presets written to $root/presets"
