#!/bin/sh
# Live sound outlasts its sound server. `qelv play --capture` goes on drawing over silence
# while the private server is killed, says so once, and once the server is started again
# on the same socket it captures again by itself: the demo's beats come through with no
# restart of qelv. A track played with sound, its server killed part-way, says once that
# the sound is lost and plays on in real time.
set -u
qelv=$1
. "$(dirname "$0")/lib/private_pulse.sh"
begin_sound_test pulseaudio pactl pacat paplay python3
"$qelv" analyze --demo --wav "$dir/demo.wav" 2>/dev/null || fail "no demo WAV"
start_private_pulse

kill_server() {
  kill -KILL "$server"
  wait "$server" 2>/dev/null
  server=
}
# The seconds from the first line holding $2 to the first holding $3 in the stamped log $1.
seconds_between() {
  python3 - "$@" <<'PY'
import sys
lines = open(sys.argv[1]).read().splitlines()
at = lambda text: next(float(line.split()[0]) for line in lines if text in line)
print(round(at(sys.argv[3]) - at(sys.argv[2]), 2))
PY
}

# 600 blocks, 12 s: about 1 s of silence, 3 s with no server, then the demo. The log is
# appended to by this script too.
: >"$dir/err"
{ timeout 40 "$qelv" play --capture --frames 600 2>&1 >/dev/null; echo "exit $?"; } | stamped >>"$dir/err" &
run=$!
wait_for_stream source-outputs
echo "$(date +%s.%N) the stream is there" >>"$dir/err"
sleep 1
kill_server
sleep 3
start_private_pulse
wait_for_stream source-outputs
paplay "$dir/demo.wav" 2>/dev/null &
player=$!
wait $run
grep -q " exit 0$" "$dir/err" || fail "the capture did not end well: $(cat "$dir/err")"
[ "$(grep -c "capture lost" "$dir/err")" -eq 1 ] || fail "the loss is not said once: $(cat "$dir/err")"
[ "$(grep -c "capturing again" "$dir/err")" -eq 1 ] || fail "the return is not said once: $(cat "$dir/err")"
line=$(grep "blocks captured" "$dir/err" | cut -d' ' -f2-) || fail "no summary: $(cat "$dir/err")"
echo "$line" | grep -q "^qelv play: 600 blocks captured, [0-9]* frames shown, [0-9]* beats$" || fail "summary: $line"
# Silence before the server went: the beats are the demo's, heard since it came back.
beats=$(echo "$line" | sed 's/.* \([0-9]*\) beats$/\1/')
[ "$beats" -ge 3 ] || fail "after the server came back only $beats beats: $(cat "$dir/err")"
# Blocks came on in real time without the server: the 12 s of blocks took about 12 s (and
# the start's latency), not 12 s and the time the server was away.
away=$(seconds_between "$dir/err" "capture lost" "capturing again")
took=$(seconds_between "$dir/err" "the stream is there" "blocks captured")
echo "capture: away $away s, 600 blocks in $took s: $(grep -v "blocks captured" "$dir/err" | cut -d' ' -f2- | tr '\n' '|')"
python3 -c "import sys; sys.exit(0 if $away >= 3 and $took <= 10.5 + $away else 1)" ||
  fail "no blocks while the server was away"
echo "$line"
kill "$player" 2>/dev/null
player=

# Two 3 s tracks; the server is killed a second into the second, timed from the line that
# says it starts to the run's last.
keep_output_running
write_tone "$dir/track.wav" 44100 3
{ timeout 30 "$qelv" play "$dir/track.wav" "$dir/track.wav" --exit-at-end --size 32x20 2>&1 >/dev/null
  echo "exit $?"; } | stamped >"$dir/err" &
run=$!
for _ in $(seq 100); do
  grep -q " 2 of 2: " "$dir/err" && break
  sleep 0.1
done
sleep 1
kill_server
wait $run
grep -q " exit 0$" "$dir/err" || fail "the track did not end well: $(cat "$dir/err")"
[ "$(grep -c "sound device is lost" "$dir/err")" -eq 1 ] || fail "the loss is not said once: $(cat "$dir/err")"
grep -q "no sound device" "$dir/err" && fail "said twice: $(cat "$dir/err")"
played=$(seconds_between "$dir/err" " 2 of 2: " "blocks played")
echo "track: 3 s played in $played s: $(cut -d' ' -f2- "$dir/err" | tr '\n' '|')"
python3 -c "import sys; sys.exit(0 if 2.7 <= $played <= 3.5 else 1)" || fail "not played in real time"
