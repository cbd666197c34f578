#!/bin/sh
# The control panel in the real plug-in: the stand-in host finds the panel by its caption
# and reads the frame-rate line that the render thread handed over; Quit must then end
# cleanly, which it could not if the hand-over waited for the blocked window thread.
#   panel.sh TESTHOST.EXE QELV.DLL
set -eu
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$1" "$work/testhost.exe"
cp "$2" "$work/qelv.dll"
cd "$work"
status=0
timeout 120 wine testhost.exe --dll qelv.dll --seconds 2 >out.txt 2>&1 || status=$?
cat out.txt
if [ "$status" -ne 0 ]; then
  echo "FAIL: testhost exited with $status"
  exit 1
fi
if ! grep -Eq '^frame rate: [0-9]+ FPS @ [0-9]+x[0-9]+x32bpp' out.txt; then
  echo "FAIL: no panel \"Qelv 5 - Control Panel\" with a frame-rate line"
  exit 1
fi
grep -q '^quit' out.txt || { echo "FAIL: Quit did not return"; exit 1; }
echo "panel: 1 passed, 0 failed"
