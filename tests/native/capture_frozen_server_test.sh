#!/bin/sh
# A sound server that stops answering in the middle of `qelv play --capture` (here it is
# stopped with SIGSTOP) does not keep the run alive: SIGTERM ends it within a second, with
# its summary and exit code 0. A capture opened against the stopped server fails within
# the seconds the server has to answer, naming the cause.
set -u
qelv=$1
for tool in pulseaudio pactl pacat python3; do
  if ! command -v $tool >/dev/null; then
    echo "$tool is not installed: skipped"
    exit 77
  fi
done
dir=$(mktemp -d)
server=
player=
keeper=
cleanup() {
  [ -n "$player" ] && kill -KILL "$player" 2>/dev/null
  [ -n "$keeper" ] && kill "$keeper" 2>/dev/null
  [ -n "$server" ] && kill -CONT "$server" 2>/dev/null && kill "$server" 2>/dev/null
  [ -n "$server" ] && wait "$server" 2>/dev/null
  rm -rf "$dir"
}
trap cleanup EXIT
trap 'exit 1' INT TERM
fail() { echo "FAIL: $*"; exit 1; }
. "$(dirname "$0")/lib/private_pulse.sh"

export HOME="$dir" XDG_RUNTIME_DIR="$dir" XDG_CONFIG_HOME="$dir/config" SDL_VIDEODRIVER=dummy
unset DISPLAY WAYLAND_DISPLAY
start_private_pulse
# The capture is taking sound in when the server stops.
keep_output_running

"$qelv" play --capture 2>"$dir/err" &
player=$!
for _ in $(seq 100); do
  [ -n "$(pactl list short source-outputs)" ] && break
  sleep 0.1
done
[ -n "$(pactl list short source-outputs)" ] || fail "the capture did not start: $(cat "$dir/err")"
sleep 1
kill -STOP "$server"
sleep 0.2

# A watchdog kills the player a second after SIGTERM; wait tells which came first.
start=$(date +%s.%N)
kill -TERM "$player"
(sleep 1; kill -KILL "$player" 2>/dev/null) &
watchdog=$!
wait "$player"
rc=$?
player=
took=$(python3 -c "print(round($(date +%s.%N) - $start, 2))")
kill "$watchdog" 2>/dev/null
[ $rc -ne 137 ] || fail "the run was still alive a second after SIGTERM: $(cat "$dir/err")"
[ $rc -eq 0 ] || fail "the run exited $rc: $(cat "$dir/err")"
grep -q "blocks captured" "$dir/err" || fail "no summary: $(cat "$dir/err")"
echo "ended $took s after SIGTERM: $(cat "$dir/err")"

start=$(date +%s)
timeout 20 "$qelv" play --capture --frames 5 2>"$dir/err"
rc=$?
[ $rc -eq 1 ] || fail "against the stopped server the exit code is $rc: $(cat "$dir/err")"
grep -q "does not answer" "$dir/err" || fail "against the stopped server: $(cat "$dir/err")"
[ $(($(date +%s) - start)) -le 8 ] || fail "against the stopped server it took more than 8 s"
echo "stopped server: $(cat "$dir/err")"
