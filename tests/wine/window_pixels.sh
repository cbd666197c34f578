#!/bin/sh
# What the plug-in shows in its window is, pixel for pixel, the frame the native tool
# computes for the same chain and samples: one solid SimpleVis over a constant block, so
# every frame is the same and the moment of the screenshot does not matter.
#   window_pixels.sh TESTHOST.EXE QELV.DLL   (DISPLAY, WINEPREFIX and QELV_NATIVE_TOOL set)
set -u
data=$(cd "$(dirname "$0")/../data" && pwd)
tool=${QELV_NATIVE_TOOL:-}
[ -x "$tool" ] || { echo "FAIL: QELV_NATIVE_TOOL must name the native qelv tool"; exit 1; }
command -v xwd >/dev/null && command -v compare >/dev/null || { echo "FAIL: xwd and ImageMagick needed"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$1" "$work/testhost.exe"
cp "$2" "$work/qelv.dll"
cp "$data/presets/simplevis-solid.qlp" "$work/qelv5.dat"
dd if="$data/demo-2s.qsb" of="$work/block.qsb" bs=2304 skip=20 count=1 2>/dev/null
printf '[Qelv5]\r\ncfg_x=40\r\ncfg_y=40\r\ncfg_w=330\r\ncfg_h=250\r\n' > "$work/testhost.ini"

fail() { echo "FAIL: $*"; cat "$work/out.txt" 2>/dev/null; exit 1; }

cd "$work" || exit 1
timeout 60 wine testhost.exe --dll qelv.dll --samples block.qsb --seconds 3 > out.txt 2>&1 &
host=$!
for _ in $(seq 200); do grep -q '^client' out.txt 2>/dev/null && break; sleep 0.05; done
grep -q '^client' out.txt || { wait $host; fail "no client rectangle"; }
xwd -root -silent | convert xwd:- png:shot.png
wait $host || fail "testhost exited with $?"

set -- $(grep '^client' out.txt | tr -d '\r')
x=$2 y=$3 w=$4 h=$5
size=$(sed -n 's/^frame rate: .* @ \([0-9]*\)x\([0-9]*\)x32bpp.*/\1 \2/p' out.txt | tr -d '\r')
[ -n "$size" ] || fail "no frame-rate line with the frame size"
set -- $size
fw=$1 fh=$2
# The window shows the frame unscaled from its top-left corner.
vw=$(( w < fw ? w : fw )) vh=$(( h < fh ? h : fh ))
echo "client ${w}x${h} at $x,$y; frame ${fw}x${fh}; comparing ${vw}x${vh}"

"$tool" render --preset qelv5.dat --samples block.qsb --size "${fw}x${fh}" --frames 1 --out frame.rgb > render.log 2>&1 ||
  { cat render.log; fail "the native render failed"; }
convert -size "${fw}x${fh}" -depth 8 bgra:frame.rgb -alpha off -crop "${vw}x${vh}+0+0" +repage expected.png
convert shot.png -crop "${vw}x${vh}+${x}+${y}" +repage shown.png
differing=$(compare -metric AE expected.png shown.png diff.png 2>&1)
echo "differing pixels: $differing"
[ "$differing" = "0" ] || fail "the window differs from the native frame in $differing pixels"
lit=$(convert expected.png -colorspace gray -threshold 1% -format "%[fx:mean]" info:)
awk "BEGIN { exit !($lit > 0.01) }" || fail "the frame is black, so the comparison proves nothing"
echo "window pixels: 1 passed, 0 failed"
