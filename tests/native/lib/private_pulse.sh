# Sourced by the tests that need a sound server of their own.

fail() { echo "FAIL: $*"; exit 1; }

# begin_sound_test TOOL...: skips the test (77) unless every tool is installed; makes $dir,
# which goes however the test ends, and with it the processes in $player, $keeper and
# $server (a stopped server is let go on first); and keeps everything of the user's out:
# no system daemon, settings or windows, and SDL's sound goes to the test's server.
begin_sound_test() {
  for tool in "$@"; do
    if ! command -v "$tool" >/dev/null; then
      echo "$tool is not installed: skipped"
      exit 77
    fi
  done
  dir=$(mktemp -d)
  server=
  player=
  keeper=
  trap end_sound_test EXIT
  trap 'exit 1' INT TERM
  export HOME="$dir" XDG_RUNTIME_DIR="$dir" XDG_CONFIG_HOME="$dir/config" SDL_VIDEODRIVER=dummy \
    SDL_AUDIODRIVER=pulseaudio
  unset DISPLAY WAYLAND_DISPLAY
}

end_sound_test() {
  [ -n "$player" ] && kill -KILL "$player" 2>/dev/null
  [ -n "$keeper" ] && kill "$keeper" 2>/dev/null
  [ -n "$server" ] && kill -CONT "$server" 2>/dev/null && kill "$server" 2>/dev/null
  [ -n "$server" ] && wait "$server" 2>/dev/null
  rm -rf "$dir"
}

# start_private_pulse starts a server in $dir, with a null output as the default and
# nothing else, sets $server to its process id and exports PULSE_SERVER for it. Started
# again after the last one was killed, it listens on the same socket.
start_private_pulse() {
  cat >"$dir/server.pa" <<PA
load-module module-native-protocol-unix auth-anonymous=1 socket=$dir/native
load-module module-null-sink sink_name=qelvtest
set-default-sink qelvtest
PA
  pulseaudio --daemonize=no -n -F "$dir/server.pa" --exit-idle-time=-1 --disallow-exit \
    --log-target=file:"$dir/server.log" &
  server=$!
  export PULSE_SERVER="unix:$dir/native"
  for _ in $(seq 100); do
    pactl info >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  fail "the private server did not start: $(cat "$dir/server.log")"
}

# An idle null output works in blocks of up to 2 s, so a stream's first sound would wait
# that long: keep_output_running plays silence into it at the short latency a desktop's
# output runs at, with $keeper its process id, and returns once the output has left its
# idle block.
keep_output_running() {
  pacat --playback --raw --latency-msec=20 /dev/zero 2>/dev/null &
  keeper=$!
  for _ in $(seq 100); do
    [ -n "$(pactl list short sink-inputs)" ] && break
    sleep 0.1
  done
  sleep 2
}

# wait_for_stream KIND: until the server has a stream of KIND (source-outputs,
# sink-inputs), for at most 10 s.
wait_for_stream() {
  for _ in $(seq 100); do
    [ -n "$(pactl list short "$1" 2>/dev/null)" ] && return 0
    sleep 0.1
  done
  fail "no stream among the server's $1: $(cat "$dir/err" 2>/dev/null)"
}

# Each line read, after the time it came.
stamped() { while IFS= read -r line; do echo "$(date +%s.%N) $line"; done; }

# write_tone FILE RATE SECONDS: a 16-bit stereo WAV of a steady tone.
write_tone() {
  python3 - "$@" <<'PY' || fail "cannot write $1"
import math, struct, sys
rate, seconds = int(sys.argv[2]), float(sys.argv[3])
samples = [int(8000 * math.sin(0.3 * i)) for i in range(2 * int(seconds * rate))]
data = struct.pack('<%dh' % len(samples), *samples)
header = b'RIFF' + struct.pack('<I', 36 + len(data)) + b'WAVEfmt ' + \
    struct.pack('<IHHIIHH', 16, 1, 2, rate, rate * 4, 4, 16) + b'data' + struct.pack('<I', len(data))
open(sys.argv[1], 'wb').write(header + data)
PY
}
