#!/bin/sh
# What `qelv play` hands the sound device, end to end: SDL's disk driver writes every
# buffer the device plays to a file, which must hold silence while paused, then the
# track's samples exactly and in order, then only silence.
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

# Two seconds of random 16-bit stereo at 44.1 kHz.
python3 - "$dir/noise.wav" <<'EOF' || fail "cannot write the track"
import random, struct, sys
random.seed(3)
samples = [random.randint(-30000, 30000) for _ in range(2 * 88200)]
data = struct.pack('<%dh' % len(samples), *samples)
header = b'RIFF' + struct.pack('<I', 36 + len(data)) + b'WAVEfmt ' + \
    struct.pack('<IHHIIHH', 16, 1, 2, 44100, 44100 * 4, 4, 16) + b'data' + struct.pack('<I', len(data))
open(sys.argv[1], 'wb').write(header + data)
EOF

SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$dir/heard.raw" timeout 60 "$qelv" play "$dir/noise.wav" --exit-at-end \
  --size 32x20 >"$dir/out.txt" 2>&1 || { cat "$dir/out.txt"; fail "play failed"; }
grep -q "qelv play: 100 blocks played" "$dir/out.txt" || { cat "$dir/out.txt"; fail "not every block played"; }
python3 - "$dir/noise.wav" "$dir/heard.raw" <<'EOF' || fail "the sound heard is not the track's"
import struct, sys
data = open(sys.argv[1], 'rb').read()[44:]
track = struct.unpack('<%dh' % (len(data) // 2), data)
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

echo "play_sound_test: passed"
