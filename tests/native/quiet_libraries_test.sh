#!/bin/sh
# The decoders' own notes stay off the terminal unless --verbose asks for them, while
# Qelv's messages stay: an MP3 damaged after its first frames makes the MP3 decoder talk.
set -u
qelv=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
command -v ffmpeg >/dev/null || fail "ffmpeg is not installed (scripts/install-deps.sh installs it)"
ffmpeg -hide_banner -loglevel error -f lavfi -i sine=duration=1 -y "$dir/tone.mp3" || fail "no MP3 made"
head -c 3000 "$dir/tone.mp3" >"$dir/damaged.mp3"
awk 'BEGIN { srand(7); for (i = 0; i < 20000; i++) printf "%c", int(rand() * 256) }' >>"$dir/damaged.mp3"

"$qelv" analyze "$dir/damaged.mp3" -o "$dir/out.qsb" 2>"$dir/quiet"
"$qelv" analyze --verbose "$dir/damaged.mp3" -o "$dir/out.qsb" 2>"$dir/verbose"
grep -q "^qelv analyze: " "$dir/quiet" || fail "Qelv's own message is missing: $(cat "$dir/quiet")"
grep -v "^qelv analyze: " "$dir/quiet" && fail "a library's lines reached the terminal (above)"
grep -q "^qelv analyze: " "$dir/verbose" || fail "--verbose lost Qelv's own message: $(cat "$dir/verbose")"
[ "$(grep -vc "^qelv analyze: " "$dir/verbose")" -gt 0 ] || fail "--verbose showed no library notes: $(cat "$dir/verbose")"
echo "quiet: $(cat "$dir/quiet")"
echo "verbose: $(wc -l <"$dir/verbose") lines, the decoder's among them"
