#!/bin/sh
# What play remembers of its window, and full screen, on a real X display of our own, with
# no window manager, with twm (one that knows no full screen and does not say how large its
# frames are) and with openbox (one that does both): F then Escape puts the window back
# where and as large as it was;
# neither full screen nor --size changes the remembered window; a remembered place off
# every display opens on one; full screen draws at the display settings' mode with their
# pixel doubling.
set -u
qelv=$1
dir=$(mktemp -d)
n=$((90 + $$ % 100))
while [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
display=:$n
server=
manager=
player=
cleanup() {
  [ -n "$player" ] && kill "$player" 2>/dev/null
  [ -n "$manager" ] && kill "$manager" 2>/dev/null
  [ -n "$server" ] && kill "$server" 2>/dev/null
  rm -rf "$dir"
}
trap cleanup EXIT
fail() { echo "FAIL ($pass): $*"; exit 1; }
pass=setup
for tool in Xvfb twm openbox xdotool xwininfo xwd convert compare; do
  command -v $tool >/dev/null || fail "$tool is not installed (scripts/install-deps.sh tests installs it)"
done
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
server=$!
# Ready once its socket is there; a loaded machine may take a while.
tries=0
until [ -S "/tmp/.X11-unix/X$n" ]; do
  tries=$((tries + 1))
  [ $tries -le 100 ] || fail "Xvfb did not start on $display"
  sleep 0.1
done
export DISPLAY=$display SDL_AUDIODRIVER=dummy
# In the sanitizer build: the X and D-Bus client libraries under SDL keep a few small
# allocations to the end, which are theirs, not ours.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"

place() { grep '^cfg_[xywh]=' "$ini" | tr '\n' ' '; }
play() { "$qelv" play --demo --no-sound --frames 10 "$@" 2>"$dir/err" || fail "play $* exited $?: $(cat "$dir/err")"; }
# The window's inside on the screen: X,Y WxH.
geometry() {
  xwininfo -id "$window" | awk '/Absolute upper-left X/ {x = $4} /Absolute upper-left Y/ {y = $4}
    /Width:/ {w = $2} /Height:/ {h = $2} END {print x "," y " " w "x" h}'
}
# Waits up to five seconds for the window to be at $1.
await() {
  tries=0
  until [ "$(geometry)" = "$1" ]; do
    tries=$((tries + 1))
    [ $tries -le 50 ] || fail "$2: the window is at $(geometry), not $1"
    sleep 0.1
  done
}
# Play, with the pointer over its window so that keys reach it without a manager too.
start() {
  "$qelv" play --demo --no-sound 2>"$dir/err" &
  player=$!
  window=$(xdotool search --sync --name '^Qelv' | head -n 1)
  xdotool mousemove --window "$window" 100 100
}
# A key, and where the window must come to.
press() {
  xdotool key "$1"
  await "$2" "after $1"
}
stop() {
  xdotool key q
  wait $player || fail "play with keys exited $?: $(cat "$dir/err")"
  player=
}

run_pass() {
  pass=$1
  export XDG_CONFIG_HOME="$dir/$pass"
  ini=$XDG_CONFIG_HOME/qelv/qelv.ini
  play
  first=$(place)
  opened=$(echo "$first" | sed 's/cfg_x=\([-0-9]*\) cfg_y=\([-0-9]*\) cfg_w=\([0-9]*\) cfg_h=\([0-9]*\) /\1,\2 \3x\4/')
  cp "$ini" "$dir/remembered"
  play --size 1600x900
  cmp -s "$ini" "$dir/remembered" || fail "--size changed the remembered window: $first -> $(place)"
  # Full screen covers the screen; Escape, F and quitting in full screen each leave it.
  start
  await "$opened" "opening"
  press f "0,0 1024x768"
  press Escape "$opened"
  press f "0,0 1024x768"
  press f "$opened"
  press f "0,0 1024x768"
  stop
  cmp -s "$ini" "$dir/remembered" || fail "full screen changed the remembered window: $first -> $(place)"
  sed -i 's/^cfg_x=.*/cfg_x=3000/; s/^cfg_y=.*/cfg_y=2500/' "$ini"
  play
  # On it, and no larger; a manager's frame may push the window a pixel or two further.
  set -- $(place | tr -c '0-9 \n-' ' ')
  [ "$1" -ge 0 ] && [ "$2" -ge 0 ] && [ "$1" -lt 1024 ] && [ "$2" -lt 768 ] && [ "$3" -le 1024 ] && [ "$4" -le 768 ] ||
    fail "a place off the display stayed off it: $(place)"
  echo "$pass: remembered $first; after full screen and --size the same; off the display: $(place)"
}

# Each manager is given a moment to take over the display.
run_pass "no window manager"

# Full screen draws at the display settings' mode with their doubling: the screen shows
# a picture of 2x2 blocks, each the same as its top left pixel.
pass="display settings"
export XDG_CONFIG_HOME="$dir/page"
mkdir -p "$XDG_CONFIG_HOME/qelv"
printf '[Qelv5]\ncfg_fs_w=1024\ncfg_fs_h=768\ncfg_fs_d=1\n' >"$XDG_CONFIG_HOME/qelv/qelv.ini"
start
press f "0,0 1024x768"
sleep 1
xwd -root -silent | convert xwd:- "$dir/screen.png"
convert "$dir/screen.png" -sample 50% -sample 200% "$dir/blocks.png"
stop
lit=$(convert "$dir/screen.png" -format "%[fx:mean > 0.01]" info:)
differ=$(compare -metric AE "$dir/screen.png" "$dir/blocks.png" null: 2>&1)
[ "$lit" = 1 ] && [ "$differ" = 0 ] || fail "the screen is not 2x2 blocks: $differ pixels differ (lit: $lit)"
echo "display settings: full screen at 1024x768 with doubling shows 2x2 blocks"
twm >/dev/null 2>&1 &
manager=$!
sleep 0.5
run_pass "twm"
kill $manager
openbox >/dev/null 2>&1 &
manager=$!
sleep 0.5
run_pass "openbox"
