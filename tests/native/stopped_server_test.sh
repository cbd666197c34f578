#!/bin/sh
# A sound server that stops answering (here it is stopped with SIGSTOP) does not keep
# `qelv play` alive: SIGTERM ends a capture, and a track playing with sound, within a
# second, with the run's summary and exit code 0. A capture whose server stops for a
# while goes on over silence, said once, and captures again when the server does. A
# capture opened against the stopped server fails within the seconds the server has to
# answer, naming the cause.
set -u
qelv=$1
. "$(dirname "$0")/lib/private_pulse.sh"
begin_sound_test pulseaudio pactl pacat python3
start_private_pulse
# The output runs, so that the streams are under way when the server stops.
keep_output_running
"$qelv" analyze --demo --wav "$dir/demo.wav" 2>/dev/null || fail "no demo WAV"

# Runs `qelv play ARGS` until its stream of KIND (source-outputs, sink-inputs) has been
# going a second, stops the server, sends SIGTERM, and lets the server go on again.
ends_within_a_second() {
  kind=$1
  shift
  before=$(pactl list short "$kind" | wc -l)
  "$qelv" play "$@" 2>"$dir/err" &
  player=$!
  for _ in $(seq 100); do
    [ "$(pactl list short "$kind" | wc -l)" -gt "$before" ] && break
    sleep 0.1
  done
  [ "$(pactl list short "$kind" | wc -l)" -gt "$before" ] || fail "play $*: no stream: $(cat "$dir/err")"
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
  kill -CONT "$server"
  [ $rc -ne 137 ] || fail "play $*: still alive a second after SIGTERM: $(cat "$dir/err")"
  [ $rc -eq 0 ] || fail "play $*: exit $rc: $(cat "$dir/err")"
  grep -q "blocks" "$dir/err" || fail "play $*: no summary: $(cat "$dir/err")"
  echo "play $*: ended $took s after SIGTERM: $(tail -1 "$dir/err")"
}

ends_within_a_second source-outputs --capture
ends_within_a_second sink-inputs "$dir/demo.wav" --size 32x20

# 300 blocks are 6 s of sound; with the server stopped for 4 s of them, the run still
# takes about 6 s when silence stands in for the stopped sound, 10 s when it waits.
"$qelv" play --capture --frames 300 2>"$dir/err" &
player=$!
start=$(date +%s.%N)
sleep 1
kill -STOP "$server"
sleep 4
kill -CONT "$server"
wait "$player" || fail "a capture over a stopped server: exit $?: $(cat "$dir/err")"
player=
took=$(python3 -c "print(round($(date +%s.%N) - $start, 1))")
grep -q "capture lost: the sound server stopped answering" "$dir/err" || fail "no line for the stall: $(cat "$dir/err")"
grep -q "capturing again" "$dir/err" || fail "no line for the return: $(cat "$dir/err")"
python3 -c "import sys; sys.exit(0 if $took < 8.5 else 1)" || fail "300 blocks took $took s: the picture waited"
echo "a capture over a server stopped for 4 s: 300 blocks in $took s"

kill -STOP "$server"
start=$(date +%s)
timeout 20 "$qelv" play --capture --frames 5 2>"$dir/err"
rc=$?
kill -CONT "$server"
[ $rc -eq 1 ] || fail "against the stopped server the exit code is $rc: $(cat "$dir/err")"
grep -q "does not answer" "$dir/err" || fail "against the stopped server: $(cat "$dir/err")"
[ $(($(date +%s) - start)) -le 8 ] || fail "against the stopped server it took more than 8 s"
echo "stopped server: $(cat "$dir/err")"
