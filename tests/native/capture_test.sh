#!/bin/sh
# Live sound in, end to end: a private sound server with a null output and nothing else,
# the demo track played into it, and `qelv play --capture` hearing it through the
# output's monitor; silence gives no beats; --list-sources names the monitor; without a
# server the capture and the listing fail at once with one line; a source the server does
# not take is named. The server is ours alone and is killed however the test ends.
set -u
qelv=$1
. "$(dirname "$0")/lib/private_pulse.sh"
begin_sound_test pulseaudio paplay

# No server: one line naming the cause, exit 1, well within the limit.
start=$(date +%s)
PULSE_SERVER="unix:$dir/none" timeout 10 "$qelv" play --capture --frames 5 2>"$dir/err"
rc=$?
[ $rc -eq 1 ] || fail "without a server the exit code is $rc, not 1"
[ "$(wc -l <"$dir/err")" -eq 1 ] || fail "without a server: $(cat "$dir/err")"
grep -q "no sound server" "$dir/err" || fail "without a server: $(cat "$dir/err")"
[ $(($(date +%s) - start)) -le 3 ] || fail "without a server it took more than 3 s"
echo "no server: $(cat "$dir/err")"
start=$(date +%s)
PULSE_SERVER="unix:$dir/none" timeout 10 "$qelv" play --list-sources >"$dir/out" 2>"$dir/err"
rc=$?
[ $rc -eq 1 ] || fail "listing without a server: exit code $rc, not 1"
[ "$(cat "$dir/out" "$dir/err" | wc -l)" -eq 1 ] || fail "listing without a server: $(cat "$dir/out" "$dir/err")"
[ $(($(date +%s) - start)) -le 3 ] || fail "listing without a server took more than 3 s"
echo "no server, listing: $(cat "$dir/err")"

# Started with no argument, as from the menu: the desktop's sound where a server answers,
# else the demo; it says which. Ended by SIGTERM, as the window's owner would.
menu_start() {
  "$qelv" play 2>"$dir/menu" &
  menu=$!
  sleep 2
  kill -TERM $menu
  wait $menu
  grep -q "$1" "$dir/menu" || fail "started with no argument: $(cat "$dir/menu")"
  echo "started with no argument: $(head -1 "$dir/menu")"
}
PULSE_SERVER="unix:$dir/none" menu_start "playing the built-in demo instead"

start_private_pulse

# The null output's monitor, by the name --capture takes, marked as what it hears alone.
timeout 10 "$qelv" play --list-sources >"$dir/out" 2>"$dir/err" || fail "listing exited $?: $(cat "$dir/err")"
grep -q "^\* qelvtest\.monitor	" "$dir/out" || fail "no monitor listed: $(cat "$dir/out" "$dir/err")"
echo "listed: $(grep qelvtest.monitor "$dir/out")"
menu_start "showing what the desktop plays"
grep -q "blocks captured" "$dir/menu" || fail "started with no argument, it did not capture: $(cat "$dir/menu")"

# A source the server does not know, or refuses outright, is named.
for source in nosuch 'no/such'; do
  timeout 10 "$qelv" play --capture "$source" --frames 5 2>"$dir/err"
  rc=$?
  [ $rc -eq 1 ] && grep -q "'$source'" "$dir/err" || fail "capturing $source: exit $rc: $(cat "$dir/err")"
  echo "source $source: $(cat "$dir/err")"
done

"$qelv" analyze --demo --wav "$dir/demo.wav" 2>/dev/null || fail "no demo WAV"

# Summary: "qelv play: N blocks captured, N frames shown, B beats".
capture() {
  timeout 30 "$qelv" play --capture --frames "$1" 2>"$dir/err"
  rc=$?
  [ $rc -eq 0 ] || fail "capture exited $rc: $(cat "$dir/err")"
  line=$(grep "blocks captured" "$dir/err") || fail "no summary: $(cat "$dir/err")"
  echo "$line"
  echo "$line" | grep -q "^qelv play: $1 blocks captured, [0-9]* frames shown, [0-9]* beats$" || fail "summary: $line"
  beats=$(echo "$line" | sed 's/.* \([0-9]*\) beats$/\1/')
}

capture 50
[ "$beats" -eq 0 ] || fail "silence gave $beats beats"

paplay "$dir/demo.wav" &
player=$!
capture 250
# The demo's drums give a beat every half second or so: in five seconds, several.
[ "$beats" -ge 3 ] || fail "the demo gave only $beats beats"
