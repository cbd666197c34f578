#!/bin/sh
# Ctrl-C, a termination signal or a hang-up part-way through a command: a real `qelv`
# child, a real signal. It dies of the signal and leaves its folders exactly as it found
# them: no temporary file or folder of its own (the sound of a video in TMPDIR
# included), and earlier outputs, PNG frames and the files beside them unchanged.
set -u
qelv=$1
work=$(mktemp -d)
dir=$work/files  # what the commands see; the snapshots stay outside it
child=
cleanup() {
  [ -n "$child" ] && kill -s KILL -- "-$child" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM
fail() { echo "FAIL: $*"; exit 1; }

export TMPDIR="$dir/tmp" XDG_CONFIG_HOME="$dir/config"
mkdir -p "$TMPDIR" "$dir/out/shots" "$XDG_CONFIG_HOME"
# 16-bit stereo WAVs of silence at 44.1 kHz, sparse: 2.5 s for the sound of a video,
# about 100 minutes to analyse, long enough for the signal to come part-way through.
wav() {
  printf "RIFF$2WAVEfmt \020\000\000\000\001\000\002\000\104\254\000\000\020\261\002\000\004\000\020\000data$3" >"$1"
  truncate -s "$4" "$1"
}
wav "$dir/short.wav" '\314\272\006\000' '\250\272\006\000' 441044
wav "$dir/long.wav" '\044\312\232\073' '\000\312\232\073' 1000000044
"$qelv" analyze "$dir/short.wav" -o "$dir/blocks.qsb" >/dev/null || fail "cannot make a sample stream"
# Earlier outputs that must survive.
"$qelv" render --samples "$dir/blocks.qsb" --frames 3 --size 8x8 --out "$dir/out/shots/" 2>/dev/null ||
  fail "the first render failed"
echo "mine" >"$dir/out/shots/notes.txt"
echo "old" >"$dir/out/a.qsb"
echo "old" >"$dir/out/v.rgb"

snapshot() { (cd "$dir" && find . \( -type f -exec cksum {} \; \) -o -print | sort) >"$work/$1"; }

# interrupt SIGNAL NUMBER PATTERN ARGUMENTS...: runs qelv with the arguments until a
# path under $dir matching PATTERN shows that it is writing, then sends the signal.
interrupt() {
  signal=$1 number=$2 pattern=$3
  shift 3
  snapshot before
  # A shell without job control starts background commands with SIGINT ignored.
  setsid env --default-signal=INT "$qelv" "$@" 2>/dev/null &
  child=$!
  found=
  for _ in $(seq 400); do
    found=$(cd "$dir" && find . -path "$pattern" | head -n 1)
    [ -n "$found" ] && break
    sleep 0.025
  done
  [ -n "$found" ] || fail "$*: nothing like $pattern appeared"
  kill -s "$signal" "$child"
  wait "$child"
  rc=$?
  # Until the whole group is gone, ffmpeg included.
  for _ in $(seq 200); do
    kill -s 0 -- "-$child" 2>/dev/null || break
    sleep 0.025
  done
  child=
  [ $rc -eq $((128 + number)) ] || fail "$signal during $*: exit status $rc, not $((128 + number))"
  snapshot after
  diff "$work/before" "$work/after" >"$work/changes" || fail "$signal during $*: $(cat "$work/changes")"
  echo "$signal while $found was written: nothing left, nothing changed"
}

for s in "INT 2" "TERM 15" "HUP 1"; do
  set -- $s
  signal=$1 number=$2
  render="render --samples $dir/blocks.qsb --frames 1000000"
  interrupt "$signal" "$number" "./out/shots/.qelv-part-*/frame-*" $render --size 64x64 --out "$dir/out/shots"
  interrupt "$signal" "$number" "./out/.v.rgb.part-*" $render --size 8x8 --out "$dir/out/v.rgb"
  interrupt "$signal" "$number" "./out/.a.qsb.part-*" analyze "$dir/long.wav" -o "$dir/out/a.qsb"
  interrupt "$signal" "$number" "./out/.a.wav.part-*" analyze "$dir/long.wav" --wav "$dir/out/a.wav"
  if command -v ffmpeg >/dev/null; then
    # The sound track goes to TMPDIR first, then ffmpeg starts writing the video.
    interrupt "$signal" "$number" "./out/.v.mp4.part-*" render --audio "$dir/short.wav" --frames 1000000 --size 64x64 \
      --out "$dir/out/v.mp4"
  else
    echo "ffmpeg is not installed: video not tried"
  fi
done
