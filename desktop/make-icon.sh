#!/bin/sh
# The application's icon is a frame Qelv draws itself: the beat-star preset over the
# demo track, 256 x 256, a few seconds in, when its arms are spread.
#   make-icon.sh QELV OUT.png
set -eu
qelv=$1 out=$2
frames=$(mktemp -d)
trap 'rm -rf "$frames"' EXIT
"$qelv" render --demo --preset beat-star --size 256x256 --frames 120 --out "$frames/" >/dev/null 2>&1
cp "$frames/frame-000119.png" "$out"
