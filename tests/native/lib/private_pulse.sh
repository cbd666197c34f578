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
