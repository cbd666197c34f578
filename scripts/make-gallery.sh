#!/bin/sh
# Renders one still of every shipped preset from the built-in demo track into
# docs/gallery/NAME.png, for the README.
# Usage: scripts/make-gallery.sh [PATH/TO/qelv]   (default: build/native/qelv, built if missing)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
qelv=${1:-$root/build/native/qelv}
# Six seconds in: every preset has built up its trails and the music is in full swing.
frame=300
size=320x180
if [ ! -x "$qelv" ]; then
    cmake -S "$root" -B "$root/build/native" >/dev/null
    cmake --build "$root/build/native" -j2 --target qelv >/dev/null
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$root/docs/gallery"
rm -f "$root"/docs/gallery/*.png
for preset in "$root"/presets/*.qlp; do
    name=$(basename "$preset" .qlp)
    if ! "$qelv" render --demo --preset "$preset" --size $size --frames $((frame + 1)) --out "$work/$name/" \
        >"$work/log" 2>&1; then
        cat "$work/log" >&2
        exit 1
    fi
    cp "$work/$name/frame-$(printf %06d $frame).png" "$root/docs/gallery/$name.png"
    rm -rf "${work:?}/$name"
done
echo "make-gallery: $(ls "$root"/docs/gallery | wc -l) stills in $root/docs/gallery"
