#!/bin/sh
# Measures the lag of `qelv play --capture` from a click to the frame drawn from it,
# against a private sound server with a null output (killed at the end), so that nothing
# of the desktop's takes part. Usage: scripts/measure-lag.sh
set -eu
cd "$(dirname "$0")/.."
build=build/native
cmake -S . -B "$build" >/dev/null
cmake --build "$build" -j2 --target qelv_capture_lag >/dev/null
dir=$(mktemp -d)
server=
trap '[ -n "$server" ] && kill "$server" 2>/dev/null; rm -rf "$dir"' EXIT
export HOME="$dir" XDG_RUNTIME_DIR="$dir" PULSE_SERVER="unix:$dir/native"
cat >"$dir/server.pa" <<PA
load-module module-native-protocol-unix auth-anonymous=1 socket=$dir/native
load-module module-null-sink sink_name=lag
set-default-sink lag
PA
pulseaudio --daemonize=no -n -F "$dir/server.pa" --exit-idle-time=-1 --disallow-exit \
  --log-target=file:"$dir/server.log" &
server=$!
for _ in $(seq 100); do
  pactl info >/dev/null 2>&1 && break
  sleep 0.1
done
"$build/qelv_capture_lag"
