#!/bin/sh
# `qelv play` with sound keeps real time at any sample rate a track may have: a 2 s track
# at 50 Hz and one at 44.1 kHz each play for 2 s (within 10 %) through a private sound
# server. A list of the track twice is played, and the second is timed: from the line that
# says it starts (once its sound device is open) to the run's last line.
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
keeper=
cleanup() {
  [ -n "$keeper" ] && kill "$keeper" 2>/dev/null
  [ -n "$server" ] && kill "$server" 2>/dev/null
  [ -n "$server" ] && wait "$server" 2>/dev/null
  rm -rf "$dir"
}
trap cleanup EXIT
trap 'exit 1' INT TERM
fail() { echo "FAIL: $*"; exit 1; }
. "$(dirname "$0")/lib/private_pulse.sh"

export HOME="$dir" XDG_RUNTIME_DIR="$dir" XDG_CONFIG_HOME="$dir/config" SDL_VIDEODRIVER=dummy \
  SDL_AUDIODRIVER=pulseaudio
unset DISPLAY WAYLAND_DISPLAY
start_private_pulse
keep_output_running

# Each line of standard error with the time it came.
stamped() { while IFS= read -r line; do echo "$(date +%s.%N) $line"; done; }
for rate in 50 44100; do
  python3 - "$dir/track.wav" "$rate" <<'PY' || fail "cannot write the track"
import math, struct, sys
rate = int(sys.argv[2])
samples = [int(8000 * math.sin(0.3 * i)) for i in range(2 * 2 * rate)]
data = struct.pack('<%dh' % len(samples), *samples)
header = b'RIFF' + struct.pack('<I', 36 + len(data)) + b'WAVEfmt ' + \
    struct.pack('<IHHIIHH', 16, 1, 2, rate, rate * 4, 4, 16) + b'data' + struct.pack('<I', len(data))
open(sys.argv[1], 'wb').write(header + data)
PY
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
