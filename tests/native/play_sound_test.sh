#!/bin/sh
# What `qelv play` hands the sound device, end to end: SDL's disk driver writes every
# buffer the device plays to a file, which must hold silence while paused, then the
# track's samples exactly and in order, then only silence, at a usual rate and a low one.
set -u
qelv=$1
if ! command -v python3 >/dev/null; then
  echo "python3 is not installed: skipped"
  exit 77
fi
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
export HOME="$dir" XDG_CONFIG_HOME="$dir/config" SDL_VIDEODRIVER=dummy
unset DISPLAY WAYLAND_DISPLAY

# Two seconds of random 16-bit stereo at 44.1 kHz, and at 50 Hz, which the device is given
# at 8 kHz, each frame 160 times over.
for rate in 44100 50; do
  python3 - "$dir/noise.wav" "$rate" <<'EOF' || fail "cannot write the track"
import random, struct, sys
rate = int(sys.argv[2])
random.seed(3)
samples = [random.randint(-30000, 30000) for _ in range(2 * 2 * rate)]
data = struct.pack('<%dh' % len(samples), *samples)
header = b'RIFF' + struct.pack('<I', 36 + len(data)) + b'WAVEfmt ' + \
    struct.pack('<IHHIIHH', 16, 1, 2, rate, rate * 4, 4, 16) + b'data' + struct.pack('<I', len(data))
open(sys.argv[1], 'wb').write(header + data)
EOF

  rm -f "$dir/heard.raw"
  SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$dir/heard.raw" timeout 60 "$qelv" play "$dir/noise.wav" --exit-at-end \
    --size 32x20 >"$dir/out.txt" 2>&1 || { cat "$dir/out.txt"; fail "play failed at $rate Hz"; }
  # The track's 100, after any of silence drawn while it was opened on a busy machine.
  blocks=$(sed -n 's/^qelv play: \([0-9]*\) blocks played.*/\1/p' "$dir/out.txt")
  [ "${blocks:-0}" -ge 100 ] || { cat "$dir/out.txt"; fail "not every block played"; }
  python3 - "$dir/noise.wav" "$dir/heard.raw" "$rate" <<'EOF' || fail "the sound heard at $rate Hz is not the track's"
import struct, sys
data = open(sys.argv[1], 'rb').read()[44:]
frames = struct.unpack('<%dh' % (len(data) // 2), data)
repeats = -(-8000 // int(sys.argv[3]))
track = [v for f in range(len(frames) // 2) for _ in range(repeats) for v in frames[2 * f:2 * f + 2]]
raw = open(sys.argv[2], 'rb').read()
heard = struct.unpack('<%df' % (len(raw) // 4), raw)
# The device plays silence until playback starts; the track starts with a sound.
assert track[0] != 0
start = next((i for i, v in enumerate(heard) if v != 0), len(heard))
heard = heard[start - start % 2:]
assert len(heard) >= len(track), (len(heard), len(track))
wrong = [i for i in range(len(track)) if heard[i] != track[i] / 32768.0]
assert not wrong, 'sample %d of %d differs' % (wrong[0], len(track))
assert not any(heard[len(track):]), 'the silence after the track is not silent'
EOF
done

echo "play_sound_test: passed"
