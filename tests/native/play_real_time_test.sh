#!/bin/sh
# `qelv play` with sound keeps real time at any sample rate a track may have: a 2 s track
# at 50 Hz and one at 44.1 kHz each play for 2 s (within 10 %) through a private sound
# server. A list of the track twice is played, and the second is timed: from the line that
# says it starts (once its sound device is open) to the run's last line.
set -u
qelv=$1
. "$(dirname "$0")/lib/private_pulse.sh"
begin_sound_test pulseaudio pactl pacat python3
start_private_pulse
keep_output_running

for rate in 50 44100; do
  write_tone "$dir/track.wav" "$rate" 2
  # A machine busy enough to starve the sound server slows any playback down: the best of
  # three tries counts (the 40-fold slowdown this guards against fails every one).
  times=
  for _ in 1 2 3; do
    { timeout 30 "$qelv" play "$dir/track.wav" "$dir/track.wav" --exit-at-end --size 32x20 2>&1 >/dev/null ||
        echo "exit $?"; } | stamped >"$dir/log"
    grep -q "no sound device" "$dir/log" && fail "$rate Hz played without sound: $(cat "$dir/log")"
    # The tracks' 200, after any of silence drawn while the first was opened.
    blocks=$(sed -n 's/.* qelv play: \([0-9]*\) blocks played.*/\1/p' "$dir/log")
    [ "${blocks:-0}" -ge 200 ] || fail "$rate Hz: $(cat "$dir/log")"
    played=$(python3 - "$dir/log" <<'PY'
import sys
lines = open(sys.argv[1]).read().splitlines()
start = next(float(line.split()[0]) for line in lines if ' 2 of 2: ' in line)
end = next(float(line.split()[0]) for line in lines if ' blocks played' in line)
print(round(end - start, 2))
PY
) || fail "$rate Hz: $(cat "$dir/log")"
    times="$times $played s"
    python3 -c "import sys; sys.exit(0 if 1.8 <= $played <= 2.2 else 1)" && break
    played=
  done
  echo "$rate Hz: 2 s played in$times"
  [ -n "$played" ] || fail "$rate Hz is not played in real time"
done
