#!/bin/sh
# The real plug-in with a chain of every effect type, read from the autosave file and fed
# two seconds of the demo track, started and stopped twice: frames show a picture, Quit
# returns within a second, and each Quit writes the same chain back byte for byte.
#   demo_chain.sh TESTHOST.EXE QELV.DLL   (DISPLAY and WINEPREFIX already set up)
set -u
data=$(cd "$(dirname "$0")/../data" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$1" "$work/testhost.exe"
cp "$2" "$work/qelv.dll"
cp "$data/presets/every-type.qlp" "$work/qelv5.dat"
printf '[Qelv5]\r\ncfg_x=40\r\ncfg_y=40\r\ncfg_w=320\r\ncfg_h=240\r\n' > "$work/testhost.ini"

fail() { echo "FAIL: $*"; cat "$work/out.txt" 2>/dev/null; exit 1; }

cd "$work" || exit 1
timeout 60 wine testhost.exe --dll qelv.dll --samples "$data/demo-2s.qsb" --seconds 3 --cycles 2 > out.txt 2>&1 &
host=$!
for _ in $(seq 100); do grep -q '^init' out.txt 2>/dev/null && break; sleep 0.1; done
grep -q '^init 0' out.txt || { wait $host; fail "Init did not succeed"; }

if command -v xwd >/dev/null && command -v convert >/dev/null; then
  sleep 1.5
  xwd -root -silent | convert xwd:- png:shot.png
  # The share of lit pixels inside the client area: the effects must have drawn.
  lit=$(convert shot.png -crop 280x180+60+80 -colorspace gray -threshold 5% -format "%[fx:mean]" info:)
  echo "lit share of the client area: $lit"
  awk "BEGIN { exit !($lit > 0.02) }" || { wait $host; fail "the frame is (nearly) black"; }
fi

wait $host || fail "testhost exited with $?"
[ "$(grep -c '^init 0' out.txt)" = 2 ] || fail "Init after Quit did not succeed again"
# Quit stops the render thread within about one frame.
awk '/^quit after/ { if ($3 >= 1000) bad = 1; n++ } END { exit bad || n != 2 }' out.txt ||
  fail "Quit did not return within a second"
cmp -s qelv5.dat "$data/presets/every-type.qlp" || fail "the autosave file differs from the chain that was loaded"
echo "demo chain: 1 passed, 0 failed"
