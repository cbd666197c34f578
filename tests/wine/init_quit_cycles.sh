#!/bin/sh
# The real plug-in started and stopped 50 times in one host process, with a chain read
# from the autosave file: every Init succeeds, every Quit returns within a second, the
# process's threads and handles do not grow from the first stop to the last, no
# temporary file is left, and the last Quit writes the loaded chain back byte for byte.
# (Wine reports no handle count, so there only the threads are compared.)
#   init_quit_cycles.sh TESTHOST.EXE QELV.DLL   (DISPLAY and WINEPREFIX already set up)
set -u
cycles=50
data=$(cd "$(dirname "$0")/../data" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$1" "$work/testhost.exe"
cp "$2" "$work/qelv.dll"
cp "$data/presets/every-type.qlp" "$work/qelv5.dat"
printf '[Qelv5]\r\ncfg_x=40\r\ncfg_y=40\r\ncfg_w=320\r\ncfg_h=240\r\n' > "$work/testhost.ini"

fail() { echo "FAIL: $*"; cat "$work/out.txt" 2>/dev/null; exit 1; }

cd "$work" || exit 1
timeout 120 wine testhost.exe --dll qelv.dll --seconds 0.1 --cycles $cycles > out.txt 2>&1 ||
  fail "testhost exited with $?"
tr -d '\r' < out.txt > clean.txt
[ "$(grep -c '^init 0' clean.txt)" = $cycles ] || fail "not every Init succeeded"
awk '/^quit after/ { if ($3 >= 1000) bad = 1; n++ } END { exit bad || n != '$cycles' }' clean.txt ||
  fail "a Quit did not return within a second"
first=$(grep '^threads' clean.txt | head -1)
last=$(grep '^threads' clean.txt | tail -1)
echo "after the first Quit: $first; after the last: $last"
[ -n "$first" ] && [ "$first" = "$last" ] || fail "threads or handles grew over the cycles"
[ "$(ls | grep -c '^qelv5\.dat')" = 1 ] || fail "a temporary autosave file was left: $(ls)"
cmp -s qelv5.dat "$data/presets/every-type.qlp" || fail "the autosave file differs from the chain that was loaded"
echo "init/quit cycles: 1 passed, 0 failed ($cycles cycles)"
