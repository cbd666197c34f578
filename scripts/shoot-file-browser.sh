#!/bin/sh
# A still of the Load chooser open over the control panel of `qelv play`, on a private
# Xvfb display, and a check that the picture behind it goes on moving: two shots half a
# second apart must differ in the picture beside the chooser.
#   scripts/shoot-file-browser.sh [QELV] [OUT.png]
# Needs Xvfb, xdotool, xwd and ImageMagick (install-deps.sh tests).
set -eu
qelv=${1:-build/native/qelv}
out=${2:-docs/file-browser.png}
work=$(mktemp -d)
display=:$((90 + $$ % 100))
Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
player=
finish() {
    [ -n "$player" ] && kill "$player" 2>/dev/null || true
    kill "$xvfb" 2>/dev/null || true
    rm -rf "$work"
}
trap finish EXIT
export DISPLAY="$display" XDG_CONFIG_HOME="$work/config"
mkdir -p "$XDG_CONFIG_HOME/qelv"
# A few folders the chooser has been used in before.
printf '%s\n' "$(pwd)/presets" "$HOME" /tmp >"$XDG_CONFIG_HOME/qelv/recent-folders"
sleep 1
"$qelv" play --demo --no-sound >"$work/play.log" 2>&1 &
player=$!
window=
for _ in 1 2 3 4 5 6 7 8 9 10; do
    window=$(xdotool search --name '^Qelv' 2>/dev/null | head -n 1) && [ -n "$window" ] && break
    sleep 0.5
done
[ -n "$window" ] || { echo "no window"; cat "$work/play.log"; exit 1; }
sleep 1
# Tab shows the panel; its "load" button sits at (77, 331) in the window.
xdotool mousemove --window "$window" 600 300 key Tab
sleep 0.5
xdotool mousemove --window "$window" 77 331 click 1
sleep 1.5
eval "$(xdotool getwindowgeometry --shell "$window")"
shot() { xwd -root -silent -display "$display" | convert xwd:- -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "png:$1"; }
shot "$work/a.png"
sleep 0.5
shot "$work/b.png"
# The strip right of the chooser shows only the picture.
strip="200x400+$((WIDTH - 220))+100"
changed=$(compare -metric AE "$work/a.png[$strip]" "$work/b.png[$strip]" null: 2>&1 || true)
echo "picture pixels changed beside the open chooser in 0.5 s: $changed of 80000"
cp "$work/b.png" "$out"
echo "wrote $out"
[ "${changed%%.*}" -gt 0 ]
