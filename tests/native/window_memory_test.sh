#!/bin/sh
# What play remembers of its window, on a real X display of our own: --size does not
# change the remembered size, and a remembered place off every display opens on one.
set -u
qelv=$1
dir=$(mktemp -d)
n=$((90 + $$ % 100))
while [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
display=:$n
server=
cleanup() {
  [ -n "$server" ] && kill "$server" 2>/dev/null
  rm -rf "$dir"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }
command -v Xvfb >/dev/null || fail "Xvfb is not installed (scripts/install-deps.sh tests installs it)"
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
server=$!
# Ready once its socket is there; a loaded machine may take a while.
tries=0
until [ -S "/tmp/.X11-unix/X$n" ]; do
  tries=$((tries + 1))
  [ $tries -le 100 ] || fail "Xvfb did not start on $display"
  sleep 0.1
done
export DISPLAY=$display XDG_CONFIG_HOME="$dir" SDL_AUDIODRIVER=dummy
# In the sanitizer build: the X and D-Bus client libraries under SDL keep a few small
# allocations to the end, which are theirs, not ours.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
ini=$dir/qelv/qelv.ini
place() { grep '^cfg_[xywh]=' "$ini" | tr '\n' ' '; }

play() { "$qelv" play --demo --no-sound --frames 10 "$@" 2>"$dir/err" || fail "play $* exited $?: $(cat "$dir/err")"; }
play
first=$(place)
play --size 1600x900
case $(place) in
  *"cfg_w=1024 cfg_h=640 "*) ;;
  *) fail "--size changed the remembered size: $first -> $(place)" ;;
esac
sed -i 's/^cfg_x=.*/cfg_x=3000/; s/^cfg_y=.*/cfg_y=2500/' "$ini"
play
[ "$(place)" = "cfg_x=0 cfg_y=64 cfg_w=1024 cfg_h=640 " ] || fail "a place off the display stayed off it: $(place)"
echo "remembered: $first; after --size and a place off the display: $(place)"
