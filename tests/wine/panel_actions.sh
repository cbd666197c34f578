#!/bin/sh
# The real control panel driven the way a user's clicks drive it: a right click on the
# output window shows it, choosing "Fadeout v0.0" in the library and pressing "<- add"
# puts it in the chain and the list, and the display settings page opens in the page area.
#   panel_actions.sh TESTHOST.EXE QELV.DLL   (DISPLAY and WINEPREFIX already set up)
set -u
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$1" "$work/testhost.exe"
cp "$2" "$work/qelv.dll"
cd "$work" || exit 1
timeout 60 wine testhost.exe --dll qelv.dll --seconds 2 --exercise-panel > out.txt 2>&1
status=$?
tr -d '\r' < out.txt > lines.txt
cat lines.txt
fail() { echo "FAIL: $*"; exit 1; }
[ $status -eq 0 ] || fail "testhost exited with $status"
grep -qx 'panel visible 1' lines.txt || fail "a right click did not show the panel"
grep -qx 'panel effects 1 first "Fadeout v0.0"' lines.txt || fail "adding from the library did not reach the list"
grep -q '^panel page "Display Settings" modes [1-9]' lines.txt || fail "the display settings page did not open with its modes"
# Quit wrote the chain the panel built.
[ "$(od -An -tx1 -j25 -N4 qelv5.dat | tr -d ' ')" = "03000000" ] || fail "the autosave file does not hold the added Fadeout"
echo "panel actions: 1 passed, 0 failed"
