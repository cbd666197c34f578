#!/bin/sh
# What play remembers of its window, on a real X display of our own: --size does not
# change the remembered size, and a remembered place off every display opens on one.
set -u
qelv=$1
dir=$(mktemp -d)
display=:$((90 + $$ % 100))
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
sleep 1
export DISPLAY=$display XDG_CONFIG_HOME="$dir" SDL_AUDIODRIVER=dummy
ini=$dir/qelv/qelv.ini
place() { grep '^cfg_[xywh]=' "$ini" | tr '\n' ' '; }

"$qelv" play --demo --no-sound --frames 10 2>/dev/null || fail "play exited $?"
first=$(place)
"$qelv" play --demo --no-sound --frames 10 --size 1600x900 2>/dev/null || fail "play --size exited $?"
case $(place) in
  *"cfg_w=1024 cfg_h=640 "*) ;;
  *) fail "--size changed the remembered size: $first -> $(place)" ;;
esac
sed -i 's/^cfg_x=.*/cfg_x=3000/; s/^cfg_y=.*/cfg_y=2500/' "$ini"
"$qelv" play --demo --no-sound --frames 10 2>/dev/null || fail "play exited $?"
[ "$(place)" = "cfg_x=0 cfg_y=64 cfg_w=1024 cfg_h=640 " ] || fail "a place off the display stayed off it: $(place)"
echo "remembered: $first; after --size and a place off the display: $(place)"
