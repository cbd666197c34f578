#!/bin/sh
# The real plug-in opens its output window at the stored placement, presents frames,
# and writes the window settings into the host's settings file at Quit.
#   output_window.sh TESTHOST.EXE QELV.DLL   (DISPLAY and WINEPREFIX already set up)
set -u
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# A private copy of the host, so that its settings and autosave files are ours alone.
cp "$1" "$work/testhost.exe"
cp "$2" "$work/qelv.dll"
ini="$work/testhost.ini"
printf '[Qelv5]\r\ncfg_x=50\r\ncfg_y=60\r\ncfg_w=300\r\ncfg_h=200\r\n' > "$ini"

fail() { echo "FAIL: $*"; cat "$work/out.txt" 2>/dev/null; exit 1; }

cd "$work" || exit 1
timeout 60 wine testhost.exe --dll qelv.dll --seconds 2 > out.txt 2>&1 &
host=$!
for _ in $(seq 100); do grep -q '^init' out.txt 2>/dev/null && break; sleep 0.1; done
grep -q '^init 0' out.txt || { wait $host; fail "Init did not succeed"; }

if command -v xwd >/dev/null && command -v convert >/dev/null; then
  sleep 0.5
  xwd -root -silent | convert xwd:- png:shot.png
  pixel() { convert shot.png -format "%[hex:p{$1,$2}]" info:; }
  frame=$(pixel 51 61)   # the sizing frame at the stored placement
  client=$(pixel 200 160)  # inside the client area: a cleared, black frame
  echo "frame pixel $frame, client pixel $client"
  [ "$frame" != "000000" ] || { wait $host; fail "no window frame at 51,61"; }
  [ "$client" = "000000" ] || { wait $host; fail "client area is $client, not black"; }
fi

wait $host || fail "testhost exited with $?"
grep -q '^quit' out.txt || fail "no quit"
tr -d '\r' < "$ini" > settings.txt
grep -q '^\[Qelv5\]' settings.txt || fail "no [Qelv5] section"
for line in cfg_x=50 cfg_y=60 cfg_w=300 cfg_h=200 cfg_fs_w=320 cfg_fs_h=240 cfg_fs_d=0; do
  grep -qx "$line" settings.txt || { cat settings.txt; fail "settings lack $line"; }
done
echo "ok"
