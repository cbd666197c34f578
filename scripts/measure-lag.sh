#!/bin/sh
# Measures the lag of `qelv play --capture` from a click to the frame drawn from it,
# against a private sound server with a null output (killed at the end), so that nothing
# of the desktop's takes part. Usage: scripts/measure-lag.sh
set -eu
cd "$(dirname "$0")/.."
build=build/native
cmake -S . -B "$build" >/dev/null
cmake --build "$build" -j2 --target qelv_capture_lag >/dev/null
. tests/native/lib/private_pulse.sh
begin_sound_test pulseaudio pactl
start_private_pulse
"$build/qelv_capture_lag"
