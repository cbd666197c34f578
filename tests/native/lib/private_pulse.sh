# Sourced by the tests that need a sound server: start_private_pulse starts one of their
# own in $dir, with a null output as the default and nothing else, sets $server to its
# process id (the caller kills it however the test ends) and exports PULSE_SERVER for it.
# Needs $dir and fail() from the caller.
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
# output runs at, with $keeper its process id (for the caller to kill), and returns once
# the output has left its idle block.
keep_output_running() {
  pacat --playback --raw --latency-msec=20 /dev/zero 2>/dev/null &
  keeper=$!
  for _ in $(seq 100); do
    [ -n "$(pactl list short sink-inputs)" ] && break
    sleep 0.1
  done
  sleep 2
}
